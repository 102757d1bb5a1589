#include "platform/rtl/random.h"

#include <ctime>

std::uint32_t RandSeed = 0;

namespace {
std::function<std::uint32_t()> randomizeSource;

void Step() { RandSeed = RandSeed * 134775813u + 1u; }
}  // namespace

int Random(int range) {
  Step();
  if (range <= 0) return 0;
  return static_cast<int>((static_cast<std::uint64_t>(RandSeed) * static_cast<std::uint32_t>(range)) >> 32);
}

double Random() {
  Step();
  return static_cast<double>(RandSeed) / 4294967296.0;
}

void Randomize() {
  if (randomizeSource) {
    RandSeed = randomizeSource();
    return;
  }
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  const std::uint64_t ticks =
      static_cast<std::uint64_t>(ts.tv_sec) * 1000000000u + static_cast<std::uint64_t>(ts.tv_nsec);
  RandSeed = static_cast<std::uint32_t>(ticks);
}

void vx::SetRandomizeSource(std::function<std::uint32_t()> source) { randomizeSource = std::move(source); }
