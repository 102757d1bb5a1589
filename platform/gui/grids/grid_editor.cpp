// The in-place editor and its life cycle in TCustomGrid: when it may show,
// where it goes, how its text reaches the cell, and when it hides.
#include <algorithm>

#include "platform/gui/grids/grids.h"
#include "platform/gui/controls/scroll_host.h"

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TEdit(AOwner) {
  visible_ = false;
  tabStop_ = false;
}

void TInplaceEdit::SetGrid(TCustomGrid* grid) {
  grid_ = grid;
  if (grid_) vx::WatchChildFocus(widget_, grid_->Widget());
}

void TInplaceEdit::Move(const TRect& loc) {
  if (loc.Right <= loc.Left || loc.Bottom <= loc.Top) {
    Hide();
    return;
  }
  SetBounds(loc.Left, loc.Top, loc.Width(), loc.Height());
  shown_ = true;
  SetVisible(true);
  if (grid_ && grid_->IsActiveControl() && grid_->Focused()) SetFocus();
}

void TInplaceEdit::Hide() {
  if (!shown_) return;
  shown_ = false;
  const bool hadFocus = Focused();
  SetVisible(false);
  if (hadFocus && grid_) grid_->SetFocus();
}

void TInplaceEdit::UpdateContents() {
  if (!grid_) return;
  loading_ = true;
  SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
  SetMaxLength(grid_->GetEditLimit());
  loading_ = false;
}

void TInplaceEdit::Change() {
  TEdit::Change();
  // Every change reaches the cell at once.
  if (!loading_ && grid_ && grid_->FInplaceCol >= 0 && grid_->FInplaceRow >= 0)
    grid_->SetEditText(grid_->FInplaceCol, grid_->FInplaceRow, Text());
}

bool TInplaceEdit::WantsKey(Word key) const { return key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB; }

bool TInplaceEdit::KeyDown(Word& key, TShiftState shift) {
  if (TEdit::KeyDown(key, shift)) return true;
  if (!grid_) return false;
  const bool alwaysShow = grid_->Options().Contains(goAlwaysShowEditor);
  const int caret = SelStart(), length = static_cast<int>(Text().size());
  const bool atStart = caret == 0 && SelLength() == 0;
  const bool atEnd = caret == length && SelLength() == 0;
  bool toGrid = false;
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
    case VK_RETURN:
    case VK_F2: toGrid = true; break;
    case VK_TAB: toGrid = !shift.Contains(ssAlt); break;
    case VK_LEFT:
    case VK_HOME: toGrid = alwaysShow && (shift.Contains(ssCtrl) || atStart); break;
    case VK_RIGHT:
    case VK_END: toGrid = alwaysShow && (shift.Contains(ssCtrl) || atEnd); break;
    case VK_INSERT: toGrid = shift.Empty(); break;
    case VK_DELETE: toGrid = shift.Contains(ssCtrl); break;
    default: break;
  }
  // Backspace and Delete change the text without a character: the grid is
  // asked first, as for a typed one.
  if (!toGrid && (key == VK_BACK || key == VK_DELETE) && !grid_->CanEditModify()) {
    key = 0;
    return true;
  }
  if (!toGrid) return false;
  grid_->KeyDown(key, shift);
  return true;
}

void TInplaceEdit::WMPaste() {
  if (!grid_ || grid_->CanEditModify()) TEdit::WMPaste();
}

void TInplaceEdit::WMCut() {
  if (!grid_ || grid_->CanEditModify()) TEdit::WMCut();
}

