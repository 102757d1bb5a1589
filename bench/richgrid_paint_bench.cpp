// Painting one full 1920 x 1080 screen of a 100,000-row grid scrolled to
// its middle, through one Qt painter into a screen-sized image (as the
// grid's window paints), with the application's
// look (fixed heading row and column, centred cells, bands, a colour
// event): 15 columns of 127 pixels, about 49 rows shown.
// - MarkupColumns: every third column holds mark-up (bold, a colour,
//   italic), the others plain numbers;
// - AllMarkup: every cell holds mark-up;
// - Plain: plain numbers only.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr int kRows = 100000, kCols = 15, kWidth = 1920, kHeight = 1080;

class ShownGrid : public TRichStringGrid {
 public:
  ShownGrid() : TRichStringGrid(nullptr) {
    SetScrollBars(ssNone);
    SetBorderStyle(bsNone);
    SetBounds(0, 0, kWidth, kHeight);
  }
};

// 0: plain, 1: mark-up every third column, 2: mark-up everywhere.
void PaintScreen(benchmark::State& state, int markup) {
  Application->Initialize();
  ShownGrid g;
  g.SetColCount(kCols);
  g.SetRowCount(kRows + 1);
  g.SetDefaultColWidth(127);
  g.Font()->SetName("Arial");
  g.FixedFont()->SetName("Arial");
  for (int c = 0; c < kCols; ++c) g.SetCells(c, 0, "P" + IntToStr(c));
  for (int r = 1; r <= kRows; ++r) {
    g.SetCells(0, r, IntToStr(r));
    for (int c = 1; c < kCols; ++c) {
      const bool isMarkup = markup == 2 || (markup == 1 && c % 3 == 0);
      g.SetCells(c, r,
                 isMarkup
                     ? "<B>" + IntToStr(r % 49 + 1) + "</B> <FONT color=\"clRed\">" + IntToStr(c) + "</FONT> <I>x</I>"
                     : IntToStr((r * 7 + c) % 1000));
    }
  }
  g.OnGetAlignment = [](TObject*, int, int, TAlignment& a) { a = taCenter; };
  g.OnGetCellColor = [](TObject*, int row, int col, TGridDrawState, TBrush*, TFont* font) {
    if (col == 2 && row % 5 == 0) font->SetColor(clRed);
  };
  g.Bands()->SetActive(true);
  g.SetTopRow(kRows / 2);
  // As the grid's window paints: one painter over the screen for the whole paint.
  QImage screen(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&screen);
    vx::QtPainterDevice device(&painter);
    g.PaintTo(&device);
  }
  state.counters["cells"] = static_cast<double>(g.VisibleRowCount() + 1) * (g.VisibleColCount() + 1);
}

void BM_PaintScreenMarkupColumns(benchmark::State& state) { PaintScreen(state, 1); }
void BM_PaintScreenAllMarkup(benchmark::State& state) { PaintScreen(state, 2); }
void BM_PaintScreenPlain(benchmark::State& state) { PaintScreen(state, 0); }
BENCHMARK(BM_PaintScreenMarkupColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintScreenAllMarkup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintScreenPlain)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
