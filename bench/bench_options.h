// What the benchmark programs that time a peer tool beside our own code
// share: their command-line options (--records=N sets how many records to
// work on and --no-peers leaves the peer tools out; every other argument is
// kept, in order, for Google Benchmark) and their scratch folder.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vx::bench {

// The folder vx-bench-<area>-<pid> under $VX_BENCH_TMP (or /tmp), created
// when missing.
inline std::string ScratchFolder(const std::string& area) {
  const char* base = std::getenv("VX_BENCH_TMP");
  const std::filesystem::path p =
      std::filesystem::path(base && *base ? base : "/tmp") / ("vx-bench-" + area + "-" + std::to_string(::getpid()));
  std::filesystem::create_directories(p);
  return p.string();
}

// Takes the options above out of argc/argv and stores them in records and peers.
inline void TakeOptions(int& argc, char** argv, long& records, bool& peers) {
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--records=", 0) == 0) records = std::atol(a.c_str() + 10);
    else if (a == "--no-peers") peers = false;
    else argv[kept++] = argv[i];
  }
  argc = kept;
}

}  // namespace vx::bench
