// TRichStringGrid: painting the cell graphics (pictures, icons, image-list
// images, check boxes, turned text, nodes, radio groups, image rows,
// stretched pictures, progress bars, comment marks and buttons), and the
// room each takes beside the cell text.
#include <algorithm>
#include <cmath>

#include "RichGrid/canvas_state.h"
#include "RichGrid/picture_draw.h"
#include "RichGrid/rich_grid.h"
#include "RichGrid/rotated_text.h"
#include "RichGrid/text_routines.h"

namespace {

constexpr int kCheckSize = 15;

enum Along { kNear, kFar, kMiddle, kWhole };

// Where a graphic of `size` starts between lo and hi (2 pixels in from
// the near or far edge, centred, or across the whole, which sets size).
int PlaceAlong(int lo, int hi, int& size, Along where) {
  switch (where) {
    case kFar: return hi - size - 2;
    case kMiddle: return lo + (hi - lo - size) / 2;
    case kWhole: size = hi - lo; return lo;
    default: return lo + 2;
  }
}

// Placement of a graphic of size w x h in the cell: horizontally 0 and 3
// at the left, 1 and 4 at the right, 2 centred, 5 across the whole width;
// vertically 0 and 4 at the top, 1 and 3 at the bottom, 2 centred, 5 the
// whole height.
TRect PlaceGraphic(const TRect& cell, int w, int h, int horizontal, int vertical) {
  static constexpr Along kHorizontal[] = {kNear, kFar, kMiddle, kNear, kFar, kWhole};
  static constexpr Along kVertical[] = {kNear, kFar, kMiddle, kFar, kNear, kWhole};
  const int left =
      PlaceAlong(cell.Left, cell.Right, w, horizontal >= 0 && horizontal <= 5 ? kHorizontal[horizontal] : kNear);
  const int top = PlaceAlong(cell.Top, cell.Bottom, h, vertical >= 0 && vertical <= 5 ? kVertical[vertical] : kNear);
  return Rect(left, top, left + w, top + h);
}

// The rectangle a stretched picture of size w x h fills in the cell by its
// stretch mode: 0 its own size, 1 the whole cell, 2 the cell keeping its
// proportions, 3 the cell's height and 4 the cell's width keeping
// proportions; margin pixels stay free on every side.
TRect StretchedRect(const TRect& cell, int w, int h, int mode, int margin) {
  const TRect inner = Rect(cell.Left + margin, cell.Top + margin, cell.Right - margin, cell.Bottom - margin);
  if (w <= 0 || h <= 0 || inner.Width() <= 0 || inner.Height() <= 0) return Rect(0, 0, 0, 0);
  double scale = 1;
  switch (mode) {
    case 1: return inner;
    case 2: scale = std::min(static_cast<double>(inner.Width()) / w, static_cast<double>(inner.Height()) / h); break;
    case 3: scale = static_cast<double>(inner.Height()) / h; break;
    case 4: scale = static_cast<double>(inner.Width()) / w; break;
    default: break;
  }
  const int sw = static_cast<int>(std::lround(w * scale)), sh = static_cast<int>(std::lround(h * scale));
  return Rect(inner.Left, inner.Top, inner.Left + sw, inner.Top + sh);
}

}  // namespace

TRichStringGrid::GraphicRoom TRichStringGrid::CellGraphicRoom(int ACol, int ARow) {
  GraphicRoom room;
  const TCellGraphic* g = CellGraphic(ACol, ARow);
  if (!g) return room;
  room.horizontal = g->Position;
  room.vertical = g->VertPosition;
  switch (g->Kind) {
    case ctBitmap:
    case ctIcon:
    case ctImageList:
    case ctImages:
    case ctButton: CellGraphicSize(ACol, ARow, room.width, room.height); break;
    case ctPicture:
    case ctFilePicture:
      if (const TGraphic* p = g->Picture()) {
        const TRect cell = CellRect(ACol, ARow);
        const TRect r = StretchedRect(cell.Right > cell.Left ? cell : Rect(0, 0, ColWidths(ACol), RowHeights(ARow)),
                                      p->Width(), p->Height(), g->Mode, g->Value);
        room.width = r.Width();
        room.height = r.Height();
      }
      break;
    case ctCheckBox: room.width = kCheckSize + 1; break;
    case ctDataCheckBox:
      room.width = kCheckSize + 1;
      room.drawsText = false;
      break;
    case ctImageValue:
      if (gridImages_) room.width = gridImages_->Width();
      room.drawsText = false;
      break;
    case ctValue:
    case ctRadio:
    case ctProgress: room.drawsText = false; break;
    default: break;
  }
  return room;
}

