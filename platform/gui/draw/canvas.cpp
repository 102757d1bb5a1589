#include "platform/gui/draw/canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/gui/draw/bitmap.h"

namespace vx {

void CanvasDevice::SetClipRegion(const std::vector<TRect>* rects) {
  if (!rects) {
    SetClip(nullptr);
    return;
  }
  TRect box{};
  bool any = false;
  for (const TRect& r : *rects) {
    if (!any) box = r;
    box = TRect{std::min(box.Left, r.Left), std::min(box.Top, r.Top), std::max(box.Right, r.Right),
                std::max(box.Bottom, r.Bottom)};
    any = true;
  }
  SetClip(&box);
}

}  // namespace vx

namespace {

constexpr TRect kEverywhere{INT_MIN / 4, INT_MIN / 4, INT_MAX / 4, INT_MAX / 4};

bool IsEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

TRect Intersect(const TRect& a, const TRect& b) {
  return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
               std::min(a.Bottom, b.Bottom)};
}

// a without b, as up to four rectangles.
void Subtract(const TRect& a, const TRect& b, std::vector<TRect>& out) {
  const TRect i = Intersect(a, b);
  if (IsEmpty(i)) {
    out.push_back(a);
    return;
  }
  if (a.Top < i.Top) out.push_back(TRect{a.Left, a.Top, a.Right, i.Top});
  if (i.Bottom < a.Bottom) out.push_back(TRect{a.Left, i.Bottom, a.Right, a.Bottom});
  if (a.Left < i.Left) out.push_back(TRect{a.Left, i.Top, i.Left, i.Bottom});
  if (i.Right < a.Right) out.push_back(TRect{i.Right, i.Top, a.Right, i.Bottom});
}

TRect BoundingBox(const std::vector<TRect>& rects) {
  if (rects.empty()) return TRect{};
  TRect box = rects.front();
  for (const TRect& r : rects)
    box = TRect{std::min(box.Left, r.Left), std::min(box.Top, r.Top), std::max(box.Right, r.Right),
                std::max(box.Bottom, r.Bottom)};
  return box;
}

}  // namespace

TCanvas::TCanvas(vx::CanvasDevice* device) : device_(nullptr) {
  // Choosing a brush sets the background mode, as selecting it did.
  brush_.OnChange = [this](TObject*) { bkMode_ = brush_.Style() == bsClear ? TRANSPARENT : OPAQUE; };
  SetDevice(device);
}

TCanvas::~TCanvas() = default;

void TCanvas::SetDevice(vx::CanvasDevice* device) {
  // A new surface starts as a fresh device context did: MM_TEXT, no clipping.
  device_ = device;
  mapMode_ = MM_TEXT;
  clipped_ = false;
  clip_.clear();
  if (device_) font_.SetPixelsPerInch(device_->LogPixelsY());
}

// ---------------------------------------------------------------------------
// Mapping

double TCanvas::ScaleX() const {
  return mapMode_ == MM_LOMETRIC ? (device_ ? device_->LogPixelsX() : 96) / 254.0 : 1.0;
}
double TCanvas::ScaleY() const {
  return mapMode_ == MM_LOMETRIC ? (device_ ? device_->LogPixelsY() : 96) / 254.0 : 1.0;
}

int TCanvas::SetMapMode(int mode) {
  if (mode != MM_TEXT && mode != MM_LOMETRIC) return 0;
  const int previous = mapMode_;
  mapMode_ = mode;
  return previous;
}

TPoint TCanvas::LPtoDP(TPoint p) const {
  if (mapMode_ == MM_TEXT) return p;
  return TPoint{static_cast<int>(std::lround(p.X * ScaleX())), static_cast<int>(std::lround(-p.Y * ScaleY()))};
}

TPoint TCanvas::DPtoLP(TPoint p) const {
  if (mapMode_ == MM_TEXT) return p;
  return TPoint{static_cast<int>(std::lround(p.X / ScaleX())), static_cast<int>(std::lround(-p.Y / ScaleY()))};
}

// In MM_LOMETRIC a rectangle's Top is above its Bottom (the larger y), so a
// rectangle that is not empty on paper is not empty in pixels either.
TRect TCanvas::ToDevice(const TRect& r) const {
  const TPoint a = LPtoDP(TPoint{r.Left, r.Top}), b = LPtoDP(TPoint{r.Right, r.Bottom});
  return TRect{a.X, a.Y, b.X, b.Y};
}

// A device rectangle as logical units: Top is the edge nearer the device's
// top (in MM_LOMETRIC the larger y).
TRect TCanvas::ToLogical(const TRect& r) const {
  const TPoint a = DPtoLP(TPoint{r.Left, r.Top}), b = DPtoLP(TPoint{r.Right, r.Bottom});
  return TRect{a.X, a.Y, b.X, b.Y};
}

