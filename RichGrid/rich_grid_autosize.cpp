// TRichStringGrid: fitting column widths and row heights to the cells
// (measured with the fonts and mark-up rules of painting), rows of a given
// number of lines, exchanging two rows with everything they carry, the
// incremental row search and the selection test of a cell.
#include <algorithm>

#include "RichGrid/canvas_state.h"
#include "RichGrid/markup.h"
#include "RichGrid/rich_grid.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/richtext/rtf_reader.h"
#include "platform/rtl/scope_guard.h"

// The canvas font a cell is measured with: the fixed font for fixed cells,
// then the colour event's changes and the zoom.
void TRichStringGrid::UseCellFont(int ACol, int ARow) {
  const bool fixed = ACol < FixedCols() || ARow < FixedRows() || IsTrailingFixed(ACol, ARow);
  TFont font(fixed ? *fixedFont_ : *Font());
  TBrush brush;
  GetCellColor(ACol, ARow, fixed ? TGridDrawState{gdFixed} : TGridDrawState{}, &brush, &font);
  if (zoomLevel_ != 0) font.SetSize(font.Size() + zoomLevel_);
  Canvas()->Font()->Assign(font);
}

int TRichStringGrid::FittedColumnWidth(int ACol) {
  CanvasState keep(Canvas());
  int widest = 0;
  for (int r = 0; r < RowCount(); ++r) {
    UseCellFont(ACol, r);
    int tw = 0, th = 0, gw = 0, gh = 0;
    CellTextSize(ACol, r, tw, th);
    CellGraphicSize(ACol, r, gw, gh);
    widest = std::max(widest, tw + gw);
  }
  return widest + 4;
}

void TRichStringGrid::FitColumn(int ACol, bool growOnly) {
  if (ACol < 0 || ACol >= ColCount()) return;
  const int width = FittedColumnWidth(ACol);
  if (!growOnly || width > ColWidths(ACol)) SetColWidths(ACol, width);
}

void TRichStringGrid::FitColumns(bool doFixedCols, int padding) {
  for (int c = doFixedCols ? 0 : TStringGrid::FixedCols(); c < ColCount(); ++c)
    SetColWidths(c, FittedColumnWidth(c) + padding);
}

void TRichStringGrid::FitRow(int ARow) {
  if (ARow < 0 || ARow >= RowCount()) return;
  TCanvas* c = Canvas();
  CanvasState keep(c);
  int height = DefaultRowHeight();
  for (int col = 0; col < ColCount(); ++col) {
    UseCellFont(col, ARow);
    AnsiString text = Cells(col, ARow);
    const int room = ColWidths(col) - 4;
    int textHeight = 0;
    const int kind = TextType(text, enableHTML_);
    if (kind == ctMarkup) {
      AnsiString link, plain;
      int w = 0;
      DrawMarkup(c, text, Rect(0, 0, room, 0x3FFF), gridImages_, -1, -1, false, true, false, false, blinkOn_, 1.0,
                 urlColor_, link, plain, w, textHeight);
    } else {
      if (kind == ctRichText) text = vx::ReadRtf(text).PlainText();
      TRect r = Rect(0, 0, room, 0);
      textHeight = c->DrawText(text, r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | vAlignFlags_);
    }
    int gw = 0, gh = 0;
    CellGraphicSize(col, ARow, gw, gh);
    height = std::max(height, std::max(textHeight, gh) + 2);
  }
  SetRowHeights(ARow, height);
}

void TRichStringGrid::SetRowLines(int ARow, int Lines, int Extra) {
  TCanvas* c = Canvas();
  CanvasState keep(c);
  c->Font()->Assign(*Font());
  const int h = c->TextHeight("gh");
  SetRowHeights(ARow, (h + h / 4) * Lines + Extra);
}

bool TRichStringGrid::IsCellInSelection(int ACol, int ARow) const {
  if (mouseActions_->DisjunctRowSelect)
    return ARow >= 0 && static_cast<std::size_t>(ARow) < rowSelected_.size() &&
           rowSelected_[static_cast<std::size_t>(ARow)];
  const TGridRect s = Selection();
  return ACol >= s.Left && ACol <= s.Right && ARow >= s.Top && ARow <= s.Bottom;
}

void TRichStringGrid::ExchangeRows(int R1, int R2) {
  if (R1 == R2 || R1 < 0 || R2 < 0 || R1 >= RowCount() || R2 >= RowCount()) return;
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  std::vector<AnsiString> cells1, cells2;
  std::vector<TObject*> objects1, objects2;
  TakeRowData(R1, cells1, objects1);
  TakeRowData(R2, cells2, objects2);
  PutRowData(R1, std::move(cells2), std::move(objects2));
  PutRowData(R2, std::move(cells1), std::move(objects1));
  InvalidateRow(R1);
  InvalidateRow(R2);
  const int h1 = RowHeights(R1), h2 = RowHeights(R2);
  if (h1 != h2) {
    SetRowHeights(R1, h2);
    SetRowHeights(R2, h1);
  }
  if (mouseActions_->DisjunctRowSelect) {
    const std::size_t need = static_cast<std::size_t>(std::max(R1, R2)) + 1;
    if (rowSelected_.size() < need) rowSelected_.resize(need, 0);
    std::swap(rowSelected_[static_cast<std::size_t>(R1)], rowSelected_[static_cast<std::size_t>(R2)]);
  }
  // The current row stays with its row.
  if (FCurrent.Y == R1 || FCurrent.Y == R2) {
    FCurrent.Y = FCurrent.Y == R1 ? R2 : R1;
    FAnchor.Y = FCurrent.Y;
  }
}

int TRichStringGrid::FindRowByPrefix(const AnsiString& Text) const {
  if (RowCount() < 2) return -1;
  const int key = sortShow_ ? sortColumn_ : 1;
  for (int r = FixedRows(); r < RowCount(); ++r)
    if (AnsiUpperCase(Cells(key, r).substr(0, Text.size())) == Text) return r;
  return -1;
}
