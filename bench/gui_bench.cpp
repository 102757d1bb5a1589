// Visual class library benchmarks (run on Qt's offscreen platform).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/gui/core/application.h"
#include "platform/gui/draw/bitmap.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/controls/stdctrls.h"

#include "platform/db/data_source.h"
#include "platform/gui/grids/dbgrids.h"
#include "tests/platform/db/memory_dataset.h"

namespace {

// A long loop pumps once per record: every call, or coalesced to 5 ms.
void BM_ProcessMessages(benchmark::State& state) {
  Application->Initialize();
  Application->SetPumpInterval(static_cast<int>(state.range(0)));
  auto* form = new TForm(nullptr);
  new TButton(form, form);
  form->Show();
  for (auto _ : state) Application->ProcessMessages();
  delete form;
  Application->SetPumpInterval(5);
}
BENCHMARK(BM_ProcessMessages)->Arg(0)->Arg(5);

void BM_CanvasRectanglesAndText(benchmark::State& state) {
  Application->Initialize();
  TBitmap bmp(400, 300);
  TCanvas* c = bmp.Canvas();
  int i = 0;
  for (auto _ : state) {
    c->Brush()->SetColor(i & 1 ? clRed : clYellow);
    c->Rectangle(i % 300, i % 200, i % 300 + 80, i % 200 + 40);
    c->TextOut(i % 300, i % 200, "Горячие 123"_cp);
    ++i;
  }
}
BENCHMARK(BM_CanvasRectanglesAndText);

// The draw grid following Next through 10,000 records, 20 rows shown.
void BM_DBGridFollowsNext(benchmark::State& state) {
  Application->Initialize();
  std::vector<MemoryFieldSpec> fields{{"YEAR", ftInteger}, {"DRAW", ftInteger}};
  for (int p = 1; p <= 6; ++p) fields.push_back({"P" + std::to_string(p), ftInteger});
  TMemoryDataSet ds(fields);
  ds.LogCalls = false;
  for (int r = 0; r < 10000; ++r) ds.AddRow({2000 + r / 100, r % 100, 1, 2, 3, 4, 5, 6});
  TDataSource source;
  source.SetDataSet(&ds);
  auto* form = new TForm(nullptr);
  auto* grid = new TDBGrid(form, form);
  grid->SetBounds(0, 0, 400, grid->DefaultRowHeight() * 21);
  grid->SetDataSource(&source);
  ds.Open();
  for (auto _ : state) {
    ds.Next();
    if (ds.Eof()) ds.First();
  }
  delete form;
}
BENCHMARK(BM_DBGridFollowsNext);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
