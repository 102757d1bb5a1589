// The controls the rich grid edits special cells with: a combo box, a spin
// editor, a date picker, a check box, an edit with an ellipsis button, an
// edit with a unit and a push button. The grid makes one of each as its
// hidden child, places one over the cell being edited and hides it again
// when the edit ends (rich_grid_controls.cpp: which control, how it is
// filled and what it writes back).
//
// Each control has its own leaving keys. Any other key is the control's
// own. A leaving key goes to the grid (TRichStringGrid::LeaveEditControl):
// Escape reads the cell back into the control; every other leaving key
// writes the control's value into the cell and has the grid validate it,
// and a refused value comes back as the cell's text with the control left
// open. Then the control closes, the grid takes the focus and Up, Down
// (and the keys noted below) move the grid's selection; Enter moves on to
// the next cell. Tab is a leaving key of every control: it moves to the next
// cell with goTabs and leaves the grid otherwise.
//
//   control            leaving keys (besides Tab)                 passed on
//   TGridCombo         Enter Esc PgUp PgDn Home End Up Down       Up Down
//     list style       Enter Esc PgUp PgDn Home End Left Right    Left Right
//   TGridSpin          Enter Esc Up Down                          Up Down
//   TGridDatePicker    Enter Esc PgUp PgDn Home End Up Down       Up Down
//   TGridCheckBox      Enter Esc PgUp PgDn Home End, arrows       Up Down
//   TGridEditBtn       Enter Esc PgUp PgDn Up Down (not with Ctrl) Up Down
//   TGridUnitEditBtn   as TGridEditBtn
//   TGridButton        Esc, arrows                                arrows
// While the combo's list is open, its keys are the list's.
#pragma once

#include "RichGrid/edit_button.h"
#include "RichGrid/flat_combo.h"
#include "RichGrid/spin_edit.h"
#include "platform/gui/controls/datetimepicker.h"
#include "platform/gui/controls/extctrls.h"

class TRichStringGrid;

// Typing looks the text up in the items: at the first item that begins
// with the text up to the caret (upper-cased unless the grid's
// LookupCaseSensitive), that item is chosen and the part after the typed
// text is left selected. Backspace and Delete suspend the lookup for the
// next key. On leaving, a new text joins the items with LookupHistory.
class TGridCombo : public TRichComboBox {
 public:
  explicit TGridCombo(TRichStringGrid* grid);
  ~TGridCombo() override;
  TRichStringGrid* Grid() const { return grid_; }
  bool LookupEnabled() const { return lookup_; }
  void SetLookupEnabled(bool v) { lookup_ = v; }
  // The prefix lookup as a key release runs it.
  void Lookup();
  // A key was let go (any key; the lookup follows a typed character).
  void KeyReleased();

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;
  bool KeyPress(char& key) override;

 private:
  void AddToHistory();
  TRichStringGrid* grid_;
  std::unique_ptr<QObject> releaseWatch_;
  bool lookup_ = true, suspended_ = false, typed_ = false;
};

// PgUp and PgDn step by Increment (IncrementFloat) within the bounds, Home
// and End go to MinValue and MaxValue; the arrow buttons fire the grid's
// spin event of the spin type.
class TGridSpin : public TRsgSpinEdit {
 public:
  explicit TGridSpin(TRichStringGrid* grid);
  TRichStringGrid* Grid() const { return grid_; }
  void UpClick(TObject* Sender) override;
  void DownClick(TObject* Sender) override;

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;

 private:
  void SpinKey(Word key);
  void FireSpinEvent(bool up);
  TRichStringGrid* grid_;
};

// Inside its border it draws two nested frames in the window colour.
class TGridDatePicker : public TDateTimePicker {
 public:
  explicit TGridDatePicker(TRichStringGrid* grid);
  TRichStringGrid* Grid() const { return grid_; }
  // The two frames on any canvas (client coordinates).
  void PaintFrame(TCanvas* canvas);

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;
  void Resized() override;

 private:
  TRichStringGrid* grid_;
  TPaintBox* frame_;
};

// Space and a press of the left button toggle it at once.
class TGridCheckBox : public TCheckBox {
 public:
  explicit TGridCheckBox(TRichStringGrid* grid);
  ~TGridCheckBox() override;
  TRichStringGrid* Grid() const { return grid_; }

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;

 private:
  TRichStringGrid* grid_;
  std::unique_ptr<QObject> pressWatch_;
};

// The ellipsis button hands the text to the grid's EllipsClick and shows
// what comes back. Number cells (edNumericEditBtn, edFloatEditBtn) take
// only digits, one '-' at the start and (float) one decimal mark.
class TGridEditBtn : public TRsgEditBtn {
 public:
  explicit TGridEditBtn(TRichStringGrid* grid);
  TRichStringGrid* Grid() const { return grid_; }
  void BtnClick() override;

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;
  bool KeyPress(char& key) override;

 private:
  TRichStringGrid* grid_;
};

class TGridUnitEditBtn : public TRsgUnitEditBtn {
 public:
  explicit TGridUnitEditBtn(TRichStringGrid* grid);
  TRichStringGrid* Grid() const { return grid_; }

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;

 private:
  TRichStringGrid* grid_;
};

// A click (mouse or Space) hands the caption to the grid's EllipsClick and
// shows what comes back.
class TGridButton : public TButton {
 public:
  explicit TGridButton(TRichStringGrid* grid);
  TRichStringGrid* Grid() const { return grid_; }
  void Click() override;
  bool WantsKey(Word key) const override { return key == VK_ESCAPE; }

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;

 private:
  TRichStringGrid* grid_;
};

// The fixed version of a file's version resource: the major version in the
// high 16 bits, the minor in the low 16 bits; -1 for a file without one (or
// one that cannot be read).
int FileVersion(const AnsiString& FileName);
