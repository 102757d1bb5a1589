// TSpinEdit: an integer edit with up and down arrows.
//
// The text is what the user typed (digits and signs only); Value reads it as
// an integer (a number too long for one reads as the nearer end of the int
// range), a text that is not one reads as MinValue, and the result is
// clamped to MinValue..MaxValue (no limit when both are equal, the class
// library's convention). Setting Value writes the clamped number as text.
// When the edit loses the focus, a text that is not the value it reads is
// replaced by that value, so what it shows is what commands use.
// OnChange fires for every change of the text: each keystroke, each arrow
// step, the correction at focus loss, and a Value or Text set from code that
// changes the text; setting the value it already shows fires nothing.
#pragma once

#include "platform/gui/core/controls.h"

namespace vx {
class SpinWidget;
}

class TSpinEdit : public TWinControl {
 public:
  explicit TSpinEdit(TComponent* AOwner, TWinControl* AParent = nullptr);

  int Value() const;
  void SetValue(int v);
  int MinValue() const { return minValue_; }
  void SetMinValue(int v) { minValue_ = v; }
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int v) { maxValue_ = v; }
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v; }
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool v);
  const AnsiString& Text() const { return text_; }
  void SetText(const AnsiString& v);
  TNotifyEvent OnChange;

  // Value clamped to the limits (unchanged when MinValue == MaxValue).
  int CheckValue(int v) const;

  bool SetStringProperty(const AnsiString& name, const AnsiString& value) override;
  std::optional<AnsiString> GetStringProperty(const AnsiString& name) const override;

 protected:
  TColor DefaultColor() const override { return clWindow; }

 private:
  friend class vx::SpinWidget;
  void Step(int steps);
  void TextTyped(const AnsiString& text);
  // The text becomes the value it reads (at focus loss).
  void ShowValue();
  vx::SpinWidget* spin_;
  AnsiString text_ = "0";
  int minValue_ = 0, maxValue_ = 0, increment_ = 1;
  bool editorEnabled_ = true;
};
