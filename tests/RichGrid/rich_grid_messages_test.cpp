// The rich grid's window: the hover and blink timer runs only while it is
// needed (an idle program must not wake), blinking texts in view repaint
// in the fixed rows and columns too, pan mode scrolls by its timer and ends
// with any press or with the window, hints of cells and of the scroll
// bars, the focus coming in, and the grid's own cursors.
#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "RichGrid/grid_cursors.h"
#include "platform/gui/draw/bitmap.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/hintwindow.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/gui/services/timers.h"
#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

using namespace richgridtest;

class WindowGrid : public Grid {
 public:
  explicit WindowGrid(TComponent* owner = nullptr) : Grid(owner) {}
  using TRichStringGrid::DoEnter;
  using TRichStringGrid::ShowOwnHint;
  using TRichStringGrid::MouseLeave;
};

using RichGridWindow = RichGridTest;

constexpr UINT_PTR kHover = 111, kPan = 999;

TEST_F(RichGridWindow, AnIdleGridRunsNoTimerAndHoveringRunsItWhileTheMouseIsOver) {
  vx::ManualTimers timers;
  WindowGrid g;
  g.SetRowCount(10);
  g.HandleNeeded();
  vx::RecordingDevice paper;
  g.PaintTo(&paper);
  EXPECT_EQ(timers.Count(), 0);
  // Hovering: the tick makes the cell under the mouse current.
  g.SetHovering(true);
  g.MouseMove(TShiftState{}, 65 * 2 + 10, 22 * 3 + 10);
  EXPECT_TRUE(timers.Running(g.Handle(), kHover));
  timers.Advance(500);
  EXPECT_EQ(g.Col(), 2);
  EXPECT_EQ(g.Row(), 3);
  EXPECT_TRUE(g.IsActiveControl());
  // The mouse gone, the next tick finds nothing to do and the timer rests.
  g.MouseLeave();
  timers.Advance(500);
  EXPECT_FALSE(timers.Running(g.Handle(), kHover));
  EXPECT_FALSE(g.HoverTimerRunning());
}

TEST_F(RichGridWindow, BlinkingTextInViewRunsTheTimerUntilItIsGone) {
  vx::ManualTimers timers;
  WindowGrid g;
  g.SetRowCount(60);
  g.HandleNeeded();
  g.SetCells(2, 40, "<BLINK>far</BLINK>");
  vx::RecordingDevice paper;
  g.PaintTo(&paper);
  EXPECT_FALSE(g.HoverTimerRunning());  // not in view
  g.SetTopRow(35);
  g.PaintTo(&paper);
  ASSERT_TRUE(g.HoverTimerRunning());
  timers.Advance(500);
  EXPECT_FALSE(g.BlinkOn());
  timers.Advance(500);
  EXPECT_TRUE(g.BlinkOn());
  timers.Advance(500);
  EXPECT_FALSE(g.BlinkOn());
  // Scrolled away: the text shows again when it comes back, the timer rests.
  g.SetTopRow(1);
  timers.Advance(500);
  EXPECT_TRUE(g.BlinkOn());
  EXPECT_FALSE(timers.Running(g.Handle(), kHover));
  // The window's end stops it too.
  g.SetTopRow(35);
  g.PaintTo(&paper);
  ASSERT_TRUE(g.HoverTimerRunning());
  g.DestroyWnd();
  EXPECT_EQ(timers.Count(), 0);
}

// On screen: a tick of the blink timer repaints the blinking cells of the
// fixed columns in place, like those of the fixed rows and of the data.
TEST_F(RichGridWindow, BlinkingCellsOfTheFixedColumnsRepaintInPlace) {
  vx::ManualTimers timers;
  Application->SetPumpInterval(0);
  auto* form = new TForm(nullptr);
  form->SetBounds(0, 0, 420, 340);
  auto* g = new WindowGrid(form);
  g->SetParent(form);
  g->SetRowCount(8);
  for (const char* where : {"fixed column", "fixed row", "data"}) {
    SCOPED_TRACE(where);
    const std::string w = where;
    const int col = w == "fixed row" || w == "data" ? 2 : 0, row = w == "fixed row" ? 0 : 3;
    g->ClearAll();
    g->SetCells(col, row, "<B><BLINK>blinking</BLINK></B>");
    form->Show();
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
    ASSERT_TRUE(g->HoverTimerRunning());
    EXPECT_TRUE(vx::ShowsWhatItPaints(g)) << "before";
    for (int tick = 0; tick < 2; ++tick) {
      timers.Advance(500);
      EXPECT_EQ(g->BlinkOn(), tick == 1);
      EXPECT_TRUE(vx::ShowsWhatItPaints(g)) << "tick " << tick;
    }
  }
  delete form;
  EXPECT_EQ(timers.Count(), 0);
}

