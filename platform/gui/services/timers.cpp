#include "platform/gui/services/timers.h"

#include <QTimer>
#include <algorithm>
#include <memory>

#include "platform/gui/base/qt_app.h"

namespace vx {

namespace {

class QtTimers : public TimerService {
 public:
  void Start(const void* owner, std::uintptr_t id, unsigned ms, Tick tick) override {
    EnsureQtApp();
    auto& timer = timers_[{owner, id}];
    if (!timer) timer = std::make_unique<QTimer>();
    timer->disconnect();
    QObject::connect(timer.get(), &QTimer::timeout, [tick = std::move(tick)] { Guard(tick); });
    timer->start(static_cast<int>(std::max(1u, ms)));
  }

  bool Stop(const void* owner, std::uintptr_t id) override {
    auto it = timers_.find({owner, id});
    if (it == timers_.end()) return false;
    // A timer may be stopped from its own tick: let Qt delete it later.
    QTimer* timer = it->second.release();
    timer->stop();
    timer->disconnect();
    timer->deleteLater();
    timers_.erase(it);
    return true;
  }

 private:
  std::map<std::pair<const void*, std::uintptr_t>, std::unique_ptr<QTimer>> timers_;
};

TimerService* g_timers = nullptr;

}  // namespace

TimerService& Timers() {
  static QtTimers real;
  return g_timers ? *g_timers : real;
}

TimerService* SetTimerService(TimerService* service) {
  TimerService* previous = g_timers;
  g_timers = service;
  return previous;
}

ManualTimers::ManualTimers() : previous_(SetTimerService(this)) {}

ManualTimers::~ManualTimers() { SetTimerService(previous_); }

void ManualTimers::Start(const void* owner, std::uintptr_t id, unsigned ms, Tick tick) {
  const unsigned interval = std::max(1u, ms);
  timers_[{owner, id}] = Timer{interval, now_ + interval, std::move(tick)};
}

bool ManualTimers::Stop(const void* owner, std::uintptr_t id) { return timers_.erase({owner, id}) > 0; }

void ManualTimers::Advance(unsigned ms) {
  const unsigned long long end = now_ + ms;
  for (;;) {
    // The timer due first; a tick may start or stop timers.
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
      if (it->second.due <= end && (next == timers_.end() || it->second.due < next->second.due)) next = it;
    if (next == timers_.end()) break;
    now_ = next->second.due;
    next->second.due += next->second.interval;
    const Tick tick = next->second.tick;
    tick();
  }
  now_ = end;
}

bool ManualTimers::Running(const void* owner, std::uintptr_t id) const { return timers_.count({owner, id}) > 0; }

unsigned ManualTimers::Interval(const void* owner, std::uintptr_t id) const {
  auto it = timers_.find({owner, id});
  return it == timers_.end() ? 0 : it->second.interval;
}

}  // namespace vx

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT ms, void*) {
  if (!window || id == 0) return 0;
  vx::Timers().Start(window, id, ms, [window, id] { window->Perform(WM_TIMER, id, 0); });
  return id;
}

bool KillTimer(HWND window, UINT_PTR id) { return window && vx::Timers().Stop(window, id); }
