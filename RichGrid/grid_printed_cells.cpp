// The rich grid's cells on paper: measuring, the row base height and the
// working values (kept while they hold), and the row printer.
#include "RichGrid/grid_printed_cells.h"

#include <algorithm>
#include <cmath>

#include "RichGrid/markup.h"
#include "RichGrid/rich_grid.h"
#include "RichGrid/rotated_text.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/core/application.h"
#include "platform/gui/richtext/rtf_reader.h"

namespace {

// Screen pixels (pictures keep the size they have on screen) to tenths of
// a millimetre.
int PixelsToPrint(int pixels, double scale) {
  return static_cast<int>(std::lround(pixels * 254.0 / Screen->PixelsPerInch() * scale));
}

bool IsWhite(TColor c) { return ColorToRGB(c) == ColorToRGB(clWhite); }

}  // namespace

int PrintFontHeight(int points, double scale) { return -static_cast<int>(std::lround(points * 254.0 / 72.0 * scale)); }

PrintedCells::PrintedCells(TRichStringGrid& grid) : grid_(grid) {}

// ---------------------------------------------------------------------------
// What the measurements depend on

PrintedCells::Key PrintedCells::CurrentKey() {
  const TPrintsettings* ps = grid_.PrintSettings();
  Key k;
  k.changes = grid_.ChangeCount();
  if (vx::CanvasDevice* d = canvas_->Device()) {
    k.device = &typeid(*d);
    k.dpiX = d->LogPixelsX();
    k.dpiY = d->LogPixelsY();
  }
  k.left = range_.Left;
  k.top = range_.Top;
  k.right = range_.Right;
  k.bottom = range_.Bottom;
  k.font = *ps->Font();
  k.headerFont = *ps->HeaderFont();
  k.footerFont = *ps->FooterFont();
  k.fixedWidth = ps->FixedWidth();
  k.fixedCols = grid_.FixedCols();
  k.useFixedWidth = ps->UseFixedWidth();
  k.noAutoSize = ps->NoAutoSize();
  k.printGraphics = ps->PrintGraphics();
  k.repeatFixedCols = ps->RepeatFixedCols();
  k.wordWrap = grid_.WordWrap();
  k.multiline = grid_.Multilinecells();
  k.html = grid_.EnableHTML();
  k.graphics = grid_.EnableGraphics();
  k.urlShow = grid_.URLShow();
  k.urlFull = grid_.URLFull();
  k.bands = grid_.Bands()->Active() && grid_.Bands()->Print();
  k.useFixedHeight = ps->UseFixedHeight();
  k.heightEvent = static_cast<bool>(grid_.OnPrintSetRowHeight);
  k.colourAnswers = ColourAnswers();
  return k;
}

// FNV-1a over the font of every cell that MeasureColumns measures.
std::uint64_t PrintedCells::ColourAnswers() {
  if (!grid_.OnGetCellPrintColor) return 0;
  std::uint64_t h = 14695981039346656037ULL;
  auto add = [&h](const void* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) h = (h ^ static_cast<const unsigned char*>(bytes)[i]) * 1099511628211ULL;
  };
  TFont font;
  TBrush brush;
  auto column = [&](int col) {
    for (int r = range_.Top; r <= range_.Bottom; ++r) {
      CellColors(col, r, font, brush);
      const int values[] = {font.Size(), static_cast<int>(font.Style().Bits()), font.Orientation(), font.Charset(),
                            static_cast<int>(font.Pitch())};
      add(values, sizeof values);
      add(font.Name().data(), font.Name().size() + 1);
    }
  };
  for (int c = std::max(range_.Left, 0); c <= range_.Right && c < grid_.ColCount(); ++c) column(c);
  if (grid_.PrintSettings()->RepeatFixedCols())
    for (int c = 0; c < grid_.FixedCols() && c < range_.Left; ++c) column(c);
  return h;
}

