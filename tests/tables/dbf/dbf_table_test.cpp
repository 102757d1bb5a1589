// The table file: opening and checking headers, reading by number and by
// move, writing and appending, header bookkeeping, lock protocols, keys.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tables/base/xb_cipher.h"
#include "tests/tables/dbf/dbf_testing.h"

using namespace vx::test;

namespace {

struct DrawTable {
  DbfScratch dir;
  std::string path = dir / "draws.dbf";
  DrawTable() { BuildDrawTable(path); }
};

void AppendDraw(XBO_dBaseFld& t, int year, int draw) {
  t.BlankRecord();
  t.PutNumber(1, year);
  t.PutNumber(2, draw);
  for (int i = 0; i < 6; ++i) t.PutNumber(3 + i, draw + i);
  t.AppendRecord();
}

}  // namespace

TEST(DbfBuilder, DrawLayoutGivesTheExpectedHeaderAndSize) {
  DrawTable t;
  const std::string b = ReadFileBytes(t.path);
  ASSERT_EQ(b.size(), 290u);
  EXPECT_EQ(std::uint8_t(b[0]), 0x03);
  EXPECT_EQ(LE32At(b, 4), 0u);
  EXPECT_EQ(LE16At(b, 8), 289);
  EXPECT_EQ(LE16At(b, 10), 109);
  EXPECT_EQ(b[288], '\x0D');
  EXPECT_EQ(b[289], '\x1A');
  EXPECT_EQ(b.substr(32, 5), std::string("YEAR\0", 5));
}

TEST(DbfBuilder, FieldRulesAndMemoFiles) {
  DbfScratch dir;
  {
    XBO_DBFoxBuild b(dir / "fox.dbf");
    b.AddField("averyverylongname", 'c', 300, 0);
    b.AddField("", 'N', 5, 0);  // adds nothing
    b.AddField("note", 'M', 99, 3);
    b.AddField("when", 'D', 1, 1);
    b.AddField("ok", 'L', 9, 0);
    EXPECT_EQ(b.FieldCount(), 4);
    EXPECT_EQ(b.RecordLength(), 1 + 300 + 10 + 8 + 1);
    b.Write();
  }
  const std::string b = ReadFileBytes(dir / "fox.dbf");
  EXPECT_EQ(std::uint8_t(b[0]), 0xF5);
  EXPECT_EQ(b.substr(32, 11), std::string("AVERYVERYL\0", 11));
  EXPECT_EQ(b[43], 'C');
  EXPECT_EQ(std::uint8_t(b[48]), 44);
  EXPECT_EQ(std::uint8_t(b[49]), 1);
  EXPECT_EQ(std::uint8_t(b[64 + 16]), 10);  // M forced to 10
  EXPECT_EQ(std::uint8_t(b[96 + 16]), 8);   // D forced to 8
  const std::string fpt = ReadFileBytes(dir / "fox.fpt");
  ASSERT_EQ(fpt.size(), 512u);
  EXPECT_EQ(fpt.substr(0, 8), std::string("\0\0\0\x08\0\0\0\x40", 8));

  {
    XBO_DBFBuild b3(dir / "three.dbf");
    b3.AddField("NOTE", 'M', 10, 0);
    // Freed without Write: the destructor writes.
  }
  const std::string dbt3 = ReadFileBytes(dir / "three.dbt");
  ASSERT_EQ(dbt3.size(), 513u);
  EXPECT_EQ(LE32At(dbt3, 0), 1u);
  EXPECT_EQ(dbt3.substr(8, 6), std::string("THREE\0", 6));
  EXPECT_EQ(dbt3[512], '\x1A');
  EXPECT_EQ(std::uint8_t(ReadFileBytes(dir / "three.dbf")[0]), 0x83);

  {
    XBO_DB4Build b4(dir / "fourfourfour.dbf");
    b4.AddField("NOTE", 'M', 10, 0);
    b4.Write();
  }
  const std::string dbt4 = ReadFileBytes(dir / "fourfourfour.dbt");
  ASSERT_EQ(dbt4.size(), 24u);
  EXPECT_EQ(dbt4.substr(8, 8), "FOURFOUR");
  EXPECT_EQ(dbt4[18], 2);
  EXPECT_EQ(dbt4[19], 1);
  EXPECT_EQ(LE16At(dbt4, 20), 512);
  EXPECT_EQ(std::uint8_t(ReadFileBytes(dir / "fourfourfour.dbf")[0]), 0x8B);
}

