// The grid's HTML table: the exact text of a Cyrillic grid with colours,
// styles, links, escaping and mark-up; what xmllint and python's
// html.parser read from it; header and footer files, appending, the file
// range.
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

class GridHtml : public richgridtest::RichGridTest {
 protected:
  vx::test::ScratchFolder dir_{"gridhtml-"};
};

// The statistics grid's shape: a fixed heading row and year column,
// alignment and colours from the grid's events.
class SampleGrid : public TRichStringGrid {
 public:
  SampleGrid() : TRichStringGrid(nullptr) {
    SetColCount(3);
    SetRowCount(4);
    SetFixedRows(1);
    SetFixedCols(1);
    const AnsiString cells[4][3] = {{"год"_cp, "тираж"_cp, "Ссылка"_cp},
                                    {"2001", "a<b & c>d", "http://example.org/a?b=1&c=2"},
                                    {"2002", "<B>жирный</B>"_cp, "две\r\nстроки"_cp},
                                    {"", "", "mailto:x@y.z"}};
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 3; ++c) SetCells(c, r, cells[r][c]);
    SetURLShow(true);
    OnGetAlignment = [](TObject*, int, int ACol, TAlignment& a) {
      a = ACol == 1 ? taRightJustify : ACol == 2 ? taCenter : taLeftJustify;
    };
    OnGetCellColor = [](TObject*, int ARow, int ACol, TGridDrawState, TBrush* brush, TFont* font) {
      if (ARow == 1 && ACol == 1) brush->SetColor(clRed);
      if (ARow == 2 && ACol == 2) {
        font->SetColor(clBlue);
        font->SetStyle(TFontStyles{fsBold, fsUnderline});
      }
    };
  }
};

const AnsiString kSampleTable = AnsiString(
                                    "<table border=\"1\" cellspacing=\"0\" cellpadding=\"0\" width=\"100%\">\r\n"
                                    "<tr>\r\n"
                                    "<td nowrap BGCOLOR=\"#D4D0C8\"><B>") +
                                "год"_cp + "</B></td>\r\n<td nowrap align=\"right\" BGCOLOR=\"#D4D0C8\"><B>" +
                                "тираж"_cp + "</B></td>\r\n<td nowrap align=\"center\" BGCOLOR=\"#D4D0C8\"><B>" +
                                "Ссылка"_cp +
                                "</B></td>\r\n"
                                "</tr>\r\n"
                                "<tr>\r\n"
                                "<td nowrap BGCOLOR=\"#D4D0C8\">2001</td>\r\n"
                                "<td nowrap align=\"right\" BGCOLOR=\"#FF0000\">a&lt;b &amp; c&gt;d</td>\r\n"
                                "<td nowrap align=\"center\"><A HREF=\"http://example.org/a?b=1&amp;c=2\">"
                                "example.org/a?b=1&amp;c=2</A></td>\r\n"
                                "</tr>\r\n"
                                "<tr>\r\n"
                                "<td nowrap BGCOLOR=\"#D4D0C8\">2002</td>\r\n"
                                "<td nowrap align=\"right\">" +
                                "<B>жирный</B>"_cp +
                                "</td>\r\n"
                                "<td nowrap align=\"center\"><font color=\"#0000FF\"><B><U>" +
                                "две<br>\nстроки"_cp +
                                "</U></B></font></td>\r\n"
                                "</tr>\r\n"
                                "<tr>\r\n"
                                "<td nowrap BGCOLOR=\"#D4D0C8\"><br></td>\r\n"
                                "<td nowrap><br></td>\r\n"
                                "<td nowrap align=\"center\"><A HREF=\"mailto:x@y.z\">x@y.z</A></td>\r\n"
                                "</tr>\r\n"
                                "</table><p>\r\n";

TEST_F(GridHtml, CyrillicGridWithColoursLinksAndEscapes) {
  SampleGrid g;
  const std::string file = dir_ / "stat.html";
  g.SaveToHTML(file);
  EXPECT_EQ(vx::test::ReadWholeFile(file), kSampleTable);
}