TEST_F(RichGridWindow, PanModeScrollsByItsTimerAndEndsWithAnyPress) {
  vx::ManualTimers timers;
  WindowGrid g;
  g.SetRowCount(200);
  g.SetColCount(30);
  g.HandleNeeded();
  g.MouseDown(mbMiddle, TShiftState{}, 150, 100);
  ASSERT_TRUE(g.PanMode());
  EXPECT_TRUE(timers.Running(g.Handle(), kPan));
  EXPECT_EQ(timers.Interval(g.Handle(), kPan), 10u);
  EXPECT_EQ(g.Cursor(), crPanOrigin);
  // 48 pixels below the origin: 40 past the still zone, a row a tenth of a second.
  g.MouseMove(TShiftState{}, 150 + 60, 148);
  timers.Advance(100);
  EXPECT_EQ(g.TopRow(), 2);
  EXPECT_EQ(g.LeftCol(), 1);  // vertical panning only
  EXPECT_EQ(g.Cursor(), crPanOrigin + 5);
  timers.Advance(1000);
  EXPECT_EQ(g.TopRow(), 12);
  g.MouseMove(TShiftState{}, 150, 52);
  timers.Advance(100);
  EXPECT_EQ(g.TopRow(), 11);
  EXPECT_EQ(g.Cursor(), crPanOrigin + 1);
  // A left press ends it and selects nothing.
  const TGridCoord current{g.Col(), g.Row()};
  g.MouseDown(mbLeft, TShiftState{}, 200, 200);
  g.MouseUp(mbLeft, TShiftState{}, 200, 200);
  EXPECT_FALSE(g.PanMode());
  EXPECT_FALSE(timers.Running(g.Handle(), kPan));
  EXPECT_EQ(g.Cursor(), crDefault);
  EXPECT_EQ((TGridCoord{g.Col(), g.Row()}), current);
  // Both ways.
  g.SetIntelliPan(ipBoth);
  g.MouseDown(mbMiddle, TShiftState{}, 150, 100);
  g.MouseMove(TShiftState{}, 150 + 48, 100 + 48);
  timers.Advance(100);
  EXPECT_EQ(g.LeftCol(), 2);
  EXPECT_EQ(g.TopRow(), 12);
  EXPECT_EQ(g.Cursor(), crPanOrigin + 4);
  g.MouseDown(mbMiddle, TShiftState{}, 150, 100);
  EXPECT_FALSE(g.PanMode());
  // No panning at all.
  g.SetIntelliPan(ipNone);
  g.MouseDown(mbMiddle, TShiftState{}, 150, 100);
  EXPECT_FALSE(g.PanMode());
}

TEST_F(RichGridWindow, TheWindowsEndStopsEveryTimerAlsoInPanMode) {
  vx::ManualTimers timers;
  {
    WindowGrid g;
    g.HandleNeeded();
    g.SetHovering(true);
    g.MouseMove(TShiftState{}, 100, 50);
    g.MouseDown(mbMiddle, TShiftState{}, 100, 50);
    EXPECT_EQ(timers.Count(), 2);
    g.DestroyWnd();
    EXPECT_EQ(timers.Count(), 0);
    EXPECT_FALSE(g.PanMode());
    g.HandleNeeded();
    g.MouseDown(mbMiddle, TShiftState{}, 100, 50);
    EXPECT_EQ(timers.Count(), 1);
  }
  EXPECT_EQ(timers.Count(), 0);
  timers.Advance(1000);  // nothing left to fire into a grid that is gone
}

TEST_F(RichGridWindow, ScrollHintsShowTheRowOrColumnAtTheThumb) {
  WindowGrid g;
  g.SetRowCount(128);
  g.SetColCount(40);
  g.SetScrollHints(shVertical);
  g.Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 127));
  ASSERT_TRUE(g.HintWindow()->Active());
  EXPECT_EQ(g.HintWindow()->Caption(), "Row : " + IntToStr(g.ThumbCell(SB_VERT, 127)));
  g.Perform(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0));
  EXPECT_FALSE(g.HintWindow()->Active());
  // The horizontal bar is not covered.
  g.Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 64));
  EXPECT_FALSE(g.HintWindow()->Active());
  g.SetScrollHints(shBoth);
  g.OnScrollHint = [](TObject*, int column, AnsiString& text) { text = "Колонка "_cp + IntToStr(column); };
  g.Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0));
  EXPECT_EQ(g.HintWindow()->Caption(), "Колонка 1"_cp);
  g.Perform(WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0));
  EXPECT_FALSE(g.HintWindow()->Active());
}

