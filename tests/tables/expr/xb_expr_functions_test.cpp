// The built-in functions, one test per family, with the argument checks.
#include "tests/tables/expr/expr_testing.h"

namespace vx::test {
namespace {

void RunCases(const std::vector<ExprCase>& cases) {
  TestLink link;
  for (const ExprCase& c : cases) EXPECT_EQ(EvalText(c.text, &link), c.expected) << "expression: " << c.text;
}

TEST(ExprFunctions, TrimmingAndCase) {
  RunCases({
      {"ALLTRIM('  a b  ')", "C[a b]"},
      {"LTRIM('  a b  ')", "C[a b  ]"},
      {"TRIM('  a b  ')", "C[  a b]"},
      {"RTRIM('  a b  ')", "C[  a b]"},
      {"TRIM(BL)", "C[]"},
      {"UPPER('abc')", "C[ABC]"},
      {"LOWER('AbC')", "C[abc]"},
      {"PROPER('hello wORLD')", "C[Hello World]"},
      {"upper('a')", "C[A]"},  // function names without regard to case
      {"Substr('abc',2,1)", "C[b]"},
  });
  const AnsiString upper = "АБВ"_cp, lower = "ёж"_cp;
  EXPECT_EQ(EvalText(AnsiString("UPPER('абв')"_cp), nullptr), "C[" + upper + "]");
  EXPECT_EQ(EvalText(AnsiString("LOWER('ЁЖ')"_cp), nullptr), "C[" + lower + "]");
}

TEST(ExprFunctions, CharactersAndLengths) {
  RunCases({
      {"LEN('abc ')", "N 4"},
      {"LEN(E)", "N 0"},
      {"ASC('A')", "N 65"},
      {"ASC('')", "N 0"},
      {"CHR(65)", "C[A]"},
      {"CHR(65.9)", "C[A]"},
      {"CHR(256)", "E:A Byte value is required but invalid"},
      {"CHR(-1)", "E:A Byte value is required but invalid"},
      {"LEN(5)", "E:Text needed for Argument 1 of LEN"},
      {"LEN()", "E:Text needed for Argument 1 of LEN"},
  });
}

TEST(ExprFunctions, PiecesOfText) {
  RunCases({
      {"LEFT('abcdef',3)", "C[abc]"},
      {"LEFT('abc',-1)", "C[]"},
      {"LEFT('abc',10)", "C[abc]"},
      {"LEFT('abc',70000)", "E:A Number value is required but invalid"},
      {"RIGHT('abcdef',2)", "C[ef]"},
      {"RIGHT('abc',-5)", "C[]"},
      {"SUBSTR('abcdef',2,3)", "C[bcd]"},
      {"SUBSTR('abcdef',2)", "C[bcdef]"},
      {"SUBSTR('abcdef',2,)", "C[bcdef]"},
      {"SUBSTR('abcdef',0,2)", "C[]"},
      {"SUBSTR('abcdef',7)", "C[]"},
      {"SUBSTR('abcdef',-3,2)", "C[]"},
      {"SUBSTR('abc',1,0)", "C[]"},
      {"SUBSTR('abc',2,-1)", "C[]"},
      {"SUBSTR('abc',1,65536)", "E:A Number value is required but invalid"},
      {"SUBSTR('abc',2^70)", "E:A Number value is required but invalid"},
      // an empty argument keeps its place: the start is missing here
      {"SUBSTR('abcdef',,3)", "E:Number needed for Argument 2 of SUBSTR"},
      {"SPACE(3)", "C[   ]"},
      {"SPACE(-2)", "C[]"},
      {"LEN(SPACE(65535))", "N 65535"},
      {"SPACE(65536)", "E:A Number value is required but invalid"},
  });
}

TEST(ExprFunctions, Searching) {
  RunCases({
      {"AT('b','abcabc')", "N 2"},
      {"AT('b','abcabc',2)", "N 5"},
      {"AT('b','abcabc',3)", "N 5"},  // fewer occurrences: the last one found
      {"AT('x','abc')", "N 0"},
      {"AT('','abc')", "N 0"},
      {"AT('aa','aaaa',2)", "N 3"},
      {"ATC('B','abc')", "N 2"},
      {"AT('B','abc')", "N 0"},
      {"AT(1,'abc')", "E:Text needed for Argument 1 of AT"},
      {"STRTRAN('a-b-c','-')", "C[abc]"},
      {"STRTRAN('a-b-c','-','+')", "C[a+b+c]"},
      {"STRTRAN('a-b-c-d','-','+',2)", "C[a-b+c+d]"},
      {"STRTRAN('a-b-c-d','-','+',2,1)", "C[a-b+c-d]"},
      {"STRTRAN('a-b','-','+',1,0)", "C[a-b]"},
      {"STRTRAN('','-','+')", "C[]"},
      {"STRTRAN('abc','','x')", "C[abc]"},
      {"LEN(STRTRAN(SPACE(1000),' ',SPACE(1000)))", "N 1000000"},
      // growth is bounded: 60000 blanks each turned into 60000 blanks
      {"LEN(STRTRAN(SPACE(60000),' ',SPACE(60000)))", "E:A Text value is required but invalid"},
  });
}

TEST(ExprFunctions, Padding) {
  RunCases({
      {"PADL('ab',5)", "C[   ab]"},
      {"PADR('ab',5,'*')", "C[ab***]"},
      {"PADC('ab',5,'*')", "C[*ab**]"},  // the odd blank goes to the right
      {"PADC('ab',6)", "C[  ab  ]"},
      {"PADL('abcdef',3)", "C[abcdef]"},
      {"PADL('a',-1)", "C[a]"},
      {"PADL(5,3)", "C[  5]"},
      {"PADR(.T.,2)", "C[T ]"},
      {"PADL('a',3,'xy')", "E:A Char value is required but invalid"},
      {"PADL('a',3,1)", "E:A Char value is required but invalid"},
      {"PADL(,3)", "E:Value needed for Argument 1 of Pad"},
      {"PADL('a','3')", "E:Number needed for Argument 2 of PADL"},
      {"PADL('a',65536)", "E:A Number value is required but invalid"},
  });
}

TEST(ExprFunctions, NumbersAsText) {
  RunCases({
      {"STR(3.14159,8,2)", "C[    3.14]"},
      {"STR(5)", "C[         5]"},
      {"STR(5,'x')", "C[         5]"},  // a length that is no number: the default width
      {"STR(123456,3)", "C[***]"},
      {"STR(-1.5,5,1)", "C[ -1.5]"},
      {"STR(-0.001,4,1)", "C[ 0.0]"},
      {"STR(1,-3)", "C[]"},
      {"STR(1,70000)", "E:A Number value is required but invalid"},
      {"STRZERO(5,3)", "C[005]"},
      {"STRZERO(-5,4)", "C[-005]"},
      {"STRZERO(12,2)", "C[12]"},
      {"STRZERO(123,2)", "C[**]"},
      {"VAL('12.5')", "N 12.5"},
      {"VAL(' -3 ')", "N -3"},
      {"VAL('1e3')", "N 1000"},
      {"VAL('abc')", "N 0"},
      {"VAL('12abc')", "N 0"},
      {"VAL('')", "N 0"},
      {"SOUNDEX('Robert')", "C[R163]"},
      {"SOUNDEX('Lloyd')", "C[L430]"},
      {"SOUNDEX('Tymczak')", "C[T522]"},
      {"SOUNDEX('')", "C[0000]"},
  });
}

TEST(ExprFunctions, Arithmetic) {
  RunCases({
      {"INT(3.7)", "N 3"},
      {"INT(-3.7)", "N -3"},
      {"CEILING(3.2)", "N 4"},
      {"CEILING(-3.2)", "N -3"},
      {"CEILING(3)", "N 3"},
      {"FLOOR(3.7)", "N 3"},
      {"FLOOR(-3.2)", "N -4"},
      {"MOD(7,3)", "N 1"},
      {"MOD(-7,3)", "N -1"},
      {"MOD(7.9,3.2)", "N 1"},
      {"MOD(7,-1)", "N 0"},
      {"MOD(7,0)", "E:A Number value is required but invalid"},
      {"MOD(7,0.5)", "E:A Number value is required but invalid"},
      {"INT(2^70)", "E:A Number value is required but invalid"},
      {"CEILING(0-2^70)", "E:A Number value is required but invalid"},
      {"-(2)", "E:Syntax Error in expression \"-(2)\""},  // a sign belongs to a number only
      {"FLOOR(2^63)", "E:A Number value is required but invalid"},
      {"INT('a')", "E:Number needed for Argument 1 of INT"},
      {"BETWEEN(5,1,10)", "L T"},
      {"BETWEEN(1,1,10)", "L T"},
      {"BETWEEN(10,1,10)", "L T"},
      {"BETWEEN(11,1,10)", "L F"},
      {"BETWEEN('b','a','c')", "L T"},
      {"BETWEEN('b  ','b','b')", "L T"},
      {"BETWEEN('b','a',3)", "E:Text needed for Argument 3 of BETWEEN"},
      {"BETWEEN(D,D-1,D)", "L T"},
  });
}

TEST(ExprFunctions, Dates) {
  RunCases({
      {"DTOS(CTOD('20010106'))", "C[20010106]"},
      {"DTOS(CTOD(''))", "C[        ]"},
      {"CTOD('19800101') = 2444240", "L T"},
      {"DOW(CTOD('19800101'))", "N 3"},
      {"DOW(CTOD(''))", "N 0"},
      {"DTOC(CTOD('20010106'),1)", "C[20010106]"},
      {"DTOS(D)", "C[19800101]"},
      {"DTOS('x')", "E:Date needed for Argument 1 of DTOS"},
      {"DTOS(2^40)", "E:A Date value is required but invalid"},
  });
  TestLink link;
  EXPECT_EQ(EvalText("DTOC(D)", &link), "C[" + xbDBFDate.DTOC(2444240) + "]");
  // A bad date text is an expression error, not a crash or another class.
  EXPECT_EQ(EvalText("CTOD('20011345')", &link).substr(0, 2), "E:");
  EXPECT_EQ(EvalText("{20011345}", &link).substr(0, 2), "E:");
  TxbExpHandler today(&link, false, "DATE()");
  ExprValue v;
  today.Evaluate(v);
  EXPECT_EQ(v.Type, xtDate);
  EXPECT_EQ(v.Number, xbDBFDate.TodayJulian());
}

TEST(ExprFunctions, DescendInvertsEveryType) {
  RunCases({
      {"DESCEND(CTOD('19800101')) = 5231808 - 2444240", "L T"},
      {"DTOS(DESCEND(CTOD('')))", "C[        ]"},
      {"DESCEND(5)", "N -5"},
      {"DESCEND(0)", "N 0"},
      {"ASC(DESCEND('a'))", "N 159"},
      {"ASC(SUBSTR(DESCEND('ab'),2,1))", "N 158"},
      {"DESCEND(.T.)", "L F"},
      {"DESCEND()", "L F"},
  });
}

TEST(ExprFunctions, LogicalHelpers) {
  RunCases({
      {"EMPTY('  ')", "L T"},
      {"EMPTY(E)", "L T"},
      {"EMPTY('a')", "L F"},
      {"EMPTY(0)", "L T"},
      {"EMPTY(1)", "L F"},
      {"EMPTY(CTOD(''))", "L T"},
      {"EMPTY(.F.)", "L T"},
      {"EMPTY(.T.)", "L F"},
      {"IIF(.T.,1,2)", "N 1"},
      {"IIF(.F.,'a','b')", "C[b]"},
      {"IIF(N=0, 0, 1/N)", "N 0.2"},
      {"IIF(.T., 1, 1/0)", "N 1"},  // only the chosen branch is evaluated
      {"IIF(.F., 1,)", "U"},
      {"IIF(1,2,3)", "E:Boolean needed for Argument 1 of IIF"},
  });
}

}  // namespace
}  // namespace vx::test
