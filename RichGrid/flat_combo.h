// The flat combo box: a combo box whose border and drop-down button light
// up while the mouse is over it or it has the focus.
//
//   button hot   mouse inside, or focused
//   border hot   button hot and FocusBorder
// Flat painting draws, over the combo box, the frame (a sunken edge when
// hot, the parent's colour when not) and the button edge (raised, or
// etched, when hot; button face when not). A disabled flat combo shows its
// parent's colour and gets its own back when enabled again.
#pragma once

#include <memory>

#include "platform/gui/controls/extctrls.h"
#include "platform/gui/controls/stdctrls.h"

class QObject;

class TRichCustomCombo : public TComboBox {
 public:
  explicit TRichCustomCombo(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TRichCustomCombo() override;

  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool Etched() const { return etched_; }
  void SetEtched(bool v);
  int ButtonWidth() const { return buttonWidth_; }
  // Values outside 14..32 are ignored.
  void SetButtonWidth(int v);
  bool AutoFocus() const { return autoFocus_; }
  void SetAutoFocus(bool v) { autoFocus_ = v; }
  bool FocusBorder() const { return focusBorder_; }
  void SetFocusBorder(bool v);
  int DropWidth() const { return dropWidth_; }
  void SetDropWidth(int v);

  void SetEnabled(bool v) override;
  bool MouseInControl() const { return mouseInControl_; }
  bool ButtonHot() const;
  bool BorderHot() const;
  // The frame and button edge of the flat look on any canvas (client coordinates).
  void PaintFlat(TCanvas* canvas);
  // The mouse entering or leaving (also called by the widget's events).
  void MouseEntered();
  void MouseLeft();
  // Paints the flat look again (sizes the overlay to the control).
  void Redraw();

 protected:
  void DropDown() override;
  void CloseUp() override;

 private:
  TRect ButtonRect() const;
  TPaintBox* overlay_;
  std::unique_ptr<QObject> hotWatch_;
  bool flat_ = true, etched_ = false, autoFocus_ = false, focusBorder_ = false;
  bool mouseInControl_ = false;
  int buttonWidth_;
  int dropWidth_ = 0;
  TColor savedColor_ = clDefault;
  bool colorSaved_ = false;
};

class TRichComboBox : public TRichCustomCombo {
 public:
  using TRichCustomCombo::TRichCustomCombo;
};
