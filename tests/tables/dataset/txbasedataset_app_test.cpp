// The application's own patterns on a real draw base, index building, the
// filter, copies and the creation component; peers read what we wrote.

#include "platform/rtl/fileutils.h"
#include "platform/rtl/stringlist.h"
#include "tables/dataset/tcreatexbasedataset.h"
#include "tests/tables/dataset/dataset_testing.h"

namespace vx::test {
namespace {

// dbfread's view of a table: one line per record "YEAR DRAW", deleted ones
// left out, then the last byte of the file in hex.
std::string DbfRead(const std::string& table, const std::string& fields = "YEAR,DRAW") {
  const std::string script =
      "import dbfread,sys\n"
      "t=dbfread.DBF(sys.argv[1],encoding='cp1251',char_decode_errors='replace')\n"
      "for r in t: print(' '.join(str(r[f]) for f in sys.argv[2].split(',')))\n"
      "print('END %02x' % open(sys.argv[1],'rb').read()[-1])\n";
  WriteFileBytes("/tmp/vx_adapter_dbfread.py", script);
  return RunTool("/usr/bin/python3 /tmp/vx_adapter_dbfread.py " + table + " " + fields + " 2>&1");
}

// A range walk as the application does it: a linear scan finds the start
// (year, draw), the walk goes on to the end (year, draw), and MoveBy goes
// back to the row remembered at the start.
TEST(AdapterApp, RangeWalkAndMoveByBackUnderTheTag) {
  for (int buffers : {1, 20}) {
    SCOPED_TRACE(buffers);
    DrawDataSet f(Years(2001, 2004, 10), true, buffers);
    f.ds.First();
    while (!f.ds.Eof() && f.Active() != DrawKey(2002, 7)) f.ds.Next();
    ASSERT_FALSE(f.ds.Eof());
    int walked = 0;
    while (!f.ds.Eof() && f.Active() <= DrawKey(2003, 4)) {
      ++walked;
      f.ds.Next();
    }
    EXPECT_EQ(walked, 4 + 4);
    EXPECT_EQ(f.Active(), DrawKey(2003, 5));
    EXPECT_EQ(f.ds.MoveBy(-walked), -walked);
    EXPECT_EQ(f.Active(), DrawKey(2002, 7));
    // An exact count walks the handler through the table; the walk of the
    // data set goes on from where it stood.
    f.ds.SetExactCount(true);
    EXPECT_EQ(f.ds.RecordCount(), 40);
    f.ds.SetExactCount(false);
    f.ds.Next();
    EXPECT_EQ(f.Active(), DrawKey(2002, 8));
    f.ds.Prior();
    f.ds.Prior();
    EXPECT_EQ(f.Active(), DrawKey(2002, 6));
    // Walking past the end keeps the last record and sets EOF.
    f.ds.MoveBy(1000);
    EXPECT_TRUE(f.ds.Eof());
    EXPECT_EQ(f.Active(), DrawKey(2004, 10));
  }
}

// The ticket filter is switched on and off; an empty text is no filter and
// a text that is not a condition is refused without filtering anything.
TEST(AdapterApp, TicketFilterTogglesAndBadTextsAreRefused) {
  DrawDataSet f(Years(2001, 2003, 5), true, 20);
  f.ds.SetFilter("(YEAR=2002) AND (DRAW=3)");
  f.ds.SetFiltered(true);
  EXPECT_EQ(f.WalkForward(), std::vector<int>{DrawKey(2002, 3)});
  f.ds.SetExactCount(true);
  EXPECT_EQ(f.ds.RecordCount(), 1);
  f.ds.SetExactCount(false);
  EXPECT_EQ(f.ds.RecordCount(), 15);
  f.ds.SetFilter("(YEAR=2003) AND (DRAW=5)");
  EXPECT_EQ(f.WalkForward(), std::vector<int>{DrawKey(2003, 5)});
  f.ds.SetFiltered(false);
  EXPECT_EQ(f.WalkForward().size(), 15u);
  f.ds.SetFiltered(true);
  EXPECT_EQ(f.WalkForward(), std::vector<int>{DrawKey(2003, 5)});
  f.ds.SetFilter("");
  EXPECT_EQ(f.WalkForward().size(), 15u);
  EXPECT_THROW(f.ds.SetFilter("YEAR+1"), Exception);
  EXPECT_EQ(f.WalkForward().size(), 15u);
  // A filter no record passes: both flags.
  f.ds.SetFilter("YEAR=1999");
  EXPECT_TRUE(f.ds.Bof() && f.ds.Eof());
}

// A listed index file that is not there is refused when it is added.
TEST(AdapterApp, MissingIndexFileIsRefused) {
  DrawDataSet f(ScrambledDraws(12), false, 20);
  EXPECT_THROW(f.ds.IndexFiles()->Add("draws.cdx"), EDatabaseError);
  EXPECT_EQ(f.WalkForward(), f.Expected());
}

// Compound tag names go through the table's character translation, as its
// texts do: with TranslateASCII a Cyrillic name is kept in the OEM code page
// in the file (it used to be written as the program holds it) and reads
// back as it was given; without it the name is kept as it is.
TEST(AdapterApp, CompoundTagNamesGoThroughTheTablesTranslation) {
  DbfScratch dir;
  CreateDraws(dir / "base.dbf", ScrambledDraws(3));
  const AnsiString name = "ТИРАЖ"_cp;
  const std::string oem = "\x92\x88\x90\x80\x86";  // the same in code page 866
  for (const bool translate : {true, false}) {
    SCOPED_TRACE(translate);
    const std::string file = translate ? "oem.cdx" : "ansi.cdx";
    TXBaseDataSet ds;
    ds.SetTranslateASCII(translate);
    ds.SetDatabaseName(dir / "");
    ds.SetTableName("base.dbf");
    ds.Open();
    ds.IndexOn(file, name, "DRAW", "", 1, 0);
    const std::string bytes = ReadFileBytes(dir / file);
    EXPECT_EQ(bytes.find(oem) != std::string::npos, translate);
    EXPECT_EQ(bytes.find(name) != std::string::npos, !translate);
    ds.Close();
    ds.IndexFiles()->Add(file);
    ds.SetIndexName(name);
    ds.Open();
    EXPECT_EQ(ds.IndexTagName(1), name);
    EXPECT_EQ(ds.IndexCurrentOrder(), 1);
  }
}

// Built through the data set, the tag keeps up with later appends and edits.
TEST(AdapterApp, IndexOnKeepsTheBuiltTagCurrent) {
  DbfScratch dir;
  CreateDraws(dir / "base.dbf", ScrambledDraws(12));
  TXBaseDataSet ds;
  ds.SetDatabaseName(dir / "");
  ds.SetTableName("base.dbf");
  ds.Open();
  ds.IndexOn("base.cdx", "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
  ds.SetIndexName("INDEX");
  EXPECT_EQ(ds.IndexCount(), 1);
  EXPECT_EQ(ds.IndexCurrentOrder(), 1);
  EXPECT_EQ(ds.IndexTagName(1), "INDEX");
  EXPECT_EQ(ds.IndexFileName(0), "");
  for (int i = 0; i < 100; ++i) {
    ds.Append();
    ds.FieldByName("YEAR")->SetAsInteger(1900 + (i * 37) % 100);
    ds.FieldByName("DRAW")->SetAsInteger(i + 1);
    ds.Post();
  }
  ds.First();
  ds.Edit();
  ds.FieldByName("YEAR")->SetAsInteger(2100);
  ds.Post();
  std::vector<int> walk;
  ds.First();
  while (!ds.Eof()) {
    walk.push_back(ds.RecNo());
    ds.Next();
  }
  ds.Last();
  ds.Delete();
  walk.pop_back();
  ds.Close();
  EXPECT_EQ(walk.size(), 111u);
  ASSERT_TRUE(HaveTool("/usr/bin/index_dump")) << "index_dump missing (scripts/setup.sh installs it)";
  // The deleted record keeps its key; the live ones are in walk order.
  std::vector<int> listed = IndexDumpRecords(dir / "base.cdx");
  ASSERT_EQ(listed.size(), 112u);
  listed.pop_back();
  EXPECT_EQ(listed, walk);
  const std::string read = DbfRead(dir / "base.dbf");
  // 113 records were written, the repeat among them; one is deleted.
  EXPECT_EQ(std::count(read.begin(), read.end(), '\n'), 112 + 1) << read;
  EXPECT_EQ(read.find("2100 "), std::string::npos);
  EXPECT_NE(read.find("END 1a"), std::string::npos) << read.substr(read.size() > 200 ? read.size() - 200 : 0);
}

// The copy follows the tag: no deleted record, no repeated (year, draw).
TEST(AdapterApp, CopyFileInIndexOrderDropsDeletedAndRepeats) {
  DrawDataSet f(ScrambledDraws(12), true, 20);
  f.ds.First();
  f.ds.Next();
  const int gone = f.Active();
  f.ds.Delete();
  f.ds.CopyFile(f.dir / "copy.dbf", "");
  std::vector<int> expected = f.Expected();
  EXPECT_EQ(std::find(expected.begin(), expected.end(), gone), expected.end());
  // Over itself, its index or memo: refused, nothing touched.
  const std::string before = ReadFileBytes(f.table);
  EXPECT_THROW(f.ds.CopyFile(f.table, ""), EDatabaseError);
  EXPECT_THROW(f.ds.CopyFile(f.dir / "DRAWS.CDX", ""), EDatabaseError);
  EXPECT_EQ(ReadFileBytes(f.table), before);
  f.ds.Close();
  XBO_dBHandler copy(f.dir / "copy.dbf", true, false, "");
  std::vector<int> got;
  for (int n = 1; n <= copy.RecordCount; ++n) {
    copy.GetRec(n);
    got.push_back(DrawKey(int(copy.GetNumberByName("YEAR")), int(copy.GetNumberByName("DRAW"))));
  }
  EXPECT_EQ(got, expected);
}

// Copy a record of the active row into another open table.
TEST(AdapterApp, CopyRecordToTakesTheActiveRow) {
  DrawDataSet f(Years(2001, 2001, 30), false, 20);
  DbfScratch other;
  CreateDraws(other / "target.dbf", {});
  TXBaseDataSet target;
  target.SetDatabaseName(other / "");
  target.SetTableName("target.dbf");
  target.Open();
  f.ds.Last();
  f.ds.MoveBy(-25);  // the window holds the rows after it; the handler stands elsewhere
  const int want = f.Active();
  f.ds.CopyRecordTo(&target);
  EXPECT_EQ(DrawKey(target.FieldByName("YEAR")->AsInteger(), target.FieldByName("DRAW")->AsInteger()), want);
  EXPECT_EQ(f.Active(), want);
  f.ds.Next();
  EXPECT_EQ(f.Active(), want + 1);
}

TEST(AdapterApp, NumbersThatDoNotFitAnIntegerFieldRaise) {
  DrawDataSet f({{2001, 1}}, false, 1);
  f.ds.Edit();
  f.ds.FieldByName("YEAR")->SetAsInteger(2001);
  f.ds.Cancel();
  {
    XBO_dBHandler h(f.table, true, true, "");
    h.GetRec(1);
    h.PutNumberByName("P1", 5e9);
    h.WriteRecord(1);
  }
  f.ds.Refresh();
  EXPECT_THROW(f.ds.FieldByName("P1")->AsInteger(), EDatabaseError);
  EXPECT_EQ(f.ds.FieldByName("YEAR")->AsInteger(), 2001);
}

TEST(AdapterApp, OpenErrorsAndPropertiesWhileOpen) {
  DbfScratch dir;
  TXBaseDataSet ds;
  ds.SetName("T");
  EXPECT_THROW(ds.Open(), EDatabaseError);  // no table name
  ds.SetDatabaseName(dir / "");
  ds.SetTableName("missing");
  try {
    ds.Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.Message()).find("Cannot find file"), std::string::npos);
    EXPECT_NE(std::string(e.Message()).find("missing.DBF"), std::string::npos);
  }
  CreateDraws(dir / "t.dbf", {{2001, 1}});
  ds.SetTableName("t");
  ds.Open();
  EXPECT_THROW(ds.SetDatabaseName("/"), EDatabaseError);
  EXPECT_THROW(ds.SetTableName("x"), EDatabaseError);
  EXPECT_EQ(ds.FieldByName("YEAR")->DataType(), ftInteger);
  EXPECT_EQ(ds.About(), "XBase Version 1.0");
}

// A damaged table is refused with an error; the data set stays closed and
// opens a sound table afterwards.
TEST(AdapterApp, DamagedTablesAreRefusedCleanly) {
  DbfScratch dir;
  const std::vector<std::string> damaged = {
      std::string("\x03\x7c\x01\x01", 4),                         // header cut short
      MakeTableBytes(0x03, {{"YEAR", 'N', 9, 0}}).substr(0, 40),  // descriptors cut
      std::string(300, '\xff'),                                   // noise
  };
  TXBaseDataSet ds;
  ds.SetDatabaseName(dir / "");
  for (const std::string& bytes : damaged) {
    WriteFileBytes(dir / "bad.dbf", bytes);
    ds.SetTableName("bad.dbf");
    EXPECT_THROW(ds.Open(), Exception);
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(ds.Handler(), nullptr);
  }
  CreateDraws(dir / "good.dbf", {{2001, 1}});
  ds.SetTableName("good.dbf");
  ds.Open();
  EXPECT_EQ(ds.FieldByName("YEAR")->AsInteger(), 2001);
}

TEST(AdapterApp, IndexInformationRangesReindexAndUndelete) {
  DrawDataSet f(Years(2001, 2003, 5), true, 20);
  EXPECT_FALSE(f.ds.IsSequenced());
  EXPECT_EQ(f.ds.IndexCount(), 1);
  EXPECT_EQ(f.ds.IndexExpression(1), "YEAR+(0.001*DRAW)");
  EXPECT_NE(AnsiUpperCase(f.ds.IndexFileName(1)).find("DRAWS.CDX"), std::string::npos);
  EXPECT_EQ(f.ds.IndexTagName(2), "");
  f.ds.IndexDefs().SetUpdated(false);
  f.ds.IndexDefs().Update();
  ASSERT_EQ(f.ds.IndexDefs().Count(), 1);
  EXPECT_EQ(f.ds.IndexDefs()[0].Name(), "INDEX");
  EXPECT_EQ(f.ds.IndexDefs()[0].Fields(), "YEAR+(0.001*DRAW)");
  EXPECT_TRUE(f.ds.FieldByName("YEAR")->IsIndexField());
  EXPECT_FALSE(f.ds.FieldByName("P1")->IsIndexField());

  f.ds.SetRange("2002.001", "2002.003", 0, 1, 1);
  EXPECT_EQ(f.WalkForward(), (std::vector<int>{DrawKey(2002, 1), DrawKey(2002, 2), DrawKey(2002, 3)}));
  f.ds.CancelRange();
  EXPECT_EQ(f.WalkForward().size(), 15u);

  f.ds.Reindex();
  EXPECT_EQ(f.WalkForward(), f.Expected());

  // Deleted records show while UseDeleted is on and can be recalled.
  f.ds.First();
  f.ds.Delete();
  EXPECT_EQ(f.WalkForward().size(), 14u);
  f.ds.SetUseDeleted(true);
  f.ds.First();
  EXPECT_EQ(f.Active(), DrawKey(2001, 1));
  f.ds.Undelete();
  f.ds.SetUseDeleted(false);
  EXPECT_EQ(f.WalkForward().size(), 15u);

  f.ds.SetIndexName("");
  EXPECT_EQ(f.ds.IndexCurrentOrder(), 0);
  EXPECT_TRUE(f.ds.IsSequenced());
}

TEST(AdapterApp, CreationComponentChecksItsFieldLines) {
  DbfScratch dir;
  TXBaseDataSet ds;
  ds.SetDatabaseName(dir / "");
  ds.SetTableName("new.dbf");
  TCreateXBaseDataSet create;
  create.SetDBFTable(&ds);
  const std::vector<std::vector<std::string>> invalid = {
      {"YEAR;N;9"},                                      // no decimals part
      {"YEAR;N;9;0", "YEAR;N;9;0"},                      // repeated name
      {"LONGFIELDNAME1;N;9;0", "LONGFIELDNAME2;C;5;0"},  // the same once cut to 10
      {";N;9;0"},                                        // no name
      {"YEAR;NN;9;0"},                                   // type of two letters
      {"YEAR;N;x;0"},
  };
  for (const auto& lines : invalid) {
    create.CreateFields()->Clear();
    for (const auto& l : lines) create.CreateFields()->Add(l);
    EXPECT_THROW(create.Execute(), EDatabaseError) << lines[0];
    EXPECT_FALSE(FileExists(dir / "new.dbf"));
  }
  create.CreateFields()->Clear();
  for (const char* l : {"YEAR;N;9;0;", "DRAW;N;9;0  ", "ABCDEFGHIJKL;C;12;0"}) create.CreateFields()->Add(l);
  ASSERT_TRUE(create.Execute());
  EXPECT_TRUE(ds.Active());
  EXPECT_NE(ds.FindField("ABCDEFGHIJ"), nullptr);
  ds.Close();
  // Existing file, no overwrite and no one to ask: kept.
  EXPECT_FALSE(create.Execute());
  create.AutoOverwrite = true;
  EXPECT_TRUE(create.Execute());
}

}  // namespace
}  // namespace vx::test
