// Clean-up that runs when a scope is left, however it is left: the
// try/finally blocks of the class library's code.
//
//   ScopeGuard unlock([&] { file.UnlockRegion(); });   // always
//   ScopeGuard undo([&] { tags.pop_back(); });         // only on failure:
//   ...                                                //   dismissed once
//   undo.Dismiss();                                    //   all went well
//
//   RestoreOnExit keep(CurRecord, scratch);  // CurRecord = scratch, and back
//
// When the scope is left by an exception, an exception from the clean-up is
// swallowed, so the first failure is the one reported; on a normal exit it
// leaves the scope as any other.
#pragma once

#include <exception>
#include <utility>

namespace vx {

template <class Action>
class ScopeGuard {
 public:
  explicit ScopeGuard(Action action) : action_(std::move(action)), pending_(std::uncaught_exceptions()) {}
  ~ScopeGuard() noexcept(false) {
    if (!active_) return;
    if (std::uncaught_exceptions() > pending_) {
      try {
        action_();
      } catch (...) {}
    } else {
      action_();
    }
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

  // The action will not run.
  void Dismiss() { active_ = false; }

 private:
  Action action_;
  int pending_;
  bool active_ = true;
};

// Gives a variable back the value it had when the guard was made.
template <class T>
class RestoreOnExit {
 public:
  explicit RestoreOnExit(T& variable) : variable_(variable), saved_(variable) {}
  // Saves the variable's value, then sets it to `value` for the scope.
  RestoreOnExit(T& variable, T value) : variable_(variable), saved_(std::move(variable)) {
    variable_ = std::move(value);
  }
  ~RestoreOnExit() { variable_ = std::move(saved_); }
  RestoreOnExit(const RestoreOnExit&) = delete;
  RestoreOnExit& operator=(const RestoreOnExit&) = delete;

  const T& Saved() const { return saved_; }

 private:
  T& variable_;
  T saved_;
};

}  // namespace vx
