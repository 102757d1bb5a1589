#include "platform/gui/controls/buttons.h"

#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"

TBitBtn::TBitBtn(TComponent* AOwner, TWinControl* AParent)
    : TButton(AOwner, AParent), glyph_(std::make_unique<TBitmap>()) {}

TBitBtn::~TBitBtn() = default;

void TBitBtn::SetKind(TBitBtnKind v) {
  kind_ = v;
  struct KindText {
    const char* caption;
    TModalResult result;
  };
  static const KindText kKinds[] = {
      {"", mrNone},        {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
      {"&Yes", mrYes},     {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
      {"&Retry", mrRetry}, {"&Ignore", mrIgnore}, {"&All", mrAll},
  };
  if (v == bkCustom) return;
  SetCaption(kKinds[v].caption);
  SetModalResult(kKinds[v].result);
  if (v == bkOK || v == bkYes) SetDefault(true);
  if (v == bkCancel || v == bkNo) SetCancel(true);
}

void TBitBtn::GlyphChanged() {
  const QImage& img = glyph_->Data().image;
  button_->setIcon(img.isNull() ? QIcon() : QIcon(QPixmap::fromImage(img)));
}

TSpeedButton::TSpeedButton(TComponent* AOwner, TWinControl* AParent)
    : TControl(AOwner), glyph_(std::make_unique<TBitmap>()) {
  button_ = new QToolButton;
  button_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QObject::connect(button_, &QToolButton::clicked, [this](bool) { vx::Guard([&] { Click(); }); });
  width_ = 23;
  height_ = 22;
  SetWidget(button_);
  if (AParent) SetParent(AParent);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::CaptionChanged() { button_->setText(vx::ToQCaption(caption_)); }

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  if (!v && !allowAllUp_ && groupIndex_ != 0) {
    // The last button down of a group stays down unless AllowAllUp.
    bool otherDown = false;
    if (parent_)
      for (int i = 0; i < parent_->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TSpeedButton*>(parent_->Controls(i));
            b && b != this && b->groupIndex_ == groupIndex_ && b->down_)
          otherDown = true;
    if (!otherDown) return;
  }
  down_ = v;
  if (v && parent_)
    for (int i = 0; i < parent_->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TSpeedButton*>(parent_->Controls(i));
          b && b != this && b->groupIndex_ == groupIndex_ && b->down_) {
        b->down_ = false;
        const QSignalBlocker block(b->button_);
        b->button_->setChecked(false);
      }
  const QSignalBlocker block(button_);
  button_->setChecked(v);
}

void TSpeedButton::SetGroupIndex(int v) {
  groupIndex_ = v;
  button_->setCheckable(v != 0);
  if (v == 0) SetDown(false);
}

void TSpeedButton::SetFlat(bool v) {
  flat_ = v;
  button_->setAutoRaise(v);
}

void TSpeedButton::GlyphChanged() {
  const QImage& img = glyph_->Data().image;
  button_->setIcon(img.isNull() ? QIcon() : QIcon(QPixmap::fromImage(img)));
}

void TSpeedButton::Click() {
  if (groupIndex_ != 0) {
    SetDown(allowAllUp_ ? !down_ : true);
    const QSignalBlocker block(button_);
    button_->setChecked(down_);  // Qt toggled it already; the group decides
  }
  TControl::Click();
}
