// TRichStringGrid: printing, print preview and the print-settings sketch,
// each a counting pass and a drawing pass of the page builder.
#include <algorithm>
#include <cmath>

#include "RichGrid/grid_print_pages.h"
#include "RichGrid/rich_grid.h"
#include "platform/gui/draw/printers.h"

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

// A printer page drawn reduced (or enlarged) into a rectangle of another
// device: it reports the resolution at which the page fills the rectangle
// and moves every point by the rectangle's corner, so a canvas in
// MM_LOMETRIC lays the page out in the printer's tenths of a millimetre.
class PageInRect : public vx::CanvasDevice {
 public:
  PageInRect(vx::CanvasDevice* target, const TRect& rect, int dpi) : target_(target), rect_(rect), dpi_(dpi) {}
  void FillRect(const TRect& r, const TBrush& b) override { target_->FillRect(Moved(r), b); }
  void Rectangle(const TRect& r, const TPen& p, const TBrush& b) override { target_->Rectangle(Moved(r), p, b); }
  void Ellipse(const TRect& r, const TPen& p, const TBrush& b) override { target_->Ellipse(Moved(r), p, b); }
  void Polygon(const std::vector<TPoint>& points, const TPen& p, const TBrush& b) override {
    std::vector<TPoint> moved;
    for (const TPoint& q : points) moved.push_back(Moved(q));
    target_->Polygon(moved, p, b);
  }
  void Line(TPoint a, TPoint b, const TPen& p) override { target_->Line(Moved(a), Moved(b), p); }
  void Text(int x, int y, const AnsiString& text, const TFont& font, const TBrush& b) override {
    target_->Text(x + rect_.Left, y + rect_.Top, text, font, b);
  }
  TSize TextExtent(const AnsiString& text, const TFont& font) override { return target_->TextExtent(text, font); }
  void FocusRect(const TRect& r) override { target_->FocusRect(Moved(r)); }
  void DrawBitmap(const TRect& dest, const TBitmap& bitmap) override { target_->DrawBitmap(Moved(dest), bitmap); }
  void SetPixel(int x, int y, TColor color) override { target_->SetPixel(x + rect_.Left, y + rect_.Top, color); }
  TColor Pixel(int x, int y) override { return target_->Pixel(x + rect_.Left, y + rect_.Top); }
  void SetClip(const TRect* r) override {
    if (!r) return target_->SetClip(nullptr);
    const TRect moved = Moved(*r);
    target_->SetClip(&moved);
  }
  int LogPixelsX() const override { return dpi_; }
  int LogPixelsY() const override { return dpi_; }
  TRect Bounds() const override { return TRect{0, 0, rect_.Width(), rect_.Height()}; }

 private:
  TPoint Moved(TPoint p) const { return TPoint{p.X + rect_.Left, p.Y + rect_.Top}; }
  TRect Moved(const TRect& r) const {
    return TRect{r.Left + rect_.Left, r.Top + rect_.Top, r.Right + rect_.Left, r.Bottom + rect_.Top};
  }
  vx::CanvasDevice* target_;
  TRect rect_;
  int dpi_;
};

// The printer's page in tenths of a millimetre, as the job lays it out.
void TakePrinterPage(PrintPageBuilder& job, TPrinter* printer) {
  TCanvas* info = printer->Canvas();
  job.xOrigin = 0;
  job.yOrigin = 0;
  job.pageWidth = static_cast<int>(std::lround(printer->PageWidth() * 254.0 / info->GetDeviceCaps(LOGPIXELSX)));
  job.pageHeight = static_cast<int>(std::lround(printer->PageHeight() * 254.0 / info->GetDeviceCaps(LOGPIXELSY)));
}

// The resolution at which a page of the job fills rect (0 when either is
// empty), and the part of rect the page takes at it.
int FittingDpi(const PrintPageBuilder& job, const TRect& rect) {
  if (job.pageWidth <= 0 || job.pageHeight <= 0 || rect.Width() <= 0 || rect.Height() <= 0) return 0;
  return std::max(1, static_cast<int>(std::min(rect.Width() * 254.0 / job.pageWidth,
                                               rect.Height() * 254.0 / job.pageHeight)));
}
TRect PageAt(const PrintPageBuilder& job, const TRect& rect, int dpi) {
  return TRect{rect.Left, rect.Top, rect.Left + static_cast<int>(std::lround(job.pageWidth * dpi / 254.0)),
               rect.Top + static_cast<int>(std::lround(job.pageHeight * dpi / 254.0))};
}

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
  TakePrinterPage(job, printer);
  const int pages = job.sketch ? 1 : PrintPages(printer->Canvas(), PrintPageBuilder::CountPrinter, -1);

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
  // The pages are the printer's: laid out on the printer's information
  // context at the printer's page size, exactly as a print job lays them
  // out (so the preview has the pages and page numbers the printer
  // prints), and each drawn reduced to fit the rectangle, its corner at
  // the rectangle's.
  TPrinter* printer = Printer();
  printer->SetOrientation(PrintSettings()->Orientation());
  TakePrinterPage(job, printer);
  const int pages = PrintPages(printer->Canvas(), PrintPageBuilder::CountPrinter, -1);
  const int dpi = FittingDpi(job, rect);
  if (dpi == 0 || !canvas->Device()) return;
  PageInRect device(canvas->Device(), PageAt(job, rect, dpi), dpi);
  TCanvas page(&device);
  FlagScope pin(job.pinned);
  FlagScope printerPage(job.printerPage);
  PrintPages(&page, PrintPageBuilder::DrawPreview, pages);
}

TRect TRichStringGrid::PreviewPageRect(const TRect& rect) {
  PrintPageBuilder& job = PageBuilder();
  TPrinter* printer = Printer();
  printer->SetOrientation(PrintSettings()->Orientation());
  TakePrinterPage(job, printer);
  const int dpi = FittingDpi(job, rect);
  return dpi == 0 ? TRect{rect.Left, rect.Top, rect.Left, rect.Top} : PageAt(job, rect, dpi);
}

void TRichStringGrid::PrintSketch(TCanvas* canvas, const TRect& rect) {
  PageRangeScope keepPages(*this);
  FlagScope sketch(PageBuilder().sketch);
  SetPreviewPage(1);
  PrintPreview(canvas, rect);
}
