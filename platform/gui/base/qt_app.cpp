#include "platform/gui/base/qt_app.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QApplication>
#include <QPainter>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "platform/rtl/thread.h"

namespace vx {

namespace {
int g_handlerDepth = 0;
std::function<void(std::exception_ptr)>& ErrorSink() {
  static std::function<void(std::exception_ptr)> sink;
  return sink;
}
}  // namespace

void EnsureQtApp() {
  if (QApplication::instance()) return;
  // Without a display the controls still work, on Qt's offscreen platform.
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "vexamund";
  static char* argv[] = {name, nullptr};
  auto* app = new QApplication(argc, argv);
  app->setQuitOnLastWindowClosed(false);
  // The default font of the controls: a sans family that draws Cyrillic.
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(11);
  QApplication::setFont(f);
  // Calls that worker threads queue for the main thread run from the event
  // loop, so every pump (modal loops included) delivers them; their errors
  // go where an event handler's go.
  SetMainThreadErrorHandler([](std::exception_ptr error) {
    if (ErrorSink()) ErrorSink()(error);
  });
  // The wake-up is a counter the event loop watches: a worker hands no
  // object to Qt, only the queue (with its own lock) carries the calls.
  static const int wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  auto* notifier = new QSocketNotifier(wakeFd, QSocketNotifier::Read, app);
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    std::uint64_t count;
    while (::read(wakeFd, &count, sizeof count) > 0) {}
    CheckSynchronize();
  });
  SetMainThreadWakeup([] {
    const std::uint64_t one = 1;
    while (::write(wakeFd, &one, sizeof one) < 0 && errno == EINTR) {}
  });
  CheckSynchronize();
}

void Guard(const std::function<void()>& handler) {
  ++g_handlerDepth;
  try {
    handler();
  } catch (...) {
    if (ErrorSink()) ErrorSink()(std::current_exception());
  }
  --g_handlerDepth;
}

int HandlerDepth() { return g_handlerDepth; }

void SetGuardErrorSink(std::function<void(std::exception_ptr)> sink) { ErrorSink() = std::move(sink); }

void PaintWidget::paintEvent(QPaintEvent*) {
  if (!OnPaint) return;
  QPainter painter(this);
  OnPaint(painter);
}

}  // namespace vx
