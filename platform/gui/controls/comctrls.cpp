#include "platform/gui/controls/comctrls.h"

#include <QIcon>
#include <QPixmap>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/gui/controls/tab_rows.h"

TTabSheet::TTabSheet(TComponent* AOwner, TPageControl* APageControl) : TWinControl(AOwner) {
  auto* page = new vx::PaintWidget;
  SetWidget(page);
  ColorChanged();
  if (APageControl) SetPageControl(APageControl);
}

TTabSheet::~TTabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
  if (auto* pc = dynamic_cast<TPageControl*>(parent)) {
    SetPageControl(pc);
    return;
  }
  if (!parent) {
    SetPageControl(nullptr);
    return;
  }
  TWinControl::SetParent(parent);
}

void TTabSheet::SetPageControl(TPageControl* pc) {
  if (pc == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  if (pc) pc->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetTabVisible(bool v) {
  tabVisible_ = v;
  if (pageControl_) pageControl_->RefreshTab(this);
}

void TTabSheet::CaptionChanged() {
  if (pageControl_) pageControl_->RefreshTab(this);
}

TPageControl::TPageControl(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  frame_ = new vx::PageControlFrame;
  tabs_ = frame_->Tabs();
  QObject::connect(tabs_, &QTabWidget::currentChanged, [this](int index) {
    if (switching_) {
      lastIndex_ = index;
      return;
    }
    bool allow = true;
    if (OnChanging) vx::Guard([&] { OnChanging(this, allow); });
    if (!allow && lastIndex_ >= 0 && lastIndex_ < tabs_->count()) {
      switching_ = true;
      tabs_->setCurrentIndex(lastIndex_);
      switching_ = false;
      return;
    }
    lastIndex_ = index;
    if (OnChange) vx::Guard([&] { OnChange(this); });
  });
  width_ = 289;
  height_ = 193;
  tabStop_ = true;
  SetWidget(frame_);
  if (AParent) SetParent(AParent);
}

void TPageControl::SetMultiLine(bool v) {
  multiLine_ = v;
  frame_->SetMultiLine(v);
}

TRect TPageControl::TabRect(int index) const {
  if (index < 0 || index >= PageCount()) return TRect{};
  const QRect r = frame_->TabRect(tabs_->indexOf(pages_[static_cast<std::size_t>(index)]->Widget()));
  return r.isEmpty() ? TRect{} : TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

int TPageControl::RowCount() const { return frame_->RowCount(); }

TPageControl::~TPageControl() {
  while (!pages_.empty()) delete pages_.back();
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return pages_[static_cast<std::size_t>(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  page->pageControl_ = this;
  page->parent_ = this;
  InsertControl(page);
  switching_ = true;
  tabs_->addTab(page->Widget(), vx::ToQCaption(page->Caption()));
  tabs_->setTabVisible(tabs_->indexOf(page->Widget()), page->TabVisible());
  switching_ = false;
  frame_->Relayout();
  if (page->parentFont_) page->ParentFontChanged(*font_);
}

void TPageControl::RemovePage(TTabSheet* page) {
  const int index = tabs_->indexOf(page->Widget());
  switching_ = true;
  if (index >= 0) tabs_->removeTab(index);
  switching_ = false;
  if (page->Widget()) {
    page->Widget()->hide();
    page->Widget()->setParent(nullptr);
  }
  pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
  frame_->Relayout();
  RemoveControl(page);
  page->pageControl_ = nullptr;
  page->parent_ = nullptr;
}

void TPageControl::RefreshTab(TTabSheet* page) {
  const int index = tabs_->indexOf(page->Widget());
  if (index < 0) return;
  tabs_->setTabText(index, vx::ToQCaption(page->Caption()));
  switching_ = true;
  tabs_->setTabVisible(index, page->TabVisible());
  switching_ = false;
  frame_->Relayout();
}

TTabSheet* TPageControl::ActivePage() const {
  const int i = ActivePageIndex();
  return i >= 0 ? pages_[static_cast<std::size_t>(i)] : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (!page || page->pageControl_ != this) return;
  SetActivePageIndex(page->PageIndex());
}

int TPageControl::ActivePageIndex() const {
  const QWidget* current = tabs_->currentWidget();
  for (std::size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i]->Widget() == current) return static_cast<int>(i);
  return -1;
}

void TPageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= PageCount()) return;
  switching_ = true;
  tabs_->setCurrentWidget(pages_[static_cast<std::size_t>(index)]->Widget());
  switching_ = false;
}

// ---------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  bar_ = new QProgressBar;
  bar_->setTextVisible(false);
  width_ = 150;
  height_ = 16;
  SetWidget(bar_);
  PushNow();
  if (AParent) SetParent(AParent);
}

void TProgressBar::Push() {
  // The Qt bar takes the new state with the next pump, once however many
  // steps came before it: Qt works out on every new value whether the bar
  // must be repainted (its text, its style), which cost a long loop that
  // steps the bar per record more than reading the record.
  if (pushQueued_) return;
  pushQueued_ = true;
  QMetaObject::invokeMethod(
      bar_,
      [this] {
        pushQueued_ = false;
        PushNow();
      },
      Qt::QueuedConnection);
}

void TProgressBar::PushNow() {
  // The new position is painted with the next pump, not at once: Qt paints
  // a progress bar synchronously on every visible change.
  const bool updates = bar_->updatesEnabled();
  bar_->setUpdatesEnabled(false);
  // An empty range shows an empty bar (Qt would animate a busy indicator).
  if (max_ == min_) {
    bar_->setRange(0, 1);
    bar_->setValue(0);
  } else {
    bar_->setRange(min_, max_);
    bar_->setValue(position_);
  }
  bar_->setUpdatesEnabled(updates);
  bar_->update();
}

void TProgressBar::SetMin(int v) {
  min_ = v;
  if (max_ < min_) max_ = min_;
  position_ = std::clamp(position_, min_, max_);
  Push();
}

void TProgressBar::SetMax(int v) {
  max_ = v;
  if (min_ > max_) min_ = max_;
  position_ = std::clamp(position_, min_, max_);
  Push();
}

void TProgressBar::SetPosition(int v) {
  position_ = std::clamp(v, min_, max_);
  Push();
}

void TProgressBar::StepBy(int delta) {
  long long next = static_cast<long long>(position_) + delta;
  if (next > max_) next = min_;
  if (next < min_) next = min_;
  position_ = static_cast<int>(next);
  Push();
}

void TProgressBar::StepIt() { StepBy(step_); }

// ---------------------------------------------------------------------------

TStatusBar::TStatusBar(TComponent* AOwner, TWinControl* AParent) : TCustomControl(AOwner) {
  widget_->setFocusPolicy(Qt::NoFocus);
  tabStop_ = false;
  align_ = alBottom;
  SetBounds(0, 0, 200, 19);
  ColorChanged();
  if (AParent) SetParent(AParent);
}

TStatusBar::~TStatusBar() = default;

TStatusPanel* TStatusBar::Panels(int index) const {
  if (index < 0 || index >= PanelCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return panels_[static_cast<std::size_t>(index)].get();
}

TStatusPanel* TStatusBar::AddPanel() {
  panels_.push_back(std::make_unique<TStatusPanel>());
  Invalidate();
  return panels_.back().get();
}

void TStatusBar::ClearPanels() {
  panels_.clear();
  Invalidate();
}

void TStatusBar::SetSimplePanel(bool v) {
  simplePanel_ = v;
  Invalidate();
}

void TStatusBar::SetSimpleText(const AnsiString& v) {
  simpleText_ = v;
  if (simplePanel_) Repaint();
}

void TStatusBar::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(color_ == clDefault ? clBtnFace : color_);
  c->FillRect(ClientRect());
  c->Brush()->SetStyle(bsClear);
  const int textTop = (height_ - c->TextHeight("Wg")) / 2;
  if (simplePanel_) {
    c->TextOut(3, textTop, simpleText_);
    return;
  }
  int x = 0;
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    const TStatusPanel& p = *panels_[i];
    const int w = i + 1 == panels_.size() ? std::max(p.Width, width_ - x) : p.Width;
    c->Pen()->SetColor(clBtnShadow);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(x, 1, x + w - 2, height_);
    c->SetClipRect(Rect(x + 2, 0, x + w - 4, height_));
    const int tw = c->TextWidth(p.Text);
    const int tx = p.Alignment == taRightJustify ? x + w - 5 - tw : p.Alignment == taCenter ? x + (w - tw) / 2 : x + 3;
    c->TextOut(tx, textTop, p.Text);
    c->ResetClipRect();
    x += w;
  }
}

