#include "app/main/command_scope.h"

#include "platform/gui/application.h"

namespace vx {

namespace {
int g_depth = 0;
}  // namespace

CommandGuard::CommandGuard(TFormMain& form) : form_(form), cursor_(Screen->Cursor()) {
  ++g_depth;
  const TDataSet* tables[] = {form_.TableMain, form_.TableRes, form_.TableTick};
  for (std::size_t i = 0; i < controlsWereDisabled_.size(); ++i)
    controlsWereDisabled_[i] = tables[i] && tables[i]->ControlsDisabled();
}

CommandGuard::~CommandGuard() {
  if (--g_depth > 0) return;
  // Nothing here may throw out of a destructor; a failure to refresh a
  // grid must not hide the command's own error.
  TDataSet* tables[] = {form_.TableMain, form_.TableRes, form_.TableTick};
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
}

bool CommandGuard::Running() { return g_depth > 0; }

}  // namespace vx
