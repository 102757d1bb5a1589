// String properties by name, for translation files that set
// Form.Component.Property ("FormMain.btnStop.Caption=...").
//
// Every visual component implements vx::StringProperties; property names are
// compared without regard to case. Items and Lines take and give the whole
// list as text, one item per line (CR LF between items).
#pragma once

#include <optional>

#include "platform/rtl/classes.h"

namespace vx {

class StringProperties {
 public:
  virtual ~StringProperties() = default;
  // Returns false when the component has no such string property.
  virtual bool SetStringProperty(const AnsiString& name, const AnsiString& value) = 0;
  virtual std::optional<AnsiString> GetStringProperty(const AnsiString& name) const = 0;
};

// The same through any component; false / nothing when it has no string properties.
bool SetComponentString(TComponent* component, const AnsiString& property, const AnsiString& value);
std::optional<AnsiString> GetComponentString(const TComponent* component, const AnsiString& property);

// ASCII case-insensitive comparison of property names.
bool SamePropertyName(const AnsiString& a, const char* b);

// The "Caption" and "Hint" pair that controls, menu items and actions carry:
// sets through the owner's setters (false for another name) and reads from
// its stored texts.
template <class Owner>
bool SetCaptionOrHint(Owner& owner, const AnsiString& name, const AnsiString& value) {
  if (SamePropertyName(name, "Caption")) {
    owner.SetCaption(value);
    return true;
  }
  if (SamePropertyName(name, "Hint")) {
    owner.SetHint(value);
    return true;
  }
  return false;
}
std::optional<AnsiString> CaptionOrHint(const AnsiString& name, const AnsiString& caption, const AnsiString& hint);

}  // namespace vx
