#include "platform/gui/richtext/rich_text.h"

#include "platform/rtl/codepages.h"

namespace vx {

std::u16string RichParagraph::Text() const {
  std::u16string text;
  for (const RichRun& run : Runs) text += run.Text;
  return text;
}

void RichParagraph::Append(const std::u16string& text, const RichCharFormat& format) {
  if (text.empty()) return;
  if (!Runs.empty() && Runs.back().Format == format) Runs.back().Text += text;
  else Runs.push_back({text, format});
}

AnsiString RichDocument::PlainText() const {
  AnsiString text;
  for (const RichParagraph& p : Paragraphs) {
    std::u16string line = p.Text();
    for (char16_t& c : line)
      if (c == u'\u2028') c = u'\n';
    text += Utf16ToCp1251(line) + "\r\n";
  }
  return text;
}

RichDocument RichDocument::FromPlainText(const AnsiString& text, const RichCharFormat& format) {
  RichDocument doc;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    RichParagraph p;
    p.Append(Cp1251ToUtf16(text.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start)), format);
    doc.Paragraphs.push_back(p);
    if (end == AnsiString::npos) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  if (doc.Paragraphs.empty()) doc.Paragraphs.emplace_back();
  return doc;
}

}  // namespace vx
