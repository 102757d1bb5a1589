// The data-aware grid on screen: every change of the data set is painted at
// once (the window shows what the grid paints, without a resize), and
// columns wider than the window scroll sideways.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/gui/gui_test_support.h"
#include "platform/db/data_source.h"
#include "platform/db/field.h"
#include "platform/gui/grids/dbgrids.h"
#include "platform/gui/core/forms.h"
#include "tests/platform/db/memory_dataset.h"

namespace {

// YEAR, DRAW and 18 numbers, as the results base of "Составляющие".
std::vector<MemoryFieldSpec> WideFields() {
  std::vector<MemoryFieldSpec> specs{{"YEAR", ftInteger}, {"DRAW", ftInteger}};
  for (int i = 1; i <= 18; ++i) specs.push_back({"P" + std::to_string(i), ftInteger});
  return specs;
}

void Fill(TMemoryDataSet& ds, int rows, int year) {
  for (int r = 1; r <= rows; ++r) {
    std::vector<Variant> values{year, r};
    for (int i = 1; i <= 18; ++i) values.push_back((r * 7 + i) % 45 + 1);
    ds.AddRow(values);
  }
  ds.LogCalls = false;
}

class DBGridView : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    Fill(ds, 30, 2001);
    Fill(other, 5, 1999);
    source.SetDataSet(&ds);
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 420, 300);
    grid = new TDBGrid(form, form);
    grid->SetBounds(0, 0, 400, 260);
    grid->SetDataSource(&source);
    ds.Open();
    grid->Columns()->RebuildColumns();
    for (int i = 0; i < grid->Columns()->Count(); ++i) grid->Columns()->Items(i)->SetWidth(i < 2 ? 45 : 25);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete form;
    GuiTest::TearDown();
  }
  int Year() { return ds.FieldByName("YEAR")->AsInteger(); }
  int Draw() { return ds.FieldByName("DRAW")->AsInteger(); }

  TMemoryDataSet ds{WideFields()};
  TMemoryDataSet other{WideFields()};
  TDataSource source;
  TForm* form = nullptr;
  TDBGrid* grid = nullptr;
};

// Used to leave the old rows on screen until the window was resized: the
// grid asked its frame, not the area its cells are painted on, to repaint.
TEST_F(DBGridView, EveryChangeOfTheDataSetIsPaintedAtOnce) {
  ASSERT_TRUE(vx::ShowsWhatItPaints(grid));
  const struct {
    const char* what;
    std::function<void()> change;
    std::function<bool()> done;
  } steps[] = {
      {"click on the third row",
       [&] {
         const TRect r = grid->CellRect(3, 3);
         vx::SendClick(grid, r.Left + 3, r.Top + 3);
       },
       [&] { return Draw() == 3; }},
      {"arrow down", [&] { vx::SendKey(grid, VK_DOWN); }, [&] { return Draw() == 4; }},
      {"arrow up", [&] { vx::SendKey(grid, VK_UP); }, [&] { return Draw() == 3; }},
      {"wheel towards the user", [&] { vx::SendWheel(grid, -2 * WHEEL_DELTA); }, [&] { return Draw() == 5; }},
      {"page down", [&] { vx::SendKey(grid, VK_NEXT); }, [&] { return Draw() > 5; }},
      {"scroll bar page", [&] { vx::SendScrollBarPage(grid, true, true); }, [&] { return Draw() > 10; }},
      {"last record", [&] { vx::SendKey(grid, VK_END, TShiftState{ssCtrl}); }, [&] { return Draw() == 30; }},
      {"append",
       [&] {
         ds.Append();
         ds.FieldByName("YEAR")->SetAsInteger(2002);
         ds.FieldByName("DRAW")->SetAsInteger(31);
         ds.Post();
       },
       [&] { return ds.RowCount() == 31 && Draw() == 31; }},
      {"delete", [&] { ds.Delete(); }, [&] { return ds.RowCount() == 30; }},
      {"first record", [&] { ds.First(); }, [&] { return Draw() == 1; }},
      {"another table",
       [&] {
         source.SetDataSet(&other);
         other.Open();
       },
       [&] { return other.Active(); }},
      {"the table closed", [&] { other.Close(); }, [&] { return !other.Active(); }},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.change();
    ASSERT_TRUE(step.done());
    EXPECT_TRUE(vx::ShowsWhatItPaints(grid));
  }
}

