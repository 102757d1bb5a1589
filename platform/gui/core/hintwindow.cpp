#include "platform/gui/core/hintwindow.h"

#include <QFontMetrics>
#include <QWidget>

#include "platform/gui/draw/qt_bridge.h"

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  widget_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
  widget_->setFocusPolicy(Qt::NoFocus);
  tabStop_ = false;
  visible_ = false;
  ColorChanged();
}

TRect THintWindow::CalcHintRect(int maxWidth, const AnsiString& hint, void*) {
  const QFontMetrics fm(vx::ToQFont(*font_));
  const QRect r = fm.boundingRect(QRect(0, 0, std::max(1, maxWidth), 100000),
                                  Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, vx::ToQString(hint));
  return Rect(0, 0, r.width() + 6, r.height() + 2);
}

void THintWindow::ActivateHint(const TRect& rect, const AnsiString& hint) {
  SetCaption(hint);
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  active_ = true;
  visible_ = true;
  widget_->show();
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  active_ = false;
  visible_ = false;
  if (widget_) widget_->hide();
}

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(Color() == clDefault ? clInfoBk : Color());
  c->Pen()->SetColor(clBlack);
  c->Rectangle(ClientRect());
  c->Font()->SetColor(clInfoText);
  c->Brush()->SetStyle(bsClear);
  // One line per text line; wrapping was measured by CalcHintRect.
  int y = 1;
  std::size_t start = 0;
  while (start <= caption_.size()) {
    const std::size_t end = caption_.find('\n', start);
    AnsiString line = caption_.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    c->TextOut(3, y, line);
    y += c->TextHeight("Wg");
    if (end == AnsiString::npos) break;
    start = end + 1;
  }
}
