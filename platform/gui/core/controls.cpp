#include "platform/gui/core/controls.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "platform/gui/core/actions.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"

namespace vx {

namespace {

TMouseButton ButtonFromQt(Qt::MouseButton b) {
  if (b == Qt::RightButton) return mbRight;
  if (b == Qt::MiddleButton) return mbMiddle;
  return mbLeft;
}

struct KeySeen {
  const QEvent* event = nullptr;
  QEvent::Type type = QEvent::None;
  int key = 0;
  quint64 timestamp = 0;
  bool operator==(const KeySeen&) const = default;
};
KeySeen g_lastKey;

}  // namespace

// Turns the widget's Qt events into the control's events.
class ControlEventFilter : public QObject {
 public:
  explicit ControlEventFilter(TControl* c) : control_(c) {}
  // The viewport of a scroll area receives the mouse, not the area itself.
  QObject* viewport_ = nullptr;
  // A form's mouse events come from its client area only (what the client
  // area leaves travels on to the window, and must not count twice).
  bool mouseFromViewportOnly_ = false;

  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched != control_->widget_) {
      const QEvent::Type t = e->type();
      const bool mouse = t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease ||
                         t == QEvent::MouseButtonDblClick || t == QEvent::MouseMove || t == QEvent::ToolTip;
      if (!(watched == viewport_ && viewport_ && mouse)) return false;
    } else if (mouseFromViewportOnly_) {
      const QEvent::Type t = e->type();
      if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick ||
          t == QEvent::MouseMove)
        return false;
    }
    switch (e->type()) {
      case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(e);
        const QPoint p = me->position().toPoint();
        control_->pressed_ = me->button() == Qt::LeftButton;
        Guard([&] {
          control_->MouseDown(ButtonFromQt(me->button()), ShiftFromQt(me->modifiers(), me->buttons()), p.x(), p.y());
        });
        return false;
      }
      case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(e);
        const QPoint p = me->position().toPoint();
        const bool wasPressed = control_->pressed_;
        control_->pressed_ = false;
        TControl* c = control_;
        Guard(
            [&] { c->MouseUp(ButtonFromQt(me->button()), ShiftFromQt(me->modifiers(), me->buttons()), p.x(), p.y()); });
        if (me->button() == Qt::LeftButton && wasPressed && c->ClicksOnMouseUp() && c->widget_ &&
            c->widget_->rect().contains(p))
          Guard([&] { c->Click(); });
        if (me->button() == Qt::RightButton && c->popupMenu_) {
          const QPoint g = me->globalPosition().toPoint();
          c->popupMenu_->SetPopupComponent(c);
          c->popupMenu_->Popup(g.x(), g.y());
          return true;
        }
        return false;
      }
      case QEvent::MouseButtonDblClick: Guard([&] { control_->DblClick(); }); return false;
      case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        const QPoint p = me->position().toPoint();
        Guard([&] { control_->MouseMove(ShiftFromQt(me->modifiers(), me->buttons()), p.x(), p.y()); });
        return false;
      }
      case QEvent::Enter:
        if (Application) Application->SetHint(control_->hint_);
        if (control_->OnMouseEnter) Guard([&] { control_->OnMouseEnter(control_); });
        return false;
      case QEvent::Leave:
        Guard([&] { control_->MouseLeave(); });
        if (Application) Application->SetHint("");
        if (control_->OnMouseLeave) Guard([&] { control_->OnMouseLeave(control_); });
        return false;
      case QEvent::ToolTip: {
        if (!control_->showHint_) return false;
        auto* he = static_cast<QHelpEvent*>(e);
        bool own = false;
        // Client coordinates are the viewport's, when there is one.
        QPoint at = he->pos();
        if (viewport_ && watched != viewport_) at -= static_cast<QWidget*>(viewport_)->pos();
        const TPoint client{at.x(), at.y()};
        Guard([&] { own = control_->ShowOwnHint(client, TPoint{he->globalPos().x(), he->globalPos().y()}); });
        return own;
      }
      case QEvent::ContextMenu: return control_->popupMenu_ != nullptr;  // shown on the button release
      case QEvent::Resize:
      case QEvent::Move: {
        // Geometry set by Qt (a user resizing a window, a tab page).
        QWidget* w = control_->widget_;
        const TPoint origin = control_->parent_ ? control_->parent_->ClientOrigin() : TPoint{};
        const bool topLevel = w->isWindow();
        const int l = w->geometry().x() + (topLevel ? 0 : origin.X);
        const int t = w->geometry().y() + (topLevel ? 0 : origin.Y);
        const bool sized = w->width() != control_->width_ || w->height() != control_->height_;
        if (control_->align_ == alNone || topLevel) {
          control_->left_ = l;
          control_->top_ = t;
        }
        if (sized) {
          control_->width_ = w->width();
          control_->height_ = w->height();
          Guard([&] { control_->Resized(); });
        }
        return false;
      }
      case QEvent::FocusIn:
        if (auto* wc = dynamic_cast<TWinControl*>(control_); wc && wc->OnEnter) Guard([&] { wc->OnEnter(wc); });
        return false;
      case QEvent::FocusOut:
        if (auto* wc = dynamic_cast<TWinControl*>(control_); wc && wc->OnExit) Guard([&] { wc->OnExit(wc); });
        return false;
      case QEvent::KeyPress:
      case QEvent::KeyRelease: return Key(static_cast<QKeyEvent*>(e));
      default: return false;
    }
  }

 private:
  bool Key(QKeyEvent* ke) {
    auto* wc = dynamic_cast<TWinControl*>(control_);
    if (!wc) return false;
    TForm* form = wc->ParentForm();
    // A key a control did not take travels on to its parents; the form
    // (and any container) must not handle it a second time.
    const KeySeen seen{ke, ke->type(), ke->key(), ke->timestamp()};
    if (seen == g_lastKey) return false;
    g_lastKey = seen;
    const bool down = ke->type() == QEvent::KeyPress;
    Word key = VirtualKeyFromQt(ke->key());
    const TShiftState shift = ShiftFromQt(ke->modifiers());
    bool consumed = false;
    const bool preview = form && form != wc && form->KeyPreview();
    if (preview && key) {
      Guard([&] { consumed = down ? form->KeyDown(key, shift) : form->KeyUp(key, shift); });
      if (consumed) return true;
    }
    if (key) Guard([&] { consumed = down ? wc->KeyDown(key, shift) : wc->KeyUp(key, shift); });
    if (consumed) return true;
    // Enter and Esc that no handler took press the form's Default or
    // Cancel button (a button itself handles its own Enter).
    if (down && form && (key == VK_RETURN || key == VK_ESCAPE) && !wc->WantsKey(key)) {
      Guard([&] { consumed = form->DialogKey(key); });
      if (consumed) return true;
    }
    if (down && !ke->text().isEmpty()) {
      const AnsiString text = FromQString(ke->text());
      if (text.size() == 1 && static_cast<unsigned char>(text[0]) >= 0x20) {
        char ch = text[0];
        if (preview) {
          Guard([&] { consumed = form->KeyPress(ch); });
          if (consumed) return true;
        }
        Guard([&] { consumed = wc->KeyPress(ch); });
        if (consumed) return true;
      }
    }
    return false;
  }

  TControl* control_;
};

}  // namespace vx

