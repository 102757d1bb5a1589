// TRichStringGrid: printing, print preview and the print-settings sketch,
// each a counting pass and a drawing pass of the page builder.
#include <algorithm>
#include <cmath>

#include "RichGrid/grid_print_pages.h"
#include "RichGrid/rich_grid.h"
#include "platform/gui/printers.h"

namespace {

// Puts back the pages a job changed (the preview page survives a print).
class PageRangeScope {
 public:
  explicit PageRangeScope(TRichStringGrid& g) : grid_(g), from_(g.PrintPageFrom()), to_(g.PrintPageTo()) {}
  ~PageRangeScope() { grid_.SetPrintPageRange(from_, to_); }
  PageRangeScope(const PageRangeScope&) = delete;
  PageRangeScope& operator=(const PageRangeScope&) = delete;

 private:
  TRichStringGrid& grid_;
  int from_, to_;
};

// Sets a flag of the job for one scope.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

PrintPageBuilder& TRichStringGrid::PageBuilder() {
  if (!pageBuilder_) pageBuilder_ = std::make_shared<PrintPageBuilder>(*this);
  return *pageBuilder_;
}

int TRichStringGrid::PrintPages(TCanvas* canvas, int mode, int totalPages) {
  return PageBuilder().PrintPages(canvas, mode, totalPages);
}

void TRichStringGrid::SetPreviewPage(int page) { SetPrintPageRange(page, page); }

void TRichStringGrid::Print() { PrintCells(TGridRect{0, 0, ColCount() - 1, RowCount() - 1}); }

void TRichStringGrid::PrintCells(const TGridRect& range) {
  PrintPageBuilder& job = PageBuilder();
  PageRangeScope keepPages(*this);
  job.range = range;
  TPrinter* printer = Printer();
  printer->SetOrientation(PrintSettings()->Orientation());
  // Pages are counted on the printer's information context: measured as
  // they will be drawn.
  TCanvas* info = printer->Canvas();
  job.xOrigin = 0;
  job.yOrigin = 0;
  job.pageWidth = static_cast<int>(std::lround(printer->PageWidth() * 254.0 / info->GetDeviceCaps(LOGPIXELSX)));
  job.pageHeight = static_cast<int>(std::lround(printer->PageHeight() * 254.0 / info->GetDeviceCaps(LOGPIXELSY)));
  const int pages = job.sketch ? 1 : PrintPages(info, PrintPageBuilder::CountPrinter, -1);

  int from = 1, to = pages;
  if (OnPrintStart) OnPrintStart(this, pages, from, to);
  if (from <= 0 || to <= 0 || from > to || from > pages) return;
  SetPrintPageRange(from, std::min(to, pages));

  printer->SetTitle(PrintSettings()->JobName());
  printer->BeginDoc();
  try {
    FlagScope pin(job.pinned);
    PrintPages(printer->Canvas(), PrintPageBuilder::DrawPrinter, pages);
  } catch (...) {
    if (printer->Printing()) printer->Abort();
    throw;
  }
  printer->EndDoc();
}

void TRichStringGrid::PrintPreview(TCanvas* canvas, const TRect& rect) {
  PrintPageBuilder& job = PageBuilder();
  job.range = TGridRect{0, 0, ColCount() - 1, RowCount() - 1};
  job.previewRect = rect;
  if (job.sketch) {
    PrintPages(canvas, PrintPageBuilder::DrawPreview, 1);
    return;
  }
  // The pages are laid out as a print job lays them out, measured on the
  // printer's information context at the size of the preview rectangle,
  // and drawn as laid out: text measured on the screen breaks pages
  // elsewhere, so a long grid would preview on more or fewer pages than it
  // prints.
  TPrinter* printer = Printer();
  printer->SetOrientation(PrintSettings()->Orientation());
  const int mapMode = canvas->MapMode();
  canvas->SetMapMode(MM_LOMETRIC);
  const TPoint a = canvas->DPtoLP(TPoint{rect.Left, rect.Top});
  const TPoint b = canvas->DPtoLP(TPoint{rect.Right, rect.Bottom});
  canvas->SetMapMode(mapMode);
  job.xOrigin = 0;
  job.yOrigin = 0;
  job.pageWidth = b.X - a.X;
  job.pageHeight = a.Y - b.Y;
  const int pages = PrintPages(printer->Canvas(), PrintPageBuilder::CountPrinter, -1);
  FlagScope pin(job.pinned);
  PrintPages(canvas, PrintPageBuilder::DrawPreview, pages);
}

void TRichStringGrid::PrintSketch(TCanvas* canvas, const TRect& rect) {
  PageRangeScope keepPages(*this);
  FlagScope sketch(PageBuilder().sketch);
  SetPreviewPage(1);
  PrintPreview(canvas, rect);
}
