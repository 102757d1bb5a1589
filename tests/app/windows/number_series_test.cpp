// The number-series window: the bytes of "rownum.ini" and a restart, the
// file's folder fixed at start-up, missing and damaged files, and
// generation following the ranges of the table.
#include "app/windows/number_series.h"

#include <filesystem>

#include "RichGrid/cell_controls.h"

#include "app_test_support.h"
#include "platform/db/field.h"
#include "platform/rtl/sysutils.h"

namespace {

class NumberSeries : public AppTest {
 protected:
  void TearDown() override {
    Stop();
    AppTest::TearDown();
  }
  // Shows the window as the Generation page's button does.
  void ShowWindow() {
    FormMain->btnRowNumShow->Click();
    ASSERT_TRUE(frmRowNum->Visible());
    frmRowNum->Activate();
  }
  void SetRange(int row, const char* lo, const char* hi) {
    frmRowNum->SGridRowNum->SetCells(1, row, lo);
    frmRowNum->SGridRowNum->SetCells(2, row, hi);
  }
  std::vector<AnsiString> Cells() const {
    std::vector<AnsiString> out;
    const TRichStringGrid* g = frmRowNum->SGridRowNum;
    for (int r = 0; r < g->RowCount(); ++r)
      for (int c = 0; c < g->ColCount(); ++c) out.push_back(g->Cells(c, r));
    return out;
  }
};

}  // namespace

TEST_F(NumberSeries, TheFileKeepsTheTableAcrossARestart) {
  std::filesystem::create_directories(folder + "elsewhere");
  const AnsiString golden = AnsiString("3,21\r\ncw 0,40\r\ncw 1,80\r\ncw 2,80\r\n0,0,\xB9\r\n1,0,") + "от"_cp +
                            "\r\n2,0," + "до"_cp + "\r\n1,1,1\r\n2,1,10\r\n1,2,11\r\n2,2,81\r\n1,9,5\r\n2,9,7\r\n";
  Start();
  EXPECT_EQ(frmRowNum->FileName(), folder + "rownum.ini");
  ShowWindow();
  SetRange(1, "1", "10");
  SetRange(2, "11", "81");
  SetRange(9, "5", "7");
  {
    // Closing writes where the start found the file, whatever is current.
    apptest::InFolder later(folder + "elsewhere");
    frmRowNum->Close();
  }
  EXPECT_FALSE(frmRowNum->Visible());
  EXPECT_FALSE(std::filesystem::exists(folder + "elsewhere/rownum.ini"));
  EXPECT_EQ(apptest::ReadFile(folder + "rownum.ini"), golden);
  const std::vector<AnsiString> shown = Cells();
  Stop();

  Start(false);
  EXPECT_EQ(Cells(), shown);
  EXPECT_EQ(frmRowNum->SGridRowNum->FixedCols(), 1);
  EXPECT_EQ(frmRowNum->SGridRowNum->FixedRows(), 1);
  ShowWindow();
  frmRowNum->Close();
  EXPECT_EQ(apptest::ReadFile(folder + "rownum.ini"), golden);
}

// The file used to be read and written in the folder current at start-up,
// while the check box that turns its ranges on is kept in the settings
// beside the program: started from another folder, the table came up empty
// with the condition still on.
TEST_F(NumberSeries, TheFileIsKeptInTheProgramsFolderWhicheverFolderIsCurrent) {
  const std::string elsewhere = folder + "elsewhere/";
  std::filesystem::create_directories(elsewhere);
  apptest::WriteFile(folder + "rownum.ini", "3,21\r\n1,1,4\r\n2,1,9\r\n");
  {
    apptest::InFolder started(elsewhere);
    dialogs.Expect(vx::DialogKind::Message, "Choose language", mrOk);
    dialogs.Expect(vx::DialogKind::Open, "", 0);
    vx::CreateStartupForms();
  }
  EXPECT_EQ(frmRowNum->FileName(), folder + "rownum.ini");
  EXPECT_EQ(frmRowNum->SGridRowNum->Cells(1, 1), "4");
  EXPECT_EQ(frmRowNum->SGridRowNum->Cells(2, 1), "9");
  ShowWindow();
  SetRange(2, "10", "20");
  {
    apptest::InFolder later(elsewhere);
    frmRowNum->Close();
  }
  EXPECT_FALSE(std::filesystem::exists(elsewhere + "rownum.ini"));
  const AnsiString saved = apptest::ReadFile(folder + "rownum.ini");
  EXPECT_NE(saved.find("1,1,4\r\n2,1,9\r\n1,2,10\r\n2,2,20\r\n"), AnsiString::npos) << saved;
}

