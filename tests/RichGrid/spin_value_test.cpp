// The spin editors' value model without widgets: conversions and their
// fall-backs, bounds, hexadecimal texts, stepping by the caret's field and
// the typed-character rules of both families.
#include <gtest/gtest.h>

#include "RichGrid/spin_value.h"
#include "platform/rtl/sysutils.h"

namespace {

class SpinValue : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.ThousandSeparator = ',';
    FormatSettings.DateSeparator = '.';
    FormatSettings.TimeSeparator = ':';
    FormatSettings.ShortDateFormat = "dd.mm.yyyy";
  }
  void TearDown() override { FormatSettings = saved_; }
  TFormatSettings saved_;
};

TEST_F(SpinValue, ConversionsFallBacksAndBounds) {
  TSpinValueModel m(TSpinFamily::Rich);
  EXPECT_EQ(m.Text(), "0");
  m.MinValue = 5;
  m.MaxValue = 9;
  m.SetText("abc");
  EXPECT_EQ(m.Value(), 5);
  EXPECT_EQ(m.FloatValue(), 5.0);  // the integer bound, as the editors always did
  m.SetValue(12);
  EXPECT_EQ(m.Text(), "9");
  m.MinValue = m.MaxValue = 3;  // equal bounds: none
  m.SetValue(-40);
  EXPECT_EQ(m.Text(), "-40");

  m.SetSpinType(sptFloat);
  m.SetPrecision(2);
  m.SetFloatValue(1.0 / 3);
  EXPECT_EQ(m.Text(), "0.33");
  m.SetPrecision(0);
  m.SetFloatValue(2.5);
  EXPECT_EQ(m.Text(), "2.5");
  m.MinFloatValue = 0;
  m.MaxFloatValue = 1;
  m.SetFloatValue(7);
  EXPECT_EQ(m.Text(), "1");

  m.SetSpinType(sptHex);
  m.SetHexValue(255);
  EXPECT_EQ(m.Text(), "0xFF");
  m.SetText("0x1FF");
  EXPECT_EQ(m.HexValue(), 511);
  m.SetText("0xZZ");
  EXPECT_EQ(m.HexValue(), 0);
  m.Increment = 16;
  m.Step(+1, 0);
  EXPECT_EQ(m.Text(), "0x10");

  m.SetSpinType(sptTime);
  m.SetText("nonsense");
  EXPECT_EQ(m.TimeValue(), 0);
  m.SetSpinType(sptDate);
  m.MinDateValue = EncodeDate(2001, 1, 1);
  m.MaxDateValue = EncodeDate(2001, 12, 31);
  m.SetText("nonsense");
  EXPECT_EQ(m.DateValue(), EncodeDate(2001, 1, 1));
  m.SetDateValue(EncodeDate(2005, 1, 1));
  EXPECT_EQ(m.Text(), "31.12.2001");

  TSpinValueModel grid(TSpinFamily::Rsg);
  EXPECT_EQ(grid.MaxValue, 100);
  EXPECT_EQ(grid.MaxFloatValue, 100.0);
  grid.SetSpinType(sptHex);
  EXPECT_EQ(grid.SpinType(), sptNormal);
  grid.SetText("250");
  grid.Reclamp();  // leaving the editor
  EXPECT_EQ(grid.Text(), "100");
}

TEST_F(SpinValue, DatesAndTimesStepByTheCaretsField) {
  TSpinValueModel m(TSpinFamily::Rich);
  m.SetSpinType(sptDate);
  struct Case {
    const char* from;
    int caret, direction;
    const char* to;
  } dates[] = {
      {"31.12.2001", 1, +1, "01.01.2002"},                                       // day field
      {"31.12.2001", 4, +1, "31.01.2002"},                                       // month field: the next month
      {"31.01.2001", 3, +1, "28.02.2001"},                                       // the day is kept within the month
      {"31.01.2004", 5, +1, "29.02.2004"}, {"29.02.2004", 8, +1, "28.02.2005"},  // year field
      {"15.01.2001", 4, -1, "15.12.2000"},
  };
  for (const Case& c : dates) {
    m.SetText(c.from);
    m.Step(c.direction, c.caret);
    EXPECT_EQ(m.Text(), c.to) << c.from << " caret " << c.caret;
  }
  m.SetSpinType(sptTime);
  struct TimeCase {
    const char* from;
    int caret, direction;
    const char* to;
  } times[] = {
      {"23:30:00", 0, +1, "00:30:00"},  // wraps at midnight
      {"00:00:10", 4, -1, "23:59:10"},
      {"10:59:59", 7, +1, "11:00:00"},
  };
  for (const TimeCase& c : times) {
    m.SetText(c.from);
    m.Step(c.direction, c.caret);
    EXPECT_EQ(m.Text(), c.to) << c.from << " caret " << c.caret;
  }
}

