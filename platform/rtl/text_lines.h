// Splitting text into lines: CR LF, CR and LF each end a line and are not
// part of it. A final line break starts no further line, so "" has no lines
// and "a\r\n" has one.
#pragma once

#include <string_view>
#include <vector>

namespace vx {

// The line that starts at `pos` (which must lie inside the text); `pos`
// moves past its line break.
inline std::string_view NextLine(std::string_view text, std::size_t& pos) {
  std::size_t end = text.find_first_of("\r\n", pos);
  if (end == std::string_view::npos) end = text.size();
  const std::string_view line = text.substr(pos, end - pos);
  if (end < text.size()) end += text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
  pos = end;
  return line;
}

// With `countLastBreak`, an empty text and a final line break each add an
// empty line, as they take a line on the screen.
inline std::vector<std::string_view> SplitLines(std::string_view text, bool countLastBreak = false) {
  std::vector<std::string_view> lines;
  for (std::size_t pos = 0; pos < text.size();) lines.push_back(NextLine(text, pos));
  if (countLastBreak && (text.empty() || text.back() == '\r' || text.back() == '\n')) lines.emplace_back();
  return lines;
}

}  // namespace vx
