// TRichStringGrid: cell painting. DrawCell picks a cell's font and colours
// (fixed cells, bands, the per-cell colour event, the selection look by
// focus), fills its background (brush or background picture), draws its
// text (plain, mark-up, rich text, formula or password), the heading's sort
// glyph, the cell's borders and 3D edges and its cell graphic. Paint adds
// the lines in front of the fixed right columns and above the footer rows.
#include <algorithm>

#include "RichGrid/canvas_state.h"
#include "RichGrid/grid_cursors.h"
#include "RichGrid/markup.h"
#include "RichGrid/picture_draw.h"
#include "RichGrid/rich_grid.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/richtext/rtf_reader.h"

namespace {

// The text keeps this distance from the cell's left and right edge (and
// from its top).
constexpr int kInset = 2;

unsigned AlignmentFlags(TAlignment a) { return a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : DT_LEFT; }

// Cuts characters off the end of a text wider than the room until it fits
// with "..." appended; an emptied text gets no dots.
AnsiString ShortenToFit(TCanvas* c, AnsiString text, int room) {
  if (c->TextWidth(text) <= room) return text;
  while (!text.empty() && c->TextWidth(text + "...") > room) text.pop_back();
  return text.empty() ? text : text + "...";
}

}  // namespace

// ---------------------------------------------------------------------------
// Which cells count as fixed, selected and showing a sort glyph

bool TRichStringGrid::IsTrailingFixed(int ACol, int ARow) const {
  return (fixedRightCols_ > 0 && ACol >= ColCount() - fixedRightCols_) ||
         (fixedFooters_ > 0 && ARow >= RowCount() - fixedFooters_);
}

bool TRichStringGrid::ShowsSortGlyph(int ACol, int ARow) const {
  if (ARow != 0 || !sortShow_ || RowCount() <= 2 || FixedRows() <= 0) return false;
  if (ACol < FixedCols() && !sortFixedCols_) return false;
  if (sortIndexShow_) return sortIndexes_->IndexOfValue(ACol) >= 0;
  return ACol == sortColumn_;
}

// Selected by the grid's selection (the focused cell only when it is drawn
// selected); with disjunct rows a data cell only when its row is picked.
bool TRichStringGrid::IsSelectedLook(int ACol, int ARow, TGridDrawState AState) const {
  const bool rowSelect = Options().Contains(goRowSelect);
  const bool bySelection = AState.Contains(gdSelected) &&
                           (!AState.Contains(gdFocused) || Options().Contains(goDrawFocusSelected) || rowSelect);
  if (!mouseActions_->DisjunctRowSelect || ACol < FixedCols()) return bySelection;
  const bool rowPicked =
      ARow >= 0 && static_cast<std::size_t>(ARow) < rowSelected_.size() && rowSelected_[static_cast<std::size_t>(ARow)];
  return rowPicked && (bySelection || rowSelect);
}

// Mark-up text lies 2 pixels in from the cell's left and top (after a row
// indicator), 10 pixels narrower in a heading that shows the sort glyph.
TRect TRichStringGrid::MarkupRect(int ACol, int ARow, const TRect& cell) {
  TRect r = Rect(cell.Left + kInset, cell.Top + kInset, cell.Right, cell.Bottom);
  if (ACol == 0 && ARow == Row() && FixedCols() > 0 && !rowIndicator_->Empty()) r.Left += rowIndicator_->Width();
  if (ShowsSortGlyph(ACol, ARow)) r.Right -= 10;
  return r;
}

// ---------------------------------------------------------------------------
// DrawCell

void TRichStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  if (Ctl3D() == flat_) SetCtl3D(!flat_);
  const int col = RealColIndex(ACol);
  TCanvas* c = Canvas();
  c->Font()->Assign(ACol < FixedCols() || ARow < FixedRows() ? *fixedFont_ : *Font());

  const GraphicRoom room = CellGraphicRoom(col, ARow);

  // The string grid draws the 3D edges of its own fixed cells itself.
  const bool edgesDrawn = AState.Contains(gdFixed) && DefaultDrawing() && Ctl3D();
  bool fixed = AState.Contains(gdFixed) || ACol < FixedCols() || ARow < FixedRows() || IsTrailingFixed(ACol, ARow);
  if (!fixed) IsFixedCell(col, ARow, fixed);
  if (fixed) {
    c->Brush()->SetColor(FixedColor());
    AState.Include(gdFixed);
    AState.Exclude(gdSelected);
  }

  GetCellColor(col, ARow, AState, c->Brush(), c->Font());
  if (AState.Contains(gdSelected) && !AState.Contains(gdFocused) && selectionColor_ == clNone)
    c->Brush()->SetColor(clHighlight);
  if (zoomLevel_ != 0) c->Font()->SetSize(c->Font()->Size() + zoomLevel_);

  TRect textRect = ARect;
  if (ACol == 0 && ARow == Row() && FixedCols() > 0 && !rowIndicator_->Empty()) {
    const int top = ARect.Top + (ARect.Height() - rowIndicator_->Height()) / 2;
    DrawBitmapTransparent(c, Rect(ARect.Left, top, ARect.Right, ARect.Bottom), rowIndicator_.get(),
                          c->Brush()->Color());
    textRect.Left += rowIndicator_->Width();
  }

  if (DefaultDrawing()) PaintCellContent(ACol, ARow, ARect, textRect, AState, room);

  PaintCellBorders(col, ARow, ARect);
  if (fixed && !edgesDrawn) PaintFixedEdges(ARect);
  // A fixed cell pressed as a button looks pushed in until the release.
  if (pressedFixed_ == TGridCoord{ACol, ARow}) {
    TRect r = ARect;
    c->DrawEdge(r, BDR_SUNKENINNER, BF_RECT);
  }
  // A blinking text in view needs the blink timer.
  if (!blinkSeen_ && ContainsBlink(Cells(col, ARow))) blinkSeen_ = true;
  if (enableGraphics_) PaintCellGraphic(col, ARow, ARect, room);

  TDrawGrid::DrawCell(ACol, ARow, ARect, AState);

  // The grid draws the focus rectangle by inverting; drawing it again
  // takes it away.
  if (hideFocusRect_ && DefaultDrawing() && AState.Contains(gdFocused) && !Options().Contains(goRowSelect) &&
      !(Options().Contains(goEditing) && Options().Contains(goAlwaysShowEditor)))
    c->DrawFocusRect(ARect);
}

void TRichStringGrid::PaintCellBorders(int ACol, int ARow, const TRect& rect) {
  TCanvas* c = Canvas();
  TPen saved;
  saved.Assign(*c->Pen());
  TCellBorders borders;
  GetCellBorder(ACol, ARow, c->Pen(), borders);
  if (!borders.Empty()) {
    const int half = c->Pen()->Width() / 2;
    const TRect r = Rect(rect.Left + half, rect.Top + half, rect.Right - half, rect.Bottom - half);
    if (borders.Contains(cbLeft)) {
      c->MoveTo(r.Left, r.Top);
      c->LineTo(r.Left, r.Bottom);
    }
    if (borders.Contains(cbRight)) {
      c->MoveTo(r.Right - 1, r.Top);
      c->LineTo(r.Right - 1, r.Bottom);
    }
    if (borders.Contains(cbTop)) {
      c->MoveTo(r.Left, r.Top);
      c->LineTo(r.Right, r.Top);
    }
    if (borders.Contains(cbBottom)) {
      c->MoveTo(r.Left, r.Bottom - 1);
      c->LineTo(r.Right, r.Bottom - 1);
    }
  }
  c->Pen()->Assign(saved);
}

