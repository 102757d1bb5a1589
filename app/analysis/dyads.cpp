#include "app/analysis/dyads.h"

#include <algorithm>

#include "platform/rtl/sysutils.h"

namespace vx {

DyadMatrix::DyadMatrix(int highest)
    : highest_(std::max(highest, 0)),
      cells_(static_cast<std::size_t>(highest_ + 1) * static_cast<std::size_t>(highest_ + 1), 0) {}

std::int32_t DyadMatrix::At(int a, int b) const {
  if (a < 0 || b < 0 || a > highest_ || b > highest_) return 0;
  return cells_[static_cast<std::size_t>(a) * static_cast<std::size_t>(highest_ + 1) + static_cast<std::size_t>(b)];
}

void DyadMatrix::Add(int a, int b) {
  if (a < 1 || b < 1 || a > highest_ || b > highest_) return;
  if (b < a) std::swap(a, b);
  std::int32_t& cell =
      cells_[static_cast<std::size_t>(a) * static_cast<std::size_t>(highest_ + 1) + static_cast<std::size_t>(b)];
  ++cell;
  largest_ = std::max(largest_, cell);
}

ScanEnd CountDyads(DrawSource& source, int yearTo, int drawTo, DyadMatrix& matrix) {
  std::vector<int> numbers;
  while (!source.Eof()) {
    numbers.resize(static_cast<std::size_t>(source.NumberCount()));
    for (std::size_t i = 0; i < numbers.size(); ++i) numbers[i] = source.Number(static_cast<int>(i));
    for (std::size_t i = 0; i < numbers.size(); ++i)
      for (std::size_t j = i + 1; j < numbers.size(); ++j) matrix.Add(numbers[i], numbers[j]);
    if (source.Year() == yearTo && source.Draw() == drawTo) return ScanEnd::EndDraw;
    source.Next();
  }
  return ScanEnd::EndOfBase;
}

AnsiString DyadLines(const DyadMatrix& matrix, int highest, DyadWindow window, int& count) {
  AnsiString text;
  count = 0;
  for (int a = 1; a <= highest; ++a)
    for (int b = a + 1; b <= highest; ++b) {
      const std::int32_t c = matrix.At(a, b);
      if (!window.Holds(c)) continue;
      text += IntToStr(a) + "," + IntToStr(b) + "==" + IntToStr(c) + "\r\n";
      ++count;
    }
  return text;
}

std::vector<std::vector<int>> PackDyads(const DyadMatrix& matrix, int highest, int drawn, DyadWindow window) {
  struct Pair {
    int a, b;
  };
  std::vector<Pair> pairs;  // the selected pairs, in order, still unplaced
  for (int a = 1; a < highest; ++a)
    for (int b = a + 1; b <= highest; ++b)
      if (window.Holds(matrix.At(a, b))) pairs.push_back({a, b});
  std::vector<std::vector<int>> rows;
  if (drawn < 2) return rows;
  std::vector<int> row(static_cast<std::size_t>(drawn), 0);
  std::vector<bool> inRow(static_cast<std::size_t>(highest) + 1, false);
  auto nextRow = [&] {
    if (std::any_of(row.begin(), row.end(), [](int v) { return v != 0; })) rows.push_back(row);
    std::fill(row.begin(), row.end(), 0);
    std::fill(inRow.begin(), inRow.end(), false);
  };
  int col = 1;
  while (!pairs.empty()) {
    std::vector<Pair> left;
    for (const Pair& p : pairs) {
      if (inRow[static_cast<std::size_t>(p.a)] || inRow[static_cast<std::size_t>(p.b)]) {
        left.push_back(p);
        continue;
      }
      row[static_cast<std::size_t>(col - 1)] = p.a;
      row[static_cast<std::size_t>(col)] = p.b;
      inRow[static_cast<std::size_t>(p.a)] = inRow[static_cast<std::size_t>(p.b)] = true;
      col += 2;
      if (col >= drawn) {
        nextRow();
        col = 1;
      }
    }
    pairs.swap(left);
    if (!pairs.empty()) nextRow();
  }
  nextRow();
  return rows;
}

void DyadWeights(const DyadMatrix& matrix, DyadWindow window, Weights& weights) {
  std::fill(weights.begin(), weights.end(), 0);
  const int n = static_cast<int>(weights.size());
  for (int a = 1; a < n; ++a)
    for (int b = a + 1; b <= n; ++b)
      if (window.Holds(matrix.At(a, b))) {
        ++weights[static_cast<std::size_t>(a - 1)];
        ++weights[static_cast<std::size_t>(b - 1)];
      }
}

}  // namespace vx
