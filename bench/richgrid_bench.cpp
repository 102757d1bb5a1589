// Rich grid parts: filter patterns with many stars (the worst case of a
// backtracking match), a whole filter over a column of cell texts, and one
// mark-up cell drawn and measured.
#include <benchmark/benchmark.h>

#include <string>

#include "RichGrid/filter_match.h"
#include "RichGrid/markup.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
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
    DrawMarkup(c, text, Rect(0, 0, 200, 40), nullptr, -1, -1, false, measureOnly, false, false, true, 1.0, clBlue,
               link, plain, w, h);
  }
}
static void BM_MarkupCellDraw(benchmark::State& state) { MarkupCell(state, false); }
static void BM_MarkupCellMeasure(benchmark::State& state) { MarkupCell(state, true); }
BENCHMARK(BM_MarkupCellDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkupCellMeasure)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
