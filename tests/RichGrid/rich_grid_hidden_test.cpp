// Rows of the rich grid held hidden: the selection of disjoint rows, hiding
// and unhiding with the real/shown index mapping, nodes, the row filter,
// the scroll-bar settings and the column widths kept in an INI file (also
// as Python's configparser reads and writes it).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/rich_grid_test_support.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"

namespace {

using richgridtest::Texts;

class Grid : public richgridtest::Grid {
 public:
  // A heading and rows "r1" .. "r<n>" with "<n * 10>" in column 1.
  void Fill(int dataRows) {
    SetColCount(3);
    SetRowCount(dataRows + 1);
    SetCells(0, 0, "head");
    for (int r = 1; r <= dataRows; ++r) {
      SetCells(0, r, "r" + IntToStr(r));
      SetCells(1, r, IntToStr(r * 10));
    }
  }
  // Every row's first text with the row's object and selection flag.
  struct RowState {
    AnsiString text;
    TObject* object;
    bool selected;
    bool operator==(const RowState&) const = default;
  };
  std::vector<RowState> State() {
    std::vector<RowState> v;
    for (int r = 0; r < RowCount(); ++r) v.push_back({Cells(0, r), Objects(2, r), RowSelect(r)});
    return v;
  }
};

class RichGridHidden : public richgridtest::RichGridTest {};

TEST_F(RichGridHidden, RowSelectionFlagsAndTheirErrors) {
  Grid g;
  g.Fill(5);
  for (int bad : {-1, 6, 100}) {
    try {
      g.SetRowSelect(bad, true);
      ADD_FAILURE() << bad;
    } catch (const ERichGridError& e) { EXPECT_STREQ(e.what(), "Invalid row accessed"); }
    EXPECT_THROW(g.RowSelect(bad), ERichGridError);
  }
  EXPECT_FALSE(g.RowSelect(5));  // grows on demand
  g.SetRowSelect(5, true);
  g.SetRowSelect(2, true);
  EXPECT_EQ(g.RowSelectCount(), 2);
  g.ClearRowSelect();
  EXPECT_EQ(g.RowSelectCount(), 0);
  g.SetSelection(TGridRect{1, 2, 2, 4});
  g.SelectRowsInSelection();
  EXPECT_EQ(g.RowSelectCount(), 3);
  EXPECT_TRUE(g.RowSelect(4));
  g.RemoveSelectedRows();
  EXPECT_EQ(g.Column(0), (Texts{"head", "r1", "r5"}));
  g.SetRowSelect(2, true);
  g.SetRowCount(2);  // a row cut off loses its flag
  g.SetRowCount(3);
  EXPECT_FALSE(g.RowSelect(2));
}

TEST_F(RichGridHidden, HideAndUnhideKeepOrderTextsObjectsAndSelection) {
  Grid g;
  g.Fill(8);
  std::vector<TObject> markers(9);
  for (int r = 0; r <= 8; ++r) g.SetObjects(2, r, &markers[static_cast<std::size_t>(r)]);
  g.SetRowSelect(4, true);
  g.SetRowSelect(7, true);
  const auto before = g.State();

  g.HideRows(3, 5);
  EXPECT_EQ(g.Column(0), (Texts{"head", "r1", "r2", "r6", "r7", "r8"}));
  EXPECT_EQ(g.NumHiddenRows(), 3);
  EXPECT_TRUE(g.RowSelect(4));  // r7 kept its flag
  for (int real : {3, 4, 5}) EXPECT_TRUE(g.IsHiddenRow(real));
  EXPECT_FALSE(g.IsHiddenRow(6));
  g.HideRow(7);
  // The shown/real mapping goes both ways.
  for (int d = 0; d < g.RowCount(); ++d) EXPECT_EQ(g.DisplayRowIndex(g.RealRowIndex(d)), d);
  EXPECT_EQ(g.RealRowIndex(3), 6);
  EXPECT_EQ(g.RealRowIndex(4), 8);
  EXPECT_EQ(g.RealRowIndex(-2), -1);
  EXPECT_EQ(g.DisplayRowIndex(8), 4);

  g.UnHideRows(6, 7);  // row 6 is shown: nothing happens
  EXPECT_EQ(g.NumHiddenRows(), 4);
  g.UnHideRows(3, 7);  // rows 3..5 and 7, each at its own place
  EXPECT_EQ(g.NumHiddenRows(), 0);
  EXPECT_EQ(g.State(), before);

  g.HideRows(1, 2);
  g.HideRows(6, 8);
  g.UnHideRowsAll();
  EXPECT_EQ(g.State(), before);
  EXPECT_EQ(g.RowHeights(3), 21);
}

TEST_F(RichGridHidden, FilterRoundTripsRestoreTheGrid) {
  struct Case {
    const char* name;
    const char* condition;
    Texts shown;
  } cases[] = {
      {"none pass", ">1000", {"head", ""}},
      {"all pass", ">0", {"head", "r1", "r2", "r3", "r4", "r5", "r6"}},
      {"alternate", "r1;r3;r5", {"head", "r1", "r3", "r5"}},
      {"some", ">=20 & <50", {"head", "r2", "r3", "r4"}},
  };
  for (const Case& c : cases) {
    Grid g;
    g.Fill(6);
    g.SetEnableGraphics(true);
    std::vector<TObject> markers(7);
    for (int r = 1; r <= 6; ++r) g.SetObjects(2, r, &markers[static_cast<std::size_t>(r)]);
    for (int r : {2, 5}) g.SetRowSelect(r, true);
    const auto before = g.State();
    g.Filter()->Clear();
    TFilterData* f = g.Filter()->Add();
    f->Column = std::strchr(c.condition, 'r') ? 0 : 1;
    f->Condition = c.condition;
    g.SetFilterActive(true);
    EXPECT_EQ(g.Column(0), c.shown) << c.name;
    EXPECT_EQ(g.FixedRows(), 1) << c.name;
    g.SetFilterActive(true);  // the same value again changes nothing
    g.SetFilterActive(false);
    EXPECT_EQ(g.State(), before) << c.name;
    EXPECT_EQ(g.FixedRows(), 1) << c.name;
    EXPECT_EQ(g.NumHiddenRows(), 0) << c.name;
    for (int r = 1; r <= 6; ++r) g.SetObjects(2, r, nullptr);
  }

  // Every other row of a larger grid, on and off.
  Grid g;
  g.Fill(1000);
  g.Filter()->Add()->Column = 0;
  g.Filter()->Items(0)->Condition = "*0;*2;*4;*6;*8";
  const auto before = g.Column(0);
  g.SetFilterActive(true);
  EXPECT_EQ(g.RowCount(), 501);
  EXPECT_EQ(g.Cells(0, 1), "r2");
  EXPECT_EQ(g.RealRowIndex(1), 2);
  g.SetFilterActive(false);
  EXPECT_EQ(g.Column(0), before);
}

// A filter that no row passes used to leave its empty row behind on a grid
// without fixed rows (3 rows came back as 4) and to put it below the
// footer rows.
TEST_F(RichGridHidden, FilterThatNothingPassesGivesTheGridBackExactly) {
  struct Case {
    const char* name;
    int fixed, footers;
    Texts rows, shown;
  } cases[] = {
      {"no fixed rows", 0, 0, {"a", "b", "c"}, {""}},
      {"one data row", 0, 0, {"a"}, {""}},
      {"heading", 1, 0, {"head", "a", "b", "c"}, {"head", ""}},
      {"heading and footer", 1, 1, {"head", "a", "b", "c", "sum"}, {"head", "", "sum"}},
      {"footers only", 0, 2, {"a", "b", "c", "sum", "avg"}, {"", "sum", "avg"}},
      {"two headings", 2, 1, {"h1", "h2", "a", "b", "sum"}, {"h1", "h2", "", "sum"}},
  };
  for (const Case& c : cases) {
    Grid g;
    g.SetColCount(2);
    g.SetRowCount(static_cast<int>(c.rows.size()));
    g.SetFixedRows(c.fixed);
    g.SetFixedFooters(c.footers);
    for (int r = 0; r < g.RowCount(); ++r) {
      g.SetCells(0, r, c.rows[static_cast<std::size_t>(r)]);
      g.SetCells(1, r, "x");
    }
    g.Filter()->Add()->Column = 1;
    g.Filter()->Items(0)->Condition = "y";
    g.SetFilterActive(true);
    EXPECT_EQ(g.Column(0), c.shown) << c.name;
    EXPECT_EQ(g.FixedRows(), c.fixed) << c.name;
    g.SetFilterActive(false);
    EXPECT_EQ(g.Column(0), c.rows) << c.name;
    EXPECT_EQ(g.Column(1), Texts(c.rows.size(), "x")) << c.name;
    EXPECT_EQ(g.FixedRows(), c.fixed) << c.name;
    EXPECT_EQ(g.NumHiddenRows(), 0) << c.name;
  }
}

// Rows inserted or removed while others were hidden used to come back in
// the wrong order (an inserted row went below a hidden row that was after
// it; rows removed while filtered scrambled the rest), and column changes
// left the hidden rows' texts and objects in their old columns.
TEST_F(RichGridHidden, StructureChangesWhileRowsAreHiddenReachTheHiddenRows) {
  struct Case {
    const char* name;
    std::function<void(Grid&)> hide, change;
    Texts col0, col1, col2;
  } cases[] = {
      {"insert above a hidden row",
       [](Grid& g) { g.HideRow(2); },
       [](Grid& g) {
         g.InsertRows(1, 1);
         g.SetCells(0, 1, "X");
       },
       {"head", "X", "r1", "r2", "r3", "r4"},
       {"", "", "10", "20", "30", "40"},
       {}},
      {"insert below a hidden row",
       [](Grid& g) { g.HideRow(1); },
       [](Grid& g) {
         g.InsertRows(2, 2);
         g.SetCells(0, 2, "X");
       },
       {"head", "r1", "r2", "X", "", "r3", "r4"},
       {"", "10", "20", "", "", "30", "40"},
       {}},
      {"remove while filtered",
       [](Grid& g) {
         g.HideRow(2);
         g.HideRow(4);
       },
       [](Grid& g) { g.RemoveRows(1, 1); },
       {"head", "r2", "r3", "r4"},
       {"", "20", "30", "40"},
       {}},
      {"remove two by RemoveRowsEx",
       [](Grid& g) {
         g.HideRow(1);
         g.HideRow(3);
       },
       [](Grid& g) { g.RemoveRowsEx(1, 2); },
       {"head", "r1", "r3"},
       {"", "10", "30"},
       {}},
      {"remove selected rows",
       [](Grid& g) { g.HideRow(2); },
       [](Grid& g) {
         g.SetRowSelect(1, true);
         g.SetRowSelect(2, true);
         g.RemoveSelectedRows();
       },
       {"head", "r2", "r4"},
       {"", "20", "40"},
       {}},
      {"insert a column",
       [](Grid& g) { g.HideRows(2, 3); },
       [](Grid& g) { g.InsertCols(0, 1); },
       {"", "", "", "", ""},
       {"head", "r1", "r2", "r3", "r4"},
       {"", "10", "20", "30", "40"}},
      {"remove a column",
       [](Grid& g) { g.HideRows(2, 3); },
       [](Grid& g) { g.RemoveCols(0, 1); },
       {"", "10", "20", "30", "40"},
       {"", "", "", "", ""},
       {}},
      {"move a column",
       [](Grid& g) { g.HideRows(1, 4); },
       [](Grid& g) { g.MoveColumn(0, 2); },
       {"", "10", "20", "30", "40"},
       {"", "", "", "", ""},
       {"head", "r1", "r2", "r3", "r4"}},
      {"fewer columns and back",
       [](Grid& g) { g.HideRows(1, 2); },
       [](Grid& g) {
         g.SetColCount(1);
         g.SetColCount(3);
       },
       {"head", "r1", "r2", "r3", "r4"},
       {"", "", "", "", ""},
       {"", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    Grid g;
    g.Fill(4);
    c.hide(g);
    c.change(g);
    g.UnHideRowsAll();
    EXPECT_EQ(g.Column(0), c.col0) << c.name;
    EXPECT_EQ(g.Column(1), c.col1) << c.name;
    if (!c.col2.empty()) EXPECT_EQ(g.Column(2), c.col2) << c.name;
  }

  // Objects of hidden rows go with their columns; a picture of a removed
  // column is freed with it.
  Grid g;
  g.Fill(3);
  g.SetEnableGraphics(true);
  int deaths = 0;
  std::vector<TObject> markers(4);
  for (int r = 0; r <= 3; ++r) g.SetObjects(1, r, &markers[static_cast<std::size_t>(r)]);
  g.AddComment(2, 2, "note");
  auto* kept = new richgridtest::Watched(deaths);
  g.SetObjects(0, 2, kept);
  g.HideRows(1, 3);
  g.InsertCols(1, 1);
  g.RemoveCols(3, 1);  // the comment's column
  g.MoveColumn(0, 1);
  g.UnHideRowsAll();
  for (int r = 0; r <= 3; ++r) EXPECT_EQ(g.Objects(2, r), &markers[static_cast<std::size_t>(r)]) << r;
  EXPECT_EQ(g.Objects(1, 2), kept);
  EXPECT_EQ(g.ColCount(), 3);
  EXPECT_EQ(g.Column(1), (Texts{"head", "r1", "r2", "r3"}));
  EXPECT_EQ(g.Column(2), (Texts{"", "10", "20", "30"}));
  EXPECT_EQ(deaths, 0);
  g.SetObjects(1, 2, nullptr);
  delete kept;
  for (int r = 0; r <= 3; ++r) g.SetObjects(2, r, nullptr);
}

TEST_F(RichGridHidden, NodesExpandAndContractTheirRows) {
  Grid g;
  g.Fill(7);
  g.AddNode(1, 0);  // up to the next node
  g.AddNode(4, 2);  // two rows
  g.ContractNode(1);
  EXPECT_EQ(g.Column(0), (Texts{"head", "r1", "r4", "r5", "r6", "r7"}));
  EXPECT_FALSE(g.CellGraphic(0, 1)->State);
  g.ContractNode(2);
  EXPECT_EQ(g.Column(0), (Texts{"head", "r1", "r4", "r7"}));
  g.ExpandNode(1);
  EXPECT_EQ(g.Column(0), (Texts{"head", "r1", "r2", "r3", "r4", "r7"}));
  EXPECT_TRUE(g.CellGraphic(0, 1)->State);
  g.ExpandNode(4);
  EXPECT_EQ(g.Column(0), (Texts{"head", "r1", "r2", "r3", "r4", "r5", "r6", "r7"}));
  g.ExpandNode(3);  // not a node
  EXPECT_EQ(g.RowCount(), 8);
}

TEST_F(RichGridHidden, ScrollSettingsWaitForProportionalBars) {
  Grid g;
  g.SetScrollBars(ssBoth);
  g.SetColCount(3);
  g.SetRowCount(40);
  g.SetScrollType(ssFlat);
  EXPECT_FALSE(g.FlatScroll().Initialized);
  EXPECT_EQ(g.FlatScroll().Style, 0);
  g.SetScrollColor(clRed);
  g.SetScrollProportional(true);
  EXPECT_TRUE(g.FlatScroll().Initialized);
  EXPECT_EQ(g.FlatScroll().Style, 2);
  EXPECT_EQ(g.FlatScroll().Color, clRed);
  EXPECT_TRUE(g.FlatScroll().VertShown);
  EXPECT_FALSE(g.FlatScroll().HorzShown);
  const int visible = g.VisibleRowCount();
  EXPECT_EQ(g.ScrollBar(SB_VERT)->Page, static_cast<int>(std::lround(visible * 128.0 / 40)));
  g.SetScrollType(ssEncarta);
  EXPECT_EQ(g.FlatScroll().Style, 1);
  g.SetScrollWidth(9);
  EXPECT_EQ(g.FlatScroll().VertWidth, 9);
  g.SetScrollProportional(false);
  EXPECT_FALSE(g.FlatScroll().Initialized);
  EXPECT_EQ(g.ScrollBar(SB_VERT)->Page, 0);
  EXPECT_EQ(g.ScrollBar(SB_HORZ)->Page, 0);
}

TEST_F(RichGridHidden, ColumnWidthsPersistInIniFiles) {
  vx::test::ScratchFolder dir;
  {
    vx::test::InFolder here(dir.Path());
    auto* g = new Grid;
    g->SetColCount(3);
    g->SetColWidths(0, 40);
    g->SetColWidths(2, 90);
    g->ColumnSize()->Save = true;
    g->ColumnSize()->Key = "widths.ini";  // a bare name: the current folder
    g->ColumnSize()->Section = "Grid";
    g->ColumnSize()->Location = clIniFile;
    delete g;
  }
  const std::string file = dir / "widths.ini";
  const std::string bytes = vx::test::ReadWholeFile(file);
  EXPECT_EQ(bytes, "[Grid]\r\ncol0=40\r\ncol1=64\r\ncol2=90\r\n");

  // configparser reads our file and writes one we read back.
  const std::string script =
      "import configparser,sys\n"
      "c=configparser.ConfigParser(interpolation=None)\n"
      "c.optionxform=str\n"
      "c.read(sys.argv[1],encoding='cp1251')\n"
      "print(','.join(k+'='+v for k,v in c['Grid'].items()))\n"
      "c['Grid']['col1']='55'\n"
      "del c['Grid']['col2']\n"
      "c.write(open(sys.argv[1],'w',encoding='cp1251'))\n";
  vx::test::WriteWholeFile(dir / "widths.py", script);
  int status = 0;
  const std::string out = vx::test::RunTool("/usr/bin/python3 " + (dir / "widths.py") + " " + file, &status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_EQ(out, "col0=40,col1=64,col2=90\n");

  Grid g;
  g.SetColCount(4);
  g.ColumnSize()->Save = true;
  g.ColumnSize()->Key = file;
  g.ColumnSize()->Section = "Grid";
  g.ColumnSize()->Location = clIniFile;
  g.HandleNeeded();  // widths load with the window
  EXPECT_EQ(g.ColWidths(0), 40);
  EXPECT_EQ(g.ColWidths(1), 55);
  EXPECT_EQ(g.ColWidths(2), 64);  // missing: left as it was
  EXPECT_EQ(g.ColWidths(3), 64);
  g.ColumnSize()->Save = false;

  // Widths past 32767 pixels (or negative) used to load and made the grid
  // sum its widths past int; they leave the column as it is.
  for (const char* bad : {"2147483647", "32768", "-2", "99999999999"}) {
    TIniFile(file).WriteString("Grid", "col2", bad);
    g.SetColWidths(2, 64);
    g.LoadColSizes();
    EXPECT_EQ(g.ColWidths(2), 64) << bad;
  }
  TIniFile(file).WriteString("Grid", "col2", "32767");
  g.LoadColSizes();
  EXPECT_EQ(g.ColWidths(2), 32767);
  TIniFile(file).WriteString("Grid", "col2", "0");
  g.LoadColSizes();
  EXPECT_EQ(g.ColWidths(2), 0);

  // The registry store is an INI file of the key's path in the user's
  // configuration folder.
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const std::string savedConfig = oldConfig ? oldConfig : "";
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  g.ColumnSize()->Location = clRegistry;
  g.ColumnSize()->Key = "Software\\Vexamund\\..\\Grids";
  g.SaveColSizes();
  TIniFile reg(dir / "Vexamund/Software/Vexamund/Grids.ini");
  EXPECT_EQ(reg.ReadInteger("Grid", "col1", -1), 55);
  g.SetColWidths(1, 10);
  g.LoadColSizes();
  EXPECT_EQ(g.ColWidths(1), 55);
  if (oldConfig) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");

  g.ColumnSize()->Key = "";  // nothing named: nothing read or written
  g.SaveColSizes();
  g.LoadColSizes();
  EXPECT_EQ(g.ColWidths(1), 55);
}

}  // namespace
