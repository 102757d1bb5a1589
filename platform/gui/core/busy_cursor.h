// The screen cursor for the length of a scope: an hourglass while a command
// works, given back when the scope ends, also when an exception leaves it.
#pragma once

#include "platform/gui/core/application.h"

namespace vx {

class ScreenCursor {
 public:
  explicit ScreenCursor(TCursor cursor = crHourGlass) : previous_(Screen->Cursor()) { Screen->SetCursor(cursor); }
  ~ScreenCursor() { Screen->SetCursor(previous_); }
  ScreenCursor(const ScreenCursor&) = delete;
  ScreenCursor& operator=(const ScreenCursor&) = delete;

 private:
  TCursor previous_;
};

}  // namespace vx
