#include "RichGrid/spin_edit.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include "platform/gui/core/shell.h"

// Watches the edit's focus: entering selects, leaving clamps.
class SpinFocusWatch : public QObject {
 public:
  explicit SpinFocusWatch(TRichSpinEditBase* edit) : edit_(edit) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::FocusIn) edit_->Entered();
    if (e->type() == QEvent::FocusOut) edit_->Left();
    return false;
  }

 private:
  TRichSpinEditBase* edit_;
};

namespace {
void Beep() { MessageBeep(0); }
}  // namespace

// ---------------------------------------------------------------------------

TRichTimerSpeedButton::TRichTimerSpeedButton(TComponent* AOwner, TWinControl* AParent, int arrowKind)
    : TSpeedButton(AOwner, AParent), arrowKind_(-1) {
  SetArrowKind(arrowKind);
}

TRichTimerSpeedButton::~TRichTimerSpeedButton() = default;

void TRichTimerSpeedButton::SetArrowKind(int v) {
  if (v == arrowKind_) return;
  arrowKind_ = v;
  static const Qt::ArrowType arrows[] = {Qt::LeftArrow, Qt::RightArrow, Qt::UpArrow, Qt::DownArrow};
  if (auto* b = qobject_cast<QToolButton*>(Widget())) b->setArrowType(arrows[v & 3]);
}

void TRichTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TSpeedButton::MouseDown(button, shift, x, y);
  if (button != mbLeft || !(state_ & tbAllowTimer)) return;
  if (!timer_) {
    timer_ = std::make_unique<TTimer>(nullptr);
    timer_->OnTimer = [this](TObject*) { TimerExpired(); };
  }
  timer_->SetInterval(400);
  timer_->SetEnabled(true);
}

void TRichTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TSpeedButton::MouseUp(button, shift, x, y);
  if (timer_) timer_->SetEnabled(false);
}

void TRichTimerSpeedButton::TimerExpired() {
  timer_->SetInterval(100);
  auto* b = qobject_cast<QAbstractButton*>(Widget());
  if ((state_ & tbAllowTimer) && b && b->isDown()) Click();
}

// ---------------------------------------------------------------------------

TRichSpinButton::TRichSpinButton(TComponent* AOwner, TWinControl* AParent) : TCustomControl(AOwner) {
  up_ = new TRichTimerSpeedButton(this, this, 2);
  down_ = new TRichTimerSpeedButton(this, this, 3);
  focused_ = up_;
  for (TRichTimerSpeedButton* b : {up_, down_}) {
    b->SetTimeBtnState(TRichTimerSpeedButton::tbAllowTimer);
    b->OnClick = [this, b](TObject*) { ButtonClicked(b); };
    b->OnMouseDown = [this, b](TObject*, TMouseButton, TShiftState, int, int) { ButtonPressed(b); };
  }
  tabStop_ = false;
  SetBounds(0, 0, 15, 25);
  Layout();
  if (AParent) SetParent(AParent);
}

void TRichSpinButton::SetDirection(TSpinDirection v) {
  if (v == direction_) return;
  direction_ = v;
  up_->SetArrowKind(v == spHorizontal ? 1 : 2);
  down_->SetArrowKind(v == spHorizontal ? 0 : 3);
  SetWidth(v == spHorizontal ? 20 : 15);
  Layout();
}

void TRichSpinButton::SetFocusControl(TWinControl* v) {
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = v;
  if (v) v->FreeNotification(this);
}

void TRichSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

void TRichSpinButton::Resized() {
  TCustomControl::Resized();
  Layout();
}

void TRichSpinButton::Layout() {
  const int w = Width(), h = Height();
  if (direction_ == spVertical) {
    const int top = (h + 1) / 2;
    up_->SetBounds(0, 0, w, top);
    down_->SetBounds(0, top, w, h - top);
  } else {
    const int left = w / 2;
    down_->SetBounds(0, 0, left, h);
    up_->SetBounds(left, 0, w - left, h);
  }
}

void TRichSpinButton::ButtonClicked(TRichTimerSpeedButton* button) {
  const TNotifyEvent& handler = button == up_ ? OnUpClick : OnDownClick;
  if (handler) handler(this);
}

void TRichSpinButton::ButtonPressed(TRichTimerSpeedButton* button) {
  focused_ = button;
  if (focusControl_ && focusControl_->CanFocus()) focusControl_->SetFocus();
  else if (CanFocus()) SetFocus();
}

