// Dyads: how often each pair of numbers came out together in a range of
// draws, the pairs whose count lies in a window, packing those pairs into
// combinations, and weights from them.
//
// The matrix is (H+1) x (H+1) for the highest number H at the time of the
// count; entry (a, b) with a < b counts the draws holding both (a number
// repeated inside a draw counts on the diagonal, which nothing lists).
// Values outside 1..H are skipped. Reading an entry outside the matrix
// (before any count, or after H has grown) gives 0.
#pragma once

#include <cstdint>
#include <vector>

#include "app/analysis/probability.h"

namespace vx {

class DyadMatrix {
 public:
  DyadMatrix() = default;
  explicit DyadMatrix(int highest);
  int Highest() const { return highest_; }
  std::int32_t At(int a, int b) const;
  void Add(int a, int b);
  std::int32_t Largest() const { return largest_; }

 private:
  int highest_ = 0;
  std::int32_t largest_ = 0;
  std::vector<std::int32_t> cells_;
};

// Counts from the current record up to and including (yearTo, drawTo);
// EndOfBase when the table ended first. Never stops.
ScanEnd CountDyads(DrawSource& source, int yearTo, int drawTo, DyadMatrix& matrix);

struct DyadWindow {
  int lo = 1, hi = 1;
  bool Holds(std::int32_t count) const { return count >= lo && count <= hi; }
};

// "a,b==count" lines (CR LF after each) of every pair a < b of 1..highest
// whose count lies in the window; `count` receives how many.
AnsiString DyadLines(const DyadMatrix& matrix, int highest, DyadWindow window, int& count);

// Packs the window's pairs into rows of `drawn` slots: each pass walks the
// pairs in order and puts a pair into the next two free slots of the
// current row when neither number is in that row yet; a full row (fewer
// than two slots left) opens the next row from slot 1, and a pass that
// leaves pairs unplaced moves on to the next row keeping the slot. Rows
// that got no number are left out; 0 marks an empty slot. drawn >= 2.
std::vector<std::vector<int>> PackDyads(const DyadMatrix& matrix, int highest, int drawn, DyadWindow window);

// weight[n-1] := the number of window pairs holding n.
void DyadWeights(const DyadMatrix& matrix, DyadWindow window, Weights& weights);

}  // namespace vx
