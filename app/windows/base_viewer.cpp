#include "app/windows/base_viewer.h"

#include "app/analysis/statistics.h"
#include "app/bases/base_grids.h"
#include "app/settings/language.h"
#include "platform/db/dataset.h"
#include "platform/gui/core/control_placing.h"
#include "platform/rtl/sysutils.h"

TfrmShowBase* frmShowBase = nullptr;

TfrmShowBase::TfrmShowBase(TComponent* AOwner) : TForm(AOwner) {
  SetName("frmShowBase");
  SetCaption("Просмотр баз"_cp);
  SetBounds(0, 0, 760, 480);
  SetVisible(false);
  frmShowBase = this;

  drag_ = std::make_unique<vx::DragSum>(this, [this](TStringGrid& grid, TGridCoord anchor, TGridCoord cell) {
    return SumSelectedCells(static_cast<TRichStringGrid*>(&grid), anchor.X, anchor.Y, cell.X, cell.Y);
  });
  BuildPanel(true);
  Splitter1 = vx::Placed(new TSplitter(this, this), "Splitter1", 350, 0, 4, 480);
  Splitter1->SetAlign(alLeft);
  BuildPanel(false);

  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnDestroy = [this](TObject*) {
    if (frmShowBase == this) frmShowBase = nullptr;
  };
}

TfrmShowBase::~TfrmShowBase() {
  // A copy still waiting for a command would fill grids that are gone.
  Refill.Cancel(ViewGridMain);
  Refill.Cancel(ViewGridRes);
}

void TfrmShowBase::BuildPanel(bool main) {
  TPanel* panel = vx::Placed(new TPanel(this, this), main ? "pnlMain" : "pnlRes", 0, 0, 350, 480);
  panel->SetBevelOuter(bvNone);
  panel->SetCaption("");
  panel->SetAlign(main ? alLeft : alClient);

  auto* bar = vx::Placed(new TToolBar(this, panel), main ? "tbMain" : "tbRes", 0, 0, 350, 26);
  bar->SetAlign(alTop);
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(60);
  auto* refresh = new TToolButton(this, bar);
  refresh->SetName(main ? "tbtbRefreshMain" : "tbtbRefreshRes");
  refresh->SetCaption("Refresh");
  refresh->SetHint("Refresh");
  refresh->SetShowHint(true);

  auto* status = vx::Placed(new TStatusBar(this, panel), main ? "StatusBarMain" : "StatusBarRes", 0, 460, 350, 20);
  status->SetAlign(alBottom);
  for (int i = 0; i < 4; ++i) status->AddPanel()->Width = 80;

  auto* grid = vx::Placed(new TRichStringGrid(this, panel), main ? "ViewGridMain" : "ViewGridRes", 0, 26, 350, 434);
  grid->SetAlign(alClient);
  grid->OnGetCellColor = [this](TObject* s, int r, int c, TGridDrawState st, TBrush* b, TFont* f) {
    ViewGridMainGetCellColor(s, r, c, st, b, f);
  };
  grid->OnGetAlignment = [this](TObject* s, int r, int c, TAlignment& a) { ViewGridMainGetAlignment(s, r, c, a); };
  grid->OnSelectCell = [this](TObject* s, int c, int r, bool& can) { ViewGridMainSelectCell(s, c, r, can); };
  grid->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    ViewGridMainMouseDown(s, b, sh, x, y);
  };
  grid->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { ViewGridMainMouseMove(s, sh, x, y); };
  grid->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    ViewGridMainMouseUp(s, b, sh, x, y);
  };

  if (main) {
    pnlMain = panel, tbMain = bar, tbtbRefreshMain = refresh, StatusBarMain = status, ViewGridMain = grid;
    refresh->OnClick = [this](TObject* s) { tbtbRefreshMainClick(s); };
  } else {
    pnlRes = panel, tbRes = bar, tbtbRefreshRes = refresh, StatusBarRes = status, ViewGridRes = grid;
    refresh->OnClick = [this](TObject* s) { tbtbRefreshResClick(s); };
  }
}

// ---------------------------------------------------------------------------
// Copies of the bases

void TfrmShowBase::FormActivate(TObject*) {
  if (MainWidth) pnlMain->SetWidth(static_cast<int>(Round(MainWidth() / 2.0L)) - Splitter1->Width());
  FillMainGrid();
  FillResGrid();
}

void TfrmShowBase::tbtbRefreshMainClick(TObject*) { FillMainGrid(); }

void TfrmShowBase::tbtbRefreshResClick(TObject*) { FillResGrid(); }

void TfrmShowBase::FillMainGrid() {
  if (DrawBase) FillGrid(ViewGridMain, DrawBase());
}

void TfrmShowBase::FillResGrid() {
  if (ResultsBase) FillGrid(ViewGridRes, ResultsBase());
}

void TfrmShowBase::FillGrid(TRichStringGrid* grid, TDataSet* table) {
  // While a command walks the bases the copy waits for it to end.
  Refill.Run(grid, [grid, table] {
    if (!table || !table->Active()) return;
    vx::CopyTableToGrid(table, grid, [](int c) -> vx::GridHeading {
      if (c == 0) return {vx::Tr("год"_cp), 35};
      if (c == 1) return {vx::Tr("тираж"_cp), 35};
      return {"P" + IntToStr(c - 1), 30};
    });
  });
}

void TfrmShowBase::ViewGridMainGetCellColor(TObject* Sender, int ARow, int ACol, TGridDrawState, TBrush*,
                                            TFont* AFont) {
  const auto* grid = dynamic_cast<TRichStringGrid*>(Sender);
  if (!grid || ARow < grid->FixedRows()) return;
  if (ACol == 0) AFont->SetColor(RGB(0, 128, 0));
  else if (ACol == 1) AFont->SetColor(RGB(255, 0, 0));
}

void TfrmShowBase::ViewGridMainGetAlignment(TObject*, int, int, TAlignment& AAlignment) { AAlignment = taCenter; }

// ---------------------------------------------------------------------------
// Sums of the cells dragged over

AnsiString TfrmShowBase::SumSelectedCells(TRichStringGrid* grid, int ACol1, int ARow1, int ACol2, int ARow2) {
  const vx::CellSum s = vx::SumCells(*grid, {ACol1, ARow1}, {ACol2, ARow2}, vx::SumOf::IntegerCells);
  TStatusBar* status = grid == ViewGridRes ? StatusBarRes : StatusBarMain;
  status->Panels(0)->Text = "N=" + IntToStr(s.Count);
  status->Panels(1)->Text = "S=" + IntToStr(s.Sum);
  status->Panels(2)->Text = "9S=" + IntToStr(vx::Calc9summ(s.Sum));
  status->PanelsChanged();
  return status->Panels(0)->Text;
}

void TfrmShowBase::ViewGridMainSelectCell(TObject*, int ACol, int ARow, bool&) { drag_->SelectCell(ACol, ARow); }

void TfrmShowBase::ViewGridMainMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  drag_->MouseDown(Button);
}

void TfrmShowBase::ViewGridMainMouseMove(TObject* Sender, TShiftState, int X, int Y) {
  if (auto* grid = dynamic_cast<TStringGrid*>(Sender)) drag_->MouseMove(*grid, X, Y);
}

void TfrmShowBase::ViewGridMainMouseUp(TObject* Sender, TMouseButton, TShiftState, int X, int Y) {
  if (auto* grid = dynamic_cast<TStringGrid*>(Sender)) drag_->MouseUp(*grid, X, Y);
}
