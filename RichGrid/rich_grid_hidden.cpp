// TRichStringGrid: rows held hidden (the row filter and node rows use
// them), the mapping between shown and real row indexes, nodes and the
// filter.
//
// A hidden row is a TGridItem holding its real index (its position among
// all rows, hidden ones counted), its texts with their cell objects and its
// selection flag. The items are kept by rising real index, so the full row
// sequence is the shown rows merged with the items; hiding and unhiding
// rebuild the shown rows in one pass.
#include <algorithm>

#include "RichGrid/filter_match.h"
#include "RichGrid/rich_grid.h"
#include "platform/rtl/scope_guard.h"

int TRichStringGrid::RealRowIndex(int displayRow) const {
  if (displayRow < 0) return -1;
  int real = displayRow;
  for (const auto& item : hiddenRows_) {
    if (item->Idx > real) break;
    ++real;
  }
  return real;
}

int TRichStringGrid::DisplayRowIndex(int realRow) const {
  const auto below = std::lower_bound(hiddenRows_.begin(), hiddenRows_.end(), realRow,
                                      [](const std::unique_ptr<TGridItem>& i, int r) { return i->Idx < r; });
  return realRow - static_cast<int>(below - hiddenRows_.begin());
}

bool TRichStringGrid::IsHiddenRow(int realRow) const {
  const auto it = std::lower_bound(hiddenRows_.begin(), hiddenRows_.end(), realRow,
                                   [](const std::unique_ptr<TGridItem>& i, int r) { return i->Idx < r; });
  return it != hiddenRows_.end() && (*it)->Idx == realRow;
}

int TRichStringGrid::NumHiddenRows() const { return static_cast<int>(hiddenRows_.size()); }

std::vector<int> TRichStringGrid::RealRowIndexes(const std::vector<int>& displayRows) const {
  std::vector<int> reals;
  reals.reserve(displayRows.size());
  std::size_t next = 0;
  int skipped = 0;
  for (int d : displayRows) {
    while (next < hiddenRows_.size() && hiddenRows_[next]->Idx <= d + skipped) {
      ++skipped;
      ++next;
    }
    reals.push_back(d + skipped);
  }
  return reals;
}

void TRichStringGrid::MakeRoomInHiddenRows(int displayRow, int count) {
  if (hiddenRows_.empty() || count < 1) return;
  const int real = RealRowIndex(displayRow);
  for (const auto& item : hiddenRows_)
    if (item->Idx >= real) item->Idx += count;
}

void TRichStringGrid::CloseUpHiddenRows(const std::vector<int>& displayRows) {
  if (hiddenRows_.empty() || displayRows.empty()) return;
  const std::vector<int> reals = RealRowIndexes(displayRows);
  std::size_t below = 0;
  for (const auto& item : hiddenRows_) {
    while (below < reals.size() && reals[below] < item->Idx) ++below;
    item->Idx -= static_cast<int>(below);
  }
}

void TRichStringGrid::TrimHiddenRows() {
  const std::size_t cols = static_cast<std::size_t>(std::max(ColCount(), 0));
  for (const auto& item : hiddenRows_) {
    if (item->Items.size() > cols) item->Items.resize(cols);
    if (item->Objects.size() <= cols) continue;
    // Their pictures go with them.
    for (std::size_t c = cols; enableGraphics_ && c < item->Objects.size(); ++c)
      delete dynamic_cast<TCellGraphic*>(item->Objects[c]);
    item->Objects.resize(cols);
  }
}

void TRichStringGrid::HideRowSet(const std::vector<int>& displayRows, bool byRemoveRowsEx) {
  if (displayRows.empty()) return;
  const std::vector<int> reals = RealRowIndexes(displayRows);
  std::vector<std::unique_ptr<TGridItem>> added;
  added.reserve(displayRows.size());
  for (std::size_t i = 0; i < displayRows.size(); ++i) {
    const int d = displayRows[i];
    auto item = std::make_unique<TGridItem>();
    item->Idx = reals[i];
    item->Selected = static_cast<std::size_t>(d) < rowSelected_.size() && rowSelected_[static_cast<std::size_t>(d)];
    TakeRowData(d, item->Items, item->Objects);
    added.push_back(std::move(item));
  }
  std::vector<std::unique_ptr<TGridItem>> merged;
  merged.reserve(hiddenRows_.size() + added.size());
  std::merge(std::make_move_iterator(hiddenRows_.begin()), std::make_move_iterator(hiddenRows_.end()),
             std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()), std::back_inserter(merged),
             [](const std::unique_ptr<TGridItem>& a, const std::unique_ptr<TGridItem>& b) { return a->Idx < b->Idx; });
  hiddenRows_ = std::move(merged);
  // The rows' objects now belong to the items: the removal frees nothing.
  if (byRemoveRowsEx) RemoveRowSet(displayRows);
  else RemoveRowsAt(displayRows);
}

