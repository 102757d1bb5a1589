// The page builder: column widths and fitting, bands of columns, rows over
// pages, headers and footers with page numbers, and the page's lines.
#include "RichGrid/grid_print_pages.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "RichGrid/canvas_state.h"
#include "RichGrid/rich_grid.h"
#include "platform/gui/draw/printers.h"
#include "platform/rtl/dateutils.h"

namespace {

// Gives a canvas its mapping mode back however the run ends.
class MapModeScope {
 public:
  explicit MapModeScope(TCanvas* c) : canvas_(c), mode_(c->MapMode()) {}
  ~MapModeScope() { canvas_->SetMapMode(mode_); }
  MapModeScope(const MapModeScope&) = delete;
  MapModeScope& operator=(const MapModeScope&) = delete;

 private:
  TCanvas* canvas_;
  int mode_;
};

bool IsTop(TPrintPosition p) { return p == ppTopLeft || p == ppTopRight || p == ppTopCenter; }
bool IsBottom(TPrintPosition p) { return p == ppBottomLeft || p == ppBottomRight || p == ppBottomCenter; }
bool IsLeft(TPrintPosition p) { return p == ppTopLeft || p == ppBottomLeft; }
bool IsRight(TPrintPosition p) { return p == ppTopRight || p == ppBottomRight; }

}  // namespace

PrintPageBuilder::PrintPageBuilder(TRichStringGrid& grid) : grid_(grid), cells_(grid) {}

bool PrintPageBuilder::Draws(int pageNumber) const {
  return (mode_ == DrawPreview || mode_ == DrawPrinter) && pageNumber >= grid_.PrintPageFrom() &&
         pageNumber <= grid_.PrintPageTo();
}

int PrintPageBuilder::PrintPages(TCanvas* canvas, int mode, int total) {
  if (range.Right < range.Left || range.Bottom < range.Top || range.Left < 0 || range.Top < 0 ||
      range.Right >= grid_.ColCount() || range.Bottom >= grid_.RowCount())
    return 0;
  const TPrintsettings* ps = grid_.PrintSettings();
  canvas_ = canvas;
  mode_ = mode;
  if (mode == DrawPreview || mode == DrawPrinter) totalPages = total;
  MapModeScope keepMode(canvas);
  CanvasState keepObjects(canvas);
  canvas->SetMapMode(MM_LOMETRIC);

  TPen* pen = canvas->Pen();
  pen->SetColor(clBlack);
  pen->SetStyle(ps->BorderStyle());
  pen->SetWidth(ps->Borders() == pbDouble ? 10 : 2);
  canvas->Brush()->SetStyle(bsClear);

  cells_.BeginPass(canvas, range, pinned);

  // The page in tenths of a millimetre; its height is negative.
  int width = 0, height = 0;
  if (mode == DrawPrinter) {
    TRect clip;
    canvas->GetClipBox(clip);
    width = clip.Right - clip.Left;
    height = clip.Bottom;
  } else if (mode == CountPrinter || (mode == DrawPreview && printerPage)) {
    width = pageWidth - xOrigin;
    height = -yOrigin - pageHeight;
  } else {
    const TPoint a = canvas->DPtoLP(TPoint{previewRect.Left, previewRect.Top});
    const TPoint b = canvas->DPtoLP(TPoint{previewRect.Right, previewRect.Bottom});
    width = b.X - a.X;
    height = b.Y - a.Y;
  }
  pageRect_ = TRect{0, 0, width, height};
  gap_ = ps->UseFixedWidth() ? 0 : ps->ColumnSpacing() + 20;
  ComputeWidths(width);

  pagesDone_ = 0;
  sheets_ = 0;
  band_ = 0;
  severalBands_ = false;
  bandFirst_ = range.Left;
  while (bandFirst_ <= range.Right) {
    LayOutBand(width);
    bandFirst_ = bandLast_ + 1;
    if ((mode == DrawPreview || mode == DrawPrinter) && pagesDone_ >= grid_.PrintPageTo()) break;
  }
  return pagesDone_;
}