void TRichStringGrid::PaintFixedEdges(const TRect& rect) {
  TCanvas* c = Canvas();
  const bool vLines = Options().Contains(goFixedVertLine), hLines = Options().Contains(goFixedHorzLine);
  if (!vLines && !hLines) return;
  if (Ctl3D()) {
    TRect r = rect;
    c->DrawEdge(r, BDR_RAISEDINNER, (vLines ? BF_RIGHT : 0) | (hLines ? BF_BOTTOM : 0));
    r = rect;
    c->DrawEdge(r, BDR_RAISEDINNER, (vLines ? BF_LEFT : 0) | (hLines ? BF_TOP : 0));
    return;
  }
  CanvasState keep(c);
  c->Pen()->SetColor(clBlack);
  c->Pen()->SetWidth(1);
  if (vLines) {
    c->MoveTo(rect.Right, rect.Top);
    c->LineTo(rect.Right, rect.Bottom + 1);
    c->MoveTo(rect.Left - 1, rect.Top);
    c->LineTo(rect.Left - 1, rect.Bottom + 1);
  }
  if (hLines) {
    c->MoveTo(rect.Left, rect.Bottom);
    c->LineTo(rect.Right + 1, rect.Bottom);
    c->MoveTo(rect.Left, rect.Top - 1);
    c->LineTo(rect.Right + 1, rect.Top - 1);
  }
}

// ---------------------------------------------------------------------------
// Content: colours, background, text and the sort glyph

void TRichStringGrid::PaintCellContent(int ACol, int ARow, const TRect& cellRect, TRect textRect, TGridDrawState AState,
                                       const GraphicRoom& room) {
  TCanvas* c = Canvas();
  const int col = RealColIndex(ACol);
  const bool fixed = AState.Contains(gdFixed);

  // Colours by selection and focus.
  bool selected = !fixed && IsSelectedLook(ACol, ARow, AState);
  TColor linkColor = urlColor_;
  bool inSelectionColour = false;
  if (selected && !IsActiveControl() && !showSelection_) {
    selected = false;
    if (bands_->Active()) {
      GetCellColor(col, ARow, AState, c->Brush(), c->Font());
    } else {
      c->Brush()->SetColor(GridColor());
      c->Font()->SetColor(Font()->Color());
    }
  } else if (selected) {
    if (selectionColor_ != clNone) {
      c->Brush()->SetColor(selectionColor_);
      inSelectionColour = true;
    }
    if (selectionTextColor_ != clNone) {
      c->Font()->SetColor(selectionTextColor_);
      linkColor = selectionTextColor_;
    }
  } else if (!fixed && mouseActions_->DisjunctRowSelect && AState.Contains(gdSelected)) {
    c->Brush()->SetColor(GridColor());
    c->Font()->SetColor(Font()->Color());
    GetCellColor(col, ARow, AState, c->Brush(), c->Font());
  }

  // The text to show.
  AnsiString text = Cells(col, ARow);
  int kind = TextType(text, enableHTML_);
  if (kind == ctFormula) {
    text = FormulaCellText(col, ARow, text);
    kind = TextType(text, enableHTML_);
    if (kind == ctFormula) kind = ctPlain;
  }
  bool password = false;
  IsPasswordCell(col, ARow, password);
  if (password) {
    text.assign(text.size(), passwordChar_);
    kind = ctPlain;
  }

  PaintCellBackground(cellRect, fixed, inSelectionColour);
  if (selectionRectangle_ && !fixed && AState.Contains(gdSelected)) PaintSelectionEdges(ACol, ARow, cellRect);
  if (!room.drawsText) return;

  CanvasState keep(c);
  c->Brush()->SetStyle(bsClear);
  const bool glyph = ShowsSortGlyph(ACol, ARow);
  const TAlignment alignment = GetCellAlignment(col, ARow);

  if (kind == ctMarkup) {
    const TRect r = MarkupRect(ACol, ARow, cellRect);
    AnsiString link, plain;
    int w = 0, h = 0;
    DrawMarkup(c, text, r, gridImages_, -1, -1, false, false, false, selected, blinkOn_, 1.0, linkColor, link, plain, w,
               h);
    if (glyph) {
      AnsiString unusedLink, unusedPlain;
      DrawMarkup(c, text, r, gridImages_, -1, -1, false, true, false, selected, blinkOn_, 1.0, linkColor, unusedLink,
                 unusedPlain, w, h);
      PaintSortGlyph(ACol, r, taLeftJustify, r.Left, w);
    }
    return;
  }
  if (kind == ctRichText) text = vx::ReadRtf(text).PlainText();

  TRect r = Rect(textRect.Left + kInset, textRect.Top + kInset, textRect.Right - kInset, textRect.Bottom);
  if (ARow == 0 && glyph) {
    if (alignment == taCenter) {
      r.Left += 10;
      r.Right += 10;
    }
    if (wordWrap_) r.Right -= 14;
  }
  // Room for the cell graphic beside the text.
  if (room.width > 0) {
    if (room.horizontal == 0 || room.horizontal == 3) r.Left += room.width;
    else if (room.horizontal == 1 || room.horizontal == 4) r.Right -= room.width;
  }
  if (room.height > 0) {
    if (room.vertical == 4) r.Top += room.height;
    else if (room.vertical == 3) r.Bottom -= room.height;
  }

  if (urlShow_ && IsURL(text)) {
    c->Font()->SetStyle(c->Font()->Style() + fsUnderline);
    c->Font()->SetColor(selected && selectionTextColor_ != clNone ? selectionTextColor_ : urlColor_);
  }
  if (LineCount(text, multilinecells_) <= 1) {
    text = CutFirstLine(text, false);
    if (urlShow_ && !urlFull_ && IsURL(text)) text = StripURLScheme(text);
    if (enhTextSize_) text = ShortenToFit(c, text, r.Width());
  }
  const unsigned flags = DT_NOPREFIX | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE) |
                         AlignmentFlags(alignment) | vAlignFlags_ | extraTextFlags_;
  if (!text.empty()) c->DrawText(text, r, flags);

  if (glyph) {
    const int firstLineWidth = c->TextWidth(CutFirstLine(text, false));
    int textLeft = r.Left;
    if (alignment == taRightJustify) textLeft = r.Right - firstLineWidth;
    PaintSortGlyph(ACol, r, alignment, textLeft, firstLineWidth);
  }
}

