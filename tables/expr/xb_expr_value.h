// Values of the expression language and the language's error texts.
//
// Every value carries a one-byte type beside it:
//   1 undetermined (a missing argument), 2 any (only as a wanted type),
//   3 text, 4 number, 6 date (an engine day number carried as a number),
//   8 boolean, 9 other (raw field text of a type the language does not know).
// Types 4 to 7 count as numeric when two operands meet. 0 means "no value"
// (no tree, or a user function that failed).
//
// Every scanning, building and evaluation failure raises EXBaseExpression
// with one of the twelve texts below.
#pragma once

#include <cstdint>
#include <string>

#include "platform/rtl/cp1251.h"

namespace vx {

inline constexpr std::uint8_t xtNone = 0;
inline constexpr std::uint8_t xtUndetermined = 1;
inline constexpr std::uint8_t xtAny = 2;
inline constexpr std::uint8_t xtText = 3;
inline constexpr std::uint8_t xtNumber = 4;
inline constexpr std::uint8_t xtDate = 6;
inline constexpr std::uint8_t xtBoolean = 8;
inline constexpr std::uint8_t xtOther = 9;

inline bool IsNumericType(std::uint8_t t) { return t >= 4 && t <= 7; }

// One value on its way through the tree. Numbers and dates live in Number,
// booleans in Boolean, text and raw field text in Text.
struct ExprValue {
  std::uint8_t Type = xtNone;
  double Number = 0.0;
  bool Boolean = false;
  AnsiString Text;

  void SetText(std::string_view s) {
    Type = xtText;
    Text.assign(s.data(), s.size());
  }
  void SetNumber(double d) {
    Type = xtNumber;
    Number = d;
  }
  void SetDate(double day) {
    Type = xtDate;
    Number = day;
  }
  void SetBoolean(bool b) {
    Type = xtBoolean;
    Boolean = b;
  }
  void SetMissing() {
    Type = xtUndetermined;
    Text.clear();
    Number = 0;
    Boolean = false;
  }
};

// Longest text the "+" and "-" operators may build, and the longest text a
// function may grow a text to (STRTRAN). Values read from fields and memos
// may be longer; only new text is held to these bounds, so that no
// expression can allocate without limit.
inline constexpr std::size_t kMaxBuiltText = 16u << 20;
inline constexpr std::size_t kMaxGrownText = 1u << 20;
// Largest count a text function accepts (SPACE, LEFT, RIGHT, SUBSTR, PADx, STR).
inline constexpr double kMaxCount = 65535.0;

namespace expr {

// The twelve error texts, each raised as EXBaseExpression.
[[noreturn]] void RaiseSyntaxError(const AnsiString& text);  // Syntax Error in expression "%s"
[[noreturn]] void RaiseExpectingLogical();                   // Expecting ".T." or ".F."
[[noreturn]] void RaiseMissingParenthesis();                 // Missing closing parentheses
[[noreturn]] void RaiseMissingPeriod();                      // Missing closing period
[[noreturn]] void RaiseMissingDelimiter(char open);          // Missing closing "%s" on literal
[[noreturn]] void RaiseUnknownName(const AnsiString& name);  // Field/variable %s is unknown
[[noreturn]] void RaiseCannotEvaluate();                     // Expression cannot be evaluated
[[noreturn]] void RaiseNoFunction(const AnsiString& name);   // There is no function for %s
[[noreturn]] void RaiseArgumentNeeded(const AnsiString& typeName, int argNo,
                                      const AnsiString& function);  // %s needed for Argument %d of %s
[[noreturn]] void RaiseTargetMissing(const AnsiString& opName);     // Target value missing for %s operation
[[noreturn]] void RaiseSidesMismatch();                             // The two sides of an operation do not match
[[noreturn]] void RaiseValueInvalid(const AnsiString& what);        // A %s value is required but invalid

// Name of a value type in argument messages: "Text", "Number", "Date",
// "Boolean", else "Unknown Value".
AnsiString TypeName(std::uint8_t type);

// Truncates toward zero; raises "A Number value is required but invalid"
// when d is not finite or lies outside the 64-bit range.
std::int64_t TruncChecked(double d);
// A count argument: negative means 0, above kMaxCount raises.
std::size_t CountChecked(double d);

// Locale-free decimal conversion: optional sign, digits with an optional
// '.', optional exponent; surrounding blanks allowed. False for anything else.
bool ParseDecimal(std::string_view text, double& out);

}  // namespace expr
}  // namespace vx

namespace vx::expr {
// A day number from a numeric value: truncated; raises "A Date value is
// required but invalid" outside the 32-bit range.
std::int32_t DayChecked(double d);
}  // namespace vx::expr
