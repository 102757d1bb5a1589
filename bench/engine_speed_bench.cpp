// The engine's speed on a draw table of N records (YEAR N(9,0), DRAW N(9,0),
// P1..P6 N(15,0); 109-byte records), as a user feels it:
//  - random Find on the draw tag "INDEX" (YEAR+(0.001*DRAW)) of a CDX, NDX,
//    MDX and NTX file, the record read with each;
//  - walks reading all eight number fields: in record order, in tag order
//    when the tag order is the physical order, in tag order over shuffled
//    records, and in tag order on a shared table; the walk in physical tag
//    order also per format, exclusive and shared (WalkTag/<format>/...);
//  - every record read by number on a shared table, one read of the file
//    each, as every step of a shared walk reads its record;
//  - the raw read of the table's bytes, the floor of every walk.
//
//   vx_bench_engine_speed --make=FOLDER [--records=N]
//       writes FOLDER/ordered.dbf (records in key order) with ordered.cdx,
//       ordered.ndx, ordered.mdx and ordered.ntx, FOLDER/draws.dbf (records shuffled) with draws.cdx and finds.ndx,
//       finds.mdx, finds.ntx;
//   vx_bench_engine_speed --folder=FOLDER [--seeks=N] [benchmark options]
//       runs the measurements on them.
//
// engine_speed_bench.py runs this beside TDbf in one go and prints the
// ratios. Every Find benchmark reports the process's peak resident memory
// so far (run one alone to see what the seeks need).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "tables/handler/xbo_dbhandler.h"

namespace {

std::string gFolder;
long gRecords = 1000000;
long gSeeks = 1000000;
constexpr int kPerYear = 500;
constexpr int kFields = 8;

int YearOf(long i) { return 1000 + int(i / kPerYear); }
int DrawOf(long i) { return int(i % kPerYear) + 1; }

void Put(std::string& rec, std::size_t at, int width, long value) {
  char text[24];
  const auto r = std::to_chars(text, text + sizeof text, value);
  const std::size_t n = std::size_t(r.ptr - text);
  rec.replace(at + std::size_t(width) - n, n, text, n);
}

// The table's bytes, written directly: record k of the file holds draw
// order[k] (0-based in key order).
void WriteTable(const std::string& path, const std::vector<long>& order) {
  const int fields = 2 + 6;
  const int headerLength = 32 + 32 * fields + 1;
  const int recordLength = 1 + 9 + 9 + 15 * 6;
  std::string header(std::size_t(headerLength), '\0');
  header[0] = 0x03;
  header[1] = 124;
  header[2] = header[3] = 1;
  const long count = long(order.size());
  for (int i = 0; i < 4; ++i) header[4 + std::size_t(i)] = char((count >> (8 * i)) & 0xFF);
  header[8] = char(headerLength & 0xFF);
  header[9] = char(headerLength >> 8);
  header[10] = char(recordLength & 0xFF);
  header[11] = char(recordLength >> 8);
  for (int f = 0; f < fields; ++f) {
    const std::string name = f == 0 ? "YEAR" : f == 1 ? "DRAW" : "P" + std::to_string(f - 1);
    char* d = header.data() + 32 + 32 * f;
    name.copy(d, name.size());
    d[11] = 'N';
    d[16] = char(f < 2 ? 9 : 15);
  }
  header[std::size_t(headerLength - 1)] = 0x0D;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << header;
  std::string rec;
  std::string chunk;
  for (long i : order) {
    rec.assign(std::size_t(recordLength), ' ');
    Put(rec, 1, 9, YearOf(i));
    Put(rec, 10, 9, DrawOf(i));
    for (int p = 0; p < 6; ++p) Put(rec, 19 + 15 * std::size_t(p), 15, (i * 7 + p * 13) % 49 + 1);
    chunk += rec;
    if (chunk.size() > (1 << 20)) {
      out << chunk;
      chunk.clear();
    }
  }
  out << chunk << '\x1a';
}

const char* kKey = "YEAR+(0.001*DRAW)";

void Make() {
  std::vector<long> order(static_cast<std::size_t>(gRecords));
  std::iota(order.begin(), order.end(), 0L);
  WriteTable(gFolder + "/ordered.dbf", order);
  std::shuffle(order.begin(), order.end(), std::mt19937(42));
  WriteTable(gFolder + "/draws.dbf", order);
  {
    XBO_dBHandler t(gFolder + "/ordered.dbf", false, true, "");
    t.IndexOn(gFolder + "/ordered.cdx", "INDEX", kKey, "", 0, 0);
    t.IndexOn(gFolder + "/ordered.ndx", "", kKey, "", 0, 0);
    t.IndexOn(gFolder + "/ordered.mdx", "INDEX", kKey, "", 0, 0);
    t.IndexOn(gFolder + "/ordered.ntx", "", kKey, "", 0, 0);
  }
  XBO_dBHandler t(gFolder + "/draws.dbf", false, true, "");
  t.IndexOn(gFolder + "/draws.cdx", "INDEX", kKey, "", 0, 0);
  t.IndexOn(gFolder + "/finds.ndx", "", kKey, "", 0, 0);
  t.IndexOn(gFolder + "/finds.mdx", "INDEX", kKey, "", 0, 0);
  t.IndexOn(gFolder + "/finds.ntx", "", kKey, "", 0, 0);
}

double PeakMiB() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return double(u.ru_maxrss) / 1024.0;
}

