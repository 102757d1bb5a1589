// The main window's commands on the draw base: open, close, the editing
// menu, check, repair, reindex and the pre-filling of a new record. The
// work itself lives in draw_base.cpp; these handlers tie it to the window.
#include "app/bases/base_grids.h"
#include "app/bases/base_tables.h"
#include "app/bases/draw_base.h"
#include "app/bases/newbase_dialogs.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "app/settings/options.h"
#include "platform/db/data_source.h"
#include "platform/db/field.h"
#include "platform/gui/core/application.h"
#include "platform/gui/grids/grids.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "tables/dataset/txbasedataset.h"

namespace {

bool GridEditable(const TDBGrid* grid) { return grid->Options().Contains(dgEditing); }

AnsiString SpanCaption(const AnsiString& description, const vx::BaseSpan& span) {
  using vx::Tr;
  if (span.empty) return description + " :: " + Tr("пустая база"_cp);
  return description + " :: " + Tr("с"_cp) + " " + IntToStr(span.firstDraw) + " " + Tr("тиража"_cp) + " " +
         IntToStr(span.firstYear) + " " + Tr("года по"_cp) + " " + IntToStr(span.lastDraw) + " " + Tr("тираж"_cp) +
         " " + IntToStr(span.lastYear) + " " + Tr("года"_cp);
}

// Reads the draws the base spans, puts them in the caption and, unless the
// base is empty, keeps them as its first and last draw. Returns whether the
// base holds any draw.
bool ShowSpan(TFormMain& form, TXBaseDataSet& table) {
  const vx::BaseSpan span = vx::ReadSpan(table);
  form.SetCaption(SpanCaption(form.BaseDescription, span));
  if (span.empty) return false;
  form.FirstYear = span.firstYear;
  form.FirstDraw = span.firstDraw;
  form.LastYear = span.lastYear;
  form.LastDraw = span.lastDraw;
  return true;
}

}  // namespace

TXBaseDataSet* TFormMain::DrawTable() const { return dynamic_cast<TXBaseDataSet*>(TableMain); }

void TFormMain::ConnectBaseCommands() {
  if (!TableMain) {
    auto* table = new TXBaseDataSet(this);
    table->SetName("TableMain");
    TableMain = table;
  }
  TableMain->BeforeInsert = [this](TDataSet* d) { TableMainBeforeInsert(d); };
  TableMain->OnNewRecord = [this](TDataSet* d) { TableMainNewRecord(d); };
  if (!TableRes) {
    auto* table = new TXBaseDataSet(this);
    table->SetName("TableRes");
    TableRes = table;
  }
  if (!TableTick) {
    auto* table = new TXBaseDataSet(this);
    table->SetName("TableTick");
    TableTick = table;
  }
  auto bind = [this](TDataSource*& source, const char* name, TDataSet* table, TDBGrid* grid) {
    source = new TDataSource(this);
    source->SetName(name);
    source->SetDataSet(table);
    grid->SetDataSource(source);
  };
  bind(DataSourceMain, "DataSourceMain", TableMain, DBGridMain);
  bind(DataSourceRes, "DataSourceRes", TableRes, DBGridRes);
  bind(DataSourceTick, "DataSourceTick", TableTick, DBGridTick);
  // Before any base is opened the draw grid shows the columns of the
  // default game.
  vx::AddBaseColumns(DBGridMain, vx::BaseGridKind::Draw, DrawnCount);

  OpenMain->OnClick = Command(&TFormMain::OpenMainClick);
  OnOpenRecent = [this](TObject* s) { OpenMainClick(s); };
  CloseMain->OnClick = Command(&TFormMain::CloseMainClick);
  CloseMain->SetEnabled(false);
  mnuImportML->OnClick = Command(&TFormMain::mnuImportMLClick);
  mnuEdit->OnClick = Command(&TFormMain::mnuEditClick);
  mnuInsert->OnClick = Command(&TFormMain::mnuInsertClick);
  mnuDelete->OnClick = Command(&TFormMain::mnuDeleteClick);
  mnuClear->OnClick = Command(&TFormMain::mnuClearClick);
  mnuEmptyResBase->OnClick = Command(&TFormMain::mnuEmptyResBaseClick);
  mnuEmptyTickBase->OnClick = Command(&TFormMain::mnuEmptyTickBaseClick);
  mnuCheckBase->OnClick = Command(&TFormMain::mnuCheckBaseClick);
  mnuRepair->OnClick = Command(&TFormMain::mnuRepairClick);
  mnuReindex->OnClick = Command(&TFormMain::mnuReindexClick);
}

