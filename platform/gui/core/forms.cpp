#include "platform/gui/core/forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <set>

#include "platform/gui/core/application.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"

namespace {
std::set<TForm*>& LiveForms() {
  static std::set<TForm*> forms;
  return forms;
}
TForm* g_activeForm = nullptr;
}  // namespace

namespace vx {

// The top-level window of a form: the menu bar on top, the client area below.
class FormWidget : public QWidget {
 public:
  explicit FormWidget(TForm* form) : QWidget(nullptr, Qt::Window), form_(form) {}

 protected:
  void closeEvent(QCloseEvent* e) override {
    e->ignore();  // the form decides, and hides itself
    Guard([&] { form_->CloseRequested(); });
  }
  void changeEvent(QEvent* e) override {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && form_->Visible())
      Guard([&] { form_->Activate(); });
    if (e->type() == QEvent::WindowStateChange) {
      const Qt::WindowStates s = windowState();
      form_->windowState_ = (s & Qt::WindowMaximized)   ? wsMaximized
                            : (s & Qt::WindowMinimized) ? wsMinimized
                                                        : wsNormal;
    }
  }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    form_->LayoutFrame();
  }

 private:
  TForm* form_;
};

}  // namespace vx

TForm* TScreen::ActiveForm() const { return g_activeForm; }

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner), canvas_(std::make_unique<TCanvas>()) {
  LiveForms().insert(this);
  visible_ = false;
  frame_ = new vx::FormWidget(this);
  auto* client = new vx::PaintWidget(frame_);
  client->OnPaint = [this](QPainter& painter) {
    vx::QtPainterDevice device(&painter);
    canvas_->SetDevice(&device);
    canvas_->Font()->Assign(*font_);
    vx::Guard([&] { Paint(); });
    canvas_->SetDevice(nullptr);
  };
  client_ = client;
  width_ = 400;
  height_ = 300;
  SetWidget(frame_);
  ForwardMouseFrom(client_);
  client_->setAutoFillBackground(true);
  LayoutFrame();
}

void TForm::BeforeDestruction() {
  if (destroyed_) return;
  destroyed_ = true;
  destroying_ = true;
  if (OnDestroy) vx::Guard([&] { OnDestroy(this); });
  // Forms this one owns hear it while they are whole too.
  for (TComponent* c : std::vector<TComponent*>(Components()))
    if (auto* f = dynamic_cast<TForm*>(c)) f->BeforeDestruction();
}

TForm::~TForm() {
  BeforeDestruction();
  // The form's components go while the form is still whole.
  DestroyComponents();
  while (!controls_.empty()) delete controls_.back();
  LiveForms().erase(this);
  if (g_activeForm == this) g_activeForm = nullptr;
}

void TForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  if (OnCreate) vx::Guard([&] { OnCreate(this); });
}

QWidget* TForm::ClientWidget() const { return client_; }

int TForm::MenuBarHeight() const {
  if (!menu_ || !frame_) return 0;
  auto* bar = frame_->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
  return bar ? bar->sizeHint().height() : 0;
}

int TForm::ClientHeight() const { return std::max(0, height_ - MenuBarHeight()); }

void TForm::LayoutFrame() {
  if (!frame_ || !client_) return;
  const int top = MenuBarHeight();
  if (top > 0) {
    auto* bar = frame_->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    bar->setGeometry(0, 0, frame_->width(), top);
    bar->show();
  }
  client_->setGeometry(0, top, frame_->width(), std::max(0, frame_->height() - top));
}

void TForm::Resized() {
  LayoutFrame();
  TWinControl::Resized();
}

void TForm::CaptionChanged() {
  if (frame_) frame_->setWindowTitle(vx::ToQString(caption_));
}

void TForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_) menu_->DetachFrom(frame_);
  menu_ = menu;
  if (menu_) {
    menu_->FreeNotification(this);
    menu_->AttachTo(frame_);
  }
  LayoutFrame();
  AlignControls();
}

void TForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == menu_) {
    menu_ = nullptr;
    LayoutFrame();
  }
  if (component == activeControl_) activeControl_ = nullptr;
}

