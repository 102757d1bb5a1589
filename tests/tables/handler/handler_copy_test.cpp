// Copying tables and records, and the search by field values.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/tables/handler/handler_testing.h"

namespace vx::test {
namespace {

struct MemoCase {
  const char* name;
  int kind;  // 0 dBase III, 1 dBase IV, 2 FoxPro
};

std::unique_ptr<XBO_DBFBuild> Builder(int kind, const std::string& path) {
  if (kind == 1) return std::make_unique<XBO_DB4Build>(path);
  if (kind == 2) return std::make_unique<XBO_DBFoxBuild>(path);
  return std::make_unique<XBO_DBFBuild>(path);
}

const MemoCase kMemoCases[] = {{"dbase3", 0}, {"dbase4", 1}, {"foxpro", 2}};

// An empty table of the case's kind: NAME C(10), then the memo fields named.
void CreateNotes(const MemoCase& c, const std::string& path, std::initializer_list<const char*> memos) {
  auto b = Builder(c.kind, path);
  b->AddField("NAME", 'C', 10, 0);
  for (const char* memo : memos) b->AddField(memo, 'M', 10, 0);
  b->Write();
}

std::string NoteFor(int i) {
  if (i % 7 == 0) return "";
  std::string text = "note " + std::to_string(i) + " ";
  text += std::string(std::size_t(i * 37 % 1500), char('a' + i % 26));
  return text;
}

TEST(HandlerCopy, CopyTableKeepsTheOrderAndTheMemoTexts) {
  for (const MemoCase& c : kMemoCases) {
    SCOPED_TRACE(c.name);
    DbfScratch dir;
    const std::string src = dir / "src.dbf";
    CreateNotes(c, src, {"NOTE"});
    std::vector<std::pair<std::string, std::string>> expected;
    {
      XBO_dBHandler h(src, false, true, "");
      for (int i = 1; i <= 40; ++i) {
        h.BlankRecord();
        const std::string name = "N" + std::to_string((i * 17) % 40 + 100);
        h.PutFieldTextByName("NAME", name);
        const std::string note = NoteFor(i);
        if (!note.empty()) h.MemoWrite(2, note.data(), std::int64_t(note.size()));
        h.AppendRecord();
        if (i == 9) {
          h.DeleteRecord();
          continue;
        }
        expected.emplace_back(name, note);
      }
      h.IndexOn(dir / "src.cdx", "BYNAME", "NAME", "", 1, 1);
    }
    std::sort(expected.begin(), expected.end(), [](auto& a, auto& b) { return a.first > b.first; });

    XBO_dBHandler h(src, false, true, "");
    ASSERT_EQ(h.IndexOpenList("src.cdx", "BYNAME"), 0);
    h.UseDeleted = false;
    h.GetRec(5);
    h.CopyTable(dir / "copy.dbf", "");
    EXPECT_EQ(h.RecNo, 5);

    XBO_dBHandler copy(dir / "copy.dbf", false, false, "");
    EXPECT_EQ(copy.Version, h.Version);
    ASSERT_EQ(copy.RecordCount, int(expected.size()));
    for (int n = 1; n <= copy.RecordCount; ++n) {
      copy.GetRec(n);
      EXPECT_EQ(TrimRight(copy.GetFieldTextByName("NAME")), expected[std::size_t(n - 1)].first);
      EXPECT_EQ(copy.MemoRead(2), expected[std::size_t(n - 1)].second) << "record " << n;
    }

    // dbfread (which adds 8 bytes to dBase IV memos) reads the other two.
    if (c.kind != 1 && HaveTool("/usr/bin/python3")) {
      const std::string out = RunTool(
          "/usr/bin/python3 -c \"import dbfread,sys\n"
          "for r in dbfread.DBF(sys.argv[1], encoding='cp1251'):\n"
          "    print(r['NAME'] + '|' + str(len(r['NOTE'] or '')) + '|' + (r['NOTE'] or '')[:12])\" " +
          (dir / "copy.dbf") + " 2>&1");
      std::string want;
      for (auto& [name, note] : expected)
        want += name + "|" + std::to_string(note.size()) + "|" + note.substr(0, 12) + "\n";
      EXPECT_EQ(out, want);
    }
  }
}

TEST(HandlerCopy, CopyTableRefusesItsOwnFilesAndVisualFoxTables) {
  DbfScratch dir;
  const std::string src = dir / "src.dbf";
  {
    XBO_DBFBuild b(src);
    b.AddField("NAME", 'C', 10, 0);
    b.AddField("NOTE", 'M', 10, 0);
    b.Write();
  }
  XBO_dBHandler h(src, false, true, "");
  h.BlankRecord();
  h.PutFieldTextByName("NAME", "KEEP");
  h.MemoWrite(2, "memo", 4);
  h.AppendRecord();
  h.IndexOn(dir / "src.cdx", "BYNAME", "NAME", "", 1, 0);
  ASSERT_EQ(h.IndexOpenList("src.cdx", "BYNAME"), 0);
  const std::string table = ReadFileBytes(src);
  const std::string memo = ReadFileBytes(dir / "src.dbt");
  ASSERT_FALSE(memo.empty());
  for (const std::string& target : {dir / "SRC.DBF", dir / "src", dir / "src.dbt", dir / "SRC.CDX"})
    EXPECT_THROW(h.CopyTable(target, ""), EXBaseError) << target;
  // A table named like the memo would get the same memo file.
  EXPECT_THROW(h.CopyTable(dir / "src.tic", ""), EXBaseError);
  EXPECT_EQ(ReadFileBytes(src), table);
  EXPECT_EQ(ReadFileBytes(dir / "src.dbt"), memo);

  WriteFileBytes(dir / "vfp.dbf", MakeTableBytes(0x30, {{"NAME", 'C', 4, 0}}, {" ABCD"}));
  XBO_dBHandler vfp(dir / "vfp.dbf", false, true, "");
  EXPECT_THROW(vfp.CopyTable(dir / "vfpcopy.dbf", ""), EXBaseError);
  EXPECT_FALSE(std::filesystem::exists(dir / "vfpcopy.dbf"));
}

TEST(HandlerCopy, CopyTableWaitsForTheTableLockThenGivesUp) {
  DbfScratch dir;
  ShortLockWaits quick;
  const std::string src = dir / "draws.dbf";
  CreateDraws(src, {{2001, 1}, {2001, 2}});
  XBO_dBHandler h(src, true, true, "");
  XBO_dBHandler other(src, true, true, "");
  ASSERT_TRUE(other.LockWholeTable());
  ErrorRecorder errors;
  EXPECT_THROW(h.CopyTable(dir / "copy.dbf", ""), EXBaseError);
  EXPECT_EQ(errors.LastCode(), 33);
  EXPECT_FALSE(std::filesystem::exists(dir / "copy.dbf"));
  other.Unlock();
  h.CopyTable(dir / "copy.dbf", "");
  XBO_dBHandler copy(dir / "copy.dbf", false, false, "");
  EXPECT_EQ(copy.RecordCount, 2);
}

TEST(HandlerCopy, EncipheredCopyReadsBackOnlyWithItsKey) {
  DbfScratch dir;
  const std::string src = dir / "draws.dbf";
  CreateDraws(src, {{2001, 1}, {2002, 2}, {2003, 3}});
  XBO_dBHandler h(src, false, true, "");
  h.CopyTable(dir / "secret.dbf", "Key1");
  EXPECT_THROW(XBO_dBHandler(dir / "secret.dbf", false, false, ""), EXBaseEncryption);
  {
    XBO_dBHandler copy(dir / "secret.dbf", false, true, "Key1");
    ASSERT_EQ(copy.RecordCount, 3);
    copy.GetRec(3);
    EXPECT_EQ(copy.GetNumberByName("YEAR"), 2003);
    EXPECT_TRUE(DrawIsWhole(copy));
    // Back to a plain table.
    copy.ChangeKey("");
  }
  XBO_dBHandler plain(dir / "secret.dbf", false, false, "");
  plain.GetRec(2);
  EXPECT_EQ(plain.GetNumberByName("DRAW"), 2);

  CreateDraws(dir / "other.dbf", {{2001, 1}});
  XBO_dBHandler shared(dir / "other.dbf", true, true, "");
  EXPECT_THROW(shared.ChangeKey("x"), EXBaseError);
}

TEST(HandlerCopy, ChangeKeyTakesTheMemoEntriesAlong) {
  for (const MemoCase& c : kMemoCases) {
    SCOPED_TRACE(c.name);
    DbfScratch dir;
    const std::string path = dir / "notes.dbf";
    CreateNotes(c, path, {"NOTE", "MORE"});
    {
      XBO_dBHandler h(path, false, true, "");
      for (int i = 1; i <= 12; ++i) {
        h.BlankRecord();
        h.PutFieldTextByName("NAME", "N" + std::to_string(i));
        const std::string note = NoteFor(i), more = NoteFor(i + 5);
        if (!note.empty()) h.MemoWrite(2, note.data(), std::int64_t(note.size()));
        if (!more.empty()) h.MemoWrite(3, more.data(), std::int64_t(more.size()));
        h.AppendRecord();
      }
    }
    // Plain -> key -> other key -> plain; every step reads back whole
    // under its own key only.
    const char* keys[] = {"", "Key1", "Other", ""};
    for (int step = 1; step < 4; ++step) {
      SCOPED_TRACE(step);
      {
        XBO_dBHandler h(path, false, true, keys[step - 1]);
        h.ChangeKey(keys[step]);
      }
      if (*keys[step]) { EXPECT_THROW(XBO_dBHandler(path, false, false, keys[step - 1]), EXBaseEncryption); }
      XBO_dBHandler h(path, false, false, keys[step]);
      ASSERT_EQ(h.RecordCount, 12);
      for (int i = 1; i <= 12; ++i) {
        h.GetRec(i);
        EXPECT_EQ(Trim(h.GetFieldTextByName("NAME")), "N" + std::to_string(i));
        EXPECT_EQ(h.MemoRead(2), NoteFor(i));
        EXPECT_EQ(h.MemoRead(3), NoteFor(i + 5));
      }
    }
  }
}

// A Visual FoxPro B field is a binary number: the key change leaves it alone
// while the memo beside it goes along.
TEST(HandlerCopy, ChangeKeyKeepsVisualFoxNumbersBesideMemos) {
  DbfScratch dir;
  const std::string path = dir / "vfp.dbf";
  std::string record = " ABCD";
  const double rate = 2.5;
  record.append(reinterpret_cast<const char*>(&rate), 8);
  record.append(4, '\0');
  WriteFileBytes(path,
                 MakeTableBytes(0x30, {{"NAME", 'C', 4, 0}, {"RATE", 'B', 8, 0}, {"NOTE", 'M', 4, 0}}, {record}, 0x02));
  std::string memoHeader(512, '\0');
  memoHeader[3] = 8;   // next free block, big-endian
  memoHeader[7] = 64;  // block size, big-endian
  WriteFileBytes(dir / "vfp.fpt", memoHeader);
  {
    XBO_dBHandler h(path, false, true, "");
    h.GetRec(1);
    ASSERT_TRUE(h.MemoWrite(3, "hello", 5));
    h.WriteRecord(1);
    h.ChangeKey("Key1");
  }
  XBO_dBHandler h(path, false, false, "Key1");
  h.GetRec(1);
  EXPECT_EQ(h.GetNumber(2), rate);
  EXPECT_EQ(h.MemoRead(3), "hello");
}

TEST(HandlerCopy, CopyRecordNeedsTheSameLayoutAndCopiesMemos) {
  DbfScratch dir;
  for (const char* name : {"a.dbf", "b.dbf"}) {
    XBO_DBFoxBuild b(dir / name);
    b.AddField("NAME", 'C', 8, 0);
    b.AddField("NOTE", 'M', 10, 0);
    b.Write();
  }
  CreateDraws(dir / "draws.dbf", {{2001, 1}});
  XBO_dBHandler a(dir / "a.dbf", false, true, "");
  XBO_dBHandler b(dir / "b.dbf", false, true, "");
  XBO_dBHandler draws(dir / "draws.dbf", false, true, "");
  b.BlankRecord();
  b.MemoWrite(2, "something else", 14);
  b.AppendRecord();
  a.BlankRecord();
  a.PutFieldTextByName("NAME", "ONE");
  a.MemoWrite(2, "first memo", 10);
  a.AppendRecord();
  a.DeleteRecord();
  a.CopyRecord(b);
  EXPECT_EQ(b.RecordCount, 2);
  b.GetRec(2);
  EXPECT_EQ(b.MemoRead(2), "first memo");
  EXPECT_TRUE(b.IsDeleted());
  b.GetRec(1);
  EXPECT_EQ(b.MemoRead(2), "something else");
  EXPECT_THROW(a.CopyRecord(draws), EXBaseError);
  EXPECT_EQ(draws.RecordCount, 1);
}

TEST(HandlerCopy, LocateChecksWhatTheTagFindsAndFallsBackToTheScan) {
  DbfScratch dir;
  const std::string table = dir / "draws.dbf";
  // "YEAR+DRAW" adds the numbers: 2000+6 and 2001+5 have the same key.
  CreateDraws(table, {{2000, 6}, {2001, 5}, {2001, 7}, {2001, 7}});
  XBO_dBHandler h(table, false, true, "");
  h.IndexOn(dir / "draws.cdx", "SUM", "YEAR+DRAW", "", 1, 0);
  ASSERT_EQ(h.IndexOpenList("draws.cdx", "SUM"), 0);
  h.UseDeleted = false;
  EXPECT_TRUE(h.LocateRecord("YEAR;DRAW", {"2001", "5"}, false, false));
  EXPECT_EQ(h.RecNo, 2);
  h.GetRec(3);
  h.DeleteRecord();
  EXPECT_TRUE(h.LocateRecord("YEAR;DRAW", {"2001", "7"}, false, false));
  EXPECT_EQ(h.RecNo, 4);
  EXPECT_FALSE(h.LocateRecord("YEAR;DRAW", {"1999", "7"}, false, false));

  // Text fields: partial and without regard to case.
  XBO_DBFBuild b(dir / "names.dbf");
  b.AddField("NAME", 'C', 12, 0);
  b.Write();
  XBO_dBHandler n(dir / "names.dbf", false, true, "");
  for (const char* s : {"Miller", "Smithson", "Smith"}) {
    n.BlankRecord();
    n.PutFieldTextByName("NAME", s);
    n.AppendRecord();
  }
  EXPECT_TRUE(n.LocateRecord("NAME", {"smi"}, true, true));
  EXPECT_EQ(n.RecNo, 2);
  EXPECT_FALSE(n.LocateRecord("NAME", {"smi"}, true, false));
  EXPECT_TRUE(n.LocateRecord("NAME", {"Smith"}, false, false));
  EXPECT_EQ(n.RecNo, 3);
  EXPECT_FALSE(n.LocateRecord("NAME", {"smith"}, false, false));
}

}  // namespace
}  // namespace vx::test
