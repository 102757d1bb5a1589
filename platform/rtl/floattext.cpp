// Floating point <-> text, independent of the C locale.
//
// A value is first written with 18 significant digits (exactly rounded by
// std::to_chars), then rounded half away from zero to the digits the format
// asks for, so 0.125 with two decimals gives "0.13" and 0.1 + 0.2 with 15
// significant digits gives "0.3".
#include <charconv>
#include <cmath>
#include <string>

#include "platform/rtl/sysutils.h"

namespace {

constexpr int kMaxDigits = 18;

// value = 0.digits x 10^exponent; digits hold no trailing zeros; an empty
// digit string is zero.
struct Decimal {
  bool negative = false;
  int exponent = 0;
  std::string digits;
};

// Rounds to at most `precision` significant digits and at most `decimals`
// digits after the decimal point.
Decimal ToDecimal(long double value, int precision, int decimals) {
  Decimal d;
  d.negative = std::signbit(value);
  if (value == 0) return d;
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, kMaxDigits - 1);
  const std::string s(buf, r.ptr);
  // s = "d.ddddE+xx"
  const std::size_t ePos = s.find('e');
  std::string all = s.substr(0, 1) + s.substr(2, ePos - 2);
  d.exponent = std::stoi(s.substr(ePos + 1)) + 1;

  if (precision > kMaxDigits) precision = kMaxDigits;
  long keep = precision;
  if (decimals < 100000) keep = std::min<long>(keep, static_cast<long>(d.exponent) + decimals);
  if (keep < 0) {
    d.digits.clear();
  } else {
    const bool up = static_cast<std::size_t>(keep) < all.size() && all[static_cast<std::size_t>(keep)] >= '5';
    all.resize(static_cast<std::size_t>(keep));
    if (up) {
      long i = keep - 1;
      while (i >= 0 && all[static_cast<std::size_t>(i)] == '9') all[static_cast<std::size_t>(i--)] = '0';
      if (i >= 0) {
        ++all[static_cast<std::size_t>(i)];
      } else {
        all.insert(all.begin(), '1');
        ++d.exponent;
      }
    }
    while (!all.empty() && all.back() == '0') all.pop_back();
    d.digits = all;
  }
  if (d.digits.empty()) {
    d.exponent = 0;
    d.negative = false;
  }
  return d;
}

std::string ExponentText(int e, int minDigits, bool plusSign) {
  std::string out = "E";
  if (e < 0) out += '-';
  else if (plusSign) out += '+';
  std::string n = std::to_string(e < 0 ? -e : e);
  while (static_cast<int>(n.size()) < minDigits) n.insert(n.begin(), '0');
  return out + n;
}

// "d.ddd" (digits padded to `count` when count > 0) + exponent.
std::string Scientific(const Decimal& d, int count, int expDigits, bool plusSign) {
  std::string digits = d.digits.empty() ? "0" : d.digits;
  while (static_cast<int>(digits.size()) < count) digits += '0';
  std::string out = d.negative ? "-" : "";
  out += digits[0];
  if (digits.size() > 1) {
    out += FormatSettings.DecimalSeparator;
    out.append(digits, 1, std::string::npos);
  }
  return out + ExponentText(d.digits.empty() ? 0 : d.exponent - 1, expDigits, plusSign);
}

std::string Fixed(const Decimal& d, int decimals, bool thousands) {
  std::string intPart, frac;
  const int e = d.exponent;
  for (int i = 0; i < e; ++i)
    intPart += i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0';
  if (intPart.empty()) intPart.assign(1, '0');
  for (int k = 0; k < decimals; ++k) {
    const int i = e + k;
    frac += i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0';
  }
  if (thousands && FormatSettings.ThousandSeparator != 0) {
    std::string grouped;
    const int n = static_cast<int>(intPart.size());
    for (int i = 0; i < n; ++i) {
      if (i > 0 && (n - i) % 3 == 0) grouped += FormatSettings.ThousandSeparator;
      grouped += intPart[static_cast<std::size_t>(i)];
    }
    intPart = grouped;
  }
  std::string out = d.negative ? "-" : "";
  out += intPart;
  if (decimals > 0) out += FormatSettings.DecimalSeparator + frac;
  return out;
}

}  // namespace

