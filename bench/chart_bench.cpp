// The chart window over a draw base (6 of 49): 100,000 and 1,000,000 draws.
// Each size runs in a process of its own: it writes the base (raw dBase III
// bytes, outside the measure), opens it as the main window does, notes the
// resident size, then opens the chart window on it, shows it and paints it
// once (offscreen), and prints the time that took and how far the peak
// resident size grew over the opened base.
//
//   QT_QPA_PLATFORM=offscreen vx_bench_chart [DRAWS...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/windows/chart_window.h"
#include "bench/draw_table.h"
#include "platform/gui/core/application.h"
#include "tables/dataset/txbasedataset.h"

namespace {

// Current resident size in KiB (VmRSS), and the peak so far (VmHWM).
long StatusKiB(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(in, line))
    if (line.rfind(prefix, 0) == 0) return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
  return 0;
}

int Run(int draws) {
  const auto dir = std::filesystem::temp_directory_path() / "vx_bench_chart";
  std::filesystem::create_directories(dir);
  const std::string name = "draws" + std::to_string(draws) + ".dbf";
  if (!std::filesystem::exists(dir / name)) vx::bench::WriteDrawTable((dir / name).string(), draws, 6, 49, 900);
  TXBaseDataSet table;
  table.SetDatabaseName(dir.string() + "/");
  table.SetTableName(name);
  table.Open();
  const long before = StatusKiB("VmRSS");
  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<TfrmChart> form(vx::NewForm<TfrmChart>(nullptr, &table));
  const auto opened = std::chrono::steady_clock::now();
  form->Show();
  form->TheChart->Widget()->grab();
  const auto painted = std::chrono::steady_clock::now();
  const long peak = StatusKiB("VmHWM");
  const auto seconds = [](auto from, auto to) { return std::chrono::duration<double>(to - from).count(); };
  std::printf("%8d draws  %7d points per series  read %5.2f s  first paint %5.2f s  together %5.2f s  "
              "peak grew by %6.1f MiB\n",
              draws, form->TheChart->Series(0)->Count(), seconds(start, opened), seconds(opened, painted),
              seconds(start, painted), double(peak - before) / 1024.0);
  std::fflush(stdout);
  form->Close();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {100'000, 1'000'000};
  int failed = 0;
  for (int draws : sizes) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
      Application->Initialize();
      Application->SetPumpInterval(0);
      ::_exit(Run(draws));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
  }
  return failed;
}
