// TDBChart: the chart control. It is a vx::ChartModel (series, paging,
// axes, zoom, scrolling, events) shown in a control that paints the model
// with vx::PaintChart and drives it with the mouse:
//   - left drag towards the lower right: zoom to the dragged rectangle
//     (drawn while dragging); towards the upper left: undo the zoom;
//   - right drag: pan, the data under the pointer follows it (OnScroll).
// Child controls (the window's scroll bars) may lie on its edges; Margins
// keeps the plot clear of them. OnResize is the control's own.
#pragma once

#include "platform/chart/chart_model.h"
#include "platform/chart/chart_painter.h"
#include "platform/gui/core/controls.h"

class TDBChart : public TCustomControl, public vx::ChartModel {
 public:
  explicit TDBChart(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TDBChart() override;

  vx::ChartMargins& Margins() { return margins_; }
  // True while the left button drags a zoom rectangle.
  bool Dragging() const { return dragButton_ == 1; }

 protected:
  void Paint() override;
  void ChartChanged() override { Invalidate(); }
  TObject* EventSender() override { return this; }
  TColor DefaultColor() const override { return clBtnFace; }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  vx::ChartMargins margins_;
  int dragButton_ = 0;  // 0 none, 1 zoom rectangle, 2 pan
  TPoint dragStart_, dragLast_;
};
