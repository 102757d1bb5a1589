// Characteristic numbers of one draw: the distinct absolute differences
// between its numbers (derived numbers, in order of discovery), and the
// triangle of absolute differences of the numbers in drawn order and again
// sorted ascending, whose apex gives the characteristic number.
//
// Level 0 of a triangle is the draw; level L holds |x[k] - x[k+1]| of
// level L-1 and has one entry less. The characteristic is the apex, or,
// when the apex is 0 or 1, the apex, a comma and the sum of the level
// below it ("0,4"). The triangle is sized by the draw.
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/cp1251.h"

namespace vx {

struct DifferenceTriangle {
  std::vector<std::vector<long long>> levels;  // levels 1 .. n-1
  AnsiString characteristic;
};

// Needs at least two numbers.
DifferenceTriangle MakeDifferenceTriangle(const std::vector<int>& numbers);

std::vector<long long> DerivedNumbers(const std::vector<int>& numbers);

// Each number followed by one blank ("3 7 12 ").
template <typename Int>
AnsiString NumbersWithBlanks(const std::vector<Int>& numbers) {
  AnsiString text;
  for (Int v : numbers) text += std::to_string(v) + " ";
  return text;
}

}  // namespace vx
