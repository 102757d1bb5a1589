// The rich grid's mouse and wheel, driven through its handlers: heading
// clicks that sort (never in a column line's sizing zone), double clicks
// that fit a column, columns and rows moved by the mouse, the steps of a
// press on a cell, links, and the wheel.
#include <functional>
#include <string>

#include "RichGrid/drag_markers.h"
#include "platform/gui/core/shell.h"
#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

using namespace richgridtest;

class InputGrid : public Grid {
 public:
  using TRichStringGrid::DblClick;
  using TRichStringGrid::DoMouseWheel;
  void Click(int x, int y, TShiftState s = {}) {
    MouseDown(mbLeft, s, x, y);
    MouseUp(mbLeft, s, x, y);
  }
  // As the window system reports one: press, release, double click, release.
  void DoubleClick(int x, int y) {
    Click(x, y);
    DblClick();
    MouseUp(mbLeft, TShiftState{}, x, y);
  }
  void Wheel(int delta, TShiftState s = {}) { DoMouseWheel(s, delta, Point(100, 100)); }
  // A heading row and rows of numbers; column c holds values[r - 1] * (c + 1).
  void Fill(const std::vector<int>& values) {
    SetColCount(4);
    SetRowCount(static_cast<int>(values.size()) + 1);
    for (int c = 1; c < 4; ++c) SetCells(c, 0, "C" + IntToStr(c));
    for (std::size_t r = 0; r < values.size(); ++r)
      for (int c = 1; c < 4; ++c) SetCells(c, static_cast<int>(r) + 1, IntToStr(values[r] * c));
  }
  int sorts = 0;
  InputGrid() {
    OnClickSort = [this](TObject*, int) { ++sorts; };
  }
};

// Column c ends at x = 65 c + 64 (its closing line); row r at y = 22 r + 21.
int LineOf(int col) { return 65 * col + 64; }
int MiddleX(int col) { return 65 * col + 32; }
int MiddleY(int row) { return 22 * row + 10; }

using RichGridMouse = RichGridTest;

TEST_F(RichGridMouse, AHeadingClickSortsUpThenDown) {
  InputGrid g;
  g.Fill({3, 1, 4, 2});
  g.SetSortShow(true);
  g.Click(MiddleX(1), MiddleY(0));
  EXPECT_EQ(g.Column(1), (Texts{"C1", "1", "2", "3", "4"}));
  g.Click(MiddleX(1), MiddleY(0));
  EXPECT_EQ(g.Column(1), (Texts{"C1", "4", "3", "2", "1"}));
  EXPECT_EQ(g.sorts, 2);
  // A press in the heading and a release below it sorts nothing.
  g.MouseDown(mbLeft, TShiftState{}, MiddleX(1), MiddleY(0));
  g.MouseUp(mbLeft, TShiftState{}, MiddleX(1), MiddleY(2));
  EXPECT_EQ(g.sorts, 2);
}

// One rule for the sizing zone: within 3 pixels of a column's line a press
// sizes the column and its click never sorts; 4 pixels away it sorts and
// sizes nothing.
TEST_F(RichGridMouse, TheSizingZoneIsOneRuleForSizingAndSorting) {
  for (int d : {-4, -3, 0, 3, 4}) {
    SCOPED_TRACE("offset " + std::to_string(d));
    const bool inZone = d >= -3 && d <= 3;
    InputGrid g;
    g.Fill({3, 1, 4, 2});
    g.SetSortShow(true);
    g.SetOptions(g.Options() + goColSizing);
    const int x = LineOf(1) + d;
    g.Click(x, MiddleY(0));
    EXPECT_EQ(g.sorts, inZone ? 0 : 1);
    // The same press dragged 20 pixels on.
    const int widths = g.ColWidths(1) + g.ColWidths(2);
    g.Drag(Point(x, MiddleY(0)), Point(x + 20, MiddleY(0)));
    EXPECT_EQ(g.ColWidths(1) + g.ColWidths(2), inZone ? widths + 20 : widths);
  }
}

