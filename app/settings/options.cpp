#include "app/settings/options.h"

#include <algorithm>

#include "app/settings/cached_ini.h"
#include "app/settings/game_shape.h"
#include "app/settings/language.h"
#include "platform/rtl/sysutils.h"

TfrmOptions* frmOptions = nullptr;

namespace {

const char* const kOptions = "Options";
// Rows read from the file at most (a damaged count must not build a huge grid).
constexpr int kMaxBaseRows = 1000;

TMenuItem* PopupItem(TComponent* owner, TPopupMenu* menu, const char* name, const AnsiString& caption) {
  auto* item = new TMenuItem(owner);
  item->SetName(name);
  item->SetCaption(caption);
  menu->Items()->Add(item);
  return item;
}

// Integer of a cell: empty reads 0; false when the text is no number.
bool CellInteger(const AnsiString& text, int& value) {
  const AnsiString t = Trim(text);
  if (t.empty()) {
    value = 0;
    return true;
  }
  return TryStrToInt(t, value);
}

}  // namespace

TfrmOptions::TfrmOptions(TComponent* AOwner) : TForm(AOwner) {
  SetName("frmOptions");
  SetCaption("Настройка"_cp);
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetBounds(0, 0, 420, 330);
  SetVisible(false);
  frmOptions = this;

  pcOptions = new TPageControl(this, this);
  pcOptions->SetName("pcOptions");
  pcOptions->SetBounds(4, 4, 404, 250);
  tsBases = new TTabSheet(this, pcOptions);
  tsBases->SetName("tsBases");
  tsBases->SetCaption("Базы"_cp);
  tsCost = new TTabSheet(this, pcOptions);
  tsCost->SetName("tsCost");
  tsCost->SetCaption("Стоимость"_cp);

  pmBases = new TPopupMenu(this);
  pmBases->SetName("pmBases");
  mnuAddBase = PopupItem(this, pmBases, "mnuAddBase", "Добавить"_cp);
  mnuDeleteBase = PopupItem(this, pmBases, "mnuDeleteBase", "Удалить"_cp);
  pmWin = new TPopupMenu(this);
  pmWin->SetName("pmWin");
  mnuAddWin = PopupItem(this, pmWin, "mnuAddWin", "Добавить"_cp);
  mnuDeleteWin = PopupItem(this, pmWin, "mnuDeleteWin", "Удалить"_cp);

  sgBaseName = new TStringGrid(this, tsBases);
  sgBaseName->SetName("sgBaseName");
  sgBaseName->SetBounds(4, 4, 390, 180);
  sgBaseName->SetFixedCols(0);
  sgBaseName->SetColCount(4);
  sgBaseName->SetOptions(sgBaseName->Options() + TGridOptions{goEditing});
  sgBaseName->SetPopupMenu(pmBases);
  cbxMultilineTab = new TCheckBox(this, tsBases);
  cbxMultilineTab->SetName("cbxMultilineTab");
  cbxMultilineTab->SetCaption("Закладки в несколько рядов"_cp);
  cbxMultilineTab->SetBounds(4, 192, 300, 20);

  lblDrawCost = new TLabel(this, tsCost);
  lblDrawCost->SetName("lblDrawCost");
  lblDrawCost->SetCaption("Стоимость варианта"_cp);
  lblDrawCost->SetBounds(4, 8, 150, 16);
  edtDrawCost = new TEdit(this, tsCost);
  edtDrawCost->SetName("edtDrawCost");
  edtDrawCost->SetBounds(160, 4, 100, 22);
  lblWinTable = new TLabel(this, tsCost);
  lblWinTable->SetName("lblWinTable");
  lblWinTable->SetCaption("Таблица выигрышей"_cp);
  lblWinTable->SetBounds(4, 34, 200, 16);
  sgWinTable = new TStringGrid(this, tsCost);
  sgWinTable->SetName("sgWinTable");
  sgWinTable->SetBounds(4, 54, 390, 160);
  sgWinTable->SetFixedCols(0);
  sgWinTable->SetColCount(2);
  sgWinTable->SetOptions(sgWinTable->Options() + TGridOptions{goEditing});
  sgWinTable->SetPopupMenu(pmWin);

  btnOK = new TButton(this, this);
  btnOK->SetName("btnOK");
  btnOK->SetCaption("OK");
  btnOK->SetBounds(230, 264, 85, 25);
  btnCancel = new TButton(this, this);
  btnCancel->SetName("btnCancel");
  btnCancel->SetCaption("Отмена"_cp);
  btnCancel->SetBounds(323, 264, 85, 25);
  // Escape leaves the window as "Отмена" does.
  btnCancel->SetCancel(true);

  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  btnCancel->OnClick = [this](TObject* s) { btnCancelClick(s); };
  mnuAddBase->OnClick = [this](TObject* s) { mnuAddBaseClick(s); };
  mnuDeleteBase->OnClick = [this](TObject* s) { mnuDeleteBaseClick(s); };
  mnuAddWin->OnClick = [this](TObject* s) { mnuAddWinClick(s); };
  mnuDeleteWin->OnClick = [this](TObject* s) { mnuDeleteWinClick(s); };
  sgBaseName->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    sgBaseNameMouseUp(s, b, sh, x, y);
  };
  sgWinTable->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    sgWinTableMouseUp(s, b, sh, x, y);
  };
  sgBaseName->OnGetEditText = [this](TObject*, int c, int r, AnsiString& text) {
    // The editor opening again on the cell (after the focus went away and
    // came back) goes on with the same edit.
    if (c != baseEdit_.col || r != baseEdit_.row) baseEdit_ = {c, r, text};
  };
  sgBaseName->OnSelectCell = [this](TObject*, int, int, bool&) { CheckBaseEdit(); };
  sgBaseName->OnKeyPress = [this](TObject*, char& key) {
    // Enter that ends an edit: a refused number leaves the editor closed.
    if (key == '\r' && sgBaseName->EditorMode() && !CheckBaseEdit()) {
      sgBaseName->SetEditorMode(false);
      key = 0;
    }
  };
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnDestroy = [this](TObject*) {
    if (frmOptions == this) frmOptions = nullptr;
  };
}

