// TCustomGrid geometry: laying cells out along each axis, cell rectangles,
// hit tests, the largest top-left cell, scrolling and the 0..127 scroll bars.
#include <algorithm>
#include <cmath>

#include "platform/gui/grids/grids.h"

namespace {

// a * b / c rounded to the nearest integer (0 when c is 0).
int Scale(int a, int b, int c) { return c == 0 ? 0 : static_cast<int>(std::lround(static_cast<double>(a) * b / c)); }

}  // namespace

// Lays out one axis: the fixed cells from 0, then the scrolled cells from
// FirstGridCell on, as far as the client extent reaches.
static void CalcAxis(TGridAxisDrawInfo& a) {
  a.FixedBoundary = 0;
  for (int i = 0; i < a.FixedCellCount; ++i) a.FixedBoundary += a.GetExtent(i) + a.EffectiveLineWidth;
  a.GridBoundary = a.FixedBoundary;
  a.FullVisBoundary = a.FixedBoundary;
  a.LastFullVisibleCell = a.FirstGridCell;
  for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
    a.GridBoundary += a.GetExtent(i) + a.EffectiveLineWidth;
    // A cell counts as shown whole when only its line falls outside.
    if (a.GridBoundary > a.GridExtent + a.EffectiveLineWidth) {
      a.GridBoundary = a.GridExtent;
      break;
    }
    a.LastFullVisibleCell = i;
    a.FullVisBoundary = a.GridBoundary;
  }
}

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& d) {
  const bool vertLines = options_.Contains(goFixedVertLine) || options_.Contains(goVertLine);
  const bool horzLines = options_.Contains(goFixedHorzLine) || options_.Contains(goHorzLine);
  d.Horz.EffectiveLineWidth = vertLines ? gridLineWidth_ : 0;
  d.Vert.EffectiveLineWidth = horzLines ? gridLineWidth_ : 0;
  d.Horz.FixedCellCount = fixedCols_;
  d.Vert.FixedCellCount = fixedRows_;
  d.Horz.FirstGridCell = FTopLeft.X;
  d.Vert.FirstGridCell = FTopLeft.Y;
  d.Horz.GridCellCount = colCount_;
  d.Vert.GridCellCount = rowCount_;
  d.Horz.GridExtent = ClientWidth();
  d.Vert.GridExtent = ClientHeight();
  d.Horz.GetExtent = [this](int i) { return ColWidths(i); };
  d.Vert.GetExtent = [this](int i) { return RowHeights(i); };
  d.Horz.FixedBoundary = 0;
  for (int i = 0; i < fixedCols_; ++i) d.Horz.FixedBoundary += ColWidths(i) + d.Horz.EffectiveLineWidth;
  d.Vert.FixedBoundary = 0;
  for (int i = 0; i < fixedRows_; ++i) d.Vert.FixedBoundary += RowHeights(i) + d.Vert.EffectiveLineWidth;
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& d) {
  CalcFixedInfo(d);
  CalcAxis(d.Horz);
  CalcAxis(d.Vert);
}

// The left (top) edge of a cell on the axis, or -1 when it is not shown.
int TCustomGrid::LinePos(const TGridAxisDrawInfo& a, int line) const {
  int pos = 0;
  int from = 0;
  if (line >= a.FixedCellCount) {
    if (line < a.FirstGridCell) return -1;
    pos = a.FixedBoundary;
    from = a.FirstGridCell;
  }
  for (int i = from; i < line; ++i) {
    pos += a.GetExtent(i) + a.EffectiveLineWidth;
    if (pos >= a.GridExtent) return -1;
  }
  return pos < a.GridExtent ? pos : -1;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) {
  if (ACol < 0 || ARow < 0 || ACol >= colCount_ || ARow >= rowCount_) return TRect{};
  TGridDrawInfo d;
  CalcFixedInfo(d);
  const int left = LinePos(d.Horz, ACol), top = LinePos(d.Vert, ARow);
  if (left < 0 || top < 0) return TRect{};
  return TRect{left, top, std::min(left + ColWidths(ACol), d.Horz.GridExtent),
               std::min(top + RowHeights(ARow), d.Vert.GridExtent)};
}

// The cell along one axis under a client coordinate; a grid line belongs to
// the cell before it.
static int CoordOnAxis(const TGridAxisDrawInfo& a, int pos) {
  if (pos < 0 || pos >= a.GridExtent) return -1;
  int edge = 0;
  for (int i = 0; i < a.FixedCellCount; ++i) {
    edge += a.GetExtent(i) + a.EffectiveLineWidth;
    if (pos < edge) return i;
  }
  for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
    edge += a.GetExtent(i) + a.EffectiveLineWidth;
    if (pos < edge) return i;
    if (edge >= a.GridExtent) break;
  }
  return -1;
}

