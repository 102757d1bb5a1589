// "Упорядочить": every draw of the open base, from the first to the last,
// goes into a fresh temporary results table with its year and draw and its
// numbers in ascending order, each number once (a draw that repeats a
// number fills fewer fields). The results page then shows them.
#include <algorithm>

#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "platform/db/field.h"

void TFormMain::mnuRegularizeClick(TObject*) {
  // A closed base cannot be modified either: the temporary results stay.
  if (!TableMain->Active() || !TableMain->CanModify()) {
    ShowMessage(vx::Tr("База либо не открыта,либо уже используется другим приложением"_cp));
    return;
  }
  // Every number field of the table takes part, whatever the options say
  // of the base's shape.
  const int numberFields = TableMain->FieldCount() - 2;
  if (!OpenTempResults(numberFields)) return;
  {
    vx::ControlsDisabled mainOff(TableMain);
    vx::ControlsDisabled resOff(TableRes);
    std::vector<int> numbers;
    for (TableMain->First(); !TableMain->Eof(); TableMain->Next()) {
      numbers.clear();
      for (int k = 0; k < numberFields; ++k) numbers.push_back(TableMain->Fields()[k + 2]->AsInteger());
      std::sort(numbers.begin(), numbers.end());
      numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
      AppendResult(TableMain->Fields()[0]->AsInteger(), TableMain->Fields()[1]->AsInteger(), numbers);
    }
    vx::PostPending(TableRes);
  }
  ResToSGridRes();
  ShowPage(tsResult);
}
