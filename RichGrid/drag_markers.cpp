#include "RichGrid/drag_markers.h"

#include <QPolygon>
#include <QRegion>
#include <QWidget>

namespace {

// A top-level window without frame that stays above the others and never
// takes the focus.
void MakeFloatingWindow(QWidget* w) {
  w->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
  w->setAttribute(Qt::WA_ShowWithoutActivating);
  w->setFocusPolicy(Qt::NoFocus);
}

// The text cut from its end until it fits `room` with "..." after it.
AnsiString FitWithEllipsis(TCanvas* c, const AnsiString& text, int room) {
  if (c->TextWidth(text) <= room) return text;
  AnsiString cut = text;
  while (!cut.empty() && c->TextWidth(cut + "...") > room) cut.pop_back();
  return cut + "...";
}

}  // namespace

const std::array<TPoint, 7>& TArrowWindow::ArrowShape(int direction) {
  static const std::array<std::array<TPoint, 7>, 4> shapes = {{
      {{{5, 0}, {10, 5}, {7, 5}, {7, 9}, {3, 9}, {3, 5}, {0, 5}}},
      {{{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}}},
      {{{0, 3}, {0, 7}, {4, 7}, {4, 10}, {8, 5}, {4, 0}, {4, 3}}},
      {{{0, 5}, {4, 10}, {4, 7}, {8, 7}, {8, 3}, {4, 3}, {4, 0}}},
  }};
  return shapes[static_cast<std::size_t>(direction & 3)];
}

TArrowWindow::TArrowWindow(TComponent* AOwner, int direction)
    : TPanel(AOwner), direction_(static_cast<std::uint8_t>(direction & 3)) {
  SetVisible(false);
  MakeFloatingWindow(widget_);
  SetBevelOuter(bvNone);
  SetColor(RGB(0, 255, 0));
  SetBounds(0, 0, 11, 11);
  QPolygon polygon;
  for (const TPoint& p : ArrowShape(direction_)) polygon << QPoint(p.X, p.Y);
  widget_->setMask(QRegion(polygon, Qt::WindingFill));
}

TPopupButton::TPopupButton(TComponent* AOwner) : TCustomControl(AOwner) {
  SetVisible(false);
  MakeFloatingWindow(widget_);
  tabStop_ = false;
  SetColor(clBtnFace);
  SetBounds(0, 0, 75, 20);
}

void TPopupButton::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
}

void TPopupButton::Paint() {
  TCanvas* c = Canvas();
  const TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  if (!flat_) {
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(clWhite);
    c->MoveTo(r.Left, r.Bottom - 1);
    c->LineTo(r.Left, r.Top);
    c->LineTo(r.Right - 1, r.Top);
    c->Pen()->SetColor(RGB(128, 128, 128));
    c->MoveTo(r.Right - 1, r.Top);
    c->LineTo(r.Right - 1, r.Bottom - 1);
    c->LineTo(r.Left - 1, r.Bottom - 1);
  }
  c->Brush()->SetStyle(bsClear);
  const AnsiString text = FitWithEllipsis(c, Caption(), r.Right - r.Left - 4);
  const int w = c->TextWidth(text), h = c->TextHeight(text);
  c->TextOut((r.Left + r.Right - w) / 2, (r.Top + r.Bottom - h) / 2, text);
}
