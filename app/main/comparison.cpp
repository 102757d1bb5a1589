#include "app/main/comparison.h"

#include <algorithm>

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
  // Counts of the draw's numbers; numbers outside the table are compared
  // one by one.
  constexpr int kTable = 256;
  std::array<int, kTable> count{};
  std::vector<int> others;
  for (const ComparedDraw& draw : draws) {
    count.fill(0);
    others.clear();
    for (int v : draw.numbers) {
      if (v >= 0 && v < kTable) ++count[static_cast<std::size_t>(v)];
      else others.push_back(v);
    }
    for (std::size_t r = 0; r < results.size(); ++r) {
      int hits = 0;
      for (int v : results[r]) {
        if (v >= 0 && v < kTable) hits += count[static_cast<std::size_t>(v)];
        else if (!others.empty()) hits += static_cast<int>(std::count(others.begin(), others.end(), v));
      }
      if (hits < static_cast<int>(prizes.size()))
        report.won += Currency{prizes[static_cast<std::size_t>(hits)]} * CurrencyScale;
      if (hits >= threshold) {
        report.text += texts.inDraw;
        report.text += ' ';
        report.text += draw.label;
        report.text += " - ";
        report.text += std::to_string(hits);
        report.text += ' ';
        report.text += texts.matchesWith;
        report.text += ' ';
        report.text += std::to_string(r + 1);
        report.text += "\r\n";
      }
    }
  }
  report.spent =
      static_cast<Currency>(results.size()) * static_cast<Currency>(draws.size()) * Currency{cost} * CurrencyScale;
  report.text += "-------------------------\r\n";
  report.text +=
      texts.spent + " " + CurrencyText(report.spent) + ",  " + texts.won + " " + CurrencyText(report.won) + "\r\n";
  return report;
}

}  // namespace vx