TEST_F(DBGridView, ColumnsWiderThanTheWindowScrollSideways) {
  // 2 x 45 + 18 x 25 pixels of columns in a 400-pixel grid.
  ASSERT_EQ(grid->ColCount(), 1 + 20);
  ASSERT_TRUE(vx::ScrollBarShown(grid, false));
  ASSERT_TRUE(vx::ScrollBarShown(grid, true));
  const int firstLeft = grid->CellRect(1, 1).Left;
  vx::SendKey(grid, VK_END);
  EXPECT_EQ(grid->SelectedIndex(), 19);
  EXPECT_GT(grid->LeftCol(), 1);
  // The last column is shown whole, beside the vertical scroll bar.
  const TRect last = grid->CellRect(grid->ColCount() - 1, 1);
  EXPECT_GT(last.Right, last.Left);
  EXPECT_EQ(last.Width(), 25);
  EXPECT_LE(last.Right, grid->ClientWidth());
  vx::RecordingDevice dev;
  grid->PaintTo(&dev);
  bool titled = false;
  for (const auto& call : dev.Calls) titled = titled || call.find("\"P18\"") != std::string::npos;
  EXPECT_TRUE(titled) << "the last title is painted";
  EXPECT_TRUE(vx::ShowsWhatItPaints(grid));

  vx::SendKey(grid, VK_HOME);
  EXPECT_EQ(grid->SelectedIndex(), 0);
  EXPECT_EQ(grid->LeftCol(), 1);
  EXPECT_EQ(grid->CellRect(1, 1).Left, firstLeft);
  vx::SendKey(grid, VK_RIGHT);
  vx::SendKey(grid, VK_LEFT);
  EXPECT_EQ(grid->SelectedIndex(), 0);
  // The horizontal bar's page moves the view and leaves the record alone.
  const int draw = Draw();
  vx::SendScrollBarPage(grid, false, true);
  EXPECT_GT(grid->LeftCol(), 1);
  EXPECT_EQ(Draw(), draw);
  EXPECT_TRUE(vx::ShowsWhatItPaints(grid));
  // Right through every column, one key each.
  for (int i = 0; i < 19; ++i) vx::SendKey(grid, VK_RIGHT);
  EXPECT_EQ(grid->SelectedIndex(), 19);
  EXPECT_LE(grid->CellRect(grid->ColCount() - 1, 1).Right, grid->ClientWidth());
}

// Columns laid out after the data set opened (as the program lays out its
// bases' grids) used to paint every cell empty until the cursor moved: the
// rows had been taken before there were columns to fill.
TEST_F(DBGridView, ColumnsAddedAfterOpeningPaintTheValuesAtOnce) {
  ds.Close();
  grid->Columns()->RebuildColumns();  // the closed table: no columns
  ds.Open();
  for (const char* name : {"YEAR", "DRAW", "P1"}) grid->Columns()->Add()->SetFieldName(name);
  vx::RecordingDevice dev;
  grid->PaintTo(&dev);
  std::string texts;
  for (const auto& call : dev.Calls)
    if (call.rfind("Text ", 0) == 0) texts += call.substr(call.find('"')) + " ";
  // Row 1: 2001, 1, (1 * 7 + 1) % 45 + 1; row 3: draw 3.
  for (const char* value : {"\"2001\"", "\"9\"", "\"3\""}) EXPECT_NE(texts.find(value), std::string::npos) << texts;
  EXPECT_EQ(grid->DisplayedText(2, 0), "9") << texts;
  EXPECT_TRUE(vx::ShowsWhatItPaints(grid));
}

}  // namespace
