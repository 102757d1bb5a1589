#include "platform/chart/chart_axis.h"

#include <utility>

#include "platform/chart/chart_model.h"

void TChartAxis::SetAutomatic(bool v) {
  if (automatic_ == v) return;
  if (!v) Freeze();
  automatic_ = v;
  chart_->DataChanged();
}

double TChartAxis::Minimum() const {
  if (!automatic_) return min_;
  double low, high;
  chart_->AutomaticRange(Horizontal(), low, high);
  return low;
}

double TChartAxis::Maximum() const {
  if (!automatic_) return max_;
  double low, high;
  chart_->AutomaticRange(Horizontal(), low, high);
  return high;
}

void TChartAxis::Freeze() {
  if (!automatic_) return;
  chart_->AutomaticRange(Horizontal(), min_, max_);
  automatic_ = false;
}

bool TChartAxis::SetMinimum(double v) {
  Freeze();
  if (v > max_) return false;
  min_ = v;
  chart_->DataChanged();
  return true;
}

bool TChartAxis::SetMaximum(double v) {
  Freeze();
  if (v < min_) return false;
  max_ = v;
  chart_->DataChanged();
  return true;
}

void TChartAxis::SetMinMax(double a, double b) {
  if (a > b) std::swap(a, b);
  automatic_ = false;
  min_ = a;
  max_ = b;
  chart_->DataChanged();
}

void TChartAxis::Shift(double offset) {
  Freeze();
  min_ += offset;
  max_ += offset;
  chart_->DataChanged();
}

void TChartAxis::Scroll(double offset) {
  Shift(offset);
  chart_->AxisScrolled();
}

void TChartAxis::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  chart_->DataChanged();
}
