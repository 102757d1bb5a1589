#include "tables/index/xb_index_key.h"

#include <algorithm>
#include <cstring>

int CompareIndexKeys(const std::string& a, const std::string& b, XBKeyType type, bool prefix) {
  const size_t common = std::min(a.size(), b.size());
  const int c = common ? std::memcmp(a.data(), b.data(), common) : 0;
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  if (type != XBKeyType::Character) {
    // The longer key's remaining bytes against implicit zero bytes.
    const std::string& longer = a.size() > b.size() ? a : b;
    for (size_t i = common; i < longer.size(); ++i) {
      if (longer[i] != 0) return a.size() > b.size() ? 1 : -1;
    }
    return 0;
  }
  if (a.size() < b.size()) return prefix ? 0 : -1;
  return 1;
}