void PrintedCells::BeginPass(TCanvas* canvas, const TGridRect& range, bool pinned) {
  canvas_ = canvas;
  range_ = range;
  scale_ = 1.0;
  if (pinned && key_) return;
  memo_.clear();
  memoScale_ = 0.0;
  Key k = CurrentKey();
  if (key_ && *key_ == k) return;
  key_ = std::move(k);
  widthsMeasured_ = false;
  naturalWidths_.clear();
  unscaledHeights_.clear();
  heights_.clear();
  widths_.clear();
  fit_ = 1.0;
  MeasureMetrics();
}

void PrintedCells::MeasureMetrics() {
  const TPrintsettings* ps = grid_.PrintSettings();
  UseFont(*ps->Font(), 1.0);
  metrics_.unit = canvas_->TextHeight("gh") / 8;
  metrics_.aWidth = canvas_->TextWidth("a");
  UseFont(*ps->HeaderFont(), 1.0);
  metrics_.headerTextHeight = canvas_->TextHeight("gh");
  UseFont(*ps->FooterFont(), 1.0);
  metrics_.footerTextHeight = canvas_->TextHeight("gh");
}

// ---------------------------------------------------------------------------
// Column widths and row heights

const std::vector<int>& PrintedCells::NaturalWidths() {
  if (!widthsMeasured_) MeasureColumns();
  return naturalWidths_;
}

void PrintedCells::MeasureColumns() {
  const TPrintsettings* ps = grid_.PrintSettings();
  naturalWidths_.assign(static_cast<std::size_t>(std::max(grid_.ColCount(), 0)), 0);
  const int rows = std::max(range_.Bottom - range_.Top + 1, 0);
  unscaledHeights_.assign(static_cast<std::size_t>(rows), 0);
  const bool wrapped = grid_.WordWrap() && ps->NoAutoSize();
  const bool heights = !wrapped && !ps->UseFixedHeight() && !grid_.OnPrintSetRowHeight;
  const double screenToPrint = 254.0 / Screen->PixelsPerInch();
  auto measure = [&](int col, bool inRange) {
    int& width = naturalWidths_[static_cast<std::size_t>(col)];
    if (ps->UseFixedWidth()) width = ps->FixedWidth();
    else if (ps->NoAutoSize()) width = static_cast<int>(std::lround((grid_.ColWidths(col) - 4) * screenToPrint));
    // The heights need measuring anyway unless they are wrapped at the
    // final widths; the widths only without a width setting.
    const bool widths = !ps->UseFixedWidth() && !ps->NoAutoSize();
    if (!widths && !(inRange && heights)) return;
    for (int r = range_.Top; r <= range_.Bottom; ++r) {
      const TSize s = MeasureCell(col, r, 1.0, width);
      if (widths) width = std::max(width, s.cx);
      if (inRange && heights) {
        int& h = unscaledHeights_[static_cast<std::size_t>(r - range_.Top)];
        h = std::max(h, s.cy);
      }
    }
  };
  for (int c = std::max(range_.Left, 0); c <= range_.Right && c < grid_.ColCount(); ++c) measure(c, true);
  if (ps->RepeatFixedCols())
    for (int c = 0; c < grid_.FixedCols() && c < range_.Left; ++c) measure(c, false);
  widthsMeasured_ = true;
}

void PrintedCells::SetLayout(const std::vector<int>& widths, double fit) {
  const bool wrapped = grid_.WordWrap() && grid_.PrintSettings()->NoAutoSize();
  if (fit != fit_ || (wrapped && widths != widths_) || heights_.empty()) {
    // Heights measured at scale 1 serve while nothing scales or wraps.
    if (fit == 1.0 && !wrapped && !unscaledHeights_.empty()) heights_ = unscaledHeights_;
    else heights_.assign(static_cast<std::size_t>(std::max(range_.Bottom - range_.Top + 1, 0)), -1);
  }
  widths_ = widths;
  fit_ = fit;
}