bool TInplaceEdit::KeyPress(char& key) {
  if (TEdit::KeyPress(key)) return true;
  if (grid_ && static_cast<unsigned char>(key) >= 0x20 && !grid_->CanEditAcceptKey(key)) {
    key = 0;
    return true;
  }
  if (grid_ && !grid_->CanEditModify()) {
    key = 0;
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

bool TCustomGrid::CanEditShow() {
  const bool editing = options_.Contains(goEditing) && !options_.Contains(goRowSelect);
  const bool inside =
      FCurrent.X >= fixedCols_ && FCurrent.Y >= fixedRows_ && FCurrent.X < colCount_ && FCurrent.Y < rowCount_;
  return editing && FEditorMode && inside && (options_.Contains(goAlwaysShowEditor) || focused_);
}

bool TCustomGrid::CanEditModify() { return true; }
bool TCustomGrid::CanEditAcceptKey(char) { return true; }
AnsiString TCustomGrid::GetEditText(int, int) { return ""; }
void TCustomGrid::SetEditText(int, int, const AnsiString&) {}
AnsiString TCustomGrid::GetEditMask(int, int) { return ""; }
int TCustomGrid::GetEditLimit() { return 0; }

void TCustomGrid::UpdateEdit() {
  if (!CanEditShow()) return;
  if (!FInplaceEdit) {
    FInplaceEdit = CreateEditor();
    FInplaceEdit->SetGrid(this);
    FInplaceEdit->SetParent(this);
  } else if (FCurrent.X == FInplaceCol && FCurrent.Y == FInplaceRow && FInplaceEdit->Showing()) {
    FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
    return;
  } else {
    HideEdit();
  }
  FInplaceCol = FCurrent.X;
  FInplaceRow = FCurrent.Y;
  FInplaceEdit->UpdateContents();
  editStartText_ = FInplaceEdit->Text();
  FInplaceEdit->SelectAll();
  if (CanEditShow()) FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
}

void TCustomGrid::UpdateText() {
  if (FInplaceEdit && FInplaceCol >= 0 && FInplaceRow >= 0) SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

void TCustomGrid::HideEdit() {
  if (!FInplaceEdit || !FInplaceEdit->Showing()) return;
  UpdateText();
  FInplaceCol = FInplaceRow = -1;
  FInplaceEdit->Hide();
  InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::CancelEdit() {
  if (!FInplaceEdit || !FInplaceEdit->Showing()) return;
  // The editor wrote every key into the cell: the text it started from goes back.
  FInplaceEdit->SetText(editStartText_);
  UpdateText();
  if (options_.Contains(goAlwaysShowEditor)) FInplaceEdit->SelectAll();
  else HideEditor();
}

void TCustomGrid::ShowEditor() {
  FEditorMode = true;
  UpdateEdit();
}

void TCustomGrid::HideEditor() {
  FEditorMode = false;
  HideEdit();
}

void TCustomGrid::SetEditorMode(bool v) {
  if (!v) {
    HideEditor();
    return;
  }
  ShowEditor();
  // Already open: F2 puts the caret after the text instead of selecting it.
  if (FInplaceEdit && FInplaceEdit->Showing()) FInplaceEdit->SetSelStart(static_cast<int>(FInplaceEdit->Text().size()));
}

void TCustomGrid::ShowEditorChar(char ch) {
  ShowEditor();
  if (!FInplaceEdit || !FInplaceEdit->Showing()) return;
  if (static_cast<unsigned char>(ch) >= 0x20 && (!CanEditAcceptKey(ch) || !CanEditModify())) return;
  // The character replaces the selected text, as typing it would.
  const AnsiString text = FInplaceEdit->Text();
  const int start = std::clamp(FInplaceEdit->SelStart(), 0, static_cast<int>(text.size()));
  const int length = std::clamp(FInplaceEdit->SelLength(), 0, static_cast<int>(text.size()) - start);
  AnsiString result = text.substr(0, static_cast<std::size_t>(start));
  int caret = start;
  if (ch == '\b') {
    if (length == 0 && start > 0) {
      result.pop_back();
      --caret;
    }
  } else {
    result += ch;
    ++caret;
  }
  result += text.substr(static_cast<std::size_t>(start + length));
  FInplaceEdit->SetText(result);
  FInplaceEdit->SetSelStart(caret);
}
