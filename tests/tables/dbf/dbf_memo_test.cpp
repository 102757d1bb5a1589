// Memo files of the three dialects: placement of entries, reading back,
// damaged memo files, the memo lock and renaming.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "tables/base/xb_cipher.h"
#include "tables/dbf/xbo_memo.h"
#include "tests/tables/dbf/dbf_testing.h"

using namespace vx::test;

namespace {

enum class Dialect { DB3, DB4, Fox };

struct MemoTable {
  DbfScratch dir;
  std::string path = dir / "notes.dbf";
  std::string memoPath;
  std::unique_ptr<XBO_dBaseFld> table;

  explicit MemoTable(Dialect d, bool shared = false) {
    std::unique_ptr<XBO_DBFBuild> b;
    switch (d) {
      case Dialect::DB3: b = std::make_unique<XBO_DBFBuild>(path); break;
      case Dialect::DB4: b = std::make_unique<XBO_DB4Build>(path); break;
      case Dialect::Fox: b = std::make_unique<XBO_DBFoxBuild>(path); break;
    }
    b->AddField("ID", 'N', 4, 0);
    b->AddField("NOTE", 'M', 10, 0);
    b->Write();
    memoPath = dir / (d == Dialect::Fox ? "notes.fpt" : "notes.dbt");
    table = std::make_unique<XBO_dBaseFld>(path, shared, true, "");
  }
  std::int64_t Block() { return std::int64_t(table->GetNumber(2)); }
  void Put(const std::string& text) { ASSERT_TRUE(table->MemoWrite(2, text.data(), std::int64_t(text.size()))); }
};

}  // namespace

class DbfMemoDialect : public ::testing::TestWithParam<Dialect> {};

TEST_P(DbfMemoDialect, EntriesStayInPlaceWhenTheyFitAndMoveWhenTheyGrow) {
  MemoTable m(GetParam());
  XBO_dBaseFld& t = *m.table;
  t.BlankRecord();
  EXPECT_EQ(t.MemoLength(2), 0);  // "0": no entry, nothing read
  t.PutFieldText(2, "");
  EXPECT_EQ(t.MemoRead(2), "");

  m.Put("first text");
  const std::int64_t first = m.Block();
  EXPECT_GT(first, 0);
  t.AppendRecord();
  m.Put("short");
  EXPECT_EQ(m.Block(), first);  // rewritten over its own blocks
  const std::string big(5000, 'q');
  m.Put(big);
  EXPECT_GT(m.Block(), first);  // moved to the free end
  t.WriteRecord(1);

  t.BlankRecord();
  m.Put("second record");
  t.AppendRecord();
  m.table.reset();

  XBO_dBaseFld again(m.path, false, false, "");
  again.ReadRecord(1);
  EXPECT_EQ(again.MemoRead(2), big);
  EXPECT_EQ(again.MemoLength(2), 5000);
  again.ReadRecord(2);
  EXPECT_EQ(again.MemoRead(2), "second record");
  char part[6] = {};
  EXPECT_EQ(again.MemoRead(2, part, 5), 5);
  EXPECT_STREQ(part, "secon");
  // An emptied memo is blanks, not "0" (which other readers take for block 0).
  ASSERT_TRUE(again.MemoWrite(2, "", 0));
  EXPECT_EQ(std::string(again.CurRecord + again.FieldOffset(2), 10), std::string(10, ' '));
}

TEST_P(DbfMemoDialect, UnusedTailOfTheLastBlockIsZeros) {
  MemoTable m(GetParam());
  m.table->BlankRecord();
  m.Put("abc");
  const int bs = m.table->MemoFile()->BlockSize();
  const std::string bytes = ReadFileBytes(m.memoPath);
  const std::size_t start = std::size_t(m.Block() * bs);
  ASSERT_GE(bytes.size(), start + std::size_t(bs));
  const std::string block = bytes.substr(start, std::size_t(bs));
  const std::size_t used = block.find("abc") + 3 + (GetParam() == Dialect::DB3 ? 2 : 0);
  EXPECT_EQ(block.find_first_not_of('\0', used), std::string::npos);
}