void TRichStringGrid::PaintCellBackground(const TRect& rect, bool fixed, bool inSelectionColour) {
  TCanvas* c = Canvas();
  c->FillRect(rect);
  TBitmap* picture = backGround_->Bitmap();
  if (picture->Empty() || inSelectionColour || fixed != (backGround_->Cells() == bcFixed)) return;
  // The part of the picture (placed once, or tiled from the grid's corner)
  // that lies under this cell.
  const bool hadClip = c->HasClip();
  const TRect oldClip = c->ClipRect();
  c->IntersectClipRect(rect);
  const int w = picture->Width(), h = picture->Height();
  if (backGround_->Display() == bdFixed) {
    c->Draw(backGround_->Left(), backGround_->Top(), picture);
  } else {
    for (int y = rect.Top / h * h; y < rect.Bottom; y += h)
      for (int x = rect.Left / w * w; x < rect.Right; x += w) c->Draw(x, y, picture);
  }
  if (hadClip) c->SetClipRect(oldClip);
  else c->ResetClipRect();
}

void TRichStringGrid::PaintSelectionEdges(int ACol, int ARow, const TRect& rect) {
  TCanvas* c = Canvas();
  const TGridRect s = Selection();
  CanvasState keep(c);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBlack);
  if (ACol == s.Left) c->FillRect(Rect(rect.Left, rect.Top, rect.Left + 2, rect.Bottom));
  if (ACol == s.Right) c->FillRect(Rect(rect.Right - 2, rect.Top, rect.Right, rect.Bottom));
  if (ARow == s.Top) c->FillRect(Rect(rect.Left, rect.Top, rect.Right, rect.Top + 2));
  if (ARow == s.Bottom) c->FillRect(Rect(rect.Left, rect.Bottom - 2, rect.Right, rect.Bottom));
}

