// The standard controls: label, button, edit, memo, check box, radio button,
// group box, list box, combo box and scroll bar.
//
// Every constructor takes the owner and, optionally, the parent:
//     auto* b = new TButton(this, pnlButtons);
// Values set from code fire the change events that typing fires: TEdit.Text
// and TMemo.Lines fire OnChange, TScrollBar.Position fires OnChange,
// TCheckBox.Checked and TRadioButton.Checked (when it becomes checked) fire
// OnClick; none fires when the value does not change.
#pragma once

#include <memory>

#include "platform/gui/base/control_strings.h"
#include "platform/gui/core/controls.h"

class QLabel;
class QPushButton;
class QLineEdit;
class QPlainTextEdit;
class QCheckBox;
class QRadioButton;
class QGroupBox;
class QListWidget;
class QComboBox;
class QScrollBar;
namespace vx {
class ComboWidget;
}

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* AOwner, TWinControl* AParent = nullptr);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);

 protected:
  void CaptionChanged() override;
  void FontChanged() override;

 private:
  void ApplyText();
  void AdjustSize();
  QLabel* label_;
  bool autoSize_ = true, wordWrap_ = false, transparent_ = false;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
};

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* AOwner, TWinControl* AParent = nullptr);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  // Sets the form's ModalResult (when this button has one), then OnClick.
  void Click() override;
  bool IsDialogButtonFor(Word key) const override {
    return (key == VK_RETURN && default_) || (key == VK_ESCAPE && cancel_);
  }
  // A focused button takes its own Enter; Esc goes on to the form's Cancel
  // button, this one included.
  bool WantsKey(Word key) const override { return key == VK_RETURN; }

 protected:
  void CaptionChanged() override;
  bool ClicksOnMouseUp() const override { return false; }
  QPushButton* button_;

 private:
  bool default_ = false, cancel_ = false;
  TModalResult modalResult_ = mrNone;
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* AOwner, TWinControl* AParent = nullptr);
  const AnsiString& Text() const { return text_; }
  void SetText(const AnsiString& v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char v);
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  AnsiString SelText() const;
  void SelectAll();
  void Clear() { SetText(""); }
  // Clipboard editing of the selection. Paste and cut, from code, from
  // Ctrl+V / Shift+Insert and Ctrl+X / Shift+Delete and from the context
  // menu, all go through WMPaste and WMCut, which a descendant may override
  // to refuse or filter them.
  void PasteFromClipboard() { WMPaste(); }
  void CutToClipboard() { WMCut(); }
  void CopyToClipboard();
  TNotifyEvent OnChange;

  bool SetStringProperty(const AnsiString& name, const AnsiString& value) override;
  std::optional<AnsiString> GetStringProperty(const AnsiString& name) const override;

 protected:
  TColor DefaultColor() const override { return clWindow; }
  bool KeyDown(Word& key, TShiftState shift) override;
  // The edit's own paste and cut (nothing when read-only).
  virtual void WMPaste();
  virtual void WMCut();
  QLineEdit* LineEdit() const { return edit_; }
  // Runs after every change of the text, typed or set: fires OnChange.
  virtual void Change();

 private:
  void TextEdited();
  QLineEdit* edit_;
  AnsiString text_;
  int maxLength_ = 0;
  bool readOnly_ = false, modified_ = false;
  char passwordChar_ = 0;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TMemo() override;
  // Enter breaks the line; Esc stays in the memo too.
  bool WantsKey(Word key) const override { return key == VK_RETURN || key == VK_ESCAPE; }
  TStrings* Lines() { return lines_.get(); }
  AnsiString Text() const { return lines_->Text(); }
  void SetText(const AnsiString& v) { lines_->SetText(v); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }
  void Clear() { lines_->Clear(); }
  TNotifyEvent OnChange;

  bool SetStringProperty(const AnsiString& name, const AnsiString& value) override;
  std::optional<AnsiString> GetStringProperty(const AnsiString& name) const override;

 protected:
  TColor DefaultColor() const override { return clWindow; }

 private:
  void PushLines();
  void Changed();
  QPlainTextEdit* edit_;
  std::unique_ptr<vx::ControlStrings> lines_;
  bool readOnly_ = false, wordWrap_ = true, modified_ = false, pushing_ = false;
  TScrollStyle scrollBars_ = ssNone;
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* AOwner, TWinControl* AParent = nullptr);
  bool Checked() const { return checked_; }
  // Fires OnClick when the state changes, as a click does.
  void SetChecked(bool v);

 protected:
  void CaptionChanged() override;
  bool ClicksOnMouseUp() const override { return false; }

 private:
  QCheckBox* box_;
  bool checked_ = false;
};

