// The analysis pages over large tables, each beside a bare table-handler
// walk over the same draws in the same run:
// - pair counting (dyads) over 100,000 draws of 6 of 49 and of 20 of 80,
//   through the data set as the command reads them, and packing the pairs
//   counted there (every pair that came at least once);
// - the comparison of 100,000 results with 1,000 draws: both read through
//   the data set, counted and the report built (threshold 3);
// - each statistic of the Statistics page over 100,000 draws of 6 of 49
//   through the data set, without the grid and the progress bar
//   (main_window_bench.cpp runs them through the window).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "app/analysis/comparison.h"
#include "app/analysis/dyads.h"
#include "app/analysis/statistics.h"
#include "bench/bench_options.h"
#include "bench/draw_table.h"
#include "tables/dataset/txbasedataset.h"

namespace {

constexpr int kDraws = 100'000;

struct Shape {
  int numbers, highest;
};
constexpr Shape kShapes[] = {{6, 49}, {20, 80}};

std::string Folder() {
  static const std::string folder = vx::bench::ScratchFolder("analysis") + "/";
  return folder;
}

std::string TableName(int draws, Shape s) {
  return "t" + std::to_string(draws) + "_" + std::to_string(s.numbers) + ".dbf";
}

// Written once per run, opened in record order.
TXBaseDataSet& Table(int draws, Shape s) {
  static std::map<std::string, std::unique_ptr<TXBaseDataSet>> tables;
  const std::string name = TableName(draws, s);
  auto& t = tables[name];
  if (!t) {
    vx::bench::WriteDrawTable(Folder() + name, draws, s.numbers, s.highest, 100);
    t = std::make_unique<TXBaseDataSet>();
    t->SetDatabaseName(Folder());
    t->SetTableName(name);
    t->Open();
  }
  return *t;
}

void BM_HandlerWalk(benchmark::State& state) {
  const Shape s = kShapes[state.range(0)];
  Table(kDraws, s);
  XBO_dBHandler handler(Folder() + TableName(kDraws, s), true, false, "");
  long long sum = 0;
  for (auto _ : state) {
    handler.GetRec(-3);
    while (!handler.EOFFlag) {
      for (int f = 3; f <= 2 + s.numbers; ++f) sum += static_cast<long long>(handler.GetNumber(f));
      handler.GetRec(-1);
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kDraws);
}

vx::DyadMatrix CountAll(Shape s) {
  TXBaseDataSet& table = Table(kDraws, s);
  vx::DyadMatrix m(s.highest);
  table.DisableControls();
  vx::DataSetDrawSource source(&table);
  source.First();
  vx::CountDyads(source, -1, -1, m);
  table.EnableControls();
  return m;
}

void BM_CountDyads(benchmark::State& state) {
  const Shape s = kShapes[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(CountAll(s).Largest());
  state.SetItemsProcessed(state.iterations() * kDraws);
}

void BM_PackDyads(benchmark::State& state) {
  const Shape s = kShapes[state.range(0)];
  const vx::DyadMatrix m = CountAll(s);
  std::size_t rows = 0;
  for (auto _ : state) rows = vx::PackDyads(m, s.highest, s.numbers, {1, m.Largest()}).size();
  state.counters["rows"] = static_cast<double>(rows);
}

void BM_Compare100000ResultsWith1000Draws(benchmark::State& state) {
  const Shape s = kShapes[0];
  TXBaseDataSet& results = Table(kDraws, s);
  TXBaseDataSet& draws = Table(1000, s);
  const std::array<int, 22> prizes{0, 0, 0, 10, 100, 1000, 100000};
  const vx::ComparisonTexts texts{"In draw", "matches with", "Spent", "Won"};
  std::size_t length = 0;
  for (auto _ : state) {
    std::vector<std::vector<int>> res;
    vx::DataSetDrawSource r(&results);
    for (r.First(); !r.Eof(); r.Next()) {
      auto& row = res.emplace_back(static_cast<std::size_t>(r.NumberCount()));
      for (int p = 0; p < r.NumberCount(); ++p) row[static_cast<std::size_t>(p)] = r.Number(p);
    }
    std::vector<vx::ComparedDraw> dr;
    vx::DataSetDrawSource d(&draws);
    for (d.First(); !d.Eof(); d.Next()) {
      auto& x = dr.emplace_back();
      x.label = std::to_string(d.Year()) + " year " + std::to_string(d.Draw()) + " draw ";
      for (int p = 0; p < d.NumberCount(); ++p) x.numbers.push_back(d.Number(p));
    }
    length = vx::CompareResults(res, dr, state.range(0), prizes, 1, texts).text.size();
  }
  state.counters["report_bytes"] = static_cast<double>(length);
}

// The counting and the report alone, from numbers already read.
void BM_CompareOnly(benchmark::State& state) {
  std::vector<std::vector<int>> res;
  std::vector<vx::ComparedDraw> dr;
  std::uint32_t seed = 99;
  auto next = [&seed] { return static_cast<int>(((std::uint64_t(seed = seed * 134775813u + 1u)) * 49) >> 32) + 1; };
  auto six = [&next] {
    std::vector<int> v;
    while (v.size() < 6)
      if (const int x = next(); std::find(v.begin(), v.end(), x) == v.end()) v.push_back(x);
    return v;
  };
  for (int r = 0; r < kDraws; ++r) res.push_back(six());
  for (int d = 0; d < 1000; ++d) dr.push_back({"1000 year " + std::to_string(d + 1) + " draw ", six()});
  const std::array<int, 22> prizes{0, 0, 0, 10, 100, 1000, 100000};
  const vx::ComparisonTexts texts{"In draw", "matches with", "Spent", "Won"};
  for (auto _ : state)
    benchmark::DoNotOptimize(vx::CompareResults(res, dr, static_cast<int>(state.range(0)), prizes, 1, texts).won);
}

// 0 intervals, 1 digital roots, 2 filling, 3 sums, 4 pairs; the range is
// the whole table.
void BM_Statistic(benchmark::State& state) {
  TXBaseDataSet& table = Table(kDraws, kShapes[0]);
  table.DisableControls();
  vx::DataSetDrawSource source(&table);
  table.Last();
  const int yearTo = source.Year(), drawTo = source.Draw();
  table.First();
  const int yearFrom = source.Year(), drawFrom = source.Draw();
  std::size_t cells = 0;
  for (auto _ : state) {
    table.First();
    switch (state.range(0)) {
      case 0: cells = vx::IntervalStatistic(source, yearTo, drawTo, 49).Table.Values.size(); break;
      case 1: cells = vx::NonaryStatistic(source).Table.Values.size(); break;
      case 2: {
        vx::DrawRows rows;
        vx::SeekDraw(source, yearTo, drawTo, nullptr, [&rows](vx::DrawSource& s) { rows.Add(s); });
        cells = vx::FillingStatistic(rows, yearFrom, drawFrom, 6, 49, nullptr).Statistic.Table.Values.size();
        break;
      }
      case 3: cells = vx::SumsStatistic(source, yearTo, drawTo).Table.Values.size(); break;
      default: cells = vx::PairsStatistic(source, yearTo, drawTo, 49).Table.Values.size(); break;
    }
  }
  table.EnableControls();
  state.counters["cells"] = static_cast<double>(cells);
  state.SetItemsProcessed(state.iterations() * kDraws);
}

}  // namespace

BENCHMARK(BM_Statistic)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareOnly)->Arg(3)->Arg(7)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HandlerWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountDyads)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackDyads)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compare100000ResultsWith1000Draws)->Arg(3)->Arg(7)->Unit(benchmark::kMillisecond)->Iterations(3);
