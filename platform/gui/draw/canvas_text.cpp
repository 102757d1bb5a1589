// TCanvas::DrawText: the Windows text layout (lines, word breaking, tabs,
// ellipsis, alignment), done in device pixels with the device's metrics so
// that measuring (DT_CALCRECT) and drawing always agree.
#include <algorithm>
#include <functional>

#include "platform/gui/draw/canvas.h"
#include "platform/rtl/text_lines.h"

namespace {

// "&x" shows as "x"; "&&" as "&".
AnsiString StripPrefix(const AnsiString& s) {
  AnsiString out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) ++i;
    else if (s[i] == '&') continue;
    out += s[i];
  }
  return out;
}

std::vector<AnsiString> SplitParagraphs(const AnsiString& s) {
  std::vector<AnsiString> out;
  for (const std::string_view line : vx::SplitLines(s, true)) out.emplace_back(line);
  return out;
}

}  // namespace

namespace {

// Measures and lays out lines for one DrawText call.
class TextLayout {
 public:
  TextLayout(std::function<int(const AnsiString&)> width, unsigned format, int tabWidth)
      : width_(std::move(width)), format_(format), tabWidth_(std::max(1, tabWidth)) {}

  // Width of a line; with DT_EXPANDTABS a tab moves to the next stop.
  int LineWidth(const AnsiString& line) const {
    if (!(format_ & DT_EXPANDTABS) || line.find('\t') == AnsiString::npos) return width_(line);
    int x = 0;
    std::size_t start = 0;
    for (;;) {
      const std::size_t tab = line.find('\t', start);
      x += width_(line.substr(start, tab == AnsiString::npos ? AnsiString::npos : tab - start));
      if (tab == AnsiString::npos) return x;
      x = (x / tabWidth_ + 1) * tabWidth_;
      start = tab + 1;
    }
  }

  // The text's lines for a box maxWidth pixels wide.
  std::vector<AnsiString> Lines(const AnsiString& text, int maxWidth) const {
    std::vector<AnsiString> paragraphs =
        (format_ & DT_SINGLELINE) ? std::vector<AnsiString>{text} : SplitParagraphs(text);
    std::vector<AnsiString> lines;
    for (const AnsiString& p : paragraphs) {
      if ((format_ & DT_WORDBREAK) && !(format_ & DT_SINGLELINE)) Wrap(p, maxWidth, lines);
      else lines.push_back(p);
    }
    if (format_ & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
      for (AnsiString& line : lines) Ellipsis(line, maxWidth);
    return lines;
  }

 private:
  void Wrap(const AnsiString& p, int maxWidth, std::vector<AnsiString>& out) const {
    AnsiString line;
    std::size_t i = 0;
    while (i < p.size()) {
      // The next word with the blanks before it.
      std::size_t end = i;
      while (end < p.size() && p[end] == ' ') ++end;
      while (end < p.size() && p[end] != ' ') ++end;
      const AnsiString piece = p.substr(i, end - i);
      if (LineWidth(line + piece) <= maxWidth || line.empty()) {
        line += piece;
        i = end;
        if (line.find_first_not_of(' ') != AnsiString::npos && LineWidth(line) > maxWidth && (format_ & DT_EDITCONTROL))
          BreakLongWord(line, maxWidth, out);
        continue;
      }
      out.push_back(TrimRight(line));
      line.clear();
      while (i < p.size() && p[i] == ' ') ++i;  // blanks at a break vanish
    }
    out.push_back(TrimRight(line));
  }

  // A word wider than the box, as an edit control breaks it: inside the word.
  void BreakLongWord(AnsiString& line, int maxWidth, std::vector<AnsiString>& out) const {
    while (line.size() > 1 && LineWidth(line) > maxWidth) {
      std::size_t fit = 1;
      while (fit < line.size() && LineWidth(line.substr(0, fit + 1)) <= maxWidth) ++fit;
      out.push_back(line.substr(0, fit));
      line.erase(0, fit);
    }
  }

  void Ellipsis(AnsiString& line, int maxWidth) const {
    if (LineWidth(line) <= maxWidth) return;
    while (!line.empty() && LineWidth(line + "...") > maxWidth) line.pop_back();
    line += "...";
  }

  static AnsiString TrimRight(AnsiString s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }

  std::function<int(const AnsiString&)> width_;
  unsigned format_;
  int tabWidth_;
};

}  // namespace

int TCanvas::DrawText(const AnsiString& text, TRect& r, unsigned format) {
  TRect d = ToDevice(r);
  const int height = LayoutText(text, d, format);
  if (format & DT_CALCRECT) {
    r.Right = r.Left + LengthToLogical(d.Width(), false);
    const int h = LengthToLogical(d.Height(), true);
    r.Bottom = mapMode_ == MM_LOMETRIC ? r.Top - h : r.Top + h;
  }
  return LengthToLogical(height, true);
}

int TCanvas::LayoutText(const AnsiString& original, TRect& r, unsigned format) {
  const AnsiString text = (format & DT_NOPREFIX) ? original : StripPrefix(original);
  const int lineHeight = DeviceTextExtent("Wg").cy;
  TextLayout layout([this](const AnsiString& s) { return s.empty() ? 0 : DeviceTextExtent(s).cx; }, format,
                    8 * DeviceTextExtent("x").cx);
  const std::vector<AnsiString> lines = layout.Lines(text, r.Width());
  const int height = lineHeight * static_cast<int>(lines.size());
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const AnsiString& line : lines) widest = std::max(widest, layout.LineWidth(line));
    r.Right = r.Left + widest;
    r.Bottom = r.Top + height;
    return height;
  }
  int y = r.Top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = r.Top + (r.Height() - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = r.Bottom - lineHeight;
  }
  const int offset = y - r.Top;
  if (!device_) return offset + height;
  if (!(format & DT_NOCLIP)) ApplyClip(&r);
  const TFont font = DeviceFont();
  const TBrush brush = TextBrush();
  const int tabWidth = 8 * DeviceTextExtent("x").cx;
  for (const AnsiString& line : lines) {
    const int w = layout.LineWidth(line);
    int x = r.Left;
    if (format & DT_CENTER) x = r.Left + (r.Width() - w) / 2;
    else if (format & DT_RIGHT) x = r.Right - w;
    if ((format & DT_EXPANDTABS) && line.find('\t') != AnsiString::npos) {
      // Each piece between tabs starts at its tab stop.
      int at = 0;
      std::size_t start = 0;
      for (;;) {
        const std::size_t tab = line.find('\t', start);
        const AnsiString piece = line.substr(start, tab == AnsiString::npos ? AnsiString::npos : tab - start);
        if (!piece.empty()) device_->Text(x + at, y, piece, font, brush);
        if (tab == AnsiString::npos) break;
        at += piece.empty() ? 0 : DeviceTextExtent(piece).cx;
        at = (at / std::max(1, tabWidth) + 1) * std::max(1, tabWidth);
        start = tab + 1;
      }
    } else if (!line.empty()) {
      device_->Text(x, y, line, font, brush);
    }
    y += lineHeight;
  }
  if (!(format & DT_NOCLIP)) ApplyClip(nullptr);
  return offset + height;
}
