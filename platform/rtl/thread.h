// TThread: a worker thread of the class library's shape, and the queue
// through which workers hand work to the main thread.
//
// Life of a thread object (all calls except those marked "worker" are made
// from the main thread):
//  - Always created suspended (a running Execute must not meet a half-built
//    subclass); Resume starts Execute on a new system thread.
//  - Terminate only raises the flag Terminated that Execute polls (and calls
//    TerminatedSet, which a subclass may use to unblock a waiting call).
//  - When Execute returns (an exception it lets out is kept in
//    FatalException), the thread queues its end: in the main thread
//    OnTerminate(this) runs, then, with FreeOnTerminate, the object deletes
//    itself. The end arrives after everything the thread queued before.
//  - Deleting the object while it runs terminates it, releases a pending
//    Synchronize (which then returns without running its method), joins the
//    system thread and drops everything it has queued and not yet run: no
//    queued method, OnTerminate or self-deletion runs afterwards. A subclass
//    with members that Execute uses calls StopAndJoin() first in its own
//    destructor, so Execute never sees them destroyed.
//
// Main-thread queue: Queue (worker: returns at once) and Synchronize
// (worker: waits until the method has run in the main thread) share one
// first-in first-out queue, so the main thread sees a thread's calls in the
// order they were made. vx::CheckSynchronize runs what is queued; the GUI
// layer installs a wake-up (SetMainThreadWakeup) that makes its event loop
// call it, so queued calls run whenever the main thread pumps messages. An
// exception escaping a queued call goes to the handler set with
// SetMainThreadErrorHandler (a Synchronize call's exception is raised again
// in the worker instead).
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/rtl/classes.h"

class TThread : public TObject {
 public:
  using TThreadMethod = std::function<void()>;

  TThread() = default;
  ~TThread() override;

  // Starts a suspended thread; later calls do nothing.
  void Resume();
  // Asks Execute to end (it polls Terminated).
  void Terminate();
  bool Terminated() const { return terminated_.load(); }
  // True once Execute has returned.
  bool Finished() const { return finished_.load(); }

  bool FreeOnTerminate = false;
  // Runs in the main thread after Execute has returned.
  TNotifyEvent OnTerminate;
  // The exception Execute let out, or null.
  std::exception_ptr FatalException() const { return fatal_; }

  // Drops the calls `thread` has queued that have not run yet.
  static void RemoveQueuedEvents(TThread* thread);

 protected:
  virtual void Execute() = 0;
  // Called by Terminate, in the caller's thread, after the flag is raised.
  virtual void TerminatedSet() {}

  // Worker: runs `method` in the main thread and waits for it; an exception
  // it raises is raised here. Returns without running it when the thread
  // object is being destroyed. Called from the main thread, runs at once.
  void Synchronize(const TThreadMethod& method);
  // Worker: queues `method` for the main thread and returns at once.
  void Queue(TThreadMethod method);

  // Terminates, releases a pending Synchronize and joins the system thread;
  // then drops what the thread queued. Safe to call more than once.
  void StopAndJoin();

 private:
  void Run();

  std::thread system_;
  bool started_ = false;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::exception_ptr fatal_;
  // Set (under the queue's lock) once Synchronize may no longer wait.
  bool syncReleased_ = false;
  // Points at a flag of the running end call, which the destructor raises.
  bool* deleted_ = nullptr;
};

namespace vx {

// Runs every queued call (in the main thread); true when there was any.
// With timeoutMs > 0 it first waits up to that long for a call to arrive.
bool CheckSynchronize(int timeoutMs = 0);

// Called (from any thread) when the queue goes from empty to non-empty.
void SetMainThreadWakeup(std::function<void()> wakeup);
// Receives an exception that escaped a queued call; by default it is dropped.
void SetMainThreadErrorHandler(std::function<void(std::exception_ptr)> handler);

// True in the main thread (the thread that started the program).
bool IsMainThread();

}  // namespace vx
