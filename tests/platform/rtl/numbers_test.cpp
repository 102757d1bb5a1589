// Number <-> text conversion, rounding and Format.
#include <gtest/gtest.h>

#include <climits>

#include "platform/rtl/random.h"
#include "platform/rtl/sysutils.h"

TEST(StrToInt, AcceptsBlanksSignsAndHex) {
  const struct {
    const char* text;
    long long value;
  } cases[] = {
      {"12", 12},
      {" 12", 12},
      {"   -3", -3},
      {"+7", 7},
      {"$1F", 31},
      {"-$1f", -31},
      {"0x10", 16},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"$FFFFFFFF", -1},
      {"007", 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    EXPECT_EQ(StrToIntDef(c.text, 99), c.value) << c.text;
  }
}

TEST(StrToInt, RejectsEverythingElseWithConvertError) {
  for (const char* bad :
       {"1a", "", " ", "12 ", "-", "$", "$G", "1.5", "2147483648", "-2147483649", "$100000000", "\t5", "1e3", "--1"}) {
    EXPECT_THROW(StrToInt(bad), EConvertError) << '"' << bad << '"';
    EXPECT_EQ(StrToIntDef(bad, -77), -77) << bad;
  }
  try {
    StrToInt("1a");
    FAIL();
  } catch (const EConvertError& e) { EXPECT_EQ(e.Message(), "'1a' is not a valid integer value"); }
  EXPECT_EQ(StrToInt64("9223372036854775807"), LLONG_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), LLONG_MIN);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

TEST(IntText, IntToStrAndIntToHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-45), "-45");
  EXPECT_EQ(IntToStr(LLONG_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 1), "FFFFFFFF");
  EXPECT_EQ(IntToHex(static_cast<long long>(-1), 1), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(0, 0), "0");
}

TEST(Rounding, HalvesGoToEvenAndTruncGoesTowardZero) {
  const struct {
    long double in;
    long long round, trunc;
  } cases[] = {
      {2.5, 2, 2},    {3.5, 4, 3},
      {0.5, 0, 0},    {1.5, 2, 1},
      {-2.5, -2, -2}, {-3.5, -4, -3},
      {2.4999, 2, 2}, {2.5001, 3, 2},
      {-0.7, -1, 0},  {1e15 + 0.5, 1000000000000000LL, 1000000000000000LL},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Round(c.in), c.round) << static_cast<double>(c.in);
    EXPECT_EQ(Trunc(c.in), c.trunc) << static_cast<double>(c.in);
  }
  EXPECT_THROW(Round(1e19L), EInvalidOp);
  EXPECT_THROW(Trunc(-1e300L), EInvalidOp);
  EXPECT_THROW(Round(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
}

TEST(FloatText, WritesShortestGeneralForm) {
  const struct {
    long double in;
    const char* out;
  } cases[] = {
      {0, "0"},
      {1, "1"},
      {-1.5, "-1.5"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {100, "100"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {1e20, "1E20"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {-2.5e-7, "-2.5E-7"},
      {12.75, "12.75"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.in), c.out);
}

TEST(FloatText, ReadsLocaleFreeAndFollowsDecimalSeparator) {
  EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("3.25")), 3.25);
  EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("  -1.5e3 ")), -1500);
  EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat(".5")), 0.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("7")), 7);
  for (const char* bad : {"", "1,5", "abc", "1.5.5", "e3", "1e", "- 1", "0x10"})
    EXPECT_THROW(StrToFloat(bad), EConvertError) << bad;
  EXPECT_EQ(StrToFloatDef("x", 2.5), 2.5);

  const char saved = FormatSettings.DecimalSeparator;
  FormatSettings.DecimalSeparator = ',';
  EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("1,5")), 1.5);
  EXPECT_THROW(StrToFloat("1.5"), EConvertError);
  EXPECT_EQ(FloatToStr(1.5), "1,5");
  EXPECT_EQ(Format("%.1f", {2.25}), "2,3");
  FormatSettings.DecimalSeparator = saved;
}

TEST(FloatText, FixedRoundsHalfAwayFromZero) {
  EXPECT_EQ(FloatToStrF(0.125, ffFixed, 15, 2), "0.13");
  EXPECT_EQ(FloatToStrF(2.675, ffFixed, 15, 2), "2.67");  // 2.67499999... in binary
  EXPECT_EQ(FloatToStrF(-0.001, ffFixed, 15, 2), "0.00");
  EXPECT_EQ(FloatToStrF(9.999, ffFixed, 15, 2), "10.00");
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2), "1,234,567.89");
  EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 4, 2), "1.235E+03");
}

