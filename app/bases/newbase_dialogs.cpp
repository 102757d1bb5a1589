#include "app/bases/newbase_dialogs.h"

#include "app/bases/base_tables.h"
#include "app/bases/draw_base.h"
#include "app/settings/language.h"
#include "app/settings/options.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/grids/grids.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "tables/dataset/tcreatexbasedataset.h"
#include "tables/dataset/txbasedataset.h"

TfrmNewBase* frmNewBase = nullptr;
TfrmNewResBase* frmNewResBase = nullptr;
TfrmNewTickBase* frmNewTickBase = nullptr;

namespace {

// Creates folder + fileName with the given layout unless it is open
// somewhere or the user declines to overwrite it.
bool CreateChecked(const TNewBaseDialog& dialog, TXBaseDataSet* table, TCreateXBaseDataSet* creator,
                   const AnsiString& folder, const AnsiString& stem, const AnsiString& extension, const TStrings& lines,
                   bool ask) {
  const AnsiString path = folder + stem + extension;
  if ((dialog.TableInUse && dialog.TableInUse(path)) || vx::IsOpenTable(path, {table})) {
    vx::ShowFileInUse(path);
    return false;
  }
  table->Close();
  if (ask && FileExists(path) &&
      MessageDlg(vx::Tr("Файл"_cp) + " " + stem + " " + vx::Tr("уже существует.Перезаписать?"_cp), mtConfirmation,
                 TMsgDlgButtons{mbYes, mbNo}) != mrYes)
    return false;
  if (!vx::CreateTable(*table, *creator, folder, stem + extension, lines)) {
    ShowMessage("Create result table failed");
    return false;
  }
  return true;
}

// Gives a dialog its own table and the dBase III creator that writes it.
void MakeNewTable(TComponent* owner, TXBaseDataSet*& table, TCreateXBaseDataSet*& creator) {
  table = new TXBaseDataSet(owner);
  table->SetName("NewTable");
  creator = new TCreateXBaseDataSet(owner);
  creator->SetName("CreateNewTable");
  creator->AutoOverwrite = true;
  creator->SetDBFTable(table);
  creator->DBFType = DBaseIII;
}

void Finish(TForm* form) {
  form->SetModalResult(mrOk);
  if (!form->Modal()) form->Close();
}

}  // namespace

TNewBaseDialog::TNewBaseDialog(TComponent* AOwner, const char* name, const AnsiString& caption, bool description)
    : TForm(AOwner) {
  SetName(name);
  SetCaption(caption);
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetBounds(0, 0, 300, description ? 200 : 170);
  SetVisible(false);
  // Labels are named Label1, Label2 ... so a language file can reach them.
  int labels = 0;
  auto label = [this, &labels](const AnsiString& text, int top) {
    auto* l = new TLabel(this, this);
    l->SetName("Label" + IntToStr(++labels));
    l->SetCaption(text);
    l->SetBounds(8, top + 3, 150, 16);
  };
  editNewName = new TEdit(this, this);
  editNewName->SetName("editNewName");
  editNewName->SetBounds(160, 8, 120, 21);
  editNewName->SetText("new");
  editNewName->SetHint("Имя файла базы данных без расширения \".dbf\"!"_cp);
  label("Имя"_cp, 8);
  speNC = new TSpinEdit(this, this);
  speNC->SetName("speNC");
  speNC->SetBounds(160, 38, 60, 21);
  speNC->SetMinValue(0);
  speNC->SetMaxValue(100);
  speNC->SetValue(5);
  label("Сколько номеров"_cp, 38);
  speMC = new TSpinEdit(this, this);
  speMC->SetName("speMC");
  speMC->SetBounds(160, 68, 60, 21);
  speMC->SetMinValue(0);
  speMC->SetMaxValue(100);
  speMC->SetValue(36);
  label("Из скольких номеров"_cp, 68);
  int top = 100;
  if (description) {
    edtDescription = new TEdit(this, this);
    edtDescription->SetName("edtDescription");
    edtDescription->SetBounds(160, 98, 120, 21);
    label("Описание"_cp, 98);
    top = 130;
  }
  btnCreate = new TBitBtn(this, this);
  btnCreate->SetName("btnCreate");
  btnCreate->SetCaption("Создать"_cp);
  btnCreate->SetBounds(100, top, 100, 25);
}

