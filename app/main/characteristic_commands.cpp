// "Рассчитать" of the page "Хар.Числа": the derived and characteristic
// numbers of the chosen draw (characteristic.cpp does the work).
#include "app/analysis/characteristic.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "platform/db/field.h"

void TFormMain::btnCalcIndNumberClick(TObject*) {
  if (!CheckOpened()) return;
  vx::BusyScope busy(*this);
  if (!Seeking(seYearIndNumber->Value(), seDrawIndNumber->Value())) return;
  std::vector<int> numbers;
  for (int i = 2; i < TableMain->FieldCount(); ++i) numbers.push_back(TableMain->Fields()[i]->AsInteger());
  if (numbers.size() < 2) {
    ShowMessage(vx::Tr("Слишком мало номеров"_cp));
    return;
  }
  lblReal->SetCaption(vx::NumbersWithBlanks(numbers));

  AnsiString derived;
  for (long long d : vx::DerivedNumbers(numbers)) derived += (derived.empty() ? "" : ",") + std::to_string(d);
  lblNoName->SetCaption(vx::Tr("Производные числа"_cp) + " : " + derived);
  edCheck->SetText(derived);

  auto show = [](TMemo* memo, const vx::DifferenceTriangle& t) {
    AnsiString text;
    for (const auto& level : t.levels) text += vx::NumbersWithBlanks(level) + "\r\n";
    memo->SetText(text);
  };
  const vx::DifferenceTriangle real = vx::MakeDifferenceTriangle(numbers);
  show(mTempReal, real);
  std::vector<int> sorted = numbers;
  std::stable_sort(sorted.begin(), sorted.end());
  lblIncr->SetCaption(vx::NumbersWithBlanks(sorted));
  const vx::DifferenceTriangle ascending = vx::MakeDifferenceTriangle(sorted);
  show(mTempIncr, ascending);
  lblIndNumbers->SetCaption(vx::Tr("Характеристические числа"_cp) + " : " + ascending.characteristic + " ; " +
                            real.characteristic);
}
