// The rich grid's files at scale, beside peer programs in the same run:
// saving a grid of 1,000,000 cells as an Excel 97-2003 file and loading it
// back, against LibreOffice converting the same cells from CSV to .xls;
// loading a 100,000-line draw CSV (a date and 20 numbers per line),
// against python's csv module reading the same file.
//
//   vx_bench_grid_files [--records=N] [--no-peers] [benchmark options]
//
// --records sets the CSV's lines. The spreadsheet is 50,000 rows of 20
// cells: an .xls sheet holds at most 65,536 rows, so the million cells go
// as 50,000 x 20. Files live in $VX_BENCH_TMP (default /tmp). At the end
// the program prints the peers' time divided by ours, in elapsed time and
// in processor time (ours: the thread's; LibreOffice's: its processes';
// python's: its process's), which a busy machine disturbs less;
// LibreOffice's time is given whole and less its start-up (a one-line
// conversion).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "RichGrid/rich_grid.h"
#include "bench/bench_options.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/sysutils.h"
#include "tests/support/run_tool.h"

namespace {

long gLines = 100000;
bool gPeers = true;
constexpr int kXlsRows = 50000, kXlsCols = 20;
double gOurXls = 0, gOurXlsSave = 0, gOurCsv = 0, gLibreOffice = 0, gLibreOfficeStart = 0, gPython = 0;
double gOurXlsCpu = 0, gOurCsvCpu = 0, gLibreOfficeCpu = 0, gLibreOfficeStartCpu = 0, gPythonCpu = 0;

std::string Folder() { return vx::bench::ScratchFolder("gridfiles"); }

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Row r, column c of the spreadsheet: a Cyrillic text first, then whole
// and decimal numbers.
AnsiString XlsCell(int r, int c) {
  if (c == 0) return "тираж "_cp + IntToStr(r);
  if (c % 4 == 0) return IntToStr((r * 7 + c) % 1000) + "." + IntToStr(c % 10);
  return IntToStr((r * 13 + c * 7) % 100000);
}

double ThreadCpu() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Processor time of the finished child processes (and theirs).
double ChildrenCpu() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

void BM_XlsSaveAndLoad(benchmark::State& state) {
  Application->Initialize();
  TRichStringGrid grid(nullptr);
  grid.SetColCount(kXlsCols);
  grid.SetRowCount(kXlsRows);
  for (int r = 0; r < kXlsRows; ++r)
    for (int c = 0; c < kXlsCols; ++c) grid.SetCells(c, r, XlsCell(r, c));
  const std::string file = Folder() + "/cells.xls";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ThreadCpu();
    grid.SaveToXLS(file);
    gOurXlsSave = Seconds(start);
    TRichStringGrid back(nullptr);
    back.LoadFromXLS(file);
    gOurXls = Seconds(start);
    gOurXlsCpu = ThreadCpu() - cpu;
    if (back.RowCount() != kXlsRows || back.Cells(kXlsCols - 1, kXlsRows - 1) != XlsCell(kXlsRows - 1, kXlsCols - 1))
      state.SkipWithError("the spreadsheet did not read back");
    state.SetIterationTime(gOurXls);
  }
  state.counters["save_s"] = gOurXlsSave;
  state.counters["cpu_s"] = gOurXlsCpu;
  state.counters["cells/s"] = benchmark::Counter(double(kXlsRows) * kXlsCols, benchmark::Counter::kIsRate);
}

// LibreOffice converts the same cells from CSV to .xls; a one-line CSV
// converted the same way gives its start-up.
void BM_PeersLibreOfficeCsvToXls(benchmark::State& state) {
  const std::string dir = Folder();
  {
    std::ofstream csv(dir + "/cells.csv", std::ios::binary);
    for (int r = 0; r < kXlsRows; ++r) {
      std::string line;
      for (int c = 0; c < kXlsCols; ++c) line += (c ? "," : "") + vx::Cp1251ToUtf8(XlsCell(r, c));
      csv << line << "\r\n";
    }
    std::ofstream(dir + "/one.csv", std::ios::binary) << "1,2\r\n";
  }
  const std::string soffice = "soffice -env:UserInstallation=file://" + dir +
                              "/profile --headless --infilter='Text - txt - csv (StarCalc):44,34,76,1' "
                              "--convert-to 'xls:MS Excel 97' --outdir " +
                              dir + " ";
  vx::test::RunTool(soffice + dir + "/one.csv >/dev/null 2>&1");  // the profile is made once, outside the timing
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    double cpu = ChildrenCpu();
    vx::test::RunTool(soffice + dir + "/one.csv >/dev/null 2>&1");
    gLibreOfficeStart = Seconds(start);
    gLibreOfficeStartCpu = ChildrenCpu() - cpu;
    start = std::chrono::steady_clock::now();
    cpu = ChildrenCpu();
    vx::test::RunTool(soffice + dir + "/cells.csv >/dev/null 2>&1");
    gLibreOffice = Seconds(start);
    gLibreOfficeCpu = ChildrenCpu() - cpu;
    if (!std::filesystem::exists(dir + "/cells.xls")) {
      state.SkipWithError("LibreOffice did not convert");
      return;
    }
    state.SetIterationTime(gLibreOffice);
  }
  state.counters["startup_s"] = gLibreOfficeStart;
  state.counters["cpu_s"] = gLibreOfficeCpu;
  state.counters["startup_cpu_s"] = gLibreOfficeStartCpu;
}

