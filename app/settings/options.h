// TfrmOptions: the options dialog and section "Options" of the settings file.
//
//   | key                     | type    | read default | meaning                               |
//   |-------------------------|---------|--------------|---------------------------------------|
//   | cbxMultilineTab.Checked | Boolean | 1            | main page control tabs in rows        |
//   | Cell_Row                | integer | (none)       | rows of the bases grid, header        |
//   |                         |         |              | included                              |
//   | Cell_Col                | integer | written only | columns of the bases grid (always 4)  |
//   | Cell<r>_<c>             | string  | empty        | bases grid cell, r = 1.. (after the   |
//   |                         |         |              | header), c = 0..3                     |
//   | edtDrawCost             | string  | empty        | cost of one combination               |
//   | sgWinTable_Row          | integer | 2            | rows of the prize table, header       |
//   |                         |         |              | included (at most 22)                 |
//   | sgWinTableCell<r>_<c>   | string  | empty        | prize table cell: c = 0 coincidences, |
//   |                         |         |              | c = 1 prize                           |
//
// The bases grid gets the three built-in bases when the section has no
// bases list, or when its single row is empty. Its numbers ("Сколько",
// "Из скольких") keep to the game shape's limits (game_shape.h): a number
// typed into a cell is checked when the cell is left, Enter ends its edit
// or OK is pressed, and one that cannot stand is refused with the
// program's message and the cell gets back the text it had; numbers loaded
// from the file, or put into the list by the program, are limited when the
// options are loaded and saved. Prizes and DrawCost are what
// the comparison and the tickets check read: Prizes[n] is the prize for n
// coincidences (0..21). OK validates every prize row before it applies any;
// applying starts from all zeros, so a deleted row pays nothing.
#pragma once

#include <array>
#include <functional>

#include "platform/gui/controls/comctrls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/grids/grids.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/controls/stdctrls.h"

class TfrmOptions : public TForm {
 public:
  static constexpr int MaxCoincidences = 21;

  explicit TfrmOptions(TComponent* AOwner);

  std::array<int, MaxCoincidences + 1> Prizes{};
  int DrawCost = 0;
  // Told the tab style ("tabs in several rows") each time it is loaded or
  // saved; the main window sets it to lay out its page control.
  std::function<void(bool multiLine)> OnTabStyle;

  TPageControl* pcOptions;
  TTabSheet *tsBases, *tsCost;
  TStringGrid* sgBaseName;
  TStringGrid* sgWinTable;
  TLabel* lblWinTable;
  TLabel* lblDrawCost;
  TCheckBox* cbxMultilineTab;
  TEdit* edtDrawCost;
  TButton *btnOK, *btnCancel;
  TPopupMenu *pmBases, *pmWin;
  TMenuItem *mnuAddBase, *mnuDeleteBase, *mnuAddWin, *mnuDeleteWin;

  void FormCreate(TObject* Sender);
  void FormActivate(TObject* Sender);
  void LoadOptions();
  void SaveOptions();
  // Validates and applies the draw cost and the prize table; false (and
  // nothing changed) when a row is invalid.
  bool ApplyCostAndPrizes();
  void btnOKClick(TObject* Sender);
  void btnCancelClick(TObject* Sender);
  void mnuAddBaseClick(TObject* Sender);
  void mnuDeleteBaseClick(TObject* Sender);
  void mnuAddWinClick(TObject* Sender);
  void mnuDeleteWinClick(TObject* Sender);
  void sgBaseNameMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void sgWinTableMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

 private:
  void SetBaseHeaders(bool translated);
  void SetWinHeaders();
  void DeleteCurrentRow(TStringGrid* grid);
  // Limits the numbers of every row of the bases list.
  void LimitBaseRows();
  // Checks the number cell of the bases list whose editor last opened;
  // false (the message shown, the cell's text put back) when it was
  // refused.
  bool CheckBaseEdit();

  // The cell of the bases list whose editor opened last and its text then.
  struct EditedCell {
    int col = -1, row = -1;
    AnsiString text;
  } baseEdit_;
};

extern TfrmOptions* frmOptions;