void TForm::SetActiveControl(TWinControl* c) {
  activeControl_ = c;
  if (c) {
    c->FreeNotification(this);
    if (visible_) c->SetFocus();
  }
}

bool TForm::Active() const { return g_activeForm == this; }

void TForm::PlaceOnShow() {
  if (shownOnce_) return;
  shownOnce_ = true;
  TRect area{0, 0, Screen->Width(), Screen->Height()};
  TForm* main = Application ? Application->MainForm() : nullptr;
  if ((position_ == poMainFormCenter || position_ == poOwnerFormCenter)) {
    TForm* ref = position_ == poOwnerFormCenter ? dynamic_cast<TForm*>(Owner()) : main;
    if (!ref) ref = main;
    if (ref && ref != this) area = ref->BoundsRect();
  }
  if (position_ == poScreenCenter || position_ == poDesktopCenter || position_ == poMainFormCenter ||
      position_ == poOwnerFormCenter)
    SetBounds(area.Left + (area.Width() - width_) / 2, area.Top + (area.Height() - height_) / 2, width_, height_);
}

int vx::TitleBarWidth(const AnsiString& caption) {
  constexpr int kIconButtonsAndMargins = 24 + 3 * 32 + 24;
  QFont font = QApplication::font();
  font.setBold(true);
  if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() + 2);
  return QFontMetrics(font).horizontalAdvance(ToQString(caption)) + kIconButtonsAndMargins;
}

void TForm::FitCaption() {
  if (borderStyle_ == bsNone || !frame_) return;
  const int needed = vx::TitleBarWidth(caption_);
  if (width_ < needed) SetBounds(left_, top_, needed, height_);
}

void TForm::KeepOnScreen() {
  if (!frame_ || windowState_ != wsNormal) return;
  const QScreen* screen = frame_->screen() ? frame_->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  // The bounds are the window's inside; its title bar (when the window
  // system draws one) sits above them and must stay reachable.
  int title = frame_->geometry().top() - frame_->frameGeometry().top();
  if (title <= 0 && QGuiApplication::platformName() != QLatin1String("offscreen"))
    title = frame_->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame_);
  title = std::max(0, title);
  const int left = std::clamp(left_, area.left(), std::max(area.left(), area.right() + 1 - width_));
  const int top = std::clamp(top_, area.top() + title, std::max(area.top() + title, area.bottom() + 1 - height_));
  if (left != left_ || top != top_) SetBounds(left, top, width_, height_);
}

void TForm::SetVisible(bool v) {
  if (v == visible_) return;
  if (v) {
    AfterConstruction();
    FitCaption();
    PlaceOnShow();
    visible_ = true;
    if (OnShow) vx::Guard([&] { OnShow(this); });
    if (!visible_) return;  // OnShow hid it again
    if (!frame_) return;
    KeepOnScreen();
    switch (windowState_) {
      case wsMaximized: frame_->showMaximized(); break;
      case wsMinimized: frame_->showMinimized(); break;
      default: frame_->show(); break;
    }
    if (borderStyle_ == bsDialog || borderStyle_ == bsSingle || borderStyle_ == bsToolWindow)
      frame_->setFixedSize(frame_->size());
    if (activeControl_) activeControl_->SetFocus();
    Activate();
  } else {
    visible_ = false;
    if (frame_) frame_->hide();
    if (OnHide) vx::Guard([&] { OnHide(this); });
    if (g_activeForm == this) g_activeForm = nullptr;
  }
}

void TForm::Activate() {
  if (g_activeForm == this || destroying_) return;
  TForm* previous = g_activeForm;
  g_activeForm = this;
  if (previous && LiveForms().count(previous) && previous->OnDeactivate)
    vx::Guard([&] { previous->OnDeactivate(previous); });
  if (OnActivate) vx::Guard([&] { OnActivate(this); });
}

