// Sums of the cells the user drags over with the left button, shown in a
// hint at the mouse: the statistics grid and the base viewer's grids.
//
// The anchor is the cell the grid last selected (the drag starts there).
// A left press starts the drag; every move while dragging sums from the
// anchor to the cell under the mouse and shows the text the sum gives in
// the hint, its bottom-right corner at the cursor; the release sums once
// more and hides the hint. Moves off the cells (outside the grid, or past
// its last column or row) change nothing. One hint window serves every
// drag; it belongs to the owner given.
#pragma once

#include <functional>

#include "platform/gui/grids/grids.h"

class THintWindow;

namespace vx {

struct CellSum {
  long long Sum = 0;
  int Count = 0;
};

// Which cells of a rectangle count.
enum class SumOf {
  // Every cell; a text that is not an integer adds 0.
  AllCells,
  // Only the cells whose text is an integer.
  IntegerCells,
};

// The cells of the rectangle between two cells, corners in any order.
CellSum SumCells(TStringGrid& grid, TGridCoord a, TGridCoord b, SumOf which);

class DragSum {
 public:
  // Sums grid from anchor to cell and returns the hint's text.
  using SumEvent = std::function<AnsiString(TStringGrid& grid, TGridCoord anchor, TGridCoord cell)>;
  DragSum(TComponent* hintOwner, SumEvent sum);

  bool Dragging() const { return dragging_; }
  TGridCoord Anchor() const { return anchor_; }
  // The hint window; nullptr before the first drag.
  THintWindow* Hint() const { return hint_; }

  void SelectCell(int ACol, int ARow) { anchor_ = {ACol, ARow}; }
  void MouseDown(TMouseButton button);
  void MouseMove(TStringGrid& grid, int X, int Y);
  void MouseUp(TStringGrid& grid, int X, int Y);
  // Ends a drag without summing (the button released elsewhere).
  void Cancel() { dragging_ = false; }
  // Shows text at the cursor.
  void ShowHint(const AnsiString& text);

 private:
  // The cell under (X, Y); false off the cells.
  static bool CellAt(TStringGrid& grid, int X, int Y, TGridCoord& cell);

  TComponent* hintOwner_;
  SumEvent sum_;
  TGridCoord anchor_{};
  bool dragging_ = false;
  THintWindow* hint_ = nullptr;
};

}  // namespace vx
