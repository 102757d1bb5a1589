// Scope guards of the main window's commands: the busy state and the data
// set's disabled controls end on every way out of a command, exceptions
// included.
#pragma once

#include "app/main/formmain.h"

namespace vx {

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

// Disables the data set's controls; enables them when the scope ends.
class ControlsDisabled {
 public:
  explicit ControlsDisabled(TDataSet* d) : d_(d) { d_->DisableControls(); }
  ~ControlsDisabled() { d_->EnableControls(); }
  ControlsDisabled(const ControlsDisabled&) = delete;
  ControlsDisabled& operator=(const ControlsDisabled&) = delete;

 private:
  TDataSet* d_;
};

// The warning of a range walk that reached the end of the table before its
// end draw.
void WarnEndOfBase();

}  // namespace vx
