#include "app/analysis/characteristic.h"

#include <algorithm>
#include <cstdlib>

#include "platform/rtl/sysutils.h"

namespace vx {

DifferenceTriangle MakeDifferenceTriangle(const std::vector<int>& numbers) {
  DifferenceTriangle t;
  const std::size_t n = numbers.size();
  if (n < 2) return t;
  std::vector<long long> sums(n, 0);
  std::vector<long long> level(numbers.begin(), numbers.end());
  for (std::size_t L = 1; L < n; ++L) {
    std::vector<long long> next(n - L);
    for (std::size_t k = 0; k < next.size(); ++k) {
      next[k] = std::llabs(level[k] - level[k + 1]);
      sums[L] += next[k];
    }
    t.levels.push_back(next);
    level = std::move(next);
  }
  const long long apex = sums[n - 1];
  t.characteristic = IntToStr(apex);
  if (apex == 0 || apex == 1) t.characteristic += "," + IntToStr(sums[n - 2]);
  return t;
}

std::vector<long long> DerivedNumbers(const std::vector<int>& numbers) {
  std::vector<long long> derived;
  for (std::size_t i = 0; i < numbers.size(); ++i)
    for (std::size_t j = i + 1; j < numbers.size(); ++j) {
      const long long d = std::llabs(static_cast<long long>(numbers[j]) - numbers[i]);
      if (d > 0 && std::find(derived.begin(), derived.end(), d) == derived.end()) derived.push_back(d);
    }
  return derived;
}

}  // namespace vx
