// Random inserts, deletes and key changes on compound index tags, checked
// against a simple model after every few hundred steps: the page checker
// walks every page and the leaf sequence must equal the model's.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "tables/cdx_index.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/index_page_check.h"
#include "tests/tables/index_test_table.h"

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

class Model {
 public:
  Model(XBKeyType type, bool unique) : type_(type), unique_(unique) {}
  bool Has(const std::string& key, int32_t rec) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const auto& e) {
      return e.second == rec && CompareIndexKeys(e.first, key, type_, false) == 0;
    });
  }
  void Add(const std::string& key, int32_t rec) {
    if (unique_ && std::any_of(entries_.begin(), entries_.end(),
                               [&](const auto& e) { return CompareIndexKeys(e.first, key, type_, false) == 0; })) {
      return;
    }
    entries_.insert({key, rec});
  }
  void Remove(const std::string& key, int32_t rec) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->second == rec && CompareIndexKeys(it->first, key, type_, false) == 0) {
        entries_.erase(it);
        return;
      }
    }
  }
  std::vector<std::pair<std::string, int32_t>> Sorted() const {
    std::vector<std::pair<std::string, int32_t>> v(entries_.begin(), entries_.end());
    std::sort(v.begin(), v.end(), [&](const auto& a, const auto& b) {
      const int c = CompareIndexKeys(a.first, b.first, type_, false);
      return c != 0 ? c < 0 : a.second < b.second;
    });
    return v;
  }
  size_t Size() const { return entries_.size(); }

 private:
  XBKeyType type_;
  bool unique_;
  std::multimap<std::string, int32_t> entries_;
};

void PrintTo(const Config& c, std::ostream* os) { *os << c.name; }

class CdxModelTest : public ::testing::TestWithParam<Config> {};

IndexTestTable::Record RandomRecord(std::mt19937& rng, const std::string& expr) {
  IndexTestTable::Record r;
  if (expr == "YEAR+(0.001*DRAW)") {
    r["YEAR"] = IndexTestTable::Num(static_cast<double>(static_cast<int>(rng() % 60) - 20));
    r["DRAW"] = IndexTestTable::Num(static_cast<double>(rng() % 120));
  } else if (expr == "DAY") {
    r["DAY"] = IndexTestTable::Day(static_cast<int32_t>(2450000 + rng() % 400));
  } else {
    static const char alphabet[] = "AB C";
    std::string s;
    const size_t len = rng() % 21;
    for (size_t i = 0; i < len; ++i) s.push_back(alphabet[rng() % 4]);
    s.resize(20, ' ');
    r["NAME"] = IndexTestTable::Text(s);
  }
  r["KEEP"] = IndexTestTable::Bool(rng() % 3 != 0);
  return r;
}

TEST_P(CdxModelTest, RandomUpdatesKeepEveryPageConsistent) {
  const Config cfg = GetParam();
  std::mt19937 rng(12345);
  IndexTestTable table;
  table.folder = TestDir(cfg.name);
  for (int i = 0; i < cfg.initial; ++i) table.Append(RandomRecord(rng, cfg.expr));
  auto file = std::make_unique<XBobjCDXFile>(&table);
  ASSERT_TRUE(file->Create("MODEL", true, true, false, true));
  XBobjIndexTag* tag = file->TagAdd("T", cfg.expr, cfg.withFor ? "KEEP" : "", cfg.unique, true);
  const XBKeyType type = tag->KeyType();
  Model model(type, cfg.unique);

  auto keyOf = [&](const IndexTestTable::Record& r, bool& include) {
    IndexTestTable scratch;
    scratch.Append(r);
    auto e = scratch.Compile(cfg.expr);
    include = !cfg.withFor || r.at("KEEP").logical;
    return tag->MakeKey(e->Evaluate()).value;
  };
  for (int32_t rec = 1; rec <= table.RecordCount(); ++rec) {
    bool include;
    const std::string k = keyOf(table.records[static_cast<size_t>(rec - 1)], include);
    if (include) model.Add(k, rec);
  }

  int maxLevels = 0;
  auto check = [&](int step) {
    const vx::test::IndexCheckResult res = vx::test::CheckIndexTag(*tag);
    maxLevels = std::max(maxLevels, res.levels);
    ASSERT_TRUE(res.faults.empty()) << "step " << step << ": " << res.faults.front();
    ASSERT_EQ(res.entries, model.Sorted()) << "step " << step;
    ASSERT_EQ(vx::test::WalkIndexTag(*tag), res.entries) << "step " << step;
  };
  check(0);

  for (int step = 1; step <= cfg.steps; ++step) {
    // Insert-heavy first, delete-heavy in the second half to empty pages.
    const int roll = static_cast<int>(rng() % 10);
    const bool late = step > cfg.steps / 2;
    if (roll < (late ? 2 : 5)) {
      const int32_t rec = table.Append(RandomRecord(rng, cfg.expr));
      bool include;
      const std::string k = keyOf(table.records.back(), include);
      ASSERT_TRUE(tag->KeyUpdate(rec, true));
      if (include) model.Add(k, rec);
    } else if (roll < (late ? 4 : 8)) {
      const int32_t rec = static_cast<int32_t>(1 + rng() % static_cast<uint32_t>(table.RecordCount()));
      table.Go(rec);
      bool oldInclude, newInclude;
      const std::string oldKey = keyOf(table.oldImage, oldInclude);
      IndexTestTable::Record changed = RandomRecord(rng, cfg.expr);
      if (rng() % 4 == 0) changed = table.oldImage, changed["KEEP"] = IndexTestTable::Bool(rng() % 2 == 0);
      table.records[static_cast<size_t>(rec - 1)] = changed;
      const std::string newKey = keyOf(changed, newInclude);
      ASSERT_TRUE(tag->KeyUpdate(rec, false));
      const bool found = model.Has(oldKey, rec);
      if (CompareIndexKeys(oldKey, newKey, type, false) == 0 && newInclude) {
        if (!found) model.Add(newKey, rec);
      } else {
        if (found) model.Remove(oldKey, rec);
        if (newInclude) model.Add(newKey, rec);
      }
    } else {
      const auto entries = model.Sorted();
      if (entries.empty()) continue;
      const auto& victim = entries[rng() % entries.size()];
      ASSERT_TRUE(tag->KeyRemove(XBobjIndexKeyData(victim.first, victim.second, victim.second)));
      model.Remove(victim.first, victim.second);
    }
    if (step % 250 == 0 || step == cfg.steps) check(step);
  }
  // Big enough for interior pages to split.
  if (cfg.initial >= 1500) {
    EXPECT_GE(maxLevels, 3);
  }
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

INSTANTIATE_TEST_SUITE_P(
    Tags, CdxModelTest,
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
