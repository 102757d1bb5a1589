// Clean-up on leaving a scope: always, only on failure, and restoring a
// variable; the first exception is the one that leaves.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/rtl/scope_guard.h"

namespace {

TEST(ScopeGuard, RunsOnEveryExitUnlessDismissed) {
  int runs = 0;
  {
    vx::ScopeGuard g([&] { ++runs; });
  }
  EXPECT_EQ(runs, 1);
  EXPECT_THROW(
      {
        vx::ScopeGuard g([&] { ++runs; });
        throw std::runtime_error("work");
      },
      std::runtime_error);
  EXPECT_EQ(runs, 2);
  {
    vx::ScopeGuard g([&] { ++runs; });
    g.Dismiss();
  }
  EXPECT_EQ(runs, 2);
}

TEST(ScopeGuard, TheFirstFailureLeavesTheScope) {
  std::string what;
  try {
    vx::ScopeGuard g([] { throw std::logic_error("clean-up"); });
    throw std::runtime_error("work");
  } catch (const std::exception& e) { what = e.what(); }
  EXPECT_EQ(what, "work");
  // Without a pending failure the clean-up's own exception leaves.
  EXPECT_THROW({ vx::ScopeGuard g([] { throw std::logic_error("clean-up"); }); }, std::logic_error);
}

TEST(RestoreOnExit, GivesTheVariableItsValueBack) {
  int value = 1;
  {
    vx::RestoreOnExit<int> keep(value, 5);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(keep.Saved(), 1);
    value = 7;
  }
  EXPECT_EQ(value, 1);
  EXPECT_THROW(
      {
        vx::RestoreOnExit<int> keep(value);
        value = 9;
        throw std::runtime_error("work");
      },
      std::runtime_error);
  EXPECT_EQ(value, 1);
}

}  // namespace