TEST(DbfBuilder, RefusesLengthsThatDoNotFitBeforeWritingAnything) {
  DbfScratch dir;
  {
    XBO_DBFBuild b(dir / "bad.dbf");
    b.AddField("A", 'N', 10, 0);
    EXPECT_THROW(b.AddField("B", 'N', 256, 0), EXBaseError);
    EXPECT_THROW(b.AddField("B", 'N', 10, 300), EXBaseError);
    EXPECT_THROW(b.AddField("B", 'C', 70000, 0), EXBaseError);
    b.AddField("C1", 'C', 65000, 0);
    EXPECT_THROW(b.AddField("C2", 'C', 1000, 0), EXBaseError);  // record length past 65535
    EXPECT_EQ(b.FieldCount(), 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.dbf"));
    b.Write();
  }
  XBO_dBaseFld t(dir / "bad.dbf", false, false, "");
  EXPECT_EQ(t.RecordLength, 1 + 10 + 65000);
  EXPECT_EQ(t.FieldLength(2), 65000);
}

TEST(DbfOpen, CountComesFromTheFileSize) {
  DrawTable t;
  {
    XBO_dBaseFld table(t.path, false, true, "");
    AppendDraw(table, 2020, 1);
    AppendDraw(table, 2020, 2);
  }
  std::string b = ReadFileBytes(t.path);
  EXPECT_EQ(LE32At(b, 4), 2u);
  EXPECT_EQ(b.size(), 289u + 2 * 109 + 1);
  EXPECT_EQ(b.back(), '\x1A');
  b[4] = 77;  // stale count in the header
  WriteFileBytes(t.path, b);
  XBO_dBaseFld table(t.path, false, false, "");
  EXPECT_EQ(table.RecordCount, 2);
  EXPECT_EQ(table.FieldCount, 8);
}

TEST(DbfOpen, DamagedHeadersAreError1001AndNothingIsWritten) {
  DbfScratch dir;
  // Descriptors at 32, 64, 96, 128, 160; terminator at 192; record length 29.
  const std::vector<RawField> fields = {
      {"A", 'C', 5, 0}, {"B", 'N', 4, 0}, {"D", 'D', 8, 0}, {"L", 'L', 1, 0}, {"M", 'M', 10, 0}};
  const std::string good = MakeTableBytes(0x83, fields, {" abcde  1220030101T         0"});
  struct Case {
    const char* what;
    std::vector<std::pair<std::size_t, std::string>> edits;
  };
  const auto length = [](int n) { return std::string{char(n & 0xFF), char(n >> 8)}; };
  const std::vector<Case> cases = {
      {"unknown version", {{0, "\x04"}}},
      {"record length 0", {{10, length(0)}}},
      {"header length below 33", {{8, length(32)}}},
      {"header length past the file", {{8, length(0x7FFF)}}},
      {"field past the record", {{48, "\x09"}}},
      {"record length shorter than fields", {{10, length(5)}}},
      // Used to open with no field or one, the descriptors taken as records.
      {"header length 33 over five descriptors", {{8, length(33)}}},
      {"header length 50 over five descriptors", {{8, length(50)}}},
      {"header length 65 over five descriptors", {{8, length(65)}}},
      {"record length past the fields", {{10, length(30)}}},
      {"terminator neither CR nor LF", {{192, "\x0B"}}},
      {"line feed one descriptor early", {{160, "\x0A"}}},
      // Used to open with fields that hold nothing.
      {"C field of length 0", {{48, std::string(1, '\0')}, {10, length(24)}}},
      {"D field of length 0", {{112, std::string(1, '\0')}, {10, length(21)}}},
      {"D field of length 7", {{112, "\x07"}, {10, length(28)}}},
      {"L field of length 0", {{144, std::string(1, '\0')}, {10, length(28)}}},
      {"M field of length 0", {{176, std::string(1, '\0')}, {10, length(19)}}},
  };
  for (const Case& c : cases) {
    std::string b = good;
    for (const auto& [at, bytes] : c.edits) b.replace(at, bytes.size(), bytes);
    const std::string path = dir / "bad.dbf";
    WriteFileBytes(path, b);
    ErrorRecorder errors;
    EXPECT_THROW(XBO_dBaseFld(path, false, true, ""), EXBaseError) << c.what;
    EXPECT_EQ(errors.LastCode(), xbErrBadHeader) << c.what;
    EXPECT_EQ(errors.LastSubCode(), xbCtxTableHeader) << c.what;
    EXPECT_EQ(ReadFileBytes(path), b) << c.what;
  }
  WriteFileBytes(dir / "good.dbf", good);
  EXPECT_EQ(XBO_dBaseFld(dir / "good.dbf", false, false, "").FieldCount, 5);
  // A 0x30 header must hold its 263 extra bytes.
  std::string fox = MakeTableBytes(0x03, fields);
  fox[0] = 0x30;
  WriteFileBytes(dir / "fox.dbf", fox);
  EXPECT_THROW(XBO_dBaseFld(dir / "fox.dbf", false, false, ""), EXBaseError);
  // A truncated header.
  WriteFileBytes(dir / "short.dbf", good.substr(0, 20));
  EXPECT_THROW(XBO_dBaseFld(dir / "short.dbf", false, false, ""), EXBaseError);
}

TEST(DbfOpen, FieldScanStopsAtTheTerminator) {
  DbfScratch dir;
  // Header room for 4 descriptors, but the terminator follows the second
  // (as other programs write headers with spare room).
  std::string b = MakeTableBytes(0x03, {{"A", 'C', 2, 0}, {"B", 'C', 3, 0}, {"X", 'C', 1, 0}, {"Y", 'C', 1, 0}});
  b[10] = 6;
  b[96] = 0x0D;
  b += std::string(6, 'z');
  WriteFileBytes(dir / "t.dbf", b);
  XBO_dBaseFld t(dir / "t.dbf", false, false, "");
  EXPECT_EQ(t.FieldCount, 2);
  EXPECT_EQ(t.FieldOffset(2), 3);
}

TEST(DbfRead, MovesAndBounds) {
  DrawTable t;
  XBO_dBaseFld table(t.path, false, true, "");
  table.ReadRecord(xbTop);
  EXPECT_TRUE(table.EOFFlag);
  EXPECT_TRUE(table.BOFFlag);
  for (int i = 1; i <= 3; ++i) AppendDraw(table, 2021, i);

  table.ReadRecord(0);  // does nothing
  EXPECT_EQ(table.RecNo, 3);
  table.ReadRecord(1);
  table.ReadRecord(xbPrior);
  EXPECT_TRUE(table.BOFFlag);
  EXPECT_EQ(table.RecNo, 1);
  table.ReadRecord(xbNext);
  EXPECT_EQ(table.GetNumber(2), 2);
  table.ReadRecord(xbBottom);
  EXPECT_EQ(table.RecNo, 3);
  table.ReadRecord(4);
  EXPECT_TRUE(table.EOFFlag);
  ErrorRecorder errors;
  EXPECT_THROW(table.ReadRecord(5), EXBaseError);
  EXPECT_EQ(errors.LastCode(), xbErrBeyondEOF);
  EXPECT_EQ(errors.LastSubCode(), xbCtxRecordRead);
  EXPECT_THROW(table.ReadRecord(-9), EXBaseError);
}

TEST(DbfRead, ARecordCutShortIsAnErrorNotAHalfRecord) {
  DrawTable t;
  XBO_dBaseFld table(t.path, false, true, "");
  AppendDraw(table, 2021, 1);
  AppendDraw(table, 2021, 2);
  std::filesystem::resize_file(t.path, 289 + 109 + 50);
  table.ReadRecord(1);
  ErrorRecorder errors;
  EXPECT_THROW(table.ReadRecord(2), EXBaseError);
  EXPECT_EQ(errors.LastCode(), xbErrBeyondEOF);
  EXPECT_EQ(table.RecNo, 1);
  EXPECT_EQ(table.GetNumber(2), 1);
}

TEST(DbfWrite, RewriteAppendAndTheEndMark) {
  DrawTable t;
  XBO_dBaseFld table(t.path, false, true, "");
  AppendDraw(table, 2020, 1);
  table.PutNumber(2, 7);
  table.WriteRecord(0);  // out of range: appends
  EXPECT_EQ(table.RecordCount, 2);
  table.ReadRecord(1);
  table.PutNumber(1, 1999);
  table.WriteRecord(1);
  EXPECT_EQ(table.RecordCount, 2);

  // A record taken from another buffer still ends the file with 0x1A.
  std::vector<char> own(std::size_t(table.RecordLength) + 1, '#');
  table.CurRecord = own.data();
  table.BlankRecord();
  table.PutNumber(1, 2030);
  table.AppendRecord();
  table.CurRecord = table.RecordBuffer.data();

  const std::string b = ReadFileBytes(t.path);
  ASSERT_EQ(b.size(), 289u + 3 * 109 + 1);
  EXPECT_EQ(b.back(), '\x1A');
  EXPECT_EQ(LE32At(b, 4), 3u);
  EXPECT_EQ(b.substr(289 + 1, 9), "     1999");
  EXPECT_EQ(b.substr(289 + 109 + 10, 9), "        7");
  EXPECT_EQ(std::uint8_t(b[1]), std::uint8_t(b[1]) % 100);
}

TEST(DbfLocks, ProtocolOffsetsSeenByASecondOpener) {
  DrawTable t;
  struct Case {
    int protocol;
    std::int64_t header, record1;
  };
  const Case cases[] = {
      {Default, 0x7FFFFFFE, 0x40000000 + 289},
      {DB4Lock, 0xEFFFFFFF, 0xEFFFFFFF - 2},
      {ClipLock, 1000000000, 1000000000 + 1},
      {FoxLock, 0x7FFFFFFE, 0x40000000 + 289},
  };
  {
    XBO_dBaseFld table(t.path, false, true, "");
    AppendDraw(table, 2020, 1);
  }
  for (const Case& c : cases) {
    XBO_dBaseFld table(t.path, true, true, "");
    table.SetLockProtocol(c.protocol);
    table.ReadRecord(1);
    XBO_DiskFile other(t.path, true, true);
    other.FileOpen();

    ASSERT_TRUE(table.LockHeader());
    EXPECT_FALSE(other.LockRegion(c.header, 1)) << c.protocol;
    EXPECT_EQ(other.LastError(), 33);
    EXPECT_TRUE(table.Unlock());
    EXPECT_TRUE(other.LockRegion(c.header, 1));
    other.UnlockRegion();

    EXPECT_EQ(table.RecordLockOffset(1), c.record1);
    ASSERT_TRUE(table.LockRecord());
    EXPECT_FALSE(other.LockRegion(c.record1, 1)) << c.protocol;
    table.Unlock();
  }
}

TEST(DbfLocks, AppendWaitsForTheHeaderLockThenRefusesWithoutWriting) {
  DrawTable t;
  ShortLockWaits quick;
  XBO_dBaseFld table(t.path, true, true, "");
  XBO_DiskFile other(t.path, true, true);
  other.FileOpen();
  ASSERT_TRUE(other.LockRegion(0x7FFFFFFE, 1));
  const std::string before = ReadFileBytes(t.path);
  ErrorRecorder errors;
  EXPECT_THROW(AppendDraw(table, 2020, 1), EXBaseError);
  EXPECT_EQ(errors.LastCode(), 33);
  EXPECT_EQ(ReadFileBytes(t.path), before);
  EXPECT_EQ(table.RecordCount, 0);
  other.UnlockRegion();
  AppendDraw(table, 2020, 1);
  EXPECT_EQ(table.RecordCount, 1);
}

TEST(DbfLocks, TableLockDefersTheHeaderUntilTheLastLevel) {
  DrawTable t;
  XBO_dBaseFld table(t.path, true, true, "");
  ASSERT_TRUE(table.LockTable());
  AppendDraw(table, 2020, 1);
  AppendDraw(table, 2020, 2);
  ASSERT_TRUE(table.LockRecord());  // nests under the table lock
  EXPECT_EQ(LE32At(ReadFileBytes(t.path), 4), 0u);
  table.Unlock();
  EXPECT_EQ(LE32At(ReadFileBytes(t.path), 4), 0u);
  table.Unlock();
  EXPECT_FALSE(table.TableLocked);
  EXPECT_EQ(LE32At(ReadFileBytes(t.path), 4), 2u);
}

TEST(DbfShared, RefreshSeesAnotherWriter) {
  DrawTable t;
  XBO_dBaseFld reader(t.path, true, false, "");
  XBO_dBaseFld writer(t.path, true, true, "");
  AppendDraw(writer, 2020, 1);
  reader.ReadRecord(1);  // beyond the known count: refreshes first
  EXPECT_EQ(reader.RecordCount, 1);
  EXPECT_TRUE(reader.ChangedByOther);
  EXPECT_EQ(reader.GetNumber(1), 2020);
}

TEST(DbfKeys, ScrambledTables) {
  DbfScratch dir;
  const std::string key = "secret";
  std::string b = MakeTableBytes(0x03, {{"NAME", 'C', 6, 0}, {"N", 'N', 3, 0}});
  b[15] = 1;
  const int area = 32 * 2;
  xbEncryptBuffer(key, b.data() + 32, b.data() + 32, area, 1);
  WriteFileBytes(dir / "k.dbf", b);
  BuildDrawTable(dir / "plain.dbf");

  auto opening = [&](const std::string& path, const std::string& k) -> std::string {
    try {
      XBO_dBaseFld t(path, false, true, k);
      return "opened";
    } catch (const EXBaseEncryption& e) { return e.Message(); }
  };
  EXPECT_EQ(opening(dir / "k.dbf", ""), "No Password for encrypted file " + dir / "k.dbf");
  EXPECT_EQ(opening(dir / "k.dbf", "wrong!"), "Invalid Password for encrypted file " + dir / "k.dbf");
  EXPECT_EQ(opening(dir / "plain.dbf", "x"), "A Password is included for unencrypted file " + dir / "plain.dbf");

  {
    XBO_dBaseFld t(dir / "k.dbf", false, true, key);
    EXPECT_EQ(t.FieldName(1), "NAME");
    t.BlankRecord();
    t.PutString(1, "Ivanov");
    t.PutNumber(2, 42);
    t.AppendRecord();
  }
  const std::string after = ReadFileBytes(dir / "k.dbf");
  const std::string plain = " Ivanov 42";
  std::string stored = after.substr(97, 10);
  EXPECT_NE(stored, plain);
  xbEncryptBuffer(key, stored.data(), stored.data(), 10, 0);
  EXPECT_EQ(stored, plain);
  EXPECT_EQ(after.back(), '\x1A');
  XBO_dBaseFld t(dir / "k.dbf", false, false, key);
  t.ReadRecord(1);
  EXPECT_EQ(t.GetFieldText(1), "Ivanov");
}

TEST(DbfOpen, EveryHeaderByteFlippedOrCutGivesAnErrorOrATableAndNoWrite) {
  DbfScratch dir;
  const std::string path = dir / "memo.dbf";
  {
    XBO_DBFBuild b(path);
    b.AddField("NAME", 'C', 6, 0);
    b.AddField("N", 'N', 5, 1);
    b.AddField("NOTE", 'M', 10, 0);
    b.Write();
    XBO_dBaseFld t(path, false, true, "");
    for (int i = 0; i < 2; ++i) {
      t.BlankRecord();
      t.PutString(1, "row" + std::to_string(i));
      t.MemoWrite(3, "memo", 4);
      t.AppendRecord();
    }
  }
  const std::string good = ReadFileBytes(path);
  auto openAndReadAll = [&](const std::string& bytes) {
    WriteFileBytes(path, bytes);
    try {
      XBO_dBaseFld t(path, false, true, "");
      for (int r = 1; r <= t.RecordCount; ++r) {
        t.ReadRecord(r);
        for (int f = 1; f <= t.FieldCount; ++f) {
          try {
            t.GetDisplayText(f);
            t.MemoRead(f);
          } catch (const Exception&) {}
        }
      }
    } catch (const Exception&) {}
    EXPECT_EQ(ReadFileBytes(path), bytes);
  };
  const std::size_t headerLength = std::size_t(LE16At(good, 8));
  for (std::size_t at = 0; at < headerLength; ++at) {
    for (char value : {'\0', '\xFF', '\x0D', '\x7F'}) {
      std::string bytes = good;
      bytes[at] = value;
      openAndReadAll(bytes);
    }
  }
  for (std::size_t size = 0; size < good.size(); size += 7) openAndReadAll(good.substr(0, size));
}
