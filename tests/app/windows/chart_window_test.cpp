// The chart window over draw tables: its series, paging buttons and page
// indicator, zoom buttons and keys, axis shifts, scroll bars and reset;
// and an offscreen picture of a 1,000-draw base.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <cmath>
#include <memory>

#include "app/windows/chart_window.h"
#include "platform/db/field_types.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/input_simulation.h"
#include "sample_draw_base.h"
#include "tests/platform/db/memory_dataset.h"
#include "tests/support/scratch_folder.h"

namespace {

// YEAR, DRAW, P1..P6 with `records` draws: Pk = draw + k.
std::unique_ptr<TMemoryDataSet> Draws(int records) {
  std::vector<MemoryFieldSpec> specs{{"YEAR", ftInteger}, {"DRAW", ftInteger}};
  for (int k = 1; k <= 6; ++k) specs.push_back({"P" + std::to_string(k), ftInteger});
  auto ds = std::make_unique<TMemoryDataSet>(specs);
  ds->LogCalls = false;
  for (int d = 1; d <= records; ++d) ds->AddRow({2020, d, d + 1, d + 2, d + 3, d + 4, d + 5, d + 6});
  ds->Open();
  return ds;
}

class ChartWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Application->SetPumpInterval(0);
    dialogs.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
  }
  void Open(TDataSet* table) { form.reset(vx::NewForm<TfrmChart>(nullptr, table)); }
  // The enabled state of First, Previous, Next, Last as "1100".
  std::string PageButtons() const {
    std::string s;
    for (TButton* b : {form->BFirstPage, form->ButtonPrevious, form->ButtonNext, form->BLastPage})
      s += b->Enabled() ? '1' : '0';
    return s;
  }
  vx::ScriptedDialogs dialogs;
  std::unique_ptr<TMemoryDataSet> table;
  std::unique_ptr<TfrmChart> form;
};