TEST(Format, FormsUsedByTheProgram) {
  EXPECT_EQ(Format("Line: %3d   Col: %3d", {7, 12}), "Line:   7   Col:  12");
  EXPECT_EQ(Format("%.2f", {3.14159}), "3.14");
  EXPECT_EQ(Format("%f", {2.0}), "2.00");
  EXPECT_EQ(Format("OleInitialize failed ($%x)", {0x8000FFFFu}), "OleInitialize failed ($8000FFFF)");
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format("%s - %s", {"a", AnsiString("b")}), "a - b");
  EXPECT_EQ(Format("%-5s|%5s|", {"ab", "cd"}), "ab   |   cd|");
  EXPECT_EQ(Format("%.3d|%u|%%|%g", {5, -1, 0.5}), "005|4294967295|%|0.5");
  EXPECT_EQ(Format("%.2s", {"abcdef"}), "ab");
  EXPECT_EQ(Format("%*d", {4, 7}), "   7");
  EXPECT_EQ(Format("%1:s %0:s", {"x", "y"}), "y x");
  EXPECT_EQ(Format("%s", {'c'}), "c");
  EXPECT_EQ(Format("%d", {-2147483647LL - 1}), "-2147483648");
}

TEST(Format, BadFormatOrArgumentRaisesConvertError) {
  EXPECT_THROW(Format("%d", {}), EConvertError);
  EXPECT_THROW(Format("%d", {"text"}), EConvertError);
  EXPECT_THROW(Format("%s", {5}), EConvertError);
  EXPECT_THROW(Format("%f", {5}), EConvertError);
  EXPECT_THROW(Format("%q", {5}), EConvertError);
  EXPECT_THROW(Format("50%", {}), EConvertError);
  EXPECT_THROW(Format("%999999999d", {1}), EConvertError);
}

TEST(FloatText, FormatsAtTheEdgesOfPrecision) {
  const struct {
    long double v;
    TFloatFormat f;
    int p, d;
    const char* out;
  } cases[] = {
      {9.9996, ffGeneral, 4, 0, "10"},  // rounding carries into a new digit
      {0.00099996, ffGeneral, 4, 0, "0.001"},
      {123456, ffGeneral, 4, 0, "1.235E5"},  // more integer digits than the precision
      {123456, ffGeneral, 4, 2, "1.235E05"},
      {0, ffExponent, 4, 2, "0.000E+00"},
      {-0.5, ffExponent, 3, 3, "-5.00E-001"},
      {1e16, ffFixed, 15, 2, "1.00000000000000E+16"},
      {-1234.5, ffNumber, 15, 0, "-1,235"},
      {0.5, ffFixed, 15, 0, "1"},
      {-0.0, ffGeneral, 15, 0, "0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FloatToStrF(c.v, c.f, c.p, c.d), c.out) << static_cast<double>(c.v) << " p" << c.p << " d" << c.d;
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
  // Extended precision keeps its digits.
  EXPECT_EQ(FloatToStrF(1.0L / 3, ffGeneral, 18, 0), "0.333333333333333333");
  long double v;
  EXPECT_FALSE(TryStrToFloat("1e99999", v));
  EXPECT_TRUE(TryStrToFloat("1e-400", v));  // tiny values read as zero or a denormal
  EXPECT_EQ(StrToFloat(FloatToStr(0.1L)), 0.1L);
}

TEST(Format, WidthsPrecisionsAndArgumentKinds) {
  EXPECT_EQ(Format("%5.1f|%-8.3e|%e", {3.14159, 1234.5, 0.0}), "  3.1|1.23E+003|0.00000000000000E+000");
  EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
  EXPECT_EQ(Format("%.0f", {2.5L}), "3");
  EXPECT_EQ(Format("%3d|%-3d|%.5d", {-5, 5, -42}), " -5|5  |-00042");
  EXPECT_EQ(Format("%u", {18446744073709551615ULL}), "18446744073709551615");
  EXPECT_EQ(Format("%d", {18446744073709551615ULL}), "18446744073709551615");
  EXPECT_EQ(Format("%x|%.4x|%X", {255, 10, static_cast<short>(-1)}), "FF|000A|FFFFFFFF");
  EXPECT_EQ(Format("%x", {-1LL}), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format("[%s]", {"Лото"_cp}), "[Лото]"_cp.str());
  EXPECT_EQ(Format("%s", {std::string_view("view")}), "view");
  EXPECT_EQ(Format("%s", {static_cast<const char*>(nullptr)}), "");
  EXPECT_EQ(Format("%.*f", {1, 2.26}), "2.3");
  EXPECT_EQ(Format("%2:s%0:s%s", {"a", "b", "c"}), "cab");  // an index moves the next argument too
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("", {1}), "");
}

TEST(RandomGenerator, FollowsTheLinearCongruentialSequence) {
  RandSeed = 0;
  EXPECT_EQ(Random(100), 0);  // seed 1: (1 * 100) >> 32
  EXPECT_EQ(RandSeed, 1u);
  EXPECT_EQ(Random(49), static_cast<int>((134775814ULL * 49) >> 32));
  EXPECT_EQ(RandSeed, 134775814u);
  const std::uint32_t next = 134775814u * 134775813u + 1u;
  EXPECT_EQ(Random(1000), static_cast<int>((static_cast<std::uint64_t>(next) * 1000) >> 32));
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
  RandSeed = 0xFFFFFFFFu;
  const double r = Random();
  EXPECT_GE(r, 0.0);
  EXPECT_LT(r, 1.0);
  for (int i = 0; i < 1000; ++i) {
    const int v = Random(7);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 7);
  }
  vx::SetRandomizeSource([] { return 12345u; });
  Randomize();
  EXPECT_EQ(RandSeed, 12345u);
  vx::SetRandomizeSource(nullptr);
}
