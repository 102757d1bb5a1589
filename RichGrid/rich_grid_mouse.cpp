// TRichStringGrid: the mouse. The press on a cell (nodes, radio groups,
// buttons, disjunct rows, links, whole selections from the fixed cells,
// check boxes, direct editing, arming a drag out of the grid), the move
// (fixed-cell cursors, links under the mouse, hints, the selection
// rectangle, the arrows of a column or row being moved), the release (the
// heading click that sorts), the double click that fits a column, and the
// columns and rows the mouse moves.
#include <algorithm>
#include <cstdlib>

#include "RichGrid/canvas_state.h"
#include "RichGrid/drag_markers.h"
#include "RichGrid/grid_cursors.h"
#include "RichGrid/markup.h"
#include "RichGrid/rich_grid.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/core/shell.h"
#include "platform/rtl/scope_guard.h"

namespace {

constexpr char kCellLink[] = "CELL://";

bool Inside(const TRect& r, int X, int Y) { return X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom; }

}  // namespace

bool TRichStringGrid::IsDataRow(int ARow) const { return ARow >= FixedRows() && ARow < RowCount() - fixedFooters_; }

bool TRichStringGrid::IsDataCol(int ACol) const { return ACol >= FixedCols() && ACol < ColCount() - fixedRightCols_; }

// ---------------------------------------------------------------------------
// Press

void TRichStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // An editor that opens on this press puts its caret where the mouse is.
  vx::RestoreOnExit<bool> click(editClick_, Button == mbLeft && mouseActions_->CaretPositioning);
  editClickPoint_ = TPoint{X, Y};
  HideCellHint();
  if (panMode_) {
    // Any press ends pan mode, and does nothing else.
    EndPan();
    return;
  }
  if (Button == mbMiddle) {
    if (intelliPan_ != ipNone) StartPan(X, Y);
    TStringGrid::MouseDown(Button, Shift, X, Y);
    return;
  }
  const TGridCoord cell = MouseCoord(X, Y);
  if (Button == mbRight) {
    TStringGrid::MouseDown(Button, Shift, X, Y);
    if (cell.X < 0 || cell.Y < 0) return;
    if (OnRightClickCell) OnRightClickCell(this, cell.Y, cell.X);
    // A link is edited, not opened, with URLEdit.
    if (urlShow_ && urlEdit_ && IsURL(Cells(RealColIndex(cell.X), cell.Y)) && IsDataRow(cell.Y) && IsDataCol(cell.X)) {
      FocusCell(cell.X, cell.Y, true);
      ShowEditor();
    }
    return;
  }
  if (Button != mbLeft) {
    TStringGrid::MouseDown(Button, Shift, X, Y);
    return;
  }
  searchText_.clear();
  pressPoint_ = Point(X, Y);
  pressCell_ = cell;
  dragArmed_ = false;
  toggledOffRow_ = -1;
  movedByMouse_ = false;
  if (cell.X < 0 || cell.Y < 0) {
    TStringGrid::MouseDown(Button, Shift, X, Y);
    return;
  }
  const bool libraryFixed = cell.X < FixedCols() || cell.Y < FixedRows();
  if (libraryFixed && fixedAsButtons_ && Options().Contains(goFixedVertLine) && Options().Contains(goFixedHorzLine)) {
    pressedFixed_ = cell;
    RepaintCell(cell.X, cell.Y);
  }
  bool ownFixed = IsTrailingFixed(cell.X, cell.Y);
  if (!ownFixed) IsFixedCell(RealColIndex(cell.X), cell.Y, ownFixed);
  if (ownFixed) {
    TStringGrid::MouseDown(Button, Shift, X, Y);
    if (OnClickCell) OnClickCell(this, cell.Y, cell.X);
    return;
  }
  const bool goOn = PressCell(cell.X, cell.Y, Shift, X, Y);
  if (OnClickCell) OnClickCell(this, cell.Y, cell.X);
  if (!goOn) {
    // The press jumped to another cell: only the mouse event remains.
    TCustomControl::MouseDown(Button, Shift, X, Y);
    return;
  }
  // An armed drag keeps a selection it was pressed in, so that all of it
  // can be dragged; the mouse event still fires.
  const TGridRect sel = Selection();
  if (dragArmed_ && cell.X >= sel.Left && cell.X <= sel.Right && cell.Y >= sel.Top && cell.Y <= sel.Bottom) {
    if (!IsActiveControl() && CanFocus()) SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
    return;
  }
  TStringGrid::MouseDown(Button, Shift, X, Y);
  // The drag waits for the mouse to move; the selection does not follow it.
  if (dragArmed_ && FGridState == gsSelecting) FGridState = gsNormal;
}

