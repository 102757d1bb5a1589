// RTF: our writer and reader agree with each other and with independent
// readers (unrtf, LibreOffice); RTF that LibreOffice wrote loads with its
// attributes; hand-written RTF covers what writers do differently.
#include <gtest/gtest.h>

#include <string>

#include "platform/gui/richtext/rtf_reader.h"
#include "platform/gui/richtext/rtf_writer.h"
#include "platform/rtl/codepages.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"

namespace {

using vx::RichAlignment;
using vx::RichCharFormat;
using vx::RichDocument;
using vx::RichParagraph;

std::u16string U(const char* utf8) { return vx::Cp1251ToUtf16(vx::Utf8ToCp1251(utf8)); }

RichCharFormat Format(const char* name, int size, TFontStyles style = {}) {
  return {vx::Utf8ToCp1251(name), size, style};
}

RichParagraph Para(std::vector<vx::RichRun> runs, vx::RichParagraphFormat format = {}) { return {format, runs}; }

// A document with every attribute the writer knows, Cyrillic included.
RichDocument Sample() {
  RichDocument doc;
  doc.Paragraphs.push_back(Para({{U("Заметки: "), Format("Arial", 10)},
                                 {U("жирный"), Format("Arial", 10, {fsBold})},
                                 {U(" и курсив"), Format("Times New Roman", 14, {fsItalic, fsUnderline})}}));
  doc.Paragraphs.push_back(Para({{U("По центру {скобки} \\ слэш"), Format("Courier New", 12, {fsStrikeOut})}},
                                {RichAlignment::Center, 0, 0, 0, false}));
  doc.Paragraphs.push_back(
      Para({{u"Tab\there\u2028line \u0175 \u20AC", Format("Шрифт", 9)}}, {RichAlignment::Right, 36, 18, 12, false}));
  doc.Paragraphs.push_back(Para({{U("Пункт один"), Format("Arial", 10)}}, {RichAlignment::Left, 10, -10, 0, true}));
  doc.Paragraphs.push_back(Para({{U("Пункт два"), Format("Arial", 10)}}, {RichAlignment::Left, 10, -10, 0, true}));
  doc.Paragraphs.push_back(Para({}));
  return doc;
}

TEST(Rtf, WrittenDocumentsReadBackEqual) {
  const RichDocument docs[] = {Sample(), RichDocument::FromPlainText("one\r\n\r\nthree"), RichDocument{{Para({})}}};
  for (const RichDocument& doc : docs) {
    const std::string rtf = vx::WriteRtf(doc);
    EXPECT_TRUE(vx::LooksLikeRtf(rtf));
    EXPECT_EQ(rtf.find_first_of("\xC0\xFF"), std::string::npos) << "7-bit output";
    EXPECT_EQ(vx::ReadRtf(rtf), doc) << rtf;
  }
}

TEST(Rtf, ReaderHandlesWhatOtherWritersWrite) {
  struct {
    const char* rtf;
    const char* text;  // paragraphs' texts in UTF-8, joined by '|'
  } cases[] = {
      {"{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}", "Привет"},
      {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}\\f0 caf\\'e9 \\f1\\'e4\\'e0}",
       "café да"},
      {"{\\rtf1\\uc1 \\u1044?\\u1072? \\uc2\\u1085\\'3f\\'3f!}", "Да н!"},
      {"{\\rtf1\\uc0 \\u-10179\\u-8704  x}", "\xF0\x9F\x98\x80 x"},
      {"{\\rtf1{\\*\\unknown skipped}{\\colortbl;\\red0;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}a}", "a"},
      {"{\\rtf1 a\\bin3 {}}b}", "ab"},
      {"{\\rtf1 one\\par two\\line three\\par}", "one|two\xE2\x80\xA8three"},
      {"{\\rtf1 x\\~y\\_z\\-w \\{\\}\\\\ \\emdash\\bullet}", "x\xC2\xA0y\xE2\x80\x91zw {}\\ \xE2\x80\x94\xE2\x80\xA2"},
      {"{\\rtf1 {\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}item\\par}", "item"},
      {"{\\rtf1 a}}}}} ignored", "a"},
      {"{\\rtf1 {{{unclosed", "unclosed"},
      {"{\\rtf1 \\fs99999999999999999999 \\li-99999999999999 big\\'z}", "bigz"},
      {"", ""},
      {"{\\rtf1 \\cell a\\cell b\\row c}", "\ta\tb|c"},
      // A section break ends a paragraph (the two texts used to be joined).
      {"{\\rtf1 one\\sect\\sectd two\\par\\sect three}", "one|two||three"},
      // Nested tables as LibreOffice and Word write them; the text for
      // readers without nested tables is not read twice.
      {"{\\rtf1 \\intbl a\\nestcell b\\nestcell{\\*\\nesttableprops\\trowd\\cellx100\\nestrow}"
       "{\\nonesttables\\par}c\\cell\\row d}",
       "a\tb\t|c\t|d"},
      {"{\\rtf1 x\\nestcell y\\nestrow z}", "x\ty|z"},
      // A font table entry's name ends at its ';'; text after it is no name.
      {"{\\rtf1{\\fonttbl junk{\\f1 Arial;} tail{\\f2 Courier;}}\\f1 a\\f2 b}", "ab"},
  };
  for (const auto& c : cases) {
    const RichDocument doc = vx::ReadRtf(c.rtf);
    std::u16string joined;
    for (std::size_t i = 0; i < doc.Paragraphs.size(); ++i) joined += (i ? u"|" : u"") + doc.Paragraphs[i].Text();
    // Compared as UTF-16 to keep characters outside code page 1251.
    std::u16string want;
    for (std::size_t i = 0; c.text[i];) {
      const char32_t cp = vx::cp1251::DecodeUtf8(c.text, std::char_traits<char>::length(c.text), i);
      if (cp >= 0x10000) {
        want += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        want += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      } else {
        want += static_cast<char16_t>(cp);
      }
    }
    EXPECT_EQ(joined, want) << c.rtf;
  }
  const RichDocument fonts = vx::ReadRtf("{\\rtf1{\\fonttbl junk{\\f1 Arial;} tail{\\f2  Courier ;}}\\f1 a\\f2 b}");
  ASSERT_EQ(fonts.Paragraphs[0].Runs.size(), 2u);
  EXPECT_EQ(fonts.Paragraphs[0].Runs[0].Format.Name, "Arial");
  EXPECT_EQ(fonts.Paragraphs[0].Runs[1].Format.Name, "Courier");
  const RichDocument clamped = vx::ReadRtf("{\\rtf1 \\fs99999999999999999999 \\li-99999999999999 big}");
  EXPECT_EQ(clamped.Paragraphs[0].Runs[0].Format.Size, 1638);
  EXPECT_EQ(clamped.Paragraphs[0].Format.FirstIndent, -20000);
}

