// The rich grid as the application uses it (the statistics page's fill
// sequence, clearing, integer cells, alignment and colour events, bands,
// the always-fixed heading), and every event the grid's core fires, each
// with a recording handler that checks the arguments and changes what the
// handler may change.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

using richgridtest::Grid;

class RichGridEvents : public richgridtest::RichGridTest {};

// What the statistics page does with its grid: reset to one row, lay out
// seven headed columns, then one more row per record read.
TEST_F(RichGridEvents, TheStatisticsPagesFillSequence) {
  Grid g;
  g.SetFixedRowAlways(true);
  g.SetColCount(1);
  g.SetRowCount(1);
  g.SetCells(0, 0, "");
  g.SetCells(0, 1, "");  // the row below does not exist: ignored
  EXPECT_EQ(g.FixedRows(), 1);
  bool fixed = false;
  g.IsFixedCell(0, 0, fixed);
  EXPECT_TRUE(fixed);

  g.SetColCount(7);
  const AnsiString heads[] = {"год"_cp, "тираж"_cp, "Сумма"_cp, "Макс"_cp, "Мин"_cp, "Сред"_cp, "Отклонение"_cp};
  for (int c = 0; c < 7; ++c) g.SetCells(c, 0, heads[c]);
  g.SetColWidths(0, 35);
  g.SetColWidths(1, 65);
  g.SetRowCount(2);
  g.SetFixedRows(1);
  long long total = 0;
  int max = 0;
  // The row of a record exists before it is written: a write one row past
  // the end is dropped, as every write outside the grid is.
  g.SetCells(0, 2, "lost");
  g.SetRowCount(3);
  EXPECT_EQ(g.Cells(0, 2), "");
  g.SetRowCount(2);
  for (int counter = 0; counter < 10000; ++counter) {
    const int r = counter + 1;
    g.SetRowCount(r + 1);
    const int s = (counter * 37) % 250 + 21;
    total += s;
    max = std::max(max, s);
    g.SetCells(0, r, IntToStr(2000 + counter / 100));
    g.SetCells(1, r, IntToStr(counter % 100 + 1));
    g.SetCells(2, r, IntToStr(s));
    g.SetCells(3, r, IntToStr(max));
    const int a = static_cast<int>((total + r / 2) / r);
    g.SetCells(5, r, IntToStr(a));
    g.SetCells(6, r, IntToStr(s - a));
  }
  EXPECT_EQ(g.RowCount(), 10001);
  EXPECT_EQ(g.FixedRows(), 1);
  EXPECT_EQ(g.ColWidths(2), g.DefaultColWidth());
  EXPECT_EQ(g.Ints(2, 10000), (9999 * 37) % 250 + 21);
  EXPECT_EQ(g.Ints(4, 5), 0);  // an empty cell
  EXPECT_EQ(g.Ints(3, 10000), 270);
  EXPECT_THROW(g.Ints(0, 0), ERichGridError);

  // Every cell centred, colours by row and column; arguments row first.
  std::vector<std::pair<int, int>> aligned, coloured;
  g.OnGetAlignment = [&](TObject* sender, int r, int c, TAlignment& a) {
    EXPECT_EQ(sender, &g);
    aligned.push_back({r, c});
    a = taCenter;
  };
  g.OnGetCellColor = [&](TObject*, int r, int c, TGridDrawState, TBrush* b, TFont* f) {
    coloured.push_back({r, c});
    if (c == 0) f->SetColor(clGreen);
    if (c == 1) f->SetColor(clRed);
  };
  EXPECT_EQ(g.GetCellAlignment(2, 7), taCenter);
  ASSERT_EQ(aligned.size(), 1u);
  EXPECT_EQ(aligned[0], (std::pair{7, 2}));
  g.Bands()->SetActive(true);
  TBrush brush;
  TFont font;
  g.GetCellColor(1, 2, TGridDrawState{}, &brush, &font);
  EXPECT_EQ(coloured.back(), (std::pair{2, 1}));
  EXPECT_EQ(font.Color(), clRed);
  EXPECT_EQ(brush.Color(), clWindow);  // row 2 is the second data row
  g.GetCellColor(4, 1, TGridDrawState{}, &brush, &font);
  EXPECT_EQ(brush.Color(), clInfoBk);

  g.ClearAll();
  EXPECT_EQ(g.Cells(0, 0), "");
  EXPECT_EQ(g.Cells(6, 10000), "");
  EXPECT_EQ(g.RowCount(), 10001);
  g.SetColCount(1);
  g.SetRowCount(1);
  EXPECT_EQ(g.FixedRows(), 1);
  EXPECT_EQ(g.TStringGrid::FixedRows(), 0);
}

