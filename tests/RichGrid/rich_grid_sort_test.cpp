// Sorting: how two cell texts compare under each sort style, the order a
// sort by column or by the sort index leaves, what stays in place and what
// travels with the rows, a comparison that throws, and the header click.
#include <gtest/gtest.h>

#include "RichGrid/cell_compare.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/dateutils.h"
#include "rich_grid_test_support.h"

namespace {

class Grid : public richgridtest::Grid {
 public:
  // Rows of texts below a heading row, one string per row with the columns
  // separated by blanks.
  void Fill(const std::vector<std::string>& rows) {
    SetRowCount(static_cast<int>(rows.size()) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      std::size_t start = 0;
      for (int c = 0; c < ColCount(); ++c) {
        const std::size_t end = rows[r].find(' ', start);
        SetCells(c, static_cast<int>(r) + 1, rows[r].substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
      }
    }
  }
  // Column c of every row, joined by ','.
  std::string Joined(int c) const {
    std::string s;
    for (int r = 0; r < RowCount(); ++r) s += (r ? "," : "") + Cells(c, r);
    return s;
  }
};

class Tag : public TObject {};

class RichGridSort : public richgridtest::RichGridTest {
 protected:
  richgridtest::FormatScope format_;
};

TEST_F(RichGridSort, StylesCompareTexts) {
  FormatSettings.DateSeparator = '/';
  FormatSettings.ShortDateFormat = "dd/mm/yyyy";
  struct Case {
    TSortStyle style;
    const char *a, *b;
    int expected;
    const char* prefix = "";
    const char* suffix = "";
  } cases[] = {
      {ssNumeric, "10", "9", 1},
      {ssNumeric, "-2.5", "1e1", -1},
      {ssNumeric, "", "5", -1},  // an empty cell counts as 0
      {ssNumeric, "", "-5", 1},
      {ssNumeric, "abc", "5", 0},  // a text makes the pair equal
      {ssNumeric, "5", "abc", 0},
      {ssNumeric, "$10", "$9", 1, "$"},
      {ssNumeric, "10 kg", "9 kg", 1, "", " kg"},
      {ssNumeric, "1,000.5", "999", 0},  // thousand separators only for the financial style
      {ssFinancial, "1,000.5", "999", 1},
      {ssAutomatic, "10", "9", 1},
      {ssAutomatic, "9", "abc", 0},                   // the first text makes it a number
      {ssAutomatic, "abc", "9", 1},                   // ... or a text
      {ssAutomatic, "12/05/2001", "01/06/2001", -1},  // a date: May before June
      {ssAutomatic, "2001/12/05", "2001/01/06", 1},   // '/' too far in: alphabetic
      {ssAutomatic, "5-3", "10", 1},                  // not a number: alphabetic
      {ssDate, "01/01/1990", "garbage", 1},           // no date is day 0
      {ssShortDateEU, "01.02.03", "31.01.03", 1},
      {ssShortDateUS, "02/01/03", "01/31/03", 1},
      {ssAlphabetic, "abc", "ABD", 1},
      {ssAlphaCase, "a", "b", -1},
      {ssAlphaNoCase, "abc", "ABD", -1},
      {ssAlphaNoCase, "ABC", "abc", 0},
      {ssAnsiAlphaNoCase, "ёж", "ЁЖ", 0},
      {ssAnsiAlphaCase, "a", "B", -1},
      {ssHTML, "<B>b</B>", "a", 1},
      {ssAlphabetic, "<B>b</B>", "a", -1},
      {ssCustom, "a", "b", 0},
      {ssRaw, "a", "b", 0},
  };
  for (const Case& c : cases) {
    const TCellFormat format{c.style, c.prefix, c.suffix};
    const AnsiString a = vx::Utf8ToCp1251(c.a), b = vx::Utf8ToCp1251(c.b);
    EXPECT_EQ(CompareCellTexts(format, a, b), c.expected) << c.style << " " << c.a << " " << c.b;
    // Keys made once give the same answers.
    const SortKey ka = MakeSortKey(a, format, true), kb = MakeSortKey(b, format, true);
    if (c.style != ssHTML)
      EXPECT_EQ(CompareSortKeys(format, ka, kb, a, b), c.expected) << c.style << " " << c.a << " " << c.b;
  }
  FormatSettings.DecimalSeparator = ',';
  FormatSettings.ThousandSeparator = ' ';
  EXPECT_EQ(CompareCellTexts(TCellFormat{ssNumeric}, "1,5", "1.5"), 0);
  EXPECT_EQ(CompareCellTexts(TCellFormat{ssNumeric}, "1,5", "1,25"), 1);
  EXPECT_EQ(CompareCellTexts(TCellFormat{ssAutomatic}, "2,5", "10"), -1);
}

TEST_F(RichGridSort, AutomaticStyleAndShortDates) {
  struct StyleCase {
    const char* text;
    TSortStyle style;
  } styles[] = {{"12/05/2001", ssDate}, {"1/5/2001", ssDate},   {"2001/05/12", ssAlphabetic}, {"a/5", ssAlphabetic},
                {"12/", ssAlphabetic},  {"", ssNumeric},        {"-12", ssNumeric},           {"1.5", ssNumeric},
                {"5-3", ssAlphabetic},  {"1 000", ssAlphabetic}};
  for (const StyleCase& c : styles) EXPECT_EQ(AutomaticStyle(c.text), c.style) << c.text;

  struct DateCase {
    const char* text;
    bool dayFirst;
    int year, month, day;  // year 0: no date
  } dates[] = {
      {"01.02.03", true, 2003, 2, 1},    {"01.02.99", true, 1999, 2, 1},   {"01.02.25", true, 2025, 2, 1},
      {"01.02.26", true, 1926, 2, 1},    {"01.02.2003", true, 2003, 2, 1},  // four digits are kept
      {"1-2-3", true, 2003, 2, 1},       {"02/01/03", false, 2003, 2, 1},  {"01.02.100", true, 100, 2, 1},
      {"31.02.03", true, 0, 0, 0},       {"01.13.03", true, 0, 0, 0},      {"x.2.3", true, 0, 0, 0},
      {"01.02", true, 0, 0, 0},          {"01.02.", true, 0, 0, 0},        {"010203", true, 0, 0, 0},
      {"01.02.03 12:00", true, 0, 0, 0},
  };
  for (const DateCase& c : dates) {
    const double expected = c.year ? EncodeDate(c.year, c.month, c.day) : 0;
    EXPECT_EQ(ShortDate(c.text, c.dayFirst), expected) << c.text;
  }
}

TEST_F(RichGridSort, SortByColumnOrdersDataRowsOnly) {
  struct Case {
    const char* name;
    std::function<void(Grid&)> setup;
    std::vector<std::string> rows;
    int column;
    std::string expected;  // the sorted column, heading and footers included
  } cases[] = {
      {"numbers", nullptr, {"a 10", "b 9", "c 100", "d -1"}, 1, ",-1,9,10,100"},
      {"numbers descending",
       [](Grid& g) { g.SetSortDirection(sdDescending); },
       {"a 10", "b 9", "c 100"},
       1,
       ",100,10,9"},
      {"texts when automatic styles are off",
       [](Grid& g) { g.SetSortAutoFormat(false); },
       {"a 10", "b 9", "c 100"},
       1,
       ",10,100,9"},
      {"footer rows stay", [](Grid& g) { g.SetFixedFooters(1); }, {"a 3", "b 1", "c 2", "sum 6"}, 1, ",1,2,3,6"},
      {"equal rows ordered by the next columns", nullptr, {"1 b", "0 z", "1 a", "0 y"}, 0, ",0,0,1,1"},
      {"format by event",
       [](Grid& g) {
         g.OnGetFormat = [](TObject*, int, TSortStyle& style, AnsiString& prefix, AnsiString&) {
           style = ssNumeric;
           prefix = "N";
         };
       },
       {"a N10", "b N9", "c N100"},
       1,
       ",N9,N10,N100"},
      {"raw comparison reads the rows it is given",
       [](Grid& g) {
         g.OnGetFormat = [](TObject*, int, TSortStyle& style, AnsiString&, AnsiString&) { style = ssRaw; };
         g.OnRawCompare = [&g](TObject*, int col, int r1, int r2, int& res) {
           res = static_cast<int>(g.Cells(col, r1).size()) - static_cast<int>(g.Cells(col, r2).size());
         };
       },
       {"a xxx", "b x", "c xx"},
       1,
       ",x,xx,xxx"},
  };
  for (const Case& c : cases) {
    Grid g;
    g.SetColCount(2);
    if (c.setup) c.setup(g);
    g.Fill(c.rows);
    g.SetSortColumn(c.column);
    g.SortByColumn();
    EXPECT_EQ(g.Joined(c.column), c.expected) << c.name;
    EXPECT_EQ(g.UpdateCount(), 0) << c.name;
  }
  // The next columns break ties in the same direction.
  Grid g;
  g.SetColCount(2);
  g.Fill({"1 b", "0 z", "1 a", "0 y"});
  g.SetSortColumn(0);
  g.SetSortDirection(sdDescending);
  g.SortByColumn();
  EXPECT_EQ(g.Joined(1), ",b,a,z,y");
}

TEST_F(RichGridSort, EqualRowsStayOnlyInASortByColumn) {
  Grid g;
  g.SetColCount(2);
  g.SetSortFull(false);
  g.Fill({"1 a", "1 b", "1 c", "1 d", "1 e"});
  g.SortByColumn();
  EXPECT_EQ(g.Joined(1), ",a,b,c,d,e");
  // The indexed sort exchanges equal rows.
  g.SortIndexes()->AddFlagged(0, true);
  g.SortByIndex();
  EXPECT_EQ(g.Joined(1), ",d,e,c,a,b");
}

TEST_F(RichGridSort, RowsTakeTheirObjectsHeightsAndSelectionAlong) {
  Grid g;
  g.SetColCount(3);
  g.Fill({"x 3 c", "y 1 a", "z 2 b"});
  Tag tag;
  g.SetObjects(2, 1, &tag);  // on the row with 3
  g.SetRowHeights(1, 40);
  g.MouseActions()->DisjunctRowSelect = true;
  g.SetRowSelect(1, true);
  g.SetRow(2);  // the row with 1
  g.SetSortNormalCellsOnly(true);
  g.SetSortColumn(1);
  g.SortByColumn();
  EXPECT_EQ(g.Joined(1), ",1,2,3");
  EXPECT_EQ(g.Joined(2), ",a,b,c");
  EXPECT_EQ(g.Joined(0), ",x,y,z");  // column 0 stays
  EXPECT_EQ(g.Objects(2, 3), &tag);
  EXPECT_EQ(g.RowHeights(3), 40);
  EXPECT_EQ(g.RowHeights(1), 21);
  EXPECT_TRUE(g.RowSelect(3));
  EXPECT_FALSE(g.RowSelect(1));
  EXPECT_EQ(g.Row(), 1);
}

TEST_F(RichGridSort, AThrowingComparisonLeavesTheGridAsItWas) {
  Grid g;
  g.SetColCount(2);
  g.Fill({"a 3", "b 1", "c 2", "d 5", "e 4"});
  g.OnGetFormat = [](TObject*, int, TSortStyle& style, AnsiString&, AnsiString&) { style = ssCustom; };
  int calls = 0;
  g.OnCustomCompare = [&calls](TObject*, const AnsiString& a, const AnsiString& b, int& res) {
    if (++calls == 4) throw Exception("compare failed");
    res = a.compare(b);
  };
  g.SetSortColumn(1);
  g.BeginUpdate();
  EXPECT_THROW(g.SortByColumn(), Exception);
  EXPECT_EQ(g.UpdateCount(), 1);
  g.EndUpdate();
  EXPECT_EQ(g.RowCount(), 6);
  EXPECT_EQ(g.ColCount(), 2);
  EXPECT_EQ(g.Joined(1), ",3,1,2,5,4");
  EXPECT_EQ(g.Joined(0), ",a,b,c,d,e");

  Grid e;
  try {
    e.SortByIndex();
    FAIL() << "an empty sort index sorts nothing";
  } catch (const ERichGridError& error) { EXPECT_STREQ(error.what(), "No indexes specified for indexed sort"); }
}

// The grid's sort (keys read once, rows rearranged at the end) leaves the
// order that the quicksort exchanging whole rows and comparing the texts
// afresh each time leaves, whatever the mix of numbers, texts, dates and
// empty cells; here that quicksort is written out over plain rows.
TEST_F(RichGridSort, SameOrderAsTheQuicksortOverTheTexts) {
  FormatSettings.DateSeparator = '/';
  FormatSettings.ShortDateFormat = "dd/mm/yyyy";
  using Rows = std::vector<std::vector<AnsiString>>;
  auto reference = [](Rows rows, TSortStyle style, int col, int d, bool full) {
    const TCellFormat format{style};
    auto compare = [&](const std::vector<AnsiString>& a, const std::vector<AnsiString>& b) {
      int c = col, res = CompareCellTexts(format, a[c], b[c]);
      while (res == 0 && full && c <= static_cast<int>(a.size()) - 2) {
        ++c;
        res = CompareCellTexts(format, a[c], b[c]);
      }
      return res;
    };
    std::function<void(int, int)> sort = [&](int lo, int hi) {
      const std::vector<AnsiString> pivot = rows[(lo + hi) / 2];
      int i = lo, j = hi;
      do {
        while (compare(pivot, rows[i]) == d && i < hi) ++i;
        while (compare(rows[j], pivot) == d && j > lo) --j;
        if (i <= j) {
          if (i != j && compare(rows[i], rows[j]) != 0) std::swap(rows[i], rows[j]);
          ++i;
          --j;
        }
      } while (i <= j);
      if (j > lo) sort(lo, j);
      if (i < hi) sort(i, hi);
    };
    sort(0, static_cast<int>(rows.size()) - 1);
    return rows;
  };
  const char* pool[] = {"", "abc", "5", "10", "2.5", "-1", "12/05/2001", "01/06/2001", "x", "10"};
  std::uint32_t seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (TSortStyle style : {ssAutomatic, ssNumeric, ssAlphabetic, ssDate})
    for (int d : {1, -1})
      for (bool full : {true, false}) {
        Rows rows(150, std::vector<AnsiString>(3));
        for (auto& row : rows)
          for (auto& cell : row) cell = pool[next() % 10];
        Grid g;
        g.SetColCount(3);
        g.SetFixedCols(0);
        g.SetRowCount(151);
        for (int r = 0; r < 150; ++r)
          for (int c = 0; c < 3; ++c) g.SetCells(c, r + 1, rows[r][c]);
        g.OnGetFormat = [style](TObject*, int, TSortStyle& s, AnsiString&, AnsiString&) { s = style; };
        g.SetSortColumn(1);
        g.SetSortDirection(d < 0 ? sdDescending : sdAscending);
        g.SetSortFull(full);
        g.SortByColumn();
        const Rows expected = reference(rows, style, 1, d, full);
        for (int r = 0; r < 150; ++r)
          for (int c = 0; c < 3; ++c)
            ASSERT_EQ(g.Cells(c, r + 1), expected[r][c]) << style << " " << d << " " << full << " row " << r;
      }
}

// Sorted, reversed and organ-pipe columns of many rows come out in order.
TEST_F(RichGridSort, LargeAndAdversarialColumns) {
  const int n = 20000;
  for (int shape = 0; shape < 3; ++shape) {
    Grid g;
    g.SetColCount(1);
    g.SetFixedCols(0);
    g.SetRowCount(n + 1);
    for (int i = 0; i < n; ++i) {
      const int v = shape == 0 ? i : shape == 1 ? n - i : (i < n / 2 ? i : n - i);
      g.SetCells(0, i + 1, IntToStr(v % 1000));
    }
    g.SortByColumn();
    for (int r = 2; r <= n; ++r) ASSERT_LE(g.Ints(0, r - 1), g.Ints(0, r)) << shape << " " << r;
  }
}

TEST_F(RichGridSort, HeaderClicks) {
  auto grid = [](Grid& g) {
    g.SetColCount(3);
    g.Fill({"z 3 c", "y 1 a", "x 2 b"});
    g.SetSortShow(true);
  };
  {
    Grid g;
    grid(g);
    std::vector<int> clicked;
    g.OnClickSort = [&clicked](TObject*, int col) { clicked.push_back(col); };
    const int x = g.CellRect(1, 0).Left + 20;
    g.HeaderClickSort(1, x, TShiftState{});
    EXPECT_EQ(g.Joined(1), ",1,2,3");
    g.HeaderClickSort(1, x, TShiftState{});
    EXPECT_EQ(g.SortDirection(), sdDescending);
    EXPECT_EQ(g.Joined(1), ",3,2,1");
    g.HeaderClickSort(2, g.CellRect(2, 0).Left + 20, TShiftState{});  // another column starts ascending
    EXPECT_EQ(g.SortColumn(), 2);
    EXPECT_EQ(g.Joined(2), ",a,b,c");
    EXPECT_EQ(clicked, (std::vector<int>{1, 1, 2}));
  }
  struct Refused {
    const char* name;
    std::function<void(Grid&)> setup;
    int col, dx;
  } refused[] = {
      {"sorting not shown", [](Grid& g) { g.SetSortShow(false); }, 1, 20},
      {"too few rows", [](Grid& g) { g.SetRowCount(2); }, 1, 20},
      {"vetoed", [](Grid& g) { g.OnCanSort = [](TObject*, int, bool& sort) { sort = false; }; }, 1, 20},
      {"a fixed column", nullptr, 0, 20},
      {"near a sizing edge", [](Grid& g) { g.SetOptions(g.Options() + goColSizing); }, 1, 2},
  };
  for (const Refused& c : refused) {
    Grid g;
    grid(g);
    if (c.setup) c.setup(g);
    const std::string before = g.Joined(1);
    g.HeaderClickSort(c.col, g.CellRect(c.col, 0).Left + c.dx, TShiftState{});
    EXPECT_EQ(g.Joined(1), before) << c.name;
  }
  // The sort index: a click starts it, Shift adds a column, a second click turns it.
  Grid g;
  grid(g);
  g.SetSortIndexShow(true);
  g.Fill({"1 b x", "0 z y", "1 a x", "0 y w"});
  g.HeaderClickSort(2, g.CellRect(2, 0).Left + 20, TShiftState{});
  g.HeaderClickSort(0, g.CellRect(0, 0).Left + 20, TShiftState{ssShift});  // fixed: ignored
  g.HeaderClickSort(1, g.CellRect(1, 0).Left + 20, TShiftState{ssShift});
  ASSERT_EQ(g.SortIndexes()->Count(), 2);
  EXPECT_EQ(g.Joined(1), ",y,a,b,z");
  g.HeaderClickSort(1, g.CellRect(1, 0).Left + 20, TShiftState{ssShift});
  EXPECT_TRUE(TSortIndexList::IsDescending(g.SortIndexes()->Items(1)));
  EXPECT_EQ(g.Joined(1), ",y,b,a,z");
  g.HeaderClickSort(1, g.CellRect(1, 0).Left + 20, TShiftState{});
  ASSERT_EQ(g.SortIndexes()->Count(), 1);
  EXPECT_EQ(g.Joined(1), ",a,b,y,z");
}

}  // namespace
