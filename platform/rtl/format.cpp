// Format: the printf-like formatter of sysutils.h.
#include <cstdint>
#include <string>

#include "platform/rtl/sysutils.h"

namespace {

[[noreturn]] void Invalid(std::string_view format) {
  throw EConvertError("Format '" + AnsiString(format) + "' invalid or incompatible with argument");
}

AnsiString Decimal(unsigned long long magnitude, bool negative, int minDigits) {
  AnsiString digits = IntToStr(static_cast<long long>(magnitude));
  if (magnitude > static_cast<unsigned long long>(INT64_MAX)) {
    digits.clear();
    for (unsigned long long m = magnitude; m != 0; m /= 10)
      digits.insert(digits.begin(), static_cast<char>('0' + m % 10));
  }
  if (minDigits > 4096) minDigits = 4096;
  while (static_cast<int>(digits.size()) < minDigits) digits.insert(digits.begin(), '0');
  return negative ? "-" + digits : digits;
}

// The two's complement bits of a signed argument in its own width.
std::uint64_t UnsignedBits(const TFormatArg& a) {
  if (a.kind() == TFormatArg::Kind::UInt) return a.uintValue();
  const auto bits = static_cast<std::uint64_t>(a.intValue());
  return a.signedBits() == 32 ? (bits & 0xFFFFFFFFu) : bits;
}

}  // namespace

AnsiString Format(std::string_view format, std::initializer_list<TFormatArg> args) {
  const TFormatArg* argv = args.begin();
  const std::size_t argc = args.size();
  std::size_t next = 0;
  AnsiString out;
  out.reserve(format.size() + 16);

  auto takeArg = [&]() -> const TFormatArg& {
    if (next >= argc) Invalid(format);
    return argv[next++];
  };
  auto takeInt = [&]() -> int {
    const TFormatArg& a = takeArg();
    if (a.kind() == TFormatArg::Kind::Int) return static_cast<int>(a.intValue());
    if (a.kind() == TFormatArg::Kind::UInt) return static_cast<int>(a.uintValue());
    Invalid(format);
  };
  // Reads a number or '*' at format[i]; -1 when neither is there.
  auto readNumber = [&](std::size_t& i) -> int {
    if (i < format.size() && format[i] == '*') {
      ++i;
      return takeInt();
    }
    if (i >= format.size() || format[i] < '0' || format[i] > '9') return -1;
    long v = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
      v = v * 10 + (format[i++] - '0');
      if (v > 100000) Invalid(format);
    }
    return static_cast<int>(v);
  };

  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i++];
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    if (i >= format.size()) Invalid(format);
    if (format[i] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    // [index:]
    std::size_t save = i;
    const int number = i < format.size() && format[i] != '*' ? readNumber(i) : -1;
    if (number >= 0 && i < format.size() && format[i] == ':') {
      next = static_cast<std::size_t>(number);
      ++i;
    } else {
      i = save;
    }
    bool left = false;
    if (i < format.size() && format[i] == '-') {
      left = true;
      ++i;
    }
    int width = readNumber(i);
    if (width < 0 && i < format.size() && format[i] == '-') Invalid(format);
    int precision = -1;
    if (i < format.size() && format[i] == '.') {
      ++i;
      precision = readNumber(i);
      if (precision < 0) precision = 0;
    }
    if (i >= format.size()) Invalid(format);
    const char type = static_cast<char>(format[i++] | 0x20);  // letters are case-insensitive
    const TFormatArg& a = takeArg();
    using K = TFormatArg::Kind;
    AnsiString text;
    switch (type) {
      case 'd':
        if (a.kind() == K::Int) {
          const long long v = a.intValue();
          text = Decimal(v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v), v < 0,
                         precision);
        } else if (a.kind() == K::UInt) {
          text = Decimal(a.uintValue(), false, precision);
        } else {
          Invalid(format);
        }
        break;
      case 'u':
        if (a.kind() != K::Int && a.kind() != K::UInt) Invalid(format);
        text = Decimal(UnsignedBits(a), false, precision);
        break;
      case 'x':
        if (a.kind() != K::Int && a.kind() != K::UInt) Invalid(format);
        text = IntToHexBits(UnsignedBits(a), precision < 0 ? 0 : std::min(precision, 64));
        break;
      case 'e':
        if (a.kind() != K::Float) Invalid(format);
        text = FloatToStrF(a.floatValue(), ffExponent, precision < 0 ? 15 : precision, 3);
        break;
      case 'f':
        if (a.kind() != K::Float) Invalid(format);
        text = FloatToStrF(a.floatValue(), ffFixed, 18, precision < 0 ? 2 : precision);
        break;
      case 'n':
        if (a.kind() != K::Float) Invalid(format);
        text = FloatToStrF(a.floatValue(), ffNumber, 18, precision < 0 ? 2 : precision);
        break;
      case 'g':
        if (a.kind() != K::Float) Invalid(format);
        text = FloatToStrF(a.floatValue(), ffGeneral, precision < 0 ? 15 : precision, 3);
        break;
      case 's':
        if (a.kind() != K::String) Invalid(format);
        text = AnsiString(a.stringValue());
        if (precision >= 0 && static_cast<std::size_t>(precision) < text.size())
          text.resize(static_cast<std::size_t>(precision));
        break;
      default: Invalid(format);
    }
    if (width > static_cast<int>(text.size())) {
      const AnsiString pad(static_cast<std::size_t>(width) - text.size(), ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}