// The sort glyph beside the heading text: after a left-aligned text, before
// a right-aligned one, near the left edge of a centred one. With the sort
// index shown, an arrow in the column's own direction and its place in the
// index.
void TRichStringGrid::PaintSortGlyph(int ACol, const TRect& r, TAlignment alignment, int textLeft, int textWidth) {
  TCanvas* c = Canvas();
  int x = textLeft + textWidth + 10;
  if (alignment == taRightJustify) x = textLeft - 14;
  else if (alignment == taCenter) x = r.Left + 8;
  int y = (r.Top + r.Bottom) / 2;
  if (vAlignment_ == vtaTop) y = r.Top + 8;
  else if (vAlignment_ == vtaBottom) y = r.Bottom - 8;

  CanvasState keep(c);
  c->Pen()->SetWidth(1);
  if (sortIndexShow_) {
    const int place = sortIndexes_->IndexOfValue(ACol);
    if (place < 0) return;
    const bool down = TSortIndexList::IsDescending(sortIndexes_->Items(place));
    const int s = down ? -1 : 1;
    c->Pen()->SetColor(clGray);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clYellow);
    c->Polygon({Point(x, y - 5 * s), Point(x + 4, y), Point(x + 2, y), Point(x + 2, y + 5 * s), Point(x - 2, y + 5 * s),
                Point(x - 2, y), Point(x - 4, y)});
    const AnsiString number = IntToStr(place + 1);
    c->Font()->SetSize(6);
    c->Font()->SetStyle(TFontStyles{});
    c->Brush()->SetStyle(bsClear);
    c->TextOut(x - 4 - c->TextWidth(number) - 2, y - 2 - c->TextHeight(number) / 2, number);
    return;
  }
  TBitmap* bitmap = sortDirection_ == sdDescending ? sortDownGlyph_.get() : sortUpGlyph_.get();
  if (!bitmap->Empty()) {
    DrawBitmapTransparent(c, Rect(x - 4, y - 4, x - 4 + bitmap->Width(), y - 4 + bitmap->Height()), bitmap,
                          c->Brush()->Color());
    return;
  }
  // A small raised triangle: light on its upper left sides, dark on the others.
  if (sortDirection_ == sdAscending) {
    c->Pen()->SetColor(clWhite);
    c->MoveTo(x, y - 4);
    c->LineTo(x - 4, y + 3);
    c->Pen()->SetColor(clGray);
    c->LineTo(x + 4, y + 3);
    c->LineTo(x, y - 4);
  } else {
    c->Pen()->SetColor(clWhite);
    c->MoveTo(x + 4, y - 3);
    c->LineTo(x - 4, y - 3);
    c->LineTo(x, y + 4);
    c->Pen()->SetColor(clGray);
    c->LineTo(x + 4, y - 3);
  }
}

// ---------------------------------------------------------------------------
// Paint

void TRichStringGrid::Paint() {
  if (updateCount_ > 0) return;
  paintHasNodes_ = false;
  if (enableGraphics_)
    for (int r = FixedRows(); r < RowCount() && !paintHasNodes_; ++r) paintHasNodes_ = IsNode(r);
  TStringGrid::Paint();
  TCanvas* c = Canvas();
  if (panMode_) DrawPanMark(c, panOrigin_.X - kPanMarkSize / 2, panOrigin_.Y - kPanMarkSize / 2, intelliPan_);
  if (blinkSeen_ && !timerRunning_) UpdateHoverTimer();
  if (fixedRightCols_ <= 0 && fixedFooters_ <= 0) return;
  CanvasState keep(c);
  c->Pen()->SetColor(clBlack);
  c->Pen()->SetWidth(1);
  const int width = std::min(GridWidth(), ClientWidth()), height = std::min(GridHeight(), ClientHeight());
  if (fixedRightCols_ > 0 && fixedRightCols_ < ColCount()) {
    const TRect r = CellRect(ColCount() - fixedRightCols_, std::max(TopRow(), 0));
    if (r.Right > r.Left) {
      c->MoveTo(r.Left - 1, 0);
      c->LineTo(r.Left - 1, height);
    }
  }
  if (fixedFooters_ > 0 && fixedFooters_ < RowCount()) {
    const TRect r = CellRect(std::max(LeftCol(), 0), RowCount() - fixedFooters_);
    if (r.Bottom > r.Top) {
      c->MoveTo(0, r.Top - 1);
      c->LineTo(width, r.Top - 1);
    }
  }
}
