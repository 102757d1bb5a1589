// Our NTX, NDX and MDX files listed by the Perl XBase index_dump: it must
// give the records in the order our own walk gives them. An NTX tag goes
// through thousands of random appends, edits and deletes first and must
// still list every record exactly once.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <sstream>

#include "tables/index/mdx_index.h"
#include "tables/index/ndx_index.h"
#include "tables/index/ntx_index.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/index/index_page_check.h"
#include "tests/tables/index/index_test_table.h"

namespace {

namespace fs = std::filesystem;
using vx::test::IndexTestTable;

std::string TestDir(const std::string& sub) { return vx::test::NamedTestFolder("index3_perl", sub); }

// The record numbers index_dump lists, in its order.
std::vector<int32_t> PerlRecords(const std::string& file, const std::string& tag, const std::string& type) {
  const std::string command =
      "/usr/bin/index_dump" + (type.empty() ? std::string() : " --type=" + type) + " " + file + " " + tag + " 2>&1";
  const std::string out = vx::test::RunTool(command);
  std::vector<int32_t> recs;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t cut = line.find_last_of(" \t");
    if (cut == std::string::npos) continue;
    const std::string last = line.substr(cut + 1);
    if (!last.empty() && last.find_first_not_of("0123456789") == std::string::npos) recs.push_back(std::stoi(last));
  }
  return recs;
}

std::vector<int32_t> OurRecords(XBobjIndexTag& tag) {
  std::vector<int32_t> out;
  for (const auto& e : vx::test::WalkIndexTag(tag)) out.push_back(e.second);
  return out;
}

IndexTestTable::Record RandomRecord(std::mt19937& rng) {
  std::string name;
  const size_t len = 1 + rng() % 8;
  for (size_t i = 0; i < len; ++i) name.push_back(static_cast<char>('A' + rng() % 6));
  name.resize(10, ' ');
  const int year = rng() % 6 == 0 ? static_cast<int>(rng() % 81) - 40 : 1990 + static_cast<int>(rng() % 40);
  return {{"NAME", IndexTestTable::Text(name)},
          {"YEAR", IndexTestTable::Num(year)},
          {"DRAW", IndexTestTable::Num(static_cast<double>(1 + rng() % 150))},
          {"DAY", IndexTestTable::Day(rng() % 40 == 0 ? 0 : static_cast<int32_t>(2451000 + rng() % 3000))}};
}

// Appends, edits and deletes, through the file as the handler drives it.
void RandomUpdates(XBobjIndexFile& file, IndexTestTable& table, std::mt19937& rng, int steps) {
  std::set<int32_t> removed;  // records whose entry a deletion took
  for (int step = 0; step < steps; ++step) {
    const int roll = static_cast<int>(rng() % 10);
    if (roll < 4) {
      file.KeyUpdateAll(table.Append(RandomRecord(rng)), true);
    } else if (roll < 8) {
      const int32_t rec = static_cast<int32_t>(1 + rng() % static_cast<uint32_t>(table.RecordCount()));
      table.Go(rec);
      table.records[static_cast<size_t>(rec - 1)] = RandomRecord(rng);
      if (removed.count(rec) == 0) {
        file.KeyUpdateAll(rec, false);
        continue;
      }
      // The index lacks the record's entry: refused, nothing changes.
      EXPECT_THROW(file.KeyUpdateAll(rec, false), EXBaseError);
      table.records[static_cast<size_t>(rec - 1)] = table.oldImage;
    } else {
      XBobjIndexTag& tag = *file.TagByNumber(0);
      const auto entries = vx::test::WalkIndexTag(tag);
      if (entries.empty()) continue;
      const auto& victim = entries[rng() % entries.size()];
      tag.KeyRemove(XBobjIndexKeyData(victim.first, victim.second, victim.second));
      removed.insert(victim.second);
    }
  }
}

bool PerlPresent() { return fs::exists("/usr/bin/index_dump"); }

