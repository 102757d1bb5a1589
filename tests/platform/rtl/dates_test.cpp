// Dates and times: day numbers, encode/decode, clock, text both ways.
#include <gtest/gtest.h>

#include "platform/rtl/civil_days.h"
#include "platform/rtl/dateutils.h"

namespace {

// Restores the format settings and the clock after each test.
class Dates : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    vx::SetClock([] { return EncodeDate(2024, 3, 15) + EncodeTime(14, 30, 5, 250); });
  }
  void TearDown() override {
    FormatSettings = saved_;
    vx::SetClock(nullptr);
  }
  TFormatSettings saved_;
};

}  // namespace

TEST_F(Dates, DayNumbersCountFrom18991230) {
  const struct {
    int y, m, d;
    double day;
  } cases[] = {
      {1899, 12, 30, 0},   {1899, 12, 31, 1},    {1900, 1, 1, 2},    {1899, 12, 29, -1},
      {1970, 1, 1, 25569}, {2000, 2, 29, 36585}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.day) << c.y << '-' << c.m << '-' << c.d;
    Word y, m, d;
    DecodeDate(c.day, y, m, d);
    EXPECT_EQ((std::tuple<int, int, int>(y, m, d)), std::make_tuple(c.y, c.m, c.d));
  }
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 15)), 6);  // a Friday
  EXPECT_EQ(DayOfWeek(0), 7);
}

TEST_F(Dates, InvalidPartsRaiseConvertError) {
  for (auto [y, m, d] :
       {std::tuple{2023, 2, 29}, {2024, 13, 1}, {2024, 0, 1}, {0, 1, 1}, {10000, 1, 1}, {2024, 4, 31}, {1900, 2, 29}})
    EXPECT_THROW(EncodeDate(y, m, d), EConvertError) << y << '-' << m << '-' << d;
  EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
}

TEST_F(Dates, TimeOfDayRoundsToTheMillisecondAndCountsForwardBeforeDayZero) {
  Word h, n, s, ms;
  DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
  EXPECT_EQ((std::tuple<int, int, int, int>(h, n, s, ms)), std::make_tuple(23, 59, 59, 999));
  DecodeTime(-1.25, h, n, s, ms);
  EXPECT_EQ(h, 6);
  Word y, m, d;
  DecodeDate(-1.25, y, m, d);
  EXPECT_EQ(d, 29);
  // 1 ms before midnight rounds up into the next day.
  DecodeDate(1.0 - 1e-10, y, m, d);
  EXPECT_EQ(d, 31);
}

TEST_F(Dates, ClockIsReplaceable) {
  EXPECT_EQ(Date(), EncodeDate(2024, 3, 15));
  EXPECT_NEAR(Time(), EncodeTime(14, 30, 5, 250), 1e-9);
  vx::SetClock(nullptr);
  EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
}

TEST_F(Dates, FormatDateTimeSpecifiers) {
  const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(9, 7, 3, 45);
  const struct {
    const char* fmt;
    const char* out;
  } cases[] = {
      {"dd.mm.yyyy", "05.03.2024"}, {"d/m/yy", "5.3.24"},      {"yyyy-mm-dd hh:nn:ss.zzz", "2024-03-05 09:07:03.045"},
      {"hh:mm", "09:07"},           {"h:mm am/pm", "9:07 am"}, {"mmm mmmm", "Mar March"},
      {"ddd dddd", "Tue Tuesday"},  {"'d:'d \"y\"", "d:5 y"},  {"c", "05.03.2024 09:07:03"},
      {"ddddd", "05.03.2024"},      {"yyyymmdd", "20240305"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.fmt, t), c.out) << c.fmt;
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "05.03.2024");
  EXPECT_EQ(FormatDateTime("hh AM/PM", EncodeTime(0, 0, 0, 0)), "12 AM");
  EXPECT_EQ(FormatDateTime("hh AM/PM", EncodeTime(13, 0, 0, 0)), "01 PM");

  FormatSettings.DateSeparator = '/';
  FormatSettings.ShortDateFormat = "mm/dd/yyyy";
  EXPECT_EQ(DateToStr(t), "03/05/2024");
}

