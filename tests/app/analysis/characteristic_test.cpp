// Derived and characteristic numbers of a draw, with the worked examples.
#include <gtest/gtest.h>

#include "app/analysis/characteristic.h"

TEST(Characteristic, WorkedExamples) {
  const std::vector<int> draw{41, 3, 20, 7, 35, 12};
  std::vector<long long> derived{38, 21, 34, 6, 29, 17, 4, 32, 9, 13, 15, 8, 28, 5, 23};
  EXPECT_EQ(vx::DerivedNumbers(draw), derived);
  const vx::DifferenceTriangle real = vx::MakeDifferenceTriangle(draw);
  ASSERT_EQ(real.levels.size(), 5u);
  EXPECT_EQ(vx::NumbersWithBlanks(real.levels[0]), "38 17 13 28 23 ");
  EXPECT_EQ(vx::NumbersWithBlanks(real.levels[3]), "6 1 ");
  EXPECT_EQ(real.characteristic, "5");
  const vx::DifferenceTriangle sorted = vx::MakeDifferenceTriangle({3, 7, 12, 20, 35, 41});
  EXPECT_EQ(vx::NumbersWithBlanks(sorted.levels[2]), "2 4 2 ");
  EXPECT_EQ(sorted.characteristic, "0,4");

  EXPECT_EQ(vx::DerivedNumbers({5, 10, 15, 20, 25, 30}), (std::vector<long long>{5, 10, 15, 20, 25}));
  EXPECT_EQ(vx::MakeDifferenceTriangle({5, 10, 15, 20, 25, 30}).characteristic, "0,0");
}

TEST(Characteristic, TriangleIsSizedByTheDraw) {
  // Two numbers: the level below the apex is the draw itself (no sum).
  EXPECT_EQ(vx::MakeDifferenceTriangle({7, 8}).characteristic, "1,0");
  EXPECT_TRUE(vx::MakeDifferenceTriangle({7}).levels.empty());
  // A 20-number draw, extreme values included, has 19 levels.
  std::vector<int> twenty;
  for (int i = 0; i < 20; ++i) twenty.push_back(i % 2 ? 2147483647 : -2147483647 - 1);
  const vx::DifferenceTriangle t = vx::MakeDifferenceTriangle(twenty);
  EXPECT_EQ(t.levels.size(), 19u);
  EXPECT_EQ(t.levels.back().size(), 1u);
}
