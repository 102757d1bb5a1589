// The "GENERAL" collation of compound index tags: a character key becomes a
// collation key of primary weights followed by secondary weights.
//
// Weight tables are for code page 1252 and are kept exactly as files written
// by other programs expect them, so the same text gives the same key bytes.
//
//   key = primary bytes || secondary bytes (each OR 0xF0), trailing 0xF0 dropped
//
// A primary weight of 0, 6 or 18 (with its expansion flag set) stands for two
// letters; a secondary weight of 0x80 takes its bytes from the expansion table.
#pragma once

#include <string>

namespace vx {

// Collation key of a text (CP1252 weights). The result is at most twice as
// long as the text.
std::string GeneralCollationKey(const std::string& text);

}  // namespace vx
