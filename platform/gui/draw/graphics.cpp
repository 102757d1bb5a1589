#include "platform/gui/draw/graphics.h"

#include <array>
#include <cmath>
#include <cstring>

namespace {

// The classic scheme, fixed so that drawing is the same on every machine.
constexpr std::array<TColor, 31> kSystemColors = {
    RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128), RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),       RGB(255, 255, 225),
    RGB(181, 181, 181), RGB(0, 0, 128),     RGB(166, 202, 240), RGB(192, 192, 192), RGB(49, 106, 197),
    RGB(236, 233, 216),
};

}  // namespace

TColor ColorToRGB(TColor color) {
  if (color == clNone) return clWhite;
  if (color == clDefault) return clBlack;
  if (color < 0) {
    const unsigned index = static_cast<unsigned>(color) & 0xFFu;
    return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
  }
  return color & 0xFFFFFF;
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(nullptr);
}

namespace {
// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) { return static_cast<int>(std::lround(static_cast<double>(a) * b / c)); }
}  // namespace

TFont::TFont()
    : name_(vx::DefaultFontName()),
      height_(-11),
      color_(clWindowText),
      style_(),
      charset_(DEFAULT_CHARSET),
      pitch_(fpDefault) {}

TFont::TFont(const TFont& other)
    : TGraphicsObject(),
      name_(other.name_),
      height_(other.height_),
      pixelsPerInch_(other.pixelsPerInch_),
      orientation_(other.orientation_),
      color_(other.color_),
      style_(other.style_),
      charset_(other.charset_),
      pitch_(other.pitch_) {}

TFont& TFont::operator=(const TFont& other) {
  Assign(other);
  return *this;
}

void TFont::Assign(const TFont& s) {
  // Between surfaces of different resolutions the point size carries over.
  const int height = s.pixelsPerInch_ == pixelsPerInch_ ? s.height_ : -MulDiv(s.Size(), pixelsPerInch_, 72);
  if (name_ == s.name_ && height_ == height && orientation_ == s.orientation_ && color_ == s.color_ &&
      style_ == s.style_ && charset_ == s.charset_ && pitch_ == s.pitch_)
    return;
  name_ = s.name_;
  height_ = height;
  orientation_ = s.orientation_;
  color_ = s.color_;
  style_ = s.style_;
  charset_ = s.charset_;
  pitch_ = s.pitch_;
  Changed();
}

bool TFont::operator==(const TFont& o) const {
  const bool sameSize = pixelsPerInch_ == o.pixelsPerInch_ ? height_ == o.height_ : Size() == o.Size();
  return name_ == o.name_ && sameSize && orientation_ == o.orientation_ && color_ == o.color_ && style_ == o.style_ &&
         charset_ == o.charset_ && pitch_ == o.pitch_;
}

void TFont::SetName(const AnsiString& v) {
  if (v.empty() || v == name_) return;
  name_ = v;
  Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int v) { SetHeight(-MulDiv(v, pixelsPerInch_, 72)); }

void TFont::SetHeight(int v) {
  if (v == height_) return;
  height_ = v;
  Changed();
}

void TFont::SetPixelsPerInch(int v) {
  if (v <= 0 || v == pixelsPerInch_) return;
  const int size = Size();
  pixelsPerInch_ = v;
  height_ = -MulDiv(size, v, 72);
}

void TFont::SetOrientation(int v) {
  if (v == orientation_) return;
  orientation_ = v;
  Changed();
}

void TFont::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Changed();
}

void TFont::SetStyle(TFontStyles v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}

void TFont::SetCharset(int v) {
  if (v == charset_) return;
  charset_ = v;
  Changed();
}

void TFont::SetPitch(TFontPitch v) {
  if (v == pitch_) return;
  pitch_ = v;
  Changed();
}

void TBrush::SetColor(TColor v) {
  if (v == color_ && style_ != bsClear) return;
  color_ = v;
  if (style_ == bsClear) style_ = bsSolid;  // choosing a colour makes the brush solid again
  Changed();
}

void TBrush::SetStyle(TBrushStyle v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}

void TBrush::Assign(const TBrush& s) {
  if (color_ == s.color_ && style_ == s.style_) return;
  color_ = s.color_;
  style_ = s.style_;
  Changed();
}

void TPen::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Changed();
}

void TPen::SetWidth(int v) {
  if (v < 0) v = 0;
  if (v == width_) return;
  width_ = v;
  Changed();
}

void TPen::SetStyle(TPenStyle v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}

void TPen::SetMode(TPenMode v) {
  if (v == mode_) return;
  mode_ = v;
  Changed();
}

void TPen::Assign(const TPen& s) {
  if (color_ == s.color_ && width_ == s.width_ && style_ == s.style_ && mode_ == s.mode_) return;
  color_ = s.color_;
  width_ = s.width_;
  style_ = s.style_;
  mode_ = s.mode_;
  Changed();
}

namespace vx {

namespace {
bool SameName(const AnsiString& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}
}  // namespace

AnsiString MapFontName(const AnsiString& name) {
  static const char* const kSans[] = {
      "MS Sans Serif", "Microsoft Sans Serif", "Arial",  "Tahoma",   "Verdana",   "Small Fonts",
      "MS Shell Dlg",  "MS Shell Dlg 2",       "System", "Segoe UI", "Arial Cyr", "Helvetica"};
  static const char* const kSerif[] = {"Times New Roman", "MS Serif", "Times New Roman Cyr", "Times", "Georgia"};
  static const char* const kMono[] = {"Courier New",    "Courier",         "Fixedsys", "Terminal",
                                      "Lucida Console", "Courier New Cyr", "Consolas"};
  for (const char* n : kSans)
    if (SameName(name, n)) return "Liberation Sans";
  for (const char* n : kSerif)
    if (SameName(name, n)) return "Liberation Serif";
  for (const char* n : kMono)
    if (SameName(name, n)) return "Liberation Mono";
  return name;
}

const AnsiString& DefaultFontName() {
  static const AnsiString name = "MS Sans Serif";
  return name;
}

}  // namespace vx
