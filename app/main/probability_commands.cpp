// The buttons of the Probability page: each runs one method of
// probability.h over the draw base inside the busy state and shows the
// result (the weights' non-zero count, the most probable numbers).
#include "app/analysis/probability.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/sysutils.h"

using vx::ControlsDisabled;
using vx::WarnEndOfBase;

void vx::WarnEndOfBase() {
  MessageDlg(vx::Tr("Достигнут конец базы,не совпадающий с конечным тиражем!"_cp), mtWarning, TMsgDlgButtons{mbCancel});
}

void TFormMain::ConnectProbabilityCommands() {
  btnCalculate1->OnClick = Command(&TFormMain::btnCalculate1Click);
  btnCalculate2->OnClick = Command(&TFormMain::btnCalculate2Click);
  btnCalculate3->OnClick = Command(&TFormMain::btnCalculate3Click);
  btnCalculate4->OnClick = Command(&TFormMain::btnCalculate4Click);
  btnNumForNum->OnClick = Command(&TFormMain::btnNumForNumClick);
  btnShowMaxProbNum->OnClick = Command(&TFormMain::btnShowMaxProbNumClick);
}

bool TFormMain::Seeking(int year, int draw, const std::function<void(vx::DrawSource&)>& each) {
  // Only a command can be stopped: outside one the stop flag stands raised.
  const bool stoppable = Busy;
  vx::SeekResult result;
  {
    ControlsDisabled off(TableMain);
    vx::DataSetDrawSource source(TableMain);
    result = vx::SeekDraw(
        source, year, draw,
        [this, stoppable] {
          PBar->StepIt();
          Application->ProcessMessages();
          return stoppable && StopFlag;
        },
        each);
  }
  PBar->SetPosition(0);
  if (result == vx::SeekResult::NotFound)
    ShowMessage(IntToStr(year) + "/" + IntToStr(draw) + " " + vx::Tr("не найден"_cp));
  return result == vx::SeekResult::Found;
}

void TFormMain::NormalizeProbabilities() { vx::NormalizeProbabilities(Weights); }

void TFormMain::ShowMostProbableNumbers(int count, std::vector<int>& list) {
  lblMaxProbNums->SetCaption("");
  list = vx::MostProbableNumbers(Weights, count);
  lblMaxProbNums->SetCaption(vx::JoinNumbers(list));
}

bool TFormMain::RangeMethod(bool cold) {
  if (!CheckOpened()) {
    SetBusy(false);
    return false;
  }
  SetBusy(true);
  std::fill(Weights.begin(), Weights.end(), 0);
  if (!Seeking(seYearFrom->Value(), seDrawFrom->Value())) {
    SetBusy(false);
    return false;
  }
  vx::ScanEnd end;
  {
    ControlsDisabled off(TableMain);
    vx::DataSetDrawSource source(TableMain);
    end = vx::CountHot(source, seYearTo->Value(), seDrawTo->Value(), Weights, [this] { return PollStop(); });
  }
  if (end == vx::ScanEnd::Stopped) {
    SetBusy(false);
    return false;
  }
  if (end == vx::ScanEnd::EndOfBase) WarnEndOfBase();
  if (cold) vx::MakeCold(Weights);
  NormalizeProbabilities();
  ShowProbabilityCount();
  SetBusy(false);
  return true;
}

void TFormMain::btnCalculate1Click(TObject*) { RangeMethod(false); }

void TFormMain::btnCalculate2Click(TObject*) { RangeMethod(true); }

void TFormMain::btnCalculate3Click(TObject*) {
  SetBusy(true);
  std::fill(Weights.begin(), Weights.end(), 1);
  ShowProbabilityCount();
  SetBusy(false);
}

void TFormMain::btnCalculate4Click(TObject*) {
  if (!CheckOpened()) {
    SetBusy(false);
    return;
  }
  SetBusy(true);
  std::fill(Weights.begin(), Weights.end(), 0);
  if (Seeking(seYearTo->Value(), seDrawTo->Value())) {
    vx::DataSetDrawSource source(TableMain);
    vx::MarkNeighbours(source, Weights);
    ShowProbabilityCount();
  }
  SetBusy(false);
}

void TFormMain::btnNumForNumClick(TObject*) {
  if (!CheckOpened()) {
    SetBusy(false);
    return;
  }
  SetBusy(true);
  if (!Seeking(seYearFrom->Value(), seDrawFrom->Value())) {
    SetBusy(false);
    return;
  }
  std::fill(Weights.begin(), Weights.end(), 0);
  vx::ScanEnd end;
  {
    ControlsDisabled off(TableMain);
    vx::DataSetDrawSource source(TableMain);
    end = vx::CountFollowers(source, seYearTo->Value(), seDrawTo->Value(), BaseHighestNumber, Weights,
                             [this] { return PollStop(); });
  }
  if (end == vx::ScanEnd::Stopped) {
    SetBusy(false);
    return;
  }
  if (end == vx::ScanEnd::EndOfBase) WarnEndOfBase();
  std::vector<int> list;
  ShowMostProbableNumbers(speMaxProbCount->Value(), list);
  NormalizeProbabilities();
  ShowProbabilityCount();
  SetBusy(false);
}

void TFormMain::btnShowMaxProbNumClick(TObject*) {
  std::vector<int> list;
  ShowMostProbableNumbers(speMaxProbCount->Value(), list);
}
