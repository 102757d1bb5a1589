#include "app/windows/page_preview.h"

#include <algorithm>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/control_placing.h"
#include "platform/rtl/sysutils.h"

TfrmPagePreview* TfrmPagePreview::CreateWithGrid(TComponent* AOwner, TRichStringGrid* grid) {
  return vx::NewForm<TfrmPagePreview>(AOwner, grid);
}

TfrmPagePreview::TfrmPagePreview(TComponent* AOwner, TRichStringGrid* grid)
    : TForm(AOwner), grid_(grid), page_(std::max(1, grid->PrintPageFrom())) {
  SetName("frmPagePreview");
  SetCaption("Print preview");
  SetPosition(poMainFormCenter);
  SetBounds(0, 0, 600, 780);
  SetVisible(false);

  Panel1 = vx::Placed(new TPanel(this, this), "Panel1", 0, 0, 600, 40);
  Panel1->SetAlign(alTop);
  Label1 = vx::Placed(new TLabel(this, Panel1), "Label1", 12, 12, 80, 16);
  auto button = [this](const char* name, const char* caption, int left, int width) {
    auto* b = vx::Placed(new TButton(this, Panel1), name, left, 8, width, 25);
    b->SetCaption(caption);
    return b;
  };
  Button3 = button("Button3", "P&rev", 100, 75);
  Button2 = button("Button2", "&Next", 180, 75);
  btnPrintSettings = button("btnPrintSettings", "Print &Settings", 270, 110);
  btnPrint = button("btnPrint", "&Print", 390, 75);
  btnClose = button("btnClose", "&Close", 470, 75);
  btnClose->SetCancel(true);
  PaintBox1 = vx::Placed(new TPaintBox(this, this), "PaintBox1", 0, 40, 600, 740);
  PaintBox1->SetAlign(alClient);
  RichGridPrintSettingsDialog1 = new TRichGridPrintSettingsDialog(this);
  RichGridPrintSettingsDialog1->SetName("RichGridPrintSettingsDialog1");

  PaintBox1->OnPaint = [this](TObject* s) { PaintBox1Paint(s); };
  Button3->OnClick = [this](TObject* s) { Button3Click(s); };
  Button2->OnClick = [this](TObject* s) { Button2Click(s); };
  btnPrintSettings->OnClick = [this](TObject* s) { btnPrintSettingsClick(s); };
  btnPrint->OnClick = [this](TObject* s) { btnPrintClick(s); };
  btnClose->OnClick = [this](TObject* s) { btnCloseClick(s); };

  // The preview's top margin, set here once so that a margin chosen in the
  // print settings holds.
  grid_->PrintSettings()->SetHeaderSize(150);
  ShowPage();
}

void TfrmPagePreview::ShowPage() { Label1->SetCaption("Page : " + IntToStr(page_)); }

void TfrmPagePreview::PaintBox1Paint(TObject*) {
  // The page is drawn into the paint box: its canvas starts at the box's
  // own corner, so the box's client rectangle is the room the page has.
  grid_->SetPreviewPage(page_);
  // The printer's page, reduced to fit, on white paper.
  TCanvas* canvas = PaintBox1->Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(grid_->PreviewPageRect(PaintBox1->ClientRect()));
  grid_->PrintPreview(canvas, PaintBox1->ClientRect());
}

void TfrmPagePreview::Button3Click(TObject*) {
  if (page_ <= 1) return;
  --page_;
  PaintBox1->Invalidate();
  ShowPage();
}

void TfrmPagePreview::Button2Click(TObject*) {
  ++page_;
  ShowPage();
  PaintBox1->Invalidate();
}

void TfrmPagePreview::btnPrintSettingsClick(TObject*) {
  RichGridPrintSettingsDialog1->SetGrid(grid_);
  RichGridPrintSettingsDialog1->Execute();
  PaintBox1->Invalidate();
}

void TfrmPagePreview::btnPrintClick(TObject*) { grid_->Print(); }

void TfrmPagePreview::btnCloseClick(TObject*) { Close(); }
