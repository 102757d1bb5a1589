// TfrmRowNum ("Диапазон числовых рядов"): the table of per-position ranges
// that generation follows when "Диапазон числовых рядов" is checked. Data
// row r of SGridRowNum holds in column 1 ("от") and column 2 ("до") the
// lowest and highest number allowed at position r of a combination, for
// every position a combination can have (1..20); the number cells are
// edited with the grid's spin editor, 1..81 in steps of 1.
//
// The table is kept in "rownum.ini" in the program's folder, beside the
// settings that turn its ranges on, whatever folder is current; it is the
// grid's own cell file, which also carries the grid's size (a smaller table
// read from it gets the rows and columns the positions need). A missing file
// leaves the grid empty without a word; a damaged one shows the grid's
// error and leaves it empty. Closing the window writes the file; a failure
// to write is ignored and closing is never refused. A damaged file is not
// written over by a table left empty: what it held may still be mended by
// hand.
#pragma once

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/forms.h"

class TfrmRowNum : public TForm {
 public:
  explicit TfrmRowNum(TComponent* AOwner);

  TRichStringGrid* SGridRowNum;

  // The number-series file (absolute).
  const AnsiString& FileName() const { return fileName_; }

  void FormCreate(TObject* Sender);
  void FormActivate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void SGridRowNumGetEditorType(TObject* Sender, int ACol, int ARow, TEditorType& AEditor);
  void SGridRowNumGetAlignment(TObject* Sender, int ARow, int ACol, TAlignment& AAlignment);

  // The numbers allowed at `position` (data row `position`), its two cells
  // read as integers: EConvertError for a cell that is empty or holds no
  // number, as for a row the grid does not have.
  void PositionRange(int position, int& lo, int& hi) const;

 private:
  AnsiString fileName_;
  // The file was there but could not be read.
  bool unreadFile_ = false;
  // True when no data cell holds text.
  bool TableEmpty() const;
};

extern TfrmRowNum* frmRowNum;
