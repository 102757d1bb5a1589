// Comparison of results (generated combinations) with real draws: for
// every (draw, result) pair the count of coincidences, the prize it wins,
// the report lines of the pairs at or above a threshold and the totals
// spent and won.
//
// A coincidence is an equal (draw number, result number) pair, so a number
// repeated inside a result counts once per repetition. The pairs are
// counted pair by pair as two sets of numbers meet (or one by one where a
// list repeats a number), never kept as a draws x results matrix; the
// report is built in one text.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/rtl/cp1251.h"

namespace vx {

// Currency amounts: fixed point, four decimals (value * 10000).
using Currency = std::int64_t;
inline constexpr Currency CurrencyScale = 10000;

// Integral digits of a currency amount with the decimals it needs ("1500",
// "-2.5"), as the currency-to-text conversion writes it.
AnsiString CurrencyText(Currency amount);

struct ComparedDraw {
  AnsiString label;  // "<year> год <draw> тираж "
  std::vector<int> numbers;
};

struct ComparisonTexts {
  AnsiString inDraw;       // "В тираже"
  AnsiString matchesWith;  // "совпадений c вариантом"
  AnsiString spent;        // "Затрачено"
  AnsiString won;          // "Выиграно"
};

struct ComparisonReport {
  AnsiString text;  // every line ends with CR LF
  Currency spent = 0;
  Currency won = 0;
};

// prizes[h] is the prize for h coincidences (more than 21 win nothing);
// cost is the price of one combination in one draw.
ComparisonReport CompareResults(const std::vector<std::vector<int>>& results, const std::vector<ComparedDraw>& draws,
                                int threshold, const std::array<int, 22>& prizes, int cost,
                                const ComparisonTexts& texts);

}  // namespace vx