// ---------------------------------------------------------------------------
// Column widths and the fit factor

void PrintPageBuilder::ComputeWidths(int pageWidthNow) {
  const TPrintsettings* ps = grid_.PrintSettings();
  widths_ = cells_.NaturalWidths();
  fit_ = 1.0;
  if (ps->FitToPage() != fpNever) {
    const int columns = range.Right - range.Left + 1;
    const long long gaps = static_cast<long long>(columns) * gap_;
    long long sum = 0;
    for (int c = range.Left; c <= range.Right; ++c) sum += widths_[static_cast<std::size_t>(c)] + gap_;
    if (sum != gaps) {
      double factor =
          static_cast<double>(pageWidthNow - ps->RightSize() - ps->LeftSize() - gaps) / static_cast<double>(sum - gaps);
      switch (ps->FitToPage()) {
        case fpShrink: factor = std::min(factor, 1.0); break;
        case fpGrow: factor = std::max(factor, 1.0); break;
        case fpCustom:
          if (factor != 1.0) {
            bool allow = true;
            if (grid_.OnFitToPage) grid_.OnFitToPage(&grid_, factor, allow);
            if (!allow) factor = 1.0;
          }
          break;
        default: break;
      }
      // Margins and spacing wider than the page leave nothing to scale.
      if (!(factor > 0.0) || !std::isfinite(factor)) factor = 1.0;
      fit_ = factor;
    }
    if (fit_ != 1.0)
      for (int& w : widths_) w = static_cast<int>(std::trunc(w * fit_));
  }
  if (grid_.OnPrintSetColumnWidth)
    for (int c = range.Left; c <= range.Right; ++c)
      grid_.OnPrintSetColumnWidth(&grid_, c, widths_[static_cast<std::size_t>(c)]);
  cells_.SetLayout(widths_, fit_);
}

// ---------------------------------------------------------------------------
// One band of columns over all rows

