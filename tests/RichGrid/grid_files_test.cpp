// The grid's own cell file and its fixed-width text table: exact bytes of a
// Cyrillic grid, round trips, damaged files, the file range, progress.
#include <gtest/gtest.h>

#include <functional>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/rich_grid_test_support.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/write_fault.h"

namespace {

class GridFiles : public richgridtest::RichGridTest {
 protected:
  vx::test::ScratchFolder dir_{"gridfiles-"};
};

void Fill(TRichStringGrid& g, const std::vector<std::vector<AnsiString>>& rows) {
  g.SetRowCount(static_cast<int>(rows.size()));
  g.SetColCount(static_cast<int>(rows[0].size()));
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c) g.SetCells(static_cast<int>(c), static_cast<int>(r), rows[r][c]);
}

std::vector<AnsiString> AllCells(const TRichStringGrid& g) {
  std::vector<AnsiString> out;
  for (int r = 0; r < g.RowCount(); ++r)
    for (int c = 0; c < g.ColCount(); ++c) out.push_back(g.Cells(c, r));
  return out;
}

TEST_F(GridFiles, CellFileBytesAndRoundTrip) {
  TRichStringGrid g(nullptr);
  Fill(g, {{"год"_cp, "тираж"_cp, ""}, {"2001", "a\r\nb", ""}, {"", "", "x\ry"}});
  g.SetFixedRows(1);
  g.SetColWidths(0, 64);
  g.SetColWidths(1, 50);
  g.SetColWidths(2, 30);
  const std::string file = dir_ / "rownum.ini";
  g.SaveToFile(file);
  // CP1251, CR LF; only a text holding a CR gets TAB for CR and BS for LF.
  EXPECT_EQ(vx::test::ReadWholeFile(file), AnsiString("3,3\r\ncw 0,64\r\ncw 1,50\r\ncw 2,30\r\n0,0,") + "год"_cp +
                                               "\r\n1,0," + "тираж"_cp + "\r\n0,1,2001\r\n1,1,a\t\bb\r\n2,2,\x1Bx\ty\r\n");

  for (bool multi : {true, false}) {
    TRichStringGrid back(nullptr);
    back.SetMultilinecells(multi);
    back.LoadFromFile(file);
    EXPECT_EQ(back.ColCount(), 3);
    EXPECT_EQ(back.RowCount(), 3);
    EXPECT_EQ(back.ColWidths(0), 64);
    EXPECT_EQ(back.ColWidths(1), 50);
    EXPECT_EQ(back.ColWidths(2), 30);
    // A CR without LF used to come back as TAB (decoding needs a BS in the
    // text); such a text is written escaped now.
    const std::vector<AnsiString> want = {"год"_cp, "тираж"_cp, "", "2001", multi ? "a\r\nb" : "a", "", "", "", multi ? "x\ry" : "x"};
    EXPECT_EQ(AllCells(back), want) << multi;
  }
}

// A text with LF but no CR used to be written as it stood: its LF split the
// cell line, and a second part shaped like a cell line filled another cell.
TEST_F(GridFiles, CellFileTextWithLineFeedOnlyStaysInItsCell) {
  TRichStringGrid g(nullptr);
  g.SetColCount(2);
  g.SetRowCount(2);
  g.SetMultilinecells(true);
  g.SetCells(0, 0, "x\n1,1,injected");
  const std::string file = dir_ / "lf.ini";
  g.SaveToFile(file);
  EXPECT_EQ(vx::test::ReadWholeFile(file), "2,2\r\ncw 0,64\r\ncw 1,64\r\n0,0,x\b1,1,injected\r\n");
  TRichStringGrid back(nullptr);
  back.SetMultilinecells(true);
  back.LoadFromFile(file);
  EXPECT_EQ(back.Cells(0, 0), "x\n1,1,injected");
  EXPECT_EQ(back.Cells(1, 1), "");
}

