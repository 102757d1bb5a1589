// File-name and zero-terminated-text helpers of the engine, and the
// rounding of numbers to whole ones.
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/rtl/cp1251.h"

// name with extension added when its file name has none; the extension may
// be given with or without its dot ("DBF" or ".DBF").
AnsiString xbDefaultExtension(const AnsiString& name, const AnsiString& extension);
// The file name without folder and extension ("C:\DATA\T.DBF" -> "T").
AnsiString xbStripExtension(const AnsiString& name);

// Pads the zero-terminated text with c up to length characters and ends it
// with a zero; the buffer must hold length + 1 bytes. Longer text stays.
void xbPadPChar(char* text, char c, int length);
// Removes the trailing blanks of a zero-terminated text.
void xbTrimPChar(char* text);

// Compare zero-terminated texts by the locale's collation, with and without
// regard to case; <0, 0, >0. A null pointer counts as an empty text.
int xbCompareStr(const char* a, const char* b);
int xbCompareText(const char* a, const char* b);

// v rounded to the nearest whole number, halves to the even one (2.5 -> 2,
// 3.5 -> 4, -0.5 -> -0); the sign of v stays, also on a zero. Every step is
// exact, so the result does not depend on the floating-point rounding mode,
// which is left alone. Infinities and NaN come back as they are.
inline double xbRoundEven(double v) {
  const double a = std::fabs(v);
  if (!(a < 4503599627370496.0)) return v;  // from 2^52 on every double is whole
  const double whole = static_cast<double>(static_cast<std::int64_t>(a));  // cut toward zero: floor of a
  if (whole == a) return v;  // most values read are whole already
  const double fraction = a - whole;
  const bool up = fraction > 0.5 || (fraction == 0.5 && (static_cast<std::int64_t>(whole) & 1) != 0);
  return std::copysign(up ? whole + 1.0 : whole, v);
}
