// The main window's base commands on a base written by python3-dbf: the
// game shape from the options row, the index built at the first opening
// and used at the next, the age question, the new-record pre-fill, the
// editing lock, check and repair through the menu.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/bases/base_tables.h"
#include "app/settings/options.h"
#include "app_test_support.h"
#include "draw_fixture.h"
#include "platform/db/field.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/grids/dbgrids.h"
#include "platform/os/os_file.h"
#include "tables/dataset/tcreatexbasedataset.h"
#include "tables/dataset/txbasedataset.h"
#include "tables/handler/xbo_dbhandler.h"
#include "tests/tables/handler/hand_cdx.h"

namespace {

class DrawBaseCommands : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    const std::string script =
        "import dbf,sys\n"
        "t=dbf.Table(sys.argv[1],'YEAR N(9,0); DRAW N(9,0); P1 N(15,0); P2 N(15,0); P3 N(15,0); P4 N(15,0); "
        "P5 N(15,0)',dbf_type='db3')\n"
        "t.open(dbf.READ_WRITE)\n"
        "for r in [(2003,104,1,2,3,4,5),(2003,102,6,7,8,9,10),(2003,103,11,12,13,14,15),(2003,102,16,17,18,19,20)]:\n"
        "  t.append(r)\n"
        "t.close()\n";
    std::system(("/usr/bin/python3 -c \"" + script + "\" " + folder + "TESTLM.DBF").c_str());
    ASSERT_TRUE(FileExists(folder + "TESTLM.DBF"));
    Start();
    TStringGrid* list = frmOptions->sgBaseName;
    const int row = list->RowCount();
    list->SetRowCount(row + 1);
    list->SetCells(0, row, "testlm");
    list->SetCells(1, row, "5");
    list->SetCells(2, row, "36");
    list->SetCells(3, row, "Лото"_cp);
  }
  void Open() {
    TMenuItem item(nullptr);
    item.SetHint(folder + "TESTLM.DBF");
    FormMain->OpenMainClick(&item);
  }
  TDataSet* T() { return FormMain->TableMain; }
  // The first opening builds the index file; then, the base closed, the
  // file gets a second tag BYP1 on P1 (descending, FOR P1>0).
  void OpenAndAddASecondTag() {
    dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
    Open();
    FormMain->CloseMainClick(nullptr);
    XBO_dBHandler h(folder + "TESTLM.DBF", true, true, "");
    h.IndexOn(folder + "TESTLM.cdx", "BYP1", "P1", "P1>0", 1, 1);
  }
  // Another program appends a draw without the index, and the table's
  // header is left marked as a writer stopped between writing the draw and
  // its key leaves it (the unique tag alone cannot tell a lost key).
  void AppendWithoutIndex(int year, int draw) {
    {
      XBO_dBHandler other(folder + "TESTLM.DBF", true, true, "");
      other.BlankRecord();
      other.PutNumberByName("YEAR", year);
      other.PutNumberByName("DRAW", draw);
      for (int p = 1; p <= 5; ++p) other.PutNumberByName("P" + std::to_string(p), p);
      other.AppendRecord();
    }
    std::fstream table(folder + "TESTLM.DBF", std::ios::in | std::ios::out | std::ios::binary);
    table.seekp(14);
    table.put(char(1));
  }
  int Seen() {
    int seen = 0;
    for (T()->First(); !T()->Eof(); T()->Next()) ++seen;
    return seen;
  }
  // The window as it is with no base open: caption, menus, edit lock, grid.
  void ExpectShownClosed() {
    EXPECT_FALSE(T()->Active());
    EXPECT_EQ(FormMain->Caption(), FormMain->Hint());
    EXPECT_FALSE(FormMain->CloseMain->Enabled());
    EXPECT_TRUE(FormMain->OpenMain->Enabled());
    EXPECT_FALSE(FormMain->DrawGridEditable());
    EXPECT_EQ(FormMain->mnuEdit->Caption(), "Редактировать"_cp);
    EXPECT_EQ(FormMain->DrawTable()->TableName(), "");
    EXPECT_EQ(FormMain->DBGridMain->DisplayedRowCount(), 0);
  }
  // Opens of the base's table fail with a sharing violation from the
  // `from`-th on, as when another program takes the table.
  void RefuseTableOpens(int from, int& opens) {
    vx::SetOsFaultHook([from, &opens](vx::OsOperation op, const std::string& path, std::uint64_t,
                                      std::size_t&) -> std::uint32_t {
      if (op != vx::OsOperation::Open || path.size() < 10 || path.substr(path.size() - 10) != "TESTLM.DBF") return 0;
      return ++opens >= from ? 32 : 0;
    });
  }
};

}  // namespace

