// SysUtils-style helpers: exceptions, number <-> text conversion, Format,
// trimming, case mapping and comparison of CP1251 text, rounding.
//
// Every routine is independent of the C locale: numbers are written and read
// with FormatSettings.DecimalSeparator (default '.'), never through printf or
// strtod, so a Qt application that calls setlocale() changes nothing here.
//
// Text is AnsiString (8-bit CP1251). UpperCase/LowerCase/CompareText/SameText
// touch ASCII letters only; the Ansi* routines follow code page 1251, Cyrillic
// included.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/rtl/cp1251.h"
#include "platform/rtl/set.h"

// ---------------------------------------------------------------------------
// Exceptions. Message() is the text shown to the user (CP1251).

class Exception : public std::exception {
 public:
  explicit Exception(AnsiString message) : message_(std::move(message)) {}
  Exception(const Exception&) = default;
  Exception& operator=(const Exception&) = default;
  ~Exception() override = default;

  const AnsiString& Message() const noexcept { return message_; }
  void SetMessage(const AnsiString& m) { message_ = m; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  AnsiString message_;
};

#define VX_DECLARE_EXCEPTION(Name, Base) \
  class Name : public Base {             \
   public:                               \
    using Base::Base;                    \
  };

VX_DECLARE_EXCEPTION(EAbort, Exception)  // silent: handlers show nothing
VX_DECLARE_EXCEPTION(EConvertError, Exception)
VX_DECLARE_EXCEPTION(EIntError, Exception)
VX_DECLARE_EXCEPTION(ERangeError, EIntError)
VX_DECLARE_EXCEPTION(EIntOverflow, EIntError)
VX_DECLARE_EXCEPTION(EDivByZero, EIntError)
VX_DECLARE_EXCEPTION(EMathError, Exception)
VX_DECLARE_EXCEPTION(EInvalidOp, EMathError)  // e.g. Round of a value beyond 64 bits
VX_DECLARE_EXCEPTION(EZeroDivide, EMathError)
VX_DECLARE_EXCEPTION(EOverflow, EMathError)
VX_DECLARE_EXCEPTION(EInvalidOperation, Exception)  // an operation the object's state forbids
VX_DECLARE_EXCEPTION(EInvalidGridOperation, Exception)
VX_DECLARE_EXCEPTION(EInvalidCast, Exception)
VX_DECLARE_EXCEPTION(EAssertionFailed, Exception)  // a condition the code asserts does not hold
VX_DECLARE_EXCEPTION(EOutOfMemory, Exception)
VX_DECLARE_EXCEPTION(EListError, Exception)  // TList/TStrings index out of bounds ...
VX_DECLARE_EXCEPTION(EStringListError, EListError)
VX_DECLARE_EXCEPTION(EComponentError, Exception)
VX_DECLARE_EXCEPTION(EStreamError, Exception)
VX_DECLARE_EXCEPTION(EFCreateError, EStreamError)
VX_DECLARE_EXCEPTION(EFOpenError, EStreamError)
VX_DECLARE_EXCEPTION(EReadError, EStreamError)
VX_DECLARE_EXCEPTION(EWriteError, EStreamError)

// File input/output failure with the original platform's error number.
class EInOutError : public Exception {
 public:
  EInOutError(AnsiString message, int errorCode) : Exception(std::move(message)), ErrorCode(errorCode) {}
  int ErrorCode;
};

// ---------------------------------------------------------------------------
// Format settings: one mutable object; code may change any field at run time.

struct TFormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char DateSeparator = '.';
  char TimeSeparator = ':';
  AnsiString ShortDateFormat = "dd.mm.yyyy";
  AnsiString LongDateFormat = "d mmmm yyyy";
  AnsiString ShortTimeFormat = "hh:nn";
  AnsiString LongTimeFormat = "hh:nn:ss";
  AnsiString TimeAMString = "AM";
  AnsiString TimePMString = "PM";
  AnsiString CurrencyString = "";
  int CurrencyDecimals = 2;
  int TwoDigitYearCenturyWindow = 50;
  AnsiString ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  AnsiString LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
  AnsiString ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  AnsiString LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
};

