// Pair counts, the listing of a window, packing into combinations and
// weights from the pairs.
#include <gtest/gtest.h>

#include "app/analysis/dyads.h"
#include "rows_source.h"

namespace {

vx::DyadMatrix Count(std::vector<std::vector<int>> rows, int highest, int to, vx::ScanEnd expected) {
  apptest::RowsSource s(std::move(rows));
  vx::DyadMatrix m(highest);
  s.First();
  EXPECT_EQ(vx::CountDyads(s, 2020, to, m), expected);
  return m;
}

}  // namespace

TEST(Dyads, CountsSkipValuesOutsideTheGameAndListTheWindow) {
  // 0, 7 and -1 lie outside 1..6; the repeated 3 counts on the diagonal.
  const vx::DyadMatrix m = Count({{1, 2, 3}, {3, 2, 7}, {3, 3, 0, -1}, {5, 6, 1}}, 6, 3, vx::ScanEnd::EndDraw);
  EXPECT_EQ(m.At(2, 3), 2);
  EXPECT_EQ(m.At(1, 5), 0);  // the fourth draw lies after the end draw
  EXPECT_EQ(m.At(3, 3), 1);
  EXPECT_EQ(m.Largest(), 2);
  int count = 0;
  EXPECT_EQ(vx::DyadLines(m, 6, {1, 9}, count), "1,2==1\r\n1,3==1\r\n2,3==2\r\n");
  EXPECT_EQ(count, 3);
  // A window 0..0 lists the pairs that never came; a grown game reads 0.
  vx::DyadLines(m, 8, {0, 0}, count);
  EXPECT_EQ(count, 28 - 3);
  EXPECT_EQ(Count({{1, 2}}, 6, 9, vx::ScanEnd::EndOfBase).At(1, 2), 1);
}

TEST(Dyads, PackingRowsWeightsAndRefusals) {
  // Pairs (1,2) (1,3) (2,3) (4,5) selected out of a 5-number game.
  vx::DyadMatrix m = Count({{1, 2, 3}, {4, 5}}, 5, 2, vx::ScanEnd::EndDraw);
  using Rows = std::vector<std::vector<int>>;
  // Odd size: a full row keeps its last slot empty.
  EXPECT_EQ(vx::PackDyads(m, 5, 3, {1, 1}), (Rows{{1, 2, 0}, {1, 3, 0}, {2, 3, 0}, {4, 5, 0}}));
  // Size 4: (1,2) (4,5) fill the first row; (1,3) opens the second, where
  // (2,3) cannot go; the pass left a pair, so the next row keeps slot 3.
  EXPECT_EQ(vx::PackDyads(m, 5, 4, {1, 1}), (Rows{{1, 2, 4, 5}, {1, 3, 0, 0}, {0, 0, 2, 3}}));
  EXPECT_TRUE(vx::PackDyads(m, 5, 1, {1, 1}).empty());
  EXPECT_TRUE(vx::PackDyads(m, 5, 4, {7, 9}).empty());

  vx::Weights w(5, 9);
  vx::DyadWeights(m, {1, 1}, w);
  EXPECT_EQ(w, (vx::Weights{2, 2, 2, 1, 1}));
}
