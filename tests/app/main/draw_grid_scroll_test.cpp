// The main window's draw grid over a 1,000-draw base: the wheel and the
// scroll bar move the base, and the grid grows with the window.
#include <gtest/gtest.h>

#include "draw_fixture.h"
#include "platform/db/field.h"
#include "platform/gui/grids/dbgrids.h"

namespace {

class DrawGridScroll : public AppTest {
 protected:
  // The program started with the base "lotto" (6 of 49) of `draws` draws
  // open and its main window shown at width x height.
  TFormMain* ShowWithBase(int draws, int width, int height) {
    Start();
    apptest::WriteDrawBase(folder, "lotto", 6, 49, draws);
    apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
    FormMain->SetBounds(0, 0, width, height);
    FormMain->Show();
    return FormMain;
  }
};

// Year and draw of the current record, as "2000/3".
std::string Current(TDataSet* t) {
  return std::to_string(t->FieldByName("YEAR")->AsInteger()) + "/" +
         std::to_string(t->FieldByName("DRAW")->AsInteger());
}

TEST_F(DrawGridScroll, WheelAndScrollBarMoveTheBaseAndTheGridGrowsWithTheWindow) {
  TFormMain* f = ShowWithBase(1000, 700, 420);
  Application->ProcessMessages();
  TDBGrid* grid = f->DBGridMain;
  TDataSet* t = f->TableMain;
  t->First();
  ASSERT_TRUE(vx::ScrollBarShown(grid, true));
  // Three notches towards the user and one back: two draws on.
  for (int i = 0; i < 3; ++i) vx::SendWheel(grid, -WHEEL_DELTA);
  vx::SendWheel(grid, WHEEL_DELTA);
  EXPECT_EQ(Current(t), "2000/3");
  // A page of the scroll bar moves a screen of draws.
  const int rows = grid->VisibleRowCount();
  vx::SendScrollBarPage(grid, true, true);
  EXPECT_EQ(Current(t), "2000/" + std::to_string(3 + rows));
  // The thumb dragged to the bottom and back to the top.
  SCROLLINFO bar;
  bar.fMask = SIF_RANGE;
  ASSERT_TRUE(GetScrollInfo(grid->Handle(), SB_VERT, &bar));
  vx::SendScrollBarDrag(grid, true, bar.nMax);
  EXPECT_EQ(Current(t), "2009/100");
  EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), bar.nMax);
  EXPECT_EQ(grid->DisplayedText(1, grid->DisplayedRowCount() - 1), "100");
  vx::SendScrollBarDrag(grid, true, bar.nMin);
  EXPECT_EQ(Current(t), "2000/1");
  // Maximised, the window gives the grid more rows and the pages more room.
  const int height = grid->Height(), pages = f->PageControlMain->Width();
  f->SetWindowState(wsMaximized);
  Application->ProcessMessages();
  EXPECT_GT(grid->Height(), height);
  EXPECT_GT(grid->VisibleRowCount(), rows);
  EXPECT_GT(f->PageControlMain->Width(), pages);
  EXPECT_EQ(f->PageControlMain->Left(), grid->Left() + grid->Width());
  Stop();
}

// The results grid used to cut its number columns at the window's edge,
// with no way to reach the rest.
TEST_F(DrawGridScroll, TheResultsGridReachesEveryNumberColumnOfAFormedCombination) {
  TFormMain* f = ShowWithBase(200, 900, 560);
  f->seYearIndNumber->SetValue(2001);
  f->seDrawIndNumber->SetValue(50);
  vx::SendClick(f->btnForming);
  Application->ProcessMessages();
  ASSERT_TRUE(f->TableRes->Active());
  TDBGrid* grid = f->DBGridRes;
  const int numbers = f->TableRes->FieldCount() - 2;
  ASSERT_GT(numbers, 12) << "wider than the grid";
  ASSERT_EQ(grid->Columns()->Count(), 2 + numbers);
  EXPECT_EQ(grid->ColCount(), 1 + 2 + numbers);
  EXPECT_TRUE(vx::ScrollBarShown(grid, false));
  grid->SetFocus();
  vx::SendKey(grid, VK_END);
  const TRect last = grid->CellRect(grid->ColCount() - 1, 1);
  EXPECT_EQ(last.Width(), 25);
  EXPECT_LE(last.Right, grid->ClientWidth());
  EXPECT_EQ(grid->Columns()->Items(grid->SelectedIndex())->FieldName(), "P" + IntToStr(numbers));
  EXPECT_TRUE(vx::ShowsWhatItPaints(grid));
  vx::SendKey(grid, VK_HOME);
  EXPECT_EQ(grid->LeftCol(), 1);
  Stop();
}

}  // namespace
