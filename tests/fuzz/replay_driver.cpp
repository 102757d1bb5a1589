// Stand-in for libFuzzer's main in the g++ build: replays every file of the
// corpus folders given on the command line through LLVMFuzzerTestOneInput,
// then feeds it mutations of those files (bit flips, byte changes, cuts,
// splices) until --seconds have passed. The mutation seed is fixed unless
// --seed=N is given, so a failure can be replayed. --malloc-limit-mb=N
// aborts on a single allocation above N MB, as libFuzzer's option of that
// name does; --rss-limit-mb=N aborts when the program holds more than N MB
// in all, as libFuzzer's -rss_limit_mb does (counted here as the bytes
// held through operator new).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/allocation_meter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Mutate(std::vector<uint8_t>& v, std::mt19937_64& rng, const std::vector<std::vector<uint8_t>>& corpus) {
  const int steps = 1 + static_cast<int>(rng() % 4);
  for (int s = 0; s < steps; ++s) {
    switch (rng() % 6) {
      case 0:
        if (!v.empty()) v[rng() % v.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
      case 1:
        if (!v.empty()) v[rng() % v.size()] = static_cast<uint8_t>(rng());
        break;
      case 2:
        if (!v.empty()) v.resize(rng() % v.size());
        break;
      case 3: {
        static const uint8_t kInteresting[] = {0x00, 0xFF, 0x7F, 0x80, 0x01, 0x0D, 0x1A, 0x20};
        if (!v.empty()) v[rng() % v.size()] = kInteresting[rng() % sizeof kInteresting];
        break;
      }
      case 4:
        if (v.size() < (1u << 20))
          v.insert(v.begin() + static_cast<long>(v.empty() ? 0 : rng() % v.size()), static_cast<uint8_t>(rng()));
        break;
      case 5:
        if (!corpus.empty()) {
          const auto& other = corpus[rng() % corpus.size()];
          if (!other.empty() && !v.empty()) {
            const size_t at = rng() % v.size();
            const size_t from = rng() % other.size();
            const size_t n = std::min<size_t>(other.size() - from, 1 + rng() % 64);
            for (size_t k = 0; k < n && at + k < v.size(); ++k) v[at + k] = other[from + k];
          }
        }
        break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 10;
  uint64_t seed = 20261206;
  std::vector<std::vector<uint8_t>> corpus;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a.rfind("--seconds=", 0) == 0) {
      seconds = std::atof(a.c_str() + 10);
      continue;
    }
    if (a.rfind("--malloc-limit-mb=", 0) == 0) {
      vx::test::SetAllocationLimit(static_cast<std::size_t>(std::atol(a.c_str() + 18)) << 20);
      continue;
    }
    if (a.rfind("--rss-limit-mb=", 0) == 0) {
      vx::test::SetHeldLimit(static_cast<std::size_t>(std::atol(a.c_str() + 15)) << 20);
      continue;
    }
    if (a.rfind("--seed=", 0) == 0) {
      seed = std::strtoull(a.c_str() + 7, nullptr, 10);
      continue;
    }
    std::filesystem::path p(a);
    if (std::filesystem::is_directory(p)) {
      for (auto& e : std::filesystem::recursive_directory_iterator(p))
        if (e.is_regular_file()) corpus.push_back(ReadAll(e.path()));
    } else if (std::filesystem::is_regular_file(p)) {
      corpus.push_back(ReadAll(p));
    }
  }
  for (auto& c : corpus) LLVMFuzzerTestOneInput(c.data(), c.size());
  std::printf("replayed %zu corpus files\n", corpus.size());
  if (corpus.empty()) corpus.push_back({});
  std::mt19937_64 rng(seed);
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  long runs = 0;
  while (std::chrono::steady_clock::now() < until) {
    std::vector<uint8_t> v = corpus[rng() % corpus.size()];
    Mutate(v, rng, corpus);
    LLVMFuzzerTestOneInput(v.data(), v.size());
    ++runs;
  }
  std::printf("ran %ld mutations (seed %llu)\n", runs, static_cast<unsigned long long>(seed));
  return 0;
}