TGridCoord TCustomGrid::CalcCoordFromPoint(int X, int Y, const TGridDrawInfo& d) {
  return TGridCoord{CoordOnAxis(d.Horz, X), CoordOnAxis(d.Vert, Y)};
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) {
  TGridDrawInfo d;
  CalcFixedInfo(d);
  const TGridCoord c = CalcCoordFromPoint(X, Y, d);
  // Both or neither: a point beside the cells is in no cell.
  if (c.X < 0 || c.Y < 0) return TGridCoord{-1, -1};
  return c;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) {
  const TGridCoord c = MouseCoord(X, Y);
  ACol = c.X;
  ARow = c.Y;
}

// The largest first scrolled cell along an axis that still shows the last
// cell whole (the last cell itself when even it does not fit).
static int MaxFirstCell(const TGridAxisDrawInfo& a) {
  int room = a.GridExtent + a.EffectiveLineWidth - a.FixedBoundary;
  int result = a.GridCellCount - 1;
  for (int i = a.GridCellCount - 1; i >= a.FixedCellCount; --i) {
    room -= a.GetExtent(i) + a.EffectiveLineWidth;
    if (room < 0) break;
    result = i;
  }
  return std::max(result, a.FixedCellCount);
}

TGridCoord TCustomGrid::CalcMaxTopLeft(const TGridCoord&, const TGridDrawInfo& d) {
  return TGridCoord{MaxFirstCell(d.Horz), MaxFirstCell(d.Vert)};
}

int TCustomGrid::VisibleColCount() {
  TGridDrawInfo d;
  CalcDrawInfo(d);
  return std::max(0, d.Horz.LastFullVisibleCell - FTopLeft.X + 1);
}

int TCustomGrid::VisibleRowCount() {
  TGridDrawInfo d;
  CalcDrawInfo(d);
  return std::max(0, d.Vert.LastFullVisibleCell - FTopLeft.Y + 1);
}

int TCustomGrid::GridWidth() {
  TGridDrawInfo d;
  CalcDrawInfo(d);
  return d.Horz.GridBoundary;
}

int TCustomGrid::GridHeight() {
  TGridDrawInfo d;
  CalcDrawInfo(d);
  return d.Vert.GridBoundary;
}

// ---------------------------------------------------------------------------
// Scrolling

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
  TGridDrawInfo d;
  CalcFixedInfo(d);
  const TGridCoord max = CalcMaxTopLeft(FTopLeft, d);
  ALeft = std::clamp(ALeft, fixedCols_, std::max(fixedCols_, max.X));
  ATop = std::clamp(ATop, fixedRows_, std::max(fixedRows_, max.Y));
  if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
  FTopLeft = TGridCoord{ALeft, ATop};
  // The editor does not follow a scroll: it closes, keeping its text.
  HideEdit();
  InvalidateGrid();
  UpdateScrollPos();
  TopLeftChanged();
}

void TCustomGrid::ClampInView(const TGridCoord& c) {
  if (c.X < 0 || c.Y < 0 || c.X >= colCount_ || c.Y >= rowCount_) return;
  TGridDrawInfo d;
  CalcDrawInfo(d);
  TGridCoord top = FTopLeft;
  if (c.X >= fixedCols_ && c.X < top.X) top.X = c.X;
  else if (c.X > d.Horz.LastFullVisibleCell) {
    // Scroll right until the column is shown whole.
    top.X = c.X;
    int room = d.Horz.GridExtent - d.Horz.FixedBoundary - ColWidths(c.X);
    while (top.X - 1 >= fixedCols_ && room - (ColWidths(top.X - 1) + d.Horz.EffectiveLineWidth) >= 0) {
      room -= ColWidths(top.X - 1) + d.Horz.EffectiveLineWidth;
      --top.X;
    }
  }
  if (c.Y >= fixedRows_ && c.Y < top.Y) top.Y = c.Y;
  else if (c.Y > d.Vert.LastFullVisibleCell) {
    top.Y = c.Y;
    int room = d.Vert.GridExtent - d.Vert.FixedBoundary - RowHeights(c.Y);
    while (top.Y - 1 >= fixedRows_ && room - (RowHeights(top.Y - 1) + d.Vert.EffectiveLineWidth) >= 0) {
      room -= RowHeights(top.Y - 1) + d.Vert.EffectiveLineWidth;
      --top.Y;
    }
  }
  if (!(top == FTopLeft)) MoveTopLeft(top.X, top.Y);
}

void TCustomGrid::SetTopRow(int v) {
  if (v != FTopLeft.Y) MoveTopLeft(FTopLeft.X, v);
}

