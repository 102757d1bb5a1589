// Scope guards of the main window's commands: the busy state ends on every
// way out of a command, exceptions included, and the bases' data sets show
// their controls again.
#pragma once

#include <array>
#include <functional>

#include "app/main/formmain.h"

namespace vx {

// The guard every command of the main window starts under: Command() puts
// one around each button and menu handler it wires, and every page wires
// its handlers through Command(). However the command ends, returning or
// by an exception, the busy state is left (stop flag raised, Stop
// disabled, progress bar reset), the bases' data sets show their controls
// again and the screen cursor is what it was before. Guards nest; only the
// outermost one restores. The form must outlive the guard.
//
// While a guard lives the bases' cursors are held (TDataSet::HoldCursor):
// the grids bound to them, in any window, move no record under the
// command's walk. Before the outermost guard ends it handles the input
// that came while the command did not pump, as input during the command;
// then the refills that waited run, once per window (RefillWhenIdle).
class CommandGuard {
 public:
  explicit CommandGuard(TFormMain& form);
  ~CommandGuard();
  CommandGuard(const CommandGuard&) = delete;
  CommandGuard& operator=(const CommandGuard&) = delete;
  // True while a guarded command runs.
  static bool Running();

 private:
  TFormMain& form_;
  TCursor cursor_;
  std::array<bool, 3> controlsWereDisabled_{};
  std::array<TDataSet*, 3> held_{};
};

// Enters the busy state; leaves it when the scope ends.
class BusyScope {
 public:
  explicit BusyScope(TFormMain& form) : form_(form) { form_.SetBusy(true); }
  ~BusyScope() { form_.SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TFormMain& form_;
};

// Windows beside the main window that walk or refill its data sets (the
// base viewer, the visual view) are handed this as their vx::IdleRefill
// (TFormMain::ConnectWindows): with no command running
// `refill` runs at once; while a command runs it waits until the outermost
// command ends, so that it never moves a data set under the command's walk.
// A later request with the same key replaces a waiting one. A refill that
// fails after a command reaches the application's exception handler.
void RefillWhenIdle(const void* key, std::function<void()> refill);
// Forgets the waiting refill of `key` (its window goes away).
void ForgetRefill(const void* key);

// The warning of a range walk that reached the end of the table before its
// end draw.
void WarnEndOfBase();

}  // namespace vx
