// TRichStringGrid: sorting the data rows by one column (and the columns
// after it) or by the columns of the sort index, and the header click that
// starts it.
//
// The rows are sorted as a list of row numbers by the grid's quicksort
// (equal rows are never exchanged in a sort by column), comparing keys read
// once per cell; the grid itself is rearranged in one step at the end, so
// texts, objects, heights and row-selection flags travel with their rows.
// A comparison event that throws leaves the grid as it was. The fixed rows
// and the footer rows stay in place, and so does column 0 with
// SortNormalCellsOnly.
#include <algorithm>
#include <optional>

#include "RichGrid/cell_compare.h"
#include "RichGrid/markup.h"
#include "RichGrid/rich_grid.h"
#include "platform/rtl/scope_guard.h"

namespace {

const char kNoIndexes[] = "No indexes specified for indexed sort";

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// The grid's quicksort over rows[lo..hi]: a copy of the middle row is the
// pivot; row i passes while the pivot compares as d against it, row j
// while it compares as d against the pivot; rows are exchanged only when
// they differ (byColumn) or always (by index). It recurses into the
// smaller part and goes on with the larger one.
template <typename Row, typename Compare>
void QuickSortRows(std::vector<Row>& rows, int lo, int hi, int d, bool byColumn, Compare& compare) {
  while (lo < hi) {
    const Row pivot = rows[static_cast<std::size_t>((lo + hi) / 2)];
    int i = lo, j = hi;
    do {
      while (compare(pivot, rows[static_cast<std::size_t>(i)]) == d && i < hi) ++i;
      while (compare(rows[static_cast<std::size_t>(j)], pivot) == d && j > lo) --j;
      if (i <= j) {
        Row& a = rows[static_cast<std::size_t>(i)];
        Row& b = rows[static_cast<std::size_t>(j)];
        if (i != j && (!byColumn || compare(a, b) != 0)) std::swap(a, b);
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (j > lo) QuickSortRows(rows, lo, j, d, byColumn, compare);
      lo = i;
    } else {
      if (i < hi) QuickSortRows(rows, i, hi, d, byColumn, compare);
      hi = j;
    }
  }
}

// A row being sorted with the key of its first sort column, so that most
// comparisons read only what the sort moves along; the smaller NumberRow
// when that column holds numbers only.
struct SortedRow {
  SortKey key;
  int row = 0;
};

struct NumberRow {
  double number = 0;
  int row = 0;
  bool ok = false;
};

// Sorts the rows by `first` on their own data, then by `rest` on their row
// numbers, and appends the sorted row numbers to out.
template <typename Row, typename First, typename Rest>
void SortRowList(std::vector<Row>& rows, int d, bool byColumn, bool firstDescending, First first, Rest& rest,
                 std::vector<int>& out) {
  auto compare = [&](const Row& a, const Row& b) {
    // A row is equal to itself in every column.
    if (a.row == b.row) return 0;
    int res = first(a, b);
    if (firstDescending) res = -res;
    return res != 0 ? res : rest(a.row, b.row);
  };
  QuickSortRows(rows, 0, static_cast<int>(rows.size()) - 1, d, byColumn, compare);
  for (const Row& r : rows) out.push_back(r.row);
}

}  // namespace

// The comparison of one column for a whole sort: the column's format is
// asked once, and each cell's text and key are read once, when first needed.
class TRichStringGrid::SortColumnKeys {
 public:
  SortColumnKeys(TRichStringGrid& grid, int col) : grid_(grid), col_(col) {
    format_.Style = grid.SortAutoFormat() ? ssAutomatic : ssAlphabetic;
    grid.GetCellFormat(col, format_.Style, format_.Prefix, format_.Suffix);
  }

  int Compare(int r1, int r2) {
    if (UsesKeys()) Load();
    return Compare(keys_.empty() ? SortKey{} : keys_[static_cast<std::size_t>(r1)], r1,
                   keys_.empty() ? SortKey{} : keys_[static_cast<std::size_t>(r2)], r2);
  }

  // With the keys of the two rows at hand.
  int Compare(const SortKey& k1, int r1, const SortKey& k2, int r2) {
    switch (format_.Style) {
      case ssCustom: {
        int res = 0;
        if (grid_.OnCustomCompare) grid_.OnCustomCompare(&grid_, Text(r1), Text(r2), res);
        return Sign(res);
      }
      case ssRaw: {
        int res = 0;
        if (grid_.OnRawCompare) grid_.OnRawCompare(&grid_, col_, r1, r2, res);
        return Sign(res);
      }
      case ssImages: {
        const std::intptr_t a = grid_.ImageValue(col_, r1), b = grid_.ImageValue(col_, r2);
        return a < b ? -1 : b < a ? 1 : 0;
      }
      default:
        return CompareSortKeys(format_, k1, k2, texts_[static_cast<std::size_t>(r1)],
                               texts_[static_cast<std::size_t>(r2)]);
    }
  }

