// Compound index files read by an independent reader: the Perl XBase
// index_dump lists every (key, record) of the draw tag, which must equal the
// order python3-dbf/dbfread compute from the same table. Checked after a
// bulk build, after single appends, past 65,536 records, and for negative
// and fractional keys; `file` must recognise the index.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "tables/index/cdx/cdx_index.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/index/index_test_table.h"

namespace {

using vx::test::IndexTestTable;

std::string TestDir(const std::string& sub) { return vx::test::NamedTestFolder("cdx_interop", sub); }

using vx::test::RunTool;

bool ToolsPresent() {
  return std::filesystem::exists("/usr/bin/index_dump") && std::filesystem::exists("/usr/bin/python3");
}

struct Draws {
  std::vector<std::pair<int, int>> rows;  // (YEAR, DRAW)
};

Draws MakeDraws(size_t count, unsigned seed) {
  std::mt19937 rng(seed);
  Draws d;
  for (size_t i = 0; i < count; ++i) {
    // Mostly real years, some negative ones; draws repeat so keys repeat.
    const int year = rng() % 8 == 0 ? static_cast<int>(rng() % 81) - 40 : 1990 + static_cast<int>(rng() % 40);
    d.rows.emplace_back(year, 1 + static_cast<int>(rng() % 150));
  }
  return d;
}

IndexTestTable::Record Row(const std::pair<int, int>& r) {
  return {{"YEAR", IndexTestTable::Num(r.first)}, {"DRAW", IndexTestTable::Num(r.second)}};
}

std::string Expected(const std::string& dir, const Draws& d, bool unique) {
  {
    std::ofstream csv(dir + "/data.csv");
    for (const auto& r : d.rows) csv << r.first << "," << r.second << "\n";
  }
  return RunTool("/usr/bin/python3 " VX_SOURCE_DIR "/tests/tables/index/cdx/cdx_expected_order.py " + dir +
                 "/data.csv " + dir + "/draws.dbf " + (unique ? "unique" : "all"));
}

std::string Listing(const std::string& cdx, const std::string& tag) {
  return RunTool("/usr/bin/index_dump --type=num " + cdx + " " + tag + " 2>&1");
}

// Builds the tag in bulk over `bulk` rows, then appends the rest one by one.
void BuildCdx(const std::string& dir, const Draws& d, size_t bulk, bool unique) {
  IndexTestTable table;
  table.folder = dir;
  table.baseName = "DRAWS";
  for (size_t i = 0; i < bulk; ++i) table.Append(Row(d.rows[i]));
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("DRAWS", true, true, false, true));
  file.TagAdd({"INDEX", "YEAR+(0.001*DRAW)", "", unique, true});
  for (size_t i = bulk; i < d.rows.size(); ++i) {
    const int32_t rec = table.Append(Row(d.rows[i]));
    ASSERT_TRUE(file.KeyUpdateAll(rec, true));
  }
}

TEST(CdxInterop, PerlListsBulkAndAppendedDrawTagsInTheExpectedOrder) {
  ASSERT_TRUE(ToolsPresent()) << "index_dump or /usr/bin/python3 missing (scripts/setup.sh installs it)";
  const Draws d = MakeDraws(5000, 1);
  for (bool unique : {true, false}) {
    const std::string dir = TestDir(unique ? "unique" : "all");
    const std::string expected = Expected(dir, d, unique);
    ASSERT_GT(std::count(expected.begin(), expected.end(), '\n'), 1000);
    BuildCdx(dir, d, d.rows.size(), unique);
    EXPECT_EQ(Listing(dir + "/DRAWS.CDX", "INDEX"), expected) << "bulk, unique " << unique;
    BuildCdx(dir, d, 0, unique);
    EXPECT_EQ(Listing(dir + "/DRAWS.CDX", "INDEX"), expected) << "appends, unique " << unique;
    EXPECT_NE(RunTool("/usr/bin/file " + dir + "/DRAWS.CDX").find("xBase compound index"), std::string::npos);
  }
}

TEST(CdxInterop, PerlListingFollowsRandomEdits) {
  ASSERT_TRUE(ToolsPresent()) << "index_dump or /usr/bin/python3 missing (scripts/setup.sh installs it)";
  Draws d = MakeDraws(3000, 3);
  const std::string dir = TestDir("edits");
  IndexTestTable table;
  table.folder = dir;
  for (const auto& r : d.rows) table.Append(Row(r));
  {
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("DRAWS", true, true, false, true));
    file.TagAdd({"INDEX", "YEAR+(0.001*DRAW)", "", false, true});
    std::mt19937 rng(4);
    for (int i = 0; i < 1500; ++i) {
      const int32_t rec = static_cast<int32_t>(1 + rng() % d.rows.size());
      table.Go(rec);
      auto& row = d.rows[static_cast<size_t>(rec - 1)];
      row = rng() % 2 ? std::make_pair(row.first, 1 + static_cast<int>(rng() % 150))
                      : std::make_pair(static_cast<int>(rng() % 81) - 40, row.second);
      table.records[static_cast<size_t>(rec - 1)] = Row(row);
      ASSERT_TRUE(file.KeyUpdateAll(rec, false));
    }
  }
  EXPECT_EQ(Listing(dir + "/DRAWS.CDX", "INDEX"), Expected(dir, d, false));
}

TEST(CdxInterop, RecordFieldGrowsPast65536Records) {
  ASSERT_TRUE(ToolsPresent()) << "index_dump or /usr/bin/python3 missing (scripts/setup.sh installs it)";
  const Draws d = MakeDraws(66000, 2);
  const std::string dir = TestDir("big");
  const std::string expected = Expected(dir, d, false);
  ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), 66000);
  BuildCdx(dir, d, d.rows.size(), false);
  EXPECT_EQ(Listing(dir + "/DRAWS.CDX", "INDEX"), expected) << "bulk";
  BuildCdx(dir, d, 65500, false);
  EXPECT_EQ(Listing(dir + "/DRAWS.CDX", "INDEX"), expected) << "appends across 65,536";
}

TEST(CdxInterop, NegativeAndFractionalKeysDecodeExactly) {
  ASSERT_TRUE(ToolsPresent()) << "index_dump missing (scripts/setup.sh installs it)";
  const std::string dir = TestDir("exact");
  IndexTestTable table;
  table.folder = dir;
  const double values[] = {-42, -1, -1.00390625, -0.5, 0, 0.25, 1, 2001.5, -1e6, 123456.75};
  for (double v : values) table.Append({{"V", IndexTestTable::Num(v)}});
  {
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("VALUES", true, true, false, true));
    file.TagAdd({"V", "V", "", false, true});
  }
  EXPECT_EQ(Listing(dir + "/VALUES.CDX", "V"),
            "-1000000 9\n-42 1\n-1.00390625 3\n-1 2\n-0.5 4\n0 5\n0.25 6\n1 7\n2001.5 8\n123456.75 10\n");
}

}  // namespace