bool TFormMain::DrawGridEditable() const { return GridEditable(DBGridMain); }

void TFormMain::SetDrawGridEditable(bool editable) {
  TDBGridOptions options = DBGridMain->Options();
  if (editable) options.Include(dgEditing);
  else options.Exclude(dgEditing);
  DBGridMain->SetOptions(options);
}

void TFormMain::LayOutDrawGrid() { vx::LayOutBaseGrid(DBGridMain, TableMain, vx::BaseGridKind::Draw, DrawnCount); }
void TFormMain::LayOutResultGrid() { vx::LayOutBaseGrid(DBGridRes, TableRes, vx::BaseGridKind::Results); }
void TFormMain::LayOutTicketGrid() { vx::LayOutBaseGrid(DBGridTick, TableTick, vx::BaseGridKind::Tickets); }

void TFormMain::OpenTableAs(TDataSet* target, const AnsiString& path) {
  auto* table = dynamic_cast<TXBaseDataSet*>(target);
  if (!table) return;
  table->Close();
  table->IndexFiles()->Clear();
  table->SetIndexName("");
  table->SetDatabaseName(ExtractFilePath(path));
  table->SetTableName(ExtractFileName(path));
  table->Open();
}

// ---------------------------------------------------------------------------
// Open and close

void TFormMain::OpenMainClick(TObject* Sender) {
  CloseMainClick(Sender);
  OpenDialogMain->SetFilter("Database Tables|*.dbf|All Files|*.*");
  OpenDialogMain->SetDefaultExt("dbf");
  OpenDialogMain->SetFileName("");
  OpenDialogMain->SetInitialDir(vx::ProgramFolder());
  AnsiString path;
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item && !item->Hint().empty() && FileExists(item->Hint())) path = item->Hint();
  else if (OpenDialogMain->Execute()) path = OpenDialogMain->FileName();
  if (path.empty()) return;

  CloseMainClick(Sender);
  TXBaseDataSet* table = DrawTable();
  BaseFileName = path;
  table->SetDatabaseName(ExtractFilePath(path));
  table->SetTableName(ExtractFileName(path));

  const vx::BaseSettings settings =
      frmOptions ? vx::FindBaseSettings(*frmOptions->sgBaseName, table->TableName()) : vx::BaseSettings{};
  for (int i = 0; i < settings.badRows; ++i)
    ShowMessage(vx::Tr("Ошибка в настройках базы"_cp) + " " + table->TableName());
  if (!settings.found) {
    ShowMessage(vx::Tr("Не могу определить вид лотереи,проверьте настройку"_cp));
    BaseDescription.clear();
    return;
  }
  DrawnCount = BaseDrawnCount = settings.drawnCount;
  HighestNumber = BaseHighestNumber = settings.highestNumber;
  ApplyDrawnCount();
  ApplyHighestNumber();
  BaseDescription = settings.description;

  const AnsiString indexPath = vx::DrawIndexPath(table->DatabaseName(), table->TableName());
  const bool hadIndex = FileExists(indexPath);
  try {
    if (!hadIndex) {
      ShowMessage(vx::Tr("Отсутствует индексный файл,будет проведена индексация"_cp));
      table->IndexFiles()->Clear();
      table->SetIndexName("");
      table->Open();
      // Nothing is written to a table that cannot take the key.
      vx::CheckDrawLayout(*table);
      Indexing(table);
    } else {
      vx::OpenWithIndex(*table, indexPath);
      if (vx::IndexOlderThanTable(indexPath, table->FullTableName())) ShowMessage(vx::ReindexQuestion());
    }
    if (!table->Active()) table->Open();
  } catch (...) {
    // A table that is no draw base (its fields do not make the key) or a
    // damaged one: nothing stays open and no index file is left behind;
    // the error itself goes on to the user.
    table->Close();
    if (!hadIndex) DeleteFile(indexPath);
    BaseDescription.clear();
    ShowBaseClosed();
    throw;
  }
  LayOutDrawGrid();
  CloseMain->SetEnabled(true);

  if (ShowSpan(*this, *table)) {
    speAddToTickYear->SetValue(LastYear);
    speAddToTickDraw->SetValue(LastDraw + 1);
  }
  SetRecentFile(path);
  InitValue();
}

