#include "platform/rtl/thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

// Runs the main thread's queue until `done` holds (at most 10 s).
template <typename Done>
bool PumpUntil(Done done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done() && std::chrono::steady_clock::now() < limit) vx::CheckSynchronize(10);
  return done();
}

class Worker : public TThread {
 public:
  explicit Worker(std::function<void(Worker&)> body, int* destroyed = nullptr)
      : body_(std::move(body)), destroyed_(destroyed) {}
  ~Worker() override {
    StopAndJoin();
    if (destroyed_) ++*destroyed_;
  }
  using TThread::Queue;
  using TThread::Synchronize;
  std::atomic<int> terminatedSet{0};

 protected:
  void Execute() override { body_(*this); }
  void TerminatedSet() override { ++terminatedSet; }

 private:
  std::function<void(Worker&)> body_;
  int* destroyed_;
};

TEST(Thread, QueuedCallsRunInOrderInTheMainThreadThenTheEnd) {
  std::vector<int> seen;
  int destroyed = 0;
  auto* t = new Worker(
      [&](Worker& w) {
        for (int i = 0; i < 1000; ++i) w.Queue([&seen, i] { seen.push_back(vx::IsMainThread() ? i : -1); });
        w.Synchronize([&seen] { seen.push_back(1000); });
      },
      &destroyed);
  t->FreeOnTerminate = true;
  t->OnTerminate = [&](TObject* s) {
    EXPECT_EQ(s, t);
    seen.push_back(1001);
  };
  EXPECT_FALSE(vx::CheckSynchronize()) << "nothing runs before Resume";
  t->Resume();
  ASSERT_TRUE(PumpUntil([&] { return destroyed == 1; }));
  ASSERT_EQ(seen.size(), 1002u);
  for (int i = 0; i < 1002; ++i) ASSERT_EQ(seen[i], i);
}

TEST(Thread, SynchronizeWaitsAndRaisesTheMethodsErrorInTheWorker) {
  std::atomic<int> step{0};
  AnsiString caught;
  Worker t([&](Worker& w) {
    w.Synchronize([&] { step = 1; });
    step = step * 10;  // 10 only if the method ran before Synchronize returned
    try {
      w.Synchronize([] { throw EConvertError("bad"); });
    } catch (Exception& e) { caught = e.Message(); }
  });
  t.Resume();
  ASSERT_TRUE(PumpUntil([&] { return t.Finished(); }));
  EXPECT_EQ(step, 10);
  EXPECT_EQ(caught, "bad");
  t.Terminate();
  EXPECT_EQ(t.terminatedSet, 1);
}

TEST(Thread, DestroyingARunningThreadReleasesItAndDropsItsCalls) {
  bool ran = false;
  std::atomic<bool> waiting{false};
  auto* t = new Worker([&](Worker& w) {
    w.Queue([&] { ran = true; });
    waiting = true;
    w.Synchronize([&] { ran = true; });  // never served: the object goes first
    while (!w.Terminated()) std::this_thread::yield();
  });
  t->FreeOnTerminate = true;
  t->OnTerminate = [&](TObject*) { ran = true; };
  t->Resume();
  while (!waiting) std::this_thread::yield();
  delete t;
  for (int i = 0; i < 5; ++i) vx::CheckSynchronize(10);
  EXPECT_FALSE(ran);
}

TEST(Thread, ErrorsOfExecuteAndOfTheMainThreadCallsAreKept) {
  std::vector<AnsiString> reported;
  vx::SetMainThreadErrorHandler([&](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (Exception& x) { reported.push_back(x.Message()); }
  });
  int destroyed = 0;
  auto* t = new Worker(
      [](Worker& w) {
        w.Queue([] { throw Exception("queued"); });
        throw Exception("execute");
      },
      &destroyed);
  t->FreeOnTerminate = true;
  t->OnTerminate = [&](TObject* s) {
    try {
      std::rethrow_exception(static_cast<Worker*>(s)->FatalException());
    } catch (Exception& x) { reported.push_back(x.Message()); }
    throw Exception("handler");
  };
  t->Resume();
  ASSERT_TRUE(PumpUntil([&] { return destroyed == 1; })) << "freed despite the handler's error";
  vx::SetMainThreadErrorHandler(nullptr);
  EXPECT_EQ(reported, (std::vector<AnsiString>{"queued", "execute", "handler"}));
}

}  // namespace
