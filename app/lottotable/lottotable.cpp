#include "app/lottotable/lottotable.h"

#include <algorithm>

#include "platform/gui/core/dialogs.h"
#include "platform/rtl/random.h"
#include "platform/rtl/sysutils.h"

TLottoTable::TLottoTable(TComponent* AOwner, TWinControl* AParent)
    : TGraphicControl(AOwner), textFont_(std::make_unique<TFont>()) {
  textFont_->OnChange = [this](TObject*) { Changed(); };
  SetBounds(0, 0, 100, 100);
  if (AParent) SetParent(AParent);
}

TLottoTable::~TLottoTable() { textFont_->OnChange = nullptr; }

void TLottoTable::Changed() { Invalidate(); }

void TLottoTable::SetNumberOfColumns(int v) {
  if (v >= 0 && v <= MaxSide && v != columns_) Store(columns_, v);
}

void TLottoTable::SetNumberOfRows(int v) {
  if (v >= 0 && v <= MaxSide && v != rows_) Store(rows_, v);
}

void TLottoTable::SetThroughRow(bool v) { Store(throughRow_, v); }

void TLottoTable::SetMaxTotal(int v) { Store(maxTotal_, v); }

void TLottoTable::SetBackColor(TColor v) { Store(backColor_, v); }

void TLottoTable::SetButtonColor(TColor v) { Store(buttonColor_, v); }

void TLottoTable::SetInActiveColor(TColor v) { Store(inActiveColor_, v); }

void TLottoTable::SetBorderColor(TColor v) { Store(borderColor_, v); }

int TLottoTable::AllSelected() const {
  int count = 0;
  for (const auto& column : cells_) count += static_cast<int>(std::count(column.begin(), column.end(), csMarked));
  return count;
}

bool TLottoTable::InTable(int column, int row) const {
  return column >= 0 && column < columns_ && row >= 0 && row < rows_;
}

TLottoTable::CellState TLottoTable::Cell(int column, int row) const {
  return InTable(column, row) ? cells_[column][row] : csClear;
}

int TLottoTable::CellToNumber(bool throughRow, int column, int row) const {
  return throughRow ? row * columns_ + column + 1 : column * rows_ + row + 1;
}

void TLottoTable::NumberToCell(bool throughRow, int number, int& column, int& row) const {
  column = row = -1;
  if (number < 1 || number > columns_ * rows_) return;
  const int i = number - 1;
  if (throughRow) {
    row = i / columns_;
    column = i % columns_;
  } else {
    column = i / rows_;
    row = i % rows_;
  }
}

int TLottoTable::Edge(int i, int length, int parts) {
  // The cell size is a real number, multiplied in extended precision.
  const long double size = static_cast<long double>(length) / parts;
  return static_cast<int>(Round(i * size));
}

TRect TLottoTable::CellRect(int column, int row) const {
  return TRect{Edge(column, Width(), columns_) + 1, Edge(row, Height(), rows_) + 1,
               Edge(column + 1, Width(), columns_) - 1, Edge(row + 1, Height(), rows_) - 1};
}

bool TLottoTable::CellAt(int x, int y, int& column, int& row) const {
  column = row = -1;
  if (columns_ == 0 || rows_ == 0 || x < 0 || y < 0 || x >= Width() || y >= Height()) return false;
  for (int c = 0; c < columns_ && column < 0; ++c)
    if (x < Edge(c + 1, Width(), columns_)) column = c;
  for (int r = 0; r < rows_ && row < 0; ++r)
    if (y < Edge(r + 1, Height(), rows_)) row = r;
  return column >= 0 && row >= 0;
}

void TLottoTable::Reset() {
  for (auto& column : cells_) column.fill(csClear);
  const int bombs = std::min(bombs_, columns_ * rows_);
  for (int i = 0; i < bombs; ++i) {
    int c, r;
    do {
      c = Random(columns_);
      r = Random(rows_);
    } while (cells_[c][r] != csClear);
    cells_[c][r] = csHidden;
  }
  Changed();
  active_ = true;
}

void TLottoTable::MarkCell(int column, int row) {
  cells_[column][row] = csMarked;
  DrawCell(column, row);
}

void TLottoTable::SelectNumber(int n) {
  if (!active_ || AllSelected() >= maxSelected_) return;
  int column, row;
  NumberToCell(throughRow_, n, column, row);
  if (column < 0) {
    ShowMessage(IntToStr(n) + " out of range");
    return;
  }
  MarkCell(column, row);
}

void TLottoTable::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  mouse_ = TPoint{x, y};
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TLottoTable::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  mouse_ = TPoint{x, y};
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TLottoTable::Click() {
  TGraphicControl::Click();
  if (!active_ || AllSelected() >= maxSelected_) return;
  int column, row;
  if (!CellAt(mouse_.X, mouse_.Y, column, row)) return;
  if (CellToNumber(throughRow_, column, row) > maxTotal_) return;
  const CellState state = cells_[column][row];
  if (state == csMarked || state == csInactive) return;
  MarkCell(column, row);
  if (OnCellClick) OnCellClick(this, column, row);
}

void TLottoTable::DrawCell(int column, int row) {
  if (!InTable(column, row)) return;
  if (CellToNumber(throughRow_, column, row) > maxTotal_) cells_[column][row] = csInactive;
  if (Canvas()->Device()) PaintCell(column, row);
  else Invalidate();
}

void TLottoTable::Paint() {
  Canvas()->Font()->Assign(*textFont_);
  for (int c = 0; c < columns_; ++c)
    for (int r = 0; r < rows_; ++r) DrawCell(c, r);
}

void TLottoTable::RaisedEdges(const TRect& r) {
  TCanvas* canvas = Canvas();
  canvas->Pen()->SetColor(borderColor_);
  canvas->MoveTo(r.Left, r.Bottom);
  canvas->LineTo(r.Left, r.Top);
  canvas->LineTo(r.Right, r.Top);
  canvas->Pen()->SetColor(clBtnShadow);
  canvas->LineTo(r.Right, r.Bottom);
  canvas->LineTo(r.Left + 1, r.Bottom);
}

void TLottoTable::PaintCell(int column, int row) {
  TCanvas* canvas = Canvas();
  const TRect r = CellRect(column, row);
  const CellState state = cells_[column][row];
  auto fill = [canvas](TColor color) {
    canvas->Brush()->SetColor(color);
    canvas->Pen()->SetColor(color);
  };
  if (state == csInactive) {
    fill(inActiveColor_);
    canvas->Rectangle(r);
    RaisedEdges(r);
    return;
  }
  if (state == csMarked) {
    fill(backColor_);
    canvas->Rectangle(r.Left - 1, r.Top - 1, r.Right, r.Bottom);
  } else {
    fill(buttonColor_);
    canvas->Rectangle(r);
    RaisedEdges(r);
  }
  canvas->Font()->Assign(*textFont_);
  const AnsiString text = IntToStr(CellToNumber(throughRow_, column, row));
  const TSize size = canvas->TextExtent(text);
  const int x = r.Left + static_cast<int>(Round((r.Right - r.Left) / 2.0L)) - static_cast<int>(Round(size.cx / 2.0L));
  const int y = r.Top + static_cast<int>(Round((r.Bottom - r.Top) / 2.0L)) - static_cast<int>(Round(size.cy / 2.0L));
  canvas->TextOut(x, y, text);
}
