#include "platform/rtl/classes.h"

void TPersistent::Assign(TPersistent* source) {
  if (!source) throw EConvertError("Cannot assign a nil value");
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) { throw EConvertError("Cannot assign"); }
