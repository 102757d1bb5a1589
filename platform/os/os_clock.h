// Clock and sleep: the tick count, the high-resolution counter and Sleep.
//
// The free functions below (the original platform's names) ask the current
// OsClock. The default one reads CLOCK_MONOTONIC and sleeps with nanosleep;
// a test installs its own (SetOsClock) to make time and waits instant or
// scripted, e.g. lock-retry loops that would otherwise sleep for seconds.
//
//   GetTickCount()             milliseconds since an arbitrary start, 32 bits,
//                              wrapping after 49.7 days
//   QueryPerformanceCounter    a counter that only rises
//   QueryPerformanceFrequency  its ticks per second (never 0)
//   Sleep(ms)                  waits at least ms milliseconds; Sleep(0) yields
#pragma once

#include <cstdint>

namespace vx {

class OsClock {
 public:
  virtual ~OsClock() = default;
  virtual std::uint64_t Milliseconds() = 0;
  // Milliseconds on the same scale, rising in the steps of the system's
  // coarse clock (a few milliseconds each) and cheap enough to read at
  // every turn of a loop; Milliseconds() unless a clock has a cheaper one.
  virtual std::uint64_t CoarseMilliseconds() { return Milliseconds(); }
  virtual std::uint64_t Counter() = 0;
  virtual std::uint64_t CounterFrequency() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// The real clock (process-wide, never destroyed).
OsClock& SystemClock();

// Makes clock the current clock and returns the previous one; nullptr puts
// the real clock back. The caller keeps ownership and keeps it alive while
// it is installed. Install clocks before other threads use the functions.
OsClock* SetOsClock(OsClock* clock);
OsClock& CurrentOsClock();

}  // namespace vx

std::uint32_t GetTickCount();
bool QueryPerformanceCounter(std::int64_t* count);
bool QueryPerformanceFrequency(std::int64_t* frequency);
void Sleep(std::uint32_t milliseconds);
