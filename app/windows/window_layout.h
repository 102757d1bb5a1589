// Placing a control built in code: its name and bounds in one call.
#pragma once

namespace vx {

template <typename T>
T* Placed(T* control, const char* name, int left, int top, int width, int height) {
  control->SetName(name);
  control->SetBounds(left, top, width, height);
  return control;
}

}  // namespace vx
