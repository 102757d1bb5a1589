#include "tables/base/xb_dates.h"

#include <cctype>
#include <cmath>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/sysutils.h"
#include "tables/base/xb_sysapi.h"

constinit TxbDBFDate xbDBFDate;

namespace {

constexpr std::int64_t kJulianUnixEpoch = TxbDBFDate::kJulianUnixEpoch;
constexpr std::int32_t kFirstDay = 1721426;  // 0001-01-01
constexpr std::int32_t kLastDay = 5373484;   // 9999-12-31

AnsiString TwoDigits(int v) {
  AnsiString s(2, '0');
  s[0] = static_cast<char>('0' + v / 10 % 10);
  s[1] = static_cast<char>('0' + v % 10);
  return s;
}

AnsiString FourDigits(int v) {
  AnsiString s(4, '0');
  for (int i = 3; i >= 0; --i, v /= 10) s[static_cast<std::size_t>(i)] = static_cast<char>('0' + v % 10);
  return s;
}

}  // namespace

bool TxbDBFDate::YMDFromDay(std::int32_t dayNumber, int& year, int& month, int& day) {
  year = month = day = 0;
  if (dayNumber < kFirstDay || dayNumber > kLastDay) return false;
  const vx::CivilDate date = vx::CivilFromDays(static_cast<std::int64_t>(dayNumber) - kJulianUnixEpoch);
  year = static_cast<int>(date.year);
  month = date.month;
  day = date.day;
  return true;
}

bool TxbDBFDate::ValidYMD(int year, int month, int day) {
  return year >= 1 && year <= 9999 && day >= 1 && day <= DaysInAMonth(year, month);
}

std::int32_t TxbDBFDate::TodayJulian() const { return static_cast<std::int32_t>(std::floor(Date())) + Offset; }

int TxbDBFDate::DayOfWeek(std::int32_t day) const {
  if (day < 1) return 0;
  return static_cast<int>((static_cast<std::int64_t>(day) + 1) % 7) + 1;
}

AnsiString TxbDBFDate::DTOS(std::int32_t day) const {
  int y = 0, m = 0, d = 0;
  if (day <= 0 || !YMDFromDay(day, y, m, d)) return AnsiString(8, ' ');
  return FourDigits(y) + TwoDigits(m) + TwoDigits(d);
}

AnsiString TxbDBFDate::DatePicture() const {
  AnsiString picture = SysXb_UpperCase(FormatSettings.ShortDateFormat);
  const std::size_t firstY = picture.find('Y');
  if (Century && firstY != AnsiString::npos)
    while (picture.find("YYYY") == AnsiString::npos) picture.insert(firstY, 1, 'Y');
  return picture;
}

AnsiString TxbDBFDate::DTOC(std::int32_t day) const {
  const AnsiString picture = DatePicture();
  int y = 0, m = 0, d = 0;
  if (day < 1 || !YMDFromDay(day, y, m, d)) return AnsiString(picture.size(), ' ');
  return FormatDate(day, picture);
}

AnsiString TxbDBFDate::FormatDate(std::int32_t day, const AnsiString& picture) const {
  int y = 0, m = 0, d = 0;
  if (!YMDFromDay(day, y, m, d)) return AnsiString();
  return FormatDateTime(picture, static_cast<TDateTime>(day - Offset));
}

std::int32_t TxbDBFDate::CTOD(const AnsiString& text) const {
  std::size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ') --n;
  const AnsiString value = text.substr(0, n);
  if (value.empty() || value == "00000000") return 0;
  bool digits = value.size() == 8;
  for (std::size_t i = 0; digits && i < 8; ++i) digits = std::isdigit(static_cast<unsigned char>(value[i])) != 0;
  if (digits) {
    const int y = std::stoi(value.substr(0, 4));
    const int m = std::stoi(value.substr(4, 2));
    const int d = std::stoi(value.substr(6, 2));
    if (!ValidYMD(y, m, d)) throw EConvertError("Invalid argument to date encode");
    return DayFromYMD(y, m, d);
  }
  return static_cast<std::int32_t>(std::trunc(StrToDate(value) + Offset));
}