bool TRichStringGrid::PressCell(int ACol, int ARow, TShiftState Shift, int X, int Y) {
  const int col = RealColIndex(ACol);
  // Node marks open and close their rows.
  if (ACol == 0 && IsNode(ARow)) {
    const TCellGraphic* g = CellGraphic(0, ARow);
    const int real = RealRowIndex(ARow);
    if (g && g->State) {
      ContractNode(ARow);
      if (OnContractNode) OnContractNode(this, ARow, real);
    } else {
      ExpandNode(ARow);
      if (OnExpandNode) OnExpandNode(this, ARow, real);
    }
  }
  if (IsRadio(col, ARow)) {
    const int item = RadioItemAt(ACol, ARow, X, Y);
    if (item >= 0) {
      CellGraphic(col, ARow)->Value = item;
      RepaintCell(ACol, ARow);
      if (OnRadioClick) OnRadioClick(this, ACol, ARow, item);
    }
  }
  if (IsButton(col, ARow) && Inside(PaintedButtonRect(col, ARow, CellRect(ACol, ARow)), X, Y)) {
    pressedButton_ = TGridCoord{ACol, ARow};
    SetCellState(col, ARow, true);
  }
  if (mouseActions_->DisjunctRowSelect && IsDataRow(ARow)) {
    if (!Shift.Contains(ssCtrl)) {
      ClearRowSelect();
    } else {
      SetRowSelect(ARow, !RowSelect(ARow));
      if (!RowSelect(ARow)) toggledOffRow_ = ARow;
    }
  }
  const AnsiString anchor = AnchorAt(ACol, ARow, X, Y);
  if (!anchor.empty() && !FollowLink(ACol, ARow, anchor)) return false;
  if (Options().Contains(goRangeSelect)) {
    TGridRect all{FixedCols(), FixedRows(), ColCount() - 1 - fixedRightCols_, RowCount() - 1 - fixedFooters_};
    const int state = CursorStateAt(X, Y);
    if (all.Right >= all.Left && all.Bottom >= all.Top && state != 0) {
      if (state == 2) all.Top = all.Bottom = ARow;
      if (state == 1) all.Left = all.Right = ACol;
      if (CanFocus()) SetFocus();
      SetSelection(all);
    }
  }
  if (IsCheckBox(col, ARow) && ToggleCheckBox(col, ARow, true)) {
    bool state = false;
    GetCheckBoxState(col, ARow, state);
    if (OnCheckBoxClick) OnCheckBoxClick(this, ACol, ARow, state);
  }
  if (mouseActions_->DirectEdit && IsDataRow(ARow) && IsDataCol(ACol) && !IsCheckBox(col, ARow) &&
      !IsRadio(col, ARow)) {
    if (!(FCurrent == TGridCoord{ACol, ARow})) FocusCell(ACol, ARow, true);
    if (FCurrent == TGridCoord{ACol, ARow}) ShowEditor();
  }
  if (oleDropSource_ && !Options().Contains(goEditing) && !IsSizingBorder(X, Y)) dragArmed_ = true;
  return true;
}

int TRichStringGrid::RadioItemAt(int ACol, int ARow, int X, int Y) {
  const TCellGraphic* g = CellGraphic(RealColIndex(ACol), ARow);
  if (!g) return -1;
  CanvasState keep(Canvas());
  UseCellFont(RealColIndex(ACol), ARow);
  const std::vector<TRect> items = RadioItemRects(*g, CellRect(ACol, ARow));
  for (std::size_t i = 0; i < items.size(); ++i)
    if (Inside(items[i], X, Y)) return static_cast<int>(i);
  return -1;
}

// ---------------------------------------------------------------------------
// Links