TEST_F(NumberSeries, AMissingFileIsAnEmptyTableAndADamagedOneAnEmptyTableAfterItsError) {
  const AnsiString damaged = "File contains no data or corrupt file";
  const struct {
    std::string bytes;  // "-": no file
    AnsiString error;
    int cols, rows, filled;
  } cases[] = {
      {"-", "", 3, 21, 0},
      {"", damaged, 3, 21, 0},
      {"x,y\r\n1,1,5\r\n", damaged, 3, 21, 0},
      {"0,4\r\n", damaged, 3, 21, 0},
      {std::string("\x00\xFF\x01,\x02", 5), damaged, 3, 21, 0},
      // A smaller table still gets a row for each of 20 positions.
      {"1,1\r\n0,0,x\r\n", "", 3, 21, 1},                                // a table of one cell
      {"3,4\r\ncw 9,70\r\n7,1,5\r\n1,-1,5\r\n2,3,9\r\n", "", 3, 21, 1},  // cells outside are dropped
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    std::filesystem::remove(folder + "rownum.ini");
    if (c.bytes != "-") apptest::WriteFile(folder + "rownum.ini", c.bytes);
    vx::ResetLanguageQuestion();
    // The window is made before the language window asks its question.
    if (!c.error.empty()) dialogs.Expect(vx::DialogKind::Exception, c.error, mrOk);
    Start();
    ASSERT_TRUE(dialogs.Done());
    TRichStringGrid* g = frmRowNum->SGridRowNum;
    EXPECT_EQ(g->ColCount(), c.cols);
    EXPECT_EQ(g->RowCount(), c.rows);
    int filled = 0;
    for (const AnsiString& s : Cells()) filled += !s.empty();
    EXPECT_EQ(filled, c.filled);
    ShowWindow();  // and it works as ever
    frmRowNum->Close();
    EXPECT_TRUE(FileExists(folder + "rownum.ini"));
    // A damaged file is not written over by the table left empty.
    if (!c.error.empty()) { EXPECT_EQ(apptest::ReadFile(folder + "rownum.ini"), AnsiString(c.bytes)); }
    Stop();
  }
}

TEST_F(NumberSeries, ATableFilledAfterADamagedFileIsSavedOverIt) {
  apptest::WriteFile(folder + "rownum.ini", "x,y\r\n1,1,5\r\n");
  dialogs.Expect(vx::DialogKind::Exception, "File contains no data or corrupt file", mrOk);
  Start();
  ShowWindow();
  SetRange(1, "3", "9");
  frmRowNum->Close();
  const AnsiString saved = apptest::ReadFile(folder + "rownum.ini");
  EXPECT_EQ(saved.substr(0, 6), "3,21\r\n");
  EXPECT_NE(saved.find("1,1,3\r\n2,1,9\r\n"), AnsiString::npos) << saved;
  // Written once, the file is the table's again: emptied, it is saved empty.
  ShowWindow();
  SetRange(1, "", "");
  frmRowNum->Close();
  EXPECT_EQ(apptest::ReadFile(folder + "rownum.ini").find("1,1,"), AnsiString::npos);
}