// ---------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
  vx::EnsureQtApp();
  font_->OnChange = [this](TObject*) {
    if (!applyingFont_) parentFont_ = false;
    FontChanged();
  };
}

TForm* TControl::ParentForm() const { return parent_ ? parent_->ParentForm() : nullptr; }

TControl::~TControl() {
  if (action_) action_->RemoveClient(this);
  if (parent_) parent_->RemoveControl(this);
  parent_ = nullptr;
  if (widget_) {
    widget_->removeEventFilter(filter_.get());
    QWidget* w = widget_;
    widget_ = nullptr;
    delete w;
  }
}

void TControl::SetWidget(QWidget* widget) {
  widget_ = widget;
  filter_ = std::make_unique<vx::ControlEventFilter>(this);
  widget_->installEventFilter(filter_.get());
  if (auto* area = qobject_cast<QAbstractScrollArea*>(widget_)) {
    filter_->viewport_ = area->viewport();
    area->viewport()->installEventFilter(filter_.get());
    area->viewport()->setMouseTracking(true);
  }
  QObject::connect(widget_, &QObject::destroyed, [this](QObject*) { widget_ = nullptr; });
  widget_->setMouseTracking(true);
  FontChanged();
  ColorChanged();
  widget_->setEnabled(enabled_);
  ApplyBoundsToWidget();
}

