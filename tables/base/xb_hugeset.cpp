#include "tables/base/xb_hugeset.h"

void TxbHugeSet::SetBit(std::int64_t n, int operation) {
  if (n < 0 || operation < kClear || operation > kToggle) return;
  const auto page = static_cast<std::size_t>(n / kPageBits);
  while (pages_.size() <= page) pages_.push_back(std::make_unique<std::uint8_t[]>(kPageBytes));  // zeroed
  std::uint8_t& byte = pages_[page][static_cast<std::size_t>((n / 8) % kPageBytes)];
  const auto mask = static_cast<std::uint8_t>(1u << (n % 8));
  switch (operation) {
    case kClear: byte = static_cast<std::uint8_t>(byte & ~mask); break;
    case kSet: byte = static_cast<std::uint8_t>(byte | mask); break;
    default: byte = static_cast<std::uint8_t>(byte ^ mask); break;
  }
  if (n > highest_) highest_ = n;
}

bool TxbHugeSet::TestBit(std::int64_t n) const {
  if (n < 0 || n > highest_) return false;
  const auto page = static_cast<std::size_t>(n / kPageBits);
  if (page >= pages_.size()) return false;
  return (pages_[page][static_cast<std::size_t>((n / 8) % kPageBytes)] >> (n % 8)) & 1u;
}

void TxbHugeSet::Clear() {
  pages_.clear();
  highest_ = -1;
}
