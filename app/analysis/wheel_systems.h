// Wheel systems: fixed tables that place N chosen numbers into V
// combinations of K numbers. Plain functions over a wheel file's name and
// lines; the Systems page's commands wrap them.
//
// A wheel file "K_N_V.lst" (ASCII, one value or record per line):
//
//   | line         | content                                               |
//   |--------------|-------------------------------------------------------|
//   | 0            | K, numbers per variant                                |
//   | 1            | N, numbers covered                                    |
//   | 2            | V, variants                                           |
//   | 3, 4         | two further integers (kept, not used)                 |
//   | 5 .. 5+V-1   | one variant: K positions 1..N as two-character        |
//   |              | decimal fields without separator (" 5" or "05")       |
//
// Nothing read from a file is trusted: a header out of range, a line count
// other than 5 + V, a variant line that is not exactly K fields or a
// position outside 1..N makes the file unusable, and nothing is expanded.
#pragma once

#include <vector>

#include "platform/rtl/cp1251.h"

class TStrings;

namespace vx {

// The largest N a wheel may cover (the highest number of any game).
inline constexpr int MaxWheelCovered = 81;

// The type a wheel file's name carries: "K_N_V.lst".
struct WheelType {
  int numbers = 0;   // K
  int covered = 0;   // N
  int variants = 0;  // V
};

// Decodes the part of the name before its first '.': exactly three
// decimal integers separated by '_'. False for any other name.
bool DecodeWheelName(const AnsiString& name, WheelType& type);

// The text after the first '(' of a description up to the next ')' (or
// the end); empty without '('.
AnsiString WheelFileName(const AnsiString& description);

// The names of the "*.lst" entries of `folder`, in the order the folder
// lists them.
std::vector<AnsiString> WheelFiles(const AnsiString& folder);

struct WheelSystem {
  int K = 0, N = 0, V = 0;
  int Extra1 = 0, Extra2 = 0;
  // V rows of K positions, each 1..N.
  std::vector<std::vector<int>> Variants;
};

// Lines 0..4: false unless all five are integers with 1 <= K <= N <=
// MaxWheelCovered and V >= 1.
bool ReadWheelHeader(const TStrings& lines, WheelSystem& system);

// Lines 5..: false unless there are exactly V of them, each exactly K
// two-character fields, each field a position 1..N. Needs a header read
// by ReadWheelHeader.
bool ReadWheelVariants(const TStrings& lines, WheelSystem& system);

// Variant v becomes chosen[position - 1] for each of its positions;
// `chosen` holds at least N numbers.
std::vector<std::vector<int>> ExpandWheel(const WheelSystem& system, const std::vector<int>& chosen);

}  // namespace vx