// Runs a peer tool and returns its standard output.
std::string Peer(const std::string& command) {
  int status = -1;
  std::string out = vx::test::RunTool(command, &status);
  EXPECT_EQ(status, 0) << command;
  return out;
}

std::string Utf8Lines(const RichDocument& doc) {
  std::string out;
  for (const RichParagraph& p : doc.Paragraphs) {
    std::u16string t = p.Text();
    for (char16_t& c : t)
      if (c == u'\u2028' || c == u'\t') c = u' ';
    out += vx::Cp1251ToUtf8(vx::Utf16ToCp1251(t)) + "\n";
  }
  return out;
}

// Lines without blanks at either end, empty lines dropped.
std::string Normalised(const std::string& text) {
  std::string out, line;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
      const auto b = line.find_first_not_of(" \t"), e = line.find_last_not_of(" \t");
      if (b != std::string::npos) out += line.substr(b, e - b + 1) + "\n";
      line.clear();
    } else {
      line += text[i] == '\t' ? ' ' : text[i];
    }
  }
  return out;
}

constexpr const char* kSoffice = "soffice -env:UserInstallation=file://";

// unrtf's HTML as text: <br> ends a line, other tags go, character
// references become UTF-8. (Its --text mode prints only the low byte of
// a character beyond Latin-1, so the Cyrillic check reads the HTML.)
std::string UnrtfText(const std::string& html) {
  std::string out;
  const std::size_t body = html.find("<body>");
  for (std::size_t i = body == std::string::npos ? 0 : body + 6; i < html.size();) {
    if (html.compare(i, 4, "<br>") == 0) {
      out += '\n';
      i += 4;
    } else if (html[i] == '<') {
      i = html.find('>', i);
      i = i == std::string::npos ? html.size() : i + 1;
    } else if (html.compare(i, 2, "&#") == 0) {
      const std::size_t end = html.find(';', i);
      out += vx::Cp1251ToUtf8(
          vx::Utf16ToCp1251(std::u16string(1, static_cast<char16_t>(std::stoi(html.substr(i + 2, end - i - 2))))));
      i = end + 1;
    } else if (html.compare(i, 6, "&nbsp;") == 0) {
      out += ' ';
      i += 6;
    } else if (html[i] == '\n') {
      ++i;
    } else {
      out += html[i++];
    }
  }
  return out;
}

