// TCustomGrid painting: the fixed corner, fixed columns, fixed rows and the
// scrolled cells, each cell through DrawCell with its draw state, then grid
// lines, the focus rectangle and the sizing and moving marks.
#include <algorithm>

#include "platform/gui/grids/grids.h"

namespace {

bool Inside(const TGridRect& r, int c, int row) {
  return c >= r.Left && c <= r.Right && row >= r.Top && row <= r.Bottom;
}

}  // namespace

void TCustomGrid::DrawCells(int ACol, int ARow, int StartX, int StartY, int StopX, int StopY, TColor color,
                            TGridDrawState include) {
  TCanvas* c = Canvas();
  const bool fixed = include.Contains(gdFixed);
  const TGridRect sel = Selection();
  const bool editorShown = FInplaceEdit && FInplaceEdit->Showing();
  const int vLine = options_.Contains(fixed ? goFixedVertLine : goVertLine) ? gridLineWidth_ : 0;
  const int hLine = options_.Contains(fixed ? goFixedHorzLine : goHorzLine) ? gridLineWidth_ : 0;
  const bool anyVert = options_.Contains(goFixedVertLine) || options_.Contains(goVertLine);
  const bool anyHorz = options_.Contains(goFixedHorzLine) || options_.Contains(goHorzLine);
  const int colStep = anyVert ? gridLineWidth_ : 0, rowStep = anyHorz ? gridLineWidth_ : 0;
  TColor lineColor = fixed ? clBlack : clSilver;
  if (!fixed && ColorToRGB(color) == ColorToRGB(clSilver)) lineColor = clGray;
  int y = StartY;
  for (int row = ARow; row < rowCount_ && y < StopY; ++row) {
    const int h = RowHeights(row);
    int x = StartX;
    for (int col = ACol; col < colCount_ && x < StopX; ++col) {
      const int w = ColWidths(col);
      const TRect where{x, y, x + w, y + h};
      TGridDrawState state = include;
      if (!fixed) {
        if (Inside(sel, col, row)) state.Include(gdSelected);
        if (focused_ && col == FCurrent.X && row == FCurrent.Y) state.Include(gdFocused);
      }
      // The editor covers its own cell.
      const bool underEditor = editorShown && col == FInplaceCol && row == FInplaceRow;
      if (!underEditor) {
        if (defaultDrawing_) {
          c->Font()->Assign(*font_);
          const bool highlight =
              state.Contains(gdSelected) &&
              (!state.Contains(gdFocused) || options_.Contains(goDrawFocusSelected) || options_.Contains(goRowSelect));
          if (highlight) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
          } else {
            c->Brush()->SetColor(color);
          }
          c->FillRect(where);
        }
        DrawCell(col, row, where, state);
        if (defaultDrawing_ && fixed && ctl3D_ && (vLine || hLine)) {
          TRect edge = where;
          const unsigned farEdges = (vLine ? BF_RIGHT : 0) | (hLine ? BF_BOTTOM : 0);
          const unsigned nearEdges = (vLine ? BF_LEFT : 0) | (hLine ? BF_TOP : 0);
          c->DrawEdge(edge, BDR_RAISEDINNER, farEdges);
          edge = where;
          c->DrawEdge(edge, BDR_RAISEDINNER, nearEdges);
        }
        if (defaultDrawing_ && state.Contains(gdFocused) && !options_.Contains(goRowSelect) &&
            !(options_.Contains(goEditing) && options_.Contains(goAlwaysShowEditor)))
          c->DrawFocusRect(where);
      }
      // The lines after the cell: to its right and below it.
      c->Brush()->SetColor(lineColor);
      if (vLine) c->FillRect(TRect{x + w, y, x + w + vLine, y + h + rowStep});
      if (hLine) c->FillRect(TRect{x, y + h, x + w + colStep, y + h + hLine});
      x += w + colStep;
    }
    y += h + rowStep;
  }
}

void TCustomGrid::Paint() {
  TCanvas* c = Canvas();
  if (!c || !c->Device()) return;
  TGridDrawInfo d;
  CalcDrawInfo(d);
  const TColor color = color_ == clDefault ? DefaultColor() : color_;
  const int fixedX = d.Horz.FixedBoundary, fixedY = d.Vert.FixedBoundary;
  const int gridX = d.Horz.GridBoundary, gridY = d.Vert.GridBoundary;
  DrawCells(0, 0, 0, 0, fixedX, fixedY, fixedColor_, TGridDrawState{gdFixed});
  DrawCells(0, FTopLeft.Y, 0, fixedY, fixedX, gridY, fixedColor_, TGridDrawState{gdFixed});
  DrawCells(FTopLeft.X, 0, fixedX, 0, gridX, fixedY, fixedColor_, TGridDrawState{gdFixed});
  DrawCells(FTopLeft.X, FTopLeft.Y, fixedX, fixedY, gridX, gridY, color, TGridDrawState{});
  // Whatever lies beyond the cells.
  c->Brush()->SetColor(color);
  const int width = d.Horz.GridExtent, height = d.Vert.GridExtent;
  if (gridX < width) c->FillRect(TRect{gridX, 0, width, height});
  if (gridY < height) c->FillRect(TRect{0, gridY, std::min(gridX, width), height});
  // A selected row shows one focus rectangle along it.
  if (focused_ && options_.Contains(goRowSelect) && defaultDrawing_ && FCurrent.Y >= FTopLeft.Y) {
    const TRect r = CellRect(std::max(FTopLeft.X, fixedCols_), FCurrent.Y);
    if (r.Bottom > r.Top) c->DrawFocusRect(TRect{fixedX, r.Top, std::min(gridX, width), r.Bottom});
  }
  c->Pen()->SetColor(clBlack);
  c->Pen()->SetWidth(1);
  if (FGridState == gsColSizing) {
    c->MoveTo(FSizingPos, 0);
    c->LineTo(FSizingPos, height);
  } else if (FGridState == gsRowSizing) {
    c->MoveTo(0, FSizingPos);
    c->LineTo(width, FSizingPos);
  } else if ((FGridState == gsColMoving || FGridState == gsRowMoving) && FMovePos != FMoveIndex) {
    // The edge the moved column (row) will be put at, two pixels wide.
    const bool cols = FGridState == gsColMoving;
    const TRect r = cols ? CellRect(FMovePos, 0) : CellRect(0, FMovePos);
    const bool after = FMovePos > FMoveIndex;
    c->Brush()->SetColor(clBlack);
    if (cols && r.Right > r.Left) {
      const int x = after ? r.Right : r.Left;
      c->FillRect(TRect{x - 1, 0, x + 1, fixedY});
    } else if (!cols && r.Bottom > r.Top) {
      const int y = after ? r.Bottom : r.Top;
      c->FillRect(TRect{0, y - 1, fixedX, y + 1});
    }
  }
}