// ---------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  auto* w = new vx::PaintWidget;
  align_ = alTop;
  width_ = 150;
  height_ = 29;
  SetWidget(w);
  ColorChanged();
  if (AParent) SetParent(AParent);
}

void TToolBar::SetButtonWidth(int v) {
  buttonWidth_ = v;
  ArrangeButtons();
}

void TToolBar::SetButtonHeight(int v) {
  buttonHeight_ = v;
  ArrangeButtons();
}

void TToolBar::SetImages(TImageList* images) {
  images_ = images;
  for (TControl* c : controls_)
    if (auto* b = dynamic_cast<TToolButton*>(c)) b->RefreshImage();
  ArrangeButtons();
}

void TToolBar::SetShowCaptions(bool v) {
  showCaptions_ = v;
  for (TControl* c : controls_)
    if (auto* b = dynamic_cast<TToolButton*>(c)) b->RefreshImage();
  ArrangeButtons();
}

void TToolBar::SetWrapable(bool v) {
  wrapable_ = v;
  ArrangeButtons();
}

namespace {
bool IsSeparator(const TToolButton* b) { return b->Style() == tbsSeparator || b->Style() == tbsDivider; }
// Room left after a control that is not a button.
constexpr int kControlGap = 4;
}  // namespace

void TToolBar::ArrangeButtons() {
  if (arranging_) return;
  arranging_ = true;
  int buttonWidth = buttonWidth_;
  if (showCaptions_)
    for (TControl* c : controls_)
      if (auto* b = dynamic_cast<TToolButton*>(c); b && b->Visible() && !IsSeparator(b) && b->Widget())
        buttonWidth = std::max(buttonWidth, b->Widget()->sizeHint().width());
  int x = 0, y = 2;
  for (TControl* c : controls_) {
    if (!c->Visible()) continue;
    auto* b = dynamic_cast<TToolButton*>(c);
    const bool separator = b && IsSeparator(b);
    const int w = !b ? c->Width() : separator ? 8 : buttonWidth;
    // A separator never starts a row; it may hang past the edge instead.
    if (wrapable_ && x > 0 && !separator && x + w > width_) {
      x = 0;
      y += buttonHeight_;
    }
    if (b) c->SetBounds(x, y, w, buttonHeight_);
    else c->SetBounds(x, y + std::max(0, (buttonHeight_ - c->Height()) / 2), w, c->Height());
    x += w + (b ? 0 : kControlGap);
  }
  const int extra = y - 2;
  if (extra != extraHeight_) {
    const int height = height_ - extraHeight_ + extra;
    extraHeight_ = extra;
    SetHeight(height);
  }
  arrangedWidth_ = width_;
  arranging_ = false;
}

