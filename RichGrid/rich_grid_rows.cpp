// TRichStringGrid: inserting and removing rows and columns, and the
// selection of disjoint rows.
//
// Rows move as whole objects (texts, cell objects, height and selection
// flag) in one rearrangement of the string grid, so removing many rows at
// once costs one pass over the grid, not one per row.
#include <algorithm>

#include "RichGrid/rich_grid.h"
#include "platform/rtl/scope_guard.h"

namespace {

const char kInvalidRow[] = "Invalid row accessed";

// The rows of a grid of `count` rows without the (sorted, unique) rows `gone`.
std::vector<int> RowsWithout(int count, const std::vector<int>& gone) {
  std::vector<int> source;
  source.reserve(static_cast<std::size_t>(count));
  auto next = gone.begin();
  for (int r = 0; r < count; ++r) {
    if (next != gone.end() && *next == r) {
      ++next;
      continue;
    }
    source.push_back(r);
  }
  return source;
}

}  // namespace

void TRichStringGrid::RowsRearranged(const std::vector<int>& source) {
  std::vector<char> flags(source.size(), 0);
  for (std::size_t i = 0; i < source.size(); ++i)
    if (source[i] >= 0 && static_cast<std::size_t>(source[i]) < rowSelected_.size())
      flags[i] = rowSelected_[static_cast<std::size_t>(source[i])];
  rowSelected_ = std::move(flags);
  TStringGrid::RowsRearranged(source);
}

void TRichStringGrid::ApplyFixedAlways() {
  if (RowCount() >= 2 && fixedRowAlways_ && TStringGrid::FixedRows() == 0) TStringGrid::SetFixedRows(1);
  if (ColCount() >= 2 && fixedColAlways_ && TStringGrid::FixedCols() == 0) TStringGrid::SetFixedCols(1);
}

void TRichStringGrid::Rearrange(const std::vector<int>& source) {
  const int lastCol = ColCount() - 1;
  const int lastWidth = ColWidths(lastCol);
  RearrangeRows(source);
  ApplyFixedAlways();
  if (ColCount() - 1 == lastCol) SetColWidths(lastCol, lastWidth);
}

// ---------------------------------------------------------------------------
// Rows

void TRichStringGrid::InsertRows(int ARow, int ACount) {
  if (ACount < 1) return;
  const int count = RowCount();
  ARow = std::clamp(ARow, 0, count);
  std::vector<int> source;
  source.reserve(static_cast<std::size_t>(count + ACount));
  for (int r = 0; r < ARow; ++r) source.push_back(r);
  source.insert(source.end(), static_cast<std::size_t>(ACount), -1);
  for (int r = ARow; r < count; ++r) source.push_back(r);
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  MakeRoomInHiddenRows(ARow, ACount);
  Rearrange(source);
}

void TRichStringGrid::RemoveRows(int ARow, int ACount) {
  if (ARow < 0 || ARow >= RowCount() || ACount < 1) return;
  const int last = std::min(RowCount(), ARow + ACount);
  std::vector<int> gone;
  for (int r = ARow; r < last; ++r) gone.push_back(r);
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  CloseUpHiddenRows(gone);
  RemoveRowsAt(gone);
}

void TRichStringGrid::RemoveRowsAt(const std::vector<int>& gone) {
  const int oldRow = FCurrent.Y, oldTop = TopRow();
  Rearrange(RowsWithout(RowCount(), gone));
  if (oldRow >= RowCount()) {
    const int fixed = std::min(FixedRows(), RowCount() - 1);
    FCurrent.Y = FAnchor.Y = fixed;
    FTopLeft.Y = std::max(fixed, TStringGrid::FixedRows());
  } else {
    FTopLeft.Y = std::min(oldTop, RowCount() - 1);
  }
  InvalidateGrid();
}

void TRichStringGrid::RemoveRowSet(const std::vector<int>& rows) {
  const int oldRow = FCurrent.Y, oldTop = TopRow();
  HideEditor();
  Rearrange(RowsWithout(RowCount(), rows));
  if (oldRow >= RowCount() - fixedFooters_) {
    const int lastData = RowCount() - fixedFooters_ - 1;
    if (lastData >= FixedRows() && lastData >= 0) {
      FCurrent.Y = FAnchor.Y = lastData;
      FCurrent.X = std::min(FCurrent.X, ColCount() - 1);
      ClampInView(FCurrent);
    } else {
      HideSelection();
    }
  } else {
    FCurrent.Y = FAnchor.Y = oldRow;
    FTopLeft.Y = std::min(std::max(oldTop, TStringGrid::FixedRows()), RowCount() - 1);
  }
  InvalidateGrid();
}