TEST_F(Dates, StrToDateFollowsTheShortDateOrder) {
  EXPECT_EQ(StrToDate("05.03.2024"), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(" 5 . 3 . 2024 "), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate("5.3"), EncodeDate(2024, 3, 5));  // the current year
  EXPECT_EQ(StrToDate("5.3.24"), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate("5.3.80"), EncodeDate(1980, 3, 5));  // within 50 years of 2024
  EXPECT_EQ(StrToDate("5.3.74"), EncodeDate(1974, 3, 5));
  EXPECT_EQ(StrToDate("5.3.73"), EncodeDate(2073, 3, 5));
  for (const char* bad : {"", "5", "31.02.2024", "5.3.2024x", "5-3-2024", "a.b.c", "5.3.20245"})
    EXPECT_THROW(StrToDate(bad), EConvertError) << bad;

  FormatSettings.ShortDateFormat = "yyyy/mm/dd";
  FormatSettings.DateSeparator = '-';
  EXPECT_EQ(StrToDate("2024-03-05"), EncodeDate(2024, 3, 5));
  TDateTime d;
  EXPECT_FALSE(TryStrToDate("05.03.2024", d));

  // Settings of its own: the global ones are neither read nor changed.
  TFormatSettings own;
  own.DateSeparator = '.';
  own.ShortDateFormat = "yyyy.m.d";
  EXPECT_EQ(StrToDate("2024.3.5", own), EncodeDate(2024, 3, 5));
  EXPECT_THROW(StrToDate("2024.2.30", own), EConvertError);
  EXPECT_FALSE(TryStrToDate("2024-03-05", d, own));
  EXPECT_EQ(FormatSettings.ShortDateFormat, "yyyy/mm/dd");
  EXPECT_EQ(FormatSettings.DateSeparator, '-');
}

TEST_F(Dates, DateAndTimeTextRoundTrips) {
  const TDateTime t = EncodeDate(1999, 12, 31) + EncodeTime(23, 5, 0, 0);
  EXPECT_NEAR(StrToDateTime(DateTimeToStr(t)), t, 1e-9);
  EXPECT_NEAR(StrToTime("1:30 PM"), EncodeTime(13, 30, 0, 0), 1e-9);
  EXPECT_NEAR(StrToTime("12:00 am"), 0, 1e-9);
  EXPECT_THROW(StrToTime("25:00"), EConvertError);
  EXPECT_THROW(StrToDateTime("31.12.1999 xx"), EConvertError);
  EXPECT_EQ(FileDateToDateTime(DateTimeToFileDate(t)), t);
}

TEST_F(Dates, MonthDayYearOrderAndCalendarQueries) {
  FormatSettings.ShortDateFormat = "m/d/yyyy";
  FormatSettings.DateSeparator = '/';
  EXPECT_EQ(StrToDate("3/5/2024"), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate("12/31"), EncodeDate(2024, 12, 31));
  EXPECT_THROW(StrToDate("31/12/2024"), EConvertError);
  EXPECT_EQ(DateToStr(EncodeDate(2024, 3, 5)), "3/5/2024");

  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAMonth(2023, 2), 28);
  EXPECT_EQ(DaysInAMonth(2023, 13), 0);
  Word y, m, d, dow;
  EXPECT_TRUE(DecodeDateFully(EncodeDate(2024, 2, 29), y, m, d, dow));
  EXPECT_EQ(dow, 5);                                  // a Thursday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1);  // before day 0: a Sunday
  EXPECT_THROW(DecodeDate(std::numeric_limits<double>::quiet_NaN(), y, m, d), EConvertError);
  EXPECT_EQ(FormatDateTime("hh:nn:ss", EncodeTime(23, 59, 59, 999)), "23:59:59");
  EXPECT_EQ(FormatDateTime("d mmmm yyyy, dddd", EncodeDate(1, 1, 1)), "1 January 0001, Monday");
}

// The one civil-date conversion under its three epochs, against known days:
// julian day numbers, class-library dates and days from 0001-01-01.
TEST(CivilDays, EveryEpochMeetsItsKnownDays) {
  struct Case {
    int y, m, d;
    std::int64_t julian, dateTime, yearOne;
  };
  const Case cases[] = {
      {1, 1, 1, 1721426, -693593, 1},          {1899, 12, 30, 2415019, 0, 693594},
      {1970, 1, 1, 2440588, 25569, 719163},    {2000, 2, 29, 2451604, 36585, 730179},
      {9999, 12, 31, 5373484, 2958465, 3652059},
  };
  for (const Case& c : cases) {
    const std::int64_t days = vx::DaysFromCivil(c.y, c.m, c.d);
    EXPECT_EQ(days + vx::kUnixDayOfJulian, c.julian) << c.y;
    EXPECT_EQ(days + vx::kUnixDayOfDateTime, c.dateTime) << c.y;
    EXPECT_EQ(days + vx::kUnixDayOfYearOne, c.yearOne) << c.y;
    const vx::CivilDate back = vx::CivilFromDays(days);
    EXPECT_EQ(back.year, c.y);
    EXPECT_EQ(back.month, c.m);
    EXPECT_EQ(back.day, c.d);
  }
}
