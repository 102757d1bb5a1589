#include "app/main/command_scope.h"

#include <algorithm>
#include <vector>

#include "platform/gui/core/application.h"

namespace vx {

namespace {
int g_depth = 0;

struct WaitingRefill {
  const void* key;
  std::function<void()> refill;
};
std::vector<WaitingRefill>& Waiting() {
  static std::vector<WaitingRefill> waiting;
  return waiting;
}

// The refills that waited for the command, in the order asked.
void RunWaitingRefills() {
  std::vector<WaitingRefill> due;
  due.swap(Waiting());
  for (WaitingRefill& w : due) {
    try {
      w.refill();
    } catch (...) {
      try {
        Application->HandleException(std::current_exception());
      } catch (...) {}
    }
  }
}
}  // namespace

void RefillWhenIdle(const void* key, std::function<void()> refill) {
  if (!CommandGuard::Running()) {
    refill();
    return;
  }
  ForgetRefill(key);
  Waiting().push_back({key, std::move(refill)});
}

void ForgetRefill(const void* key) {
  auto& waiting = Waiting();
  waiting.erase(std::remove_if(waiting.begin(), waiting.end(), [key](const WaitingRefill& w) { return w.key == key; }),
                waiting.end());
}

CommandGuard::CommandGuard(TFormMain& form) : form_(form), cursor_(Screen->Cursor()) {
  ++g_depth;
  TDataSet* tables[] = {form_.TableMain, form_.TableRes, form_.TableTick};
  for (std::size_t i = 0; i < controlsWereDisabled_.size(); ++i) {
    controlsWereDisabled_[i] = tables[i] && tables[i]->ControlsDisabled();
    // The grids bound to the bases leave the command's walk alone.
    held_[i] = tables[i];
    if (held_[i]) held_[i]->HoldCursor();
  }
}

CommandGuard::~CommandGuard() {
  // Nothing here may throw out of a destructor; a failure to refresh a
  // grid must not hide the command's own error.
  TDataSet* tables[] = {form_.TableMain, form_.TableRes, form_.TableTick};
  if (g_depth == 1) {
    // Input that came while the command did not pump is the command's
    // too: a refresh pressed then joins the refills that wait, and a
    // command button pressed then is ignored, as during the command.
    try {
      Application->ProcessPendingMessages();
    } catch (...) {}
  }
  for (TDataSet* table : held_)
    if (table) table->ReleaseCursor();
  if (--g_depth > 0) return;
  for (std::size_t i = 0; i < controlsWereDisabled_.size(); ++i) {
    if (!tables[i] || controlsWereDisabled_[i]) continue;
    try {
      while (tables[i]->ControlsDisabled()) tables[i]->EnableControls();
    } catch (...) {}
  }
  try {
    if (form_.Busy) form_.SetBusy(false);
  } catch (...) {}
  try {
    Screen->SetCursor(cursor_);
  } catch (...) {}
  RunWaitingRefills();
}

bool CommandGuard::Running() { return g_depth > 0; }

}  // namespace vx
