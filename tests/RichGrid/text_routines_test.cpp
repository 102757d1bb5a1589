// Filter conditions, dates by the locale's order, date series steps and the
// small text routines of the grid.
#include <gtest/gtest.h>

#include "RichGrid/date_parts.h"
#include "RichGrid/filter_match.h"
#include "RichGrid/text_routines.h"
#include "platform/rtl/sysutils.h"
#include "rich_grid_test_support.h"

namespace {

using richgridtest::FormatScope;

TEST(FilterMatch, ConditionsAndChains) {
  FormatScope scope;
  FormatSettings.ShortDateFormat = "dd.MM.yyyy";
  FormatSettings.DateSeparator = '.';
  struct Case {
    const char* filter;
    const char* value;
    bool expected;
  } cases[] = {
      {">5 & <10", "7", true},
      {">5 & <10", "12", false},
      {"a*;b*", "beta", true},
      {"a*^b*", "alpha", true},
      {"  a* ;  c*  ", "gamma", false},
      {"a*&*z;q", "q", true},  // strictly left to right: (a* and *z) or q
      {">=7", "7", true},
      {"<=7", "7", true},
      {"<7", "7", false},
      {">9", "10", true},                   // numbers, not texts
      {">b", "c", true},                    // texts
      {">01.02.2001", "05.03.2001", true},  // dates
      {"?x*", "axyz", true},
      {"!a*", "abc", false},
      {"!a*", "xbc", true},
      {"a*", "Abc", false},  // case counts
      {"a?c", "abbc", false},
      {"*b*b*", "abcb", true},
      {"", "", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchFilter(c.filter, c.value), c.expected) << c.filter << " / " << c.value;
  EXPECT_TRUE(MatchMask(">5&<10", "7"));
  EXPECT_FALSE(MatchMask(">5&<10", "12"));
  EXPECT_TRUE(MatchMask(">5^<1", "0"));
  EXPECT_TRUE(MatchCondition(AnsiString("ab\0zz", 5), "ab"));
}

TEST(DateParts, LocaleOrderAndSeriesSteps) {
  FormatScope scope;
  FormatSettings.ShortDateFormat = "dd.MM.yyyy";
  FormatSettings.DateSeparator = '.';
  TDateTime d = 0;
  ASSERT_TRUE(StrToDateByFormat("05.03.2001", d));
  EXPECT_EQ(d, EncodeDate(2001, 3, 5));
  for (const char* bad : {"32.01.2001", "05.13.2001", "29.02.2001", "05.03", "a.03.2001", ""})
    EXPECT_FALSE(StrToDateByFormat(bad, d)) << bad;
  FormatSettings.ShortDateFormat = "M/d/yy";
  FormatSettings.DateSeparator = '/';
  ASSERT_TRUE(StrToDateByFormat("3/5/2001", d));
  EXPECT_EQ(d, EncodeDate(2001, 3, 5));

  const TDateTime jan31 = EncodeDate(2001, 1, 31) + 0.5;
  struct Step {
    int years, months, days;
    double span;
    TDateTime from;
    bool ok;
    TDateTime expected;
  } steps[] = {
      {0, 0, 3, 7, jan31, true, jan31 + 3},
      {0, 0, 0, 7, jan31, true, jan31 + 7},
      {1, 1, 0, 7, jan31, true, jan31 + 7},
      {2, 0, 0, 0, EncodeDate(2000, 3, 1), true, EncodeDate(2002, 3, 1)},
      {0, 2, 0, 0, jan31, true, EncodeDate(2001, 3, 31) + 0.5},
      {0, 25, 0, 0, EncodeDate(2001, 1, 15), true, EncodeDate(2003, 2, 15)},  // more than one carry
      {0, -13, 0, 0, EncodeDate(2001, 1, 15), true, EncodeDate(1999, 12, 15)},
      {0, 1, 0, 0, jan31, false, 0},                    // 31 February: the series ends
      {1, 0, 0, 0, EncodeDate(2000, 2, 29), false, 0},  // 29 February 2001
  };
  for (const Step& s : steps) {
    TDateTime out = -1;
    EXPECT_EQ(IncDateParts(s.years, s.months, s.days, s.span, s.from, out), s.ok) << s.years << "/" << s.months;
    if (s.ok) { EXPECT_DOUBLE_EQ(out, s.expected) << s.years << "/" << s.months << "/" << s.days; }
  }
}

TEST(TextRoutines, NumberAndCellTextKinds) {
  FormatScope scope;
  FormatSettings.DecimalSeparator = '.';
  FormatSettings.ThousandSeparator = ',';
  struct Case {
    const char* text;
    int kind;
  } numbers[] = {{"-12", 0}, {"123", 0},         {"1-2-3", 2},  {"5-3", 2},   {"-", 2},  {"", 2},
                 {"1.5", 1}, {"1,234,567.5", 1}, {"1,23,4", 2}, {"1.2.3", 2}, {"12a", 2}};
  for (const Case& c : numbers) EXPECT_EQ(TextNumberType(c.text), c.kind) << c.text;
  EXPECT_EQ(NormalizeNumberText("1,234.5"), "1234.5");
  FormatSettings.DecimalSeparator = ',';
  FormatSettings.ThousandSeparator = ' ';
  EXPECT_EQ(NormalizeNumberText("1 234,5"), "1234.5");

  EXPECT_EQ(TextType("=1+1", true), ctFormula);
  EXPECT_EQ(TextType("{\\rtf1}", true), ctRichText);
  EXPECT_EQ(TextType("<B", true), ctMarkup);
  EXPECT_EQ(TextType("a</i>", false), ctPlain);
  EXPECT_EQ(TextType("=", true), ctPlain);
}

TEST(TextRoutines, LineBreaksQuotesAndReferences) {
  struct Case {
    AnsiString got, expected;
  } cases[] = {
      {CRToBR("a\rb"), "a<br>b"},
      {EscapesToLineBreaks("a\\nb\\x"), "a\rb\\x"},
      {LineBreaksToEscapes("a\r\nb"), "a\\nb"},
      {LFToCRLF("a\nb"), "a\r\nb"},
      {TildeToCRLF("a~b"), "a\r\nb"},
      {QuoteText("a\r\nb\rc"), "\"a\nb\rc\""},
      {EncodeLineBreaks("a\r\nb"), "a\t\bb"},
      {EncodeLineBreaks("a\nb"), "a\nb"},
      {DecodeLineBreaks("a\t\bb", true), "a\r\nb"},
      {DecodeLineBreaks("a\t\bb", false), "a"},
      {DecodeLineBreaks("a\tb", true), "a\tb"},
      {CollapseRepeatedChar(' ', "a   b  c"), "a b c"},
      {StripCR("a\r\nb\r"), "a\nb"},
      {UpCaseText("ab\xE0"), "AB\xE0"},
      {FillChars("abc", '*'), "***"},
      {StripURLScheme("http://x.ru"), "x.ru"},
      {StripURLScheme("mailto:a@b"), "a@b"},
      {ColorToHTMLHex(0x0000FF), "FF0000"},
      {ColorToHTMLHex(clHighlight), ColorToHTMLHex(ColorToRGB(clHighlight))},
      {OemToAnsi("\x80\xA0"), "\xC0\xE0"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);

  EXPECT_EQ(SingleCharCount('"', "a\"\"b"), 0);
  EXPECT_EQ(SingleCharCount('"', "\"a\""), 2);
  EXPECT_EQ(SingleCharPos('"', "a\"\"b\"c"), 5);
  EXPECT_EQ(SingleCharPos('"', "ab\"\""), 4);  // the last character counts
  EXPECT_EQ(LineCount("a\rb\rc", true), 3);
  EXPECT_EQ(LineCount("a\rb", false), 1);

  AnsiString s = "first\r\nsecond\rthird";
  EXPECT_EQ(CutFirstLine(s, true), "first");
  EXPECT_EQ(s, "second\rthird");
  EXPECT_EQ(CutFirstLine(s, false), "second");
  EXPECT_EQ(s, "");
  s = "12,34,5";
  EXPECT_EQ(CutBeforeComma(s), "12");
  EXPECT_EQ(s, "34,5");
  s = "none";
  EXPECT_EQ(CutBeforeComma(s), "");
  EXPECT_EQ(s, "none");

  int col = 0, row = 0, p = -1;
  ASSERT_TRUE(IsCellReference("r12c3", col, row));
  EXPECT_EQ(row, 12);
  EXPECT_EQ(col, 3);
  EXPECT_FALSE(IsCellReference("R1C", col, row));
  EXPECT_FALSE(IsCellReference("RxC3", col, row));
  EXPECT_EQ(VarPos("c", "abc", p), 3);
  EXPECT_EQ(p, 3);
  EXPECT_TRUE(IsURL("ab://cd"));
  EXPECT_FALSE(IsURL("mail:x"));
  EXPECT_EQ(FirstCharOfSet("ab;c", [](char c) { return c == ';' || c == ','; }), ';');
}

}  // namespace