AnsiString FloatToStrF(long double value, TFloatFormat format, int precision, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (precision < 1) precision = 1;
  if (precision > kMaxDigits) precision = kMaxDigits;
  if (digits < 0) digits = 0;
  switch (format) {
    case ffGeneral: {
      const Decimal d = ToDecimal(value, precision, 1 << 20);
      if (d.digits.empty()) return "0";
      if (d.exponent > precision || d.exponent < -3) return Scientific(d, 0, std::min(digits, 4), false);
      return Fixed(d, std::max(0, static_cast<int>(d.digits.size()) - d.exponent), false);
    }
    case ffExponent: return Scientific(ToDecimal(value, precision, 1 << 20), precision, std::min(digits, 4), true);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      if (digits > 18) digits = 18;
      const Decimal whole = ToDecimal(value, precision, 1 << 20);
      if (whole.exponent > precision) return Scientific(whole, precision, 0, true);
      std::string s = Fixed(ToDecimal(value, precision, digits), digits, format != ffFixed);
      if (format == ffCurrency && !FormatSettings.CurrencyString.empty()) s += " " + FormatSettings.CurrencyString;
      return s;
    }
  }
  return {};
}

AnsiString FloatToStr(long double value) { return FloatToStrF(value, ffGeneral, 15, 0); }

bool TryStrToFloat(const AnsiString& s, long double& value) {
  std::size_t i = 0, n = s.size();
  while (i < n && s[i] == ' ') ++i;
  while (n > i && s[n - 1] == ' ') --n;
  std::string norm;
  if (i < n && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') norm += '-';
    ++i;
  }
  int mantissaDigits = 0;
  while (i < n && s[i] >= '0' && s[i] <= '9') {
    norm += s[i++];
    ++mantissaDigits;
  }
  if (i < n && s[i] == FormatSettings.DecimalSeparator) {
    norm += '.';
    ++i;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
      norm += s[i++];
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    norm += 'e';
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) norm += s[i++];
    int expDigits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
      norm += s[i++];
      ++expDigits;
    }
    if (expDigits == 0) return false;
  }
  if (i != n) return false;
  long double v = 0;
  const auto r = std::from_chars(norm.data(), norm.data() + norm.size(), v);
  if (r.ec != std::errc() || r.ptr != norm.data() + norm.size()) return false;
  value = v;
  return true;
}

bool TryStrToFloat(const AnsiString& s, double& value) {
  long double v;
  if (!TryStrToFloat(s, v)) return false;
  value = static_cast<double>(v);
  return true;
}

long double StrToFloat(const AnsiString& s) {
  long double v;
  if (!TryStrToFloat(s, v)) throw EConvertError("'" + s + "' is not a valid floating point value");
  return v;
}

long double StrToFloatDef(const AnsiString& s, long double def) {
  long double v;
  return TryStrToFloat(s, v) ? v : def;
}

namespace {
void CheckIntRange(long double value) {
  // The 64-bit range is [-2^63, 2^63); NaN fails both tests.
  if (!(value >= -0x1p63L && value < 0x1p63L)) throw EInvalidOp("Invalid floating point operation");
}
}  // namespace

long long Round(long double value) {
  const long double f = std::floor(value);
  const long double diff = value - f;
  long double r = f;
  if (diff > 0.5L || (diff == 0.5L && std::fmod(f, 2.0L) != 0)) r = f + 1;
  CheckIntRange(r);
  return static_cast<long long>(r);
}

long long Trunc(long double value) {
  const long double t = std::trunc(value);
  CheckIntRange(t);
  return static_cast<long long>(t);
}

long double Frac(long double value) { return value - std::trunc(value); }
long double Int(long double value) { return std::trunc(value); }