// One row per event of the core: the handler records its arguments and
// changes its reference parameters; the result shows what the grid did
// with the change.
TEST_F(RichGridEvents, EveryEventOfTheCoreWithItsArgumentsAndReferences) {
  struct Case {
    const char* event;
    std::function<std::string(Grid&, std::ostringstream&)> run;
    const char* expected;
  } cases[] = {
      {"OnGetCellColor",
       [](Grid& g, std::ostringstream& log) {
         g.OnGetCellColor = [&](TObject*, int r, int c, TGridDrawState s, TBrush* b, TFont* f) {
           log << r << "," << c << "," << s.Contains(gdFixed);
           b->SetColor(clRed);
           f->SetColor(clBlue);
         };
         TBrush b;
         TFont f;
         g.GetCellColor(2, 3, TGridDrawState{gdFixed}, &b, &f);
         return std::to_string(b.Color() == clRed && f.Color() == clBlue);
       },
       "3,2,1|1"},
      {"OnGetCellPrintColor",
       [](Grid& g, std::ostringstream& log) {
         g.OnGetCellPrintColor = [&](TObject*, int r, int c, TGridDrawState, TBrush* b, TFont*) {
           log << r << "," << c;
           b->SetColor(clLime);
         };
         TBrush b;
         TFont f;
         g.GetCellPrintColor(1, 4, TGridDrawState{}, &b, &f);
         return std::to_string(b.Color() == clLime);
       },
       "4,1|1"},
      {"OnGetCellBorder",
       [](Grid& g, std::ostringstream& log) {
         g.OnGetCellBorder = [&](TObject*, int r, int c, TPen* p, TCellBorders& borders) {
           log << r << "," << c << "," << borders.Empty();
           p->SetWidth(3);
           borders = TCellBorders{cbTop, cbBottom};
         };
         TPen pen;
         TCellBorders borders;
         g.GetCellBorder(1, 2, &pen, borders);
         return std::to_string(pen.Width()) + std::to_string(borders.Contains(cbTop) && !borders.Contains(cbLeft));
       },
       "2,1,1|31"},
      {"OnGetCellPrintBorder",
       [](Grid& g, std::ostringstream& log) {
         g.OnGetCellPrintBorder = [&](TObject*, int r, int c, TPen*, TCellBorders& borders) {
           log << r << "," << c;
           borders.Include(cbRight);
         };
         TPen pen;
         TCellBorders borders;
         g.GetCellPrintBorder(3, 1, &pen, borders);
         return std::to_string(borders.Contains(cbRight));
       },
       "1,3|1"},
      {"OnGetAlignment",
       [](Grid& g, std::ostringstream& log) {
         g.OnGetAlignment = [&](TObject*, int r, int c, TAlignment& a) {
           log << r << "," << c << "," << a;
           a = taRightJustify;
         };
         return std::to_string(g.GetCellAlignment(1, 2));
       },
       "2,1,0|1"},
      {"OnGetFormat",
       [](Grid& g, std::ostringstream& log) {
         g.OnGetFormat = [&](TObject*, int c, TSortStyle& s, AnsiString& prefix, AnsiString& suffix) {
           log << c << "," << s;
           s = ssNumeric;
           prefix = "$";
           suffix = "%";
         };
         TSortStyle style = ssAutomatic;
         AnsiString prefix, suffix;
         g.GetCellFormat(3, style, prefix, suffix);
         return std::to_string(style) + prefix + suffix;
       },
       "3,0|2$%"},
      {"OnGetEditorType",
       [](Grid& g, std::ostringstream& log) {
         g.OnGetEditorType = [&](TObject*, int c, int r, TEditorType& e) {
           log << c << "," << r << "," << e;
           e = edSpinEdit;
         };
         TEditorType e = edNormal;
         g.GetCellEditor(2, 4, e);
         return std::to_string(e);
       },
       "2,4,0|1"},
      {"OnIsFixedCell",
       [](Grid& g, std::ostringstream& log) {
         g.OnIsFixedCell = [&](TObject*, int r, int c, bool& fixed) {
           log << r << "," << c << "," << fixed;
           fixed = true;
         };
         bool fixed = false;
         g.IsFixedCell(1, 3, fixed);
         return std::to_string(fixed);
       },
       "3,1,0|1"},
      {"OnCanEditCell",
       [](Grid& g, std::ostringstream& log) {
         g.OnCanEditCell = [&](TObject*, int r, int c, bool& can) {
           log << r << "," << c << "," << can;
           can = false;
         };
         bool can = true;
         g.CanEditCell(2, 1, can);
         return std::to_string(can);
       },
       "1,2,1|0"},
      {"OnIsPasswordCell",
       [](Grid& g, std::ostringstream& log) {
         g.OnIsPasswordCell = [&](TObject*, int r, int c, bool& password) {
           log << r << "," << c << "," << password;
           password = true;
         };
         bool password = false;
         g.IsPasswordCell(4, 2, password);
         return std::to_string(password);
       },
       "2,4,0|1"},
      {"OnEllipsClick",
       [](Grid& g, std::ostringstream& log) {
         g.SetCol(2);
         g.SetRow(3);
         g.OnEllipsClick = [&](TObject*, int c, int r, AnsiString& s) {
           log << c << "," << r << "," << s;
           s = "picked";
         };
         AnsiString result;
         g.EllipsClick("typed", result);
         return result;
       },
       "2,3,typed|picked"},
      {"OnColumnSize",
       [](Grid& g, std::ostringstream& log) {
         g.OnColumnSize = [&](TObject*, int c, bool& allow) {
           log << c << "," << allow;
           allow = false;
         };
         g.MouseDown(mbLeft, TShiftState{}, 129, 5);  // the right edge of column 1
         g.MouseMove(TShiftState{ssLeft}, 160, 5);
         g.MouseUp(mbLeft, TShiftState{}, 160, 5);
         return std::to_string(g.ColWidths(1));
       },
       "1,1|64"},
      {"OnRowSize",
       [](Grid& g, std::ostringstream& log) {
         g.OnRowSize = [&](TObject*, int r, bool& allow) {
           log << r << "," << allow;
           allow = false;
         };
         g.MouseDown(mbLeft, TShiftState{}, 5, 43);  // the bottom edge of row 1
         g.MouseMove(TShiftState{ssLeft}, 5, 60);
         g.MouseUp(mbLeft, TShiftState{}, 5, 60);
         return std::to_string(g.RowHeights(1));
       },
       "1,1|21"},
      {"OnEndColumnSize",
       [](Grid& g, std::ostringstream& log) {
         g.OnEndColumnSize = [&](TObject*, int c) { log << c << "," << g.ColWidths(c); };
         g.MouseDown(mbLeft, TShiftState{}, 194, 5);  // the right edge of column 2
         g.MouseMove(TShiftState{ssLeft}, 204, 5);
         g.MouseUp(mbLeft, TShiftState{}, 204, 5);
         return std::to_string(g.ColWidths(2));
       },
       "2,74|74"},
      {"OnEndRowSize",
       [](Grid& g, std::ostringstream& log) {
         g.OnEndRowSize = [&](TObject*, int r) { log << r << "," << g.RowHeights(r); };
         g.MouseDown(mbLeft, TShiftState{}, 5, 65);  // the bottom edge of row 2
         g.MouseMove(TShiftState{ssLeft}, 5, 70);
         g.MouseUp(mbLeft, TShiftState{}, 5, 70);
         return std::to_string(g.RowHeights(2));
       },
       "2,26|26"},
  };
  for (const Case& c : cases) {
    Grid g;
    g.SetColCount(5);
    g.SetRowCount(5);
    g.SetOptions(g.Options() + TGridOptions{goColSizing, goRowSizing});
    std::ostringstream log;
    const std::string effect = c.run(g, log);
    EXPECT_EQ(log.str() + "|" + effect, c.expected) << c.event;
  }
}

}  // namespace
