#include "app/analysis/statistics.h"

#include <algorithm>

namespace vx {

namespace {

bool AtDraw(DrawSource& source, int year, int draw) { return source.Year() == year && source.Draw() == draw; }

// The numbers of the current record, each checked against 1..highest.
void ReadNumbers(DrawSource& source, int highest, std::vector<int>& numbers) {
  numbers.resize(static_cast<std::size_t>(std::max(source.NumberCount(), 0)));
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const int v = source.Number(static_cast<int>(i));
    if (v < 1 || v > highest) throw EDrawNumber(source.Year(), source.Draw(), v);
    numbers[i] = v;
  }
}

// Steps to the next record of a range walk; false after the To draw or at
// the end of the table (which `end` then records).
bool NextInRange(DrawSource& source, int yearTo, int drawTo, StatisticResult& end) {
  if (AtDraw(source, yearTo, drawTo)) return false;
  source.Next();
  if (!source.Eof()) return true;
  end.EndOfBase = true;
  return false;
}

long long RoundQuotient(long long numerator, long long denominator) {
  return Round(static_cast<long double>(numerator) / static_cast<long double>(denominator));
}

}  // namespace

long long Calc9summ(long long n) {
  while (n > 9) n = n / 10 + n % 10;
  return n;
}

EDrawNumber::EDrawNumber(int year, int draw, int number)
    : Exception(IntToStr(year) + "/" + IntToStr(draw) + " " + IntToStr(number)),
      Year(year),
      Draw(draw),
      Number(number) {}

StatisticResult IntervalStatistic(DrawSource& source, int yearTo, int drawTo, int highest) {
  highest = std::max(highest, 0);
  const auto size = static_cast<std::size_t>(highest) + 1;
  std::vector<long long> count(size), last(size), sum(size), largest(size), smallest(size);
  StatisticResult result;
  std::vector<int> numbers;
  long long k = 1;
  if (source.Eof()) result.EndOfBase = true;
  else do {
      ReadNumbers(source, highest, numbers);
      for (int v : numbers) {
        const auto n = static_cast<std::size_t>(v);
        const long long gap = k - last[n];
        if (++count[n] == 2) {
          largest[n] = smallest[n] = sum[n] = gap;
        } else if (count[n] > 2) {
          sum[n] += gap;
          largest[n] = std::max(largest[n], gap);
          smallest[n] = std::min(smallest[n], gap);
        }
        last[n] = k;
      }
      ++k;
    } while (NextInRange(source, yearTo, drawTo, result));

  const long long draws = k - 1;
  result.Count = static_cast<int>(draws);
  NumberTable& t = result.Table;
  t.Width = 7;
  for (int v = 1; v <= highest; ++v) {
    const auto n = static_cast<std::size_t>(v);
    const int r = t.AddRow();
    t.At(0, r) = v;
    t.At(1, r) = count[n];
    t.At(2, r) = draws - last[n];
    t.At(3, r) = count[n] == 1 ? 0 : RoundQuotient(sum[n], count[n] - 1);
    t.At(4, r) = largest[n];
    t.At(5, r) = smallest[n];
    const long double expected =
        static_cast<long double>((count[n] + 2) * (last[n] + 1)) / static_cast<long double>(count[n] + 1) - 1.0L;
    t.At(6, r) = Round(expected) - draws;
  }
  return result;
}

StatisticResult NonaryStatistic(DrawSource& source) {
  StatisticResult result;
  NumberTable& t = result.Table;
  source.First();
  t.Width = std::max(source.NumberCount(), 0) + 3;
  for (; !source.Eof(); source.Next()) {
    const int r = t.AddRow();
    t.At(0, r) = source.Year();
    t.At(1, r) = source.Draw();
    const int count = std::min(source.NumberCount(), t.Width - 3);
    long long total = 0;
    for (int i = 0; i < count; ++i) {
      const int v = source.Number(i);
      total += v;
      t.At(2 + i, r) = Calc9summ(v);
    }
    t.At(t.Width - 1, r) = Calc9summ(total);
  }
  result.Count = t.Rows();
  return result;
}

StatisticResult SumsStatistic(DrawSource& source, int yearTo, int drawTo) {
  StatisticResult result;
  NumberTable& t = result.Table;
  t.Width = 7;
  long long largest = 0, smallest = 9999999, total = 0;
  if (source.Eof()) result.EndOfBase = true;
  else do {
      long long s = 0;
      for (int i = 0; i < source.NumberCount(); ++i) s += source.Number(i);
      total += s;
      largest = std::max(largest, s);
      smallest = std::min(smallest, s);
      const int r = t.AddRow();
      const long long average = RoundQuotient(total, r + 1);
      t.At(0, r) = source.Year();
      t.At(1, r) = source.Draw();
      t.At(2, r) = s;
      t.At(3, r) = largest;
      t.At(4, r) = smallest;
      t.At(5, r) = average;
      t.At(6, r) = s - average;
    } while (NextInRange(source, yearTo, drawTo, result));
  result.Count = t.Rows();
  return result;
}

StatisticResult PairsStatistic(DrawSource& source, int yearTo, int drawTo, int highest) {
  StatisticResult result;
  NumberTable& t = result.Table;
  highest = std::max(highest, 0);
  t.Width = highest;
  t.Values.assign(static_cast<std::size_t>(highest) * static_cast<std::size_t>(highest), 0);
  std::vector<int> numbers;
  if (source.Eof()) result.EndOfBase = true;
  else do {
      ReadNumbers(source, highest, numbers);
      for (int a : numbers)
        for (int b : numbers) ++t.At(a - 1, b - 1);
      ++result.Count;
    } while (NextInRange(source, yearTo, drawTo, result));
  return result;
}