void TRichStringGrid::RemoveRowsEx(int ARow, int ACount) {
  if (ARow < 0 || ARow >= RowCount() || ACount < 1) return;
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  std::vector<int> gone;
  for (int r = ARow; r < std::min(RowCount(), ARow + ACount); ++r) gone.push_back(r);
  CloseUpHiddenRows(gone);
  RemoveRowSet(gone);
}

// ---------------------------------------------------------------------------
// Columns

void TRichStringGrid::InsertCols(int ACol, int ACount) {
  if (ACount < 1) return;
  const int count = ColCount();
  ACol = std::clamp(ACol, 0, count);
  std::vector<int> widths;
  for (int c = 0; c < count; ++c) widths.push_back(ColWidths(c));
  widths.insert(widths.begin() + ACol, static_cast<std::size_t>(ACount), DefaultColWidth());
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  SetColCount(count + ACount);
  for (int k = 0; k < ACount; ++k) MoveColumn(ColCount() - 1, ACol);
  for (int c = 0; c < ColCount(); ++c) SetColWidths(c, widths[static_cast<std::size_t>(c)]);
}

void TRichStringGrid::RemoveCols(int ACol, int ACount) {
  if (ACol < 0 || ACol >= ColCount() || ACount < 1) return;
  ACount = std::min(ACount, ColCount() - ACol);
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  ClearCols(ACol, ACount);
  std::vector<int> widths;
  for (int c = 0; c < ColCount(); ++c) widths.push_back(ColWidths(c));
  widths.erase(widths.begin() + ACol, widths.begin() + ACol + ACount);
  for (int k = 0; k < ACount; ++k) MoveColumn(ACol, ColCount() - 1);
  SetColCount(ColCount() - ACount);
  for (int c = 0; c < ColCount() && c < static_cast<int>(widths.size()); ++c)
    SetColWidths(c, widths[static_cast<std::size_t>(c)]);
}

// ---------------------------------------------------------------------------
// Selection of disjoint rows

bool TRichStringGrid::RowSelect(int ARow) const {
  if (ARow < 0 || ARow >= RowCount()) throw ERichGridError(kInvalidRow);
  return static_cast<std::size_t>(ARow) < rowSelected_.size() && rowSelected_[static_cast<std::size_t>(ARow)];
}

void TRichStringGrid::SetRowSelect(int ARow, bool v) {
  if (ARow < 0 || ARow >= RowCount()) throw ERichGridError(kInvalidRow);
  if (rowSelected_.size() <= static_cast<std::size_t>(ARow)) rowSelected_.resize(static_cast<std::size_t>(ARow) + 1, 0);
  char& flag = rowSelected_[static_cast<std::size_t>(ARow)];
  if (static_cast<bool>(flag) == v) return;
  flag = v;
  RepaintRow(ARow);
}

int TRichStringGrid::RowSelectCount() const {
  const std::size_t n = std::min(rowSelected_.size(), static_cast<std::size_t>(RowCount()));
  return static_cast<int>(std::count(rowSelected_.begin(), rowSelected_.begin() + static_cast<long>(n), 1));
}

void TRichStringGrid::ClearRowSelect() {
  for (std::size_t r = 0; r < rowSelected_.size(); ++r)
    if (rowSelected_[r]) {
      rowSelected_[r] = 0;
      RepaintRow(static_cast<int>(r));
    }
}

void TRichStringGrid::SelectRowsInSelection() {
  const TGridRect s = Selection();
  for (int r = std::max(0, s.Top); r <= s.Bottom && r < RowCount(); ++r)
    if (!RowSelect(r)) SetRowSelect(r, true);
}

void TRichStringGrid::RemoveSelectedRows() {
  std::vector<int> rows;
  for (int r = FixedRows(); r < RowCount(); ++r)
    if (static_cast<std::size_t>(r) < rowSelected_.size() && rowSelected_[static_cast<std::size_t>(r)])
      rows.push_back(r);
  if (rows.empty()) return;
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  CloseUpHiddenRows(rows);
  RemoveRowSet(rows);
}