AnsiString TRichStringGrid::AnchorAt(int ACol, int ARow, int X, int Y) {
  const int col = RealColIndex(ACol);
  const AnsiString text = Cells(col, ARow);
  if (text.empty()) return "";
  if (TextType(text, enableHTML_) == ctMarkup) {
    CanvasState keep(Canvas());
    UseCellFont(col, ARow);
    AnsiString link, plain;
    int w = 0, h = 0;
    const TRect r = MarkupRect(ACol, ARow, CellRect(ACol, ARow));
    if (DrawMarkup(Canvas(), text, r, gridImages_, X, Y, true, false, false, false, blinkOn_, 1.0, urlColor_, link,
                   plain, w, h))
      return link;
    return "";
  }
  return urlShow_ && IsURL(text) ? text : "";
}

bool TRichStringGrid::FollowLink(int ACol, int ARow, const AnsiString& anchor) {
  bool autoHandle = true;
  if (OnAnchorClick) OnAnchorClick(this, ARow, ACol, anchor, autoHandle);
  if (!autoHandle) return true;
  const std::size_t at = AnsiUpperCase(anchor).find(kCellLink);
  if (at == AnsiString::npos) {
    // Web and mail addresses only: the shell refuses anything else.
    ShellExecute(this, "open", anchor, "", "", SW_SHOWNORMAL);
    return true;
  }
  int col = 0, row = 0;
  if (!IsCellReference(anchor.substr(at + sizeof(kCellLink) - 1), col, row)) return true;
  // A cell outside the data cells cannot become current: the link is ignored.
  if (!IsDataRow(row) || !IsDataCol(col)) return true;
  JumpToCell(col, row);
  return false;
}

void TRichStringGrid::JumpToCell(int ACol, int ARow) {
  FocusCell(ACol, ARow, true);
  if (!(FCurrent == TGridCoord{ACol, ARow})) return;
  MoveTopLeft(std::max(FixedCols(), ACol - VisibleColCount() / 2), std::max(FixedRows(), ARow - VisibleRowCount() / 2));
}

// ---------------------------------------------------------------------------
// Move

int TRichStringGrid::CursorStateAt(int X, int Y) {
  const TGridCoord c = MouseCoord(X, Y);
  if (c.X < 0 || c.Y < 0) return 0;
  if (mouseActions_->AllSelect && c.X < FixedCols() && c.Y < FixedRows()) return 3;
  if (!mouseActions_->ColSelect && !mouseActions_->RowSelect) return 0;
  if (IsSizingBorder(X, Y)) return 0;
  if (mouseActions_->ColSelect && c.Y < FixedRows() && IsDataCol(c.X)) return 1;
  if (mouseActions_->RowSelect && c.X < FixedCols() && IsDataRow(c.Y)) return 2;
  return 0;
}

void TRichStringGrid::ShowMouseCursor() {
  if (panMode_ || (FGridState != gsNormal && FGridState != gsSelecting)) return;
  static constexpr TCursor kStateCursor[] = {crDefault, crColSelect, crRowSelect, crAllSelect};
  TCursor cursor = savedCursor_;
  if (!hoverAnchor_.empty()) cursor = crHandPoint;
  else if (cursorState_ > 0) cursor = kStateCursor[cursorState_];
  if (cursor != Cursor()) SetCursor(cursor);
}

