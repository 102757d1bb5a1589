#include "platform/rtl/codepages.h"

#include "platform/rtl/sysutils.h"

namespace vx {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

constexpr char32_t Upper(char32_t u) {
  if (u >= 'a' && u <= 'z') return u - 32;
  if (u >= 0x0430 && u <= 0x044F) return u - 0x20;
  if (u >= 0x0450 && u <= 0x045F) return u - 0x50;
  if (u == 0x0491) return 0x0490;
  return u;
}

constexpr char32_t Lower(char32_t u) {
  if (u >= 'A' && u <= 'Z') return u + 32;
  if (u >= 0x0410 && u <= 0x042F) return u + 0x20;
  if (u >= 0x0400 && u <= 0x040F) return u + 0x50;
  if (u == 0x0490) return 0x0491;
  return u;
}

struct CaseTables {
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};
};

constexpr CaseTables MakeCaseTables() {
  CaseTables t;
  for (int b = 0; b < 256; ++b) {
    const char32_t u = cp1251::kToUnicode[static_cast<std::size_t>(b)];
    const int up = cp1251::FromUnicode(Upper(u));
    const int lo = cp1251::FromUnicode(Lower(u));
    t.upper[static_cast<std::size_t>(b)] = static_cast<unsigned char>(up < 0 ? b : up);
    t.lower[static_cast<std::size_t>(b)] = static_cast<unsigned char>(lo < 0 ? b : lo);
  }
  return t;
}

constexpr CaseTables kCase = MakeCaseTables();

constexpr int FromUnicode866(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  for (int i = 0; i < 128; ++i)
    if (kCp866High[static_cast<std::size_t>(i)] == cp) return 0x80 + i;
  return -1;
}

// Nearest look-alike for a character missing from the target code page.
constexpr char BestFit(char32_t u) {
  switch (u) {
    case 0x0490: return 'G';  // Ґ has no OEM form; the engine's OEM text uses Г
    case 0x0406: return 'I';
    case 0x0456: return 'i';
    case 0x0408: return 'J';
    case 0x0458: return 'j';
    case 0x0405: return 'S';
    case 0x0455: return 's';
    case 0x201A:
    case 0x2018:
    case 0x2019: return '\'';
    case 0x201E:
    case 0x201C:
    case 0x201D:
    case 0x00AB:
    case 0x00BB: return '"';
    case 0x2039: return '<';
    case 0x203A: return '>';
    case 0x2013:
    case 0x2014:
    case 0x00AD: return '-';
    case 0x2026: return '.';
    case 0x2022: return '*';
    case 0x00A9: return 'c';
    case 0x00AE: return 'R';
    case 0x00B1: return '+';
    case 0x00A6: return '|';
    default: break;
  }
  // Box drawing (U+2500..U+257F): lines and junctions.
  if (u == 0x2500 || u == 0x2550) return '-';
  if (u == 0x2502 || u == 0x2551) return '|';
  if (u >= 0x2500 && u <= 0x257F) return '+';
  return '?';
}

struct OemTables {
  std::array<unsigned char, 256> toOem{};
  std::array<unsigned char, 256> toAnsi{};
};

constexpr OemTables MakeOemTables() {
  OemTables t;
  for (int b = 0; b < 256; ++b) {
    const char32_t ua = cp1251::kToUnicode[static_cast<std::size_t>(b)];
    int o = FromUnicode866(ua);
    if (o < 0) {
      // Ґ/ґ become Г/г: the Cyrillic look-alike keeps the word readable.
      if (ua == 0x0490) o = FromUnicode866(0x0413);
      else if (ua == 0x0491) o = FromUnicode866(0x0433);
      else o = static_cast<unsigned char>(BestFit(ua));
    }
    t.toOem[static_cast<std::size_t>(b)] = static_cast<unsigned char>(o);

    const char32_t uo = b < 0x80 ? static_cast<char32_t>(b) : kCp866High[static_cast<std::size_t>(b - 0x80)];
    int a = cp1251::FromUnicode(uo);
    if (a < 0) a = static_cast<unsigned char>(BestFit(uo));
    t.toAnsi[static_cast<std::size_t>(b)] = static_cast<unsigned char>(a);
  }
  return t;
}

