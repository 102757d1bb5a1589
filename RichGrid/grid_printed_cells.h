// The rich grid's cells on paper: the row printer that the page builder
// calls for every row of a page, the measuring of one cell, the base height
// of a printed row, and the working values measured with the job's fonts.
//
// Everything is in tenths of a millimetre on a canvas in MM_LOMETRIC: x
// grows to the right and y upward, so a row's bottom lies below its top
// (a smaller y) and "down" is a subtraction. Fonts get their print height
// from their point size (PrintFontHeight); mark-up cells are laid out by
// the mark-up renderer in device pixels.
//
// Measurements are kept between passes and jobs: the working values, the
// unfitted width of every column and the base height of every row stay
// while the grid's cells (its change count), the print settings and grid
// settings that shape them, the range and the kind and resolution of the
// measuring device are the same, and while the fonts that the colour event
// answers for the measured cells are (it is asked for each of them), so
// repainting a preview page measures no cell again. A pinned pass keeps
// them whatever the device: the drawing pass of a print job lays its pages
// out exactly as its counting pass did. The row-height event is asked on
// every pass.
#pragma once

#include <cstdint>
#include <optional>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include "platform/gui/draw/canvas.h"
#include "platform/gui/grids/grids.h"

class TRichStringGrid;

// The height of a font of `points` points on paper, scaled: negative, the
// character height in tenths of a millimetre.
int PrintFontHeight(int points, double scale);

class PrintedCells {
 public:
  explicit PrintedCells(TRichStringGrid& grid);

  // unit: an eighth of the height of "gh" in the cell font; aWidth: the
  // width of "a" in it (the text's inset in a cell); the heights of "gh" in
  // the header and the footer font.
  struct Metrics {
    int unit = 0, aWidth = 0, headerTextHeight = 0, footerTextHeight = 0;
  };

  // Starts a pass over range on canvas (in MM_LOMETRIC), dropping what was
  // measured unless it still holds (see above).
  void BeginPass(TCanvas* canvas, const TGridRect& range, bool pinned);
  const Metrics& JobMetrics() const { return metrics_; }
  // The printed width of each column before fitting, indexed by column
  // (ColCount entries): the columns of the range and, when they are
  // repeated, the fixed ones; 0 for the others.
  const std::vector<int>& NaturalWidths();
  // The final widths (indexed by column) and the fit factor, by which the
  // fonts of every printed row are scaled.
  void SetLayout(const std::vector<int>& widths, double fit);

  // The base height h of a row: FixedHeight, the row-height event's answer,
  // or the tallest of its measured cells over the range's columns.
  int RowBaseHeight(int row);
  // h + h div 8 + 2 x unit + RowSpacing.
  int RowHeight(int row);
  // Prints columns first..last of a row with its top at y; edges[c] is
  // the left edge of column c and edges[last + 1] the right edge of the
  // last. Without draw nothing is drawn. Returns the row's height.
  int PrintRow(int y, int first, int last, int row, const std::vector<int>& edges, bool draw);
  // The printed size of a cell at a font scale; a wrapped cell is as wide
  // as columnWidth.
  TSize MeasureCell(int col, int row, double scale, int columnWidth);

 private:
  struct Key {
    std::uint64_t changes = 0;
    const std::type_info* device = nullptr;
    int dpiX = 0, dpiY = 0;
    int left = 0, top = 0, right = -1, bottom = -1;
    TFont font, headerFont, footerFont;
    int fixedWidth = 0, fixedCols = 0;
    bool useFixedWidth = false, noAutoSize = false, printGraphics = false, repeatFixedCols = false;
    bool wordWrap = false, multiline = false, html = false, graphics = false, urlShow = false, urlFull = false;
    bool bands = false, useFixedHeight = false, heightEvent = false;
    // What the colour event answers: a digest of the fonts of the measured
    // cells (0 without the event).
    std::uint64_t colourAnswers = 0;
    bool operator==(const Key&) const = default;
  };
  Key CurrentKey();
  std::uint64_t ColourAnswers();
  void MeasureMetrics();
  void MeasureColumns();
  // The text a cell shows and whether it is mark-up.
  AnsiString DisplayText(int col, int row, bool& markup) const;
  // The cell's print font and brush as the colour query leaves them.
  void CellColors(int col, int row, TFont& font, TBrush& brush);
  // Puts font on the canvas at its print height.
  void UseFont(const TFont& font, double scale);
  int CellAngle(int col, int row) const;
  TSize PictureSize(int col, int row, double scale) const;
  // Draws the cell's picture in area and takes its room out of area.
  void PrintPicture(int col, int row, TRect& area);
  void PrintCell(int col, int row, const TRect& cell, int rowHeight);
  void PrintText(int col, int row, const AnsiString& text, const TFont& font, const TRect& area, int rowHeight);
  // The size of one line in font at scale; fontInUse: the canvas has it.
  TSize TextSize(const TFont& font, double scale, const AnsiString& line, bool fontInUse);
  void PrintCellBorders(int col, int row, const TRect& cell);

  TRichStringGrid& grid_;
  TCanvas* canvas_ = nullptr;
  TGridRect range_{};
  std::optional<Key> key_;
  Metrics metrics_;
  std::vector<int> naturalWidths_;
  bool widthsMeasured_ = false;
  // Base heights at font scale 1 found while measuring the widths, and the
  // heights in use (-1: not measured yet), by row.
  std::vector<int> unscaledHeights_, heights_;
  std::vector<int> widths_;
  double fit_ = 1.0;
  // The font scale while a row prints (the fit factor), else 1.
  double scale_ = 1.0;
  // Sizes of one-line texts in the font last measured with, for one pass.
  TFont memoFont_;
  double memoScale_ = 0.0;
  std::unordered_map<AnsiString, TSize> memo_;
};
