// The main window's grids leaving the program: the statistics grid, and the
// hidden results and tickets grids refilled from their tables, saved as
// document, fixed-width text, spreadsheet or HTML files, previewed page by
// page and printed with a choice of pages.
#include <memory>

#include "app/main/formmain.h"
#include "app/windows/page_preview.h"
#include "platform/os/program_folder.h"

namespace {

struct ExportFormat {
  const char* extension;
  const char* filter;
  void (*save)(TRichStringGrid* grid, const AnsiString& fileName);
};

const ExportFormat kFormats[] = {
    {"doc", "DOC Files|*.doc|All Files|*.*", [](TRichStringGrid* g, const AnsiString& f) { g->SaveToDOC(f); }},
    {"asc", "ASC Files|*.asc|All Files|*.*", [](TRichStringGrid* g, const AnsiString& f) { g->SaveToASCII(f); }},
    {"xls", "Excel Files|*.xls|All Files|*.*", [](TRichStringGrid* g, const AnsiString& f) { g->SaveToXLS(f); }},
    {"html", "HTML Files|*.html|All Files|*.*", [](TRichStringGrid* g, const AnsiString& f) { g->SaveToHTML(f); }},
};

const ExportFormat& Format(TFormMain::ExportKind kind) { return kFormats[static_cast<int>(kind)]; }


// The HTML files are CP1251: they say so in a head of their own.
void DeclareHtmlEncoding(TRichStringGrid* grid) {
  grid->HTMLSettings()->PrefixTag = "<html><head><meta charset=\"windows-1251\"></head><body>";
  grid->HTMLSettings()->SuffixTag = "</body></html>";
}

}  // namespace

void TFormMain::ConnectExportCommands() {
  for (TRichStringGrid* grid : {SGrid, SGridRes, SGridTick}) DeclareHtmlEncoding(grid);
  const struct {
    TMenuItem* item;
    void (TFormMain::*handler)(TObject*);
  } items[] = {
      {mnuStatSaveToDoc, &TFormMain::mnuStatSaveToDocClick}, {mnuStatSaveToASCII, &TFormMain::mnuStatSaveToASCIIClick},
      {mnuStatSaveToXLS, &TFormMain::mnuStatSaveToXLSClick}, {mnuStatSaveToHTML, &TFormMain::mnuStatSaveToHTMLClick},
      {mnuResSaveToDoc, &TFormMain::mnuResSaveToDocClick},   {mnuResSaveToASCII, &TFormMain::mnuResSaveToASCIIClick},
      {mnuResSaveToXLS, &TFormMain::mnuResSaveToXLSClick},   {mnuResSaveToHTML, &TFormMain::mnuResSaveToHTMLClick},
      {mnuTickSaveToDoc, &TFormMain::mnuTickSaveToDocClick}, {mnuTickSaveToASCII, &TFormMain::mnuTickSaveToASCIIClick},
      {mnuTickSaveToXLS, &TFormMain::mnuTickSaveToXLSClick}, {mnuTickSaveToHTML, &TFormMain::mnuTickSaveToHTMLClick},
  };
  for (const auto& i : items) i.item->OnClick = Command(i.handler);
  btnStatPreview->OnClick = Command(&TFormMain::btnStatPreviewClick);
  btnResPreview->OnClick = Command(&TFormMain::btnResPreviewClick);
  btnTickPreview->OnClick = Command(&TFormMain::btnTickPreviewClick);
  SGrid->OnPrintStart = [this](TObject* s, int pages, int& from, int& to) { SGridPrintStart(s, pages, from, to); };
  for (TRichStringGrid* grid : {SGridRes, SGridTick})
    grid->OnPrintStart = [this](TObject* s, int pages, int& from, int& to) { SGridResPrintStart(s, pages, from, to); };
}

// ---------------------------------------------------------------------------
// Files

bool TFormMain::ChooseExportFile(ExportKind kind, const AnsiString& fileName) {
  const ExportFormat& format = Format(kind);
  SaveDialogMain->SetFilter(format.filter);
  SaveDialogMain->SetDefaultExt(format.extension);
  SaveDialogMain->SetInitialDir(vx::ProgramFolder());
  SaveDialogMain->SetFileName(fileName);
  return SaveDialogMain->Execute();
}

void TFormMain::ExportStatistics(ExportKind kind) {
  // The grid as the last statistic left it.
  if (ChooseExportFile(kind, "Statistics")) Format(kind).save(SGrid, SaveDialogMain->FileName());
}

void TFormMain::ExportTableGrid(TDataSet* table, TRichStringGrid* grid, ExportKind kind) {
  if (!table->Active()) return;
  vx::PostPending(table);
  AnsiString name;
  if (grid == SGridRes) {
    ResToSGridRes();
    name = "Results.";
  } else {
    TickToSGridTick();
    name = "Tickets.";
  }
  if (ChooseExportFile(kind, name + Format(kind).extension)) Format(kind).save(grid, SaveDialogMain->FileName());
}

