// TxbSort on one million random keys (numbers; 10-byte texts), inserted and
// drained, against std::sort of the same (key, record) pairs walked in order.
// Run both in one go and compare the times:
//
//     vx_bench_sort --benchmark_min_time=2
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "tables/index/xb_sort.h"

namespace {

constexpr int kKeys = 1000000;
constexpr int kTextLength = 10;
using TextKey = std::array<char, kTextLength>;

const std::vector<double>& Numbers() {
  static const std::vector<double> numbers = [] {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> dist(-1e6, 1e6);
    std::vector<double> v(kKeys);
    for (double& d : v) d = dist(rng);
    return v;
  }();
  return numbers;
}

const std::vector<TextKey>& Texts() {
  static const std::vector<TextKey> texts = [] {
    std::mt19937 rng(7);
    std::vector<TextKey> v(kKeys);
    for (TextKey& t : v)
      for (char& c : t) c = static_cast<char>('A' + rng() % 26);
    return v;
  }();
  return texts;
}

// Inserts kKeys keys of keyLength bytes into a TxbSort, key i (record i + 1)
// set by put(key, i), and drains them in order.
template <class PutKey>
void TimeTxbSort(benchmark::State& state, int keyLength, PutKey put) {
  for (auto _ : state) {
    TxbSort sorter(keyLength, kKeys, true, false);
    TxbVariant key;
    for (int i = 0; i < kKeys; ++i) {
      put(key, i);
      sorter.InsertItem(key, i + 1);
    }
    std::int32_t record = 0;
    double sum = 0;
    while (sorter.GetNextItem(key, record)) sum += record;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

void BM_TxbSortNumbers(benchmark::State& state) {
  const auto& numbers = Numbers();
  TimeTxbSort(state, 8, [&](TxbVariant& key, int i) { key.PutNumber(numbers[static_cast<std::size_t>(i)]); });
}

void BM_StdSortNumbers(benchmark::State& state) {
  const auto& numbers = Numbers();
  for (auto _ : state) {
    std::vector<std::pair<double, std::int32_t>> pairs;
    pairs.reserve(kKeys);
    for (int i = 0; i < kKeys; ++i) pairs.emplace_back(numbers[static_cast<std::size_t>(i)], i + 1);
    std::sort(pairs.begin(), pairs.end());
    double sum = 0;
    for (const auto& p : pairs) sum += p.second;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

void BM_TxbSortTexts(benchmark::State& state) {
  const auto& texts = Texts();
  AnsiString text(kTextLength, ' ');
  TimeTxbSort(state, kTextLength, [&](TxbVariant& key, int i) {
    std::memcpy(text.data(), texts[static_cast<std::size_t>(i)].data(), kTextLength);
    key.PutString(text);
  });
}

void BM_StdSortTexts(benchmark::State& state) {
  const auto& texts = Texts();
  for (auto _ : state) {
    std::vector<std::pair<TextKey, std::int32_t>> pairs;
    pairs.reserve(kKeys);
    for (int i = 0; i < kKeys; ++i) pairs.emplace_back(texts[static_cast<std::size_t>(i)], i + 1);
    std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) {
      const int c = std::memcmp(a.first.data(), b.first.data(), kTextLength);
      return c != 0 ? c < 0 : a.second < b.second;
    });
    double sum = 0;
    for (const auto& p : pairs) sum += p.second;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

BENCHMARK(BM_TxbSortNumbers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSortNumbers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TxbSortTexts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSortTexts)->Unit(benchmark::kMillisecond);

}  // namespace