void TControl::ForwardMouseFrom(QWidget* inner) {
  filter_->viewport_ = inner;
  filter_->mouseFromViewportOnly_ = true;
  inner->installEventFilter(filter_.get());
  inner->setMouseTracking(true);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) {
    TWinControl* old = parent_;
    old->RemoveControl(this);
    parent_ = nullptr;
    if (widget_) {
      widget_->hide();
      widget_->setParent(nullptr);
    }
    if (align_ != alNone) old->AlignControls();
  }
  if (!parent) return;
  parent_ = parent;
  parent->InsertControl(this);
  if (widget_) {
    widget_->setParent(parent->ClientWidget());
    ApplyBoundsToWidget();
    widget_->setVisible(visible_);
  }
  if (parentFont_) ParentFontChanged(*parent->Font());
  if (align_ != alNone) parent->AlignControls();
}

void TControl::ApplyBoundsToWidget() {
  if (!widget_) return;
  if (widget_->isWindow()) {
    widget_->setGeometry(left_, top_, std::max(0, width_), std::max(0, height_));
    return;
  }
  const TPoint origin = parent_ ? parent_->ClientOrigin() : TPoint{};
  widget_->setGeometry(left_ - origin.X, top_ - origin.Y, std::max(0, width_), std::max(0, height_));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  const bool moved = left != left_ || top != top_;
  const bool sized = width != width_ || height != height_;
  if (!moved && !sized) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  ApplyBoundsToWidget();
  if (sized) Resized();
  if (parent_ && align_ != alNone && !parent_->aligning_) parent_->AlignControls();
}

void TControl::SetClientWidth(int v) { SetWidth(v + (width_ - ClientWidth())); }
void TControl::SetClientHeight(int v) { SetHeight(v + (height_ - ClientHeight())); }

// Client coordinates are those of the client area (a scroll area's viewport).
TPoint TControl::ClientToScreen(TPoint p) const {
  const QWidget* w = MouseWidget();
  if (!w) return p;
  const QPoint g = w->mapToGlobal(QPoint(p.X, p.Y));
  return TPoint{g.x(), g.y()};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const QWidget* w = MouseWidget();
  if (!w) return p;
  const QPoint l = w->mapFromGlobal(QPoint(p.X, p.Y));
  return TPoint{l.x(), l.y()};
}

void TControl::SetAlign(TAlign v) {
  if (v == align_) return;
  align_ = v;
  if (parent_) parent_->AlignControls();
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (widget_ && (parent_ || widget_->isWindow())) widget_->setVisible(v);
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  if (widget_) widget_->setEnabled(v);
}

void TControl::SetCaption(const AnsiString& v) {
  if (v == caption_) return;
  caption_ = v;
  CaptionChanged();
}

void TControl::SetHint(const AnsiString& v) {
  if (v == hint_) return;
  hint_ = v;
  HintChanged();
}

void TControl::SetShowHint(bool v) {
  if (v == showHint_) return;
  showHint_ = v;
  HintChanged();
}

