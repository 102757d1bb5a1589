// The number table: cell geometry and drawing on the recording canvas,
// numbering, clicks through real mouse events, selection limits and an
// offscreen grab.
#include "app/lottotable/lottotable.h"

#include <QImage>
#include <QWidget>

#include "app_test_support.h"
#include "platform/gui/forms.h"

namespace {

std::vector<std::string> Paint(TLottoTable& t) {
  vx::RecordingDevice device;
  t.PaintTo(&device);
  return device.Calls;
}

// The outer spans of the columns: left - 1 of each cell face, then the
// right edge of the last one.
std::vector<int> ColumnEdges(const TLottoTable& t) {
  std::vector<int> edges;
  for (int c = 0; c < t.NumberOfColumns(); ++c) edges.push_back(t.CellRect(c, 0).Left - 1);
  edges.push_back(t.CellRect(t.NumberOfColumns() - 1, 0).Right + 1);
  return edges;
}

class LottoTableTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form = new TForm(nullptr);
    table = new TLottoTable(form, form);
    table->OnCellClick = [this](TObject*, int x, int y) { events.push_back({x, y}); };
    table->OnClick = [this](TObject*) { ++clicks; };
  }
  void TearDown() override {
    delete form;
    AppTest::TearDown();
  }
  void Shape(int width, int side) {
    table->SetBounds(0, 0, width, width);
    table->SetNumberOfColumns(side);
    table->SetNumberOfRows(side);
  }
  TForm* form = nullptr;
  TLottoTable* table = nullptr;
  std::vector<std::pair<int, int>> events;
  int clicks = 0;
};

}  // namespace

TEST_F(LottoTableTest, DrawsClearAndMarkedCellsWithRaisedEdgesAndCentredNumbers) {
  table->SetBackColor(clYellow);
  table->Reset();
  table->SelectNumber(2);  // column 0, row 1: numbering runs down the columns
  const auto calls = Paint(*table);
  ASSERT_EQ(calls.size(), 24u * 6 + 2);
  // 100 x 100 with 5 x 5 cells of 20: faces 1..19; the text of 6 x 13
  // pixels sits at 1 + 9 - 3 and 1 + 9 - round(6.5) = 1 + 9 - 6.
  const std::vector<std::string> first(calls.begin(), calls.begin() + 6);
  EXPECT_EQ(first, (std::vector<std::string>{
                       "Rectangle 1,1,19,19 pen=C8D0D4 brush=C8D0D4",
                       "Line 1,19,1,1 pen=000000",
                       "Line 1,1,19,1 pen=000000",
                       "Line 19,1,19,19 pen=808080",
                       "Line 19,19,2,19 pen=808080",
                       "Text 7,4 \"1\" font=000000 brush=C8D0D4",
                   }));
  EXPECT_EQ(calls[6], "Rectangle 0,20,19,39 pen=00FFFF brush=00FFFF");
  EXPECT_EQ(calls[7], "Text 7,24 \"2\" font=000000 brush=00FFFF");
}

TEST_F(LottoTableTest, CellEdgesRoundHalvesToEven) {
  struct Case {
    int width, side;
    std::vector<int> edges;
  } cases[] = {
      {100, 5, {0, 20, 40, 60, 80, 100}},
      {200, 9, {0, 22, 44, 67, 89, 111, 133, 156, 178, 200}},
      {100, 8, {0, 12, 25, 38, 50, 62, 75, 88, 100}},  // 12.5 per cell
      {45, 6, {0, 8, 15, 22, 30, 38, 45}},             // 7.5 per cell
  };
  for (const Case& c : cases) {
    Shape(c.width, c.side);
    EXPECT_EQ(ColumnEdges(*table), c.edges) << c.width << "/" << c.side;
    EXPECT_EQ(table->CellRect(c.side - 1, c.side - 1).Bottom, c.width - 1);
  }
}

TEST_F(LottoTableTest, NumbersAboveMaxTotalAreInactiveAndUnnumbered) {
  Shape(140, 7);
  table->SetMaxTotal(45);
  table->Reset();
  std::vector<std::string> texts;
  int black = 0;
  for (const std::string& call : Paint(*table)) {
    if (call.rfind("Text", 0) == 0) texts.push_back(call.substr(call.find('"')));
    if (call.find("Rectangle") == 0 && call.find("brush=000000") != std::string::npos) ++black;
  }
  ASSERT_EQ(texts.size(), 45u);
  EXPECT_EQ(texts.back().substr(0, 4), "\"45\"");
  EXPECT_EQ(black, 4);
  for (int n : {46, 49}) {
    int c, r;
    table->NumberToCell(false, n, c, r);
    EXPECT_EQ(table->Cell(c, r), TLottoTable::csInactive) << n;
  }
}

