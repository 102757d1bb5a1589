// TRichStringGrid: cell editing. When an editor may open and which one,
// the end of an edit and its validation, the per-cell editing option, the
// keys of editing (Escape, Enter, typed characters, the incremental search
// when editing is off) and the advance to the next cell.
#include <algorithm>

#include "RichGrid/cell_controls.h"
#include "RichGrid/edit_link.h"
#include "RichGrid/rich_grid.h"
#include "RichGrid/rich_inplace_edit.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/sysutils.h"

namespace {

// Types the in-place editor serves; every other type has a control (or,
// edDataCheckBox, none at all).
bool IsInplaceType(TEditorType type) {
  switch (type) {
    case edNormal:
    case edNumeric:
    case edPositiveNumeric:
    case edFloat:
    case edCapital:
    case edMixedCase:
    case edPassword:
    case edLowerCase:
    case edUpperCase: return true;
    default: return false;
  }
}

}  // namespace

TInplaceEdit* TRichStringGrid::CreateEditor() {
  auto* editor = new TRichInplaceEdit(this);
  editor->SetWordWrap(wordWrap_);
  return editor;
}

// ---------------------------------------------------------------------------
// The editing option per cell

void TRichStringGrid::SetOptions(TGridOptions v) {
  designedEditing_ = v.Contains(goEditing);
  editingApplied_ = false;
  TStringGrid::SetOptions(v);
}

// The option as set by the grid's user. A change through the string grid's
// own setter shows as an option that is no longer what a cell made of it.
bool TRichStringGrid::DesignedEditing() {
  const bool now = Options().Contains(goEditing);
  if (!editingApplied_ || now != appliedEditing_) {
    designedEditing_ = now;
    editingApplied_ = false;
  }
  return designedEditing_;
}

bool TRichStringGrid::CellEditable(int ACol, int ARow) {
  bool can = DesignedEditing();
  CanEditCell(ACol, ARow, can);
  return can;
}

void TRichStringGrid::ApplyCellEditing(int ACol, int ARow) {
  const bool designed = DesignedEditing();
  const bool can = CellEditable(ACol, ARow);
  if (can != Options().Contains(goEditing)) {
    TGridOptions o = Options();
    if (can) o.Include(goEditing);
    else o.Exclude(goEditing);
    TStringGrid::SetOptions(o);
  }
  designedEditing_ = designed;
  appliedEditing_ = can;
  editingApplied_ = true;
}

// ---------------------------------------------------------------------------
// Opening an editor

bool TRichStringGrid::CanEditShow() {
  if (validating_ || editControlActive_ || linkActive_) return false;
  if (!TStringGrid::CanEditShow()) return false;
  if (ComponentState().Contains(csDesigning)) return true;
  const int c = Col(), r = Row();
  if (IsEditorControlCell(c, r)) return false;
  const bool open = FInplaceEdit && FInplaceEdit->Showing() && FInplaceCol == c && FInplaceRow == r;
  if (!open) {
    // A new edit: its starting text, and the editor the cell asks for.
    startText_ = Cells(c, r);
    editorType_ = edNormal;
    GetCellEditor(c, r, editorType_);
    if (!IsInplaceType(editorType_)) {
      if (editorType_ != edDataCheckBox) ShowEditorControl(c, r);
      editorShown_ = true;
      return false;
    }
    if (!editPending_) BeginEdit(c, r);
  }
  editorShown_ = true;
  editPending_ = true;
  return true;
}

void TRichStringGrid::Click() {
  TStringGrid::Click();
  editorShown_ = false;
  // An edit still open keeps the text it started from.
  if (!editPending_ && !editControlActive_ && !linkActive_) BeginEdit(Col(), Row());
}

// ---------------------------------------------------------------------------
// Ending an edit

bool TRichStringGrid::ValidateEdit() {
  if (!editPending_) return true;
  editPending_ = false;
  vx::RestoreOnExit<bool> busy(validating_, true);
  const int c = FEditCol, r = FEditRow;
  const AnsiString text = Cells(c, r);
  if (text != FEditText) CellChanged(c, r);
  AnsiString value = text;
  bool valid = true;
  if (OnCellValidate) OnCellValidate(this, c, r, value, valid);
  if (valid) {
    if (value != text) SetCells(c, r, value);
  } else {
    // The corrected text, or else the text the edit started from; the edit
    // stays open on the cell.
    SetCells(c, r, value != text ? value : FEditText);
    editPending_ = true;
  }
  BeginEdit(Col(), Row());
  ReloadInplaceEditor();
  return valid;
}

void TRichStringGrid::ReloadInplaceEditor() {
  if (FInplaceEdit && FInplaceEdit->Showing() && FInplaceCol == Col() && FInplaceRow == Row())
    static_cast<TRichInplaceEdit*>(FInplaceEdit)->ReloadFromCell();
}

