// The main window's import of draw files written by other programs
// ("Импорт" → "из Мультилотек"). Reading the file's draws is
// app/bases/foreign_draws.cpp; here they become the open draw base.
#include <algorithm>

#include "app/bases/base_grids.h"
#include "app/bases/draw_base.h"
#include "app/bases/foreign_draws.h"
#include "app/bases/newbase_dialogs.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "platform/db/field.h"
#include "platform/os/program_folder.h"
#include "tables/dataset/txbasedataset.h"

void TFormMain::mnuImportMLClick(TObject*) { ImportForeignDraws(vx::MultilotekFormat); }

void TFormMain::ImportForeignDraws(const AnsiString& format) {
  OpenDialogMain->SetFileName("");
  OpenDialogMain->SetDefaultExt("txt");
  OpenDialogMain->SetFilter("ASCII Text Files|*.txt|All Files|*.*");
  OpenDialogMain->SetInitialDir(vx::ProgramFolder());
  if (!OpenDialogMain->Execute()) return;
  const AnsiString fileName = OpenDialogMain->FileName();
  CloseMainClick(this);
  if (format != vx::MultilotekFormat) return;

  // The grid starts empty, so a short line leaves no cells of what the
  // grid held before. Every draw is read before the table is made: a bad
  // line stops the import with the temporary results table untouched.
  SGridRes->ClearAll();
  SGridRes->SetDelimiter(';');
  SGridRes->LoadFromCSV(fileName);
  const std::vector<vx::ImportedDraw> draws = vx::MultilotekDraws(*SGridRes);
  ResToSGridRes();  // the hidden grid mirrors the results table again

  if (vx::IsOpenTable(TempResultsTable, {TableRes})) CloseDataTable(TableRes, DBGridRes);
  if (!frmNewBase || !frmNewBase->CreateBaseTable(TempResultsTable, vx::MultilotekNumbers, false)) return;
  frmNewBase->NewTable->Close();
  OpenTableAs(TableMain, TempResultsTable);
  vx::AddBaseColumns(DBGridMain, vx::BaseGridKind::ImportedDraw, vx::MultilotekNumbers);
  CloseMain->SetEnabled(true);
  {
    vx::ControlsDisabled off(TableMain);
    for (const vx::ImportedDraw& d : draws) {
      TableMain->Append();
      TableMain->Fields()[0]->SetAsInteger(d.year);
      TableMain->Fields()[1]->SetAsInteger(d.draw);
      for (int j = 0; j < vx::MultilotekNumbers; ++j)
        TableMain->Fields()[j + 2]->SetAsInteger(d.numbers[static_cast<std::size_t>(j)]);
    }
    // Closing would drop a record still being inserted.
    vx::PostPending(TableMain);
  }

  const int highest = vx::HighestImportedNumber(draws);
  if (highest < 1) {
    ShowMessage(vx::Tr("пустая база"_cp));
    return;
  }
  DrawnCount = BaseDrawnCount = vx::MultilotekNumbers;
  HighestNumber = BaseHighestNumber = std::min(highest, MaxHighestNumber);
  ApplyDrawnCount();
  ApplyHighestNumber();
}
