// Draw, results and ticket tables: the layouts as peers read them, and a
// draw base written by python3-dbf (shuffled, with a repeated draw and no
// index) taken through indexing, appends, the check and the repair.
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/bases/base_tables.h"
#include "app/bases/draw_base.h"
#include "app_test_support.h"
#include "platform/db/data_source.h"
#include "platform/db/field.h"
#include "platform/gui/grids/grids.h"
#include "tables/dataset/tcreatexbasedataset.h"
#include "tables/dataset/txbasedataset.h"
#include "tests/support/run_tool.h"

namespace {

using vx::test::RunTool;

// Records as "year/draw:numbers" in the order dbfread returns them.
std::string DbfreadRows(const std::string& path) {
  return RunTool(
      "/usr/bin/python3 -c \"import dbfread,sys\n"
      "for r in dbfread.DBF(sys.argv[1], encoding='cp1251'):\n"
      "  v=list(r.values()); print('%d/%d:%s' % (v[0], v[1], ','.join(str(x) for x in v[2:])))\" " +
      path);
}

// (year, draw, numbers...) in physical order: shuffled, 2019/3 twice.
void WriteFixture(const std::string& path) {
  const std::string script =
      "import dbf,sys\n"
      "t=dbf.Table(sys.argv[1],'YEAR N(9,0); DRAW N(9,0); P1 N(15,0); P2 N(15,0); P3 N(15,0); P4 N(15,0); "
      "P5 N(15,0); P6 N(15,0)',dbf_type='db3')\n"
      "t.open(dbf.READ_WRITE)\n"
      "for r in [(2020,2,1,2,3,4,5,6),(2019,3,7,8,9,10,11,12),(2020,1,13,14,15,16,17,18),"
      "(2019,1,19,20,21,22,23,24),(2019,3,25,26,27,28,29,30),(2019,2,31,32,33,34,35,36)]:\n"
      "  t.append(r)\n"
      "t.close()\n";
  RunTool("/usr/bin/python3 -c \"" + script + "\" " + path);
}

class DrawBaseTest : public AppTest {
 protected:
  void OpenFixture(const std::string& name) {
    table = std::make_unique<TXBaseDataSet>();
    table->SetDatabaseName(folder);
    table->SetTableName(name);
    table->Open();
  }
  // A new empty draw table of two numbers, open as `table`.
  void CreateTwoNumberTable(const std::string& name) {
    TCreateXBaseDataSet creator;
    TStringList lines;
    vx::DrawFieldLines(lines, 2);
    table = std::make_unique<TXBaseDataSet>();
    ASSERT_TRUE(vx::CreateTable(*table, creator, folder, name, lines));
  }
  std::vector<std::string> Order() {
    std::vector<std::string> out;
    for (table->First(); !table->Eof(); table->Next())
      out.push_back(table->Fields()[0]->AsString() + "/" + table->Fields()[1]->AsString());
    return out;
  }
  std::unique_ptr<TXBaseDataSet> table;
};

// A link that counts every notice of a moved or changed record, as a
// data-aware grid gets them.
class CountingLink : public TDataLink {
 public:
  int notices = 0;

 protected:
  void DataSetChanged() override { ++notices; }
  void DataSetScrolled(int) override { ++notices; }
  void RecordChanged(TField*) override { ++notices; }
};

const std::vector<std::string> kSorted{"2019/1", "2019/2", "2019/3", "2020/1", "2020/2"};

}  // namespace

