#include "platform/gui/core/menus.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QWidget>
#include <algorithm>

#include "platform/gui/core/actions.h"
#include "platform/gui/core/application.h"
#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"

TShortCut ShortCut(Word key, TShiftState shift) {
  TShortCut sc = key & 0xFF;
  if (shift.Contains(ssShift)) sc |= scShift;
  if (shift.Contains(ssCtrl)) sc |= scCtrl;
  if (shift.Contains(ssAlt)) sc |= scAlt;
  return sc;
}

namespace {

AnsiString KeyName(Word key) {
  switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    default: break;
  }
  if (key >= VK_F1 && key <= VK_F12) return "F" + IntToStr(key - VK_F1 + 1);
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return AnsiString(1, static_cast<char>(key));
  return "";
}

QKeySequence ToQKeySequence(TShortCut sc) {
  const int key = vx::QtKeyFromVirtualKey(static_cast<Word>(sc & 0xFF));
  if (!key) return QKeySequence();
  int mods = 0;
  if (sc & scShift) mods |= Qt::SHIFT;
  if (sc & scCtrl) mods |= Qt::CTRL;
  if (sc & scAlt) mods |= Qt::ALT;
  return QKeySequence(key | mods);
}

AnsiString StripAccelerator(const AnsiString& s) {
  AnsiString out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) ++i;
    out.push_back(s[i]);
  }
  return out;
}

}  // namespace

AnsiString ShortCutToText(TShortCut sc) {
  const AnsiString name = KeyName(static_cast<Word>(sc & 0xFF));
  if (name.empty()) return "";
  AnsiString out;
  if (sc & scShift) out += "Shift+";
  if (sc & scCtrl) out += "Ctrl+";
  if (sc & scAlt) out += "Alt+";
  return out + name;
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
  vx::EnsureQtApp();
  action_qt_ = new QAction(nullptr);
  QObject::connect(action_qt_, &QAction::triggered, [this](bool) {
    if (!InPopupMenu()) {
      vx::Guard([&] { Click(); });
      return;
    }
    // Picked from a pop-up menu: the handler runs once the menu has closed
    // and its mouse handling has returned, so a dialog it opens never runs
    // inside the menu. An item destroyed meanwhile does nothing.
    QPointer<QAction> alive = action_qt_;
    QMetaObject::invokeMethod(
        qApp,
        [this, alive] {
          if (alive) vx::Guard([&] { Click(); });
        },
        Qt::QueuedConnection);
  });
  QObject::connect(action_qt_, &QAction::hovered, [this] {
    if (Application) Application->SetHint(hint_);
  });
}

TMenuItem::~TMenuItem() {
  // Sub-items go with their parent, as the class library freed them.
  while (!items_.empty()) delete items_.back();
  if (parent_) parent_->Remove(this);
  if (action_) action_->RemoveClient(this);
  delete menu_qt_;
  delete action_qt_;
}

void TMenuItem::SyncAction() {
  // A separator has no text: styles draw a separator's text as a title.
  action_qt_->setText(IsLine() ? QString() : vx::ToQString(caption_));
  action_qt_->setSeparator(IsLine());
  action_qt_->setEnabled(enabled_);
  action_qt_->setVisible(visible_);
  action_qt_->setCheckable(checked_ || radioItem_);
  action_qt_->setChecked(checked_);
  action_qt_->setStatusTip(vx::ToQString(hint_.substr(0, hint_.find('|'))));
  action_qt_->setShortcut(ToQKeySequence(shortCut_));
}

void TMenuItem::SetCaption(const AnsiString& v) {
  if (v == caption_) return;
  caption_ = v;
  SyncAction();
}

void TMenuItem::SetHint(const AnsiString& v) {
  hint_ = v;
  SyncAction();
}

void TMenuItem::SetEnabled(bool v) {
  enabled_ = v;
  action_qt_->setEnabled(v);
}

void TMenuItem::SetVisible(bool v) {
  visible_ = v;
  action_qt_->setVisible(v);
}

void TMenuItem::SetChecked(bool v) {
  if (v && radioItem_ && parent_)
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this && sibling->radioItem_) sibling->SetChecked(false);
  checked_ = v;
  SyncAction();
}

