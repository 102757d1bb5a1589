#include "platform/gui/controls/stdctrls.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <algorithm>

#include "platform/gui/core/forms.h"
#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"

namespace {

bool SetItemsProperty(TStrings* items, const AnsiString& name, const AnsiString& value) {
  if (!vx::SamePropertyName(name, "Items") && !vx::SamePropertyName(name, "Lines")) return false;
  items->SetText(value);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------

TLabel::TLabel(TComponent* AOwner, TWinControl* AParent) : TControl(AOwner) {
  label_ = new QLabel;
  label_->setTextFormat(Qt::PlainText);
  label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  width_ = 65;
  height_ = 13;
  SetWidget(label_);
  if (AParent) SetParent(AParent);
}

void TLabel::ApplyText() {
  // '&' marks the accelerator, "&&" is one '&'.
  QString shown;
  const QString text = vx::ToQString(caption_);
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
    shown.append(text[i]);
  }
  label_->setText(shown);
}

void TLabel::CaptionChanged() {
  ApplyText();
  AdjustSize();
}

void TLabel::FontChanged() {
  TControl::FontChanged();
  AdjustSize();
}

void TLabel::AdjustSize() {
  if (!autoSize_ || wordWrap_ || !label_) return;
  const QFontMetrics fm(label_->font());
  const int w = fm.horizontalAdvance(label_->text());
  const int h = fm.height();
  if (alignment_ == taRightJustify) SetBounds(left_ + width_ - w, top_, w, h);
  else SetBounds(left_, top_, w, h);
}

void TLabel::SetAutoSize(bool v) {
  autoSize_ = v;
  AdjustSize();
}

static Qt::Alignment LabelAlignment(TAlignment a, TTextLayout l) {
  Qt::Alignment h = a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
  Qt::Alignment v = l == tlBottom ? Qt::AlignBottom : l == tlCenter ? Qt::AlignVCenter : Qt::AlignTop;
  return h | v;
}

void TLabel::SetAlignment(TAlignment v) {
  alignment_ = v;
  label_->setAlignment(LabelAlignment(alignment_, layout_));
}

void TLabel::SetLayout(TTextLayout v) {
  layout_ = v;
  label_->setAlignment(LabelAlignment(alignment_, layout_));
}

void TLabel::SetWordWrap(bool v) {
  wordWrap_ = v;
  label_->setWordWrap(v);
  AdjustSize();
}

void TLabel::SetTransparent(bool v) {
  transparent_ = v;
  label_->setAutoFillBackground(!v && color_ != clDefault);
}

// ---------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  button_ = new QPushButton;
  QObject::connect(button_, &QPushButton::clicked, [this](bool) { vx::Guard([&] { Click(); }); });
  width_ = 75;
  height_ = 25;
  tabStop_ = true;
  SetWidget(button_);
  if (AParent) SetParent(AParent);
}

void TButton::CaptionChanged() { button_->setText(vx::ToQCaption(caption_)); }

void TButton::SetDefault(bool v) {
  default_ = v;
  button_->setDefault(v);
}

void TButton::Click() {
  if (modalResult_ != mrNone)
    if (TForm* f = ParentForm()) f->SetModalResult(modalResult_);
  TWinControl::Click();
}

// ---------------------------------------------------------------------------

TEdit::TEdit(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  edit_ = new QLineEdit;
  QObject::connect(edit_, &QLineEdit::textEdited, [this](const QString&) { vx::Guard([&] { TextEdited(); }); });
  // The standard context menu, with its Paste and Cut routed through WMPaste and WMCut.
  edit_->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(edit_, &QWidget::customContextMenuRequested, [this](const QPoint& at) {
    QMenu* menu = edit_->createStandardContextMenu();
    for (QAction* action : menu->actions()) {
      const QString name = action->objectName();
      if (name != "edit-paste" && name != "edit-cut") continue;
      QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
      QObject::connect(action, &QAction::triggered,
                       [this, name] { vx::Guard([&] { name == "edit-paste" ? WMPaste() : WMCut(); }); });
    }
    menu->exec(edit_->mapToGlobal(at));
    delete menu;
  });
  width_ = 121;
  height_ = 21;
  tabStop_ = true;
  SetWidget(edit_);
  if (AParent) SetParent(AParent);
}

