// NTX, NDX and MDX benchmarks on the draw table of the compound index
// benchmark (cdx_bench_table.py; path in VX_CDX_BENCH_DBF, default
// /tmp/cdxbench/draws.dbf): bulk build of a unique tag on YEAR+(0.001*DRAW)
// over 1,000,000 records, and 1,000,000 random seeks of it, per format.
// index3_peers_bench.py runs these and TDbf's MDX and NDX in one go. The
// table names no field shapes, so NTX number keys take the key's default
// width (18, 4 decimals).
#include "bench/cdx_bench_table.h"
#include "tables/index/mdx_index.h"
#include "tables/index/ndx_index.h"
#include "tables/index/ntx_index.h"

namespace {

using vx::bench::BulkBuild;
using vx::bench::RandomSeeks;

void BM_NtxBulkBuildDrawTag(benchmark::State& s) { BulkBuild<XBobjNTXFile>(s, "DRAWS.NTX"); }
void BM_NdxBulkBuildDrawTag(benchmark::State& s) { BulkBuild<XBobjNDXFile>(s, "DRAWS.NDX"); }
void BM_MdxBulkBuildDrawTag(benchmark::State& s) { BulkBuild<XBobjMDXFile>(s, "DRAWS.MDX"); }
void BM_NtxRandomSeeks(benchmark::State& s) { RandomSeeks<XBobjNTXFile>(s, "DRAWS.NTX"); }
void BM_NdxRandomSeeks(benchmark::State& s) { RandomSeeks<XBobjNDXFile>(s, "DRAWS.NDX"); }
void BM_MdxRandomSeeks(benchmark::State& s) { RandomSeeks<XBobjMDXFile>(s, "DRAWS.MDX"); }
BENCHMARK(BM_NtxBulkBuildDrawTag)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NdxBulkBuildDrawTag)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MdxBulkBuildDrawTag)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NtxRandomSeeks)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_NdxRandomSeeks)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MdxRandomSeeks)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
