// Panels, images, paint boxes, bevels, splitters and timers.
#pragma once

#include <memory>

#include "platform/gui/draw/bitmap.h"
#include "platform/gui/core/controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* AOwner, TWinControl* AParent = nullptr);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut v);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);

 protected:
  void Paint() override;
  void CaptionChanged() override { Invalidate(); }
  bool PaintsBackground() const override { return true; }

 private:
  TBevelCut bevelOuter_ = bvRaised, bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  TAlignment alignment_ = taCenter;
};

class TPaintBox : public TGraphicControl {
 public:
  explicit TPaintBox(TComponent* AOwner, TWinControl* AParent = nullptr);
  TNotifyEvent OnPaint;

 protected:
  void Paint() override;
};

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TImage() override;
  TPicture* Picture() { return picture_.get(); }
  // Draws into the picture's bitmap (made the size of the control when empty).
  TCanvas* Canvas();
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);

 protected:
  void Paint() override;

 private:
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false, center_ = false, transparent_ = false, autoSize_ = false;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* AOwner, TWinControl* AParent = nullptr);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape v);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle v);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// Drags the edge of the control aligned next to it (on its left for
// alLeft, above it for alTop ...). OnMoved runs after a drag.
class TSplitter : public TGraphicControl {
 public:
  explicit TSplitter(TComponent* AOwner, TWinControl* AParent = nullptr);
  int MinSize() const { return minSize_; }
  void SetMinSize(int v) { minSize_ = v; }
  TNotifyEvent OnMoved;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  TControl* FindTarget() const;
  int minSize_ = 30;
  bool dragging_ = false;
  TPoint start_;
  int startSize_ = 0;
  TControl* target_ = nullptr;
};

// Runs OnTimer every Interval milliseconds while Enabled and Interval > 0,
// through the timer service (timers.h). Fire() runs the handler at once.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  int Interval() const { return interval_; }
  void SetInterval(int v);
  void Fire();
  TNotifyEvent OnTimer;

 private:
  void Update();
  bool enabled_ = true;
  int interval_ = 1000;
};
