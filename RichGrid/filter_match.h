// Filter conditions: does a cell text satisfy a condition such as ">5",
// "a*", "!b?c" or a chain of them joined by '&', ';' and '^'?
//
// Pure functions over CP1251 text; numbers and dates are read with the
// mutable FormatSettings (decimal separator, date separator and order).
#pragma once

#include "platform/rtl/cp1251.h"

// A chain of conditions joined by '&' (and), ';' and '^' (or), evaluated
// strictly left to right without precedence. Blanks around the operators
// and at the ends are ignored.
bool MatchFilter(const AnsiString& filter, const AnsiString& value);

// One condition: MatchMask on the texts up to their first zero byte.
bool MatchCondition(const AnsiString& condition, const AnsiString& value);

// One condition against a value:
//   ">x" ">=x" "<x" "<=x"  comparisons, as numbers when both sides are
//                          numbers, else as dates, else as texts (byte
//                          order, at most 255 characters); x ends at a
//                          blank, '&', '|' or the end;
//   "c1^c2" / "c1&c2"      or / and of the two comparisons;
//   anything else          a pattern: '*' any run, '?' any one character,
//                          other characters equal (case counts); a '!'
//                          anywhere inverts the pattern's result.
// A true comparison makes the result true; otherwise the pattern decides.
// The pattern match is greedy with backtracking to the last star only, so
// its cost stays within text length x pattern length.
bool MatchMask(const AnsiString& condition, const AnsiString& value);
