// The check made when an index file opens (every tag sought for the table's
// last record): sound files open whatever their tags hold on purpose, and
// damage found on the way is reported as damage.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "platform/os/os_file.h"
#include "tests/tables/handler/hand_cdx.h"
#include "tests/tables/handler/handler_testing.h"

namespace vx::test {
namespace {

const char* const kFormats[] = {"t.cdx", "t.mdx", "t.ntx", "t.ndx"};

std::string TagOf(const std::string& file) {
  return file == "t.cdx" || file == "t.mdx" ? "BYDRAW" : "T";
}

// A unique tag keeps one entry per key: when record 2, the first holder of
// DRAW 2, takes another key, DRAW 2 has no entry although record 4 (the
// last) still holds it. Such files used to be refused as out of date in
// every format. A header left marked by a writer stopped between its record
// and its keys still makes the gap count.
TEST(HandlerCheck, AUniqueTagAfterItsKeysFirstHolderChangedOpens) {
  for (const char* name : kFormats) {
    for (const bool stopped : {false, true}) {
      SCOPED_TRACE(std::string(name) + (stopped ? " stopped writer" : ""));
      DbfScratch dir;
      const std::string table = dir / "draws.dbf";
      CreateDraws(table, {{2001, 1}, {2002, 2}, {2003, 3}, {2004, 2}});
      {
        XBO_dBHandler h(table, false, true, "");
        h.IndexOn(dir / name, "BYDRAW", "DRAW", "", 0, 0);
        ASSERT_EQ(h.IndexOpenList(name, ""), 0);
        h.GetRec(2);
        h.PutNumberByName("DRAW", 5);
        h.WriteRecord(2);
      }
      if (stopped) {
        std::string bytes = ReadFileBytes(table);
        bytes[14] = 1;
        WriteFileBytes(table, bytes);
      }
      XBO_dBHandler h(table, false, true, "");
      if (stopped) {
        EXPECT_THROW(h.IndexOpenList(name, TagOf(name)), EXBaseIndexOutOfDate);
        continue;
      }
      ASSERT_EQ(h.IndexOpenList(name, TagOf(name)), 0);
      EXPECT_EQ(Walk(h), (std::vector<int>{1, 3, 2}));
      EXPECT_EQ(h.IndexLackingLastRecord(), "");
    }
  }
}

// A file refused as out of date could only be mended by building each of
// its tags again by hand; now one call rebuilds all of them from the
// definitions the file holds (FOR conditions and order included).
TEST(HandlerCheck, AFileRefusedAsOutOfDateIsRebuiltFromItsOwnDefinitions) {
  for (const char* name : kFormats) {
    SCOPED_TRACE(name);
    DbfScratch dir;
    const std::string table = dir / "draws.dbf";
    CreateDraws(table, {{2001, 1}, {2002, 4}, {2003, 3}, {2004, 2}});
    const bool compound = TagOf(name) == "BYDRAW";
    {
      XBO_dBHandler h(table, false, true, "");
      const bool ndx = name == std::string("t.ndx");  // neither FOR nor descending order
      h.IndexOn(dir / name, "BYDRAW", "DRAW", ndx ? "" : "DRAW>1", 1, ndx ? 0 : 1);
      if (compound) h.IndexOn(dir / name, "BYYEAR", "YEAR", "", 1, 0);
      PutDraw(h, 2005, 5);
      h.AppendRecord();  // no index file open
    }
    XBO_dBHandler h(table, false, true, "");
    EXPECT_THROW(h.IndexOpenList(name, TagOf(name)), EXBaseIndexOutOfDate);
    h.IndexFileRebuild(name);
    ASSERT_EQ(h.IndexOpenList(name, TagOf(name)), 0);
    const std::vector<int> order =
        name == std::string("t.ndx") ? std::vector<int>{1, 4, 3, 2, 5} : std::vector<int>{5, 2, 3, 4};
    EXPECT_EQ(Walk(h), order);
    if (compound) {
      h.SelectTag("BYYEAR", false);
      EXPECT_EQ(Walk(h), (std::vector<int>{1, 2, 3, 4, 5}));
    }
  }
}

// A single-tag build that failed (a key too long, an expression that fails
// on a record) used to leave an empty file behind, which every later open
// refused as damaged; an existing file was lost the same way. Now a new
// file goes again and an existing one keeps its bytes.
TEST(HandlerCheck, AFailedBuildOfASingleTagFileLeavesNothingChanged) {
  const std::vector<std::pair<std::string, std::string>> failures = {
      {"SPACE(300)", ""},           // key longer than a key may be
      {"DRAW/(YEAR-2002)", ""},     // a division by zero on record 2
      {"DRAW", "DRAW/(YEAR-2002)>1"},  // the same in the FOR condition
      {"NOSUCHFIELD", ""},
  };
  for (const char* name : {"t.ntx", "t.ndx"}) {
    for (const auto& [key, condition] : failures) {
      if (name == std::string("t.ndx") && !condition.empty()) continue;  // no FOR in NDX files
      for (const bool existing : {false, true}) {
        SCOPED_TRACE(std::string(name) + " " + key + " " + condition + (existing ? " over a file" : ""));
        DbfScratch dir;
        const std::string table = dir / "draws.dbf";
        CreateDraws(table, {{2001, 1}, {2002, 4}, {2003, 3}});
        XBO_dBHandler h(table, false, true, "");
        if (existing) h.IndexOn(dir / name, "", "DRAW", "", 1, 0);
        const std::string before = existing ? ReadFileBytes(dir / name) : std::string();
        EXPECT_ANY_THROW(h.IndexOn(dir / name, "", key, condition, 1, 0));
        EXPECT_EQ(std::filesystem::exists(dir / name), existing);
        if (!existing) continue;
        EXPECT_TRUE(ReadFileBytes(dir / name) == before);
        ASSERT_EQ(h.IndexOpenList(name, "T"), 0);
        EXPECT_EQ(Walk(h), (std::vector<int>{1, 3, 2}));
      }
    }
  }
}

std::string FacilityRecord(const std::string& facility, int n) {
  std::string r = " " + facility;
  r.resize(11, ' ');
  std::string number = std::to_string(n);
  r += std::string(4 - number.size(), ' ') + number;
  return r;
}

// FOR conditions as FoxPro writes them (with "=="), one that fails on every
// record (a division by zero) and one naming a function this engine does not
// have: the file opens, and every tag walks in its stored order. The first
// used to raise its expression error out of the open, the last two still
// did, and no tag of the file could be used.
TEST(HandlerCheck, ForConditionsTheEngineCannotEvaluateDoNotStopTheOpen) {
  DbfScratch dir;
  const std::string table = dir / "rooms.dbf";
  WriteFileBytes(table, MakeTableBytes(0x03, {{"FACILITY", 'C', 10, 0}, {"N", 'N', 4, 0}},
                                       {FacilityRecord("audio", 4), FacilityRecord("Video", 3),
                                        FacilityRecord("AUDIO", 2), FacilityRecord("radio", 1),
                                        FacilityRecord(" audio", 6), FacilityRecord("Audio", 5)}));
  {
    XBO_dBHandler h(table, false, true, "");
    h.IndexOn(dir / "t.cdx", "ALL", "N", "", 1, 0);
    h.IndexOn(dir / "t.cdx", "AUDIO", "N", "TRIM(UPPER(FACILITY))=\"AUDIO\"", 1, 0);
    h.IndexOn(dir / "t.cdx", "BROKEN", "FACILITY", "N>2", 1, 0);
    h.IndexOn(dir / "t.cdx", "UNKNOWN", "N+0", "N<3", 1, 0);
  }
  ReplaceForExpression(dir / "t.cdx", "N", "TRIM(UPPER(FACILITY))=\"AUDIO\"", "TRIM(UPPER(FACILITY))==\"AUDIO\"");
  ReplaceForExpression(dir / "t.cdx", "FACILITY", "N>2", "N/0>2");
  ReplaceForExpression(dir / "t.cdx", "N+0", "N<3", "INLIST(N,1,2)");
  XBO_dBHandler h(table, false, true, "");
  ASSERT_EQ(h.IndexOpenList("t.cdx", "AUDIO"), 0);
  EXPECT_EQ(Walk(h), (std::vector<int>{3, 1, 6}));
  const std::map<std::string, std::vector<int>> orders = {
      {"ALL", {4, 3, 2, 1, 6, 5}}, {"BROKEN", {5, 6, 2, 1}}, {"UNKNOWN", {4, 3}}};
  for (const auto& [tag, order] : orders) {
    SCOPED_TRACE(tag);
    h.SelectTag(tag, false);
    EXPECT_EQ(Walk(h), order);
  }
  // The table is read-only while the file is open, and a write says why
  // (HandlerRefusal has the rest).
  h.GetRec(1);
  h.PutNumberByName("N", 7);
  EXPECT_THROW(h.WriteRecord(1), EXBaseIndexWriteRefused);
}

// The engine builds the key of an I field from its raw bytes, unlike the
// file, so the last record's key was sought in vain and the sound file was
// refused as out of date.
TEST(HandlerCheck, ATagOnAnIntegerFieldOfAVisualFoxProTableOpensAndWalks) {
  DbfScratch dir;
  const std::vector<std::pair<std::int32_t, std::string>> rows = {
      {30, "delta"}, {-5, "alpha"}, {7, "echo"}, {100000, "bravo"}, {0, "foxtrot"}, {12, "charlie"}};
  std::vector<std::string> records;
  std::vector<std::pair<std::string, int>> byId, byName;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string r = " ";
    for (int k = 0; k < 4; ++k) r += char((std::uint32_t(rows[i].first) >> (8 * k)) & 0xFF);
    std::string name = rows[i].second;
    name.resize(10, ' ');
    records.push_back(r + name);
    byId.push_back({FoxInteger(rows[i].first), int(i + 1)});
    byName.push_back({rows[i].second, int(i + 1)});
  }
  std::sort(byId.begin(), byId.end());
  std::sort(byName.begin(), byName.end());
  WriteFileBytes(dir / "ids.dbf", MakeTableBytes(0x30, {{"ID", 'I', 4, 0}, {"NAME", 'C', 10, 0}}, records));
  WriteFileBytes(dir / "ids2.cdx",
                 HandCdx({{"ID", "ID", 4, '\0', byId, "", false}, {"NAME", "NAME", 10, ' ', byName, "", false}}));

