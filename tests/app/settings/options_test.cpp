// The options dialog and section "Options": bases list, draw cost, prizes.
#include <gtest/gtest.h>

#include "app/settings/cached_ini.h"
#include "app/settings/options.h"
#include "app_test_support.h"
#include "platform/rtl/sysutils.h"

namespace {

using Options = AppTest;

void ExpectDefaultBases(TfrmOptions* f) {
  ASSERT_EQ(f->sgBaseName->RowCount(), 4);
  EXPECT_EQ(f->sgBaseName->Cells(0, 1), "lm.dbf");
  EXPECT_EQ(f->sgBaseName->Cells(3, 1), "Лотто-Миллион"_cp);
  EXPECT_EQ(f->sgBaseName->Cells(1, 2), "5");
  EXPECT_EQ(f->sgBaseName->Cells(2, 3), "45");
}

TEST_F(Options, BasesListDefaultsOnlyWhenThereIsNone) {
  struct Case {
    const char* name;
    AnsiString section;
    bool defaults;
  };
  const Case cases[] = {
      {"no file", "", true},
      {"no bases list", "[Options]\r\nedtDrawCost=3\r\n", true},
      {"single empty row", "[Options]\r\nCell_Row=2\r\nCell1_0=\r\n", true},
      {"single real base", "[Options]\r\nCell_Row=2\r\nCell1_0=my.dbf\r\nCell1_1=7\r\nCell1_2=42\r\n", false},
      {"damaged count", "[Options]\r\nCell_Row=99999999\r\nCell1_0=a.dbf\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.section.empty()) apptest::WriteFile(folder + "Vexamund.ini", c.section);
    Start();
    if (c.defaults) {
      ExpectDefaultBases(frmOptions);
    } else {
      EXPECT_EQ(frmOptions->sgBaseName->Cells(0, 1), c.name[0] == 's' ? "my.dbf" : "a.dbf");
      EXPECT_LE(frmOptions->sgBaseName->RowCount(), 1000);
    }
    EXPECT_EQ(frmOptions->sgBaseName->Cells(0, 0), "File Name");
    Stop();
    vx::ResetLanguageQuestion();
  }
}

TEST_F(Options, SingleBaseSurvivesARestart) {
  Start();
  frmOptions->sgBaseName->SetRow(1);
  frmOptions->mnuDeleteBaseClick(nullptr);
  frmOptions->sgBaseName->SetRow(1);
  frmOptions->mnuDeleteBaseClick(nullptr);
  ASSERT_EQ(frmOptions->sgBaseName->RowCount(), 2);
  EXPECT_EQ(frmOptions->sgBaseName->Cells(0, 1), "6from45.dbf");
  frmOptions->btnOKClick(nullptr);
  Stop();
  vx::ResetLanguageQuestion();
  Start();
  ASSERT_EQ(frmOptions->sgBaseName->RowCount(), 2);
  EXPECT_EQ(frmOptions->sgBaseName->Cells(0, 1), "6from45.dbf");
  Stop();
}

TEST_F(Options, PrizeRowsAreValidatedBeforeAnyIsApplied) {
  apptest::WriteFile(folder + "Vexamund.ini",
                     "[Options]\r\nedtDrawCost=10\r\nsgWinTable_Row=3\r\n"
                     "sgWinTableCell1_0=3\r\nsgWinTableCell1_1=50\r\n"
                     "sgWinTableCell2_0=25\r\nsgWinTableCell2_1=9\r\n");
  Start();
  TfrmOptions* f = frmOptions;
  EXPECT_EQ(f->DrawCost, 10);
  EXPECT_EQ(f->Prizes[3], 50);
  EXPECT_EQ(f->sgWinTable->Cells(0, 2), "25") << "an out-of-range row is still shown";

  // Row 1 changed, row 2 invalid: OK is refused and nothing changes.
  f->sgWinTable->SetCells(1, 1, "70");
  dialogs.Expect(vx::DialogKind::Message, "Value in the first column must be >=0 and <=21", mrOk);
  f->btnOKClick(nullptr);
  EXPECT_EQ(f->Prizes[3], 50);
  EXPECT_EQ(f->pcOptions->ActivePage(), f->tsCost);
  EXPECT_EQ(f->sgWinTable->Row(), 2);

  // A non-number is refused the same way.
  f->sgWinTable->SetCells(0, 2, "x");
  dialogs.Expect(vx::DialogKind::Message, "must be >=0", mrOk);
  f->btnOKClick(nullptr);
  EXPECT_EQ(f->Prizes[3], 50);

  // Deleting the row of 3 coincidences stops it paying.
  f->sgWinTable->SetCells(0, 2, "4");
  f->sgWinTable->SetRow(1);
  f->mnuDeleteWinClick(nullptr);
  f->btnOKClick(nullptr);
  EXPECT_EQ(f->Prizes[3], 0);
  EXPECT_EQ(f->Prizes[4], 9);
  Stop();

  TAppIniFile ini;
  EXPECT_EQ(ini.ReadInteger("Options", "sgWinTable_Row", 0), 2);
  EXPECT_EQ(ini.ReadString("Options", "sgWinTableCell1_0", ""), "4");
}

TEST_F(Options, PrizeTableHoldsAtMost21Rows) {
  Start();
  TfrmOptions* f = frmOptions;
  for (int i = 0; i < 20; ++i) f->mnuAddWinClick(nullptr);
  EXPECT_EQ(f->sgWinTable->RowCount(), 22);
  dialogs.Expect(vx::DialogKind::Message, "Sorry,only 21 rows", mrOk);
  f->mnuAddWinClick(nullptr);
  EXPECT_EQ(f->sgWinTable->RowCount(), 22);
  Stop();
}

TEST_F(Options, CancelDiscardsEdits) {
  Start();
  TfrmOptions* f = frmOptions;
  f->edtDrawCost->SetText("77");
  f->sgBaseName->SetCells(0, 1, "edited.dbf");
  f->btnCancelClick(nullptr);
  EXPECT_EQ(f->edtDrawCost->Text(), "");
  EXPECT_EQ(f->sgBaseName->Cells(0, 1), "lm.dbf");
  EXPECT_EQ(f->DrawCost, 0);
  Stop();
}

}  // namespace

// Escape used to do nothing in the options window: only a click on
// "Отмена" left it without keeping the edits. Escape in an open cell editor
// still only ends that edit.
TEST_F(Options, EscapeActsAsCancel) {
  // Where the focus stands when Escape comes, and whether a cell editor
  // is open there first (it takes the first Escape).
  const struct {
    const char* name;
    TWinControl* (*focus)(TfrmOptions*);
    bool cellEditor;
  } cases[] = {{"bases list", [](TfrmOptions* f) -> TWinControl* { return f->sgBaseName; }, false},
               {"cost edit", [](TfrmOptions* f) -> TWinControl* { return f->edtDrawCost; }, false},
               {"OK button", [](TfrmOptions* f) -> TWinControl* { return f->btnOK; }, false},
               {"cell editor", [](TfrmOptions* f) -> TWinControl* { return f->sgBaseName; }, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    vx::ResetLanguageQuestion();
    Start();
    TfrmOptions* f = frmOptions;
    FormMain->mnuOptions->Click();
    ASSERT_TRUE(f->Visible());
    f->edtDrawCost->SetText("77");
    f->sgBaseName->SetCells(0, 1, "changed.dbf");
    TWinControl* focus = c.focus(f);
    f->pcOptions->SetActivePage(focus == f->edtDrawCost ? f->tsCost : f->tsBases);
    focus->SetFocus();
    ASSERT_TRUE(vx::WaitForFocus(focus));
    if (c.cellEditor) {
      f->sgBaseName->SetCol(0);
      f->sgBaseName->SetRow(2);
      vx::SendKey(f->sgBaseName, VK_F2);
      ASSERT_TRUE(f->sgBaseName->EditorMode());
      vx::SendText(f->sgBaseName->InplaceEditor(), "x");
      vx::SendKey(f->sgBaseName->InplaceEditor(), VK_ESCAPE);
      EXPECT_TRUE(f->Visible());
      EXPECT_FALSE(f->sgBaseName->EditorMode());
    }
    vx::SendKey(focus, VK_ESCAPE);
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(f->edtDrawCost->Text(), "");
    EXPECT_EQ(f->sgBaseName->Cells(0, 1), "lm.dbf");
    EXPECT_EQ(f->sgBaseName->Cells(0, 2), "5from36.dbf");
    Stop();
  }
}

// "Сколько" and "Из скольких" took any text: 99999 and "abc" were stored,
// and the pairs statistic sized its table from 99999. A number typed into
// them is checked as its edit ends (Enter, leaving the cell, OK); one that
// cannot stand brings the program's message and the cell keeps its old
// number. The file's numbers are limited when the options load.
TEST_F(Options, BaseNumbersKeepToTheGameLimits) {
  const AnsiString settings =
      "[Options]\r\nCell_Row=4\r\n"
      "Cell1_0=lm.dbf\r\nCell1_1=6\r\nCell1_2=49\r\n"
      "Cell2_0=big.dbf\r\nCell2_1=6\r\nCell2_2=99999\r\n"
      "Cell3_0=odd.dbf\r\nCell3_1=abc\r\nCell3_2=5\r\n";
  const AnsiString atMost = "Установите это значение не более "_cp;
  // Away: the focus leaves the list and comes back before Enter.
  enum Ending { Enter, Down, OK, Away };
  const struct {
    const char* name;
    int col;
    const char* typed;
    Ending ending;
    AnsiString message;  // empty: accepted
    const char* kept;
  } cases[] = {
      {"99999 with Enter", 2, "99999", Enter, atMost + "81", "49"},
      {"99999 leaving the cell", 2, "99999", Down, atMost + "81", "49"},
      {"99999 with OK", 2, "99999", OK, atMost + "81", "49"},
      {"99999, away and back", 2, "99999", Away, atMost + "81", "49"},
      {"abc", 1, "abc", Enter, "Введите числовое значение"_cp, "6"},
      {"more drawn than the highest", 1, "50", Down, atMost + "49", "6"},
      {"highest below the drawn", 2, "5", OK, "Слишком мало номеров"_cp, "49"},
      {"none drawn", 1, "0", Enter, "Слишком мало номеров"_cp, "6"},
      {"emptied", 1, "", Enter, "Введите числовое значение"_cp, "6"},
      {"within the limits", 2, "81", OK, "", "81"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    apptest::WriteFile(folder + "Vexamund.ini", settings);
    vx::ResetLanguageQuestion();
    Start();
    TfrmOptions* f = frmOptions;
    TStringGrid* list = f->sgBaseName;
    EXPECT_EQ(apptest::GridRow(list, 2), (std::vector<std::string>{"big.dbf", "6", "81", ""}));
    EXPECT_EQ(list->Cells(1, 3), "abc") << "no number: opening that base says its settings are wrong";
    FormMain->mnuOptions->Click();
    list->SetFocus();
    ASSERT_TRUE(vx::WaitForFocus(list));
    list->SetCol(c.col);
    list->SetRow(1);
    vx::SendKey(list, VK_F2);
    ASSERT_TRUE(list->InplaceEditor() && list->InplaceEditor()->Showing());
    list->InplaceEditor()->SelectAll();
    if (*c.typed) vx::SendText(list->InplaceEditor(), c.typed);
    else vx::SendKey(list->InplaceEditor(), VK_BACK);
    if (!c.message.empty()) dialogs.Expect(vx::DialogKind::Message, c.message, mrOk);
    if (c.ending == Away) {
      f->cbxMultilineTab->SetFocus();
      ASSERT_TRUE(vx::WaitForFocus(f->cbxMultilineTab));
      list->SetFocus();
      ASSERT_TRUE(vx::WaitForFocus(list->InplaceEditor()));  // the editor opens again, with 99999
    }
    if (c.ending == OK) f->btnOK->Click();
    else vx::SendKey(list->InplaceEditor(), c.ending == Down ? VK_DOWN : VK_RETURN);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(list->Cells(c.col, 1), c.kept);
    EXPECT_FALSE(list->EditorMode() && list->InplaceEditor()->Showing());
    // A refused OK leaves the window open; OK saves what the list holds.
    EXPECT_EQ(f->Visible(), c.ending != OK || !c.message.empty());
    f->btnOK->Click();
    EXPECT_FALSE(f->Visible());
    Stop();
    TAppIniFile ini;
    EXPECT_EQ(ini.ReadString("Options", "Cell1_" + IntToStr(c.col), ""), c.kept);
    EXPECT_EQ(ini.ReadString("Options", "Cell2_2", ""), "81");
  }
}
