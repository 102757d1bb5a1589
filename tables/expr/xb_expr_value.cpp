#include "tables/expr/xb_expr_value.h"

#include <charconv>
#include <cmath>

#include "tables/base/xb_errors.h"

namespace vx::expr {

namespace {
[[noreturn]] void Raise(const AnsiString& message) { throw EXBaseExpression(message); }
}  // namespace

void RaiseSyntaxError(const AnsiString& text) { Raise("Syntax Error in expression \"" + text + "\""); }
void RaiseExpectingLogical() { Raise("Expecting \".T.\" or \".F.\""); }
void RaiseMissingParenthesis() { Raise("Missing closing parentheses"); }
void RaiseMissingPeriod() { Raise("Missing closing period"); }
void RaiseMissingDelimiter(char open) { Raise("Missing closing \"" + AnsiString(1, open) + "\" on literal"); }
void RaiseUnknownName(const AnsiString& name) { Raise("Field/variable " + name + " is unknown"); }
void RaiseCannotEvaluate() { Raise("Expression cannot be evaluated"); }
void RaiseNoFunction(const AnsiString& name) { Raise("There is no function for " + name); }
void RaiseArgumentNeeded(const AnsiString& typeName, int argNo, const AnsiString& function) {
  Raise(typeName + " needed for Argument " + std::to_string(argNo) + " of " + function);
}
void RaiseTargetMissing(const AnsiString& opName) { Raise("Target value missing for " + opName + " operation"); }
void RaiseSidesMismatch() { Raise("The two sides of an operation do not match"); }
void RaiseValueInvalid(const AnsiString& what) { Raise("A " + what + " value is required but invalid"); }

AnsiString TypeName(std::uint8_t type) {
  switch (type) {
    case xtText: return "Text";
    case xtNumber: return "Number";
    case xtDate: return "Date";
    case xtBoolean: return "Boolean";
    default: return "Unknown Value";
  }
}

std::int64_t TruncChecked(double d) {
  // 2^63 is exactly representable; everything strictly inside (-2^63, 2^63)
  // truncates to a valid int64.
  constexpr double kLimit = 9223372036854775808.0;
  if (!std::isfinite(d) || d >= kLimit || d <= -kLimit) RaiseValueInvalid("Number");
  return static_cast<std::int64_t>(d);
}

std::size_t CountChecked(double d) {
  const std::int64_t n = TruncChecked(d);
  if (n < 0) return 0;
  if (n > static_cast<std::int64_t>(kMaxCount)) RaiseValueInvalid("Number");
  return static_cast<std::size_t>(n);
}

bool ParseDecimal(std::string_view text, double& out) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 0x20) --e;
  std::string_view s = text.substr(b, e - b);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  // Check the shape ourselves; from_chars is too lenient about "inf", "nan"
  // and hexadecimal forms.
  std::size_t i = 0, digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    std::size_t expDigits = 0;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j, ++expDigits;
    if (expDigits == 0) return false;
    i = j;
  }
  if (i != s.size()) return false;
  // from_chars wants a digit or '.' first and refuses a bare trailing '.'
  // in some versions: give it a normalised copy.
  std::string buf(s);
  if (buf[0] == '.') buf.insert(buf.begin(), '0');
  const std::size_t dot = buf.find('.');
  if (dot != std::string::npos && (dot + 1 == buf.size() || buf[dot + 1] < '0' || buf[dot + 1] > '9'))
    buf.insert(dot + 1, 1, '0');
  double v = 0;
  const auto r = std::from_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != buf.data() + buf.size() || !std::isfinite(v)) return false;
  out = negative ? -v : v;
  return true;
}

}  // namespace vx::expr

namespace vx::expr {
std::int32_t DayChecked(double d) {
  if (!std::isfinite(d) || d >= 2147483648.0 || d <= -2147483649.0) RaiseValueInvalid("Date");
  return static_cast<std::int32_t>(d);
}
}  // namespace vx::expr
