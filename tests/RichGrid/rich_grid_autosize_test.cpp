// Fitting columns and rows on the fixed-metric canvas (a character of the
// 8-point font is 6 pixels wide, a line 13 high), rows of so many lines,
// exchanging rows, the incremental row search and the selection test.
#include <gtest/gtest.h>

#include "rich_grid_test_support.h"

namespace {

using richgridtest::Grid;

// A caller's object in a cell.
class Tag : public TObject {};

class RichGridAutoSize : public richgridtest::RichGridTest {};

TEST_F(RichGridAutoSize, ColumnsFitTheirWidestCell) {
  struct Case {
    const char* name;
    std::vector<const char*> texts;  // column 1, rows 0..
    std::function<void(Grid&)> setup;
    int width;
  } cases[] = {
      {"widest text + 4", {"head", "abcdefgh", "a", ""}, nullptr, 52},
      {"mark-up measured by the renderer", {"", "<B>abcdefghij</B>", "abc"}, nullptr, 64},
      {"second line counts", {"", "ab\r\nabcdef"}, nullptr, 40},
      {"link shown without its scheme", {"", "http://abc"}, [](Grid& g) { g.SetURLShow(true); }, 22},
      {"colour event's font",
       {"", "abcd"},
       [](Grid& g) {
         g.OnGetCellColor = [](TObject*, int, int, TGridDrawState, TBrush*, TFont* f) { f->SetSize(16); };
       },
       52},
      {"zoomed", {"", "abcd"}, [](Grid& g) { g.Zoom(4); }, 40},
      {"check box beside the text", {"", "abcd"}, [](Grid& g) { g.AddCheckBox(1, 1, false, false); }, 43},
  };
  for (const Case& c : cases) {
    Grid g;
    for (std::size_t r = 0; r < c.texts.size(); ++r) g.SetCells(1, static_cast<int>(r), c.texts[r]);
    if (c.setup) c.setup(g);
    g.FitColumn(1);
    EXPECT_EQ(g.ColWidths(1), c.width) << c.name;
  }
  // Growing only: a wider column stays, a narrower one grows.
  Grid g;
  g.SetCells(1, 1, "abcdefgh");
  g.SetColWidths(1, 100);
  g.FitColumn(1, true);
  EXPECT_EQ(g.ColWidths(1), 100);
  g.FitColumn(1, false);
  EXPECT_EQ(g.ColWidths(1), 52);
  g.SetColWidths(1, 30);
  g.FitColumn(1, true);
  EXPECT_EQ(g.ColWidths(1), 52);
  // Every column but the fixed one, with padding.
  g.SetColWidths(0, 77);
  g.FitColumns(false, 10);
  EXPECT_EQ(g.ColWidths(0), 77);
  EXPECT_EQ(g.ColWidths(1), 62);
  EXPECT_EQ(g.ColWidths(2), 14);
}

TEST_F(RichGridAutoSize, RowsFitTheirTallestCellAndLineCounts) {
  struct Case {
    const char* name;
    const char* text;  // cell (1,1); the column is 64 wide
    std::function<void(Grid&)> setup;
    int height;
  } cases[] = {
      {"one line keeps the default height", "abc", nullptr, 21},
      {"wrapped at the column's width", "aaaa bbbb cccc dddd", nullptr, 28},
      {"three lines", "a\r\nb\r\nc", nullptr, 41},
      {"mark-up lines", "a<BR>b<BR>c<BR>d", nullptr, 54},
      {"a taller graphic", "abc", [](Grid& g) { g.AddButton(1, 1, 20, 30, 0, 0); }, 32},
  };
  for (const Case& c : cases) {
    Grid g;
    g.SetCells(1, 1, c.text);
    if (c.setup) c.setup(g);
    g.FitRow(1);
    EXPECT_EQ(g.RowHeights(1), c.height) << c.name;
  }
  Grid g;
  g.SetRowLines(2, 2, 3);
  EXPECT_EQ(g.RowHeights(2), (13 + 3) * 2 + 3);
  g.SetRowLines(2, 1, 0);
  EXPECT_EQ(g.RowHeights(2), 16);
}

TEST_F(RichGridAutoSize, ExchangeRowsCarriesEverythingOfTheRow) {
  Grid g;
  g.SetColCount(3);
  g.SetRowCount(5);
  Tag tag;
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 3; ++c) g.SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
  g.SetObjects(2, 1, &tag);
  g.SetRowHeights(1, 40);
  g.MouseActions()->DisjunctRowSelect = true;
  g.SetRowSelect(1, true);
  g.SetRow(3);
  const int before = g.UpdateCount();
  g.ExchangeRows(1, 3);
  EXPECT_EQ(g.UpdateCount(), before);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(g.Cells(c, 1), std::to_string(c) + ":3");
    EXPECT_EQ(g.Cells(c, 3), std::to_string(c) + ":1");
  }
  EXPECT_EQ(g.Objects(2, 3), &tag);
  EXPECT_EQ(g.Objects(2, 1), nullptr);
  EXPECT_EQ(g.RowHeights(3), 40);
  EXPECT_EQ(g.RowHeights(1), 21);
  EXPECT_TRUE(g.RowSelect(3));
  EXPECT_FALSE(g.RowSelect(1));
  EXPECT_EQ(g.Row(), 1);  // the current row stayed with its row
  // Without disjunct rows the selection flags stay where they are.
  g.MouseActions()->DisjunctRowSelect = false;
  g.ExchangeRows(3, 4);
  EXPECT_TRUE(g.RowSelect(3));
  EXPECT_EQ(g.Cells(0, 4), "0:1");
  // Rows outside the grid change nothing.
  g.ExchangeRows(1, 9);
  EXPECT_EQ(g.Cells(0, 1), "0:3");
}

TEST_F(RichGridAutoSize, RowSearchBySortColumnPrefixAndSelectionTest) {
  Grid g;
  g.SetRowCount(5);
  const char* keys[] = {"head", "xab", "abc", "ABD", "Жук"};
  for (int r = 0; r < 5; ++r) {
    g.SetCells(1, r, AnsiString(keys[r]) == "Жук" ? "Жук"_cp : AnsiString(keys[r]));
    g.SetCells(2, r, "k" + std::to_string(r));
  }
  struct Case {
    AnsiString text;
    int row;
  } cases[] = {{"AB", 2}, {"ABD", 3}, {"X", 1}, {"ЖУ"_cp, 4}, {"B", -1}, {"HEAD", -1}, {"", 1}};
  for (const Case& c : cases) EXPECT_EQ(g.FindRowByPrefix(c.text), c.row) << c.text;
  g.SetSortShow(true);
  g.SetSortColumn(2);
  EXPECT_EQ(g.FindRowByPrefix("K3"), 3);
  EXPECT_EQ(g.FindRowByPrefix("AB"), -1);
  g.SetRowCount(1);
  EXPECT_EQ(g.FindRowByPrefix(""), -1);

  Grid s;
  s.SetSelection(TGridRect{1, 1, 2, 3});
  EXPECT_TRUE(s.IsCellInSelection(2, 3));
  EXPECT_FALSE(s.IsCellInSelection(3, 3));
  s.MouseActions()->DisjunctRowSelect = true;
  s.SetRowSelect(4, true);
  EXPECT_TRUE(s.IsCellInSelection(0, 4));
  EXPECT_FALSE(s.IsCellInSelection(2, 3));
}

}  // namespace
