// Generation of combinations: the weighted pick of distinct numbers, the
// conditions a combination must meet, and forming one combination from the
// digits of a draw. Plain functions over the weight array, a source of
// draws and a random source; the Generation page's commands wrap them.
//
// Weighted pick: a pool holds number i (1..n) weight[i-1] times, ascending;
// each position draws one pool entry uniformly, then every entry of that
// number leaves the pool, so the next position draws among the numbers
// left, by their weights. Only positive weights enter the pool. When fewer
// numbers have a weight than positions are drawn, the pool runs empty and
// the further positions repeat the number removed last (0 when the pool
// was empty from the start): callers that need k distinct numbers check
// the count of positive weights first.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "app/analysis/probability.h"

namespace vx {

// Where the pick's random numbers come from: Next(range) is uniform in
// 0..range-1 (0 for an empty range); Reseed starts a new sequence.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual int Next(int range) = 0;
  virtual void Reseed() = 0;
};

// The runtime's generator (RandSeed, Random, Randomize; tests fix what the
// reseed reads with vx::SetRandomizeSource).
RandomSource& RuntimeRandom();

// The allowed numbers of a position (1-based) of a combination; may throw
// when the range cannot be read.
using PositionRange = std::function<void(int position, int& lo, int& hi)>;

// Picks k numbers out of 1..n by the weights (reseeding first). With
// `ranges`, the number at each position is redrawn until it lies in that
// position's range. `poll` runs after every walk of the pool (one per
// position) and every redraw; when it answers true the pick ends and
// returns false.
bool RandomNumbers(int k, int n, const Weights& weights, bool ascending, RandomSource& random, const StopPoll& poll,
                   std::vector<int>& combination, const PositionRange& ranges = nullptr);

// The numbers of every record of a table, held in memory for the
// coincidence conditions: a record's coincidences with a combination are
// its equal (record number, combination number) pairs, so a number
// repeated on either side counts once per repetition.
class CoincidenceTable {
 public:
  CoincidenceTable() = default;
  // Every record of the source from its first, in table order.
  explicit CoincidenceTable(DrawSource& source);
  // Adds a record at the end.
  void Append(const std::vector<int>& numbers);
  std::size_t Size() const { return lows_.size() + otherStarts_.size(); }
  // True when some record's count of coincidences lies above `upper` or
  // below `lower`.
  bool Outside(const std::vector<int>& combination, int upper, int lower) const;

 private:
  // Records that are sets of numbers 0..127, as two words each (see
  // number_set.h); the others as lists, one after another.
  std::vector<std::uint64_t> lows_, highs_;
  bool anyHigh_ = false;
  std::vector<int> others_;
  std::vector<std::size_t> otherStarts_;
};

// Forming: the digit set of a draw (numbers 0..9 as they are, two-digit
// numbers as their two digits; others are skipped) and the combination of
// every number 1..highest whose two decimal digits (a leading 0 allowed)
// both lie in the set.
struct FormedCombination {
  std::vector<int> digits;  // ascending
  std::vector<int> numbers;
};
FormedCombination FormFromDraw(const std::vector<int>& draw, int highest);

// "0,1,2," : each digit followed by a comma.
AnsiString DigitsText(const std::vector<int>& digits);

}  // namespace vx