TEST_F(LottoTableTest, NumberingRunsDownColumnsOrAlongRows) {
  Shape(200, 9);
  EXPECT_EQ(table->CellToNumber(false, 1, 0), 10);
  EXPECT_EQ(table->CellToNumber(true, 1, 0), 2);
  for (bool throughRow : {false, true})
    for (int n : {1, 10, 45, 81}) {
      int c, r;
      table->NumberToCell(throughRow, n, c, r);
      EXPECT_EQ(table->CellToNumber(throughRow, c, r), n);
    }
  int c, r;
  table->NumberToCell(false, 82, c, r);
  EXPECT_EQ(c, -1);
  EXPECT_EQ(r, -1);
}

TEST_F(LottoTableTest, ClickOnTheLastPixelsMarksTheLastCell) {
  Shape(200, 9);
  table->Reset();
  vx::SendClick(table, 199, 199);
  EXPECT_EQ(table->Cell(8, 8), TLottoTable::csMarked);
  EXPECT_EQ(events, (std::vector<std::pair<int, int>>{{8, 8}}));
  vx::SendClick(table, 22, 0);  // the first pixel of the second column's span
  EXPECT_EQ(events.back(), std::make_pair(1, 0));
}

TEST_F(LottoTableTest, ClicksThatMustNotMarkChangeNothing) {
  Shape(100, 5);
  vx::SendClick(table, 10, 10);  // before Reset marking is not allowed
  table->SetMaxSelected(2);
  table->SetMaxTotal(20);
  table->Reset();
  vx::SendClick(table, 10, 10);  // 1: marked
  vx::SendClick(table, 12, 12);  // 1 again: already marked
  vx::SendClick(table, 90, 90);  // 25: inactive
  vx::SendClick(table, 30, 10);  // 6: marked, the limit is reached
  vx::SendClick(table, 50, 50);  // 13: over the limit
  EXPECT_EQ(events, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}}));
  EXPECT_EQ(table->AllSelected(), 2);
  EXPECT_EQ(clicks, 6);
  table->SetNumberOfColumns(0);
  table->Reset();
  vx::SendClick(table, 10, 10);
  EXPECT_EQ(table->AllSelected(), 0);
  EXPECT_EQ(events.size(), 2u);
}

TEST_F(LottoTableTest, SelectNumberKeepsLimitsAndReportsNumbersWithoutACell) {
  table->SetMaxSelected(2);
  table->Reset();
  dialogs.Expect(vx::DialogKind::Message, "26 out of range", mrOk);
  for (int n : {26, 3, 3, 7, 8}) table->SelectNumber(n);
  EXPECT_EQ(table->AllSelected(), 2);
  EXPECT_EQ(table->Cell(0, 2), TLottoTable::csMarked);
  EXPECT_EQ(table->Cell(1, 1), TLottoTable::csMarked);
  EXPECT_EQ(table->Cell(1, 2), TLottoTable::csClear);
  for (int v : {21, -1}) {
    table->SetNumberOfRows(v);
    EXPECT_EQ(table->NumberOfRows(), 5);
  }
}

TEST_F(LottoTableTest, BombsBeyondTheCellsAreClampedAndHidden) {
  Shape(60, 3);
  table->SetBombs(100);
  table->Reset();
  int hidden = 0;
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 3; ++r) hidden += table->Cell(c, r) == TLottoTable::csHidden;
  EXPECT_EQ(hidden, 9);
  EXPECT_EQ(table->AllSelected(), 0);
}

TEST_F(LottoTableTest, OffscreenGrabShowsMarkedAndClearCells) {
  Shape(200, 9);
  table->SetBackColor(clYellow);
  table->Reset();
  table->SelectNumber(1);
  form->SetBounds(0, 0, 220, 220);
  form->Show();
  Application->ProcessMessages();
  const QImage image = table->Widget()->grab().toImage();
  ASSERT_EQ(image.width(), 200);
  EXPECT_EQ(image.pixel(3, 3) & 0xFFFFFF, 0xFFFF00u);    // the marked cell
  EXPECT_EQ(image.pixel(25, 3) & 0xFFFFFF, 0xD4D0C8u);   // a clear one
  EXPECT_EQ(image.pixel(199, 3) & 0xFFFFFF, 0x808080u);  // the shadow edge of the last column
  form->Hide();
}
