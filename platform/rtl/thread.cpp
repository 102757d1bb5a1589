#include "platform/rtl/thread.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <utility>

namespace {

const std::thread::id mainThreadId = std::this_thread::get_id();

struct SyncState {
  bool done = false;
  std::exception_ptr error;
};

struct QueuedCall {
  TThread* owner = nullptr;
  std::function<void()> method;
  std::shared_ptr<SyncState> sync;  // set for Synchronize
};

// The one queue of calls for the main thread. It is never destroyed, so a
// worker still ending at program exit finds it intact.
struct MainQueue {
  std::mutex mutex;
  std::condition_variable arrived;   // the main thread waits for calls
  std::condition_variable syncDone;  // workers wait for their Synchronize
  std::deque<QueuedCall> calls;
  std::function<void()> wakeup;
  std::function<void(std::exception_ptr)> errorHandler;
  std::atomic<bool> wakePending{false};
};

MainQueue& TheQueue() {
  static MainQueue* queue = new MainQueue;
  return *queue;
}

void Push(QueuedCall call) {
  MainQueue& q = TheQueue();
  std::function<void()> wakeup;
  {
    std::lock_guard lock(q.mutex);
    q.calls.push_back(std::move(call));
    if (!q.wakePending.exchange(true)) wakeup = q.wakeup;
  }
  q.arrived.notify_all();
  if (wakeup) wakeup();
}

void ReportError(std::exception_ptr error) {
  MainQueue& q = TheQueue();
  std::function<void(std::exception_ptr)> handler;
  {
    std::lock_guard lock(q.mutex);
    handler = q.errorHandler;
  }
  if (handler) handler(error);
}

// Removes the calls of `owner`; the caller holds the lock.
void RemoveCallsLocked(MainQueue& q, TThread* owner) {
  std::erase_if(q.calls, [owner](const QueuedCall& c) { return c.owner == owner; });
}

}  // namespace

TThread::~TThread() {
  StopAndJoin();
  if (deleted_) *deleted_ = true;
}

void TThread::Resume() {
  if (started_) return;
  started_ = true;
  system_ = std::thread([this] { Run(); });
}

void TThread::Terminate() {
  terminated_.store(true);
  TerminatedSet();
}

void TThread::StopAndJoin() {
  MainQueue& q = TheQueue();
  if (system_.joinable()) {
    Terminate();
    {
      std::lock_guard lock(q.mutex);
      syncReleased_ = true;
      RemoveCallsLocked(q, this);
    }
    q.syncDone.notify_all();
    system_.join();
  }
  RemoveQueuedEvents(this);
}

void TThread::RemoveQueuedEvents(TThread* thread) {
  MainQueue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  RemoveCallsLocked(q, thread);
}

void TThread::Run() {
  try {
    Execute();
  } catch (...) { fatal_ = std::current_exception(); }
  finished_.store(true);
  Queue([this] {
    bool deleted = false;
    deleted_ = &deleted;
    if (OnTerminate) {
      const TNotifyEvent handler = OnTerminate;
      try {
        handler(this);
      } catch (...) { ReportError(std::current_exception()); }
    }
    if (deleted) return;
    deleted_ = nullptr;
    if (FreeOnTerminate) delete this;
  });
}

void TThread::Synchronize(const TThreadMethod& method) {
  if (vx::IsMainThread()) {
    method();
    return;
  }
  MainQueue& q = TheQueue();
  auto state = std::make_shared<SyncState>();
  {
    std::lock_guard lock(q.mutex);
    if (syncReleased_) return;
  }
  Push({this, method, state});
  std::exception_ptr error;
  {
    std::unique_lock lock(q.mutex);
    q.syncDone.wait(lock, [&] { return state->done || syncReleased_; });
    // The error is handed over under the lock, so that only this thread
    // holds the exception from here on and frees it after its handler.
    if (state->done) error = std::exchange(state->error, nullptr);
  }
  if (error) std::rethrow_exception(error);
}

void TThread::Queue(TThreadMethod method) { Push({this, std::move(method), nullptr}); }

namespace vx {

bool CheckSynchronize(int timeoutMs) {
  MainQueue& q = TheQueue();
  if (timeoutMs > 0) {
    std::unique_lock lock(q.mutex);
    q.arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !q.calls.empty(); });
  }
  q.wakePending.store(false);
  bool any = false;
  while (true) {
    QueuedCall call;
    {
      std::lock_guard lock(q.mutex);
      if (q.calls.empty()) break;
      call = std::move(q.calls.front());
      q.calls.pop_front();
    }
    any = true;
    std::exception_ptr error;
    try {
      call.method();
    } catch (...) { error = std::current_exception(); }
    if (call.sync) {
      {
        std::lock_guard lock(q.mutex);
        call.sync->done = true;
        call.sync->error = std::move(error);
      }
      q.syncDone.notify_all();
    } else if (error) {
      ReportError(error);
    }
  }
  return any;
}

void SetMainThreadWakeup(std::function<void()> wakeup) {
  MainQueue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  q.wakeup = std::move(wakeup);
}

void SetMainThreadErrorHandler(std::function<void(std::exception_ptr)> handler) {
  MainQueue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  q.errorHandler = std::move(handler);
}

bool IsMainThread() { return std::this_thread::get_id() == mainThreadId; }

}  // namespace vx