void TRichStringGrid::MouseMove(TShiftState Shift, int X, int Y) {
  mousePoint_ = Point(X, Y);
  if (panMode_) {
    TStringGrid::MouseMove(Shift, X, Y);
    return;
  }
  if (hovering_ && !mouseInside_) {
    mouseInside_ = true;
    UpdateHoverTimer();
  }
  if (dragArmed_ && (std::abs(X - pressPoint_.X) > 3 || std::abs(Y - pressPoint_.Y) > 3) && FGridState != gsColSizing) {
    dragArmed_ = false;
    // The drag runs to its end here (the button's release is the drop's).
    if (StartOleDrag(X, Y)) return;
    // Refused: the move selects as usual.
    if (FGridState == gsNormal) FGridState = gsSelecting;
  }
  const TGridCoord cell = MouseCoord(X, Y);
  cursorState_ = FGridState == gsNormal || FGridState == gsSelecting ? CursorStateAt(X, Y) : 0;

  // Links under the mouse, in data cells.
  AnsiString anchor;
  if (cell.X >= 0 && cell.Y >= 0 && IsDataRow(cell.Y) && IsDataCol(cell.X)) anchor = AnchorAt(cell.X, cell.Y, X, Y);
  if (anchor != hoverAnchor_ || (!anchor.empty() && !(cell == anchorCell_))) {
    if (!hoverAnchor_.empty() && OnAnchorExit) OnAnchorExit(this, anchorCell_.Y, anchorCell_.X, hoverAnchor_);
    hoverAnchor_ = anchor;
    anchorCell_ = cell;
    if (!anchor.empty() && OnAnchorEnter) OnAnchorEnter(this, cell.Y, cell.X, anchor);
  }
  ShowMouseCursor();
  if (hintShown_ && !(cell == hintCell_)) HideCellHint();

  const TGridRect before = Selection();
  TStringGrid::MouseMove(Shift, X, Y);
  if (selectionRectangle_ && FGridState == gsSelecting) {
    const TGridRect after = Selection();
    if (!(after == before))
      RepaintRect(TGridRect{std::min(before.Left, after.Left), std::min(before.Top, after.Top),
                            std::max(before.Right, after.Right), std::max(before.Bottom, after.Bottom)});
  }
  if (FGridState == gsColMoving || FGridState == gsRowMoving) ShowMoveMarkers();
}

void TRichStringGrid::MouseLeave() {
  mouseInside_ = false;
  HideCellHint();
  if (!hoverAnchor_.empty()) {
    if (OnAnchorExit) OnAnchorExit(this, anchorCell_.Y, anchorCell_.X, hoverAnchor_);
    hoverAnchor_.clear();
  }
  cursorState_ = 0;
  ShowMouseCursor();
}

// ---------------------------------------------------------------------------
// Release

void TRichStringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbRight && FGridState == gsColMoving) return;
  if (Button != mbLeft) {
    TStringGrid::MouseUp(Button, Shift, X, Y);
    return;
  }
  dragArmed_ = false;
  HideMoveMarkers();
  if (pressedFixed_.X >= 0) {
    const TGridCoord was = pressedFixed_;
    pressedFixed_ = TGridCoord{-1, -1};
    RepaintCell(was.X, was.Y);
  }
  if (pressedButton_.X >= 0) {
    const TGridCoord b = pressedButton_;
    pressedButton_ = TGridCoord{-1, -1};
    SetCellState(RealColIndex(b.X), b.Y, false);
    if (OnButtonClick) OnButtonClick(this, b.X, b.Y);
  }
  const TGridCoord cell = MouseCoord(X, Y);
  if (mouseActions_->DisjunctRowSelect && cell.Y >= 0 && IsDataRow(cell.Y)) {
    SelectRowsInSelection();
    if (toggledOffRow_ >= 0 && toggledOffRow_ < RowCount()) SetRowSelect(toggledOffRow_, false);
  }
  toggledOffRow_ = -1;
  const bool sized = FGridState == gsColSizing || FGridState == gsRowSizing;
  {
    vx::RestoreOnExit<bool> moving(movingByMouse_, FGridState == gsColMoving || FGridState == gsRowMoving);
    TStringGrid::MouseUp(Button, Shift, X, Y);
  }
  // A press on a sizing line that changed nothing leaves no sizing behind.
  FSizingCol = FSizingRow = -1;
  if (movedByMouse_ || sized) return;
  if (cell.X >= 0 && cell.Y >= 0) {
    const int col = RealColIndex(cell.X);
    bool state = false;
    int item = 0;
    if (GetCheckBoxState(col, cell.Y, state) && OnCheckBoxMouseUp) OnCheckBoxMouseUp(this, cell.X, cell.Y, state);
    if (GetRadioIdx(col, cell.Y, item) && OnRadioMouseUp) OnRadioMouseUp(this, cell.X, cell.Y, item);
  }
  if (pressCell_.Y == 0 && cell.Y == 0) {
    if (suppressSortClick_) suppressSortClick_ = false;
    else HeaderClickSort(cell.X, X, Shift);
  }
}