void TRichStringGrid::PaintCellGraphic(int ACol, int ARow, const TRect& cell, const GraphicRoom& room) {
  if (ACol == 0 && ARow >= FixedRows() && paintHasNodes_) PaintNodeFrame(cell);
  TCellGraphic* g = CellGraphic(ACol, ARow);
  if (!g) return;
  TCanvas* c = Canvas();
  const TColor background = c->Brush()->Color();
  switch (g->Kind) {
    case ctBitmap:
      if (auto* bmp = dynamic_cast<TBitmap*>(g->Picture()))
        DrawBitmapTransparent(c, PlaceGraphic(cell, room.width, room.height, g->Position, g->VertPosition), bmp,
                              background);
      break;
    case ctIcon:
      if (g->Graphic2) {
        const TRect r = PlaceGraphic(cell, room.width, room.height, g->Position, g->VertPosition);
        c->Draw(r.Left, r.Top, g->Graphic2);
      }
      break;
    case ctImageList:
    case ctImageValue:
      if (gridImages_) {
        int index = g->Value;
        if (g->Kind == ctImageValue) index = StrToIntDef(Cells(ACol, ARow), -1);
        const TRect r = PlaceGraphic(cell, gridImages_->Width(), gridImages_->Height(), g->Position, g->VertPosition);
        gridImages_->Draw(c, r.Left, r.Top, index);
      }
      break;
    case ctCheckBox:
    case ctDataCheckBox: {
      bool checked = false;
      GetCheckBoxState(ACol, ARow, checked);
      const TRect r = PlaceGraphic(cell, kCheckSize, kCheckSize, g->Position, 2);
      c->DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0) | (flat_ ? DFCS_FLAT : 0));
      break;
    }
    case ctValue: {
      // The cell text turned by the angle in Mode.
      const AnsiString text = Cells(ACol, ARow);
      CanvasState keep(c);
      const TSize extent = c->TextExtent(text);
      const TPoint at =
          RotatedTextOrigin(extent.cx, extent.cy, cell, g->Mode, GetCellAlignment(ACol, ARow), vAlignment_);
      c->Font()->SetOrientation(g->Mode * 10);
      c->Brush()->SetStyle(bsClear);
      c->TextOut(at.X, at.Y, text);
      break;
    }
    case ctNode: PaintNodeGlyph(g->State, cell); break;
    case ctRadio: PaintRadioGroup(*g, cell); break;
    case ctImages:
      if (gridImages_ && g->ImageNumbers()) {
        const TRect r = PlaceGraphic(cell, room.width, room.height, g->Position, g->VertPosition);
        const TIntList* numbers = g->ImageNumbers();
        for (int i = 0; i < numbers->Count(); ++i) {
          const int x = g->State ? r.Left + i * gridImages_->Width() : r.Left;
          const int y = g->State ? r.Top : r.Top + i * gridImages_->Height();
          gridImages_->Draw(c, x, y, numbers->Items(i));
        }
      }
      break;
    case ctPicture:
    case ctFilePicture:
      if (TGraphic* p = g->Picture()) {
        TRect r = StretchedRect(cell, p->Width(), p->Height(), g->Mode, g->Value);
        if (g->Mode != 1) r = PlaceGraphic(cell, r.Width(), r.Height(), g->Position, g->VertPosition);
        c->StretchDraw(r, p);
      }
      break;
    case ctProgress: PaintProgress(ACol, ARow, cell); break;
    case ctComment: {
      CanvasState keep(c);
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(clRed);
      c->Pen()->SetColor(clRed);
      c->Polygon(
          {Point(cell.Right - 7, cell.Top), Point(cell.Right - 1, cell.Top), Point(cell.Right - 1, cell.Top + 6)});
      break;
    }
    case ctButton:
      c->DrawFrameControl(PaintedButtonRect(ACol, ARow, cell), DFC_BUTTON,
                          DFCS_BUTTONPUSH | (g->State ? DFCS_PUSHED : 0));
      break;
    default: break;
  }
}

