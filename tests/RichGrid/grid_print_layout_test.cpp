// Page layout of printing and preview on the recording printer (254 dots
// per inch: a device pixel is a tenth of a millimetre) with fixed metrics.
// With the plain settings a column of "A00" takes 63 + 20 (the gap), a row
// 40 + 5 + 2 x 5 = 55, the header 100; a page of 1000 x 600 holds 9
// columns between margins of 100, and 5 rows above a footer with an item
// (2 x 45 + 100) or 6 above an empty one (45 + 100). A cell's text starts
// 2 + 21 right of its column: the first at x = 123, y = -100.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "grid_print_support.h"
#include "platform/rtl/dateutils.h"

namespace {

using namespace richgridtest;

constexpr int kPageW = 1000, kPageH = 600;

class GridPrintLayout : public RichGridTest {
 protected:
  void SetUp() override {
    RichGridTest::SetUp();
    printer = std::make_unique<RecordingPrinter>(kPageW, kPageH);
    PlainSettings(g.PrintSettings());
  }
  // The labels of column 0 on a page, top to bottom.
  std::vector<std::string> FirstColumn(std::size_t page) const {
    std::vector<std::string> out;
    for (const TextAt& t : printer->PageTexts(page))
      if (t.x == 123 && t.text.size() == 3 && t.text[0] == 'A') out.push_back(t.text);
    return out;
  }
  std::unique_ptr<RecordingPrinter> printer;
  Grid g;
};

TEST_F(GridPrintLayout, PagesBreakAboveTheFooterAndNumberThemselves) {
  struct Case {
    TPrintPosition position;
    const char* separator;
    int rows;
    std::vector<std::string> numbers;  // the page-number text of each page
    int x, y;                          // where the first one is drawn
  };
  const Case cases[] = {
      {ppBottomRight, "/", 12, {"  1/3 ", "  2/3 ", "  3/3 "}, kPageW - 6 * 21 - 20 - 100, -kPageH + 40 + 5 + 100},
      {ppBottomRight, "", 12, {"  1 ", "  2 ", "  3 "}, kPageW - 4 * 21 - 20 - 100, -kPageH + 145},
      {ppBottomRight, "/", 4, {"  1 "}, kPageW - 4 * 21 - 20 - 100, -kPageH + 145},
      {ppBottomLeft, "/", 12, {" 1/3  ", " 2/3  ", " 3/3  "}, 100, -kPageH + 145},
      {ppBottomCenter, "/", 12, {"  1/3 ", "  2/3 ", "  3/3 "}, (kPageW - 6 * 21) / 2, -kPageH + 145},
      {ppTopRight, "/", 12, {"  1/3 ", "  2/3 ", "  3/3 "}, kPageW - 6 * 21 - 20 - 100, -100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.position) + " rows " + std::to_string(c.rows));
    Fill(g, 3, c.rows);
    g.PrintSettings()->SetPageNr(c.position);
    g.PrintSettings()->SetPageNumSep(c.separator);
    g.Print();
    const auto pages = printer->Pages();
    ASSERT_EQ(pages.size(), c.numbers.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
      const TextAt number = Find(RecordedTexts(pages[p]), c.numbers[p]);
      EXPECT_NE(number.x, -1) << "page " << p + 1;
      if (p == 0) {
        EXPECT_EQ(number.x, c.x);
        EXPECT_EQ(number.y, c.y);
      }
    }
    // Five rows a page under either header or footer item.
    if (c.rows == 12) {
      EXPECT_EQ(FirstColumn(0), (std::vector<std::string>{"A00", "A01", "A02", "A03", "A04"}));
      EXPECT_EQ(FirstColumn(2), (std::vector<std::string>{"A10", "A11"}));
    }
    // The first row starts below the header.
    EXPECT_EQ(Find(printer->PageTexts(0), "A00").y, c.position == ppTopRight ? -145 : -100);
  }
}

