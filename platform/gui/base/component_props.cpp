#include "platform/gui/base/component_props.h"

#include <cstring>

namespace vx {

bool SamePropertyName(const AnsiString& a, const char* b) {
  const std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::optional<AnsiString> CaptionOrHint(const AnsiString& name, const AnsiString& caption, const AnsiString& hint) {
  if (SamePropertyName(name, "Caption")) return caption;
  if (SamePropertyName(name, "Hint")) return hint;
  return std::nullopt;
}

bool SetComponentString(TComponent* component, const AnsiString& property, const AnsiString& value) {
  auto* p = dynamic_cast<StringProperties*>(component);
  return p && p->SetStringProperty(property, value);
}

std::optional<AnsiString> GetComponentString(const TComponent* component, const AnsiString& property) {
  auto* p = dynamic_cast<const StringProperties*>(component);
  if (!p) return std::nullopt;
  return p->GetStringProperty(property);
}

}  // namespace vx
