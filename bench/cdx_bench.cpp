// Compound index benchmarks on the draw table: bulk build of the unique tag
// "INDEX" on YEAR+(0.001*DRAW) over 1,000,000 records, and 1,000,000 random
// seeks of it. The table is the dBase file that cdx_bench_table.py writes
// (path in VX_CDX_BENCH_DBF, default /tmp/cdxbench/draws.dbf); records are
// read from the file's bytes. cdx_peers_bench.py runs this and the TDbf peer
// in one go.
#include "bench/cdx_bench_table.h"
#include "tables/index/cdx/cdx_index.h"

namespace {

void BM_CdxBulkBuildDrawTag(benchmark::State& s) { vx::bench::BulkBuild<XBobjCDXFile>(s, "DRAWS"); }
void BM_CdxRandomSeeks(benchmark::State& s) { vx::bench::RandomSeeks<XBobjCDXFile>(s, "DRAWS"); }
BENCHMARK(BM_CdxBulkBuildDrawTag)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CdxRandomSeeks)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
