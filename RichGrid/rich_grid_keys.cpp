// TRichStringGrid: the grid's own keys after the string grid's (the keys
// of editing are in rich_grid_editing.cpp): Space on a
// check box, the clipboard keys, Insert and Delete of rows (each vetoable
// by its event), Tab from the last data column on to the next row, the
// selection rectangle following the keys, and AlwaysEdit opening the
// editor after an arrow key.
#include <algorithm>

#include "RichGrid/rich_grid.h"

bool TRichStringGrid::KeyDown(Word& Key, TShiftState Shift) {
  keyShift_ = Shift;
  const TGridRect before = Selection();
  const TGridCoord from = FCurrent;
  const bool handled = TStringGrid::KeyDown(Key, Shift);
  return GridKeyDown(Key, Shift, before, from) || handled;
}

bool TRichStringGrid::KeyUp(Word& Key, TShiftState Shift) {
  const bool arrow = Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN;
  // The incremental search starts again after a moving key.
  if (arrow || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_INSERT ||
      Key == VK_DELETE)
    searchText_.clear();
  const bool handled = TStringGrid::KeyUp(Key, Shift);
  if (arrow && navigation_->AlwaysEdit) ShowEditor();
  return handled;
}

bool TRichStringGrid::GridKeyDown(Word Key, TShiftState Shift, const TGridRect& before, TGridCoord from) {
  if (Key == 0) return false;
  if (selectionRectangle_) {
    const TGridRect after = Selection();
    if (!(after == before))
      RepaintRect(TGridRect{std::min(before.Left, after.Left), std::min(before.Top, after.Top),
                            std::max(before.Right, after.Right), std::max(before.Bottom, after.Bottom)});
  }
  const bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift), alt = Shift.Contains(ssAlt);
  if (navigation_->AllowClipboardShortCuts && ClipboardKey(Key, ctrl, shift)) return true;
  const bool inside = Col() >= 0 && Col() < ColCount() && Row() >= 0 && Row() < RowCount();
  switch (Key) {
    case VK_SPACE: {
      const int col = RealColIndex(Col());
      if (!inside || !IsCheckBox(col, Row()) || !Options().Contains(goEditing)) return false;
      if (ToggleCheckBox(col, Row(), true)) {
        bool state = false;
        GetCheckBoxState(col, Row(), state);
        if (OnCheckBoxClick) OnCheckBoxClick(this, Col(), Row(), state);
      }
      return true;
    }
    case VK_INSERT:
      if (ctrl || shift || alt || !navigation_->AllowInsertRow || !inside) return false;
      InsertRowByKey();
      return true;
    case VK_DELETE:
      if (alt || !navigation_->AllowDeleteRow || !inside) return false;
      return DeleteRowByKey();
    case VK_TAB: {
      // With fixed right columns the last data column wraps to the first
      // of the next row (the first data row after the last).
      const int lastCol = ColCount() - 1 - fixedRightCols_;
      const int firstRow = FixedRows(), lastRow = RowCount() - 1 - fixedFooters_;
      if (!Options().Contains(goTabs) || shift || alt || fixedRightCols_ < 1 || from.X != lastCol) return false;
      if (lastRow < firstRow || lastCol < FixedCols()) return false;
      const int row = from.Y >= lastRow || from.Y < firstRow ? firstRow : from.Y + 1;
      FocusCell(FixedCols(), row, true);
      return true;
    }
    default: return false;
  }
}

bool TRichStringGrid::ClipboardKey(Word Key, bool ctrl, bool shift) {
  const bool cut = (ctrl && Key == 'X') || (shift && !ctrl && Key == VK_DELETE);
  const bool paste = (ctrl && Key == 'V') || (shift && !ctrl && Key == VK_INSERT);
  const bool copy = (ctrl && Key == 'C') || (ctrl && !shift && Key == VK_INSERT);
  if (!cut && !paste && !copy) return false;
  bool allow = true;
  const TClipboardEvent& ask = cut ? OnClipboardCut : paste ? OnClipboardPaste : OnClipboardCopy;
  if (ask) ask(this, allow);
  if (!allow) return true;
  if (cut) CutSelectionToClipboard();
  else if (paste) PasteSelectionFromClipboard();
  else CopySelectionToClipboard();
  return true;
}

void TRichStringGrid::InsertRowByKey() {
  bool can = true;
  const int row = Row();
  if (OnCanInsertRow) OnCanInsertRow(this, row, can);
  if (!can) return;
  if (navigation_->InsertPosition == pInsertBefore) {
    InsertRows(row, 1);
    if (OnAutoInsertRow) OnAutoInsertRow(this, row);
    return;
  }
  InsertRows(row + 1, 1);
  if (OnAutoInsertRow) OnAutoInsertRow(this, row + 1);
  FocusCell(Col(), row + 1, true);
}

bool TRichStringGrid::DeleteRowByKey() {
  const int dataRows = RowCount() - FixedRows() - fixedFooters_;
  if (dataRows < 1) return false;
  bool can = true;
  const int row = Row();
  if (OnCanDeleteRow) OnCanDeleteRow(this, row, can);
  if (!can) return true;
  // The only data row is emptied, never removed.
  if (dataRows > 1) RemoveRowsEx(row, 1);
  else ClearRows(row, 1);
  if (Row() > RowCount() - fixedFooters_ - 1 && dataRows - 1 > 1) FocusCell(Col(), Row() - 1, true);
  if (OnAutoDeleteRow) OnAutoDeleteRow(this, row);
  return true;
}
