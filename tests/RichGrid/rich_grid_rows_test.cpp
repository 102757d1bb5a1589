// Rows and columns of the rich grid: inserting and removing with their
// texts, objects, heights, widths and selection flags; where the current
// row goes; sizing by mouse with permission and proportional resizing;
// stretching the last column; zoom.
#include <gtest/gtest.h>

#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

using richgridtest::Texts;
using richgridtest::Watched;

class Grid : public richgridtest::Grid {
 public:
  void ColWidthsChanged() override {
    ++widthNotices;
    TRichStringGrid::ColWidthsChanged();
  }
  // Rows "r0" .. with the row number in every column.
  void Fill(int cols, int rows) {
    SetColCount(cols);
    SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) SetCells(c, r, "r" + IntToStr(r));
  }
  void DragX(int from, int to, int y = 5) { Drag(TPoint{from, y}, TPoint{to, y}); }
  void DragY(int x, int from, int to) { Drag(TPoint{x, from}, TPoint{x, to}); }
  int widthNotices = 0;
};

class RichGridRows : public richgridtest::RichGridTest {};

TEST_F(RichGridRows, InsertRowsShiftsRowsWithTheirHeightsObjectsAndSelection) {
  TObject marker;
  Grid g;
  g.Fill(3, 5);
  g.SetObjects(1, 3, &marker);
  g.SetRowHeights(3, 40);
  g.SetColWidths(2, 77);
  g.MouseActions()->DisjunctRowSelect = true;
  g.SetRowSelect(3, true);
  g.InsertRows(2, 3);
  EXPECT_EQ(g.RowCount(), 8);
  EXPECT_EQ(g.Column(0), (Texts{"r0", "r1", "", "", "", "r2", "r3", "r4"}));
  for (int r = 2; r <= 4; ++r) {
    EXPECT_EQ(g.RowHeights(r), 21);
    EXPECT_EQ(g.Objects(1, r), nullptr);
  }
  EXPECT_EQ(g.Objects(1, 6), &marker);
  EXPECT_EQ(g.RowHeights(6), 40);
  EXPECT_EQ(g.ColWidths(2), 77);
  EXPECT_TRUE(g.RowSelect(6));
  EXPECT_FALSE(g.RowSelect(3));
  g.InsertRows(100, 1);  // past the end: appended
  EXPECT_EQ(g.Cells(0, 8), "");
  EXPECT_EQ(g.RowCount(), 9);
  g.InsertRows(1, 0);
  EXPECT_EQ(g.RowCount(), 9);

  // Selected rows are still the right ones after an insert above them.
  g.SetRowSelect(7, true);
  g.RemoveSelectedRows();
  EXPECT_EQ(g.Column(0), (Texts{"r0", "r1", "", "", "", "r2", ""}));
}

TEST_F(RichGridRows, RemoveRowsKeepsObjectsAliveAndMovesALostCurrentRowToTheTop) {
  Grid g;
  g.Fill(3, 8);
  int deaths = 0;
  Watched dropped(deaths);
  g.SetEnableGraphics(true);
  g.SetObjects(1, 6, &dropped);
  g.SetRowHeights(7, 33);
  g.SetRow(6);
  g.RemoveRows(5, 2);
  EXPECT_EQ(g.Column(0), (Texts{"r0", "r1", "r2", "r3", "r4", "r7"}));
  EXPECT_EQ(g.RowHeights(5), 33);
  EXPECT_EQ(deaths, 0);   // not the grid's to free
  EXPECT_EQ(g.Row(), 1);  // the current row is gone: the first data row
  g.SetRow(2);
  g.RemoveRows(4, 1);
  EXPECT_EQ(g.Row(), 2);  // still there: it stays
  g.RemoveRows(-1, 1);
  g.RemoveRows(9, 1);
  EXPECT_EQ(g.RowCount(), 5);
  g.RemoveRows(1, 100);  // every data row
  EXPECT_EQ(g.RowCount(), 1);
  EXPECT_EQ(g.Cells(0, 0), "r0");
}

