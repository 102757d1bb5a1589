// The rich grid's core without a window on screen: defaults, typed cells,
// fixed cells and their "always" forms, bands, clearing and the ownership
// of cell objects, the update count, the parked selection, check boxes,
// headers, the form's resize chain and the window's timer.
#include <gtest/gtest.h>

#include "RichGrid/drag_markers.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/services/timers.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

using richgridtest::Watched;

class Grid : public richgridtest::Grid {
 public:
  using richgridtest::Grid::Grid;
  using TCustomGrid::CanEditShow;
  void Fill(int cols, int rows) {
    SetColCount(cols);
    SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) SetCells(c, r, IntToStr(c) + ":" + IntToStr(r));
  }
  int Paints() {
    vx::RecordingDevice device;
    PaintTo(&device);
    return static_cast<int>(device.Calls.size());
  }
};

class RichGridCore : public richgridtest::RichGridTest {};

TEST_F(RichGridCore, DefaultsOfConstruction) {
  Grid g;
  EXPECT_EQ(g.DefaultRowHeight(), 21);
  EXPECT_EQ(g.GetVersionNr(), 5963777);
  EXPECT_EQ(g.GetVersion(), "1.91 January 2001");
  EXPECT_EQ(g.FloatFormat(), "%.2f");
  EXPECT_EQ(g.HintColor(), clYellow);
  EXPECT_EQ(g.SelectionColor(), clHighlight);
  EXPECT_EQ(g.SelectionTextColor(), clHighlightText);
  EXPECT_EQ(g.URLColor(), clBlue);
  EXPECT_EQ(g.ScrollColor(), clNone);
  EXPECT_EQ(g.VAlignment(), vtaTop);
  EXPECT_EQ(g.IntelliPan(), ipVertical);
  EXPECT_EQ(g.ScrollType(), ssNormal);
  EXPECT_GT(g.ScrollWidth(), 0);
  EXPECT_EQ(g.Delimiter(), 0);
  EXPECT_EQ(g.PasswordChar(), '*');
  EXPECT_EQ(g.CheckTrue(), "Y");
  EXPECT_EQ(g.CheckFalse(), "N");
  for (bool on : {g.SortFull(), g.SortAutoFormat(), g.IntelliZoom(), g.EnableHTML(), g.EnableWheel(), g.ShowSelection(),
                  g.OleAcceptFiles(), g.OleAcceptText(), g.IncludeFixedCells()})
    EXPECT_TRUE(on);
  for (bool off : {g.AutoSize(), g.EnableGraphics(), g.FixedRowAlways(), g.FilterActive(), g.SortShow(),
                   g.ScrollProportional(), g.Flat(), g.Multilinecells()})
    EXPECT_FALSE(off);
  EXPECT_EQ(g.PrintPageFrom(), 1);
  EXPECT_EQ(g.PrintPageTo(), 1);
  EXPECT_EQ(g.Bands()->PrimaryColor(), clInfoBk);
  EXPECT_EQ(g.Bands()->SecondaryColor(), clWindow);
  EXPECT_EQ(g.Bands()->Period(), 2);
  EXPECT_EQ(g.CellNode()->Color, clSilver);
  EXPECT_EQ(g.ColumnSize()->Location, clRegistry);
  EXPECT_TRUE(g.Navigation()->AllowClipboardColGrow);
  EXPECT_TRUE(g.Navigation()->CopyHTMLTagsToClipboard);
  EXPECT_FALSE(g.Navigation()->AllowInsertRow);
  EXPECT_EQ(g.HTMLSettings()->BorderSize, 1);
  EXPECT_EQ(g.HTMLSettings()->Width, 100);
  EXPECT_EQ(g.NumHiddenColumns(), 0);
  EXPECT_EQ(g.RealColIndex(3), 3);
  for (int d = 0; d < 4; ++d) ASSERT_NE(g.ArrowMarker(d), nullptr);
  EXPECT_FALSE(g.ArrowMarker(0)->Visible());
  EXPECT_NE(g.HintWindow(), nullptr);
  EXPECT_NE(g.RichEdit(), nullptr);
}

