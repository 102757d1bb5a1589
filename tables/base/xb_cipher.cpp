#include "tables/base/xb_cipher.h"

#include <cstdint>
#include <cstring>

int xbEncryptBuffer(const AnsiString& key, const void* source, void* destination, int length, int direction) {
  const auto* src = static_cast<const std::uint8_t*>(source);
  auto* dst = static_cast<std::uint8_t*>(destination);
  if (length < 0) length = 0;
  if (key.empty()) {
    if (src != dst && length > 0) std::memmove(dst, src, static_cast<std::size_t>(length));
    return 0;
  }
  const std::size_t keyLength = key.size();
  std::size_t k = 0;
  for (int i = 0; i < length; ++i) {
    const auto mask = static_cast<std::uint8_t>((i & 0xFF) | static_cast<std::uint8_t>(key[k]));
    dst[i] = static_cast<std::uint8_t>(mask ^ src[i]);
    if (++k == keyLength) k = 0;
  }
  return direction != 0 ? 1 : -1;
}
