#include "RichGrid/flat_combo.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QStyle>
#include <QWidget>

// The mouse entering and leaving, focus changes: the hot state.
class ComboHotWatch : public QObject {
 public:
  explicit ComboHotWatch(TRichCustomCombo* combo) : combo_(combo) {}
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::Enter: combo_->MouseEntered(); break;
      case QEvent::Leave: combo_->MouseLeft(); break;
      case QEvent::FocusIn:
      case QEvent::FocusOut: combo_->Redraw(); break;
      default: break;
    }
    return false;
  }

 private:
  TRichCustomCombo* combo_;
};

namespace {

void Frame(TCanvas* c, const TRect& r, TColor color) {
  c->Brush()->SetColor(color);
  c->FrameRect(r);
}

TRect Inset(const TRect& r, int d) { return Rect(r.Left + d, r.Top + d, r.Right - d, r.Bottom - d); }

// A one-pixel edge: `light` on the top and left, `dark` on the bottom and right.
void Edge(TCanvas* c, const TRect& r, TColor light, TColor dark) {
  c->Pen()->SetColor(light);
  c->MoveTo(r.Left, r.Bottom - 1);
  c->LineTo(r.Left, r.Top);
  c->LineTo(r.Right, r.Top);
  c->Pen()->SetColor(dark);
  c->MoveTo(r.Right - 1, r.Top + 1);
  c->LineTo(r.Right - 1, r.Bottom - 1);
  c->LineTo(r.Left - 1, r.Bottom - 1);
}

}  // namespace

TRichCustomCombo::~TRichCustomCombo() {
  if (Widget()) Widget()->removeEventFilter(hotWatch_.get());
}

TRichCustomCombo::TRichCustomCombo(TComponent* AOwner, TWinControl* AParent)
    : TComboBox(AOwner, nullptr), buttonWidth_(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2) {
  overlay_ = new TPaintBox(this, this);
  overlay_->Widget()->setAttribute(Qt::WA_TransparentForMouseEvents);
  overlay_->OnPaint = [this](TObject*) { PaintFlat(overlay_->Canvas()); };
  hotWatch_ = std::make_unique<ComboHotWatch>(this);
  Widget()->installEventFilter(hotWatch_.get());
  SetFlat(true);
  if (AParent) SetParent(AParent);
}

void TRichCustomCombo::DropDown() {
  TComboBox::DropDown();
  Redraw();
}

void TRichCustomCombo::CloseUp() {
  TComboBox::CloseUp();
  Redraw();
}

void TRichCustomCombo::SetFlat(bool v) {
  flat_ = v;
  if (auto* combo = qobject_cast<QComboBox*>(Widget())) combo->setFrame(!v);
  overlay_->SetVisible(v);
  Redraw();
}

void TRichCustomCombo::SetEtched(bool v) {
  etched_ = v;
  Redraw();
}

void TRichCustomCombo::SetButtonWidth(int v) {
  if (v < 14 || v > 32) return;
  buttonWidth_ = v;
  Redraw();
}

void TRichCustomCombo::SetFocusBorder(bool v) {
  focusBorder_ = v;
  Redraw();
}

void TRichCustomCombo::SetDropWidth(int v) {
  dropWidth_ = v;
  if (v > 0) SetDroppedWidth(v);
}

void TRichCustomCombo::SetEnabled(bool v) {
  if (v == Enabled()) return;
  if (flat_ && !v) {
    savedColor_ = Color();
    colorSaved_ = true;
    SetColor(Parent() ? Parent()->Color() : clBtnFace);
  } else if (flat_ && v && colorSaved_) {
    SetColor(savedColor_);
    colorSaved_ = false;
  }
  TComboBox::SetEnabled(v);
  Redraw();
}

bool TRichCustomCombo::ButtonHot() const { return mouseInControl_ || Focused(); }
bool TRichCustomCombo::BorderHot() const { return ButtonHot() && focusBorder_; }

void TRichCustomCombo::MouseEntered() {
  if (!Enabled()) return;
  mouseInControl_ = true;
  if (autoFocus_ && CanFocus()) SetFocus();
  Redraw();
}

void TRichCustomCombo::MouseLeft() {
  mouseInControl_ = false;
  Redraw();
}

void TRichCustomCombo::Redraw() {
  if (!overlay_) return;
  overlay_->SetBounds(0, 0, Width(), Height());
  overlay_->Invalidate();
}

TRect TRichCustomCombo::ButtonRect() const { return Rect(Width() - buttonWidth_ - 1, 1, Width() - 1, Height() - 1); }

void TRichCustomCombo::PaintFlat(TCanvas* c) {
  if (!flat_) return;
  const TRect client = Rect(0, 0, Width(), Height());
  const TRect button = ButtonRect();
  const TColor parentColor = Parent() ? Parent()->Color() : clBtnFace;
  const TColor own = Color() == clDefault ? clWindow : Color();
  c->Brush()->SetStyle(bsSolid);
  if (BorderHot()) {
    Edge(c, client, clBtnShadow, clBtnHighlight);  // sunken
    Frame(c, Inset(client, 1), clBtnFace);
    Frame(c, Inset(client, 2), own);
  } else {
    Frame(c, client, parentColor);
    Frame(c, Inset(client, 1), parentColor);
    Frame(c, Inset(client, 2), own);
  }
  if (ButtonHot()) {
    if (DroppedDown()) Frame(c, button, clBtnShadow);  // flat while the list is down
    else if (etched_) {
      Edge(c, button, clBtnShadow, clBtnHighlight);
      Edge(c, Inset(button, 1), clBtnHighlight, clBtnShadow);
    } else {
      Edge(c, button, clBtnHighlight, clBtnShadow);
    }
  } else {
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Inset(button, 1));
  }
  // The drop-down arrow.
  const int cx = (button.Left + button.Right) / 2, cy = (button.Top + button.Bottom) / 2;
  c->Brush()->SetColor(Enabled() ? clBtnText : clGrayText);
  c->Pen()->SetColor(Enabled() ? clBtnText : clGrayText);
  c->Polygon({TPoint{cx - 3, cy - 1}, TPoint{cx + 3, cy - 1}, TPoint{cx, cy + 2}});
}