// Texts that the line-break coding would change used to come back changed:
// a TAB beside a line break became CR, a CR alone became TAB, a BS became
// LF. Texts it keeps are still written as before.
TEST_F(GridFiles, CellFileGivesBackEveryText) {
  const struct {
    AnsiString text, line;
  } cases[] = {
      {"a\r\nb", "a\t\bb"},
      {"a\tb", "a\tb"},
      {"x\n1,1,y", "x\b1,1,y"},
      {"a\tb\r\nc", "\x1B" "a\x1B\tb\t\bc"},
      {"a\rb", "\x1B" "a\tb"},
      {"a\rb\r\n\r", "a\tb\t\b\t"},
      {"a\bb", "\x1B" "a\x1B\bb"},
      {"\x1B" "b", "\x1B\x1B\x1B" "b"},
      {"tab\t\nlf", "\x1Btab\x1B\t\blf"},
  };
  TRichStringGrid g(nullptr);
  g.SetColCount(1);
  g.SetRowCount(static_cast<int>(std::size(cases)));
  AnsiString bytes = "1," + IntToStr(g.RowCount()) + "\r\ncw 0,64\r\n";
  for (int r = 0; r < g.RowCount(); ++r) {
    g.SetCells(0, r, cases[r].text);
    bytes += "0," + IntToStr(r) + "," + cases[r].line + "\r\n";
  }
  const std::string file = dir_ / "texts.ini";
  g.SaveToFile(file);
  EXPECT_EQ(vx::test::ReadWholeFile(file), bytes);
  for (bool multi : {true, false}) {
    TRichStringGrid back(nullptr);
    back.SetMultilinecells(multi);
    back.LoadFromFile(file);
    for (int r = 0; r < g.RowCount(); ++r) {
      const AnsiString& text = cases[r].text;
      EXPECT_EQ(back.Cells(0, r), multi ? text : text.substr(0, text.find('\r'))) << r << " " << multi;
    }
  }
}

TEST_F(GridFiles, CellFileRangeWithoutFixedCells) {
  TRichStringGrid g(nullptr);
  Fill(g, {{"h0", "h1", "h2", "r"}, {"f", "a", "b", "r"}, {"f", "c", "d", "r"}, {"s", "s", "s", "s"}});
  g.SetFixedRows(1);
  g.SetFixedCols(1);
  g.SetFixedRightCols(1);
  g.SetFixedFooters(1);
  g.SetIncludeFixedCells(false);
  const std::string file = dir_ / "range.ini";
  g.SaveToFile(file);
  EXPECT_EQ(vx::test::ReadWholeFile(file), "2,2\r\ncw 1,64\r\ncw 2,64\r\n1,1,a\r\n2,1,b\r\n1,2,c\r\n2,2,d\r\n");

  // Read back below and right of the fixed cells of another grid.
  TRichStringGrid back(nullptr);
  back.SetColCount(3);
  back.SetRowCount(3);
  back.SetFixedRows(1);
  back.SetFixedCols(1);
  back.SetIncludeFixedCells(false);
  back.LoadFromFile(file);
  EXPECT_EQ(back.ColCount(), 3);
  EXPECT_EQ(back.RowCount(), 3);
  EXPECT_EQ(AllCells(back), (std::vector<AnsiString>{"", "", "", "", "a", "b", "", "c", "d"}));
}

// Lines a hand-made or damaged file may hold. The grid starts as 2 x 2 with
// "old" in (0,0) and width 64 everywhere.
TEST_F(GridFiles, DamagedCellFilesLoadAsRuled) {
  struct Case {
    const char* name;
    std::string bytes;
    bool damaged;
    std::vector<AnsiString> cells;  // row by row after the load
    int cols, rows;
  } cases[] = {
      {"empty file", "", true, {"old", "", "", ""}, 2, 2},
      {"blank size line", "\r\n0,0,x\r\n", true, {"old", "", "", ""}, 2, 2},
      {"size without comma", "33\r\n", true, {"old", "", "", ""}, 2, 2},
      {"zero columns", "0,5\r\n", true, {"old", "", "", ""}, 2, 2},
      {"zero rows", "3,0\r\n", true, {"old", "", "", ""}, 2, 2},
      {"negative size", "-1,2\r\n", true, {"old", "", "", ""}, 2, 2},
      {"words for numbers", "a,b\r\n", true, {"old", "", "", ""}, 2, 2},
      {"size beyond any grid", "99999999,99999999\r\n", true, {"old", "", "", ""}, 2, 2},
      // Widest and tallest each allowed, but together more cells than any
      // grid holds: writing it back took hours.
      {"widest and tallest at once", "16384,10000000\r\n1,1,x\r\n", true, {"old", "", "", ""}, 2, 2},
      {"one row past the cell bound", "16384,1025\r\n", true, {"old", "", "", ""}, 2, 2},
      {"blank and comma-less lines", "2,2\r\n\r\nnocomma\r\n1,1,x\r\n", false, {"old", "", "", "x"}, 2, 2},
      {"negative indexes", "2,2\r\n-1,0,n\r\n0,-1,n\r\n1,0,y\r\n", false, {"old", "y", "", ""}, 2, 2},
      {"indexes beyond the size", "2,2\r\n2,0,far\r\n0,2,far\r\n", false, {"old", "", "", ""}, 2, 2},
      {"words for indexes", "2,2\r\nx,y,z\r\n0,1x,z\r\n", false, {"old", "", "", ""}, 2, 2},
      {"one comma only", "2,2\r\n1,1\r\n", false, {"old", "", "", ""}, 2, 2},
      {"commas in the text", "2,2\r\n0,1,a,b,c\r\n", false, {"old", "", "a,b,c", ""}, 2, 2},
      {"LF and CR line ends", "2,2\n0,0,a\r1,1,b\n", false, {"a", "", "", "b"}, 2, 2},
      {"size only keeps the texts", "3,3\r\ncw 0,10\r\n", false, {"old", "", "", "", "", "", "", "", ""}, 3, 3},
  };
  for (const Case& c : cases) {
    TRichStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetCells(0, 0, "old");
    const std::string file = dir_ / "damaged.ini";
    vx::test::WriteWholeFile(file, c.bytes);
    if (c.damaged) {
      try {
        g.LoadFromFile(file);
        ADD_FAILURE() << c.name << ": no error";
      } catch (const ERichGridError& e) {
        EXPECT_EQ(e.Message(), "File contains no data or corrupt file " + file) << c.name;
      }
    } else {
      g.LoadFromFile(file);
    }
    EXPECT_EQ(g.ColCount(), c.cols) << c.name;
    EXPECT_EQ(g.RowCount(), c.rows) << c.name;
    EXPECT_EQ(AllCells(g), c.cells) << c.name;
  }
}

