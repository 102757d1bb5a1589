// Windows that follow a drag inside the grid: arrow markers that show where
// a dragged column or row will land, and a caption button under the mouse.
//
// Both are frameless top-level windows that never take the focus; they are
// created hidden and owned like any control (the owner destroys them).
#pragma once

#include <array>

#include "platform/gui/controls/extctrls.h"

// A lime arrow, shaped as a seven-point polygon (winding fill).
//   direction 0 up, 1 down, 2 right, 3 left.
class TArrowWindow : public TPanel {
 public:
  TArrowWindow(TComponent* AOwner, int direction);
  int Direction() const { return direction_; }
  // The polygon of a direction, in pixels of the window.
  static const std::array<TPoint, 7>& ArrowShape(int direction);

 private:
  std::uint8_t direction_;
};

// The caption of a dragged column, painted as a button (raised unless Flat),
// cut with "..." at the end when it does not fit.
class TPopupButton : public TCustomControl {
 public:
  explicit TPopupButton(TComponent* AOwner);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);

 protected:
  void Paint() override;
  void CaptionChanged() override { Invalidate(); }
  bool PaintsBackground() const override { return true; }

 private:
  bool flat_ = false;
};
