// Dates and times as the class library keeps them.
//
// TDateTime is a double: the integral part counts days from 1899-12-30 (day
// 0), the fraction is the time of day (0.5 = noon). Before day 0 the
// integral part is negative and the fraction still counts forward from
// midnight as a magnitude: -1.25 is 1899-12-29 06:00.
//
// Texts follow the mutable FormatSettings (sysutils.h): DateSeparator,
// TimeSeparator, ShortDateFormat, LongDateFormat, LongTimeFormat, month and
// day names. Now(), Date() and Time() read a replaceable clock.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/rtl/sysutils.h"

using TDateTime = double;
using TDate = TDateTime;
using TTime = TDateTime;
using Word = std::uint16_t;

inline constexpr double HoursPerDay = 24;
inline constexpr double MinsPerDay = 24 * 60;
inline constexpr double SecsPerDay = 24 * 60 * 60;
inline constexpr double MSecsPerDay = 24.0 * 60 * 60 * 1000;
// Days from 0001-01-01 to 1899-12-30.
inline constexpr int DateDelta = 693594;

bool IsLeapYear(int year);
// 28..31; 0 for a month outside 1..12.
int DaysInAMonth(int year, int month);

// Year 1..9999, month 1..12, day within the month; otherwise
// EConvertError "Invalid argument to date encode".
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
// Also gives the day of the week, 1 = Sunday .. 7 = Saturday.
bool DecodeDateFully(TDateTime date, Word& year, Word& month, Word& day, Word& dayOfWeek);

// Hour 0..23, minute and second 0..59, millisecond 0..999; otherwise
// EConvertError "Invalid argument to time encode".
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
// The time of day, rounded to the millisecond.
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime date);

TDateTime Now();
TDateTime Date();  // today, midnight
TDateTime Time();  // the time of day of Now()

namespace vx {
// Installs the clock that Now, Date and Time read (local time as a
// TDateTime); an empty function restores the system clock.
void SetClock(std::function<TDateTime()> clock);
}  // namespace vx

// FormatDateTime specifiers (letters in any case):
//   c       ShortDateFormat, then LongTimeFormat unless the time is midnight
//   d dd    day without / with leading zero; ddd dddd short / long day name
//   ddddd   ShortDateFormat; dddddd LongDateFormat
//   m mm    month (minute when right after h or hh); mmm mmmm month names
//   yy yyyy two- / four-digit year
//   h hh    hour (12-hour when an am/pm specifier follows); n nn minute;
//   s ss    second; z zzz millisecond
//   t tt    ShortTimeFormat / LongTimeFormat
//   am/pm a/p ampm   12-hour marker
//   /  :    DateSeparator / TimeSeparator
//   'x' "x" literal text; any other character is copied.
AnsiString FormatDateTime(const AnsiString& format, TDateTime dateTime);
AnsiString DateToStr(TDateTime date);
AnsiString TimeToStr(TDateTime time);
AnsiString DateTimeToStr(TDateTime dateTime);

// Reads up to three numbers separated by DateSeparator in the order that
// ShortDateFormat gives (D, M, Y); without a year, the current year; a year
// of one or two digits is placed within TwoDigitYearCenturyWindow years of
// the current one. Blanks around the numbers are allowed, nothing else.
// EConvertError "'<text>' is not a valid date".
TDateTime StrToDate(const AnsiString& s);
bool TryStrToDate(const AnsiString& s, TDateTime& date);
// The same with the separator, order and year window of `settings`.
TDateTime StrToDate(const AnsiString& s, const TFormatSettings& settings);
bool TryStrToDate(const AnsiString& s, TDateTime& date, const TFormatSettings& settings);
// "h:n[:s[.z]]" with an optional AM/PM. EConvertError "'<text>' is not a valid time".
TDateTime StrToTime(const AnsiString& s);
bool TryStrToTime(const AnsiString& s, TDateTime& time);
// A date, optionally followed by blanks and a time.
// EConvertError "'<text>' is not a valid date and time".
TDateTime StrToDateTime(const AnsiString& s);
bool TryStrToDateTime(const AnsiString& s, TDateTime& dateTime);

// DOS packed date-time (as file times are given) <-> TDateTime.
TDateTime FileDateToDateTime(int fileDate);
int DateTimeToFileDate(TDateTime dateTime);
