// Table handler benchmark: a draw table of N records in shuffled physical
// order with the unique tag "INDEX" on "YEAR+(0.001*DRAW)", walked
//  - in record order (read-ahead block),
//  - in tag order (a read by number per record),
// beside the physical limit (the file read in 1 MiB blocks) and dbfread
// iterating the same file, all in one run. Each walk reads DRAW of every
// record, as dbfread's loop does.
//
//   vx_bench_handler [--records=N] [--no-peers] [benchmark options]
//
// The table lives in $VX_BENCH_TMP (default /tmp). At the end the program
// prints the times and their ratios.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_options.h"
#include "tables/dbf/xb_builders.h"
#include "tables/handler/xbo_dbhandler.h"

namespace {

long gRecords = 1000000;
bool gPeers = true;
double gRaw = 0, gRecordOrder = 0, gTagOrder = 0, gPeer = 0;
double gChecksum[3] = {0, 0, 0};

std::string Folder() { return vx::bench::ScratchFolder("handler"); }

std::string TablePath() { return Folder() + "/draws.dbf"; }

void MakeTable() {
  XBO_DBFBuild b(TablePath());
  b.AddField("YEAR", 'N', 9, 0);
  b.AddField("DRAW", 'N', 9, 0);
  for (int i = 1; i <= 6; ++i) b.AddField("P" + std::to_string(i), 'N', 15, 0);
  b.Write();
  std::vector<long> order(static_cast<std::size_t>(gRecords));
  std::iota(order.begin(), order.end(), 0L);
  std::shuffle(order.begin(), order.end(), std::mt19937(42));
  XBO_dBHandler t(TablePath(), false, true, "");
  for (long i : order) {
    t.BlankRecord();
    t.PutNumber(1, double(1000 + i / 900));
    t.PutNumber(2, double(i % 900 + 1));
    for (int k = 0; k < 6; ++k) t.PutNumber(3 + k, double((i + k) % 49 + 1));
    t.AppendRecord();
  }
  t.IndexOn(Folder() + "/draws.cdx", "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
}

template <typename Body>
double Timed(Body body) {
  const auto start = std::chrono::steady_clock::now();
  body();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_RawReadLargeBlocks(benchmark::State& state) {
  for (auto _ : state) {
    gRaw = Timed([] {
      const int fd = ::open(TablePath().c_str(), O_RDONLY);
      std::vector<char> block(1 << 20);
      unsigned long sum = 0;
      ssize_t n;
      while ((n = ::read(fd, block.data(), block.size())) > 0)
        for (ssize_t i = 0; i < n; i += 109) sum += static_cast<unsigned char>(block[std::size_t(i)]);
      ::close(fd);
      benchmark::DoNotOptimize(sum);
    });
    state.SetIterationTime(gRaw);
  }
}

void Walk(benchmark::State& state, bool byTag, double& seconds, double& checksum) {
  for (auto _ : state) {
    seconds = Timed([&] {
      XBO_dBHandler t(TablePath(), false, false, "");
      t.UseDeleted = false;
      if (byTag) t.IndexOpenList("draws.cdx", "INDEX");
      else t.SelectTag("", true);
      double sum = 0;
      for (t.GetRec(xbTop); !t.EOFFlag; t.GetRec(xbNext)) sum += t.GetNumber(2);
      checksum = sum;
    });
    state.SetIterationTime(seconds);
  }
  state.counters["records/s"] = benchmark::Counter(double(gRecords), benchmark::Counter::kIsRate);
}

void BM_WalkRecordOrder(benchmark::State& state) { Walk(state, false, gRecordOrder, gChecksum[0]); }
void BM_WalkTagOrder(benchmark::State& state) { Walk(state, true, gTagOrder, gChecksum[1]); }

void BM_PeerDbfreadIterate(benchmark::State& state) {
  for (auto _ : state) {
    const std::string cmd =
        "/usr/bin/python3 '" + std::string(VX_SOURCE_DIR) + "/bench/handler_peers_bench.py' '" + TablePath() + "'";
    std::string out;
    if (FILE* pipe = popen(cmd.c_str(), "r")) {
      char buf[256];
      std::size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
      pclose(pipe);
    }
    if (std::sscanf(out.c_str(), "%lf %lf", &gPeer, &gChecksum[2]) != 2) {
      state.SkipWithError("dbfread not available");
      return;
    }
    state.SetIterationTime(gPeer);
  }
}

}  // namespace

int main(int argc, char** argv) {
  vx::bench::TakeOptions(argc, argv, gRecords, gPeers);
  const double build = Timed(MakeTable);
  auto reg = [](const char* name, void (*fn)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name, fn)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
  };
  reg("RawReadLargeBlocks", BM_RawReadLargeBlocks);
  reg("WalkRecordOrder", BM_WalkRecordOrder);
  reg("WalkTagOrder", BM_WalkTagOrder);
  if (gPeers) reg("PeerDbfreadIterate", BM_PeerDbfreadIterate);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf(
      "\n%ld records (table and tag built in %.2f s): raw read %.3f s; record order %.3f s (%.2fx raw); "
      "tag order %.3f s (%.2fx raw)",
      gRecords, build, gRaw, gRecordOrder, gRaw > 0 ? gRecordOrder / gRaw : 0, gTagOrder,
      gRaw > 0 ? gTagOrder / gRaw : 0);
  if (gPeer > 0 && gRecordOrder > 0)
    std::printf("; dbfread %.3f s (%.1fx our record order)", gPeer, gPeer / gRecordOrder);
  std::printf("\nchecksums: record order %.0f, tag order %.0f, dbfread %.0f\n", gChecksum[0], gChecksum[1],
              gChecksum[2]);
  std::filesystem::remove_all(Folder());
  return 0;
}