void TEdit::TextEdited() {
  const AnsiString now = vx::FromQString(edit_->text());
  if (now == text_) return;
  text_ = now;
  modified_ = true;
  Change();
}

void TEdit::Change() {
  if (OnChange) OnChange(this);
}

bool TEdit::KeyDown(Word& key, TShiftState shift) {
  if (TWinControl::KeyDown(key, shift)) return true;
  const bool ctrl = shift.Contains(ssCtrl), onlyShift = shift.Contains(ssShift) && !ctrl;
  if ((ctrl && key == 'V') || (onlyShift && key == VK_INSERT)) {
    WMPaste();
    return true;
  }
  if ((ctrl && key == 'X') || (onlyShift && key == VK_DELETE)) {
    WMCut();
    return true;
  }
  return false;
}

void TEdit::WMPaste() {
  if (!readOnly_) edit_->paste();
}

void TEdit::WMCut() {
  if (!readOnly_) edit_->cut();
}

void TEdit::CopyToClipboard() { edit_->copy(); }

void TEdit::SetText(const AnsiString& v) {
  AnsiString value = v;
  if (maxLength_ > 0 && static_cast<int>(value.size()) > maxLength_) value.resize(static_cast<std::size_t>(maxLength_));
  if (value == text_) return;
  text_ = value;
  {
    const QSignalBlocker block(edit_);
    edit_->setText(vx::ToQString(text_));
  }
  Change();
}

void TEdit::SetMaxLength(int v) {
  maxLength_ = std::max(0, v);
  edit_->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

void TEdit::SetReadOnly(bool v) {
  readOnly_ = v;
  edit_->setReadOnly(v);
}

void TEdit::SetPasswordChar(char v) {
  passwordChar_ = v;
  edit_->setEchoMode(v ? QLineEdit::Password : QLineEdit::Normal);
}

int TEdit::SelStart() const { return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition(); }

void TEdit::SetSelStart(int v) { edit_->setCursorPosition(std::clamp(v, 0, static_cast<int>(text_.size()))); }

int TEdit::SelLength() const { return edit_->hasSelectedText() ? static_cast<int>(edit_->selectedText().size()) : 0; }

void TEdit::SetSelLength(int v) {
  const int start = edit_->cursorPosition();
  edit_->setSelection(start, std::max(0, v));
}

AnsiString TEdit::SelText() const { return vx::FromQString(edit_->selectedText()); }

void TEdit::SelectAll() { edit_->selectAll(); }

bool TEdit::SetStringProperty(const AnsiString& name, const AnsiString& value) {
  if (vx::SamePropertyName(name, "Text")) {
    SetText(value);
    return true;
  }
  return TWinControl::SetStringProperty(name, value);
}

std::optional<AnsiString> TEdit::GetStringProperty(const AnsiString& name) const {
  if (vx::SamePropertyName(name, "Text")) return text_;
  return TWinControl::GetStringProperty(name);
}

// ---------------------------------------------------------------------------

TMemo::TMemo(TComponent* AOwner, TWinControl* AParent)
    : TWinControl(AOwner), lines_(std::make_unique<vx::ControlStrings>()) {
  edit_ = new QPlainTextEdit;
  lines_->OnListChanged = [this] {
    PushLines();
    Changed();
  };
  lines_->OnAppended = [this](const AnsiString& line) {
    pushing_ = true;
    {
      const QSignalBlocker block(edit_);
      if (lines_->Count() == 1) edit_->setPlainText(vx::ToQString(line));
      else edit_->appendPlainText(vx::ToQString(line));
    }
    pushing_ = false;
    Changed();
  };
  QObject::connect(edit_, &QPlainTextEdit::textChanged, [this] {
    if (pushing_) return;
    vx::Guard([&] {
      std::vector<AnsiString> lines;
      const QString text = edit_->toPlainText();
      if (!text.isEmpty())
        for (const QString& l : text.split(QLatin1Char('\n'))) lines.push_back(vx::FromQString(l));
      lines_->LoadFromControl(lines);
      modified_ = true;
      Changed();
    });
  });
  width_ = 185;
  height_ = 89;
  tabStop_ = true;
  SetWidget(edit_);
  if (AParent) SetParent(AParent);
}

TMemo::~TMemo() {
  lines_->OnListChanged = nullptr;
  lines_->OnAppended = nullptr;
}

void TMemo::PushLines() {
  pushing_ = true;
  QStringList lines;
  for (int i = 0; i < lines_->Count(); ++i) lines << vx::ToQString(lines_->Strings(i));
  {
    const QSignalBlocker block(edit_);
    edit_->setPlainText(lines.join(QLatin1Char('\n')));
  }
  pushing_ = false;
}

void TMemo::Changed() {
  if (OnChange) OnChange(this);
}

void TMemo::SetReadOnly(bool v) {
  readOnly_ = v;
  edit_->setReadOnly(v);
}

void TMemo::SetWordWrap(bool v) {
  wordWrap_ = v;
  edit_->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle v) {
  scrollBars_ = v;
  const bool h = v == ssHorizontal || v == ssBoth, vert = v == ssVertical || v == ssBoth;
  edit_->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  edit_->setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

bool TMemo::SetStringProperty(const AnsiString& name, const AnsiString& value) {
  if (SetItemsProperty(lines_.get(), name, value)) return true;
  if (vx::SamePropertyName(name, "Text")) {
    SetText(value);
    return true;
  }
  return TWinControl::SetStringProperty(name, value);
}

std::optional<AnsiString> TMemo::GetStringProperty(const AnsiString& name) const {
  if (vx::SamePropertyName(name, "Lines") || vx::SamePropertyName(name, "Text")) return lines_->Text();
  return TWinControl::GetStringProperty(name);
}

// ---------------------------------------------------------------------------

TCheckBox::TCheckBox(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  box_ = new QCheckBox;
  QObject::connect(box_, &QCheckBox::clicked, [this](bool on) {
    checked_ = on;
    vx::Guard([&] { Click(); });
  });
  width_ = 97;
  height_ = 17;
  tabStop_ = true;
  SetWidget(box_);
  if (AParent) SetParent(AParent);
}

void TCheckBox::CaptionChanged() { box_->setText(vx::ToQCaption(caption_)); }

void TCheckBox::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  {
    const QSignalBlocker block(box_);
    box_->setChecked(v);
  }
  Click();
}

// ---------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  radio_ = new QRadioButton;
  QObject::connect(radio_, &QRadioButton::clicked, [this](bool) { vx::Guard([&] { Click(); }); });
  width_ = 113;
  height_ = 17;
  tabStop_ = true;
  SetWidget(radio_);
  if (AParent) SetParent(AParent);
}

