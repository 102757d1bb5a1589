// Cell addresses in A1 notation: a column by letters (1 = A ... 26 = Z,
// 27 = AA, 52 = AZ, 703 = AAA, in base 26 without a zero), a row by its
// 1-based number, '$' signs optional ("$B$3"), a block as "A1:C5".
#pragma once

#include <string>
#include <string_view>

namespace vx {

std::string ColumnLetters(int column);

// A cell such as "AB12" or "$AB$12": true with its 1-based column and row
// (each at most 16,777,216).
bool ParseCellAddress(std::string_view text, int& column, int& row);

struct CellBlock {
  int FirstColumn = 1, FirstRow = 1, LastColumn = 1, LastRow = 1;
};
// "A1:C5" (corners in any order) or a single cell "B2" (both corners the
// same): true with the block, its corners sorted.
bool ParseCellBlock(std::string_view text, CellBlock& block);
// "$A$1:$C$5", or "$B$2" for a single cell.
std::string AbsoluteAddress(const CellBlock& block);

}  // namespace vx