TEST_F(DrawBaseCommands, OpeningTakesTheShapeAndBuildsTheIndexOnce) {
  dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
  Open();
  ASSERT_TRUE(T()->Active());
  EXPECT_EQ(FormMain->DrawnCount, 5);
  EXPECT_EQ(FormMain->HighestNumber, 36);
  EXPECT_EQ(FormMain->BaseHighestNumber, 36);
  EXPECT_EQ(FormMain->Weights.size(), 36u);
  EXPECT_EQ(FormMain->Caption(), "Лото :: с 102 тиража 2003 года по 104 тираж 2003 года"_cp);
  EXPECT_EQ(FormMain->speAddToTickDraw->Value(), 105);
  EXPECT_EQ(FormMain->RecentFileItem()->Hint(), folder + "TESTLM.DBF");
  EXPECT_EQ(FormMain->DrawTable()->IndexName(), "INDEX");
  int seen = 0;
  for (T()->First(); !T()->Eof(); T()->Next()) ++seen;
  EXPECT_EQ(seen, 3);  // the repeated 2003/102 is hidden by the unique tag

  // The next opening finds the index and asks nothing.
  Open();
  EXPECT_EQ(FormMain->DrawTable()->IndexName(), "INDEX");

  // A table changed after its index brings the question.
  const auto dbf = std::filesystem::path(folder) / "TESTLM.DBF";
  std::filesystem::last_write_time(dbf, std::filesystem::last_write_time(dbf) + std::chrono::seconds(10));
  dialogs.Expect(vx::DialogKind::Message, "А не нужно ли переиндексировать файл?\r\nRather then"_cp, mrOk);
  Open();
  Stop();
}

// An index without the last draw used to open as it was: the draw was
// missing from the grid and every analysis, with no word about it.
TEST_F(DrawBaseCommands, AnIndexLackingTheLastDrawBringsTheReindexQuestion) {
  dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
  Open();
  FormMain->CloseMainClick(nullptr);
  AppendWithoutIndex(2003, 105);

  // No: the base stays closed and the engine's error says why.
  dialogs.Expect(vx::DialogKind::Message, "А не нужно ли переиндексировать файл?"_cp, mrNo);
  EXPECT_THROW(Open(), EXBaseIndexOutOfDate);
  EXPECT_FALSE(T()->Active());
  // Yes: the tag is built anew and the draw is there.
  dialogs.Expect(vx::DialogKind::Message, "А не нужно ли переиндексировать файл?"_cp, mrYes);
  Open();
  ASSERT_TRUE(T()->Active());
  EXPECT_EQ(FormMain->DrawTable()->IndexName(), "INDEX");
  EXPECT_EQ(Seen(), 4);
  EXPECT_EQ(FormMain->Caption(), "Лото :: с 102 тиража 2003 года по 105 тираж 2003 года"_cp);

  // A draw appended the same way while the base is open: the check says so.
  AppendWithoutIndex(2003, 106);
  dialogs.Expect(vx::DialogKind::Message, "А не нужно ли переиндексировать файл?"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "Не совпадают номера физической и логической записей"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "Всего ошибок: 2"_cp, mrOk);
  FormMain->mnuCheckBaseClick(nullptr);
  FormMain->mnuReindexClick(nullptr);
  EXPECT_EQ(Seen(), 5);
  dialogs.Expect(vx::DialogKind::Message, "Не совпадают номера физической и логической записей"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "Всего ошибок: 1"_cp, mrOk);
  FormMain->mnuCheckBaseClick(nullptr);
  Stop();
}