TEST_F(GridFiles, ColumnWidthLinesWithinTheGridOnly) {
  TRichStringGrid g(nullptr);
  const std::string file = dir_ / "widths.ini";
  vx::test::WriteWholeFile(file, "3,1\r\ncw 0,300\r\ncw 1,-5\r\ncw 2,9999999\r\ncw 3,40\r\ncw x,7\r\ncw,9\r\ncw 1\r\n");
  g.LoadFromFile(file);
  EXPECT_EQ(g.ColWidths(0), 300);  // widths are not held in a byte
  EXPECT_EQ(g.ColWidths(1), 64);
  EXPECT_EQ(g.ColWidths(2), 64);
}

TEST_F(GridFiles, MissingAndUncreatableFiles) {
  TRichStringGrid g(nullptr);
  const std::string missing = dir_ / "none.ini";
  const std::string folder = dir_.Path();
  auto message = [](auto&& f) -> AnsiString {
    try {
      f();
    } catch (const ERichGridError& e) { return e.Message(); }
    return "no error";
  };
  EXPECT_EQ(message([&] { g.LoadFromFile(missing); }), "Cannot open file " + missing);
  EXPECT_EQ(message([&] { g.SaveToFile(folder); }), "Cannot create " + folder);
  EXPECT_EQ(message([&] { g.SaveToASCII(folder); }), "Cannot create file " + folder);
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

// The cell file and the spreadsheet were written with direct system calls
// the fault hook never saw, so a write failing halfway could not be tested;
// now they go through the OS layer's file, the save fails with its message,
// and the old file stays, with nothing left beside it.
TEST_F(GridFiles, AWriteFailingHalfwayKeepsTheOldFile) {
  struct Case {
    const char* name;
    std::string file;
    std::function<void(TRichStringGrid&, const AnsiString&)> save;
    AnsiString message;  // before the file name
  };
  const Case cases[] = {
      {"cell file", dir_ / "rownum.ini", [](TRichStringGrid& g, const AnsiString& f) { g.SaveToFile(f); },
       "Cannot create "},
      {"spreadsheet", dir_ / "book.xls", [](TRichStringGrid& g, const AnsiString& f) { g.SaveToXLS(f); },
       "Cannot write the file "},
  };
  TRichStringGrid g(nullptr);
  Fill(g, {{"год"_cp, "тираж"_cp}, {"2001", "1 2 3 4 5 6"}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vx::test::WriteWholeFile(c.file, "old contents");
    AnsiString message = "no error";
    {
      vx::test::HalfWriteFault fault(dir_.Path());
      try {
        c.save(g, c.file);
      } catch (const Exception& e) { message = e.Message(); }
      EXPECT_TRUE(fault.Hit());
    }
    EXPECT_EQ(message, c.message + c.file);
    EXPECT_EQ(vx::test::ReadWholeFile(c.file), "old contents");
    EXPECT_EQ(vx::test::FolderNames(dir_.Path()), std::vector<std::string>{std::filesystem::path(c.file).filename()});
    std::filesystem::remove(c.file);
  }
}

// Progress of saving counts the rows of the file range, never beyond 100;
// each percentage fires once.
TEST_F(GridFiles, ProgressByTheRowWithinTheFile) {
  TRichStringGrid g(nullptr);
  g.SetColCount(2);
  g.SetRowCount(7);
  g.SetFixedRows(2);
  g.SetIncludeFixedCells(false);
  std::vector<int> seen;
  g.OnFileProgress = [&](TObject*, short p) { seen.push_back(p); };
  g.SaveToFile(dir_ / "p.ini");
  EXPECT_EQ(seen, (std::vector<int>{0, 25, 50, 75, 100}));

  seen.clear();
  const std::string file = dir_ / "load.ini";
  vx::test::WriteWholeFile(file, "1,3\r\n0,0,a\r\n0,0,b\r\n0,1,c\r\n0,2,d\r\n");
  TRichStringGrid back(nullptr);
  back.OnFileProgress = g.OnFileProgress;
  back.LoadFromFile(file);
  EXPECT_EQ(seen, (std::vector<int>{0, 50, 100}));
}

// --- fixed-width text

class AsciiGrid : public TRichStringGrid {
 public:
  AsciiGrid() : TRichStringGrid(nullptr) {}
  std::vector<TAlignment> columnAlignments;
  void GetCellAlign(int ACol, int, TAlignment& a) override {
    if (static_cast<std::size_t>(ACol) < columnAlignments.size()) a = columnAlignments[static_cast<std::size_t>(ACol)];
  }
};

TEST_F(GridFiles, AsciiColumnsAndAlignment) {
  struct Case {
    const char* name;
    std::vector<std::vector<AnsiString>> cells;
    std::vector<TAlignment> align;
    bool multi;
    std::string want;
  } cases[] = {
      {"left columns", {{"1", "22"}, {"333", ""}}, {}, false, "1   22 \r\n333    \r\n"},
      {"right column of width 3", {{"7"}, {"123"}}, {taRightJustify}, false, "  7 \r\n123 \r\n"},
      // centred: a blank each side until at least the width, then one more
      {"centred may end one wider", {{"ab"}, {"abcde"}}, {taCenter}, false, "  ab  \r\nabcde \r\n"},
      {"only first lines without multi-line cells", {{"a\r\nlonger", "b"}}, {}, false, "a b \r\n"},
      {"continuation lines",
       {{"a\r\nsecond", "r\r\nx\r\ny", "end"}},
       {taLeftJustify, taRightJustify},
       true,
       "a      r end \r\nsecond x\r\n       y\r\n"},
  };
  for (const Case& c : cases) {
    AsciiGrid g;
    g.SetMultilinecells(c.multi);
    g.columnAlignments = c.align;
    Fill(g, c.cells);
    const std::string file = dir_ / "t.asc";
    g.SaveToASCII(file);
    EXPECT_EQ(vx::test::ReadWholeFile(file), c.want) << c.name;
  }
}

TEST_F(GridFiles, AsciiOfACyrillicGrid) {
  AsciiGrid g;
  g.columnAlignments = {taLeftJustify, taRightJustify, taCenter};
  Fill(g, {{"год"_cp, "тираж"_cp, "P1"}, {"2001", "1", "49"}, {"2002", "105", "7"}});
  const std::string file = dir_ / "stat.asc";
  g.SaveToASCII(file);
  EXPECT_EQ(vx::test::ReadWholeFile(file),
            "год"_cp.str() + "  " + "тираж"_cp + " P1 \r\n2001     1 49 \r\n2002   105  7 \r\n");
}

// Columns wider than 255 characters and grids of more than 256 columns keep
// their layout.
TEST_F(GridFiles, AsciiWideColumnsAndManyColumns) {
  AsciiGrid g;
  g.SetColCount(300);
  g.SetRowCount(1);
  g.SetCells(0, 0, AnsiString(300, 'w'));
  for (int c = 1; c < 300; ++c) g.SetCells(c, 0, "x");
  const std::string file = dir_ / "wide.asc";
  g.SaveToASCII(file);
  std::string want = AnsiString(300, 'w') + " ";
  for (int c = 1; c < 300; ++c) want += "x ";
  EXPECT_EQ(vx::test::ReadWholeFile(file), want + "\r\n");
}

}  // namespace