TEST_F(RichGridCore, TypedCellsAndCellsOutsideTheGrid) {
  Grid g;
  g.Fill(3, 3);
  struct Case {
    const char* text;
    bool ok;
    int value;
  } ints[] = {{"", true, 0},
              {"12", true, 12},
              {"-5", true, -5},
              {" 7", true, 7},
              {"12a", false, 0},
              {"1.5", false, 0},
              {"5-3", false, 0},
              // Hexadecimal forms used to read as numbers ("$1F" as 31).
              {"$1F", false, 0},
              {"0x1F", false, 0},
              {"0X1f", false, 0},
              {"-$10", false, 0},
              {" +0x1", false, 0},
              {"$", false, 0},
              {"0x", false, 0},
              {"0", true, 0},
              {"+08", true, 8}};
  for (const Case& c : ints) {
    g.SetCells(1, 1, c.text);
    if (c.ok) {
      EXPECT_EQ(g.Ints(1, 1), c.value) << c.text;
      continue;
    }
    try {
      g.Ints(1, 1);
      ADD_FAILURE() << c.text << " read as an integer";
    } catch (const ERichGridError& e) { EXPECT_STREQ(e.what(), "Cell does not contain integer value"); }
    EXPECT_EQ(g.Cells(1, 1), c.text);  // a failed conversion changes nothing
  }
  g.SetInts(2, 2, -42);
  EXPECT_EQ(g.Cells(2, 2), "-42");

  TFormatSettings saved = FormatSettings;
  FormatSettings.DecimalSeparator = ',';
  FormatSettings.ThousandSeparator = ' ';
  g.SetCells(0, 1, "1 234,5");
  EXPECT_DOUBLE_EQ(g.Floats(0, 1), 1234.5);
  g.SetCells(0, 1, "x");
  EXPECT_THROW(g.Floats(0, 1), ERichGridError);
  FormatSettings.DateSeparator = '.';
  FormatSettings.ShortDateFormat = "dd.MM.yyyy";
  g.SetCells(0, 2, "05.03.2001");
  EXPECT_DOUBLE_EQ(g.Dates(0, 2), EncodeDate(2001, 3, 5));
  g.SetCells(0, 2, "nope");
  EXPECT_THROW(g.Dates(0, 2), EConvertError);
  FormatSettings = saved;

  // Outside the grid: empty reads, ignored writes, never an error.
  for (auto [c, r] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 3}, {100, 100}}) {
    EXPECT_EQ(g.Cells(c, r), "");
    EXPECT_EQ(g.Ints(c, r), 0);
    g.SetCells(c, r, "x");
    g.SetInts(c, r, 5);
    g.ClearRect(c, r, c, r);
    EXPECT_EQ(g.CellGraphic(c, r), nullptr);
    EXPECT_EQ(g.CreateCellGraphic(c, r, ctCheckBox), nullptr);
  }
  EXPECT_EQ(g.ColCount(), 3);
  EXPECT_EQ(g.RowCount(), 3);
}

TEST_F(RichGridCore, FixedRowAndColumnAlways) {
  Grid g;
  g.SetFixedRowAlways(true);
  g.SetFixedColAlways(true);
  g.SetRowCount(1);
  g.SetColCount(1);
  EXPECT_EQ(g.TStringGrid::FixedRows(), 0);
  EXPECT_EQ(g.FixedRows(), 1);
  EXPECT_EQ(g.FixedCols(), 1);
  bool fixed = false;
  g.IsFixedCell(0, 0, fixed);
  EXPECT_TRUE(fixed);
  g.SetRowCount(1);  // statistics reset: one row, its cells still written harmlessly
  g.SetCells(0, 1, "ignored");
  EXPECT_EQ(g.RowCount(), 1);
  g.SetRowCount(5);
  EXPECT_EQ(g.TStringGrid::FixedRows(), 1);
  g.IsFixedCell(1, 0, fixed);
  EXPECT_FALSE(fixed);  // only a grid of one row shows it as a heading
  g.SetColCount(4);
  EXPECT_EQ(g.TStringGrid::FixedCols(), 1);

  Grid plain;
  plain.SetRowCount(1);
  EXPECT_EQ(plain.FixedRows(), 0);
  plain.IsFixedCell(0, 0, fixed);
  EXPECT_FALSE(fixed);
  plain.OnIsFixedCell = [](TObject*, int r, int c, bool& f) { f = r == 0 && c == 0; };
  plain.IsFixedCell(0, 0, fixed);
  EXPECT_TRUE(fixed);
}

