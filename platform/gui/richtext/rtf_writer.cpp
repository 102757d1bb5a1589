#include "platform/gui/richtext/rtf_writer.h"

#include <cstdint>
#include <vector>

#include "platform/rtl/sysutils.h"

namespace vx {

namespace {

constexpr const char* kHex = "0123456789abcdef";

void HexByte(std::string& out, unsigned char b) {
  out += "\\'";
  out += kHex[b >> 4];
  out += kHex[b & 15];
}

// A font name (CP1251) with its non-ASCII bytes as \'xx; a ';' would end
// the name, so it is left out.
void FontName(std::string& out, const AnsiString& text) {
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == ';') continue;
    if (b >= 0x80 || c == '\\' || c == '{' || c == '}') HexByte(out, b);
    else if (b >= 0x20) out += c;
  }
}

int Twips(int points) { return points * 20; }

}  // namespace

void AppendRtfText(std::string& out, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r') {
      // CR LF is one line break (its LF writes it); a CR alone is one too.
      if (i + 1 == text.size() || text[i + 1] != u'\n') out += "\\line ";
    } else if (c == u'\\' || c == u'{' || c == u'}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == u'\t') {
      out += "\\tab ";
    } else if (c == u'\u2028' || c == u'\n') {
      out += "\\line ";
    } else if (c < 0x20) {
      continue;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (const int b = cp1251::FromUnicode(c); b >= 0) {
      HexByte(out, static_cast<unsigned char>(b));
    } else {
      out += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
    }
  }
}

std::string WriteRtf(const RichDocument& doc) {
  std::vector<AnsiString> fonts;
  bool bullets = false;
  auto fontIndex = [&](const AnsiString& name) {
    for (std::size_t i = 0; i < fonts.size(); ++i)
      if (fonts[i] == name) return static_cast<int>(i);
    fonts.push_back(name);
    return static_cast<int>(fonts.size() - 1);
  };
  for (const RichParagraph& p : doc.Paragraphs) {
    bullets = bullets || p.Format.Bullet;
    for (const RichRun& r : p.Runs) fontIndex(r.Format.Name);
  }
  if (fonts.empty()) fontIndex(RichCharFormat{}.Name);
  const int symbol = static_cast<int>(fonts.size());

  std::string out = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl";
  for (std::size_t i = 0; i < fonts.size(); ++i) {
    out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset204 ";
    FontName(out, fonts[i]);
    out += ";}";
  }
  if (bullets) out += "{\\f" + std::to_string(symbol) + "\\fnil\\fcharset2 Symbol;}";
  out += "}\r\n\\viewkind4\\uc1";

  for (const RichParagraph& p : doc.Paragraphs) {
    const RichParagraphFormat& pf = p.Format;
    out += "\\pard";
    if (pf.Bullet) {
      const std::string f = std::to_string(symbol);
      out += "{\\pntext\\f" + f + "\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + f + "\\pnindent0{\\pntxtb\\'b7}}";
    }
    if (pf.LeftIndent) out += "\\fi" + std::to_string(-Twips(pf.LeftIndent));
    if (pf.FirstIndent + pf.LeftIndent) out += "\\li" + std::to_string(Twips(pf.FirstIndent + pf.LeftIndent));
    if (pf.RightIndent) out += "\\ri" + std::to_string(Twips(pf.RightIndent));
    if (pf.Alignment == RichAlignment::Center) out += "\\qc";
    if (pf.Alignment == RichAlignment::Right) out += "\\qr";
    for (const RichRun& r : p.Runs) {
      const RichCharFormat& f = r.Format;
      out += "\\plain\\f" + std::to_string(fontIndex(f.Name)) + "\\fs" + std::to_string(f.Size * 2);
      if (f.Style.Contains(fsBold)) out += "\\b";
      if (f.Style.Contains(fsItalic)) out += "\\i";
      if (f.Style.Contains(fsUnderline)) out += "\\ul";
      if (f.Style.Contains(fsStrikeOut)) out += "\\strike";
      out += ' ';
      AppendRtfText(out, r.Text);
    }
    out += "\\par\r\n";
  }
  out += "}\r\n";
  return out;
}

}  // namespace vx