// The reindex answer used to build only the draws' tag again: a second tag
// of the file lacking the draw refused the file at once, and every further
// answer rebuilt the same tag. Now one answer rebuilds every tag of the
// file from the definitions it holds.
TEST_F(DrawBaseCommands, OneReindexAnswerMendsEveryShortTagOfTheFile) {
  OpenAndAddASecondTag();
  AppendWithoutIndex(2003, 105);
  dialogs.Expect(vx::DialogKind::Message, "А не нужно ли переиндексировать файл?"_cp, mrYes);
  Open();
  ASSERT_TRUE(T()->Active());
  EXPECT_EQ(FormMain->DrawTable()->IndexName(), "INDEX");
  EXPECT_EQ(Seen(), 4);
  FormMain->CloseMainClick(nullptr);
  // Both tags hold the draw now, the second one in its own order.
  XBO_dBHandler h(folder + "TESTLM.DBF", true, true, "");
  ASSERT_EQ(h.IndexOpenList(folder + "TESTLM.cdx", "BYP1"), 0);
  EXPECT_EQ(h.IndexLackingLastRecord(), "");
  std::vector<int> order;
  for (h.GetRec(xbTop); !h.EOFFlag; h.GetRec(xbNext)) order.push_back(int(h.GetNumberByName("P1")));
  EXPECT_EQ(order, (std::vector<int>{16, 11, 6, 1, 1}));
  Open();
  EXPECT_EQ(Seen(), 4);
  Stop();
}

// The reindex answer on a file with a tag the engine cannot keep current
// (its FOR names a function the engine does not have) used to rebuild the
// tags before that one and fail on it, leaving the file without it and the
// ones after. The rebuild is refused, the file stays as it was, and the base
// stays closed with the engine's error.
TEST_F(DrawBaseCommands, TheReindexAnswerLeavesAFileItCannotRebuildAsItWas) {
  OpenAndAddASecondTag();
  vx::test::ReplaceForExpression(folder + "TESTLM.cdx", "P1", "P1>0", "INLIST(P1,1,6)");
  AppendWithoutIndex(2003, 105);
  const std::string index = vx::test::ReadFileBytes(folder + "TESTLM.cdx");
  dialogs.Expect(vx::DialogKind::Message, "А не нужно ли переиндексировать файл?"_cp, mrYes);
  EXPECT_THROW(Open(), EXBaseIndexWriteRefused);
  EXPECT_FALSE(T()->Active());
  EXPECT_TRUE(vx::test::ReadFileBytes(folder + "TESTLM.cdx") == index);
  Stop();
}

TEST_F(DrawBaseCommands, EditingLockAndNewRecordPreFill) {
  dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
  Open();
  dialogs.Expect(vx::DialogKind::Message, "База заблокирована"_cp, mrOk);
  FormMain->mnuInsertClick(nullptr);

  FormMain->mnuEditClick(nullptr);
  EXPECT_TRUE(FormMain->DrawGridEditable());
  EXPECT_EQ(FormMain->mnuEdit->Caption(), "Заблокировать"_cp);

  T()->Last();
  FormMain->mnuInsertClick(nullptr);
  EXPECT_EQ(T()->FieldByName("YEAR")->AsInteger(), 2003);
  EXPECT_EQ(T()->FieldByName("DRAW")->AsInteger(), 105);
  T()->Cancel();

  T()->First();
  T()->Next();
  FormMain->mnuInsertClick(nullptr);
  EXPECT_EQ(T()->FieldByName("YEAR")->AsInteger(), 0);
  EXPECT_EQ(T()->FieldByName("DRAW")->AsInteger(), 0);
  T()->Cancel();

  FormMain->mnuEditClick(nullptr);
  EXPECT_FALSE(FormMain->DrawGridEditable());
  EXPECT_EQ(FormMain->mnuEdit->Caption(), "Редактировать"_cp);
  Stop();
}

