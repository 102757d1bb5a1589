// The grid's file readers on hostile shapes, with the bytes they keep
// counted by the allocation meter (so this is a program of its own): a
// separated-values file of one very long line among many short ones, as
// the draw import may be given; files that would make a larger grid than
// the cell file may; spreadsheets whose few bytes claim gigabytes (the
// seed files of the fuzz targets, see make_hostile_seeds.py).
#include <gtest/gtest.h>

#include "RichGrid/rich_grid.h"
#include "tests/RichGrid/rich_grid_test_support.h"
#include "tests/support/allocation_meter.h"
#include "platform/ole/automation.h"
#include "platform/ole/compound_file.h"
#include "platform/ole/xls_writer.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr long long kMemoryLimit = 32ll << 20;

class GridFileLimits : public richgridtest::RichGridTest {
 protected:
  vx::test::ScratchFolder dir_{"gridlimits-"};
};

TEST_F(GridFileLimits, OneLongLineDoesNotWidenEveryShortRow) {
  // The most fields a record may have (it used to be 20,000 here: no
  // limit held).
  const int fields = 16384, shortLines = 200;
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

template <typename Load>
std::string ErrorOf(Load&& load) {
  try {
    load();
  } catch (const Exception& e) { return e.Message(); }
  return "no error";
}

// Each used to load: 20,000 ';' made as many columns (100 MB of them 104.9
// million, 4.5 GB); 16,385 records of 1,024 fields made 16.8 million
// cells. The grid keeps what it had.
TEST_F(GridFileLimits, SeparatedValuesBeyondTheCellFilesLimits) {
  const std::string seed = vx::test::ReadWholeFile(VX_SOURCE_DIR "/tests/RichGrid/fuzz/csv/semicolons.csv");
  std::string wide;
  for (int i = 0; i < 16385; ++i) wide += std::string(1023, ';') + "x\n";
  const std::string cases[] = {seed.substr(1), "\"a;b\";" + std::string(16384, ';') + "\r\n", wide};
  for (const std::string& bytes : cases) {
    const std::string file = dir_ / "wide.csv";
    vx::test::WriteWholeFile(file, bytes);
    TRichStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(2);
    g.SetCells(1, 1, "kept");
    g.SetDelimiter(';');
    vx::test::ResetPeak();
    const long long before = vx::test::AllocatedBytes();
    EXPECT_EQ(ErrorOf([&] { g.LoadFromCSV(file); }), "File too large " + file) << bytes.size();
    // The file itself is read whole.
    EXPECT_LT(vx::test::PeakAllocatedBytes() - before, kMemoryLimit + 2 * static_cast<long long>(bytes.size()))
        << bytes.size();
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.Cells(1, 1), "kept");
  }
}

// A 278 KB workbook whose 20,000 sheet entries all named one sheet took
// 2.2 GB: the sheet was read once per entry. A 359 KB one whose cells all
// named a shared string of 65,535 characters took 3.0 GB: each cell held a
// copy. Their small forms now fail at once, with little memory.
TEST_F(GridFileLimits, SpreadsheetsThatClaimMoreThanTheyHold) {
  const struct {
    const char* seed;
    const char* error;
  } cases[] = {
      {"one-sheet-many-entries.xls", "Damaged spreadsheet file: two sheets share their records - "},
      {"one-long-shared-string.xls", "File too large: its cells hold more than 16777216 characters of text - "},
  };
  for (const auto& c : cases) {
    const std::string file = VX_SOURCE_DIR "/tests/platform/ole/xls_corpus/" + std::string(c.seed);
    TRichStringGrid g(nullptr);
    vx::test::ResetPeak();
    const long long before = vx::test::AllocatedBytes();
    EXPECT_EQ(ErrorOf([&] { g.LoadFromXLS(file); }), c.error + file);
    // The 16 Mi characters of text allowed cost their 32 MB before the
    // error comes, and little more.
    EXPECT_LT(vx::test::PeakAllocatedBytes() - before, kMemoryLimit + 2 * (16ll << 20))
        << c.seed;
  }
}

// A workbook without a worksheet used to say "Excel worksheet  not found",
// naming no sheet.
TEST_F(GridFileLimits, WorkbookWithoutAWorksheetNamesItsSheet) {
  XlsWorkbook book;
  book.Sheets.push_back(std::make_unique<XlsSheet>());
  book.Sheets.back()->Name = u"Диаграмма";
  std::string stream = vx::WriteXlsStream(book);
  auto recordOf = [&](int type) {
    std::size_t at = 0;
    while (at + 4 <= stream.size() && (static_cast<unsigned char>(stream[at]) | stream[at + 1] << 8) != type)
      at += 4 + (static_cast<unsigned char>(stream[at + 2]) | static_cast<unsigned char>(stream[at + 3]) << 8);
    return at;
  };
  // The one sheet entry becomes a chart sheet's.
  const std::size_t entry = recordOf(0x85);
  ASSERT_LT(entry, stream.size());
  stream[entry + 4 + 5] = 2;
  const std::string chart = dir_ / "chart.xls", empty = dir_ / "empty.xls";
  vx::test::WriteWholeFile(chart, vx::WriteCompoundFile(u"Workbook", stream));
  TRichStringGrid g(nullptr);
  EXPECT_EQ(ErrorOf([&] { g.LoadFromXLS(chart); }), "Excel worksheet " + "Диаграмма"_cp + " not found");
  EXPECT_EQ(ErrorOf([&] { g.LoadFromXLS(chart, "Other"); }), "Excel worksheet Other not found");
  // No sheet at all: the file holds nothing to read.
  stream.erase(entry, recordOf(0xFC) - entry);
  stream.resize(4096, '\0');  // kept out of the mini stream
  vx::test::WriteWholeFile(empty, vx::WriteCompoundFile(u"Workbook", stream));
  EXPECT_EQ(ErrorOf([&] { g.LoadFromXLS(empty); }), "File contains no data or corrupt file " + empty);
}

}  // namespace
