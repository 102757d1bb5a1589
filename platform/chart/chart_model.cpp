#include "platform/chart/chart_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vx {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Widens a zero span so that an axis always has a range to divide by.
void Widen(double& low, double& high) {
  if (!(high > low)) {
    low -= 1;
    high = low + 2;
  }
}

// An axis set to a single value still maps to pixels.
double SafeRange(const TChartAxis& axis) {
  const double r = axis.Range();
  return r > 0 ? r : 1;
}

}  // namespace

TColor SeriesPaletteColor(int index) {
  static constexpr TColor kPalette[] = {clRed,  clGreen,  clBlue,   clFuchsia, clTeal, RGB(255, 128, 0),
                                        clNavy, clMaroon, clPurple, clOlive,   clGray, RGB(0, 160, 255),
                                        clBlack};
  constexpr int n = static_cast<int>(sizeof kPalette / sizeof kPalette[0]);
  return kPalette[((index % n) + n) % n];
}

ChartModel::ChartModel()
    : axes_{TChartAxis(this, akLeft), TChartAxis(this, akRight), TChartAxis(this, akTop), TChartAxis(this, akBottom)} {}

ChartModel::~ChartModel() {
  for (TChartSeries* s : series_) s->chart_ = nullptr;
}

TChartSeries* ChartModel::Series(int index) const {
  return index >= 0 && index < SeriesCount() ? series_[static_cast<std::size_t>(index)] : nullptr;
}

void ChartModel::AddSeries(TChartSeries* series) {
  if (!series || series->chart_ == this) return;
  if (series->chart_) series->chart_->RemoveSeries(series);
  series_.push_back(series);
  series->chart_ = this;
  if (series->color_ == clDefault) series->color_ = SeriesPaletteColor(nextColor_++);
  DataChanged();
}

void ChartModel::RemoveSeries(TChartSeries* series) {
  if (!series || series->chart_ != this) return;
  Forget(series);
  series->chart_ = nullptr;
  DataChanged();
}

void ChartModel::Forget(TChartSeries* series) {
  std::erase(series_, series);
  rangeValid_[0] = rangeValid_[1] = false;
}

void ChartModel::RefreshData() {
  // Every series waits for its points first, so the series of one data set
  // are read together in one pass.
  for (TChartSeries* s : series_) s->stale_ = true;
  for (TChartSeries* s : series_) s->EnsurePoints();
  ClampPage();
}

int ChartModel::PointCount() const {
  int n = 0;
  for (TChartSeries* s : series_) n = std::max(n, s->Count());
  return n;
}

void ChartModel::SetView3D(bool v) {
  view3D_ = v;
  ChartChanged();
}

void ChartModel::SetLegendVisible(bool v) {
  legendVisible_ = v;
  ChartChanged();
}

void ChartModel::SetTitleVisible(bool v) {
  titleVisible_ = v;
  ChartChanged();
}

void ChartModel::SetTitleText(const AnsiString& v) {
  titleText_ = v;
  ChartChanged();
}

// --- paging -----------------------------------------------------------------

int ChartModel::NumPages() const {
  const int n = PointCount();
  if (maxPointsPerPage_ <= 0 || n == 0) return 1;
  return (n + maxPointsPerPage_ - 1) / maxPointsPerPage_;
}

void ChartModel::SetMaxPointsPerPage(int v) {
  v = std::max(v, 0);
  if (v == maxPointsPerPage_) return;
  maxPointsPerPage_ = v;
  ClampPage();
  DataChanged();
  Fire(OnPageChange);
}

void ChartModel::SetPage(int v) {
  v = std::clamp(v, 1, NumPages());
  if (v == page_) return;
  page_ = v;
  DataChanged();
  Fire(OnPageChange);
}

void ChartModel::ClampPage() {
  page_ = std::clamp(page_, 1, NumPages());
  rangeValid_[0] = rangeValid_[1] = false;
}

int ChartModel::FirstPointIndex() const { return maxPointsPerPage_ > 0 ? (page_ - 1) * maxPointsPerPage_ : 0; }

int ChartModel::LastPointIndex() const {
  const int n = PointCount();
  return maxPointsPerPage_ > 0 ? std::min(page_ * maxPointsPerPage_, n) - 1 : n - 1;
}

// --- axes ---------------------------------------------------------------------

