#include "platform/gui/core/input_simulation.h"

#include <chrono>
#include <thread>

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

#include "platform/gui/draw/qt_bridge.h"

namespace vx {

namespace {

QWidget* Target(TControl* c) {
  QWidget* w = c ? c->Widget() : nullptr;
  // A form is clicked in its client area, below the menu bar.
  if (auto* wc = dynamic_cast<TWinControl*>(c); wc && wc->ClientWidget() != w) return wc->ClientWidget();
  if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) return area->viewport();
  return w;
}

QPoint Where(QWidget* w, int x, int y) { return x < 0 ? QPoint(w->width() / 2, w->height() / 2) : QPoint(x, y); }

Qt::MouseButton QtButton(TMouseButton b) {
  return b == mbRight ? Qt::RightButton : b == mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
}

Qt::KeyboardModifiers QtModifiers(TShiftState s) {
  Qt::KeyboardModifiers m;
  if (s.Contains(ssShift)) m |= Qt::ShiftModifier;
  if (s.Contains(ssCtrl)) m |= Qt::ControlModifier;
  if (s.Contains(ssAlt)) m |= Qt::AltModifier;
  return m;
}

void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton b, Qt::MouseButtons held, bool post) {
  const QPointF local(p);
  const QPointF global(w->mapToGlobal(p));
  auto* e = new QMouseEvent(type, local, global, b, held, Qt::NoModifier);
  if (post) {
    QCoreApplication::postEvent(w, e);
  } else {
    QApplication::sendEvent(w, e);
    delete e;
  }
}

void Click(TControl* c, int x, int y, TMouseButton button, bool post) {
  QWidget* w = Target(c);
  if (!w) return;
  const QPoint p = Where(w, x, y);
  const Qt::MouseButton b = QtButton(button);
  Mouse(w, QEvent::MouseButtonPress, p, b, b, post);
  Mouse(w, QEvent::MouseButtonRelease, p, b, Qt::NoButton, post);
}

QWidget* KeyTarget(TControl* c) {
  QWidget* w = c ? c->Widget() : nullptr;
  return w;
}

}  // namespace

void SendClick(TControl* c, int x, int y, TMouseButton button) { Click(c, x, y, button, false); }
void PostClick(TControl* c, int x, int y, TMouseButton button) { Click(c, x, y, button, true); }

void PostCall(std::function<void()> action) {
  QMetaObject::invokeMethod(qApp, std::move(action), Qt::QueuedConnection);
}

void SendDoubleClick(TControl* c, int x, int y) {
  QWidget* w = Target(c);
  if (!w) return;
  const QPoint p = Where(w, x, y);
  Mouse(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, false);
  Mouse(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, false);
  Mouse(w, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, false);
  Mouse(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, false);
}

void SendMouseMove(TControl* c, int x, int y, TShiftState shift) {
  QWidget* w = Target(c);
  if (!w) return;
  Qt::MouseButtons held;
  if (shift.Contains(ssLeft)) held |= Qt::LeftButton;
  if (shift.Contains(ssRight)) held |= Qt::RightButton;
  Mouse(w, QEvent::MouseMove, QPoint(x, y), Qt::NoButton, held, false);
}