TEST_F(RichGridMouse, ADoubleClickOnAHeadingLineFitsTheColumnAndDoesNotSort) {
  InputGrid reference;
  reference.Fill({3, 1, 4, 2});
  reference.SetCells(1, 0, "A rather long heading");
  reference.FitColumn(1);
  const int fitted = reference.ColWidths(1);
  ASSERT_GT(fitted, 64);

  struct Case {
    const char* where;
    int x;
    bool fits;
  } cases[] = {
      {"right line of the column", LineOf(1) - 2, true},
      {"left edge of the next column", LineOf(1) + 2, true},
      {"line of the fixed column", LineOf(0) + 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    InputGrid g;
    g.Fill({3, 1, 4, 2});
    g.SetCells(1, 0, "A rather long heading");
    g.SetSortShow(true);
    g.SetOptions(g.Options() + goColSizing);
    int doubleClicks = 0;
    g.OnDblClickCell = [&](TObject*, int row, int) {
      EXPECT_EQ(row, 0);
      ++doubleClicks;
    };
    g.DoubleClick(c.x, MiddleY(0));
    EXPECT_EQ(g.ColWidths(1), c.fits ? fitted : 64);
    EXPECT_EQ(g.sorts, 0);
    EXPECT_EQ(g.Column(1), (Texts{"A rather long heading", "3", "1", "4", "2"}));
    EXPECT_EQ(doubleClicks, 1);
    // The next click sorts again.
    g.Click(MiddleX(2), MiddleY(0));
    EXPECT_EQ(g.sorts, 1);
  }
}

TEST_F(RichGridMouse, AColumnDraggedByItsHeadingTakesItsWidthAndTheSortColumnAlong) {
  for (bool enhanced : {true, false}) {
    SCOPED_TRACE(enhanced ? "EnhRowColMove" : "plain");
    InputGrid g;
    g.Fill({3, 1, 4, 2});
    g.SetColCount(5);
    g.SetOptions(g.Options() + goColMoving);
    g.SetEnhRowColMove(enhanced);
    g.SetSortShow(true);
    g.SetSortColumn(3);
    g.SetColWidths(1, 50);
    g.SetColWidths(2, 60);
    g.SetColWidths(3, 70);
    const Texts moved = g.Column(1);
    g.MouseDown(mbLeft, TShiftState{}, 75, MiddleY(0));
    g.MouseMove(TShiftState{ssLeft}, 150, MiddleY(0));
    g.MouseMove(TShiftState{ssLeft}, 190, MiddleY(0));
    EXPECT_TRUE(g.ArrowMarker(0)->Visible());
    EXPECT_TRUE(g.ArrowMarker(1)->Visible());
    g.MouseUp(mbLeft, TShiftState{}, 190, MiddleY(0));
    EXPECT_FALSE(g.ArrowMarker(0)->Visible());
    EXPECT_FALSE(g.ArrowMarker(1)->Visible());
    EXPECT_EQ(g.Column(3), moved);
    EXPECT_EQ(g.sorts, 0);  // a move is no sort click
    if (enhanced) {
      EXPECT_EQ(g.ColWidths(1), 60);
      EXPECT_EQ(g.ColWidths(2), 70);
      EXPECT_EQ(g.ColWidths(3), 50);
      EXPECT_EQ(g.SortColumn(), 2);  // its data moved one to the left
    } else {
      EXPECT_EQ(g.ColWidths(3), 70);
      EXPECT_EQ(g.SortColumn(), 3);
    }
  }
  // The sort column follows its data in every position.
  struct Case {
    int from, to, sortBefore, sortAfter;
  } cases[] = {{1, 3, 1, 3}, {1, 3, 2, 1}, {1, 3, 3, 2}, {1, 3, 4, 4}, {3, 1, 1, 2}, {3, 1, 3, 1}, {3, 1, 4, 4}};
  for (const Case& c : cases) {
    InputGrid g;
    g.Fill({3, 1, 4, 2});
    g.SetColCount(5);
    g.SetOptions(g.Options() + goColMoving);
    g.SetEnhRowColMove(true);
    g.SetSortColumn(c.sortBefore);
    g.Drag(Point(MiddleX(c.from), MiddleY(0)), Point(MiddleX(c.to), MiddleY(0)));
    EXPECT_EQ(g.SortColumn(), c.sortAfter) << c.from << "->" << c.to << " sorted " << c.sortBefore;
  }
}

TEST_F(RichGridMouse, ARowDraggedByItsFixedCellExchangesHeightsWithTheTarget) {
  InputGrid g;
  g.Fill({3, 1, 4, 2});
  g.SetOptions(g.Options() + goRowMoving);
  g.SetEnhRowColMove(true);
  g.SetRowHeights(1, 30);
  g.SetRowHeights(3, 40);
  g.Drag(Point(10, 10 + 22), Point(10, 25 + 22 + 30 + 22));
  EXPECT_EQ(g.Column(1), (Texts{"C1", "1", "4", "3", "2"}));
  EXPECT_EQ(g.RowHeights(1), 40);
  EXPECT_EQ(g.RowHeights(3), 30);
  EXPECT_EQ(g.RowHeights(2), 21);
  // Deleting rows moves heights once, whatever EnhRowColMove says.
  g.SetRowHeights(2, 50);
  g.RemoveRowsEx(1, 1);
  EXPECT_EQ(g.RowHeights(1), 50);
  EXPECT_EQ(g.RowHeights(2), 30);
}

TEST_F(RichGridMouse, ThePressWorksNodesRadiosButtonsAndCheckBoxes) {
  InputGrid g;
  g.SetColCount(4);
  g.SetRowCount(8);
  std::vector<std::string> heard;
  g.OnContractNode = [&](TObject*, int row, int real) {
    heard.push_back("contract " + std::to_string(row) + "/" + std::to_string(real));
  };
  g.OnExpandNode = [&](TObject*, int row, int real) {
    heard.push_back("expand " + std::to_string(row) + "/" + std::to_string(real));
  };
  g.OnRadioClick = [&](TObject*, int c, int r, int i) {
    heard.push_back("radio " + std::to_string(c) + "," + std::to_string(r) + "=" + std::to_string(i));
  };
  g.OnRadioMouseUp = [&](TObject*, int, int, int i) { heard.push_back("radio up " + std::to_string(i)); };
  g.OnButtonClick = [&](TObject*, int c, int r) {
    heard.push_back("button " + std::to_string(c) + "," + std::to_string(r));
  };
  g.OnCheckBoxClick = [&](TObject*, int, int, bool s) { heard.push_back(std::string("check ") + (s ? "on" : "off")); };
  g.OnCheckBoxMouseUp = [&](TObject*, int, int, bool s) {
    heard.push_back(std::string("check up ") + (s ? "on" : "off"));
  };
  g.OnClickCell = [&](TObject*, int r, int c) {
    heard.push_back("click " + std::to_string(r) + "," + std::to_string(c));
  };

  g.AddNode(2, 2);
  g.Click(5, MiddleY(2));
  EXPECT_EQ(g.RowCount(), 6);
  g.Click(5, MiddleY(2));
  EXPECT_EQ(g.RowCount(), 8);

  TStringList items;
  items.Add("a");
  items.Add("b");
  items.Add("c");
  g.AddRadio(1, 1, false, items, 0);
  g.SetRowHeights(1, 60);
  // Items one text line apart from the cell's top + 2.
  const int line = g.Canvas()->TextHeight("gh");
  g.Click(65 + 5, 22 + 2 + line + line / 2);
  int index = -1;
  EXPECT_TRUE(g.GetRadioIdx(1, 1, index));
  EXPECT_EQ(index, 1);

  g.AddButton(2, 3, 30, 15, 0, 0);
  const TRect cell = g.CellRect(2, 3);
  g.MouseDown(mbLeft, TShiftState{}, cell.Left + 5, cell.Top + 5);
  EXPECT_TRUE(g.CellGraphic(2, 3)->State);
  g.MouseUp(mbLeft, TShiftState{}, cell.Left + 5, cell.Top + 5);
  EXPECT_FALSE(g.CellGraphic(2, 3)->State);

  g.SetOptions(g.Options() + goEditing);
  g.AddCheckBox(3, 4, false, false);
  g.Click(MiddleX(3), g.CellRect(3, 4).Top + 5);
  bool state = false;
  EXPECT_TRUE(g.GetCheckBoxState(3, 4, state));
  EXPECT_TRUE(state);

  EXPECT_EQ(heard, (std::vector<std::string>{"contract 2/2", "click 2,0", "expand 2/2", "click 2,0", "radio 1,1=1",
                                             "click 1,1", "radio up 1", "click 3,2", "button 2,3", "check on",
                                             "click 4,3", "check up on"}));
}

TEST_F(RichGridMouse, FixedCellsSelectWholeRowsColumnsOrEverything) {
  struct Case {
    const char* what;
    std::function<void(TMouseActions&)> set;
    TPoint at;
    int cursorState;
    TGridRect selection;
  } cases[] = {
      {"all", [](TMouseActions& m) { m.AllSelect = true; }, Point(10, 10), 3, TGridRect{1, 1, 4, 5}},
      {"column", [](TMouseActions& m) { m.ColSelect = true; }, Point(MiddleX(2), MiddleY(0)), 1, TGridRect{2, 1, 2, 5}},
      {"row", [](TMouseActions& m) { m.RowSelect = true; }, Point(10, MiddleY(3)), 2, TGridRect{1, 3, 4, 3}},
      {"nothing asked", [](TMouseActions&) {}, Point(10, MiddleY(3)), 0, TGridRect{1, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InputGrid g;
    g.SetColCount(6);
    g.SetRowCount(7);
    g.SetFixedRightCols(1);
    g.SetFixedFooters(1);
    c.set(*g.MouseActions());
    g.MouseMove(TShiftState{}, c.at.X, c.at.Y);
    EXPECT_EQ(g.FixedCellCursor(), c.cursorState);
    g.Click(c.at.X, c.at.Y);
    EXPECT_EQ(g.Selection(), c.selection);
  }
  // A heading's sizing line is no place to select its column.
  InputGrid g;
  g.SetOptions(g.Options() + goColSizing);
  g.MouseActions()->ColSelect = true;
  g.MouseMove(TShiftState{}, LineOf(2) - 1, MiddleY(0));
  EXPECT_EQ(g.FixedCellCursor(), 0);
}

TEST_F(RichGridMouse, DisjunctRowsFollowCtrlAndTheReleasedSelection) {
  InputGrid g;
  g.SetRowCount(8);
  g.MouseActions()->DisjunctRowSelect = true;
  g.Click(MiddleX(1), MiddleY(2));
  g.Click(MiddleX(1), MiddleY(4), TShiftState{ssCtrl});
  EXPECT_TRUE(g.RowSelect(2));
  EXPECT_TRUE(g.RowSelect(4));
  // Ctrl on a picked row takes it out again.
  g.Click(MiddleX(1), MiddleY(4), TShiftState{ssCtrl});
  EXPECT_FALSE(g.RowSelect(4));
  // A plain click starts over with its own row.
  g.Click(MiddleX(1), MiddleY(5));
  EXPECT_EQ(g.RowSelectCount(), 1);
  EXPECT_TRUE(g.RowSelect(5));
}

TEST_F(RichGridMouse, ACellLinkJumpsToItsCellInTheMiddleOfTheView) {
  InputGrid g;
  g.SetColCount(12);
  g.SetRowCount(300);
  g.SetCells(1, 1, "<A href=\"CELL://R150C7\">go</A>");
  g.SetCells(2, 1, "<A href=\"cell://r500c2\">nowhere</A>");
  g.SetCells(3, 1, "<A href=\"CELL://R0C0\">fixed</A>");
  g.Click(65 + 4, 22 + 8);
  EXPECT_EQ(g.Row(), 150);
  EXPECT_EQ(g.Col(), 7);
  EXPECT_EQ(g.TopRow(), 150 - g.VisibleRowCount() / 2);
  EXPECT_EQ(g.LeftCol(), 7 - g.VisibleColCount() / 2);
  // Targets outside the data cells are left alone: the click only selects.
  for (int c : {2, 3}) {
    g.SetTopRow(1);
    g.SetLeftCol(1);
    g.Click(65 * c + 4, 22 + 8);
    EXPECT_EQ(g.Row(), 1) << c;
    EXPECT_EQ(g.Col(), c);
  }
}

TEST_F(RichGridMouse, LinksOpenOnlyWebAndMailAddresses) {
  std::vector<AnsiString> opened;
  const vx::AddressOpener before = vx::SetAddressOpener([&](const AnsiString& a) {
    opened.push_back(a);
    return true;
  });
  InputGrid g;
  g.SetURLShow(true);
  g.SetCells(1, 1, "http://example.org/");
  g.SetCells(1, 2, "<A href=\"mailto:someone@example.org\">mail</A>");
  g.SetCells(1, 3, "<A href=\"file:///bin/sh\">run</A>");
  g.SetCells(1, 4, "<A href=\"/bin/sh\">run</A>");
  g.SetCells(2, 1, "<A href=\"ftp://example.org/\">vetoed</A>");
  bool veto = true;
  g.OnAnchorClick = [&](TObject*, int, int col, const AnsiString&, bool& autoHandle) {
    autoHandle = !(veto && col == 2);
  };
  for (int r = 1; r <= 4; ++r) g.Click(65 + 4, 22 * r + 8);
  g.Click(2 * 65 + 4, 22 + 8);
  EXPECT_EQ(opened, (std::vector<AnsiString>{"http://example.org/", "mailto:someone@example.org"}));
  vx::SetAddressOpener(before);
}

TEST_F(RichGridMouse, AnchorsUnderTheMouseShowTheHandAndReportEnterAndExit) {
  InputGrid g;
  g.SetCells(1, 1, "<A href=\"one\">one</A>");
  g.SetCells(1, 2, "<A href=\"two\">two</A>");
  std::vector<std::string> heard;
  g.OnAnchorEnter = [&](TObject*, int r, int, const AnsiString& a) {
    heard.push_back("enter " + a + std::to_string(r));
  };
  g.OnAnchorExit = [&](TObject*, int r, int, const AnsiString& a) { heard.push_back("exit " + a + std::to_string(r)); };
  g.MouseMove(TShiftState{}, 65 + 4, 22 + 8);
  EXPECT_EQ(g.Cursor(), crHandPoint);
  g.MouseMove(TShiftState{}, 65 + 4, 44 + 8);
  g.MouseMove(TShiftState{}, 65 + 60, 44 + 8);
  EXPECT_EQ(g.Cursor(), crDefault);
  EXPECT_EQ(heard, (std::vector<std::string>{"enter one1", "exit one1", "enter two2", "exit two2"}));
}

// The wheel moves the current row once per notch by the lines of a notch
// (the string grid's own move does not follow), within the data rows; with
// Ctrl it zooms.
TEST_F(RichGridMouse, TheWheelMovesTheRowOnceAndCtrlZooms) {
  InputGrid g;
  g.SetRowCount(20);
  g.SetFixedFooters(1);
  const int lines = g.WheelScrollLines();
  ASSERT_GT(lines, 0);
  g.Wheel(-120);
  EXPECT_EQ(g.Row(), 1 + lines);
  g.Wheel(120);
  EXPECT_EQ(g.Row(), 1);
  for (int i = 0; i < 20; ++i) g.Wheel(-120);
  EXPECT_EQ(g.Row(), 18);  // the footer is no data row
  // Parts of a notch add up to one step.
  g.Wheel(60);
  EXPECT_EQ(g.Row(), 18);
  g.Wheel(60);
  EXPECT_EQ(g.Row(), 18 - lines);

  g.Wheel(120, TShiftState{ssCtrl});
  EXPECT_EQ(g.ZoomLevel(), -lines);
  g.Wheel(-120, TShiftState{ssCtrl});
  EXPECT_EQ(g.ZoomLevel(), 0);
  g.SetIntelliZoom(false);
  g.Wheel(-120, TShiftState{ssCtrl});
  EXPECT_EQ(g.ZoomLevel(), 0);

  // Without EnableWheel the string grid's own wheel moves one row a notch.
  g.SetRow(5);
  g.SetEnableWheel(false);
  g.Wheel(-120);
  EXPECT_EQ(g.Row(), 6);
}

TEST_F(RichGridMouse, TheRightButtonReportsItsCellAndEditsLinks) {
  InputGrid g;
  g.SetOptions(g.Options() + goEditing);
  g.SetCells(2, 3, "http://example.org/");
  int row = -1, col = -1;
  g.OnRightClickCell = [&](TObject*, int r, int c) {
    row = r;
    col = c;
  };
  g.MouseDown(mbRight, TShiftState{}, MiddleX(2), MiddleY(3));
  EXPECT_EQ(row, 3);
  EXPECT_EQ(col, 2);
  EXPECT_EQ(g.Row(), 1);  // plain right clicks select nothing
  g.SetURLShow(true);
  g.SetURLEdit(true);
  g.MouseDown(mbRight, TShiftState{}, MiddleX(2), MiddleY(3));
  EXPECT_EQ(g.Row(), 3);
  EXPECT_EQ(g.Col(), 2);
  EXPECT_TRUE(g.EditorMode() || (g.InplaceEditor() && g.InplaceEditor()->Showing()));
}

TEST_F(RichGridMouse, CellsFixedByTheGridsOwnRulesOnlyReportTheClick) {
  InputGrid g;
  g.SetColCount(5);
  g.SetRowCount(6);
  g.SetFixedFooters(1);
  g.SetEnableGraphics(true);
  g.AddCheckBox(2, 5, false, false);
  g.SetOptions(g.Options() + goEditing);
  std::vector<std::string> heard;
  g.OnClickCell = [&](TObject*, int r, int c) { heard.push_back(std::to_string(r) + "," + std::to_string(c)); };
  g.OnIsFixedCell = [](TObject*, int r, int c, bool& fixed) { fixed = fixed || (r == 2 && c == 3); };
  g.Click(MiddleX(2), MiddleY(5));  // the footer's check box stays as it was
  g.Click(MiddleX(3), MiddleY(2));
  bool state = true;
  g.GetCheckBoxState(2, 5, state);
  EXPECT_FALSE(state);
  EXPECT_EQ(heard, (std::vector<std::string>{"5,2", "2,3"}));
}

}  // namespace
