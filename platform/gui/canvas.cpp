#include "platform/gui/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/gui/bitmap.h"

namespace vx {

TSize FixedTextExtent(const AnsiString& text, const TFont& font) {
  const int size = std::max(1, font.Size());
  const int charWidth = std::max(1, static_cast<int>(std::lround(size * 3.0 / 4.0)));
  const int lineHeight = static_cast<int>(std::lround(size * 4.0 / 3.0)) + 2;
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
std::string PenText(const TPen& p) { return p.Style() == psClear ? "pen=none" : "pen=" + Hex(p.Color()); }
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
  Calls.push_back("Text " + std::to_string(x) + "," + std::to_string(y) + " \"" + text +
                  "\" font=" + Hex(font.Color()) + " " + BrushText(brush));
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

}  // namespace vx

TCanvas::TCanvas(vx::CanvasDevice* device) : device_(device) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetDevice(vx::CanvasDevice* device) {
  device_ = device;
  if (device_ && hasClip_) device_->SetClip(&clip_);
}

void TCanvas::MoveTo(int x, int y) { penPos_ = TPoint{x, y}; }

void TCanvas::LineTo(int x, int y) {
  const TPoint to{x, y};
  if (device_ && pen_.Style() != psClear && !(to == penPos_)) device_->Line(penPos_, to, pen_);
  penPos_ = to;
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) { Rectangle(TRect{x1, y1, x2, y2}); }

void TCanvas::Rectangle(const TRect& r) {
  if (device_ && r.Right > r.Left && r.Bottom > r.Top) device_->Rectangle(r, pen_, brush_);
}

void TCanvas::FillRect(const TRect& r) {
  if (device_ && r.Right > r.Left && r.Bottom > r.Top && brush_.Style() != bsClear) device_->FillRect(r, brush_);
}

void TCanvas::FrameRect(const TRect& r) {
  if (!device_ || r.Right <= r.Left || r.Bottom <= r.Top) return;
  // A one-pixel frame in the brush colour.
  TBrush b;
  b.Assign(brush_);
  if (b.Style() == bsClear) return;
  device_->FillRect(TRect{r.Left, r.Top, r.Right, r.Top + 1}, b);
  device_->FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, b);
  device_->FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, b);
  device_->FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, b);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (device_ && x2 > x1 && y2 > y1) device_->Ellipse(TRect{x1, y1, x2, y2}, pen_, brush_);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (device_ && points.size() >= 2) device_->Polygon(points, pen_, brush_);
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  MoveTo(points[0].X, points[0].Y);
  for (std::size_t i = 1; i < points.size(); ++i) LineTo(points[i].X, points[i].Y);
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
  if (device_ && !text.empty()) device_->Text(x, y, text, font_, brush_);
  penPos_ = TPoint{x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const AnsiString& text) {
  if (!device_) return;
  FillRect(r);
  device_->SetClip(&r);
  TBrush clear;
  clear.SetStyle(bsClear);
  if (!text.empty()) device_->Text(x, y, text, font_, clear);
  device_->SetClip(hasClip_ ? &clip_ : nullptr);
}

TSize TCanvas::TextExtent(const AnsiString& text) {
  return device_ ? device_->TextExtent(text, font_) : vx::FixedTextExtent(text, font_);
}
int TCanvas::TextWidth(const AnsiString& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const AnsiString& text) { return TextExtent(text).cy; }

void TCanvas::DrawFocusRect(const TRect& r) {
  if (device_ && r.Right > r.Left && r.Bottom > r.Top) device_->FocusRect(r);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  StretchDraw(TRect{x, y, x + graphic->Width(), y + graphic->Height()}, graphic);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!device_ || !graphic || graphic->Empty()) return;
  if (const TBitmap* bmp = graphic->AsBitmap()) device_->DrawBitmap(r, *bmp);
}

TColor TCanvas::Pixels(int x, int y) { return device_ ? device_->Pixel(x, y) : clWhite; }

void TCanvas::SetPixels(int x, int y, TColor color) {
  if (device_) device_->SetPixel(x, y, color);
}

void TCanvas::SetClipRect(const TRect& r) {
  clip_ = r;
  hasClip_ = true;
  if (device_) device_->SetClip(&clip_);
}

void TCanvas::ResetClipRect() {
  clip_ = TRect{};
  hasClip_ = false;
  if (device_) device_->SetClip(nullptr);
}
