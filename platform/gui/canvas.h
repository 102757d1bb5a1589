// TCanvas: the class library's drawing surface, over a replaceable device.
//
// A canvas owns its Font, Brush and Pen and a pen position; every drawing call
// is handed to a vx::CanvasDevice together with the attributes it needs.
// Devices:
//   - the Qt painter device (qt_bridge.h): widgets during painting, bitmaps,
//     PDF and printers;
//   - vx::RecordingDevice: writes one line per call and measures text with
//     fixed metrics, so layout tests are exact;
//   - no device at all: drawing is ignored, text is measured with the fixed
//     metrics (a control that is not being painted).
// Geometry follows the class library: rectangles exclude their right and
// bottom edges, LineTo leaves out the last pixel, TextOut places the top-left
// corner of the text, DrawFocusRect inverts (drawing it twice restores).
// The device must outlive the canvas or be detached with SetDevice(nullptr).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/graphics.h"
#include "platform/gui/gui_types.h"

struct TSize {
  int cx = 0;
  int cy = 0;
};

class TBitmap;
class TGraphic;

namespace vx {

class CanvasDevice {
 public:
  virtual ~CanvasDevice() = default;
  virtual void FillRect(const TRect& r, const TBrush& brush) = 0;
  virtual void Rectangle(const TRect& r, const TPen& pen, const TBrush& brush) = 0;
  virtual void Ellipse(const TRect& r, const TPen& pen, const TBrush& brush) = 0;
  virtual void Polygon(const std::vector<TPoint>& points, const TPen& pen, const TBrush& brush) = 0;
  // A line from a to b; b itself is not drawn.
  virtual void Line(TPoint a, TPoint b, const TPen& pen) = 0;
  // Text with its top-left corner at (x, y); an opaque brush fills the text box first.
  virtual void Text(int x, int y, const AnsiString& text, const TFont& font, const TBrush& brush) = 0;
  virtual TSize TextExtent(const AnsiString& text, const TFont& font) = 0;
  virtual void FocusRect(const TRect& r) = 0;
  virtual void DrawBitmap(const TRect& dest, const TBitmap& bitmap) = 0;
  virtual void SetPixel(int x, int y, TColor color) = 0;
  virtual TColor Pixel(int x, int y) = 0;
  // Restricts drawing to r; a null pointer removes the restriction.
  virtual void SetClip(const TRect* r) = 0;
};

// Text metrics that do not depend on installed fonts: each character is
// round(Size * 3 / 4) pixels wide (6 at 8 points) and a line is
// round(Size * 4 / 3) + 2 pixels high (13 at 8 points).
TSize FixedTextExtent(const AnsiString& text, const TFont& font);

// Records each call as one text line ("Rectangle 0,0,10,10 pen=000000 brush=FFFFFF").
class RecordingDevice : public CanvasDevice {
 public:
  void FillRect(const TRect& r, const TBrush& brush) override;
  void Rectangle(const TRect& r, const TPen& pen, const TBrush& brush) override;
  void Ellipse(const TRect& r, const TPen& pen, const TBrush& brush) override;
  void Polygon(const std::vector<TPoint>& points, const TPen& pen, const TBrush& brush) override;
  void Line(TPoint a, TPoint b, const TPen& pen) override;
  void Text(int x, int y, const AnsiString& text, const TFont& font, const TBrush& brush) override;
  TSize TextExtent(const AnsiString& text, const TFont& font) override;
  void FocusRect(const TRect& r) override;
  void DrawBitmap(const TRect& dest, const TBitmap& bitmap) override;
  void SetPixel(int x, int y, TColor color) override;
  TColor Pixel(int x, int y) override;
  void SetClip(const TRect* r) override;

  std::vector<std::string> Calls;
};

}  // namespace vx

class TCanvas {
 public:
  explicit TCanvas(vx::CanvasDevice* device = nullptr);
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  vx::CanvasDevice* Device() const { return device_; }
  void SetDevice(vx::CanvasDevice* device);

  TFont* Font() { return &font_; }
  TBrush* Brush() { return &brush_; }
  TPen* Pen() { return &pen_; }
  TPoint PenPos() const { return penPos_; }
  void SetPenPos(TPoint p) { penPos_ = p; }

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r);
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Polygon(const std::vector<TPoint>& points);
  void Polyline(const std::vector<TPoint>& points);
  void TextOut(int x, int y, const AnsiString& text);
  // Text at (x, y) clipped to r, whose background is filled with the brush.
  void TextRect(const TRect& r, int x, int y, const AnsiString& text);
  int TextWidth(const AnsiString& text);
  int TextHeight(const AnsiString& text);
  TSize TextExtent(const AnsiString& text);
  void DrawFocusRect(const TRect& r);
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // The clipping rectangle (our own helpers; the class library reached it
  // through region calls). ClipRect() is empty when nothing restricts.
  void SetClipRect(const TRect& r);
  void ResetClipRect();
  TRect ClipRect() const { return clip_; }
  bool HasClip() const { return hasClip_; }

 private:
  vx::CanvasDevice* device_;
  TFont font_;
  TBrush brush_;
  TPen pen_;
  TPoint penPos_;
  TRect clip_;
  bool hasClip_ = false;
};

// Base of the pictures a canvas can draw.
class TGraphic {
 public:
  virtual ~TGraphic() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const { return Width() == 0 || Height() == 0; }
  virtual void LoadFromFile(const AnsiString& fileName) = 0;
  virtual void SaveToFile(const AnsiString& fileName) const = 0;
  // The picture as a bitmap (this object for TBitmap), for devices to draw.
  virtual const TBitmap* AsBitmap() const = 0;
};
