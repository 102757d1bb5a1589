// The points of long series: six series over one data set read in one pass
// and kept compactly, and a line of many more points than pixels drawn as
// it looks. The program counts its allocations (allocation meter).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <regex>
#include <string>

#include "platform/chart/chart_model.h"
#include "platform/chart/chart_painter.h"
#include "platform/db/field_types.h"
#include "tests/platform/db/memory_dataset.h"
#include "tests/support/allocation_meter.h"

namespace {

// Counts how often the data set is walked from its first record.
class CountingDataSet : public TMemoryDataSet {
 public:
  using TMemoryDataSet::TMemoryDataSet;
  int Walks = 0;

 protected:
  void InternalFirst() override {
    ++Walks;
    TMemoryDataSet::InternalFirst();
  }
};

constexpr int kDraws = 100'000;

// DRAW, P1..P6 with Pk = (draw * k) % 49 + 1.
std::unique_ptr<CountingDataSet> Draws() {
  std::vector<MemoryFieldSpec> specs{{"DRAW", ftInteger}};
  for (int k = 1; k <= 6; ++k) specs.push_back({"P" + std::to_string(k), ftInteger});
  auto ds = std::make_unique<CountingDataSet>(specs);
  ds->LogCalls = false;
  for (int d = 1; d <= kDraws; ++d) {
    std::vector<Variant> row{d};
    for (int k = 1; k <= 6; ++k) row.push_back((d * k) % 49 + 1);
    ds->AddRow(row);
  }
  ds->Open();
  return ds;
}

// A chart of six series bound as the chart window binds them: each with
// its number field and the draw as label.
struct SixSeries {
  explicit SixSeries(TDataSet* table) {
    for (int k = 1; k <= 6; ++k) {
      auto* s = new TLineSeries(&owner);
      s->SetParentChart(&chart);
      s->SetDataSource(table);
      s->YValues()->SetValueSource("P" + IntToStr(k));
      s->SetXLabelsSource("DRAW");
    }
  }
  TComponent owner{nullptr};
  vx::ChartModel chart;
};

// Six series used to walk the data set six times and keep an x, a y and a
// label object for every point (about 120 bytes a point of six series):
// a million draws took 6.6 s and 680 MB.
TEST(ChartPoints, SixSeriesAreReadInOnePassAndKeptCompactly) {
  auto table = Draws();
  table->MoveBy(41);
  SixSeries six(table.get());
  table->Walks = 0;
  const long long before = vx::test::AllocatedBytes();
  six.chart.RefreshData();
  const long long kept = vx::test::AllocatedBytes() - before;
  EXPECT_EQ(table->Walks, 1);
  // The value of every point, the label texts once (at most 6 characters
  // and an end each) and a little besides.
  const long long points = 6LL * kDraws;
  EXPECT_LE(kept, points * 8 + kDraws * (6 + 8) + 64 * 1024) << kept / points << " bytes a point";
  for (int k = 1; k <= 6; ++k) {
    TChartSeries* s = six.chart.Series(k - 1);
    ASSERT_EQ(s->Count(), kDraws);
    for (int i : {0, 1, 4999, kDraws - 1}) {
      EXPECT_EQ(s->YValue(i), ((i + 1) * k) % 49 + 1);
      EXPECT_EQ(s->XValue(i), i);
      EXPECT_EQ(s->XLabel(i), IntToStr(i + 1));
    }
  }
  EXPECT_EQ(table->FieldByName("DRAW")->AsInteger(), 42) << "the cursor went back";
  EXPECT_EQ(table->Walks, 1) << "reading the points did not walk again";

  // A point added to one series leaves the labels of the others alone.
  six.chart.Series(0)->AddXY(kDraws + 5, 7, "new");
  EXPECT_EQ(six.chart.Series(0)->XLabel(kDraws), "new");
  EXPECT_EQ(six.chart.Series(0)->XValue(kDraws), kDraws + 5);
  EXPECT_EQ(six.chart.Series(0)->XValue(kDraws - 1), kDraws - 1);
  EXPECT_EQ(six.chart.Series(1)->Count(), kDraws);
  EXPECT_EQ(six.chart.Series(1)->XLabel(kDraws), "");
}

// A line of 100,000 points used to be drawn point by point. Each pixel
// column now draws its first, lowest, highest and last point, which covers
// the same pixels.
TEST(ChartPoints, ALongLineDrawsWhatItsPointsCover) {
  auto table = Draws();
  SixSeries six(table.get());
  for (int k = 2; k <= 6; ++k) six.chart.Series(k - 1)->SetActive(false);
  six.chart.RefreshData();
  vx::RecordingDevice device;
  TCanvas canvas(&device);
  vx::PaintChart(six.chart, canvas, Rect(0, 0, 400, 300));
  const TRect plot = six.chart.ChartRect();
  char colour[16];
  std::snprintf(colour, sizeof colour, "%06X",
                static_cast<unsigned>(ColorToRGB(six.chart.Series(0)->SeriesColor())) & 0xFFFFFFu);
  // The lines drawn in the series' colour, and the column each covers.
  const std::regex line(R"(^Line (-?\d+),(-?\d+),(-?\d+),(-?\d+) pen=(\w+))");
  std::map<int, std::pair<int, int>> covered;  // x -> lowest, highest y
  int lines = 0;
  std::smatch m;
  for (const std::string& call : device.Calls) {
    if (!std::regex_search(call, m, line)) continue;
    if (m[5] != colour) continue;
    const int x1 = std::stoi(m[1]), y1 = std::stoi(m[2]), x2 = std::stoi(m[3]), y2 = std::stoi(m[4]);
    if (x1 != x2 || x1 <= plot.Left + 1 || x1 >= plot.Right) continue;
    ++lines;
    auto [at, added] = covered.try_emplace(x1, std::min(y1, y2), std::max(y1, y2));
    if (!added) at->second = {std::min(at->second.first, std::min(y1, y2)), std::max(at->second.second, std::max(y1, y2))};
  }
  EXPECT_LT(lines, 4 * plot.Width()) << "lines in the plot";
  // Every column's points lie within what is drawn there.
  std::map<int, std::pair<int, int>> points;
  TChartSeries* s = six.chart.Series(0);
  for (int i = 0; i < s->Count(); ++i) {
    const int x = static_cast<int>(std::lround(six.chart.XPos(i)));
    const int y = static_cast<int>(std::lround(six.chart.YPos(s->YValue(i))));
    auto [at, added] = points.try_emplace(x, y, y);
    if (!added) at->second = {std::min(at->second.first, y), std::max(at->second.second, y)};
  }
  int checked = 0;
  for (const auto& [x, span] : points) {
    const auto drawn = covered.find(x);
    if (drawn == covered.end() || x <= plot.Left + 1 || x >= plot.Right - 1) continue;
    ++checked;
    EXPECT_LE(drawn->second.first, span.first) << "column " << x;
    EXPECT_GE(drawn->second.second + 1, span.second) << "column " << x;
  }
  EXPECT_GT(checked, plot.Width() / 2);
}

}  // namespace
