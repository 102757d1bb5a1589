// TRichStringGrid: sizing. The count-change notification, proportional
// resizing after the user sized one column (row), permission to size,
// stretching the last column and zoom.
#include <algorithm>
#include <cmath>

#include "RichGrid/rich_grid.h"
#include "platform/rtl/scope_guard.h"

void TRichStringGrid::SizeChanged(int OldColCount, int OldRowCount) {
  TStringGrid::SizeChanged(OldColCount, OldRowCount);
  if (ColCount() < OldColCount) TrimHiddenRows();
  // Rows cut off take their selection with them.
  if (rowSelected_.size() > static_cast<std::size_t>(RowCount()))
    rowSelected_.resize(static_cast<std::size_t>(RowCount()));
  if (!HandleAllocated()) return;
  if (columnSize_->Stretch()) StretchRightColumn();
  UpdateScrollSettings();
  if (fixedFooters_ > 0 || fixedRightCols_ > 0) Repaint();
}

void TRichStringGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                      TGridDrawInfo& FixedInfo) {
  TStringGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs, FixedInfo);
  if (State == gsColSizing) {
    const TGridCoord cell = MouseCoord(X - 4, Y);
    bool allow = true;
    if (cell.Y == 0 && OnColumnSize) OnColumnSize(this, cell.X, allow);
    if (!allow) State = gsNormal;
  } else if (State == gsRowSizing) {
    const TGridCoord cell = MouseCoord(X, Y - 4);
    bool allow = true;
    if (cell.X == 0 && OnRowSize) OnRowSize(this, cell.Y, allow);
    if (!allow) State = gsNormal;
  }
  if (State == gsColSizing) {
    FSizingCol = Index;
    FSizingColWidth = ColWidths(Index);
  } else if (State == gsRowSizing) {
    FSizingRow = Index;
    FSizingRowHeight = RowHeights(Index);
  }
}

void TRichStringGrid::ColWidthsChanged() {
  if (columnSize_->Stretch()) StretchRightColumn();
  TStringGrid::ColWidthsChanged();
  FinishMouseSizing(true);
}

void TRichStringGrid::RowHeightsChanged() {
  TStringGrid::RowHeightsChanged();
  FinishMouseSizing(false);
}

// After the user sized a column (row) by mouse: with AllColumnSize
// (AllRowSize) every other data column (row) takes the same proportion; the
// end event fires once. The widths set here do not start it again.
void TRichStringGrid::FinishMouseSizing(bool columns) {
  int& sizing = columns ? FSizingCol : FSizingRow;
  bool& busy = columns ? FColSized : FRowSized;
  if (sizing < 0 || busy) return;
  const int sized = sizing;
  const int before = columns ? FSizingColWidth : FSizingRowHeight;
  const auto size = [&](int i) { return columns ? ColWidths(i) : RowHeights(i); };
  if ((columns ? mouseActions_->AllColumnSize : mouseActions_->AllRowSize) && before > 0) {
    busy = true;
    vx::ScopeGuard done([&busy] { busy = false; });
    const double factor = static_cast<double>(size(sized)) / before;
    const int first = columns ? TStringGrid::FixedCols() : TStringGrid::FixedRows();
    for (int i = first; i < (columns ? ColCount() : RowCount()); ++i) {
      if (i == sized) continue;
      const int v = static_cast<int>(std::lround(size(i) * factor));
      if (columns) SetColWidths(i, v);
      else SetRowHeights(i, v);
    }
  }
  sizing = -1;
  if (columns && OnEndColumnSize) OnEndColumnSize(this, sized);
  if (!columns && OnEndRowSize) OnEndRowSize(this, sized);
  if (!IsCheckBox(Col(), Row())) HideEditor();
}

void TRichStringGrid::StretchRightColumn() {
  if (!columnSize_->Stretch() || ColCount() < 1 || stretching_) return;
  stretching_ = true;
  vx::ScopeGuard done([this] { stretching_ = false; });
  const int last = ColCount() - 1;
  if (last == 0) {
    SetColWidths(0, ClientWidth());
    return;
  }
  int sum = 0;
  for (int c = 0; c < last; ++c) sum += ColWidths(c) + GridLineWidth();
  if (sum < ClientWidth()) SetColWidths(last, ClientWidth() - sum - 1);
}

void TRichStringGrid::Zoom(int delta) {
  const int level = zoomLevel_ + delta;
  if (level < -10 || level > 10) return;
  zoomLevel_ = level;
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  for (int c = 0; c < ColCount(); ++c)
    if (ColWidths(c) + delta > 0) SetColWidths(c, ColWidths(c) + delta);
  for (int r = 0; r < RowCount(); ++r)
    if (RowHeights(r) + delta > 0) SetRowHeights(r, RowHeights(r) + delta);
}
