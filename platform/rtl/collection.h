// TCollection / TCollectionItem: an owning, ordered list of items of one
// class, where every item knows its collection and its index.
//
// Ownership: the collection owns its items and deletes them when it is
// cleared or destroyed. Creating an item with a collection appends it to
// that collection; deleting an item removes it from its collection.
//
// The collection makes its items through a factory, usually
// TCollection::Of<TMyItem>() (TMyItem needs a constructor taking
// TCollection*).
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/classes.h"

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  // Moves the item to another collection (appended there), or out of any.
  void SetCollection(TCollection* collection);
  // Position in the collection, -1 without one.
  int Index() const;
  // Moves the item within its collection (clipped to the valid range).
  void SetIndex(int index);
  // A number unique within the collection, given at insertion, never reused.
  int ID() const { return id_; }
  virtual AnsiString DisplayName() const { return displayName_; }
  virtual void SetDisplayName(const AnsiString& name);

 protected:
  // Tells the collection this item (or, with allItems, every item) changed.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
  AnsiString displayName_;
};

class TCollection : public TPersistent {
 public:
  using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
  template <typename T>
  static ItemFactory Of() {
    return [](TCollection* c) -> TCollectionItem* { return new T(c); };
  }

  explicit TCollection(ItemFactory factory);
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  // EListError "List index out of bounds (<index>)" outside 0..Count-1.
  TCollectionItem* Items(int index) const;
  TCollectionItem* operator[](int index) const { return Items(index); }
  TCollectionItem* FindItemID(int id) const;
  // Clears this collection and adds a copy (Assign) of every item of a
  // source collection.
  void Assign(TPersistent* source) override;

  // Nested; Update runs once at the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // Runs after a change: item is the changed item, or nullptr for many.
  std::function<void(TCollectionItem* item)> OnUpdate;

 protected:
  virtual void Update(TCollectionItem* item);
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void MoveItem(TCollectionItem* item, int index);

  ItemFactory factory_;
  std::vector<TCollectionItem*> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};
