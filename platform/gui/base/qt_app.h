// The bottom of the visual class library (platform/gui internal): the Qt
// application object, the guard every event dispatch runs through, and the
// plain widget the controls paint on.
//
// Guard runs a handler and hands any exception that escapes it to the
// error sink (TApplication installs its HandleException there), so an event
// handler can never end the program; without a sink the exception is
// dropped. HandlerDepth says how many guarded handlers are running (they
// nest through ProcessMessages).
#pragma once

#include <QWidget>
#include <exception>
#include <functional>

class QPainter;

namespace vx {

// Creates the QApplication on first use (offscreen platform when no display).
void EnsureQtApp();

void Guard(const std::function<void()>& handler);
int HandlerDepth();
void SetGuardErrorSink(std::function<void(std::exception_ptr)> sink);

// A plain widget that hands its paint events to a callback.
class PaintWidget : public QWidget {
 public:
  explicit PaintWidget(QWidget* parent = nullptr) : QWidget(parent) {}
  std::function<void(QPainter&)> OnPaint;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vx