void SendWheel(TControl* c, int delta, int x, int y, TShiftState shift) {
  QWidget* w = Target(c);
  if (!w) return;
  const QPoint p = Where(w, x, y);
  QWheelEvent e(QPointF(p), QPointF(w->mapToGlobal(p)), QPoint(), QPoint(0, delta), Qt::NoButton, QtModifiers(shift),
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

namespace {
QScrollBar* Bar(TControl* c, bool vertical) {
  auto* area = qobject_cast<QAbstractScrollArea*>(c ? c->Widget() : nullptr);
  if (!area) return nullptr;
  return vertical ? area->verticalScrollBar() : area->horizontalScrollBar();
}
}  // namespace

bool ScrollBarShown(TControl* c, bool vertical) {
  QScrollBar* b = Bar(c, vertical);
  return b && b->isVisibleTo(c->Widget());
}

void SendScrollBarPage(TControl* c, bool vertical, bool forward) {
  if (QScrollBar* b = Bar(c, vertical))
    b->triggerAction(forward ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
}

void SendScrollBarDrag(TControl* c, bool vertical, int pos) {
  QScrollBar* b = Bar(c, vertical);
  if (!b) return;
  b->setSliderDown(true);
  b->setSliderPosition(pos);
  b->setSliderDown(false);
}

void SendEnter(TControl* c) {
  if (!c || !c->Widget()) return;
  QEnterEvent e(QPointF(1, 1), QPointF(1, 1), c->Widget()->mapToGlobal(QPointF(1, 1)));
  QApplication::sendEvent(c->Widget(), &e);
}

void SendLeave(TControl* c) {
  if (!c || !c->Widget()) return;
  QEvent e(QEvent::Leave);
  QApplication::sendEvent(c->Widget(), &e);
}

namespace {
// Each synthetic key event gets its own time stamp, as real input has.
quint64 NextTimestamp() {
  static quint64 t = 1;
  return t++;
}
}  // namespace

void SendMouseDown(TControl* c, int x, int y, TMouseButton button) {
  if (QWidget* w = Target(c))
    Mouse(w, QEvent::MouseButtonPress, QPoint(x, y), QtButton(button), QtButton(button), false);
}

void SendMouseUp(TControl* c, int x, int y, TMouseButton button) {
  if (QWidget* w = Target(c)) Mouse(w, QEvent::MouseButtonRelease, QPoint(x, y), QtButton(button), Qt::NoButton, false);
}

void SendKey(TControl* c, Word key, TShiftState shift) {
  QWidget* w = KeyTarget(c);
  if (!w) return;
  const int qtKey = QtKeyFromVirtualKey(key);
  QString text;
  if (key >= 'A' && key <= 'Z') text = QChar(shift.Contains(ssShift) ? key : key - 'A' + 'a');
  if (key >= '0' && key <= '9') text = QChar(key);
  if (key == VK_SPACE) text = QStringLiteral(" ");
  QKeyEvent press(QEvent::KeyPress, qtKey, QtModifiers(shift), text);
  press.setTimestamp(NextTimestamp());
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, qtKey, QtModifiers(shift), text);
  release.setTimestamp(NextTimestamp());
  QApplication::sendEvent(w, &release);
}

void SendText(TControl* c, const AnsiString& text) {
  QWidget* w = KeyTarget(c);
  if (!w) return;
  if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) w = combo->lineEdit();
  for (QChar ch : ToQString(text)) {
    const int qtKey = ch.isLetter() ? ch.toUpper().unicode() : ch.unicode();
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, QString(ch));
    press.setTimestamp(NextTimestamp());
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, QString(ch));
    release.setTimestamp(NextTimestamp());
    QApplication::sendEvent(w, &release);
  }
}

void SendCloseRequest(TControl* form) {
  if (!form || !form->Widget()) return;
  QCloseEvent e;
  QApplication::sendEvent(form->Widget(), &e);
}

void ClosePopups() {
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
}

bool ChoosePopupItem(const AnsiString& caption) {
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (!menu) return false;
  const QString wanted = ToQString(caption).remove('&');
  for (QAction* action : menu->actions()) {
    if (action->isSeparator() || !action->isEnabled() || QString(action->text()).remove('&') != wanted) continue;
    const QPoint p = menu->actionGeometry(action).center();
    Mouse(menu, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton, false);
    Mouse(menu, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, false);
    Mouse(menu, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, false);
    return true;
  }
  return false;
}

bool WaitForFocus(TWinControl* control, int timeoutMs) {
  QWidget* w = control ? control->Widget() : nullptr;
  if (!w) return false;
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    if (w->isActiveWindow() && w->hasFocus()) return true;
    if (clock.elapsed() >= timeoutMs) return false;
    if (!w->window()->isActiveWindow()) w->window()->activateWindow();
    if (!w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool SaveScreenshot(TControl* control, const AnsiString& fileName) {
  if (!control || !control->Widget()) return false;
  return control->Widget()->grab().save(ToQString(fileName), "PNG");
}

bool FontDrawsText(const TFont& font, const AnsiString& text) {
  const QFontMetrics fm(ToQFont(font));
  for (QChar ch : ToQString(text))
    if (!ch.isSpace() && !fm.inFont(ch)) return false;
  return true;
}

bool ShowsWhatItPaints(TControl* control) {
  QWidget* w = control ? control->Widget() : nullptr;
  if (!w || !w->isVisible() || !w->screen()) return false;
  // Whatever is queued gets painted and flushed first.
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
  const QPoint at = w->mapTo(w->window(), QPoint(0, 0));
  const QImage shown = w->screen()
                           ->grabWindow(w->window()->winId(), at.x(), at.y(), w->width(), w->height())
                           .toImage()
                           .convertToFormat(QImage::Format_RGB32);
  const QImage painted = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  return !shown.isNull() && shown.size() == painted.size() && shown == painted;
}

double InkCoverage(TControl* control, TColor background) {
  if (!control || !control->Widget()) return 0;
  const QImage img = control->Widget()->grab().toImage();
  if (img.isNull()) return 0;
  const QRgb bg = ToQColor(background).rgb() & 0xFFFFFF;
  long long ink = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) ink += (img.pixel(x, y) & 0xFFFFFF) != bg;
  return static_cast<double>(ink) / (static_cast<double>(img.width()) * img.height());
}

int VisibleWindowCount() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) ++n;
  return n;
}

}  // namespace vx