// Clearing a number cell of the draw grid (F2, all selected, Backspace,
// Enter) used to end in "Dataset not in edit or insert mode." with the
// value kept; it stores the empty value as typing a digit stores one, and
// the check of the base then names the field.
TEST_F(DrawBaseCommands, ClearingANumberCellStoresTheEmptyValue) {
  dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
  Open();
  FormMain->mnuEditClick(nullptr);
  TDBGrid* grid = FormMain->DBGridMain;
  T()->First();  // 2003/102: 6 7 8 9 10
  grid->SetSelectedIndex(3);
  vx::SendKey(grid, VK_F2);
  ASSERT_TRUE(grid->InplaceEditor() && grid->InplaceEditor()->Showing());
  grid->InplaceEditor()->SelectAll();
  vx::SendKey(grid->InplaceEditor(), VK_BACK);
  vx::SendKey(grid->InplaceEditor(), VK_RETURN);
  vx::SendKey(grid, VK_DOWN);  // moving on posts the draw
  EXPECT_EQ(T()->State(), dsBrowse);
  dialogs.Expect(vx::DialogKind::Message, "нулевое значение в поле P2"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "Не совпадают номера"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "Всего ошибок: 2"_cp, mrOk);
  FormMain->mnuCheckBaseClick(nullptr);
  Stop();
  // The table keeps an empty number as 0 (the second record holds 2003/102).
  EXPECT_EQ(apptest::RunPython(folder,
                               "import sys,dbfread\n"
                               "print([list(x.values()) for x in dbfread.DBF(sys.argv[1])][1])\n",
                               folder + "TESTLM.DBF"),
            "[2003, 102, 6, 0, 8, 9, 10]\n");
}

TEST_F(DrawBaseCommands, CheckThenRepairThenCheckAgain) {
  dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
  Open();
  dialogs.Expect(vx::DialogKind::Message, "Не совпадают номера физической и логической записей"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "Всего ошибок: 1"_cp, mrOk);
  FormMain->mnuCheckBaseClick(nullptr);

  dialogs.Expect(vx::DialogKind::Message, "Скорректированы номера"_cp, mrOk);
  FormMain->mnuRepairClick(nullptr);
  ASSERT_TRUE(T()->Active());
  EXPECT_EQ(T()->RecordCount(), 3);
  EXPECT_EQ(FormMain->Caption(), "Лото :: с 102 тиража 2003 года по 104 тираж 2003 года"_cp);

  dialogs.Expect(vx::DialogKind::Message, "Всего ошибок: 0"_cp, mrOk);
  FormMain->mnuCheckBaseClick(nullptr);

  // Reindex keeps the order and writes the counts into the grid's hint.
  FormMain->mnuReindexClick(nullptr);
  EXPECT_EQ(FormMain->DBGridMain->Hint(), "3 физических, 3 логических записей"_cp);
  Stop();
}

// Re-indexing used to rebuild the index under another copy of the program
// that had the base open, without a word.
TEST_F(DrawBaseCommands, ReindexRefusesWhileAnotherProgramHasTheBaseOpen) {
  dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
  Open();
  const std::string index = folder + "TESTLM.cdx";
  ASSERT_TRUE(FileExists(index));
  auto other = std::make_unique<XBO_dBHandler>(folder + "TESTLM.DBF", true, true, "");  // another program
  const AnsiString before = apptest::ReadFile(index);
  const auto written = std::filesystem::last_write_time(index);

  dialogs.Expect(vx::DialogKind::Message, "База либо не открыта,либо уже используется другим приложением"_cp, mrOk);
  FormMain->mnuReindexClick(nullptr);
  EXPECT_TRUE(dialogs.Done());
  EXPECT_EQ(apptest::ReadFile(index), before);
  EXPECT_EQ(std::filesystem::last_write_time(index), written);
  ASSERT_TRUE(T()->Active());
  EXPECT_EQ(Seen(), 3);

  // Once the other program has closed it, the index is rebuilt, and the
  // base is left open for others again.
  other.reset();
  FormMain->mnuReindexClick(nullptr);
  EXPECT_NE(std::filesystem::last_write_time(index), written);
  ASSERT_TRUE(T()->Active());
  EXPECT_EQ(Seen(), 3);
  EXPECT_EQ(FormMain->DBGridMain->Hint(), "4 физических, 4 логических записей"_cp);
  EXPECT_EQ(FormMain->DBGridMain->Columns()->Count(), 7);
  XBO_dBHandler again(folder + "TESTLM.DBF", true, true, "");
  Stop();
}

