// TfrmSetNumbers ("Установка номеров"): the user picks numbers by clicking
// the cells of a 9 x 9 number table, numbered along the rows.
//
// The caller sets PickCount (how many numbers to pick) and HighestNumber
// (cells above it are inactive) and shows the window modally; it closes
// with mrOk once at least PickCount numbers are picked. Numbers[0 ..
// picked - 1] then hold the picked numbers in click order. A click on a
// number already picked or above HighestNumber is ignored.
#pragma once

#include <array>

#include "app/lottotable/lottotable.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/controls/stdctrls.h"

class TfrmSetNumbers : public TForm {
 public:
  explicit TfrmSetNumbers(TComponent* AOwner);

  static constexpr int MaxPicked = 82;

  int PickCount = 6;
  int HighestNumber = 49;
  std::array<int, MaxPicked> Numbers{};

  TLottoTable* LottoTableSetNumbers;
  TLabel* lblPickCount;
  TButton* btnOK;
  TButton* btnClear;

  // The count of numbers picked so far.
  int Picked() const { return LottoTableSetNumbers->AllSelected(); }

  void FormShow(TObject* Sender);
  void LottoTableSetNumbersCellClick(TObject* Sender, int column, int row);
  void btnClearClick(TObject* Sender);
  void btnOKClick(TObject* Sender);
};

extern TfrmSetNumbers* frmSetNumbers;
