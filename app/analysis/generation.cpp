#include "app/analysis/generation.h"

#include <algorithm>
#include <array>

#include "app/analysis/number_set.h"
#include "platform/rtl/random.h"
#include "platform/rtl/sysutils.h"

namespace vx {

namespace {

class RuntimeRandomSource final : public RandomSource {
 public:
  int Next(int range) override { return ::Random(range); }
  void Reseed() override { ::Randomize(); }
};

}  // namespace

RandomSource& RuntimeRandom() {
  static RuntimeRandomSource source;
  return source;
}

bool RandomNumbers(int k, int n, const Weights& weights, bool ascending, RandomSource& random, const StopPoll& poll,
                   std::vector<int>& combination, const PositionRange& ranges) {
  k = std::max(k, 0);
  combination.assign(static_cast<std::size_t>(k), 0);
  const int numbers = std::min(n, static_cast<int>(weights.size()));
  std::size_t total = 0;
  for (int i = 0; i < numbers; ++i)
    total += static_cast<std::size_t>(std::max(weights[static_cast<std::size_t>(i)], 0));
  // One slot more than the weights fill: an empty pool still has a first
  // entry to take.
  std::vector<int> pool(total + 1, 0);
  std::size_t remaining = 0;
  for (int i = 0; i < numbers; ++i)
    for (std::int32_t w = weights[static_cast<std::size_t>(i)]; w > 0; --w) pool[remaining++] = i + 1;
  random.Reseed();

  for (int t = 0; t < k; ++t) {
    int lo = 0, hi = 0;
    if (ranges) ranges(t + 1, lo, hi);
    std::size_t r = static_cast<std::size_t>(random.Next(static_cast<int>(remaining)));
    if (ranges) {
      while (pool[r] < lo || pool[r] > hi) {
        if (poll && poll()) return false;
        r = static_cast<std::size_t>(random.Next(static_cast<int>(remaining)));
      }
    }
    const int chosen = pool[r];
    combination[static_cast<std::size_t>(t)] = chosen;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < remaining; ++i)
      if (pool[i] != chosen) pool[kept++] = pool[i];
    remaining = kept;
    if (poll && poll()) return false;
  }
  if (ascending) std::sort(combination.begin(), combination.end());
  return true;
}

CoincidenceTable::CoincidenceTable(DrawSource& source) {
  std::vector<int> numbers;
  for (source.First(); !source.Eof(); source.Next()) {
    numbers.resize(static_cast<std::size_t>(source.NumberCount()));
    for (std::size_t i = 0; i < numbers.size(); ++i) numbers[i] = source.Number(static_cast<int>(i));
    Append(numbers);
  }
}

void CoincidenceTable::Append(const std::vector<int>& numbers) {
  const NumberSet s = SetOf(numbers);
  if (s.exact) {
    lows_.push_back(s.low);
    highs_.push_back(s.high);
    anyHigh_ = anyHigh_ || s.high;
  } else {
    otherStarts_.push_back(others_.size());
    others_.insert(others_.end(), numbers.begin(), numbers.end());
  }
}

bool CoincidenceTable::Outside(const std::vector<int>& combination, int upper, int lower) const {
  const auto outside = [upper, lower](int hits) { return hits > upper || hits < lower; };
  NumberCounts counts;
  counts.Assign(combination);
  const NumberSet c = SetOf(combination);
  if (c.exact) {
    // A block of sets at a time: the first record outside the bounds ends
    // the check within its block.
    constexpr std::size_t kBlock = 1024;
    std::array<int, kBlock> met;
    const std::uint64_t* high = anyHigh_ && c.high ? highs_.data() : nullptr;
    for (std::size_t at = 0; at < lows_.size(); at += kBlock) {
      const std::size_t n = std::min(kBlock, lows_.size() - at);
      MeetSets(lows_.data() + at, high ? high + at : nullptr, n, c, met.data());
      if (std::any_of(met.begin(), met.begin() + static_cast<std::ptrdiff_t>(n), outside)) return true;
    }
  } else {
    // A record that is a set holds each of its numbers once: its pairs are
    // the combination's counts of those numbers.
    for (std::size_t r = 0; r < lows_.size(); ++r) {
      int hits = 0;
      for (int word = 0; word < 2; ++word)
        for (std::uint64_t w = word ? highs_[r] : lows_[r]; w; w &= w - 1)
          hits += counts.Of(word * 64 + __builtin_ctzll(w));
      if (outside(hits)) return true;
    }
  }
  for (std::size_t r = 0; r < otherStarts_.size(); ++r) {
    const std::size_t from = otherStarts_[r];
    const std::size_t to = r + 1 < otherStarts_.size() ? otherStarts_[r + 1] : others_.size();
    if (outside(counts.PairsWith(others_.data() + from, to - from))) return true;
  }
  return false;
}

FormedCombination FormFromDraw(const std::vector<int>& draw, int highest) {
  std::array<bool, 10> inSet{};
  for (int v : draw) {
    if (v < 0 || v > 99) continue;
    if (v <= 9) {
      inSet[static_cast<std::size_t>(v)] = true;
    } else {
      inSet[static_cast<std::size_t>(v / 10)] = true;
      inSet[static_cast<std::size_t>(v % 10)] = true;
    }
  }
  FormedCombination formed;
  for (int d = 0; d < 10; ++d)
    if (inSet[static_cast<std::size_t>(d)]) formed.digits.push_back(d);
  for (int number = 1; number <= std::min(highest, 99); ++number)
    if (inSet[static_cast<std::size_t>(number / 10)] && inSet[static_cast<std::size_t>(number % 10)])
      formed.numbers.push_back(number);
  return formed;
}

AnsiString DigitsText(const std::vector<int>& digits) {
  AnsiString text;
  for (int d : digits) text += IntToStr(d) + ",";
  return text;
}

}  // namespace vx
