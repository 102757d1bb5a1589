#include "app/windows/number_picker.h"

#include <algorithm>

#include "app/settings/language.h"
#include "platform/gui/core/dialogs.h"
#include "platform/rtl/sysutils.h"

TfrmSetNumbers* frmSetNumbers = nullptr;

TfrmSetNumbers::TfrmSetNumbers(TComponent* AOwner) : TForm(AOwner) {
  SetName("frmSetNumbers");
  SetCaption("Установка номеров"_cp);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetBounds(0, 0, 300, 330);
  SetVisible(false);

  LottoTableSetNumbers = new TLottoTable(this, this);
  LottoTableSetNumbers->SetName("LottoTableSetNumbers");
  LottoTableSetNumbers->SetBounds(8, 8, 270, 240);
  LottoTableSetNumbers->SetNumberOfColumns(9);
  LottoTableSetNumbers->SetNumberOfRows(9);
  LottoTableSetNumbers->SetThroughRow(true);
  LottoTableSetNumbers->SetBackColor(clYellow);
  LottoTableSetNumbers->SetBorderColor(clBlack);
  LottoTableSetNumbers->OnCellClick = [this](TObject* s, int column, int row) {
    LottoTableSetNumbersCellClick(s, column, row);
  };

  lblPickCount = new TLabel(this, this);
  lblPickCount->SetName("lblPickCount");
  lblPickCount->SetBounds(8, 262, 40, 16);
  lblPickCount->SetCaption("_");

  btnOK = new TButton(this, this);
  btnOK->SetName("btnOK");
  btnOK->SetCaption("OK");
  btnOK->SetBounds(60, 258, 100, 25);
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };

  btnClear = new TButton(this, this);
  btnClear->SetName("btnClear");
  btnClear->SetCaption("Очистить"_cp);
  btnClear->SetBounds(170, 258, 100, 25);
  btnClear->OnClick = [this](TObject* s) { btnClearClick(s); };

  OnShow = [this](TObject* s) { FormShow(s); };
  frmSetNumbers = this;
  OnDestroy = [this](TObject*) {
    if (frmSetNumbers == this) frmSetNumbers = nullptr;
  };
}

void TfrmSetNumbers::FormShow(TObject*) {
  LottoTableSetNumbers->SetMaxSelected(PickCount);
  LottoTableSetNumbers->SetMaxTotal(HighestNumber);
  btnClearClick(this);
}

void TfrmSetNumbers::LottoTableSetNumbersCellClick(TObject*, int column, int row) {
  const int number = LottoTableSetNumbers->CellToNumber(LottoTableSetNumbers->ThroughRow(), column, row);
  const int count = Picked();
  const auto picked = Numbers.begin() + std::max(count - 1, 0);
  if (number > HighestNumber || count < 1 || count > MaxPicked || std::find(Numbers.begin(), picked, number) != picked)
    return;
  Numbers[static_cast<std::size_t>(count - 1)] = number;
  lblPickCount->SetCaption(IntToStr(count));
}

void TfrmSetNumbers::btnClearClick(TObject*) {
  LottoTableSetNumbers->Reset();
  Numbers.fill(0);
  lblPickCount->SetCaption("_");
}

void TfrmSetNumbers::btnOKClick(TObject*) {
  if (Picked() < PickCount) {
    ShowMessage(vx::Tr("Слишком мало номеров"_cp));
    return;
  }
  SetModalResult(mrOk);
  if (!Modal()) Close();
}
