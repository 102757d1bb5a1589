#include "tables/index/cdx/cdx_keys.h"

#include <cstring>

namespace vx {

std::string CdxNumberKey(double value) {
  if (value == 0) value = 0;  // -0.0 and 0.0 are one key
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  bits = negative ? ~bits : (bits | (uint64_t{1} << 63));
  std::string out(8, '\0');
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(bits >> (56 - 8 * i));
  if (!negative) {
    while (out.size() > 1 && out.back() == '\0') out.pop_back();
  }
  return out;
}

std::string CdxDateKey(int32_t dayNumber) { return CdxNumberKey(static_cast<double>(dayNumber)); }

double CdxNumberFromKey(const std::string& key) {
  uint64_t bits = 0;
  for (size_t i = 0; i < 8; ++i) {
    const uint8_t b = i < key.size() ? static_cast<uint8_t>(key[i]) : 0;
    bits = (bits << 8) | b;
  }
  bits = (bits >> 63) ? (bits & ~(uint64_t{1} << 63)) : ~bits;
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace vx
