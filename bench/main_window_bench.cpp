// The hot-numbers command ("Горячие") over a 100,000-draw base through the
// real main window (offscreen, shown), exactly as a click runs it: once with
// the data-aware draw grid attached to the base, as the user has it, and
// once with the grid detached. The grid's following of the data set and the
// message pump of the long loop may make the first at most twice as slow
// as the second.
//
// Generation of 10 combinations of 6 of 49 under a coincidence condition,
// through the window and through the bare functions on the same tables,
// with the generator reseeded from the same counting clock (so both draw
// the same candidates):
// - at most 4 coincidences with every draw of the 100,000-draw base,
//   weights all 100: a click of "Генерация";
// - at most 2 coincidences with every record of a 10,000-record results
//   table opened in the window: the command's generation loop under the
//   command guard and the busy state (the click itself starts from a fresh,
//   empty results table). Only 1..24 carry a weight and every record holds
//   two of them, so each candidate meets every record and only the
//   combinations accepted earlier in the run reject one.
//
// Each statistic of the Statistics page over the whole base (100,000
// draws), a click of "Рассчитать" that fills the grid, beside a bare
// table-handler walk over the same file reading every number: each may take
// at most five times the walk.
//
// The check of the base ("Проверить") over the same 100,000 draws, as a
// click runs it with the draw grid attached: three walks of the table and
// the closing count of errors (none).
//
// The program's windows are started once in a scratch program folder; the
// base "lm.dbf" (6 of 49, listed in the default options) is written as raw
// dBase III bytes and opened through the window, which builds its index.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/analysis/generation.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/main/startup.h"
#include "bench/draw_table.h"
#include "platform/db/data_source.h"
#include "platform/db/dataset.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/dialogs.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/random.h"
#include "tables/handler/xbo_dbhandler.h"