TEST_F(GridPrintLayout, WideGridsPrintInBandsNumberedRowPageDashBand) {
  struct Case {
    bool repeatCols;
    std::vector<std::string> numbers;
    // On the first page of band 2: where column J stands, and whether the
    // fixed column A is printed again.
    int jX;
    bool fixedAgain;
  };
  const Case cases[] = {
      {true, {"  1-1 ", "  2-1 ", "  1-2 ", "  2-2 ", "  1-3 ", "  2-3 "}, 100 + 83 + 23, true},
      {false, {"  1-1 ", "  2-1 ", "  1-2 ", "  2-2 ", "  1-3 ", "  2-3 "}, 123, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.repeatCols);
    Fill(g, 20, 8);
    g.SetFixedCols(1);
    g.PrintSettings()->SetRepeatFixedCols(c.repeatCols);
    g.PrintSettings()->SetPageNr(ppBottomRight);
    g.Print();
    const auto pages = printer->Pages();
    ASSERT_EQ(pages.size(), c.numbers.size());
    for (std::size_t p = 0; p < pages.size(); ++p) EXPECT_NE(Find(RecordedTexts(pages[p]), c.numbers[p]).x, -1) << p;
    // Band 1 holds columns A..I, band 2 starts with J.
    const auto band1 = printer->PageTexts(0), band2 = printer->PageTexts(2);
    EXPECT_NE(Find(band1, "I00").x, -1);
    EXPECT_EQ(Find(band1, "J00").x, -1);
    EXPECT_EQ(Find(band2, "I00").x, -1);
    EXPECT_EQ(Find(band2, "J00").x, c.jX);
    EXPECT_EQ(Find(band2, "A00").x == 123, c.fixedAgain);
    // Band 3 ends with the last column.
    EXPECT_NE(Find(printer->PageTexts(4), "T00").x, -1);
  }
}

TEST_F(GridPrintLayout, FixedRowsRepeatExceptOnTheFirstPageOfARangeFromRowZero) {
  Fill(g, 3, 12);
  g.SetFixedRows(1);
  g.PrintSettings()->SetRepeatFixedRows(true);
  g.Print();
  ASSERT_EQ(printer->Pages().size(), 3u);
  EXPECT_EQ(FirstColumn(0), (std::vector<std::string>{"A00", "A01", "A02", "A03", "A04", "A05"}));
  EXPECT_EQ(FirstColumn(1), (std::vector<std::string>{"A00", "A06", "A07", "A08", "A09", "A10"}));
  EXPECT_EQ(FirstColumn(2), (std::vector<std::string>{"A00", "A11"}));

  // A range that starts below the fixed rows has them on its first page.
  g.PrintCells(TGridRect{0, 5, 2, 11});
  EXPECT_EQ(FirstColumn(0), (std::vector<std::string>{"A00", "A05", "A06", "A07", "A08", "A09"}));
  EXPECT_EQ(FirstColumn(1), (std::vector<std::string>{"A00", "A10", "A11"}));
}

TEST_F(GridPrintLayout, HeaderAndFooterItemsJoinByTheirSide) {
  vx::SetClock([] { return EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 0, 0); });
  struct Case {
    TPrintPosition position;
    std::string text;
    int x;
  };
  const std::string left = "Report Page 1 end 2024-03-05 14:07 ";
  const std::string right = " 14:07 2024-03-05 Page 1 end Report";
  const int w = static_cast<int>(right.size()) * 21;
  const Case cases[] = {
      {ppTopLeft, left, 100},
      {ppTopRight, right, kPageW - w - 20 - 100},
      {ppTopCenter, right, (kPageW - w) / 2},
      {ppBottomLeft, left, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    Fill(g, 3, 2);
    TPrintsettings* ps = g.PrintSettings();
    ps->SetTime(c.position);
    ps->SetDate(c.position);
    ps->SetPageNr(c.position);
    ps->SetTitle(c.position);
    ps->SetDateFormat("yyyy-mm-dd");
    ps->SetPagePrefix("Page");
    ps->SetPageSuffix("end");
    ps->SetTitleText("");
    ps->TitleLines()->Clear();
    ps->TitleLines()->Add("Report");
    ps->TitleLines()->Add("Second line");
    g.Print();
    const auto texts = printer->PageTexts(0);
    const TextAt item = Find(texts, c.text);
    ASSERT_NE(item.x, -1);
    EXPECT_EQ(item.x, c.x);
    const bool top = c.position <= ppTopCenter;
    EXPECT_EQ(item.y, top ? -100 : -kPageH + 40 + 5 + 100);
    // Further title lines go below the first at the title's position.
    const TextAt second = Find(texts, "Second line");
    EXPECT_EQ(second.y, item.y - 40);
    // A top title with two lines makes the header one line taller.
    EXPECT_EQ(Find(texts, "A00").y, top ? -(5 + 40 + 100 + 40) : -100);
  }
  vx::SetClock({});
}