  // Every key of the column is compared as a number (numeric formats, or
  // the automatic format with numbers in every row).
  bool NumbersOnly() {
    if (format_.Style == ssNumeric || format_.Style == ssFinancial) return true;
    if (format_.Style != ssAutomatic) return false;
    Load();
    return std::all_of(keys_.begin(), keys_.end(), [](const SortKey& k) { return k.Style == ssNumeric; });
  }

  // The row's key (an empty key for the styles that do not use keys).
  SortKey Key(int row) {
    if (!UsesKeys()) return SortKey{};
    Load();
    return keys_[static_cast<std::size_t>(row)];
  }

 private:
  bool UsesKeys() const { return format_.Style != ssRaw && format_.Style != ssImages && format_.Style != ssCustom; }

  const AnsiString& Text(int row) {
    Load();
    return texts_[static_cast<std::size_t>(row)];
  }

  void Load() {
    if (loaded_) return;
    loaded_ = true;
    const int rows = grid_.RowCount();
    texts_.resize(static_cast<std::size_t>(rows));
    if (UsesKeys()) keys_.resize(static_cast<std::size_t>(rows));
    bool anyDate = false;
    for (int r = 0; r < rows; ++r) {
      AnsiString& text = texts_[static_cast<std::size_t>(r)];
      text = grid_.Cells(col_, r);
      if (!UsesKeys()) continue;
      SortKey& key = keys_[static_cast<std::size_t>(r)];
      key = MakeSortKey(text, format_, false);
      anyDate = anyDate || key.Style == ssDate;
      if (format_.Style == ssHTML) text = StripMarkup(text);
    }
    // Under the automatic format a date in one row makes the others be
    // read as dates too.
    if (anyDate && format_.Style == ssAutomatic)
      for (std::size_t r = 0; r < keys_.size(); ++r) keys_[r].Date = SortDate(texts_[r]);
  }

