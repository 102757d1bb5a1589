// Qt widget subclasses and helpers behind the controls (platform/gui internal).
#pragma once

#include <QWidget>
#include <functional>

class QPainter;

namespace vx {

// Creates the QApplication on first use (offscreen platform when no display).
void EnsureQtApp();

// A plain widget that hands its paint events to a callback.
class PaintWidget : public QWidget {
 public:
  explicit PaintWidget(QWidget* parent = nullptr) : QWidget(parent) {}
  std::function<void(QPainter&)> OnPaint;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vx
