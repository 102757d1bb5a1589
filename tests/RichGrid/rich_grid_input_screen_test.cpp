// The rich grid on screen, worked by synthetic mouse, wheel and key events
// as a user works it: heading clicks sort, a double click on a heading line
// fits the column, a heading dragged moves its column, Insert and Delete,
// the wheel and Ctrl+wheel, a link to a cell. Runs off screen; under Xvfb
// (richgrid_input_screenshot) it also leaves a picture of pan mode and a
// blinking heading in the file named by VX_INPUT_SCREENSHOT.
#include <cstdlib>
#include <filesystem>

#include "platform/gui/core/input_simulation.h"
#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

using namespace richgridtest;

class RichGridOnScreen : public GridOnScreen {
 protected:
  void SetUp() override {
    GridOnScreen::SetUp();
    MakeForm(560, 380, 540, 320);
    grid->SetColCount(6);
    grid->SetRowCount(5);
    const int values[] = {3, 1, 4, 2};
    for (int c = 1; c < 6; ++c) grid->SetCells(c, 0, "Кол "_cp + IntToStr(c));
    for (int r = 1; r < 5; ++r)
      for (int c = 1; c < 6; ++c) grid->SetCells(c, r, IntToStr(values[r - 1] * c));
    grid->SetSortShow(true);
    grid->SetOptions(grid->Options() + goColSizing + goColMoving);
    grid->SetEnhRowColMove(true);
    ShowForm();
  }
  Texts Column(int c) const {
    Texts t;
    for (int r = 0; r < grid->RowCount(); ++r) t.push_back(grid->Cells(c, r));
    return t;
  }
};

TEST_F(RichGridOnScreen, HeadingsSortFitAndMoveTheirColumns) {
  const TRect heading = grid->CellRect(1, 0);
  vx::SendClick(grid, heading.Left + 20, 10);
  EXPECT_EQ(Column(1), (Texts{"Кол 1"_cp, "1", "2", "3", "4"}));
  vx::SendClick(grid, heading.Left + 20, 10);
  EXPECT_EQ(Column(1), (Texts{"Кол 1"_cp, "4", "3", "2", "1"}));

  // A double click on the line after column 2 fits it, and sorts nothing.
  grid->SetCells(2, 2, "a much longer text than the column");
  const TRect two = grid->CellRect(2, 0);
  vx::SendDoubleClick(grid, two.Right - 1, 10);
  EXPECT_GT(grid->ColWidths(2), 64);
  EXPECT_EQ(Column(1), (Texts{"Кол 1"_cp, "4", "3", "2", "1"}));

  // Column 1's heading dragged onto column 3: its data and width go along.
  grid->SetColWidths(1, 90);
  const Texts moved = Column(1);
  const TRect one = grid->CellRect(1, 0), three = grid->CellRect(3, 0);
  vx::SendMouseDown(grid, one.Left + 30, 10);
  vx::SendMouseMove(grid, one.Left + 60, 10, TShiftState{ssLeft});
  vx::SendMouseMove(grid, three.Left + 20, 10, TShiftState{ssLeft});
  vx::SendMouseUp(grid, three.Left + 20, 10);
  EXPECT_EQ(Column(3), moved);
  EXPECT_EQ(grid->ColWidths(3), 90);
}

TEST_F(RichGridOnScreen, InsertDeleteAndTheWheel) {
  grid->Navigation()->AllowInsertRow = true;
  grid->Navigation()->AllowDeleteRow = true;
  grid->Navigation()->InsertPosition = pInsertAfter;
  ClickCell(2, 4);
  vx::SendKey(grid, VK_INSERT);
  EXPECT_EQ(grid->RowCount(), 6);
  EXPECT_EQ(grid->Row(), 5);
  EXPECT_EQ(grid->Cells(2, 5), "");

  // Delete down to the last data row, which is only emptied.
  for (int i = 0; i < 8; ++i) vx::SendKey(grid, VK_DELETE);
  EXPECT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(Column(2), (Texts{"Кол 2"_cp, ""}));

  // The wheel moves the row by the lines of a notch, once.
  grid->SetRowCount(30);
  grid->SetRow(1);
  vx::SendWheel(grid, -120);
  EXPECT_EQ(grid->Row(), 1 + grid->WheelScrollLines());
  vx::SendWheel(grid, 120, -1, -1, TShiftState{ssCtrl});
  EXPECT_EQ(grid->ZoomLevel(), -grid->WheelScrollLines());
  EXPECT_EQ(grid->Row(), 1 + grid->WheelScrollLines());
}

TEST_F(RichGridOnScreen, ALinkToACellFarDownPutsItInTheMiddle) {
  grid->SetRowCount(200);
  grid->SetCells(1, 1, "<A href=\"CELL://R120C3\">to row 120</A>");
  const TRect link = grid->CellRect(1, 1);
  vx::SendClick(grid, link.Left + 6, link.Top + 8);
  EXPECT_EQ(grid->Row(), 120);
  EXPECT_EQ(grid->Col(), 3);
  EXPECT_EQ(grid->TopRow(), 120 - grid->VisibleRowCount() / 2);

  const char* shot = std::getenv("VX_INPUT_SCREENSHOT");
  if (!shot) return;
  // A picture: a blinking heading, a link and pan mode's origin.
  grid->SetCells(2, 0, "<B><BLINK>blinks</BLINK></B>");
  grid->SetCells(2, 121, "<A href=\"http://example.org\">a link</A>");
  grid->SetIntelliPan(ipBoth);
  const TRect cell = grid->CellRect(3, 121);
  vx::SendMouseDown(grid, cell.Left + 10, cell.Top + 5, mbMiddle);
  EXPECT_TRUE(grid->PanMode());
  Application->ProcessMessages();
  std::filesystem::create_directories(std::filesystem::path(shot).parent_path());
  EXPECT_TRUE(vx::SaveScreenshot(form, shot));
  vx::SendMouseDown(grid, cell.Left + 10, cell.Top + 5);
  EXPECT_FALSE(grid->PanMode());
}

}  // namespace
