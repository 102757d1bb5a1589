// Counts the bytes a program holds through operator new, and can refuse
// single allocations above a limit (as libFuzzer's -malloc_limit_mb does)
// or allocations beyond a limit of bytes held.
// The global allocation functions are replaced in allocation_meter.cpp, so
// the library serves whole programs: a test of memory use, the fuzz
// driver. Every count is process-wide.
#pragma once

#include <cstddef>

namespace vx::test {

// Bytes held now, and the most held since the last ResetPeak.
long long AllocatedBytes();
long long PeakAllocatedBytes();
void ResetPeak();

// A single allocation of more than `bytes` prints its size and aborts the
// program; 0 (the default) sets no limit.
void SetAllocationLimit(std::size_t bytes);
// An allocation that makes the program hold more than `bytes` in all
// prints what it holds and aborts the program (as libFuzzer's
// -rss_limit_mb does); 0 (the default) sets no limit.
void SetHeldLimit(std::size_t bytes);

}  // namespace vx::test
