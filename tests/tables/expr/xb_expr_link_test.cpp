// The table link: field variables of every type, the table functions,
// generic functions offered by a table, and a table of expressions evaluated
// over a real table created with the engine.
#include <cstring>

#include "platform/rtl/codepages.h"
#include "tables/expr/xb_expr_link.h"
#include "tests/tables/dbf/dbf_testing.h"
#include "tests/tables/expr/expr_testing.h"

namespace vx::test {
namespace {

// YEAR N(9), DRAW N(9), P1..P6 N(15), NAME C(10), WHEN D, OK L, PRICE N(8,2),
// NOTES M, RATE F(10,3); four records, the third marked deleted.
void BuildSampleTable(const std::string& path) {
  {
    XBO_DBFBuild b(path);
    b.AddField("YEAR", 'N', 9, 0);
    b.AddField("DRAW", 'N', 9, 0);
    for (int i = 1; i <= 6; ++i) b.AddField("P" + std::to_string(i), 'N', 15, 0);
    b.AddField("NAME", 'C', 10, 0);
    b.AddField("WHEN", 'D', 8, 0);
    b.AddField("OK", 'L', 1, 0);
    b.AddField("PRICE", 'N', 8, 2);
    b.AddField("NOTES", 'M', 10, 0);
    b.AddField("RATE", 'F', 10, 3);
    b.Write();
  }
  struct Row {
    int year, draw, p[6];
    AnsiString name, when;
    bool ok;
    double price;
    AnsiString notes;
    double rate;
    bool deleted;
  };
  const Row rows[] = {
      {2001, 5, {3, 12, 19, 27, 38, 45}, "Smith", "20010106", true, 12.5, "first note", 0.125, false},
      {2001, 6, {1, 2, 3, 4, 5, 6}, "", "", false, 0, "", 0, false},
      {2002, 1, {10, 20, 30, 40, 48, 49}, "Иванов"_cp, "20021231", true, -3.25, "Второй"_cp, -1.5, true},
      {1999, 52, {7, 14, 21, 28, 35, 42}, "smithers", "19991231", false, 100, "x", 2, false},
  };
  XBO_dBaseFld t(path, false, true, "");
  for (const Row& r : rows) {
    t.BlankRecord();
    t.PutNumber(1, r.year);
    t.PutNumber(2, r.draw);
    for (int i = 0; i < 6; ++i) t.PutNumber(3 + i, r.p[i]);
    t.PutString(9, r.name);
    t.PutDate(10, xbDBFDate.CTOD(r.when));
    t.PutLogical(11, r.ok);
    t.PutNumber(12, r.price);
    if (!r.notes.empty()) t.MemoWrite(13, r.notes.data(), static_cast<std::int64_t>(r.notes.size()));
    t.PutNumber(14, r.rate);
    t.AppendRecord();
    if (r.deleted) t.DeleteRecord();
  }
}

struct RecordCase {
  int record;
  std::string text;
  std::string expected;
};

std::string Cp(const char* utf8) { return Utf8ToCp1251(utf8); }

TEST(ExprTableLink, TwoHundredExpressionsOverARealTable) {
  DbfScratch dir;
  const std::string path = dir / "sample.dbf";
  BuildSampleTable(path);
  XBO_dBaseFld table(path, false, false, "");
  TxbDBFExpUserLink& link = xbTableExpLink(table);
  const std::string ivanov = "Иванов"_cp, second = "Второй"_cp;
  const std::vector<RecordCase> cases = {
      // record 1: 2001 / 5
      {1, "YEAR", "N 2001"},
      {1, "DRAW", "N 5"},
      {1, "YEAR+(0.001*DRAW)", "N 2001.005"},
      {1, "(YEAR=2001) AND (DRAW=5)", "L T"},
      {1, "YEAR=2001 AND DRAW=5", "E:A assigned value is required but invalid"},
      {1, "(YEAR=2001) AND (DRAW=6)", "L F"},
      {1, "(YEAR=2001) OR (DRAW=6)", "L T"},
      {1, "P1+P2+P3+P4+P5+P6", "N 144"},
      {1, "P6-P1", "N 42"},
      {1, "P1*P2", "N 36"},
      {1, "P6/P1", "N 15"},
      {1, "MOD(P6,10)", "N 5"},
      {1, "INT(P5/10)", "N 3"},
      {1, "P1 < P2", "L T"},
      {1, "BETWEEN(P3,10,20)", "L T"},
      {1, "NAME", "C[Smith     ]"},
      {1, "NAME = 'Smith'", "L T"},
      {1, "NAME = 'Sm*'", "L T"},
      {1, "NAME = 'smith'", "L F"},
      {1, "UPPER(NAME) = 'SMITH'", "L T"},
      {1, "TRIM(NAME)+'!'", "C[Smith!]"},
      {1, "NAME - '!'", "C[Smith!     ]"},
      {1, "LEN(NAME)", "N 10"},
      {1, "LEN(TRIM(NAME))", "N 5"},
      {1, "'mit' $ NAME", "L T"},
      {1, "SUBSTR(NAME,2,3)", "C[mit]"},
      {1, "LEFT(NAME,2)", "C[Sm]"},
      {1, "RIGHT(TRIM(NAME),2)", "C[th]"},
      {1, "AT('i',NAME)", "N 3"},
      {1, "SOUNDEX(NAME)", "C[S530]"},
      {1, "PROPER(UPPER(NAME))", "C[Smith     ]"},
      {1, "PADL(TRIM(NAME),7,'.')", "C[..Smith]"},
      {1, "DTOS(WHEN)", "C[20010106]"},
      {1, "WHEN", "D 20010106"},
      {1, "DOW(WHEN)", "N 7"},
      {1, "WHEN = CTOD('20010106')", "L T"},
      {1, "WHEN > CTOD('20001231')", "L T"},
      {1, "DTOS(1 + WHEN)", "C[20010107]"},
      {1, "DTOS(WHEN+1)", "C[20010107]"},
      {1, "EMPTY(WHEN)", "L F"},
      {1, "OK", "L T"},
      {1, "OK AND (DRAW=5)", "L T"},
      {1, "NOT OK", "L F"},
      {1, "IIF(OK,'yes','no')", "C[yes]"},
      {1, "PRICE", "N 12.5"},
      {1, "PRICE*2", "N 25"},
      {1, "STR(PRICE,8,2)", "C[   12.50]"},
      {1, "NOTES", "C[first note]"},
      {1, "LEN(NOTES)", "N 10"},
      {1, "'note' $ NOTES", "L T"},
      {1, "UPPER(NOTES)", "C[FIRST NOTE]"},
      {1, "RATE", "N 0.125"},
      {1, "RATE*8", "N 1"},
      {1, "RECNO()", "N 1"},
      {1, "DELETED()", "L F"},
      {1, "TYPE('YEAR')", "C[N]"},
      {1, "TYPE('name')", "C[C]"},
      {1, "TYPE('WHEN')", "C[D]"},
      {1, "TYPE('OK')", "C[L]"},
      {1, "TYPE('NOTES')", "C[M]"},
      {1, "TYPE('RATE')", "C[F]"},
      {1, "FIELDNO('DRAW')", "N 2"},
      {1, "FIELDNO('XYZ')", "N 0"},
      {1, "FIELDNO('notes')", "N 13"},
      {1, "LEN('YEAR')", "N 4"},  // the built-in LEN, not the field's length
      {1, "BOF()", "L F"},
      {1, "EOF()", "L F"},
      {1, "STR(YEAR,4)+STR(DRAW,3)", "C[2001  5]"},
      {1, "STRZERO(DRAW,3)", "C[005]"},
      {1, "DESCEND(DRAW)", "N -5"},
      {1, "YEAR*1000+DRAW", "N 2001005"},
      {1, "VAL(STR(YEAR))", "N 2001"},
      {1, "PADC(STR(DRAW,1),3,'*')", "C[*5*]"},
      {1, "(P1=3) .AND. (P6=45)", "L T"},
      {1, "P1 # 3", "L F"},
      {1, "NOT (P1 = 3)", "L F"},
      {1, "!(DRAW > 5)", "L T"},
      {1, "DRAW >= 5 .AND. .T.", "E:The two sides of an operation do not match"},
      {1, "ALLTRIM(STR(PRICE,10,2))", "C[12.50]"},
      {1, "CEILING(PRICE)", "N 13"},
      {1, "FLOOR(PRICE)", "N 12"},
      {1, "INT(RATE*100)", "N 12"},
      {1, "PRICE > 10 .OR. .F.", "E:The two sides of an operation do not match"},
      {1, "(PRICE > 10) .OR. .F.", "L T"},
      {1, "EMPTY(NAME)", "L F"},
      {1, "EMPTY(NOTES)", "L F"},
      {1, "UPPER(LEFT(NAME,1))+LOWER(SUBSTR(NAME,2,4))", "C[Smith]"},
      {1, "NAME + NOTES", "C[Smith     first note]"},
      {1, "DTOC(WHEN,1)", "C[20010106]"},
      // record 2: blank name, date, memo and numbers
      {2, "YEAR+(0.001*DRAW)", "N 2001.006"},
      {2, "(YEAR=2001) AND (DRAW=5)", "L F"},
      {2, "NAME", "C[          ]"},
      {2, "NAME = ''", "L T"},
      {2, "EMPTY(NAME)", "L T"},
      {2, "LEN(TRIM(NAME))", "N 0"},
      {2, "NAME = 'S*'", "L F"},
      {2, "NAME = '*'", "L F"},
      {2, "WHEN", "D         "},
      {2, "EMPTY(WHEN)", "L T"},
      {2, "DTOS(WHEN)", "C[        ]"},
      {2, "DOW(WHEN)", "N 0"},
      {2, "WHEN = 0", "L T"},
      {2, "OK", "L F"},
      {2, "NOT OK", "L T"},
      {2, "IIF(OK,1,2)", "N 2"},
      {2, "PRICE", "N 0"},
      {2, "EMPTY(PRICE)", "L T"},
      {2, "NOTES", "C[]"},
      {2, "EMPTY(NOTES)", "L T"},
      {2, "LEN(NOTES)", "N 0"},
      {2, "RECNO()", "N 2"},
      {2, "DELETED()", "L F"},
      {2, "P1+P2+P3+P4+P5+P6", "N 21"},
      {2, "STR(P6,2)", "C[ 6]"},
      {2, "RATE", "N 0"},
      {2, "EMPTY(RATE)", "L T"},
      {2, "DESCEND(WHEN)", "D         "},
      {2, "PADR(NAME,12,'-')", "C[          --]"},
      {2, "ALLTRIM(NAME) + 'x'", "C[x]"},
      // record 3: Cyrillic text, negative numbers, marked deleted
      {3, "YEAR+(0.001*DRAW)", "N 2002.001"},
      {3, "(YEAR=2002) AND (DRAW=1)", "L T"},
      {3, "DELETED()", "L T"},
      {3, "RECNO()", "N 3"},
      {3, "NAME", "C[" + ivanov + "    ]"},
      {3, "UPPER(NAME)", "C[" + Cp("ИВАНОВ") + "    ]"},
      {3, "LOWER(TRIM(NAME))", "C[" + Cp("иванов") + "]"},
      {3, "LEN(TRIM(NAME))", "N 6"},
      {3, Cp("NAME = 'Ив*'"), "L T"},
      {3, Cp("'ван' $ NAME"), "L T"},
      {3, "PRICE", "N -3.25"},
      {3, "PRICE < 0", "L T"},
      {3, "INT(PRICE)", "N -3"},
      {3, "FLOOR(PRICE)", "N -4"},
      {3, "CEILING(PRICE)", "N -3"},
      {3, "STR(PRICE,6,2)", "C[ -3.25]"},
      {3, "STRZERO(PRICE,6,2)", "C[-03.25]"},
      {3, "DESCEND(PRICE)", "N 3.25"},
      {3, "NOTES", "C[" + second + "]"},
      {3, "UPPER(NOTES)", "C[" + Cp("ВТОРОЙ") + "]"},
      {3, "WHEN", "D 20021231"},
      {3, "DOW(WHEN)", "N 3"},
      {3, "DTOS(WHEN) > '2002'", "L T"},
      {3, "YEAR - 2000", "N 2"},
      {3, "RATE", "N -1.5"},
      {3, "RATE * RATE", "N 2.25"},
      {3, "OK", "L T"},
      {3, "P6 = 49", "L T"},
      {3, "BETWEEN(P5, 45, 49)", "L T"},
      {3, "MOD(P5, 7)", "N 6"},
      {3, "(P1=10) AND (P2=20) AND (P3=30)", "L T"},
      {3, "P1*P2*P3", "N 6000"},
      {3, Cp("AT('о', NAME)"), "N 5"},
      {3, "SUBSTR(NAME,3,2)", "C[" + Cp("ан") + "]"},
      {3, "PROPER(LOWER(TRIM(NAME)))", "C[" + ivanov + "]"},
      // record 4: 1999 / 52
      {4, "YEAR+(0.001*DRAW)", "N 1999.052"},
      {4, "(YEAR=2001) AND (DRAW=5)", "L F"},
      {4, "(YEAR<2000) OR (DRAW>50)", "L T"},
      {4, "NAME = 'smith'", "L F"},
      {4, "NAME = 'smith*'", "L T"},
      {4, "NAME = '*ers'", "L T"},
      {4, "NAME = '*the*'", "L T"},
      {4, "NAME > 'smith'", "L T"},
      {4, "SOUNDEX(NAME)", "C[S536]"},
      {4, "ATC('SMITH', NAME)", "N 1"},
      {4, "AT('SMITH', NAME)", "N 0"},
      {4, "STRTRAN(NAME,'s','S')", "C[SmitherS  ]"},
      {4, "STRTRAN(NAME,'s','S',2)", "C[smitherS  ]"},
      {4, "PRICE", "N 100"},
      {4, "STR(PRICE,5)", "C[  100]"},
      {4, "STR(PRICE,2)", "C[**]"},
      {4, "PRICE/8", "N 12.5"},
      {4, "WHEN", "D 19991231"},
      {4, "DTOS(WHEN)", "C[19991231]"},
      {4, "DOW(WHEN)", "N 6"},
      {4, "WHEN < CTOD('20000101')", "L T"},
      {4, "(CTOD('20000101') - WHEN) = 1", "L T"},
      {4, "NOTES", "C[x]"},
      {4, "NOTES = 'x'", "L T"},
      {4, "OK", "L F"},
      {4, "OK .OR. (DRAW=52)", "L T"},
      {4, "RATE", "N 2"},
      {4, "RATE ^ 10", "N 1024"},
      {4, "P1 + P6", "N 49"},
      {4, "P6 / P1", "N 6"},
      {4, "STR(P6/P1, 5, 1)", "C[  6.0]"},
      {4, "RECNO()", "N 4"},
      {4, "DELETED()", "L F"},
      {4, "PADL(ALLTRIM(STR(DRAW)),4,'0')", "C[0052]"},
      {4, "STRZERO(DRAW,4)", "C[0052]"},
      {4, "STR(YEAR,4) + STRZERO(DRAW,3)", "C[1999052]"},
      {4, "VAL(STR(YEAR,4) + STRZERO(DRAW,3))", "N 1999052"},
      {4, "LEFT(DTOS(WHEN),4) = STR(YEAR,4)", "L T"},
      {4, "IIF(DRAW > 50, 'late', 'early')", "C[late]"},
      {4, "EMPTY(P1)", "L F"},
      {4, "DESCEND(NAME) = DESCEND('smithers  ')", "L T"},
      {4, "ASC(NAME)", "N 115"},
      {4, "CHR(ASC(NAME)-32)", "C[S]"},
      {4, "YEAR = 1999 .AND. .T.", "E:The two sides of an operation do not match"},
      // errors and names
      {1, "YEAR + NAME", "E:The two sides of an operation do not match"},
      {1, "NAME * 2", "E:The two sides of an operation do not match"},
      {1, "OK + 1", "E:The two sides of an operation do not match"},
      {1, "WHEN = 'x'", "E:The two sides of an operation do not match"},
      {1, "NOSUCH", "E:Field/variable NOSUCH is unknown"},
      {1, "NOSUCHFN(YEAR)", "E:There is no function for NOSUCHFN"},
      {1, "SUBSTR(YEAR,1,2)", "E:Text needed for Argument 1 of SUBSTR"},
      {1, "DTOS(NAME)", "E:Date needed for Argument 1 of DTOS"},
      {1, "IIF(YEAR,1,2)", "E:Boolean needed for Argument 1 of IIF"},
      {1, "T.YEAR", "N 2001"},
      {1, "year + draw", "N 2006"},
      {1, "Recno()", "N 1"},
      {1, "LEN(NOTES + NAME)", "N 20"},
      {1, "FIELDNO('P6')", "N 8"},
  };
  EXPECT_GE(cases.size(), 200u);
  for (const RecordCase& c : cases) {
    table.ReadRecord(c.record);
    EXPECT_EQ(EvalText(c.text, &link), c.expected) << "record " << c.record << ": " << c.text;
  }
}

TEST(ExprTableLink, TableStateFunctions) {
  DbfScratch dir;
  const std::string path = dir / "state.dbf";
  BuildSampleTable(path);
  XBO_dBaseFld table(path, false, false, "");
  TxbDBFExpUserLink& link = xbTableExpLink(table);
  EXPECT_EQ(&link, &xbTableExpLink(table));      // one link per table
  EXPECT_EQ(EvalText("RECNO()", &link), "N 0");  // before any read
  table.ReadRecord(4);
  EXPECT_EQ(EvalText("RECNO()", &link), "N 4");
  table.ReadRecord(5);  // count + 1 only sets the end flag
  EXPECT_EQ(EvalText("EOF()", &link), "L T");
  table.ReadRecord(1);
  table.ReadRecord(xbPrior);
  EXPECT_EQ(EvalText("BOF()", &link), "L T");
  // The field's length byte through the table's LEN is never reached by
  // name: the built-in LEN comes first.
  EXPECT_NE(link.FindFunction("LEN"), nullptr);
  // An unknown field name in TYPE is the engine's field-name error.
  const std::string err = EvalText("TYPE('XYZ')", &link);
  EXPECT_EQ(err.rfind("X:dBase field name is invalid - ", 0), 0u) << err;
  EXPECT_NE(err.find("->XYZ"), std::string::npos) << err;
  // Field variables report their length and decimals to the handler.
  TxbExpHandler h(&link, false, "PRICE + YEAR");
  EXPECT_EQ(h.ResultLength(), 9);
  EXPECT_EQ(h.ResultDecimals(), 2);
}

TEST(ExprTableLink, UnknownFieldTypeGivesRawTextOfItsOwnType) {
  DbfScratch dir;
  const std::string path = dir / "raw.dbf";
  WriteFileBytes(path, MakeTableBytes(0x03, {{"CODE", 'X', 4, 0}, {"N", 'N', 3, 0}}, {" abcd  7"}));
  XBO_dBaseFld table(path, false, false, "");
  TxbDBFExpUserLink& link = xbTableExpLink(table);
  table.ReadRecord(1);
  EXPECT_EQ(EvalText("CODE", &link), "X[abcd]");
  EXPECT_EQ(EvalText("N", &link), "N 7");
  EXPECT_EQ(EvalText("CODE = 'abcd'", &link), "E:The two sides of an operation do not match");
  EXPECT_EQ(EvalText("LEN(CODE)", &link), "E:Text needed for Argument 1 of LEN");
  EXPECT_EQ(EvalText("CODE = CODE", &link), "E:A assigned value is required but invalid");
}

TEST(ExprTableLink, DamagedFieldTextsAreErrorsNotCrashes) {
  DbfScratch dir;
  const std::string path = dir / "damaged.dbf";
  WriteFileBytes(path, MakeTableBytes(0x03, {{"WHEN", 'D', 8, 0}, {"N", 'N', 3, 0}}, {" 2001XX01abc", " 20010101  7"}));
  XBO_dBaseFld table(path, false, false, "");
  TxbDBFExpUserLink& link = xbTableExpLink(table);
  table.ReadRecord(1);
  EXPECT_EQ(EvalText("WHEN", &link).rfind("E:", 0), 0u);
  EXPECT_EQ(EvalText("N", &link).rfind("X:dBase field is of incorrect type", 0), 0u);
  table.ReadRecord(2);
  EXPECT_EQ(EvalText("DTOS(WHEN) + STR(N,2)", &link), "C[20010101 7]");
}

// A table that offers functions of its own to expressions.
class TableWithFunctions : public XBO_dBaseFld {
 public:
  using XBO_dBaseFld::XBO_dBaseFld;
  int ExternalFunction(const AnsiString& command, const AnsiString& name, char& letter, void* exchange) override {
    static const char* const kKnown[] = {"TWICE", "GREETING", "YES", "EPOCH", "BROKEN"};
    bool known = false;
    for (const char* k : kKnown) known = known || name == k;
    if (!known) return -1;
    ++calls;
    if (command == "FIND") return 0;
    auto& call = *static_cast<TxbExternalCall*>(exchange);
    if (name == "TWICE") {
      ExprValue v;
      call.Node->Arg(0, xtNumber, v);
      call.Number = 2 * v.Number;
      letter = 'N';
    } else if (name == "GREETING") {
      call.Text = std::string("hi\0ignored", 10);
      letter = 'C';
    } else if (name == "YES") {
      call.Text = "Y";
      letter = 'L';
    } else if (name == "EPOCH") {
      call.Day = 2444240;
      letter = 'D';
    } else {
      letter = '?';
    }
    return 0;
  }
  int calls = 0;
};

TEST(ExprTableLink, GenericFunctionsComeFromTheTable) {
  DbfScratch dir;
  const std::string path = dir / "generic.dbf";
  BuildSampleTable(path);
  TableWithFunctions table(path, false, false, "");
  TxbDBFExpUserLink& link = xbTableExpLink(table);
  table.ReadRecord(1);
  EXPECT_EQ(EvalText("TWICE(DRAW)", &link), "N 10");
  EXPECT_EQ(EvalText("twice(3) + TWICE(1)", &link), "N 8");
  EXPECT_EQ(EvalText("GREETING()", &link), "C[hi]");
  EXPECT_EQ(EvalText("YES()", &link), "L T");
  EXPECT_EQ(EvalText("DTOS(EPOCH())", &link), "C[19800101]");
  EXPECT_EQ(EvalText("BROKEN()", &link), "0");  // an unknown answer gives no value
  EXPECT_EQ(EvalText("TWICE('a')", &link), "E:Number needed for Argument 1 of TWICE");
  EXPECT_EQ(EvalText("NOPE()", &link), "E:There is no function for NOPE");
  // A name found once is registered and not asked for again.
  const int before = table.calls;
  EvalText("TWICE(1)", &link);
  EXPECT_EQ(table.calls, before + 1);  // PARSE only
}

}  // namespace
}  // namespace vx::test