TEST(RtfPeers, UnrtfAndLibreOfficeReadOurTextCyrillicIncluded) {
  vx::test::ScratchFolder dir("rtf-");
  RichDocument doc = Sample();
  doc.Paragraphs[1].Runs[0].Text = U("По центру \\ слэш");
  doc.Paragraphs[2].Runs[0].Text = U("Вкладка и строка");  // both readers know code page 1251
  for (auto& p : doc.Paragraphs) p.Format.Bullet = false;
  vx::test::WriteWholeFile(dir / "ours.rtf", vx::WriteRtf(doc));
  const std::string want = Normalised(Utf8Lines(doc));

  EXPECT_EQ(Normalised(UnrtfText(Peer("unrtf --html " + dir / "ours.rtf" + " 2>/dev/null"))), want);

  Peer(std::string(kSoffice) + dir / "profile" + " --headless --convert-to \"txt:Text (encoded):UTF8\" --outdir " +
       dir.Path() + " " + dir / "ours.rtf" + " >/dev/null 2>&1");
  std::string lo = vx::test::ReadWholeFile(dir / "ours.txt");
  if (lo.rfind("\xEF\xBB\xBF", 0) == 0) lo.erase(0, 3);
  EXPECT_EQ(Normalised(lo), want);
}

TEST(RtfPeers, LibreOfficeRtfLoadsWithItsAttributes) {
  vx::test::ScratchFolder dir("rtf-");
  vx::test::WriteWholeFile(dir / "source.html",
                           "<html><head><meta charset=\"utf-8\"></head><body>\n"
                           "<p>Обычный <b>жирный</b> <i>курсив</i> <u>подчёркнутый</u></p>\n"
                           "<p align=\"center\">По центру</p>\n<p align=\"right\">Справа</p>\n"
                           "<p style=\"margin-left: 1in; text-indent: -0.5in; margin-right: 0.5in\">Отступы</p>\n"
                           "<ul><li>Первый</li><li>Второй</li></ul>\n</body></html>\n");
  Peer(std::string(kSoffice) + dir / "profile" + " --headless --convert-to \"rtf:Rich Text Format\" --outdir " +
       dir.Path() + " " + dir / "source.html" + " >/dev/null 2>&1");
  const RichDocument doc = vx::ReadRtf(vx::test::ReadWholeFile(dir / "source.rtf"));
  ASSERT_EQ(doc.Paragraphs.size(), 6u) << Utf8Lines(doc);
  EXPECT_EQ(Utf8Lines(doc), "Обычный жирный курсив подчёркнутый\nПо центру\nСправа\nОтступы\nПервый\nВторой\n");
  auto styleOf = [&](const char* word) {
    for (const auto& run : doc.Paragraphs[0].Runs)
      if (run.Text == U(word)) return run.Format.Style;
    return TFontStyles{fsStrikeOut};
  };
  EXPECT_EQ(styleOf("жирный"), TFontStyles{fsBold});
  EXPECT_EQ(styleOf("курсив"), TFontStyles{fsItalic});
  EXPECT_EQ(styleOf("подчёркнутый"), TFontStyles{fsUnderline});
  EXPECT_EQ(doc.Paragraphs[1].Format.Alignment, RichAlignment::Center);
  EXPECT_EQ(doc.Paragraphs[2].Format.Alignment, RichAlignment::Right);
  const vx::RichParagraphFormat& indents = doc.Paragraphs[3].Format;
  EXPECT_EQ(indents.FirstIndent, 36);  // 1 in - 0.5 in
  EXPECT_EQ(indents.LeftIndent, 36);
  EXPECT_EQ(indents.RightIndent, 36);
  EXPECT_FALSE(indents.Bullet);
  EXPECT_TRUE(doc.Paragraphs[4].Format.Bullet && doc.Paragraphs[5].Format.Bullet);
}

}  // namespace
