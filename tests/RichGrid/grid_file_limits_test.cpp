// The grid's file readers on hostile shapes, with the bytes they keep
// counted by the allocation meter (so this is a program of its own): a
// separated-values file of one very long line among many short ones, as
// the draw import may be given.
#include <gtest/gtest.h>

#include "RichGrid/rich_grid.h"
#include "tests/RichGrid/rich_grid_test_support.h"
#include "tests/support/allocation_meter.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr long long kMemoryLimit = 32ll << 20;

class GridFileLimits : public richgridtest::RichGridTest {
 protected:
  vx::test::ScratchFolder dir_{"gridlimits-"};
};

TEST_F(GridFileLimits, OneLongLineDoesNotWidenEveryShortRow) {
  const int fields = 20000, shortLines = 200;
  const struct {
    const char* what;
    bool longLineFirst;
  } cases[] = {{"long line first", true}, {"long line last", false}};
  for (const auto& c : cases) {
    std::string bytes;
    const std::string longLine = std::string(fields - 1, ';') + "end\r\n";
    if (c.longLineFirst) bytes += longLine;
    for (int i = 0; i < shortLines; ++i) bytes += "x" + std::to_string(i) + "\r\n";
    if (!c.longLineFirst) bytes += longLine;
    const std::string file = dir_ / "draws.txt";
    vx::test::WriteWholeFile(file, bytes);

    const long long before = vx::test::AllocatedBytes();
    {
      TRichStringGrid g(nullptr);
      g.SetDelimiter(';');
      g.LoadFromCSV(file);
      EXPECT_LT(vx::test::AllocatedBytes() - before, kMemoryLimit) << c.what;
      EXPECT_EQ(g.ColCount(), fields) << c.what;
      EXPECT_EQ(g.RowCount(), shortLines + 1) << c.what;
      const int firstShort = c.longLineFirst ? 1 : 0, longRow = c.longLineFirst ? 0 : shortLines;
      EXPECT_EQ(g.Cells(0, firstShort), "x0") << c.what;
      EXPECT_EQ(g.Cells(0, firstShort + shortLines - 1), "x" + std::to_string(shortLines - 1)) << c.what;
      EXPECT_EQ(g.Cells(1, firstShort), "") << c.what;
      EXPECT_EQ(g.Cells(fields - 1, longRow), "end") << c.what;
    }
  }
}

}  // namespace