void TRadioButton::CaptionChanged() { radio_->setText(vx::ToQCaption(caption_)); }

bool TRadioButton::Checked() const { return radio_->isChecked(); }

void TRadioButton::SetChecked(bool v) {
  if (v == radio_->isChecked()) return;
  if (v && parent_) {
    // The siblings under the same parent form one group.
    for (int i = 0; i < parent_->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TRadioButton*>(parent_->Controls(i)); other && other != this) {
        const QSignalBlocker block(other->radio_);
        other->radio_->setAutoExclusive(false);
        other->radio_->setChecked(false);
        other->radio_->setAutoExclusive(true);
      }
  }
  {
    const QSignalBlocker block(radio_);
    radio_->setAutoExclusive(false);
    radio_->setChecked(v);
    radio_->setAutoExclusive(true);
  }
  if (v) Click();
}

// ---------------------------------------------------------------------------

TGroupBox::TGroupBox(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  box_ = new QGroupBox;
  width_ = 185;
  height_ = 105;
  SetWidget(box_);
  if (AParent) SetParent(AParent);
}

void TGroupBox::CaptionChanged() { box_->setTitle(vx::ToQCaption(caption_)); }

// ---------------------------------------------------------------------------

TListBox::TListBox(TComponent* AOwner, TWinControl* AParent)
    : TWinControl(AOwner), items_(std::make_unique<vx::ControlStrings>()) {
  list_ = new QListWidget;
  items_->OnListChanged = [this] { PushItems(); };
  QObject::connect(list_, &QListWidget::currentRowChanged, [this](int row) {
    itemIndex_ = row;
    vx::Guard([&] { Click(); });
  });
  width_ = 121;
  height_ = 97;
  tabStop_ = true;
  SetWidget(list_);
  if (AParent) SetParent(AParent);
}

