// TDrawGrid (events for drawing, selecting and moving) and TStringGrid (a
// text and an object per cell, rows stored as objects of their own).
#include <algorithm>

#include "platform/gui/grids/grids.h"

TDrawGrid::TDrawGrid(TComponent* AOwner, TWinControl* AParent) : TCustomGrid(AOwner, AParent) {}

void TDrawGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TDrawGrid::SelectCell(int ACol, int ARow) {
  bool can = true;
  if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
  return can;
}

void TDrawGrid::TopLeftChanged() {
  TCustomGrid::TopLeftChanged();
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
  if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::RowMoved(int FromIndex, int ToIndex) {
  if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

AnsiString TDrawGrid::GetEditMask(int ACol, int ARow) {
  AnsiString mask;
  if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, mask);
  return mask;
}

AnsiString TDrawGrid::GetEditText(int ACol, int ARow) {
  AnsiString text;
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, text);
  return text;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
  if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

void TCustomGrid::TopLeftChanged() {}

// ---------------------------------------------------------------------------

TStringGrid::TStringGrid(TComponent* AOwner, TWinControl* AParent) : TDrawGrid(AOwner, AParent) {}

TStringGrid::~TStringGrid() = default;

TStringGrid::RowData* TStringGrid::RowFor(int ARow) {
  if (static_cast<std::size_t>(ARow) >= rows_.size()) {
    // Grows by half again, so filling row after row stays linear.
    if (rows_.capacity() <= static_cast<std::size_t>(ARow))
      rows_.reserve(std::max<std::size_t>(static_cast<std::size_t>(ARow) + 1, rows_.capacity() * 3 / 2));
    rows_.resize(static_cast<std::size_t>(ARow) + 1);
  }
  auto& row = rows_[static_cast<std::size_t>(ARow)];
  if (!row) row = std::make_unique<RowData>();
  return row.get();
}

AnsiString TStringGrid::Cells(int ACol, int ARow) const {
  if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return "";
  if (static_cast<std::size_t>(ARow) >= rows_.size() || !rows_[static_cast<std::size_t>(ARow)]) return "";
  const RowData& r = *rows_[static_cast<std::size_t>(ARow)];
  return static_cast<std::size_t>(ACol) < r.cells.size() ? r.cells[static_cast<std::size_t>(ACol)] : AnsiString();
}

void TStringGrid::SetCells(int ACol, int ARow, const AnsiString& Value) {
  if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return;
  RowData* r = RowFor(ARow);
  if (r->cells.size() <= static_cast<std::size_t>(ACol)) {
    if (Value.empty()) return;
    r->cells.resize(static_cast<std::size_t>(ColCount()));
  }
  r->cells[static_cast<std::size_t>(ACol)] = Value;
  ++changeCount_;
  InvalidateCell(ACol, ARow);
}

TObject* TStringGrid::Objects(int ACol, int ARow) const {
  if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return nullptr;
  if (static_cast<std::size_t>(ARow) >= rows_.size() || !rows_[static_cast<std::size_t>(ARow)]) return nullptr;
  const RowData& r = *rows_[static_cast<std::size_t>(ARow)];
  return static_cast<std::size_t>(ACol) < r.objects.size() ? r.objects[static_cast<std::size_t>(ACol)] : nullptr;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
  if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return;
  RowData* r = RowFor(ARow);
  if (r->objects.size() <= static_cast<std::size_t>(ACol)) {
    if (!Value) return;
    r->objects.resize(static_cast<std::size_t>(ColCount()), nullptr);
  }
  r->objects[static_cast<std::size_t>(ACol)] = Value;
  ++changeCount_;
  InvalidateCell(ACol, ARow);
}

TStrings* TStringGrid::Rows(int ARow) {
  if (ARow < 0 || ARow >= RowCount()) return nullptr;
  auto& view = views_[{true, ARow}];
  if (!view) view = std::make_unique<vx::GridLineStrings>(this, true, ARow);
  return view.get();
}

TStrings* TStringGrid::Cols(int ACol) {
  if (ACol < 0 || ACol >= ColCount()) return nullptr;
  auto& view = views_[{false, ACol}];
  if (!view) view = std::make_unique<vx::GridLineStrings>(this, false, ACol);
  return view.get();
}

void TStringGrid::SetRows(int ARow, TStrings* Value) {
  if (TStrings* row = Rows(ARow); row && Value) row->Assign(Value);
}

void TStringGrid::SetCols(int ACol, TStrings* Value) {
  if (TStrings* col = Cols(ACol); col && Value) col->Assign(Value);
}

void TStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  if (DefaultDrawing()) Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(ACol, ARow));
  TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

void TStringGrid::ColWidthsChanged() {
  ++changeCount_;
  TDrawGrid::ColWidthsChanged();
}

AnsiString TStringGrid::GetEditText(int ACol, int ARow) {
  AnsiString text = Cells(ACol, ARow);
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, text);
  return text;
}

void TStringGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
  SetCells(ACol, ARow, Value);
  TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::SizeChanged(int OldColCount, int OldRowCount) {
  ++changeCount_;
  // Cells beyond the new size are gone for good.
  if (RowCount() < OldRowCount && rows_.size() > static_cast<std::size_t>(RowCount()))
    rows_.resize(static_cast<std::size_t>(RowCount()));
  if (ColCount() < OldColCount)
    for (auto& r : rows_)
      if (r) {
        if (r->cells.size() > static_cast<std::size_t>(ColCount()))
          r->cells.resize(static_cast<std::size_t>(ColCount()));
        if (r->objects.size() > static_cast<std::size_t>(ColCount()))
          r->objects.resize(static_cast<std::size_t>(ColCount()));
      }
  TDrawGrid::SizeChanged(OldColCount, OldRowCount);
}

void TStringGrid::MoveRowCell(std::vector<AnsiString>& cells, std::vector<TObject*>& objects, int FromIndex,
                              int ToIndex) {
  const std::size_t from = static_cast<std::size_t>(FromIndex), to = static_cast<std::size_t>(ToIndex);
  const std::size_t needed = std::max(from, to) + 1;
  if (cells.size() < needed) cells.resize(needed);
  if (objects.size() < needed) objects.resize(needed, nullptr);
  auto move = [from, to](auto& v) {
    if (from < to) std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
    else std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
  };
  move(cells);
  move(objects);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
  ++changeCount_;
  for (auto& r : rows_)
    if (r) MoveRowCell(r->cells, r->objects, FromIndex, ToIndex);
  TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
  ++changeCount_;
  const std::size_t from = static_cast<std::size_t>(FromIndex), to = static_cast<std::size_t>(ToIndex);
  if (rows_.size() <= std::max(from, to)) rows_.resize(std::max(from, to) + 1);
  if (from < to) std::rotate(rows_.begin() + from, rows_.begin() + from + 1, rows_.begin() + to + 1);
  else std::rotate(rows_.begin() + to, rows_.begin() + from, rows_.begin() + from + 1);
  TDrawGrid::RowMoved(FromIndex, ToIndex);
}

void TStringGrid::TakeRowData(int ARow, std::vector<AnsiString>& cells, std::vector<TObject*>& objects) {
  ++changeCount_;
  cells.clear();
  objects.clear();
  if (ARow < 0 || ARow >= RowCount() || static_cast<std::size_t>(ARow) >= rows_.size()) return;
  if (auto& row = rows_[static_cast<std::size_t>(ARow)]) {
    cells.swap(row->cells);
    objects.swap(row->objects);
  }
}

void TStringGrid::PutRowData(int ARow, std::vector<AnsiString>&& cells, std::vector<TObject*>&& objects) {
  ++changeCount_;
  if (ARow < 0 || ARow >= RowCount()) return;
  RowData* row = RowFor(ARow);
  row->cells = std::move(cells);
  row->objects = std::move(objects);
  if (row->cells.size() > static_cast<std::size_t>(ColCount())) row->cells.resize(static_cast<std::size_t>(ColCount()));
  if (row->objects.size() > static_cast<std::size_t>(ColCount()))
    row->objects.resize(static_cast<std::size_t>(ColCount()));
}

void TStringGrid::RowsRearranged(const std::vector<int>& source) {
  ++changeCount_;
  std::vector<std::unique_ptr<RowData>> rows(source.size());
  for (std::size_t i = 0; i < source.size(); ++i)
    if (source[i] >= 0 && static_cast<std::size_t>(source[i]) < rows_.size())
      rows[i] = std::move(rows_[static_cast<std::size_t>(source[i])]);
  rows_ = std::move(rows);
  TDrawGrid::RowsRearranged(source);
}

// ---------------------------------------------------------------------------

namespace vx {

int GridLineStrings::Count() const { return isRow_ ? grid_->ColCount() : grid_->RowCount(); }

AnsiString GridLineStrings::Strings(int index) const {
  return isRow_ ? grid_->Cells(index, index_) : grid_->Cells(index_, index);
}

TObject* GridLineStrings::Objects(int index) const {
  return isRow_ ? grid_->Objects(index, index_) : grid_->Objects(index_, index);
}

void GridLineStrings::SetStrings(int index, const AnsiString& s) {
  if (isRow_) grid_->SetCells(index, index_, s);
  else grid_->SetCells(index_, index, s);
}

void GridLineStrings::SetObjects(int index, TObject* object) {
  if (isRow_) grid_->SetObjects(index, index_, object);
  else grid_->SetObjects(index_, index, object);
}

// Fills the line from its start: the cell after the one the last Add filled
// since Clear; -1 when the line is full.
int GridLineStrings::Add(const AnsiString& s) {
  if (next_ >= Count()) return -1;
  SetStrings(next_, s);
  return next_++;
}

void GridLineStrings::Insert(int, const AnsiString&) {
  throw EInvalidGridOperation("Cannot insert or delete rows from grid");
}

void GridLineStrings::Delete(int) { throw EInvalidGridOperation("Cannot insert or delete rows from grid"); }

void GridLineStrings::Clear() {
  next_ = 0;
  for (int i = 0; i < Count(); ++i) {
    SetStrings(i, "");
    SetObjects(i, nullptr);
  }
}

}  // namespace vx