TEST_F(GridPrintLayout, APageRangeDrawsItsPagesNumberedAgainstTheWholeJob) {
  Fill(g, 3, 25);
  g.PrintSettings()->SetPageNr(ppBottomRight);
  int offered = 0;
  g.OnPrintStart = [&](TObject*, int pages, int& from, int& to) {
    offered = pages;
    from = 2;
    to = 3;
  };
  std::vector<std::vector<int>> started;
  g.OnPrintPage = [&](TObject*, TCanvas*, int page, int w, int h) { started.push_back({page, w, h}); };
  g.Print();
  EXPECT_EQ(offered, 5);
  EXPECT_EQ(started, (std::vector<std::vector<int>>{{2, kPageW, -kPageH}, {3, kPageW, -kPageH}}));
  const auto pages = printer->Pages();
  ASSERT_EQ(pages.size(), 2u);  // no blank sheet in front of page 2
  EXPECT_NE(Find(RecordedTexts(pages[0]), "  2/5 ").x, -1);
  EXPECT_EQ(FirstColumn(0).front(), "A05");
  EXPECT_NE(Find(RecordedTexts(pages[1]), "  3/5 ").x, -1);
  EXPECT_EQ(printer->Backend()->DocumentsEnded, 1);
}

TEST_F(GridPrintLayout, AnEmptyOrCancelledRangePrintsNothing) {
  Fill(g, 3, 25);
  const std::pair<int, int> ranges[] = {{3, 2}, {0, 5}, {1, 0}, {6, 9}};
  for (const auto& [from, to] : ranges) {
    g.OnPrintStart = [&](TObject*, int, int& f, int& t) {
      f = from;
      t = to;
    };
    g.Print();
    EXPECT_EQ(printer->Backend()->DocumentsEnded, 0) << from << ".." << to;
  }
}

TEST_F(GridPrintLayout, FitToPageScalesTheColumnsByItsRule) {
  struct Case {
    const char* name;
    int cols;
    TFitToPage fit;
    bool allow;
    int step;  // from one column's text to the next
  };
  // Three columns: (1000 - 200 - 60) / (249 - 60) = 3.915, 63 -> 246.
  // Twenty-one: (1000 - 200 - 420) / (1743 - 420) = 0.287, 63 -> 18.
  const Case cases[] = {
      {"never", 3, fpNever, true, 83},          {"shrink, narrow", 3, fpShrink, true, 83},
      {"grow, narrow", 3, fpGrow, true, 266},   {"always, narrow", 3, fpAlways, true, 266},
      {"custom", 3, fpCustom, true, 266},       {"custom refused", 3, fpCustom, false, 83},
      {"shrink, wide", 21, fpShrink, true, 38}, {"grow, wide", 21, fpGrow, true, 83},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fill(g, c.cols, 2);
    g.PrintSettings()->SetFitToPage(c.fit);
    double asked = 0;
    g.OnFitToPage = [&](TObject*, double& factor, bool& allow) {
      asked = factor;
      allow = c.allow;
    };
    g.Print();
    const auto texts = printer->PageTexts(0);
    EXPECT_EQ(Find(texts, "B01").x - Find(texts, "A01").x, c.step);
    if (c.fit == fpCustom) { EXPECT_NEAR(asked, 740.0 / 189.0, 1e-9); }
    // Shrunk to fit, every column is on the one page.
    if (c.cols == 21 && c.fit == fpShrink) { EXPECT_EQ(printer->Pages().size(), 1u); }
  }
}

