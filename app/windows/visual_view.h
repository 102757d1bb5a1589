// TfrmVisual ("Визуальное представление"): six consecutive draws of the
// draw base, each marked on its own number table, so that the user sees
// how the numbers move from draw to draw.
//
// The tables are side x side with side = the ceiling of the square root of
// the base's highest number (every number has a cell; cells above it are
// inactive). Fill starts at the draw named by the two spin edits and walks
// the base in its current order; the base's cursor goes back to the record
// it was on. A start draw that is not in the base leaves the window as it
// was. Next and Prev start one draw later or earlier. While a command of
// the main window runs, filling waits until it ends.
#pragma once

#include <array>
#include <functional>

#include "app/lottotable/lottotable.h"
#include "app/windows/idle_refill.h"
#include "platform/gui/controls/spin.h"
#include "platform/gui/controls/stdctrls.h"

class TDataSet;
#include "platform/gui/core/forms.h"

class TfrmVisual : public TForm {
 public:
  explicit TfrmVisual(TComponent* AOwner);

  static constexpr int TableCount = 6;
  std::array<TLottoTable*, TableCount> LottoTables{};  // LottoTable1 .. LottoTable6
  std::array<TLabel*, TableCount> Labels{};            // lbl1 .. lbl6, Tag 1 .. 6
  TSpinEdit* seYearFromVisual;
  TSpinEdit* seDrawFromVisual;
  TButton* btnPrev;
  TButton* btnNext;
  TButton* btnRefresh;
  // On while the window sets its spin edits itself.
  bool Updating = false;

  // Numbers per draw and highest number.
  struct Shape {
    int Drawn = 6;
    int Highest = 49;
  };
  // Handed by the main window: its open draw base (nullptr, after telling
  // the user, when none is open), the game shape of that base and the
  // refills that wait for its commands. Unset, nothing is filled and the
  // shape is 6 of 49.
  std::function<TDataSet*()> OpenDrawBase;
  std::function<Shape()> GameShape;
  vx::IdleRefill Refill;

  // Sizes and clears every table for the game shape of the draw base.
  void SetInitValue();
  void Fill();
  void Next();
  void Prev();
  void FormShow(TObject* Sender);

 private:
  // step: 0 fill from the start draw, +1 / -1 from the draw after / before.
  void FillFrom(int step);
  void FillNow(int step);
};

extern TfrmVisual* frmVisual;