void TControl::HintChanged() {
  if (!widget_) return;
  // Only the short part (before '|') is the tooltip.
  const AnsiString shortHint = hint_.substr(0, hint_.find('|'));
  widget_->setToolTip(showHint_ ? vx::ToQString(shortHint) : QString());
}

void TControl::SetParentFont(bool v) {
  parentFont_ = v;
  if (v && parent_) ParentFontChanged(*parent_->Font());
}

void TControl::ParentFontChanged(const TFont& parentFont) {
  applyingFont_ = true;
  font_->Assign(parentFont);
  applyingFont_ = false;
}

void TControl::FontChanged() {
  if (!widget_) return;
  widget_->setFont(vx::ToQFont(*font_));
  QPalette pal = widget_->palette();
  const QColor text = vx::ToQColor(font_->Color());
  const QColor grey = vx::ToQColor(clGrayText);
  // The font colour is that of an enabled control; a disabled one shows
  // its text grey whatever its font says, as the class library drew it.
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    pal.setColor(QPalette::Active, role, text);
    pal.setColor(QPalette::Inactive, role, text);
    pal.setColor(QPalette::Disabled, role, grey);
  }
  widget_->setPalette(pal);
}

void TControl::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  ColorChanged();
}

void TControl::ColorChanged() {
  if (!widget_) return;
  const TColor effective = color_ == clDefault ? DefaultColor() : color_;
  QPalette pal = widget_->palette();
  const QColor c = vx::ToQColor(effective);
  pal.setColor(QPalette::Window, c);
  if (color_ != clDefault) {
    pal.setColor(QPalette::Base, c);
    pal.setColor(QPalette::Button, c);
  }
  widget_->setPalette(pal);
  widget_->setAutoFillBackground(PaintsBackground() || color_ != clDefault);
}

