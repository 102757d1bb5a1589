#include "RichGrid/edit_button.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <algorithm>

// Tells the edit when it is entered, and whether a mouse press did it.
class EditEnterWatch : public QObject {
 public:
  explicit EditEnterWatch(TRsgEditBtn* edit) : edit_(edit) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::FocusIn)
      edit_->Entered(static_cast<QFocusEvent*>(e)->reason() == Qt::MouseFocusReason ||
                     QGuiApplication::mouseButtons() & Qt::LeftButton);
    return false;
  }

 private:
  TRsgEditBtn* edit_;
};

TRsgEditButton::TRsgEditButton(TComponent* AOwner, TWinControl* AParent) : TCustomControl(AOwner) {
  button_ = new TSpeedButton(this, this);
  button_->OnClick = [this](TObject*) {
    if (focusControl_ && focusControl_->CanFocus()) focusControl_->SetFocus();
    if (OnButtonClick) OnButtonClick(this);
  };
  tabStop_ = false;
  SetBounds(0, 0, 20, 25);
  if (AParent) SetParent(AParent);
}

void TRsgEditButton::SetBounds(int left, int top, int width, int height) {
  TCustomControl::SetBounds(left, top, std::max(15, width), height);
}

void TRsgEditButton::Resized() {
  TCustomControl::Resized();
  button_->SetBounds(0, 0, Width(), Height());
}

// ---------------------------------------------------------------------------

TRsgEditBtn::TRsgEditBtn(TComponent* AOwner, TWinControl* AParent) : TEdit(AOwner, nullptr) {
  SetText("0");
  button_ = new TRsgEditButton(this, this);
  button_->SetBounds(0, 0, 15, 17);
  button_->SetFocusControl(this);
  button_->OnButtonClick = [this](TObject*) { BtnClick(); };
  enterWatch_ = std::make_unique<EditEnterWatch>(this);
  LineEdit()->installEventFilter(enterWatch_.get());
  Resized();
  if (AParent) SetParent(AParent);
}

TRsgEditBtn::~TRsgEditBtn() {
  if (LineEdit()) LineEdit()->removeEventFilter(enterWatch_.get());
}

void TRsgEditBtn::Entered(bool byMouse) {
  if (autoSelect_ && !byMouse) SelectAll();
}

int TRsgEditBtn::MinHeight() const {
  const int font = QFontMetrics(LineEdit()->font()).height();
  const int system = QFontMetrics(QGuiApplication::font()).height();
  return font + std::min(system, font) / 4;
}

void TRsgEditBtn::SetRightAlign(bool v) {
  rightAlign_ = v;
  LineEdit()->setAlignment(v ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
}

void TRsgEditBtn::SetUnitSpaceWidth(int v) {
  unitSpace_ = std::max(0, v);
  UpdateEditRect();
}

void TRsgEditBtn::BtnClick() {
  if (OnClickBtn) OnClickBtn(this);
}

bool TRsgEditBtn::KeyDown(Word& key, TShiftState shift) {
  if (TEdit::KeyDown(key, shift)) return true;
  if (key == VK_F4) {
    BtnClick();
    return true;
  }
  return !editorEnabled_ && (key == VK_BACK || key == VK_DELETE);
}

bool TRsgEditBtn::KeyPress(char& key) { return TEdit::KeyPress(key) || !editorEnabled_; }

void TRsgEditBtn::WMPaste() {
  if (editorEnabled_) TEdit::WMPaste();
}

void TRsgEditBtn::WMCut() {
  if (editorEnabled_) TEdit::WMCut();
}

void TRsgEditBtn::Resized() {
  TEdit::Resized();
  if (!button_) return;
  if (Height() < MinHeight()) {
    SetHeight(MinHeight());  // resizes again
    return;
  }
  const int h = std::max(0, ClientHeight() - 3);
  button_->SetBounds(ClientWidth() - button_->Width() - 1, 1, button_->Width(), h);
  UpdateEditRect();
}

void TRsgEditBtn::UpdateEditRect() {
  if (button_) LineEdit()->setTextMargins(0, 0, button_->Width() + 3 + unitSpace_, 0);
}

// ---------------------------------------------------------------------------

TRsgUnitEditBtn::TRsgUnitEditBtn(TComponent* AOwner, TWinControl* AParent)
    : TRsgEditBtn(AOwner, nullptr), units_(std::make_unique<TStringList>()) {
  menu_ = new TPopupMenu(this);
  unitLabel_ = new TLabel(this, this);
  unitLabel_->SetAutoSize(false);
  SetRightAlign(true);
  SetUnitSpaceWidth(20);
  PlaceUnit();
  if (AParent) SetParent(AParent);
}

TRsgUnitEditBtn::~TRsgUnitEditBtn() = default;

void TRsgUnitEditBtn::SetUnitID(const AnsiString& v) {
  unitId_ = v;
  unitLabel_->SetCaption(v);
}

void TRsgUnitEditBtn::SetUnitSpace(int v) {
  SetUnitSpaceWidth(v);
  PlaceUnit();
}

void TRsgUnitEditBtn::Resized() {
  TRsgEditBtn::Resized();
  PlaceUnit();
}

// The unit stands between the text and the button.
void TRsgUnitEditBtn::PlaceUnit() {
  if (!unitLabel_) return;
  const int left = ClientWidth() - EditButton()->Width() - 3 - UnitSpaceWidth();
  unitLabel_->SetBounds(left, 2, UnitSpaceWidth(), std::max(0, ClientHeight() - 2));
}

void TRsgUnitEditBtn::BtnClick() {
  menu_->Items()->Clear();
  for (int i = 0; i < units_->Count(); ++i) {
    auto* item = new TMenuItem(menu_);
    item->SetCaption(units_->Strings(i));
    item->SetTag(i + 1);
    item->OnClick = [this, item](TObject*) { SetUnitID(units_->Strings(item->Tag() - 1)); };
    menu_->Items()->Add(item);
  }
  const TPoint at = EditButton()->ClientToScreen(TPoint{0, EditButton()->Height()});
  menu_->Popup(at.X, at.Y);
}
