#include "RichGrid/date_parts.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/rtl/sysutils.h"

bool StrToDateByFormat(const AnsiString& text, TDateTime& date) {
  // Which of the three numbers holds the day, the month and the year.
  const AnsiString format = UpperCase(FormatSettings.ShortDateFormat);
  std::array<std::size_t, 3> firstAt = {format.find('D'), format.find('M'), format.find('Y')};
  std::array<int, 3> order = {0, 1, 2};  // order[k] = part (0 day, 1 month, 2 year) of the k-th number
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return firstAt[a] < firstAt[b]; });

  std::array<int, 3> part{};
  std::size_t start = 0;
  for (int k = 0; k < 3; ++k) {
    const std::size_t sep = k < 2 ? text.find(FormatSettings.DateSeparator, start) : AnsiString::npos;
    if (k < 2 && sep == AnsiString::npos) return false;
    const AnsiString piece = text.substr(start, sep == AnsiString::npos ? AnsiString::npos : sep - start);
    if (!TryStrToInt(piece, part[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])])) return false;
    start = sep + 1;
  }
  const int day = part[0], month = part[1], year = part[2];
  if (day >= 32 || month >= 13) return false;
  return TryEncodeDate(year, month, day, date);
}

bool IncDateParts(std::int16_t years, std::int16_t months, std::int16_t days, TDateTime span, TDateTime date,
                  TDateTime& result) {
  const bool y = years != 0, m = months != 0, d = days != 0;
  if (d && !y && !m) {
    result = date + days;
    return true;
  }
  if (!(y ^ m) || d) {
    result = date + span;
    return true;
  }
  Word year, month, day;
  DecodeDate(date, year, month, day);
  int targetYear = year + years;
  int targetMonth = month;
  if (m) {
    const int total = (year * 12 + (month - 1)) + months;
    targetYear = total / 12;
    targetMonth = total % 12 + 1;
  }
  TDateTime stepped = 0;
  if (!TryEncodeDate(targetYear, targetMonth, day, stepped)) return false;
  // The time of day stays (its magnitude counts forward from midnight).
  const double time = std::fabs(date - std::trunc(date));
  result = stepped >= 0 ? stepped + time : stepped - time;
  return true;
}
