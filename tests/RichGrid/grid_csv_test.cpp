// Reading separated values: delimiter detection, quoting, line breaks in
// fields, appending, the file range, OEM text; files written by python's
// csv module in every delimiter, quoting, line end and code page; a draw
// import file.
#include <gtest/gtest.h>

#include <sstream>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/rich_grid_test_support.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"

namespace {

class GridCsv : public richgridtest::RichGridTest {
 protected:
  std::string File(const std::string& bytes) {
    const std::string path = dir_ / "in.csv";
    vx::test::WriteWholeFile(path, bytes);
    return path;
  }
  vx::test::ScratchFolder dir_{"gridcsv-"};
};

// The grid row by row, cells joined by '|', rows by '/'.
std::string Shape(const TRichStringGrid& g) {
  std::string out;
  for (int r = 0; r < g.RowCount(); ++r) {
    if (r) out += "/";
    for (int c = 0; c < g.ColCount(); ++c) out += (c ? "|" : "") + g.Cells(c, r);
  }
  return out;
}

TEST_F(GridCsv, FieldsAndDelimiters) {
  struct Case {
    const char* name;
    std::string bytes;
    char delimiter;
    std::string want;
  } cases[] = {
      {"detected ';'", "a;b;c\r\nd;e;f\r\n", 0, "a|b|c/d|e|f"},
      {"',' wins a tie with ';'", "a,b;c\r\nd,e;f\r\n", 0, "a|b;c/d|e;f"},
      {"one line is one field", "a;b;c\r\n", 0, "a;b;c"},
      {"no candidate in both lines", "a;b\r\nc\r\n", 0, "a;b/c"},
      {"doubled candidates do not count", "a;;b\r\nc;;d\r\n", 0, "a;;b/c;;d"},
      {"tab detected", "a\tb\r\nc\td\r\n", 0, "a|b/c|d"},
      {"given delimiter", "a|b\r\nc|d|e\r\n", '|', "a|b|/c|d|e"},
      // "" is a quote; the lone quote closes the field.
      {"quoted delimiter and quotes", "\"x;\"\"y\"\"\";z\r\n", ';', "x;\"y\"|z"},
      {"quoted field at the end", "a;\"b\"\"c\"\r\n", ';', "a|b\"c"},
      {"empty quoted field", "\"\";b\r\n", ';', "|b"},
      {"text after the closing quote is dropped", "\"ab\"cd;e\r\n", ';', "ab|e"},
      // In the last field it used to be dropped too.
      {"text after the closing quote of the last field stays", "\"abc\" def\r\n", ';', "abc\" def"},
      {"... after a delimiter, less a quote at its end", "x;\"ab\"c\"\"d\"\r\ny", ';', "x|ab\"c\"d/y|"},
      {"quotes inside an unquoted field stay", "a\"b;c\"\"d\r\n", ';', "a\"b|c\"\"d"},
      {"a delimiter at the end starts no field", "a;b;\r\nc\r\n", ';', "a|b/c|"},
      {"empty lines are empty rows", "a;b\r\n\r\nc;d", ';', "a|b/|/c|d"},
      {"LF line ends", "a;b\nc;d\n", ';', "a|b/c|d"},
      {"CR line ends", "a;b\rc;d", ';', "a|b/c|d"},
      // A CR alone is the grid's line break as it stands (it used to become CR LF).
      {"line break inside quotes", "\"a\nb\";\"c\r\nd\";\"e\rf\"\r\ng\r\n", ';', "a\r\nb|c\r\nd|e\rf/g||"},
      {"unclosed quote takes the rest", "a;\"b;c\r\nd\r\n", ';', "a|b;c\r\nd\r\n"},
      {"leading blank makes no quoted field", " \"a\";b\r\n", ';', " \"a\"|b"},
      {"empty file", "", ';', ""},
  };
  for (const Case& c : cases) {
    TRichStringGrid g(nullptr);
    g.SetColCount(1);
    g.SetDelimiter(c.delimiter);
    g.LoadFromCSV(File(c.bytes));
    EXPECT_EQ(Shape(g), c.want) << c.name;
    EXPECT_EQ(g.Delimiter(), c.delimiter) << c.name;  // detection holds for one call
  }
}

TEST_F(GridCsv, TildeLineBreaksAndOemText) {
  TRichStringGrid g(nullptr);
  g.SetColCount(1);
  g.SetDelimiter(';');
  g.SetTildeLineBreaks(true);
  g.LoadFromCSV(File("a~b;\"c~d\"\r\n"));
  EXPECT_EQ(Shape(g), "a\r\nb|c\r\nd");

  TRichStringGrid oem(nullptr);
  oem.SetColCount(1);
  oem.SetDelimiter(';');
  oem.SetOemConvert(true);
  oem.LoadFromCSV(File(vx::Cp1251ToCp866("год;\"тираж\"\r\n"_cp)));
  EXPECT_EQ(Shape(oem), "год|тираж"_cp.str());
}

TEST_F(GridCsv, AppendAndTheFileRange) {
  TRichStringGrid g(nullptr);
  g.SetDelimiter(';');
  g.SetColCount(3);
  g.SetRowCount(2);
  g.SetFixedRows(1);
  g.SetFixedCols(1);
  g.SetCells(0, 0, "h");
  g.SetCells(1, 1, "old");
  g.SetIncludeFixedCells(false);
  g.LoadFromCSV(File("a;b;c\r\nd\r\n"));
  // Below and right of the fixed cells; columns grow, rows are set.
  EXPECT_EQ(Shape(g), "h|||/|a|b|c/|d||");
  g.LoadFromCSV(File("e;f\r\n"), true);  // new rows below, same column offset
  EXPECT_EQ(Shape(g), "h|||/|a|b|c/|d||/|e|f|");

  TRichStringGrid all(nullptr);
  all.SetColCount(5);
  all.SetRowCount(9);
  all.LoadFromCSV(File("1;2\r\n3\r\n"));
  EXPECT_EQ(all.RowCount(), 2);  // the row count follows the file
  EXPECT_EQ(all.ColCount(), 5);  // the column count only grows
}

TEST_F(GridCsv, ProgressAndMissingFile) {
  TRichStringGrid g(nullptr);
  std::vector<int> seen;
  g.OnFileProgress = [&](TObject*, short p) { seen.push_back(p); };
  g.LoadFromCSV(File("a\r\nb\r\nc\r\nd\r\n"));
  EXPECT_EQ(seen, (std::vector<int>{25, 50, 75, 100}));
  const std::string missing = dir_ / "none.csv";
  try {
    g.LoadFromCSV(missing);
    ADD_FAILURE() << "no error";
  } catch (const ERichGridError& e) { EXPECT_EQ(e.Message(), "Cannot open file " + missing); }
}

// A record's fields go into its row without touching its other cells, also
// when a handler fails halfway.
TEST_F(GridCsv, OtherCellsOfARowStayEvenWhenAHandlerFails) {
  TRichStringGrid g(nullptr);
  g.SetColCount(3);
  g.SetRowCount(3);
  for (int r = 0; r < 3; ++r) g.SetCells(2, r, "keep" + IntToStr(r));
  g.SetDelimiter(';');
  g.OnFileProgress = [](TObject*, short p) {
    if (p >= 50) throw Exception("stop");
  };
  EXPECT_THROW(g.LoadFromCSV(File("a;b\r\nc;d\r\n\r\ne;f\r\n")), Exception);
  EXPECT_EQ(Shape(g), "a|b|keep0/c|d|keep1/||keep2/||");
}

std::string Hex(const AnsiString& s) {
  std::string h;
  for (unsigned char c : s) h += IntToHex(c, 2);
  return h.empty() ? std::string("-") : LowerCase(h);
}

// python's csv module writes the sample (Cyrillic, delimiters, tabs,
// quotes, runs of quotes, line breaks inside fields) and reads it back; the
// grid must hold the same fields. An LF inside a field is compared as CR
// LF; CR LF and a CR alone as they are. Runs of four and more quotes agree too: both undouble "" inside a
// quoted field.
TEST_F(GridCsv, FilesOfPythonsCsvModule) {
  int variants = 0;
  for (const char* delimiter : {";", ",", "tab", "|"})
    for (const char* quoting : {"minimal", "all"})
      for (const char* encoding : {"cp1251", "cp866"})
        for (const char* terminator : {"crlf", "lf"}) {
          const std::string file = dir_ / "py.csv";
          int status = -1;
          const std::string want =
              vx::test::RunTool("/usr/bin/python3 " VX_SOURCE_DIR "/tests/RichGrid/grid_peers.py csv " + file + " '" +
                                    delimiter + "' " + quoting + " " + encoding + " " + terminator,
                                &status);
          ASSERT_EQ(status, 0) << delimiter << quoting << encoding;
          for (bool detect : {true, false}) {
            TRichStringGrid g(nullptr);
            g.SetColCount(1);
            g.SetOemConvert(std::string(encoding) == "cp866");
            const std::string d = delimiter;
            g.SetDelimiter(detect ? '\0' : d == "tab" ? '\t' : d[0]);
            g.LoadFromCSV(file);
            std::string got;
            for (int r = 0; r < g.RowCount(); ++r) {
              for (int c = 0; c < g.ColCount(); ++c) got += (c ? " " : "") + Hex(g.Cells(c, r));
              got += "\n";
            }
            EXPECT_EQ(got, want) << delimiter << " " << quoting << " " << encoding << " " << terminator << " "
                                 << detect;
          }
          ++variants;
        }
  EXPECT_EQ(variants, 32);
}

// A foreign draw file as the import reads it: date "yyyy.m.d" and 20 numbers.
TEST_F(GridCsv, DrawImportFile) {
  const std::string file = dir_ / "draws.txt";
  int status = -1;
  vx::test::RunTool("/usr/bin/python3 " VX_SOURCE_DIR "/tests/RichGrid/grid_peers.py csvdraws " + file + " 500",
                    &status);
  ASSERT_EQ(status, 0);
  TRichStringGrid g(nullptr);
  g.SetDelimiter(';');
  g.LoadFromCSV(file);
  ASSERT_EQ(g.RowCount(), 500);
  ASSERT_EQ(g.ColCount(), 21);
  EXPECT_EQ(g.Cells(0, 0), "1990.1.1");
  EXPECT_EQ(g.Cells(0, 499), "1994.8.24");
  for (int r = 0; r < 500; ++r)
    for (int k = 0; k < 20; ++k) ASSERT_EQ(g.Cells(k + 1, r), IntToStr(1 + (r * 7 + k * 13) % 49)) << r << " " << k;
}

}  // namespace
