#include "platform/ole/a1_address.h"

#include <algorithm>

namespace vx {

namespace {

constexpr long long kMaxIndex = 1 << 24;

}  // namespace

std::string ColumnLetters(int column) {
  std::string letters;
  for (long long n = column; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), char('A' + (n - 1) % 26));
  return letters;
}

bool ParseCellAddress(std::string_view text, int& column, int& row) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  long long col = 0, r = 0;
  const std::size_t lettersAt = i;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') break;
    col = col * 26 + (c - 'A' + 1);
    if (col > kMaxIndex) return false;
  }
  if (i == lettersAt) return false;
  if (i < text.size() && text[i] == '$') ++i;
  const std::size_t digitsAt = i;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    r = r * 10 + (text[i] - '0');
    if (r > kMaxIndex) return false;
  }
  if (i == digitsAt || i != text.size() || r < 1) return false;
  column = static_cast<int>(col);
  row = static_cast<int>(r);
  return true;
}

bool ParseCellBlock(std::string_view text, CellBlock& block) {
  const std::size_t colon = text.find(':');
  CellBlock b;
  if (!ParseCellAddress(text.substr(0, colon), b.FirstColumn, b.FirstRow)) return false;
  b.LastColumn = b.FirstColumn;
  b.LastRow = b.FirstRow;
  if (colon != std::string_view::npos && !ParseCellAddress(text.substr(colon + 1), b.LastColumn, b.LastRow))
    return false;
  if (b.LastColumn < b.FirstColumn) std::swap(b.FirstColumn, b.LastColumn);
  if (b.LastRow < b.FirstRow) std::swap(b.FirstRow, b.LastRow);
  block = b;
  return true;
}

std::string AbsoluteAddress(const CellBlock& block) {
  std::string first = "$" + ColumnLetters(block.FirstColumn) + "$" + std::to_string(block.FirstRow);
  if (block.FirstColumn == block.LastColumn && block.FirstRow == block.LastRow) return first;
  return first + ":$" + ColumnLetters(block.LastColumn) + "$" + std::to_string(block.LastRow);
}

}  // namespace vx
