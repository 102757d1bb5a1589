// Dates as the grid reads them from cell texts and steps them in a series.
#pragma once

#include <cstdint>

#include "platform/rtl/dateutils.h"

// A text of three numbers separated by FormatSettings.DateSeparator, in the
// order in which 'D', 'M' and 'Y' first appear in the upper-cased
// ShortDateFormat. True, with the date, when all three are numbers, the day
// is below 32, the month below 13 and they form a valid date.
bool StrToDateByFormat(const AnsiString& text, TDateTime& date);

// One step of a date series:
//   only days non-zero    date + days
//   only years non-zero   the same day and month years later
//   only months non-zero  the month moved by months (carried into the year
//                         as far as needed), the day kept
//   anything else         date + span.
// Returns false, leaving `result` alone, when the target day does not exist
// (29 February in a common year, 31 April ...) or the year leaves 1..9999:
// the series ends there.
bool IncDateParts(std::int16_t years, std::int16_t months, std::int16_t days, TDateTime span, TDateTime date,
                  TDateTime& result);
