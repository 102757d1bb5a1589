// From the new-base dialog to the hot numbers, through the started program
// with scripted dialogs: create a 6-of-49 base, type draws into the draw
// grid, set the range, press "Горячие". Draws typed into the grid land in
// the base's index (checked by Perl's index_dump).
#include <array>
#include <cstdio>
#include <filesystem>

#include "app/bases/newbase_dialogs.h"
#include "app/settings/options.h"
#include "app_test_support.h"
#include "platform/db/field.h"
#include "platform/gui/draw/graphics.h"
#include "tables/dataset/txbasedataset.h"
#include "tests/support/run_tool.h"

namespace {

class NewBaseFlow : public AppTest {
 protected:
  void CreateLotto() {
    frmNewBase->editNewName->SetText("c:\\elsewhere\\Lotto.dbf");
    frmNewBase->speNC->SetValue(6);
    frmNewBase->speMC->SetValue(49);
    frmNewBase->edtDescription->SetText("Тест 6 из 49"_cp);
    frmNewBase->btnCreate->Click();
  }
  void AddDraw(int year, int draw, std::initializer_list<int> numbers) {
    TDataSet* t = FormMain->TableMain;
    t->Append();
    t->FieldByName("YEAR")->SetAsInteger(year);
    t->FieldByName("DRAW")->SetAsInteger(draw);
    int i = 1;
    for (int n : numbers) t->FieldByName("P" + IntToStr(i++))->SetAsInteger(n);
    t->Post();
  }
  // Types one draw into the current row of the draw grid, cell by cell.
  void TypeDraw(const std::array<const char*, 8>& cells) {
    TDBGrid* grid = FormMain->DBGridMain;
    for (int c = 0; c < 8; ++c) {
      grid->SetSelectedIndex(c);
      vx::SendText(grid, cells[static_cast<std::size_t>(c)]);
      vx::SendKey(grid, VK_RETURN);
    }
  }
  void Range(int yearFrom, int drawFrom, int yearTo, int drawTo) {
    FormMain->seYearFrom->SetValue(yearFrom);
    FormMain->seDrawFrom->SetValue(drawFrom);
    FormMain->seYearTo->SetValue(yearTo);
    FormMain->seDrawTo->SetValue(drawTo);
  }
};

}  // namespace

