// Dictionary order of CP1251 text, as a Cyrillic desktop locale sorts it.
//
// Each byte gets a primary weight (its letter, without case) and a case
// flag. Comparison runs in up to three passes:
//   1. primary weights, skipping hyphens and apostrophes;
//   2. (AnsiCompareStr only) case: at the first letter that differs only in
//      case, the lower-case one sorts first;
//   3. hyphens and apostrophes: the text without them, or with them later,
//      first;
//   4. (AnsiCompareStr only) the bytes, so that distinct texts never
//      compare equal.
#include <array>

#include "platform/rtl/codepages.h"
#include "platform/rtl/sysutils.h"

namespace {

// Cyrillic letters of CP1251 in alphabetical order (upper-case code points).
constexpr char16_t kCyrillicOrder[] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0490, 0x0414, 0x0402, 0x0403, 0x0415, 0x0401, 0x0404, 0x0416,
    0x0417, 0x0405, 0x0418, 0x0406, 0x0407, 0x0419, 0x0408, 0x041A, 0x041B, 0x0409, 0x041C, 0x041D,
    0x040A, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x040B, 0x040C, 0x0423, 0x040E, 0x0424, 0x0425,
    0x0426, 0x0427, 0x040F, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
};

enum : unsigned { kControl = 0, kSymbol = 1, kDigit = 2, kLatin = 3, kCyrillic = 4 };

constexpr std::array<std::uint16_t, 256> MakePrimary() {
  std::array<std::uint16_t, 256> w{};
  for (int b = 0; b < 256; ++b) {
    const char32_t u = vx::cp1251::kToUnicode[static_cast<std::size_t>(b)];
    unsigned cls, pos = static_cast<unsigned>(b);
    char32_t up = u;
    if (u >= 'a' && u <= 'z') up = u - 32;
    else if (u >= 0x0430 && u <= 0x044F) up = u - 0x20;
    else if (u >= 0x0450 && u <= 0x045F) up = u - 0x50;
    else if (u == 0x0491) up = 0x0490;
    if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0)) {
      cls = kControl;
    } else if (u >= '0' && u <= '9') {
      cls = kDigit;
    } else if (up >= 'A' && up <= 'Z') {
      cls = kLatin;
      pos = static_cast<unsigned>(up - 'A');
    } else if ((up >= 0x0400 && up <= 0x042F) || up == 0x0490) {
      cls = kCyrillic;
      pos = 0;
      for (unsigned k = 0; k < sizeof kCyrillicOrder / sizeof kCyrillicOrder[0]; ++k)
        if (kCyrillicOrder[k] == up) pos = k;
    } else {
      cls = kSymbol;
    }
    w[static_cast<std::size_t>(b)] = static_cast<std::uint16_t>(cls << 8 | pos);
  }
  return w;
}

constexpr std::array<std::uint16_t, 256> kPrimary = MakePrimary();

bool Ignorable(unsigned char c) { return c == '-' || c == '\'' || c == 0xAD; }

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int ComparePrimary(const AnsiString& a, const AnsiString& b, bool skipIgnorable) {
  std::size_t i = 0, j = 0;
  while (true) {
    if (skipIgnorable) {
      while (i < a.size() && Ignorable(static_cast<unsigned char>(a[i]))) ++i;
      while (j < b.size() && Ignorable(static_cast<unsigned char>(b[j]))) ++j;
    }
    if (i == a.size() || j == b.size()) break;
    const int d = kPrimary[static_cast<unsigned char>(a[i])] - kPrimary[static_cast<unsigned char>(b[j])];
    if (d != 0) return Sign(d);
    ++i;
    ++j;
  }
  return (i == a.size() ? 0 : 1) - (j == b.size() ? 0 : 1);
}

int CompareCase(const AnsiString& a, const AnsiString& b) {
  // Same primary weights and, after pass 1, the same letters in the same
  // places when the ignorables are skipped.
  std::size_t i = 0, j = 0;
  while (true) {
    while (i < a.size() && Ignorable(static_cast<unsigned char>(a[i]))) ++i;
    while (j < b.size() && Ignorable(static_cast<unsigned char>(b[j]))) ++j;
    if (i == a.size() || j == b.size()) return 0;
    const bool la = vx::Cp1251IsLower(static_cast<unsigned char>(a[i]));
    const bool lb = vx::Cp1251IsLower(static_cast<unsigned char>(b[j]));
    if (la != lb) return la ? -1 : 1;
    ++i;
    ++j;
  }
}

// Texts equal but for hyphens and apostrophes: the one without (or with
// them later) comes first, so "coop" < "co-op" < "coo-p".
int CompareIgnorables(const AnsiString& a, const AnsiString& b) {
  std::size_t i = 0, j = 0;
  while (true) {
    while (i < a.size() && !Ignorable(static_cast<unsigned char>(a[i]))) ++i;
    while (j < b.size() && !Ignorable(static_cast<unsigned char>(b[j]))) ++j;
    if (i == a.size() || j == b.size()) return (i == a.size() ? 0 : 1) - (j == b.size() ? 0 : 1);
    // Position among the other characters: count them up to here.
    if (i != j) return i < j ? 1 : -1;
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
    ++i;
    ++j;
  }
}

}  // namespace

int AnsiCompareStr(const AnsiString& a, const AnsiString& b) {
  if (int r = ComparePrimary(a, b, true)) return r;
  if (int r = CompareCase(a, b)) return r;
  if (int r = CompareIgnorables(a, b)) return r;
  return CompareStr(a, b);
}

int AnsiCompareText(const AnsiString& a, const AnsiString& b) {
  if (int r = ComparePrimary(a, b, true)) return r;
  return CompareIgnorables(a, b);
}

bool AnsiSameStr(const AnsiString& a, const AnsiString& b) { return a == b; }

bool AnsiSameText(const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) == 0; }
