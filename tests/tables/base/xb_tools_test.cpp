// Rounding to whole numbers, halves to even: the values a numeric field
// gives as an integer field of the data set.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <random>

#include "tables/base/xb_tools.h"

namespace {

// How the data set rounded before: to nearest under a rounding mode set
// for the call.
double RoundedUnderNearest(double v) {
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double r = std::nearbyint(v);
  std::fesetround(saved);
  return r;
}

bool SameDouble(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

TEST(RoundEven, GivesTheOldResultsWhateverTheRoundingModeAndLeavesTheModeAlone) {
  // The rounding used to set and restore the floating-point rounding mode
  // for every value read, which made reading numbers slow; the results and
  // the mode stay as they were.
  const double big = 4503599627370496.0;  // 2^52
  const struct {
    double in, out;
  } kCases[] = {
      {0.5, 0},          {1.5, 2},       {2.5, 2},          {3.5, 4},         {-0.5, -0.0},
      {-1.5, -2},        {-2.5, -2},     {0.0, 0},          {-0.0, -0.0},     {-0.2, -0.0},
      {0.49999999999999994, 0},          {std::nextafter(0.5, 1.0), 1},       {std::nextafter(2.5, 0.0), 2},
      {std::nextafter(2.5, 3.0), 3},     {std::nextafter(-3.5, 0.0), -3},     {std::nextafter(-3.5, -4.0), -4},
      {2147483647.5, 2147483648.0},      {-2147483648.5, -2147483648.0},      {big - 0.5, big},
      {big - 1.5, big - 2},              {big + 1, big + 1},                  {-(big + 3), -(big + 3)},
      {1e300, 1e300},                    {-1e300, -1e300},
  };
  const double inf = std::numeric_limits<double>::infinity();
  const int modes[] = {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO};
  std::mt19937_64 rng(41);
  std::uniform_real_distribution<double> wide(-1e7, 1e7);
  for (const int mode : modes) {
    SCOPED_TRACE(mode);
    std::fesetround(mode);
    for (const auto& c : kCases) {
      EXPECT_TRUE(SameDouble(xbRoundEven(c.in), c.out)) << c.in << " gave " << xbRoundEven(c.in);
      EXPECT_TRUE(SameDouble(xbRoundEven(c.in), RoundedUnderNearest(c.in))) << c.in;
    }
    EXPECT_EQ(xbRoundEven(inf), inf);
    EXPECT_EQ(xbRoundEven(-inf), -inf);
    EXPECT_TRUE(std::isnan(xbRoundEven(std::nan(""))));
    for (int i = 0; i < 20000; ++i) {
      // Whole numbers, halves and quarters as fields hold them, and any value.
      const double v = i % 2 ? wide(rng) : std::round(wide(rng)) / 4;
      ASSERT_TRUE(SameDouble(xbRoundEven(v), RoundedUnderNearest(v))) << v;
    }
    EXPECT_EQ(std::fegetround(), mode);
  }
  std::fesetround(FE_TONEAREST);
}

}  // namespace
