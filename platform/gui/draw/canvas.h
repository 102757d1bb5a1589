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
//
// Coordinates are logical units of the canvas's mapping mode. MM_TEXT is one
// device pixel per unit, y down. MM_LOMETRIC is a tenth of a millimetre per
// unit with y up from the device origin (a page lies at negative y): the
// canvas converts every point itself (x * dpi / 254, -y * dpi / 254) and hands
// the device pixels, so text keeps its upright glyphs. Font heights and pen
// widths are logical units too; text extents come back in logical units.
//
// The canvas also answers the Windows drawing calls the grid and printing
// code make on a device context: DrawText, DrawEdge, DrawFrameControl,
// clipping by rectangles, background mode and device capabilities (see
// gdi.h for the call forms over a handle).
//
// The device must outlive the canvas or be detached with SetDevice(nullptr).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/draw/graphics.h"
#include "platform/gui/base/gui_types.h"

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

class TBitmap;
class TGraphic;
class TCanvas;
using HDC = TCanvas*;

// Mapping modes and background modes.
constexpr int MM_TEXT = 1, MM_LOMETRIC = 2;
constexpr int TRANSPARENT = 1, OPAQUE = 2;

// DrawText formats.
constexpr unsigned DT_TOP = 0, DT_LEFT = 0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
                   DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80,
                   DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
                   DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000,
                   DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000;

// DrawEdge edges and borders.
constexpr unsigned BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
                   EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
                   EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER, EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_RECT = 0xF, BF_MIDDLE = 0x800,
                   BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000;

// DrawFrameControl types and states.
constexpr unsigned DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4;
constexpr unsigned DFCS_BUTTONCHECK = 0x0, DFCS_BUTTONRADIOIMAGE = 0x1, DFCS_BUTTONRADIOMASK = 0x2,
                   DFCS_BUTTONRADIO = 0x4, DFCS_BUTTON3STATE = 0x8, DFCS_BUTTONPUSH = 0x10;
constexpr unsigned DFCS_SCROLLUP = 0x0, DFCS_SCROLLDOWN = 0x1, DFCS_SCROLLLEFT = 0x2, DFCS_SCROLLRIGHT = 0x3,
                   DFCS_SCROLLCOMBOBOX = 0x5;
constexpr unsigned DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_TRANSPARENT = 0x800,
                   DFCS_HOT = 0x1000, DFCS_ADJUSTRECT = 0x2000, DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000;

// GetDeviceCaps indexes.
constexpr int HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, LOGPIXELSX = 88, LOGPIXELSY = 90,
              PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113;

// Region answers of the clipping calls.
constexpr int RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;

namespace vx {

// Every coordinate a device receives is in device pixels.
class CanvasDevice {
 public:
  virtual ~CanvasDevice() = default;
  virtual void FillRect(const TRect& r, const TBrush& brush) = 0;
  virtual void Rectangle(const TRect& r, const TPen& pen, const TBrush& brush) = 0;
  virtual void Ellipse(const TRect& r, const TPen& pen, const TBrush& brush) = 0;
  virtual void Polygon(const std::vector<TPoint>& points, const TPen& pen, const TBrush& brush) = 0;
  // A line from a to b; b itself is not drawn.
  virtual void Line(TPoint a, TPoint b, const TPen& pen) = 0;
  // Text with its top-left corner at (x, y), turned by the font's
  // Orientation around that corner; an opaque brush fills the text box first.
  // The font's Height is in device pixels.
  virtual void Text(int x, int y, const AnsiString& text, const TFont& font, const TBrush& brush) = 0;
  virtual TSize TextExtent(const AnsiString& text, const TFont& font) = 0;
  virtual void FocusRect(const TRect& r) = 0;
  virtual void DrawBitmap(const TRect& dest, const TBitmap& bitmap) = 0;
  virtual void SetPixel(int x, int y, TColor color) = 0;
  virtual TColor Pixel(int x, int y) = 0;
  // Restricts drawing to r; a null pointer removes the restriction.
  virtual void SetClip(const TRect* r) = 0;
  // Restricts drawing to the union of rects (none: nothing is drawn); a null
  // pointer removes the restriction. The default clips to their bounding box.
  virtual void SetClipRegion(const std::vector<TRect>* rects);
  // Resolution of the surface.
  virtual int LogPixelsX() const { return 96; }
  virtual int LogPixelsY() const { return 96; }
  // The whole surface in device pixels; empty when not known.
  virtual TRect Bounds() const { return TRect{}; }
};

// Text metrics that do not depend on installed fonts: at 96 dots per inch
// each character is round(Size * 3 / 4) pixels wide (6 at 8 points) and a
// line is round(Size * 4 / 3) + 2 pixels high (13 at 8 points); at another
// resolution (the font's PixelsPerInch) both scale with it.
TSize FixedTextExtent(const AnsiString& text, const TFont& font);

// Records each call as one text line ("Rectangle 0,0,10,10 pen=000000 brush=FFFFFF").
// Its resolution and surface size can be set, so a recording stands in for a
// printer page.
class RecordingDevice : public CanvasDevice {
 public:
  explicit RecordingDevice(int dpi = 96, TRect bounds = TRect{}) : dpi_(dpi), bounds_(bounds) {}
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
  void SetClipRegion(const std::vector<TRect>* rects) override;
  int LogPixelsX() const override { return dpi_; }
  int LogPixelsY() const override { return dpi_; }
  TRect Bounds() const override { return bounds_; }

