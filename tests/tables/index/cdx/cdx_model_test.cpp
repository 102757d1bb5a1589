// Random inserts, deletes and key changes on compound index tags, checked
// against a simple model after every few hundred steps: the page checker
// walks every page and the leaf sequence must equal the model's.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "tables/index/cdx/cdx_index.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/index/index_model.h"
#include "tests/tables/index/index_page_check.h"
#include "tests/tables/index/index_test_table.h"

namespace {

using vx::test::IndexTestTable;

struct Config {
  const char* name;
  const char* expr;
  bool unique;
  bool withFor;
  int initial;
  int steps;
};

std::string TestDir(const std::string& sub) { return vx::test::NamedTestFolder("cdx_model", sub); }

void PrintTo(const Config& c, std::ostream* os) { *os << c.name; }

class CdxModelTest : public ::testing::TestWithParam<Config> {};

TEST_P(CdxModelTest, RandomUpdatesKeepEveryPageConsistent) {
  const Config cfg = GetParam();
  std::mt19937 rng(12345);
  IndexTestTable table;
  table.folder = TestDir(cfg.name);
  for (int i = 0; i < cfg.initial; ++i) table.Append(vx::test::RandomModelRecord(rng, cfg.expr, false));
  auto file = std::make_unique<XBobjCDXFile>(&table);
  ASSERT_TRUE(file->Create("MODEL", true, true, false, true));
  XBobjIndexTag* tag = file->TagAdd({"T", cfg.expr, cfg.withFor ? "KEEP" : "", cfg.unique, true});
  vx::test::IndexModelRun run(table, *tag, cfg.expr, cfg.withFor, cfg.unique, false);
  const vx::test::IndexModel& model = run.model;

  int maxLevels = 0;
  auto check = [&](int step) {
    const vx::test::IndexCheckResult res = vx::test::CheckIndexTag(*tag);
    maxLevels = std::max(maxLevels, res.levels);
    ASSERT_TRUE(res.faults.empty()) << "step " << step << ": " << res.faults.front();
    ASSERT_EQ(res.entries, model.Sorted()) << "step " << step;
    ASSERT_EQ(vx::test::WalkIndexTag(*tag), res.entries) << "step " << step;
  };
  check(0);

  const auto update = [&](int32_t rec, bool appending) { return tag->KeyUpdate(rec, appending); };
  for (int step = 1; step <= cfg.steps; ++step) {
    bool acted;
    run.Step(rng, step, cfg.steps, update, acted);
    if (::testing::Test::HasFatalFailure()) return;
    if (!acted) continue;
    if (step % 250 == 0 || step == cfg.steps) check(step);
  }
  // Big enough for interior pages to split.
  if (cfg.initial >= 1500) { EXPECT_GE(maxLevels, 3); }
  // The file read afresh tells the same.
  file.reset();
  XBobjCDXFile again(&table);
  ASSERT_TRUE(again.Create("MODEL", false, false, false, false));
  ASSERT_TRUE(again.Usable());
  ASSERT_EQ(again.TagCount(), 1);
  const vx::test::IndexCheckResult res = vx::test::CheckIndexTag(*again.TagByNumber(0));
  EXPECT_TRUE(res.faults.empty());
  EXPECT_EQ(res.entries, model.Sorted());
}

INSTANTIATE_TEST_SUITE_P(Tags, CdxModelTest,
                         ::testing::Values(Config{"Number", "YEAR+(0.001*DRAW)", false, false, 1500, 3000},
                                           Config{"NumberUnique", "YEAR+(0.001*DRAW)", true, false, 1500, 1500},
                                           Config{"NumberFor", "YEAR+(0.001*DRAW)", false, true, 3000, 1500},
                                           Config{"NumberUniqueFor", "YEAR+(0.001*DRAW)", true, true, 1000, 1500},
                                           Config{"Date", "DAY", false, false, 6000, 1500},
                                           Config{"DateUnique", "DAY", true, false, 500, 1500},
                                           Config{"DateFor", "DAY", false, true, 1000, 1500},
                                           Config{"Text", "NAME", false, false, 1500, 2000},
                                           Config{"TextUnique", "NAME", true, false, 1000, 1500},
                                           Config{"TextFor", "NAME", false, true, 1000, 1500},
                                           Config{"TextUniqueFor", "NAME", true, true, 1000, 1500},
                                           Config{"FromEmpty", "NAME", false, false, 0, 2500}),
                         [](const ::testing::TestParamInfo<Config>& info) { return std::string(info.param.name); });

}  // namespace