void TToolBar::Resized() {
  TWinControl::Resized();
  if (width_ != arrangedWidth_) ArrangeButtons();
}

TToolButton::TToolButton(TComponent* AOwner, TToolBar* AToolBar) : TControl(AOwner) {
  button_ = new QToolButton;
  button_->setAutoRaise(true);
  QObject::connect(button_, &QToolButton::clicked, [this](bool) { vx::Guard([&] { Click(); }); });
  width_ = 23;
  height_ = 22;
  SetWidget(button_);
  if (AToolBar) SetParent(AToolBar);
}

void TToolButton::SetParent(TWinControl* parent) {
  TControl::SetParent(parent);
  if (auto* bar = dynamic_cast<TToolBar*>(parent)) {
    RefreshImage();
    bar->ArrangeButtons();
  }
}

void TToolButton::CaptionChanged() { RefreshImage(); }

void TToolButton::RefreshImage() {
  auto* bar = dynamic_cast<TToolBar*>(parent_);
  TImageList* images = bar ? bar->Images() : nullptr;
  TBitmap glyph;
  if (images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
    images->GetBitmap(imageIndex_, &glyph);
    button_->setIcon(QIcon(QPixmap::fromImage(glyph.Data().image)));
  } else {
    button_->setIcon(QIcon());
  }
  const bool showCaption = !images || (bar && bar->ShowCaptions());
  button_->setText(showCaption ? vx::ToQCaption(caption_) : QString());
}

void TToolButton::SetDown(bool v) {
  down_ = v;
  const QSignalBlocker block(button_);
  button_->setCheckable(style_ == tbsCheck || v);
  button_->setChecked(v);
}

void TToolButton::SetStyle(TToolButtonStyle v) {
  style_ = v;
  button_->setCheckable(v == tbsCheck);
  button_->setEnabled(v != tbsSeparator && v != tbsDivider && enabled_);
  if (auto* bar = dynamic_cast<TToolBar*>(parent_)) bar->ArrangeButtons();
}

void TToolButton::SetImageIndex(int v) {
  imageIndex_ = v;
  RefreshImage();
}

void TToolButton::Click() {
  if (style_ == tbsCheck) {
    bool next = !down_;
    if (grouped_ && down_) next = true;  // a grouped button stays down until another goes down
    if (grouped_ && next && parent_)
      for (int i = 0; i < parent_->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TToolButton*>(parent_->Controls(i));
            other && other != this && other->grouped_ && other->style_ == tbsCheck)
          other->SetDown(false);
    SetDown(next);
  }
  TControl::Click();
}
