#include "RichGrid/picture_draw.h"

void TStretchGraphic::Draw(TCanvas* canvas, const TRect& rect) const {
  if (graphic_) canvas->StretchDraw(rect, graphic_);
}

void DrawBitmapTransparent(TCanvas* canvas, const TRect& rect, TBitmap* bitmap, TColor background) {
  if (!bitmap || bitmap->Empty()) return;
  TBitmap copy;
  copy.Assign(*bitmap);
  TCanvas* pixels = copy.Canvas();
  const TColor key = pixels->Pixels(0, 0);
  const TColor fill = ColorToRGB(background);
  for (int y = 0; y < copy.Height(); ++y)
    for (int x = 0; x < copy.Width(); ++x)
      if (pixels->Pixels(x, y) == key) pixels->SetPixels(x, y, fill);
  canvas->Draw(rect.Left, rect.Top, &copy);
}