void TControl::SetCursor(TCursor v) {
  cursor_ = v;
  if (!widget_) return;
  if (v == crDefault) widget_->unsetCursor();
  else widget_->setCursor(vx::ToQtCursor(v));
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

QWidget* TControl::MouseWidget() const {
  if (auto* wc = dynamic_cast<const TWinControl*>(this)) return wc->ClientWidget();
  return widget_;
}

bool TControl::MouseCapture() const {
  QWidget* w = MouseWidget();
  return w && QWidget::mouseGrabber() == w;
}

void TControl::SetMouseCapture(bool v) {
  QWidget* w = MouseWidget();
  if (!w || v == MouseCapture()) return;
  if (v) {
    if (w->isVisible()) w->grabMouse();
  } else {
    w->releaseMouse();
  }
}

void TControl::Invalidate() {
  if (widget_) widget_->update();
}

void TControl::Repaint() {
  if (widget_) widget_->repaint();
}

void TControl::Update() {
  if (widget_) widget_->repaint();
}

void TControl::BringToFront() {
  if (widget_) widget_->raise();
}

void TControl::SendToBack() {
  if (widget_) widget_->lower();
}

void TControl::Click() {
  if (action_) {
    action_->Execute();
    return;
  }
  if (OnClick) OnClick(this);
}

void TControl::SetAction(TAction* action) {
  if (action_) action_->RemoveClient(this);
  action_ = action;
  if (action_) {
    action_->AddClient(this);
    ActionChanged();
  }
}

void TControl::ActionChanged() {
  if (!action_) return;
  SetCaption(action_->Caption());
  SetHint(action_->Hint());
  SetEnabled(action_->Enabled());
  SetVisible(action_->Visible());
}

void TControl::Resized() {
  if (OnResize) OnResize(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

bool TControl::SetStringProperty(const AnsiString& name, const AnsiString& value) {
  return vx::SetCaptionOrHint(*this, name, value);
}

std::optional<AnsiString> TControl::GetStringProperty(const AnsiString& name) const {
  return vx::CaptionOrHint(name, caption_, hint_);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

// ---------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // Child controls go first, newest first, as the class library destroyed them.
  while (!controls_.empty()) delete controls_.back();
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return controls_[static_cast<std::size_t>(index)];
}

void TWinControl::InsertControl(TControl* control) { controls_.push_back(control); }

void TWinControl::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TWinControl::SetFocus() {
  if (widget_) widget_->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const { return widget_ && widget_->hasFocus(); }

bool TWinControl::CanFocus() const { return Showing() && enabled_; }

void TWinControl::SetTabStop(bool v) {
  tabStop_ = v;
  if (widget_) widget_->setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus);
}

void TWinControl::EnableAlign() {
  if (alignLock_ > 0 && --alignLock_ == 0) AlignControls();
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* c : controls_)
    if (c->ParentFont()) c->ParentFontChanged(*font_);
}

void TWinControl::Resized() {
  AlignControls();
  TControl::Resized();
}

void TWinControl::AlignControls() {
  if (alignLock_ > 0 || aligning_) return;
  aligning_ = true;
  const TPoint origin = ClientOrigin();
  TRect area = Bounds(origin.X, origin.Y, ClientWidth(), ClientHeight());
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : controls_) {
      if (c->align_ != pass || !c->visible_) continue;
      const int w = c->width_, h = c->height_;
      switch (pass) {
        // A control may change its height for its new width (a tool bar
        // wrapping into rows): the next one goes after the height it took.
        case alTop:
          c->SetBounds(area.Left, area.Top, area.Width(), h);
          area.Top += c->height_;
          break;
        case alBottom:
          c->SetBounds(area.Left, area.Bottom - h, area.Width(), h);
          if (c->height_ != h) c->SetBounds(area.Left, area.Bottom - c->height_, area.Width(), c->height_);
          area.Bottom -= c->height_;
          break;
        case alLeft:
          c->SetBounds(area.Left, area.Top, w, area.Height());
          area.Left += w;
          break;
        case alRight:
          c->SetBounds(area.Right - w, area.Top, w, area.Height());
          area.Right -= w;
          break;
        default: c->SetBounds(area.Left, area.Top, area.Width(), area.Height()); break;
      }
    }
  }
  aligning_ = false;
}

bool TWinControl::KeyDown(Word& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
  return key == 0;
}

bool TWinControl::KeyUp(Word& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
  return key == 0;
}

bool TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
  return key == 0;
}

// ---------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), canvas_(std::make_unique<TCanvas>()) {
  auto* w = new vx::PaintWidget;
  w->OnPaint = [this](QPainter& painter) {
    vx::QtPainterDevice device(&painter);
    PaintTo(&device);
  };
  SetWidget(w);
  tabStop_ = true;
  w->setFocusPolicy(Qt::StrongFocus);
}

TCustomControl::TCustomControl(TComponent* AOwner, QWidget* widget)
    : TWinControl(AOwner), canvas_(std::make_unique<TCanvas>()) {
  SetWidget(widget);
  tabStop_ = true;
  widget->setFocusPolicy(Qt::StrongFocus);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintTo(vx::CanvasDevice* device) {
  canvas_->SetDevice(device);
  canvas_->Font()->Assign(*font_);
  vx::Guard([&] { Paint(); });
  canvas_->SetDevice(nullptr);
}

void TCustomControl::Paint() {
  if (OnPaint) OnPaint(this);
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), canvas_(std::make_unique<TCanvas>()) {
  auto* w = new vx::PaintWidget;
  w->OnPaint = [this](QPainter& painter) {
    vx::QtPainterDevice device(&painter);
    PaintTo(&device);
  };
  SetWidget(w);
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(vx::CanvasDevice* device) {
  canvas_->SetDevice(device);
  canvas_->Font()->Assign(*font_);
  vx::Guard([&] { Paint(); });
  canvas_->SetDevice(nullptr);
}