TEST_F(RichGridRows, RemoveRowsExPutsTheCurrentRowOnTheLastDataRowOrHidesIt) {
  struct Case {
    int rows, footers, current, from, count;
    int expectRow;  // -1: the selection is hidden
    Texts left;
  } cases[] = {
      {6, 0, 2, 4, 1, 2, {"r0", "r1", "r2", "r3", "r5"}},
      {6, 0, 5, 3, 2, 3, {"r0", "r1", "r2", "r5"}},
      {6, 1, 4, 3, 2, 2, {"r0", "r1", "r2", "r5"}},
      {3, 0, 2, 1, 2, 0, {"r0"}},  // the fixed row went with the last data row
      {3, 1, 1, 1, 1, -1, {"r0", "r2"}},
  };
  for (const Case& c : cases) {
    Grid g;
    g.Fill(2, c.rows);
    g.SetFixedFooters(c.footers);
    g.SetRow(c.current);
    g.MouseActions()->DisjunctRowSelect = true;
    g.SetRowSelect(c.from + c.count - 1, true);
    g.SetRowSelect(0, true);
    g.RemoveRowsEx(c.from, c.count);
    EXPECT_EQ(g.Column(0), c.left) << c.rows << "/" << c.from;
    if (c.expectRow < 0) EXPECT_EQ(g.Row(), g.RowCount()) << "hidden";
    else EXPECT_EQ(g.Row(), c.expectRow) << c.rows << "/" << c.from;
    EXPECT_TRUE(g.RowSelect(0));
    EXPECT_EQ(g.RowSelectCount(), 1);  // the removed row's flag went with it
  }
}

TEST_F(RichGridRows, ColumnsMoveWithTextsObjectsAndWidths) {
  TObject marker;
  Grid g;
  g.SetColCount(4);
  g.SetRowCount(2);
  for (int c = 0; c < 4; ++c) {
    g.SetCells(c, 1, "c" + IntToStr(c));
    g.SetColWidths(c, 30 + c);
  }
  g.SetObjects(2, 1, &marker);
  g.InsertCols(1, 2);
  ASSERT_EQ(g.ColCount(), 6);
  const char* texts[] = {"c0", "", "", "c1", "c2", "c3"};
  const int widths[] = {30, 64, 64, 31, 32, 33};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(g.Cells(c, 1), texts[c]) << c;
    EXPECT_EQ(g.ColWidths(c), widths[c]) << c;
  }
  EXPECT_EQ(g.Objects(4, 1), &marker);

  g.AddCheckBox(3, 1, true, false);  // the grid's own: freed with its column
  g.RemoveCols(3, 1);
  ASSERT_EQ(g.ColCount(), 5);
  EXPECT_EQ(g.Cells(3, 1), "c2");
  EXPECT_EQ(g.Objects(3, 1), &marker);
  EXPECT_EQ(g.ColWidths(3), 32);
  EXPECT_EQ(g.ColWidths(4), 33);
  g.RemoveCols(4, 10);
  EXPECT_EQ(g.ColCount(), 4);
  g.RemoveCols(-1, 1);
  g.InsertCols(0, 0);
  EXPECT_EQ(g.ColCount(), 4);
}

TEST_F(RichGridRows, ZoomStaysWithinTenStepsEachWay) {
  Grid g;
  g.SetColCount(2);
  g.SetRowCount(2);
  g.SetColWidths(0, 5);
  for (int i = 0; i < 11; ++i) g.Zoom(1);
  EXPECT_EQ(g.ZoomLevel(), 10);
  EXPECT_EQ(g.ColWidths(1), 74);
  EXPECT_EQ(g.RowHeights(1), 31);
  for (int i = 0; i < 25; ++i) g.Zoom(-1);
  EXPECT_EQ(g.ZoomLevel(), -10);
  EXPECT_EQ(g.ColWidths(1), 54);
  EXPECT_EQ(g.ColWidths(0), 1);  // never below one pixel
}