int TCanvas::LengthToDevice(int units, bool vertical) const {
  return static_cast<int>(std::lround(units * (vertical ? ScaleY() : ScaleX())));
}

int TCanvas::LengthToLogical(int pixels, bool vertical) const {
  return static_cast<int>(std::lround(pixels / (vertical ? ScaleY() : ScaleX())));
}

int TCanvas::GetDeviceCaps(int index) const {
  const int dpiX = device_ ? device_->LogPixelsX() : 96, dpiY = device_ ? device_->LogPixelsY() : 96;
  const TRect b = device_ ? device_->Bounds() : TRect{};
  switch (index) {
    case LOGPIXELSX: return dpiX;
    case LOGPIXELSY: return dpiY;
    case HORZRES:
    case PHYSICALWIDTH: return b.Width();
    case VERTRES:
    case PHYSICALHEIGHT: return b.Height();
    case HORZSIZE: return static_cast<int>(std::lround(b.Width() * 25.4 / dpiX));
    case VERTSIZE: return static_cast<int>(std::lround(b.Height() * 25.4 / dpiY));
    case PHYSICALOFFSETX:
    case PHYSICALOFFSETY: return 0;
    default: return 0;
  }
}

TFont TCanvas::DeviceFont() const {
  TFont f(font_);
  if (mapMode_ == MM_LOMETRIC) f.SetHeight(LengthToDevice(font_.Height(), true));
  return f;
}

TPen TCanvas::DevicePen() const {
  if (mapMode_ == MM_TEXT) return pen_;
  TPen p;
  p.Assign(pen_);
  p.SetWidth(pen_.Width() <= 0 ? 1 : std::max(1, LengthToDevice(pen_.Width(), false)));
  return p;
}

TBrush TCanvas::TextBrush() const {
  TBrush b;
  b.Assign(brush_);
  if (bkMode_ == TRANSPARENT) b.SetStyle(bsClear);
  return b;
}

TSize TCanvas::DeviceTextExtent(const AnsiString& text) const {
  const TFont f = DeviceFont();
  return device_ ? device_->TextExtent(text, f) : vx::FixedTextExtent(text, f);
}

int TCanvas::SetBkMode(int mode) {
  if (mode != OPAQUE && mode != TRANSPARENT) return 0;
  const int previous = bkMode_;
  bkMode_ = mode;
  return previous;
}

// ---------------------------------------------------------------------------
// Drawing

void TCanvas::MoveTo(int x, int y) { penPos_ = TPoint{x, y}; }

void TCanvas::LineTo(int x, int y) {
  const TPoint to{x, y};
  if (device_ && pen_.Style() != psClear && !(to == penPos_)) {
    const TPoint a = LPtoDP(penPos_), b = LPtoDP(to);
    if (!(a == b)) device_->Line(a, b, DevicePen());
  }
  penPos_ = to;
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) { Rectangle(TRect{x1, y1, x2, y2}); }

void TCanvas::Rectangle(const TRect& r) {
  if (!device_) return;
  const TRect d = ToDevice(r);
  if (!IsEmpty(d)) device_->Rectangle(d, DevicePen(), brush_);
}

void TCanvas::FillRect(const TRect& r) {
  if (!device_ || brush_.Style() == bsClear) return;
  const TRect d = ToDevice(r);
  if (!IsEmpty(d)) device_->FillRect(d, brush_);
}

