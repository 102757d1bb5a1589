// TPlainStringGrid: a small string grid that stands in for the class
// library's string grid and for the rich string grid until those exist.
// It keeps cells as text, paints fixed rows and columns in the button face
// colour, and lets the user edit a cell in place by a double click when
// Editing is on (Enter or leaving the editor stores the text, Escape drops
// it).
//
// Members follow the string grid's names (RowCount, ColCount, FixedRows,
// Cells, ColWidths, Row, MouseToCell), so code written against it moves to
// the real grid unchanged.
#pragma once

#include <vector>

#include "platform/gui/controls.h"

class TEdit;

class TPlainStringGrid : public TCustomControl {
 public:
  explicit TPlainStringGrid(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TPlainStringGrid() override;

  int RowCount() const { return rowCount_; }
  // At least FixedRows + 1 rows stay; cells of rows beyond the count go.
  void SetRowCount(int v);
  int ColCount() const { return colCount_; }
  void SetColCount(int v);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int v);
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int v);
  // Empty text outside the grid.
  AnsiString Cells(int col, int row) const;
  // Ignored outside the grid.
  void SetCells(int col, int row, const AnsiString& v);
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int v);
  int DefaultRowHeight() const { return rowHeight_; }
  void SetDefaultRowHeight(int v);
  int Row() const { return row_; }
  void SetRow(int v);
  int Col() const { return col_; }
  void SetCol(int v);
  bool Editing() const { return editing_; }
  void SetEditing(bool v) { editing_ = v; }
  // The cell under a client point; -1 / -1 outside the cells.
  void MouseToCell(int x, int y, int& col, int& row) const;

  // Starts the in-place editor on the current cell (what a double click does).
  void EditCell();
  // Stores the editor's text in its cell and closes it.
  void EndEdit(bool store);
  TEdit* InplaceEditor() const { return editor_; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;

 private:
  std::vector<std::vector<AnsiString>> cells_;
  std::vector<int> colWidths_;
  int rowCount_ = 5, colCount_ = 5, fixedRows_ = 1, fixedCols_ = 1;
  int defaultColWidth_ = 64, rowHeight_ = 20, row_ = 1, col_ = 1;
  int editRow_ = -1, editCol_ = -1;
  bool editing_ = false;
  TEdit* editor_ = nullptr;
};