int PrintedCells::RowBaseHeight(int row) {
  const TPrintsettings* ps = grid_.PrintSettings();
  if (ps->UseFixedHeight()) return ps->FixedHeight();
  if (grid_.OnPrintSetRowHeight) {
    int height = ps->FixedHeight();
    grid_.OnPrintSetRowHeight(&grid_, row, height);
    return height;
  }
  const bool kept = row >= range_.Top && row <= range_.Bottom && !heights_.empty();
  int* slot = kept ? &heights_[static_cast<std::size_t>(row - range_.Top)] : nullptr;
  if (slot && *slot >= 0) return *slot;
  int h = 0;
  for (int c = std::max(range_.Left, 0); c <= range_.Right && c < grid_.ColCount(); ++c) {
    const int width = static_cast<std::size_t>(c) < widths_.size() ? widths_[static_cast<std::size_t>(c)] : 0;
    h = std::max(h, MeasureCell(c, row, fit_, width).cy);
  }
  if (slot) *slot = h;
  return h;
}

int PrintedCells::RowHeight(int row) {
  const int h = RowBaseHeight(row);
  return h + h / 8 + 2 * metrics_.unit + grid_.PrintSettings()->RowSpacing();
}

// ---------------------------------------------------------------------------
// One cell's text, font, angle and picture

AnsiString PrintedCells::DisplayText(int col, int row, bool& markup) const {
  AnsiString text = grid_.Cells(col, row);
  int kind = TextType(text, grid_.EnableHTML());
  if (kind == ctFormula) {
    text = grid_.FormulaCellText(col, row, text);
    kind = TextType(text, grid_.EnableHTML());
    if (kind == ctFormula) kind = ctPlain;
  }
  if (kind == ctRichText) text = vx::ReadRtf(text).PlainText();
  markup = kind == ctMarkup;
  return text;
}

void PrintedCells::CellColors(int col, int row, TFont& font, TBrush& brush) {
  font.Assign(*grid_.PrintSettings()->Font());
  grid_.GetCellPrintColor(col, row, TGridDrawState{}, &brush, &font);
}

void PrintedCells::UseFont(const TFont& font, double scale) {
  TFont* f = canvas_->Font();
  f->Assign(font);
  f->SetHeight(PrintFontHeight(font.Size(), scale));
}

int PrintedCells::CellAngle(int col, int row) const {
  const TCellGraphic* g = grid_.CellGraphic(col, row);
  return g && g->Kind == ctValue ? g->Mode : 0;
}

TSize PrintedCells::PictureSize(int col, int row, double scale) const {
  if (!grid_.PrintSettings()->PrintGraphics()) return TSize{};
  const TCellGraphic* g = grid_.CellGraphic(col, row);
  if (!g) return TSize{};
  int w = 0, h = 0;
  switch (g->Kind) {
    case ctBitmap:
    case ctPicture:
    case ctFilePicture:
    case ctIcon:
    case ctImageList:
    case ctImages:
    case ctCheckBox:
    case ctDataCheckBox: grid_.CellGraphicSize(col, row, w, h); break;
    case ctImageValue:
      if (const TImageList* images = grid_.GridImages()) {
        w = images->Width();
        h = images->Height();
      }
      break;
    default: break;  // drawn on screen only
  }
  return TSize{PixelsToPrint(w, scale), PixelsToPrint(h, scale)};
}

// Most cells of a grid repeat a few texts in one font: their sizes are
// kept for the pass (and from the counting pass for the drawing pass of a
// job, whose texts are placed as they were measured).
TSize PrintedCells::TextSize(const TFont& font, double scale, const AnsiString& line, bool fontInUse) {
  if (!(memoFont_ == font) || memoScale_ != scale) {
    memo_.clear();
    memoFont_ = font;
    memoScale_ = scale;
  }
  auto it = memo_.find(line);
  if (it == memo_.end()) {
    if (!fontInUse) UseFont(font, scale);
    it = memo_.emplace(line, canvas_->TextExtent(line)).first;
  }
  return it->second;
}

