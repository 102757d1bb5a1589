// The Generation page's commands: weighted combinations under the sum,
// coincidence and per-position conditions into the temporary results
// table, and forming one combination from the digits of a draw (page
// "Хар.Числа"). The work itself lives in generation.cpp.
#include <optional>
#include <tuple>

#include "app/analysis/generation.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/main/generation_run.h"
#include "app/settings/language.h"
#include "platform/db/field.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/sysutils.h"

void TFormMain::ConnectGenerationCommands() {
  btnGenerate->OnClick = Command(&TFormMain::btnGenerateClick);
  btnForming->OnClick = Command(&TFormMain::btnFormingClick);
}

bool TFormMain::PickNumbers(int k, int n, bool ascending, const PositionRanges* byRow, std::vector<int>& combination) {
  vx::PositionRange ranges;
  if (byRow) {
    ranges = [byRow](int position, int& lo, int& hi) {
      std::tie(lo, hi) = (*byRow)[static_cast<std::size_t>(position - 1)];
    };
  }
  const bool picked = vx::RandomNumbers(
      k, n, Weights, ascending, vx::RuntimeRandom(),
      [this] {
        const auto now = std::chrono::steady_clock::now();
        if (now - pickPumpedAt_ >= std::chrono::milliseconds(10)) {
          pickPumpedAt_ = now;
          Application->ProcessMessages();
        }
        return StopFlag;
      },
      combination, ranges);
  PBar->StepIt();
  return picked;
}

bool TFormMain::ReadPositionRanges(int k, PositionRanges& ranges) {
  ranges.assign(static_cast<std::size_t>(std::max(k, 0)), {0, 0});
  try {
    for (int position = 1; position <= k; ++position) {
      auto& [lo, hi] = ranges[static_cast<std::size_t>(position - 1)];
      if (RowNumRange) RowNumRange(position, lo, hi);
      else lo = hi = StrToInt("");  // an empty cell
    }
  } catch (Exception& e) {
    Application->ShowException(e);
    return false;
  }
  return true;
}

// Outside a generating command a check is a run of its own: the table is
// read for this one combination.
bool TFormMain::CoincidesWithDrawBase(int, const std::vector<int>& combination, int upper, int lower) {
  if (!CheckOpened()) return false;
  std::optional<vx::GenerationRun> once;
  if (!CurrentGenerationRun) once.emplace(*this);
  return CurrentGenerationRun->Draws().Outside(combination, upper, lower);
}

bool TFormMain::CoincidesWithResultsBase(int, const std::vector<int>& combination, int upper, int lower) {
  if (!TableRes->Active()) return false;
  std::optional<vx::GenerationRun> once;
  if (!CurrentGenerationRun) once.emplace(*this);
  return CurrentGenerationRun->Results().Outside(combination, upper, lower);
}

bool TFormMain::CheckGenerationConditions(int k, int, const std::vector<int>& combination) {
  if (cbxAmountMustBe->Checked()) {
    long long sum = 0;
    for (int i = 0; i < k && i < static_cast<int>(combination.size()); ++i)
      sum += combination[static_cast<std::size_t>(i)];
    lblCurrentAmount->SetCaption(IntToStr(sum));
    lblCurrentAmount->Repaint();
    if (sum < speAmountMustBeGreater->Value() || sum > speAmountMustBeLess->Value()) return false;
  }
  if (cbxCointLess->Checked() && CoincidesWithDrawBase(k, combination, speCointLess->Value(), speCointGreater->Value()))
    return false;
  if (cbxCointLessRes->Checked() &&
      CoincidesWithResultsBase(k, combination, speCointLessRes->Value(), speCointGreaterRes->Value()))
    return false;
  return true;
}

void TFormMain::btnGenerateClick(TObject*) {
  const int k = seDrawn->Value(), n = seHighest->Value();
  if (k > n) {
    ShowMessage(vx::Tr("Число выборки меньше объема выборки"_cp));
    return;
  }
  if (ShowProbabilityCount() < k) {
    ShowMessage(vx::Tr("Номеров с ненулевой вероятностью меньше выбираемых номеров!"_cp));
    return;
  }
  // The ranges are read before the results table is made anew: a missing
  // one refuses the command and leaves the previous results as they are.
  PositionRanges ranges;
  if (cbxRowNumRange->Checked() && !ReadPositionRanges(k, ranges)) return;
  // The draw base of the coincidence condition is checked for the same
  // reason: without it the command stops with one message. (The results
  // table of the other condition is the one this command makes.)
  if (cbxCointLess->Checked() && !CheckOpened()) return;
  vx::BusyScope busy(*this);
  const int wanted = seVol->Value();
  if (!OpenTempResults(k)) return;
  const bool done = GenerateVariants(k, n, wanted, cbxRowNumRange->Checked() ? &ranges : nullptr);
  // Stopped or not, the combinations accepted so far stay, every one posted.
  vx::PostPending(TableRes);
  if (!done) return;
  ResToSGridRes();
  lblCurrDrawGen->SetCaption("");
  ShowPage(tsResult);
}

bool TFormMain::GenerateVariants(int k, int n, int wanted, const PositionRanges* byRow) {
  vx::GenerationRun run(*this);
  std::vector<int> combination;
  int accepted = 0;
  while (accepted < wanted) {
    if (!PickNumbers(k, n, cbxAscend->Checked(), byRow, combination)) return false;
    if (!CheckGenerationConditions(k, n, combination)) continue;
    ++accepted;
    AppendResult(accepted, combination);
    lblCurrDrawGen->SetCaption(IntToStr(accepted));
  }
  return true;
}

void TFormMain::btnFormingClick(TObject*) {
  const AnsiString caption = vx::Tr("Составляющие"_cp) + " : ";
  lblForming->SetCaption(caption);
  mTempReal->Clear();
  if (!CheckOpened()) return;
  vx::BusyScope busy(*this);
  if (!Seeking(seYearIndNumber->Value(), seDrawIndNumber->Value())) return;
  std::vector<int> draw;
  for (int i = 2; i < TableMain->FieldCount(); ++i) draw.push_back(TableMain->Fields()[i]->AsInteger());
  const vx::FormedCombination formed = vx::FormFromDraw(draw, BaseHighestNumber);
  lblForming->SetCaption(caption + vx::DigitsText(formed.digits) + " - " +
                         IntToStr(static_cast<int>(formed.digits.size())));
  if (!OpenTempResults(static_cast<int>(formed.numbers.size()))) return;
  AppendResult(1, formed.numbers);
  TableRes->Post();
  ResToSGridRes();
  ShowPage(tsResult);
}
