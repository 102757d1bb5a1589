// Expression evaluation over a table held in memory: one compiled condition
// (the application's draw filter) and one compiled key, evaluated on each of
// 1,000,000 records of the draw layout. The records are read into memory
// once; each evaluation points the table's current record at the next one,
// as the data set adapter does with its own buffers.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tables/dbf/xb_builders.h"
#include "tables/expr/xb_expr_link.h"

namespace {

constexpr int kRecords = 1000000;

struct DrawTable {
  std::filesystem::path dir;
  std::unique_ptr<XBO_dBaseFld> table;
  std::vector<char> records;  // every record, back to back

  DrawTable() {
    dir = std::filesystem::temp_directory_path() / ("vx-expr-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "draws.dbf").string();
    {
      XBO_DBFBuild b(path);
      b.AddField("YEAR", 'N', 9, 0);
      b.AddField("DRAW", 'N', 9, 0);
      for (int i = 1; i <= 6; ++i) b.AddField("P" + std::to_string(i), 'N', 15, 0);
      b.Write();
    }
    // Records are written straight into the file (the engine recounts
    // them from the file size when it opens the table).
    std::string bytes;
    {
      std::ifstream in(path, std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!bytes.empty() && bytes.back() == '\x1A') bytes.pop_back();
    char rec[256];
    for (int i = 0; i < kRecords; ++i) {
      const int year = 1990 + i / 104, draw = 1 + i % 104;
      int n = std::snprintf(rec, sizeof rec, " %9d%9d", year, draw);
      for (int p = 1; p <= 6; ++p) n += std::snprintf(rec + n, sizeof rec - n, "%15d", (i * 7 + p * 13) % 49 + 1);
      bytes.append(rec, static_cast<std::size_t>(n));
    }
    bytes += '\x1A';
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    table = std::make_unique<XBO_dBaseFld>(path, false, false, "");
    records.assign(bytes.begin() + table->HeaderLength,
                   bytes.begin() + table->HeaderLength + std::size_t(table->RecordLength) * kRecords);
  }
  ~DrawTable() {
    table.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

DrawTable& Table() {
  static DrawTable t;
  return t;
}

void EvaluateOverTable(benchmark::State& state, const char* text) {
  DrawTable& t = Table();
  TxbExpHandler h(&xbTableExpLink(*t.table), false, text);
  char* const saved = t.table->CurRecord;
  const std::size_t length = std::size_t(t.table->RecordLength);
  vx::ExprValue v;
  std::int64_t hits = 0;
  for (auto _ : state) {
    for (int i = 0; i < kRecords; ++i) {
      t.table->CurRecord = t.records.data() + length * std::size_t(i);
      h.Evaluate(v);
      hits += v.Type == vx::xtBoolean ? v.Boolean : 1;
    }
  }
  t.table->CurRecord = saved;
  benchmark::DoNotOptimize(hits);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_DrawFilter(benchmark::State& state) { EvaluateOverTable(state, "(YEAR=2001) AND (DRAW=5)"); }
void BM_DrawKey(benchmark::State& state) { EvaluateOverTable(state, "YEAR+(0.001*DRAW)"); }
void BM_TextCondition(benchmark::State& state) { EvaluateOverTable(state, "STR(YEAR,4)+STRZERO(DRAW,3) = '2001005'"); }
void BM_CompileFilter(benchmark::State& state) {
  DrawTable& t = Table();
  for (auto _ : state) {
    TxbExpHandler h(&xbTableExpLink(*t.table), false, "(YEAR=2001) AND (DRAW=5)");
    benchmark::DoNotOptimize(h.Tree());
  }
}

}  // namespace

BENCHMARK(BM_DrawFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextCondition)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileFilter);