TEST_F(GridPrintLayout, EventsBreakPagesAndSetColumnWidths) {
  Fill(g, 3, 12);
  g.OnPrintNewPage = [](TObject*, int row, bool& newPage) { newPage = row == 3 || row == 12; };
  g.OnPrintSetColumnWidth = [](TObject*, int col, int& width) {
    if (col == 1) width = 200;
  };
  g.Print();
  // A break after row 2; none after the last row (no empty page).
  ASSERT_EQ(printer->Pages().size(), 3u);
  EXPECT_EQ(FirstColumn(0), (std::vector<std::string>{"A00", "A01", "A02"}));
  EXPECT_EQ(FirstColumn(1).front(), "A03");
  EXPECT_EQ(FirstColumn(2), (std::vector<std::string>{"A09", "A10", "A11"}));
  const auto texts = printer->PageTexts(0);
  EXPECT_EQ(Find(texts, "B00").x - Find(texts, "A00").x, 83);
  EXPECT_EQ(Find(texts, "C00").x - Find(texts, "B00").x, 220);
}

TEST_F(GridPrintLayout, CentredBandsIgnoreTheLeftMargin) {
  Fill(g, 3, 2);
  g.PrintSettings()->SetLeftSize(300);
  g.PrintSettings()->SetCentered(true);
  g.Print();
  EXPECT_EQ(Find(printer->PageTexts(0), "A00").x, (kPageW - 3 * 83) / 2 + 23);
}

// A band is cut at the right margin, the left margin counted: with a left
// margin of 300 only seven columns fit, and the eighth is not lost past the
// paper's edge.
TEST_F(GridPrintLayout, BandsEndAtTheRightMargin) {
  Fill(g, 9, 2);
  g.PrintSettings()->SetLeftSize(300);
  g.Print();
  ASSERT_EQ(printer->Pages().size(), 2u);
  const auto first = printer->PageTexts(0);
  EXPECT_NE(Find(first, "G00").x, -1);
  EXPECT_EQ(Find(first, "H00").x, -1);
  EXPECT_EQ(Find(printer->PageTexts(1), "H00").x, 323);
  // A column wider than the page is printed alone, then the others.
  Fill(g, 3, 2);
  g.SetCells(0, 0, AnsiString(60, 'w'));
  g.Print();
  ASSERT_EQ(printer->Pages().size(), 2u);
  EXPECT_EQ(Find(printer->PageTexts(0), "A01").x, 323);
  EXPECT_EQ(Find(printer->PageTexts(0), "B01").x, -1);
  EXPECT_EQ(Find(printer->PageTexts(1), "B01").x, 323);
}

// The column tables grow with the grid: 300 columns in bands of 9.
TEST_F(GridPrintLayout, MoreThan256ColumnsPrint) {
  Fill(g, 300, 2);
  int offered = 0;
  g.OnPrintStart = [&](TObject*, int pages, int&, int&) { offered = pages; };
  g.Print();
  EXPECT_EQ(offered, 34);
  const auto pages = printer->Pages();
  ASSERT_EQ(pages.size(), 34u);
  EXPECT_EQ(RecordedTexts(pages.back()).size(), 3u * 2u);  // columns 297..299
}

// The pages counted before the job are the pages drawn, and counting draws
// nothing (on the printer's information context).
TEST_F(GridPrintLayout, TheCountedPagesAreThePagesDrawn) {
  const std::pair<int, int> sizes[] = {{3, 1}, {3, 6}, {3, 7}, {20, 30}, {5, 101}};
  for (const auto& [cols, rows] : sizes) {
    Fill(g, cols, rows);
    g.PrintSettings()->SetPageNr(ppBottomCenter);
    int offered = -1;
    g.OnPrintStart = [&](TObject*, int pages, int&, int&) { offered = pages; };
    g.Print();
    EXPECT_EQ(static_cast<int>(printer->Pages().size()), offered) << cols << "x" << rows;
    ASSERT_NE(printer->Backend()->LastInfoDevice(), nullptr);
    EXPECT_TRUE(printer->Backend()->LastInfoDevice()->Calls.empty());
  }
}

