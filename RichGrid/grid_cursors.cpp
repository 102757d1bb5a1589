#include "RichGrid/grid_cursors.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "RichGrid/canvas_state.h"
#include "platform/gui/core/application.h"
#include "platform/gui/draw/bitmap.h"

namespace {

// The see-through colour of the cursor pictures (their top-left pixel).
const TColor kSeeThrough = RGB(255, 0, 255);

// Directions in eighths of a turn, clockwise from north, as the cursors
// 8001..8008 number them.
double Angle(int eighth) { return (eighth * 45.0 - 90.0) * std::numbers::pi / 180.0; }

TPoint Turned(double x, double y, double angle, TPoint centre) {
  const double c = std::cos(angle), s = std::sin(angle);
  return Point(centre.X + static_cast<int>(std::lround(x * c - y * s)),
               centre.Y + static_cast<int>(std::lround(x * s + y * c)));
}

// An arrow from `from` (its tail) `length` pixels long along angle, with a
// head 8 pixels long; head: half the head's width.
void Arrow(TCanvas* c, TPoint from, double angle, int length, int head) {
  const double stem = 2, back = length - 8;
  c->Polygon({Turned(0, -stem, angle, from), Turned(back, -stem, angle, from), Turned(back, -head, angle, from),
              Turned(length, 0, angle, from), Turned(back, head, angle, from), Turned(back, stem, angle, from),
              Turned(0, stem, angle, from)});
}

// A head alone: a triangle whose tip lies `reach` pixels from the centre.
void Head(TCanvas* c, TPoint centre, double angle, int reach) {
  c->Polygon(
      {Turned(reach, 0, angle, centre), Turned(reach - 6, -5, angle, centre), Turned(reach - 6, 5, angle, centre)});
}

void Dot(TCanvas* c, TPoint centre) { c->Ellipse(centre.X - 3, centre.Y - 3, centre.X + 4, centre.Y + 4); }

// Black shapes outlined in white.
void UseArrowColours(TCanvas* c) {
  c->Pen()->SetColor(clWhite);
  c->Pen()->SetWidth(1);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBlack);
}

void DrawPanCursor(TCanvas* c, int eighth) {
  const TPoint centre = Point(16, 16);
  Dot(c, centre);
  if (eighth == 0) {
    for (int i = 0; i < 8; i += 2) Head(c, centre, Angle(i), 15);
    return;
  }
  Arrow(c, centre, Angle(eighth - 1), 15, 5);
}

// The tip lies at the hot spot.
void DrawSelectCursor(TCanvas* c, int eighth) {
  const double angle = Angle(eighth);
  const int length = eighth == 3 ? 34 : 28;
  const TPoint tip = GridCursorHotSpot(eighth == 2 ? crRowSelect : eighth == 4 ? crColSelect : crAllSelect);
  const TPoint tail = Point(tip.X - static_cast<int>(std::lround(length * std::cos(angle))),
                            tip.Y - static_cast<int>(std::lround(length * std::sin(angle))));
  Arrow(c, tail, angle, length, 6);
}

}  // namespace

void DrawGridCursor(TCursor id, TBitmap& picture) {
  picture.SetSize(32, 32);
  TCanvas* c = picture.Canvas();
  c->Brush()->SetColor(kSeeThrough);
  c->FillRect(Rect(0, 0, 32, 32));
  UseArrowColours(c);
  if (id >= crPanOrigin && id <= crPanOrigin + 8) DrawPanCursor(c, id - crPanOrigin);
  else if (id == crRowSelect) DrawSelectCursor(c, 2);
  else if (id == crColSelect) DrawSelectCursor(c, 4);
  else if (id == crAllSelect) DrawSelectCursor(c, 3);
}

TPoint GridCursorHotSpot(TCursor id) {
  switch (id) {
    case crRowSelect: return Point(30, 16);
    case crColSelect: return Point(16, 30);
    case crAllSelect: return Point(28, 28);
    default: return Point(16, 16);
  }
}

void RegisterGridCursors() {
  static bool done = false;
  if (done || !Screen) return;
  done = true;
  for (TCursor id : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12}) {
    TBitmap picture;
    DrawGridCursor(crPanOrigin + id, picture);
    const TPoint hot = GridCursorHotSpot(crPanOrigin + id);
    Screen->SetCursors(crPanOrigin + id, picture, hot.X, hot.Y);
  }
}

TCursor PanCursor(int dx, int dy, TIntelliPan directions, int deadZone) {
  if (directions == ipVertical || std::abs(dx) <= deadZone) dx = 0;
  if (directions == ipHorizontal || std::abs(dy) <= deadZone) dy = 0;
  if (dx == 0 && dy == 0) return crPanOrigin;
  // The nearest of the eight directions, clockwise from north.
  const double turn = std::atan2(static_cast<double>(dx), static_cast<double>(-dy));
  int eighth = static_cast<int>(std::lround(turn / (std::numbers::pi / 4)));
  if (eighth < 0) eighth += 8;
  return crPanOrigin + 1 + eighth % 8;
}

void DrawPanMark(TCanvas* canvas, int x, int y, TIntelliPan directions) {
  CanvasState keep(canvas);
  UseArrowColours(canvas);
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetColor(clWhite);
  const TPoint centre = Point(x + kPanMarkSize / 2, y + kPanMarkSize / 2);
  canvas->Ellipse(x + 1, y + 1, x + kPanMarkSize - 1, y + kPanMarkSize - 1);
  canvas->Brush()->SetColor(clBlack);
  Dot(canvas, centre);
  for (int i = 0; i < 8; i += 2) {
    const bool vertical = i == 0 || i == 4;
    if ((vertical && directions == ipHorizontal) || (!vertical && directions == ipVertical)) continue;
    Head(canvas, centre, Angle(i), 13);
  }
}