TEST_F(ChartWindowTest, OneSeriesPerNumberFieldOnOnePageWithAutomaticAxes) {
  table = Draws(12);
  Open(table.get());
  TDBChart* chart = form->TheChart;
  ASSERT_EQ(chart->SeriesCount(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(chart->Series(i)->Title(), "P" + std::to_string(i + 1));
  EXPECT_EQ(chart->Series(5)->YValue(11), 18);
  EXPECT_EQ(chart->Series(0)->XLabel(11), "12");
  EXPECT_EQ(form->Label1->Caption(), "1/1");
  EXPECT_EQ(PageButtons(), "0000");
  EXPECT_FALSE(form->ScrollBarX->Enabled());
  EXPECT_FALSE(form->ScrollBarY->Enabled());
  EXPECT_FALSE(form->Button3->Enabled());
  EXPECT_FALSE(chart->View3D());
  EXPECT_FALSE(chart->TitleVisible());
  EXPECT_TRUE(chart->LegendVisible());

  std::unique_ptr<TMemoryDataSet> closed = Draws(3);
  closed->Close();
  Open(closed.get());
  EXPECT_EQ(form->TheChart->SeriesCount(), 0);
  EXPECT_EQ(form->Label1->Caption(), "1/1");
}

TEST_F(ChartWindowTest, PagesOfTenOverTwentyFiveDraws) {
  table = Draws(25);
  Open(table.get());
  form->spePointsPerPage->SetValue(10);
  struct {
    TButton* button;
    const char* indicator;
    const char* enabled;
  } steps[] = {
      {nullptr, "1/3", "0011"},          {form->ButtonNext, "2/3", "1111"},     {form->BLastPage, "3/3", "1100"},
      {form->ButtonNext, "3/3", "1100"}, {form->ButtonPrevious, "2/3", "1111"}, {form->BFirstPage, "1/3", "0011"}};
  for (const auto& step : steps) {
    if (step.button) step.button->Click();
    EXPECT_EQ(form->Label1->Caption(), step.indicator);
    EXPECT_EQ(PageButtons(), step.enabled) << step.indicator;
  }
  // A zoom is undone by the next page change.
  form->BitBtn1->Click();
  EXPECT_TRUE(form->TheChart->Zoomed());
  EXPECT_TRUE(form->ScrollBarX->Enabled());
  form->ButtonNext->Click();
  EXPECT_FALSE(form->TheChart->Zoomed());
  EXPECT_TRUE(form->TheChart->BottomAxis()->Automatic());
  EXPECT_FALSE(form->ScrollBarX->Enabled());
  EXPECT_EQ(form->TheChart->BottomAxis()->Minimum(), 10);

  form->CheckBox1->SetChecked(true);
  EXPECT_EQ(form->Label1->Caption(), "2/3") << "the check box only applies the points per page again";
  form->btnResetAll->Click();
  EXPECT_EQ(form->spePointsPerPage->Value(), 0);
  EXPECT_EQ(form->TheChart->MaxPointsPerPage(), 0);
  EXPECT_EQ(form->Label1->Caption(), "1/1");
  EXPECT_EQ(PageButtons(), "0000");
}

TEST_F(ChartWindowTest, ZoomButtonsAndShiftKeysScaleEveryAxis) {
  table = Draws(21);  // x 0..20
  Open(table.get());
  TDBChart* chart = form->TheChart;
  struct {
    std::function<void()> act;
    double range;
  } steps[] = {{[&] { form->BitBtn1->Click(); }, 20 / 1.2},
               {[&] { form->BitBtn2->Click(); }, 20 / 1.2 / 0.8},
               {[&] { vx::SendKey(chart, VK_LEFT, {ssShift}); }, 20 / 1.2 / 0.8 / 1.1},
               {[&] { vx::SendKey(chart, VK_DOWN, {ssShift}); }, 20 / 1.2 / 0.8 / 1.1 / 0.9}};
  for (const auto& step : steps) {
    step.act();
    EXPECT_NEAR(chart->BottomAxis()->Range(), step.range, 1e-9);
    EXPECT_NEAR((chart->BottomAxis()->Minimum() + chart->BottomAxis()->Maximum()) / 2, 10, 1e-9);
  }
  EXPECT_TRUE(form->Button3->Enabled());
  form->Button3->Click();
  EXPECT_FALSE(chart->Zoomed());
  EXPECT_FALSE(form->Button3->Enabled());
  EXPECT_EQ(chart->BottomAxis()->Range(), 20);
  chart->ZoomPercent(150);
  vx::SendKey(chart, VK_SPACE);
  EXPECT_FALSE(chart->Zoomed());
}

TEST_F(ChartWindowTest, SpeedButtonsAndKeysShiftTheAxes) {
  table = Draws(101);  // x 0..100, y 2..107
  Open(table.get());
  TDBChart* chart = form->TheChart;
  const double x = 100, y = 105;
  struct {
    const char* what;
    std::function<void()> act;
    double dx, dy;
  } cases[] = {
      {"SpeedButton1", [&] { form->SpeedButton1->Click(); }, x / 10, 0},
      {"SpeedButton4", [&] { form->SpeedButton4->Click(); }, -x / 10, 0},
      {"SpeedButton3", [&] { form->SpeedButton3->Click(); }, 0, y / 10},
      {"SpeedButton2", [&] { form->SpeedButton2->Click(); }, 0, -y / 10},
      {"Page Up", [&] { vx::SendKey(chart, VK_PRIOR); }, 0, -y / 10},
      {"Page Down", [&] { vx::SendKey(chart, VK_NEXT); }, 0, y / 10},
      {"Up", [&] { vx::SendKey(chart, VK_UP); }, 0, -y / 100},
      {"Down", [&] { vx::SendKey(chart, VK_DOWN); }, 0, y / 100},
      {"Left", [&] { vx::SendKey(chart, VK_LEFT); }, x / 100, 0},
      {"Right", [&] { vx::SendKey(chart, VK_RIGHT); }, -x / 100, 0},
  };
  for (const auto& c : cases) {
    chart->UndoZoom();
    c.act();
    EXPECT_NEAR(chart->BottomAxis()->Minimum(), c.dx, 1e-9) << c.what;
    EXPECT_NEAR(chart->TopAxis()->Maximum(), x + c.dx, 1e-9) << c.what;
    EXPECT_NEAR(chart->LeftAxis()->Minimum(), 2 + c.dy, 1e-9) << c.what;
    EXPECT_NEAR(chart->RightAxis()->Maximum(), 107 + c.dy, 1e-9) << c.what;
  }
  EXPECT_TRUE(form->Button3->Enabled());
}

TEST_F(ChartWindowTest, ScrollBarsFollowTheAxesAndMoveThemBack) {
  // The mapping both ways: the position of a placed axis is the position
  // it was placed at.
  for (bool vertical : {false, true})
    for (int position : {0, 1, 37, 50, 99, 100}) {
      double min, max;
      vx::ChartAxisFromBar(vertical, position, 20, 0, 100, min, max);
      EXPECT_NEAR(max - min, 20, 1e-9);
      EXPECT_EQ(vx::ChartBarPosition(vertical, min, max, 0, 100), position) << vertical << " " << position;
    }
  EXPECT_EQ(vx::ChartBarPosition(false, 0, 100, 0, 100), -1) << "nothing to scroll";
  EXPECT_EQ(vx::ChartBarPosition(false, 0, 120, 0, 100), -1);
  EXPECT_EQ(vx::ChartBarPosition(false, 0, 1, NAN, NAN), -1);
  EXPECT_EQ(vx::ChartBarPosition(false, -50, -40, 0, 100), 0);
  EXPECT_EQ(vx::ChartBarPosition(true, 0, 10, 0, 100), 100);

  table = Draws(101);  // x 0..100
  Open(table.get());
  TDBChart* chart = form->TheChart;
  chart->BottomAxis()->SetMinMax(0, 20);
  chart->LeftAxis()->SetMinMax(50, 60);
  form->SpeedButton1->Click();  // x 2..22: 2*100/80 = 2.5, rounded half to even
  EXPECT_TRUE(form->ScrollBarX->Enabled());
  EXPECT_EQ(form->ScrollBarX->Position(), 2);
  form->ScrollBarX->SetPosition(50);
  EXPECT_EQ(chart->BottomAxis()->Minimum(), 40);
  EXPECT_EQ(chart->BottomAxis()->Maximum(), 60);
  form->SpeedButton3->Click();  // y 51..61 of 2..107: (107-61)*100/95
  EXPECT_EQ(form->ScrollBarX->Position(), 50) << "the bar stays where the axis is";
  EXPECT_EQ(form->ScrollBarY->Position(), 48);
  form->ScrollBarY->SetPosition(0);
  EXPECT_EQ(chart->LeftAxis()->Maximum(), 107);
  EXPECT_EQ(chart->LeftAxis()->Minimum(), 97);

  form->Show();
  form->SetBounds(0, 0, 700, 500);
  Application->ProcessMessages();
  EXPECT_EQ(form->ScrollBarX->Top() + form->ScrollBarX->Height(), chart->Height());
  EXPECT_EQ(form->ScrollBarX->Width(), chart->Width() - form->ScrollBarY->Width());
  EXPECT_EQ(form->ScrollBarY->Left() + form->ScrollBarY->Width(), chart->Width());
  form->Close();
}

// Pixels of the image in exactly that colour.
int CountColour(const QImage& image, TColor colour, int top = 0, int bottom = -1) {
  const QRgb want = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  if (bottom < 0) bottom = image.height();
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
  return n;
}

TEST_F(ChartWindowTest, ThousandDrawBaseShowsLegendAndSixLines) {
  vx::test::ScratchFolder folder("chart-");
  std::unique_ptr<TXBaseDataSet> base = apptest::SampleDrawBase(folder.Path() + "/", "lm.dbf", 1000);
  ASSERT_TRUE(base);
  Open(base.get());
  form->Show();
  Application->ProcessMessages();
  TDBChart* chart = form->TheChart;
  ASSERT_EQ(chart->SeriesCount(), 6);
  EXPECT_EQ(chart->Series(0)->Count(), 1000);
  const QImage image = chart->Widget()->grab().toImage();
  const TRect plot = chart->ChartRect();
  ASSERT_GT(plot.Top, 10);
  for (int i = 0; i < 6; ++i) {
    const TColor colour = chart->Series(i)->SeriesColor();
    EXPECT_GT(CountColour(image, colour, 0, plot.Top), 20) << "legend mark of P" << i + 1;
    EXPECT_GT(CountColour(image, colour, plot.Top, plot.Bottom), 500) << "line of P" << i + 1;
  }
  form->spePointsPerPage->SetValue(100);
  EXPECT_EQ(form->Label1->Caption(), "1/10");
  form->Close();
}

}  // namespace
