// Peak memory of the bulk index build, per format, over the draw table of
// the index benchmarks (cdx_bench_table.py; path in VX_CDX_BENCH_DBF,
// default /tmp/cdxbench/draws.dbf). Each build runs in a process of its own:
// it opens the table through the handler, notes its peak resident size,
// builds the unique tag "INDEX" on YEAR+(0.001*DRAW) into a file beside the
// table and prints how far the peak grew and how long the build took.
//
//   vx_bench_index_memory [TABLE]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tables/handler/xbo_dbhandler.h"

namespace {

long PeakKiB() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

int Build(const std::string& table, const std::string& extension) {
  try {
    XBO_dBHandler h(table, false, false, "");
    const std::string index = std::filesystem::path(table).parent_path() / ("memory." + extension);
    const long before = PeakKiB();
    const auto start = std::chrono::steady_clock::now();
    h.IndexOn(index, "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s  %d records  peak grew by %7.1f MiB  (%.2f s)\n", extension.c_str(), h.RecordCount,
                double(PeakKiB() - before) / 1024.0, seconds);
    std::fflush(stdout);
    std::filesystem::remove(index);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", extension.c_str(), e.what());
    std::fflush(stderr);
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const char* env = std::getenv("VX_CDX_BENCH_DBF");
  const std::string table = argc > 1 ? argv[1] : env ? env : "/tmp/cdxbench/draws.dbf";
  if (!std::filesystem::exists(table)) {
    std::fprintf(stderr, "%s missing: run bench/cdx_bench_table.py %s 1000000\n", table.c_str(), table.c_str());
    return 1;
  }
  int failed = 0;
  for (const char* extension : {"CDX", "NTX", "NDX", "MDX"}) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) ::_exit(Build(table, extension));
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
  }
  return failed;
}
