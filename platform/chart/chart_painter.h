// Drawing a chart model on a canvas (the chart control paints with it; a
// test paints on a recording or image canvas).
//
// Layout inside the bounds, from the top: the title (when visible and not
// empty), the legend (one coloured mark and title per series, centred,
// wrapped into rows), then the plot rectangle framed by the left axis
// (ticks at a "nice" step, labels right-aligned) and the bottom axis (the
// points' labels, thinned to every k-th point so that no two overlap, or
// numbers at a nice step when the series have no labels). Each active
// series is one polyline through the points of the current page, clipped
// to the plot rectangle. The plot rectangle is stored in the model for
// the pixel/value conversions of mouse zooming and panning.
#pragma once

#include <vector>

#include "platform/chart/chart_model.h"
#include "platform/gui/draw/canvas.h"

namespace vx {

// Space kept free around the plot (the chart's scroll bars lie in it).
struct ChartMargins {
  int Left = 8, Top = 8, Right = 8, Bottom = 8;
};

void PaintChart(ChartModel& chart, TCanvas& canvas, const TRect& bounds, const ChartMargins& margins = {});

// A step of 1, 2 or 5 times a power of ten giving at most maxTicks ticks
// over range (1 for an empty or invalid range).
double NiceStep(double range, int maxTicks);

// The text of an axis value at that step: no decimals for whole steps.
AnsiString AxisLabel(double value, double step);

// Every how many points a label is drawn so that labels of width
// labelWidth (plus a gap) do not overlap at pixelsPerPoint.
int LabelStride(int labelWidth, double pixelsPerPoint);

}  // namespace vx