// The settings every routine of this library reads.
extern TFormatSettings FormatSettings;

// ---------------------------------------------------------------------------
// Integers

AnsiString IntToStr(long long value);
// Uppercase hexadecimal, at least `digits` digits. A negative value is shown
// in the two's complement of its own type's width (IntToHex(-1, 1) with an
// int gives "FFFFFFFF").
AnsiString IntToHexBits(std::uint64_t bits, int digits);
template <typename T>
requires std::is_integral_v<T> AnsiString IntToHex(T value, int digits) {
  return IntToHexBits(static_cast<std::uint64_t>(static_cast<std::make_unsigned_t<T>>(value)), digits);
}

// Leading blanks, an optional sign, then decimal digits or '$' / "0x" and hex
// digits; nothing after. Out of range or malformed text raises EConvertError
// "'<text>' is not a valid integer value".
int StrToInt(const AnsiString& s);
long long StrToInt64(const AnsiString& s);
int StrToIntDef(const AnsiString& s, int def);
long long StrToInt64Def(const AnsiString& s, long long def);
bool TryStrToInt(const AnsiString& s, int& value);
bool TryStrToInt64(const AnsiString& s, long long& value);

// ---------------------------------------------------------------------------
// Floating point. Values are long double so code written for extended
// precision keeps it; doubles convert implicitly.

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
using enum TFloatFormat;

// ffGeneral: shortest of fixed and scientific with `precision` significant
// digits, trailing zeros removed; scientific when the integer part needs more
// than `precision` digits or the value is below 0.00001; `digits` is the
// minimum exponent width. ffExponent: "-d.ddd E+ddd" with `precision`
// significant digits. ffFixed: `digits` decimals. ffNumber: ffFixed with
// thousand separators. Rounding of the decimal digits is half away from zero.
AnsiString FloatToStrF(long double value, TFloatFormat format, int precision, int digits);
// FloatToStrF(value, ffGeneral, 15, 0): 0.1 + 0.2 gives "0.3", 1e20 "1E20".
AnsiString FloatToStr(long double value);
// Leading and trailing blanks, a sign, digits with one DecimalSeparator, an
// optional exponent. Anything else raises EConvertError
// "'<text>' is not a valid floating point value".
long double StrToFloat(const AnsiString& s);
long double StrToFloatDef(const AnsiString& s, long double def);
bool TryStrToFloat(const AnsiString& s, long double& value);
bool TryStrToFloat(const AnsiString& s, double& value);

// Rounds halves to even: Round(2.5) = 2, Round(3.5) = 4, Round(-2.5) = -2.
// A value outside the 64-bit range (or NaN) raises EInvalidOp.
long long Round(long double value);
// Drops the fraction toward zero; EInvalidOp outside the 64-bit range.
long long Trunc(long double value);
long double Frac(long double value);
long double Int(long double value);

// ---------------------------------------------------------------------------
// Format. The arguments are passed as a braced list:
//
//     Format("Line: %3d   Col: %3d", {line, col})
//     Format("%s - %.2f", {name, price})
//
// A specifier is  % [index:] [-] [width] [.precision] type  where width and
// precision may be '*' (taken from the next integer argument) and type is
//   d  decimal integer; precision = minimum digits (zero padded)
//   u  unsigned decimal (a negative argument reads as its two's complement)
//   x  uppercase hexadecimal; precision = minimum digits
//   e  scientific, precision = significant digits (default 15)
//   f  fixed, precision = decimals (default 2)
//   g  general, precision = significant digits (default 15)
//   n  like f with thousand separators
//   s  string (a char prints as a one-character string); precision = max length
//   %% a percent sign.
// A missing argument or one of the wrong kind raises EConvertError
// "Format '<format>' invalid or incompatible with argument".

class TFormatArg {
 public:
  enum class Kind { Int, UInt, Float, String };