TEST_F(DrawBaseTest, NewTablesHaveTheirLayoutsAsPeersReadThem) {
  TXBaseDataSet t;
  TCreateXBaseDataSet creator;
  TStringList lines;
  vx::DrawFieldLines(lines, 6);
  ASSERT_TRUE(vx::CreateTable(t, creator, folder, "lm.dbf", lines));
  t.Close();
  const AnsiString bytes = apptest::ReadFile(folder + "lm.dbf");
  ASSERT_EQ(bytes.size(), 290u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x03);

  ASSERT_TRUE(ForceDirectories(vx::TicketFolder()));
  vx::TicketFieldLines(lines, 6);
  ASSERT_TRUE(vx::CreateTable(t, creator, vx::TicketFolder(), "my" + vx::TicketExtension, lines));
  EXPECT_EQ(t.FieldCount(), 9);
  t.Close();

  const std::string fields =
      "import dbfread,sys\n"
      "t=dbfread.DBF(sys.argv[1])\n"
      "print(' '.join('%s:%s:%d:%d' % (f.name,f.type,f.length,f.decimal_count) for f in t.fields))";
  EXPECT_EQ(RunTool("/usr/bin/python3 -c \"" + fields + "\" " + folder + "lm.dbf"),
            "YEAR:N:9:0 DRAW:N:9:0 P1:N:15:0 P2:N:15:0 P3:N:15:0 P4:N:15:0 P5:N:15:0 P6:N:15:0\n");
  EXPECT_EQ(RunTool("/usr/bin/python3 -c \"" + fields + "\" " + vx::TicketFolder() + "my.tic"),
            "YEAR:N:9:0 DRAW:N:9:0 NUM:N:9:0 P1:N:15:0 P2:N:15:0 P3:N:15:0 P4:N:15:0 P5:N:15:0 P6:N:15:0\n");
  EXPECT_EQ(vx::BaseFileStem("c:\\x\\lm.dbf"), "lm");
}

TEST_F(DrawBaseTest, IndexingBuildsAnActiveUniqueTagThatAppendsKeepCurrent) {
  WriteFixture(folder + "lm.dbf");
  OpenFixture("LM.DBF");
  vx::Indexing(*table);
  EXPECT_TRUE(FileExists(folder + "lm.cdx"));
  EXPECT_EQ(table->IndexName(), "INDEX");
  EXPECT_EQ(Order(), kSorted);

  table->Append();
  table->Fields()[0]->SetAsInteger(2020);
  table->Fields()[1]->SetAsInteger(3);
  for (int i = 2; i < 8; ++i) table->Fields()[i]->SetAsInteger(i);
  table->Post();
  table->Close();

  const std::string dump =
      RunTool("/usr/bin/index_dump --type=num " + vx::NativeFileName(folder + "lm.cdx") + " INDEX 2>&1");
  // One entry per (year, draw) in key order: the first 2019/3 (record 2) only.
  EXPECT_EQ(dump, "2019.001 4\n2019.002 6\n2019.003 2\n2020.001 3\n2020.002 1\n2020.003 7\n") << dump;

  // The data set keeps the new file and its tag for the next opening.
  table->Open();
  EXPECT_EQ(table->IndexName(), "INDEX");
  EXPECT_EQ(Order().size(), 6u);
  EXPECT_FALSE(vx::IndexOlderThanTable(folder + "lm.cdx", folder + "lm.dbf"));
}

TEST_F(DrawBaseTest, CheckFindsDisorderAndRepairMendsItInTheBasesOwnFolder) {
  WriteFixture(folder + "lm.dbf");
  OpenFixture("lm.dbf");
  vx::Indexing(*table);

  // Records in index order carry record numbers 4, 6, 2, ...
  dialogs.Expect(vx::DialogKind::Message, "Не совпадают номера"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "Всего ошибок: 1"_cp, mrOk);
  EXPECT_EQ(vx::CheckBase(*table, 49), 1);

  // Repair started from another folder that holds a same-named decoy.
  const std::string elsewhere = folder + "elsewhere/";
  std::filesystem::create_directories(elsewhere);
  apptest::WriteFile(elsewhere + "lm.dbf", "decoy");
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere);
  const bool repaired = vx::RepairBase(*table, {});
  std::filesystem::current_path(cwd);
  ASSERT_TRUE(repaired);
  EXPECT_EQ(apptest::ReadFile(elsewhere + "lm.dbf"), "decoy");
  EXPECT_FALSE(FileExists(folder + "repair337.dbf"));
  EXPECT_EQ(table->IndexName(), "INDEX");
  EXPECT_EQ(Order(), kSorted);

  dialogs.Expect(vx::DialogKind::Message, "Всего ошибок: 0"_cp, mrOk);
  EXPECT_EQ(vx::CheckBase(*table, 49), 0);
  table->Close();
  EXPECT_EQ(DbfreadRows(folder + "lm.dbf"),
            "2019/1:19,20,21,22,23,24\n2019/2:31,32,33,34,35,36\n2019/3:7,8,9,10,11,12\n"
            "2020/1:13,14,15,16,17,18\n2020/2:1,2,3,4,5,6\n");
}

