// A string grid on screen, driven by synthetic mouse, wheel, scroll-bar and
// key events as a user drives it. Runs offscreen; under Xvfb (the
// grid_screenshot test) it also saves what the grid looks like to the file
// named by VX_GRID_SCREENSHOT.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/gui/core/application.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/grids/grids.h"
#include "platform/gui/core/input_simulation.h"
#include "tests/platform/gui/gui_test_support.h"

namespace {

class GridWidget : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    form = new TForm(nullptr);
    form->SetCaption("Сетка"_cp);
    form->SetBounds(0, 0, 560, 330);
    grid = new TStringGrid(form, form);
    grid->SetAlign(alClient);
    grid->SetColCount(10);
    grid->SetRowCount(51);  // 50 rows of data under the titles
    grid->SetOptions(grid->Options() + goColSizing + goEditing + goTabs);
    for (int c = 1; c < 10; ++c) grid->SetCells(c, 0, "Кол "_cp + IntToStr(c));
    for (int r = 1; r < 51; ++r) {
      grid->SetCells(0, r, IntToStr(r));
      for (int c = 1; c < 10; ++c) grid->SetCells(c, r, IntToStr(r * c));
    }
    form->Show();
    grid->SetFocus();
    // Typing opens the editor only in a focused grid; under X the window
    // becomes active when the server says so, which may take a while.
    ASSERT_TRUE(vx::WaitForFocus(grid)) << "the grid's window never became active";
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete form;
    Application->ProcessMessages();
    GuiTest::TearDown();
  }
  TForm* form = nullptr;
  TStringGrid* grid = nullptr;
};

TEST_F(GridWidget, ScrollsSizesAndEditsAsAUserDoes) {
  ASSERT_TRUE(form->Visible());
  EXPECT_TRUE(grid->HandleAllocated());
  EXPECT_TRUE(vx::ScrollBarShown(grid, true));
  // The wheel moves the current row, and the view follows it down.
  for (int i = 0; i < 12; ++i) vx::SendWheel(grid, -120, 100, 100);
  EXPECT_EQ(grid->Row(), 13);
  EXPECT_GT(grid->TopRow(), 1);
  // The scroll bar: a page down, then the thumb dragged to the end.
  const int top = grid->TopRow();
  vx::SendScrollBarPage(grid, true, true);
  EXPECT_EQ(grid->TopRow(), top + grid->VisibleRowCount());
  vx::SendScrollBarDrag(grid, true, 127);
  EXPECT_EQ(grid->TopRow(), 51 - grid->VisibleRowCount());
  vx::SendScrollBarDrag(grid, true, 0);
  EXPECT_EQ(grid->TopRow(), 1);
  // Column 2 wider by dragging its right edge in the title row.
  const TRect title = grid->CellRect(2, 0);
  vx::SendMouseDown(grid, title.Right, 10);
  vx::SendMouseMove(grid, title.Right + 20, 10, TShiftState{ssLeft});
  vx::SendMouseMove(grid, title.Right + 40, 10, TShiftState{ssLeft});
  vx::SendMouseUp(grid, title.Right + 40, 10);
  EXPECT_EQ(grid->ColWidths(2), 64 + 40);
  // A click on a cell, then typing: the editor opens with the keys and the
  // cell follows every key; Enter closes it.
  const TRect cell = grid->CellRect(2, 3);
  vx::SendClick(grid, cell.Left + 5, cell.Top + 5);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 3);
  vx::SendText(grid, "Тираж"_cp);
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(grid->InplaceEditor()->Showing());
  EXPECT_EQ(grid->Cells(2, 3), "Тираж"_cp);
  vx::SendText(grid->InplaceEditor(), " 7"_cp);
  EXPECT_EQ(grid->Cells(2, 3), "Тираж 7"_cp);
  vx::SendKey(grid->InplaceEditor(), VK_RETURN);
  EXPECT_FALSE(grid->InplaceEditor()->Showing());
  vx::SendKey(grid, VK_TAB);
  EXPECT_EQ(grid->Col(), 3);
  Application->ProcessMessages();
  if (const char* shot = std::getenv("VX_GRID_SCREENSHOT")) {
    std::filesystem::create_directories(std::filesystem::path(shot).parent_path());
    EXPECT_TRUE(vx::SaveScreenshot(form, shot));
    EXPECT_GT(vx::InkCoverage(grid, clWindow), 0.05);
  }
}

}  // namespace

namespace {

// Editing from the keyboard alone. Escape used to leave the editor open
// with the typed text already in the cell.
TEST_F(GridWidget, KeysOpenTheEditorAndEscapePutsTheTextBack) {
  grid->SetCells(3, 2, "old");
  vx::SendKey(grid, VK_DOWN);
  vx::SendKey(grid, VK_RIGHT);
  vx::SendKey(grid, VK_RIGHT);
  ASSERT_EQ(grid->Col(), 3);
  ASSERT_EQ(grid->Row(), 2);
  // A printable key on the selected cell opens the editor with that key.
  vx::SendText(grid, "Ж"_cp);
  TInplaceEdit* editor = grid->InplaceEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->Showing());
  EXPECT_EQ(grid->Cells(3, 2), "Ж"_cp);
  vx::SendText(editor, "12");
  EXPECT_EQ(grid->Cells(3, 2), "Ж12"_cp);
  vx::SendKey(editor, VK_ESCAPE);
  EXPECT_FALSE(editor->Showing());
  EXPECT_EQ(grid->Cells(3, 2), "old");
  EXPECT_TRUE(grid->Focused());
  // F2 opens it on the text, Escape after a change puts the text back.
  vx::SendKey(grid, VK_F2);
  EXPECT_TRUE(editor->Showing());
  EXPECT_EQ(editor->Text(), "old");
  vx::SendText(editor, "er");
  EXPECT_EQ(grid->Cells(3, 2), "older");
  vx::SendKey(editor, VK_ESCAPE);
  EXPECT_EQ(grid->Cells(3, 2), "old");
  // Enter opens it with the text selected; Enter keeps what was typed.
  vx::SendKey(grid, VK_RETURN);
  EXPECT_TRUE(editor->Showing());
  vx::SendText(editor, "new");
  vx::SendKey(editor, VK_RETURN);
  EXPECT_FALSE(editor->Showing());
  EXPECT_EQ(grid->Cells(3, 2), "new");
  // Escape with no editor open changes nothing.
  vx::SendKey(grid, VK_ESCAPE);
  EXPECT_EQ(grid->Cells(3, 2), "new");
}

}  // namespace
