// Page control with tab sheets, progress bar, status bar, tool bar and tool
// buttons.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/draw/bitmap.h"
#include "platform/gui/core/controls.h"

class QTabWidget;
class QProgressBar;
namespace vx {
class PageControlFrame;
}
class QToolButton;
class TPageControl;

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* AOwner, TPageControl* APageControl = nullptr);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* pc);
  // A tab sheet's parent is its page control.
  void SetParent(TWinControl* parent) override;
  int PageIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);

 protected:
  void CaptionChanged() override;
  bool PaintsBackground() const override { return true; }

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TPageControl() override;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const;
  void SetActivePage(TTabSheet* page);
  // -1 when there are no pages; an index out of range is ignored.
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  // Tabs in as many rows as the width needs (else one row that scrolls).
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool v);
  // Where the tab of page index is, in the control; empty when not shown.
  TRect TabRect(int index) const;
  // Rows of tabs.
  int RowCount() const;
  // Fired when the user changes the page (not when code does).
  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void RefreshTab(TTabSheet* page);
  vx::PageControlFrame* frame_;
  QTabWidget* tabs_;
  std::vector<TTabSheet*> pages_;
  bool multiLine_ = false;
  bool switching_ = false;
  int lastIndex_ = -1;
};

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* AOwner, TWinControl* AParent = nullptr);
  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position() const { return position_; }
  // Clamped to Min..Max.
  void SetPosition(int v);
  int Step() const { return step_; }
  void SetStep(int v) { step_ = v; }
  // Advances by Step; past Max the bar starts again at Min.
  void StepIt();
  void StepBy(int delta);

 private:
  // Hands the state to the Qt bar at the next pump (PushNow: at once).
  void Push();
  void PushNow();
  QProgressBar* bar_;
  bool pushQueued_ = false;
  int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
};

class TStatusPanel {
 public:
  AnsiString Text;
  int Width = 50;
  TAlignment Alignment = taLeftJustify;
};

class TStatusBar : public TCustomControl {
 public:
  explicit TStatusBar(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TStatusBar() override;
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  TStatusPanel* Panels(int index) const;
  TStatusPanel* AddPanel();
  void ClearPanels();
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v);
  const AnsiString& SimpleText() const { return simpleText_; }
  void SetSimpleText(const AnsiString& v);
  // Repaints after panel texts were changed.
  void PanelsChanged() { Invalidate(); }

 protected:
  void Paint() override;

 private:
  std::vector<std::unique_ptr<TStatusPanel>> panels_;
  bool simplePanel_ = false;
  AnsiString simpleText_;
};

class TImageList;

// Lays its buttons out from left to right in the order they were added.
class TToolBar : public TWinControl {
 public:
  explicit TToolBar(TComponent* AOwner, TWinControl* AParent = nullptr);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int v);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int v);
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v) { flat_ = v; }
  // Wrapable (the default): controls that do not fit the bar's width go on
  // to a new row, and the bar grows by a row's height for each extra row.
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool v);
  // Lines the bar's controls up in the order they were added: buttons
  // ButtonWidth wide (with ShowCaptions at least as wide as the widest
  // caption needs), separators 8, other controls at their own width.
  void ArrangeButtons();

 protected:
  bool PaintsBackground() const override { return true; }
  void Resized() override;

 private:
  int buttonWidth_ = 23, buttonHeight_ = 22;
  TImageList* images_ = nullptr;
  bool showCaptions_ = false, flat_ = false, wrapable_ = true;
  bool arranging_ = false;
  int arrangedWidth_ = -1;
  int extraHeight_ = 0;  // what the bar grew by for its extra rows
};

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButton : public TControl {
 public:
  explicit TToolButton(TComponent* AOwner, TToolBar* AToolBar = nullptr);
  void SetParent(TWinControl* parent) override;
  bool Down() const { return down_; }
  void SetDown(bool v);
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle v);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool v) { grouped_ = v; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  void Click() override;
  void RefreshImage();

 protected:
  void CaptionChanged() override;
  bool ClicksOnMouseUp() const override { return false; }

 private:
  QToolButton* button_;
  bool down_ = false, grouped_ = false;
  TToolButtonStyle style_ = tbsButton;
  int imageIndex_ = -1;
};
