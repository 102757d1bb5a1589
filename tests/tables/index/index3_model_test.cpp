// Random inserts, deletes and key changes on NTX, NDX and MDX tags, checked
// against a simple model every few hundred steps: the format's page checker
// reads every page, and the tag's own walk must hold the model's entries in
// key order. Equal keys keep no record order in these formats, so entries
// are compared as multisets.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "tables/index/mdx_index.h"
#include "tables/index/ndx_index.h"
#include "tables/index/ntx_index.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/index/index3_check.h"
#include "tests/tables/index/index_model.h"
#include "tests/tables/index/index_page_check.h"
#include "tests/tables/index/index_test_table.h"

namespace {

using vx::test::IndexTestTable;
using Entries = std::vector<std::pair<std::string, int32_t>>;

enum class Format { Ntx, Ndx, Mdx };

struct Config {
  const char* name;
  Format format;
  const char* expr;
  bool unique;
  bool withFor;
  bool descending;
  int initial;
  int steps;
};

void PrintTo(const Config& c, std::ostream* os) { *os << c.name; }

std::string TestDir(const std::string& sub) { return vx::test::NamedTestFolder("index3_model", sub); }

struct Opened {
  std::unique_ptr<XBobjIndexFile> file;
  std::string path;
};

Opened OpenIndex(Format format, IndexTestTable& table, bool create) {
  Opened o;
  switch (format) {
    case Format::Ntx: {
      auto f = std::make_unique<XBobjNTXFile>(&table);
      EXPECT_TRUE(f->Create("MODEL", create, create, false, true));
      o.file = std::move(f);
      break;
    }
    case Format::Ndx: {
      auto f = std::make_unique<XBobjNDXFile>(&table);
      EXPECT_TRUE(f->Create("MODEL", create, create, false, true));
      o.file = std::move(f);
      break;
    }
    case Format::Mdx: {
      auto f = std::make_unique<XBobjMDXFile>(&table);
      EXPECT_TRUE(f->Create("MODEL", create, create, false, true));
      o.file = std::move(f);
      break;
    }
  }
  o.path = o.file->Disk() ? o.file->Disk()->PathName() : std::string();
  return o;
}

int MaxKeysOf(Format format, XBobjIndexTag& tag) {
  switch (format) {
    case Format::Ntx: return static_cast<XBobjNTXTag&>(tag).MaxKeys();
    case Format::Ndx: return static_cast<XBobjNDXTag&>(tag).MaxKeys();
    case Format::Mdx: return static_cast<XBobjMDXTag&>(tag).MaxKeys();
  }
  return 0;
}

vx::test::Index3Check CheckTag(Format format, XBobjIndexTag& tag, const std::string& path) {
  if (format == Format::Ntx) return vx::test::CheckNtxFile(path);
  return vx::test::CheckBplusTag(tag, MaxKeysOf(format, tag), !tag.Ascending());
}

class Index3ModelTest : public ::testing::TestWithParam<Config> {};

TEST_P(Index3ModelTest, RandomUpdatesKeepEveryPageConsistent) {
  const Config cfg = GetParam();
  std::mt19937 rng(4711);
  IndexTestTable table;
  table.folder = TestDir(cfg.name);
  for (int i = 0; i < cfg.initial; ++i) table.Append(vx::test::RandomModelRecord(rng, cfg.expr, true));
  Opened opened = OpenIndex(cfg.format, table, true);
  XBobjIndexTag* tag = opened.file->TagAdd({"T", cfg.expr, cfg.withFor ? "KEEP" : "", cfg.unique, !cfg.descending});
  const XBKeyType type = tag->KeyType();
  vx::test::IndexModelRun run(table, *tag, cfg.expr, cfg.withFor, cfg.unique, true);
  const vx::test::IndexModel& model = run.model;

  int maxLevels = 0;
  int emptyLeaves = 0;
  auto check = [&](int step) {
    const vx::test::Index3Check res = CheckTag(cfg.format, *tag, opened.path);
    maxLevels = std::max(maxLevels, res.levels);
    ASSERT_TRUE(res.faults.empty()) << "step " << step << ": " << res.faults.front();
    emptyLeaves = std::max(emptyLeaves, res.emptyLeaves);
    ASSERT_EQ(vx::test::SortedEntries(res.entries, type), model.Sorted()) << "step " << step;
    const Entries walked = vx::test::WalkIndexTag(*tag);
    ASSERT_TRUE(vx::test::InKeyOrder(walked, type, cfg.descending)) << "step " << step;
    ASSERT_EQ(vx::test::SortedEntries(walked, type), model.Sorted()) << "step " << step;
    const Entries back = vx::test::WalkIndexTag(*tag, true);
    ASSERT_EQ(back.size(), walked.size()) << "step " << step;
  };
  check(0);

  const auto update = [&](int32_t rec, bool appending) { return opened.file->KeyUpdateAll(rec, appending); };
  for (int step = 1; step <= cfg.steps; ++step) {
    bool acted;
    run.Step(rng, step, cfg.steps, update, acted);
    if (::testing::Test::HasFatalFailure()) return;
    if (!acted) continue;
    if (step % 250 == 0 || step == cfg.steps) check(step);
    if (::testing::Test::HasFatalFailure()) return;
  }
  if (cfg.initial >= 1500) { EXPECT_GE(maxLevels, 3); }
  // Leaves that lose their keys merge with or borrow from a neighbour.
  EXPECT_EQ(emptyLeaves, 0);

  // The file read afresh tells the same.
  opened.file.reset();
  Opened again = OpenIndex(cfg.format, table, false);
  ASSERT_TRUE(again.file->Usable());
  XBobjIndexTag* reread = again.file->TagCount() == 1 ? again.file->TagByNumber(0) : again.file->TagByName("T");
  ASSERT_NE(reread, nullptr);
  const vx::test::Index3Check res = CheckTag(cfg.format, *reread, again.path);
  EXPECT_TRUE(res.faults.empty());
  EXPECT_EQ(vx::test::SortedEntries(res.entries, type), model.Sorted());
  EXPECT_EQ(vx::test::SortedEntries(vx::test::WalkIndexTag(*reread), type), model.Sorted());
}

INSTANTIATE_TEST_SUITE_P(
    Tags, Index3ModelTest,
    ::testing::Values(Config{"NtxNumber", Format::Ntx, "YEAR+(0.001*DRAW)", false, false, false, 1500, 3000},
                      Config{"NtxNumberUniqueDescending", Format::Ntx, "YEAR+(0.001*DRAW)", true, false, true, 1500,
                             2000},
                      Config{"NtxDateFor", Format::Ntx, "DAY", false, true, false, 1000, 2000},
                      Config{"NtxText", Format::Ntx, "NAME", false, false, false, 1500, 2500},
                      Config{"NtxTextDescendingFor", Format::Ntx, "NAME", false, true, true, 500, 2000},
                      Config{"NtxFromEmpty", Format::Ntx, "NAME", false, false, false, 0, 3000},
                      Config{"NdxNumber", Format::Ndx, "YEAR+(0.001*DRAW)", false, false, false, 1500, 3000},
                      Config{"NdxNumberUnique", Format::Ndx, "YEAR+(0.001*DRAW)", true, false, false, 1500, 1500},
                      Config{"NdxDate", Format::Ndx, "DAY", false, false, false, 3000, 1500},
                      Config{"NdxText", Format::Ndx, "NAME", false, false, false, 1500, 2000},
                      Config{"NdxFromEmpty", Format::Ndx, "NAME", false, false, false, 0, 2500},
                      Config{"MdxNumber", Format::Mdx, "YEAR+(0.001*DRAW)", false, false, false, 4500, 2000},
                      Config{"MdxNumberDescendingFor", Format::Mdx, "YEAR+(0.001*DRAW)", false, true, true, 1000, 2000},
                      Config{"MdxDateUnique", Format::Mdx, "DAY", true, false, false, 500, 1500},
                      Config{"MdxText", Format::Mdx, "NAME", false, false, false, 1500, 2000},
                      Config{"MdxTextUniqueDescending", Format::Mdx, "NAME", true, false, true, 1000, 1500},
                      Config{"MdxFromEmpty", Format::Mdx, "NAME", false, true, false, 0, 2500}),
    [](const ::testing::TestParamInfo<Config>& info) { return std::string(info.param.name); });

}  // namespace
