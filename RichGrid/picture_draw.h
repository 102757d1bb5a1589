// Pictures in cells: stretched into a rectangle, or drawn with their
// background colour replaced.
#pragma once

#include "platform/gui/draw/bitmap.h"
#include "platform/gui/draw/canvas.h"

// Holds a graphic (not owned) and draws it stretched into a rectangle.
class TStretchGraphic {
 public:
  explicit TStretchGraphic(TGraphic* graphic = nullptr) : graphic_(graphic) {}
  TGraphic* Graphic() const { return graphic_; }
  void SetGraphic(TGraphic* graphic) { graphic_ = graphic; }
  // Draws nothing when no graphic is held.
  void Draw(TCanvas* canvas, const TRect& rect) const;

 private:
  TGraphic* graphic_;
};

// Draws the bitmap at the rectangle's top-left corner with every pixel of
// the colour of its top-left pixel replaced by `background`.
void DrawBitmapTransparent(TCanvas* canvas, const TRect& rect, TBitmap* bitmap, TColor background);
