#include "app/analysis/random_draws.h"

#include <algorithm>
#include <set>

#include "platform/rtl/sysutils.h"

namespace vx {

namespace {

bool InRange(int v, int n) { return v >= 1 && v <= n; }

AnsiString LogLine(std::size_t draw, int number) {
  return "Draw № "_cp + std::to_string(draw + 1) + " : " + " num = " + IntToStr(number);
}

}  // namespace

ScanEnd WeightByRecency(DrawSource& source, int yearTo, int drawTo, Weights& weights, const StopPoll& poll) {
  const int n = static_cast<int>(weights.size());
  std::vector<std::int64_t> wide(weights.size(), 0);
  std::int64_t k = 0, sum = 0;
  ScanEnd end = ScanEnd::EndOfBase;
  while (!source.Eof()) {
    for (int i = 0; i < source.NumberCount(); ++i) {
      const int v = source.Number(i);
      if (InRange(v, n)) wide[static_cast<std::size_t>(v - 1)] += k + 1;
    }
    ++k;
    sum += k;
    if (source.Year() == yearTo && source.Draw() == drawTo) {
      end = ScanEnd::EndDraw;
      break;
    }
    if (poll && poll()) return ScanEnd::Stopped;
    source.Next();
  }
  for (std::int64_t& w : wide) w = sum - w;
  NormalizeProbabilities(wide, weights);
  return end;
}

std::vector<std::vector<int>> ReadRange(DrawSource& source, int yearTo, int drawTo, const StopPoll& poll,
                                        ScanEnd& end) {
  std::vector<std::vector<int>> rows;
  end = ScanEnd::EndOfBase;
  while (!source.Eof()) {
    std::vector<int>& row = rows.emplace_back(static_cast<std::size_t>(source.NumberCount()));
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = source.Number(static_cast<int>(i));
    if (source.Year() == yearTo && source.Draw() == drawTo) {
      end = ScanEnd::EndDraw;
      break;
    }
    if (poll && poll()) {
      end = ScanEnd::Stopped;
      break;
    }
    source.Next();
  }
  return rows;
}

DrawSystemEnd RandomDrawSystem(const std::vector<std::vector<int>>& rows, int perDraw, int total, Weights& weights,
                               RandomSource& random, const StopPoll& poll, const DrawLog& log) {
  std::fill(weights.begin(), weights.end(), 0);
  const int n = static_cast<int>(weights.size());
  auto untaken = [&](int v) { return InRange(v, n) && weights[static_cast<std::size_t>(v - 1)] <= 0; };
  auto hasUntaken = [&](const std::vector<int>& row) { return std::any_of(row.begin(), row.end(), untaken); };
  const int rowCount = static_cast<int>(rows.size());
  int taken = 1;
  while (taken <= total) {
    if (std::none_of(rows.begin(), rows.end(), hasUntaken)) return DrawSystemEnd::Exhausted;
    const auto d = static_cast<std::size_t>(random.Next(rowCount));
    const std::vector<int>& row = rows[d];
    for (int j = 1; j <= perDraw && hasUntaken(row);) {
      const int x = row[static_cast<std::size_t>(random.Next(static_cast<int>(row.size())))];
      if (poll && poll()) return DrawSystemEnd::Stopped;
      if (!untaken(x)) continue;
      if (log) log(LogLine(d, x));
      weights[static_cast<std::size_t>(x - 1)] += 1;
      ++j;
      ++taken;
    }
  }
  return DrawSystemEnd::Done;
}

DrawSystemEnd GenerateFromDraws(const std::vector<std::vector<int>>& rows, int k, int perDraw, int n, int count,
                                RandomSource& random, const StopPoll& poll, const DrawLog& log,
                                const std::function<bool(const std::vector<int>&)>& accept,
                                const std::function<void(int, const std::vector<int>&)>& store) {
  std::set<int> distinct;
  for (const auto& row : rows)
    for (int v : row)
      if (InRange(v, n)) distinct.insert(v);
  if (static_cast<int>(distinct.size()) < k) return DrawSystemEnd::Exhausted;
  const int rowCount = static_cast<int>(rows.size());
  std::vector<int> combination;
  auto fresh = [&](int v) {
    return InRange(v, n) && std::find(combination.begin(), combination.end(), v) == combination.end();
  };
  for (int c = 1; c <= count;) {
    combination.clear();
    if (log) log(AnsiString());
    while (static_cast<int>(combination.size()) < k) {
      const auto d = static_cast<std::size_t>(random.Next(rowCount));
      const std::vector<int>& row = rows[d];
      for (int j = 1;
           j <= perDraw && static_cast<int>(combination.size()) < k && std::any_of(row.begin(), row.end(), fresh);) {
        const int x = row[static_cast<std::size_t>(random.Next(static_cast<int>(row.size())))];
        if (poll && poll()) return DrawSystemEnd::Stopped;
        if (!fresh(x)) continue;
        if (log) log(LogLine(d, x));
        combination.push_back(x);
        ++j;
      }
    }
    if (accept && !accept(combination)) continue;
    store(c, combination);
    ++c;
  }
  return DrawSystemEnd::Done;
}

}  // namespace vx
