// The key and case rules of the cell editors, without widgets.
#include <gtest/gtest.h>

#include "RichGrid/cell_input.h"
#include "platform/rtl/sysutils.h"

namespace {

TEST(CellInput, NumberKeys) {
  using K = TNumberInput;
  struct Case {
    K kind;
    const char* text;
    int selStart, selLength;
    char key;
    bool allowed;
  } cases[] = {
      {K::Integer, "12", 2, 0, '7', true},        {K::Integer, "12", 2, 0, 'a', false},
      {K::Integer, "12", 2, 0, '-', false},  // not at the start
      {K::Integer, "5", 0, 0, '-', true},    // at the start of "5"
      {K::Integer, "-5", 0, 0, '-', false},  // one is enough
      {K::Integer, "-5", 0, 2, '-', true},   // replacing the selected one
      {K::Integer, "12", 2, 0, '.', false},       {K::Integer, "12", 2, 0, '\b', true},
      {K::Integer, "12", 2, 0, '\t', true},       {K::Integer, "12", 2, 0, '\r', true},
      {K::PositiveInteger, "", 0, 0, '-', false}, {K::PositiveInteger, "", 0, 0, '3', true},
      {K::Float, "1", 1, 0, '.', true},           {K::Float, "1", 1, 0, ',', true},
      {K::Float, "1.5", 3, 0, '.', false},  // a second decimal mark
      {K::Float, "1.5", 3, 0, ',', false},  // of either kind
      {K::Float, "1.5", 1, 1, '.', true},   // the selected mark is replaced
      {K::Float, "1.5", 1, 1, ',', true},         {K::Float, "", 0, 0, '-', true},
      {K::Float, "1.5", 3, 0, 'e', false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NumberKeyAllowed(c.kind, c.text, c.selStart, c.selLength, c.key), c.allowed)
        << c.text << " [" << c.selStart << "," << c.selLength << "] + '" << c.key << "'";
}

TEST(CellInput, PastedNumberTexts) {
  using K = TNumberInput;
  struct Case {
    K kind;
    const char* text;
    bool allowed;
  } cases[] = {
      {K::Integer, "12a", false},
      {K::Integer, "-12", true},
      {K::Integer, "5-3", false},
      {K::Integer, "1.5", false},
      {K::PositiveInteger, "-12", false},
      {K::PositiveInteger, "12", true},
      {K::Float, "1.5", true},
      {K::Float, "12", true},
      {K::Float, "1.5.1", false},
      {K::Float, "", false},
  };
  const TFormatSettings saved = FormatSettings;
  FormatSettings.DecimalSeparator = '.';
  for (const Case& c : cases) EXPECT_EQ(NumberTextAllowed(c.kind, c.text), c.allowed) << c.text;
  FormatSettings = saved;
}

TEST(CellInput, MixedCase) {
  struct Case {
    const char* from;
    const char* to;
  } cases[] = {
      {"john smith", "John Smith"},
      {"JOHN SMITH", "John Smith"},
      {"o'neil-jones,a.b", "O'Neil-Jones,A.B"},
      {"mcdonald", "McDonald"},
      {"tom mcdonald", "Tom McDonald"},
      {"amcdonald", "Amcdonald"},  // "Mc" only at the start of a word
      {"henry ii", "Henry II"},
      {"henry viii", "Henry Viii"},
      {"louis i", "Louis I"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(MixedCase(c.from), c.to) << c.from;
  EXPECT_EQ(MixedCase("иван петров"_cp), "Иван Петров"_cp);
}

TEST(CellInput, ReplaceSelection) {
  int caret = -1;
  EXPECT_EQ(ReplaceSelection("abcdef", 2, 2, "XY", caret), "abXYef");
  EXPECT_EQ(caret, 4);
  EXPECT_EQ(ReplaceSelection("abc", 3, 0, "d", caret), "abcd");
  EXPECT_EQ(caret, 4);
  EXPECT_EQ(ReplaceSelection("abc", 5, 9, "d", caret), "abcd");  // past the end: appended
  EXPECT_EQ(caret, 4);
}

}  // namespace
