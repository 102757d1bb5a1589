// TfrmPagePreview ("Print preview"): one printed page of a rich grid at a
// time, with paging, the print settings and printing.
//
// The window keeps its own page number and hands it to the grid before
// each paint, so a print job (whose page range the grid uses while it
// prints) or a cancelled print dialog never changes the page shown. The
// top margin of the preview is set once, when the window is made; the
// print settings chosen in the window stay with the grid.
//
// The window does not own the grid, which must outlive it.
#pragma once

#include "RichGrid/print_settings_dialog.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/controls/stdctrls.h"

class TRichStringGrid;

class TfrmPagePreview : public TForm {
 public:
  // The caller sets the grid's preview page (normally 1) first; the window
  // starts on that page.
  static TfrmPagePreview* CreateWithGrid(TComponent* AOwner, TRichStringGrid* grid);
  TfrmPagePreview(TComponent* AOwner, TRichStringGrid* grid);

  int Page() const { return page_; }

  TPanel* Panel1;
  TLabel* Label1;
  TButton *Button3, *Button2, *btnPrintSettings, *btnPrint, *btnClose;
  TPaintBox* PaintBox1;
  TRichGridPrintSettingsDialog* RichGridPrintSettingsDialog1;

  void PaintBox1Paint(TObject* Sender);
  void Button3Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void btnPrintSettingsClick(TObject* Sender);
  void btnPrintClick(TObject* Sender);
  void btnCloseClick(TObject* Sender);

 private:
  void ShowPage();
  TRichStringGrid* grid_;
  int page_ = 1;
};