namespace {

constexpr int kDraws = 100'000;
constexpr int kPerYear = 100;
constexpr int kResults = 10'000;
constexpr int kVariants = 10;

std::filesystem::path Folder() { return std::filesystem::temp_directory_path() / "vx_bench_main_window"; }

// Starts the windows and opens the base once for the whole run.
TFormMain& Window() {
  static TFormMain* form = [] {
    const auto folder = Folder();
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

// The generator reseeds from 1, 2, 3, ... while this lives.
class CountingClock {
 public:
  CountingClock() {
    vx::SetRandomizeSource([seed = 1u]() mutable { return seed++; });
  }
  ~CountingClock() { vx::SetRandomizeSource(nullptr); }
  CountingClock(const CountingClock&) = delete;
  CountingClock& operator=(const CountingClock&) = delete;
};

// The Generation page for a run: `weighted` numbers 1.. weigh 100, the
// rest 0; one coincidence box checked with its upper bound; the draw grid
// attached to the base.
void SetUpGeneration(TFormMain& f, int weighted, TCheckBox* box, TSpinEdit* upper, int bound) {
  f.DBGridMain->SetDataSource(f.DataSourceMain);
  std::fill(f.Weights.begin(), f.Weights.end(), 0);
  std::fill_n(f.Weights.begin(), weighted, 100);
  f.seDrawn->SetValue(6);
  f.seHighest->SetValue(49);
  f.seVol->SetValue(kVariants);
  for (TCheckBox* b : {f.cbxAmountMustBe, f.cbxCointLess, f.cbxCointLessRes, f.cbxRowNumRange}) b->SetChecked(false);
  f.cbxAscend->SetChecked(true);
  box->SetChecked(true);
  upper->SetValue(bound);
}

// Results: two numbers of 1..24, then four of 25..49.
std::vector<int> ResultRow(std::uint32_t& seed) {
  std::vector<int> row;
  auto next = [&seed](int range) {
    seed = seed * 134775813u + 1u;
    return static_cast<int>((std::uint64_t(seed) * static_cast<std::uint32_t>(range)) >> 32);
  };
  while (row.size() < 6) {
    const int v = row.size() < 2 ? next(24) + 1 : next(25) + 25;
    if (std::find(row.begin(), row.end(), v) == row.end()) row.push_back(v);
  }
  return row;
}

// Rewrites the results table and opens it in TableRes.
void FreshResults(TFormMain& f) {
  const std::string path = (Folder() / "res10000.dbf").string();
  f.TableRes->Close();
  std::uint32_t seed = 4242;
  vx::bench::WriteNumberTable(path, kResults, 6, kPerYear, [&seed](int) { return ResultRow(seed); });
  f.OpenTableAs(f.TableRes, path);
}

void BM_GenerateUnderDrawCoincidences_Command(benchmark::State& state) {
  TFormMain& f = Window();
  if (!f.TableMain->Active()) return state.SkipWithError("the base did not open");
  SetUpGeneration(f, 49, f.cbxCointLess, f.speCointLess, 4);
  for (auto _ : state) {
    CountingClock clock;
    f.btnGenerate->Click();
    if (f.Busy || !f.TableRes->Active() || f.TableRes->RecordCount() != kVariants)
      state.SkipWithError("the command did not finish");
  }
  f.cbxCointLess->SetChecked(false);
}

void BM_GenerateUnderDrawCoincidences_Bare(benchmark::State& state) {
  TFormMain& f = Window();
  if (!f.TableMain->Active()) return state.SkipWithError("the base did not open");
  const vx::Weights weights(49, 100);
  int candidates = 0;
  for (auto _ : state) {
    CountingClock clock;
    candidates = 0;
    vx::ControlsDisabled off(f.TableMain);
    vx::DataSetDrawSource source(f.TableMain);
    const vx::CoincidenceTable draws(source);
    std::vector<int> c;
    for (int accepted = 0; accepted < kVariants; ++candidates) {
      vx::RandomNumbers(6, 49, weights, true, vx::RuntimeRandom(), nullptr, c);
      if (!draws.Outside(c, 4, 0)) ++accepted;
    }
  }
  state.counters["candidates"] = candidates;
}

void BM_GenerateUnderResultCoincidences_Command(benchmark::State& state) {
  TFormMain& f = Window();
  SetUpGeneration(f, 24, f.cbxCointLessRes, f.speCointLessRes, 2);
  for (auto _ : state) {
    state.PauseTiming();
    FreshResults(f);
    state.ResumeTiming();
    CountingClock clock;
    bool done = false;
    f.Command([&](TObject*) {
      vx::BusyScope busy(f);
      done = f.GenerateVariants(6, 49, kVariants);
      vx::PostPending(f.TableRes);
    })(nullptr);
    if (!done || f.TableRes->RecordCount() != kResults + kVariants) state.SkipWithError("the run did not finish");
  }
  f.cbxCointLessRes->SetChecked(false);
}

void BM_GenerateUnderResultCoincidences_Bare(benchmark::State& state) {
  TFormMain& f = Window();
  vx::Weights weights(49, 0);
  std::fill_n(weights.begin(), 24, 100);
  int candidates = 0;
  for (auto _ : state) {
    state.PauseTiming();
    FreshResults(f);
    state.ResumeTiming();
    CountingClock clock;
    candidates = 0;
    vx::ControlsDisabled off(f.TableRes);
    vx::DataSetDrawSource source(f.TableRes);
    vx::CoincidenceTable results(source);
    std::vector<int> c;
    for (int accepted = 0; accepted < kVariants; ++candidates) {
      vx::RandomNumbers(6, 49, weights, true, vx::RuntimeRandom(), nullptr, c);
      if (results.Outside(c, 2, 0)) continue;
      ++accepted;
      results.Append(c);
    }
  }
  state.counters["candidates"] = candidates;
}

void BM_HandlerWalk(benchmark::State& state) {
  Window();
  XBO_dBHandler handler((Folder() / "lm.dbf").string(), true, false, "");
  long long sum = 0;
  for (auto _ : state) {
    handler.GetRec(-3);
    while (!handler.EOFFlag) {
      for (int f = 1; f <= 8; ++f) sum += static_cast<long long>(handler.GetNumber(f));
      handler.GetRec(-1);
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kDraws);
}

// 0 intervals, 1 digital roots, 2 filling, 3 sums, 4 pairs.
void BM_StatisticThroughTheWindow(benchmark::State& state) {
  TFormMain& f = Window();
  if (!f.TableMain->Active()) return state.SkipWithError("the base did not open");
  f.DBGridMain->SetDataSource(f.DataSourceMain);
  f.seDrawn->SetValue(6);
  f.seHighest->SetValue(49);
  TRadioButton* const choices[] = {f.rbtnAverInterval, f.rbtnNonary, f.rbtnFilled, f.rbtnAmounts, f.rbtnPairs};
  choices[state.range(0)]->SetChecked(true);
  const int rows[] = {50, kDraws + 1, 7, kDraws + 1, 50};
  for (auto _ : state) {
    f.btnCalculateStat->Click();
    if (f.Busy || f.SGrid->RowCount() != rows[state.range(0)]) state.SkipWithError("the statistic did not finish");
  }
  state.SetItemsProcessed(state.iterations() * kDraws);
}

void BM_CheckBaseThroughTheWindow(benchmark::State& state) {
  TFormMain& f = Window();
  if (!f.TableMain->Active()) return state.SkipWithError("the base did not open");
  f.DBGridMain->SetDataSource(f.DataSourceMain);
  for (int i = 0; i < 20; ++i) Application->ProcessMessages();
  vx::ScriptedDialogs dialogs;
  for (auto _ : state) {
    dialogs.Expect(vx::DialogKind::Message, ": 0", mrOk);
    f.mnuCheckBase->Click();
    if (!dialogs.Done()) state.SkipWithError("the check did not end with its count");
  }
  state.SetItemsProcessed(state.iterations() * kDraws);
}

}  // namespace

BENCHMARK(BM_HandlerWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatisticThroughTheWindow)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CheckBaseThroughTheWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HotThroughTheWindow_GridAttached)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HotThroughTheWindow_GridDetached)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GenerateUnderDrawCoincidences_Command)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GenerateUnderDrawCoincidences_Bare)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GenerateUnderResultCoincidences_Command)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GenerateUnderResultCoincidences_Bare)->Unit(benchmark::kMillisecond)->Iterations(3);