TEST_F(RichGridRows, SizingByMouseAsksPermissionAndResizesTheOthersInProportion) {
  Grid g;
  g.SetColCount(5);
  g.SetRowCount(5);
  g.SetOptions(g.Options() + TGridOptions{goColSizing, goRowSizing});
  std::vector<int> asked, ended;
  g.OnColumnSize = [&](TObject*, int c, bool& allow) {
    asked.push_back(c);
    allow = c != 2;
  };
  g.OnEndColumnSize = [&](TObject*, int c) { ended.push_back(c); };
  // Column 1's right edge is at 64 + 1 + 64 = 129 (lines of 1 pixel).
  g.DragX(129, 160);
  EXPECT_EQ(g.ColWidths(1), 95);
  EXPECT_EQ(ended, (std::vector<int>{1}));
  g.DragX(129 + 31 + 65, 260);  // column 2: refused
  EXPECT_EQ(g.ColWidths(2), 64);
  EXPECT_EQ(ended.size(), 1u);
  EXPECT_EQ(asked, (std::vector<int>{1, 2}));

  g.MouseActions()->AllColumnSize = true;
  g.DragX(290, 322);  // column 3 from 64 to 96: the other data columns grow by half
  EXPECT_EQ(g.ColWidths(3), 96);
  EXPECT_EQ(g.ColWidths(0), 64);  // fixed
  EXPECT_EQ(g.ColWidths(1), 143);
  EXPECT_EQ(g.ColWidths(2), 96);
  EXPECT_EQ(g.ColWidths(4), 96);
  EXPECT_EQ(ended, (std::vector<int>{1, 3}));

  // A press on the line that moves nothing sizes nothing, and later width
  // changes from code are not taken for a sizing.
  g.DragX(322, 322);
  g.SetColWidths(4, 10);
  EXPECT_EQ(g.ColWidths(2), 96);
  EXPECT_EQ(ended.size(), 2u);

  std::vector<int> rowsAsked;
  g.OnRowSize = [&](TObject*, int r, bool& allow) {
    rowsAsked.push_back(r);
    allow = true;
  };
  g.MouseActions()->AllRowSize = true;
  int endRow = -1;
  g.OnEndRowSize = [&](TObject*, int r) { endRow = r; };
  g.DragY(5, 43, 64);  // row 1 from 21 to 42: every other data row doubles
  EXPECT_EQ(rowsAsked, (std::vector<int>{1}));
  EXPECT_EQ(endRow, 1);
  EXPECT_EQ(g.RowHeights(1), 42);
  EXPECT_EQ(g.RowHeights(3), 42);
  EXPECT_EQ(g.RowHeights(0), 21);
}

TEST_F(RichGridRows, StretchFillsTheClientOnceAndUnchangedWidthsNotifyNobody) {
  Grid g;
  g.SetColCount(3);
  g.SetRowCount(3);
  g.widthNotices = 0;
  g.ColumnSize()->SetStretch(true);
  EXPECT_EQ(g.ColWidths(2), 400 - (64 + 1) * 2 - 1);
  const int notices = g.widthNotices;
  EXPECT_GE(notices, 1);
  g.SetColWidths(0, 100);  // the last column gives up what the first took
  EXPECT_EQ(g.ColWidths(2), 400 - 101 - 65 - 1);
  g.widthNotices = 0;
  g.SetColWidths(1, 64);  // unchanged
  EXPECT_EQ(g.widthNotices, 0);
  g.SetColCount(1);
  g.ColumnSize()->SetStretch(true);
  EXPECT_EQ(g.ColWidths(0), 400);
  g.ColumnSize()->SetStretch(false);
  g.SetColWidths(0, 50);
  EXPECT_EQ(g.ColWidths(0), 50);
}

TEST_F(RichGridRows, SizingBordersNearTheFirstRowsAndColumns) {
  Grid g;
  g.SetColCount(4);
  g.SetRowCount(4);
  EXPECT_FALSE(g.IsSizingBorder(10, 22));
  g.SetOptions(g.Options() + TGridOptions{goRowSizing, goColSizing});
  struct Case {
    int x, y;
    bool sizing;
  } cases[] = {{10, 23}, {10, 30}, {70, 2}, {70, 10}, {100, 10}, {200, 50}, {10, 43}, {130, 12}};
  const bool expected[] = {true, false, true, false, false, false, true, true};
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(g.IsSizingBorder(cases[i].x, cases[i].y), expected[i]) << cases[i].x << "," << cases[i].y;
}

}  // namespace