void TCustomGrid::SetLeftCol(int v) {
  if (v != FTopLeft.X) MoveTopLeft(v, FTopLeft.Y);
}

vx::ScrollBarState* TCustomGrid::ScrollBar(int bar) {
  if (bar == SB_HORZ) return &horzBar_;
  if (bar == SB_VERT) return &vertBar_;
  return nullptr;
}

void TCustomGrid::UpdateScrollPos() {
  TGridDrawInfo d;
  CalcFixedInfo(d);
  const TGridCoord max = CalcMaxTopLeft(FTopLeft, d);
  updatingScrollBars_ = true;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth)
    SetScrollPos(this, SB_VERT, Scale(FTopLeft.Y - fixedRows_, 127, max.Y - fixedRows_), true);
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth)
    SetScrollPos(this, SB_HORZ, Scale(FTopLeft.X - fixedCols_, 127, max.X - fixedCols_), true);
  updatingScrollBars_ = false;
}

void TCustomGrid::UpdateScrollRange() {
  // Showing a bar narrows the client, which may call for the other bar: two
  // rounds settle it.
  for (int round = 0; round < 2; ++round) {
    TGridDrawInfo d;
    CalcFixedInfo(d);
    const TGridCoord max = CalcMaxTopLeft(FTopLeft, d);
    const bool vert = (scrollBars_ == ssVertical || scrollBars_ == ssBoth) && max.Y > fixedRows_;
    const bool horz = (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) && max.X > fixedCols_;
    const bool changed = vert != vertBar_.Visible || horz != horzBar_.Visible;
    updatingScrollBars_ = true;
    for (int bar : {SB_HORZ, SB_VERT}) {
      vx::ScrollBarState& s = bar == SB_HORZ ? horzBar_ : vertBar_;
      s.Visible = bar == SB_HORZ ? horz : vert;
      if (s.Min != 0 || s.Max != 127) SetScrollRange(this, bar, 0, 127, true);
      ScrollBarChanged(bar);
    }
    updatingScrollBars_ = false;
    if (!changed) break;
  }
  // A larger client may leave the top-left beyond its largest value.
  TGridDrawInfo d;
  CalcFixedInfo(d);
  const TGridCoord max = CalcMaxTopLeft(FTopLeft, d);
  if (FTopLeft.X > max.X || FTopLeft.Y > max.Y) MoveTopLeft(std::min(FTopLeft.X, max.X), std::min(FTopLeft.Y, max.Y));
  UpdateScrollPos();
}

void TCustomGrid::ModifyScrollBar(int bar, int code, int pos) {
  TGridDrawInfo d;
  CalcDrawInfo(d);
  const TGridCoord max = CalcMaxTopLeft(FTopLeft, d);
  const bool vertical = bar == SB_VERT;
  const int fixed = vertical ? fixedRows_ : fixedCols_;
  const int current = vertical ? FTopLeft.Y : FTopLeft.X;
  const int last = vertical ? max.Y : max.X;
  const int page =
      std::max(1, vertical ? d.Vert.LastFullVisibleCell - FTopLeft.Y + 1 : d.Horz.LastFullVisibleCell - FTopLeft.X + 1);
  int target = current;
  switch (code) {
    case SB_LINEUP: target = current - 1; break;
    case SB_LINEDOWN: target = current + 1; break;
    case SB_PAGEUP: target = current - page; break;
    case SB_PAGEDOWN: target = current + page; break;
    case SB_THUMBTRACK:
      if (!options_.Contains(goThumbTracking)) return;
      [[fallthrough]];
    case SB_THUMBPOSITION: target = ThumbCell(bar, pos); break;
    case SB_TOP: target = fixed; break;
    case SB_BOTTOM: target = last; break;
    default: return;
  }
  if (vertical) MoveTopLeft(FTopLeft.X, target);
  else MoveTopLeft(target, FTopLeft.Y);
  if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
    // The thumb stays where it was dropped until the next scroll.
    vx::ScrollBarState& s = vertical ? vertBar_ : horzBar_;
    s.Pos = std::clamp(pos, 0, 127);
    ScrollBarChanged(bar);
  }
}

int TCustomGrid::ThumbCell(int bar, int pos) {
  TGridDrawInfo d;
  CalcDrawInfo(d);
  const TGridCoord max = CalcMaxTopLeft(FTopLeft, d);
  const int fixed = bar == SB_VERT ? fixedRows_ : fixedCols_;
  const int last = bar == SB_VERT ? max.Y : max.X;
  return fixed + Scale(std::clamp(pos, 0, 127), last - fixed, 127);
}

void TCustomGrid::WMScroll(int bar, int code, int pos) {
  if (code == SB_ENDSCROLL) return;
  ModifyScrollBar(bar, code, pos);
}
