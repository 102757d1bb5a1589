// TComponent: the owned, named building block of forms and data modules.
//
// Ownership: a component created with an owner is destroyed by that owner
// (latest created first); such a component must be made with `new`.
// Deleting a component yourself is fine too: it first leaves its owner.
// Components() lists the owned components in creation order.
//
// Notifications: when a component is inserted into or removed from an owner,
// the owner hears Notification(c, opInsert / opRemove), and every
// Notification passes on down to all components the receiver owns. A component that called FreeNotification(this) on
// another hears Notification(other, opRemove) when the other is destroyed (in both directions: the link is mutual, as
// in the class library).
#pragma once

#include <vector>

#include "platform/rtl/classes.h"

enum class TOperation { opInsert, opRemove };
using enum TOperation;

enum class TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using enum TComponentStateItem;
using TComponentState = TSet<TComponentStateItem>;

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  const AnsiString& Name() const { return name_; }
  // A name must be empty or an identifier (letter or '_', then letters,
  // digits, '_') and unique among the owner's components without regard to
  // case; otherwise EComponentError.
  void SetName(const AnsiString& name);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // The owned components in creation order; EListError outside 0..Count-1.
  TComponent* Components(int index) const;
  const std::vector<TComponent*>& Components() const { return components_; }
  // Position within the owner's list, -1 without owner.
  int ComponentIndex() const;
  // An owned component of that name (without regard to case), or nullptr.
  TComponent* FindComponent(const AnsiString& name) const;

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Destroys every owned component, latest created first. A component in
  // a FreeNotification link is first removed with the opRemove
  // notification to this owner and everything it owns.
  void DestroyComponents();

  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  TComponentState ComponentState() const { return state_; }
  // Marks the component (and what it owns) as being read from a form
  // description; Loaded() ends it.
  void SetLoading();
  // Called once the component's properties are all set: clears csLoading.
  virtual void Loaded();
  // Sets csDestroying on this component and what it owns.
  void Destroying();

 protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  void SetDesigning(bool value);
  void IncludeState(TComponentStateItem s) { state_.Include(s); }
  void ExcludeState(TComponentStateItem s) { state_.Exclude(s); }

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);

  TComponent* owner_ = nullptr;
  AnsiString name_;
  int tag_ = 0;
  TComponentState state_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};
