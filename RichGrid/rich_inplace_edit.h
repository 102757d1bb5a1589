// TRichInplaceEdit: the rich grid's own in-place editor, for the cells
// whose editor type is edNormal, edNumeric, edPositiveNumeric, edFloat,
// edCapital, edMixedCase, edPassword, edLowerCase or edUpperCase.
//
// What it adds to the string grid's editor:
//   typed keys    the number filters (a refused key beeps), the case
//                 conversions, the length limit (a full text takes only
//                 Backspace, Escape and Enter), lookup completion from the
//                 grid's LookupItems with the added part selected
//   clipboard     copy and cut ask the grid's OnClipboardCopy/Cut; a paste
//                 asks OnClipboardPaste, is cut to the length limit and must
//                 leave a text the cell's type accepts
//   Enter         a line break with Navigation.LineFeedOnEnter, else the
//                 grid validates the edit first and a refused edit keeps the
//                 editor open with the cell's text
//   arrows        Right at the end and Left at the start walk to the next or
//                 previous cell with Navigation.CursorWalkEditor; Up and Down
//                 stay inside a text of several lines
//   Tab           moves to the next cell with goTabs, else leaves the grid
//   focus         on entry the cell's colour (and with ImproveMaskSel the
//                 first character selected); on exit the text joins
//                 LookupItems with LookupHistory
// The styles (password, right alignment, wrapping) follow the grid and the
// cell each time the editor opens.
#pragma once

#include "platform/gui/grids/grids.h"

class TRichStringGrid;

class TRichInplaceEdit : public TInplaceEdit {
 public:
  explicit TRichInplaceEdit(TComponent* AOwner);

  bool VAlign() const { return vAlign_; }
  void SetVAlign(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  // 0: the grid's MaxEditLength.
  int LengthLimit() const { return lengthLimit_; }
  void SetLengthLimit(int v) { lengthLimit_ = static_cast<short>(v); }

  // Loads the cell's text and applies the styles of the cell's editor type.
  void UpdateContents() override;
  // The editor's text replaced by the cell's, the caret at its end.
  void ReloadFromCell();

 protected:
  bool KeyDown(Word& key, TShiftState shift) override;
  bool KeyPress(char& key) override;
  bool KeyUp(Word& key, TShiftState shift) override;
  void WMPaste() override;
  void WMCut() override;

 private:
  TRichStringGrid* RichGrid() const;
  int Limit() const;
  // Puts `insert` in place of the selection (the caret after it).
  void Insert(const AnsiString& insert);
  void Complete();
  bool MoveCaretLine(int direction);
  void ApplyStyles();
  void FocusArrived();
  void FocusLeft();

  bool vAlign_ = false, wordWrap_ = false;
  short lengthLimit_ = 0;
  bool completionAllowed_ = true;
};
