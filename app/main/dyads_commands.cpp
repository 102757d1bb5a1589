// The Dyads page: counting pairs over a range, listing the pairs of a
// window, packing them into combinations and weights from them (dyads.cpp
// does the work).
#include "app/analysis/dyads.h"
#include "app/analysis/probability.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "platform/rtl/sysutils.h"

namespace {

vx::DyadWindow Window(TFormMain& f) {
  return {f.seDyadsProbabilityGreater->Value(), f.seDyadsProbabilityLess->Value()};
}

}  // namespace

void TFormMain::ConnectDyadCommands() {
  btnCalcDyads->OnClick = Command(&TFormMain::btnCalcDyadsClick);
  btnShowDyads->OnClick = Command(&TFormMain::btnShowDyadsClick);
  btnCreateComb->OnClick = Command(&TFormMain::btnCreateCombClick);
  btnAmountCorTo->OnClick = Command(&TFormMain::btnAmountCorToClick);
  btnCalcIndNumber->OnClick = Command(&TFormMain::btnCalcIndNumberClick);
}

void TFormMain::btnCalcDyadsClick(TObject*) {
  if (!CheckOpened()) return;
  Dyads = vx::DyadMatrix(HighestNumber);
  vx::BusyScope busy(*this);
  if (!Seeking(seYearFromDyads->Value(), seDrawFromDyads->Value())) return;
  vx::ScanEnd end;
  {
    vx::ControlsDisabled off(TableMain);
    vx::DataSetDrawSource source(TableMain);
    end = vx::CountDyads(source, seYearToDyads->Value(), seDrawToDyads->Value(), Dyads);
  }
  if (end == vx::ScanEnd::EndOfBase) vx::WarnEndOfBase();
  lblMaxDyadsProbabilityValue->SetCaption(IntToStr(Dyads.Largest()));
  seDyadsProbabilityLess->SetValue(Dyads.Largest());
  int count = 0;
  mMM->SetText(mMM->Text() + vx::DyadLines(Dyads, HighestNumber, {1, INT32_MAX}, count));
}

void TFormMain::btnShowDyadsClick(TObject*) {
  int count = 0;
  mMM->SetText(vx::DyadLines(Dyads, HighestNumber, Window(*this), count));
  lblDyadsCount->SetCaption(IntToStr(count));
}

void TFormMain::btnCreateCombClick(TObject*) {
  const int drawn = DrawnCount;
  if (drawn < 2) {
    ShowMessage(vx::Tr("Слишком мало номеров"_cp));
    return;
  }
  std::vector<std::vector<int>> rows;
  {
    vx::BusyScope busy(*this);
    rows = vx::PackDyads(Dyads, HighestNumber, drawn, Window(*this));
  }
  AnsiString text;
  for (const auto& row : rows) {
    for (int v : row) text += " " + IntToStr(v);
    text += "\r\n";
  }
  mMM->SetText(text);
  CombosToResults(drawn, std::move(rows));
}

void TFormMain::CombosToResults(int drawn, std::vector<std::vector<int>> rows) {
  if (cbxAscend->Checked())
    for (std::vector<int>& row : rows) std::sort(row.begin(), row.end());
  RowsToResults(drawn, rows);
}

void TFormMain::btnAmountCorToClick(TObject*) {
  vx::DyadWeights(Dyads, Window(*this), Weights);
  AnsiString text;
  for (std::size_t n = 0; n < Weights.size(); ++n)
    text += IntToStr(static_cast<int>(n + 1)) + "-" + IntToStr(Weights[n]) + "\r\n";
  mMM->SetText(text);
}
