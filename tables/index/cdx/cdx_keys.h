// Stored key forms of compound index tags for numbers and dates.
//
// A number becomes the big-endian bytes of its IEEE double, made to sort as
// unsigned bytes: a value with the sign bit clear gets the top bit set, a
// negative value has every bit inverted.
//
//   value   | stored bytes
//   --------+-------------------------------
//   0       | 80
//   1.0     | BF F0
//   -1.0    | 40 0F FF FF FF FF FF FF
//
// Trailing 0x00 bytes of a non-negative value are dropped (at least one byte
// stays); a negative value keeps all 8 bytes. Readers pad with 0x00, so both
// forms decode exactly. A date is stored as its day number taken as a number.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

std::string CdxNumberKey(double value);
// The same into key, reusing its storage.
void CdxNumberKey(double value, std::string& key);
std::string CdxDateKey(int32_t dayNumber);
// Decodes a stored number key (up to 8 bytes, padded with 0x00).
double CdxNumberFromKey(const std::string& key);
// The bits of a number as its key is made from them (-0.0 as 0.0).
uint64_t CdxNumberBits(double value);

}  // namespace vx
