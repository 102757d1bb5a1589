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

#include "tables/mdx_index.h"
#include "tables/ndx_index.h"
#include "tables/ntx_index.h"
#include "tests/tables/index3_check.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/index_page_check.h"
#include "tests/tables/index_test_table.h"

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

IndexTestTable::Record RandomRecord(std::mt19937& rng, const std::string& expr) {
  IndexTestTable::Record r;
  if (expr == "YEAR+(0.001*DRAW)") {
    r["YEAR"] = IndexTestTable::Num(static_cast<double>(static_cast<int>(rng() % 60) - 20));
    r["DRAW"] = IndexTestTable::Num(static_cast<double>(rng() % 120));
  } else if (expr == "DAY") {
    r["DAY"] = IndexTestTable::Day(rng() % 50 == 0 ? 0 : static_cast<int32_t>(2450000 + rng() % 400));
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

class Model {
 public:
  Model(XBKeyType type, bool unique) : type_(type), unique_(unique) {}
  bool Has(const std::string& key, int32_t rec) const { return Find(key, rec) != entries_.end(); }
  void Add(const std::string& key, int32_t rec) {
    if (unique_ && std::any_of(entries_.begin(), entries_.end(),
                               [&](const auto& e) { return CompareIndexKeys(e.first, key, type_, false) == 0; })) {
      return;
    }
    entries_.emplace_back(key, rec);
  }
  void Remove(const std::string& key, int32_t rec) {
    auto it = Find(key, rec);
    if (it != entries_.end()) entries_.erase(it);
  }
  Entries Sorted() const { return vx::test::SortedEntries(entries_, type_); }

 private:
  Entries::const_iterator Find(const std::string& key, int32_t rec) const {
    return std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) {
      return e.second == rec && CompareIndexKeys(e.first, key, type_, false) == 0;
    });
  }
  XBKeyType type_;
  bool unique_;
  Entries entries_;
};

class Index3ModelTest : public ::testing::TestWithParam<Config> {};

TEST_P(Index3ModelTest, RandomUpdatesKeepEveryPageConsistent) {
  const Config cfg = GetParam();
  std::mt19937 rng(4711);
  IndexTestTable table;
  table.folder = TestDir(cfg.name);
  for (int i = 0; i < cfg.initial; ++i) table.Append(RandomRecord(rng, cfg.expr));
  Opened opened = OpenIndex(cfg.format, table, true);
  XBobjIndexTag* tag = opened.file->TagAdd("T", cfg.expr, cfg.withFor ? "KEEP" : "", cfg.unique, !cfg.descending);
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

  for (int step = 1; step <= cfg.steps; ++step) {
    const int roll = static_cast<int>(rng() % 10);
    const bool late = step > cfg.steps / 2;
    if (roll < (late ? 2 : 5)) {
      const int32_t rec = table.Append(RandomRecord(rng, cfg.expr));
      bool include;
      const std::string k = keyOf(table.records.back(), include);
      ASSERT_TRUE(opened.file->KeyUpdateAll(rec, true));
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
      ASSERT_TRUE(opened.file->KeyUpdateAll(rec, false));
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
    if (::testing::Test::HasFatalFailure()) return;
  }
  if (cfg.initial >= 1500) {
    EXPECT_GE(maxLevels, 3);
  }
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
    ::testing::Values(
        Config{"NtxNumber", Format::Ntx, "YEAR+(0.001*DRAW)", false, false, false, 1500, 3000},
        Config{"NtxNumberUniqueDescending", Format::Ntx, "YEAR+(0.001*DRAW)", true, false, true, 1500, 2000},
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