TListBox::~TListBox() { items_->OnListChanged = nullptr; }

void TListBox::PushItems() {
  const QSignalBlocker block(list_);
  list_->clear();
  for (int i = 0; i < items_->Count(); ++i) list_->addItem(vx::ToQString(items_->Strings(i)));
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  list_->setCurrentRow(itemIndex_);
}

void TListBox::SetItemIndex(int v) {
  if (v < -1 || v >= items_->Count()) v = -1;
  itemIndex_ = v;
  const QSignalBlocker block(list_);
  list_->setCurrentRow(v);
}

void TListBox::SetMultiSelect(bool v) {
  multiSelect_ = v;
  list_->setSelectionMode(v ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool TListBox::Selected(int index) const {
  const QListWidgetItem* item = list_->item(index);
  return item && item->isSelected();
}

void TListBox::SetSelected(int index, bool v) {
  if (QListWidgetItem* item = list_->item(index)) {
    const QSignalBlocker block(list_);
    item->setSelected(v);
  }
}

bool TListBox::SetStringProperty(const AnsiString& name, const AnsiString& value) {
  if (SetItemsProperty(items_.get(), name, value)) return true;
  return TWinControl::SetStringProperty(name, value);
}

std::optional<AnsiString> TListBox::GetStringProperty(const AnsiString& name) const {
  if (vx::SamePropertyName(name, "Items")) return items_->Text();
  return TWinControl::GetStringProperty(name);
}

// ---------------------------------------------------------------------------

namespace vx {
// Tells its combo box when the list opens and closes.
class ComboWidget : public QComboBox {
 public:
  explicit ComboWidget(TComboBox* owner) : owner_(owner) {}
  void showPopup() override {
    if (owner_->droppedDown_) return;
    owner_->droppedDown_ = true;
    Guard([&] { owner_->DropDown(); });
    QComboBox::showPopup();
  }
  void hidePopup() override {
    QComboBox::hidePopup();
    if (!owner_->droppedDown_) return;
    owner_->droppedDown_ = false;
    Guard([&] { owner_->CloseUp(); });
  }

 private:
  TComboBox* owner_;
};
}  // namespace vx

TComboBox::TComboBox(TComponent* AOwner, TWinControl* AParent)
    : TWinControl(AOwner), items_(std::make_unique<vx::ControlStrings>()) {
  combo_ = new vx::ComboWidget(this);
  combo_->setEditable(true);
  combo_->setInsertPolicy(QComboBox::NoInsert);
  items_->OnListChanged = [this] { PushItems(); };
  QObject::connect(combo_, qOverload<int>(&QComboBox::activated), [this](int index) {
    itemIndex_ = index;
    text_ = index >= 0 && index < items_->Count() ? items_->Strings(index) : AnsiString();
    vx::Guard([&] {
      if (OnChange) OnChange(this);
    });
  });
  ConnectEdit();
  width_ = 145;
  height_ = 21;
  tabStop_ = true;
  SetWidget(combo_);
  if (AParent) SetParent(AParent);
}

TComboBox::~TComboBox() { items_->OnListChanged = nullptr; }

void TComboBox::SetDroppedDown(bool v) {
  if (v == droppedDown_) return;
  if (v) combo_->showPopup();
  else combo_->hidePopup();
}

void TComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TComboBox::SetDroppedWidth(int v) { combo_->view()->setMinimumWidth(std::max(0, v)); }

// Typing in the edit part fires OnChange; the edit part is made anew when
// the style turns editable again.
void TComboBox::ConnectEdit() {
  QLineEdit* edit = combo_->lineEdit();
  if (!edit || edit == connectedEdit_) return;
  connectedEdit_ = edit;
  QObject::connect(edit, &QLineEdit::textEdited, [this](const QString& t) {
    text_ = vx::FromQString(t);
    itemIndex_ = items_->IndexOf(text_);
    vx::Guard([&] {
      if (OnChange) OnChange(this);
    });
  });
}

void TComboBox::PushItems() {
  const QSignalBlocker block(combo_);
  const QSignalBlocker blockEdit(combo_->lineEdit());
  combo_->clear();
  for (int i = 0; i < items_->Count(); ++i) combo_->addItem(vx::ToQString(items_->Strings(i)));
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  combo_->setCurrentIndex(itemIndex_);
  if (combo_->isEditable()) combo_->setEditText(vx::ToQString(text_));
}

void TComboBox::SetItemIndex(int v) {
  if (v < -1 || v >= items_->Count()) v = -1;
  itemIndex_ = v;
  text_ = v >= 0 ? items_->Strings(v) : AnsiString();
  const QSignalBlocker block(combo_);
  combo_->setCurrentIndex(v);
  if (combo_->isEditable()) combo_->setEditText(vx::ToQString(text_));
}

void TComboBox::SetText(const AnsiString& v) {
  if (style_ == csDropDownList) {
    SetItemIndex(items_->IndexOf(v));
    return;
  }
  text_ = v;
  itemIndex_ = items_->IndexOf(v);
  const QSignalBlocker block(combo_);
  combo_->setCurrentIndex(itemIndex_);
  combo_->setEditText(vx::ToQString(v));
}

void TComboBox::SetStyle(TComboBoxStyle v) {
  style_ = v;
  const QSignalBlocker block(combo_);
  combo_->setEditable(v != csDropDownList);
  if (combo_->isEditable()) combo_->setInsertPolicy(QComboBox::NoInsert);
  ConnectEdit();
  PushItems();
}

void TComboBox::SetDropDownCount(int v) {
  dropDownCount_ = v;
  combo_->setMaxVisibleItems(std::max(1, v));
}

void TComboBox::Clear() {
  items_->Clear();
  SetItemIndex(-1);
}

bool TComboBox::SetStringProperty(const AnsiString& name, const AnsiString& value) {
  if (SetItemsProperty(items_.get(), name, value)) return true;
  if (vx::SamePropertyName(name, "Text")) {
    SetText(value);
    return true;
  }
  return TWinControl::SetStringProperty(name, value);
}

std::optional<AnsiString> TComboBox::GetStringProperty(const AnsiString& name) const {
  if (vx::SamePropertyName(name, "Items")) return items_->Text();
  if (vx::SamePropertyName(name, "Text")) return text_;
  return TWinControl::GetStringProperty(name);
}

// ---------------------------------------------------------------------------

TScrollBar::TScrollBar(TComponent* AOwner, TWinControl* AParent) : TWinControl(AOwner) {
  bar_ = new QScrollBar(Qt::Horizontal);
  QObject::connect(bar_, &QScrollBar::valueChanged, [this](int v) {
    if (v == position_) return;
    position_ = v;
    vx::Guard([&] {
      if (OnChange) OnChange(this);
    });
  });
  width_ = 121;
  height_ = 17;
  tabStop_ = true;
  SetWidget(bar_);
  Push();
  if (AParent) SetParent(AParent);
}

void TScrollBar::Push() {
  const QSignalBlocker block(bar_);
  const int top = pageSize_ > 1 ? std::max(min_, max_ - pageSize_ + 1) : max_;
  bar_->setRange(min_, top);
  bar_->setPageStep(pageSize_ > 0 ? pageSize_ : largeChange_);
  bar_->setSingleStep(smallChange_);
  bar_->setValue(position_);
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) throw EInvalidOperation("Scroll bar property out of range");
  min_ = min;
  max_ = max;
  const int top = pageSize_ > 1 ? std::max(min_, max_ - pageSize_ + 1) : max_;
  const int clamped = std::clamp(position, min_, top);
  const bool changed = clamped != position_;
  position_ = clamped;
  Push();
  if (changed && OnChange) OnChange(this);
}

void TScrollBar::SetKind(TScrollBarKind v) {
  if (v == kind_) return;
  kind_ = v;
  bar_->setOrientation(v == sbVertical ? Qt::Vertical : Qt::Horizontal);
  SetBounds(left_, top_, height_, width_);
}

void TScrollBar::SetSmallChange(int v) {
  smallChange_ = v;
  Push();
}

void TScrollBar::SetLargeChange(int v) {
  largeChange_ = v;
  Push();
}

void TScrollBar::SetPageSize(int v) {
  pageSize_ = std::max(0, v);
  SetParams(position_, min_, max_);
}
