// Wheel systems: types and file names from names and descriptions.
#include <gtest/gtest.h>

#include <vector>
#include "app/analysis/wheel_systems.h"

#include "platform/rtl/cp1251.h"

TEST(WheelNames, TypesAndFileNamesComeBackFromNamesAndDescriptions) {
  vx::WheelType t;
  ASSERT_TRUE(vx::DecodeWheelName("5_10_12.lst", t));
  EXPECT_EQ(std::vector<int>({t.numbers, t.covered, t.variants}), std::vector<int>({5, 10, 12}));
  for (const char* bad : {"5_10.lst", "5_10_12_3.lst", "a_10_12.lst", "5__12.lst", "5_10_1x.lst", "_5_10_12.lst"})
    EXPECT_FALSE(vx::DecodeWheelName(bad, t)) << bad;
  EXPECT_EQ(vx::WheelFileName("по 5 (5_10_12.lst)"_cp), "5_10_12.lst");
  EXPECT_EQ(vx::WheelFileName("x(5_10_12.lst"), "5_10_12.lst");
  EXPECT_EQ(vx::WheelFileName("x"), "");
}
