// The recording canvas device and the fixed text metrics it measures with.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/gui/draw/bitmap.h"
#include "platform/gui/draw/canvas.h"

namespace vx {

TSize FixedTextExtent(const AnsiString& text, const TFont& font) {
  const int size = std::max(1, std::abs(font.Size()));
  const double scale = font.PixelsPerInch() / 96.0;
  const int charWidth = std::max(1, static_cast<int>(std::lround(std::lround(size * 3.0 / 4.0) * scale)));
  const int lineHeight = static_cast<int>(std::lround((std::lround(size * 4.0 / 3.0) + 2) * scale));
  return TSize{charWidth * static_cast<int>(text.size()), lineHeight};
}

namespace {
std::string Hex(TColor c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(ColorToRGB(c)) & 0xFFFFFFu);
  return buf;
}
std::string RectText(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom);
}
std::string PenText(const TPen& p) {
  if (p.Style() == psClear) return "pen=none";
  return "pen=" + Hex(p.Color()) + (p.Width() > 1 ? "/" + std::to_string(p.Width()) : "");
}
std::string BrushText(const TBrush& b) { return b.Style() == bsClear ? "brush=none" : "brush=" + Hex(b.Color()); }
}  // namespace

void RecordingDevice::FillRect(const TRect& r, const TBrush& brush) {
  Calls.push_back("FillRect " + RectText(r) + " " + BrushText(brush));
}
void RecordingDevice::Rectangle(const TRect& r, const TPen& pen, const TBrush& brush) {
  Calls.push_back("Rectangle " + RectText(r) + " " + PenText(pen) + " " + BrushText(brush));
}
void RecordingDevice::Ellipse(const TRect& r, const TPen& pen, const TBrush& brush) {
  Calls.push_back("Ellipse " + RectText(r) + " " + PenText(pen) + " " + BrushText(brush));
}
void RecordingDevice::Polygon(const std::vector<TPoint>& points, const TPen& pen, const TBrush& brush) {
  std::string s = "Polygon";
  for (const TPoint& p : points) s += " " + std::to_string(p.X) + "," + std::to_string(p.Y);
  Calls.push_back(s + " " + PenText(pen) + " " + BrushText(brush));
}
void RecordingDevice::Line(TPoint a, TPoint b, const TPen& pen) {
  Calls.push_back("Line " + std::to_string(a.X) + "," + std::to_string(a.Y) + "," + std::to_string(b.X) + "," +
                  std::to_string(b.Y) + " " + PenText(pen));
}
void RecordingDevice::Text(int x, int y, const AnsiString& text, const TFont& font, const TBrush& brush) {
  std::string s = "Text " + std::to_string(x) + "," + std::to_string(y) + " \"" + text + "\" font=" + Hex(font.Color());
  if (font.Orientation() != 0) s += " angle=" + std::to_string(font.Orientation());
  Calls.push_back(s + " " + BrushText(brush));
}
TSize RecordingDevice::TextExtent(const AnsiString& text, const TFont& font) { return FixedTextExtent(text, font); }
void RecordingDevice::FocusRect(const TRect& r) { Calls.push_back("FocusRect " + RectText(r)); }
void RecordingDevice::DrawBitmap(const TRect& dest, const TBitmap& bitmap) {
  Calls.push_back("Bitmap " + RectText(dest) + " " + std::to_string(bitmap.Width()) + "x" +
                  std::to_string(bitmap.Height()));
}
void RecordingDevice::SetPixel(int x, int y, TColor color) {
  Calls.push_back("Pixel " + std::to_string(x) + "," + std::to_string(y) + " " + Hex(color));
}
TColor RecordingDevice::Pixel(int, int) { return clWhite; }
void RecordingDevice::SetClip(const TRect* r) { Calls.push_back(r ? "Clip " + RectText(*r) : "Clip none"); }
void RecordingDevice::SetClipRegion(const std::vector<TRect>* rects) {
  if (!rects) {
    Calls.push_back("Clip none");
    return;
  }
  std::string s = "Clip";
  for (std::size_t i = 0; i < rects->size(); ++i) s += (i ? ";" : " ") + RectText((*rects)[i]);
  Calls.push_back(rects->empty() ? "Clip empty" : s);
}

}  // namespace vx
