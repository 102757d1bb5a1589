#include "RichGrid/rotated_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The turned box's corners relative to the text's origin: its smallest and
// largest x and y.
struct TurnedBox {
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
};

TurnedBox Turn(int w, int h, int angle) {
  const double a = angle * std::numbers::pi / 180.0;
  const int wc = static_cast<int>(std::lround(w * std::cos(a))), ws = static_cast<int>(std::lround(w * std::sin(a)));
  const int hc = static_cast<int>(std::lround(h * std::cos(a))), hs = static_cast<int>(std::lround(h * std::sin(a)));
  // Along the base line the text goes (cos, -sin); down its glyphs (sin, cos).
  const int xs[] = {0, wc, hs, wc + hs};
  const int ys[] = {0, -ws, hc, hc - ws};
  TurnedBox b;
  b.minX = *std::min_element(std::begin(xs), std::end(xs));
  b.maxX = *std::max_element(std::begin(xs), std::end(xs));
  b.minY = *std::min_element(std::begin(ys), std::end(ys));
  b.maxY = *std::max_element(std::begin(ys), std::end(ys));
  return b;
}

}  // namespace

TSize RotatedTextExtent(int w, int h, int angle) {
  const TurnedBox b = Turn(w, h, angle);
  return TSize{b.maxX - b.minX, b.maxY - b.minY};
}

TPoint RotatedTextOrigin(int w, int h, const TRect& rect, int angle, TAlignment alignment, TVAlignment vAlignment) {
  const TurnedBox b = Turn(w, h, angle);
  const TRect r = Rect(rect.Left, rect.Top, rect.Right - 2, rect.Bottom - 2);
  const int boxW = b.maxX - b.minX, boxH = b.maxY - b.minY;
  int left = r.Left, top = r.Top;
  if (alignment == taRightJustify) left = r.Right - boxW;
  else if (alignment == taCenter) left = r.Left + (r.Width() - boxW) / 2;
  if (vAlignment == vtaBottom) top = r.Bottom - boxH;
  else if (vAlignment == vtaCenter) top = r.Top + (r.Height() - boxH) / 2;
  return Point(left - b.minX + 2, top - b.minY + 2);
}