TEST_F(NewBaseFlow, CreatedBaseIsOpenAndHotNumbersAreCounted) {
  Start();
  CreateLotto();

  // The base is open as after the open command, its name in the options.
  ASSERT_TRUE(FormMain->TableMain->Active());
  EXPECT_TRUE(FileExists(folder + "Lotto.dbf"));
  EXPECT_TRUE(FileExists(folder + "Lotto.cdx"));
  EXPECT_EQ(FormMain->DrawnCount, 6);
  EXPECT_EQ(FormMain->HighestNumber, 49);
  EXPECT_EQ(FormMain->Weights.size(), 49u);
  EXPECT_EQ(FormMain->Caption(), "Тест 6 из 49 :: пустая база"_cp);
  ASSERT_NE(FormMain->RecentFileItem(), nullptr);
  EXPECT_EQ(FormMain->RecentFileItem()->Hint(), folder + "Lotto.dbf");
  bool listed = false;
  for (int row = 1; row < frmOptions->sgBaseName->RowCount(); ++row)
    listed = listed || frmOptions->sgBaseName->Cells(0, row) == "Lotto";
  EXPECT_TRUE(listed);
  EXPECT_EQ(static_cast<unsigned char>(apptest::ReadFile(folder + "Lotto.dbf")[0]), 0x03);

  // The draw grid shows the base's columns and is locked until the
  // editing menu unlocks it.
  TDBGrid* grid = FormMain->DBGridMain;
  ASSERT_EQ(grid->DataSource()->DataSet(), FormMain->TableMain);
  ASSERT_EQ(grid->Columns()->Count(), 8);
  EXPECT_EQ(grid->Columns()->Items(0)->Title()->Caption(), "год"_cp);
  EXPECT_EQ(grid->Columns()->Items(1)->Title()->Caption(), "тираж"_cp);
  EXPECT_EQ(grid->Columns()->Items(7)->FieldName(), "P6");
  EXPECT_EQ(grid->Columns()->Items(7)->Title()->Caption(), "P6");
  vx::SendKey(grid, VK_INSERT);
  EXPECT_EQ(FormMain->TableMain->State(), dsBrowse) << "a locked grid inserts nothing";

  FormMain->mnuEdit->Click();
  ASSERT_TRUE(grid->Options().Contains(dgEditing));
  vx::SendKey(grid, VK_INSERT);
  TypeDraw({"2024", "2", "1", "7", "8", "9", "10", "11"});
  for (const auto& draw : {std::array<const char*, 8>{"2024", "1", "1", "2", "3", "4", "5", "6"},
                           std::array<const char*, 8>{"2024", "3", "1", "2", "12", "13", "14", "15"}}) {
    vx::SendKey(grid, VK_END, TShiftState{ssCtrl});  // the last draw in index order
    vx::SendKey(grid, VK_DOWN);                      // a new row after it
    TypeDraw(draw);
  }
  FormMain->mnuEdit->Click();  // locking posts the row being typed
  EXPECT_FALSE(grid->Options().Contains(dgEditing));
  ASSERT_EQ(FormMain->TableMain->State(), dsBrowse);
  ASSERT_EQ(FormMain->TableMain->RecordCount(), 3);
  FormMain->TableMain->First();
  ASSERT_EQ(grid->DisplayedRowCount(), 3);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(grid->DisplayedText(1, row), IntToStr(row + 1));
  EXPECT_EQ(grid->DisplayedText(7, 2), "15");

  Range(2024, 1, 2024, 3);
  FormMain->btnCalculate1->Click();
  EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Caption(), "15");
  EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Font()->Color(), RGB(0, 128, 0));
  EXPECT_EQ(FormMain->Weights[0], 3);
  EXPECT_EQ(FormMain->Weights[1], 2);
  EXPECT_FALSE(FormMain->Busy);

  // Index order: starting at draw 2 counts draws 2 and 3 only; a range
  // past the last draw warns and keeps the partial count.
  dialogs.Expect(vx::DialogKind::Message, "Достигнут конец базы"_cp, mrCancel);
  Range(2024, 2, 2024, 9);
  FormMain->btnCalculate1->Click();
  EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Caption(), "11");

  // Cold over the same draws, then number after number from draw 1.
  Range(2024, 1, 2024, 3);
  FormMain->btnCalculate2->Click();
  EXPECT_EQ(FormMain->Weights[0], 1);   // drawn three times
  EXPECT_EQ(FormMain->Weights[48], 4);  // never drawn
  FormMain->speMaxProbCount->SetValue(3);
  FormMain->btnNumForNum->Click();
  EXPECT_EQ(FormMain->lblMaxProbNums->Caption(), "1,7,8");

  // A start draw that is not there: the weights are cleared, nothing shown.
  dialogs.Expect(vx::DialogKind::Message, "2030/1 не найден"_cp, mrOk);
  Range(2030, 1, 2030, 2);
  FormMain->btnCalculate1->Click();
  EXPECT_EQ(FormMain->Weights, std::vector<std::int32_t>(49, 0));
  EXPECT_FALSE(FormMain->Busy);

  // Creating over the open base is refused and changes nothing.
  dialogs.Expect(vx::DialogKind::Message, "уже используется"_cp, mrOk);
  frmNewBase->editNewName->SetText("lotto");
  frmNewBase->btnCreate->Click();
  EXPECT_EQ(FormMain->TableMain->RecordCount(), 3);

  // A cell left open in the grid's editor is a change: closing the base
  // asks, and "No" keeps it.
  FormMain->mnuEdit->Click();
  FormMain->TableMain->Last();
  grid->SetSelectedIndex(7);
  vx::SendText(grid, "16");
  dialogs.Expect(vx::DialogKind::Message, "Вы хотите сохранить изменения?"_cp, mrNo);
  FormMain->CloseMain->Click();
  EXPECT_FALSE(FormMain->TableMain->Active());
  EXPECT_EQ(grid->Columns()->Count(), 0) << "a closed base leaves no columns";
  Stop();
  {
    TXBaseDataSet kept;
    kept.SetDatabaseName(folder);
    kept.SetTableName("Lotto.dbf");
    kept.Open();
    kept.Last();
    EXPECT_EQ(kept.FieldByName("P6")->AsInteger(), 16);
    kept.Close();
  }

  // Every typed draw has its key in the tag, in draw order.
  EXPECT_EQ(vx::test::RunTool("/usr/bin/index_dump --type=num " + folder + "Lotto.cdx INDEX 2>&1"),
            "2024.001 2\n2024.002 1\n2024.003 3\n");
}

TEST_F(NewBaseFlow, StopLeavesTheWeightsUnscaledAndShowsNothing) {
  Start();
  CreateLotto();
  for (int d = 1; d <= 150; ++d) AddDraw(2024, d, {1, 2, 3, 4, 5, 6});
  FormMain->lblNumWithNonZeroProb->SetCaption("before");
  Range(2024, 1, 2024, 150);
  // Stop is pressed while the count runs (on the first pump).
  int scrolls = 0;
  FormMain->TableMain->AfterScroll = [&](TDataSet*) {
    if (FormMain->Busy && ++scrolls == 120) FormMain->btnStop->Click();
  };
  FormMain->btnCalculate1->Click();
  FormMain->TableMain->AfterScroll = nullptr;
  EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Caption(), "before");
  EXPECT_GT(FormMain->Weights[0], 100);  // not rescaled
  EXPECT_FALSE(FormMain->Busy);
  Stop();
}