TEST_F(GridHtml, IndependentReadersAgree) {
  SampleGrid g;
  const std::string file = dir_ / "stat.html";
  g.SaveToHTML(file);

  int status = -1;
  const std::string lint = vx::test::RunTool("xmllint --html --noout " + file + " 2>&1", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(lint, "");

  // Every cell's text, alignment, background and font colour as
  // html.parser reads them.
  const std::string dump =
      vx::test::RunTool("/usr/bin/python3 " VX_SOURCE_DIR "/tests/RichGrid/grid_peers.py html " + file, &status);
  ASSERT_EQ(status, 0);
  std::istringstream lines(dump);
  std::string line;
  int cells = 0;
  auto hex = [](const AnsiString& s) {
    std::string h;
    for (unsigned char c : s) h += IntToHex(c, 2);
    return h.empty() ? std::string("-") : LowerCase(h);
  };
  while (std::getline(lines, line)) {
    std::istringstream in(line);
    int r = -1, c = -1;
    std::string align, bg, font, text;
    in >> r >> c >> align >> bg >> font >> text;
    ASSERT_TRUE(r >= 0 && r < 4 && c >= 0 && c < 3) << line;
    ++cells;
    AnsiString want = g.Cells(c, r);
    if (want == "<B>жирный</B>"_cp) want = "жирный"_cp;
    if (want.rfind("http://", 0) == 0) want = want.substr(7);
    if (want.rfind("mailto:", 0) == 0) want = want.substr(7);
    want = StringReplace(want, "\r\n", "\n", TReplaceFlags{rfReplaceAll});
    if (want.empty()) want = "\n";
    EXPECT_EQ(text, hex(want)) << line;
    EXPECT_EQ(align, want == "\n" && r > 0 ? "-" : c == 1 ? "right" : c == 2 ? "center" : "-") << line;
    const bool fixed = r == 0 || c == 0;
    EXPECT_EQ(bg, fixed ? "#D4D0C8" : r == 1 && c == 1 ? "#FF0000" : "-") << line;
    EXPECT_EQ(font, r == 2 && c == 2 ? "#0000FF" : "-") << line;
  }
  EXPECT_EQ(cells, 12);
}

TEST_F(GridHtml, HeaderFooterPrefixSuffixAndAppend) {
  TRichStringGrid g(nullptr);
  g.SetColCount(1);
  g.SetRowCount(1);
  g.SetCells(0, 0, "x");
  g.SetWordWrap(true);
  THTMLSettings& hs = *g.HTMLSettings();
  vx::test::WriteWholeFile(dir_ / "head.txt", "<html>\n<body>");  // LF, no final break
  hs.HeaderFile = dir_ / "head.txt";
  hs.FooterFile = dir_ / "missing.txt";  // left out in silence
  hs.PrefixTag = "<h1>T</h1>";
  hs.SuffixTag = "<hr>";
  hs.TableStyle = "class=\"t\"";
  hs.BorderSize = 2;
  hs.Width = 50;
  const std::string file = dir_ / "page.html";
  const std::string table =
      "<table border=\"2\" cellspacing=\"0\" cellpadding=\"0\" class=\"t\"  width=\"50%\">\r\n"
      "<tr>\r\n<td>x</td>\r\n</tr>\r\n</table><p>\r\n";
  g.SaveToHTML(file);
  const std::string once = "<html>\r\n<body>\r\n<h1>T</h1>\r\n" + table + "<hr>\r\n";
  EXPECT_EQ(vx::test::ReadWholeFile(file), once);
  g.SaveToHTML(file, true);
  EXPECT_EQ(vx::test::ReadWholeFile(file), once + once);
  g.SaveToHTML(dir_ / "new.html", true);  // appending creates a missing file
  EXPECT_EQ(vx::test::ReadWholeFile(dir_ / "new.html"), once);
  g.SaveToHTML(file);  // without Append the file starts again
  EXPECT_EQ(vx::test::ReadWholeFile(file), once);
}

// Without IncludeFixedCells the table leaves out the fixed first rows and
// columns and has no heading row. The footers and the fixed right columns
// used to be left out too.
TEST_F(GridHtml, FileRangeWithoutFixedCells) {
  TRichStringGrid g(nullptr);
  g.SetColCount(4);
  g.SetRowCount(3);
  g.SetFixedRows(1);
  g.SetFixedCols(1);
  g.SetFixedFooters(1);
  g.SetFixedRightCols(1);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) g.SetCells(c, r, IntToStr(c) + IntToStr(r));
  g.SetIncludeFixedCells(false);
  const std::string file = dir_ / "data.html";
  g.SaveToHTML(file);
  EXPECT_EQ(vx::test::ReadWholeFile(file),
            "<table border=\"1\" cellspacing=\"0\" cellpadding=\"0\" width=\"100%\">\r\n"
            "<tr>\r\n<td nowrap>11</td>\r\n<td nowrap>21</td>\r\n<td nowrap>31</td>\r\n</tr>\r\n"
            "<tr>\r\n<td nowrap>12</td>\r\n<td nowrap>22</td>\r\n<td nowrap>32</td>\r\n</tr>\r\n</table><p>\r\n");
}

TEST_F(GridHtml, SaveColorAndSaveFontsOff) {
  SampleGrid g;
  g.HTMLSettings()->SaveColor = false;
  g.HTMLSettings()->SaveFonts = false;
  g.SetURLShow(false);
  g.SetURLFull(true);
  const std::string file = dir_ / "plain.html";
  g.SaveToHTML(file);
  const std::string html = vx::test::ReadWholeFile(file);
  EXPECT_EQ(html.find("#FF0000"), std::string::npos);
  EXPECT_EQ(html.find("<font"), std::string::npos);
  EXPECT_NE(html.find(AnsiString("<td nowrap align=\"center\">") + "две<br>\nстроки"_cp + "</td>"), std::string::npos);
  EXPECT_NE(html.find("<td nowrap align=\"center\">http://example.org/a?b=1&amp;c=2</td>"), std::string::npos);
}

}  // namespace