void TfrmOptions::FormCreate(TObject*) {
  Prizes.fill(0);
  LoadOptions();
}

void TfrmOptions::FormActivate(TObject*) {
  SetBaseHeaders(true);
  SetWinHeaders();
}

void TfrmOptions::SetBaseHeaders(bool translated) {
  const AnsiString ru[] = {"Имя файла"_cp, "Сколько"_cp, "Из скольких"_cp, "Описание"_cp};
  const char* const en[] = {"File Name", "How Much", "From How Much", "Description"};
  const int widths[] = {80, 70, 70, 130};
  for (int c = 0; c < 4; ++c) {
    sgBaseName->SetCells(c, 0, translated ? vx::Tr(ru[c]) : AnsiString(en[c]));
    sgBaseName->SetColWidths(c, widths[c]);
  }
}

void TfrmOptions::SetWinHeaders() {
  sgWinTable->SetCells(0, 0, vx::Tr("Совпадений"_cp));
  sgWinTable->SetCells(1, 0, vx::Tr("Стоимость выигрыша"_cp));
  sgWinTable->SetColWidths(0, 150);
  sgWinTable->SetColWidths(1, 180);
}

void TfrmOptions::LoadOptions() {
  try {
    TAppIniFile ini;
    const bool multiline = ini.ReadBool(kOptions, "cbxMultilineTab.Checked", true);
    cbxMultilineTab->SetChecked(multiline);
    if (OnTabStyle) OnTabStyle(multiline);

    const int storedRows = ini.ReadInteger(kOptions, "Cell_Row", 0);
    const int rows = std::clamp(storedRows, 2, kMaxBaseRows);
    sgBaseName->SetRowCount(rows);
    sgBaseName->SetColCount(4);
    SetBaseHeaders(false);
    bool empty = true;
    for (int r = 1; r < rows; ++r)
      for (int c = 0; c < 4; ++c) {
        const AnsiString v = ini.ReadString(kOptions, "Cell" + IntToStr(r) + "_" + IntToStr(c), "");
        sgBaseName->SetCells(c, r, v);
        if (!v.empty()) empty = false;
      }
    if (storedRows == 0 || (rows == 2 && empty)) {
      const AnsiString defaults[3][4] = {
          {"lm.dbf", "6", "49", "Лотто-Миллион"_cp},
          {"5from36.dbf", "5", "36", "5 из 36"_cp},
          {"6from45.dbf", "6", "45", "6 из 45"_cp},
      };
      sgBaseName->SetRowCount(4);
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) sgBaseName->SetCells(c, r + 1, defaults[r][c]);
    }
    LimitBaseRows();
    baseEdit_ = {};

    edtDrawCost->SetText(ini.ReadString(kOptions, "edtDrawCost", ""));
    DrawCost = StrToIntDef(Trim(edtDrawCost->Text()), 0);

    Prizes.fill(0);
    const int winRows = std::clamp(ini.ReadInteger(kOptions, "sgWinTable_Row", 2), 2, MaxCoincidences + 1);
    sgWinTable->SetRowCount(winRows);
    sgWinTable->SetColCount(2);
    SetWinHeaders();
    for (int r = 1; r < winRows; ++r) {
      const AnsiString key = "sgWinTableCell" + IntToStr(r) + "_";
      int a = 0, b = 0;
      if (!CellInteger(ini.ReadString(kOptions, key + "0", ""), a) ||
          !CellInteger(ini.ReadString(kOptions, key + "1", ""), b))
        a = b = 0;
      if (a >= 0 && a <= MaxCoincidences) Prizes[a] = b;
      sgWinTable->SetCells(0, r, IntToStr(a));
      sgWinTable->SetCells(1, r, IntToStr(b));
    }
  } catch (Exception&) { ShowMessage("Error in LoadOptions"); }
}

