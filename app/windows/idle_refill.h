// How a window beside the main window refills what it shows from the main
// window's data sets: the main window hands it the two calls below, so that
// while one of its commands runs a refill waits until the command ends
// (and never moves a data set under the command's walk). A window that is
// handed nothing refills at once.
#pragma once

#include <functional>
#include <utility>

namespace vx {

struct IdleRefill {
  // Runs `refill` now or, while a command runs, when it ends; a later
  // request with the same key replaces a waiting one.
  std::function<void(const void* key, std::function<void()> refill)> When;
  // Forgets the waiting refill of `key` (its window goes away).
  std::function<void(const void* key)> Forget;

  void Run(const void* key, std::function<void()> refill) const {
    if (When) When(key, std::move(refill));
    else refill();
  }
  void Cancel(const void* key) const {
    if (Forget) Forget(key);
  }
};

}  // namespace vx