TEST_F(DrawBaseTest, CheckReportsBadValuesAndStopsOnCancel) {
  CreateTwoNumberTable("bad.dbf");
  auto add = [&](int y, int d, int a, int b) {
    table->Append();
    table->Fields()[0]->SetAsInteger(y);
    table->Fields()[1]->SetAsInteger(d);
    table->Fields()[2]->SetAsInteger(a);
    table->Fields()[3]->SetAsInteger(b);
    table->Post();
  };
  add(2001, 5, 0, 50);
  add(2000, 1, -3, 4);
  dialogs.Expect(vx::DialogKind::Message, "нулевое значение в поле P1"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "значение 50 в поле P2 больше 49"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "отрицательное значение в поле P1"_cp, mrCancel);
  dialogs.Expect(vx::DialogKind::Message, "3 ошибок"_cp, mrOk);
  EXPECT_EQ(vx::CheckBase(*table, 49), 3);

  EXPECT_TRUE(vx::IsListedBase("LM.DBF", "lm"));
  EXPECT_TRUE(vx::IsListedBase("LM.DBF", "lm.dbf"));
  EXPECT_FALSE(vx::IsListedBase("ЛМ.dbf"_cp, "лм"_cp));
  EXPECT_TRUE(vx::IsListedBase("ЛМ.dbf"_cp, "ЛМ"_cp));
  EXPECT_TRUE(vx::IsOpenTable(folder + "BAD.DBF", {table.get()}));
  EXPECT_FALSE(vx::IsOpenTable(folder + "other.dbf", {table.get()}));
}

// The check used to walk the base three times with the draw grid following
// every record; the grid read all its visible rows again at each step, so
// checking 100,000 draws froze the window for about five seconds. The walks
// now run with the controls disabled, and a question still shows the grid
// on the record it is about.
TEST_F(DrawBaseTest, CheckWalksWithoutTheGridFollowingAndShowsItTheBadRecord) {
  CreateTwoNumberTable("long.dbf");
  constexpr int kDraws = 300, kBad = 170;
  for (int d = 1; d <= kDraws; ++d) {
    table->Append();
    table->Fields()[0]->SetAsInteger(2020);
    table->Fields()[1]->SetAsInteger(d);
    table->Fields()[2]->SetAsInteger(d == kBad ? 0 : 1);
    table->Fields()[3]->SetAsInteger(2);
    table->Post();
  }
  TDataSource source;
  source.SetDataSet(table.get());
  CountingLink grid;
  grid.SetBufferCount(30);
  grid.SetDataSource(&source);
  table->First();

  bool shownOnTheBadRecord = false;
  dialogs.Expect(vx::DialogKind::Message, "нулевое значение в поле P1"_cp, [&](vx::DialogRequest&) {
    shownOnTheBadRecord = !table->ControlsDisabled() && table->Fields()[1]->AsInteger() == kBad;
    return mrOk;
  });
  dialogs.Expect(vx::DialogKind::Message, "Всего ошибок: 1"_cp, mrOk);
  grid.notices = 0;
  EXPECT_EQ(vx::CheckBase(*table, 49), 1);
  EXPECT_TRUE(shownOnTheBadRecord);
  EXPECT_FALSE(table->ControlsDisabled());
  // A few notices when the controls come back, not one per record and walk.
  EXPECT_LE(grid.notices, 10);
  grid.SetDataSource(nullptr);
}

