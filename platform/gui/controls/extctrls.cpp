#include "platform/gui/controls/extctrls.h"

#include <QWidget>
#include <algorithm>

#include "platform/gui/base/qt_app.h"
#include "platform/gui/services/timers.h"

namespace {

// A 3-D frame: light on the top and left, shadow on the bottom and right.
void Frame3D(TCanvas* c, TRect& r, TColor topLeft, TColor bottomRight, int width) {
  for (int i = 0; i < width; ++i) {
    c->Pen()->SetColor(topLeft);
    c->MoveTo(r.Left, r.Bottom - 1);
    c->LineTo(r.Left, r.Top);
    c->LineTo(r.Right - 1, r.Top);
    c->Pen()->SetColor(bottomRight);
    c->MoveTo(r.Right - 1, r.Top);
    c->LineTo(r.Right - 1, r.Bottom - 1);
    c->LineTo(r.Left - 1, r.Bottom - 1);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
}

void Bevel(TCanvas* c, TRect& r, TBevelCut cut, int width) {
  if (cut == bvLowered) Frame3D(c, r, clBtnShadow, clBtnHighlight, width);
  if (cut == bvRaised) Frame3D(c, r, clBtnHighlight, clBtnShadow, width);
  if (cut == bvSpace) r = Rect(r.Left + width, r.Top + width, r.Right - width, r.Bottom - width);
}

}  // namespace

TPanel::TPanel(TComponent* AOwner, TWinControl* AParent) : TCustomControl(AOwner) {
  widget_->setFocusPolicy(Qt::NoFocus);
  tabStop_ = false;
  SetBounds(0, 0, 185, 41);
  ColorChanged();
  if (AParent) SetParent(AParent);
}

void TPanel::SetBevelOuter(TBevelCut v) {
  bevelOuter_ = v;
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut v) {
  bevelInner_ = v;
  Invalidate();
}

void TPanel::SetBevelWidth(int v) {
  bevelWidth_ = std::max(1, v);
  Invalidate();
}

void TPanel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Invalidate();
}

void TPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  Bevel(c, r, bevelOuter_, bevelWidth_);
  Bevel(c, r, bevelInner_, bevelWidth_);
  if (!caption_.empty()) {
    c->Brush()->SetStyle(bsClear);
    const int w = c->TextWidth(caption_), h = c->TextHeight(caption_);
    const int x = alignment_ == taLeftJustify    ? r.Left + 2
                  : alignment_ == taRightJustify ? r.Right - 2 - w
                                                 : (r.Left + r.Right - w) / 2;
    c->TextOut(x, (r.Top + r.Bottom - h) / 2, caption_);
  }
  if (OnPaint) OnPaint(this);
}

TPaintBox::TPaintBox(TComponent* AOwner, TWinControl* AParent) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 105, 105);
  if (AParent) SetParent(AParent);
}

void TPaintBox::Paint() {
  if (OnPaint) OnPaint(this);
}

TImage::TImage(TComponent* AOwner, TWinControl* AParent)
    : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this](TObject*) {
    if (autoSize_ && !picture_->Bitmap()->Empty()) SetBounds(left_, top_, picture_->Width(), picture_->Height());
    Invalidate();
  };
  SetBounds(0, 0, 105, 105);
  if (AParent) SetParent(AParent);
}

TImage::~TImage() { picture_->OnChange = nullptr; }

TCanvas* TImage::Canvas() {
  TBitmap* bmp = picture_->Bitmap();
  if (bmp->Empty()) bmp->SetSize(std::max(1, width_), std::max(1, height_));
  Invalidate();
  return bmp->Canvas();
}

void TImage::SetStretch(bool v) {
  stretch_ = v;
  Invalidate();
}

void TImage::SetCenter(bool v) {
  center_ = v;
  Invalidate();
}

void TImage::SetAutoSize(bool v) {
  autoSize_ = v;
  if (v && !picture_->Bitmap()->Empty()) SetBounds(left_, top_, picture_->Width(), picture_->Height());
}