  TRichStringGrid& grid_;
  int col_;
  TCellFormat format_;
  bool loaded_ = false;
  std::vector<AnsiString> texts_;
  std::vector<SortKey> keys_;
};

int TRichStringGrid::CompareCells(int ACol, int ARow1, int ARow2) {
  TCellFormat format;
  format.Style = sortAutoFormat_ ? ssAutomatic : ssAlphabetic;
  GetCellFormat(ACol, format.Style, format.Prefix, format.Suffix);
  int res = 0;
  switch (format.Style) {
    case ssCustom:
      if (OnCustomCompare) OnCustomCompare(this, Cells(ACol, ARow1), Cells(ACol, ARow2), res);
      return Sign(res);
    case ssRaw:
      if (OnRawCompare) OnRawCompare(this, ACol, ARow1, ARow2, res);
      return Sign(res);
    case ssImages: {
      const std::intptr_t a = ImageValue(ACol, ARow1), b = ImageValue(ACol, ARow2);
      return a < b ? -1 : b < a ? 1 : 0;
    }
    default: return CompareCellTexts(format, Cells(ACol, ARow1), Cells(ACol, ARow2));
  }
}

void TRichStringGrid::SortByColumn() {
  sortIndexes_->Clear();
  SortRows(false);
}

void TRichStringGrid::SortByIndex() {
  if (sortIndexes_->Count() == 0) throw ERichGridError(kNoIndexes);
  SortRows(true);
}

void TRichStringGrid::SortRows(bool byIndex) {
  const int first = FixedRows(), last = RowCount() - 1 - fixedFooters_;
  if (last <= first) return;
  HideEditor();
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });

  // The columns' comparisons, made when a comparison first reaches them.
  std::vector<std::optional<SortColumnKeys>> columns(static_cast<std::size_t>(ColCount() + NumHiddenColumns()));
  auto column = [&](int col) -> SortColumnKeys& {
    auto& slot = columns[static_cast<std::size_t>(col)];
    if (!slot) slot.emplace(*this, col);
    return *slot;
  };
  const int lastCol = static_cast<int>(columns.size()) - 1;
  // The columns in the order they decide, with their directions.
  std::vector<std::pair<int, bool>> order;
  if (byIndex) {
    for (int i = 0; i < sortIndexes_->Count(); ++i) {
      const int entry = sortIndexes_->Items(i);
      order.emplace_back(TSortIndexList::ColumnOf(entry), TSortIndexList::IsDescending(entry));
      if (!sortFull_) break;
    }
  } else if (sortColumn_ >= 0 && sortColumn_ <= lastCol) {
    for (int col = sortColumn_; col <= (sortFull_ ? lastCol : sortColumn_); ++col) order.emplace_back(col, false);
  }
  if (order.empty()) return;
  const int firstCol = order.front().first;
  const bool firstInGrid = firstCol <= lastCol;
  const bool numbersFirst = firstInGrid && column(firstCol).NumbersOnly();
  // The columns after the first, when it finds two rows equal.
  auto rest = [&](int r1, int r2) {
    int res = 0;
    for (std::size_t i = 1; res == 0 && i < order.size(); ++i) {
      if (order[i].first > lastCol) continue;
      res = column(order[i].first).Compare(r1, r2);
      if (order[i].second) res = -res;
    }
    return res;
  };

  const int d = !byIndex && sortDirection_ == sdDescending ? -1 : 1;
  std::vector<int> sorted;
  sorted.reserve(static_cast<std::size_t>(last - first + 1));
  if (numbersFirst) {
    SortColumnKeys& keys = column(firstCol);
    std::vector<NumberRow> rows;
    rows.reserve(static_cast<std::size_t>(last - first + 1));
    for (int r = first; r <= last; ++r) {
      const SortKey k = keys.Key(r);
      rows.push_back(NumberRow{k.Number, r, k.NumberOk});
    }
    auto byNumber = [](const NumberRow& a, const NumberRow& b) {
      return a.ok && b.ok ? (a.number < b.number ? -1 : b.number < a.number ? 1 : 0) : 0;
    };
    SortRowList(rows, d, !byIndex, order.front().second, byNumber, rest, sorted);
  } else {
    std::vector<SortedRow> rows;
    rows.reserve(static_cast<std::size_t>(last - first + 1));
    for (int r = first; r <= last; ++r) rows.push_back(SortedRow{firstInGrid ? column(firstCol).Key(r) : SortKey{}, r});
    auto byKey = [&](const SortedRow& a, const SortedRow& b) {
      return firstInGrid ? column(firstCol).Compare(a.key, a.row, b.key, b.row) : 0;
    };
    SortRowList(rows, d, !byIndex, order.front().second, byKey, rest, sorted);
  }

  // Rearrange the grid in one step; the current row goes with its row.
  std::vector<int> source(static_cast<std::size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) source[static_cast<std::size_t>(r)] = r;
  int current = FCurrent.Y;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    source[static_cast<std::size_t>(first) + i] = sorted[i];
    if (sorted[i] == FCurrent.Y) current = first + static_cast<int>(i);
  }
  std::vector<AnsiString> keptColumn;
  const bool keepColumn0 = sortNormalCellsOnly_ && FixedCols() > 0;
  if (keepColumn0)
    for (int r = first; r <= last; ++r) keptColumn.push_back(Cells(0, r));
  Rearrange(source);
  if (keepColumn0)
    for (int r = first; r <= last; ++r) SetCells(0, r, keptColumn[static_cast<std::size_t>(r - first)]);
  FCurrent.Y = FAnchor.Y = current;
}

void TRichStringGrid::HeaderClickSort(int ACol, int X, TShiftState Shift) {
  if (ACol < 0 || ACol >= ColCount()) return;
  if (ACol < FixedCols() && !sortFixedCols_) return;
  // A click in the sizing zone of a column line sizes; it never sorts.
  if (Options().Contains(goColSizing) && LineNear(true, X, true) >= 0) return;
  if (FixedRows() < 1 || !sortShow_ || RowCount() < 3) return;
  bool doSort = true;
  if (OnCanSort) OnCanSort(this, ACol, doSort);
  if (!doSort) return;
  if (sortIndexShow_) {
    TSortIndexList& index = *sortIndexes_;
    if (!Shift.Contains(ssShift)) {
      if (index.Count() == 1 && TSortIndexList::ColumnOf(index.Items(0)) == ACol) {
        index.ToggleFlag(ACol);
      } else {
        index.Clear();
        index.AddFlagged(ACol, true);
      }
    } else if (index.IndexOfValue(ACol) < 0) {
      index.AddFlagged(ACol, true);
    } else {
      index.ToggleFlag(ACol);
    }
    SortByIndex();
  } else {
    if (ACol != sortColumn_) {
      sortDirection_ = sdAscending;
      SetSortColumn(ACol);
    } else {
      sortDirection_ = sortDirection_ == sdAscending ? sdDescending : sdAscending;
    }
    SortByColumn();
  }
  if (OnClickSort) OnClickSort(this, sortColumn_);
}
