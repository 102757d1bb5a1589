// Printed cells, drawn as a preview page on a recording canvas of 254 dots
// per inch (a pixel is a tenth of a millimetre; recorded y = -layout y)
// with the plain settings: a line of the 10-point font is 40 high, unit 5,
// a character 21 wide; a one-line row is 40 + 5 + 10 = 55 high and the
// first row's top is at y = -100.
#include <gtest/gtest.h>

#include "grid_print_support.h"

namespace {

using namespace richgridtest;

constexpr int kPageW = 1000, kPageH = 600;

class GridPrintedCells : public RichGridTest {
 protected:
  void SetUp() override {
    RichGridTest::SetUp();
    PlainSettings(g.PrintSettings());
  }
  std::vector<std::string> Preview() {
    vx::RecordingDevice device(254, TRect{0, 0, kPageW, kPageH});
    TCanvas canvas(&device);
    g.SetPreviewPage(1);
    g.PrintPreview(&canvas, TRect{0, 0, kPageW, kPageH});
    return device.Calls;
  }
  // The preview lays its pages out on the printer's information context.
  RecordingPrinter printer{kPageW, kPageH};
  Grid g;
};

TEST_F(GridPrintedCells, RowsTakeTheirTallestCellPlusTheirSpacing) {
  struct Case {
    const char* name;
    std::function<void(Grid&)> setup;
    int secondRowY;  // where the text of row 2 starts
  };
  const Case cases[] = {
      {"one line each", [](Grid&) {}, -100 - 55 - 55},
      // An empty cell measures one line; its row takes h div 8 + 2 x unit +
      // RowSpacing beyond that as every row does.
      {"empty row", [](Grid& g) { g.ClearRows(1, 1); }, -100 - 55 - 55},
      {"row spacing 30",
       [](Grid& g) {
         g.ClearRows(1, 1);
         g.PrintSettings()->SetRowSpacing(30);
       },
       -100 - 85 - 85},
      {"fixed height 100",
       [](Grid& g) {
         g.PrintSettings()->SetUseFixedHeight(true);
         g.PrintSettings()->SetFixedHeight(100);
       },
       -100 - 2 * (100 + 12 + 10)},
      {"row height event",
       [](Grid& g) { g.OnPrintSetRowHeight = [](TObject*, int row, int& h) { h = row == 0 ? 80 : 40; }; },
       -100 - (80 + 10 + 10) - 55},
      {"three lines in row 1",
       [](Grid& g) {
         g.SetMultilinecells(true);
         g.SetCells(1, 1, "x\ry\rz");
       },
       -100 - 55 - (120 + 15 + 10)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Grid fresh;
    PlainSettings(fresh.PrintSettings());
    Fill(fresh, 2, 3);
    c.setup(fresh);
    vx::RecordingDevice device(254, TRect{0, 0, kPageW, kPageH});
    TCanvas canvas(&device);
    fresh.PrintPreview(&canvas, TRect{0, 0, kPageW, kPageH});
    EXPECT_EQ(Find(RecordedTexts(device.Calls), "A02").y, c.secondRowY);
  }
}

TEST_F(GridPrintedCells, TextsArePlacedByAlignmentAndVerticalAlignment) {
  struct Case {
    TAlignment alignment;
    TVAlignment vAlignment;
    int x, y;  // of "A00" in the cell 100..183 wide, -100..-155 high
  };
  const Case cases[] = {
      {taLeftJustify, vtaTop, 100 + 2 + 21, -100},
      {taRightJustify, vtaTop, 183 - 63 - 21, -100},
      {taCenter, vtaTop, 100 + (83 - 2 - 63) / 2 + 2, -100},
      {taLeftJustify, vtaCenter, 123, -100 - (55 - 40) / 2},
      // At the bottom the text ends on the cell's bottom edge.
      {taLeftJustify, vtaBottom, 123, -155 + 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.alignment) + "/" + std::to_string(c.vAlignment));
    Fill(g, 1, 1);
    g.OnGetAlignment = [&](TObject*, int, int, TAlignment& a) { a = c.alignment; };
    g.SetVAlignment(c.vAlignment);
    const TextAt t = Find(RecordedTexts(Preview()), "A00");
    EXPECT_EQ(t.x, c.x);
    EXPECT_EQ(t.y, c.y);
  }
}

TEST_F(GridPrintedCells, LinesOfAMultiLineCellFillTheRowDownToItsBottom) {
  Fill(g, 2, 1);
  g.SetMultilinecells(true);
  g.SetCells(0, 0, "x\ry\rz");
  g.SetVAlignment(vtaBottom);
  const auto texts = RecordedTexts(Preview());
  // h = 3 x 40, the row 120 + 15 + 10 = 145 high, a line step 40 + 5.
  const int top = -100, rowHeight = 145, step = 45;
  EXPECT_EQ(Find(texts, "x").y, top - (rowHeight - 3 * step));
  EXPECT_EQ(Find(texts, "y").y, Find(texts, "x").y - step);
  EXPECT_EQ(Find(texts, "z").y - step, top - rowHeight);
  EXPECT_EQ(Find(texts, "B00").y - 40, top - rowHeight);
}

TEST_F(GridPrintedCells, WrappedCellsNeedWordWrapAndTheScreenWidths) {
  Fill(g, 2, 1);
  g.SetCells(0, 0, "aaaa bbbb cccc dddd");
  // The screen's 64 pixels less 4 are 159 tenths of a millimetre: seven
  // characters a line.
  g.SetWordWrap(true);
  g.PrintSettings()->SetNoAutoSize(true);
  auto texts = RecordedTexts(Preview());
  EXPECT_NE(Find(texts, "aaaa").x, -1);
  EXPECT_NE(Find(texts, "dddd").x, -1);
  // Wrapped cells are laid out in the whole cell.
  EXPECT_EQ(Find(texts, "B00").x, 100 + 159 + 20);
  // Word wrap alone keeps one line and a column as wide as the text.
  g.PrintSettings()->SetNoAutoSize(false);
  texts = RecordedTexts(Preview());
  EXPECT_NE(Find(texts, "aaaa bbbb cccc dddd").x, -1);
  EXPECT_EQ(Find(texts, "B00").x, 100 + 19 * 21 + 20 + 23);
}

TEST_F(GridPrintedCells, PicturesPrintOnlyWithPrintGraphics) {
  Fill(g, 2, 1);
  g.SetEnableGraphics(true);
  TBitmap picture(20, 10);
  g.AddPicture(0, 0, &picture, false);
  const int w = 53, h = 26;  // 20 x 10 screen pixels on paper
  // Off: no picture, and the column is as wide as its text.
  auto calls = Preview();
  EXPECT_EQ(Count(calls, "Bitmap"), 0);
  EXPECT_EQ(Find(RecordedTexts(calls), "B00").x, 100 + 83 + 23);
  // On: at the left and top of the cell, the text after it.
  g.PrintSettings()->SetPrintGraphics(true);
  calls = Preview();
  ASSERT_EQ(Count(calls, "Bitmap"), 1);
  for (const std::string& c : calls)
    if (c.rfind("Bitmap", 0) == 0)
      EXPECT_EQ(c, "Bitmap 100,100," + std::to_string(100 + w) + "," + std::to_string(100 + h) + " 20x10");
  EXPECT_EQ(Find(RecordedTexts(calls), "A00").x, 100 + w + 2 + 21);
  EXPECT_EQ(Find(RecordedTexts(calls), "B00").x, 100 + 63 + w + 20 + 23);
}

TEST_F(GridPrintedCells, PicturePlacements) {
  struct Case {
    int horizontal, vertical;
    TRect at;  // recorded (device) rectangle of a 53 x 26 picture in 100..183 x 100..155
  };
  const Case cases[] = {
      {0, 0, TRect{100, 100, 153, 126}}, {1, 1, TRect{130, 129, 183, 155}}, {2, 2, TRect{115, 114, 168, 140}},
      {3, 3, TRect{100, 129, 153, 155}}, {4, 4, TRect{130, 100, 183, 126}}, {5, 5, TRect{100, 100, 183, 155}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.horizontal) + "," + std::to_string(c.vertical));
    Grid fresh;
    PlainSettings(fresh.PrintSettings());
    fresh.PrintSettings()->SetPrintGraphics(true);
    fresh.PrintSettings()->SetUseFixedWidth(true);
    fresh.PrintSettings()->SetFixedWidth(83);
    fresh.SetColCount(1);
    fresh.SetRowCount(1);
    fresh.SetEnableGraphics(true);
    TBitmap picture(20, 10);
    fresh.AddPicture(0, 0, &picture, false);
    fresh.CellGraphic(0, 0)->Position = static_cast<std::uint8_t>(c.horizontal);
    fresh.CellGraphic(0, 0)->VertPosition = static_cast<std::uint8_t>(c.vertical);
    vx::RecordingDevice device(254, TRect{0, 0, kPageW, kPageH});
    TCanvas canvas(&device);
    fresh.PrintPreview(&canvas, TRect{0, 0, kPageW, kPageH});
    const std::string expected = "Bitmap " + std::to_string(c.at.Left) + "," + std::to_string(c.at.Top) + "," +
                                 std::to_string(c.at.Right) + "," + std::to_string(c.at.Bottom) + " 20x10";
    EXPECT_EQ(Count(device.Calls, expected), 1) << device.Calls.size();
  }
}

