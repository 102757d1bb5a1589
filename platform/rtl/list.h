// TList: an ordered list of untyped pointers that it does not own.
//
// Index errors raise EListError "List index out of bounds (<index>)".
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/classes.h"

enum class TListNotification { lnAdded, lnExtracted, lnDeleted };
using enum TListNotification;

// <0 when a sorts before b, 0 when equal, >0 after.
using TListSortCompare = std::function<int(void* a, void* b)>;

class TList : public TObject {
 public:
  TList() = default;
  ~TList() override;

  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  // Removes the first occurrence; returns its former index or -1.
  int Remove(void* item);
  // Removes the first occurrence without the lnDeleted notification.
  void* Extract(void* item);
  int IndexOf(void* item) const;
  void Clear();
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  void* First() const;
  void* Last() const;
  // Removes every nil entry.
  void Pack();
  // Stable sort: equal entries keep their order.
  void Sort(const TListSortCompare& compare);

  int Count() const { return static_cast<int>(items_.size()); }
  // Growing fills with nil; shrinking deletes from the end.
  void SetCount(int count);
  int Capacity() const { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int capacity);
  void* Items(int index) const;
  void SetItems(int index, void* item);
  void* operator[](int index) const { return Items(index); }

  // The raw entries, for range-for loops.
  const std::vector<void*>& List() const { return items_; }

 protected:
  // Called after an entry was added and before one is removed.
  virtual void Notify(void* /*item*/, TListNotification /*action*/) {}

 private:
  void CheckIndex(int index) const;
  std::vector<void*> items_;
};
