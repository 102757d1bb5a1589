// Counting coincidences between lists of numbers (a draw, a result, a
// combination): the equal pairs of two lists, each value of one compared
// with each value of the other, so a number repeated on either side counts
// once per repetition.
//
// A list of distinct numbers 0..127 is also a set of two 64-bit words; two
// such sets meet in exactly as many numbers as their lists have equal
// pairs, which the processor counts a word at a time. Other lists (a
// repeat, a number outside 0..127) are counted pair by pair.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx {

struct NumberSet {
  std::uint64_t low = 0, high = 0;  // numbers 0..63 and 64..127
  bool exact = true;                // false: the list is not a set (all words 0)
};

NumberSet SetOf(const int* values, std::size_t count);
inline NumberSet SetOf(const std::vector<int>& values) { return SetOf(values.data(), values.size()); }

// out[i] := the numbers the sets (low[i], high[i]) and d have in common,
// i < n; without `high` only the low words are compared.
void MeetSets(const std::uint64_t* low, const std::uint64_t* high, std::size_t n, NumberSet d, int* out);

// How often each number occurs in a list.
class NumberCounts {
 public:
  void Assign(const std::vector<int>& values);
  // Occurrences of a number 0..127.
  int Of(int number) const { return count_[static_cast<std::size_t>(number)]; }
  // Equal (value, counted number) pairs.
  int PairsWith(const int* values, std::size_t count) const;
  int PairsWith(const std::vector<int>& values) const { return PairsWith(values.data(), values.size()); }

 private:
  static constexpr int kTable = 128;
  std::array<int, kTable> count_{};
  std::vector<int> others_;  // the values outside 0..127
};

}  // namespace vx
