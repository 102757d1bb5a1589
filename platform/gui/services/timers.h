// Timers with identifiers, as SetTimer/KillTimer gave them to windows: a
// window's timer sends it WM_TIMER with the identifier in WParam; setting an
// identifier that runs restarts it with the new period.
//
// Every timer runs through one replaceable vx::TimerService: the real one is
// Qt's; vx::ManualTimers lets a test move the clock by hand and fire what is
// due, so timer-driven behaviour is tested without waiting.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "platform/gui/base/messages.h"

namespace vx {

class TimerService {
 public:
  using Tick = std::function<void()>;
  virtual ~TimerService() = default;
  // Starts timer (owner, id), or restarts it, firing every ms milliseconds.
  virtual void Start(const void* owner, std::uintptr_t id, unsigned ms, Tick tick) = 0;
  // False when no such timer ran.
  virtual bool Stop(const void* owner, std::uintptr_t id) = 0;
};

TimerService& Timers();
// Installs a service; nullptr goes back to the real one. Returns the previous.
TimerService* SetTimerService(TimerService* service);

// Timers on a clock moved by hand. Installs itself on construction and puts
// the previous service back on destruction.
class ManualTimers : public TimerService {
 public:
  ManualTimers();
  ~ManualTimers() override;
  void Start(const void* owner, std::uintptr_t id, unsigned ms, Tick tick) override;
  bool Stop(const void* owner, std::uintptr_t id) override;

  // Moves the clock on by ms; every timer fires once per period that ends
  // within that time, in time order.
  void Advance(unsigned ms);
  bool Running(const void* owner, std::uintptr_t id) const;
  unsigned Interval(const void* owner, std::uintptr_t id) const;
  int Count() const { return static_cast<int>(timers_.size()); }

 private:
  struct Timer {
    unsigned interval;
    unsigned long long due;
    Tick tick;
  };
  std::map<std::pair<const void*, std::uintptr_t>, Timer> timers_;
  unsigned long long now_ = 0;
  TimerService* previous_;
};

}  // namespace vx

// The window's timer: WM_TIMER with id in WParam every ms milliseconds.
// Returns id (0 without a window or with id 0).
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT ms, void* unused = nullptr);
bool KillTimer(HWND window, UINT_PTR id);