void TCanvas::FrameRect(const TRect& r) {
  if (!device_ || brush_.Style() == bsClear) return;
  const TRect d = ToDevice(r);
  if (IsEmpty(d)) return;
  device_->FillRect(TRect{d.Left, d.Top, d.Right, d.Top + 1}, brush_);
  device_->FillRect(TRect{d.Left, d.Bottom - 1, d.Right, d.Bottom}, brush_);
  device_->FillRect(TRect{d.Left, d.Top, d.Left + 1, d.Bottom}, brush_);
  device_->FillRect(TRect{d.Right - 1, d.Top, d.Right, d.Bottom}, brush_);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (!device_) return;
  const TRect d = ToDevice(TRect{x1, y1, x2, y2});
  if (!IsEmpty(d)) device_->Ellipse(d, DevicePen(), brush_);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (!device_ || points.size() < 2) return;
  std::vector<TPoint> d;
  d.reserve(points.size());
  for (const TPoint& p : points) d.push_back(LPtoDP(p));
  device_->Polygon(d, DevicePen(), brush_);
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  MoveTo(points[0].X, points[0].Y);
  for (std::size_t i = 1; i < points.size(); ++i) LineTo(points[i].X, points[i].Y);
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
  if (device_ && !text.empty()) {
    const TPoint d = LPtoDP(TPoint{x, y});
    device_->Text(d.X, d.Y, text, DeviceFont(), TextBrush());
  }
  penPos_ = TPoint{x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const AnsiString& text) {
  if (!device_) return;
  FillRect(r);
  const TRect d = ToDevice(r);
  ApplyClip(&d);
  TBrush clear;
  clear.SetStyle(bsClear);
  const TPoint p = LPtoDP(TPoint{x, y});
  if (!text.empty()) device_->Text(p.X, p.Y, text, DeviceFont(), clear);
  ApplyClip(nullptr);
}

TSize TCanvas::TextExtent(const AnsiString& text) {
  const TSize d = DeviceTextExtent(text);
  if (mapMode_ == MM_TEXT) return d;
  return TSize{LengthToLogical(d.cx, false), LengthToLogical(d.cy, true)};
}
int TCanvas::TextWidth(const AnsiString& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const AnsiString& text) { return TextExtent(text).cy; }

void TCanvas::DrawFocusRect(const TRect& r) {
  if (!device_) return;
  const TRect d = ToDevice(r);
  if (!IsEmpty(d)) device_->FocusRect(d);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  // The picture keeps its pixel size whatever the mapping.
  const TPoint d = LPtoDP(TPoint{x, y});
  if (device_)
    if (const TBitmap* bmp = graphic->AsBitmap())
      device_->DrawBitmap(TRect{d.X, d.Y, d.X + graphic->Width(), d.Y + graphic->Height()}, *bmp);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!device_ || !graphic || graphic->Empty()) return;
  const TRect d = ToDevice(r);
  if (IsEmpty(d)) return;
  if (const TBitmap* bmp = graphic->AsBitmap()) device_->DrawBitmap(d, *bmp);
}

TColor TCanvas::Pixels(int x, int y) {
  if (!device_) return clWhite;
  const TPoint d = LPtoDP(TPoint{x, y});
  return device_->Pixel(d.X, d.Y);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  if (!device_) return;
  const TPoint d = LPtoDP(TPoint{x, y});
  device_->SetPixel(d.X, d.Y, color);
}

// ---------------------------------------------------------------------------
// Clipping

void TCanvas::ApplyClip(const TRect* extra) {
  if (!device_) return;
  if (!extra) {
    device_->SetClipRegion(clipped_ ? &clip_ : nullptr);
    return;
  }
  std::vector<TRect> region;
  if (clipped_) {
    for (const TRect& r : clip_)
      if (const TRect i = Intersect(r, *extra); !IsEmpty(i)) region.push_back(i);
  } else {
    region.push_back(*extra);
  }
  device_->SetClipRegion(&region);
}

int TCanvas::IntersectClipRect(const TRect& r) {
  const TRect d = ToDevice(r);
  std::vector<TRect> region;
  if (!clipped_) clip_ = {device_ && !IsEmpty(device_->Bounds()) ? device_->Bounds() : kEverywhere};
  for (const TRect& c : clip_)
    if (const TRect i = Intersect(c, d); !IsEmpty(i)) region.push_back(i);
  clip_ = std::move(region);
  clipped_ = true;
  ApplyClip(nullptr);
  return clip_.empty() ? NULLREGION : clip_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int TCanvas::ExcludeClipRect(const TRect& r) {
  const TRect d = ToDevice(r);
  if (!clipped_) clip_ = {device_ && !IsEmpty(device_->Bounds()) ? device_->Bounds() : kEverywhere};
  std::vector<TRect> region;
  for (const TRect& c : clip_) Subtract(c, d, region);
  clip_ = std::move(region);
  clipped_ = true;
  ApplyClip(nullptr);
  return clip_.empty() ? NULLREGION : clip_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int TCanvas::GetClipBox(TRect& r) const {
  TRect box = clipped_ ? BoundingBox(clip_) : device_ ? device_->Bounds() : TRect{};
  r = ToLogical(box);
  if (clipped_) return clip_.empty() ? NULLREGION : clip_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
  return IsEmpty(box) ? NULLREGION : SIMPLEREGION;
}

void TCanvas::SetClipRect(const TRect& r) {
  clip_ = {ToDevice(r)};
  clipped_ = true;
  ApplyClip(nullptr);
}

void TCanvas::ResetClipRect() {
  clip_.clear();
  clipped_ = false;
  ApplyClip(nullptr);
}

TRect TCanvas::ClipRect() const { return clipped_ ? ToLogical(BoundingBox(clip_)) : TRect{}; }
