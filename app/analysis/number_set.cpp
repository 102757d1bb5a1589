#include "app/analysis/number_set.h"

#include <algorithm>

namespace vx {

NumberSet SetOf(const int* values, std::size_t count) {
  NumberSet s;
  for (std::size_t i = 0; i < count; ++i) {
    const int v = values[i];
    if (v < 0 || v > 127) return {0, 0, false};
    std::uint64_t& word = v < 64 ? s.low : s.high;
    const std::uint64_t bit = std::uint64_t{1} << (v & 63);
    if (word & bit) return {0, 0, false};
    word |= bit;
  }
  return s;
}

namespace {

inline int Bits(std::uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555ULL);
  x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

// With the processor's bit count where it has one.
__attribute__((target("popcnt"))) void MeetCounted(const std::uint64_t* low, const std::uint64_t* high, std::size_t n,
                                                   NumberSet d, int* out) {
  for (std::size_t i = 0; i < n; ++i) out[i] = __builtin_popcountll(low[i] & d.low);
  if (high)
    for (std::size_t i = 0; i < n; ++i) out[i] += __builtin_popcountll(high[i] & d.high);
}

void MeetPlain(const std::uint64_t* low, const std::uint64_t* high, std::size_t n, NumberSet d, int* out) {
  for (std::size_t i = 0; i < n; ++i) out[i] = Bits(low[i] & d.low) + (high ? Bits(high[i] & d.high) : 0);
}

}  // namespace

void MeetSets(const std::uint64_t* low, const std::uint64_t* high, std::size_t n, NumberSet d, int* out) {
  static const bool counted = __builtin_cpu_supports("popcnt");
  (counted ? MeetCounted : MeetPlain)(low, high, n, d, out);
}

void NumberCounts::Assign(const std::vector<int>& values) {
  count_.fill(0);
  others_.clear();
  for (int v : values) {
    if (v >= 0 && v < kTable) ++count_[static_cast<std::size_t>(v)];
    else others_.push_back(v);
  }
}

int NumberCounts::PairsWith(const int* values, std::size_t count) const {
  int hits = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int v = values[i];
    if (v >= 0 && v < kTable) hits += count_[static_cast<std::size_t>(v)];
    else if (!others_.empty()) hits += static_cast<int>(std::count(others_.begin(), others_.end(), v));
  }
  return hits;
}

}  // namespace vx
