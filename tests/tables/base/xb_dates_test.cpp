// Day numbers, DTOS/DTOC/CTOD and the date picture.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/sysutils.h"
#include "tables/base/xb_dates.h"

namespace {

namespace chr = std::chrono;

// Restores the format settings a test changes.
class DateSettings : public ::testing::Test {
 protected:
  void TearDown() override {
    FormatSettings = saved_;
    xbDBFDate.Century = true;
  }
  TFormatSettings saved_ = FormatSettings;
};

using DateConversion = DateSettings;

TEST(DayNumbers, AgreeWithTheCivilCalendarFrom1900To2100) {
  // Julian day of 1970-01-01 is 2440588.
  for (auto d = chr::sys_days{chr::year{1900} / 1 / 1}; d <= chr::sys_days{chr::year{2100} / 12 / 31};
       d += chr::days{1}) {
    const chr::year_month_day ymd{d};
    const auto day = static_cast<std::int32_t>(d.time_since_epoch().count() + 2440588);
    ASSERT_EQ(TxbDBFDate::DayFromYMD(int(ymd.year()), unsigned(ymd.month()), unsigned(ymd.day())), day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02u", int(ymd.year()), unsigned(ymd.month()), unsigned(ymd.day()));
    ASSERT_EQ(xbDBFDate.DTOS(day), text);
    ASSERT_EQ(xbDBFDate.CTOD(text), day);
    ASSERT_EQ(xbDBFDate.DayOfWeek(day), static_cast<int>(chr::weekday{d}.c_encoding()) + 1);
  }
}

TEST(DayNumbers, FixedPointsAndEmptyDates) {
  EXPECT_EQ(xbDBFDate.Offset, 2415019);
  EXPECT_EQ(xbDBFDate.CTOD("19800101"), 2444240);
  EXPECT_EQ(xbDBFDate.DayOfWeek(2444240), 3);  // a Tuesday
  EXPECT_EQ(xbDBFDate.DayOfWeek(0), 0);
  EXPECT_EQ(xbDBFDate.DayOfWeek(-5), 0);
  EXPECT_EQ(xbDBFDate.CTOD("00000000"), 0);
  EXPECT_EQ(xbDBFDate.CTOD("        "), 0);
  EXPECT_EQ(xbDBFDate.CTOD(""), 0);
  EXPECT_EQ(xbDBFDate.DTOS(0), "        ");
  EXPECT_EQ(xbDBFDate.DTOS(-1), "        ");
  EXPECT_EQ(xbDBFDate.DTOS(2147483647), "        ");  // beyond year 9999
  EXPECT_EQ(xbDBFDate.DTOS(1721426), "00010101");
  EXPECT_EQ(xbDBFDate.DTOS(5373484), "99991231");
}

TEST(DayNumbers, TodayComesFromTheLibraryClock) {
  vx::SetClock([] { return EncodeDate(2001, 3, 9) + 0.99; });
  EXPECT_EQ(xbDBFDate.DTOS(xbDBFDate.TodayJulian()), "20010309");
  vx::SetClock(nullptr);
}

TEST_F(DateConversion, InvalidDatesRaiseConversionErrors) {
  for (const char* bad : {"19801301", "19800230", "00001231", "31.02.2001", "1.2.3.4", "abc", "12/"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(xbDBFDate.CTOD(bad), EConvertError);
  }
}

TEST_F(DateConversion, DtocFollowsThePictureAndTheCenturyFlag) {
  const std::int32_t day = xbDBFDate.CTOD("20010309");
  struct Case {
    const char* picture;
    bool century;
    const char* text;
  };
  const Case cases[] = {
      {"dd.MM.yy", true, "09.03.2001"},   {"dd.MM.yy", false, "09.03.01"},
      {"dd.mm.yyyy", true, "09.03.2001"}, {"MM/dd/yy", true, "03.09.2001"},  // '/' is the separator '.'
      {"d.M.y", true, "9.3.2001"},        {"yy-mm-dd", false, "01-03-09"},
      {"dd.mm", true, "09.03"},  // no year: nothing to widen
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture);
    FormatSettings.ShortDateFormat = c.picture;
    xbDBFDate.Century = c.century;
    EXPECT_EQ(xbDBFDate.DTOC(day), c.text);
  }
  FormatSettings.ShortDateFormat = "dd.MM.yy";
  xbDBFDate.Century = true;
  EXPECT_EQ(xbDBFDate.DatePicture(), "DD.MM.YYYY");
  EXPECT_EQ(xbDBFDate.DTOC(0), "          ");  // as long as the widened picture
  xbDBFDate.Century = false;
  EXPECT_EQ(xbDBFDate.DTOC(0), "        ");
}

TEST_F(DateConversion, CtodReadsTheLocalePicture) {
  FormatSettings.ShortDateFormat = "dd.mm.yyyy";
  FormatSettings.DateSeparator = '.';
  EXPECT_EQ(xbDBFDate.CTOD("09.03.2001"), xbDBFDate.CTOD("20010309"));
  EXPECT_EQ(xbDBFDate.CTOD("9.3.2001   "), xbDBFDate.CTOD("20010309"));
  // DTOC and CTOD round-trip.
  EXPECT_EQ(xbDBFDate.CTOD(xbDBFDate.DTOC(2451000)), 2451000);

  FormatSettings.ShortDateFormat = "mm/dd/yyyy";
  FormatSettings.DateSeparator = '/';
  EXPECT_EQ(xbDBFDate.CTOD("03/09/2001"), xbDBFDate.CTOD("20010309"));

  FormatSettings.ShortDateFormat = "yyyy-mm-dd";
  FormatSettings.DateSeparator = '-';
  EXPECT_EQ(xbDBFDate.CTOD("2001-03-09"), xbDBFDate.CTOD("20010309"));

  // Two-digit years fall into the window before today.
  FormatSettings.ShortDateFormat = "dd.mm.yy";
  FormatSettings.DateSeparator = '.';
  FormatSettings.TwoDigitYearCenturyWindow = 50;
  const int thisYear = std::stoi(xbDBFDate.DTOS(xbDBFDate.TodayJulian()).substr(0, 4));
  const std::int32_t day = xbDBFDate.CTOD("01.01.00");
  const int year = std::stoi(xbDBFDate.DTOS(day).substr(0, 4));
  EXPECT_EQ(year % 100, 0);
  EXPECT_GT(year, thisYear - 51);
  EXPECT_LE(year, thisYear + 50);
}

TEST(DateFormat, PictureTokensInAnyCase) {
  const std::int32_t day = xbDBFDate.CTOD("19991231");
  EXPECT_EQ(xbDBFDate.FormatDate(day, "yyyymmdd"), "19991231");
  EXPECT_EQ(xbDBFDate.FormatDate(day, "DD 'of' MM, YYYY"), "31 of 12, 1999");
  EXPECT_EQ(xbDBFDate.FormatDate(day, "d-m-yy"), "31-12-99");
}

}  // namespace
