// Writes refused before anything is written: while an open index file has a
// tag this engine cannot keep current the table is read-only through it, a
// tag whose expression fails on the record refuses that record, and an edit
// whose entry the index lacks is the damaged-index error. The rebuild never
// loses a tag.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "tables/index/cdx/cdx_keys.h"
#include "tests/tables/handler/hand_cdx.h"
#include "tests/tables/handler/handler_testing.h"

namespace vx::test {
namespace {

// NAME C(10), N N(4); record 5 is marked deleted.
std::string RoomsTable() {
  const std::vector<std::pair<std::string, int>> rows = {{"audio", 4}, {"video", 3}, {"radio", 2},
                                                        {"atlas", 1}, {"mixer", 6}, {"organ", 5}};
  std::vector<std::string> records;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string r = i == 4 ? "*" : " ";
    std::string name = rows[i].first;
    name.resize(10, ' ');
    const std::string n = std::to_string(rows[i].second);
    records.push_back(r + name + std::string(4 - n.size(), ' ') + n);
  }
  return MakeTableBytes(0x03, {{"NAME", 'C', 10, 0}, {"N", 'N', 4, 0}}, records);
}

struct ReadOnlyCase {
  std::string what, tag, expression;
  // Makes dir/rooms.dbf and dir/t.cdx with the tag ALL on N beside it.
  std::function<void(const std::string& dir)> make;
};

// A compound file built here whose tag `tag` gets other expressions, as
// another program would have written them.
ReadOnlyCase Edited(const std::string& what, const std::string& tag, const std::string& key,
                    const std::string& condition, const std::string& newKey, const std::string& newCondition) {
  return {what, tag, newCondition.empty() ? newKey : newCondition, [=](const std::string& dir) {
            WriteFileBytes(dir + "/rooms.dbf", RoomsTable());
            {
              XBO_dBHandler h(dir + "/rooms.dbf", false, true, "");
              h.IndexOn(dir + "/t.cdx", "ALL", "N", "", 1, 0);
              h.IndexOn(dir + "/t.cdx", tag, key, condition, 1, 0);
            }
            ReplaceExpressions(dir + "/t.cdx", key, condition, newKey, newCondition);
          }};
}

// A Visual FoxPro table (ID I, NAME C(10), N N(4)) and its compound file,
// the tag ID keyed as FoxPro keys I fields.
void MakeFoxTable(const std::string& dir) {
  std::vector<std::string> records;
  std::vector<std::pair<std::string, int>> byId, byN;
  const int numbers[] = {4, 3, 2, 1, 6, 5};  // as in RoomsTable
  for (int i = 1; i <= 6; ++i) {
    const std::int32_t id = 100 - 7 * i;
    std::string r = i == 5 ? "*" : " ";
    for (int k = 0; k < 4; ++k) r += char((std::uint32_t(id) >> (8 * k)) & 0xFF);
    r += "name" + std::to_string(i) + "     " + "   " + std::to_string(numbers[i - 1]);
    records.push_back(r);
    byId.push_back({FoxInteger(id), i});
    byN.push_back({CdxNumberKey(numbers[i - 1]), i});
  }
  std::sort(byId.begin(), byId.end());
  std::sort(byN.begin(), byN.end());
  WriteFileBytes(dir + "/rooms.dbf",
                 MakeTableBytes(0x30, {{"ID", 'I', 4, 0}, {"NAME", 'C', 10, 0}, {"N", 'N', 4, 0}}, records));
  WriteFileBytes(dir + "/t.cdx",
                 HandCdx({{"ID", "ID", 4, '\0', byId, "", false}, {"ALL", "N", 8, '\0', byN, "", false}}));
}

// Every kind of write the engine has, each on a table freshly opened with
// its index file.
const std::vector<std::pair<std::string, std::function<void(XBO_dBHandler&, const std::string&)>>>& Writes() {
  static const std::vector<std::pair<std::string, std::function<void(XBO_dBHandler&, const std::string&)>>> writes = {
      {"edit",
       [](XBO_dBHandler& h, const std::string&) {
         h.GetRec(1);
         h.PutNumberByName("N", 7);
         h.WriteRecord(1);
       }},
      {"append",
       [](XBO_dBHandler& h, const std::string&) {
         h.BlankRecord();
         h.PutNumberByName("N", 8);
         h.AppendRecord();
       }},
      {"delete",
       [](XBO_dBHandler& h, const std::string&) {
         h.GetRec(2);
         h.DeleteRecord();
       }},
      {"recall",
       [](XBO_dBHandler& h, const std::string&) {
         h.GetRec(5);
         h.UndeleteRecord();
       }},
      {"index on", [](XBO_dBHandler& h, const std::string& dir) { h.IndexOn(dir + "/t.cdx", "MORE", "N", "", 1, 0); }},
      {"reindex", [](XBO_dBHandler& h, const std::string&) { h.Reindex(); }},
      {"rebuild", [](XBO_dBHandler& h, const std::string&) { h.IndexFileRebuild("t.cdx"); }},
      {"rebuild closed",
       [](XBO_dBHandler& h, const std::string&) {
         h.IndexCloseAll();
         h.IndexFileRebuild("t.cdx");
       }},
  };
  return writes;
}

// A FOR condition naming a function this engine does not have, one that
// divides by zero, one that is an error under the engine's operator levels,
// a key naming an unknown function and a tag on an I field of a Visual
// FoxPro table: the file opens and its other tag walks, but an edit or an
// append used to write the record and then fail part-way through the tags
// (or add a second entry for the record), the rebuild dropped every tag
// after the failing one, and the unknown key kept the file from opening.
TEST(HandlerRefusal, ATagTheEngineCannotKeepCurrentMakesTheTableReadOnly) {
  const std::vector<ReadOnlyCase> cases = {
      Edited("unknown function in FOR", "UNKNOWN", "N+0", "N<3", "N+0", "INLIST(N,1,2)"),
      Edited("division by zero in FOR", "BROKEN", "NAME", "N>2", "NAME", "N/0>2"),
      Edited("operator levels in FOR", "LEVELS", "NAME", "N>1", "NAME", "NAME==\"audio\" .AND. N>1"),
      Edited("unknown function in key", "BADKEY", "N*2", "", "BINTOC(N)", ""),
      {"I field", "ID", "ID", MakeFoxTable},
  };
  for (const ReadOnlyCase& c : cases) {
    for (const auto& [kind, write] : Writes()) {
      SCOPED_TRACE(c.what + ": " + kind);
      DbfScratch dir;
      c.make(dir / "");
      const std::string tableBytes = ReadFileBytes(dir / "rooms.dbf");
      const std::string indexBytes = ReadFileBytes(dir / "t.cdx");
      XBO_dBHandler h(dir / "rooms.dbf", false, true, "");
      try {
        ASSERT_EQ(h.IndexOpenList("t.cdx", "ALL"), 0);
      } catch (const Exception& e) {
        ADD_FAILURE() << "not opened: " << e.Message();
        continue;
      }
      EXPECT_EQ(Walk(h), (std::vector<int>{4, 3, 2, 1, 6, 5}));
      try {
        write(h, dir / "");
        ADD_FAILURE() << "the write went through";
      } catch (const EXBaseIndexWriteRefused& e) {
        EXPECT_NE(e.Message().find(c.tag), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find(c.expression), std::string::npos) << e.Message();
      } catch (const Exception& e) {
        ADD_FAILURE() << "not refused: " << e.Message();
      }
      EXPECT_TRUE(ReadFileBytes(dir / "rooms.dbf") == tableBytes);
      EXPECT_TRUE(ReadFileBytes(dir / "t.cdx") == indexBytes);
      // Read-only, not broken: without the index the table takes writes.
      h.IndexCloseAll();
      h.GetRec(1);
      h.PutNumberByName("N", 9);
      h.WriteRecord(1);
    }
  }
  // Nor does the engine build such a tag itself, of keys in no form another
  // program reads.
  DbfScratch dir;
  MakeFoxTable(dir / "");
  XBO_dBHandler h(dir / "rooms.dbf", false, true, "");
  EXPECT_THROW(h.IndexOn(dir / "u.ntx", "", "ID", "", 1, 0), EXBaseError);
  EXPECT_FALSE(std::filesystem::exists(dir / "u.ntx"));
}

// A key expression naming a function the engine does not have kept a file
// of any format from opening (the compile error came out of the open);
// now the file opens, its tag walks in its stored order, and the table is
// read-only while it is open.
TEST(HandlerRefusal, AKeyTheEngineCannotCompileOpensInEveryFormat) {
  for (const char* name : {"t.cdx", "t.mdx", "t.ntx", "t.ndx"}) {
    SCOPED_TRACE(name);
    DbfScratch dir;
    const std::string table = dir / "draws.dbf";
    CreateDraws(table, {{2001, 1}, {2002, 4}, {2003, 3}});
    {
      XBO_dBHandler h(table, false, true, "");
      h.IndexOn(dir / name, "BYDRAW", "INT(DRAW)", "", 1, 0);
    }
    std::string bytes = ReadFileBytes(dir / name);
    for (std::size_t at = bytes.find("INT(DRAW)"); at != std::string::npos; at = bytes.find("INT(DRAW)", at))
      bytes.replace(at, 3, "XNT");
    WriteFileBytes(dir / name, bytes);
    const std::string tableBytes = ReadFileBytes(table);
    XBO_dBHandler h(table, false, true, "");
    const bool compound = name[2] == 'c' || name[2] == 'm';
    try {
      ASSERT_EQ(h.IndexOpenList(name, compound ? "BYDRAW" : "T"), 0);
    } catch (const Exception& e) {
      ADD_FAILURE() << "not opened: " << e.Message();
      continue;
    }
    EXPECT_EQ(Walk(h), (std::vector<int>{1, 3, 2}));
    h.GetRec(1);
    h.PutNumberByName("DRAW", 7);
    EXPECT_THROW(h.WriteRecord(1), EXBaseIndexWriteRefused);
    EXPECT_TRUE(ReadFileBytes(table) == tableBytes);
    EXPECT_TRUE(ReadFileBytes(dir / name) == bytes);
  }
}

// A FOR condition that fails on one record only (a division by zero where
// YEAR is 2002): that record's edit is refused with nothing written, others
// go through, and a rebuild, which meets the record, puts the file back as
// it was with all its tags, where it used to leave one tag of three.
TEST(HandlerRefusal, ARecordATagCannotTakeIsRefusedAndTheRebuildKeepsEveryTag) {
  DbfScratch dir;
  const std::string table = dir / "draws.dbf";
  CreateDraws(table, {{2001, 1}, {2002, 4}, {2003, 3}});
  {
    XBO_dBHandler h(table, false, true, "");
    h.IndexOn(dir / "t.cdx", "BYYEAR", "YEAR", "", 1, 1);
    h.IndexOn(dir / "t.cdx", "SOME", "DRAW", "DRAW>0", 1, 0);
    h.IndexOn(dir / "t.cdx", "BYDRAW", "DRAW", "", 1, 0);
  }
  ReplaceForExpression(dir / "t.cdx", "DRAW", "DRAW>0", "DRAW/(YEAR-2002)>0");
  XBO_dBHandler h(table, false, true, "");
  ASSERT_EQ(h.IndexOpenList("t.cdx", "BYDRAW"), 0);
  h.GetRec(3);
  h.PutNumberByName("DRAW", 5);
  h.WriteRecord(3);
  h.GetRec(2);
  h.PutNumberByName("DRAW", 6);
  for (const bool open : {true, false}) {
    SCOPED_TRACE(open ? "open" : "closed");
    const std::string tableBytes = ReadFileBytes(table);
    const std::string indexBytes = ReadFileBytes(dir / "t.cdx");
    if (open) {
      EXPECT_THROW(h.WriteRecord(2), EXBaseIndexWriteRefused);
      EXPECT_TRUE(ReadFileBytes(table) == tableBytes);
    } else {
      h.IndexCloseAll();
    }
    try {
      open ? h.Reindex() : h.IndexFileRebuild("t.cdx");
      ADD_FAILURE() << "the rebuild went through";
    } catch (const EXBaseExpression& e) {
      EXPECT_NE(e.Message().find("SOME"), std::string::npos) << e.Message();
    }
    EXPECT_TRUE(ReadFileBytes(table) == tableBytes);
    EXPECT_TRUE(ReadFileBytes(dir / "t.cdx") == indexBytes);
    if (!open) continue;
    // The file is opened anew, and still takes writes.
    h.GetRec(1);
    h.PutNumberByName("DRAW", 7);
    h.WriteRecord(1);
    EXPECT_EQ(Walk(h), (std::vector<int>{2, 3, 1}));
  }
  ASSERT_EQ(h.IndexOpenList("t.cdx", "BYDRAW"), 0);
  EXPECT_EQ(Walk(h), (std::vector<int>{2, 3, 1}));
  h.SelectTag("BYYEAR", false);
  EXPECT_EQ(Walk(h), (std::vector<int>{3, 2, 1}));
  h.SelectTag("SOME", false);
  EXPECT_EQ(Walk(h), (std::vector<int>{2, 3}));
}

// A record changed behind the index's back (by a program that did not have
// it open): an edit of another field of it looked for the old key, did not
// find it, and added a second entry for the record. The index does not
// match the table: the edit is the damaged-index error and writes nothing.
TEST(HandlerRefusal, AnEditWhoseEntryTheIndexLacksIsDamageNotASecondEntry) {
  for (const char* name : {"t.cdx", "t.mdx", "t.ntx", "t.ndx"}) {
    SCOPED_TRACE(name);
    DbfScratch dir;
    const std::string table = dir / "draws.dbf";
    CreateDraws(table, {{2001, 1}, {2002, 4}, {2003, 3}, {2004, 2}});
    {
      XBO_dBHandler h(table, false, true, "");
      h.IndexOn(dir / name, "BYDRAW", "DRAW", "", 1, 0);
      h.IndexCloseAll();
      h.GetRec(2);
      h.PutNumberByName("DRAW", 9);
      h.WriteRecord(2);
    }
    const std::string tableBytes = ReadFileBytes(table);
    const std::string indexBytes = ReadFileBytes(dir / name);
    XBO_dBHandler h(table, false, true, "");
    const bool compound = name[2] == 'c' || name[2] == 'm';
    ASSERT_EQ(h.IndexOpenList(name, compound ? "BYDRAW" : "T"), 0);
    h.GetRec(2);
    h.PutNumberByName("P1", 33);
    try {
      h.WriteRecord(2);
      ADD_FAILURE() << "the edit went through";
    } catch (const EXBaseError& e) {
      EXPECT_NE(e.Message().find("damaged"), std::string::npos) << e.Message();
      EXPECT_NE(e.Message().find("record 2"), std::string::npos) << e.Message();
    }
    EXPECT_TRUE(ReadFileBytes(table) == tableBytes);
    EXPECT_TRUE(ReadFileBytes(dir / name) == indexBytes);
    EXPECT_EQ(Walk(h), (std::vector<int>{1, 4, 3, 2}));
  }
}

}  // namespace
}  // namespace vx::test
