// TxbHugeSet: a set of record numbers held as bits in pages made on demand.
//
// Bit n lies on page n div 131072, in byte (n div 8) mod 16384 of that page,
// at the bit of value 1 shl (n mod 8). Pages up to the one holding the
// highest bit touched exist; bits beyond it read as clear without adding
// pages. Negative bit numbers are outside the set: setting them does nothing
// and they read as clear.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class TxbHugeSet {
 public:
  static constexpr std::int64_t kPageBytes = 16384;
  static constexpr std::int64_t kPageBits = kPageBytes * 8;

  // Operations of SetBit.
  static constexpr int kClear = 0;
  static constexpr int kSet = 1;
  static constexpr int kToggle = 2;

  // Clears (0), sets (1) or toggles (2) bit n; other operations do nothing.
  void SetBit(std::int64_t n, int operation);
  bool TestBit(std::int64_t n) const;
  // Frees every page.
  void Clear();

  // Highest bit index touched by SetBit, -1 when none.
  std::int64_t HighestBit() const { return highest_; }
  int PageCount() const { return static_cast<int>(pages_.size()); }

 private:
  std::vector<std::unique_ptr<std::uint8_t[]>> pages_;
  std::int64_t highest_ = -1;
};
