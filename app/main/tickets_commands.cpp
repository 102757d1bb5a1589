// The main window's tickets base: opening a tickets table from the
// "tickets" folder, saving a copy of it, filtering it by draw, the
// defaults of a new ticket, turning the open results into tickets of one
// draw, and checking the tickets against a range of draws.
#include "app/bases/base_tables.h"
#include "app/bases/draw_base.h"
#include "app/bases/newbase_dialogs.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "platform/db/field.h"
#include "platform/rtl/sysutils.h"
#include "tables/dataset/txbasedataset.h"

void TFormMain::ConnectTicketCommands() {
  btnOpenTick->OnClick = Command(&TFormMain::btnOpenTickClick);
  btnSaveTick->OnClick = Command(&TFormMain::btnSaveTickClick);
  btnCheckTick->OnClick = Command(&TFormMain::btnCheckTickClick);
  btnAddToTickets->OnClick = Command(&TFormMain::btnAddToTicketsClick);
  cbxFiltered->OnClick = [this](TObject* s) { cbxFilteredClick(s); };
  speYearFilter->OnChange = [this](TObject* s) { speYearFilterChange(s); };
  speDrawFilter->OnChange = [this](TObject* s) { speYearFilterChange(s); };
  mnuNewTickBase->OnClick = Command(&TFormMain::mnuNewTickBaseClick);
  mnuCloseTickBase->OnClick = Command(&TFormMain::mnuCloseTickBaseClick);
  mnuTickDelete->OnClick = Command(&TFormMain::mnuTickDeleteClick);
  mnuTickDuplicate->OnClick = Command(&TFormMain::mnuTickDuplicateClick);
  TableTick->BeforeInsert = [this](TDataSet* d) { TableTickBeforeInsert(d); };
  TableTick->OnNewRecord = [this](TDataSet* d) { TableTickNewRecord(d); };
}

// ---------------------------------------------------------------------------
// Opening, saving, the popup menu

void TFormMain::btnOpenTickClick(TObject*) {
  OpenDialogMain->SetFilter("Ticket Tables|*.tic|All Files|*.*");
  OpenDialogMain->SetDefaultExt("tic");
  OpenDialogMain->SetFileName("");
  OpenDialogMain->SetInitialDir(vx::TicketFolder());
  if (!OpenDialogMain->Execute()) return;
  const AnsiString path = OpenDialogMain->FileName();
  CloseDataTable(TableTick, DBGridTick);
  if (vx::IsOpenTable(path, {TableMain, TableRes})) {
    vx::ShowFileInUse(path);
    return;
  }
  OpenTableAs(TableTick, path);
  LayOutTicketGrid();
}

void TFormMain::btnSaveTickClick(TObject*) {
  if (!TableTick->Active()) {
    ShowMessage(vx::Tr("база билетов не открыта"_cp));
    return;
  }
  SaveDialogMain->SetFilter("TIC Files|*.tic|All Files|*.*");
  SaveDialogMain->SetDefaultExt("tic");
  SaveDialogMain->SetInitialDir(vx::TicketFolder());
  SaveDialogMain->SetFileName("untitled");
  SaveTableCopy(TableTick);
}

AnsiString TFormMain::SaveTableCopy(TDataSet* table) {
  if (!SaveDialogMain->Execute()) return "";
  const AnsiString target = SaveDialogMain->FileName();
  // Copying over an open table would pull the file from under it.
  if (vx::IsOpenTable(target, {TableMain, TableRes, TableTick})) {
    vx::ShowFileInUse(target);
    return "";
  }
  vx::PostPending(table);
  dynamic_cast<TXBaseDataSet*>(table)->CopyFile(target, "");
  return target;
}

void TFormMain::mnuNewTickBaseClick(TObject*) {
  CloseDataTable(TableTick, DBGridTick);
  if (frmNewTickBase) frmNewTickBase->ShowModal();
}

void TFormMain::mnuCloseTickBaseClick(TObject*) { CloseDataTable(TableTick, DBGridTick); }

void TFormMain::mnuTickDeleteClick(TObject*) { DeleteTableRecord(TableTick, DBGridTick); }

