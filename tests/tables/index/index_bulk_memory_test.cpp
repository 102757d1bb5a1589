// The bulk build of every index format keeps its keys in the sort engine's
// compact pages until they are written. The NTX, NDX and MDX builds used to
// gather one std::string per key and sort those (the compound build drained
// its sorter into them), so the heap peaked at about twice the keys' text
// plus 40 bytes a key. This program counts the heap it uses (its own
// operator new), so it runs apart from the other tests.
#include <gtest/gtest.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "tables/index/cdx/cdx_index.h"
#include "tables/index/mdx_index.h"
#include "tables/index/ndx_index.h"
#include "tables/index/ntx_index.h"
#include "tests/support/scratch_folder.h"

namespace {

std::atomic<std::size_t> gLive{0};
std::atomic<std::size_t> gPeak{0};

void* Take(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  const std::size_t live = gLive += malloc_usable_size(p);
  std::size_t peak = gPeak.load();
  while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {}
  return p;
}

void Give(void* p) {
  if (!p) return;
  gLive -= malloc_usable_size(p);
  std::free(p);
}

}  // namespace

void* operator new(std::size_t n) { return Take(n); }
void* operator new[](std::size_t n) { return Take(n); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, std::size_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t) noexcept { Give(p); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return Take(n);
  } catch (...) { return nullptr; }
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept { return operator new(n, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Give(p); }

namespace {

constexpr int kRecords = 200000;
constexpr std::size_t kKeyText = 24;  // past the strings' own small buffer

// A table whose record n holds one 24-character text, scattered over the
// key order; nothing is kept per record.
class GeneratedTable : public vx::IndexTableLink {
 public:
  explicit GeneratedTable(std::string folder) : folder_(std::move(folder)) {}
  std::string Folder() const override { return folder_; }
  std::string BaseName() const override { return "GENERATED"; }
  int32_t RecordCount() const override { return kRecords; }
  int32_t CurrentRecord() const override { return current_; }
  void ReadForIndex(int32_t record) override { current_ = record; }
  std::unique_ptr<vx::IndexExpr> Compile(const std::string& text) override;

  std::string Text() const {
    char buf[kKeyText + 1];
    const long scattered = (long(std::max(current_, 1)) * 7919) % 1000003;
    std::snprintf(buf, sizeof buf, "KEY%021ld", scattered);
    return std::string(buf, kKeyText);
  }

 private:
  std::string folder_;
  int32_t current_ = 0;
};

class GeneratedKey : public vx::IndexExpr {
 public:
  explicit GeneratedKey(const GeneratedTable* t) : table_(t) {}
  vx::IndexValue Evaluate() override {
    vx::IndexValue v;
    v.kind = vx::IndexValue::Kind::Text;
    v.text = table_->Text();
    return v;
  }
  std::string Text() const override { return "NAME"; }

 private:
  const GeneratedTable* table_;
};

std::unique_ptr<vx::IndexExpr> GeneratedTable::Compile(const std::string&) {
  return std::make_unique<GeneratedKey>(this);
}

template <class File>
std::size_t BuildPeak(GeneratedTable& table, const std::string& name, const std::string& tag) {
  File file(&table);
  EXPECT_TRUE(file.Create(table.Folder() + "/" + name, true, true, false, true));
  const std::size_t before = gLive.load();
  gPeak = before;
  XBobjIndexTag* built = file.TagAdd({tag, "NAME", "", false, true});
  EXPECT_NE(built, nullptr);
  return gPeak.load() - before;
}

TEST(IndexBulkMemory, BuildsKeepTheirKeysInTheSortersPages) {
  GeneratedTable table(vx::test::NamedTestFolder("index_bulk_memory", "builds"));
  // What the keys take as strings of their own: the text, the string and
  // the record number beside it.
  const std::size_t asStrings = std::size_t(kRecords) * (kKeyText + 40);
  const std::size_t peaks[] = {
      BuildPeak<XBobjCDXFile>(table, "b.cdx", "K"),
      BuildPeak<XBobjNTXFile>(table, "b.ntx", ""),
      BuildPeak<XBobjNDXFile>(table, "b.ndx", ""),
      BuildPeak<XBobjMDXFile>(table, "b.mdx", "K"),
  };
  const char* formats[] = {"CDX", "NTX", "NDX", "MDX"};
  for (int i = 0; i < 4; ++i) {
    RecordProperty(formats[i], std::to_string(peaks[i]));
    EXPECT_LT(peaks[i], asStrings / 2) << formats[i] << " peak " << peaks[i] << " bytes";
  }
}

}  // namespace