// The node column of a grid with nodes: a line in the node colour along
// its right edge.
void TRichStringGrid::PaintNodeFrame(const TRect& cell) {
  TCanvas* c = Canvas();
  const TColor pen = c->Pen()->Color();
  c->Pen()->SetColor(cellNode_->Color);
  c->MoveTo(cell.Right - 1, cell.Top);
  c->LineTo(cell.Right - 1, cell.Bottom);
  c->Pen()->SetColor(pen);
}

void TRichStringGrid::PaintNodeGlyph(bool expanded, const TRect& cell) {
  TCanvas* c = Canvas();
  TBitmap* glyph = expanded ? cellNode_->ContractGlyph() : cellNode_->ExpandGlyph();
  const int cx = cell.Left + 8, cy = cell.Top + cell.Height() / 2;
  if (cellNode_->NodeType() == cnGlyph && !glyph->Empty()) {
    DrawBitmapTransparent(c, Rect(cx - glyph->Width() / 2, cy - glyph->Height() / 2, cell.Right, cell.Bottom), glyph,
                          c->Brush()->Color());
    return;
  }
  TRect box = Rect(cx - 5, cy - 5, cx + 4, cy + 4);
  CanvasState keep(c);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clWindow);
  c->FillRect(box);
  if (cellNode_->NodeType() == cn3D) c->DrawEdge(box, EDGE_RAISED, BF_RECT);
  else {
    c->Brush()->SetColor(cellNode_->NodeColor);
    c->FrameRect(box);
  }
  // The connecting line down to the node's rows, and the sign.
  c->Pen()->SetColor(cellNode_->NodeColor);
  c->MoveTo(cx - 3, cy - 1);
  c->LineTo(cx + 2, cy - 1);
  if (!expanded) {
    c->MoveTo(cx - 1, cy - 3);
    c->LineTo(cx - 1, cy + 2);
  } else {
    c->MoveTo(cx - 1, cy + 4);
    c->LineTo(cx - 1, cell.Bottom);
  }
}

std::vector<TRect> TRichStringGrid::RadioItemRects(const TCellGraphic& g, const TRect& cell) {
  std::vector<TRect> items;
  const TStringList* texts = g.Texts();
  if (!texts) return items;
  TCanvas* c = Canvas();
  const int lineHeight = c->TextHeight("gh");
  int x = cell.Left + 2, y = cell.Top + 2;
  for (int i = 0; i < texts->Count(); ++i) {
    const int width = c->TextWidth(texts->Strings(i)) + 12 + 4;
    items.push_back(Rect(x, y, x + width, y + lineHeight));
    if (g.State) x += width;
    else y += lineHeight;
  }
  return items;
}

TRect TRichStringGrid::PaintedButtonRect(int ACol, int ARow, const TRect& cell) {
  const TCellGraphic* g = CellGraphic(ACol, ARow);
  if (!g) return TRect{};
  int w = 0, h = 0;
  CellGraphicSize(ACol, ARow, w, h);
  return PlaceGraphic(cell, w, h, g->Position, g->VertPosition);
}

void TRichStringGrid::PaintRadioGroup(const TCellGraphic& g, const TRect& cell) {
  TCanvas* c = Canvas();
  const int lineHeight = c->TextHeight("gh");
  const TBrushStyle brushStyle = c->Brush()->Style();
  const std::vector<TRect> items = RadioItemRects(g, cell);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TRect& item = items[i];
    const int top = item.Top + (lineHeight - 12) / 2;
    c->DrawFrameControl(Rect(item.Left, top, item.Left + 12, top + 12), DFC_BUTTON,
                        DFCS_BUTTONRADIO | (static_cast<int>(i) == g.Value ? DFCS_CHECKED : 0));
    c->Brush()->SetStyle(bsClear);
    c->TextOut(item.Left + 14, item.Top, g.Texts()->Strings(static_cast<int>(i)));
    c->Brush()->SetStyle(brushStyle);
  }
}

void TRichStringGrid::PaintProgress(int ACol, int ARow, const TRect& cell) {
  TCanvas* c = Canvas();
  const int value = std::clamp(StrToIntDef(Cells(ACol, ARow), 0), 0, 100);
  const TRect r = Rect(cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1);
  const int split = r.Left + r.Width() * value / 100;
  CanvasState keep(c);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clHighlight);
  c->FillRect(Rect(r.Left, r.Top, split, r.Bottom));
  c->Brush()->SetColor(clWindow);
  c->FillRect(Rect(split, r.Top, r.Right, r.Bottom));
  c->Brush()->SetStyle(bsClear);
  TRect textRect = r;
  c->DrawText(IntToStr(value) + "%", textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
