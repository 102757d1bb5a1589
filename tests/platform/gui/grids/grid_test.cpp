// The string grid base without a widget on screen: geometry, counts,
// selection, keyboard, sizing and moving by mouse, rows, the editor.
#include <gtest/gtest.h>

#include "platform/gui/core/application.h"
#include "platform/gui/grids/grids.h"

namespace {

// Opens the protected machinery the way a descendant sees it.
class TestGrid : public TStringGrid {
 public:
  TestGrid() : TStringGrid(nullptr) {
    SetScrollBars(ssNone);
    SetBorderStyle(bsNone);
    SetBounds(0, 0, 300, 210);  // 7 rows of 25 below the fixed row, and a part
    SetColCount(10);
    SetRowCount(20);
    OnSelectCell = [this](TObject*, int c, int r, bool& can) {
      selects.push_back({c, r});
      can = !refuse || !refuse(c, r);
    };
  }
  using TCustomGrid::KeyDown;
  using TCustomGrid::KeyPress;
  using TCustomGrid::MouseDown;
  using TCustomGrid::MouseMove;
  using TCustomGrid::MouseUp;
  using TStringGrid::PutRowData;
  using TStringGrid::TakeRowData;
  TGridState State() const { return FGridState; }
  void ColWidthsChanged() override {
    ++widthChanges;
    TStringGrid::ColWidthsChanged();
  }
  void ColumnMoved(int from, int to) override {
    moves.push_back({from, to});
    TStringGrid::ColumnMoved(from, to);
  }
  void RowMoved(int from, int to) override {
    moves.push_back({-from - 1, -to - 1});
    TStringGrid::RowMoved(from, to);
  }
  // Mouse gestures at client points.
  void Drag(TPoint from, std::vector<TPoint> via, TPoint to, TShiftState shift = {}) {
    MouseDown(mbLeft, shift, from.X, from.Y);
    for (TPoint p : via) MouseMove(TShiftState{ssLeft}, p.X, p.Y);
    MouseMove(TShiftState{ssLeft}, to.X, to.Y);
    MouseUp(mbLeft, shift, to.X, to.Y);
  }
  TPoint Centre(int c, int r) {
    const TRect rc = CellRect(c, r);
    return TPoint{(rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2};
  }
  bool Key(Word key, TShiftState shift = {}) { return KeyDown(key, shift); }

  std::vector<TGridCoord> selects;
  std::function<bool(int, int)> refuse;
  int widthChanges = 0;
  std::vector<TGridCoord> moves;
};

class GridBase : public ::testing::Test {
 protected:
  void SetUp() override { Application->Initialize(); }
  TestGrid g;
};

TEST_F(GridBase, CellRectAndMouseToCellAgreeAtEveryScrollPosition) {
  g.SetColWidths(2, 40);
  g.SetColWidths(3, 100);
  g.SetRowHeights(4, 30);
  EXPECT_EQ(g.CellRect(1, 1), Rect(65, 25, 129, 49));
  EXPECT_EQ(g.CellRect(0, 0), Rect(0, 0, 64, 24));
  for (TGridCoord top : {TGridCoord{1, 1}, TGridCoord{2, 5}, TGridCoord{3, 8}}) {
    g.SetLeftCol(top.X);
    g.SetTopRow(top.Y);
    ASSERT_EQ(g.LeftCol(), top.X);
    ASSERT_EQ(g.TopRow(), top.Y);
    int shown = 0;
    for (int r = 0; r < g.RowCount(); ++r)
      for (int c = 0; c < g.ColCount(); ++c) {
        const TRect rc = g.CellRect(c, r);
        const bool scrolledOff = (c >= 1 && c < top.X) || (r >= 1 && r < top.Y);
        if (scrolledOff) EXPECT_EQ(rc, TRect{}) << c << "," << r;
        if (rc.Right <= rc.Left) continue;
        ++shown;
        for (TPoint p : {TPoint{rc.Left, rc.Top}, g.Centre(c, r), TPoint{rc.Right - 1, rc.Bottom - 1}}) {
          int col = -2, row = -2;
          g.MouseToCell(p.X, p.Y, col, row);
          EXPECT_EQ(col, c) << p.X << "," << p.Y;
          EXPECT_EQ(row, r) << p.X << "," << p.Y;
        }
      }
    EXPECT_GT(shown, 12);
  }
  // The grid line after a cell belongs to it; past the last cell is nowhere.
  g.SetLeftCol(1);
  g.SetTopRow(1);
  EXPECT_EQ(g.MouseCoord(129, 30), (TGridCoord{1, 1}));
  g.SetColCount(3);
  EXPECT_EQ(g.MouseCoord(250, 30), (TGridCoord{-1, -1}));
  EXPECT_EQ(g.MouseCoord(-1, 30), (TGridCoord{-1, -1}));
}

TEST_F(GridBase, TopRowStopsWhereTheLastRowIsShownWhole) {
  EXPECT_EQ(g.VisibleRowCount(), 7);  // the eighth row shows only in part
  EXPECT_EQ(g.VisibleColCount(), 3);
  g.SetTopRow(50);
  EXPECT_EQ(g.TopRow(), 13);  // rows 13..19 fill the seven places
  g.SetTopRow(0);
  EXPECT_EQ(g.TopRow(), 1);
  g.SetHeight(10);  // not even one row fits
  EXPECT_EQ(g.VisibleRowCount(), 1);
}

TEST_F(GridBase, CountsClampTheFixedCountsAndRefuseBadOnes) {
  g.SetFixedRows(3);
  g.SetRowCount(2);
  EXPECT_EQ(g.FixedRows(), 1);
  g.SetRowCount(0);
  EXPECT_EQ(g.RowCount(), 1);
  EXPECT_EQ(g.FixedRows(), 0);
  struct Bad {
    std::function<void()> call;
    const char* message;
  };
  const Bad bad[] = {{[&] { g.SetFixedRows(1); }, "Fixed row count must be less than row count"},
                     {[&] { g.SetFixedCols(10); }, "Fixed column count must be less than column count"},
                     {[&] { g.SetFixedCols(-1); }, "Grid index out of range"},
                     {[&] { g.SetCol(99); }, "Grid index out of range"}};
  for (const Bad& b : bad) {
    try {
      b.call();
      ADD_FAILURE() << "no error: " << b.message;
    } catch (const EInvalidGridOperation& e) { EXPECT_EQ(e.Message(), b.message); }
  }
  // Outside the counts: empty reads, ignored writes, default sizes.
  g.SetCells(50, 0, "x");
  g.SetCells(0, 5, "x");
  EXPECT_EQ(g.Cells(50, 0), "");
  EXPECT_EQ(g.Cells(-1, -1), "");
  EXPECT_EQ(g.Objects(3, 99), nullptr);
  EXPECT_EQ(g.RowHeights(99), 24);
  g.SetRowHeights(0, 40);
  g.SetRowCount(3);
  EXPECT_EQ(g.RowHeights(0), 40);
  EXPECT_EQ(g.RowHeights(2), 24);  // new rows take the default
  g.SetDefaultRowHeight(21);
  EXPECT_EQ(g.RowHeights(0), 21);  // a new default resets every height
  // Writing the width a column has notifies nobody.
  const int before = g.widthChanges;
  g.SetColWidths(1, g.ColWidths(1));
  EXPECT_EQ(g.widthChanges, before);
  g.SetColWidths(1, 70);
  EXPECT_EQ(g.widthChanges, before + 1);
}

TEST_F(GridBase, MouseRangeSelectionKeepsTheCurrentCellAndAsksOnce) {
  g.Drag(g.Centre(1, 1), {g.Centre(2, 2), g.Centre(2, 3)}, g.Centre(3, 4));
  EXPECT_EQ(g.selects, (std::vector<TGridCoord>{TGridCoord{1, 1}}));
  EXPECT_EQ(g.Col(), 1);
  EXPECT_EQ(g.Row(), 1);
  EXPECT_EQ(g.Selection(), (TGridRect{1, 1, 3, 4}));
  EXPECT_EQ(g.State(), gsNormal);
  // With editing on, a drag moves the current cell, asking for each.
  g.SetOptions(g.Options() + goEditing);
  g.selects.clear();
  g.Drag(g.Centre(1, 2), {g.Centre(2, 2)}, g.Centre(3, 2));
  EXPECT_EQ(g.selects, (std::vector<TGridCoord>{{1, 2}, {2, 2}, {3, 2}}));
  EXPECT_EQ(g.Selection(), (TGridRect{3, 2, 3, 2}));
}

TEST_F(GridBase, KeysMoveTheCurrentCellAsTheClassLibraryDid) {
  struct Step {
    Word key;
    TShiftState shift;
    TGridCoord current;
    int topRow;
  };
  g.SetOptions(g.Options() + goTabs);
  const Step steps[] = {
      {VK_DOWN, {}, {1, 2}, 1},        {VK_RIGHT, {}, {2, 2}, 1},        {VK_END, {}, {9, 2}, 1},
      {VK_HOME, {}, {1, 2}, 1},        {VK_NEXT, {}, {1, 9}, 8},         {VK_PRIOR, {}, {1, 2}, 1},
      {VK_END, {ssCtrl}, {9, 19}, 13}, {VK_HOME, {ssCtrl}, {1, 1}, 1},   {VK_DOWN, {ssCtrl}, {1, 1}, 2},
      {VK_LEFT, {}, {1, 1}, 2},        {VK_TAB, {ssShift}, {9, 19}, 13}, {VK_TAB, {}, {1, 1}, 1},
      {VK_END, {}, {9, 1}, 1},         {VK_TAB, {}, {1, 2}, 1},          {VK_TAB, {ssShift}, {9, 1}, 1},
      {VK_UP, {}, {9, 1}, 1},  // the first data row: nowhere to go
  };
  for (const Step& s : steps) {
    Word key = s.key;
    EXPECT_TRUE(g.KeyDown(key, s.shift));
    EXPECT_EQ((TGridCoord{g.Col(), g.Row()}), s.current) << "key " << s.key;
    EXPECT_EQ(g.TopRow(), s.topRow) << "key " << s.key;
  }
  // Shift widens the selection from the anchor.
  g.Key(VK_HOME);
  g.Key(VK_DOWN, {ssShift});
  g.Key(VK_RIGHT, {ssShift});
  EXPECT_EQ(g.Selection(), (TGridRect{1, 1, 2, 2}));
  // Without goTabs, Tab is left to the form.
  g.SetOptions(g.Options() - goTabs);
  EXPECT_FALSE(g.Key(VK_TAB));
}

TEST_F(GridBase, RefusedCellsStopTheArrowKeys) {
  g.refuse = [](int, int r) { return r >= 3; };
  for (int i = 0; i < 5; ++i) g.Key(VK_DOWN);
  EXPECT_EQ(g.Row(), 2);
  g.SetRow(10);
  EXPECT_EQ(g.Row(), 2);
}

TEST_F(GridBase, SizingAppliesOnceAtTheRelease) {
  g.SetOptions(g.Options() + goColSizing + goRowSizing);
  // Column 1 ends at x = 129, in the fixed row.
  g.MouseDown(mbLeft, {}, 131, 10);
  EXPECT_EQ(g.State(), gsColSizing);
  g.MouseMove(TShiftState{ssLeft}, 150, 10);
  g.MouseMove(TShiftState{ssLeft}, 160, 10);
  EXPECT_EQ(g.ColWidths(1), 64);
  const int before = g.widthChanges;
  g.MouseUp(mbLeft, {}, 170, 10);
  EXPECT_EQ(g.widthChanges, before + 1);
  EXPECT_EQ(g.ColWidths(1), 64 + 39);
  // Rows size in the fixed column; away from a line nothing sizes.
  g.MouseDown(mbLeft, {}, 10, 49);
  EXPECT_EQ(g.State(), gsRowSizing);
  g.MouseUp(mbLeft, {}, 10, 60);
  EXPECT_EQ(g.RowHeights(1), 35);
  g.MouseDown(mbLeft, {}, 100, 10);
  EXPECT_EQ(g.State(), gsNormal);
  g.MouseUp(mbLeft, {}, 100, 10);
}

TEST_F(GridBase, MovesReportOnlyRealChangesAndCarryTheData) {
  g.SetOptions(g.Options() + goColMoving + goRowMoving);
  for (int c = 0; c < 10; ++c) g.SetCells(c, 0, "c" + std::to_string(c));
  for (int r = 0; r < 20; ++r) g.SetCells(0, r, "r" + std::to_string(r));
  g.SetColWidths(2, 50);
  g.Drag(TPoint{g.Centre(2, 0).X, 10}, {}, TPoint{g.Centre(2, 0).X + 3, 10});  // no change of place
  g.Drag(TPoint{g.Centre(2, 0).X, 10}, {g.Centre(3, 0)}, TPoint{g.Centre(3, 0).X, 10});
  g.Drag(TPoint{10, g.Centre(0, 2).Y}, {}, TPoint{10, g.Centre(0, 5).Y});
  EXPECT_EQ(g.moves, (std::vector<TGridCoord>{{2, 3}, {-3, -6}}));
  EXPECT_EQ(g.Cells(2, 0), "c3");
  EXPECT_EQ(g.Cells(3, 0), "c2");
  EXPECT_EQ(g.ColWidths(2), 50);  // widths stay where they were
  EXPECT_EQ(g.Cells(0, 5), "r2");
  EXPECT_EQ(g.Cells(0, 2), "r3");
}

TEST_F(GridBase, DeleteRowShiftsTextsObjectsAndHeights) {
  TObject marker;
  for (int r = 0; r < 5; ++r) g.SetCells(1, r, "r" + std::to_string(r));
  g.SetObjects(2, 3, &marker);
  g.SetRowHeights(2, 40);
  g.DeleteRow(1);
  EXPECT_EQ(g.RowCount(), 19);
  EXPECT_EQ(g.Cells(1, 1), "r2");
  EXPECT_EQ(g.Cells(1, 3), "r4");
  EXPECT_EQ(g.Objects(2, 2), &marker);
  EXPECT_EQ(g.RowHeights(1), 40);
  EXPECT_EQ(g.RowHeights(2), 24);
  g.DeleteColumn(0);
  EXPECT_EQ(g.ColCount(), 9);
  EXPECT_EQ(g.Cells(0, 1), "r2");
}

TEST_F(GridBase, RearrangeRowsMovesRowsWithTheirHeightsInOneStep) {
  TObject marker;
  for (int r = 0; r < 5; ++r) g.SetCells(1, r, "r" + std::to_string(r));
  g.SetObjects(2, 3, &marker);
  g.SetRowHeights(3, 40);
  g.SetRow(2);
  g.RearrangeRows({0, 3, -1, 1});
  EXPECT_EQ(g.RowCount(), 4);
  EXPECT_EQ(g.Cells(1, 1), "r3");
  EXPECT_EQ(g.Objects(2, 1), &marker);
  EXPECT_EQ(g.RowHeights(1), 40);
  EXPECT_EQ(g.Cells(1, 2), "");  // a new row: empty, default height
  EXPECT_EQ(g.RowHeights(2), 24);
  EXPECT_EQ(g.Cells(1, 3), "r1");
  EXPECT_EQ(g.Row(), 2);  // the current cell keeps its index
  std::vector<AnsiString> cells;
  std::vector<TObject*> objects;
  g.TakeRowData(1, cells, objects);  // moved out: the row is empty
  EXPECT_EQ(g.Cells(1, 1), "");
  EXPECT_EQ(g.Objects(2, 1), nullptr);
  ASSERT_GE(cells.size(), 2u);
  EXPECT_EQ(cells[1], "r3");
  cells.resize(20, "x");  // longer than the row: cut to ColCount
  cells[9] = "last";
  g.PutRowData(3, std::move(cells), std::move(objects));
  EXPECT_EQ(g.Cells(1, 3), "r3");
  EXPECT_EQ(g.Objects(2, 3), &marker);
  EXPECT_EQ(g.Cells(9, 3), "last");
  EXPECT_EQ(g.Cells(10, 3), "");
  g.TakeRowData(99, cells, objects);  // outside: nothing
  EXPECT_TRUE(cells.empty());
  g.RearrangeRows({});  // no rows left: one empty row, no fixed row
  EXPECT_EQ(g.RowCount(), 1);
  EXPECT_EQ(g.FixedRows(), 0);
  EXPECT_EQ(g.Cells(1, 0), "");
}

TEST_F(GridBase, RowsAndColsAreAssignableViews) {
  TStringList list;
  TObject marker;
  list.Add("a");
  list.AddObject("", &marker);
  list.Add("c");
  g.Rows(2)->Assign(&list);
  EXPECT_EQ(g.Cells(0, 2), "a");
  EXPECT_EQ(g.Cells(1, 2), "");
  EXPECT_EQ(g.Objects(1, 2), &marker);
  EXPECT_EQ(g.Cells(2, 2), "c");
  EXPECT_EQ(g.Cols(2)->Strings(2), "c");
  EXPECT_EQ(g.Rows(2)->Count(), 10);
  EXPECT_THROW(g.Rows(2)->Delete(0), EInvalidGridOperation);
  EXPECT_EQ(g.Rows(99), nullptr);
}

TEST_F(GridBase, EditorOpensWritesLiveAndHides) {
  std::vector<std::string> written;
  g.OnSetEditText = [&](TObject*, int c, int r, const AnsiString& v) {
    written.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + v);
  };
  g.SetOptions(g.Options() + goEditing);
  g.SetCells(1, 1, "old");
  g.SetFocus();
  ASSERT_TRUE(g.IsActiveControl());
  g.Key(VK_F2);
  ASSERT_TRUE(g.EditorMode());
  TInplaceEdit* ed = g.InplaceEditor();
  ASSERT_NE(ed, nullptr);
  EXPECT_TRUE(ed->Showing());
  EXPECT_EQ(ed->Text(), "old");
  EXPECT_EQ(ed->BoundsRect(), g.CellRect(1, 1));
  ed->SetText("new");
  EXPECT_EQ(g.Cells(1, 1), "new");  // at once, not when the editor closes
  g.Key(VK_DOWN);
  EXPECT_FALSE(ed->Showing());
  EXPECT_FALSE(g.EditorMode());
  // A typed character opens it with that character; Enter closes it.
  char ch = 'x';
  g.KeyPress(ch);
  EXPECT_TRUE(ed->Showing());
  EXPECT_EQ(g.Cells(1, 2), "x");
  g.Key(VK_RETURN);
  EXPECT_FALSE(ed->Showing());
  // A click on the current cell opens it; scrolling closes it.
  g.MouseDown(mbLeft, {}, g.Centre(1, 2).X, g.Centre(1, 2).Y);
  g.MouseUp(mbLeft, {}, g.Centre(1, 2).X, g.Centre(1, 2).Y);
  EXPECT_TRUE(ed->Showing());
  g.SetTopRow(5);
  EXPECT_FALSE(ed->Showing());
  EXPECT_EQ(written.front(), "1,1=new");
  // A current cell parked outside the grid never edits.
  g.SetSelection(TGridRect{g.ColCount(), g.RowCount(), g.ColCount(), g.RowCount()});
  g.ShowEditor();
  EXPECT_FALSE(ed->Showing());
}

TEST_F(GridBase, ScrollBarsRunFrom0To127AndTheWheelMovesTheRow) {
  g.SetScrollBars(ssVertical);
  g.SetTopRow(13);
  EXPECT_EQ(GetScrollPos(g.Handle(), SB_VERT), 127);
  g.SetTopRow(7);
  EXPECT_EQ(GetScrollPos(g.Handle(), SB_VERT), 64);  // 6 of 12 rows
  g.Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 32));
  EXPECT_EQ(g.TopRow(), 4);
  g.Perform(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0));
  EXPECT_EQ(g.TopRow(), 5);
  g.Perform(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0));
  EXPECT_EQ(g.TopRow(), 12);
  g.Perform(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0));
  EXPECT_EQ(g.TopRow(), 13);
  g.Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0));  // without goThumbTracking: only on release
  EXPECT_EQ(g.TopRow(), 13);
  g.SetRow(1);
  g.Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -2 * WHEEL_DELTA));
  EXPECT_EQ(g.Row(), 3);
  g.Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
  EXPECT_EQ(g.Row(), 2);
}

}  // namespace
