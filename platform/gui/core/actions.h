// TActionList and TAction: commands shared by menu items and buttons.
//
// An action's Caption, Hint, Enabled, Checked, Visible and ShortCut are
// copied to every client (menu item or control) linked to it. OnUpdate runs
// for every action of a list whose form is shown each time the application
// goes idle after handling events, so handlers can enable and disable
// commands. There is no timer: a program with nothing to do does not wake.
#pragma once

#include <vector>

#include "platform/gui/base/component_props.h"
#include "platform/gui/base/gui_types.h"

class TActionList;
class TMenuItem;
class TControl;
using TShortCut = std::uint16_t;

class TAction : public TComponent, public vx::StringProperties {
 public:
  explicit TAction(TComponent* AOwner);
  ~TAction() override;

  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& v);
  const AnsiString& Hint() const { return hint_; }
  void SetHint(const AnsiString& v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut v);

  TActionList* ActionList() const { return list_; }
  void SetActionList(TActionList* list);

  // Runs OnExecute when enabled; returns whether a handler ran.
  bool Execute();
  // Runs OnUpdate.
  void Update();
  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

  void AddClient(TMenuItem* item);
  void RemoveClient(TMenuItem* item);
  void AddClient(TControl* control);
  void RemoveClient(TControl* control);

  bool SetStringProperty(const AnsiString& name, const AnsiString& value) override;
  std::optional<AnsiString> GetStringProperty(const AnsiString& name) const override;

 private:
  void Changed();
  AnsiString caption_, hint_;
  bool enabled_ = true, checked_ = false, visible_ = true;
  TShortCut shortCut_ = 0;
  TActionList* list_ = nullptr;
  std::vector<TMenuItem*> items_;
  std::vector<TControl*> controls_;
};

class TActionList : public TComponent {
 public:
  explicit TActionList(TComponent* AOwner);
  ~TActionList() override;
  int ActionCount() const { return static_cast<int>(actions_.size()); }
  TAction* Actions(int index) const;
  // Runs OnUpdate of every action (also done when idle).
  void UpdateActions();
  TNotifyEvent OnUpdate;

 private:
  friend class TAction;
  std::vector<TAction*> actions_;
};

namespace vx {
// What the application does when it goes idle after handling events: the
// action lists of the forms on screen update their actions. Runs by itself
// from the event loop; callable from tests.
void UpdateActionsOfShownForms();
}  // namespace vx
