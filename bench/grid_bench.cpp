// The string grid against Qt's QTableWidget on the same work, in the same run
// (offscreen platform): filling 100,000 x 10 cells one by one, deleting 1,000
// scattered rows, and painting one screen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gui/core/application.h"
#include "platform/gui/grids/grids.h"
#include "platform/gui/draw/qt_bridge.h"

namespace {

constexpr int kRows = 100000, kCols = 10, kDeletes = 1000;

std::string CellText(int c, int r) { return std::to_string(r) + ":" + std::to_string(c); }

// Rows to delete, spread over the grid, in the order they are deleted.
std::vector<int> ScatteredRows() {
  std::vector<int> rows;
  unsigned x = 12345;
  for (int i = 0; i < kDeletes; ++i) {
    x = x * 1103515245u + 12345u;
    rows.push_back(1 + static_cast<int>((x >> 8) % static_cast<unsigned>(kRows - kDeletes)));
  }
  return rows;
}

void Fill(TStringGrid& g) {
  g.SetColCount(kCols);
  g.SetRowCount(kRows + 1);
  for (int r = 1; r <= kRows; ++r)
    for (int c = 0; c < kCols; ++c) g.SetCells(c, r, CellText(c, r));
}

void Fill(QTableWidget& t) {
  t.setColumnCount(kCols);
  t.setRowCount(kRows + 1);
  for (int r = 1; r <= kRows; ++r)
    for (int c = 0; c < kCols; ++c) t.setItem(r, c, new QTableWidgetItem(QString::fromStdString(CellText(c, r))));
}

void BM_StringGridFill(benchmark::State& state) {
  Application->Initialize();
  for (auto _ : state) {
    TStringGrid g(nullptr);
    g.SetBounds(0, 0, 800, 600);
    Fill(g);
    benchmark::DoNotOptimize(g.Cells(3, kRows));
  }
}
BENCHMARK(BM_StringGridFill)->Unit(benchmark::kMillisecond);

// As the program fills its grids: one more row per record.
void BM_StringGridFillGrowing(benchmark::State& state) {
  Application->Initialize();
  for (auto _ : state) {
    TStringGrid g(nullptr);
    g.SetBounds(0, 0, 800, 600);
    g.SetColCount(kCols);
    for (int r = 1; r <= kRows; ++r) {
      g.SetRowCount(r + 1);
      for (int c = 0; c < kCols; ++c) g.SetCells(c, r, CellText(c, r));
    }
    benchmark::DoNotOptimize(g.Cells(3, kRows));
  }
}
BENCHMARK(BM_StringGridFillGrowing)->Unit(benchmark::kMillisecond);

void BM_TableWidgetFill(benchmark::State& state) {
  Application->Initialize();
  for (auto _ : state) {
    QTableWidget t;
    t.resize(800, 600);
    Fill(t);
    benchmark::DoNotOptimize(t.item(kRows, 3));
  }
}
BENCHMARK(BM_TableWidgetFill)->Unit(benchmark::kMillisecond);

void BM_StringGridDelete(benchmark::State& state) {
  Application->Initialize();
  const std::vector<int> rows = ScatteredRows();
  for (auto _ : state) {
    state.PauseTiming();
    auto g = std::make_unique<TStringGrid>(nullptr);
    g->SetBounds(0, 0, 800, 600);
    Fill(*g);
    state.ResumeTiming();
    for (int r : rows) g->DeleteRow(r);
    state.PauseTiming();
    g.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StringGridDelete)->Unit(benchmark::kMillisecond);

void BM_TableWidgetDelete(benchmark::State& state) {
  Application->Initialize();
  const std::vector<int> rows = ScatteredRows();
  for (auto _ : state) {
    state.PauseTiming();
    auto t = std::make_unique<QTableWidget>();
    t->resize(800, 600);
    Fill(*t);
    state.ResumeTiming();
    for (int r : rows) t->removeRow(r);
    state.PauseTiming();
    t.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TableWidgetDelete)->Unit(benchmark::kMillisecond);

void BM_StringGridPaint(benchmark::State& state) {
  Application->Initialize();
  TStringGrid g(nullptr);
  g.SetBounds(0, 0, 800, 600);
  Fill(g);
  g.SetTopRow(kRows / 2);
  QImage image(800, 600, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    vx::QtPainterDevice device(&painter);
    g.PaintTo(&device);
  }
}
BENCHMARK(BM_StringGridPaint)->Unit(benchmark::kMillisecond);

void BM_TableWidgetPaint(benchmark::State& state) {
  Application->Initialize();
  QTableWidget t;
  t.resize(800, 600);
  Fill(t);
  t.scrollToItem(t.item(kRows / 2, 0), QAbstractItemView::PositionAtTop);
  QImage image(800, 600, QImage::Format_RGB32);
  for (auto _ : state) t.render(&image);
}
BENCHMARK(BM_TableWidgetPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
