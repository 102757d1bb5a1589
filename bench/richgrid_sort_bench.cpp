// Sorting 100,000 rows x 8 columns of draw-like data by a numeric column
// (numbers with two decimals, automatic style) in the same run:
// - the rich grid's sort by column (keys, quicksort, rows rearranged);
// - QTableWidget::sortItems on the same data, the sort column held as
//   numbers so that it sorts by value, the other columns as texts;
// - the floor: the column's texts parsed once into (value, row) pairs and
//   std::stable_sort of them; and std::stable_sort of the parsed pairs alone.
// Each iteration starts from the same unsorted order (restored untimed).
#include <benchmark/benchmark.h>

#include <QTableWidget>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <random>
#include <vector>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr int kRows = 100000, kCols = 8, kSortCol = 7;

// Row r: year, draw number r (the original order), five numbers 1..49 and
// a sum with two decimals.
std::vector<std::vector<AnsiString>> MakeData() {
  std::mt19937 rng(20240601);
  std::vector<std::vector<AnsiString>> rows(kRows, std::vector<AnsiString>(kCols));
  char buf[32];
  for (int r = 0; r < kRows; ++r) {
    auto& row = rows[static_cast<std::size_t>(r)];
    row[0] = IntToStr(2000 + r % 25);
    row[1] = IntToStr(r + 1);
    for (int c = 2; c < kSortCol; ++c) row[static_cast<std::size_t>(c)] = IntToStr(1 + rng() % 49);
    const unsigned v = rng() % 100000000u;
    std::snprintf(buf, sizeof buf, "%u.%02u", v / 100, v % 100);
    row[kSortCol] = buf;
  }
  return rows;
}

const std::vector<std::vector<AnsiString>>& Data() {
  static const auto data = MakeData();
  return data;
}

void BM_RichGridSortNumericColumn(benchmark::State& state) {
  Application->Initialize();
  TRichStringGrid g(nullptr);
  g.SetColCount(kCols);
  g.SetRowCount(kRows + 1);
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c)
      g.SetCells(c, r + 1, Data()[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
  for (auto _ : state) {
    state.PauseTiming();
    g.SetSortColumn(1);  // back to the original order
    g.SortByColumn();
    g.SetSortColumn(kSortCol);
    state.ResumeTiming();
    g.SortByColumn();
  }
  for (int r = 2; r <= kRows; ++r)
    if (g.Floats(kSortCol, r - 1) > g.Floats(kSortCol, r)) state.SkipWithError("not sorted");
}
BENCHMARK(BM_RichGridSortNumericColumn)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_QTableWidgetSortItems(benchmark::State& state) {
  Application->Initialize();
  QTableWidget table(kRows, kCols);
  table.setSortingEnabled(false);
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      const AnsiString& text = Data()[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
      auto* item = new QTableWidgetItem;
      if (c == kSortCol) item->setData(Qt::DisplayRole, std::stod(text));
      else if (c == 1) item->setData(Qt::DisplayRole, r + 1);
      else item->setData(Qt::DisplayRole, QString::fromLatin1(text.data(), static_cast<int>(text.size())));
      table.setItem(r, c, item);
    }
  for (auto _ : state) {
    state.PauseTiming();
    table.sortItems(1);  // back to the original order
    state.ResumeTiming();
    table.sortItems(kSortCol);
  }
  for (int r = 1; r < kRows; ++r)
    if (table.item(r - 1, kSortCol)->data(Qt::DisplayRole).toDouble() >
        table.item(r, kSortCol)->data(Qt::DisplayRole).toDouble())
      state.SkipWithError("not sorted");
}
BENCHMARK(BM_QTableWidgetSortItems)->Unit(benchmark::kMillisecond)->Iterations(10);

std::vector<std::pair<double, int>> ParseColumn() {
  std::vector<std::pair<double, int>> values;
  values.reserve(kRows);
  for (int r = 0; r < kRows; ++r) {
    const AnsiString& text = Data()[static_cast<std::size_t>(r)][kSortCol];
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    values.emplace_back(v, r);
  }
  return values;
}

void BM_FloorParseAndStableSort(benchmark::State& state) {
  Data();
  for (auto _ : state) {
    auto values = ParseColumn();
    std::stable_sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    benchmark::DoNotOptimize(values.data());
  }
}
BENCHMARK(BM_FloorParseAndStableSort)->Unit(benchmark::kMillisecond);

void BM_FloorStableSortParsed(benchmark::State& state) {
  const auto parsed = ParseColumn();
  for (auto _ : state) {
    auto values = parsed;
    std::stable_sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    benchmark::DoNotOptimize(values.data());
  }
}
BENCHMARK(BM_FloorStableSortParsed)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