void TfrmOptions::SaveOptions() {
  try {
    TAppIniFile ini;
    ini.WriteBool(kOptions, "cbxMultilineTab.Checked", cbxMultilineTab->Checked());
    if (OnTabStyle) OnTabStyle(cbxMultilineTab->Checked());
    LimitBaseRows();
    ini.WriteInteger(kOptions, "Cell_Row", sgBaseName->RowCount());
    ini.WriteInteger(kOptions, "Cell_Col", sgBaseName->ColCount());
    for (int r = 1; r < sgBaseName->RowCount(); ++r)
      for (int c = 0; c < sgBaseName->ColCount(); ++c)
        ini.WriteString(kOptions, "Cell" + IntToStr(r) + "_" + IntToStr(c), sgBaseName->Cells(c, r));
    ini.WriteString(kOptions, "edtDrawCost", edtDrawCost->Text());
    ini.WriteInteger(kOptions, "sgWinTable_Row", sgWinTable->RowCount());
    for (int r = 1; r < sgWinTable->RowCount(); ++r)
      for (int c = 0; c < 2; ++c)
        ini.WriteString(kOptions, "sgWinTableCell" + IntToStr(r) + "_" + IntToStr(c), sgWinTable->Cells(c, r));
    ini.UpdateFile();
  } catch (Exception&) { ShowMessage("Error in SaveOptions"); }
}

bool TfrmOptions::ApplyCostAndPrizes() {
  auto refuse = [this](const AnsiString& message, int row) {
    ShowMessage(message);
    pcOptions->SetActivePage(tsCost);
    sgWinTable->SetRow(row);
    sgWinTable->SetFocus();
    return false;
  };
  int cost = 0;
  if (!CellInteger(edtDrawCost->Text(), cost)) {
    ShowMessage("'" + edtDrawCost->Text() + "' is not a valid integer value");
    pcOptions->SetActivePage(tsCost);
    edtDrawCost->SetFocus();
    return false;
  }
  std::array<int, MaxCoincidences + 1> prizes{};
  for (int r = 1; r < sgWinTable->RowCount(); ++r) {
    int a = 0, b = 0;
    if (!CellInteger(sgWinTable->Cells(0, r), a) || a < 0 || a > MaxCoincidences)
      return refuse("Value in the first column must be >=0 and <=" + IntToStr(MaxCoincidences), r);
    if (!CellInteger(sgWinTable->Cells(1, r), b))
      return refuse("'" + sgWinTable->Cells(1, r) + "' is not a valid integer value", r);
    prizes[a] = b;
  }
  DrawCost = cost;
  Prizes = prizes;
  return true;
}