TSize PrintedCells::MeasureCell(int col, int row, double scale, int columnWidth) {
  const TPrintsettings* ps = grid_.PrintSettings();
  const int real = grid_.RealColIndex(col);
  const TSize picture = PictureSize(real, row, scale);
  bool markup = false;
  AnsiString text = DisplayText(real, row, markup);
  TFont font;
  TBrush brush;
  CellColors(real, row, font, brush);
  TSize size;
  if (markup) {
    // Laid out in device pixels, as it is drawn.
    canvas_->SetMapMode(MM_TEXT);
    canvas_->Font()->Assign(font);
    canvas_->Font()->SetSize(std::max(1, static_cast<int>(std::lround(font.Size() * scale))));
    AnsiString link, plain;
    int w = 0, h = 0;
    DrawMarkup(canvas_, text, TRect{0, 0, 1000, 1000}, grid_.GridImages(), -1, -1, false, true, true, false, true,
               scale, grid_.URLColor(), link, plain, w, h);
    canvas_->SetMapMode(MM_LOMETRIC);
    size.cx = static_cast<int>(std::lround(w * 254.0 / canvas_->GetDeviceCaps(LOGPIXELSX)));
    size.cy = static_cast<int>(std::lround(h * 254.0 / canvas_->GetDeviceCaps(LOGPIXELSY)));
  } else {
    if (grid_.URLShow() && !grid_.URLFull() && IsURL(text)) text = StripURLScheme(text);
    const int lines = LineCount(text, grid_.Multilinecells());
    const int angle = CellAngle(real, row);
    if (grid_.WordWrap() && ps->NoAutoSize()) {
      UseFont(font, scale);
      TRect r{0, 0, columnWidth, 0};
      canvas_->DrawText(
          text, r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL | grid_.ExtraTextFlags());
      size = TSize{columnWidth, text.empty() ? 0 : r.Top - r.Bottom};
    } else if (lines == 1 && angle == 0) {
      const TSize line = TextSize(font, scale, CutFirstLine(text, false), false);
      size = TSize{line.cx + picture.cx, line.cy};
    } else {
      UseFont(font, scale);
      int widest = 0;
      AnsiString rest = text;
      for (int i = 0; i < lines; ++i) widest = std::max(widest, canvas_->TextWidth(CutFirstLine(rest, true)));
      const int lineHeight = canvas_->TextHeight(text);
      if (angle != 0) size = RotatedTextExtent(widest, lineHeight, angle);
      else size = TSize{widest + picture.cx, lineHeight * lines};
    }
  }
  return TSize{std::max(size.cx, picture.cx), std::max(size.cy, picture.cy)};
}

// ---------------------------------------------------------------------------
// Printing a row

int PrintedCells::PrintRow(int y, int first, int last, int row, const std::vector<int>& edges, bool draw) {
  const int rowHeight = RowHeight(row);
  if (!draw) return rowHeight;
  scale_ = fit_;
  for (int c = first; c <= last; ++c)
    PrintCell(c, row,
              TRect{edges[static_cast<std::size_t>(c)], y, edges[static_cast<std::size_t>(c) + 1], y - rowHeight},
              rowHeight);
  scale_ = 1.0;
  const TPrintBorders borders = grid_.PrintSettings()->Borders();
  if (borders == pbSingle || borders == pbDouble || borders == pbHorizontal || borders == pbAroundHorizontal) {
    canvas_->MoveTo(edges[static_cast<std::size_t>(first)], y);
    canvas_->LineTo(edges[static_cast<std::size_t>(last) + 1], y);
  }
  return rowHeight;
}

