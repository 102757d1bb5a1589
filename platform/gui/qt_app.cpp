#include "platform/gui/qt_app.h"

#include <QApplication>
#include <QPainter>
#include <cstdlib>

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
