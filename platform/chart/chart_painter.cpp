#include "platform/chart/chart_painter.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "platform/rtl/sysutils.h"

namespace vx {

namespace {

constexpr int kTickLength = 4;
constexpr int kLabelGap = 8;
constexpr int kLegendMark = 14;
constexpr double kPixelLimit = 1e6;  // keeps far-off points within int range

int ClampPixel(double v) { return static_cast<int>(std::lround(std::clamp(v, -kPixelLimit, kPixelLimit))); }

struct LegendItem {
  TChartSeries* series;
  int width;
};

// Draws the legend rows from `top`; returns the bottom of the legend box.
int PaintLegend(ChartModel& chart, TCanvas& canvas, const TRect& bounds, int top) {
  std::vector<LegendItem> items;
  for (int i = 0; i < chart.SeriesCount(); ++i) {
    TChartSeries* s = chart.Series(i);
    items.push_back({s, kLegendMark + 4 + canvas.TextWidth(s->Title()) + 12});
  }
  if (items.empty()) return top;
  const int lineHeight = canvas.TextHeight("Wg") + 2;
  const int available = std::max(1, bounds.Width() - 24);
  std::vector<std::vector<LegendItem>> rows(1);
  int rowWidth = 0;
  for (const LegendItem& item : items) {
    if (rowWidth > 0 && rowWidth + item.width > available) {
      rows.emplace_back();
      rowWidth = 0;
    }
    rows.back().push_back(item);
    rowWidth += item.width;
  }
  int widest = 0;
  for (const auto& row : rows) {
    int w = 0;
    for (const LegendItem& item : row) w += item.width;
    widest = std::max(widest, w);
  }
  const int boxLeft = bounds.Left + (bounds.Width() - widest - 8) / 2;
  const TRect box = Rect(boxLeft, top, boxLeft + widest + 8, top + static_cast<int>(rows.size()) * lineHeight + 6);
  canvas.Brush()->SetColor(clWhite);
  canvas.Pen()->SetColor(clBlack);
  canvas.Rectangle(box);
  int y = top + 3;
  for (const auto& row : rows) {
    int w = 0;
    for (const LegendItem& item : row) w += item.width;
    int x = bounds.Left + (bounds.Width() - w) / 2;
    for (const LegendItem& item : row) {
      const int markY = y + lineHeight / 2;
      canvas.Pen()->SetColor(item.series->SeriesColor());
      canvas.Pen()->SetWidth(2);
      canvas.MoveTo(x, markY);
      canvas.LineTo(x + kLegendMark, markY);
      canvas.Pen()->SetWidth(1);
      canvas.Brush()->SetStyle(bsClear);
      canvas.TextOut(x + kLegendMark + 4, y + 1, item.series->Title());
      canvas.Brush()->SetStyle(bsSolid);
      x += item.width;
    }
    y += lineHeight;
  }
  return box.Bottom;
}

// The ticks of an axis range at a nice step.
std::vector<double> Ticks(double low, double high, double step) {
  std::vector<double> ticks;
  if (!(high > low) || !(step > 0)) return ticks;
  for (double t = std::ceil(low / step) * step; t <= high + step * 1e-9 && ticks.size() < 1000; t += step)
    ticks.push_back(std::abs(t) < step * 1e-9 ? 0.0 : t);
  return ticks;
}

// The first series that has labels, or nullptr.
TChartSeries* LabelSeries(ChartModel& chart) {
  for (int i = 0; i < chart.SeriesCount(); ++i) {
    TChartSeries* s = chart.Series(i);
    if (s->Count() > 0 && !s->XLabel(0).empty()) return s;
  }
  return nullptr;
}

void PaintBottomLabels(ChartModel& chart, TCanvas& canvas, const TRect& plot) {
  TChartAxis* axis = chart.BottomAxis();
  const double low = axis->Minimum(), high = axis->Maximum();
  const int y = plot.Bottom + kTickLength + 2;
  canvas.Pen()->SetColor(clBlack);
  canvas.Brush()->SetStyle(bsClear);
  if (TChartSeries* labels = LabelSeries(chart)) {
    const int first = std::max({chart.FirstPointIndex(), 0, static_cast<int>(std::ceil(low))});
    const int last = std::min({chart.LastPointIndex(), labels->Count() - 1, static_cast<int>(std::floor(high))});
    // Each distinct text is measured once: a long base repeats its draw
    // numbers over and over.
    int widest = 0;
    std::unordered_map<AnsiString, int> widths;
    for (int i = first; i <= last; ++i) {
      const AnsiString text = labels->XLabel(i);
      auto [at, added] = widths.try_emplace(text, 0);
      if (added) at->second = canvas.TextWidth(text);
      widest = std::max(widest, at->second);
    }
    const double perPoint = plot.Width() / std::max(1e-9, high - low);
    const int stride = LabelStride(widest, perPoint);
    for (int i = first; i <= last; ++i) {
      if (i % stride != 0) continue;
      const int x = ClampPixel(chart.XPos(i));
      canvas.MoveTo(x, plot.Bottom);
      canvas.LineTo(x, plot.Bottom + kTickLength);
      const AnsiString text = labels->XLabel(i);
      canvas.TextOut(x - canvas.TextWidth(text) / 2, y, text);
    }
  } else {
    const double step = NiceStep(high - low, std::max(2, plot.Width() / 60));
    for (double t : Ticks(low, high, step)) {
      const int x = ClampPixel(chart.XPos(t));
      canvas.MoveTo(x, plot.Bottom);
      canvas.LineTo(x, plot.Bottom + kTickLength);
      const AnsiString text = AxisLabel(t, step);
      canvas.TextOut(x - canvas.TextWidth(text) / 2, y, text);
    }
  }
  canvas.Brush()->SetStyle(bsSolid);
}

// Adds a point to a line. Where many points fall on one pixel column (a
// long series on a narrow plot) the column keeps only its first point, its
// lowest and highest and its last, in that order: the line drawn through
// them covers the same pixels as the line through every point.
void AddLinePoint(std::vector<TPoint>& points, TPoint p) {
  // The column's run starts at the first of its points; runs of one to
  // four points are kept as they are.
  std::size_t run = points.size();
  while (run > 0 && points[run - 1].X == p.X) --run;
  const std::size_t inRun = points.size() - run;
  if (inRun < 4) {
    points.push_back(p);
    return;
  }
  // first, low, high, last: the last gives way to p, and p may widen the
  // low or the high.
  TPoint& low = points[run + 1];
  TPoint& high = points[run + 2];
  TPoint& last = points[run + 3];
  if (low.Y > high.Y) std::swap(low, high);
  const int lowest = std::min({low.Y, last.Y, p.Y}), highest = std::max({high.Y, last.Y, p.Y});
  low.Y = lowest;
  high.Y = highest;
  last = p;
}

void PaintSeries(ChartModel& chart, TCanvas& canvas, const TRect& plot) {
  const double low = chart.BottomAxis()->Minimum(), high = chart.BottomAxis()->Maximum();
  canvas.SetClipRect(Rect(plot.Left + 1, plot.Top + 1, plot.Right, plot.Bottom));
  for (int k = 0; k < chart.SeriesCount(); ++k) {
    TChartSeries* s = chart.Series(k);
    if (!s->Active()) continue;
    // The page's points within the axis range, and one beyond each side
    // so the line runs to the edge of the plot.
    const int first = std::max(chart.FirstPointIndex(), static_cast<int>(std::floor(low)) - 1);
    const int last = std::min({chart.LastPointIndex(), s->Count() - 1, static_cast<int>(std::ceil(high)) + 1});
    std::vector<TPoint> points;
    for (int i = std::max(first, 0); i <= last; ++i) {
      const double y = s->YValue(i);
      if (std::isnan(y)) continue;
      AddLinePoint(points, Point(ClampPixel(chart.XPos(s->XValue(i))), ClampPixel(chart.YPos(y))));
    }
    canvas.Pen()->SetColor(s->SeriesColor());
    if (points.size() == 1) {
      canvas.Brush()->SetColor(s->SeriesColor());
      canvas.Ellipse(points[0].X - 2, points[0].Y - 2, points[0].X + 3, points[0].Y + 3);
    } else if (points.size() > 1) {
      canvas.Polyline(points);
    }
  }
  canvas.ResetClipRect();
}

}  // namespace

double NiceStep(double range, int maxTicks) {
  if (!(range > 0) || !std::isfinite(range) || maxTicks < 1) return 1;
  const double raw = range / maxTicks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * power >= raw) return m * power;
  return 10 * power;
}