// A memo file cut short used to show every memo in the lost part as empty,
// with no error. A reference past the end is a damaged entry (1005, naming
// the table and the block); a new text for the record goes to the end of the
// file and changes nothing else.
TEST_P(DbfMemoDialect, ReferencesIntoAFileCutShortAreDamaged) {
  MemoTable m(GetParam());
  XBO_dBaseFld& t = *m.table;
  std::vector<std::string> texts;
  std::vector<std::int64_t> blocks;
  for (int i = 0; i < 12; ++i) {
    texts.push_back("memo " + std::to_string(i) + std::string(std::size_t(90 * i), char('a' + i)));
    t.BlankRecord();
    m.Put(texts.back());
    blocks.push_back(m.Block());
    t.AppendRecord();
  }
  const int blockSize = t.MemoFile()->BlockSize();
  m.table.reset();
  const std::string whole = ReadFileBytes(m.memoPath);
  const std::size_t cut = whole.size() - whole.size() / 3;
  WriteFileBytes(m.memoPath, whole.substr(0, cut));

  const int header = GetParam() == Dialect::DB3 ? 0 : 8;
  XBO_dBaseFld again(m.path, false, true, "");
  int damaged = 0, intact = 0, firstDamaged = 0;
  for (int r = 1; r <= 12; ++r) {
    SCOPED_TRACE(r);
    again.ReadRecord(r);
    const std::size_t start = std::size_t(blocks[std::size_t(r - 1)] * blockSize);
    const std::string& text = texts[std::size_t(r - 1)];
    // dBase III entries carry no length: one cut through reads to the end
    // of the file, as any entry without its end mark does.
    const bool lost = GetParam() == Dialect::DB3 ? start >= cut : start + header + text.size() > cut;
    if (!lost) {
      const std::string got = again.MemoRead(2);
      EXPECT_EQ(got, start + header + text.size() <= cut ? text : text.substr(0, cut - start));
      ++intact;
      continue;
    }
    ErrorRecorder errors;
    try {
      again.MemoRead(2);
      ADD_FAILURE() << "no error";
    } catch (const EXBaseError& e) {
      EXPECT_NE(std::string(e.what()).find("block " + std::to_string(blocks[std::size_t(r - 1)])), std::string::npos)
          << e.what();
      EXPECT_NE(std::string(e.what()).find("notes.dbf"), std::string::npos) << e.what();
    }
    EXPECT_EQ(errors.LastCode(), xbErrMemoFormat);
    EXPECT_THROW(again.MemoLength(2), EXBaseError);
    ++damaged;
    if (!firstDamaged) firstDamaged = r;
  }
  EXPECT_GE(damaged, 3);
  EXPECT_GE(intact, 6);

  again.ReadRecord(firstDamaged);
  ASSERT_TRUE(again.MemoWrite(2, "rewritten", 9));
  again.WriteRecord(firstDamaged);
  EXPECT_GE(std::size_t(again.GetNumber(2)) * std::size_t(blockSize), cut);
  const std::string now = ReadFileBytes(m.memoPath);
  EXPECT_EQ(now.substr(4, cut - 4), whole.substr(4, cut - 4));  // only the next-free value changed
  EXPECT_EQ(again.MemoRead(2), "rewritten");
  again.ReadRecord(1);
  EXPECT_EQ(again.MemoRead(2), texts[0]);
}

INSTANTIATE_TEST_SUITE_P(AllDialects, DbfMemoDialect, ::testing::Values(Dialect::DB3, Dialect::DB4, Dialect::Fox));

TEST(DbfMemo, DBase4EntryOf600BytesTakesTwoBlocks) {
  MemoTable m(Dialect::DB4);
  m.table->BlankRecord();
  m.Put(std::string(600, 'x'));
  EXPECT_EQ(m.Block(), 1);
  const std::string bytes = ReadFileBytes(m.memoPath);
  EXPECT_EQ(LE32At(bytes, 0), 3u);
  EXPECT_EQ(bytes.substr(512, 4), std::string("\xFF\xFF\x08\x00", 4));
  EXPECT_EQ(LE32At(bytes, 516), 608u);
}

