// The rich grid's own cursors and the origin mark of pan mode, drawn by the
// program (black arrows outlined in white, 32 x 32):
//   8000       panning, the mouse at the origin (arrows all round a dot);
//   8001..8008 panning towards north, north-east, east, south-east, south,
//              south-west, west and north-west;
//   8010       selecting a row from its fixed cell (an arrow to the right);
//   8011       selecting a column from its heading (an arrow down);
//   8012       selecting everything from the top-left cell (an arrow down
//              and to the right).
#pragma once

#include "RichGrid/rich_grid_types.h"

class TBitmap;

constexpr TCursor crPanOrigin = 8000, crRowSelect = 8010, crColSelect = 8011, crAllSelect = 8012;

// Gives the screen the cursors above (once; later calls do nothing).
void RegisterGridCursors();
// A cursor's picture (its top-left pixel's colour see-through) and hot spot.
void DrawGridCursor(TCursor id, TBitmap& picture);
TPoint GridCursorHotSpot(TCursor id);

// The pan cursor for the mouse's offset from the origin, counting only the
// directions pan mode allows; crPanOrigin within deadZone pixels.
TCursor PanCursor(int dx, int dy, TIntelliPan directions, int deadZone);

// The size of the pan mode's origin mark.
constexpr int kPanMarkSize = 32;
// Draws the origin mark (arrows for the allowed directions round a dot;
// the rest of the square left as it was) with its top-left at (x, y).
void DrawPanMark(TCanvas* canvas, int x, int y, TIntelliPan directions);