void TFormMain::CloseMainClick(TObject*) {
  TXBaseDataSet* table = DrawTable();
  if (table->Active()) {
    const bool temporary = vx::IsOpenTable(TempResultsTable, {table});
    if (IsEditState(table->State())) table->UpdateRecord();  // text still in the grid's cell editor
    const bool changed = IsEditState(table->State()) && table->Modified();
    if (temporary || changed) {
      const int answer =
          MessageDlg(vx::Tr("Вы хотите сохранить изменения?"_cp), mtConfirmation, TMsgDlgButtons{mbYes, mbNo});
      if (answer == mrYes) {
        SaveDialogMain->SetFilter("DBF Files|*.dbf|All Files|*.*");
        SaveDialogMain->SetDefaultExt("dbf");
        SaveDialogMain->SetInitialDir(vx::ProgramFolder());
        SaveDialogMain->SetFileName("");
        if (SaveDialogMain->Execute()) {
          const AnsiString target = SaveDialogMain->FileName();
          if (vx::IsOpenTable(target, {TableMain, TableRes, TableTick})) {
            // Never copy onto a table that is open (this one included).
            vx::ShowFileInUse(target);
          } else {
            table->CopyFile(target, "");
            if (!frmOptions || !vx::IsBaseInList(*frmOptions->sgBaseName, ExtractFileName(target)))
              ShowMessage(vx::Tr("Не забудьте занести это имя в настройку!"_cp) + " (" + ExtractFileName(target) + ")");
          }
        }
      } else {
        vx::PostPending(table);
      }
    }
  }
  table->Close();
  ShowBaseClosed();
}

void TFormMain::ShowBaseClosedIfItIs() {
  if (DrawTable()->Active()) return;
  BaseDescription.clear();
  ShowBaseClosed();
}

void TFormMain::ShowBaseClosed() {
  TXBaseDataSet* table = DrawTable();
  // The name goes first: index files changed under a table name are
  // checked against the table's file, which may be what failed.
  table->SetTableName("");
  table->IndexFiles()->Clear();
  OpenMain->SetEnabled(true);
  CloseMain->SetEnabled(false);
  SetCaption(Hint());
  mnuEdit->SetCaption(vx::Tr("Редактировать"_cp));
  SetDrawGridEditable(false);
  LayOutDrawGrid();
}

void TFormMain::Indexing(TXBaseDataSet* Table) { vx::Indexing(*Table); }

// ---------------------------------------------------------------------------
// Editing menu

void TFormMain::mnuEditClick(TObject*) {
  if (!TableMain->CanModify()) {
    ShowMessage(vx::Tr(vx::CannotModifyText()));
    return;
  }
  if (DrawGridEditable()) {
    vx::PostPending(TableMain);
    if (TableMain->Active() && IsEditState(TableMain->State())) TableMain->Post();
    SetDrawGridEditable(false);
    mnuEdit->SetCaption(vx::Tr("Редактировать"_cp));
  } else {
    SetDrawGridEditable(true);
    mnuEdit->SetCaption(vx::Tr("Заблокировать"_cp));
  }
}

void TFormMain::mnuInsertClick(TObject*) {
  if (!TableMain->CanModify()) ShowMessage(vx::Tr(vx::CannotModifyText()));
  else if (!DrawGridEditable()) ShowMessage(vx::Tr("База заблокирована"_cp));
  else TableMain->Insert();
}

void TFormMain::mnuDeleteClick(TObject*) {
  if (!TableMain->CanModify()) ShowMessage(vx::Tr(vx::CannotModifyText()));
  else if (!DrawGridEditable()) ShowMessage(vx::Tr("База заблокирована"_cp));
  else if (MessageDlg(vx::Tr("Вы действительно хотите удалить запись?"_cp), mtConfirmation,
                      TMsgDlgButtons{mbYes, mbNo}) == mrYes)
    TableMain->Delete();
}

