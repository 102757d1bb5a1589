// Controls built in code: a control's name and bounds set in one call, and
// a new control made, named and placed in one.
#pragma once

#include "platform/gui/core/controls.h"

namespace vx {

template <typename T>
T* Placed(T* control, const char* name, int left, int top, int width, int height) {
  control->SetName(name);
  control->SetBounds(left, top, width, height);
  return control;
}

template <typename T>
T* NewControl(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  return Placed(new T(owner, parent), name, left, top, width, height);
}

}  // namespace vx
