// The page builder of the rich grid: lays a range of cells out as printed
// pages and counts them or draws them. One builder lives with each grid
// and holds its current print job.
//
// Pages are laid out in tenths of a millimetre on a canvas switched to
// MM_LOMETRIC (a page lies at negative y); the canvas gets its mapping
// mode, font, brush and pen back on every way out. Columns that do not fit
// on one page go into bands of columns, each band printed over all its
// rows before the next; the fixed rows and columns can be repeated on
// every page. Every page is laid out, so breaks and page numbers are the
// same whichever pages are drawn; only the pages FromPage..ToPage of the
// grid are drawn, and a drawing pass stops once it is past ToPage.
//
// Modes: 0 draws preview pages (the preview of a grid draws the printer's
// pages, see printerPage), 1 prints (a new sheet is taken from the
// printer only once a page of the job was drawn), 2 counts the pages of a
// print job, 3 counts the pages of a preview. Counting draws nothing and
// fires no page event. OnPrintPage fires as each drawn page starts, with
// that page's number and the page's size (its height negative);
// OnPrintNewPage after every row but the last may force a break.
#pragma once

#include <memory>
#include <vector>

#include "RichGrid/grid_printed_cells.h"

class TRichStringGrid;

class PrintPageBuilder {
 public:
  enum Mode { DrawPreview = 0, DrawPrinter = 1, CountPrinter = 2, CountPreview = 3 };

  explicit PrintPageBuilder(TRichStringGrid& grid);

  // --- the job
  TGridRect range{};
  // Modes 0 and 3: the rectangle the pages fill, in device units of the
  // canvas. Mode 2: the page size in tenths of a millimetre and its origin.
  TRect previewRect{};
  int xOrigin = 0, yOrigin = 0, pageWidth = 0, pageHeight = 0;
  // The count that page numbers show as the total.
  int totalPages = 0;
  // Set only while the print-settings sketch draws its single page.
  bool sketch = false;
  // The drawing pass of a print job keeps the counting pass's measurements.
  bool pinned = false;
  // Mode 0 draws a page of the stored page size (the printer's) rather
  // than one of the preview rectangle's size.
  bool printerPage = false;

  // Lays the range out in that mode; returns the number of pages laid out
  // (in the drawing modes, up to where it stopped).
  int PrintPages(TCanvas* canvas, int mode, int total);

  // The band being laid out: its columns, their left edges (indexed by
  // column; the entry after the last column holds its right edge), the
  // edges of the repeated fixed columns (columns 0..FixedCols), the width
  // it takes, and whether the fixed columns are repeated.
  int BandFirstCol() const { return bandFirst_; }
  int BandLastCol() const { return bandLast_; }
  const std::vector<int>& ColumnWidths() const { return widths_; }
  const std::vector<int>& ColumnPositions() const { return positions_; }
  double FitFactor() const { return fit_; }

 private:
  void ComputeWidths(int pageWidthNow);
  // Lays out the band starting at bandFirst_; returns pages finished.
  void LayOutBand(int pageWidthNow);
  void StartPage(int pageNumber);
  void DrawHeaderAndFooter(int pageNumber);
  void DrawPageLines(int bottomY);
  bool Draws(int pageNumber) const;

  TRichStringGrid& grid_;
  PrintedCells cells_;

  // Working values of one run.
  TCanvas* canvas_ = nullptr;
  int mode_ = 0;
  int gap_ = 0;
  double fit_ = 1.0;
  TRect pageRect_{};
  std::vector<int> widths_, positions_, fixedPositions_;
  int bandFirst_ = 0, bandLast_ = -1, band_ = 0, usedWidth_ = 0;
  bool repeatCols_ = false, severalBands_ = false;
  int headerHeight_ = 0, footerHeight_ = 0;
  int pagesDone_ = 0, rowPagesInBand_ = 0;
  // Sheets taken from the printer in this run.
  int sheets_ = 0;
};