TEST_F(NumberSeries, GenerationTakesEachPositionFromItsRow) {
  Start();
  ShowWindow();
  const int ranges[6][2] = {{1, 5}, {6, 10}, {11, 20}, {21, 30}, {31, 40}, {41, 49}};
  for (int r = 0; r < 6; ++r) SetRange(r + 1, IntToStr(ranges[r][0]).c_str(), IntToStr(ranges[r][1]).c_str());
  std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 1);
  FormMain->seVol->SetValue(20);
  FormMain->cbxRowNumRange->SetChecked(true);
  vx::SendClick(FormMain->btnGenerate);
  TDataSet* res = FormMain->TableRes;
  ASSERT_TRUE(res->Active());
  int rows = 0;
  for (res->First(); !res->Eof(); res->Next(), ++rows)
    for (int p = 0; p < 6; ++p) {
      const int v = res->Fields()[p + 2]->AsInteger();
      EXPECT_GE(v, ranges[p][0]) << "position " << p + 1;
      EXPECT_LE(v, ranges[p][1]) << "position " << p + 1;
    }
  EXPECT_EQ(rows, 20);

  // An empty cell stops the command with the conversion error.
  SetRange(4, "", "30");
  dialogs.Expect(vx::DialogKind::Exception, "'' is not a valid integer value", mrOk);
  vx::SendClick(FormMain->btnGenerate);
  EXPECT_FALSE(FormMain->Busy);
}

// Generation used to empty "tempres.dbf" first and only then fail on a
// position the table had no range for; the table had 10 rows, so a
// combination of 10 or more numbers could never follow it.
TEST_F(NumberSeries, EveryPositionUpTo20HasARowAndAMissingRangeLeavesTheResultsAsTheyWere) {
  Start();
  ShowWindow();
  EXPECT_EQ(frmRowNum->SGridRowNum->RowCount(), 21);
  // Position r: r*2-1 or r*2.
  for (int r = 1; r <= 20; ++r) SetRange(r, IntToStr(r * 2 - 1).c_str(), IntToStr(r * 2).c_str());
  std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 1);
  FormMain->seDrawn->SetValue(20);
  FormMain->seVol->SetValue(3);
  FormMain->cbxRowNumRange->SetChecked(true);
  vx::SendClick(FormMain->btnGenerate);
  TDataSet* res = FormMain->TableRes;
  ASSERT_TRUE(res->Active());
  ASSERT_EQ(res->RecordCount(), 3);
  for (res->First(); !res->Eof(); res->Next())
    for (int p = 1; p <= 20; ++p) {
      const int v = res->Fields()[p + 1]->AsInteger();
      EXPECT_TRUE(v == p * 2 - 1 || v == p * 2) << "position " << p << ": " << v;
    }
  const AnsiString before = apptest::ReadFile(folder + "tempres.dbf");

  // A range missing or bad for one of the positions: the command says so
  // and writes nothing.
  const struct {
    int row;
    const char *lo, *hi, *error;
  } cases[] = {{12, "", "24", "'' is not a valid integer value"},
               {20, "39", "", "'' is not a valid integer value"},
               {1, "x", "2", "'x' is not a valid integer value"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    SetRange(c.row, c.lo, c.hi);
    dialogs.Expect(vx::DialogKind::Exception, c.error, mrOk);
    vx::SendClick(FormMain->btnGenerate);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_FALSE(FormMain->Busy);
    EXPECT_EQ(apptest::ReadFile(folder + "tempres.dbf"), before);
    EXPECT_EQ(res->RecordCount(), 3);
    SetRange(c.row, IntToStr(c.row * 2 - 1).c_str(), IntToStr(c.row * 2).c_str());
  }
  // Only the positions of the combination are read.
  SetRange(12, "", "");
  FormMain->seDrawn->SetValue(11);
  vx::SendClick(FormMain->btnGenerate);
  EXPECT_EQ(res->RecordCount(), 3);
  EXPECT_EQ(res->FieldCount(), 13);
}