void TRichStringGrid::RestoreHiddenRows(const std::function<bool(const TGridItem&)>& take) {
  const int shown = RowCount();
  std::vector<int> source;
  source.reserve(static_cast<std::size_t>(shown) + hiddenRows_.size());
  std::vector<std::pair<int, std::unique_ptr<TGridItem>>> back;
  std::vector<std::unique_ptr<TGridItem>> kept;
  std::size_t hi = 0;
  int visible = 0, real = 0;
  while (visible < shown || hi < hiddenRows_.size()) {
    if (hi < hiddenRows_.size() && (visible >= shown || hiddenRows_[hi]->Idx <= real)) {
      if (take(*hiddenRows_[hi])) {
        back.emplace_back(static_cast<int>(source.size()), std::move(hiddenRows_[hi]));
        source.push_back(-1);
      } else {
        kept.push_back(std::move(hiddenRows_[hi]));
      }
      ++hi;
    } else {
      source.push_back(visible++);
    }
    ++real;
  }
  hiddenRows_ = std::move(kept);
  if (back.empty()) return;
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  Rearrange(source);
  if (rowSelected_.size() < source.size()) rowSelected_.resize(source.size(), 0);
  for (auto& [row, item] : back) {
    rowSelected_[static_cast<std::size_t>(row)] = item->Selected;
    PutRowData(row, std::move(item->Items), std::move(item->Objects));
  }
}

void TRichStringGrid::HideRows(int firstReal, int lastReal) {
  std::vector<int> rows;
  for (int real = std::max(0, firstReal); real <= lastReal; ++real)
    if (!IsHiddenRow(real)) {
      const int d = DisplayRowIndex(real);
      if (d >= RowCount()) break;
      rows.push_back(d);
    }
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  HideRowSet(rows, false);
}

// Each row goes back to its own place, also when shown rows lie between
// the hidden rows of the range.
void TRichStringGrid::UnHideRows(int firstReal, int lastReal) {
  if (!IsHiddenRow(firstReal)) return;
  RestoreHiddenRows([=](const TGridItem& i) { return i.Idx >= firstReal && i.Idx <= lastReal; });
}

void TRichStringGrid::UnHideRowsAll() {
  RestoreHiddenRows([](const TGridItem&) { return true; });
}

// ---------------------------------------------------------------------------
// Nodes

bool TRichStringGrid::HiddenRowIsNode(int realRow) const {
  if (!enableGraphics_) return false;
  const auto it = std::lower_bound(hiddenRows_.begin(), hiddenRows_.end(), realRow,
                                   [](const std::unique_ptr<TGridItem>& i, int r) { return i->Idx < r; });
  if (it == hiddenRows_.end() || (*it)->Idx != realRow || (*it)->Objects.empty()) return false;
  const auto* g = dynamic_cast<const TCellGraphic*>((*it)->Objects[0]);
  return g && g->Kind == ctNode;
}

void TRichStringGrid::ExpandNode(int displayRow) {
  TCellGraphic* node = CellGraphic(0, displayRow);
  if (!node || node->Kind != ctNode) return;
  const int real = RealRowIndex(displayRow);
  int last = real + node->Value;
  if (node->Value <= 0) {
    last = real;
    while (IsHiddenRow(last + 1) && !HiddenRowIsNode(last + 1)) ++last;
  }
  node->State = true;
  if (last > real) UnHideRows(real + 1, last);
  RepaintCell(0, DisplayRowIndex(real));
}

void TRichStringGrid::ContractNode(int displayRow) {
  TCellGraphic* node = CellGraphic(0, displayRow);
  if (!node || node->Kind != ctNode) return;
  const int end = RowCount() - fixedFooters_;
  std::vector<int> rows;
  for (int r = displayRow + 1; r < end; ++r) {
    if (node->Value > 0 ? r > displayRow + node->Value : IsNode(r)) break;
    rows.push_back(r);
  }
  node->State = false;
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  HideRowSet(rows, true);
  RepaintCell(0, displayRow);
}

// ---------------------------------------------------------------------------
// Filter

bool TRichStringGrid::RowPassesFilter(int ARow) const {
  for (int i = 0; i < filter_->Count(); ++i) {
    const TFilterData* f = filter_->Items(i);
    if (!MatchFilter(f->Condition, Cells(f->Column, ARow))) return false;
  }
  return true;
}

void TRichStringGrid::SetFilterActive(bool v) {
  if (v == filterActive_) return;
  filterActive_ = v;
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  if (v) {
    const int fixed = TStringGrid::FixedRows();
    std::vector<int> failing;
    for (int r = FixedRows(); r < RowCount() - fixedFooters_; ++r)
      if (!RowPassesFilter(r)) failing.push_back(r);
    const int left = RowCount() - static_cast<int>(failing.size());
    HideRowSet(failing, false);
    filterFixedRows_ = -1;
    if (left == fixedFooters_ + fixed) {
      // No row passed: one empty data row above the footers keeps the
      // heading fixed. A grid that lost every row already holds it (a grid
      // keeps one row).
      if (RowCount() == left) InsertRows(RowCount() - fixedFooters_, 1);
      TStringGrid::SetFixedRows(fixed);
      filterFixedRows_ = fixed;
    }
    return;
  }
  // The empty row goes once the hidden rows are back around it.
  const bool added = filterFixedRows_ >= 0 && RowCount() == filterFixedRows_ + fixedFooters_ + 1;
  const int addedReal = added ? RealRowIndex(RowCount() - fixedFooters_ - 1) : -1;
  UnHideRowsAll();
  if (added) RemoveRowsAt({DisplayRowIndex(addedReal)});
  const int fixed = filterFixedRows_ >= 0 ? filterFixedRows_ : TStringGrid::FixedRows();
  if (fixed < RowCount()) TStringGrid::SetFixedRows(fixed);
  filterFixedRows_ = -1;
}
