// The number table: geometry and drawing on the recording canvas, clicks
// through real mouse events, selection limits and an offscreen grab.
#include "app/lottotable/lottotable.h"

#include <QImage>
#include <QWidget>

#include "app_test_support.h"
#include "platform/gui/core/forms.h"

namespace {

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
  std::vector<std::string> Paint() {
    vx::RecordingDevice device;
    table->PaintTo(&device);
    return device.Calls;
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
  const auto calls = Paint();
  ASSERT_EQ(calls.size(), 24u * 6 + 2);
  // 100 x 100 in 5 x 5 cells: faces 1..19; the 6 x 13 text at 1 + 9 - 3
  // and 1 + 9 - round(6.5).
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 8),
            (std::vector<std::string>{
                "Rectangle 1,1,19,19 pen=C8D0D4 brush=C8D0D4", "Line 1,19,1,1 pen=000000", "Line 1,1,19,1 pen=000000",
                "Line 19,1,19,19 pen=808080", "Line 19,19,2,19 pen=808080", "Text 7,4 \"1\" font=000000 brush=C8D0D4",
                "Rectangle 0,20,19,39 pen=00FFFF brush=00FFFF", "Text 7,24 \"2\" font=000000 brush=00FFFF"}));
}

TEST_F(LottoTableTest, CellEdgesRoundHalvesToEvenAndNumbersAboveMaxTotalAreInactive) {
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
    std::vector<int> edges;
    for (int i = 0; i < c.side; ++i) edges.push_back(table->CellRect(i, i).Top - 1);
    edges.push_back(table->CellRect(c.side - 1, 0).Right + 1);
    EXPECT_EQ(edges, c.edges) << c.width << "/" << c.side;
  }
  Shape(140, 7);
  table->SetMaxTotal(45);
  table->Reset();
  int texts = 0, inactive = 0;
  for (const std::string& call : Paint()) {
    texts += call.rfind("Text", 0) == 0;
    inactive += call.rfind("Rectangle", 0) == 0 && call.find("brush=000000") != std::string::npos;
  }
  EXPECT_EQ(texts, 45);
  EXPECT_EQ(inactive, 4);
  EXPECT_EQ(table->Cell(6, 6), TLottoTable::csInactive);
  EXPECT_EQ(table->CellToNumber(false, 1, 0), 8);
  EXPECT_EQ(table->CellToNumber(true, 1, 0), 2);
}

TEST_F(LottoTableTest, ClicksMarkOnlyFreeActiveCellsWithinTheLimit) {
  Shape(200, 9);
  vx::SendClick(table, 10, 10);  // before Reset marking is not allowed
  table->SetMaxSelected(3);
  table->SetMaxTotal(70);
  table->Reset();
  vx::SendClick(table, 199, 199);  // the last pixels: 81, above MaxTotal
  table->SetMaxTotal(81);
  vx::SendClick(table, 199, 199);  // 81
  vx::SendClick(table, 22, 0);     // the first pixel of the second column: 10
  vx::SendClick(table, 23, 1);     // 10 again
  vx::SendClick(table, 0, 0);      // 1: the limit is reached
  vx::SendClick(table, 100, 100);  // over the limit
  EXPECT_EQ(events, (std::vector<std::pair<int, int>>{{8, 8}, {1, 0}, {0, 0}}));
  EXPECT_EQ(table->AllSelected(), 3);
  EXPECT_EQ(clicks, 7);
  table->SetNumberOfColumns(0);
  table->Reset();
  vx::SendClick(table, 10, 10);
  EXPECT_EQ(events.size(), 3u);
}

TEST_F(LottoTableTest, SelectNumberAndResetKeepTheirBounds) {
  table->SetMaxSelected(2);
  table->Reset();
  dialogs.Expect(vx::DialogKind::Message, "26 out of range", mrOk);
  for (int n : {26, 3, 3, 7, 8}) table->SelectNumber(n);
  EXPECT_EQ(table->AllSelected(), 2);
  EXPECT_EQ(table->Cell(1, 1), TLottoTable::csMarked);  // 7
  for (int v : {21, -1}) table->SetNumberOfRows(v);
  EXPECT_EQ(table->NumberOfRows(), 5);
  Shape(60, 3);
  table->SetBombs(100);
  table->Reset();  // as many bombs as cells, no endless search
  EXPECT_EQ(table->Cell(2, 2), TLottoTable::csHidden);
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
