// TxbDBFDate: conversions between the class library's dates, the engine's
// day numbers and xBase date texts.
//
// A day number is a julian day (32 bits); 0 is the empty date. Day number =
// class-library date (days since 1899-12-30) + Offset, where Offset is
// 2444240 minus the class-library date of 1980-01-01 (2415019). Dates are
// proleptic Gregorian, years 1 to 9999; day numbers outside that range read
// as empty dates.
//
// One object, xbDBFDate, serves the whole engine.
#pragma once

#include <cstdint>

#include "platform/rtl/civil_days.h"
#include "platform/rtl/cp1251.h"

class TxbDBFDate {
 public:
  static constexpr std::int32_t kJulian1980 = 2444240;       // 1980-01-01
  static constexpr std::int64_t kJulianUnixEpoch = vx::kUnixDayOfJulian;  // 1970-01-01
  // Constant-initialised, so engine objects built before main can use it.
  constexpr TxbDBFDate() : Offset(kJulian1980 - (DayFromYMD(1980, 1, 1) - DayFromYMD(1899, 12, 30))) {}

  // Today's day number.
  std::int32_t TodayJulian() const;
  // 1 (Sunday) to 7 (Saturday); 0 for a day number below 1.
  int DayOfWeek(std::int32_t day) const;
  // "yyyymmdd"; 8 blanks for a day number of 0 or less (or out of range).
  AnsiString DTOS(std::int32_t day) const;
  // The date in the current short-date picture (FormatSettings), upper-cased;
  // with the century flag on, a picture with a Y gets its year widened to
  // "YYYY". A day number below 1 gives blanks as long as the picture.
  AnsiString DTOC(std::int32_t day) const;
  // Day number of a text: trailing blanks dropped; empty or "00000000" is 0;
  // 8 digits read as yyyymmdd; anything else through the class library's
  // date parser. An invalid date raises EConvertError.
  std::int32_t CTOD(const AnsiString& text) const;
  // The date formatted with a class-library date picture (FormatDateTime);
  // empty for a day number outside years 1..9999.
  AnsiString FormatDate(std::int32_t day, const AnsiString& picture) const;

  // The picture DTOC uses.
  AnsiString DatePicture() const;

  // Calendar arithmetic on day numbers (no range check on the way in).
  static constexpr std::int32_t DayFromYMD(int year, int month, int day) {
    return static_cast<std::int32_t>(vx::DaysFromCivil(year, month, day) + kJulianUnixEpoch);
  }
  // False when the day number lies outside years 1..9999.
  static bool YMDFromDay(std::int32_t dayNumber, int& year, int& month, int& day);
  static bool ValidYMD(int year, int month, int day);

  std::int32_t Offset;  // 2415019
  bool Century = true;
};

extern constinit TxbDBFDate xbDBFDate;
