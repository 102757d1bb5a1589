// Menus: TMenuItem trees under a TMainMenu (the form's menu bar) or a
// TPopupMenu (shown on a control's right-button release).
//
// A caption "-" makes a separator; '&' marks the accelerator ("&&" is a
// literal '&'). Items can be added, inserted and deleted at run time; Delete
// and Remove take an item out without destroying it (its owner still does),
// Clear destroys the sub-items. OnClick runs when the user picks the item, or
// from code through Click(); a handler reads the picked item as Sender.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/base/component_props.h"
#include "platform/gui/base/gui_types.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TMenu;
class TAction;

using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(Word key, TShiftState shift);
// "Ctrl+Del", "Ins", "Shift+F5" ... as the class library named them.
AnsiString ShortCutToText(TShortCut shortCut);

class TMenuItem : public TComponent, public vx::StringProperties {
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& v);
  const AnsiString& Hint() const { return hint_; }
  void SetHint(const AnsiString& v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v) { radioItem_ = v; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut v);
  bool IsLine() const { return caption_ == "-"; }
  TAction* Action() const { return action_; }
  void SetAction(TAction* action);

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const;
  TMenuItem* operator[](int index) const { return Items(index); }
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  int IndexOf(const TMenuItem* item) const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out without destroying it.
  void Delete(int index);
  void Remove(TMenuItem* item);
  // Destroys all sub-items.
  void Clear();
  // The sub-item with this caption (accelerators ignored), or nullptr.
  TMenuItem* Find(const AnsiString& caption) const;

  virtual void Click();
  TNotifyEvent OnClick;

  bool SetStringProperty(const AnsiString& name, const AnsiString& value) override;
  std::optional<AnsiString> GetStringProperty(const AnsiString& name) const override;

  QAction* QtAction() const { return action_qt_; }
  // Called when an attached action changes.
  void ActionChanged();

 private:
  friend class TMenu;
  void Rebuild();        // refills this item's Qt menu from the sub-items
  void ParentChanged();  // tells the container to refill
  void SyncAction();
  // True for an item of a pop-up menu (its root belongs to a TPopupMenu).
  bool InPopupMenu() const;
  AnsiString caption_, hint_;
  bool enabled_ = true, visible_ = true, checked_ = false, radioItem_ = false;
  TShortCut shortCut_ = 0;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a root item
  TAction* action_ = nullptr;
  std::vector<TMenuItem*> items_;
  QAction* action_qt_ = nullptr;
  QMenu* menu_qt_ = nullptr;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  // The root item; its sub-items are the menu's entries.
  TMenuItem* Items() const { return items_; }
  virtual void RootChanged() {}

 private:
  TMenuItem* items_;
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;
  void AttachTo(QWidget* window);
  void DetachFrom(QWidget* window);
  void RootChanged() override;
  QMenuBar* Bar() const { return bar_; }

 private:
  QMenuBar* bar_ = nullptr;
};

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  // Shows the menu at screen position (x, y); runs OnPopup first. An item
  // the user picks runs its handler after the menu has closed, at the next
  // turn of the event loop. The menu window belongs to this object alone.
  void Popup(int x, int y);
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* c) { popupComponent_ = c; }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool v) { autoPopup_ = v; }
  TNotifyEvent OnPopup;
  void RootChanged() override {}

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TComponent* popupComponent_ = nullptr;
  bool autoPopup_ = true;
  QMenu* menu_ = nullptr;
};

// Finds the item of a whole menu that has the given short cut (nullptr when none).
TMenuItem* FindShortCut(TMenuItem* root, TShortCut shortCut);