bool TRichSpinButton::KeyDown(Word& key, TShiftState shift) {
  if (TCustomControl::KeyDown(key, shift)) return true;
  if (key == VK_UP || key == VK_DOWN) {
    focused_ = key == VK_UP ? up_ : down_;
    focused_->Click();
    return true;
  }
  if (key == VK_SPACE) {
    focused_->Click();
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------

TRichSpinEditBase::TRichSpinEditBase(TComponent* AOwner, TWinControl* AParent, TSpinFamily family)
    : TEdit(AOwner, nullptr), model_(family) {
  SetText(model_.Text());
  button_ = new TRichSpinButton(this, this);
  button_->SetBounds(0, 0, 15, 17);
  button_->SetFocusControl(this);
  button_->OnUpClick = [this](TObject* s) { UpClick(s); };
  button_->OnDownClick = [this](TObject* s) { DownClick(s); };
  focusWatch_ = std::make_unique<SpinFocusWatch>(this);
  LineEdit()->installEventFilter(focusWatch_.get());
  Resized();
  if (AParent) SetParent(AParent);
}

TRichSpinEditBase::~TRichSpinEditBase() {
  if (LineEdit()) LineEdit()->removeEventFilter(focusWatch_.get());
}

void TRichSpinEditBase::Push() { SetText(model_.Text()); }

void TRichSpinEditBase::SetSpinType(TRichSpinType v) {
  Pull();
  model_.SetSpinType(v);
  Push();
}

void TRichSpinEditBase::SetPrecision(int v) {
  Pull();
  model_.SetPrecision(v);
  Push();
}

int TRichSpinEditBase::Value() {
  Pull();
  return model_.Value();
}

void TRichSpinEditBase::SetValue(int v) {
  model_.SetValue(v);
  Push();
  if (!model_.EditorEnabled) SelectAll();
}

double TRichSpinEditBase::FloatValue() {
  Pull();
  return model_.FloatValue();
}

void TRichSpinEditBase::SetFloatValue(double v) {
  model_.SetFloatValue(v);
  Push();
}

TDateTime TRichSpinEditBase::DateValue() {
  Pull();
  return model_.DateValue();
}

void TRichSpinEditBase::SetDateValue(TDateTime v) {
  model_.SetDateValue(v);
  Push();
}

TDateTime TRichSpinEditBase::TimeValue() {
  Pull();
  return model_.TimeValue();
}

void TRichSpinEditBase::SetTimeValue(TDateTime v) {
  model_.SetTimeValue(v);
  Push();
}

int TRichSpinEdit::HexValue() {
  Model().SetText(Text());
  return Model().HexValue();
}

void TRichSpinEdit::SetHexValue(int v) {
  Model().SetHexValue(v);
  SetText(Model().Text());
}

void TRichSpinEditBase::SetDirection(TSpinDirection v) {
  button_->SetDirection(v);
  Resized();
}

void TRichSpinEditBase::SetSpinFlat(bool v) {
  spinFlat_ = v;
  button_->UpButton()->SetFlat(v);
  button_->DownButton()->SetFlat(v);
}

void TRichSpinEditBase::UpClick(TObject*) { StepBy(+1); }

void TRichSpinEditBase::DownClick(TObject*) { StepBy(-1); }

void TRichSpinEditBase::StepBy(int direction) {
  if (ReadOnly()) return Beep();
  const int caret = SelStart();
  Pull();
  model_.Step(direction, caret);
  Push();
  SetSelStart(caret);
}

bool TRichSpinEditBase::IsValidChar(char& key) {
  Pull();
  return model_.IsValidChar(key, SelStart(), SelLength());
}

bool TRichSpinEditBase::KeyDown(Word& key, TShiftState shift) {
  if (TEdit::KeyDown(key, shift)) return true;
  switch (key) {
    case VK_RETURN:
      if (!returnIsTab_) return false;
      QCoreApplication::postEvent(LineEdit(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
      return true;
    case VK_UP: UpClick(this); return true;
    case VK_DOWN: DownClick(this); return true;
    case VK_DELETE: return !model_.EditorEnabled;
    case VK_BACK: {
      char c = '\b';
      if (IsValidChar(c)) return false;
      Beep();
      return true;
    }
    default: return false;
  }
}

bool TRichSpinEditBase::KeyPress(char& key) {
  if (TEdit::KeyPress(key)) return true;
  const char typed = key;
  if (!IsValidChar(key)) {
    Beep();
    return true;
  }
  if (key == typed) return false;
  LineEdit()->insert(QString(QChar(key)));  // the character the model turned it into
  return true;
}

void TRichSpinEditBase::WMPaste() {
  if (model_.EditorEnabled && !ReadOnly()) TEdit::WMPaste();
}

void TRichSpinEditBase::WMCut() {
  if (model_.EditorEnabled && !ReadOnly()) TEdit::WMCut();
}

void TRichSpinEditBase::Resized() {
  TEdit::Resized();
  if (!button_) return;
  const int w = button_->Width();
  button_->SetBounds(ClientWidth() - w, 0, w, ClientHeight());
  LineEdit()->setTextMargins(0, 0, w, 0);
}

void TRichSpinEditBase::Entered() {
  if (autoSelect_) SelectAll();
}

void TRichSpinEditBase::Left() {
  Pull();
  const AnsiString before = model_.Text();
  model_.Reclamp();
  if (model_.Text() != before) Push();
}