bool TRichStringGrid::FinishEditing() {
  if (linkActive_) {
    EndLinkEdit(0, TShiftState{});
    return !linkActive_;
  }
  if (editControlActive_) return EndEditControl();
  return ValidateEdit();
}

bool TRichStringGrid::SelectCell(int ACol, int ARow) {
  // After a refused move the same mouse drag moves nothing more.
  if (FGridState != gsSelecting) refusedDrag_ = false;
  else if (refusedDrag_) return false;
  bool allow = true;
  const bool rowChanges = ARow != Row(), colChanges = ACol != Col();
  if (rowChanges && OnRowChanging) OnRowChanging(this, Row(), ARow, allow);
  if (colChanges && OnColChanging) OnColChanging(this, Col(), ACol, allow);
  if ((rowChanges || colChanges) && OnCellChanging) OnCellChanging(this, Row(), Col(), ARow, ACol, allow);
  if (allow && ACol == 0)
    for (int r = 0; r < RowCount() && allow; ++r) allow = !IsNode(r);
  if (!allow) return false;
  bool fixed = ARow >= RowCount() - fixedFooters_ || ACol >= ColCount() - fixedRightCols_;
  if (!fixed) IsFixedCell(ACol, ARow, fixed);
  if (fixed || !TStringGrid::SelectCell(ACol, ARow)) return false;
  // The cell being left keeps the user while its edit is refused.
  if ((rowChanges || colChanges) && !FinishEditing()) {
    refusedDrag_ = FGridState == gsSelecting || FGridState == gsNormal;
    RefocusEditControl();
    return false;
  }
  startText_ = Cells(ACol, ARow);
  if (!IsCheckBox(ACol, ARow) && !IsRadio(ACol, ARow)) ApplyCellEditing(ACol, ARow);
  if (!rowIndicator_->Empty() && FixedCols() > 0 && rowChanges) {
    RepaintCell(0, Row());
    RepaintCell(0, ARow);
  }
  return true;
}

void TRichStringGrid::DoExit() {
  // The focus went into a list, calendar or menu of the open editor: still
  // editing. Otherwise the edit ends here (a refused one stays open, with
  // the cell's text).
  if (!handingBack_ && !validating_ && !FocusInPopup() && !FocusInLinkEditor()) {
    const bool control = editControlActive_ || linkActive_;
    // A control closed this way stays closed when the focus comes back.
    if (FinishEditing() && control && !Options().Contains(goAlwaysShowEditor)) HideEditor();
  }
  TStringGrid::DoExit();
}

bool TRichStringGrid::TakeEditClick(TPoint& at) {
  if (!editClick_) return false;
  editClick_ = false;
  at = editClickPoint_;
  return true;
}

// Only a cell with an edit mask can be "filled": as long as the mask's
// pattern, no blank left, the caret at the end. Without a mask every key
// would end the edit.
bool TRichStringGrid::AutoAdvanceDue(const AnsiString& text, int caret) {
  if (!navigation_->AdvanceAuto) return false;
  const AnsiString mask = GetEditMask(Col(), Row());
  if (mask.empty()) return false;
  // The pattern is the mask up to its first ';'; '!', '<' and '>' only set
  // modes and '\' makes the next character a literal.
  std::size_t positions = 0;
  for (std::size_t i = 0; i < mask.size() && mask[i] != ';'; ++i) {
    if (mask[i] == '!' || mask[i] == '<' || mask[i] == '>') continue;
    if (mask[i] == '\\') ++i;
    ++positions;
  }
  return text.size() >= positions && text.find(' ') == AnsiString::npos && caret == static_cast<int>(text.size());
}

void TRichStringGrid::RevertEdit() {
  const int c = Col(), r = Row();
  const bool inplaceOpen = FInplaceEdit && FInplaceEdit->Showing();
  if (!editPending_ && !inplaceOpen) return;
  if (c < ColCount() && r < RowCount() && Cells(c, r) != startText_) SetCells(c, r, startText_);
  editPending_ = false;
  ReloadInplaceEditor();
  HideEditor();
}

// ---------------------------------------------------------------------------
// Keys

// Enter and Escape reach here as characters too (the string grid's key down
// turns them into key presses).
bool TRichStringGrid::KeyPress(char& Key) {
  const bool escape = Key == '\x1b', enter = Key == '\r';
  const bool printable = Key == '\b' || static_cast<unsigned char>(Key) >= 0x20;
  const bool search = printable && !Options().Contains(goEditing) && navigation_->AutoGotoWhenSorted;
  if (!(escape && Options().Contains(goEditing)) && !(enter && navigation_->AdvanceOnEnter) && !search) {
    vx::RestoreOnExit<char> typed(typedChar_, printable ? Key : '\0');
    return TStringGrid::KeyPress(Key);
  }
  if (TWinControl::KeyPress(Key)) return true;
  if (search) {
    IncrementalSearch(Key);
  } else if (escape) {
    RevertEdit();
  } else {
    // The edit was validated by the editor's Enter; what is left is pending
    // only without an open editor, and the advance validates that.
    HideEditor();
    AdvanceCell(Col(), Row(), !keyShift_.Contains(ssShift), false);
  }
  Key = 0;
  return true;
}