void PrintedCells::PrintCell(int col, int row, const TRect& cell, int rowHeight) {
  const int real = grid_.RealColIndex(col);
  TFont font;
  TBrush brush;
  CellColors(real, row, font, brush);
  // A cell coloured by the query (bands, the colour event) shows it.
  if (brush.Style() != bsClear && !IsWhite(brush.Color())) {
    canvas_->Brush()->Assign(brush);
    canvas_->FillRect(cell);
    canvas_->Brush()->SetStyle(bsClear);
  }
  TRect area = cell;
  PrintPicture(real, row, area);

  bool markup = false;
  AnsiString text = DisplayText(real, row, markup);
  if (markup) {
    const TPoint a = canvas_->LPtoDP(TPoint{area.Left, area.Top}), b = canvas_->LPtoDP(TPoint{area.Right, area.Bottom});
    canvas_->SetMapMode(MM_TEXT);
    canvas_->Font()->Assign(font);
    canvas_->Font()->SetSize(std::max(1, static_cast<int>(std::lround(font.Size() * scale_))));
    AnsiString link, plain;
    int w = 0, h = 0;
    DrawMarkup(canvas_, text, TRect{a.X, a.Y, b.X, b.Y}, grid_.GridImages(), -1, -1, false, false, true, false, true,
               scale_, grid_.URLColor(), link, plain, w, h);
    canvas_->SetMapMode(MM_LOMETRIC);
  } else if (!text.empty()) {
    UseFont(font, scale_);
    PrintText(real, row, text, font, area, rowHeight);
  }
  PrintCellBorders(real, row, cell);
}

void PrintedCells::PrintText(int col, int row, const AnsiString& original, const TFont& font, const TRect& area,
                             int rowHeight) {
  const TPrintsettings* ps = grid_.PrintSettings();
  const int aWidth = metrics_.aWidth, spacing = ps->RowSpacing();
  const TAlignment alignment = grid_.GetCellAlignment(col, row);
  AnsiString text = original;
  if (grid_.URLShow() && !grid_.URLFull() && IsURL(text)) text = StripURLScheme(text);

  if (grid_.WordWrap() && ps->NoAutoSize()) {
    const unsigned align = alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
    TRect r = area;
    canvas_->DrawText(text, r,
                      DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL | align | grid_.ExtraTextFlags());
    return;
  }

  const int lines = LineCount(text, grid_.Multilinecells());
  const TVAlignment vAlignment = grid_.VAlignment();
  if (lines > 1) {
    const int th = canvas_->TextHeight(text);
    const int step = (th + spacing) + (th + spacing) / 8;
    int offset = metrics_.unit;
    if (vAlignment == vtaCenter) offset = (rowHeight - step * lines) / 2;
    else if (vAlignment == vtaBottom) offset = rowHeight - step * lines;
    int y = area.Top - offset;
    AnsiString rest = text;
    for (int i = 0; i < lines; ++i, y -= step) {
      const AnsiString line = CutFirstLine(rest, true);
      const int w = canvas_->TextWidth(line);
      int x = area.Left + aWidth;
      if (alignment == taRightJustify) x = area.Right - aWidth - w;
      else if (alignment == taCenter) x = area.Left + (area.Right - area.Left - w) / 2;
      canvas_->TextOut(x, y, line);
    }
    return;
  }

  text = CutFirstLine(text, false);
  const int angle = CellAngle(col, row);
  const TSize extent = TextSize(font, scale_, text, true);
  // The origin rule works with y growing downward: the cell is turned
  // upside down for it and the point back again. Upright text needs only
  // its horizontal part, the rule's inset of 2 included.
  TPoint o{};
  if (angle != 0)
    o = RotatedTextOrigin(extent.cx, extent.cy, TRect{area.Left, -area.Top, area.Right, -area.Bottom}, angle, alignment,
                          vAlignment);
  else if (alignment == taRightJustify) o.X = area.Right - extent.cx;
  else if (alignment == taCenter) o.X = area.Left + (area.Right - 2 - area.Left - extent.cx) / 2 + 2;
  else o.X = area.Left + 2;
  int x = o.X;
  if (alignment == taLeftJustify) x += aWidth;
  else if (alignment == taRightJustify) x -= aWidth;
  int y = -o.Y;
  if (angle == 0) {
    int offset = 0;
    if (vAlignment == vtaCenter) offset = (spacing + rowHeight - extent.cy) / 2;
    // At the bottom the text ends on the cell's bottom edge.
    else if (vAlignment == vtaBottom) offset = rowHeight - extent.cy;
    y = area.Top - offset;
  } else {
    // Turned as on screen: counter-clockwise for a positive angle.
    canvas_->Font()->SetOrientation(angle * 10);
  }
  canvas_->TextOut(x, y, text);
}

