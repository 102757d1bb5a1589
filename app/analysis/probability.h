// Probability methods: the work behind the buttons of the Probability page,
// as plain functions over a source of draws and the weight array.
//
// A draw record: field 0 YEAR, field 1 DRAW, fields 2.. the drawn numbers
// (integers). The weight array holds one weight per number 1..n at position
// number-1; every method skips a number outside 1..n (an empty field reads
// as 0) instead of writing outside the array.
//
// Loops poll once per record: the poll steps the progress bar, pumps the
// message queue and answers true when the loop must stop. A stopped method
// leaves the weights as counted so far (not rescaled).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/rtl/cp1251.h"

class TDataSet;
class TField;

namespace vx {

using Weights = std::vector<std::int32_t>;
using StopPoll = std::function<bool()>;

// The draws in table order.
class DrawSource {
 public:
  virtual ~DrawSource() = default;
  virtual void First() = 0;
  virtual void Next() = 0;
  virtual bool Eof() = 0;
  virtual int Year() = 0;
  virtual int Draw() = 0;
  virtual int NumberCount() = 0;
  // Number i (0-based) of the current draw.
  virtual int Number(int i) = 0;
};

// The draws of an open data set; its fields are looked up once. The
// numbers are the fields from firstNumber on (a ticket's come after NUM).
class DataSetDrawSource : public DrawSource {
 public:
  explicit DataSetDrawSource(TDataSet* dataSet, int firstNumber = 2);
  void First() override;
  void Next() override;
  bool Eof() override;
  int Year() override;
  int Draw() override;
  int NumberCount() override { return static_cast<int>(numbers_.size()); }
  int Number(int i) override;

 private:
  TDataSet* dataSet_;
  TField* year_ = nullptr;
  TField* draw_ = nullptr;
  std::vector<TField*> numbers_;
};

enum class SeekResult { Found, NotFound, Stopped };
// Goes to the first record and walks until (year, draw); on Found the
// source stands on that record. `each`, when given, sees every record the
// walk reaches, the found one included.
SeekResult SeekDraw(DrawSource& source, int year, int draw, const StopPoll& poll,
                    const std::function<void(DrawSource&)>& each = {});

// How a range walk ended: on the end draw, at the end of the table before
// meeting it, stopped, or (number after number) with no record after the
// start draw.
enum class ScanEnd { EndDraw, EndOfBase, Stopped, NothingAfterStart };

// From the current record up to and including (yearTo, drawTo): every
// number v adds 1 to weights[v-1]. The weights are not cleared first.
ScanEnd CountHot(DrawSource& source, int yearTo, int drawTo, Weights& weights, const StopPoll& poll);

// Turns counts into cold weights: w := M - w + 1 with M the largest count.
void MakeCold(Weights& weights);

// The numbers of the current draw and their neighbours get weight 1.
void MarkNeighbours(DrawSource& source, Weights& weights);

// Number after number from the current record (the start draw): counts how
// often each number followed a number of the previous draw up to the end
// draw (the start draw itself is never taken as the end), then adds, for
// every number a of the last draw reached, the counts of the numbers that
// followed a. `side` is the side of the follow matrix (the base's highest
// number); numbers outside 1..side are not counted.
ScanEnd CountFollowers(DrawSource& source, int yearTo, int drawTo, int side, Weights& weights, const StopPoll& poll);

// When the largest weight exceeds 100, every weight is divided by
// (largest / 100) and truncated toward zero; the divisor is computed in
// extended precision and kept as a double, the quotients in extended
// precision (so the top weight ends at 100 or 99).
void NormalizeProbabilities(Weights& weights);
// The same over weights counted wider than 32 bits, into `weights`.
void NormalizeProbabilities(const std::vector<std::int64_t>& wide, Weights& weights);

// Ascending quicksort of values[lo..hi] (middle pivot).
void QuickSortInts(std::vector<std::int32_t>& values, int lo, int hi);

// The `count` numbers of largest weight, largest first, equal weights in
// ascending number order; every number when count exceeds their count.
std::vector<int> MostProbableNumbers(const Weights& weights, int count);

// "7,12,3".
AnsiString JoinNumbers(const std::vector<int>& numbers);

int CountNonZero(const Weights& weights);

}  // namespace vx