std::string CsvPath() { return Folder() + "/draws.csv"; }

// The draw import's shape: "yyyy.m.d;n1;...;n20".
void WriteDrawCsv() {
  std::ofstream out(CsvPath(), std::ios::binary);
  std::string line;
  for (long i = 0; i < gLines; ++i) {
    line = std::to_string(1990 + i / 104) + "." + std::to_string(1 + (i / 9) % 12) + "." + std::to_string(1 + i % 28);
    for (int k = 0; k < 20; ++k) line += ";" + std::to_string(1 + (i * 7 + k * 13) % 80);
    out << line << "\r\n";
  }
}

void BM_CsvLoad(benchmark::State& state) {
  Application->Initialize();
  WriteDrawCsv();
  for (auto _ : state) {
    TRichStringGrid grid(nullptr);
    grid.SetColCount(1);
    grid.SetDelimiter(';');
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ThreadCpu();
    grid.LoadFromCSV(CsvPath());
    gOurCsv = Seconds(start);
    gOurCsvCpu = ThreadCpu() - cpu;
    if (grid.RowCount() != gLines || grid.ColCount() != 21) state.SkipWithError("the CSV did not load");
    state.SetIterationTime(gOurCsv);
  }
  state.counters["lines/s"] = benchmark::Counter(double(gLines), benchmark::Counter::kIsRate);
  state.counters["cpu_s"] = gOurCsvCpu;
}

void BM_PeersPythonCsvReader(benchmark::State& state) {
  for (auto _ : state) {
    const std::string out = vx::test::RunTool("/usr/bin/python3 '" + std::string(VX_SOURCE_DIR) +
                                              "/bench/grid_files_peers_bench.py' '" + CsvPath() + "' ';' cp1251");
    long rows = 0;
    if (std::sscanf(out.c_str(), "%lf %lf %ld", &gPython, &gPythonCpu, &rows) != 3 || rows != gLines) {
      state.SkipWithError("python did not read the file");
      return;
    }
    state.SetIterationTime(gPython);
  }
  state.counters["cpu_s"] = gPythonCpu;
}

}  // namespace

int main(int argc, char** argv) {
  vx::bench::TakeOptions(argc, argv, gLines, gPeers);
  auto add = [](const char* name, void (*fn)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name, fn)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
  };
  add("XlsSaveAndLoad", BM_XlsSaveAndLoad);
  if (gPeers) add("PeersLibreOfficeCsvToXls", BM_PeersLibreOfficeCsvToXls);
  add("CsvLoad", BM_CsvLoad);
  if (gPeers) add("PeersPythonCsvReader", BM_PeersPythonCsvReader);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\n%d x %d cells as .xls: ours save and load %.3f s (save %.3f s), processor %.3f s", kXlsRows, kXlsCols,
              gOurXls, gOurXlsSave, gOurXlsCpu);
  if (gLibreOffice > 0 && gOurXls > 0 && gOurXlsCpu > 0)
    std::printf(
        "\nLibreOffice CSV to .xls %.3f s (%.1fx ours), less its start-up %.3f s (%.1fx ours); processor %.3f s "
        "(%.1fx ours), less its start-up %.3f s (%.1fx ours)",
        gLibreOffice, gLibreOffice / gOurXls, gLibreOffice - gLibreOfficeStart,
        (gLibreOffice - gLibreOfficeStart) / gOurXls, gLibreOfficeCpu, gLibreOfficeCpu / gOurXlsCpu,
        gLibreOfficeCpu - gLibreOfficeStartCpu, (gLibreOfficeCpu - gLibreOfficeStartCpu) / gOurXlsCpu);
  std::printf("\n%ld-line CSV: ours load %.3f s, processor %.3f s", gLines, gOurCsv, gOurCsvCpu);
  if (gPython > 0 && gOurCsv > 0 && gOurCsvCpu > 0)
    std::printf("; python csv reader %.3f s (%.1fx ours), processor %.3f s (%.1fx ours)", gPython, gPython / gOurCsv,
                gPythonCpu, gPythonCpu / gOurCsvCpu);
  std::printf("\n");
  std::filesystem::remove_all(Folder());
  return 0;
}