TEST(DbfMemo, DamagedMemoFiles) {
  MemoTable m(Dialect::Fox);
  XBO_dBaseFld& t = *m.table;
  t.BlankRecord();
  m.Put("hello");
  std::string bytes = ReadFileBytes(m.memoPath);
  const std::size_t entry = std::size_t(m.Block() * 64);

  // Type 2 is not a text entry.
  bytes[entry + 3] = 2;
  WriteFileBytes(m.memoPath, bytes);
  {
    ErrorRecorder errors;
    EXPECT_THROW(t.MemoRead(2), EXBaseError);
    EXPECT_EQ(errors.LastCode(), xbErrMemoFormat);
  }
  bytes[entry + 3] = 1;
  WriteFileBytes(m.memoPath, bytes);
  const double block = t.GetNumber(2);
  // Field texts that are no block number: converting them used to overflow.
  for (const char* text : {"1e300", "-5", "4294967296"}) {
    t.PutFieldText(2, text);
    EXPECT_EQ(t.MemoRead(2), "") << text;
  }
  t.PutNumber(2, block);
  t.AppendRecord();

  // Block size 0 in the header.
  bytes[6] = bytes[7] = 0;
  WriteFileBytes(m.memoPath, bytes);
  m.table.reset();
  XBO_dBaseFld other(m.path, false, false, "");
  other.ReadRecord(1);
  ErrorRecorder errors;
  EXPECT_THROW(other.MemoRead(2), EXBaseError);
  EXPECT_EQ(errors.LastCode(), xbErrMemoFormat);
}

// A stored length past the end of the file used to be cut there and read as
// text (other records' entries with it), and a longer text written to the
// record then went in place over those entries.
TEST(DbfMemo, ALengthPastTheEndOfTheFileIsDamagedAndNeverWrittenOver) {
  for (Dialect d : {Dialect::DB4, Dialect::Fox}) {
    MemoTable m(d);
    XBO_dBaseFld& t = *m.table;
    for (const char* text : {"first", "second", "third"}) {
      t.BlankRecord();
      m.Put(text);
      t.AppendRecord();
    }
    t.ReadRecord(1);
    const int blockSize = t.MemoFile()->BlockSize();
    const std::string longer(std::size_t(2 * blockSize - 20), 'n');  // fits what the file holds after it
    std::string bytes = ReadFileBytes(m.memoPath);
    const std::size_t at = std::size_t(m.Block() * blockSize) + 4;
    bytes.replace(at, 4, d == Dialect::DB4 ? std::string("\0\0\x10\0", 4) : std::string("\0\x10\0\0", 4));
    WriteFileBytes(m.memoPath, bytes);
    {
      ErrorRecorder errors;
      EXPECT_THROW(t.MemoRead(2), EXBaseError);
      EXPECT_EQ(errors.LastCode(), xbErrMemoFormat);
    }
    m.Put(longer);
    t.WriteRecord(1);
    for (const auto& [record, text] : {std::pair{2, "second"}, {3, "third"}, {1, ""}}) {
      t.ReadRecord(record);
      EXPECT_EQ(t.MemoRead(2), *text ? text : longer) << record;
    }
  }
}

TEST(DbfMemo, DBase3EntryWithoutEndMarkStopsAtTheEndOfTheFile) {
  MemoTable m(Dialect::DB3);
  m.table->BlankRecord();
  m.Put("abc");
  std::string bytes = ReadFileBytes(m.memoPath);
  bytes.resize(512 + 3);  // "abc" and nothing after it
  WriteFileBytes(m.memoPath, bytes);
  EXPECT_EQ(m.table->MemoRead(2), "abc");
  // A damaged next-free value never makes a new entry overwrite the header.
  bytes[0] = 0;
  WriteFileBytes(m.memoPath, bytes);
  m.Put(std::string(700, 'z'));
  EXPECT_GE(m.Block(), 1);
  EXPECT_EQ(m.table->MemoRead(2), std::string(700, 'z'));
  EXPECT_EQ(ReadFileBytes(m.memoPath).substr(8, 5), std::string("NOTES", 5));
}

