// TfrmShowBase ("Просмотр баз"): the open draw base (left) and the open
// results base (right) side by side, each copied into a read-only rich
// string grid, with the sums of the cells the user drags over.
//
// The copies are made on every activation of the window and by each
// panel's refresh button; a closed base leaves its grid as it was. While a
// command of the main window runs, a copy waits until it ends; a copy
// leaves the base's cursor where it was. Every
// cell is centred; in data rows the year is green and the draw red.
// Dragging with the left button over either grid sums the integer cells of
// the rectangle from the selected cell to the cell under the mouse into
// that grid's status bar: "N=" count, "S=" sum, "9S=" digital root of the
// sum; the hint at the mouse shows the count.
#pragma once

#include <functional>
#include <memory>

#include "RichGrid/rich_grid.h"
#include "app/bases/drag_sum.h"
#include "app/windows/idle_refill.h"
#include "platform/gui/controls/comctrls.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/forms.h"

class TDataSet;

class TfrmShowBase : public TForm {
 public:
  explicit TfrmShowBase(TComponent* AOwner);
  ~TfrmShowBase() override;

  TPanel *pnlMain, *pnlRes;
  TSplitter* Splitter1;
  TToolBar *tbMain, *tbRes;
  TToolButton *tbtbRefreshMain, *tbtbRefreshRes;
  TRichStringGrid *ViewGridMain, *ViewGridRes;
  TStatusBar *StatusBarMain, *StatusBarRes;

  void FormActivate(TObject* Sender);
  void tbtbRefreshMainClick(TObject* Sender);
  void tbtbRefreshResClick(TObject* Sender);
  void FillMainGrid();
  void FillResGrid();
  // Sums the integer cells between two cells of the grid into its status
  // bar; returns the count panel's text.
  AnsiString SumSelectedCells(TRichStringGrid* grid, int ACol1, int ARow1, int ACol2, int ARow2);
  void ViewGridMainGetCellColor(TObject* Sender, int ARow, int ACol, TGridDrawState AState, TBrush* ABrush,
                                TFont* AFont);
  void ViewGridMainGetAlignment(TObject* Sender, int ARow, int ACol, TAlignment& AAlignment);
  void ViewGridMainSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
  // The mouse handlers serve both grids.
  void ViewGridMainMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ViewGridMainMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void ViewGridMainMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  // The drag over either grid: anchor, dragging flag and its hint window.
  vx::DragSum& Drag() { return *drag_; }

  // Handed by the main window: its open draw and results bases (nullptr
  // when none), its width (the draw base's panel takes half of it) and the
  // refills that wait for its commands. Unset, the grids are not copied.
  std::function<TDataSet*()> DrawBase, ResultsBase;
  std::function<int()> MainWidth;
  vx::IdleRefill Refill;

 private:
  void BuildPanel(bool main);
  void FillGrid(TRichStringGrid* grid, TDataSet* table);

  std::unique_ptr<vx::DragSum> drag_;
};

extern TfrmShowBase* frmShowBase;
