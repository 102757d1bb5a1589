#include "app/main/comparison.h"

#include <algorithm>
#include <cstdint>

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

namespace {

// The set of numbers 0..127 of a draw or result, when it has no repeats
// and no other values (then two sets meet in as many numbers as the two
// lists have equal pairs).
struct NumberSet {
  std::uint64_t low = 0, high = 0;
  bool exact = true;
};

NumberSet SetOf(const std::vector<int>& numbers) {
  NumberSet s;
  for (int v : numbers) {
    if (v < 0 || v > 127) return {0, 0, false};
    std::uint64_t& word = v < 64 ? s.low : s.high;
    const std::uint64_t bit = std::uint64_t{1} << (v & 63);
    if (word & bit) return {0, 0, false};
    word |= bit;
  }
  return s;
}

inline int Bits(std::uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555ULL);
  x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

// How many numbers of the draw's set each result's set holds (the high
// words only when given), with the processor's bit count where it has one.
__attribute__((target("popcnt"))) void MeetCounted(const std::uint64_t* low, const std::uint64_t* high, std::size_t n,
                                                   NumberSet d, int* out) {
  for (std::size_t i = 0; i < n; ++i) out[i] = __builtin_popcountll(low[i] & d.low);
  if (high)
    for (std::size_t i = 0; i < n; ++i) out[i] += __builtin_popcountll(high[i] & d.high);
}

void MeetPlain(const std::uint64_t* low, const std::uint64_t* high, std::size_t n, NumberSet d, int* out) {
  for (std::size_t i = 0; i < n; ++i) out[i] = Bits(low[i] & d.low) + (high ? Bits(high[i] & d.high) : 0);
}

}  // namespace

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
  static const bool counted = __builtin_cpu_supports("popcnt");
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
  // Pair by pair: counts of the draw's numbers (others compared one by one).
  constexpr int kTable = 128;
  std::array<int, kTable> count{};
  std::vector<int> others, met(results.size());
  auto pairs = [&](const std::vector<int>& result) {
    int hits = 0;
    for (int v : result) {
      if (v >= 0 && v < kTable) hits += count[static_cast<std::size_t>(v)];
      else if (!others.empty()) hits += static_cast<int>(std::count(others.begin(), others.end(), v));
    }
    return hits;
  };
  for (const ComparedDraw& draw : draws) {
    prefix = texts.inDraw + " " + draw.label + " - ";
    count.fill(0);
    others.clear();
    for (int v : draw.numbers) {
      if (v >= 0 && v < kTable) ++count[static_cast<std::size_t>(v)];
      else others.push_back(v);
    }
    const NumberSet d = SetOf(draw.numbers);
    if (d.exact) {
      const std::uint64_t* high = anyHigh && d.high ? highs.data() : nullptr;
      (counted ? MeetCounted : MeetPlain)(lows.data(), high, results.size(), d, met.data());
      for (std::size_t r : inexact) met[r] = pairs(results[r]);
    } else {
      for (std::size_t r = 0; r < results.size(); ++r) met[r] = pairs(results[r]);
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