void TRichStringGrid::IncrementalSearch(char key) {
  if (navigation_->AutoGotoIncremental) {
    if (key == '\b') {
      if (!searchText_.empty()) searchText_.pop_back();
    } else {
      searchText_ += AnsiUpperCase(AnsiString(1, key));
    }
  } else if (key != '\b') {
    searchText_ = AnsiUpperCase(AnsiString(1, key));
  }
  if (searchText_.empty()) return;
  const int row = FindRowByPrefix(searchText_);
  if (row >= FixedRows() && row != Row()) SetRow(row);
}

// ---------------------------------------------------------------------------
// Moving on after Enter

bool TRichStringGrid::AdvanceCell(int ACol, int ARow, bool forward, bool force) {
  if (!force && !navigation_->AdvanceOnEnter) return false;
  return AdvanceBy(ACol, ARow, forward, navigation_->AdvanceDirection);
}

bool TRichStringGrid::AdvanceBy(int ACol, int ARow, bool forward, TAdvanceDirection direction) {
  const int firstCol = FixedCols(), firstRow = FixedRows();
  int lastCol = ColCount() - 1 - fixedRightCols_, lastRow = RowCount() - 1 - fixedFooters_;
  if (lastCol < firstCol || lastRow < firstRow) return false;
  if (ACol < firstCol || ACol > lastCol || ARow < firstRow || ARow > lastRow) return false;
  const bool across = direction == adLeftRight;
  long long budget = static_cast<long long>(lastCol - firstCol + 1) * (lastRow - firstRow + 1);
  bool inserted = false;
  int c = ACol, r = ARow;
  // One pass over the data cells at most (one more row or column when the
  // end grew the grid).
  for (long long step = 0; step < budget; ++step) {
    // The major index runs inside the minor one: columns within a row
    // (left to right) or rows within a column (top to bottom).
    int& major = across ? c : r;
    int& minor = across ? r : c;
    const int firstMajor = across ? firstCol : firstRow, lastMajor = across ? lastCol : lastRow;
    const int firstMinor = across ? firstRow : firstCol, lastMinor = across ? lastRow : lastCol;
    if (forward) {
      if (major < lastMajor) {
        ++major;
      } else if (minor < lastMinor) {
        major = firstMajor;
        ++minor;
      } else if (navigation_->AdvanceInsert && !inserted) {
        inserted = true;
        bool canAdd = true;
        if (across && OnCanAddRow) OnCanAddRow(this, canAdd);
        if (canAdd) {
          if (across) {
            InsertRows(lastRow + 1, 1);
            ++lastRow;
            budget += lastCol - firstCol + 1;
            if (OnAutoAddRow) OnAutoAddRow(this, lastRow);
          } else {
            InsertCols(lastCol + 1, 1);
            ++lastCol;
            budget += lastRow - firstRow + 1;
            if (OnAutoInsertCol) OnAutoInsertCol(this, lastCol);
            Repaint();
          }
          c = across ? firstCol : lastCol;
          r = across ? lastRow : firstRow;
        } else {
          c = firstCol;
          r = firstRow;
        }
      } else {
        c = firstCol;
        r = firstRow;
      }
    } else if (major > firstMajor) {
      --major;
    } else if (minor > firstMinor) {
      major = lastMajor;
      --minor;
    } else {
      c = lastCol;
      r = lastRow;
    }
    bool fixed = false;
    IsFixedCell(c, r, fixed);
    if (fixed || !CellEditable(c, r)) continue;
    FocusCell(c, r, true);
    if (Col() != c || Row() != r) return false;
    if (!IsEditorControlCell(c, r)) ShowEditor();
    return true;
  }
  return false;
}

void TRichStringGrid::WalkFromEditor(bool forward) {
  if (!ValidateEdit()) return;
  HideEditor();
  AdvanceBy(Col(), Row(), forward, adLeftRight);
}

// ---------------------------------------------------------------------------
// Size while typing

void TRichStringGrid::SizeToEditedText() {
  if (!FInplaceEdit || !FInplaceEdit->Showing()) return;
  if (sizeWhileTyping_->Width) FitColumn(Col(), true);
  if (sizeWhileTyping_->Height && wordWrap_) FitRow(Row());
  if (FInplaceEdit->Showing()) FInplaceEdit->Move(CellRect(Col(), Row()));
}

void TRichStringGrid::FitEditedRow() {
  FitRow(Row());
  if (FInplaceEdit && FInplaceEdit->Showing()) FInplaceEdit->Move(CellRect(Col(), Row()));
}
