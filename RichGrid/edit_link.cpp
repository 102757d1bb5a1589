#include "RichGrid/edit_link.h"

#include "RichGrid/rich_grid.h"

TEditLink::TEditLink(TComponent* AOwner) : TComponent(AOwner) {}

TEditLink::~TEditLink() {
  if (grid_) grid_->LinkDestroyed(this);
}

void TEditLink::EditKeyDown(Word& Key, TShiftState Shift) {
  bool ends = false;
  switch (Key) {
    case VK_RETURN: ends = !wantReturn_; break;
    case VK_ESCAPE: ends = !wantEscape_; break;
    case VK_PRIOR:
    case VK_NEXT: ends = !wantPriorNext_; break;
    case VK_HOME:
    case VK_END: ends = !wantHomeEnd_; break;
    case VK_LEFT:
    case VK_RIGHT: ends = !wantLeftRight_; break;
    case VK_UP:
    case VK_DOWN: ends = !wantUpDown_; break;
    default: break;
  }
  if (!ends || !grid_) return;
  grid_->EndLinkEdit(Key, Shift);
  Key = 0;
}

TWinControl* TEditLink::GetEditControl() { return nullptr; }
void TEditLink::CreateEditor(TWinControl*) {}
void TEditLink::DestroyEditor() {}

void TEditLink::SetFocus(bool value) {
  if (value) {
    if (TWinControl* control = GetEditControl(); control && control->CanFocus()) control->SetFocus();
  } else if (grid_) {
    grid_->SetFocus();
  }
}

void TEditLink::SetRect(TRect r) {
  if (TWinControl* control = GetEditControl()) control->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TEditLink::SetVisible(bool value) {
  if (TWinControl* control = GetEditControl()) control->SetVisible(value);
}

void TEditLink::SetProperties() {}
void TEditLink::GetEditorValue(AnsiString& s) { s.clear(); }
void TEditLink::SetEditorValue(const AnsiString&) {}
