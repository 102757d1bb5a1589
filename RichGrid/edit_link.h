// TEditLink: a cell editor supplied by the application. A cell whose editor
// type is edCustom is edited in the control of the grid's current link; the
// grid drives it through the virtual operations below, which a descendant
// overrides to create, place, fill and read its own control.
//
// Life of a link edit (the grid's side):
//   show  with esPopup a popup form of PopupWidth x PopupHeight at the cell,
//         then CreateEditor (into the popup form or the grid), SetProperties,
//         the grid's OnGetEditorProp, SetEditorValue (cell text), SetRect,
//         SetVisible(true), SetFocus(true)
//   keys  the link's control passes its key downs to EditKeyDown; Enter,
//         Escape, the page keys, Home, End and the arrows end the edit unless
//         the matching WantKey flag keeps them for the control
//   end   Escape gives the cell its starting text back; any other end writes
//         GetEditorValue into the cell, which the grid validates (a refused
//         value keeps the edit open with the cell's text); then the control
//         is hidden, DestroyEditor runs and the popup form is freed
//
// The link does not own the grid; a grid that is destroyed or given another
// link forgets it, and a link that is destroyed is forgotten by its grid.
#pragma once

#include "platform/gui/core/controls.h"

class TRichStringGrid;

enum TEditStyle { esInplace, esPopup };

class TEditLink : public TComponent {
 public:
  explicit TEditLink(TComponent* AOwner);
  ~TEditLink() override;

  TEditStyle EditStyle() const { return editStyle_; }
  void SetEditStyle(TEditStyle v) { editStyle_ = v; }
  int PopupWidth() const { return popupWidth_; }
  void SetPopupWidth(int v) { popupWidth_ = v; }
  int PopupHeight() const { return popupHeight_; }
  void SetPopupHeight(int v) { popupHeight_ = v; }
  bool WantKeyLeftRight() const { return wantLeftRight_; }
  void SetWantKeyLeftRight(bool v) { wantLeftRight_ = v; }
  bool WantKeyUpDown() const { return wantUpDown_; }
  void SetWantKeyUpDown(bool v) { wantUpDown_ = v; }
  bool WantKeyHomeEnd() const { return wantHomeEnd_; }
  void SetWantKeyHomeEnd(bool v) { wantHomeEnd_ = v; }
  bool WantKeyPriorNext() const { return wantPriorNext_; }
  void SetWantKeyPriorNext(bool v) { wantPriorNext_ = v; }
  bool WantKeyReturn() const { return wantReturn_; }
  void SetWantKeyReturn(bool v) { wantReturn_ = v; }
  bool WantKeyEscape() const { return wantEscape_; }
  void SetWantKeyEscape(bool v) { wantEscape_ = v; }

  // The grid the link serves (set when a grid takes it as its link).
  TRichStringGrid* Grid() const { return grid_; }
  // The popup form of an esPopup edit while it is open, else nullptr.
  TWinControl* PopupForm() const { return popup_; }

  // A key down in the link's control; a key that ends the edit is set to 0.
  virtual void EditKeyDown(Word& Key, TShiftState Shift);
  // The link's control (none in the base).
  virtual TWinControl* GetEditControl();
  // Create and destroy the control; AParent is the popup form or the grid.
  virtual void CreateEditor(TWinControl* AParent);
  virtual void DestroyEditor();
  // True focuses the control, False the grid.
  virtual void SetFocus(bool value);
  // Moves the control to the rectangle (client coordinates of its parent).
  virtual void SetRect(TRect r);
  virtual void SetVisible(bool value);
  virtual void SetProperties();
  // The control's value ("" in the base) and filling it.
  virtual void GetEditorValue(AnsiString& s);
  virtual void SetEditorValue(const AnsiString& s);

 private:
  friend class TRichStringGrid;
  TRichStringGrid* grid_ = nullptr;
  TWinControl* popup_ = nullptr;
  TEditStyle editStyle_ = esInplace;
  int popupWidth_ = 0, popupHeight_ = 0;
  bool wantLeftRight_ = false, wantUpDown_ = false, wantHomeEnd_ = false, wantPriorNext_ = false;
  bool wantReturn_ = false, wantEscape_ = false;
};
