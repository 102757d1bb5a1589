// The runtime's one random generator: a 32-bit linear congruential
// generator, seed := seed * 134775813 + 1 (mod 2^32).
//
//   Random(range)  the high 32 bits of the unsigned product seed * range:
//                  0 .. range-1, and 0 for a range of 0 or less
//   Random()       seed / 2^32, in [0, 1)
//   Randomize()    seed := the low 32 bits of the high-resolution counter
//
// Sequences are reproducible from RandSeed. Tests fix what Randomize
// picks with vx::SetRandomizeSource. Not thread-safe, like the original:
// the generator belongs to the main thread.
#pragma once

#include <cstdint>
#include <functional>

extern std::uint32_t RandSeed;

int Random(int range);
double Random();
void Randomize();

namespace vx {
// Replaces the counter that Randomize reads; an empty function restores it.
void SetRandomizeSource(std::function<std::uint32_t()> source);
}  // namespace vx
