// Import of foreign draw files through the menu: files written by Python's
// csv module checked against an independent reading of the table by
// dbfread, the game shape, damaged files, the temporary results table, and
// generating after an import.
#include <QAction>
#include <filesystem>

#include "app/bases/foreign_draws.h"
#include "app_test_support.h"
#include "draw_fixture.h"
#include "platform/gui/core/menus.h"
#include "platform/rtl/dateutils.h"
#include "tables/dataset/txbasedataset.h"

namespace {

const std::string kChecker = std::string(VX_SOURCE_DIR) + "/tests/app/main/import_check.py";

class DrawImport : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
  }
  void TearDown() override {
    Stop();
    AppTest::TearDown();
  }
  // The user's import of `file` from the menu; an imported base still open
  // is closed without saving; then the messages `then` (kind, text part).
  void Import(const std::string& file, std::vector<std::pair<vx::DialogKind, AnsiString>> then = {}) {
    dialogs.ExpectFile(vx::DialogKind::Open, file.c_str());
    if (FormMain->TableMain->Active() && FormMain->DrawTable()->TableName() == "tempres.dbf")
      dialogs.Expect(vx::DialogKind::Message, "Вы хотите сохранить изменения?"_cp, mrNo);
    for (const auto& [kind, text] : then) dialogs.Expect(kind, text, mrOk);
    FormMain->mnuImportML->QtAction()->trigger();
  }
  std::string Check(const std::string& file) {
    return vx::test::RunTool(std::string(apptest::kPython) + " " + kChecker + " check " + file + " " + folder +
                             "tempres.dbf 2>&1");
  }
  std::string Temp() const { return folder + "tempres.dbf"; }
};

}  // namespace

TEST_F(DrawImport, CsvFilesBecomeDrawBasesNumberedWithinEachYear) {
  // Cells the hidden grid held before must not fill the short lines.
  TRichStringGrid* grid = FormMain->SGridRes;
  grid->SetColCount(30);
  grid->SetRowCount(400);
  for (int r = 0; r < 400; ++r)
    for (int c = 0; c < 30; ++c) grid->SetCells(c, r, "77");
  const TFormatSettings saved = FormatSettings;
  FormatSettings.ShortDateFormat = "m/d/yyyy";
  FormatSettings.DateSeparator = '/';
  for (const char* seed : {"1", "2", "3"}) {
    SCOPED_TRACE(seed);
    const std::string file = folder + "ml" + seed + ".txt";
    vx::test::RunTool(std::string(apptest::kPython) + " " + kChecker + " write " + file + " " + seed + " 300");
    Import(file);
    ASSERT_TRUE(FormMain->TableMain->Active());
    EXPECT_EQ(FormMain->TableMain->RecordCount(), 300);
    EXPECT_EQ(Check(file), "ok\n");
    EXPECT_TRUE(FormMain->CloseMain->Enabled());
    EXPECT_EQ(FormMain->DBGridMain->Columns()->Count(), 22);
    EXPECT_EQ(FormMain->DBGridMain->Columns()->Items(1)->Width(), 50);
    EXPECT_EQ(FormMain->seDrawn->Value(), 20);
    EXPECT_EQ(FormMain->BaseHighestNumber, 80);
    EXPECT_EQ(FormMain->Weights.size(), 80u);
  }
  EXPECT_EQ(FormatSettings.ShortDateFormat, "m/d/yyyy") << "the global date format is left alone";
  EXPECT_EQ(FormatSettings.DateSeparator, '/');
  FormatSettings = saved;
}

