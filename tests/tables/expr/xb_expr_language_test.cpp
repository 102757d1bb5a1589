// The expression language without a table: scanning, precedence, typing,
// operators, text comparison and the error texts.
#include "tests/tables/expr/expr_testing.h"

namespace vx::test {
namespace {

void RunCases(const std::vector<ExprCase>& cases, TxbExpUserLink* link) {
  for (const ExprCase& c : cases) EXPECT_EQ(EvalText(c.text, link), c.expected) << "expression: " << c.text;
}

TEST(ExprScanner, LiteralsOfEveryKind) {
  TestLink link;
  RunCases(
      {
          {"'abc'", "C[abc]"},
          {"\"a'b\"", "C[a'b]"},
          {"[a\"b']", "C[a\"b']"},
          {"{19800101}", "D 19800101"},
          {"{}", "D         "},  // an empty date literal is the empty date (8 blanks)
          {".t.", "L T"},
          {".F.", "L F"},
          {"1.50", "N 1.5"},
          {"-1", "N -1"},
          {"+5", "N 5"},
          {"  N  ", "N 5"},
          {"1.2.3", "N 0"},  // not a number: 0
      },
      &link);
}

TEST(ExprScanner, NamesAndFieldVariables) {
  TestLink link;
  RunCases(
      {
          {"n", "N 5"},        // names are upper-cased
          {"NOTE", "C[x]"},    // a field named NOTE is not the NOT operator
          {"ALIAS.N", "N 5"},  // the part after the first "." is looked up
          {"zz.yy", "E:Field/variable ZZ.YY is unknown"},
          {"ZZZ", "E:Field/variable ZZZ is unknown"},
          {"N.AND.B", "E:The two sides of an operation do not match"},
      },
      &link);
  EXPECT_EQ(EvalText("N", nullptr), "E:Field/variable N is unknown");
  EXPECT_EQ(EvalText("FOO(1)", nullptr), "E:There is no function for FOO");
  EXPECT_EQ(EvalText("FOO(1)", &link), "E:There is no function for FOO");
}

TEST(ExprScanner, ScanErrorsHaveTheirTexts) {
  TestLink link;
  RunCases(
      {
          {"N 5", "E:Syntax Error in expression \"N 5\""},
          {"N <=> 5", "E:Syntax Error in expression \"N <=> 5\""},
          {"5 !", "E:Syntax Error in expression \"5 !\""},
          {"N .XOR. 5", "E:Syntax Error in expression \"N .XOR. 5\""},
          {"N ANDX B", "E:Syntax Error in expression \"N ANDX B\""},
          {"(N=5", "E:Missing closing parentheses"},
          {"SUBSTR(T,1", "E:Missing closing parentheses"},
          {".X.", "E:Expecting \".T.\" or \".F.\""},
          {".T", "E:Missing closing period"},
          {"'abc", "E:Missing closing \"'\" on literal"},
          {"[abc", "E:Missing closing \"[\" on literal"},
          {"{2001", "E:Missing closing \"{\" on literal"},
          {"()", "E:Expression cannot be evaluated"},
          {"N +", "E:Target value missing for + operation"},
          {"NOT", "E:Target value missing for .NOT. operation"},
          {"B .AND.", "E:Target value missing for .AND. operation"},
      },
      &link);
}

TEST(ExprScanner, ParenthesesInsideQuotesDoNotCount) {
  TestLink link;
  RunCases(
      {
          {"LEN(')(')", "N 2"},
          {"(')' + '(')", "C[)(]"},
          {"SUBSTR('a,b', 2, 1)", "C[,]"},
      },
      &link);
}

TEST(ExprPrecedence, LevelsAndLeftGrouping) {
  TestLink link;
  RunCases(
      {
          {"2+3*4", "N 14"},
          {"2*3+4", "N 10"},
          {"(2+3)*4", "N 20"},
          {"10-2-3", "N 5"},
          {"12/2/3", "N 2"},
          {"2*-3", "N -6"},
          {"N-1", "N 4"},
          {"N - -1", "N 6"},
          {"2^3^2", "N 64"},
          {"2**3", "N 8"},
          {"2+2^3", "N 10"},
          {".T. AND .F. OR .T.", "L T"},
          {".T. OR .F. AND .F.", "L T"},
          {"(N=5) AND (N<6)", "L T"},
          {"(N=5) .and. (N<6)", "L T"},
          // AND binds before the comparisons: 5 AND N is a number operation.
          {"N=5 AND N<6", "E:A assigned value is required but invalid"},
          {"NOT N=5", "L F"},
          {"NOT NOT .T.", "L T"},
          {"!.F.", "L T"},
          {".NOT. .T.", "L F"},
          {"B AND NOT .F.", "L T"},
          {"B .AND. .NOT. B", "L F"},
          {"B OR !B", "L T"},
          {".T. = NOT .F.", "L T"},
      },
      &link);
}

TEST(ExprPrecedence, PowerFollowsMathematics) {
  TestLink link;
  RunCases(
      {
          {"2^0", "N 1"},
          {"2^1", "N 2"},
          {"2^3", "N 8"},
          {"4^0.5", "N 2"},
          {"2^-1", "N 0.5"},
          {"(-8)^(1/3)", "E:A Number value is required but invalid"},
          {"0^-1", "E:A Number value is required but invalid"},
      },
      &link);
}

TEST(ExprPrecedence, EveryOperatorForm) {
  TestLink link;
  RunCases(
      {
          {"N EQ 5", "L T"},
          {"N ne 4", "L T"},
          {"N Ge 5", "L T"},
          {"N le 5", "L T"},
          {"N lt 6", "L T"},
          {"N gt 4", "L T"},
          {"N.eq.5", "L T"},
          {"N<>4", "L T"},
          {"N!=4", "L T"},
          {"N#4", "L T"},
          {"N>=5", "L T"},
          {"N=>5", "L T"},
          {"N<=5", "L T"},
          {"N=<5", "L T"},
          {"N>5", "L F"},
          {"N<5", "L F"},
      },
      &link);
}

TEST(ExprTyping, NumbersAndDates) {
  TestLink link;
  RunCases(
      {
          {"D+1", "N 2444241"},  // the result takes the right operand's type
          {"1+D", "D 19800102"},
          {"D > {19791231}", "L T"},
          {"D = 2444240", "L T"},
          {"N/0", "E:A Number value is required but invalid"},
          {"N + 'a'", "E:The two sides of an operation do not match"},
          {"D = 'a'", "E:The two sides of an operation do not match"},
          {".T. + .T.", "E:A number value is required but invalid"},
          {".T. < .F.", "E:A assigned value is required but invalid"},
          {".T. = .T.", "L T"},
          {".T. # .F.", "L T"},
          {"NOT 5", "E:A boolean value is required but invalid"},
          {"N == 5", "L T"},
          {"N $ 5", "E:A assigned value is required but invalid"},
          {"N AND 5", "E:A assigned value is required but invalid"},
          {"'a' * 'b'", "E:A assigned value is required but invalid"},
          {"10^200 * 10^200", "E:A Number value is required but invalid"},
      },
      &link);
}

TEST(ExprTyping, TextOperators) {
  TestLink link;
  RunCases(
      {
          {"T + 'x'", "C[ab  x]"},
          {"'ab  ' - 'c'", "C[abc  ]"},
          {"E - E", "C[]"},
          {"'abc' $ 'xxabcxx'", "L T"},
          {"'ABC' $ 'xxabcxx'", "L F"},
          {"'abd' $ 'xxabcxx'", "L F"},
      },
      &link);
  // "$" compares exactly whatever the comparison settings say.
  EXPECT_EQ(EvalText("'ABC' $ 'xabcx'", &link, false, true), "L F");
}

TEST(ExprTextCompare, TrailingBlanksAndEmptySides) {
  TestLink link;
  RunCases(
      {
          {"T = 'ab'", "L T"},
          {"T = 'ab    '", "L T"},
          {"E = ''", "L T"},
          {"BL = ''", "L T"},  // a blank field equals the empty text
          {"'' = BL", "L T"},
          {"'   ' = ' '", "L T"},
          {"E < 'a'", "L T"},
          {"'a' > E", "L T"},
          {"BL < 'a'", "L T"},
          {"'abc' = 'abcd'", "L F"},
          {"'abc' < 'abd'", "L T"},
          {"'abc' # 'abd'", "L T"},
      },
      &link);
}

// "==" used to raise "A assigned value is required but invalid" for every
// operand type, so a FOR condition written by another program with it
// (TRIM(UPPER(facility))=="AUDIO") could not be evaluated at all.
TEST(ExprTextCompare, ExactEqualityComparesWholeValues) {
  TestLink link;
  RunCases(
      {
          {"\"AB\"==\"AB\"", "L T"},
          {"\"AB \"==\"AB\"", "L F"},  // trailing blanks count
          {"\"A\"==\"AB\"", "L F"},    // no prefix match
          {"\"AB\"==\"A\"", "L F"},
          {"\"A*\"==\"AB\"", "L F"},   // no wildcards
          {"\"AB\"==\"A*\"", "L F"},
          {"\"ab\"==\"AB\"", "L F"},
          {"E==''", "L T"},
          {"BL==''", "L F"},
          {"TRIM(UPPER(T))==\"AB\"", "L T"},
          {"1==1.0", "L T"},
          {"1==1.5", "L F"},
          {"D=={19800101}", "L T"},
          {"D==2444240", "L T"},
          {".T.==.T.", "L T"},
          {".T.==.F.", "L F"},
          {"'a'==1", "E:The two sides of an operation do not match"},
      },
      &link);
  EXPECT_EQ(EvalText("'ab'=='AB'", &link, false, true), "L F");
}

TEST(ExprTextCompare, Wildcards) {
  TestLink link;
  RunCases(
      {
          {"T = 'a*'", "L T"},
          {"T = 'ab*'", "L T"},
          {"T = '*b'", "L T"},
          {"T = '*'", "L T"},
          {"T = '*x*'", "L F"},
          {"T = 'b*'", "L F"},
          {"'abc' = '*b*'", "L T"},
          {"'abc' = 'a?c'", "L F"},  // the one-character wildcard plays no part
          {"'ABC' = 'ab*'", "L F"},
          {"'abc' # 'ab*'", "L F"},
      },
      &link);
  EXPECT_EQ(EvalText("'ABC' = 'ab*'", &link, false, true), "L T");
  EXPECT_EQ(EvalText("'ab' = 'AB'", &link, false, true), "L T");
  EXPECT_EQ(EvalText("'ab' = 'a*'", &link, false, false, false), "L F");
  EXPECT_EQ(EvalText("'abc' = 'ab%'", &link, true), "L T");
  EXPECT_EQ(EvalText("'abc' = 'ab*'", &link, true), "L F");
}

TEST(ExprHandler, ExpressionTextReadsBack) {
  TestLink link;
  struct {
    const char* text;
    const char* back;
  } cases[] = {
      {"YEAR+(0.001*DRAW)", "YEAR+(0.001*DRAW)"},
      {"(N=5) and (N<6)", "(N=5).AND.(N<6)"},
      {"SUBSTR(T,,2)", "SUBSTR(T,,2)"},
      {"B AND NOT B", "B.AND..NOT.B"},
      {"n ge 4", "N.GE.4"},
      {"[x] + 'y' + {19800101}", "[x]+'y'+{19800101}"},
  };
  link.Add("YEAR", ExprValue{});
  link.Add("DRAW", ExprValue{});
  for (const auto& c : cases) {
    TxbExpHandler h(&link, false, c.text);
    EXPECT_EQ(h.ExpressionText(), c.back);
    // The text written back parses again to the same text.
    TxbExpHandler again(&link, false, h.ExpressionText());
    EXPECT_EQ(again.ExpressionText(), c.back);
  }
}

TEST(ExprHandler, StateAcrossExpressions) {
  TestLink link;
  TxbExpHandler h(&link, false, "");
  EXPECT_FALSE(h.HasTree());
  ExprValue v;
  h.Evaluate(v);
  EXPECT_EQ(v.Type, xtNone);
  h.SetExpression("'abcd' + T + '12345'");
  EXPECT_EQ(h.ResultLength(), 10);  // the longest literal or field
  EXPECT_EQ(h.OperandCount(), 3);
  h.Evaluate(v);
  EXPECT_EQ(h.ResultType(), xtText);
  EXPECT_THROW(h.SetExpression("(("), EXBaseExpression);
  EXPECT_FALSE(h.HasTree());
  h.SetExpression("1.250 + 2");
  EXPECT_EQ(h.ResultDecimals(), 3);
  EXPECT_TRUE(link.GetFieldValue("N", v));
  EXPECT_EQ(v.Number, 5);
  EXPECT_FALSE(h.GetFieldValue("MISSING", v));
}

TEST(ExprHandler, NodeListsAndSettingsAfterParsing) {
  TestLink link;
  TxbExpHandler h(&link, false, "(N=5) AND (UPPER(T) = 'AB*') OR B");
  AnsiString fields, functions;
  h.Tree()->CollectTexts(TxbExpBaseObject::nkFieldvar, fields);
  h.Tree()->CollectTexts(TxbExpBaseObject::nkFunction, functions);
  EXPECT_EQ(fields, "N;T;B");
  EXPECT_EQ(functions, "UPPER");
  // Comparison settings are read at evaluation time.
  TxbExpHandler cmp(&link, false, "T = 'AB*'");
  ExprValue v;
  cmp.Evaluate(v);
  EXPECT_FALSE(v.Boolean);
  cmp.CaseInsensitive = true;
  cmp.Evaluate(v);
  EXPECT_TRUE(v.Boolean);
  cmp.Wildcards = false;
  cmp.Evaluate(v);
  EXPECT_FALSE(v.Boolean);
}

TEST(ExprHandler, EvaluatesIntoValueHolder) {
  TestLink link;
  TxbVariant out;
  EXPECT_EQ(TxbExpHandler(&link, false, "N*2").Evaluate(out), xtNumber);
  EXPECT_EQ(out.Type(), TxbVariant::xbvtNumber);
  EXPECT_EQ(out.GetNumber(), 10);
  TxbExpHandler(&link, false, "D").Evaluate(out);
  EXPECT_EQ(out.Type(), TxbVariant::xbvtDate);
  EXPECT_EQ(out.GetDate(), 2444240);
  TxbExpHandler(&link, false, "T").Evaluate(out);
  EXPECT_EQ(out.GetString(), "ab  ");
  TxbExpHandler(&link, false, "B").Evaluate(out);
  EXPECT_EQ(out.Type(), TxbVariant::xbvtLogical);
  TxbExpHandler(&link, false, "").Evaluate(out);
  EXPECT_TRUE(out.Empty());
}

TEST(ExprHandler, HostileShapesAreRefusedNotCrashed) {
  TestLink link;
  const std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_EQ(EvalText(deep, &link), "E:Expression cannot be evaluated");
  std::string chain = "1";
  for (int i = 0; i < 5000; ++i) chain += "+1";
  EXPECT_EQ(EvalText(chain, &link), "E:Expression cannot be evaluated");
  EXPECT_EQ(EvalText(std::string(5000, '!') + ".T.", &link), "E:Expression cannot be evaluated");
  std::string calls;
  for (int i = 0; i < 3000; ++i) calls += "UPPER(";
  calls += "'a'" + std::string(3000, ')');
  EXPECT_EQ(EvalText(calls, &link), "E:Expression cannot be evaluated");
  // Moderate nesting still works.
  std::string ok = "1";
  for (int i = 0; i < 200; ++i) ok += "+1";
  EXPECT_EQ(EvalText(ok, &link), "N 201");
  // A literal holding the old token terminator is just a byte.
  EXPECT_EQ(EvalText(std::string("LEN('a\x01") + "b')", &link), "N 3");
}

}  // namespace
}  // namespace vx::test