TEST_F(GridPrintLayout, TheMappingModeComesBackWhateverHappens) {
  Fill(g, 3, 12);
  vx::RecordingDevice device(254, TRect{0, 0, kPageW, kPageH});
  TCanvas canvas(&device);
  g.PrintPreview(&canvas, TRect{0, 0, kPageW, kPageH});
  EXPECT_EQ(canvas.MapMode(), MM_TEXT);

  g.OnPrintPage = [](TObject*, TCanvas*, int, int, int) { throw std::runtime_error("page refused"); };
  EXPECT_THROW(g.PrintPreview(&canvas, TRect{0, 0, kPageW, kPageH}), std::runtime_error);
  EXPECT_EQ(canvas.MapMode(), MM_TEXT);

  // A failed print job is dropped, not left open.
  EXPECT_THROW(g.Print(), std::runtime_error);
  EXPECT_TRUE(printer->Backend()->Aborted);
  EXPECT_FALSE(printer->Printer().Printing());
}

// The sketch of the print-settings dialog shows page 1 alone, and neither
// later previews nor prints nor the preview page notice it.
TEST_F(GridPrintLayout, TheSketchLeavesLaterJobsAlone) {
  Fill(g, 3, 25);
  g.PrintSettings()->SetPageNr(ppBottomRight);
  g.SetPreviewPage(2);
  vx::RecordingDevice sketch(254, TRect{0, 0, kPageW, kPageH});
  TCanvas sketchCanvas(&sketch);
  g.PrintSketch(&sketchCanvas, TRect{0, 0, kPageW, kPageH});
  EXPECT_NE(Find(RecordedTexts(sketch.Calls), "  1 ").x, -1);
  EXPECT_EQ(g.PrintPageFrom(), 2);

  vx::RecordingDevice preview(254, TRect{0, 0, kPageW, kPageH});
  TCanvas previewCanvas(&preview);
  g.PrintPreview(&previewCanvas, TRect{0, 0, kPageW, kPageH});
  EXPECT_NE(Find(RecordedTexts(preview.Calls), "  2/5 ").x, -1);
  g.Print();
  EXPECT_EQ(printer->Pages().size(), 5u);
  EXPECT_EQ(g.PrintPageFrom(), 2);  // printing keeps the preview's page
  EXPECT_EQ(g.PrintPageTo(), 2);
}

// The preview measures the cells once; repainting a page asks only for the
// cells it draws until a cell changes.
// Measuring a cell reads its text (a formula cell's through
// FormulaCellText): the count of those reads shows what was measured.
class CountingGrid : public Grid {
 public:
  int reads = 0;
  AnsiString FormulaCellText(int, int, const AnsiString& text) override {
    ++reads;
    return text.substr(1);
  }
};

TEST_F(GridPrintLayout, APreviewRepaintMeasuresNothingAgain) {
  CountingGrid g;
  PlainSettings(g.PrintSettings());
  Fill(g, 4, 400);
  for (int r = 0; r < 400; ++r)
    for (int c = 0; c < 4; ++c) g.SetCells(c, r, "=" + Label(c, r));
  int asked = 0;
  g.OnGetCellPrintColor = [&](TObject*, int, int, TGridDrawState, TBrush*, TFont*) { ++asked; };
  vx::RecordingDevice device(254, TRect{0, 0, kPageW, kPageH});
  TCanvas canvas(&device);
  g.SetPreviewPage(3);
  g.PrintPreview(&canvas, TRect{0, 0, kPageW, kPageH});
  EXPECT_GE(asked, 4 * 400);
  EXPECT_GE(g.reads, 4 * 400);
  g.reads = 0;
  g.PrintPreview(&canvas, TRect{0, 0, kPageW, kPageH});
  EXPECT_EQ(g.reads, 4 * 6);  // the six rows of page 3 are drawn, nothing measured
  g.SetCells(1, 1, "=changed");
  asked = g.reads = 0;
  g.PrintPreview(&canvas, TRect{0, 0, kPageW, kPageH});
  EXPECT_GE(asked, 4 * 400);
  EXPECT_GE(g.reads, 4 * 400);
}

