// The statistics of the Statistics page as plain functions over a source of
// draws: intervals between the comings of each number, digital-root sums,
// filling (how far back the numbers of a draw come again), sums and pairs.
// Each gives a table of whole numbers laid out as the page's grid shows it
// below its heading row; the page writes it into the grid.
//
// Range walks start on the current record (the From draw, found by the
// caller) and stop after the To draw or at the end of the table; they never
// poll. Rounding is to nearest with halves to even (Round).
//
// Interval, filling and pairs count by number: a drawn number outside
// 1..highest (an empty field reads as 0) stops them with EDrawNumber.
#pragma once

#include <cstdint>
#include <vector>

#include "app/analysis/probability.h"
#include "platform/rtl/sysutils.h"

namespace vx {

// The digital root: n itself up to 9, else the digit sum repeated until it
// is at most 9 (49 -> 13 -> 4; 0 -> 0; a negative n is returned as it is).
long long Calc9summ(long long n);

// Whole numbers in rows of Width columns.
struct NumberTable {
  int Width = 0;
  std::vector<long long> Values;

  int Rows() const { return Width > 0 ? static_cast<int>(Values.size()) / Width : 0; }
  long long At(int col, int row) const {
    return Values[static_cast<std::size_t>(row) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(col)];
  }
  long long& At(int col, int row) {
    return Values[static_cast<std::size_t>(row) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(col)];
  }
  // Adds a row of zeros and returns its index.
  int AddRow() {
    Values.resize(Values.size() + static_cast<std::size_t>(Width), 0);
    return Rows() - 1;
  }
};

struct StatisticResult {
  NumberTable Table;
  // The draws the caption counts (see each statistic).
  int Count = 0;
  // The walk reached the end of the table without meeting the To draw.
  bool EndOfBase = false;
};

// A drawn number outside 1..highest in the draw (Year, Draw).
class EDrawNumber : public Exception {
 public:
  EDrawNumber(int year, int draw, int number);
  int Year, Draw, Number;
};

// Intervals over the range, for the numbers 1..highest. Row n-1:
// n, comings, draws since the last coming (K, the draws read, when it never
// came), average / largest / smallest gap between comings (0 below two
// comings), and the expected draws to the next coming:
// Round((comings + 2) * (last + 1) / (comings + 1) - 1) - K, last being the
// 1-based index of the draw of the last coming. Count: K.
StatisticResult IntervalStatistic(DrawSource& source, int yearTo, int drawTo, int highest);

// Every record from the first to the end of the table. Row: year, draw, the
// digital root of each number, the digital root of their sum. Count: the
// records read.
StatisticResult NonaryStatistic(DrawSource& source);

// Sums over the range. Row: year, draw, the sum s of the numbers, the
// largest and smallest sum so far, the average a of the sums so far
// (rounded), s - a. Count: the draws read.
StatisticResult SumsStatistic(DrawSource& source, int yearTo, int drawTo);

// Pairs over the range: row r-1, column c-1 counts the ordered pairs of
// positions (i, j), i = j included, whose numbers are (c, r) (so the
// diagonal counts every number once per coming). Count: the draws read.
StatisticResult PairsStatistic(DrawSource& source, int yearTo, int drawTo, int highest);

// The draws of a table from its first record up to some record, in table
// order.
class DrawRows {
 public:
  void Add(DrawSource& source);
  int Count() const { return static_cast<int>(years_.size()); }
  int Year(int i) const { return years_[static_cast<std::size_t>(i)]; }
  int Draw(int i) const { return draws_[static_cast<std::size_t>(i)]; }
  int Width() const { return width_; }
  const int* Numbers(int i) const {
    return numbers_.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(width_);
  }

 private:
  int width_ = -1;
  std::vector<int> years_, draws_, numbers_;
};

struct FillingResult {
  StatisticResult Statistic;
  // Ended by the poll: no table.
  bool Stopped = false;
  // The walk back ended at the beginning of the table, not at the From
  // draw, before the last draw walked had all its numbers matched.
  bool StartOfBase = false;
};

// Filling, walking back from the last of `rows` (the To draw) to the From
// draw or the first record; `rows` start at the table's first record. For
// each draw walked it looks further back until `drawn` of its numbers have
// come again. Row m-1 (m = 1..drawn): m, the average, largest and smallest
// depth (draws back) at which the m-th number came again, that depth for the
// To draw, then the same for the count of distinct numbers seen by then
// (average, largest, smallest, the To draw's). Averages divide by the draws
// stepped back (1 when none); the largest and smallest start from the To
// draw's values. Count: the draws stepped back. The poll runs once per draw
// walked.
FillingResult FillingStatistic(const DrawRows& rows, int yearFrom, int drawFrom, int drawn, int highest,
                               const StopPoll& poll);

}  // namespace vx
