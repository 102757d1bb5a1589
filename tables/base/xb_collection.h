// TxbCollection: the engine's list of owned objects.
//
// The list owns its items unless a descendant overrides FreeItem: Destroy
// (the destructor), FreeAll and IndexOfItem free items through FreeItem.
// A descendant that does not own its items overrides FreeItem to do nothing
// and empties the list in its own destructor (the base destructor can no
// longer reach the override).
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

template <class T>
class TxbCollection {
 public:
  TxbCollection() = default;
  TxbCollection(const TxbCollection&) = delete;
  TxbCollection& operator=(const TxbCollection&) = delete;
  virtual ~TxbCollection() { FreeAll(); }

  int Count() const { return static_cast<int>(items_.size()); }
  // The item at index, or nullptr outside 0..Count()-1.
  T* At(int index) const { return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)] : nullptr; }
  int IndexOf(const T* item) const {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
  }

  // Adds an item at the end; the list takes it over.
  void Add(T* item) { items_.push_back(item); }
  // Inserts at index (clamped to 0..Count()).
  void Insert(int index, T* item) {
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
  }
  // Takes an item out of the list without freeing it; false when absent.
  bool Remove(const T* item) {
    const int index = IndexOf(item);
    if (index < 0) return false;
    items_.erase(items_.begin() + index);
    return true;
  }
  // Takes the item at index out of the list without freeing it.
  T* Extract(int index) {
    T* item = At(index);
    if (item) items_.erase(items_.begin() + index);
    return item;
  }
  // Removes the given item from the list and frees it.
  void IndexOfItem(T* item) {
    if (Remove(item)) FreeItem(item);
  }
  // Frees every item and empties the list.
  void FreeAll() {
    std::vector<T*> items;
    items.swap(items_);
    for (T* item : items) FreeItem(item);
  }
  // Empties the list without freeing the items.
  void Clear() { items_.clear(); }

  typename std::vector<T*>::const_iterator begin() const { return items_.begin(); }
  typename std::vector<T*>::const_iterator end() const { return items_.end(); }

 protected:
  // Frees one item.
  virtual void FreeItem(T* item) { delete item; }

 private:
  std::vector<T*> items_;
};
