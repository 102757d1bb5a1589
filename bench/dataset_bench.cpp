// TXBaseDataSet over a 10,000-draw table: a full walk with field reads (the
// application's range scans) and appends through Post (generated results).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "platform/db/data_source.h"
#include "tables/dataset/txbasedataset.h"
#include "tables/dbf/xb_builders.h"

namespace {

AnsiString ChangeFileExtText(const std::string& path) { return path.substr(0, path.size() - 4) + ".cdx"; }

std::string Folder() {
  static const std::string folder = [] {
    auto p = std::filesystem::temp_directory_path() / ("vx-bench-dataset-" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    return p.string() + "/";
  }();
  return folder;
}

void BuildDraws(const std::string& path, int count, bool indexed) {
  XBO_DBFBuild b(path);
  b.AddField("YEAR", 'N', 9, 0);
  b.AddField("DRAW", 'N', 9, 0);
  for (int i = 1; i <= 6; ++i) b.AddField("P" + std::to_string(i), 'N', 15, 0);
  b.Write();
  XBO_dBHandler h(path, false, true, "");
  for (int i = 0; i < count; ++i) {
    const int k = int((long long)i * 7919 % count);
    h.BlankRecord();
    h.PutNumberByName("YEAR", 1990 + k / 200);
    h.PutNumberByName("DRAW", k % 200 + 1);
    for (int p = 1; p <= 6; ++p) h.PutNumberByName("P" + std::to_string(p), (k * p) % 49 + 1);
    h.AppendRecord();
  }
  if (indexed) h.IndexOn(ChangeFileExtText(path), "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
}

struct Opened {
  TXBaseDataSet ds;
  TDataSource source{nullptr};
  TDataLink link;
  Opened(const std::string& table, bool indexed, int buffers) {
    ds.SetDatabaseName(Folder());
    ds.SetTableName(table);
    if (indexed) {
      ds.IndexFiles()->Add(table.substr(0, table.size() - 4) + ".cdx");
      ds.SetIndexName("INDEX");
    }
    source.SetDataSet(&ds);
    link.SetBufferCount(buffers);
    link.SetDataSource(&source);
    ds.Open();
  }
};

}  // namespace

static void BM_Walk(benchmark::State& state) {
  const bool indexed = state.range(0) != 0;
  const int buffers = int(state.range(1));
  const std::string table = indexed ? "walki.dbf" : "walkn.dbf";
  if (!std::filesystem::exists(Folder() + table)) BuildDraws(Folder() + table, 10000, indexed);
  Opened o(table, indexed, buffers);
  long long sum = 0;
  for (auto _ : state) {
    o.ds.First();
    while (!o.ds.Eof()) {
      sum += o.ds.FieldByName("P1")->AsInteger();
      o.ds.Next();
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Walk)->Args({0, 1})->Args({0, 30})->Args({1, 1})->Args({1, 30})->Unit(benchmark::kMillisecond);

static void BM_AppendPost(benchmark::State& state) {
  const bool indexed = state.range(0) != 0;
  const std::string table = indexed ? "appi.dbf" : "appn.dbf";
  BuildDraws(Folder() + table, 0, indexed);
  Opened o(table, indexed, 30);
  int n = 0;
  for (auto _ : state) {
    o.ds.Append();
    o.ds.FieldByName("YEAR")->SetAsInteger(2000 + n / 100);
    o.ds.FieldByName("DRAW")->SetAsInteger(n % 100 + 1);
    o.ds.Post();
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AppendPost)->Arg(0)->Arg(1)->Iterations(2000)->Unit(benchmark::kMicrosecond);