TEST_F(RichGridWindow, CellHintsByCommentTextWidthAndTheHintEvent) {
  struct Case {
    const char* what;
    std::function<void(WindowGrid&)> set;
    int col, row;
    AnsiString hint;
  } cases[] = {
      {"comment", [](WindowGrid& g) { g.AddComment(2, 2, "note"); }, 2, 2, "note"},
      {"cell text", [](WindowGrid& g) { g.SetHintShowCells(true); }, 2, 2, "short"},
      {"fixed cell has no text hint", [](WindowGrid& g) { g.SetHintShowCells(true); }, 0, 2, ""},
      {"wide text", [](WindowGrid& g) { g.SetHintShowLargeText(true); }, 3, 2, "a text much wider than its column"},
      {"narrow text", [](WindowGrid& g) { g.SetHintShowLargeText(true); }, 2, 2, ""},
      {"event",
       [](WindowGrid& g) {
         g.OnGridHint = [](TObject*, int row, int col, AnsiString& hint) {
           hint = IntToStr(row) + "/" + IntToStr(col);
         };
       },
       1, 3, "3/1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WindowGrid g;
    g.SetCells(2, 2, "short");
    g.SetCells(3, 2, "<B>a text much wider than its column</B>");
    c.set(g);
    const TRect r = g.CellRect(c.col, c.row);
    EXPECT_TRUE(g.ShowOwnHint(Point(r.Left + 3, r.Top + 3), Point(0, 0)));
    EXPECT_EQ(g.CellHintShown(), !c.hint.empty());
    if (!c.hint.empty()) {
      EXPECT_EQ(g.HintWindow()->Caption(), c.hint);
      EXPECT_EQ(g.HintWindow()->Color(), clYellow);
    }
    // Leaving the cell takes the hint away.
    g.MouseMove(TShiftState{}, r.Right + 30, r.Bottom + 30);
    EXPECT_FALSE(g.CellHintShown());
    EXPECT_FALSE(g.HintWindow()->Active());
  }
}

TEST_F(RichGridWindow, TheFocusComingIn) {
  // A grid of nothing but its "always" fixed row shows no selection.
  WindowGrid g;
  g.SetFixedRowAlways(true);
  g.SetRowCount(1);
  g.Perform(WM_SETFOCUS);
  EXPECT_EQ(g.Col(), g.ColCount());
  EXPECT_EQ(g.Row(), g.RowCount());
  // AlwaysEdit opens the editor, but not on a check box.
  WindowGrid e;
  e.SetOptions(e.Options() + goEditing);
  e.Navigation()->AlwaysEdit = true;
  e.Perform(WM_SETFOCUS);
  ASSERT_NE(e.InplaceEditor(), nullptr);
  EXPECT_TRUE(e.InplaceEditor()->Showing());
  e.Perform(WM_KILLFOCUS);
  e.AddCheckBox(1, 1, false, false);
  e.Perform(WM_SETFOCUS);
  EXPECT_FALSE(e.InplaceEditor()->Showing());
  // Entering the grid asks for the current cell again.
  int asked = 0;
  e.OnSelectCell = [&](TObject*, int, int, bool&) { ++asked; };
  e.DoEnter();
  EXPECT_EQ(asked, 1);
}

TEST_F(RichGridWindow, TheGridsCursorsAreDrawnAndKnownToTheScreen) {
  const char* dir = std::getenv("VX_TEST_TMP");
  const std::filesystem::path folder = std::filesystem::path(dir ? dir : ".") / "richgrid" / "cursors";
  std::filesystem::create_directories(folder);
  for (TCursor id : {8000, 8001, 8002, 8003, 8004, 8005, 8006, 8007, 8008, 8010, 8011, 8012}) {
    TBitmap picture;
    DrawGridCursor(id, picture);
    ASSERT_EQ(picture.Width(), 32);
    const TColor seeThrough = picture.Canvas()->Pixels(0, 0);
    // Black at the hot spot or right beside it, see-through in the corners.
    const TPoint hot = GridCursorHotSpot(id);
    bool ink = false;
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) ink = ink || picture.Canvas()->Pixels(hot.X + dx, hot.Y + dy) == clBlack;
    EXPECT_TRUE(ink) << id;
    EXPECT_EQ(picture.Canvas()->Pixels(31, 0), seeThrough) << id;
    EXPECT_EQ(picture.Canvas()->Pixels(0, 31), seeThrough) << id;
    picture.SaveToFile((folder / ("cursor" + std::to_string(id) + ".png")).string());
  }
  RegisterGridCursors();
  for (TCursor id : {8000, 8008, 8010, 8011, 8012}) EXPECT_TRUE(Screen->HasCursor(id)) << id;
  // The pan cursor by direction, with the axes pan mode allows.
  struct Case {
    int dx, dy;
    TIntelliPan pan;
    TCursor cursor;
  } cases[] = {{0, 0, ipBoth, 8000},        {5, -5, ipBoth, 8000},       {0, -40, ipBoth, 8001},
               {40, -40, ipBoth, 8002},     {40, 0, ipBoth, 8003},       {40, 40, ipBoth, 8004},
               {0, 40, ipBoth, 8005},       {-40, 40, ipBoth, 8006},     {-40, 0, ipBoth, 8007},
               {-40, -40, ipBoth, 8008},    {40, -40, ipVertical, 8001}, {40, 0, ipVertical, 8000},
               {40, 40, ipHorizontal, 8003}};
  for (const Case& c : cases)
    EXPECT_EQ(PanCursor(c.dx, c.dy, c.pan, 8), c.cursor) << c.dx << "," << c.dy << " " << c.pan;
}

}  // namespace