bool TNewBaseDialog::DialogKey(Word key) {
  if (TForm::DialogKey(key)) return true;
  if (key != VK_ESCAPE) return false;
  Close();
  return true;
}

// ---------------------------------------------------------------------------
// Draw base

TfrmNewBase::TfrmNewBase(TComponent* AOwner) : TNewBaseDialog(AOwner, "frmNewBase", "Новая база"_cp, true) {
  MakeNewTable(this, NewTable, CreateNewTable);
  btnCreate->OnClick = [this](TObject* s) { btnCreateClick(s); };
  frmNewBase = this;
  OnDestroy = [this](TObject*) {
    if (frmNewBase == this) frmNewBase = nullptr;
  };
}

bool TfrmNewBase::CreateBaseTable(const AnsiString& name, int n, bool ask) {
  TStringList lines;
  vx::DrawFieldLines(lines, n);
  return CreateChecked(*this, NewTable, CreateNewTable, vx::ProgramFolder(), vx::BaseFileStem(name), ".dbf", lines,
                       ask);
}

void TfrmNewBase::btnCreateClick(TObject*) {
  const AnsiString stem = vx::BaseFileStem(editNewName->Text());
  if (!CreateBaseTable(editNewName->Text(), speNC->Value(), true)) return;
  // The index is made now, so that opening finds it.
  vx::Indexing(*NewTable);
  NewTable->Close();
  NewTable->IndexFiles()->Clear();
  NewTable->SetIndexName("");

  if (frmOptions) {
    TStringGrid* list = frmOptions->sgBaseName;
    if (!vx::IsBaseInList(*list, stem + ".dbf")) {
      int row = list->RowCount();
      if (row == 2 && Trim(list->Cells(0, 1)).empty()) row = 1;
      else list->SetRowCount(row + 1);
      list->SetCells(0, row, stem);
      list->SetCells(1, row, IntToStr(speNC->Value()));
      list->SetCells(2, row, IntToStr(speMC->Value()));
      list->SetCells(3, row, edtDescription->Text());
      frmOptions->btnOKClick(nullptr);
    }
  }
  if (OnBaseCreated) OnBaseCreated(vx::ProgramFolder() + stem + ".dbf");
  Finish(this);
}

// ---------------------------------------------------------------------------
// Results base

TfrmNewResBase::TfrmNewResBase(TComponent* AOwner)
    : TNewBaseDialog(AOwner, "frmNewResBase", "Новая база результатов"_cp, false) {
  btnCreate->OnClick = [this](TObject* s) { btnCreateClick(s); };
  frmNewResBase = this;
  OnDestroy = [this](TObject*) {
    if (frmNewResBase == this) frmNewResBase = nullptr;
  };
}

void TfrmNewResBase::btnCreateClick(TObject*) {
  if (!frmNewBase || !frmNewBase->CreateBaseTable(editNewName->Text(), speNC->Value(), true)) return;
  frmNewBase->NewTable->Close();
  if (OnBaseCreated) OnBaseCreated(vx::ProgramFolder() + vx::BaseFileStem(editNewName->Text()) + ".dbf");
  Finish(this);
}

// ---------------------------------------------------------------------------
// Tickets base

TfrmNewTickBase::TfrmNewTickBase(TComponent* AOwner)
    : TNewBaseDialog(AOwner, "frmNewTickBase", "Новая база билетов"_cp, false) {
  MakeNewTable(this, NewTable, CreateNewTable);
  btnCreate->OnClick = [this](TObject* s) { btnCreateClick(s); };
  frmNewTickBase = this;
  OnDestroy = [this](TObject*) {
    if (frmNewTickBase == this) frmNewTickBase = nullptr;
  };
}

bool TfrmNewTickBase::CreateTickTable(const AnsiString& name, int n, bool ask) {
  ForceDirectories(vx::TicketFolder());
  TStringList lines;
  vx::TicketFieldLines(lines, n);
  return CreateChecked(*this, NewTable, CreateNewTable, vx::TicketFolder(), vx::BaseFileStem(name), vx::TicketExtension,
                       lines, ask);
}

void TfrmNewTickBase::btnCreateClick(TObject*) {
  if (!CreateTickTable(editNewName->Text(), speNC->Value(), true)) return;
  NewTable->Close();
  if (OnBaseCreated) OnBaseCreated(vx::TicketFolder() + vx::BaseFileStem(editNewName->Text()) + vx::TicketExtension);
  Finish(this);
}