TEST_F(NumberSeries, TheNumberColumnsEditWithTheSpinEditorFrom1To81) {
  Start();
  ShowWindow();
  TRichStringGrid* g = frmRowNum->SGridRowNum;
  TGridSpin* spin = g->GridSpin();
  ASSERT_TRUE(vx::WaitForFocus(g));
  g->SetCells(1, 1, "5");
  g->SetCol(1);
  g->SetRow(1);
  vx::SendKey(g, VK_F2);
  ASSERT_EQ(g->ActiveEditControl(), spin);
  EXPECT_EQ(spin->Value(), 5);
  vx::SendKey(spin, VK_PRIOR);
  vx::SendKey(spin, VK_RETURN);
  EXPECT_EQ(g->Cells(1, 1), "6");
  // Typed values leave the editor within 1..81; a step goes by one and
  // stops at the ends.
  const struct {
    int col;
    const char* typed;
    Word step;
    const char* cell;
  } cases[] = {
      {2, "90", 0, "81"},     {1, "0", 0, "1"},          {2, "-7", 0, "1"},        {1, "81", VK_PRIOR, "81"},
      {2, "1", VK_NEXT, "1"}, {1, "40", VK_PRIOR, "41"}, {2, "40", VK_NEXT, "39"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    g->SetCol(c.col);
    g->SetRow(4);
    vx::SendKey(g, VK_F2);
    ASSERT_EQ(g->ActiveEditControl(), spin);
    spin->SelectAll();
    vx::SendText(spin, c.typed);
    if (c.step) vx::SendKey(spin, c.step);
    vx::SendKey(spin, VK_RETURN);
    EXPECT_EQ(g->Cells(c.col, 4), c.cell);
    if (g->ActiveEditControl()) vx::SendKey(g->ActiveEditControl(), VK_ESCAPE);
  }
}

TEST_F(NumberSeries, AValueStillInTheSpinEditorIsSavedWhenTheWindowCloses) {
  const struct {
    const char* typed;
    Word step;
    const char* saved;
  } cases[] = {{"33", 0, "1,4,33"}, {"90", 0, "1,4,81"}, {"40", VK_PRIOR, "1,4,41"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    std::filesystem::remove(folder + "rownum.ini");
    vx::ResetLanguageQuestion();
    Start();
    ShowWindow();
    TRichStringGrid* g = frmRowNum->SGridRowNum;
    ASSERT_TRUE(vx::WaitForFocus(g));
    g->SetCol(1);
    g->SetRow(4);
    vx::SendKey(g, VK_F2);
    ASSERT_EQ(g->ActiveEditControl(), g->GridSpin());
    g->GridSpin()->SelectAll();
    vx::SendText(g->GridSpin(), c.typed);
    if (c.step) vx::SendKey(g->GridSpin(), c.step);
    frmRowNum->Close();
    EXPECT_FALSE(frmRowNum->Visible());
    EXPECT_EQ(g->ActiveEditControl(), nullptr);
    EXPECT_NE(apptest::ReadFile(folder + "rownum.ini").find(AnsiString(c.saved) + "\r\n"), AnsiString::npos)
        << apptest::ReadFile(folder + "rownum.ini");
    Stop();
  }
}

TEST_F(NumberSeries, QuittingWithTheWindowOpenSavesTheTableAndAHiddenOneLeavesTheFile) {
  Start();
  ShowWindow();
  SetRange(5, "44", "50");
  Stop();  // the main window closes while this one is still open
  const AnsiString saved = apptest::ReadFile(folder + "rownum.ini");
  EXPECT_NE(saved.find("1,5,44\r\n2,5,50\r\n"), AnsiString::npos) << saved;

  // A file the window could not read is not written over unless the
  // window was shown and closed.
  const std::string damaged = "x,y\r\n1,1,5\r\n";
  apptest::WriteFile(folder + "rownum.ini", damaged);
  vx::ResetLanguageQuestion();
  dialogs.Expect(vx::DialogKind::Exception, "File contains no data or corrupt file", mrOk);
  Start();
  Stop();
  EXPECT_EQ(apptest::ReadFile(folder + "rownum.ini"), damaged);
}
