#include "platform/os/os_clock.h"

#include <sched.h>
#include <time.h>

#include <atomic>
#include <cerrno>

namespace vx {
namespace {

std::uint64_t MonotonicNanoseconds(clockid_t clock = CLOCK_MONOTONIC) {
  timespec ts{};
  ::clock_gettime(clock, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000000000u + static_cast<std::uint64_t>(ts.tv_nsec);
}

class RealClock final : public OsClock {
 public:
  std::uint64_t Milliseconds() override { return MonotonicNanoseconds() / 1000000u; }
  // The coarse clock reads the time of the last timer tick, without asking
  // the hardware.
  std::uint64_t CoarseMilliseconds() override { return MonotonicNanoseconds(CLOCK_MONOTONIC_COARSE) / 1000000u; }
  std::uint64_t Counter() override { return MonotonicNanoseconds(); }
  std::uint64_t CounterFrequency() override { return 1000000000u; }
  void Sleep(std::uint32_t milliseconds) override {
    if (milliseconds == 0) {
      ::sched_yield();
      return;
    }
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&left, &left) < 0 && errno == EINTR) {}
  }
};

std::atomic<OsClock*> current{nullptr};

}  // namespace

OsClock& SystemClock() {
  static RealClock clock;
  return clock;
}

OsClock* SetOsClock(OsClock* clock) {
  OsClock* previous = current.exchange(clock);
  return previous ? previous : &SystemClock();
}

OsClock& CurrentOsClock() {
  OsClock* clock = current.load();
  return clock ? *clock : SystemClock();
}

}  // namespace vx

std::uint32_t GetTickCount() { return static_cast<std::uint32_t>(vx::CurrentOsClock().Milliseconds()); }

bool QueryPerformanceCounter(std::int64_t* count) {
  if (!count) return false;
  *count = static_cast<std::int64_t>(vx::CurrentOsClock().Counter());
  return true;
}

bool QueryPerformanceFrequency(std::int64_t* frequency) {
  if (!frequency) return false;
  *frequency = static_cast<std::int64_t>(vx::CurrentOsClock().CounterFrequency());
  return true;
}

void Sleep(std::uint32_t milliseconds) { vx::CurrentOsClock().Sleep(milliseconds); }