TEST_F(GridPrintedCells, LinesFollowTheBorderChoice) {
  // Three columns, two rows: 2 row tops, the bottom, 4 column edges, or the
  // 4 sides of the page's frame.
  struct Case {
    TPrintBorders borders;
    bool cellHandler;
    int lines;
  };
  const Case cases[] = {
      {pbNoborder, false, 0},
      {pbSingle, false, 2 + 1 + 4},
      {pbDouble, false, 2 + 1 + 4},
      {pbVertical, false, 4},
      {pbHorizontal, false, 2 + 1},
      {pbAround, false, 4},
      {pbAroundVertical, false, 4 + 4},
      {pbAroundHorizontal, false, 4 + 2 + 1},
      // Custom draws only what the cell query asks for.
      {pbCustom, false, 0},
      {pbCustom, true, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.borders);
    Fill(g, 3, 2);
    g.PrintSettings()->SetBorders(c.borders);
    g.OnGetCellPrintBorder = nullptr;
    if (c.cellHandler) g.OnGetCellPrintBorder = [](TObject*, int, int, TPen*, TCellBorders& b) { b.Include(cbBottom); };
    const auto calls = Preview();
    EXPECT_EQ(Count(calls, "Line"), c.lines);
    if (c.borders == pbDouble) { EXPECT_NE(calls.back().find("pen=000000/10"), std::string::npos); }
  }
}