void DrawRows::Add(DrawSource& source) {
  if (width_ < 0) width_ = std::max(source.NumberCount(), 0);
  years_.push_back(source.Year());
  draws_.push_back(source.Draw());
  for (int i = 0; i < width_; ++i) numbers_.push_back(i < source.NumberCount() ? source.Number(i) : 0);
}

// ---------------------------------------------------------------------------
// Filling

namespace {

// The draw table's cursor over `rows` as the data set moves it: a step back
// from the first record does not move and sets the beginning-of-table flag,
// which stops further steps back; a step back onto the first record does
// not set it; a move forward clears it.
struct RowCursor {
  int pos = 0;
  bool bof = false;
  bool Prior() {
    if (bof) return false;
    if (pos == 0) {
      bof = true;
      return false;
    }
    --pos;
    return true;
  }
  void MoveForward(int by) {
    if (by <= 0) return;
    pos += by;
    bof = false;
  }
};

}  // namespace

FillingResult FillingStatistic(const DrawRows& rows, int yearFrom, int drawFrom, int drawn, int highest,
                               const StopPoll& poll) {
  FillingResult out;
  const int last = rows.Count() - 1;
  if (last < 0) return out;
  highest = std::max(highest, 0);
  drawn = std::max(drawn, 0);
  const int width = rows.Width();
  auto atFrom = [&](int i) { return rows.Year(i) == yearFrom && rows.Draw(i) == drawFrom; };

  // The walk reaches down to the From draw nearest below the To draw, or to
  // the first record; every number it reads must lie in 1..highest.
  int lowest = last;
  while (lowest > 0 && !atFrom(lowest)) --lowest;
  for (int i = lowest; i <= last; ++i)
    for (int p = 0; p < width; ++p)
      if (const int v = rows.Numbers(i)[p]; v < 1 || v > highest) throw EDrawNumber(rows.Year(i), rows.Draw(i), v);

  // Indexed by the matched count, which may run past `drawn` within a draw.
  const auto slots = static_cast<std::size_t>(std::max(drawn, width)) + 1;
  std::vector<long long> avgDepth(slots), maxDepth(slots), minDepth(slots), lastDepth(slots), sumSeen(slots),
      lastSeen(slots), maxSeen(slots), minSeen(slots);
  std::vector<int> seen(static_cast<std::size_t>(highest) + 1), mine(static_cast<std::size_t>(width));

  // After the search of the To draw; a search that found it on the first
  // record leaves the beginning-of-table flag set.
  RowCursor at{last, last == 0};
  int steps = 0, matched = 0;
  while (!at.bof) {
    int back = 0, depth = 0, distinct = 0;
    matched = 0;
    std::fill(seen.begin(), seen.end(), 0);
    const int* own = rows.Numbers(at.pos);
    for (int p = 0; p < width; ++p) {
      mine[static_cast<std::size_t>(p)] = own[p];
      --seen[static_cast<std::size_t>(own[p])];
    }
    while (!at.bof) {
      const int* numbers = rows.Numbers(at.pos);
      for (int p = 0; p < width; ++p)
        if (++seen[static_cast<std::size_t>(numbers[p])] == 1) ++distinct;
      for (int& x : mine) {
        if (x <= 0 || seen[static_cast<std::size_t>(x)] < 1) continue;
        x = 0;
        const auto m = static_cast<std::size_t>(++matched);
        avgDepth[m] += depth;
        sumSeen[m] += distinct;
        if (steps > 0) {
          maxDepth[m] = std::max<long long>(maxDepth[m], depth);
          minDepth[m] = std::min<long long>(minDepth[m], depth);
          maxSeen[m] = std::max<long long>(maxSeen[m], distinct);
          minSeen[m] = std::min<long long>(minSeen[m], distinct);
        } else {
          maxDepth[m] = minDepth[m] = lastDepth[m] = depth;
          lastSeen[m] += distinct;
          maxSeen[m] = minSeen[m] = lastSeen[m];
        }
      }
      if (matched >= drawn) break;
      ++depth;
      if (atFrom(at.pos)) break;
      if (at.Prior()) ++back;
    }
    at.MoveForward(back);
    if (poll && poll()) {
      out.Stopped = true;
      return out;
    }
    if (atFrom(at.pos)) break;
    at.Prior();
    ++steps;
  }
  out.StartOfBase = matched < drawn && ((at.bof && rows.Year(at.pos) != yearFrom) || rows.Draw(at.pos) != drawFrom);

  const long long divisor = steps > 0 ? steps : 1;
  NumberTable& t = out.Statistic.Table;
  t.Width = 9;
  for (int v = 1; v <= drawn; ++v) {
    const auto m = static_cast<std::size_t>(v);
    const int r = t.AddRow();
    const long long row[] = {v,
                             RoundQuotient(avgDepth[m], divisor),
                             maxDepth[m],
                             minDepth[m],
                             lastDepth[m],
                             RoundQuotient(sumSeen[m], divisor),
                             maxSeen[m],
                             minSeen[m],
                             lastSeen[m]};
    std::copy(std::begin(row), std::end(row), &t.At(0, r));
  }
  out.Statistic.Count = steps;
  return out;
}

}  // namespace vx
