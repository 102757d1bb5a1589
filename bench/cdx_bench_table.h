// The draw table of the index benchmarks, written by cdx_bench_table.py
// (path in VX_CDX_BENCH_DBF, default /tmp/cdxbench/draws.dbf), as the index
// layer sees it, and the two measurements every index format takes on it: a
// bulk build of the unique tag "INDEX" on YEAR+(0.001*DRAW) and 1,000,000
// random seeks of it.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "tables/index/xb_index.h"

namespace vx::bench {

inline std::string DbfPath() {
  const char* p = std::getenv("VX_CDX_BENCH_DBF");
  return p ? p : "/tmp/cdxbench/draws.dbf";
}

// The draw table as the index sees it: YEAR and DRAW parsed from the record
// bytes.
class DrawTable : public vx::IndexTableLink {
 public:
  explicit DrawTable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
    if (bytes_.size() < 32) return;
    auto u16 = [&](size_t at) { return static_cast<uint8_t>(bytes_[at]) | static_cast<uint8_t>(bytes_[at + 1]) << 8; };
    std::memcpy(&count_, bytes_.data() + 4, 4);
    headerLen_ = u16(8);
    recordLen_ = u16(10);
    folder_ = std::filesystem::path(path).parent_path().string();
  }
  std::string Folder() const override { return folder_; }
  std::string BaseName() const override { return "DRAWS"; }
  int32_t RecordCount() const override { return count_; }
  int32_t CurrentRecord() const override { return current_; }
  void ReadForIndex(int32_t record) override { current_ = record; }
  std::unique_ptr<vx::IndexExpr> Compile(const std::string& text) override;

  double Field(size_t offset, size_t width) const {
    if (current_ < 1) return 0;
    const char* p = bytes_.data() + headerLen_ + static_cast<size_t>(current_ - 1) * recordLen_ + offset;
    long v = 0;
    bool neg = false;
    for (size_t i = 0; i < width; ++i) {
      if (p[i] == '-') neg = true;
      else if (p[i] >= '0' && p[i] <= '9') v = v * 10 + (p[i] - '0');
    }
    return static_cast<double>(neg ? -v : v);
  }

 private:
  std::string bytes_;
  std::string folder_;
  int32_t count_ = 0;
  size_t headerLen_ = 0;
  size_t recordLen_ = 0;
  int32_t current_ = 0;
};

class DrawKey : public vx::IndexExpr {
 public:
  explicit DrawKey(const DrawTable* t) : t_(t) {}
  vx::IndexValue Evaluate() override {
    vx::IndexValue v;
    v.kind = vx::IndexValue::Kind::Number;
    v.number = t_->Field(1, 9) + (0.001 * t_->Field(10, 9));
    return v;
  }
  std::string Text() const override { return "YEAR+(0.001*DRAW)"; }

 private:
  const DrawTable* t_;
};

inline std::unique_ptr<vx::IndexExpr> DrawTable::Compile(const std::string&) { return std::make_unique<DrawKey>(this); }

template <class File>
XBobjIndexTag* Build(File& file, const char* name) {
  file.Create(name, true, true, false, true);
  return file.TagAdd({"INDEX", "YEAR+(0.001*DRAW)", "", true, true});
}

template <class File>
void BulkBuild(benchmark::State& state, const char* name) {
  DrawTable table(DbfPath());
  if (table.RecordCount() == 0) {
    state.SkipWithError("draw table missing: run cdx_bench_table.py");
    return;
  }
  for (auto _ : state) {
    File file(&table);
    Build(file, name);
  }
  state.SetItemsProcessed(state.iterations() * table.RecordCount());
}

template <class File>
void RandomSeeks(benchmark::State& state, const char* name) {
  DrawTable table(DbfPath());
  const int32_t n = table.RecordCount();
  if (n == 0) {
    state.SkipWithError("draw table missing: run cdx_bench_table.py");
    return;
  }
  File file(&table);
  XBobjIndexTag* tag = Build(file, name);
  std::mt19937 rng(1);
  int64_t found = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000000; ++i) {
      const int32_t j = static_cast<int32_t>(rng() % static_cast<uint32_t>(n));
      vx::IndexValue v;
      v.kind = vx::IndexValue::Kind::Number;
      v.number = (1000 + j / 500) + 0.001 * (j % 500 + 1);
      found += tag->KeyFind(tag->MakeKey(v)) != 0;
    }
  }
  state.counters["found"] = static_cast<double>(found);
  state.SetItemsProcessed(state.iterations() * 1000000);
}

}  // namespace vx::bench