void TForm::Show() {
  SetVisible(true);
  // The off-screen platform has no stacking order (and says so on every call).
  // A window shown comes to the front and takes the keyboard, as showing it
  // did on the class library's platform, also without a window manager.
  if (frame_ && QGuiApplication::platformName() != QLatin1String("offscreen")) {
    frame_->raise();
    frame_->activateWindow();
  }
}

TModalResult TForm::ShowModal() {
  if (visible_ || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  AfterConstruction();
  TForm* previous = g_activeForm;
  modalResult_ = mrNone;
  modal_ = true;
  if (frame_) frame_->setWindowModality(Qt::ApplicationModal);
  TModalResult result = mrCancel;
  try {
    SetVisible(true);
    vx::DialogRequest r;
    r.Kind = vx::DialogKind::Modal;
    r.Text = caption_;
    r.Form = this;
    result = vx::Dialogs().Run(r);
  } catch (...) {
    modal_ = false;
    if (frame_) frame_->setWindowModality(Qt::NonModal);
    SetVisible(false);
    throw;
  }
  modal_ = false;
  SetVisible(false);
  if (frame_) frame_->setWindowModality(Qt::NonModal);
  modalResult_ = result;
  if (previous && previous != this && LiveForms().count(previous) && previous->Visible()) previous->Activate();
  return result;
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

bool TForm::CloseModal() {
  bool canClose = true;
  vx::Guard([&] { canClose = CloseQuery(); });
  TCloseAction action = canClose ? caHide : caNone;
  if (canClose && OnClose) vx::Guard([&] { OnClose(this, action); });
  if (action == caNone) {
    modalResult_ = mrNone;
    return false;
  }
  if (action == caFree) Release();
  return true;
}

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  auto* app = dynamic_cast<TApplication*>(Owner());
  if (!app || app->MainForm() != this) app = Application && Application->MainForm() == this ? Application : nullptr;
  if (app) {
    app->Terminate();
    SetVisible(false);
    return;
  }
  if (action == caHide) SetVisible(false);
  else if (action == caMinimize) SetWindowState(wsMinimized);
  else Release();
}

void TForm::CloseRequested() { Close(); }

namespace {
// A released form is destroyed once no event handler is running any more,
// so a handler that pumped messages never returns into a destroyed window.
void DestroyWhenIdle(TForm* form) {
  QTimer::singleShot(0, [form] {
    if (!LiveForms().count(form)) return;
    if (vx::HandlerDepth() > 0) {
      DestroyWhenIdle(form);
      return;
    }
    form->BeforeDestruction();
    delete form;
  });
}
}  // namespace

void TForm::Release() {
  SetVisible(false);
  DestroyWhenIdle(this);
}

void TForm::SetWindowState(TWindowState v) {
  windowState_ = v;
  if (!frame_ || !visible_) return;
  switch (v) {
    case wsMaximized: frame_->showMaximized(); break;
    case wsMinimized: frame_->showMinimized(); break;
    default: frame_->showNormal(); break;
  }
}

void TForm::SetBorderStyle(TFormBorderStyle v) {
  borderStyle_ = v;
  if (!frame_) return;
  Qt::WindowFlags flags = Qt::Window;
  if (v == bsDialog) flags = Qt::Dialog;
  if (v == bsNone) flags |= Qt::FramelessWindowHint;
  if (v == bsToolWindow || v == bsSizeToolWin) flags = Qt::Tool;
  const bool shown = frame_->isVisible();
  frame_->setWindowFlags(flags);
  if (shown) frame_->show();
}

namespace {
TControl* FindDialogButton(TWinControl* parent, Word key) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (!c->Visible() || !c->Enabled()) continue;
    if (c->IsDialogButtonFor(key)) return c;
    if (auto* w = dynamic_cast<TWinControl*>(c))
      if (TControl* found = FindDialogButton(w, key)) return found;
  }
  return nullptr;
}
}  // namespace

bool TForm::DialogKey(Word key) {
  if (key != VK_RETURN && key != VK_ESCAPE) return false;
  TControl* b = FindDialogButton(this, key);
  if (!b) return false;
  b->Click();
  return true;
}

void TForm::Paint() {
  if (OnPaint) OnPaint(this);
}