void ChartModel::AutomaticRange(bool horizontal, double& low, double& high) const {
  const int k = horizontal ? 0 : 1;
  if (rangeValid_[k]) {
    low = rangeLow_[k];
    high = rangeHigh_[k];
    return;
  }
  const int first = FirstPointIndex(), last = LastPointIndex();
  low = kNaN;
  high = kNaN;
  for (TChartSeries* s : series_) {
    if (!s->Active()) continue;
    const int end = std::min(last, s->Count() - 1);
    for (int i = first; i <= end; ++i) {
      const double v = horizontal ? s->XValue(i) : s->YValue(i);
      if (std::isnan(v)) continue;
      if (std::isnan(low) || v < low) low = v;
      if (std::isnan(high) || v > high) high = v;
    }
  }
  if (std::isnan(low)) {
    low = 0;
    high = 1;
  } else {
    Widen(low, high);
  }
  rangeLow_[k] = low;
  rangeHigh_[k] = high;
  rangeValid_[k] = true;
}

// --- zoom and scroll ------------------------------------------------------------

void ChartModel::ZoomPercent(double percent) {
  if (!(percent > 0)) return;
  for (TChartAxis& axis : axes_) {
    const double centre = (axis.Minimum() + axis.Maximum()) / 2;
    const double half = axis.Range() * 100 / percent / 2;
    axis.SetMinMax(centre - half, centre + half);
  }
  zoomed_ = true;
  ChartChanged();
  Fire(OnZoom);
}

void ChartModel::ZoomRect(const TRect& r) {
  const int left = std::min(r.Left, r.Right), right = std::max(r.Left, r.Right);
  const int top = std::min(r.Top, r.Bottom), bottom = std::max(r.Top, r.Bottom);
  if (right - left < 3 || bottom - top < 3) return;
  const double x0 = XValue(left), x1 = XValue(right);
  const double y0 = YValue(bottom), y1 = YValue(top);
  BottomAxis()->SetMinMax(x0, x1);
  TopAxis()->SetMinMax(x0, x1);
  LeftAxis()->SetMinMax(y0, y1);
  RightAxis()->SetMinMax(y0, y1);
  zoomed_ = true;
  ChartChanged();
  Fire(OnZoom);
}

void ChartModel::UndoZoom() {
  for (TChartAxis& axis : axes_) axis.SetAutomatic(true);
  zoomed_ = false;
  ChartChanged();
  Fire(OnUndoZoom);
}

void ChartModel::PanPixels(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  const double w = std::max(1, chartRect_.Width()), h = std::max(1, chartRect_.Height());
  const double xOffset = -dx * BottomAxis()->Range() / w;
  const double yOffset = dy * LeftAxis()->Range() / h;
  BottomAxis()->Shift(xOffset);
  TopAxis()->Shift(xOffset);
  LeftAxis()->Shift(yOffset);
  RightAxis()->Shift(yOffset);
  AxisScrolled();
}

void ChartModel::AxisScrolled() {
  ChartChanged();
  Fire(OnScroll);
}

void ChartModel::DataChanged() {
  rangeValid_[0] = rangeValid_[1] = false;
  ChartChanged();
}

// --- data extent ----------------------------------------------------------------

void ChartModel::Extent(bool horizontal, double& low, double& high) const {
  low = kNaN;
  high = kNaN;
  for (TChartSeries* s : series_) {
    if (!s->Active()) continue;
    for (int i = 0, n = s->Count(); i < n; ++i) {
      const double v = horizontal ? s->XValue(i) : s->YValue(i);
      if (std::isnan(v)) continue;
      if (std::isnan(low) || v < low) low = v;
      if (std::isnan(high) || v > high) high = v;
    }
  }
}

double ChartModel::MinXValue() const {
  double low, high;
  Extent(true, low, high);
  return low;
}

double ChartModel::MaxXValue() const {
  double low, high;
  Extent(true, low, high);
  return high;
}

double ChartModel::MinYValue() const {
  double low, high;
  Extent(false, low, high);
  return low;
}

double ChartModel::MaxYValue() const {
  double low, high;
  Extent(false, low, high);
  return high;
}

// --- geometry -------------------------------------------------------------------

double ChartModel::XPos(double value) const {
  const TChartAxis& a = axes_[akBottom];
  return chartRect_.Left + (value - a.Minimum()) * chartRect_.Width() / SafeRange(a);
}

double ChartModel::YPos(double value) const {
  const TChartAxis& a = axes_[akLeft];
  return chartRect_.Bottom - (value - a.Minimum()) * chartRect_.Height() / SafeRange(a);
}

double ChartModel::XValue(double pixel) const {
  const TChartAxis& a = axes_[akBottom];
  return a.Minimum() + (pixel - chartRect_.Left) * a.Range() / std::max(1, chartRect_.Width());
}

double ChartModel::YValue(double pixel) const {
  const TChartAxis& a = axes_[akLeft];
  return a.Minimum() + (chartRect_.Bottom - pixel) * a.Range() / std::max(1, chartRect_.Height());
}

void ChartModel::Fire(const TNotifyEvent& event) {
  if (event) event(EventSender());
}

}  // namespace vx