TEST_F(RichGridCore, BandsColourDataRowsOnly) {
  Grid g;
  g.Fill(4, 10);
  g.SetFixedRows(2);
  g.SetFixedFooters(1);
  g.SetFixedRightCols(1);
  g.Bands()->SetActive(true);
  g.Bands()->SetPrimaryLength(2);
  g.Bands()->SetSecondaryLength(1);
  g.Bands()->SetPrimaryColor(clRed);
  g.Bands()->SetSecondaryColor(clBlue);
  const auto colour = [&](int c, int r) {
    TBrush brush;
    brush.SetColor(clWhite);
    TFont font;
    g.GetCellColor(c, r, TGridDrawState{}, &brush, &font);
    return brush.Color();
  };
  const TColor expected[] = {clWhite, clWhite, clRed, clRed, clBlue, clRed, clRed, clBlue, clRed, clWhite};
  for (int r = 0; r < 10; ++r) EXPECT_EQ(colour(1, r), expected[r]) << "row " << r;
  EXPECT_EQ(colour(0, 4), clWhite);  // fixed column
  EXPECT_EQ(colour(3, 4), clWhite);  // fixed right column

  // Printing bands only with Print on; a cell object's colour, then the event.
  TBrush brush;
  TFont font;
  brush.SetColor(clWhite);
  g.GetCellPrintColor(1, 4, TGridDrawState{}, &brush, &font);
  EXPECT_EQ(brush.Color(), clWhite);
  g.Bands()->SetPrint(true);
  g.GetCellPrintColor(1, 4, TGridDrawState{}, &brush, &font);
  EXPECT_EQ(brush.Color(), clBlue);
  g.CreateCellGraphic(1, 4, ctValue)->Color = clLime;
  EXPECT_EQ(colour(1, 4), clLime);
  g.OnGetCellColor = [](TObject*, int r, int c, TGridDrawState, TBrush* b, TFont*) {
    if (r == 4 && c == 1) b->SetColor(clGreen);
  };
  EXPECT_EQ(colour(1, 4), clGreen);
  EXPECT_EQ(colour(4 - 3, 5), clRed);

  // A period below 1 colours every data row with the primary colour.
  g.Bands()->SetPrimaryLength(0);
  g.Bands()->SetSecondaryLength(0);
  EXPECT_EQ(colour(2, 6), clRed);
}

TEST_F(RichGridCore, ClearingFreesOnlyTheGridsOwnCellObjects) {
  Grid g;
  g.Fill(3, 3);
  int deaths = 0;
  auto* mine = new Watched(deaths);
  g.SetObjects(0, 0, mine);
  g.AddCheckBox(1, 1, true, false);
  ASSERT_TRUE(g.EnableGraphics());

  g.ClearRect(0, 2, 2, 1);  // rows the wrong way round: nothing happens
  g.ClearRect(2, 0, 1, 2);
  EXPECT_EQ(g.Cells(1, 1), "1:1");
  ASSERT_NE(g.CellGraphic(1, 1), nullptr);

  g.ClearRows(1, 0);
  g.ClearCols(1, -1);
  EXPECT_EQ(g.Cells(1, 1), "1:1");
  g.ClearRows(1, 1);
  EXPECT_EQ(g.Cells(0, 1), "");
  EXPECT_EQ(g.Cells(0, 2), "0:2");
  EXPECT_EQ(g.Objects(1, 1), nullptr);
  g.ClearCols(2, 1);
  EXPECT_EQ(g.Cells(2, 2), "");
  EXPECT_EQ(g.Cells(1, 2), "1:2");

  // With EnableGraphics off a cell object is left where it is.
  g.AddCheckBox(1, 2, false, false);
  g.SetEnableGraphics(false);
  EXPECT_EQ(g.CellGraphicKind(1, 2), ctNone);
  g.ClearAll();
  EXPECT_NE(g.Objects(1, 2), nullptr);
  g.SetEnableGraphics(true);
  g.ClearAll();
  EXPECT_EQ(g.Objects(1, 2), nullptr);
  EXPECT_EQ(g.Objects(0, 0), mine);
  EXPECT_EQ(g.Cells(0, 0), "");
  EXPECT_EQ(deaths, 0);
  g.SetObjects(0, 0, nullptr);
  delete mine;
}

TEST_F(RichGridCore, NestedUpdatesRepaintOnceAtTheOutermostEnd) {
  Grid g;
  g.Fill(3, 3);
  ASSERT_GT(g.Paints(), 0);
  g.Perform(WM_PAINT);
  const int before = g.InvalidationCount();
  g.BeginUpdate();
  g.BeginUpdate();
  EXPECT_EQ(g.Paints(), 0);
  g.EndUpdate();
  EXPECT_EQ(g.InvalidationCount(), before);
  EXPECT_EQ(g.Paints(), 0);
  g.EndUpdate();
  EXPECT_EQ(g.InvalidationCount(), before + 1);
  EXPECT_GT(g.Paints(), 0);
  g.EndUpdate();  // one too many: the count stays at 0
  EXPECT_EQ(g.UpdateCount(), 0);
}

