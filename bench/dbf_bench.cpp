// Table file benchmark: appending draw-layout records (YEAR, DRAW, P1..P6)
// and reading them back by number, against python3-dbf appending and dbfread
// reading the same layout in the same run.
//
//   vx_bench_dbf [--records=N] [--no-peers] [benchmark options]
//
// The table lives in $VX_BENCH_TMP (default /tmp). At the end the program
// prints the peers' time divided by ours for both directions.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/bench_options.h"
#include "tables/dbf/xb_builders.h"
#include "tables/dbf/xb_fields.h"

namespace {

long gRecords = 1000000;
bool gPeers = true;
double gOurAppend = 0, gOurRead = 0, gPeerAppend = 0, gPeerRead = 0;

std::string Folder() { return vx::bench::ScratchFolder("dbf"); }

std::string TablePath() { return Folder() + "/draws.dbf"; }

void BuildDrawTable(const std::string& path) {
  XBO_DBFBuild b(path);
  b.AddField("YEAR", 'N', 9, 0);
  b.AddField("DRAW", 'N', 9, 0);
  for (int i = 1; i <= 6; ++i) b.AddField("P" + std::to_string(i), 'N', 15, 0);
  b.Write();
}

void BM_AppendDrawRecords(benchmark::State& state) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    BuildDrawTable(TablePath());
    XBO_dBaseFld t(TablePath(), false, true, "");
    for (long i = 0; i < gRecords; ++i) {
      t.BlankRecord();
      t.PutNumber(1, 2000 + i % 30);
      t.PutNumber(2, double(i + 1));
      for (int k = 0; k < 6; ++k) t.PutNumber(3 + k, double((i + k) % 49 + 1));
      t.AppendRecord();
    }
    gOurAppend = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(gOurAppend);
  }
  state.counters["records/s"] = benchmark::Counter(double(gRecords), benchmark::Counter::kIsRate);
}

void BM_ReadByNumber(benchmark::State& state) {
  double checksum = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    XBO_dBaseFld t(TablePath(), false, false, "");
    for (int r = 1; r <= t.RecordCount; ++r) {
      t.ReadRecord(r);
      for (int f = 1; f <= 8; ++f) checksum += t.GetNumber(f);
    }
    gOurRead = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(gOurRead);
  }
  benchmark::DoNotOptimize(checksum);
  state.counters["records/s"] = benchmark::Counter(double(gRecords), benchmark::Counter::kIsRate);
}

// python3-dbf appends and dbfread reads; the script measures both.
void BM_PeersPythonDbfAppendDbfreadRead(benchmark::State& state) {
  for (auto _ : state) {
    const std::string cmd = "/usr/bin/python3 '" + std::string(VX_SOURCE_DIR) + "/bench/dbf_peers_bench.py' '" +
                            Folder() + "/peers.dbf' " + std::to_string(gRecords);
    std::string out;
    if (FILE* pipe = popen(cmd.c_str(), "r")) {
      char buf[256];
      std::size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
      pclose(pipe);
    }
    if (std::sscanf(out.c_str(), "%lf %lf", &gPeerAppend, &gPeerRead) != 2) {
      state.SkipWithError("python3-dbf / dbfread not available");
      return;
    }
    state.SetIterationTime(gPeerAppend + gPeerRead);
  }
  state.counters["append_s"] = gPeerAppend;
  state.counters["read_s"] = gPeerRead;
}

}  // namespace

int main(int argc, char** argv) {
  vx::bench::TakeOptions(argc, argv, gRecords, gPeers);
  benchmark::RegisterBenchmark("AppendDrawRecords", BM_AppendDrawRecords)
      ->Iterations(1)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("ReadByNumber", BM_ReadByNumber)
      ->Iterations(1)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  if (gPeers)
    benchmark::RegisterBenchmark("PeersPythonDbfAppendDbfreadRead", BM_PeersPythonDbfAppendDbfreadRead)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\n%ld records: ours append %.3f s, read %.3f s", gRecords, gOurAppend, gOurRead);
  if (gPeerAppend > 0 && gOurAppend > 0 && gOurRead > 0)
    std::printf("; python3-dbf append %.3f s (%.1fx ours), dbfread read %.3f s (%.1fx ours)", gPeerAppend,
                gPeerAppend / gOurAppend, gPeerRead, gPeerRead / gOurRead);
  std::printf("\n");
  std::filesystem::remove_all(Folder());
  return 0;
}
