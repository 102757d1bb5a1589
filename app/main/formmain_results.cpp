// The main window's results base: opening a results table, the temporary
// results table that every generating command refills, closing, deleting
// and duplicating records, copying real draws into it, saving it under a
// name, the comparison of results with draws and the hidden results and
// tickets grids.
#include "app/analysis/comparison.h"
#include "app/analysis/probability.h"
#include "app/bases/base_grids.h"
#include "app/bases/draw_base.h"
#include "app/bases/newbase_dialogs.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/main/generation_run.h"
#include "app/settings/language.h"
#include "app/settings/options.h"
#include "platform/db/field.h"
#include "platform/gui/core/application.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "tables/dataset/txbasedataset.h"

namespace {

// A closed table cannot be modified either.
bool CanModify(TDataSet* table) { return table && table->Active() && table->CanModify(); }

void PrepareDbfDialog(TOpenDialog* dialog, const AnsiString& filter) {
  dialog->SetFilter(filter);
  dialog->SetDefaultExt("dbf");
  dialog->SetFileName("");
  dialog->SetInitialDir(vx::ProgramFolder());
}

}  // namespace

void TFormMain::ConnectResultCommands() {
  btnOpenRes->OnClick = Command(&TFormMain::btnOpenResClick);
  mnuNewResBase->OnClick = Command(&TFormMain::mnuNewResBaseClick);
  mnuCloseResBase->OnClick = Command(&TFormMain::mnuCloseResBaseClick);
  mnuResDelete->OnClick = Command(&TFormMain::mnuResDeleteClick);
  btnDrawToRes->OnClick = Command(&TFormMain::btnDrawToResClick);
  btnCheck->OnClick = Command(&TFormMain::btnCheckClick);
  btnSaveVariants->OnClick = Command(&TFormMain::btnSaveVariantsClick);
}

// ---------------------------------------------------------------------------
// Opening, closing, editing

void TFormMain::btnOpenResClick(TObject*) {
  PrepareDbfDialog(OpenDialogMain, "Database Tables|*.dbf|All Files|*.*");
  if (!OpenDialogMain->Execute()) return;
  const AnsiString path = OpenDialogMain->FileName();
  CloseDataTable(TableRes, DBGridRes);
  if (vx::IsOpenTable(path, {TableMain, TableTick})) {
    vx::ShowFileInUse(path);
    return;
  }
  OpenTableAs(TableRes, path);
  SetupResultColumns();
}

void TFormMain::mnuNewResBaseClick(TObject*) {
  CloseDataTable(TableRes, DBGridRes);
  if (frmNewResBase) frmNewResBase->ShowModal();
}

void TFormMain::mnuCloseResBaseClick(TObject*) { CloseDataTable(TableRes, DBGridRes); }

void TFormMain::mnuResDeleteClick(TObject*) { DeleteTableRecord(TableRes, DBGridRes); }

bool TFormMain::CloseDataTable(TDataSet* Table, TDBGrid* Grid) {
  if (Table->Active() && IsEditState(Table->State())) Table->Post();
  Table->Close();
  Grid->Columns()->RebuildColumns();
  return true;
}

void TFormMain::DeleteTableRecord(TDataSet* Table, TDBGrid* Grid) {
  if (!CanModify(Table)) ShowMessage(vx::Tr(vx::CannotModifyText()));
  else if (!Grid->Options().Contains(dgEditing)) ShowMessage(vx::Tr("База заблокирована"_cp));
  else if (MessageDlg(vx::Tr("Вы действительно хотите удалить запись?"_cp), mtConfirmation,
                      TMsgDlgButtons{mbYes, mbNo}) == mrYes)
    Table->Delete();
}

void TFormMain::DuplicateTableRecord(TDataSet* Table, TDBGrid* Grid) {
  if (!CanModify(Table)) {
    ShowMessage(vx::Tr(vx::CannotModifyText()));
    return;
  }
  if (!Grid->Options().Contains(dgEditing)) {
    ShowMessage(vx::Tr("База заблокирована"_cp));
    return;
  }
  // The engine copies a record only into another table, so the copy goes
  // through the fields (the bases have no memo fields).
  vx::PostPending(Table);
  if (Table->IsEmpty()) return;
  std::vector<Variant> values;
  for (int i = 0; i < Table->FieldCount(); ++i) values.push_back(Table->Fields()[i]->Value());
  Table->Append();
  for (int i = 0; i < Table->FieldCount(); ++i) Table->Fields()[i]->SetValue(values[static_cast<std::size_t>(i)]);
  Table->Post();
}

void TFormMain::SetupResultColumns() { LayOutResultGrid(); }

bool TFormMain::OpenTempResults(int count) {
  CloseDataTable(TableRes, DBGridRes);
  if (!frmNewBase || !frmNewBase->CreateBaseTable(TempResultsTable, count, false)) return false;
  frmNewBase->NewTable->Close();
  OpenTableAs(TableRes, TempResultsTable);
  SetupResultColumns();
  return true;
}

void TFormMain::AppendResult(int draw, const std::vector<int>& numbers) { AppendResult(TodayYear, draw, numbers); }

void TFormMain::AppendResult(int year, int draw, const std::vector<int>& numbers) {
  TableRes->Append();
  TableRes->Fields()[0]->SetAsInteger(year);
  TableRes->Fields()[1]->SetAsInteger(draw);
  const int fields = TableRes->FieldCount();
  for (std::size_t i = 0; i < numbers.size() && static_cast<int>(i) + 2 < fields; ++i)
    TableRes->Fields()[static_cast<int>(i) + 2]->SetAsInteger(numbers[i]);
  if (CurrentGenerationRun) CurrentGenerationRun->ResultAppended(numbers);
}

