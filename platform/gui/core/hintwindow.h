// THintWindow: a small window that shows a hint text at a screen position,
// on its Color (the hint colour clInfoBk unless one was set).
#pragma once

#include "platform/gui/core/controls.h"

class QLabel;

class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* AOwner);
  // The rectangle (at 0,0) the text needs, wrapped at maxWidth pixels.
  virtual TRect CalcHintRect(int maxWidth, const AnsiString& hint, void* data = nullptr);
  // Shows the text in rect (screen coordinates).
  virtual void ActivateHint(const TRect& rect, const AnsiString& hint);
  void ReleaseHandle();
  bool Active() const { return active_; }

 protected:
  void Paint() override;
  TColor DefaultColor() const override { return clInfoBk; }
  bool PaintsBackground() const override { return true; }

 private:
  bool active_ = false;
};