TEST(Index3Perl, NtxListsEveryRecordOnceAfterRandomUpdates) {
  ASSERT_TRUE(PerlPresent()) << "index_dump is not installed (scripts/setup.sh installs it)";
  for (const char* expr : {"NAME", "YEAR+(0.001*DRAW)", "DAY"}) {
    SCOPED_TRACE(expr);
    const std::string dir = TestDir(std::string("ntx_") + (expr[0] == 'Y' ? "YD" : expr));
    std::mt19937 rng(77);
    IndexTestTable table;
    table.folder = dir;
    for (int i = 0; i < 1500; ++i) table.Append(RandomRecord(rng));
    std::vector<int32_t> ours;
    {
      XBobjNTXFile ntx(&table);
      ASSERT_TRUE(ntx.Create(dir + "/t.ntx", true, true, false, true));
      ntx.TagAdd({"T", expr, "", false, true});
      ASSERT_EQ(OurRecords(*ntx.TagByNumber(0)), PerlRecords(dir + "/t.ntx", "x", "char"));
      RandomUpdates(ntx, table, rng, 4000);
      ours = OurRecords(*ntx.TagByNumber(0));
    }
    const std::vector<int32_t> perl = PerlRecords(dir + "/t.ntx", "x", "char");
    EXPECT_EQ(perl, ours);
    EXPECT_EQ(std::set<int32_t>(perl.begin(), perl.end()).size(), perl.size()) << "a record listed twice";
    EXPECT_GT(perl.size(), 1500u);
  }
}

TEST(Index3Perl, NdxAndMdxListInOurOrder) {
  ASSERT_TRUE(PerlPresent()) << "index_dump is not installed (scripts/setup.sh installs it)";
  const std::string dir = TestDir("ndx_mdx");
  std::mt19937 rng(78);
  IndexTestTable table;
  table.folder = dir;
  table.baseName = "T";
  for (int i = 0; i < 1500; ++i) table.Append(RandomRecord(rng));
  std::map<std::string, std::vector<int32_t>> ours;
  {
    XBobjNDXFile name(&table), num(&table), day(&table);
    ASSERT_TRUE(name.Create(dir + "/name.ndx", true, true, false, true));
    ASSERT_TRUE(num.Create(dir + "/num.ndx", true, true, false, true));
    ASSERT_TRUE(day.Create(dir + "/day.ndx", true, true, false, true));
    name.TagAdd({"NAME", "NAME", "", false, true});
    num.TagAdd({"NUM", "YEAR+(0.001*DRAW)", "", false, true});
    day.TagAdd({"DAY", "DAY", "", false, true});
    XBobjMDXFile mdx(&table);
    ASSERT_TRUE(mdx.Create(dir + "/t.mdx", true, true, false, true));
    mdx.TagAdd({"NAME", "NAME", "", false, true});
    mdx.TagAdd({"DAY", "DAY", "", false, true});
    for (int i = 0; i < 1500; ++i) {
      const int32_t rec = table.Append(RandomRecord(rng));
      for (XBobjIndexFile* f : std::initializer_list<XBobjIndexFile*>{&name, &num, &day, &mdx})
        f->KeyUpdateAll(rec, true);
    }
    ours["name.ndx"] = OurRecords(*name.TagByNumber(0));
    ours["num.ndx"] = OurRecords(*num.TagByNumber(0));
    ours["day.ndx"] = OurRecords(*day.TagByNumber(0));
    ours["NAME"] = OurRecords(*mdx.TagByName("NAME"));
    ours["DAY"] = OurRecords(*mdx.TagByName("DAY"));
  }
  EXPECT_EQ(PerlRecords(dir + "/name.ndx", "x", "char"), ours["name.ndx"]);
  EXPECT_EQ(PerlRecords(dir + "/num.ndx", "x", "num"), ours["num.ndx"]);
  EXPECT_EQ(PerlRecords(dir + "/day.ndx", "x", "num"), ours["day.ndx"]);
  EXPECT_EQ(PerlRecords(dir + "/t.mdx", "NAME", "char"), ours["NAME"]);
  EXPECT_EQ(PerlRecords(dir + "/t.mdx", "DAY", "num"), ours["DAY"]);
  EXPECT_EQ(ours["name.ndx"].size(), 3000u);
}

}  // namespace
