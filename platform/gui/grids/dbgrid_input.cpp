// TCustomDBGrid input: the keys and the mouse over records and columns, and
// the cell editor's text on its way into the field.
#include <algorithm>

#include "platform/db/field.h"
#include "platform/gui/grids/dbgrids.h"
#include "platform/gui/core/dialogs.h"

// ---------------------------------------------------------------------------
// Columns

void TCustomDBGrid::SetSelectedIndex(int v) {
  if (v < 0 || v >= columns_->Count() || v == selected_) return;
  const int gridColumn = GridColumnOf(v);
  if (gridColumn < 0) return;
  MoveColRow(gridColumn, Row(), true, true);
}

void TCustomDBGrid::MoveToColumn(int column) {
  const int gridColumn = GridColumnOf(column);
  if (gridColumn < 0) return;
  if (column != selected_) MoveColRow(gridColumn, Row(), true, true);
  else ClampInView(TGridCoord{gridColumn, Row()});
}

void TCustomDBGrid::MoveColumnBy(int delta) {
  const auto it = std::find(shownColumns_.begin(), shownColumns_.end(), selected_);
  if (it == shownColumns_.end()) return;
  const long pos = (it - shownColumns_.begin()) + delta;
  if (pos < 0 || pos >= static_cast<long>(shownColumns_.size())) return;
  MoveToColumn(shownColumns_[static_cast<std::size_t>(pos)]);
}

bool TCustomDBGrid::SelectCell(int ACol, int ARow) {
  // Rows follow the data set; only a change of column comes this way.
  if (ARow != Row()) return false;
  const int column = ColumnAt(ACol);
  if (column < 0) return false;
  if (column == selected_) return true;
  CommitEdit();  // a bad value raises and keeps the column
  DiscardEdit();
  selected_ = column;
  if (OnColEnter) OnColEnter(this);
  return true;
}

// ---------------------------------------------------------------------------
// The cell editor

bool TCustomDBGrid::CanEditData() const {
  TDataSet* ds = link_->DataSet();
  return options_.Contains(dgEditing) && !readOnly_ && !link_->ReadOnly() && ds && ds->Active() && !ds->CursorHeld() &&
         ds->CanModify();
}

bool TCustomDBGrid::CanEditColumn() const {
  if (!CanEditData() || selected_ < 0 || selected_ >= columns_->Count()) return false;
  TField* f = SelectedField();
  return f && !f->ReadOnly() && !columns_->Items(selected_)->ReadOnly();
}

bool TCustomDBGrid::CanEditShow() { return CanEditColumn() && TCustomGrid::CanEditShow(); }

bool TCustomDBGrid::CanEditModify() {
  // The first change of a cell puts the record into edit state.
  return CanEditColumn() && link_->Edit();
}

AnsiString TCustomDBGrid::GetEditText(int, int) {
  TField* f = SelectedField();
  editText_ = f ? f->Text() : AnsiString();
  editModified_ = false;
  return editText_;
}

void TCustomDBGrid::SetEditText(int, int, const AnsiString& Value) {
  if (Value == editText_) return;
  editText_ = Value;
  editModified_ = true;
}

int TCustomDBGrid::GetEditLimit() {
  TField* f = SelectedField();
  return f && f->DataType() == ftString ? f->Size() : 0;
}

AnsiString TCustomDBGrid::EditorText() const {
  return InplaceEditor() && InplaceEditor()->Showing() ? InplaceEditor()->Text() : AnsiString();
}

void TCustomDBGrid::CommitEdit() {
  if (!editModified_) return;
  TField* f = SelectedField();
  if (f && editText_ != f->Text()) {
    // A text changed without a key asking first (undo, the edit's own menu)
    // puts the record into edit state here; when it cannot, the field's
    // text comes back. A record already being edited takes the text, also
    // while a command holds the cursor and posts it.
    TDataSet* ds = link_->DataSet();
    const bool editing = ds && (ds->State() == dsEdit || ds->State() == dsInsert);
    if (!editing && !CanEditModify()) {
      editModified_ = false;
      if (InplaceEditor() && InplaceEditor()->Showing()) InplaceEditor()->UpdateContents();
      return;
    }
    f->SetText(editText_);  // a bad value raises; the text stays for another try
  }
  editModified_ = false;
}

void TCustomDBGrid::DiscardEdit() {
  editModified_ = false;
  if (EditorMode()) HideEditor();
  editModified_ = false;
}

// ---------------------------------------------------------------------------
// Keys

bool TCustomDBGrid::IsRecordKey(Word key, TShiftState shift) const {
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_INSERT:
    case VK_ESCAPE:
    case VK_F2:
    case VK_RETURN: return true;
    case VK_TAB: return options_.Contains(dgTabs) && !shift.Contains(ssAlt);
    case VK_DELETE: return shift.Contains(ssCtrl);
    default: return false;
  }
}

