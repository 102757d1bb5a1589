// Costs of the OS layer's hot paths: the table engine reads and writes
// records and index pages at offsets, locks and unlocks a record region per
// update, and resolves a name (often upper-cased) per open.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/os/os_file.h"
#include "platform/os/path_resolver.h"

namespace {

namespace fs = std::filesystem;

std::string BenchFolder() {
  static const std::string folder = [] {
    const fs::path path = fs::temp_directory_path() / ("vx-bench-os-" + std::to_string(::getpid()));
    fs::create_directories(path / "Draw Bases" / "Tickets");
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(fs::temp_directory_path() / ("vx-bench-os-" + std::to_string(::getpid())), ec);
    });
    return path.string();
  }();
  return folder;
}

void BM_WriteThenReadBlocks(benchmark::State& state) {
  const auto block = static_cast<std::size_t>(state.range(0));
  vx::OsFile file;
  if (!file.Create(BenchFolder() + "/io.dbf", vx::OsAccess::ReadWrite, vx::OsShare::DenyNone)) {
    state.SkipWithError("create failed");
    return;
  }
  std::vector<char> buffer(block, 'x');
  constexpr std::uint64_t kBlocks = 256;
  std::uint64_t i = 0;
  for (auto _ : state) {
    const std::uint64_t offset = (i++ % kBlocks) * block;
    file.Write(offset, buffer.data(), block);
    std::size_t got = 0;
    file.Read(offset, buffer.data(), block, got);
    benchmark::DoNotOptimize(got);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block * 2));
}
BENCHMARK(BM_WriteThenReadBlocks)->Arg(32)->Arg(512)->Arg(4096);

void BM_LockUnlockRecord(benchmark::State& state) {
  vx::OsFile file;
  if (!file.Create(BenchFolder() + "/locks.dbf", vx::OsAccess::ReadWrite, vx::OsShare::DenyNone)) {
    state.SkipWithError("create failed");
    return;
  }
  // The FoxPro protocol's record lock lies near 0x7FFFFFFE - record.
  std::uint64_t record = 0;
  for (auto _ : state) {
    const std::uint64_t offset = 0x7FFFFFFEull - (++record % 100000);
    file.LockRegion(offset, 1);
    file.UnlockRegion(offset, 1);
  }
}
BENCHMARK(BM_LockUnlockRecord);

void BM_ResolveExactName(benchmark::State& state) {
  const std::string path = BenchFolder() + "/Draw Bases/Tickets/new.tic";
  for (auto _ : state) benchmark::DoNotOptimize(vx::ResolvePath(path));
}
BENCHMARK(BM_ResolveExactName);

void BM_ResolveUpperCasedName(benchmark::State& state) {
  // Each mismatched component costs a folder scan.
  const std::string path = BenchFolder() + "\\DRAW BASES\\TICKETS\\NEW.TIC";
  for (auto _ : state) benchmark::DoNotOptimize(vx::ResolvePath(path));
}
BENCHMARK(BM_ResolveUpperCasedName);

}  // namespace
