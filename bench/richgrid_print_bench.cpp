// Printing the results-shaped grid (20,000 draws of year, draw number and
// six numbers: 8 columns) to a PDF file (A4, 600 dots per inch, the heading
// row on every page, page numbers), against LibreOffice converting the
// same table as a CSV file to PDF headless in the same run; and repainting
// one page of its preview into an A4-shaped image at screen resolution.
// The print settings are the grid's own (no lines, as LibreOffice prints
// a sheet without its grid) with 10-point Arial, margins of 1 cm and the
// page number at the bottom right.
// - PrintToPdf/0, /1: Print with the columns measured from their cells (the
//   grid is touched before each print, so every cell is measured again),
//   without and with the grid's lines;
// - PreviewPageRepaint: page 10 of the preview again (the layout measured
//   once, as a preview window repaints it);
// - LibreOfficeCsvToPdf: soffice --headless --convert-to pdf of the CSV,
//   with a profile of its own, started anew each time (as a user would).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/gui/draw/printers.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr int kRows = 20000, kCols = 8;

// A folder of this run (the PDF files, the CSV, LibreOffice's profile),
// removed when the program ends.
class WorkFolder {
 public:
  WorkFolder() : path_(std::filesystem::temp_directory_path() / ("vx_print_bench_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~WorkFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

const std::filesystem::path& WorkDir() {
  static const WorkFolder folder;
  return folder.Path();
}

int Cell(int r, int c) { return (r * 11 + c * 7) % 49 + 1; }

TRichStringGrid& ResultsGrid() {
  static TRichStringGrid* grid = [] {
    Application->Initialize();
    auto* g = new TRichStringGrid(nullptr);
    g->SetColCount(kCols);
    g->SetRowCount(kRows + 1);
    g->SetFixedRows(1);
    g->SetCells(0, 0, "YEAR");
    g->SetCells(1, 0, "DRAW");
    for (int c = 2; c < kCols; ++c) g->SetCells(c, 0, "P" + IntToStr(c - 1));
    for (int r = 1; r <= kRows; ++r) {
      g->SetCells(0, r, "2024");
      g->SetCells(1, r, IntToStr(r));
      for (int c = 2; c < kCols; ++c) g->SetCells(c, r, IntToStr(Cell(r, c)));
    }
    TPrintsettings* ps = g->PrintSettings();
    for (TFont* f : {ps->Font(), ps->HeaderFont(), ps->FooterFont()}) {
      f->SetName("Arial");
      f->SetSize(10);
    }
    ps->SetLeftSize(100);
    ps->SetRightSize(100);
    ps->SetHeaderSize(100);
    ps->SetFooterSize(100);
    ps->SetColumnSpacing(20);
    ps->SetRowSpacing(10);
    ps->SetPageNr(ppBottomRight);
    ps->SetRepeatFixedRows(true);
    return g;
  }();
  return *grid;
}

// Argument 1: with every line (pbSingle: a line above each row and at each
// column edge).
void BM_PrintToPdf(benchmark::State& state) {
  TRichStringGrid& g = ResultsGrid();
  g.PrintSettings()->SetBorders(state.range(0) ? pbSingle : pbNoborder);
  TPrinter printer;
  TPrinter* previous = SetPrinter(&printer);
  printer.SetOutputFileName((WorkDir() / "grid.pdf").string());
  int pages = 0;
  g.OnPrintStart = [&](TObject*, int n, int&, int&) { pages = n; };
  for (auto _ : state) {
    g.SetCells(0, 0, "YEAR");  // a change: the cells are measured again
    g.Print();
  }
  g.OnPrintStart = nullptr;
  SetPrinter(previous);
  state.counters["pages"] = pages;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(WorkDir() / "grid.pdf"));
}

// Argument 1: with a colour event (the draw numbers bold), which a repaint
// asks again for every cell to see whether the measurements still hold.
void BM_PreviewPageRepaint(benchmark::State& state) {
  TRichStringGrid& g = ResultsGrid();
  if (state.range(0))
    g.OnGetCellPrintColor = [](TObject*, int, int col, TGridDrawState, TBrush*, TFont* font) {
      if (col == 1) font->SetStyle(TFontStyles{fsBold});
    };
  QImage page(794, 1123, QImage::Format_RGB32);
  auto paint = [&] {
    page.fill(Qt::white);
    QPainter painter(&page);
    vx::QtPainterDevice device(&painter);
    TCanvas canvas(&device);
    g.SetPreviewPage(10);
    g.PrintPreview(&canvas, TRect{0, 0, page.width(), page.height()});
  };
  paint();  // the preview window's first paint measures the cells
  for (auto _ : state) paint();
  g.OnGetCellPrintColor = nullptr;
}

void BM_LibreOfficeCsvToPdf(benchmark::State& state) {
  const std::filesystem::path& dir = WorkDir();
  const std::filesystem::path csv = dir / "grid.csv";
  {
    std::ofstream out(csv);
    out << "YEAR,DRAW,P1,P2,P3,P4,P5,P6\n";
    for (int r = 1; r <= kRows; ++r) {
      out << "2024," << r;
      for (int c = 2; c < kCols; ++c) out << ',' << Cell(r, c);
      out << '\n';
    }
  }
  const std::string command = "soffice -env:UserInstallation=file://" + (dir / "profile").string() +
                              " --headless --convert-to pdf --outdir '" + (dir / "lo").string() + "' '" + csv.string() +
                              "' >/dev/null 2>&1";
  // The first run only makes the profile.
  if (std::system(command.c_str()) != 0) state.SkipWithError("soffice failed");
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("soffice failed");
  const auto pdf = dir / "lo" / "grid.pdf";
  state.counters["bytes"] = std::filesystem::exists(pdf) ? static_cast<double>(std::filesystem::file_size(pdf)) : 0;
}

BENCHMARK(BM_PrintToPdf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_PreviewPageRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibreOfficeCsvToPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