  XBO_dBHandler h(dir / "ids.dbf", false, true, "");
  ASSERT_EQ(h.IndexOpenList("ids2.cdx", "ID"), 0);
  EXPECT_EQ(Walk(h), (std::vector<int>{2, 5, 3, 6, 1, 4}));
  h.SelectTag("NAME", false);
  EXPECT_EQ(Walk(h), (std::vector<int>{2, 4, 6, 1, 3, 5}));
}

// FoxPro stores the keys of its FOR tags (options 0x68) with their
// trailing blanks in full, where other tags count them. Such keys were not
// found by an exact search: the check at opening refused the sound file
// ("no entry for record 6") whenever the last record passed the FOR, and a
// renamed record kept its old entry beside the new one.
TEST(HandlerCheck, KeysStoredWithTheirTrailingBlanksInFullAreFound) {
  DbfScratch dir;
  const std::vector<std::pair<std::string, int>> rows = {{"delta", 4}, {"alpha", 0}, {"echo", 7},
                                                        {"bravo", 2}, {"foxtrot", 5}, {"charlie", 1}};
  std::vector<std::string> records;
  std::vector<std::pair<std::string, int>> byName;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string name = rows[i].first;
    name.resize(10, ' ');
    records.push_back(" " + name + "   " + std::to_string(rows[i].second));
    if (rows[i].second > 0) byName.push_back({rows[i].first, int(i + 1)});
  }
  std::sort(byName.begin(), byName.end());
  WriteFileBytes(dir / "names.dbf", MakeTableBytes(0x03, {{"NAME", 'C', 10, 0}, {"N", 'N', 4, 0}}, records));
  WriteFileBytes(dir / "names.cdx", HandCdx({{"NAMES", "NAME", 10, ' ', byName, "N>0", true}}));