TEST(DbfMemo, RefusedLockRaisesAndKeepsTheOldBlock) {
  ShortLockWaits quick;
  MemoTable m(Dialect::DB3, true);
  XBO_dBaseFld& t = *m.table;
  t.BlankRecord();
  m.Put("old");
  const std::int64_t old = m.Block();
  XBO_DiskFile other(m.memoPath, true, true);
  other.FileOpen();
  ASSERT_TRUE(other.LockRegion(0x7FFFFFFD, 1));
  const std::string before = ReadFileBytes(m.memoPath);
  ErrorRecorder errors;
  const std::string text(2000, 'n');
  EXPECT_THROW(t.MemoWrite(2, text.data(), 2000), EXBaseError);
  EXPECT_EQ(errors.LastSubCode(), xbCtxMemoLock);
  EXPECT_EQ(m.Block(), old);
  EXPECT_EQ(ReadFileBytes(m.memoPath), before);
  other.UnlockRegion();

  // Protocol 2 locks the byte 1000000000.
  t.SetLockProtocol(ClipLock);
  ASSERT_TRUE(other.LockRegion(1000000000, 1));
  EXPECT_THROW(t.MemoWrite(2, text.data(), 2000), EXBaseError);
  other.UnlockRegion();
  m.Put(text);
  EXPECT_EQ(t.MemoRead(2), text);
  EXPECT_EQ(t.MemoFile()->MemoLockOffset(), 1000000000);
  t.SetLockProtocol(DB4Lock);
  EXPECT_EQ(t.MemoFile()->MemoLockOffset(), 0xEFFFFFFE);
  EXPECT_EQ(t.MemoFile()->MemoLockLength(), 2);
}

TEST(DbfMemo, RenameWritesTheNameIntoDBaseHeadersOnly) {
  for (Dialect d : {Dialect::DB3, Dialect::Fox}) {
    MemoTable m(d);
    m.table->BlankRecord();
    m.Put("x");
    m.table->AppendRecord();
    const std::string before = ReadFileBytes(m.memoPath);
    // A freshly opened table has not opened its memo file yet.
    m.table.reset();
    m.table = std::make_unique<XBO_dBaseFld>(m.path, false, true, "");
    ASSERT_TRUE(m.table->Rename(m.dir / "renamed.dbf"));
    m.table->ReadRecord(1);
    const std::string memo = ReadFileBytes(m.dir / (d == Dialect::Fox ? "renamed.fpt" : "renamed.dbt"));
    if (d == Dialect::DB3) EXPECT_EQ(memo.substr(8, 8), std::string("RENAMED\0", 8));
    else EXPECT_EQ(memo, before);
    EXPECT_EQ(m.table->MemoRead(2), "x");
    EXPECT_FALSE(std::filesystem::exists(m.memoPath));
  }
}

TEST(DbfMemo, ScrambledTablesScrambleTheirMemos) {
  DbfScratch dir;
  const std::string key = "k3y";
  {
    XBO_DBFBuild b(dir / "s.dbf");
    b.AddField("NOTE", 'M', 10, 0);
    b.Write();
  }
  std::string bytes = ReadFileBytes(dir / "s.dbf");
  bytes[15] = 1;
  xbEncryptBuffer(key, bytes.data() + 32, bytes.data() + 32, 32, 1);
  WriteFileBytes(dir / "s.dbf", bytes);
  const std::string text = std::string("with \x1A inside ") + std::string(600, 'w');
  {
    XBO_dBaseFld t(dir / "s.dbf", false, true, key);
    t.BlankRecord();
    ASSERT_TRUE(t.MemoWrite(1, text.data(), std::int64_t(text.size())));
    t.AppendRecord();
  }
  const std::string memo = ReadFileBytes(dir / "s.dbt");
  EXPECT_EQ(LE32At(memo, 512), text.size());  // plain length prefix
  EXPECT_EQ(memo.find("inside"), std::string::npos);
  XBO_dBaseFld t(dir / "s.dbf", false, false, key);
  t.ReadRecord(1);
  EXPECT_EQ(t.MemoRead(1), text);
}

TEST(DbfMemo, MissingMemoFileIsError2) {
  MemoTable m(Dialect::DB3);
  m.table.reset();
  std::filesystem::remove(m.memoPath);
  XBO_dBaseFld t(m.path, false, true, "");
  t.BlankRecord();
  ErrorRecorder errors;
  EXPECT_THROW(t.MemoWrite(2, "a", 1), EXBaseError);
  EXPECT_EQ(errors.LastCode(), 2);
  EXPECT_EQ(errors.LastSubCode(), xbCtxMemoOpen);
}
