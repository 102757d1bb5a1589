// Command-line options shared by the benchmark programs that time a peer tool
// beside our own code: --records=N sets how many records to work on and
// --no-peers leaves the peer tools out. Every other argument is kept, in
// order, for Google Benchmark.
#pragma once

#include <cstdlib>
#include <string>

namespace vx::bench {

// Takes the options above out of argc/argv and stores them in records and peers.
inline void TakeOptions(int& argc, char** argv, long& records, bool& peers) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--records=", 0) == 0)
            records = std::atol(a.c_str() + 10);
        else if (a == "--no-peers")
            peers = false;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
}

}  // namespace vx::bench
