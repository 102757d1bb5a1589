// The chart model without a window: series read from a data set, paging,
// automatic and set axes, zoom, scrolling, data extent and events; and the
// painter on a recording canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/chart/chart_model.h"
#include "platform/chart/chart_painter.h"
#include "platform/db/field_types.h"
#include "tests/platform/db/memory_dataset.h"

namespace {

// A draw table DRAW, P1, P2 with n records: P1 = draw, P2 = 100 - draw.
std::unique_ptr<TMemoryDataSet> DrawTable(int n) {
  auto ds = std::make_unique<TMemoryDataSet>(
      std::vector<MemoryFieldSpec>{{"DRAW", ftInteger}, {"P1", ftInteger}, {"P2", ftInteger}});
  ds->LogCalls = false;
  for (int i = 1; i <= n; ++i) ds->AddRow({i, i, 100 - i});
  ds->Open();
  return ds;
}

struct Events {
  int page = 0, zoom = 0, undo = 0, scroll = 0;
  void Attach(vx::ChartModel& chart) {
    chart.OnPageChange = [this](TObject*) { ++page; };
    chart.OnZoom = [this](TObject*) { ++zoom; };
    chart.OnUndoZoom = [this](TObject*) { ++undo; };
    chart.OnScroll = [this](TObject*) { ++scroll; };
  }
};

class ChartModelTest : public ::testing::Test {
 protected:
  void Bind(int records) {
    table = DrawTable(records);
    for (const char* field : {"P1", "P2"}) {
      auto* s = new TLineSeries(&owner);
      s->SetParentChart(&chart);
      s->SetDataSource(table.get());
      s->YValues()->SetValueSource(field);
      s->SetXLabelsSource("DRAW");
      s->SetTitle(field);
    }
    events.Attach(chart);
  }
  TComponent owner{nullptr};
  std::unique_ptr<TMemoryDataSet> table;
  vx::ChartModel chart;
  Events events;
};

TEST_F(ChartModelTest, SeriesReadTheDataSetInOrderAndLeaveItsCursorAlone) {
  Bind(5);
  table->First();
  table->MoveBy(2);
  TChartSeries* p2 = chart.Series(1);
  ASSERT_EQ(chart.Series(0)->Count(), 5);
  ASSERT_EQ(p2->Count(), 5);
  EXPECT_EQ(p2->XValue(0), 0);
  EXPECT_EQ(p2->YValue(0), 99);
  EXPECT_EQ(p2->YValue(4), 95);
  EXPECT_EQ(p2->XLabel(3), "4");
  EXPECT_EQ(table->FieldByName("DRAW")->AsInteger(), 3);
  EXPECT_FALSE(table->ControlsDisabled());
  EXPECT_NE(chart.Series(0)->SeriesColor(), p2->SeriesColor());

  // A field the table lacks, a closed table and a destroyed table give no points.
  p2->YValues()->SetValueSource("P9");
  EXPECT_EQ(p2->Count(), 0);
  p2->YValues()->SetValueSource("P2");
  table->Close();
  EXPECT_EQ(chart.Series(0)->Count(), 5) << "points already read stay until the source changes";
  p2->CheckDataSource();
  EXPECT_EQ(p2->Count(), 0);
  table.reset();
  EXPECT_EQ(p2->DataSource(), nullptr);
}

TEST_F(ChartModelTest, PagingSplitsThePointsIntoPages) {
  Bind(25);
  EXPECT_EQ(chart.NumPages(), 1);
  chart.SetMaxPointsPerPage(10);
  EXPECT_EQ(events.page, 1);
  EXPECT_EQ(chart.NumPages(), 3);
  EXPECT_EQ(chart.Page(), 1);
  chart.SetPage(3);
  EXPECT_EQ(chart.FirstPointIndex(), 20);
  EXPECT_EQ(chart.LastPointIndex(), 24);
  EXPECT_EQ(chart.BottomAxis()->Minimum(), 20);
  EXPECT_EQ(chart.BottomAxis()->Maximum(), 24);
  EXPECT_EQ(chart.LeftAxis()->Minimum(), 21) << "P1 21..25 and P2 75..79 on page 3";
  EXPECT_EQ(chart.LeftAxis()->Maximum(), 79);
  chart.NextPage();
  EXPECT_EQ(chart.Page(), 3);
  EXPECT_EQ(events.page, 2) << "a page that does not change fires nothing";
  chart.SetPage(99);
  EXPECT_EQ(chart.Page(), 3);
  chart.PreviousPage();
  EXPECT_EQ(chart.Page(), 2);
  chart.SetMaxPointsPerPage(20);
  EXPECT_EQ(chart.Page(), 2);
  chart.SetMaxPointsPerPage(0);
  EXPECT_EQ(chart.Page(), 1) << "the page is kept within the new page count";
  EXPECT_EQ(chart.LastPointIndex(), 24);
}

TEST_F(ChartModelTest, SetAxesRefuseAMinimumAboveTheMaximum) {
  Bind(11);
  TChartAxis* bottom = chart.BottomAxis();
  EXPECT_TRUE(bottom->Automatic());
  EXPECT_FALSE(bottom->SetMinimum(20));
  EXPECT_FALSE(bottom->Automatic()) << "the range in effect was frozen";
  EXPECT_EQ(bottom->Minimum(), 0);
  EXPECT_EQ(bottom->Maximum(), 10);
  EXPECT_TRUE(bottom->SetMaximum(30));
  EXPECT_TRUE(bottom->SetMinimum(20));
  EXPECT_FALSE(bottom->SetMaximum(19));
  bottom->SetMinMax(8, 2);
  EXPECT_EQ(bottom->Minimum(), 2);
  EXPECT_EQ(bottom->Maximum(), 8);
  EXPECT_EQ(events.scroll, 0);
  bottom->Scroll(1.5);
  EXPECT_EQ(bottom->Minimum(), 3.5);
  EXPECT_EQ(bottom->Maximum(), 9.5);
  EXPECT_EQ(events.scroll, 1);
  bottom->SetAutomatic(true);
  EXPECT_EQ(bottom->Maximum(), 10);
}

TEST_F(ChartModelTest, ZoomAboutTheCentreAndUndo) {
  Bind(11);  // x 0..10, y 1..99
  chart.ZoomPercent(120);
  EXPECT_TRUE(chart.Zoomed());
  EXPECT_EQ(events.zoom, 1);
  EXPECT_NEAR(chart.BottomAxis()->Minimum(), 5 - 5 / 1.2, 1e-9);
  EXPECT_NEAR(chart.BottomAxis()->Maximum(), 5 + 5 / 1.2, 1e-9);
  EXPECT_NEAR(chart.LeftAxis()->Range(), 98 / 1.2, 1e-9);
  chart.ZoomPercent(80);
  EXPECT_NEAR(chart.BottomAxis()->Range(), 10 / 1.2 / 0.8, 1e-9);
  chart.UndoZoom();
  EXPECT_FALSE(chart.Zoomed());
  EXPECT_EQ(events.undo, 1);
  for (TChartAxisKind k : {akLeft, akRight, akTop, akBottom}) EXPECT_TRUE(chart.Axis(k)->Automatic());
  EXPECT_EQ(chart.BottomAxis()->Range(), 10);
}

TEST_F(ChartModelTest, MouseZoomAndPanWorkInPlotPixels) {
  Bind(11);
  chart.SetChartRect(Rect(100, 0, 200, 98));  // 10 px per x unit, 1 px per y unit
  EXPECT_EQ(chart.XPos(5), 150);
  EXPECT_EQ(chart.YPos(1), 98);
  EXPECT_EQ(chart.XValue(120), 2);
  chart.ZoomRect(Rect(120, 48, 121, 90));
  EXPECT_EQ(events.zoom, 0) << "a rectangle narrower than 3 pixels is no zoom";
  chart.ZoomRect(Rect(140, 58, 120, 18));
  EXPECT_EQ(events.zoom, 1);
  EXPECT_EQ(chart.BottomAxis()->Minimum(), 2);
  EXPECT_EQ(chart.BottomAxis()->Maximum(), 4);
  EXPECT_EQ(chart.TopAxis()->Maximum(), 4);
  EXPECT_EQ(chart.LeftAxis()->Minimum(), 41);
  EXPECT_EQ(chart.RightAxis()->Maximum(), 81);
  chart.PanPixels(20, -10);  // the data follows the pointer right and up
  EXPECT_EQ(events.scroll, 1);
  EXPECT_NEAR(chart.BottomAxis()->Minimum(), 2 - 20 * 2 / 100.0, 1e-9);
  EXPECT_NEAR(chart.LeftAxis()->Minimum(), 41 - 10 * 40 / 98.0, 1e-9);
}

TEST_F(ChartModelTest, DataExtentCoversEveryPointAndIsNaNWithoutData) {
  EXPECT_TRUE(std::isnan(chart.MinXValue()));
  EXPECT_TRUE(std::isnan(chart.MaxYValue()));
  EXPECT_EQ(chart.LeftAxis()->Range(), 1) << "an empty chart still has a range";
  Bind(25);
  chart.SetMaxPointsPerPage(10);
  EXPECT_EQ(chart.MinXValue(), 0);
  EXPECT_EQ(chart.MaxXValue(), 24);
  EXPECT_EQ(chart.MinYValue(), 1);
  EXPECT_EQ(chart.MaxYValue(), 99);
  chart.Series(1)->SetActive(false);
  EXPECT_EQ(chart.MaxYValue(), 25);
}

TEST(ChartPainterTest, StepsLabelsAndThinning) {
  struct {
    double range;
    int ticks;
    double step;
  } steps[] = {{98, 10, 10}, {98, 5, 20}, {1, 4, 0.5}, {0, 5, 1}, {7, 1, 10}, {0.03, 3, 0.01}};
  for (const auto& c : steps) EXPECT_DOUBLE_EQ(vx::NiceStep(c.range, c.ticks), c.step) << c.range << "/" << c.ticks;
  EXPECT_EQ(vx::AxisLabel(20, 10), "20");
  EXPECT_EQ(vx::AxisLabel(0.5, 0.5), "0.5");
  EXPECT_EQ(vx::LabelStride(24, 40), 1);
  EXPECT_EQ(vx::LabelStride(24, 1), 32);
  EXPECT_EQ(vx::LabelStride(24, 0), 1);
}

TEST_F(ChartModelTest, PainterDrawsLegendAxesAndOneClippedLinePerSeries) {
  Bind(30);
  chart.SetMaxPointsPerPage(20);
  chart.SetPage(2);  // points 20..29
  vx::RecordingDevice device;
  TCanvas canvas(&device);
  vx::PaintChart(chart, canvas, Rect(0, 0, 400, 300));
  const TRect plot = chart.ChartRect();
  EXPECT_GT(plot.Width(), 300);
  EXPECT_GT(plot.Top, 20) << "the legend lies above the plot";
  auto has = [&](const std::string& part) {
    return std::any_of(device.Calls.begin(), device.Calls.end(),
                       [&](const std::string& c) { return c.find(part) != std::string::npos; });
  };
  EXPECT_TRUE(has("\"P1\"") && has("\"P2\""));
  EXPECT_TRUE(has("\"21\"") && has("\"30\"")) << "draw labels of page 2";
  EXPECT_FALSE(has("\"20\" ")) << "no label of page 1";
  // P1 in red: 9 segments between the 10 points of the page.
  const auto red = std::count_if(device.Calls.begin(), device.Calls.end(), [](const std::string& c) {
    return c.rfind("Line ", 0) == 0 && c.find("pen=0000FF") != std::string::npos;
  });
  EXPECT_EQ(red, 9 + 1) << "nine segments and the legend mark";
  EXPECT_TRUE(has("Clip " + std::to_string(plot.Left + 1)));
}

}  // namespace
