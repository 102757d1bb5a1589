// The few services of the engine's foundation that the expression language
// uses, gathered in one place: code-page case mapping and collation, and
// the date object's conversions.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/rtl/cp1251.h"

namespace vx::expr {

// Upper / lower case by the code page's rules (Cyrillic too).
AnsiString UpperText(const AnsiString& s);
AnsiString LowerText(const AnsiString& s);
char UpperChar(char c);
char LowerChar(char c);

// Collation order of two texts: <0, 0, >0. Equal only when the bytes are
// equal (after case folding when caseInsensitive).
int CollateTexts(std::string_view a, std::string_view b, bool caseInsensitive);

// Date object conversions on engine day numbers.
std::int32_t TodayDay();
std::int32_t TextToDay(const AnsiString& text);  // CTOD; raises EXBaseExpression on a bad date
AnsiString DayToText(std::int32_t day);          // DTOC, current short-date picture
AnsiString DayToSortText(std::int32_t day);      // DTOS, "yyyymmdd"
int DayOfWeekOf(std::int32_t day);               // 1 Sunday .. 7 Saturday, 0 for an empty date

// The text form of a number as the engine's value holder writes it.
AnsiString NumberToText(double value);

}  // namespace vx::expr
