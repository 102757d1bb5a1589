// The limits of the game shape: the numbers of a row of the bases list as
// loaded, and the message for a number typed into one.
#include <gtest/gtest.h>

#include "app/settings/game_shape.h"

namespace {

TEST(GameShape, RowNumbersAreLimitedAndOtherTextsKept) {
  const struct {
    AnsiString k, n, limitedK, limitedN;
  } cases[] = {
      {"6", "49", "6", "49"},           {"6", "99999", "6", "81"},     {"99999", "49", "49", "49"},
      {"20", "80", "20", "80"},         {"0", "0", "1", "1"},          {"-3", "36", "1", "36"},
      {"abc", "99999", "abc", "81"},    {"90", "abc", "81", "abc"},    {" 6 ", "49", " 6 ", "49"},
      {"", "", "", ""},                 {"6", "2147483647", "6", "81"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.k + "/" + c.n);
    AnsiString k = c.k, n = c.n;
    vx::LimitShapeTexts(k, n);
    EXPECT_EQ(k, c.limitedK);
    EXPECT_EQ(n, c.limitedN);
  }
}

TEST(GameShape, TypedNumbersOutsideTheLimitsGetTheProgramsMessage) {
  const AnsiString notANumber = "Введите числовое значение"_cp, tooFew = "Слишком мало номеров"_cp,
                   atMost = "Установите это значение не более "_cp;
  const struct {
    bool highest;
    AnsiString text, other, error;
  } cases[] = {
      {true, "99999", "6", atMost + "81"},
      {true, "82", "6", atMost + "81"},
      {true, "81", "6", ""},
      {true, "5", "6", tooFew},
      {true, "6", "6", ""},
      {true, "", "6", notANumber},
      {true, "99999999999", "6", notANumber},
      {false, "abc", "49", notANumber},
      {false, "7", "5", atMost + "5"},
      {false, "0", "49", tooFew},
      {false, "6", "", ""},
      {false, "82", "abc", atMost + "81"},
      {false, "49", "49", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c.highest ? "n=" : "k=") + c.text + " other " + c.other);
    EXPECT_EQ(vx::ShapeNumberError(c.highest, c.text, c.other), c.error);
  }
}

}  // namespace
