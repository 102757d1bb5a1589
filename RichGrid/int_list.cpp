#include "RichGrid/int_list.h"

namespace {
void* AsSlot(int value) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(value)); }
}  // namespace

void TIntList::Changed() {
  if (OnChange) OnChange(this, tag1_, tag2_);
}

void TIntList::SetItems(int index, int value) {
  TList::SetItems(index, AsSlot(value));
  Changed();
}

int TIntList::Add(int value) {
  const int index = TList::Add(AsSlot(value));
  Changed();
  return index;
}

void TSortIndexList::AddFlagged(int column, bool ascending) {
  std::uint32_t entry = static_cast<std::uint32_t>(column) & ~DescendingFlag;
  if (!ascending) entry |= DescendingFlag;
  Add(static_cast<int>(entry));
}

int TSortIndexList::IndexOfValue(int column) const {
  for (int i = 0; i < Count(); ++i)
    if (ColumnOf(Items(i)) == column) return i;
  return -1;
}

void TSortIndexList::ToggleFlag(int column) {
  const int i = IndexOfValue(column);
  if (i < 0) return;
  SetItems(i, static_cast<int>(static_cast<std::uint32_t>(Items(i)) ^ DescendingFlag));
}
