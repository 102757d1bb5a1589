// Spin editors: an edit with a pair of auto-repeating arrow buttons that
// step an integer, float, date, time or (stand-alone family only)
// hexadecimal value.
//
// The value lives in a TSpinValueModel (spin_value.h); the controls here
// only carry it to the edit's text and wire keys and buttons:
//   Up / Down           step up / down (dates and times by the caret's field)
//   Enter               moves to the next control when ReturnIsTab
//   typed characters    filtered by the model; a refused one beeps
//   paste, cut          only while EditorEnabled and not ReadOnly
//   leaving             the value is clamped again
// TRichSpinEdit is the stand-alone family (no bounds at creation, sptHex);
// TRsgSpinEdit is the grid's (bounds 0..100, no sptHex).
#pragma once

#include <memory>

#include "RichGrid/spin_value.h"
#include "platform/gui/controls/buttons.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/controls/stdctrls.h"

class QObject;

// A speed button that, with auto-repeat, clicks again 400 ms after the press
// and then every 100 ms while it is held down under the mouse.
//   arrow kind: 0 left, 1 right, 2 up, 3 down.
class TRichTimerSpeedButton : public TSpeedButton {
 public:
  enum : int { tbFocusRect = 1, tbAllowTimer = 2 };
  TRichTimerSpeedButton(TComponent* AOwner, TWinControl* AParent, int arrowKind);
  ~TRichTimerSpeedButton() override;

  int TimeBtnState() const { return state_; }
  void SetTimeBtnState(int v) { state_ = v; }
  int ArrowKind() const { return arrowKind_; }
  void SetArrowKind(int v);
  // The repeat timer, made on the first press (nullptr before).
  TTimer* RepeatTimer() const { return timer_.get(); }

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void TimerExpired();
  std::unique_ptr<TTimer> timer_;
  int state_ = 0;
  int arrowKind_;
};

enum TSpinDirection { spVertical, spHorizontal };

// Two timer buttons, up and down (or right and left when horizontal).
class TRichSpinButton : public TCustomControl {
 public:
  explicit TRichSpinButton(TComponent* AOwner, TWinControl* AParent = nullptr);

  TRichTimerSpeedButton* UpButton() const { return up_; }
  TRichTimerSpeedButton* DownButton() const { return down_; }
  // The button that Space clicks.
  TRichTimerSpeedButton* FocusedButton() const { return focused_; }
  TSpinDirection Direction() const { return direction_; }
  void SetDirection(TSpinDirection v);
  // The control a press on a button gives the focus to (the editor).
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* v);

  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;
  bool WantsKey(Word key) const override { return key == VK_UP || key == VK_DOWN; }
  void Resized() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void ButtonClicked(TRichTimerSpeedButton* button);
  void ButtonPressed(TRichTimerSpeedButton* button);
  void Layout();
  TRichTimerSpeedButton* up_;
  TRichTimerSpeedButton* down_;
  TRichTimerSpeedButton* focused_;
  TSpinDirection direction_ = spVertical;
  TWinControl* focusControl_ = nullptr;
};
using TRsgSpinButton = TRichSpinButton;

// The spin editor of both families.
class TRichSpinEditBase : public TEdit {
 public:
  TRichSpinEditBase(TComponent* AOwner, TWinControl* AParent, TSpinFamily family);
  ~TRichSpinEditBase() override;

  TRichSpinButton* Button() const { return button_; }
  TSpinValueModel& Model() { return model_; }

  TRichSpinType SpinType() const { return model_.SpinType(); }
  void SetSpinType(TRichSpinType v);
  int Value();
  void SetValue(int v);
  double FloatValue();
  void SetFloatValue(double v);
  TDateTime DateValue();
  void SetDateValue(TDateTime v);
  TDateTime TimeValue();
  void SetTimeValue(TDateTime v);
  int MinValue() const { return model_.MinValue; }
  void SetMinValue(int v) { model_.MinValue = v; }
  int MaxValue() const { return model_.MaxValue; }
  void SetMaxValue(int v) { model_.MaxValue = v; }
  double MinFloatValue() const { return model_.MinFloatValue; }
  void SetMinFloatValue(double v) { model_.MinFloatValue = v; }
  double MaxFloatValue() const { return model_.MaxFloatValue; }
  void SetMaxFloatValue(double v) { model_.MaxFloatValue = v; }
  TDateTime MinDateValue() const { return model_.MinDateValue; }
  void SetMinDateValue(TDateTime v) { model_.MinDateValue = v; }
  TDateTime MaxDateValue() const { return model_.MaxDateValue; }
  void SetMaxDateValue(TDateTime v) { model_.MaxDateValue = v; }
  int Increment() const { return model_.Increment; }
  void SetIncrement(int v) { model_.Increment = v; }
  double IncrementFloat() const { return model_.IncrementFloat; }
  void SetIncrementFloat(double v) { model_.IncrementFloat = v; }
  int Precision() const { return model_.Precision(); }
  void SetPrecision(int v);
  bool EditorEnabled() const { return model_.EditorEnabled; }
  void SetEditorEnabled(bool v) { model_.EditorEnabled = v; }
  bool ReturnIsTab() const { return returnIsTab_; }
  void SetReturnIsTab(bool v) { returnIsTab_ = v; }
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  TSpinDirection Direction() const { return button_->Direction(); }
  void SetDirection(TSpinDirection v);
  bool SpinFlat() const { return spinFlat_; }
  void SetSpinFlat(bool v);

  // Step the value; with ReadOnly they only beep.
  virtual void UpClick(TObject* Sender);
  virtual void DownClick(TObject* Sender);

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;
  bool KeyPress(char& key) override;
  bool WantsKey(Word key) const override {
    return key == VK_UP || key == VK_DOWN || (key == VK_RETURN && returnIsTab_);
  }
  void Resized() override;
  void WMPaste() override;
  void WMCut() override;
  virtual bool IsValidChar(char& key);

 private:
  friend class SpinFocusWatch;
  void Pull() { model_.SetText(Text()); }
  void StepBy(int direction);
  void Push();
  void Entered();
  void Left();
  TSpinValueModel model_;
  TRichSpinButton* button_;
  std::unique_ptr<QObject> focusWatch_;
  bool returnIsTab_ = false, autoSelect_ = true, spinFlat_ = false;
};

class TRichSpinEdit : public TRichSpinEditBase {
 public:
  explicit TRichSpinEdit(TComponent* AOwner, TWinControl* AParent = nullptr)
      : TRichSpinEditBase(AOwner, AParent, TSpinFamily::Rich) {}
  int HexValue();
  void SetHexValue(int v);
};

class TRsgSpinEdit : public TRichSpinEditBase {
 public:
  explicit TRsgSpinEdit(TComponent* AOwner, TWinControl* AParent = nullptr)
      : TRichSpinEditBase(AOwner, AParent, TSpinFamily::Rsg) {}
};
