// Further weight methods of the Probability page — two-stage hot and cold,
// the weighting function, the random-draw system — and the random-draw
// generation of the Generation page (random_draws.cpp does the work).
#include "app/analysis/generation.h"
#include "app/analysis/random_draws.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/main/generation_run.h"
#include "app/settings/language.h"
#include "app/windows/type5_dialog.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/sysutils.h"

void TFormMain::ConnectWeightingCommands() {
  btnCalculate5->OnClick = Command(&TFormMain::btnCalculate5Click);
  btnCalculateFunc1->OnClick = Command(&TFormMain::btnCalculateFunc1Click);
  btnRandDNSys->OnClick = Command(&TFormMain::btnRandDNSysClick);
  btnGenFromRandDNSys->OnClick = Command(&TFormMain::btnGenFromRandDNSysClick);
}

void TFormMain::btnCalculate5Click(TObject*) {
  if (!CheckOpened()) return;
  vx::BusyScope busy(*this);
  bool hotFirst = true;
  if (frmType5) {
    frmType5->ShowModal();
    FirstSample = frmType5->seFirstSample->Value();
    hotFirst = frmType5->rbType1->Checked();
  }
  // A stage that produced nothing (stopped, start missing) ends the method.
  if (!RangeMethod(!hotFirst)) return;
  SetBusy(true);
  std::vector<int> picked;
  if (!PickNumbers(FirstSample, static_cast<int>(Weights.size()), cbxAscend->Checked(), nullptr, picked)) return;
  if (!RangeMethod(hotFirst)) return;
  SetBusy(true);
  for (std::size_t m = 1; m <= Weights.size(); ++m)
    if (std::find(picked.begin(), picked.end(), static_cast<int>(m)) == picked.end()) Weights[m - 1] = 0;
  NormalizeProbabilities();
  ShowProbabilityCount();
}

void TFormMain::btnCalculateFunc1Click(TObject*) {
  if (!CheckOpened()) return;
  vx::BusyScope busy(*this);
  std::fill(Weights.begin(), Weights.end(), 0);
  if (!Seeking(seYearFrom->Value(), seDrawFrom->Value())) return;
  vx::ScanEnd end;
  {
    vx::ControlsDisabled off(TableMain);
    vx::DataSetDrawSource source(TableMain);
    end = vx::WeightByRecency(source, seYearTo->Value(), seDrawTo->Value(), Weights, [this] { return PollStop(); });
  }
  if (end == vx::ScanEnd::Stopped) return;
  if (end == vx::ScanEnd::EndOfBase) vx::WarnEndOfBase();
  ShowProbabilityCount();
}

bool TFormMain::ReadRangeDraws(std::vector<std::vector<int>>& rows) {
  if (!Seeking(seYearFrom->Value(), seDrawFrom->Value())) return false;
  vx::ScanEnd end;
  {
    vx::ControlsDisabled off(TableMain);
    vx::DataSetDrawSource source(TableMain);
    rows = vx::ReadRange(
        source, seYearTo->Value(), seDrawTo->Value(), [this] { return PollStop(); }, end);
  }
  if (end == vx::ScanEnd::Stopped) return false;
  if (end == vx::ScanEnd::EndOfBase) vx::WarnEndOfBase();
  return true;
}

namespace {

// Pumps once and answers the stop flag, stepping the progress bar.
vx::StopPoll Poll(TFormMain& f) {
  return [&f] { return f.PollStop(); };
}

}  // namespace

void TFormMain::btnRandDNSysClick(TObject*) {
  if (!CheckOpened()) return;
  vx::BusyScope busy(*this);
  std::fill(Weights.begin(), Weights.end(), 0);
  std::vector<std::vector<int>> rows;
  if (!ReadRangeDraws(rows)) return;
  mMM->Clear();
  AnsiString log;
  const vx::DrawSystemEnd end =
      vx::RandomDrawSystem(rows, speRDNinOne->Value(), speRandDNSys->Value(), Weights, vx::RuntimeRandom(), Poll(*this),
                           [&log](const AnsiString& line) { log += line + "\r\n"; });
  mMM->SetText(log);
  if (end == vx::DrawSystemEnd::Exhausted) ShowMessage(vx::Tr("Слишком мало номеров"_cp));
}

void TFormMain::btnGenFromRandDNSysClick(TObject*) {
  GenerateFromRDN(seDrawn->Value(), speRDNinOne->Value(), seHighest->Value(), seVol->Value());
}

void TFormMain::GenerateFromRDN(int k, int perDraw, int n, int count) {
  if (!CheckOpened()) return;
  if (n < k) {
    ShowMessage(vx::Tr("Число выборки меньше объема выборки"_cp));
    return;
  }
  if (!OpenTempResults(k)) return;
  vx::BusyScope busy(*this);
  std::vector<std::vector<int>> rows;
  if (!ReadRangeDraws(rows)) return;
  vx::GenerationRun run(*this);
  AnsiString log;
  const vx::DrawSystemEnd end = vx::GenerateFromDraws(
      rows, k, perDraw, n, count, vx::RuntimeRandom(), Poll(*this),
      [&log](const AnsiString& line) {
        if (line.empty()) log.clear();
        else log += line + "\r\n";
      },
      [this, k, n](const std::vector<int>& c) { return CheckGenerationConditions(k, n, c); },
      [this](int c, const std::vector<int>& combination) {
        lblCurrDrawGen->SetCaption(IntToStr(c));
        AppendResult(c, combination);
        TableRes->Post();
      });
  mMM->SetText(log);
  if (end == vx::DrawSystemEnd::Exhausted) ShowMessage(vx::Tr("Слишком мало номеров"_cp));
  if (end != vx::DrawSystemEnd::Done) return;
  ResToSGridRes();
  lblCurrDrawGen->SetCaption("");
  ShowPage(tsResult);
}
