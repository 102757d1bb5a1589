// A compound index over a real table file: the table written by python3-dbf,
// opened by the engine, keys compiled by the expression language. The Perl
// listing must equal the order dbfread computes; an edited record moves its
// key; the table header gets its structural-index flag.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "tables/handler/index_table_link.h"
#include "tables/index/cdx/cdx_index.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"

namespace {

using vx::test::RunTool;

TEST(CdxTable, DrawTagOverATableWrittenByPython) {
  ASSERT_TRUE(std::filesystem::exists("/usr/bin/index_dump") && std::filesystem::exists("/usr/bin/python3"))
      << "index_dump or /usr/bin/python3 missing (scripts/setup.sh installs them)";
  const std::filesystem::path dir = vx::test::NamedTestFolder("cdx_table");
  {
    std::mt19937 rng(3);
    std::ofstream csv(dir / "data.csv");
    for (int i = 0; i < 3000; ++i) csv << 1990 + rng() % 30 << "," << 1 + rng() % 120 << "\n";
  }
  const std::string expected =
      RunTool("/usr/bin/python3 " VX_SOURCE_DIR "/tests/tables/index/cdx/cdx_expected_order.py " +
              (dir / "data.csv").string() + " " + (dir / "draws.dbf").string() + " unique");
  ASSERT_GT(std::count(expected.begin(), expected.end(), '\n'), 1000);

  XBO_dBaseFld table((dir / "draws.dbf").string(), false, true, "");
  vx::DbfIndexLink link(&table);
  {
    XBobjCDXFile file(&link);
    ASSERT_TRUE(file.Create("draws", true, true, false, true));
    XBobjIndexTag* tag = file.TagAdd({"INDEX", "YEAR+(0.001*DRAW)", "", true, true});
    EXPECT_EQ(tag->KeyType(), XBKeyType::Number);
    const std::string listing = RunTool("/usr/bin/index_dump --type=num " + (dir / "draws.CDX").string() + " INDEX");
    EXPECT_TRUE(listing == expected) << "Perl listing differs from the expected order:\n" << listing.substr(0, 400);

    // Record 7 gets a draw no other record has; its key moves.
    table.ReadRecord(7);
    const std::string oldYear = table.GetFieldTextByName("YEAR");
    const std::string oldDraw = table.GetFieldTextByName("DRAW");
    ASSERT_TRUE(table.PutFieldTextByName("DRAW", "777"));
    ASSERT_TRUE(file.KeyUpdateAll(7, false));
    table.WriteRecord(7);
    vx::IndexValue v;
    v.kind = vx::IndexValue::Kind::Number;
    v.number = std::stod(oldYear) + 0.777;
    EXPECT_EQ(tag->KeyFind(tag->MakeKey(v)), 7);
    v.number = std::stod(oldYear) + 0.001 * std::stod(oldDraw);
    EXPECT_NE(tag->KeyFind(tag->MakeKey(v)), 7);
  }
  // Header byte 28 of the table marks its structural compound index.
  std::ifstream in(dir / "draws.dbf", std::ios::binary);
  char header[32];
  in.read(header, sizeof header);
  EXPECT_EQ(header[28] & 0x01, 0x01);
}

}  // namespace
