#include "tables/index/cdx/cdx_keys.h"

#include <bit>
#include <cstring>

namespace vx {

uint64_t CdxNumberBits(double value) {
  if (value == 0) value = 0;  // -0.0 and 0.0 are one key
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

void CdxNumberKey(double value, std::string& key) {
  uint64_t bits = CdxNumberBits(value);
  const bool negative = (bits >> 63) != 0;
  bits = negative ? ~bits : (bits | (uint64_t{1} << 63));
  // Big-endian in one store: eight byte stores read back as one word
  // would wait for each other.
  const uint64_t bigEndian = __builtin_bswap64(bits);
  char bytes[8];
  std::memcpy(bytes, &bigEndian, sizeof bytes);
  // A non-negative value has its top bit set here, so at least one byte
  // stays when its trailing zero bytes go.
  const size_t length = negative ? 8 : 8 - static_cast<size_t>(std::countr_zero(bits)) / 8;
  key.assign(bytes, length);
}

std::string CdxNumberKey(double value) {
  std::string key;
  CdxNumberKey(value, key);
  return key;
}

std::string CdxDateKey(int32_t dayNumber) { return CdxNumberKey(static_cast<double>(dayNumber)); }

double CdxNumberFromKey(const std::string& key) {
  uint64_t bigEndian = 0;
  std::memcpy(&bigEndian, key.data(), key.size() < 8 ? key.size() : 8);
  uint64_t bits = __builtin_bswap64(bigEndian);
  bits = (bits >> 63) ? (bits & ~(uint64_t{1} << 63)) : ~bits;
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace vx