// When the base could not be opened again after its index was rebuilt,
// the window went on showing it open (caption, grid, menus) with nothing
// said.
TEST_F(DrawBaseCommands, AFailedReopenAfterReindexShowsTheBaseClosedAndSaysWhy) {
  dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
  Open();
  FormMain->mnuEdit->Click();
  ASSERT_TRUE(FormMain->DrawGridEditable());
  ASSERT_NE(FormMain->Caption(), FormMain->Hint());
  // The base is opened alone for the rebuild, and then refused (as when
  // another program takes it in between).
  int opens = 0;
  RefuseTableOpens(2, opens);
  // The error goes on to the application's handler, which shows it.
  std::string why;
  try {
    FormMain->mnuReindex->Click();
  } catch (Exception& e) {
    why = e.Message();
  }
  vx::SetOsFaultHook({});
  EXPECT_NE(why.find("TESTLM.DBF"), std::string::npos) << why;
  EXPECT_EQ(opens, 2);
  ExpectShownClosed();
  // It opens again once the file can be had.
  Open();
  EXPECT_TRUE(T()->Active());
  EXPECT_EQ(Seen(), 3);
  Stop();
}

// A repair refused after it had closed the base (another program holding
// the table) said so, but the window kept the base's edit lock, table name
// and grid as if it were open.
TEST_F(DrawBaseCommands, AFailedRepairShowsTheBaseClosed) {
  dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
  Open();
  FormMain->mnuEdit->Click();
  ASSERT_TRUE(FormMain->DrawGridEditable());
  int opens = 0;
  RefuseTableOpens(1, opens);
  dialogs.Expect(vx::DialogKind::Message, "Repair error 2!", mrOk);
  FormMain->mnuRepair->Click();
  vx::SetOsFaultHook({});
  ExpectShownClosed();
  EXPECT_FALSE(FileExists(folder + "repair337.dbf"));
  Open();
  EXPECT_TRUE(T()->Active());
  EXPECT_EQ(Seen(), 3);
  Stop();
}

TEST_F(DrawBaseCommands, ClosingTheTemporaryResultsOffersACopyButNeverOverAnOpenTable) {
  // The import opens the temporary results table as the draw base.
  TXBaseDataSet* table = FormMain->DrawTable();
  table->SetDatabaseName(folder);
  table->SetTableName("tempres.dbf");
  {
    TCreateXBaseDataSet creator;
    TStringList lines;
    vx::DrawFieldLines(lines, 5);
    ASSERT_TRUE(vx::CreateTable(*table, creator, folder, "tempres.dbf", lines));
  }
  dialogs.Expect(vx::DialogKind::Message, "Вы хотите сохранить изменения?"_cp, mrYes);
  dialogs.ExpectFile(vx::DialogKind::Save, folder + "TEMPRES.DBF");
  dialogs.Expect(vx::DialogKind::Message, "уже используется"_cp, mrOk);
  FormMain->CloseMainClick(nullptr);
  EXPECT_FALSE(table->Active());

  table->SetDatabaseName(folder);
  table->SetTableName("tempres.dbf");
  table->Open();
  dialogs.Expect(vx::DialogKind::Message, "Вы хотите сохранить изменения?"_cp, mrYes);
  dialogs.ExpectFile(vx::DialogKind::Save, folder + "kept.dbf");
  dialogs.Expect(vx::DialogKind::Message, "Не забудьте занести это имя в настройку! (kept.dbf)"_cp, mrOk);
  FormMain->CloseMainClick(nullptr);
  EXPECT_TRUE(FileExists(folder + "kept.dbf"));
  EXPECT_EQ(FormMain->Caption(), FormMain->Hint());
  Stop();
}