  XBO_dBHandler h(dir / "names.dbf", false, true, "");
  ASSERT_EQ(h.IndexOpenList("names.cdx", "NAMES"), 0);
  EXPECT_EQ(Walk(h), (std::vector<int>{4, 6, 1, 3, 5}));
  EXPECT_EQ(h.FindInTag("NAMES", "echo"), 3);
  h.GetRec(3);
  h.PutStringByName("NAME", "zulu");
  h.WriteRecord(3);
  h.GetRec(2);
  h.PutNumberByName("N", 3);  // now passes the FOR
  h.WriteRecord(2);
  EXPECT_EQ(Walk(h), (std::vector<int>{2, 4, 6, 1, 5, 3}));
  EXPECT_EQ(h.FindInTag("NAMES", "echo"), 0);
  EXPECT_EQ(h.IndexLackingLastRecord(), "");
}

// Writes `value` at `offset` of a file in place, as another program's
// write would (whoever has the file open keeps seeing the same file).
void PokeByte(const std::string& path, std::streamoff offset, char value) {
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(offset);
  f.put(value);
}

// The append mark (header byte 14) stood after an append refused for the
// table lock or cut short while writing its record, and a program that had
// read the header while another's append held it set wrote it back with
// every header of its own. While it stood, the unique tag whose key's first
// holder took another key was refused as out of date after an ordinary
// edit.
TEST(HandlerCheck, TheAppendMarkIsTheFilesOwnAndGoesWithAFailedAppend) {
  ShortLockWaits quick;
  for (const char* name : kFormats) {
    for (const char* how : {"lock refused", "record cut short", "read while set"}) {
      SCOPED_TRACE(std::string(name) + " " + how);
      DbfScratch dir;
      const std::string table = dir / "draws.dbf";
      CreateDraws(table, {{2001, 1}, {2002, 2}, {2003, 3}, {2004, 2}});
      {
        XBO_dBHandler h(table, false, true, "");
        h.IndexOn(dir / name, "BYDRAW", "DRAW", "", 0, 0);
      }
      const std::string how_ = how;
      if (how_ == "read while set") PokeByte(table, 14, 1);
      {
        XBO_dBHandler h(table, true, true, "");
        ASSERT_EQ(h.IndexOpenList(name, TagOf(name)), 0);
        PutDraw(h, 2005, 5);
        if (how_ == "lock refused") {
          XBO_dBHandler other(table, true, true, "");
          ASSERT_TRUE(other.LockTable());
          EXPECT_THROW(h.AppendRecord(), EXBaseError);
        } else if (how_ == "record cut short") {
          SetOsFaultHook([](OsOperation op, const std::string& native, std::uint64_t, std::size_t& count) {
            if (op == OsOperation::Write && native.find("draws.dbf") != std::string::npos && count > 32) count /= 2;
            return std::uint32_t(0);
          });
          EXPECT_THROW(h.AppendRecord(), EXBaseError);
          SetOsFaultHook({});
        } else {
          PokeByte(table, 14, 0);  // the other program's append has ended
        }
        EXPECT_EQ(ReadFileBytes(table)[14], 0);
        h.GetRec(2);
        h.PutNumberByName("DRAW", 5);
        h.WriteRecord(2);
        EXPECT_EQ(ReadFileBytes(table)[14], 0);
      }
      XBO_dBHandler h(table, false, true, "");
      try {
        ASSERT_EQ(h.IndexOpenList(name, TagOf(name)), 0);
      } catch (const EXBaseIndexOutOfDate& e) {
        ADD_FAILURE() << e.Message();
        continue;
      }
      EXPECT_EQ(h.RecordCount, 4);
      EXPECT_EQ(Walk(h), (std::vector<int>{1, 3, 2}));
    }
  }
}

