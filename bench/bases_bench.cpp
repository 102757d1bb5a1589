// Hot numbers over a 1,000,000-draw base (6 of 49, tag "INDEX" active):
// through the data set with a progress step and a message pump per record,
// as the command runs it, against the table handler walking the same table
// in the same order with no data set and no pump.
//
// The table is written once per run into the temporary folder (raw dBase
// III bytes) and indexed by the program's own indexing step.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/bases/draw_base.h"
#include "app/main/probability.h"
#include "bench/draw_table.h"
#include "platform/gui/application.h"
#include "platform/gui/comctrls.h"
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

TXBaseDataSet& Table() {
  static std::unique_ptr<TXBaseDataSet> table = [] {
    const std::string path = Folder() + "million.dbf";
    std::filesystem::remove(Folder() + "million.cdx");
    vx::bench::WriteDrawTable(path, kDraws, kNumbers, 49, 900);
    auto t = std::make_unique<TXBaseDataSet>();
    t->SetDatabaseName(Folder());
    t->SetTableName("million.dbf");
    t->Open();
    vx::Indexing(*t);
    return t;
  }();
  return *table;
}

void BM_HotThroughDataSetWithPump(benchmark::State& state) {
  Application->Initialize();
  Application->SetPumpInterval(0);
  TProgressBar bar(nullptr);
  TXBaseDataSet& table = Table();
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
  Table();  // written and indexed
  XBO_dBHandler handler(Folder() + "million.dbf", true, false, "");
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

BENCHMARK(BM_HotThroughDataSetWithPump)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_HotThroughHandler)->Unit(benchmark::kMillisecond)->Iterations(2);