TEST_F(SpinValue, TypedCharacters) {
  struct Case {
    TSpinFamily family;
    TRichSpinType type;
    const char* text;
    int selStart, selLength, precision;
    bool editorEnabled;
    char key;
    bool accepted;
    char becomes;
  } cases[] = {
      {TSpinFamily::Rich, sptNormal, "12", 2, 0, 0, true, '5', true, '5'},
      {TSpinFamily::Rich, sptNormal, "12", 2, 0, 0, true, 'a', false, 'a'},
      {TSpinFamily::Rich, sptNormal, "12", 2, 0, 0, true, ':', false, ':'},
      {TSpinFamily::Rich, sptNormal, "12", 2, 0, 0, true, '\r', false, '\r'},
      {TSpinFamily::Rich, sptNormal, "12", 2, 0, 0, true, '\b', true, '\b'},
      {TSpinFamily::Rich, sptNormal, "12", 2, 0, 0, false, '5', false, '5'},
      {TSpinFamily::Rich, sptNormal, "12", 2, 0, 0, false, '\b', false, '\b'},
      {TSpinFamily::Rich, sptNormal, "12", 2, 0, 0, false, '\x1b', true, '\x1b'},
      {TSpinFamily::Rich, sptFloat, "1.5", 3, 0, 0, true, '.', false, '.'},
      {TSpinFamily::Rich, sptFloat, "1.5", 0, 3, 0, true, '.', true, '.'},  // the old mark is selected
      {TSpinFamily::Rich, sptFloat, "1.25", 4, 0, 2, true, '7', false, '7'},
      {TSpinFamily::Rich, sptFloat, "1.25", 1, 0, 2, true, '7', true, '7'},
      {TSpinFamily::Rich, sptFloat, "1", 1, 0, 0, true, ',', false, ','},
      {TSpinFamily::Rsg, sptFloat, "1", 1, 0, 0, true, ',', true, '.'},
      {TSpinFamily::Rich, sptTime, "10:", 3, 0, 0, true, ':', false, ':'},
      {TSpinFamily::Rich, sptTime, "10", 2, 0, 0, true, ':', true, ':'},
      {TSpinFamily::Rich, sptDate, "01", 2, 0, 0, true, '.', true, '.'},
      {TSpinFamily::Rich, sptHex, "0xF", 3, 0, 0, true, 'a', true, 'a'},
      {TSpinFamily::Rich, sptHex, "0xF", 3, 0, 0, true, 'g', false, 'g'},
      {TSpinFamily::Rich, sptHex, "0xF", 1, 0, 0, true, 'A', false, 'A'},
      {TSpinFamily::Rich, sptHex, "0xF", 2, 0, 0, true, '\b', false, '\b'},
      {TSpinFamily::Rich, sptHex, "0xF", 3, 0, 0, true, '\b', true, '\b'},
  };
  for (const Case& c : cases) {
    TSpinValueModel m(c.family);
    m.SetSpinType(c.type);
    m.SetText(c.text);
    m.SetPrecision(c.precision);
    m.SetText(c.text);
    m.EditorEnabled = c.editorEnabled;
    char key = c.key;
    EXPECT_EQ(m.IsValidChar(key, c.selStart, c.selLength), c.accepted) << c.text << " + '" << c.key << "'";
    EXPECT_EQ(key, c.becomes) << c.text << " + '" << c.key << "'";
  }
}

}  // namespace
