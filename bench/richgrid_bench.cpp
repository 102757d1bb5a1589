// Rich grid parts: filter patterns with many stars (the worst case of a
// backtracking match) and a whole filter over a column of cell texts.
#include <benchmark/benchmark.h>

#include <string>

#include "RichGrid/filter_match.h"
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

BENCHMARK_MAIN();
