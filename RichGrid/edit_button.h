// An edit with a small push button inside its right edge (TRsgEditBtn),
// and its variant that shows a unit of measure between the text and the
// button and picks it from a pop-up menu (TRsgUnitEditBtn).
//
// F4 in the edit clicks the button. With EditorEnabled off nothing can be
// typed, cut or pasted; the button still works. The edit is never lower
// than its font needs (the font's height and a quarter of the smaller of
// it and the system font's), and with AutoSelect (on by default) entering
// it other than by a mouse press selects its whole text.
#pragma once

#include <memory>

#include "platform/gui/controls/buttons.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/controls/stdctrls.h"

class QObject;
class TRsgEditBtn;

// A windowed control filled by one speed button; its click goes to the
// owning edit.
class TRsgEditButton : public TCustomControl {
 public:
  explicit TRsgEditButton(TComponent* AOwner, TWinControl* AParent = nullptr);
  TSpeedButton* Button() const { return button_; }
  TBitmap* Glyph() const { return button_->Glyph(); }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int v) { numGlyphs_ = v; }
  const AnsiString& ButtonCaption() const { return button_->Caption(); }
  void SetButtonCaption(const AnsiString& v) { button_->SetCaption(v); }
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* v) { focusControl_ = v; }
  void SetBounds(int left, int top, int width, int height) override;
  TNotifyEvent OnButtonClick;

 protected:
  void Resized() override;

 private:
  TSpeedButton* button_;
  TWinControl* focusControl_ = nullptr;
  int numGlyphs_ = 1;
};

class TRsgEditBtn : public TEdit {
 public:
  explicit TRsgEditBtn(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TRsgEditBtn() override;

  TRsgEditButton* EditButton() const { return button_; }
  TBitmap* Glyph() const { return button_->Glyph(); }
  const AnsiString& ButtonCaption() const { return button_->ButtonCaption(); }
  void SetButtonCaption(const AnsiString& v) { button_->SetButtonCaption(v); }
  bool RightAlign() const { return rightAlign_; }
  void SetRightAlign(bool v);
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool v) { editorEnabled_ = v; }
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  // The least height the font allows.
  int MinHeight() const;
  TNotifyEvent OnClickBtn;

  // The button's click: fires OnClickBtn.
  virtual void BtnClick();

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;
  bool KeyPress(char& key) override;
  void Resized() override;
  void WMPaste() override;
  void WMCut() override;
  // Width kept free for a unit between the text and the button.
  int UnitSpaceWidth() const { return unitSpace_; }
  void SetUnitSpaceWidth(int v);
  // The text area: from the left inset to client width - button - 3 - unit space.
  void UpdateEditRect();

 private:
  friend class EditEnterWatch;
  void Entered(bool byMouse);
  TRsgEditButton* button_;
  std::unique_ptr<QObject> enterWatch_;
  int unitSpace_ = 0;
  bool rightAlign_ = false, editorEnabled_ = true, autoSelect_ = true;
};

class TRsgUnitEditBtn : public TRsgEditBtn {
 public:
  explicit TRsgUnitEditBtn(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TRsgUnitEditBtn() override;

  TStrings* Units() const { return units_.get(); }
  void SetUnits(TStrings* v) { units_->Assign(v); }
  const AnsiString& UnitID() const { return unitId_; }
  void SetUnitID(const AnsiString& v);
  int UnitSpace() const { return UnitSpaceWidth(); }
  void SetUnitSpace(int v);
  // The unit menu of the last click (entries 1..n tagged with their line number).
  TPopupMenu* UnitMenu() const { return menu_; }
  TLabel* UnitLabel() const { return unitLabel_; }

  // Opens the unit menu at the button's lower left corner.
  void BtnClick() override;

 protected:
  void Resized() override;

 private:
  void PlaceUnit();
  std::unique_ptr<TStringList> units_;
  AnsiString unitId_;
  TPopupMenu* menu_;
  TLabel* unitLabel_;
};