// The rebuild that mended an index after a stopped writer left the append
// mark standing, so the next edit of a unique key's first holder (an
// ordinary gap) had the sound file refused as out of date again.
TEST(HandlerCheck, TheRebuildThatMendsAStoppedWritersIndexClearsItsMark) {
  for (const char* name : kFormats) {
    SCOPED_TRACE(name);
    DbfScratch dir;
    const std::string table = dir / "draws.dbf";
    CreateDraws(table, {{2001, 1}, {2002, 2}, {2003, 3}, {2004, 2}, {2005, 2}});
    {
      XBO_dBHandler h(table, false, true, "");
      h.IndexOn(dir / name, "BYDRAW", "DRAW", "", 0, 0);  // unique
    }
    PokeByte(table, 14, 1);  // a writer stopped between its record and its keys
    const auto editDraw = [&](int record, int draw) {
      XBO_dBHandler h(table, true, true, "");
      ASSERT_EQ(h.IndexOpenList(name, TagOf(name)), 0);
      h.GetRec(record);
      h.PutNumberByName("DRAW", draw);
      h.WriteRecord(record);
    };
    editDraw(2, 5);  // record 4 now holds key 2 in the table, not in the tag
    {
      XBO_dBHandler h(table, true, true, "");
      EXPECT_THROW(h.IndexOpenList(name, TagOf(name)), EXBaseIndexOutOfDate);
      h.IndexFileRebuild(name);
      EXPECT_EQ(ReadFileBytes(table)[14], 0);
    }
    editDraw(4, 7);  // the same ordinary gap, for record 5, after the mend
    XBO_dBHandler h(table, false, true, "");
    ASSERT_EQ(h.IndexOpenList(name, TagOf(name)), 0);
    EXPECT_EQ(Walk(h), (std::vector<int>{1, 3, 2, 4}));
  }
}