void TFormMain::mnuStatSaveToDocClick(TObject*) { ExportStatistics(ExportKind::Doc); }
void TFormMain::mnuStatSaveToASCIIClick(TObject*) { ExportStatistics(ExportKind::Ascii); }
void TFormMain::mnuStatSaveToXLSClick(TObject*) { ExportStatistics(ExportKind::Xls); }
void TFormMain::mnuStatSaveToHTMLClick(TObject*) { ExportStatistics(ExportKind::Html); }
void TFormMain::mnuResSaveToDocClick(TObject*) { ExportTableGridToDOC(TableRes, SGridRes); }
void TFormMain::mnuResSaveToASCIIClick(TObject*) { ExportTableGridToASCII(TableRes, SGridRes); }
void TFormMain::mnuResSaveToXLSClick(TObject*) { ExportTableGridToXLS(TableRes, SGridRes); }
void TFormMain::mnuResSaveToHTMLClick(TObject*) { ExportTableGridToHTML(TableRes, SGridRes); }
void TFormMain::mnuTickSaveToDocClick(TObject*) { ExportTableGridToDOC(TableTick, SGridTick); }
void TFormMain::mnuTickSaveToASCIIClick(TObject*) { ExportTableGridToASCII(TableTick, SGridTick); }
void TFormMain::mnuTickSaveToXLSClick(TObject*) { ExportTableGridToXLS(TableTick, SGridTick); }
void TFormMain::mnuTickSaveToHTMLClick(TObject*) { ExportTableGridToHTML(TableTick, SGridTick); }

void TFormMain::ExportTableGridToDOC(TDataSet* table, TRichStringGrid* grid) {
  ExportTableGrid(table, grid, ExportKind::Doc);
}
void TFormMain::ExportTableGridToASCII(TDataSet* table, TRichStringGrid* grid) {
  ExportTableGrid(table, grid, ExportKind::Ascii);
}
void TFormMain::ExportTableGridToXLS(TDataSet* table, TRichStringGrid* grid) {
  ExportTableGrid(table, grid, ExportKind::Xls);
}
void TFormMain::ExportTableGridToHTML(TDataSet* table, TRichStringGrid* grid) {
  ExportTableGrid(table, grid, ExportKind::Html);
}

// ---------------------------------------------------------------------------
// Preview and print

void TFormMain::CopyColumnWidths(TDBGrid* from, TRichStringGrid* to) {
  const int count = std::min(from->Columns()->Count(), to->ColCount());
  for (int i = 0; i < count; ++i) to->SetColWidths(i, from->Columns()->Items(i)->Width());
}

void TFormMain::PreviewGrid(TRichStringGrid* grid, TDBGrid* columns) {
  grid->SetPreviewPage(1);
  // The window goes however the preview ends.
  const auto close = [](TfrmPagePreview* window) {
    window->BeforeDestruction();
    delete window;
  };
  std::unique_ptr<TfrmPagePreview, decltype(close)> window(TfrmPagePreview::CreateWithGrid(this, grid), close);
  if (columns) {
    if (grid == SGridRes) ResToSGridRes();
    else TickToSGridTick();
    CopyColumnWidths(columns, grid);
    grid->PrintSettings()->SetNoAutoSize(true);
    grid->PrintSettings()->SetCentered(true);
  }
  window->ShowModal();
}

void TFormMain::btnStatPreviewClick(TObject*) { PreviewGrid(SGrid, nullptr); }
void TFormMain::btnResPreviewClick(TObject*) { PreviewGrid(SGridRes, DBGridRes); }
void TFormMain::btnTickPreviewClick(TObject*) { PreviewGrid(SGridTick, DBGridTick); }

void TFormMain::SGridPrintStart(TObject*, int, int& FromPage, int& ToPage) {
  PrintDialogMain->SetOptions(TPrintDialogOptions{poPageNums});
  PrintDialogMain->SetFromPage(FromPage);
  PrintDialogMain->SetToPage(ToPage);
  PrintDialogMain->SetMaxPage(ToPage);
  PrintDialogMain->SetMinPage(1);
  if (PrintDialogMain->Execute()) {
    FromPage = PrintDialogMain->FromPage();
    ToPage = PrintDialogMain->ToPage();
  } else {
    FromPage = 0;
    ToPage = 0;
  }
}

void TFormMain::SGridResPrintStart(TObject* Sender, int NrOfPages, int& FromPage, int& ToPage) {
  SGridPrintStart(Sender, NrOfPages, FromPage, ToPage);
}