void PrintPageBuilder::LayOutBand(int pageWidthNow) {
  const TPrintsettings* ps = grid_.PrintSettings();
  const PrintedCells::Metrics& m = cells_.JobMetrics();
  const int fixedCols = grid_.FixedCols(), fixedRows = grid_.FixedRows();
  auto widthOf = [&](int c) { return widths_[static_cast<std::size_t>(c)] + gap_; };

  ++band_;
  rowPagesInBand_ = 0;
  repeatCols_ = bandFirst_ != range.Left && fixedCols > 0 && ps->RepeatFixedCols();
  int startX = 0;
  if (repeatCols_)
    for (int c = 0; c < fixedCols; ++c) startX += widthOf(c);

  // As many columns as fit between the margins, at least one.
  const int left = ps->Centered() ? 0 : ps->LeftSize();
  const int room = pageWidthNow - ps->RightSize() - left;
  int x = startX;
  bandLast_ = bandFirst_;
  x += widthOf(bandFirst_);
  while (bandLast_ < range.Right && x + widthOf(bandLast_ + 1) <= room) x += widthOf(++bandLast_);
  if (bandLast_ < range.Right) severalBands_ = true;
  usedWidth_ = x;

  positions_.assign(static_cast<std::size_t>(grid_.ColCount()) + 1, 0);
  fixedPositions_.assign(static_cast<std::size_t>(fixedCols) + 1, 0);
  int shift = 0;
  if (ps->Centered() && usedWidth_ < pageWidthNow) shift = (pageWidthNow - usedWidth_) / 2;
  positions_[static_cast<std::size_t>(bandFirst_)] = left + shift + startX;
  for (int c = bandFirst_; c <= bandLast_; ++c)
    positions_[static_cast<std::size_t>(c) + 1] = positions_[static_cast<std::size_t>(c)] + widthOf(c);
  if (repeatCols_) {
    fixedPositions_[0] = left + shift;
    for (int c = 0; c < fixedCols; ++c)
      fixedPositions_[static_cast<std::size_t>(c) + 1] = fixedPositions_[static_cast<std::size_t>(c)] + widthOf(c);
  }

  // Header and footer room.
  const std::array<TPrintPosition, 4> items{ps->Time(), ps->Date(), ps->PageNr(), ps->Title()};
  const int extraTitleLines = std::max(ps->TitleLines()->Count() - 1, 0);
  headerHeight_ = ps->HeaderSize();
  if (std::any_of(items.begin(), items.end(), IsTop))
    headerHeight_ = m.unit + m.headerTextHeight + ps->HeaderSize() +
                    (IsTop(ps->Title()) ? extraTitleLines * m.headerTextHeight : 0);
  footerHeight_ = m.unit + m.footerTextHeight + ps->FooterSize();
  if (std::any_of(items.begin(), items.end(), IsBottom))
    footerHeight_ = (m.unit + m.footerTextHeight) * 2 + ps->FooterSize() +
                    (IsBottom(ps->Title()) ? extraTitleLines * m.footerTextHeight : 0);

  const int pageHeightNow = pageRect_.Bottom;
  auto printRow = [&](int y, int row, bool draw) {
    if (repeatCols_) cells_.PrintRow(y, 0, fixedCols - 1, row, fixedPositions_, draw);
    return cells_.PrintRow(y, bandFirst_, bandLast_, row, positions_, draw);
  };
  int row = range.Top, rowsOnPage = 0, y = 0;
  bool drawing = false;
  while (row <= range.Bottom) {
    if (rowsOnPage == 0) {
      const int page = pagesDone_ + 1;
      drawing = Draws(page);
      if (drawing) StartPage(page);
      y = -headerHeight_;
      if (drawing) DrawHeaderAndFooter(page);
      y -= ps->TitleSpacing();
      // The fixed rows head every page but the first of a range that
      // begins with them.
      if (row > 0 && ps->RepeatFixedRows() && fixedRows > 0 && (pagesDone_ > 0 || range.Top >= fixedRows)) {
        for (int r = 0; r < fixedRows; ++r) y -= printRow(y, r, drawing);
        rowsOnPage = 1;
      }
    }
    y -= printRow(y, row, drawing);
    ++row;
    ++rowsOnPage;
    bool newPage = false;
    if (grid_.OnPrintNewPage) grid_.OnPrintNewPage(&grid_, row, newPage);
    if (row > range.Bottom) break;
    if (newPage || y - cells_.RowBaseHeight(row) < pageHeightNow + footerHeight_) {
      if (drawing) DrawPageLines(y);
      rowsOnPage = 0;
      ++pagesDone_;
      ++rowPagesInBand_;
      // Nothing further would be drawn.
      if ((mode_ == DrawPreview || mode_ == DrawPrinter) && pagesDone_ >= grid_.PrintPageTo()) return;
    }
  }
  if (drawing) DrawPageLines(y);
  ++pagesDone_;
}

void PrintPageBuilder::StartPage(int pageNumber) {
  if (mode_ == DrawPrinter) {
    // The job's first page goes on the sheet the printer opened with it.
    if (sheets_ > 0) {
      Printer()->NewPage();
      canvas_->SetMapMode(MM_LOMETRIC);
    }
    ++sheets_;
  }
  if (grid_.OnPrintPage) grid_.OnPrintPage(&grid_, canvas_, pageNumber, pageRect_.Right, pageRect_.Bottom);
}

// ---------------------------------------------------------------------------
// Header, footer and lines