  std::vector<std::string> Calls;

 private:
  int dpi_;
  TRect bounds_;
};

}  // namespace vx

class TCanvas {
 public:
  explicit TCanvas(vx::CanvasDevice* device = nullptr);
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  vx::CanvasDevice* Device() const { return device_; }
  // Attaches a device; the font takes the device's resolution (keeping its
  // point size); the mapping mode goes back to MM_TEXT and clipping is removed.
  void SetDevice(vx::CanvasDevice* device);
  // The canvas as the device-context handle of the Windows calls (gdi.h).
  HDC Handle() { return this; }

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
  // A one-unit frame in the brush colour.
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

  // The Windows text call: lays text out in r by format (DT_*) and draws it,
  // or with DT_CALCRECT only measures, setting r's right and bottom edge to
  // what the text needs. Returns the height of the text in logical units.
  int DrawText(const AnsiString& text, TRect& r, unsigned format);
  // Draws the edges of r (BDR_* / EDGE_* with BF_* flags); with BF_ADJUST r
  // shrinks by what was drawn.
  bool DrawEdge(TRect& r, unsigned edge, unsigned flags);
  // Check boxes, radio buttons, push buttons (DFC_BUTTON) and scroll arrows
  // and combo buttons (DFC_SCROLL), drawn into r as the classic look did.
  bool DrawFrameControl(const TRect& r, unsigned type, unsigned state);

  // Mapping mode (MM_TEXT or MM_LOMETRIC); the setter returns the previous
  // mode (0 for an unknown mode, which changes nothing).
  int MapMode() const { return mapMode_; }
  int SetMapMode(int mode);
  TPoint LPtoDP(TPoint p) const;
  TPoint DPtoLP(TPoint p) const;
  // Device capabilities (LOGPIXELSX, HORZRES ...); 0 for an unknown index.
  int GetDeviceCaps(int index) const;

  // Background mode (OPAQUE or TRANSPARENT) for text; choosing a brush sets
  // it as the class library did (a clear brush is transparent). Returns the
  // previous mode.
  int BkMode() const { return bkMode_; }
  int SetBkMode(int mode);

  // Clipping, in logical units. The region starts as the whole surface.
  int ExcludeClipRect(const TRect& r);
  int IntersectClipRect(const TRect& r);
  // The bounding box of the clipping region in logical units (in
  // MM_LOMETRIC top 0 and bottom negative for a page); returns the region kind.
  int GetClipBox(TRect& r) const;
  void SetClipRect(const TRect& r);
  void ResetClipRect();
  // The clip box, or an empty rectangle when nothing restricts.
  TRect ClipRect() const;
  bool HasClip() const { return clipped_; }

 private:
  double ScaleX() const;
  double ScaleY() const;
  TRect ToDevice(const TRect& r) const;
  TRect ToLogical(const TRect& r) const;
  int LengthToDevice(int units, bool vertical) const;
  int LengthToLogical(int pixels, bool vertical) const;
  // The font and pen as the device draws them (heights and widths in pixels).
  TFont DeviceFont() const;
  TPen DevicePen() const;
  TBrush TextBrush() const;
  TSize DeviceTextExtent(const AnsiString& text) const;
  void ApplyClip(const TRect* extra);
  // The layout of DrawText in device pixels.
  int LayoutText(const AnsiString& text, TRect& deviceRect, unsigned format);
  void DrawEdgeDevice(TRect& r, unsigned edge, unsigned flags);
  void FillDevice(const TRect& r, TColor color);

  vx::CanvasDevice* device_;
  TFont font_;
  TBrush brush_;
  TPen pen_;
  TPoint penPos_;
  int mapMode_ = MM_TEXT;
  int bkMode_ = OPAQUE;
  bool clipped_ = false;
  std::vector<TRect> clip_;  // device pixels
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
