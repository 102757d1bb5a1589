#include "app/widgets/plain_grid.h"

#include <algorithm>

#include "platform/gui/stdctrls.h"

TPlainStringGrid::TPlainStringGrid(TComponent* AOwner, TWinControl* AParent) : TCustomControl(AOwner) {
  if (AParent) SetParent(AParent);
  SetColor(clWindow);
  SetTabStop(true);
  cells_.assign(rowCount_, std::vector<AnsiString>(colCount_));
  colWidths_.assign(colCount_, defaultColWidth_);
  SetBounds(0, 0, 320, 120);
}

TPlainStringGrid::~TPlainStringGrid() = default;

void TPlainStringGrid::SetRowCount(int v) {
  v = std::max(v, fixedRows_ + 1);
  rowCount_ = v;
  cells_.resize(v, std::vector<AnsiString>(colCount_));
  row_ = std::clamp(row_, fixedRows_, rowCount_ - 1);
  Invalidate();
}

void TPlainStringGrid::SetColCount(int v) {
  v = std::max(v, fixedCols_ + 1);
  colCount_ = v;
  for (auto& r : cells_) r.resize(v);
  colWidths_.resize(v, defaultColWidth_);
  col_ = std::clamp(col_, fixedCols_, colCount_ - 1);
  Invalidate();
}

void TPlainStringGrid::SetFixedRows(int v) {
  fixedRows_ = std::max(0, v);
  if (rowCount_ <= fixedRows_) SetRowCount(fixedRows_ + 1);
  row_ = std::clamp(row_, fixedRows_, rowCount_ - 1);
  Invalidate();
}

void TPlainStringGrid::SetFixedCols(int v) {
  fixedCols_ = std::max(0, v);
  if (colCount_ <= fixedCols_) SetColCount(fixedCols_ + 1);
  col_ = std::clamp(col_, fixedCols_, colCount_ - 1);
  Invalidate();
}

AnsiString TPlainStringGrid::Cells(int col, int row) const {
  if (row < 0 || row >= rowCount_ || col < 0 || col >= colCount_) return {};
  return cells_[row][col];
}

void TPlainStringGrid::SetCells(int col, int row, const AnsiString& v) {
  if (row < 0 || row >= rowCount_ || col < 0 || col >= colCount_) return;
  cells_[row][col] = v;
  Invalidate();
}

int TPlainStringGrid::ColWidths(int col) const {
  return col >= 0 && col < colCount_ ? colWidths_[col] : defaultColWidth_;
}

void TPlainStringGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= colCount_) return;
  colWidths_[col] = width;
  Invalidate();
}

void TPlainStringGrid::SetDefaultColWidth(int v) {
  defaultColWidth_ = v;
  std::fill(colWidths_.begin(), colWidths_.end(), v);
  Invalidate();
}

void TPlainStringGrid::SetDefaultRowHeight(int v) {
  rowHeight_ = std::max(1, v);
  Invalidate();
}

void TPlainStringGrid::SetRow(int v) {
  row_ = std::clamp(v, fixedRows_, rowCount_ - 1);
  Invalidate();
}

void TPlainStringGrid::SetCol(int v) {
  col_ = std::clamp(v, fixedCols_, colCount_ - 1);
  Invalidate();
}

void TPlainStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
  col = row = -1;
  if (x < 0 || y < 0) return;
  int left = 0;
  for (int c = 0; c < colCount_; ++c) {
    if (x < left + colWidths_[c] + 1) {
      col = c;
      break;
    }
    left += colWidths_[c] + 1;
  }
  const int r = y / (rowHeight_ + 1);
  if (col < 0 || r >= rowCount_) {
    col = -1;
    return;
  }
  row = r;
}

void TPlainStringGrid::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(clWindow);
  c->FillRect(ClientRect());
  c->Font()->Assign(*Font());
  int top = 0;
  for (int r = 0; r < rowCount_ && top < Height(); ++r) {
    int left = 0;
    for (int col = 0; col < colCount_ && left < Width(); ++col) {
      const TRect cell = Rect(left, top, left + colWidths_[col], top + rowHeight_);
      const bool fixed = r < fixedRows_ || col < fixedCols_;
      const bool current = r == row_ && col == col_ && !fixed;
      c->Brush()->SetColor(fixed ? clBtnFace : current ? clHighlight : clWindow);
      c->FillRect(cell);
      c->Font()->SetColor(current ? clHighlightText : clWindowText);
      c->TextRect(cell, cell.Left + 2, cell.Top + 2, cells_[r][col]);
      c->Pen()->SetColor(clGray);
      c->MoveTo(cell.Right, cell.Top);
      c->LineTo(cell.Right, cell.Bottom);
      c->MoveTo(cell.Left, cell.Bottom);
      c->LineTo(cell.Right + 1, cell.Bottom);
      left += colWidths_[col] + 1;
    }
    top += rowHeight_ + 1;
  }
}

void TPlainStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  int col, row;
  MouseToCell(x, y, col, row);
  if (button == mbLeft && row >= fixedRows_ && col >= fixedCols_) {
    EndEdit(true);
    row_ = row;
    col_ = col;
    Invalidate();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TPlainStringGrid::DblClick() {
  TCustomControl::DblClick();
  EditCell();
}

void TPlainStringGrid::EditCell() {
  if (!editing_ || row_ < fixedRows_ || col_ < fixedCols_) return;
  EndEdit(true);
  if (!editor_) {
    editor_ = new TEdit(this, this);
    editor_->OnKeyDown = [this](TObject*, Word& key, TShiftState) {
      if (key == 13) EndEdit(true);
      if (key == 27) EndEdit(false);
    };
    editor_->OnExit = [this](TObject*) { EndEdit(true); };
  }
  int left = 0;
  for (int c = 0; c < col_; ++c) left += colWidths_[c] + 1;
  editRow_ = row_;
  editCol_ = col_;
  editor_->SetBounds(left, row_ * (rowHeight_ + 1), colWidths_[col_], rowHeight_);
  editor_->SetText(cells_[row_][col_]);
  editor_->SetVisible(true);
  editor_->SetFocus();
}

void TPlainStringGrid::EndEdit(bool store) {
  if (!editor_ || editRow_ < 0) return;
  const int r = editRow_, c = editCol_;
  editRow_ = editCol_ = -1;
  if (store && r < rowCount_ && c < colCount_) cells_[r][c] = editor_->Text();
  editor_->SetVisible(false);
  Invalidate();
}
