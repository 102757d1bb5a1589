#include "platform/gui/controls/scroll_host.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "platform/gui/core/controls.h"
#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"

namespace vx {

namespace {

bool Inside(const QWidget* w, const QWidget* ancestor) {
  for (; w; w = w->parentWidget())
    if (w == ancestor) return true;
  return false;
}

class ScrollHost : public QAbstractScrollArea {
 public:
  ScrollHost() {
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    for (int bar : {SB_HORZ, SB_VERT}) {
      QScrollBar* b = Bar(bar);
      QObject::connect(b, &QAbstractSlider::actionTriggered, [this, bar](int action) { Action(bar, action); });
      QObject::connect(b, &QAbstractSlider::sliderReleased, [this, bar] {
        Send(bar, SB_THUMBPOSITION, Bar(bar)->sliderPosition());
        Send(bar, SB_ENDSCROLL, 0);
      });
    }
  }

  TCustomControl* control = nullptr;
  MessageTarget* target = nullptr;  // the control's window procedure

  QScrollBar* Bar(int bar) const { return bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar(); }

  void Sync(int bar, const ScrollBarState& s) {
    QScrollBar* b = Bar(bar);
    const QSignalBlocker block(b);
    b->setRange(s.Min, std::max(s.Min, s.Max - std::max(s.Page - 1, 0)));
    b->setPageStep(std::max(1, s.Page));
    if (!b->isSliderDown()) b->setValue(s.Pos);
    const Qt::ScrollBarPolicy policy = s.Visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (bar == SB_VERT && verticalScrollBarPolicy() != policy) setVerticalScrollBarPolicy(policy);
    if (bar == SB_HORZ && horizontalScrollBarPolicy() != policy) setHorizontalScrollBarPolicy(policy);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!target) return;
    QPainter painter(viewport());
    QtPainterDevice device(&painter);
    target->Perform(WM_PAINT);
    control->PaintTo(&device);
  }

  void wheelEvent(QWheelEvent* e) override {
    e->accept();
    if (!target) return;
    const int delta = e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x();
    if (delta == 0) return;
    const QPoint g = e->globalPosition().toPoint();
    Guard([&] {
      target->Perform(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseKeysFromQt(e->modifiers(), e->buttons())), delta),
                      MAKELPARAM(g.x(), g.y()));
    });
  }

 public:
  // The focus left the control and its children for another control.
  void LeftForElsewhere() {
    inside_ = false;
    Guard([&] {
      target->Perform(WM_KILLFOCUS, 0);
      target->Perform(CM_EXIT);
    });
  }

 protected:
  void focusInEvent(QFocusEvent* e) override {
    QAbstractScrollArea::focusInEvent(e);
    if (!target) return;
    // Coming back from the control's own children is no new arrival.
    const bool arriving = !inside_;
    inside_ = true;
    Guard([&] {
      target->Perform(WM_SETFOCUS);
      if (arriving) target->Perform(CM_ENTER);
    });
  }

  void focusOutEvent(QFocusEvent* e) override {
    QAbstractScrollArea::focusOutEvent(e);
    if (!target) return;
    if (Inside(QApplication::focusWidget(), this)) Guard([&] { target->Perform(WM_KILLFOCUS, 1); });
    else LeftForElsewhere();
  }

  void showEvent(QShowEvent* e) override {
    QAbstractScrollArea::showEvent(e);
    if (target) Guard([&] { target->Perform(WM_SHOWWINDOW, 1); });
  }

  // Keys the control did not take travel on to the window, not to the bars.
  void keyPressEvent(QKeyEvent* e) override { e->ignore(); }
  // The control had the mouse through its event filter; nothing goes on to
  // the parent, which would see it a second time.
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
  void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }
  void mouseMoveEvent(QMouseEvent* e) override { e->accept(); }
  void scrollContentsBy(int, int) override {}

 private:
  bool inside_ = false;

  void Send(int bar, int code, int pos) {
    if (!target) return;
    Guard([&] { target->Perform(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), 0); });
  }

  void Action(int bar, int action) {
    int code = -1;
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
      case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
      case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
      case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
      case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
      case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
      case QAbstractSlider::SliderMove: Send(bar, SB_THUMBTRACK, Bar(bar)->sliderPosition()); return;
      default: return;
    }
    Send(bar, code, 0);
    Send(bar, SB_ENDSCROLL, 0);
    // The bar shows where the control went, not where the slider would step.
    if (target)
      if (const ScrollBarState* s = target->ScrollBar(bar)) Bar(bar)->setSliderPosition(s->Pos);
  }
};

ScrollHost* AsHost(QWidget* w) { return static_cast<ScrollHost*>(w); }

// Watches a child: the control hears when the focus leaves for elsewhere.
class ChildFocusFilter : public QObject {
 public:
  ChildFocusFilter(QObject* parent, ScrollHost* host) : QObject(parent), host_(host) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::FocusOut && host_->target && !Inside(QApplication::focusWidget(), host_))
      host_->LeftForElsewhere();
    return false;
  }

 private:
  ScrollHost* host_;
};

}  // namespace

QWidget* NewScrollHost() {
  EnsureQtApp();
  return new ScrollHost;
}

void AttachScrollHost(QWidget* host, TCustomControl* control, MessageTarget* target) {
  AsHost(host)->control = control;
  AsHost(host)->target = target;
}

void DetachScrollHost(QWidget* host) {
  if (!host) return;
  AsHost(host)->control = nullptr;
  AsHost(host)->target = nullptr;
}

QWidget* ScrollHostViewport(QWidget* host) { return host ? AsHost(host)->viewport() : nullptr; }

void SetScrollHostFrame(QWidget* host, bool framed) {
  if (host) AsHost(host)->setFrameStyle(framed ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
}

TSize ScrollHostClientSize(QWidget* host, int width, int height, MessageTarget* target) {
  ScrollHost* h = AsHost(host);
  if (!h) return TSize{width, height};
  const int frame = h->frameWidth();
  const int extent = h->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, h);
  const ScrollBarState* vert = target ? target->ScrollBar(SB_VERT) : nullptr;
  const ScrollBarState* horz = target ? target->ScrollBar(SB_HORZ) : nullptr;
  return TSize{std::max(0, width - 2 * frame - (vert && vert->Visible ? extent : 0)),
               std::max(0, height - 2 * frame - (horz && horz->Visible ? extent : 0))};
}

bool ScrollHostShown(QWidget* host) { return host && host->isVisible(); }

void ScrollHostUpdate(QWidget* host, const TRect& r) {
  if (host && host->isVisible()) AsHost(host)->viewport()->update(QRect(r.Left, r.Top, r.Width(), r.Height()));
}

void ScrollHostBarChanged(QWidget* host, int bar, const ScrollBarState* state) {
  if (host && state) AsHost(host)->Sync(bar, *state);
}

void WatchChildFocus(QWidget* child, QWidget* host) {
  if (child && host) child->installEventFilter(new ChildFocusFilter(child, AsHost(host)));
}

}  // namespace vx