void TFormMain::RowsToResults(int count, const std::vector<std::vector<int>>& rows) {
  if (!OpenTempResults(count)) return;
  {
    vx::ControlsDisabled off(TableRes);
    int draw = 0;
    for (const std::vector<int>& row : rows) AppendResult(++draw, row);
    vx::PostPending(TableRes);
  }
  ResToSGridRes();
  ShowPage(tsResult);
}

void TFormMain::btnSaveVariantsClick(TObject*) {
  if (!TableRes->Active()) {
    ShowMessage(vx::Tr("база результатов не открыта"_cp));
    return;
  }
  SaveDialogMain->SetFilter("DBF Files|*.dbf|All Files|*.*");
  SaveDialogMain->SetDefaultExt("dbf");
  SaveDialogMain->SetInitialDir(ExtractFilePath(DefaultBaseName));
  SaveDialogMain->SetFileName(ExtractFileName(DefaultBaseName));
  const AnsiString target = SaveTableCopy(TableRes);
  if (!target.empty()) DefaultBaseName = target;
}

// ---------------------------------------------------------------------------
// Copying draws and comparing

void TFormMain::btnDrawToResClick(TObject*) {
  if (!CheckOpened()) return;
  vx::BusyScope busy(*this);
  if (!Seeking(seYearFromToRes->Value(), seDrawFromToRes->Value())) return;
  if (!OpenTempResults(TableMain->FieldCount() - 2)) return;
  {
    vx::ControlsDisabled mainOff(TableMain);
    vx::ControlsDisabled resOff(TableRes);
    const int fields = std::min(TableMain->FieldCount(), TableRes->FieldCount());
    const int yearTo = seYearToTores->Value(), drawTo = seDrawToToRes->Value();
    while (!TableMain->Eof()) {
      TableRes->Append();
      for (int i = 0; i < fields; ++i) TableRes->Fields()[i]->SetAsInteger(TableMain->Fields()[i]->AsInteger());
      TableRes->Post();
      if (TableMain->Fields()[0]->AsInteger() == yearTo && TableMain->Fields()[1]->AsInteger() == drawTo) break;
      TableMain->Next();
    }
  }
  ResToSGridRes();
}

void TFormMain::btnCheckClick(TObject*) {
  if (!CheckOpened()) return;
  if (!TableRes->Active()) {
    ShowMessage(vx::Tr("Результатов нет"_cp));
    return;
  }
  CompareWithDraws(TableRes, 2, seYearFromCheck->Value(), seDrawFromCheck->Value(), seYearToCheck->Value(),
                   seDrawToCheck->Value(), true);
}

bool TFormMain::CompareWithDraws(TDataSet* combinations, int firstNumber, int yearFrom, int drawFrom, int yearTo,
                                 int drawTo, bool poll) {
  vx::BusyScope busy(*this);
  memoCheck->Clear();
  const auto stopped = [this, poll] { return poll && PollStop(); };
  std::vector<std::vector<int>> played;
  {
    vx::ControlsDisabled off(combinations);
    vx::DataSetDrawSource source(combinations, firstNumber);
    for (source.First(); !source.Eof(); source.Next()) {
      std::vector<int>& numbers = played.emplace_back(static_cast<std::size_t>(source.NumberCount()));
      for (int p = 0; p < source.NumberCount(); ++p) numbers[static_cast<std::size_t>(p)] = source.Number(p);
      if (stopped()) return false;
    }
  }
  if (!Seeking(yearFrom, drawFrom)) return false;
  std::vector<vx::ComparedDraw> draws;
  {
    const AnsiString year = " " + vx::Tr("год"_cp) + " ", draw = " " + vx::Tr("тираж"_cp) + " ";
    vx::ControlsDisabled off(TableMain);
    vx::DataSetDrawSource source(TableMain);
    while (!source.Eof()) {
      vx::ComparedDraw& d = draws.emplace_back();
      d.label = IntToStr(source.Year()) + year + IntToStr(source.Draw()) + draw;
      for (int p = 0; p < source.NumberCount(); ++p) d.numbers.push_back(source.Number(p));
      if (source.Year() == yearTo && source.Draw() == drawTo) break;
      source.Next();
      if (stopped()) return false;
    }
  }
  std::array<int, 22> prizes{};
  int cost = 0;
  if (frmOptions) {
    std::copy(frmOptions->Prizes.begin(), frmOptions->Prizes.end(), prizes.begin());
    cost = frmOptions->DrawCost;
  }
  const vx::ComparisonTexts texts{vx::Tr("В тираже"_cp), vx::Tr("совпадений c вариантом"_cp), vx::Tr("Затрачено"_cp),
                                  vx::Tr("Выиграно"_cp)};
  memoCheck->SetText(vx::CompareResults(played, draws, seNumOfCoins->Value(), prizes, cost, texts).text);
  return true;
}

// ---------------------------------------------------------------------------
// The hidden results and tickets grids

void TFormMain::ResToSGridRes() {
  vx::CopyTableToGrid(TableRes, SGridRes, [](int c) -> vx::GridHeading {
    if (c == 0) return {vx::Tr("год"_cp), 35};
    if (c == 1) return {vx::Tr("тираж"_cp), 65};
    return {"P" + IntToStr(c - 1), 35};
  });
}

void TFormMain::TickToSGridTick() {
  vx::CopyTableToGrid(TableTick, SGridTick, [](int c) -> vx::GridHeading {
    if (c == 0) return {vx::Tr("год"_cp), 35};
    if (c == 1) return {vx::Tr("тираж"_cp), 65};
    if (c == 2) return {vx::Tr("№"_cp), 35};
    return {"P" + IntToStr(c - 2), 35};
  });
}