// Mark-up is laid out in device pixels with its font at the printed size:
// here as wide as plain text of the same characters.
TEST_F(GridPrintedCells, MarkupCellsPrintAtTheirPrintedSize) {
  Fill(g, 2, 1);
  g.SetCells(0, 0, "<B>bold</B> tail");
  const auto texts = RecordedTexts(Preview());
  const TextAt bold = Find(texts, "bold");
  ASSERT_NE(bold.x, -1);
  EXPECT_EQ(bold.y, -100);
  EXPECT_EQ(Find(texts, "tail").x - bold.x, 5 * 21);
  EXPECT_EQ(Find(texts, "B00").x, 100 + 9 * 21 + 20 + 23);
}

// A turned cell turns on paper the way it turns on screen: a positive
// angle counter-clockwise.
TEST_F(GridPrintedCells, TurnedTextKeepsTheScreensDirection) {
  Fill(g, 2, 1);
  g.SetEnableGraphics(true);
  g.CreateCellGraphic(0, 0, ctValue)->Mode = 90;
  const TextAt t = Find(RecordedTexts(Preview()), "A00");
  EXPECT_EQ(t.angle, "900");
  // Turned, the text is 40 wide and 63 high: its column is 40 + 20 wide,
  // its row 63 + 7 + 10 high; it starts at its lower left corner, 2 in
  // (and aWidth to the right, being left-aligned).
  EXPECT_EQ(t.x, 100 + 2 + 21);
  EXPECT_EQ(t.y, -100 - 63 - 2);
  EXPECT_EQ(Find(RecordedTexts(Preview()), "B00").x, 100 + 60 + 23);
}

TEST_F(GridPrintedCells, CellColoursFillTheCell) {
  Fill(g, 2, 1);
  g.OnGetCellPrintColor = [](TObject*, int, int col, TGridDrawState, TBrush* brush, TFont* font) {
    if (col == 1) brush->SetColor(clYellow);
    font->SetColor(clRed);
  };
  const auto calls = Preview();
  EXPECT_EQ(Count(calls, "FillRect 183,100,266,155 brush=00FFFF"), 1);
  EXPECT_EQ(Count(calls, "FillRect"), 1);
  EXPECT_EQ(Count(calls, "Text 123,100 \"A00\" font=0000FF"), 1);
}

}  // namespace