void BM_RawRead(benchmark::State& state) {
  const std::string path = gFolder + "/ordered.dbf";
  unsigned long sum = 0;
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<char> block(1 << 20);
    ssize_t n;
    while ((n = ::read(fd, block.data(), block.size())) > 0)
      for (ssize_t i = 0; i < n; i += 109) sum += static_cast<unsigned char>(block[std::size_t(i)]);
    ::close(fd);
  }
  benchmark::DoNotOptimize(sum);
}

void BM_Find(benchmark::State& state, const char* indexFile, const char* tag) {
  XBO_dBHandler t(gFolder + "/draws.dbf", false, false, "");
  if (t.IndexOpenList(indexFile, tag) != 0) {
    state.SkipWithError("index file missing");
    return;
  }
  const long n = t.RecordCount;
  long found = 0;
  for (auto _ : state) {
    std::mt19937 rng(1);
    char text[32];
    for (long s = 0; s < gSeeks; ++s) {
      const long j = long(rng() % std::uint32_t(n));
      const double key = YearOf(j) + 0.001 * DrawOf(j);
      const auto r = std::to_chars(text, text + sizeof text, key);
      found += t.Find(AnsiString(text, r.ptr));
    }
  }
  state.counters["found"] = double(found);
  state.counters["peak_mib"] = PeakMiB();
}

double SumFields(XBO_dBHandler& t) {
  double sum = 0;
  for (int f = 1; f <= kFields; ++f) sum += t.GetNumber(f);
  return sum;
}

void BM_Walk(benchmark::State& state, const char* table, const char* index, bool shared, const char* tag = "INDEX") {
  XBO_dBHandler t(gFolder + "/" + table, shared, shared, "");
  if (index) {
    if (t.IndexOpenList(index, tag) != 0) {
      state.SkipWithError("index file missing");
      return;
    }
  } else {
    t.SelectTag("", true);
  }
  double sum = 0;
  long records = 0;
  for (auto _ : state) {
    for (t.GetRec(xbTop); !t.EOFFlag; t.GetRec(xbNext)) {
      sum += SumFields(t);
      ++records;
    }
  }
  state.counters["checksum"] = sum / double(state.iterations());
  state.counters["records"] = double(records) / double(state.iterations());
}

// Every record read by number, from the first to the last: on a shared
// table each is read from the file, as every move of a shared walk reads
// its record; the cost of those reads beside the walk in record order.
void BM_ReadByNumber(benchmark::State& state, bool shared) {
  XBO_dBHandler t(gFolder + "/ordered.dbf", shared, shared, "");
  double sum = 0;
  long records = 0;
  for (auto _ : state) {
    for (int n = 1; n <= t.RecordCount; ++n) {
      t.GetRec(n);
      sum += SumFields(t);
      ++records;
    }
  }
  state.counters["checksum"] = sum / double(state.iterations());
  state.counters["records"] = double(records) / double(state.iterations());
}

void Register() {
  auto add = [](const std::string& name, auto fn) {
    benchmark::RegisterBenchmark(name.c_str(), fn)->Iterations(1)->Unit(benchmark::kMillisecond);
  };
  add("RawRead", BM_RawRead);
  // Single-tag files name their tag after the file.
  struct TagFile {
    const char* format;
    const char* file;
    const char* tag;
  };
  const TagFile finds[] = {{"cdx", "draws.cdx", "INDEX"},
                         {"ndx", "finds.ndx", "FINDS"},
                         {"mdx", "finds.mdx", "INDEX"},
                         {"ntx", "finds.ntx", "FINDS"}};
  for (const TagFile& f : finds)
    add(std::string("Find/") + f.format, [f](benchmark::State& s) { BM_Find(s, f.file, f.tag); });
  add("WalkRecordOrder", [](benchmark::State& s) { BM_Walk(s, "ordered.dbf", nullptr, false); });
  add("ReadByNumberShared", [](benchmark::State& s) { BM_ReadByNumber(s, true); });
  add("WalkTagOrdered", [](benchmark::State& s) { BM_Walk(s, "ordered.dbf", "ordered.cdx", false); });
  add("WalkTagShuffled", [](benchmark::State& s) { BM_Walk(s, "draws.dbf", "draws.cdx", false); });
  add("WalkTagShared", [](benchmark::State& s) { BM_Walk(s, "ordered.dbf", "ordered.cdx", true); });
  const TagFile walks[] = {{"cdx", "ordered.cdx", "INDEX"},
                         {"ntx", "ordered.ntx", "ORDERED"},
                         {"ndx", "ordered.ndx", "ORDERED"},
                         {"mdx", "ordered.mdx", "INDEX"}};
  for (const TagFile& f : walks) {
    for (const bool shared : {false, true}) {
      add(std::string("WalkTag/") + f.format + (shared ? "/shared" : "/exclusive"),
          [f, shared](benchmark::State& s) { BM_Walk(s, "ordered.dbf", f.file, shared, f.tag); });
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string make;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--make=", 0) == 0) make = a.substr(7);
    else if (a.rfind("--folder=", 0) == 0) gFolder = a.substr(9);
    else if (a.rfind("--records=", 0) == 0) gRecords = std::atol(a.c_str() + 10);
    else if (a.rfind("--seeks=", 0) == 0) gSeeks = std::atol(a.c_str() + 8);
    else argv[kept++] = argv[i];
  }
  argc = kept;
  if (!make.empty()) {
    gFolder = make;
    Make();
    return 0;
  }
  if (gFolder.empty()) {
    std::fprintf(stderr, "usage: %s --make=FOLDER [--records=N] | --folder=FOLDER [--seeks=N] [options]\n", argv[0]);
    return 2;
  }
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
