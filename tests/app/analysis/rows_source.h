// A draw source over rows of numbers (year 2020, draws 1, 2, ...).
#pragma once

#include <vector>

#include "app/analysis/probability.h"

namespace apptest {

class RowsSource : public vx::DrawSource {
 public:
  explicit RowsSource(std::vector<std::vector<int>> rows) : rows_(std::move(rows)) {}
  void First() override { pos_ = 0; }
  void Next() override {
    if (pos_ < rows_.size()) ++pos_;
  }
  bool Eof() override { return pos_ >= rows_.size(); }
  int Year() override { return 2020; }
  int Draw() override { return static_cast<int>(pos_) + 1; }
  int NumberCount() override { return Eof() ? 0 : static_cast<int>(rows_[pos_].size()); }
  int Number(int i) override { return rows_[pos_][static_cast<std::size_t>(i)]; }

 private:
  std::vector<std::vector<int>> rows_;
  std::size_t pos_ = 0;
};

}  // namespace apptest