constexpr OemTables kOem = MakeOemTables();

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at s[i], advancing i past it; rejects
// truncated, overlong and surrogate forms with U+FFFD.
char32_t NextUtf8(std::string_view s, std::size_t& i) {
  const auto c0 = static_cast<unsigned char>(s[i++]);
  if (c0 < 0x80) return c0;
  int extra;
  char32_t cp, min;
  if ((c0 & 0xE0) == 0xC0) {
    extra = 1;
    cp = c0 & 0x1F;
    min = 0x80;
  } else if ((c0 & 0xF0) == 0xE0) {
    extra = 2;
    cp = c0 & 0x0F;
    min = 0x800;
  } else if ((c0 & 0xF8) == 0xF0) {
    extra = 3;
    cp = c0 & 0x07;
    min = 0x10000;
  } else return kReplacement;
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return kReplacement;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  return cp;
}

// CP1251 bytes of the code points below U+2200 (every one the code page
// has), '?' for the others: one look-up instead of a search per character.
char ToCp1251(char32_t cp) {
  static const std::array<char, 0x2200> kBelow2200 = [] {
    std::array<char, 0x2200> t;
    t.fill('?');
    for (int b = 0; b < 256; ++b) t[cp1251::kToUnicode[static_cast<std::size_t>(b)]] = static_cast<char>(b);
    return t;
  }();
  return cp < kBelow2200.size() ? kBelow2200[cp] : '?';
}

}  // namespace

char32_t Cp866ToUnicode(unsigned char b) { return b < 0x80 ? b : kCp866High[b - 0x80]; }

int UnicodeToCp866(char32_t cp) { return FromUnicode866(cp); }

std::string Cp1251ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) AppendUtf8(out, cp1251::kToUnicode[static_cast<unsigned char>(c)]);
  return out;
}

AnsiString Utf8ToCp1251(std::string_view utf8) {
  AnsiString out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) out.push_back(ToCp1251(NextUtf8(utf8, i)));
  return out;
}

std::u16string Cp1251ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out.push_back(cp1251::kToUnicode[static_cast<unsigned char>(c)]);
  return out;
}

AnsiString Utf16ToCp1251(std::u16string_view utf16) {
  AnsiString out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t u = utf16[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      ++i;  // a pair: outside the basic plane, never in CP1251
      out.push_back('?');
    } else {
      out.push_back(ToCp1251(u));
    }
  }
  return out;
}

unsigned char Cp1251ToCp866(unsigned char b) { return kOem.toOem[b]; }
unsigned char Cp866ToCp1251(unsigned char b) { return kOem.toAnsi[b]; }

AnsiString Cp1251ToCp866(std::string_view text) {
  AnsiString out(text);
  for (char& c : out) c = static_cast<char>(kOem.toOem[static_cast<unsigned char>(c)]);
  return out;
}

AnsiString Cp866ToCp1251(std::string_view text) {
  AnsiString out(text);
  for (char& c : out) c = static_cast<char>(kOem.toAnsi[static_cast<unsigned char>(c)]);
  return out;
}

unsigned char Cp1251Upper(unsigned char b) { return kCase.upper[b]; }
unsigned char Cp1251Lower(unsigned char b) { return kCase.lower[b]; }
bool Cp1251IsUpper(unsigned char b) { return kCase.lower[b] != b; }
bool Cp1251IsLower(unsigned char b) { return kCase.upper[b] != b; }
bool Cp1251IsLetter(unsigned char b) { return kCase.lower[b] != kCase.upper[b]; }

}  // namespace vx

// ---------------------------------------------------------------------------
// The CP1251 case routines of sysutils.h

char AnsiUpperChar(char c) { return static_cast<char>(vx::Cp1251Upper(static_cast<unsigned char>(c))); }
char AnsiLowerChar(char c) { return static_cast<char>(vx::Cp1251Lower(static_cast<unsigned char>(c))); }

AnsiString AnsiUpperCase(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r) c = AnsiUpperChar(c);
  return r;
}

AnsiString AnsiLowerCase(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r) c = AnsiLowerChar(c);
  return r;
}