// Damage met while checking used to be reported as an index out of date
// (which a rebuild of one tag was said to mend): a root pointing at the
// tag's own header, a leaf whose right neighbour leads back to the first
// leaf. Both are the damaged-index error now, and the table stays readable.
TEST(HandlerCheck, DamageFoundWhileCheckingIsReportedAsDamage) {
  DbfScratch dir;
  const std::string table = dir / "draws.dbf";
  std::vector<std::pair<int, int>> rows;
  for (int i = 1; i <= 2000; ++i) rows.push_back({2000 + i / 100, i % 100});
  CreateDraws(table, rows);
  std::int64_t header, firstLeaf, lastLeaf;
  {
    XBO_dBHandler h(table, false, true, "");
    h.IndexOn(dir / "a.cdx", "BYYEAR", "YEAR+(0.001*DRAW)", "", 1, 0);
    ASSERT_EQ(h.IndexOpenList("a.cdx", ""), 0);
    XBobjIndexTag* tag = h.IndexFile(1)->TagByName("BYYEAR");
    header = tag->HeaderPos();
    XBobjIndexKey node;
    tag->LoadNode(tag->HeaderRoot(), node);
    while (!node.leaf) tag->LoadNode(static_cast<std::uint32_t>(node.keys.front().link), node);
    firstLeaf = node.page;
    tag->LoadNode(tag->HeaderRoot(), node);
    while (!node.leaf) tag->LoadNode(static_cast<std::uint32_t>(node.keys.back().link), node);
    lastLeaf = node.page;
    ASSERT_NE(firstLeaf, lastLeaf);
  }
  const std::string good = ReadFileBytes(dir / "a.cdx");
  const std::vector<std::pair<std::size_t, std::uint32_t>> damages = {
      {std::size_t(header), std::uint32_t(header)},          // root at the tag header
      {std::size_t(lastLeaf) + 8, std::uint32_t(firstLeaf)},  // last leaf's right neighbour: the first
  };
  for (const auto& [at, value] : damages) {
    SCOPED_TRACE(at);
    std::string bytes = good;
    PutLE32(bytes, at, value);
    WriteFileBytes(dir / "a.cdx", bytes);
    XBO_dBHandler h(table, false, true, "");
    ErrorRecorder quiet(false);
    EXPECT_EQ(h.IndexOpenList("a.cdx", "BYYEAR"), xbErrIndexInvalid);
    EXPECT_EQ(quiet.LastCode(), xbErrIndexInvalid);
    EXPECT_FALSE(h.HasIndex());
    EXPECT_EQ(Walk(h).size(), 2000u);
    EXPECT_EQ(ReadFileBytes(dir / "a.cdx"), bytes);
  }
}

}  // namespace
}  // namespace vx::test
