// The class library's basic classes: TObject, TPersistent, events, and (by
// inclusion) TList, TStrings/TStringList, TComponent, TCollection, streams.
#pragma once

#include <functional>

#include "platform/rtl/sysutils.h"

// Root of the class hierarchy: a virtual destructor, so an object deleted
// through a TObject* (as owners and lists do) is destroyed completely.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// An object whose state can be copied from another with Assign.
class TPersistent : public TObject {
 public:
  // Copies `source` into this object. The base asks the source to
  // AssignTo this object; if neither side knows the other's class,
  // EConvertError "Cannot assign".
  virtual void Assign(TPersistent* source);

 protected:
  virtual void AssignTo(TPersistent* dest);
};

#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/rtl/list.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