void PrintedCells::PrintPicture(int col, int row, TRect& area) {
  const TSize size = PictureSize(col, row, scale_);
  if (size.cx <= 0 && size.cy <= 0) return;
  TCellGraphic* g = grid_.CellGraphic(col, row);
  int w = size.cx, h = size.cy;
  int left = area.Left, top = area.Top;
  switch (g->Position) {
    case 1:
    case 4: left = area.Right - w; break;
    case 2: left = area.Left + (area.Right - area.Left - w) / 2; break;
    case 5: w = area.Right - area.Left; break;
    default: break;
  }
  switch (g->VertPosition) {
    case 1:
    case 3: top = area.Bottom + h; break;
    case 2: top = area.Top - (area.Top - area.Bottom - h) / 2; break;
    case 5: h = area.Top - area.Bottom; break;
    default: break;
  }
  const TRect r{left, top, left + w, top - h};

  const TImageList* images = grid_.GridImages();
  auto drawImage = [&](int index, const TRect& at) {
    TBitmap image;
    images->GetBitmap(index, &image);
    canvas_->StretchDraw(at, &image);
  };
  switch (g->Kind) {
    case ctBitmap:
    case ctPicture:
    case ctFilePicture: canvas_->StretchDraw(r, g->Picture()); break;
    case ctIcon: canvas_->StretchDraw(r, g->Graphic2); break;
    case ctImageList: drawImage(g->Value, r); break;
    case ctImageValue: drawImage(StrToIntDef(grid_.Cells(col, row), -1), r); break;
    case ctImages: {
      const TIntList* numbers = g->ImageNumbers();
      const int n = numbers->Count();
      for (int i = 0; i < n; ++i) {
        const TRect slot = g->State ? TRect{r.Left + i * w / n, r.Top, r.Left + (i + 1) * w / n, r.Bottom}
                                    : TRect{r.Left, r.Top - i * h / n, r.Right, r.Top - (i + 1) * h / n};
        drawImage(numbers->Items(i), slot);
      }
      break;
    }
    case ctCheckBox:
    case ctDataCheckBox: {
      bool checked = false;
      grid_.GetCheckBoxState(col, row, checked);
      canvas_->DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
      break;
    }
    default: break;
  }

  // The text keeps out of the picture's way.
  if (g->Position == 0 || g->Position == 3) area.Left = r.Right;
  else if (g->Position == 1 || g->Position == 4) area.Right = r.Left;
  if (g->VertPosition == 3) area.Bottom = r.Top;
  else if (g->VertPosition == 4) area.Top = r.Bottom;
}

void PrintedCells::PrintCellBorders(int col, int row, const TRect& cell) {
  TCellBorders borders;
  TPen saved;
  saved.Assign(*canvas_->Pen());
  grid_.GetCellPrintBorder(col, row, canvas_->Pen(), borders);
  const int inset = canvas_->Pen()->Width() / 2 + 1;
  const int right = cell.Right - inset, bottom = cell.Bottom + inset;
  if (borders.Contains(cbLeft)) {
    canvas_->MoveTo(cell.Left, cell.Top);
    canvas_->LineTo(cell.Left, cell.Bottom);
  }
  if (borders.Contains(cbRight)) {
    canvas_->MoveTo(right, cell.Top);
    canvas_->LineTo(right, cell.Bottom);
  }
  if (borders.Contains(cbTop)) {
    canvas_->MoveTo(cell.Left, cell.Top);
    canvas_->LineTo(cell.Right, cell.Top);
  }
  if (borders.Contains(cbBottom)) {
    canvas_->MoveTo(cell.Left, bottom);
    canvas_->LineTo(cell.Right, bottom);
  }
  canvas_->Pen()->Assign(saved);
}