bool TCustomDBGrid::KeyDown(Word& key, TShiftState shift) {
  // OnKeyDown runs once, here; the grid base's navigation is replaced.
  if (TCustomControl::KeyDown(key, shift)) return true;
  // A key that reaches the grid means it has the keyboard.
  if (!IsActiveControl()) SetFocus();
  TDataSet* ds = link_->DataSet();
  if (!ds || !ds->Active()) return false;
  if (ds->CursorHeld()) return IsRecordKey(key, shift);
  const bool ctrl = shift.Contains(ssCtrl);
  const bool editorShown = InplaceEditor() && InplaceEditor()->Showing();
  switch (key) {
    case VK_UP:
      CommitEdit();
      if (ds->State() == dsInsert && !ds->Modified() && ds->Eof()) ds->Cancel();
      else ds->Prior();
      return true;
    case VK_DOWN:
      CommitEdit();
      if (ds->State() == dsInsert && !ds->Modified()) return true;  // stays on the new, empty row
      ds->Next();
      if (ds->Eof() && CanEditData()) ds->Append();
      return true;
    case VK_PRIOR:
      CommitEdit();
      ds->MoveBy(-RowsThatFit());
      return true;
    case VK_NEXT:
      CommitEdit();
      ds->MoveBy(RowsThatFit());
      return true;
    case VK_HOME:
      if (editorShown && !ctrl) return false;
      if (ctrl) {
        CommitEdit();
        ds->First();
      } else if (!shownColumns_.empty()) {
        MoveToColumn(shownColumns_.front());
      }
      return true;
    case VK_END:
      if (editorShown && !ctrl) return false;
      if (ctrl) {
        CommitEdit();
        ds->Last();
      } else if (!shownColumns_.empty()) {
        MoveToColumn(shownColumns_.back());
      }
      return true;
    case VK_LEFT:
    case VK_RIGHT:
      if (editorShown) return false;
      MoveColumnBy(key == VK_LEFT ? -1 : 1);
      return true;
    case VK_TAB:
      if (!options_.Contains(dgTabs) || shift.Contains(ssAlt)) return false;
      MoveColumnBy(shift.Contains(ssShift) ? -1 : 1);
      return true;
    case VK_INSERT:
      if (ctrl || shift.Contains(ssShift) || !CanEditData()) return false;
      CommitEdit();
      ds->Insert();
      return true;
    case VK_DELETE:
      if (!ctrl || !CanEditData() || ds->IsEmpty()) return false;
      DiscardEdit();
      if (!options_.Contains(dgConfirmDelete) ||
          MessageDlg("Delete record?", mtConfirmation, TMsgDlgButtons{mbOK, mbCancel}) == mrOk)
        ds->Delete();
      return true;
    case VK_ESCAPE: {
      const bool editing = ds->State() == dsEdit || ds->State() == dsInsert;
      if (EditorMode()) {
        DiscardEdit();  // the field keeps its value
        if (editing && !ds->Modified()) ds->Cancel();
      } else if (editing) {
        ds->Cancel();
      }
      return true;
    }
    case VK_F2: SetEditorMode(true); return true;
    case VK_RETURN: {
      char ch = '\r';
      return KeyPress(ch);
    }
    default: return false;
  }
}

bool TCustomDBGrid::KeyPress(char& key) {
  if (!IsActiveControl()) SetFocus();
  if (TDataSet* ds = link_->DataSet(); ds && ds->CursorHeld()) return true;
  // Enter puts the edited text into the field before the editor closes.
  if (key == '\r' && EditorMode() && !options_.Contains(dgAlwaysShowEditor)) CommitEdit();
  return TCustomGrid::KeyPress(key);
}

// ---------------------------------------------------------------------------
// Mouse

void TCustomDBGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGridDrawInfo info;
  CalcDrawInfo(info);
  TGridState sizing = gsNormal;
  int index = 0, pos = 0, ofs = 0;
  CalcSizingState(x, y, sizing, index, pos, ofs, info);
  if (button != mbLeft || sizing != gsNormal) {
    // Column sizing, and the other buttons, as the grid base has them.
    TCustomGrid::MouseDown(button, shift, x, y);
    return;
  }
  if (!IsActiveControl() && CanFocus()) SetFocus();
  const TGridCoord hit = MouseCoord(x, y);
  const int column = ColumnAt(hit.X);
  TDataSet* ds = link_->DataSet();
  if (hit.Y >= 0 && hit.Y < TitleOffset()) {
    if (column >= 0 && OnTitleClick) OnTitleClick(columns_->Items(column));
  } else if (hit.Y >= TitleOffset() && ds && ds->Active() && !ds->CursorHeld() &&
             hit.Y - TitleOffset() < DisplayedRowCount()) {
    const bool onCurrent = hit.X == Col() && hit.Y == Row();
    CommitEdit();
    if (hit.Y != Row()) ds->MoveBy(hit.Y - Row());
    if (column >= 0) {
      MoveToColumn(column);
      if (onCurrent && options_.Contains(dgEditing)) ShowEditor();
      if (OnCellClick) OnCellClick(columns_->Items(column));
    }
  }
  TCustomControl::MouseDown(button, shift, x, y);
}
