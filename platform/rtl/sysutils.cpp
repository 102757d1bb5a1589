#include "platform/rtl/sysutils.h"

#include <algorithm>
#include <array>
#include <limits>

TFormatSettings FormatSettings;

// ---------------------------------------------------------------------------
// Integers

AnsiString IntToStr(long long value) {
  char buf[24];
  char* p = buf + sizeof buf;
  unsigned long long u =
      value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  do {
    *--p = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (value < 0) *--p = '-';
  return AnsiString(p, buf + sizeof buf);
}

AnsiString IntToHexBits(std::uint64_t bits, int digits) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  AnsiString out;
  do {
    out.push_back(kHex[bits & 15]);
    bits >>= 4;
  } while (bits != 0);
  if (digits > 64) digits = 64;
  while (static_cast<int>(out.size()) < digits) out.push_back('0');
  std::reverse(out.begin(), out.end());
  return out;
}

namespace {

// Parses the integer forms of StrToInt into a value within [lo, hi].
bool ParseInteger(const AnsiString& s, long long lo, long long hi, long long& value) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n && s[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  unsigned base = 10;
  if (i < n && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == n) return false;
  // Magnitude limit: |lo| for negatives, hi otherwise. Hex may also spell
  // the two's complement of a negative (as "$FFFFFFFF" for -1).
  const unsigned long long limitPos = static_cast<unsigned long long>(hi);
  const unsigned long long limitNeg = 0ULL - static_cast<unsigned long long>(lo);
  const unsigned long long unsignedMax = base == 16 ? limitPos * 2 + 1 : negative ? limitNeg : limitPos;
  unsigned long long magnitude = 0;
  for (; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    if (magnitude > (unsignedMax - d) / base) return false;
    magnitude = magnitude * base + d;
  }
  if (negative) {
    if (magnitude > limitNeg) return false;
    value = static_cast<long long>(0ULL - magnitude);
  } else if (magnitude <= limitPos) {
    value = static_cast<long long>(magnitude);
  } else {
    // Hex beyond the signed range spells a negative in two's complement.
    value = static_cast<long long>(magnitude);
    if (hi != std::numeric_limits<long long>::max())
      value = static_cast<long long>(magnitude) - static_cast<long long>(unsignedMax) - 1;
  }
  return true;
}

[[noreturn]] void ThrowNotInteger(const AnsiString& s) {
  throw EConvertError("'" + s + "' is not a valid integer value");
}

}  // namespace

bool TryStrToInt(const AnsiString& s, int& value) {
  long long v;
  if (!ParseInteger(s, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), v)) return false;
  value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(const AnsiString& s, long long& value) {
  return ParseInteger(s, std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max(), value);
}

int StrToInt(const AnsiString& s) {
  int v;
  if (!TryStrToInt(s, v)) ThrowNotInteger(s);
  return v;
}

long long StrToInt64(const AnsiString& s) {
  long long v;
  if (!TryStrToInt64(s, v)) ThrowNotInteger(s);
  return v;
}

int StrToIntDef(const AnsiString& s, int def) {
  int v;
  return TryStrToInt(s, v) ? v : def;
}

long long StrToInt64Def(const AnsiString& s, long long def) {
  long long v;
  return TryStrToInt64(s, v) ? v : def;
}

// ---------------------------------------------------------------------------
// Trimming and ASCII case

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
}  // namespace

AnsiString Trim(const AnsiString& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

AnsiString TrimLeft(const AnsiString& s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

AnsiString TrimRight(const AnsiString& s) {
  std::size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

AnsiString UpperCase(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r) c = AsciiUpper(c);
  return r;
}

AnsiString LowerCase(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r) c = AsciiLower(c);
  return r;
}

int CompareStr(const AnsiString& a, const AnsiString& b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CompareText(const AnsiString& a, const AnsiString& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(AsciiUpper(a[i]));
    const auto y = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(const AnsiString& a, const AnsiString& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

// ---------------------------------------------------------------------------
// Small string helpers

AnsiString QuotedStr(const AnsiString& s) {
  AnsiString r = "'";
  for (char c : s) {
    r.push_back(c);
    if (c == '\'') r.push_back('\'');
  }
  r.push_back('\'');
  return r;
}

AnsiString StringReplace(const AnsiString& s, const AnsiString& oldPattern, const AnsiString& newPattern,
                         TReplaceFlags flags) {
  if (oldPattern.empty()) return s;
  const bool ignoreCase = flags.Contains(rfIgnoreCase);
  const AnsiString hay = ignoreCase ? AnsiUpperCase(s) : s;
  const AnsiString needle = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
  AnsiString out;
  std::size_t from = 0;
  while (true) {
    const std::size_t at = hay.find(needle, from);
    if (at == AnsiString::npos) break;
    out.append(s, from, at - from);
    out += newPattern;
    from = at + needle.size();
    if (!flags.Contains(rfReplaceAll)) break;
  }
  out.append(s, from, AnsiString::npos);
  return out;
}

AnsiString StringOfChar(char c, int count) {
  return count > 0 ? AnsiString(static_cast<std::size_t>(count), c) : AnsiString();
}

int Pos(const AnsiString& sub, const AnsiString& s) {
  if (sub.empty()) return 0;
  const std::size_t at = s.find(sub);
  return at == AnsiString::npos ? 0 : static_cast<int>(at) + 1;
}

AnsiString Copy(const AnsiString& s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<std::size_t>(index) > s.size()) return AnsiString();
  return s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count));
}