TEST_F(DrawBaseTest, RepairThatCannotCopyLeavesTheBaseAsItWas) {
  WriteFixture(folder + "lm.dbf");
  const AnsiString before = apptest::ReadFile(folder + "lm.dbf");
  OpenFixture("lm.dbf");
  vx::Indexing(*table);
  // Something else already holds the copy's name.
  std::filesystem::create_directories(folder + "repair337.dbf");
  dialogs.Expect(vx::DialogKind::Message, "", mrOk);
  EXPECT_FALSE(vx::RepairBase(*table, {}));
  EXPECT_TRUE(std::filesystem::is_directory(folder + "repair337.dbf"));
  ASSERT_TRUE(table->Active());
  EXPECT_EQ(Order(), kSorted);
  table->Close();
  // The records are as they were (the engine keeps the header's date).
  EXPECT_EQ(apptest::ReadFile(folder + "lm.dbf").substr(289), before.substr(289));

  // The copy's place may not be a table that is open.
  std::filesystem::remove(folder + "repair337.dbf");
  OpenFixture("lm.dbf");
  TXBaseDataSet other;
  TCreateXBaseDataSet creator;
  TStringList lines;
  vx::DrawFieldLines(lines, 1);
  ASSERT_TRUE(vx::CreateTable(other, creator, folder, "REPAIR337.DBF", lines));
  dialogs.Expect(vx::DialogKind::Message, "repair337.dbf", mrOk);
  EXPECT_FALSE(vx::RepairBase(*table, {&other}));
  EXPECT_EQ(other.FieldCount(), 3);
}

// A repair used to put its copy in place of the table while another copy
// of the program had the base open: that program went on writing into the
// replaced file, and every draw it entered afterwards was lost.
TEST_F(DrawBaseTest, RepairRefusesWhileAnotherProgramHasTheBaseOpen) {
  WriteFixture(folder + "lm.dbf");
  OpenFixture("lm.dbf");
  vx::Indexing(*table);
  TXBaseDataSet other;  // as another program holds it
  other.SetDatabaseName(folder);
  other.SetTableName("lm.dbf");
  other.Open();

  dialogs.Expect(vx::DialogKind::Message, "Repair error 2!", mrOk);
  EXPECT_FALSE(vx::RepairBase(*table, {}));
  EXPECT_FALSE(table->Active());
  EXPECT_FALSE(FileExists(folder + "repair337.dbf"));
  EXPECT_TRUE(FileExists(folder + "lm.cdx"));

  // The other program's new draw reaches the base on disk.
  other.Append();
  other.Fields()[0]->SetAsInteger(2020);
  other.Fields()[1]->SetAsInteger(3);
  for (int p = 2; p < 8; ++p) other.Fields()[p]->SetAsInteger(p);
  other.Post();
  other.Close();
  const std::string rows = DbfreadRows(folder + "lm.dbf");
  EXPECT_NE(rows.find("2020/3:2,3,4,5,6,7"), std::string::npos) << rows;
  EXPECT_NE(rows.find("2019/2:31,32,33,34,35,36"), std::string::npos) << rows;

  // Once it has closed the base, the repair goes ahead.
  OpenFixture("lm.dbf");
  EXPECT_TRUE(vx::RepairBase(*table, {}));
  EXPECT_EQ(Order().size(), 6u);
}

TEST(BaseSettings, RowOfTheOptionsListFoundByName) {
  TStringGrid list(nullptr);
  list.SetColCount(4);
  const char* rows[][4] = {
      {"", "", "", ""},
      {"lm", "x", "49", "broken"},
      {"5from36.dbf", "5", "36", "5 of 36"},
      {"LM.dbf", " 6 ", "49", "Lotto"},
      {"lm", "7", "50", "later"},
  };
  list.SetRowCount(5);
  for (int r = 1; r < 5; ++r)
    for (int c = 0; c < 4; ++c) list.SetCells(c, r, rows[r][c]);
  struct Case {
    const char* table;
    bool found;
    int drawn, highest;
    const char* description;
    int badRows;
  } cases[] = {
      {"lm.dbf", true, 6, 49, "Lotto", 1},  // the row with bad numbers is skipped, the first good one wins
      {"5FROM36.DBF", true, 5, 36, "5 of 36", 0},
      {"6from45.dbf", false, 0, 0, "", 0},
      {"header", false, 0, 0, "", 0},  // row 0 is never a base
  };
  list.SetCells(0, 0, "header");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    const vx::BaseSettings s = vx::FindBaseSettings(list, c.table);
    EXPECT_EQ(s.found, c.found);
    EXPECT_EQ(s.drawnCount, c.drawn);
    EXPECT_EQ(s.highestNumber, c.highest);
    EXPECT_EQ(s.description, c.description);
    EXPECT_EQ(s.badRows, c.badRows);
    EXPECT_EQ(vx::IsBaseInList(list, c.table), c.found);
  }
}
