#include "app/bases/drag_sum.h"

#include <algorithm>

#include "platform/gui/core/application.h"
#include "platform/gui/core/hintwindow.h"
#include "platform/rtl/sysutils.h"

namespace vx {

CellSum SumCells(TStringGrid& grid, TGridCoord a, TGridCoord b, SumOf which) {
  CellSum total;
  for (int c = std::min(a.X, b.X); c <= std::max(a.X, b.X); ++c)
    for (int r = std::min(a.Y, b.Y); r <= std::max(a.Y, b.Y); ++r) {
      int v = 0;
      if (!TryStrToInt(grid.Cells(c, r), v)) {
        if (which == SumOf::IntegerCells) continue;
        v = 0;
      }
      total.Sum += v;
      ++total.Count;
    }
  return total;
}

DragSum::DragSum(TComponent* hintOwner, SumEvent sum) : hintOwner_(hintOwner), sum_(std::move(sum)) {}

void DragSum::MouseDown(TMouseButton button) {
  if (button != mbLeft) return;
  dragging_ = true;
  if (!hint_) hint_ = new THintWindow(hintOwner_);
}

bool DragSum::CellAt(TStringGrid& grid, int X, int Y, TGridCoord& cell) {
  grid.MouseToCell(X, Y, cell.X, cell.Y);
  return cell.X >= 0 && cell.Y >= 0 && cell.X < grid.ColCount() && cell.Y < grid.RowCount();
}

void DragSum::MouseMove(TStringGrid& grid, int X, int Y) {
  TGridCoord cell;
  if (!dragging_ || !CellAt(grid, X, Y, cell)) return;
  ShowHint(sum_(grid, anchor_, cell));
}

void DragSum::MouseUp(TStringGrid& grid, int X, int Y) {
  TGridCoord cell;
  if (dragging_ && CellAt(grid, X, Y, cell)) sum_(grid, anchor_, cell);
  dragging_ = false;
  if (hint_) hint_->ReleaseHandle();
}

void DragSum::ShowHint(const AnsiString& text) {
  if (!hint_) hint_ = new THintWindow(hintOwner_);
  TRect r = hint_->CalcHintRect(40, text);
  const TPoint at = Mouse->CursorPos();
  r = Rect(at.X - r.Right, at.Y - r.Bottom, at.X, at.Y);
  hint_->ActivateHint(r, text);
}

}  // namespace vx
