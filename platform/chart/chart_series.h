// TChartSeries and TLineSeries: the points a chart draws, read from a data
// set.
//
// A series belongs to its owner (a form) and is shown by its parent chart
// (SetParentChart adds it there). Its points come from DataSource: for
// every record in the data set's current order, point j has x = j, y = the
// value of the field named by YValues().ValueSource() and, when
// XLabelsSource() names a field, that field's text as its label. Reading
// the data set does not disturb its user: controls are disabled, the
// cursor goes back to the record it was on, controls are enabled again.
// A closed data set, or a value field it does not have, gives no points.
//
// The points are read on first use after the source changed (or at once
// by CheckDataSource), so binding a series field by field reads once.
// Every series of the same chart that waits for points from the same data
// set is read in that one pass, and series with the same label field
// share one copy of the labels. A point costs its value (8 bytes), its x
// only when some x differs from its index, and its label's characters and
// end offset. A data set destroyed while bound is forgotten (free
// notification).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/draw/graphics.h"
#include "platform/rtl/component.h"

class TDataSet;

namespace vx {
class ChartModel;

// Texts kept one after another in one block, each found by where it ends.
class ChartLabels {
 public:
  int Count() const { return static_cast<int>(ends_.size()); }
  // "" out of range.
  AnsiString At(int index) const;
  void Add(std::string_view text);
  void Reserve(std::size_t count) { ends_.reserve(count); }
  void ShrinkToFit();

 private:
  std::string text_;
  std::vector<std::size_t> ends_;
};

}  // namespace vx

class TChartSeries;

// The value list of a series: which field feeds it.
class TChartValueList {
 public:
  explicit TChartValueList(TChartSeries* series) : series_(series) {}
  const AnsiString& ValueSource() const { return source_; }
  void SetValueSource(const AnsiString& v);

 private:
  TChartSeries* series_;
  AnsiString source_;
};

class TChartSeries : public TComponent {
 public:
  explicit TChartSeries(TComponent* AOwner);
  ~TChartSeries() override;

  vx::ChartModel* ParentChart() const { return chart_; }
  // Moves the series to `chart` (nullptr removes it from its chart).
  void SetParentChart(vx::ChartModel* chart);

  TDataSet* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSet* dataSet);
  TChartValueList* YValues() { return &yValues_; }
  const AnsiString& XLabelsSource() const { return xLabelsSource_; }
  void SetXLabelsSource(const AnsiString& v);

  const AnsiString& Title() const { return title_; }
  void SetTitle(const AnsiString& v);
  // clDefault until the chart gives the series a colour of its palette.
  TColor SeriesColor() const { return color_; }
  void SetSeriesColor(TColor v);
  bool Active() const { return active_; }
  void SetActive(bool v);

  // --- points (read from the data source when it changed)
  int Count();
  double XValue(int index);
  double YValue(int index);
  // "" when the series has no labels or the index is out of range.
  AnsiString XLabel(int index);
  void AddXY(double x, double y, const AnsiString& label = "");
  void Clear();
  // Reads the points from the data source now.
  void CheckDataSource();
  // Marks the points as out of date (the source changed).
  void SourceChanged();

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class vx::ChartModel;
  void EnsurePoints();
  void Changed();
  void ClearPoints();
  // Reads the points of every series in `series` (all of the same data
  // set) in one pass of the data set.
  static void ReadPoints(const std::vector<TChartSeries*>& series);
  vx::ChartModel* chart_ = nullptr;
  TDataSet* dataSource_ = nullptr;
  TChartValueList yValues_{this};
  AnsiString xLabelsSource_;
  AnsiString title_;
  TColor color_ = clDefault;
  bool active_ = true;
  bool stale_ = false;
  // One value per point; x only once some point's x is not its index.
  std::vector<double> y_, x_;
  // Shared with the series read in the same pass; copied before a change.
  std::shared_ptr<vx::ChartLabels> labels_;
};

// A series drawn as one line through its points.
class TLineSeries : public TChartSeries {
 public:
  using TChartSeries::TChartSeries;
};
