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
#include <fstream>
#include <memory>
#include <string>

#include "app/bases/draw_base.h"
#include "app/main/probability.h"
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

void Put(std::string& rec, std::size_t at, int width, long value) {
  std::string text = std::to_string(value);
  rec.replace(at + static_cast<std::size_t>(width) - text.size(), text.size(), text);
}

// 1,000,000 draws, 900 per year, numbers from a fixed generator.
void WriteTable(const std::string& path) {
  const int fields = 2 + kNumbers;
  const int headerLength = 32 + 32 * fields + 1;
  const int recordLength = 1 + 9 + 9 + 15 * kNumbers;
  std::string header(static_cast<std::size_t>(headerLength), '\0');
  header[0] = 0x03;
  header[1] = 124;
  header[2] = 1;
  header[3] = 1;
  for (int i = 0; i < 4; ++i) header[4 + i] = static_cast<char>((kDraws >> (8 * i)) & 0xFF);
  header[8] = static_cast<char>(headerLength & 0xFF);
  header[9] = static_cast<char>(headerLength >> 8);
  header[10] = static_cast<char>(recordLength & 0xFF);
  header[11] = static_cast<char>(recordLength >> 8);
  for (int f = 0; f < fields; ++f) {
    const std::string name = f == 0 ? "YEAR" : f == 1 ? "DRAW" : "P" + std::to_string(f - 1);
    char* d = header.data() + 32 + 32 * f;
    name.copy(d, name.size());
    d[11] = 'N';
    d[16] = static_cast<char>(f < 2 ? 9 : 15);
  }
  header[static_cast<std::size_t>(headerLength - 1)] = 0x0D;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << header;
  std::uint32_t seed = 12345;
  std::string rec(static_cast<std::size_t>(recordLength), ' ');
  for (int i = 0; i < kDraws; ++i) {
    rec.assign(static_cast<std::size_t>(recordLength), ' ');
    Put(rec, 1, 9, 1000 + i / 900);
    Put(rec, 10, 9, i % 900 + 1);
    for (int k = 0; k < kNumbers; ++k) {
      seed = seed * 134775813u + 1u;
      Put(rec, 19 + 15 * static_cast<std::size_t>(k), 15, static_cast<long>((std::uint64_t(seed) * 49) >> 32) + 1);
    }
    out << rec;
  }
  out << '\x1a';
}

TXBaseDataSet& Table() {
  static std::unique_ptr<TXBaseDataSet> table = [] {
    const std::string path = Folder() + "million.dbf";
    std::filesystem::remove(Folder() + "million.cdx");
    WriteTable(path);
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
