// Civil dates (proleptic Gregorian) and day numbers.
//
// One conversion between a year/month/day and a count of days, counted from
// 1970-01-01 (day 0); each day-number system of the program is that count
// moved by its epoch constant below. Works for any year that fits; callers
// check their own ranges.
#pragma once

#include <cstdint>

namespace vx {

// Where 1970-01-01 lies in each day numbering the program keeps.
inline constexpr std::int64_t kUnixDayOfDateTime = 25569;  // class-library dates: 1899-12-30 is 0
inline constexpr std::int64_t kUnixDayOfJulian = 2440588;  // julian day numbers (xBase dates)
inline constexpr std::int64_t kUnixDayOfYearOne = 719163;  // 0001-01-01 is day 1 (native field dates)

struct CivilDate {
  std::int64_t year;
  int month;
  int day;
};

// Days from 1970-01-01 to the date (negative before it).
constexpr std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  const std::int64_t y = year - (month <= 2);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// The date `days` days after 1970-01-01.
constexpr CivilDate CivilFromDays(std::int64_t days) {
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2), month, day};
}

}  // namespace vx