void TFormMain::mnuTickDuplicateClick(TObject*) { DuplicateTableRecord(TableTick, DBGridTick); }

// ---------------------------------------------------------------------------
// Filter

void TFormMain::FilterChange() {
  TableTick->SetFilter("(YEAR=" + IntToStr(speYearFilter->Value()) + ") AND (" +
                       "DRAW=" + IntToStr(speDrawFilter->Value()) + ")");
}

void TFormMain::cbxFilteredClick(TObject*) {
  if (cbxFiltered->Checked()) {
    FilterChange();
    TableTick->SetFiltered(true);
  } else {
    TableTick->SetFiltered(false);
  }
}

void TFormMain::speYearFilterChange(TObject*) { FilterChange(); }

// ---------------------------------------------------------------------------
// A new ticket

void TFormMain::TableTickBeforeInsert(TDataSet* DataSet) {
  // At either end of the table a new ticket continues the current one; in
  // the middle, and in an empty table, it starts blank.
  ticketKept_ = DataSet->Bof() != DataSet->Eof();
  if (!ticketKept_) return;
  KeptTickYear = DataSet->FieldByName("YEAR")->AsInteger();
  KeptTickDraw = DataSet->FieldByName("DRAW")->AsInteger();
  KeptTickNum = DataSet->FieldByName("NUM")->AsInteger();
}

void TFormMain::TableTickNewRecord(TDataSet* DataSet) {
  if (!ticketKept_ || DataSet->Bof() == DataSet->Eof()) return;
  InsertNewTick();
}

void TFormMain::InsertNewTick() {
  TableTick->FieldByName("YEAR")->SetAsInteger(KeptTickYear);
  TableTick->FieldByName("DRAW")->SetAsInteger(KeptTickDraw);
  TableTick->FieldByName("NUM")->SetAsInteger(KeptTickNum + 1);
}

// ---------------------------------------------------------------------------
// Results to tickets, checking the tickets

void TFormMain::btnAddToTicketsClick(TObject*) {
  if (!TableRes->Active()) {
    ShowMessage(vx::Tr("база результатов не открыта"_cp));
    return;
  }
  if (!TableTick->Active()) {
    ShowMessage(vx::Tr("база билетов не открыта"_cp));
    return;
  }
  const int fields = TableRes->FieldCount();
  if (TableTick->FieldCount() != fields + 1) {
    ShowMessage(vx::Tr("разная размерность баз билетов и результатов"_cp));
    return;
  }
  try {
    vx::ControlsDisabled resultsOff(TableRes);
    vx::ControlsDisabled ticketsOff(TableTick);
    const int year = speAddToTickYear->Value(), draw = speAddToTickDraw->Value();
    // Every result walked becomes a ticket, numbered 1, 2, ...: the
    // header's record count would count deleted results too.
    int num = 0;
    for (TableRes->First(); !TableRes->Eof(); TableRes->Next()) {
      TableTick->Append();
      TableTick->Fields()[0]->SetAsInteger(year);
      TableTick->Fields()[1]->SetAsInteger(draw);
      TableTick->Fields()[2]->SetAsInteger(++num);
      for (int k = 2; k < fields; ++k) TableTick->Fields()[k + 1]->SetValue(TableRes->Fields()[k]->Value());
      TableTick->Post();
    }
  } catch (std::exception&) {
    // A ticket half written is not kept.
    if (TableTick->Active() && IsEditState(TableTick->State())) TableTick->Cancel();
    ShowMessage("Error in procedure \"btnAddToTicketsClick\"");
  }
}

void TFormMain::btnCheckTickClick(TObject*) {
  if (!CheckOpened()) return;
  if (!TableTick->Active()) {
    ShowMessage(vx::Tr("Результатов нет"_cp));
    return;
  }
  if (CompareWithDraws(TableTick, 3, seYearFromTickCheck->Value(), seDrawFromTickCheck->Value(),
                       seYearToTickCheck->Value(), seDrawToTickCheck->Value(), false))
    ShowPage(tsCompare);
}
