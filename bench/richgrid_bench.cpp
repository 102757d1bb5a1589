// Rich grid parts: filter patterns with many stars (the worst case of a
// backtracking match), a whole filter over a column of cell texts, one
// mark-up cell drawn and measured; and the grid itself: every other row of
// 100,000 hidden by the row filter and shown again, 1,000 selected rows of
// 100,000 removed, and the statistics page's fill of 10,000 records.
#include <benchmark/benchmark.h>

#include <string>

#include "RichGrid/filter_match.h"
#include "RichGrid/markup.h"
#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/gui/draw/bitmap.h"
#include "platform/rtl/sysutils.h"

// A 60-character text against a mask of 20 stars that fails only at its
// last character: every star could take any run.
static void BM_MatchMaskTwentyStars(benchmark::State& state) {
  const AnsiString text(60, 'a');
  AnsiString mask;
  for (int i = 0; i < 20; ++i) mask += "*a";
  mask += "*b";
  for (auto _ : state) benchmark::DoNotOptimize(MatchMask(mask, text));
}
BENCHMARK(BM_MatchMaskTwentyStars)->Unit(benchmark::kMicrosecond);

// The row filter's test of 100,000 cells against a chain of conditions.
static void BM_MatchFilterColumn(benchmark::State& state) {
  std::vector<AnsiString> cells;
  for (int i = 0; i < 100000; ++i) cells.push_back(IntToStr(i % 97) + " draw " + IntToStr(i));
  for (auto _ : state) {
    int hits = 0;
    for (const AnsiString& c : cells) hits += MatchFilter(">10 & <50 ; 9*draw*7", c);
    benchmark::DoNotOptimize(hits);
  }
}
BENCHMARK(BM_MatchFilterColumn)->Unit(benchmark::kMillisecond);

// One mark-up cell (styles, a colour, a link) drawn into a bitmap through
// the Qt painter, and measured only (what auto-size and printing do).
static void MarkupCell(benchmark::State& state, bool measureOnly) {
  Application->Initialize();
  TBitmap bitmap(200, 40);
  TCanvas* c = bitmap.Canvas();
  const AnsiString text = "<B>12</B> <FONT color=\"clRed\">draw</FONT> <A href=\"http://x\">link</A> <I>45.5</I>";
  AnsiString link, plain;
  int w = 0, h = 0;
  for (auto _ : state) {
    plain.clear();
    DrawMarkup(c, text, Rect(0, 0, 200, 40), nullptr, -1, -1, false, measureOnly, false, false, true, 1.0, clBlue, link,
               plain, w, h);
  }
}
static void BM_MarkupCellDraw(benchmark::State& state) { MarkupCell(state, false); }
static void BM_MarkupCellMeasure(benchmark::State& state) { MarkupCell(state, true); }
BENCHMARK(BM_MarkupCellDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkupCellMeasure)->Unit(benchmark::kMicrosecond);

// A grid of `rows` data rows below a heading, five columns, "1" in column 0
// of every other row.
static void FillGrid(TRichStringGrid& g, int rows) {
  g.SetColCount(5);
  g.SetRowCount(rows + 1);
  for (int r = 1; r <= rows; ++r) {
    g.SetCells(0, r, r % 2 ? "1" : "0");
    for (int c = 1; c < 5; ++c) g.SetCells(c, r, IntToStr(r * 5 + c));
  }
}

static void BM_GridFilterEveryOtherRowOnAndOff(benchmark::State& state) {
  Application->Initialize();
  TRichStringGrid g(nullptr);
  FillGrid(g, 100000);
  g.Filter()->Add()->Condition = "1";
  for (auto _ : state) {
    g.SetFilterActive(true);
    g.SetFilterActive(false);
  }
  if (g.RowCount() != 100001) state.SkipWithError("rows lost");
}
BENCHMARK(BM_GridFilterEveryOtherRowOnAndOff)->Unit(benchmark::kMillisecond);

static void BM_GridRemoveSelectedRows(benchmark::State& state) {
  Application->Initialize();
  TRichStringGrid g(nullptr);
  g.MouseActions()->DisjunctRowSelect = true;
  for (auto _ : state) {
    state.PauseTiming();
    FillGrid(g, 100000);
    for (int r = 1; r <= 100000; r += 100) g.SetRowSelect(r, true);
    state.ResumeTiming();
    g.RemoveSelectedRows();
  }
  if (g.RowCount() != 99001) state.SkipWithError("wrong row count");
}
BENCHMARK(BM_GridRemoveSelectedRows)->Unit(benchmark::kMillisecond);

// Seven columns, the row count raised by one per record.
static void BM_GridStatisticsFill(benchmark::State& state) {
  Application->Initialize();
  TRichStringGrid g(nullptr);
  g.SetFixedRowAlways(true);
  for (auto _ : state) {
    g.ClearAll();
    g.SetColCount(1);
    g.SetRowCount(1);
    g.SetColCount(7);
    g.SetRowCount(2);
    g.SetFixedRows(1);
    for (int counter = 0; counter < 10000; ++counter) {
      const int r = counter + 1;
      g.SetRowCount(r + 1);
      g.SetCells(0, r, IntToStr(2000 + counter / 100));
      g.SetCells(1, r, IntToStr(counter % 100 + 1));
      for (int c = 2; c < 7; ++c) g.SetCells(c, r, IntToStr(counter * c % 300));
    }
  }
}
BENCHMARK(BM_GridStatisticsFill)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
