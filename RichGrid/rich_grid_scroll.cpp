// TRichStringGrid: the scroll-bar settings. The flat scroll bars of the
// original platform are kept as state (style, colour, widths, which bars
// show) once ScrollProportional initialises them; the proportional thumb is
// given to the grid's own scroll bars on their 0..127 scale.
#include <QApplication>
#include <QStyle>

#include <cmath>

#include "RichGrid/rich_grid.h"

int TRichStringGrid::SystemWheelLines() { return QApplication::instance() ? QApplication::wheelScrollLines() : 3; }

int TRichStringGrid::SystemScrollBarWidth() {
  return QApplication::instance() && QApplication::style()
             ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent)
             : 16;
}

void TRichStringGrid::SetScrollType(TScrollType v) {
  scrollType_ = v;
  UpdateScrollSettings();
}

void TRichStringGrid::SetScrollColor(TColor v) {
  scrollColor_ = v;
  UpdateScrollSettings();
}

void TRichStringGrid::SetScrollWidth(int v) {
  scrollWidth_ = v;
  UpdateScrollSettings();
}

void TRichStringGrid::SetScrollProportional(bool v) {
  scrollProportional_ = v;
  if (v) {
    flatScroll_.Initialized = true;
    UpdateScrollSettings();
    return;
  }
  if (!flatScroll_.Initialized) return;
  flatScroll_ = FlatScrollState{};
  for (int bar : {SB_HORZ, SB_VERT}) {
    ScrollBar(bar)->Page = 0;
    ScrollBarChanged(bar);
  }
}

void TRichStringGrid::UpdateScrollSettings() {
  if (!flatScroll_.Initialized) return;
  flatScroll_.Style = scrollType_ == ssFlat ? 2 : scrollType_ == ssEncarta ? 1 : 0;
  if (scrollColor_ != clNone) flatScroll_.Color = scrollColor_;
  flatScroll_.VertWidth = flatScroll_.HorzHeight = scrollWidth_;
  flatScroll_.VertShown = VisibleRowCount() + TStringGrid::FixedRows() < RowCount();
  flatScroll_.HorzShown = VisibleColCount() + TStringGrid::FixedCols() < ColCount();
  const auto proportional = [this](int bar, int visible, int count) {
    vx::ScrollBarState* s = ScrollBar(bar);
    s->Min = 0;
    s->Max = 127;
    s->Page = static_cast<int>(std::lround(visible * 128.0 / std::max(1, count)));
    if (s->Pos < 0 || s->Pos > 127) s->Pos = 0;
    ScrollBarChanged(bar);
  };
  if (ScrollBars() == ssBoth || ScrollBars() == ssVertical) proportional(SB_VERT, VisibleRowCount(), RowCount());
  if (ScrollBars() == ssBoth || ScrollBars() == ssHorizontal) proportional(SB_HORZ, VisibleColCount(), ColCount());
}