TEST_F(RichGridCore, HiddenSelectionIsNeitherPaintedNorEdited) {
  Grid g;
  g.Fill(4, 4);
  g.SetOptions(g.Options() + TGridOptions{goEditing});
  g.SetRow(2);
  g.SetCol(2);
  g.HideSelection();
  EXPECT_EQ(g.Col(), 4);
  EXPECT_EQ(g.Row(), 4);
  g.ShowEditor();
  EXPECT_FALSE(g.EditorMode() && g.InplaceEditor() && g.InplaceEditor()->Showing());
  vx::RecordingDevice device;
  g.PaintTo(&device);
  for (const std::string& call : device.Calls) EXPECT_EQ(call.find("FocusRect"), std::string::npos) << call;
  EXPECT_EQ(g.Cells(g.Col(), g.Row()), "");
  g.UnHideSelection();
  EXPECT_EQ(g.Col(), 2);
  EXPECT_EQ(g.Row(), 2);
}

TEST_F(RichGridCore, CheckBoxesRadiosButtonsAndComments) {
  Grid g;
  g.Fill(4, 4);
  g.AddCheckBox(1, 1, false, false);
  g.AddCheckBox(2, 1, false, true);
  g.SetCells(2, 1, "N");
  bool state = true;
  EXPECT_TRUE(g.GetCheckBoxState(1, 1, state));
  EXPECT_FALSE(state);
  EXPECT_FALSE(g.GetCheckBoxState(3, 1, state));
  EXPECT_TRUE(g.ToggleCheckBox(1, 1, false));
  EXPECT_TRUE(g.GetCheckBoxState(1, 1, state) && state);
  EXPECT_TRUE(g.ToggleCheckBox(2, 1, false));
  EXPECT_EQ(g.Cells(2, 1), "Y");
  EXPECT_TRUE(g.ToggleCheckBox(2, 1, false));
  EXPECT_EQ(g.Cells(2, 1), "N");
  g.SetCells(2, 1, "maybe");
  EXPECT_TRUE(g.ToggleCheckBox(2, 1, false));
  EXPECT_EQ(g.Cells(2, 1), "Y");
  // Asking first: the edit query may refuse.
  g.OnCanEditCell = [](TObject*, int r, int c, bool& can) { can = !(r == 1 && c == 1); };
  EXPECT_FALSE(g.ToggleCheckBox(1, 1, true));
  EXPECT_TRUE(g.ToggleCheckBox(2, 1, true));
  EXPECT_FALSE(g.ToggleCheckBox(0, 0, false));

  TStringList items;
  items.SetText("one\r\ntwo\r\n");
  g.AddRadio(1, 2, true, items, 1);
  int index = -1;
  EXPECT_TRUE(g.GetRadioIdx(1, 2, index));
  EXPECT_EQ(index, 1);
  g.AddButton(2, 2, 40, 18, 3, 2);
  EXPECT_EQ(g.GetButtonRect(2, 2), Rect(3, 2, 43, 20));
  g.AddComment(3, 2, "a\r\nb");
  AnsiString comment;
  EXPECT_TRUE(g.GetComment(3, 2, comment));
  EXPECT_EQ(comment, "a\r\nb");
  struct Kinds {
    int c, r;
    bool radio, button, check, control;
  } kinds[] = {{1, 1, false, false, true, true},
               {1, 2, true, false, false, true},
               {2, 2, false, true, false, false},
               {0, 0, false, false, false, false}};
  for (const Kinds& k : kinds) {
    EXPECT_EQ(g.IsRadio(k.c, k.r), k.radio);
    EXPECT_EQ(g.IsButton(k.c, k.r), k.button);
    EXPECT_EQ(g.IsCheckBox(k.c, k.r), k.check);
    EXPECT_EQ(g.IsEditorControlCell(k.c, k.r), k.control);
  }
  int w = 0, h = 0;
  g.CellGraphicSize(1, 1, w, h);
  EXPECT_EQ(w, 15);
  EXPECT_EQ(h, 15);
  g.CellGraphicSize(2, 2, w, h);
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 18);
  g.CellGraphicSize(0, 0, w, h);
  EXPECT_EQ(w + h, 0);
  g.AddImageIdx(0, 3, 7);
  EXPECT_EQ(g.ImageValue(0, 3), -1);
  g.SetEnableGraphics(false);  // every cell reads as having none
  EXPECT_FALSE(g.IsCheckBox(1, 1));
  EXPECT_FALSE(g.GetCheckBoxState(1, 1, state));
  g.SetEnableGraphics(true);
}

