// Code page 1251 (Windows Cyrillic): the program's text encoding.
//
// All text inside the program is 8-bit CP1251 held in AnsiString (std::string).
// Sources are UTF-8; a Russian literal is written in UTF-8 and turned into
// CP1251 once, at compile time, by the _cp literal:
//
//     const AnsiString caption = "Горячие"_cp;
//
// A character that CP1251 cannot hold makes the literal ill-formed (a compile
// error), so no literal silently loses text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using AnsiString = std::string;

namespace vx::cp1251 {

// Unicode code point of every CP1251 byte. 0x98 is unassigned in CP1251; it
// maps to U+0098 (the C1 control), the usual best-fit choice.
inline constexpr std::array<char16_t, 256> kToUnicode = {
    0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007, 0x0008, 0x0009, 0x000A, 0x000B, 0x000C, 0x000D,
    0x000E, 0x000F, 0x0010, 0x0011, 0x0012, 0x0013, 0x0014, 0x0015, 0x0016, 0x0017, 0x0018, 0x0019, 0x001A, 0x001B,
    0x001C, 0x001D, 0x001E, 0x001F, 0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029,
    0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045,
    0x0046, 0x0047, 0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053,
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F, 0x0060, 0x0061,
    0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F,
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077, 0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D,
    0x007E, 0x007F, 0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5,
    0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413,
    0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421,
    0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D,
    0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F,
};

// CP1251 byte for a code point, or -1 when the code page has none.
constexpr int FromUnicode(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  for (int b = 0x80; b < 256; ++b)
    if (kToUnicode[static_cast<std::size_t>(b)] == cp) return b;
  return -1;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Returns 0xFFFFFFFF on a
// malformed sequence.
constexpr char32_t DecodeUtf8(const char* s, std::size_t n, std::size_t& i) {
  const auto c0 = static_cast<unsigned char>(s[i]);
  int extra = c0 < 0x80 ? 0 : (c0 & 0xE0) == 0xC0 ? 1 : (c0 & 0xF0) == 0xE0 ? 2 : (c0 & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0 || i + static_cast<std::size_t>(extra) >= n + (extra == 0 ? 1 : 0)) {
    ++i;
    return 0xFFFFFFFFu;
  }
  char32_t cp = extra == 0 ? c0 : extra == 1 ? (c0 & 0x1F) : extra == 2 ? (c0 & 0x0F) : (c0 & 0x07);
  ++i;
  for (int k = 0; k < extra; ++k, ++i) {
    const auto cx = static_cast<unsigned char>(s[i]);
    if ((cx & 0xC0) != 0x80) return 0xFFFFFFFFu;
    cp = (cp << 6) | (cx & 0x3F);
  }
  return cp;
}

template <std::size_t N>
struct Utf8Source {
  char text[N]{};
  consteval Utf8Source(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
  }
};

template <std::size_t N>
struct Literal {
  std::array<char, N> bytes{};
  std::size_t size = 0;
  constexpr std::string_view view() const { return {bytes.data(), size}; }
  operator std::string_view() const { return view(); }
  operator AnsiString() const { return AnsiString(view()); }
  AnsiString str() const { return AnsiString(view()); }
};

template <std::size_t N>
consteval Literal<N> Convert(const Utf8Source<N>& src) {
  Literal<N> out;
  std::size_t i = 0;
  const std::size_t n = N - 1;  // drop the terminating NUL
  while (i < n) {
    const char32_t cp = DecodeUtf8(src.text, n, i);
    const int b = cp == 0xFFFFFFFFu ? -1 : FromUnicode(cp);
    if (b < 0) throw "literal holds a character that code page 1251 cannot represent";
    out.bytes[out.size++] = static_cast<char>(b);
  }
  return out;
}

}  // namespace vx::cp1251

// "Текст"_cp: a CP1251 literal made at compile time from UTF-8 source text.
template <vx::cp1251::Utf8Source S>
consteval auto operator""_cp() {
  return vx::cp1251::Convert(S);
}

namespace vx::cp1251 {

// A literal joins and compares with AnsiString as a string would.
template <std::size_t N>
AnsiString operator+(const AnsiString& a, const Literal<N>& b) {
  return a + AnsiString(b.view());
}
template <std::size_t N>
AnsiString operator+(const Literal<N>& a, const AnsiString& b) {
  return AnsiString(a.view()) + b;
}
template <std::size_t N>
AnsiString operator+(const char* a, const Literal<N>& b) {
  return AnsiString(a) + AnsiString(b.view());
}
template <std::size_t N>
AnsiString operator+(const Literal<N>& a, const char* b) {
  return AnsiString(a.view()) + b;
}
template <std::size_t N>
bool operator==(const AnsiString& a, const Literal<N>& b) {
  return std::string_view(a) == b.view();
}

}  // namespace vx::cp1251
