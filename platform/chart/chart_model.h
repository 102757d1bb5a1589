// vx::ChartModel: everything a chart knows apart from drawing — its series,
// paging, four axes, zoom, scrolling and events. It needs no window, so it
// is tested on its own; TDBChart (db_chart.h) is the control that shows it.
//
// Paging: with MaxPointsPerPage M > 0 and N points (the longest series),
// NumPages is ceil(N / M) (1 when M is 0 or there are no points) and page p
// shows the points (p-1)*M .. min(p*M, N)-1. Page is kept within
// 1..NumPages. OnPageChange runs when the page or the paging changes.
//
// Zoom: ZoomPercent(p) narrows (p > 100) or widens every axis about its
// centre to range*100/p; ZoomRect zooms to a rectangle of the plot; both
// set Zoomed and run OnZoom. UndoZoom makes every axis automatic again,
// clears Zoomed and runs OnUndoZoom.
//
// Geometry: the painter stores the plot rectangle (ChartRect) as it lays
// the chart out; XPos/YPos and XValue/YValue convert between the bottom
// and left axes' values and pixels of that rectangle.
//
// The series are not owned (their owner is usually the form); a series
// that is destroyed leaves the chart by itself.
#pragma once

#include <array>
#include <vector>

#include "platform/chart/chart_axis.h"
#include "platform/chart/chart_series.h"
#include "platform/gui/base/gui_types.h"

namespace vx {

class ChartModel {
 public:
  ChartModel();
  virtual ~ChartModel();
  ChartModel(const ChartModel&) = delete;
  ChartModel& operator=(const ChartModel&) = delete;

  // --- series
  int SeriesCount() const { return static_cast<int>(series_.size()); }
  TChartSeries* Series(int index) const;
  // Adds the series (taking it from another chart); a series without a
  // colour gets the next colour of the palette.
  void AddSeries(TChartSeries* series);
  void RemoveSeries(TChartSeries* series);
  // Reads every series from its data source again.
  void RefreshData();
  // Number of points of the longest series.
  int PointCount() const;

  // --- appearance
  bool View3D() const { return view3D_; }
  void SetView3D(bool v);
  bool LegendVisible() const { return legendVisible_; }
  void SetLegendVisible(bool v);
  bool TitleVisible() const { return titleVisible_; }
  void SetTitleVisible(bool v);
  const AnsiString& TitleText() const { return titleText_; }
  void SetTitleText(const AnsiString& v);
  // Zooming is immediate; the flag is kept for the window that sets it.
  bool AnimatedZoom() const { return animatedZoom_; }
  void SetAnimatedZoom(bool v) { animatedZoom_ = v; }

  // --- paging
  int MaxPointsPerPage() const { return maxPointsPerPage_; }
  void SetMaxPointsPerPage(int v);
  int Page() const { return page_; }
  void SetPage(int v);
  int NumPages() const;
  void NextPage() { SetPage(page_ + 1); }
  void PreviousPage() { SetPage(page_ - 1); }
  // Indices of the first and last point of the current page (last < first
  // when there are none).
  int FirstPointIndex() const;
  int LastPointIndex() const;

  // --- axes
  TChartAxis* LeftAxis() { return &axes_[akLeft]; }
  TChartAxis* RightAxis() { return &axes_[akRight]; }
  TChartAxis* TopAxis() { return &axes_[akTop]; }
  TChartAxis* BottomAxis() { return &axes_[akBottom]; }
  TChartAxis* Axis(TChartAxisKind kind) { return &axes_[kind]; }
  // The range an automatic axis takes from the visible data.
  void AutomaticRange(bool horizontal, double& low, double& high) const;

  // --- zoom and scroll
  void ZoomPercent(double percent);
  // Zooms to the plot pixels of r (corners in any order); a rectangle
  // narrower or lower than 3 pixels does nothing.
  void ZoomRect(const TRect& r);
  void UndoZoom();
  bool Zoomed() const { return zoomed_; }
  // Moves the view with the mouse: the data under the pointer follows it
  // by (dx, dy) pixels; every axis becomes set; OnScroll runs once.
  void PanPixels(int dx, int dy);

  // --- data extent over every point of every active series (NaN when none)
  double MinXValue() const;
  double MaxXValue() const;
  double MinYValue() const;
  double MaxYValue() const;

  // --- geometry
  const TRect& ChartRect() const { return chartRect_; }
  void SetChartRect(const TRect& r) { chartRect_ = r; }
  double XPos(double value) const;
  double YPos(double value) const;
  double XValue(double pixel) const;
  double YValue(double pixel) const;

  // --- events
  TNotifyEvent OnPageChange;
  TNotifyEvent OnZoom;
  TNotifyEvent OnUndoZoom;
  TNotifyEvent OnScroll;

  // Called by the axes and series when what is shown changed.
  void AxisScrolled();
  void DataChanged();

 protected:
  // Asks for a repaint (the control invalidates itself).
  virtual void ChartChanged() {}
  // The Sender of the events.
  virtual TObject* EventSender() { return nullptr; }
  void Fire(const TNotifyEvent& event);

 private:
  friend class ::TChartSeries;
  void Forget(TChartSeries* series);
  void ClampPage();
  void Extent(bool horizontal, double& low, double& high) const;

  // The automatic ranges (x, y), worked out once per change of data or page.
  mutable bool rangeValid_[2] = {false, false};
  mutable double rangeLow_[2] = {0, 0}, rangeHigh_[2] = {0, 0};
  std::vector<TChartSeries*> series_;
  std::array<TChartAxis, 4> axes_;
  int maxPointsPerPage_ = 0;
  int page_ = 1;
  int nextColor_ = 0;
  bool view3D_ = false, legendVisible_ = true, titleVisible_ = true, animatedZoom_ = false, zoomed_ = false;
  AnsiString titleText_;
  TRect chartRect_{0, 0, 100, 100};
};

// The colours given to series in the order they are added.
TColor SeriesPaletteColor(int index);

}  // namespace vx
