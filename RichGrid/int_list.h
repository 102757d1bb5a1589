// Integer lists of the grid: TIntList tells its owner about every change;
// TSortIndexList holds the columns of a multi-column sort.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/rtl/list.h"

class TIntList;
// Sender, then the two tags the list was created with.
using TIntListChangeEvent = std::function<void(TObject* Sender, int tag1, int tag2)>;

// A TList whose entries are 32-bit integers held in the pointer slots.
class TIntList : public TList {
 public:
  TIntList(int tag1, int tag2) : tag1_(tag1), tag2_(tag2) {}

  int Items(int index) const { return static_cast<int>(reinterpret_cast<std::intptr_t>(TList::Items(index))); }
  // Stores the value, then fires OnChange.
  void SetItems(int index, int value);
  // Appends, then fires OnChange; returns the new entry's index.
  int Add(int value);
  int operator[](int index) const { return Items(index); }

  int Tag1() const { return tag1_; }
  int Tag2() const { return tag2_; }
  TIntListChangeEvent OnChange;

 protected:
  void Changed();

 private:
  int tag1_, tag2_;
};

// Each entry is a column in its low 31 bits; bit 31 set means descending.
class TSortIndexList : public TIntList {
 public:
  static constexpr std::uint32_t DescendingFlag = 0x80000000u;

  TSortIndexList() : TIntList(0, 0) {}
  // Appends the column, flagged descending when ascending is false.
  void AddFlagged(int column, bool ascending);
  // Position of the first entry holding the column; -1 when none.
  int IndexOfValue(int column) const;
  // Flips the direction of the first entry holding the column.
  void ToggleFlag(int column);

  static int ColumnOf(int entry) { return static_cast<int>(static_cast<std::uint32_t>(entry) & ~DescendingFlag); }
  static bool IsDescending(int entry) { return (static_cast<std::uint32_t>(entry) & DescendingFlag) != 0; }
};