void TMenuItem::SetShortCut(TShortCut v) {
  shortCut_ = v;
  SyncAction();
}

void TMenuItem::SetAction(TAction* action) {
  if (action_) action_->RemoveClient(this);
  action_ = action;
  if (action_) {
    action_->AddClient(this);
    ActionChanged();
  }
}

void TMenuItem::ActionChanged() {
  if (!action_) return;
  caption_ = action_->Caption();
  hint_ = action_->Hint();
  enabled_ = action_->Enabled();
  visible_ = action_->Visible();
  checked_ = action_->Checked();
  shortCut_ = action_->ShortCut();
  SyncAction();
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return items_[static_cast<std::size_t>(index)];
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

int TMenuItem::IndexOf(const TMenuItem* item) const {
  const auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_) throw EInvalidOperation("Menu inserted twice");
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Rebuild();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  Rebuild();
}

void TMenuItem::Remove(TMenuItem* item) {
  const int i = IndexOf(item);
  if (i >= 0) Delete(i);
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

TMenuItem* TMenuItem::Find(const AnsiString& caption) const {
  const AnsiString wanted = StripAccelerator(caption);
  for (TMenuItem* item : items_)
    if (StripAccelerator(item->caption_) == wanted) return item;
  return nullptr;
}

void TMenuItem::Rebuild() {
  if (menu_) {
    menu_->RootChanged();
    return;
  }
  if (items_.empty()) {
    if (menu_qt_) {
      action_qt_->setMenu(static_cast<QMenu*>(nullptr));
      delete menu_qt_;
      menu_qt_ = nullptr;
    }
    return;
  }
  if (!menu_qt_) {
    menu_qt_ = new QMenu;
    action_qt_->setMenu(menu_qt_);
  }
  menu_qt_->clear();
  for (TMenuItem* item : items_) menu_qt_->addAction(item->action_qt_);
}

bool TMenuItem::InPopupMenu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return dynamic_cast<TPopupMenu*>(root->menu_) != nullptr;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (action_) {
    action_->Execute();
    return;
  }
  if (OnClick) OnClick(this);
}

bool TMenuItem::SetStringProperty(const AnsiString& name, const AnsiString& value) {
  return vx::SetCaptionOrHint(*this, name, value);
}

std::optional<AnsiString> TMenuItem::GetStringProperty(const AnsiString& name) const {
  return vx::CaptionOrHint(name, caption_, hint_);
}

TMenuItem* FindShortCut(TMenuItem* root, TShortCut sc) {
  if (!root || sc == 0) return nullptr;
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (item->ShortCut() == sc) return item;
    if (TMenuItem* found = FindShortCut(item, sc)) return found;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(this)) { items_->menu_ = this; }

TMenu::~TMenu() {
  items_->menu_ = nullptr;
  delete items_;
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() {
  delete bar_;
  bar_ = nullptr;
}

void TMainMenu::AttachTo(QWidget* window) {
  delete bar_;
  bar_ = new QMenuBar(window);
  QObject::connect(bar_, &QObject::destroyed, [this](QObject*) { bar_ = nullptr; });
  RootChanged();
}

void TMainMenu::DetachFrom(QWidget* window) {
  if (bar_ && bar_->parentWidget() == window) {
    delete bar_;
    bar_ = nullptr;
  }
}

void TMainMenu::RootChanged() {
  if (!bar_) return;
  bar_->clear();
  TMenuItem* root = Items();
  for (int i = 0; i < root->Count(); ++i) bar_->addAction(root->Items(i)->QtAction());
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
  // The one deletion of the menu window; its items' actions go after it.
  delete menu_;
  menu_ = nullptr;
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) vx::Guard([&] { OnPopup(this); });
  TMenuItem* root = Items();
  if (root->Count() == 0) return;
  // One menu window for the life of the pop-up menu, filled afresh each
  // time and only hidden when it closes. popup() does not block, so no
  // test waits on it.
  if (!menu_) menu_ = new QMenu;
  menu_->hide();
  menu_->clear();
  for (int i = 0; i < root->Count(); ++i) menu_->addAction(root->Items(i)->QtAction());
  menu_->popup(QPoint(x, y));
}