void TImage::Paint() {
  TBitmap* bmp = picture_->Bitmap();
  if (bmp->Empty()) return;
  TCanvas* c = TGraphicControl::Canvas();
  if (stretch_) {
    c->StretchDraw(ClientRect(), bmp);
  } else if (center_) {
    c->Draw((width_ - bmp->Width()) / 2, (height_ - bmp->Height()) / 2, bmp);
  } else {
    c->Draw(0, 0, bmp);
  }
}

TBevel::TBevel(TComponent* AOwner, TWinControl* AParent) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 50, 50);
  if (AParent) SetParent(AParent);
}

void TBevel::SetShape(TBevelShape v) {
  shape_ = v;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
  style_ = v;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = TGraphicControl::Canvas();
  const TColor dark = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor light = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  TRect r = ClientRect();
  auto line = [&](int x1, int y1, int x2, int y2, TColor color) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  switch (shape_) {
    case bsBox: Frame3D(c, r, dark, light, 1); break;
    case bsFrame:
      Frame3D(c, r, dark, light, 1);
      Frame3D(c, r, light, dark, 1);
      break;
    case bsTopLine:
      line(0, 0, width_, 0, dark);
      line(0, 1, width_, 1, light);
      break;
    case bsBottomLine:
      line(0, height_ - 2, width_, height_ - 2, dark);
      line(0, height_ - 1, width_, height_ - 1, light);
      break;
    case bsLeftLine:
      line(0, 0, 0, height_, dark);
      line(1, 0, 1, height_, light);
      break;
    case bsRightLine:
      line(width_ - 2, 0, width_ - 2, height_, dark);
      line(width_ - 1, 0, width_ - 1, height_, light);
      break;
    case bsSpacer: break;
  }
}

TSplitter::TSplitter(TComponent* AOwner, TWinControl* AParent) : TGraphicControl(AOwner) {
  align_ = alLeft;
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
  if (AParent) SetParent(AParent);
}

void TSplitter::Paint() {
  TCanvas* c = TGraphicControl::Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(ClientRect());
}

TControl* TSplitter::FindTarget() const {
  if (!parent_) return nullptr;
  // The control aligned the same way whose edge touches the splitter.
  for (int i = 0; i < parent_->ControlCount(); ++i) {
    TControl* c = parent_->Controls(i);
    if (c == this || !c->Visible() || c->Align() != align_) continue;
    switch (align_) {
      case alLeft:
        if (c->Left() + c->Width() == left_) return c;
        break;
      case alRight:
        if (c->Left() == left_ + width_) return c;
        break;
      case alTop:
        if (c->Top() + c->Height() == top_) return c;
        break;
      case alBottom:
        if (c->Top() == top_ + height_) return c;
        break;
      default: break;
    }
  }
  return nullptr;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  target_ = FindTarget();
  if (!target_) return;
  dragging_ = true;
  start_ = ClientToScreen(Point(x, y));
  startSize_ = (align_ == alLeft || align_ == alRight) ? target_->Width() : target_->Height();
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_ || !target_) return;
  const TPoint p = ClientToScreen(Point(x, y));
  int size = startSize_;
  switch (align_) {
    case alLeft: size += p.X - start_.X; break;
    case alRight: size -= p.X - start_.X; break;
    case alTop: size += p.Y - start_.Y; break;
    case alBottom: size -= p.Y - start_.Y; break;
    default: break;
  }
  size = std::max(size, minSize_);
  if (align_ == alLeft || align_ == alRight) target_->SetWidth(size);
  else target_->SetHeight(size);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  target_ = nullptr;
  if (OnMoved) OnMoved(this);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { Update(); }

TTimer::~TTimer() { vx::Timers().Stop(this, 0); }

void TTimer::Update() {
  if (enabled_ && interval_ > 0) vx::Timers().Start(this, 0, static_cast<unsigned>(interval_), [this] { Fire(); });
  else vx::Timers().Stop(this, 0);
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Update();
}

void TTimer::SetInterval(int v) {
  if (v == interval_) return;
  interval_ = std::max(0, v);
  Update();
}

void TTimer::Fire() {
  if (OnTimer) OnTimer(this);
}