// ---------------------------------------------------------------------------
// Double click

void TRichStringGrid::DblClick() {
  // The double click comes where the press before it was.
  const TGridCoord cell = MouseCoord(pressPoint_.X, pressPoint_.Y);
  if (cell.Y == 0 && Options().Contains(goColSizing)) {
    const int line = LineNear(true, pressPoint_.X, true);
    // The line left of the cell fits the column it closes unless that is
    // fixed; the cell's own right line fits the cell's column.
    if (line >= 0 && (line == cell.X || line >= TStringGrid::FixedCols())) {
      FitColumn(line);
      suppressSortClick_ = true;
    }
  }
  TStringGrid::DblClick();
  if (cell.X >= 0 && cell.Y >= 0 && OnDblClickCell) OnDblClickCell(this, cell.Y, cell.X);
}

// ---------------------------------------------------------------------------
// Columns and rows moved by the mouse

void TRichStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
  TStringGrid::ColumnMoved(FromIndex, ToIndex);
  // Hidden rows keep their cells in the columns of the shown ones.
  for (const auto& item : hiddenRows_) MoveRowCell(item->Items, item->Objects, FromIndex, ToIndex);
  if (!movingByMouse_) return;
  movedByMouse_ = true;
  if (!enhRowColMove_) return;
  // The width travels with its column; the ones between shift by one.
  const int width = ColWidths(FromIndex);
  const int step = FromIndex < ToIndex ? 1 : -1;
  for (int c = FromIndex; c != ToIndex; c += step) SetColWidths(c, ColWidths(c + step));
  SetColWidths(ToIndex, width);
  // The sort column follows its data.
  if (sortColumn_ == FromIndex) sortColumn_ = ToIndex;
  else if (FromIndex < sortColumn_ && sortColumn_ <= ToIndex) --sortColumn_;
  else if (ToIndex <= sortColumn_ && sortColumn_ < FromIndex) ++sortColumn_;
  RepaintRow(0);
}

void TRichStringGrid::RowMoved(int FromIndex, int ToIndex) {
  TStringGrid::RowMoved(FromIndex, ToIndex);
  if (!movingByMouse_) return;
  movedByMouse_ = true;
  if (!enhRowColMove_) return;
  const int height = RowHeights(FromIndex);
  SetRowHeights(FromIndex, RowHeights(ToIndex));
  SetRowHeights(ToIndex, height);
}

// The arrows point at the edge the moved column (row) will take: the up
// and down arrows above and below the heading for a column, the right and
// left arrows beside the fixed column for a row.
void TRichStringGrid::ShowMoveMarkers() {
  const bool columns = FGridState == gsColMoving;
  TArrowWindow* first = arrows_[columns ? 1 : 2];
  TArrowWindow* second = arrows_[columns ? 0 : 3];
  if (!first || !second) return;
  const TRect r = columns ? CellRect(FMovePos, 0) : CellRect(0, FMovePos);
  if (r.Right <= r.Left) {
    HideMoveMarkers();
    return;
  }
  const bool after = FMovePos > FMoveIndex;
  if (columns) {
    const int x = after ? r.Right : r.Left;
    int bottom = 0;
    for (int i = 0; i < FixedRows(); ++i) bottom += RowHeights(i) + GridLineWidth();
    const TPoint top = ClientToScreen(Point(x - 5, r.Top));
    const TPoint below = ClientToScreen(Point(x - 5, bottom));
    first->SetBounds(top.X, top.Y - 9, 11, 11);
    second->SetBounds(below.X, below.Y, 11, 11);
  } else {
    const int y = after ? r.Bottom : r.Top;
    int right = 0;
    for (int i = 0; i < FixedCols(); ++i) right += ColWidths(i) + GridLineWidth();
    const TPoint left = ClientToScreen(Point(0, y - 5));
    const TPoint beside = ClientToScreen(Point(right, y - 5));
    first->SetBounds(left.X - 9, left.Y, 11, 11);
    second->SetBounds(beside.X, beside.Y, 11, 11);
  }
  first->Show();
  second->Show();
}

void TRichStringGrid::HideMoveMarkers() {
  for (TArrowWindow* a : arrows_)
    if (a && a->Visible()) a->Hide();
}