AnsiString AxisLabel(double value, double step) {
  int decimals = 0;
  while (decimals < 6 && std::abs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) > 1e-6)
    ++decimals;
  return FloatToStrF(value, ffFixed, 15, decimals);
}

int LabelStride(int labelWidth, double pixelsPerPoint) {
  if (!(pixelsPerPoint > 0)) return 1;
  const double need = (labelWidth + kLabelGap) / pixelsPerPoint;
  return static_cast<int>(std::clamp(std::ceil(need), 1.0, 1e9));
}

void PaintChart(ChartModel& chart, TCanvas& canvas, const TRect& bounds, const ChartMargins& margins) {
  canvas.Brush()->SetColor(clBtnFace);
  canvas.Brush()->SetStyle(bsSolid);
  canvas.FillRect(bounds);
  canvas.Pen()->SetWidth(1);

  int top = bounds.Top + margins.Top;
  const int textHeight = canvas.TextHeight("Wg");
  if (chart.TitleVisible() && !chart.TitleText().empty()) {
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut(bounds.Left + (bounds.Width() - canvas.TextWidth(chart.TitleText())) / 2, top, chart.TitleText());
    canvas.Brush()->SetStyle(bsSolid);
    top += textHeight + 4;
  }
  if (chart.LegendVisible()) top = PaintLegend(chart, canvas, bounds, top) + 6;

  // The left labels' width decides where the plot starts.
  TChartAxis* left = chart.LeftAxis();
  const double low = left->Minimum(), high = left->Maximum();
  const int plotBottom = bounds.Bottom - margins.Bottom - textHeight - kTickLength - 4;
  const double step = NiceStep(high - low, std::max(2, (plotBottom - top) / (textHeight * 2)));
  const std::vector<double> ticks = Ticks(low, high, step);
  int labelWidth = 0;
  for (double t : ticks) labelWidth = std::max(labelWidth, canvas.TextWidth(AxisLabel(t, step)));
  TRect plot =
      Rect(bounds.Left + margins.Left + labelWidth + kTickLength + 4, top, bounds.Right - margins.Right, plotBottom);
  if (plot.Right <= plot.Left) plot.Right = plot.Left + 1;
  if (plot.Bottom <= plot.Top) plot.Bottom = plot.Top + 1;
  chart.SetChartRect(plot);

  canvas.Brush()->SetColor(clWhite);
  canvas.Pen()->SetColor(clBlack);
  canvas.Rectangle(plot.Left, plot.Top, plot.Right + 1, plot.Bottom + 1);

  canvas.Brush()->SetStyle(bsClear);
  for (double t : ticks) {
    const int y = ClampPixel(chart.YPos(t));
    canvas.Pen()->SetColor(clSilver);
    canvas.MoveTo(plot.Left + 1, y);
    canvas.LineTo(plot.Right, y);
    canvas.Pen()->SetColor(clBlack);
    canvas.MoveTo(plot.Left - kTickLength, y);
    canvas.LineTo(plot.Left, y);
    const AnsiString text = AxisLabel(t, step);
    canvas.TextOut(plot.Left - kTickLength - 2 - canvas.TextWidth(text), y - textHeight / 2, text);
  }
  canvas.Brush()->SetStyle(bsSolid);

  PaintBottomLabels(chart, canvas, plot);
  PaintSeries(chart, canvas, plot);
}

}  // namespace vx