class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* AOwner, TWinControl* AParent = nullptr);
  bool Checked() const;
  // Checking unchecks the other radio buttons of the same parent and fires OnClick.
  void SetChecked(bool v);

 protected:
  void CaptionChanged() override;
  bool ClicksOnMouseUp() const override { return false; }

 private:
  QRadioButton* radio_;
};

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* AOwner, TWinControl* AParent = nullptr);

 protected:
  void CaptionChanged() override;
  bool PaintsBackground() const override { return true; }

 private:
  QGroupBox* box_;
};

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TListBox() override;
  TStrings* Items() { return items_.get(); }
  int Count() const { return items_->Count(); }
  // -1 when nothing is selected; out-of-range values select nothing.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int v);
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool v) { items_->SetSorted(v); }
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool Selected(int index) const;
  void SetSelected(int index, bool v);
  void Clear() { items_->Clear(); }

  bool SetStringProperty(const AnsiString& name, const AnsiString& value) override;
  std::optional<AnsiString> GetStringProperty(const AnsiString& name) const override;

 protected:
  TColor DefaultColor() const override { return clWindow; }
  bool ClicksOnMouseUp() const override { return false; }

 private:
  void PushItems();
  QListWidget* list_;
  std::unique_ptr<vx::ControlStrings> items_;
  int itemIndex_ = -1;
  bool multiSelect_ = false;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TComboBox() override;
  TStrings* Items() { return items_.get(); }
  int ItemIndex() const { return itemIndex_; }
  // Selects an item (and shows its text); -1 clears the selection. No OnChange.
  void SetItemIndex(int v);
  const AnsiString& Text() const { return text_; }
  void SetText(const AnsiString& v);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle v);
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool v) { items_->SetSorted(v); }
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int v);
  // Whether the list is open; setting it opens or closes the list.
  bool DroppedDown() const { return droppedDown_; }
  void SetDroppedDown(bool v);
  // Least width of the open list in pixels (0: the control's width).
  void SetDroppedWidth(int v);
  void Clear();
  // Fires when the user types or picks an item.
  TNotifyEvent OnChange;
  // Fire when the list opens and when it closes.
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  bool SetStringProperty(const AnsiString& name, const AnsiString& value) override;
  std::optional<AnsiString> GetStringProperty(const AnsiString& name) const override;

 protected:
  TColor DefaultColor() const override { return clWindow; }
  // The list opening and closing: fire OnDropDown and OnCloseUp.
  virtual void DropDown();
  virtual void CloseUp();

 private:
  void PushItems();
  void ConnectEdit();
  QComboBox* combo_;
  QLineEdit* connectedEdit_ = nullptr;
  std::unique_ptr<vx::ControlStrings> items_;
  int itemIndex_ = -1;
  AnsiString text_;
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
  bool droppedDown_ = false;
  friend class vx::ComboWidget;
};

enum TScrollBarKind { sbHorizontal, sbVertical };

class TScrollBar : public TWinControl {
 public:
  explicit TScrollBar(TComponent* AOwner, TWinControl* AParent = nullptr);
  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind v);
  int Min() const { return min_; }
  void SetMin(int v) { SetParams(position_, v, max_); }
  int Max() const { return max_; }
  void SetMax(int v) { SetParams(position_, min_, v); }
  int Position() const { return position_; }
  // Clamped to the range; fires OnChange when it changes.
  void SetPosition(int v) { SetParams(v, min_, max_); }
  void SetParams(int position, int min, int max);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int v);
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int v);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int v);
  TNotifyEvent OnChange;

 private:
  void Push();
  QScrollBar* bar_;
  TScrollBarKind kind_ = sbHorizontal;
  int min_ = 0, max_ = 100, position_ = 0, smallChange_ = 1, largeChange_ = 1, pageSize_ = 0;
};
