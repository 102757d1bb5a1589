#include "platform/gui/core/actions.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <algorithm>

#include "platform/gui/core/application.h"
#include "platform/gui/core/controls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/base/qt_app.h"

namespace {

std::vector<TActionList*>& LiveLists() {
  static std::vector<TActionList*> lists;
  return lists;
}

TForm* OwnerForm(TComponent* c) {
  for (; c; c = c->Owner())
    if (auto* f = dynamic_cast<TForm*>(c)) return f;
  return nullptr;
}

// The event loop reports when it wakes and when it is about to sleep; the
// first sleep after a wake-up is the moment the application goes idle.
// Updating may cause events of its own (a repaint); the next round then
// finds nothing changed, causes nothing, and the loop sleeps.
void WatchIdle() {
  static bool watching = false;
  QAbstractEventDispatcher* dispatcher = QCoreApplication::eventDispatcher();
  if (watching || !dispatcher) return;
  watching = true;
  static bool idleDue = true;
  QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [] { idleDue = true; });
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] {
    if (!idleDue) return;
    idleDue = false;
    vx::Guard([] { vx::UpdateActionsOfShownForms(); });
  });
}

}  // namespace

void vx::UpdateActionsOfShownForms() {
  const std::vector<TActionList*> lists = LiveLists();
  for (TActionList* list : lists) {
    // An update may destroy a list that comes later.
    const auto& live = LiveLists();
    if (std::find(live.begin(), live.end(), list) == live.end()) continue;
    TForm* form = OwnerForm(list);
    if (form && form->Visible()) list->UpdateActions();
  }
}

TAction::TAction(TComponent* AOwner) : TComponent(AOwner) {}

TAction::~TAction() {
  for (TMenuItem* item : std::vector<TMenuItem*>(items_)) item->SetAction(nullptr);
  for (TControl* c : std::vector<TControl*>(controls_)) c->SetAction(nullptr);
  SetActionList(nullptr);
}

void TAction::Changed() {
  for (TMenuItem* item : items_) item->ActionChanged();
  for (TControl* c : controls_) c->ActionChanged();
}

void TAction::SetCaption(const AnsiString& v) {
  if (v == caption_) return;
  caption_ = v;
  Changed();
}

void TAction::SetHint(const AnsiString& v) {
  if (v == hint_) return;
  hint_ = v;
  Changed();
}

void TAction::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Changed();
}

void TAction::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  Changed();
}

void TAction::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Changed();
}

void TAction::SetShortCut(TShortCut v) {
  if (v == shortCut_) return;
  shortCut_ = v;
  Changed();
}

void TAction::SetActionList(TActionList* list) {
  if (list == list_) return;
  if (list_)
    list_->actions_.erase(std::remove(list_->actions_.begin(), list_->actions_.end(), this), list_->actions_.end());
  list_ = list;
  if (list_) list_->actions_.push_back(this);
}

bool TAction::Execute() {
  Update();
  if (!enabled_ || !OnExecute) return false;
  OnExecute(this);
  return true;
}

void TAction::Update() {
  if (OnUpdate) OnUpdate(this);
}

void TAction::AddClient(TMenuItem* item) { items_.push_back(item); }
void TAction::RemoveClient(TMenuItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
}
void TAction::AddClient(TControl* c) { controls_.push_back(c); }
void TAction::RemoveClient(TControl* c) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
}

bool TAction::SetStringProperty(const AnsiString& name, const AnsiString& value) {
  return vx::SetCaptionOrHint(*this, name, value);
}

std::optional<AnsiString> TAction::GetStringProperty(const AnsiString& name) const {
  return vx::CaptionOrHint(name, caption_, hint_);
}

TActionList::TActionList(TComponent* AOwner) : TComponent(AOwner) {
  vx::EnsureQtApp();
  WatchIdle();
  LiveLists().push_back(this);
}

TActionList::~TActionList() {
  auto& live = LiveLists();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  for (TAction* a : std::vector<TAction*>(actions_)) a->SetActionList(nullptr);
}

TAction* TActionList::Actions(int index) const {
  if (index < 0 || index >= ActionCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return actions_[static_cast<std::size_t>(index)];
}

void TActionList::UpdateActions() {
  if (OnUpdate) OnUpdate(this);
  for (TAction* a : std::vector<TAction*>(actions_)) a->Update();
}
