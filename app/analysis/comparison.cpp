#include "app/analysis/comparison.h"

#include <algorithm>
#include <cstdint>

#include "app/analysis/number_set.h"
#include "platform/rtl/sysutils.h"

namespace vx {

AnsiString CurrencyText(Currency amount) {
  const bool negative = amount < 0;
  const std::uint64_t magnitude =
      negative ? static_cast<std::uint64_t>(-(amount + 1)) + 1 : static_cast<std::uint64_t>(amount);
  AnsiString text = std::to_string(magnitude / CurrencyScale);
  std::uint64_t fraction = magnitude % CurrencyScale;
  if (fraction) {
    AnsiString digits = std::to_string(fraction + CurrencyScale).substr(1);
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    text += FormatSettings.DecimalSeparator + digits;
  }
  return negative ? "-" + text : text;
}

ComparisonReport CompareResults(const std::vector<std::vector<int>>& results, const std::vector<ComparedDraw>& draws,
                                int threshold, const std::array<int, 22>& prizes, int cost,
                                const ComparisonTexts& texts) {
  ComparisonReport report;
  // The results as sets of numbers; the few that are not sets (a repeat,
  // a number outside 0..127) are counted pair by pair.
  std::vector<std::uint64_t> lows(results.size()), highs(results.size());
  std::vector<std::size_t> inexact;
  bool anyHigh = false;
  for (std::size_t r = 0; r < results.size(); ++r) {
    const NumberSet s = SetOf(results[r]);
    if (!s.exact) inexact.push_back(r);
    lows[r] = s.low;
    highs[r] = s.high;
    anyHigh = anyHigh || s.high;
  }
  std::array<Currency, 256> prizeOf{};
  for (std::size_t h = 0; h < prizes.size(); ++h) prizeOf[h] = Currency{prizes[h]} * CurrencyScale;

  // One line: prefix, hits, " <matches with> ", result number, CR LF.
  const AnsiString middle = " " + texts.matchesWith + " ";
  AnsiString prefix;
  auto line = [&](int hits, std::size_t r) {
    char tail[48];
    char* p = tail;
    auto put = [&p](std::size_t value) {
      char digits[24];
      int n = 0;
      do digits[n++] = static_cast<char>('0' + value % 10);
      while (value /= 10);
      while (n) *p++ = digits[--n];
    };
    report.text += prefix;
    put(static_cast<std::size_t>(hits));
    report.text.append(tail, p);
    report.text += middle;
    p = tail;
    put(r + 1);
    *p++ = '\r';
    *p++ = '\n';
    report.text.append(tail, p);
  };
  // Pair by pair: counts of the draw's numbers.
  NumberCounts count;
  std::vector<int> met(results.size());
  for (const ComparedDraw& draw : draws) {
    prefix = texts.inDraw + " " + draw.label + " - ";
    count.Assign(draw.numbers);
    const NumberSet d = SetOf(draw.numbers);
    if (d.exact) {
      const std::uint64_t* high = anyHigh && d.high ? highs.data() : nullptr;
      MeetSets(lows.data(), high, results.size(), d, met.data());
      for (std::size_t r : inexact) met[r] = count.PairsWith(results[r]);
    } else {
      for (std::size_t r = 0; r < results.size(); ++r) met[r] = count.PairsWith(results[r]);
    }
    for (std::size_t r = 0; r < results.size(); ++r) {
      const int hits = met[r];
      if (hits < static_cast<int>(prizeOf.size())) report.won += prizeOf[static_cast<std::size_t>(hits)];
      if (hits >= threshold) line(hits, r);
    }
    // The first draw tells roughly how long the report grows.
    if (&draw == &draws.front()) report.text.reserve(report.text.size() * draws.size() + report.text.size() / 4 + 256);
  }
  report.spent =
      static_cast<Currency>(results.size()) * static_cast<Currency>(draws.size()) * Currency{cost} * CurrencyScale;
  report.text += "-------------------------\r\n";
  report.text +=
      texts.spent + " " + CurrencyText(report.spent) + ",  " + texts.won + " " + CurrencyText(report.won) + "\r\n";
  return report;
}

}  // namespace vx
