// The flat form of arithmetic on number fields against the tree it comes
// from: which expressions it takes, and for those the same number (to the
// bit) or the same error on every record, in the tree's order of reading.
#include <cstring>
#include <functional>

#include "tables/expr/xb_expr_link.h"
#include "tables/expr/xb_expr_numeric.h"
#include "tests/tables/dbf/dbf_testing.h"

namespace vx::test {
namespace {

// What an evaluation gave: the number's bits or the error's text.
std::string Outcome(const std::function<double()>& evaluate) {
  try {
    const double number = evaluate();
    std::uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    return "number " + std::to_string(bits);
  } catch (const Exception& e) { return "error " + e.Message(); }
}

TEST(ExprNumericForm, GivesWhatTheTreeGivesOnEveryRecord) {
  DbfScratch dir;
  const std::string path = dir / "numbers.dbf";
  {
    XBO_DBFBuild b(path);
    b.AddField("YEAR", 'N', 9, 0);
    b.AddField("DRAW", 'N', 9, 0);
    b.AddField("PRICE", 'N', 8, 2);
    b.AddField("RATE", 'F', 10, 3);
    b.AddField("ZERO", 'N', 5, 0);
    b.AddField("BIG", 'N', 20, 0);
    b.AddField("BAD", 'N', 6, 0);
    b.AddField("WORSE", 'N', 6, 0);
    b.AddField("NAME", 'C', 10, 0);
    b.AddField("WHEN", 'D', 8, 0);
    b.Write();
  }
  XBO_dBaseFld table(path, false, true, "");
  struct Row {
    double year, draw, price, rate, big;
    const char* bad;  // the text of BAD and WORSE as the file holds it
  };
  for (const Row& r :
       {Row{2001, 5, 12.5, 0.125, 1e19, "    17"}, Row{1999, 52, -3.25, -1.5, -7, "  1x7 "},
        Row{0, 0, 0, 0, 0, "      "}, Row{-12, 1000, 99999.99, 99999.5, 9999999999999999000.0, "-1-2  "}}) {
    table.BlankRecord();
    table.PutNumber(1, r.year);
    table.PutNumber(2, r.draw);
    table.PutNumber(3, r.price);
    table.PutNumber(4, r.rate);
    table.PutNumber(5, 0);
    table.PutNumber(6, r.big);
    std::memcpy(table.CurRecord + table.FieldOffset(7), r.bad, 6);
    std::memcpy(table.CurRecord + table.FieldOffset(8), "  9z9 ", 6);
    table.PutString(9, "name");
    table.AppendRecord();
  }
  TxbDBFExpUserLink& link = xbTableExpLink(table);
  struct Case {
    const char* text;
    bool taken;
  };
  const Case cases[] = {
      {"YEAR+(0.001*DRAW)", true},
      {"YEAR-DRAW", true},
      {"DRAW-YEAR*2", true},
      {"(YEAR-DRAW)*2-PRICE/4", true},
      {"RATE*1.5+PRICE", true},
      {"YEAR/DRAW", true},   // a division by zero on a record
      {"PRICE/ZERO", true},  // always
      {"DRAW^2-YEAR^0.5", true},
      {"BIG*BIG*BIG*BIG*BIG*BIG*BIG*BIG*BIG*BIG*BIG*BIG*BIG*BIG*BIG*BIG*BIG", true},  // beyond any number
      {"BAD+1", true},                                                                // a damaged number
      {"BAD+WORSE", true},  // two: the right one is read first
      {"WORSE-BAD", true},
      {"((((YEAR))))", true},
      {"7", true},
      {"NAME", false},
      {"WHEN+1", false},
      {"YEAR>DRAW", false},
      {"RECNO()+YEAR", false},
      {"VAL(NAME)*2", false},
      {"YEAR+LEN(NAME)", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TxbExpHandler tree(&link, false, c.text);
    const TxbNumericForm form(tree);
    ASSERT_EQ(!form.Empty(), c.taken);
    if (form.Empty()) continue;
    for (int n = 1; n <= table.RecordCount; ++n) {
      table.ReadRecord(n);
      const std::string want = Outcome([&] {
        ExprValue value;
        tree.Evaluate(value);
        return value.Number;
      });
      EXPECT_EQ(Outcome([&] { return form.Evaluate(); }), want) << "record " << n;
    }
  }
  // Operands waiting deeper than the form holds (left sides nested: the
  // right side's value waits) leave the expression to the tree; right sides
  // nested as deep wait for nothing.
  std::string left = "YEAR", right = "YEAR";
  for (int i = 0; i < 40; ++i) {
    left = "(" + left + ")-DRAW";
    right = "DRAW-(" + right + ")";
  }
  EXPECT_TRUE(TxbNumericForm(TxbExpHandler(&link, false, left)).Empty());
  EXPECT_FALSE(TxbNumericForm(TxbExpHandler(&link, false, right)).Empty());
}

}  // namespace
}  // namespace vx::test