TEST_F(RichGridCore, HeadersAlignmentAndVerticalFlags) {
  Grid g;
  g.Fill(3, 3);
  TStringList headers;
  headers.SetText("Year\r\nDraw\\nno\r\nSum\r\nExtra\r\n");
  g.SetColumnHeaders(&headers);
  EXPECT_EQ(g.Cells(0, 0), "Year");
  EXPECT_EQ(g.Cells(1, 0), "Draw\rno");
  EXPECT_EQ(g.Cells(2, 0), "Sum");
  g.ColumnHeaders()->SetStrings(0, "Год"_cp);
  EXPECT_EQ(g.Cells(0, 0), "Год"_cp);
  g.RowHeaders()->SetText("h0\r\nh1\r\n");
  EXPECT_EQ(g.Cells(0, 1), "h1");

  g.SetCells(1, 1, "123");
  g.SetCells(2, 1, "abc");
  EXPECT_EQ(g.GetCellAlignment(1, 1), taLeftJustify);
  g.SetAutoNumAlign(true);
  EXPECT_EQ(g.GetCellAlignment(1, 1), taRightJustify);
  EXPECT_EQ(g.GetCellAlignment(2, 1), taLeftJustify);
  std::vector<std::pair<int, int>> asked;
  g.OnGetAlignment = [&](TObject*, int r, int c, TAlignment& a) {
    asked.push_back({r, c});
    a = taCenter;
  };
  EXPECT_EQ(g.GetCellAlignment(2, 1), taCenter);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], (std::pair{1, 2}));  // row first

  for (auto [v, flags] : {std::pair{vtaCenter, DT_VCENTER}, {vtaBottom, DT_BOTTOM}, {vtaTop, DT_TOP}}) {
    g.SetVAlignment(v);
    EXPECT_EQ(g.VAlignFlags(), flags);
  }
}

TEST_F(RichGridCore, FormResizeChainAndTheWindowsTimer) {
  vx::ManualTimers timers;
  auto* form = new TForm(nullptr);
  form->SetBounds(0, 0, 400, 300);
  int earlier = 0;
  form->OnResize = [&](TObject*) { ++earlier; };
  auto* g = new Grid(form);
  g->SetBounds(0, 0, 200, 100);
  g->SetSizeWithForm(true);
  form->SetBounds(0, 0, 450, 320);
  EXPECT_EQ(earlier, 1);
  EXPECT_EQ(g->Width(), 250);
  EXPECT_EQ(g->Height(), 120);
  form->SetBounds(0, 0, 100, 100);  // would make the grid's width negative
  EXPECT_EQ(earlier, 2);
  EXPECT_EQ(g->Width(), 250);

  // The window's timer runs only while something needs it (here the mouse
  // hovering over a grid with Hovering on), never before the window exists
  // and never after it: an idle grid does not wake the program (it used to
  // tick every 500 ms for as long as its window existed, hidden or not).
  const void* window = g->Handle();
  g->SetHovering(true);
  EXPECT_FALSE(timers.Running(window, 111));
  g->HandleNeeded();
  EXPECT_FALSE(timers.Running(window, 111));
  g->MouseMove(TShiftState{}, 100, 50);
  EXPECT_TRUE(timers.Running(window, 111));
  EXPECT_EQ(timers.Interval(window, 111), 500u);
  g->DestroyWnd();
  EXPECT_FALSE(timers.Running(window, 111));
  g->HandleNeeded();
  g->MouseMove(TShiftState{}, 100, 50);
  EXPECT_TRUE(timers.Running(window, 111));
  g->SetHovering(false);
  EXPECT_FALSE(timers.Running(window, 111));
  g->SetHovering(true);
  g->MouseMove(TShiftState{}, 100, 50);
  delete g;
  EXPECT_FALSE(timers.Running(window, 111));
  form->SetBounds(0, 0, 300, 300);  // the form's own handler is back
  EXPECT_EQ(earlier, 3);
  delete form;
}

}  // namespace
