#include "app/main/generation.h"

#include <algorithm>
#include <array>

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
    for (std::size_t i = 0; i < remaining; ++i) {
      if (pool[i] != chosen) pool[kept++] = pool[i];
      if (poll && poll()) return false;
    }
    remaining = kept;
  }
  if (ascending) std::sort(combination.begin(), combination.end());
  return true;
}

int Coincidences(DrawSource& source, const std::vector<int>& combination) {
  // Counts of the combination's numbers; numbers outside the table are
  // compared one by one.
  constexpr int kTable = 128;
  std::array<int, kTable> count{};
  std::vector<int> others;
  for (int c : combination) {
    if (c >= 0 && c < kTable) ++count[static_cast<std::size_t>(c)];
    else others.push_back(c);
  }
  int hits = 0;
  const int fields = source.NumberCount();
  for (int i = 0; i < fields; ++i) {
    const int v = source.Number(i);
    if (v >= 0 && v < kTable) hits += count[static_cast<std::size_t>(v)];
    else hits += static_cast<int>(std::count(others.begin(), others.end(), v));
  }
  return hits;
}

bool CoincidesOutside(DrawSource& source, const std::vector<int>& combination, int upper, int lower) {
  for (source.First(); !source.Eof(); source.Next()) {
    const int hits = Coincidences(source, combination);
    if (hits > upper || hits < lower) return true;
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
