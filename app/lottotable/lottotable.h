// TLottoTable: a windowless control that shows a grid of numbered cells, as
// on a lottery ticket, on which the user (by clicking) or the program marks
// numbers.
//
// Cells: up to 20 columns by 20 rows, one state per cell (clear, hidden,
// inactive, marked). Numbering runs down each column (number = column *
// rows + row + 1) or, with ThroughRow, along each row (number = row *
// columns + column + 1). A cell whose number is above MaxTotal is inactive:
// drawn in InActiveColor without its number, never marked by a click.
//
// Geometry: with w = Width / columns and h = Height / rows as real numbers,
// cell (c, r) occupies round(c*w) .. round((c+1)*w) by round(r*h) ..
// round((r+1)*h), halves rounded to even; its face is inset by one pixel.
// A click hits the cell whose span holds the pixel, so clicking and
// drawing always agree.
//
// Marking is allowed once Reset has run (the control starts inactive) and
// while fewer than MaxSelected cells are marked; AllSelected counts the
// marked cells. A click on a marked or inactive cell, outside the cells,
// or on a table without rows or columns changes nothing and fires no
// OnCellClick.
//
// Drawing happens in Paint; DrawCell outside painting (a click, a number
// selected by the program) asks for a repaint instead.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "platform/gui/core/controls.h"
#include "platform/gui/draw/graphics.h"

// A cell was clicked: X its column, Y its row, both from 0.
using TCellClickEvent = std::function<void(TObject* Sender, int X, int Y)>;

class TLottoTable : public TGraphicControl {
 public:
  static constexpr int MaxSide = 20;
  enum CellState : unsigned char { csClear = 0, csHidden = 1, csInactive = 2, csMarked = 4 };

  explicit TLottoTable(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TLottoTable() override;

  int NumberOfColumns() const { return columns_; }
  // Values outside 0..20 are ignored.
  void SetNumberOfColumns(int v);
  int NumberOfRows() const { return rows_; }
  void SetNumberOfRows(int v);
  bool ThroughRow() const { return throughRow_; }
  void SetThroughRow(bool v);
  int MaxSelected() const { return maxSelected_; }
  void SetMaxSelected(int v) { maxSelected_ = v; }
  int MaxTotal() const { return maxTotal_; }
  void SetMaxTotal(int v);
  // Cells hidden at random by Reset (at most every cell).
  int Bombs() const { return bombs_; }
  void SetBombs(int v) { bombs_ = v; }
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor v);
  TColor ButtonColor() const { return buttonColor_; }
  void SetButtonColor(TColor v);
  TColor InActiveColor() const { return inActiveColor_; }
  void SetInActiveColor(TColor v);
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor v);
  TFont* TextFont() { return textFont_.get(); }
  void SetTextFont(const TFont& font) { textFont_->Assign(font); }
  // Number of marked cells.
  int AllSelected() const;

  TCellClickEvent OnCellClick;

  // The number of cell (column, row), from 1.
  int CellToNumber(bool throughRow, int column, int row) const;
  // The cell of a number; -1 and -1 when the table has no such cell.
  void NumberToCell(bool throughRow, int number, int& column, int& row) const;
  // Clears every cell, hides Bombs cells at random, repaints and allows
  // marking.
  void Reset();
  // Marks the cell of number n; a number without a cell only shows
  // "n out of range".
  void SelectNumber(int n);
  void DrawCell(int column, int row);
  CellState Cell(int column, int row) const;
  // Cell face of (column, row): left, top, right, bottom as DrawCell uses
  // them (the outer span is one pixel wider on each side).
  TRect CellRect(int column, int row) const;
  // The cell under client point (x, y); false outside every cell.
  bool CellAt(int x, int y, int& column, int& row) const;

 protected:
  void Paint() override;
  void Click() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  bool InTable(int column, int row) const;
  // round(i * length / parts) with halves to even.
  static int Edge(int i, int length, int parts);
  void MarkCell(int column, int row);
  void PaintCell(int column, int row);
  void RaisedEdges(const TRect& r);
  void Changed();
  // Stores a property's new value and repaints.
  template <typename T>
  void Store(T& field, T value) {
    field = value;
    Changed();
  }

  int columns_ = 5, rows_ = 5;
  bool throughRow_ = false;
  int maxSelected_ = 400, maxTotal_ = 400;
  int bombs_ = 0;
  TColor backColor_ = clBlack, buttonColor_ = clBtnFace, inActiveColor_ = clBlack, borderColor_ = clBlack;
  std::unique_ptr<TFont> textFont_;
  std::array<std::array<CellState, MaxSide>, MaxSide> cells_{};
  bool active_ = false;
  TPoint mouse_{-1, -1};
};
