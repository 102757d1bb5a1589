// TChartAxis: one of a chart's four axes (left, right, top, bottom).
//
// An axis is automatic (the default) or set. An automatic axis takes its
// range from the data the chart shows: the bottom and top axes span the x
// values of the current page, the left and right axes the y values of the
// visible points of every series (a zero span is widened by 1 on each
// side). Minimum() and Maximum() always answer the range in effect, so a
// caller can read an automatic axis as well as a set one.
//
// Setting Minimum or Maximum freezes the range in effect and then makes
// the axis set; a value that would put the minimum above the maximum is
// refused (the call returns false and nothing changes). SetMinMax sets both
// at once (in either order). Scroll moves both ends by the same offset and
// tells the chart (its OnScroll runs).
#pragma once

namespace vx {
class ChartModel;
}

enum TChartAxisKind { akLeft, akRight, akTop, akBottom };

class TChartAxis {
 public:
  TChartAxis(vx::ChartModel* chart, TChartAxisKind kind) : chart_(chart), kind_(kind) {}

  TChartAxisKind Kind() const { return kind_; }
  bool Horizontal() const { return kind_ == akTop || kind_ == akBottom; }

  bool Automatic() const { return automatic_; }
  void SetAutomatic(bool v);
  double Minimum() const;
  double Maximum() const;
  bool SetMinimum(double v);
  bool SetMaximum(double v);
  void SetMinMax(double a, double b);
  // Maximum() - Minimum().
  double Range() const { return Maximum() - Minimum(); }
  // Moves both ends by offset (the axis becomes set) and runs the chart's OnScroll.
  void Scroll(double offset);
  // As Scroll without the event (the chart's own pan sends one for all axes).
  void Shift(double offset);

  bool Visible() const { return visible_; }
  void SetVisible(bool v);

 private:
  void Freeze();
  vx::ChartModel* chart_;
  TChartAxisKind kind_;
  bool automatic_ = true;
  bool visible_ = true;
  double min_ = 0, max_ = 0;
};
