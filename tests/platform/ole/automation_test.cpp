// The automation layer: A1 addresses, values as text, arrays, the server
// registry.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

#include "platform/ole/a1_address.h"
#include "platform/ole/automation.h"
#include "platform/ole/excel_automation.h"
#include "platform/ole/word_automation.h"

namespace {

TEST(A1Address, ColumnLettersInBaseTwentySix) {
  const std::pair<int, const char*> cases[] = {{1, "A"},    {26, "Z"},   {27, "AA"},   {52, "AZ"},     {53, "BA"},
                                               {256, "IV"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}, {0, ""}};
  for (const auto& [column, letters] : cases) {
    EXPECT_EQ(vx::ColumnLetters(column), letters) << column;
    int c = 0, r = 0;
    if (column > 0) {
      ASSERT_TRUE(vx::ParseCellAddress(std::string(letters) + "7", c, r)) << letters;
      EXPECT_EQ(c, column);
      EXPECT_EQ(r, 7);
    }
  }
}

TEST(A1Address, BlocksAndBadAddresses) {
  struct Case {
    const char* text;
    bool ok;
    vx::CellBlock block;
  } cases[] = {
      {"A1:C5", true, {1, 1, 3, 5}},
      {"$A$1:$D$10", true, {1, 1, 4, 10}},
      {"$B$3", true, {2, 3, 2, 3}},
      {"c5:a1", true, {1, 1, 3, 5}},
      {"AA1:AZ2", true, {27, 1, 52, 2}},
      {"", false, {}},
      {"A0", false, {}},
      {"1A", false, {}},
      {"A1:", false, {}},
      {"A1:B", false, {}},
      {"A1 ", false, {}},
      {"$$A1", false, {}},
      {"A99999999999", false, {}},
      {"ZZZZZZZZ1", false, {}},
  };
  for (const Case& c : cases) {
    vx::CellBlock b;
    EXPECT_EQ(vx::ParseCellBlock(c.text, b), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(b.FirstColumn, c.block.FirstColumn) << c.text;
    EXPECT_EQ(b.FirstRow, c.block.FirstRow) << c.text;
    EXPECT_EQ(b.LastColumn, c.block.LastColumn) << c.text;
    EXPECT_EQ(b.LastRow, c.block.LastRow) << c.text;
  }
  EXPECT_EQ(vx::AbsoluteAddress({1, 1, 4, 10}), "$A$1:$D$10");
  EXPECT_EQ(vx::AbsoluteAddress({2, 3, 2, 3}), "$B$3");
}

TEST(OleValues, TextOfValuesAndSparseArrays) {
  EXPECT_EQ(VarToStr(OleVariant{}), "");
  EXPECT_EQ(VarToStr(OleVariant{3.0}), "3");
  EXPECT_EQ(VarToStr(OleVariant{-1.25}), "-1.25");
  EXPECT_EQ(VarToStr(OleVariant{true}), "True");
  EXPECT_EQ(VarToStr(OleVariant{OleError{7}}), "#DIV/0!");
  EXPECT_EQ(VarToStr(OleVariant{std::u16string(u"год\u4E00")}), "год?"_cp.str());

  OleArray a(2, 3);
  EXPECT_EQ(a.Rows(), 2);
  EXPECT_EQ(a.Cols(), 3);
  EXPECT_TRUE(VarIsEmpty(a.Get(1, 2)));
  EXPECT_TRUE(VarIsEmpty(a.Get(-1, 9)));
  a.Set(1, 1, 5.0);
  a.Set(4, 6, std::u16string(u"x"));  // widens
  EXPECT_EQ(a.Rows(), 5);
  EXPECT_EQ(a.Cols(), 7);
  EXPECT_EQ(a.Row(0).size(), 0u);
  EXPECT_EQ(a.Row(1).size(), 2u);
  int r0 = 0, c0 = 0, r1 = 0, c1 = 0;
  ASSERT_TRUE(a.UsedBounds(r0, c0, r1, c1));
  EXPECT_EQ(r0, 1);
  EXPECT_EQ(c0, 1);
  EXPECT_EQ(r1, 4);
  EXPECT_EQ(c1, 6);
  EXPECT_FALSE(OleArray(3, 3).UsedBounds(r0, c0, r1, c1));
}

// The text of a number is FloatToStr's, whatever the number.
TEST(OleValues, NumbersReadAsFloatToStrWrites) {
  std::mt19937_64 rng(11);
  std::vector<double> values = {
      0.0,  -0.0,    1.0,   -1.0,    0.1,        0.2 + 0.1,  1e15, 1e15 - 1,          999999999999999.9,
      1e-5, 9.99e-6, 5e-5,  0.0001,  0.00012,    0.00009999, 1e-4, 123456789012345.6, 100000000000000.5,
      2.5,  -3.75,   1e300, -1e-300, 1234567.891};
  for (int i = 0; i < 20000; ++i) {
    const double scale = std::pow(10.0, static_cast<int>(rng() % 40) - 20);
    values.push_back(static_cast<double>(static_cast<std::int64_t>(rng() % 2000000) - 1000000) / 1000 * scale);
    values.push_back(std::bit_cast<double>(rng() & 0x7FEFFFFFFFFFFFFFull));
  }
  for (char sep : {'.', ','}) {
    const char saved = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = sep;
    for (double v : values) ASSERT_EQ(VarToStr(OleVariant{v}), FloatToStr(v)) << v;
    FormatSettings.DecimalSeparator = saved;
  }
}

class Fake : public TAutomationObject {
 public:
  void Quit() override {}
};

TEST(OleRegistry, ServersByIdentifierWithoutRegardToCase) {
  EXPECT_NE(dynamic_cast<ExcelApplication*>(CreateOleObject("Excel.Application").get()), nullptr);
  EXPECT_NE(dynamic_cast<WordApplication*>(CreateOleObject("word.application").get()), nullptr);
  try {
    CreateOleObject("calc.application");
    ADD_FAILURE() << "no error";
  } catch (const EOleSysError& e) { EXPECT_EQ(e.Message(), "Invalid class string"); }
  {
    vx::ScopedAutomationServer fake("EXCEL.application", [] { return std::make_unique<Fake>(); });
    EXPECT_NE(dynamic_cast<Fake*>(CreateOleObject("excel.application").get()), nullptr);
    vx::ScopedAutomationServer none("excel.application", nullptr);
    EXPECT_THROW(CreateOleObject("excel.application"), EOleSysError);
  }
  EXPECT_NE(dynamic_cast<ExcelApplication*>(CreateOleObject("excel.application").get()), nullptr);
}

}  // namespace