TEST_F(NewBaseFlow, ResultsAndTicketBasesAreShownInTheirGrids) {
  Start();
  frmNewResBase->editNewName->SetText("forecast");
  frmNewResBase->speNC->SetValue(5);
  frmNewResBase->btnCreate->Click();
  ASSERT_TRUE(FormMain->TableRes->Active());
  TDBGrid* res = FormMain->DBGridRes;
  ASSERT_EQ(res->DataSource()->DataSet(), FormMain->TableRes);
  ASSERT_EQ(res->Columns()->Count(), 7);
  EXPECT_EQ(res->Columns()->Items(0)->Width(), 33);
  EXPECT_EQ(res->Columns()->Items(1)->Width(), 51);
  EXPECT_EQ(res->Columns()->Items(1)->Title()->Caption(), "тираж"_cp);
  EXPECT_EQ(res->Columns()->Items(1)->Font()->Color(), RGB(255, 0, 0));
  EXPECT_EQ(res->Columns()->Items(6)->Title()->Caption(), "P5");
  EXPECT_EQ(res->Columns()->Items(6)->Alignment(), taCenter);

  frmNewTickBase->editNewName->SetText("played");
  frmNewTickBase->speNC->SetValue(5);
  frmNewTickBase->btnCreate->Click();
  ASSERT_TRUE(FormMain->TableTick->Active());
  TDBGrid* tick = FormMain->DBGridTick;
  ASSERT_EQ(tick->Columns()->Count(), 8);
  EXPECT_EQ(tick->Columns()->Items(2)->FieldName(), "NUM");
  EXPECT_EQ(tick->Columns()->Items(2)->Title()->Caption(), "№"_cp);
  EXPECT_EQ(tick->Columns()->Items(2)->Width(), 35);
  EXPECT_EQ(tick->Columns()->Items(2)->Font()->Color(), RGB(0, 0, 255));
  EXPECT_EQ(tick->Columns()->Items(3)->Title()->Caption(), "P1");

  // Results and tickets need no unlocking. A cell typed and left in the
  // cell editor is kept when the program closes.
  ASSERT_TRUE(res->Options().Contains(dgEditing));
  ASSERT_TRUE(tick->Options().Contains(dgEditing));
  vx::SendKey(res, VK_INSERT);
  const std::array<const char*, 7> row{"2025", "7", "3", "9", "14", "21", "30"};
  for (int c = 0; c < 7; ++c) {
    res->SetSelectedIndex(c);
    vx::SendText(res, row[static_cast<std::size_t>(c)]);
    vx::SendKey(res, VK_RETURN);
  }
  vx::SendKey(res, VK_UP);  // leaving the row posts it
  ASSERT_EQ(FormMain->TableRes->State(), dsBrowse);
  res->SetSelectedIndex(6);
  vx::SendText(res, "31");
  EXPECT_TRUE(res->EditorMode());
  Stop();

  TXBaseDataSet kept;
  kept.SetDatabaseName(folder);
  kept.SetTableName("forecast.dbf");
  kept.Open();
  ASSERT_EQ(kept.RecordCount(), 1);
  EXPECT_EQ(kept.FieldByName("DRAW")->AsInteger(), 7);
  EXPECT_EQ(kept.FieldByName("P5")->AsInteger(), 31);
  kept.Close();
}

// Esc closes each new-base dialog from whichever control has the focus and
// creates nothing. The dialogs have no Cancel button, and Esc used to do
// nothing at all in them.
TEST_F(NewBaseFlow, EscapeClosesTheNewBaseDialogsAndCreatesNothing) {
  Start();
  struct Case {
    TMenuItem* item;
    TNewBaseDialog* dialog;
    AnsiString caption;
  };
  const Case cases[] = {{FormMain->mnuNewBase, frmNewBase, "Новая база"_cp},
                        {FormMain->mnuNewResBase, frmNewResBase, "Новая база результатов"_cp},
                        {FormMain->mnuNewTickBase, frmNewTickBase, "Новая база билетов"_cp}};
  for (const Case& c : cases) {
    for (TWinControl* focus :
         {static_cast<TWinControl*>(c.dialog->editNewName), static_cast<TWinControl*>(c.dialog->speNC),
          static_cast<TWinControl*>(c.dialog->btnCreate)}) {
      SCOPED_TRACE(c.dialog->Name() + " / " + focus->Name());
      c.dialog->editNewName->SetText("escaped");
      dialogs.Expect(vx::DialogKind::Modal, c.caption, [&](vx::DialogRequest& r) {
        EXPECT_EQ(r.Form, c.dialog);
        focus->SetFocus();
        vx::SendKey(focus, VK_ESCAPE);
        EXPECT_EQ(c.dialog->ModalResult(), mrCancel);
        return c.dialog->ModalResult();
      });
      c.item->Click();
      EXPECT_FALSE(c.dialog->Visible());
    }
  }
  EXPECT_FALSE(FileExists(folder + "escaped.dbf"));
  EXPECT_FALSE(FileExists(folder + "tickets/escaped.tic"));
  Stop();
}
