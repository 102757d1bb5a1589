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

}  // namespace vx