TEST_F(DrawImport, TheGameShapeFollowsTheHighestNumberOrTheFileHoldsNone) {
  const std::string head = "N;D;" + std::string(19, ';') + "\r\n";
  const struct Case {
    std::string body;
    int records, highest;
  } cases[] = {
      {"", 0, 0},                                // only the heading: an empty table, opened
      {"x;2003.1.7\r\nx;2003.1.9;0\r\n", 2, 0},  // no number at all
      {"x;2003.1.7;3;95;12\r\n", 1, 81},         // at most 81
      {"x;2003.1.7;3;45;12\r\nx;2004.2.1;44\r\n", 2, 45},
  };
  int shown = 49;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    apptest::WriteFile(folder + "shape.txt", head + c.body);
    if (c.highest == 0) Import(folder + "shape.txt", {{vx::DialogKind::Message, "пустая база"_cp}});
    else Import(folder + "shape.txt");
    ASSERT_TRUE(FormMain->TableMain->Active());
    EXPECT_EQ(FormMain->TableMain->RecordCount(), c.records);
    EXPECT_EQ(FormMain->TableMain->FieldCount(), 22);
    if (c.highest) shown = c.highest;
    EXPECT_EQ(FormMain->HighestNumber, shown);
    EXPECT_EQ(FormMain->BaseHighestNumber, shown);
  }
}

TEST_F(DrawImport, ABadLineStopsTheImportBeforeTheResultsTableIsReplaced) {
  apptest::WriteDrawBase(folder, "lotto", 6, 49, 20);
  apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
  ASSERT_TRUE(FormMain->OpenTempResults(6));
  FormMain->AppendResult(1, {1, 2, 3, 4, 5, 6});
  FormMain->TableRes->Post();
  FormMain->mnuCloseResBaseClick(nullptr);
  const AnsiString results = apptest::ReadFile(Temp());
  const struct {
    const char* line;
    const char* error;
  } cases[] = {
      {"x;2002.2.30;1;2\r\n", "'2002.2.30' is not a valid date"},
      {"x;30.1.2002;1;2\r\n", "is not a valid date"},
      {"x;;1;2\r\n", "is not a valid date"},
      {"x;2002.1.5;1;zwei\r\n", "Cell does not contain integer value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    apptest::WriteFile(folder + "bad.txt", AnsiString("N;D\r\nx;2002.1.1;5\r\n") + c.line);
    Import(folder + "bad.txt", {{vx::DialogKind::Exception, c.error}});
    EXPECT_FALSE(FormMain->TableMain->Active());
    EXPECT_EQ(apptest::ReadFile(Temp()), results);
  }
  Import(folder + "missing.txt", {{vx::DialogKind::Exception, "Cannot open file"}});
  EXPECT_EQ(apptest::ReadFile(Temp()), results);
  EXPECT_FALSE(FormMain->Busy);

  // Cancelling the file dialog changes nothing.
  TMenuItem recent(nullptr);
  recent.SetHint((folder + "lotto.dbf").c_str());
  FormMain->OpenMainClick(&recent);
  dialogs.Expect(vx::DialogKind::Open, "", 0);
  FormMain->mnuImportML->QtAction()->trigger();
  EXPECT_TRUE(FormMain->TableMain->Active());
  EXPECT_EQ(FormMain->DrawTable()->TableName(), "lotto.dbf");
}

TEST_F(DrawImport, TheImportedBaseOutlivesGeneratingAndAnOpenResultsTable) {
  const std::string file = folder + "ml.txt";
  vx::test::RunTool(std::string(apptest::kPython) + " " + kChecker + " write " + file + " 9 40");
  // The results table holds the temporary path: it is closed first.
  ASSERT_TRUE(FormMain->OpenTempResults(6));
  Import(file);
  EXPECT_FALSE(FormMain->TableRes->Active());
  ASSERT_TRUE(FormMain->TableMain->Active());
  ASSERT_EQ(Check(file), "ok\n");

  std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 1);
  FormMain->seDrawn->SetValue(6);
  dialogs.Expect(vx::DialogKind::Message, "уже используется"_cp, mrOk);
  vx::SendClick(FormMain->btnGenerate);
  EXPECT_FALSE(FormMain->Busy);
  EXPECT_TRUE(FormMain->TableMain->Active());
  EXPECT_EQ(FormMain->TableMain->RecordCount(), 40);
  EXPECT_EQ(Check(file), "ok\n");
}
