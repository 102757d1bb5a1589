#include "platform/chart/db_chart.h"

#include <algorithm>

TDBChart::TDBChart(TComponent* AOwner, TWinControl* AParent) : TCustomControl(AOwner) {
  SetBounds(0, 0, 400, 250);
  if (AParent) SetParent(AParent);
}

TDBChart::~TDBChart() = default;

void TDBChart::Paint() {
  TCanvas& canvas = *Canvas();
  vx::PaintChart(*this, canvas, ClientRect(), margins_);
  if (dragButton_ == 1) {
    canvas.Brush()->SetStyle(bsClear);
    canvas.Pen()->SetColor(clBlack);
    canvas.Pen()->SetStyle(psDot);
    canvas.Rectangle(std::min(dragStart_.X, dragLast_.X), std::min(dragStart_.Y, dragLast_.Y),
                     std::max(dragStart_.X, dragLast_.X) + 1, std::max(dragStart_.Y, dragLast_.Y) + 1);
    canvas.Pen()->SetStyle(psSolid);
    canvas.Brush()->SetStyle(bsSolid);
  }
  TCustomControl::Paint();
}

void TDBChart::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (dragButton_ == 0 && (button == mbLeft || button == mbRight)) {
    dragButton_ = button == mbLeft ? 1 : 2;
    dragStart_ = dragLast_ = Point(x, y);
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TDBChart::MouseMove(TShiftState shift, int x, int y) {
  if (dragButton_ == 2) {
    PanPixels(x - dragLast_.X, y - dragLast_.Y);
    dragLast_ = Point(x, y);
  } else if (dragButton_ == 1) {
    dragLast_ = Point(x, y);
    Invalidate();
  }
  TCustomControl::MouseMove(shift, x, y);
}

void TDBChart::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (dragButton_ == 1 && button == mbLeft) {
    dragButton_ = 0;
    Invalidate();
    if (x < dragStart_.X - 2 || y < dragStart_.Y - 2) UndoZoom();
    else ZoomRect(Rect(dragStart_.X, dragStart_.Y, x, y));
  } else if (dragButton_ == 2 && button == mbRight) {
    PanPixels(x - dragLast_.X, y - dragLast_.Y);
    dragButton_ = 0;
  }
  TCustomControl::MouseUp(button, shift, x, y);
}