  template <typename T>
  requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>) TFormatArg(T v) {
    if constexpr (std::is_signed_v<T>) {
      kind_ = Kind::Int;
      i_ = v;
      negativeBits_ = sizeof(T) <= 4 ? 32 : 64;
    } else {
      kind_ = Kind::UInt;
      u_ = v;
    }
  }
  TFormatArg(char c) : kind_(Kind::String), s_(&charStore_, 1), charStore_(c) {}
  TFormatArg(float v) : kind_(Kind::Float), f_(v) {}
  TFormatArg(double v) : kind_(Kind::Float), f_(v) {}
  TFormatArg(long double v) : kind_(Kind::Float), f_(v) {}
  TFormatArg(const char* s) : kind_(Kind::String), s_(s ? std::string_view(s) : std::string_view()) {}
  TFormatArg(std::string_view s) : kind_(Kind::String), s_(s) {}
  TFormatArg(const AnsiString& s) : kind_(Kind::String), s_(s) {}
  template <std::size_t N>
  TFormatArg(const vx::cp1251::Literal<N>& s) : kind_(Kind::String), s_(s.view()) {}

  TFormatArg(const TFormatArg& o)
      : kind_(o.kind_),
        i_(o.i_),
        u_(o.u_),
        f_(o.f_),
        s_(o.s_),
        charStore_(o.charStore_),
        negativeBits_(o.negativeBits_) {
    if (o.s_.data() == &o.charStore_) s_ = std::string_view(&charStore_, 1);
  }
  TFormatArg& operator=(const TFormatArg&) = delete;

  Kind kind() const { return kind_; }
  long long intValue() const { return i_; }
  unsigned long long uintValue() const { return u_; }
  long double floatValue() const { return f_; }
  std::string_view stringValue() const { return s_; }
  // Width in bits of a signed argument, for %u and %x of negatives.
  int signedBits() const { return negativeBits_; }

 private:
  Kind kind_ = Kind::Int;
  long long i_ = 0;
  unsigned long long u_ = 0;
  long double f_ = 0;
  std::string_view s_;
  char charStore_ = 0;
  int negativeBits_ = 64;
};

AnsiString Format(std::string_view format, std::initializer_list<TFormatArg> args);

// ---------------------------------------------------------------------------
// Strings

// Remove characters up to and including ' ' (0x00..0x20) from the ends.
AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);

// ASCII only.
AnsiString UpperCase(const AnsiString& s);
AnsiString LowerCase(const AnsiString& s);
// Byte order after ASCII upper-casing; <0, 0, >0.
int CompareStr(const AnsiString& a, const AnsiString& b);
int CompareText(const AnsiString& a, const AnsiString& b);
bool SameText(const AnsiString& a, const AnsiString& b);

// Code page 1251 (Latin, Cyrillic, and the other letters of the code page).
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
AnsiString AnsiUpperCase(const AnsiString& s);
AnsiString AnsiLowerCase(const AnsiString& s);
// Dictionary order as the user's locale sorts: symbols before digits before
// letters, Latin before Cyrillic, Ё right after Е; hyphens and apostrophes
// only count when the rest is equal. AnsiCompareStr puts a lower-case letter
// before its upper-case form when the texts are otherwise equal;
// AnsiCompareText ignores case. <0, 0, >0.
int AnsiCompareStr(const AnsiString& a, const AnsiString& b);
int AnsiCompareText(const AnsiString& a, const AnsiString& b);
bool AnsiSameStr(const AnsiString& a, const AnsiString& b);
bool AnsiSameText(const AnsiString& a, const AnsiString& b);

// 'text' with inner quotes doubled.
AnsiString QuotedStr(const AnsiString& s);

enum class TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using enum TReplaceFlag;
using TReplaceFlags = TSet<TReplaceFlag>;
// rfIgnoreCase compares with AnsiUpperCase.
AnsiString StringReplace(const AnsiString& s, const AnsiString& oldPattern, const AnsiString& newPattern,
                         TReplaceFlags flags);

AnsiString StringOfChar(char c, int count);
// 1-based position of `sub` in `s`, 0 when absent.
int Pos(const AnsiString& sub, const AnsiString& s);
// 1-based substring; out-of-range start or count are clipped, never an error.
AnsiString Copy(const AnsiString& s, int index, int count);
