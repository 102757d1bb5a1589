// TBitBtn (a button with a glyph and a kind that sets caption and modal
// result) and TSpeedButton (a flat button that can stay down in a group).
#pragma once

#include <memory>

#include "platform/gui/draw/bitmap.h"
#include "platform/gui/controls/stdctrls.h"

class QToolButton;

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TBitBtn() override;
  TBitBtnKind Kind() const { return kind_; }
  // A kind other than bkCustom sets the caption and the modal result.
  void SetKind(TBitBtnKind v);
  TBitmap* Glyph() { return glyph_.get(); }
  // Shows the glyph after it was drawn or loaded.
  void GlyphChanged();

 private:
  TBitBtnKind kind_ = bkCustom;
  std::unique_ptr<TBitmap> glyph_;
};

class TSpeedButton : public TControl {
 public:
  explicit TSpeedButton(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TSpeedButton() override;
  bool Down() const { return down_; }
  void SetDown(bool v);
  // Buttons of one parent with the same non-zero GroupIndex stay down one at a time.
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v) { allowAllUp_ = v; }
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TBitmap* Glyph() { return glyph_.get(); }
  void GlyphChanged();
  void Click() override;

 protected:
  void CaptionChanged() override;
  bool ClicksOnMouseUp() const override { return false; }

 private:
  QToolButton* button_;
  bool down_ = false, allowAllUp_ = false, flat_ = false;
  int groupIndex_ = 0;
  std::unique_ptr<TBitmap> glyph_;
};
