// Hot numbers over a 1,000,000-draw base (6 of 49, tag "INDEX" active):
// through the data set with a progress step and a message pump per record,
// as the command runs it, against the table handler walking the same table
// in the same order with no data set and no pump.
//
// Arguments: the pump's interval in milliseconds (0 pumps at every record;
// 5 is the program's own interval, so the pump costs next to nothing and
// what is left is the data set's own work), and the open mode (0 shared, as
// the program opens its bases; 1 exclusive).
//
// The table is written once per run into the temporary folder (raw dBase
// III bytes) and indexed by the program's own indexing step.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/analysis/probability.h"
#include "app/bases/draw_base.h"
#include "bench/draw_table.h"
#include "platform/gui/controls/comctrls.h"
#include "platform/gui/core/application.h"
#include "tables/dataset/txbasedataset.h"

namespace {

constexpr int kDraws = 1'000'000;
constexpr int kNumbers = 6;

std::string Folder() {
  static const std::string folder = [] {
    auto dir = std::filesystem::temp_directory_path() / "vx_bench_bases";
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
  }();
  return folder;
}

// The data set open on the table (written and indexed on first use) in the
// mode asked for; null closes it, so that the handler can open it alone.
std::unique_ptr<TXBaseDataSet>& OpenTable() {
  static std::unique_ptr<TXBaseDataSet> table;
  return table;
}

TXBaseDataSet* Table(int exclusive) {
  static bool written = false;
  std::unique_ptr<TXBaseDataSet>& table = OpenTable();
  if (table && (exclusive < 0 || table->Exclusive() != (exclusive != 0))) table.reset();
  if (exclusive < 0) {
    if (!written) Table(0);  // written and indexed
    table.reset();
    return nullptr;
  }
  if (table) return table.get();
  table = std::make_unique<TXBaseDataSet>();
  table->SetDatabaseName(Folder());
  table->SetTableName("million.dbf");
  table->SetExclusive(exclusive != 0);
  if (!written) {
    std::filesystem::remove(Folder() + "million.cdx");
    vx::bench::WriteDrawTable(Folder() + "million.dbf", kDraws, kNumbers, 49, 900);
    table->Open();
    vx::Indexing(*table);
    written = true;
  } else {
    table->IndexFiles()->Add(Folder() + "million.cdx");
    table->SetIndexName("INDEX");
    table->Open();
  }
  return table.get();
}

void BM_HotThroughDataSetWithPump(benchmark::State& state) {
  Application->Initialize();
  Application->SetPumpInterval(static_cast<int>(state.range(0)));
  TProgressBar bar(nullptr);
  TXBaseDataSet& table = *Table(static_cast<int>(state.range(1)));
  vx::Weights weights(49, 0);
  for (auto _ : state) {
    std::fill(weights.begin(), weights.end(), 0);
    table.DisableControls();
    vx::DataSetDrawSource source(&table);
    source.First();
    const auto end = vx::CountHot(source, 1000 + (kDraws - 1) / 900, (kDraws - 1) % 900 + 1, weights, [&] {
      bar.StepIt();
      Application->ProcessMessages();
      return false;
    });
    table.EnableControls();
    if (end != vx::ScanEnd::EndDraw) state.SkipWithError("end draw not met");
    benchmark::DoNotOptimize(weights.data());
  }
  state.SetItemsProcessed(state.iterations() * kDraws);
}

void BM_HotThroughHandler(benchmark::State& state) {
  const bool exclusive = state.range(0) != 0;
  Table(-1);  // written and indexed, and closed
  XBO_dBHandler handler(Folder() + "million.dbf", !exclusive, false, "");
  handler.IndexFileOpen(Folder() + "million.cdx");
  handler.SelectTag("INDEX", false);
  vx::Weights weights(49, 0);
  for (auto _ : state) {
    std::fill(weights.begin(), weights.end(), 0);
    handler.GetRec(-3);
    while (!handler.EOFFlag) {
      for (int f = 3; f <= 2 + kNumbers; ++f) {
        const int v = static_cast<int>(handler.GetNumber(f));
        if (v >= 1 && v <= 49) ++weights[static_cast<std::size_t>(v - 1)];
      }
      handler.GetRec(-1);
    }
    benchmark::DoNotOptimize(weights.data());
  }
  state.SetItemsProcessed(state.iterations() * kDraws);
}

}  // namespace

BENCHMARK(BM_HotThroughDataSetWithPump)
    ->ArgNames({"pump_ms", "exclusive"})
    ->Args({0, 0})
    ->Args({5, 0})
    ->Args({5, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_HotThroughHandler)->ArgName("exclusive")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
