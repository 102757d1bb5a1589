#include "platform/rtl/dateutils.h"

#include <sys/time.h>

#include <cmath>
#include <ctime>
#include <mutex>

#include "platform/rtl/civil_days.h"

namespace {

constexpr long long kMsPerDay = 86400000;

// Days since 1899-12-30 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  return vx::DaysFromCivil(y, static_cast<int>(m), static_cast<int>(d)) + vx::kUnixDayOfDateTime;
}

void CivilFromDays(long long days, long long& y, unsigned& m, unsigned& d) {
  const vx::CivilDate date = vx::CivilFromDays(days - vx::kUnixDayOfDateTime);
  y = date.year;
  m = static_cast<unsigned>(date.month);
  d = static_cast<unsigned>(date.day);
}

// Splits a TDateTime into whole days and milliseconds of the day, rounding
// to the millisecond first (so 23:59:59.9999 becomes the next midnight).
void Split(TDateTime dt, long long& days, long long& ms) {
  if (!std::isfinite(dt) || std::fabs(dt) > 3e6) throw EConvertError("Invalid date/time value");
  const long long total = std::llround(dt * static_cast<double>(kMsPerDay));
  days = total / kMsPerDay;
  ms = total % kMsPerDay;
  if (ms < 0) ms = -ms;
}

std::mutex clockMutex;
std::function<TDateTime()> customClock;

TDateTime SystemNow() {
  timeval tv{};
  ::gettimeofday(&tv, nullptr);
  const std::time_t secs = tv.tv_sec;
  std::tm local{};
  ::localtime_r(&secs, &local);
  TDateTime date = static_cast<double>(DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                                     static_cast<unsigned>(local.tm_mday)));
  const double ms =
      ((local.tm_hour * 60.0 + local.tm_min) * 60.0 + local.tm_sec) * 1000.0 + static_cast<double>(tv.tv_usec / 1000);
  return date + ms / static_cast<double>(kMsPerDay);
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
  date = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)));
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
  return d;
}

bool DecodeDateFully(TDateTime date, Word& year, Word& month, Word& day, Word& dayOfWeek) {
  long long days, ms;
  Split(date, days, ms);
  long long y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  if (y < 1 || y > 9999) {
    year = month = day = dayOfWeek = 0;
    return false;
  }
  year = static_cast<Word>(y);
  month = static_cast<Word>(m);
  day = static_cast<Word>(d);
  // Day 0 (1899-12-30) was a Saturday.
  dayOfWeek = static_cast<Word>(((days % 7) + 7 + 6) % 7 + 1);
  return IsLeapYear(static_cast<int>(y));
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
  Word dow;
  DecodeDateFully(date, year, month, day, dow);
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999) return false;
  time = (((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / static_cast<double>(kMsPerDay);
  return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError("Invalid argument to time encode");
  return t;
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
  long long days, ms;
  Split(time, days, ms);
  hour = static_cast<Word>(ms / 3600000);
  min = static_cast<Word>(ms / 60000 % 60);
  sec = static_cast<Word>(ms / 1000 % 60);
  msec = static_cast<Word>(ms % 1000);
}

int DayOfWeek(TDateTime date) {
  Word y, m, d, dow;
  DecodeDateFully(date, y, m, d, dow);
  if (dow == 0) {
    long long days, ms;
    Split(date, days, ms);
    return static_cast<int>(((days % 7) + 7 + 6) % 7 + 1);
  }
  return dow;
}

void vx::SetClock(std::function<TDateTime()> clock) {
  std::lock_guard<std::mutex> lock(clockMutex);
  customClock = std::move(clock);
}

TDateTime Now() {
  std::function<TDateTime()> clock;
  {
    std::lock_guard<std::mutex> lock(clockMutex);
    clock = customClock;
  }
  return clock ? clock() : SystemNow();
}

TDateTime Date() { return std::floor(Now()); }

TDateTime Time() {
  const TDateTime now = Now();
  return now - std::floor(now);
}

// ---------------------------------------------------------------------------
// File dates: bits 0-4 seconds/2, 5-10 minute, 11-15 hour, 16-20 day,
// 21-24 month, 25-31 year - 1980.

TDateTime FileDateToDateTime(int fileDate) {
  const auto u = static_cast<std::uint32_t>(fileDate);
  TDateTime date, time;
  if (!TryEncodeDate(static_cast<int>(u >> 25) + 1980, static_cast<int>(u >> 21 & 15), static_cast<int>(u >> 16 & 31),
                     date) ||
      !TryEncodeTime(static_cast<int>(u >> 11 & 31), static_cast<int>(u >> 5 & 63), static_cast<int>(u & 31) * 2, 0,
                     time))
    throw EConvertError("Invalid argument to date encode");
  return date + time;
}

int DateTimeToFileDate(TDateTime dateTime) {
  Word y, m, d, h, n, s, ms;
  DecodeDate(dateTime, y, m, d);
  if (y < 1980 || y > 2107) return 0;
  DecodeTime(dateTime, h, n, s, ms);
  const std::uint32_t v = static_cast<std::uint32_t>(y - 1980) << 25 | static_cast<std::uint32_t>(m) << 21 |
                          static_cast<std::uint32_t>(d) << 16 | static_cast<std::uint32_t>(h) << 11 |
                          static_cast<std::uint32_t>(n) << 5 | static_cast<std::uint32_t>(s / 2);
  return static_cast<int>(v);
}