// A colour event whose answer changed after a first preview (the same
// cells, the same settings) used to leave that preview's widths and heights
// in later previews and in the print. Each later layout is the one a grid
// answering so from the start gets.
TEST_F(GridPrintLayout, AColourEventsNewAnswerIsMeasuredAgain) {
  struct Case {
    const char* name;
    int size;  // of column 1's font, 10 at first
  } cases[] = {{"larger", 20}, {"smaller", 6}, {"the same", 10}};
  auto answer = [](const int& size) {
    return [&size](TObject*, int, int col, TGridDrawState, TBrush*, TFont* font) {
      if (col == 1) font->SetSize(size);
    };
  };
  auto placed = [](const std::vector<TextAt>& texts) {
    std::vector<std::string> where;
    for (const TextAt& t : texts) where.push_back(t.text + "@" + std::to_string(t.x) + "," + std::to_string(t.y));
    return where;
  };
  // The texts of the first preview page and of the first printed page.
  auto layouts = [&](Grid& grid) {
    vx::RecordingDevice device(254, TRect{0, 0, kPageW, kPageH});
    TCanvas canvas(&device);
    grid.SetPreviewPage(1);
    grid.PrintPreview(&canvas, TRect{0, 0, kPageW, kPageH});
    grid.Print();
    return std::pair{placed(RecordedTexts(device.Calls)), placed(printer->PageTexts(0))};
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int size = 10;
    Grid grid;
    PlainSettings(grid.PrintSettings());
    Fill(grid, 4, 30);
    grid.OnGetCellPrintColor = answer(size);
    layouts(grid);
    size = c.size;
    const auto later = layouts(grid);

    Grid fresh;
    PlainSettings(fresh.PrintSettings());
    Fill(fresh, 4, 30);
    fresh.OnGetCellPrintColor = answer(size);
    const auto expected = layouts(fresh);
    EXPECT_EQ(later.first, expected.first);
    EXPECT_EQ(later.second, expected.second);
  }
}

// The preview used to lay its pages out at the size of the preview
// rectangle: a rectangle smaller than the paper gave more pages than the
// printer prints ("3/24" while 15 were printed). It shows the printer's
// pages now, each reduced into the rectangle.
TEST_F(GridPrintLayout, ThePreviewShowsThePagesThePrinterPrints) {
  Fill(g, 3, 60);
  g.PrintSettings()->SetPageNr(ppBottomRight);
  int offered = -1;
  g.OnPrintStart = [&](TObject*, int pages, int&, int&) { offered = pages; };
  g.Print();
  ASSERT_EQ(offered, 12);
  const std::string last = "  12/12 ";
  const struct {
    const char* what;
    TRect rect;
    int dpi;  // at which the page fills the rectangle
  } cases[] = {
      {"half the page's size", TRect{0, 0, 500, 300}, 127},
      {"the page's size", TRect{0, 0, kPageW, kPageH}, 254},
      {"a tall rectangle further in", TRect{40, 30, 540, 1030}, 127},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    vx::RecordingDevice device(254, TRect{0, 0, 2000, 2000});
    TCanvas canvas(&device);
    g.SetPreviewPage(12);
    g.PrintPreview(&canvas, c.rect);
    const auto texts = RecordedTexts(device.Calls);
    // The printer's last page: its rows and its number, where the
    // printer has them, scaled into the rectangle.
    std::set<std::string> shown, printed;
    for (const TextAt& t : texts) shown.insert(t.text);
    for (const TextAt& t : printer->PageTexts(11)) printed.insert(t.text);
    EXPECT_EQ(shown, printed);
    const TextAt number = Find(texts, last), onPaper = Find(printer->PageTexts(11), last);
    ASSERT_NE(number.x, -1);
    // (The text is measured again at the reduced size: a few pixels off.)
    EXPECT_NEAR(number.x, c.rect.Left + onPaper.x * c.dpi / 254, 6);
    EXPECT_NEAR(-number.y, c.rect.Top - onPaper.y * c.dpi / 254, 2);
    for (const std::string& call : device.Calls) {
      if (call.rfind("Text ", 0) != 0) continue;
      EXPECT_LE(std::stoi(call.substr(5)), c.rect.Right) << call;
    }
    // A page past the printer's last is empty.
    vx::RecordingDevice after(254, TRect{0, 0, 2000, 2000});
    TCanvas afterCanvas(&after);
    g.SetPreviewPage(13);
    g.PrintPreview(&afterCanvas, c.rect);
    EXPECT_TRUE(RecordedTexts(after.Calls).empty());
  }
}

}  // namespace