void PrintPageBuilder::DrawHeaderAndFooter(int pageNumber) {
  const TPrintsettings* ps = grid_.PrintSettings();
  const PrintedCells::Metrics& m = cells_.JobMetrics();
  // One text per position (ppTopLeft .. ppBottomCenter).
  std::array<AnsiString, 7> texts;
  auto add = [&](TPrintPosition p, const AnsiString& item) {
    if (p == ppNone) return;
    AnsiString& t = texts[static_cast<std::size_t>(p)];
    t = IsLeft(p) ? item + " " + t : t + " " + item;
  };
  const TDateTime now = Now();
  add(ps->Time(), FormatDateTime("hh:nn", now));
  add(ps->Date(), FormatDateTime(ps->DateFormat(), now));
  AnsiString number = IntToStr(pageNumber);
  if (severalBands_) number = IntToStr(rowPagesInBand_ + 1) + "-" + IntToStr(band_);
  else if (!ps->PageNumSep().empty() && totalPages > 1) number += ps->PageNumSep() + IntToStr(totalPages);
  add(ps->PageNr(), ps->PagePrefix() + " " + number + " " + ps->PageSuffix());
  const TStringList* lines = ps->TitleLines();
  AnsiString title = ps->TitleText();
  if (title.empty() && lines->Count() > 0) title = lines->Strings(0);
  add(ps->Title(), title);

  CanvasState keep(canvas_);
  canvas_->Brush()->SetStyle(bsClear);
  const int width = pageRect_.Right;
  for (int p = ppTopLeft; p <= ppBottomCenter; ++p) {
    const TPrintPosition pos = static_cast<TPrintPosition>(p);
    const AnsiString& text = texts[static_cast<std::size_t>(p)];
    const bool hasTitleLines = pos == ps->Title() && lines->Count() > 1;
    if (text.empty() && !hasTitleLines) continue;
    const bool top = IsTop(pos);
    const TFont* font = top ? ps->HeaderFont() : ps->FooterFont();
    canvas_->Font()->Assign(*font);
    canvas_->Font()->SetHeight(PrintFontHeight(font->Size(), 1.0));
    const int lineHeight = canvas_->TextHeight("gh");
    const int y = top ? -ps->HeaderSize() : pageRect_.Bottom + m.footerTextHeight + m.unit + ps->FooterSize();
    auto xFor = [&](const AnsiString& s) {
      const int w = canvas_->TextWidth(s);
      if (IsLeft(pos)) return ps->LeftSize();
      if (IsRight(pos)) return width - w - 20 - ps->RightSize();
      return (width - w) / 2;
    };
    canvas_->TextOut(xFor(text), y, text);
    if (hasTitleLines)
      for (int i = 1; i < lines->Count(); ++i)
        canvas_->TextOut(xFor(lines->Strings(i)), y - i * lineHeight, lines->Strings(i));
  }
}

void PrintPageBuilder::DrawPageLines(int bottomY) {
  const TPrintBorders b = grid_.PrintSettings()->Borders();
  const int left = repeatCols_ ? fixedPositions_[0] : positions_[static_cast<std::size_t>(bandFirst_)];
  const int right = positions_[static_cast<std::size_t>(bandLast_) + 1];
  const int top = -grid_.PrintSettings()->TitleSpacing() - headerHeight_;
  const int bottom = bottomY + cells_.JobMetrics().unit / 2;
  if (b == pbAround || b == pbAroundVertical || b == pbAroundHorizontal)
    canvas_->Polyline(
        {TPoint{left, top}, TPoint{right, top}, TPoint{right, bottom}, TPoint{left, bottom}, TPoint{left, top}});
  if (b == pbSingle || b == pbDouble || b == pbHorizontal || b == pbAroundHorizontal) {
    canvas_->MoveTo(left, bottom);
    canvas_->LineTo(right, bottom);
  }
  if (b == pbSingle || b == pbDouble || b == pbVertical || b == pbAroundVertical) {
    auto vertical = [&](int x) {
      canvas_->MoveTo(x, top);
      canvas_->LineTo(x, bottom);
    };
    if (repeatCols_)
      for (int x : fixedPositions_) vertical(x);
    for (int c = bandFirst_; c <= bandLast_ + 1; ++c) vertical(positions_[static_cast<std::size_t>(c)]);
  }
}