void TfrmOptions::LimitBaseRows() {
  for (int r = 1; r < sgBaseName->RowCount(); ++r) {
    AnsiString k = sgBaseName->Cells(1, r), n = sgBaseName->Cells(2, r);
    vx::LimitShapeTexts(k, n);
    sgBaseName->SetCells(1, r, k);
    sgBaseName->SetCells(2, r, n);
  }
}

bool TfrmOptions::CheckBaseEdit() {
  const EditedCell edit = baseEdit_;
  baseEdit_ = {};
  if ((edit.col != 1 && edit.col != 2) || edit.row < 1 || edit.row >= sgBaseName->RowCount()) return true;
  const AnsiString text = sgBaseName->Cells(edit.col, edit.row);
  if (text == edit.text) return true;
  const AnsiString error = vx::ShapeNumberError(edit.col == 2, text, sgBaseName->Cells(3 - edit.col, edit.row));
  if (error.empty()) return true;
  // Back first: the message takes the focus, and the editor writes its
  // text into the cell as it hides.
  sgBaseName->SetCells(edit.col, edit.row, edit.text);
  if (TInplaceEdit* editor = sgBaseName->InplaceEditor(); editor && editor->Showing()) editor->SetText(edit.text);
  ShowMessage(error);
  return false;
}

void TfrmOptions::btnOKClick(TObject*) {
  // The cells already hold what was typed.
  sgBaseName->SetEditorMode(false);
  sgWinTable->SetEditorMode(false);
  if (!CheckBaseEdit()) return;
  if (!ApplyCostAndPrizes()) return;
  SaveOptions();
  SetModalResult(mrOk);
  if (!Modal()) Close();
}

void TfrmOptions::btnCancelClick(TObject*) {
  sgBaseName->SetEditorMode(false);
  sgWinTable->SetEditorMode(false);
  LoadOptions();
  SetModalResult(mrCancel);
  if (!Modal()) Close();
}

void TfrmOptions::mnuAddBaseClick(TObject*) { sgBaseName->SetRowCount(sgBaseName->RowCount() + 1); }

void TfrmOptions::mnuAddWinClick(TObject*) {
  if (sgWinTable->RowCount() >= MaxCoincidences + 1) {
    ShowMessage("Sorry,only " + IntToStr(MaxCoincidences) + " rows");
    return;
  }
  sgWinTable->SetRowCount(sgWinTable->RowCount() + 1);
}

void TfrmOptions::DeleteCurrentRow(TStringGrid* grid) {
  grid->SetEditorMode(false);
  const int last = grid->RowCount() - 1;
  for (int r = grid->Row(); r < last; ++r)
    for (int c = 0; c < grid->ColCount(); ++c) grid->SetCells(c, r, grid->Cells(c, r + 1));
  for (int c = 0; c < grid->ColCount(); ++c) grid->SetCells(c, last, "");
  // The grid keeps one data row; deleting the only row empties it.
  if (grid->RowCount() > grid->FixedRows() + 1) grid->SetRowCount(last);
}

void TfrmOptions::mnuDeleteBaseClick(TObject*) {
  // The edited row goes, and what was typed into it with it.
  baseEdit_ = {};
  DeleteCurrentRow(sgBaseName);
}

void TfrmOptions::mnuDeleteWinClick(TObject*) { DeleteCurrentRow(sgWinTable); }

void TfrmOptions::sgBaseNameMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbRight) return;
  int c, r;
  sgBaseName->MouseToCell(X, Y, c, r);
  if (r >= sgBaseName->FixedRows()) sgBaseName->SetRow(r);
}

void TfrmOptions::sgWinTableMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbRight) return;
  int c, r;
  sgWinTable->MouseToCell(X, Y, c, r);
  if (r >= sgWinTable->FixedRows()) sgWinTable->SetRow(r);
}
