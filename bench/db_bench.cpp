// The framework's own cost per record: a walk with Next and an append with
// Post, with windows of 1 and 30 buffers (a grid of 30 rows).
#include <benchmark/benchmark.h>

#include "platform/db/data_source.h"
#include "tests/platform/db/memory_dataset.h"

namespace {

class Window : public TDataLink {};

std::unique_ptr<TMemoryDataSet> MakeSet(int rows) {
  auto ds = std::make_unique<TMemoryDataSet>(
      std::vector<MemoryFieldSpec>{{"YEAR", ftInteger}, {"DRAW", ftInteger}, {"P1", ftInteger}});
  ds->LogCalls = false;
  for (int i = 0; i < rows; ++i) ds->AddRow({2000 + i / 100, i % 100 + 1, i % 49 + 1});
  return ds;
}

// Links ds through source to a window of the given number of buffers and
// opens it.
void ShowInWindow(TMemoryDataSet& ds, TDataSource& source, Window& link, int buffers) {
  source.SetDataSet(&ds);
  link.SetBufferCount(buffers);
  link.SetDataSource(&source);
  ds.Open();
}

void BM_WalkForward(benchmark::State& state) {
  const int rows = 100000;
  auto ds = MakeSet(rows);
  TDataSource source(nullptr);
  Window link;
  ShowInWindow(*ds, source, link, static_cast<int>(state.range(0)));
  TField* draw = ds->FieldByName("DRAW");
  for (auto _ : state) {
    long long sum = 0;
    for (ds->First(); !ds->Eof(); ds->Next()) sum += draw->AsInteger();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * rows);
  link.SetDataSource(nullptr);
}
BENCHMARK(BM_WalkForward)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond);

void BM_AppendPost(benchmark::State& state) {
  const int rows = 5000;
  for (auto _ : state) {
    state.PauseTiming();
    auto ds = MakeSet(0);
    ds->AppendOnPost = true;
    TDataSource source(nullptr);
    Window link;
    ShowInWindow(*ds, source, link, static_cast<int>(state.range(0)));
    TField* year = ds->FieldByName("YEAR");
    TField* draw = ds->FieldByName("DRAW");
    state.ResumeTiming();
    for (int i = 0; i < rows; ++i) {
      ds->Append();
      year->SetAsInteger(2000);
      draw->SetAsInteger(i + 1);
      ds->Post();
    }
    state.PauseTiming();
    link.SetDataSource(nullptr);
    ds.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_AppendPost)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond);

}  // namespace
