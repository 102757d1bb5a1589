// The hot-numbers command ("Горячие") over a 100,000-draw base through the
// real main window (offscreen, shown), exactly as a click runs it: once with
// the data-aware draw grid attached to the base, as the user has it, and
// once with the grid detached. The grid's following of the data set and the
// message pump of the long loop may make the first at most twice as slow
// as the second.
//
// The program's windows are started once in a scratch program folder; the
// base "lm.dbf" (6 of 49, listed in the default options) is written as raw
// dBase III bytes and opened through the window, which builds its index.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/main/formmain.h"
#include "app/main/startup.h"
#include "bench/draw_table.h"
#include "platform/db/data_source.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/os/program_folder.h"

namespace {

constexpr int kDraws = 100'000;
constexpr int kPerYear = 100;

// Starts the windows and opens the base once for the whole run.
TFormMain& Window() {
  static TFormMain* form = [] {
    const auto folder = std::filesystem::temp_directory_path() / "vx_bench_main_window";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    vx::SetProgramFolder(folder.string());
    vx::bench::WriteDrawTable((folder / "lm.dbf").string(), kDraws, 6, 49, kPerYear);
    static vx::ScriptedDialogs dialogs;
    dialogs.Expect(vx::DialogKind::Message, "Choose language", mrOk);
    dialogs.Expect(vx::DialogKind::Open, "", 0);
    vx::CreateStartupForms();
    Application->SetPumpInterval(5);
    FormMain->Show();
    dialogs.Expect(vx::DialogKind::Message, "", mrOk);  // the index is built now
    FormMain->SetRecentFile((folder / "lm.dbf").string());
    FormMain->RecentFileItem()->Click();
    FormMain->seYearFrom->SetValue(1000);
    FormMain->seDrawFrom->SetValue(1);
    FormMain->seYearTo->SetValue(1000 + (kDraws - 1) / kPerYear);
    FormMain->seDrawTo->SetValue((kDraws - 1) % kPerYear + 1);
    return FormMain;
  }();
  return *form;
}

void RunHot(benchmark::State& state, bool gridAttached) {
  TFormMain& f = Window();
  if (!f.TableMain->Active()) return state.SkipWithError("the base did not open");
  f.DBGridMain->SetDataSource(gridAttached ? f.DataSourceMain : nullptr);
  for (int i = 0; i < 20; ++i) Application->ProcessMessages();
  for (auto _ : state) {
    f.btnCalculate1->Click();
    if (f.Busy || f.ShowProbabilityCount() != 49) state.SkipWithError("the command did not finish");
  }
  state.SetItemsProcessed(state.iterations() * kDraws);
}

void BM_HotThroughTheWindow_GridAttached(benchmark::State& state) { RunHot(state, true); }
void BM_HotThroughTheWindow_GridDetached(benchmark::State& state) { RunHot(state, false); }

}  // namespace

BENCHMARK(BM_HotThroughTheWindow_GridAttached)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HotThroughTheWindow_GridDetached)->Unit(benchmark::kMillisecond)->Iterations(3);