void TFormMain::mnuClearClick(TObject*) { ClearTable(TableMain, DBGridMain); }

void TFormMain::mnuEmptyResBaseClick(TObject*) { ClearTable(TableRes, DBGridRes); }

void TFormMain::mnuEmptyTickBaseClick(TObject*) { ClearTable(TableTick, DBGridTick); }

void TFormMain::ClearTable(TDataSet* Table, TDBGrid* Grid) {
  if (!Table->CanModify()) {
    ShowMessage(vx::Tr(vx::CannotModifyText()));
    return;
  }
  if (!GridEditable(Grid)) {
    ShowMessage(vx::Tr("База заблокирована"_cp));
    return;
  }
  if (MessageDlg(vx::Tr("Вы действительно хотите очистить базу?"_cp), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) !=
      mrYes)
    return;
  vx::ControlsDisabled off(Table);
  Table->First();
  while (!Table->Eof()) Table->Delete();
}

void TFormMain::TableMainBeforeInsert(TDataSet* DataSet) {
  if (DataSet->Bof() == DataSet->Eof()) return;
  KeptYear = DataSet->FieldByName("YEAR")->AsInteger();
  KeptDraw = DataSet->FieldByName("DRAW")->AsInteger();
}

void TFormMain::TableMainNewRecord(TDataSet* DataSet) {
  if (DataSet->Bof() == DataSet->Eof()) return;
  InsertNew();
}

void TFormMain::InsertNew() {
  TableMain->FieldByName("YEAR")->SetAsInteger(KeptYear);
  TableMain->FieldByName("DRAW")->SetAsInteger(KeptDraw + 1);
}

// ---------------------------------------------------------------------------
// Check, repair, reindex

void TFormMain::mnuCheckBaseClick(TObject*) {
  if (!TableMain->CanModify()) {
    ShowMessage(vx::Tr(vx::CannotModifyText()));
    return;
  }
  TableMain->CheckActive();
  vx::CheckBase(*TableMain, HighestNumber);
}

void TFormMain::mnuRepairClick(TObject*) {
  if (!TableMain->CanModify()) {
    ShowMessage(vx::Tr(vx::CannotModifyText()));
    return;
  }
  TXBaseDataSet* table = DrawTable();
  bool repaired = false;
  try {
    repaired = vx::RepairBase(*table, {TableRes, TableTick});
  } catch (...) {
    ShowBaseClosedIfItIs();
    throw;
  }
  if (!repaired) {
    // What went wrong has been said; a base left closed shows closed.
    ShowBaseClosedIfItIs();
    return;
  }
  ShowSpan(*this, *table);
  RecordCountShown = table->RecordCount();
  ShowMessage(vx::Tr("Скорректированы номера физических и логических записей"_cp));
}

void TFormMain::mnuReindexClick(TObject*) {
  if (!TableMain->CanModify()) {
    ShowMessage(vx::CannotModifyText());
    return;
  }
  TXBaseDataSet* table = DrawTable();
  bool alone = false;
  try {
    alone = vx::IndexingAlone(*table);
  } catch (...) {
    // The base could not be opened again: the window shows it closed, and
    // the error, going on to the user, says why.
    ShowBaseClosedIfItIs();
    throw;
  }
  // Nothing is rebuilt under another program that has the base open.
  if (!alone) {
    ShowMessage(vx::CannotModifyText());
    return;
  }
  const vx::BaseSpan span = vx::ReadSpan(*table);
  AnsiString caption = Application->Title() + " - " + BaseDescription + " :: ";
  if (span.empty) caption += "пустая база"_cp;
  else
    caption += AnsiString("с "_cp) + IntToStr(span.firstDraw) + " тиража "_cp + IntToStr(span.firstYear) +
               " года по "_cp + IntToStr(span.lastDraw) + " тираж "_cp + IntToStr(span.lastYear) + " года"_cp;
  SetCaption(caption);
  const int physical = table->RecordCount();
  const int logical = table->RecordCount();
  RecordCountShown = logical;
  DBGridMain->SetHint(IntToStr(physical) + AnsiString(" физических, "_cp) + IntToStr(logical) +
                      " логических записей"_cp);
}
