// Index files of the handler: the list, opening by extension, building tags,
// selecting, keeping keys and filter bits current, reindexing and renaming.
#include <gtest/gtest.h>

#include "tables/handler/xb_handler_index.h"
#include "tests/tables/handler/handler_testing.h"

namespace vx::test {
namespace {

struct Fixture {
  DbfScratch dir;
  std::string table = dir / "draws.dbf";
  Fixture() {
    CreateDraws(table, {{2003, 1}, {2001, 2}, {2002, 3}, {2001, 1}});
    XBO_dBHandler h(table, false, true, "");
    h.IndexOn(dir / "a.cdx", "BYYEAR", "YEAR+(0.001*DRAW)", "", 0, 0);
    h.IndexOn(dir / "a.cdx", "BYDRAW", "DRAW", "", 1, 1);
    h.IndexOn(dir / "b c.cdx", "P1", "P1", "", 1, 0);
  }
};

TEST(HandlerIndex, ListOpensFilesByExtensionAndCountsTagsInSlotOrder) {
  Fixture f;
  XBO_dBHandler h(f.table, false, true, "");
  EXPECT_EQ(h.IndexOpenList(" ,; ", "BYYEAR"), 1);
  EXPECT_FALSE(h.HasIndex());
  ASSERT_EQ(h.IndexOpenList("a.cdx, \"b c.cdx\";", "byyear"), 0);
  EXPECT_TRUE(h.HasIndex());
  EXPECT_EQ(h.ActiveTagName(), "BYYEAR");
  EXPECT_EQ(h.FindIndexFile("B C.CDX"), 2);
  EXPECT_EQ(h.TagByNumber(0), nullptr);
  ASSERT_NE(h.TagByNumber(3), nullptr);
  EXPECT_EQ(h.TagByNumber(3)->TagName(), "P1");
  EXPECT_EQ(h.TagByNumber(4), nullptr);
  EXPECT_EQ(h.IndexFileOpen("A.CDX"), -1);
  EXPECT_EQ(h.IndexFile(3), nullptr);

  const AnsiString ndx = h.IndexFileName("plain");
  EXPECT_EQ(ndx.substr(ndx.size() - 10), "/PLAIN.NDX");
  EXPECT_EQ(h.IndexFileName("x.cdx").substr(0, 1), "/");

  // Select keeps the record; the walk follows the tag.
  h.GetRec(3);
  EXPECT_EQ(h.SelectTag("BYDRAW", true), 1);
  EXPECT_EQ(h.RecNo, 3);
  EXPECT_EQ(Walk(h), (std::vector<int>{3, 2, 4, 1}));
  EXPECT_EQ(h.SelectTag("", false), 0);
  EXPECT_EQ(Walk(h), (std::vector<int>{1, 2, 3, 4}));
  try {
    h.SelectTag("nothere", false);
    FAIL();
  } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "Cannot find index tag nothere"); }
}

TEST(HandlerIndex, MissingAndDamagedFilesAreReported) {
  Fixture f;
  XBO_dBHandler h(f.table, false, true, "");
  EXPECT_THROW(h.IndexOpenList("a.cdx missing.cdx", ""), EXBaseError);
  WriteFileBytes(f.dir / "junk.cdx", std::string(2048, '\x7F'));
  ErrorRecorder quiet(false);
  EXPECT_EQ(h.IndexFileOpen("missing.cdx"), 2);
  EXPECT_EQ(quiet.LastCode(), 2);
  EXPECT_EQ(h.IndexFileOpen("junk.cdx"), 2112);
  EXPECT_EQ(h.IndexFileOpen("a.xyz"), 2);
  EXPECT_EQ(h.IndexOpenList("a.cdx junk.cdx", ""), 2112);
  EXPECT_EQ(h.FindIndexFile("a.cdx"), 1);
  EXPECT_EQ(h.FindIndexFile("junk.cdx"), 0);
}

// A damaged page on the way to the last record's key is found when the file
// is opened (2112, as for a damaged header); one elsewhere when the walk
// reaches it. The table stays readable either way.
TEST(HandlerIndex, DamagedPagesAreFoundOpeningOrWalking) {
  DbfScratch dir;
  const std::string table = dir / "draws.dbf";
  std::vector<std::pair<int, int>> rows;
  for (int i = 1; i <= 3000; ++i) rows.push_back({2000 + i / 100, i % 100});
  CreateDraws(table, rows);
  std::int64_t root, firstLeaf;
  {
    XBO_dBHandler h(table, false, true, "");
    h.IndexOn(dir / "a.cdx", "BYYEAR", "YEAR+(0.001*DRAW)", "", 1, 0);
    ASSERT_EQ(h.IndexOpenList("a.cdx", ""), 0);
    XBobjIndexTag* tag = h.IndexFile(1)->TagByName("BYYEAR");
    root = tag->HeaderRoot();
    XBobjIndexKey node;
    tag->LoadNode(root, node);
    while (!node.leaf) tag->LoadNode(static_cast<std::uint32_t>(node.keys.front().link), node);
    firstLeaf = node.page;
    ASSERT_NE(firstLeaf, root);
  }
  const std::string good = ReadFileBytes(dir / "a.cdx");
  auto withPageCount = [&](std::int64_t page) {
    std::string bytes = good;
    bytes[std::size_t(page) + 2] = char(0xFF);  // more keys than a page holds
    WriteFileBytes(dir / "a.cdx", bytes);
    return bytes;
  };
  {
    const std::string bytes = withPageCount(root);
    XBO_dBHandler h(table, false, true, "");
    ErrorRecorder quiet(false);
    EXPECT_EQ(h.IndexOpenList("a.cdx", "BYYEAR"), xbErrIndexInvalid);
    EXPECT_EQ(quiet.LastCode(), xbErrIndexInvalid);
    EXPECT_FALSE(h.HasIndex());
    EXPECT_EQ(Walk(h).size(), 3000u);
    EXPECT_EQ(ReadFileBytes(dir / "a.cdx"), bytes);
  }
  const std::string bytes = withPageCount(firstLeaf);
  XBO_dBHandler h(table, false, true, "");
  ErrorRecorder errors;
  ASSERT_EQ(h.IndexOpenList("a.cdx", ""), 0);
  try {
    h.SelectTag("BYYEAR", false);
    for (int i = 0; i < 10; ++i) h.GetRec(xbNext);
    ADD_FAILURE() << "the damaged page was walked";
  } catch (const EXBaseError& e) {
    EXPECT_EQ(e.Message().rfind("Index file damaged (page " + std::to_string(firstLeaf) + " is inconsistent)", 0), 0u)
        << e.Message();
  }
  EXPECT_EQ(ReadFileBytes(dir / "a.cdx"), bytes);
  // The table itself is untouched and readable in record order.
  h.IndexCloseAll();
  EXPECT_EQ(Walk(h).size(), 3000u);
}

TEST(HandlerIndex, SixtyFourthIndexFileIsRefused) {
  Fixture f;
  XBO_dBHandler h(f.table, false, true, "");
  AnsiString list;
  for (int i = 1; i <= 64; ++i) {
    h.IndexOn(f.dir / ("i" + std::to_string(i) + ".cdx"), "T", "DRAW", "", 1, 0);
    list += "i" + std::to_string(i) + ".cdx ";
  }
  ErrorRecorder errors;
  EXPECT_THROW(h.IndexOpenList(list, "T"), EXBaseError);
  EXPECT_NE(h.IndexFile(63), nullptr);
  EXPECT_EQ(h.TagByNumber(64), nullptr);
}

TEST(HandlerIndex, IndexOnKeepsOtherTagsAndRefusesBadNames) {
  Fixture f;
  XBO_dBHandler h(f.table, false, true, "");
  h.IndexOn(f.dir / "a.cdx", "BYDRAW", "DRAW", "", 1, 0);  // replaced, now rising
  ASSERT_EQ(h.IndexOpenList("a.cdx", "BYDRAW"), 0);
  EXPECT_EQ(h.IndexFile(1)->TagCount(), 2);
  EXPECT_EQ(Walk(h), (std::vector<int>{1, 4, 2, 3}));
  EXPECT_NE(h.IndexFile(1)->TagByName("BYYEAR"), nullptr);

  EXPECT_THROW(h.IndexOn(f.dir / "a.cdx", std::string(32, 'T'), "DRAW", "", 1, 0), EXBaseError);
  EXPECT_THROW(h.IndexOn(f.dir / "a.cdx", "LONG", "DRAW+" + std::string(260, '0'), "", 1, 0), EXBaseError);
  {
    ErrorRecorder errors;
    EXPECT_THROW(h.IndexOn(f.dir / "a.cdx", "", "DRAW", "", 1, 0), EXBaseError);
    EXPECT_EQ(errors.LastCode(), 5117);
    EXPECT_EQ(errors.LastSubCode(), 5114);
  }
  ASSERT_EQ(h.IndexOpenList("a.cdx", ""), 0);
  EXPECT_EQ(h.IndexFile(1)->TagCount(), 2);

  // A descending tag with the general collation and a FOR expression.
  h.IndexOn(f.dir / "c.cdx", "G", "YEAR", "DRAW>1", 1, 8);
  ASSERT_EQ(h.IndexOpenList("c.cdx", "G"), 0);
  EXPECT_EQ(Walk(h), (std::vector<int>{3, 2}));
}

// A compound file named with '\' between its folders used to leave the
// table's structural-index flag clear: only '/' ended the folder part.
// Building a tag over a damaged compound file used to raise 2112, and
// nothing else could mend it (reindexing needs the file open): the only way
// out was deleting it by hand. The unusable file is now created anew.
TEST(HandlerIndex, IndexOnOverADamagedCompoundFileCreatesItAnew) {
  for (const char* name : {"junk.cdx", "junk.mdx"}) {
    SCOPED_TRACE(name);
    Fixture f;
    WriteFileBytes(f.dir / name, std::string(4096, '\x7F'));
    XBO_dBHandler h(f.table, false, true, "");
    {
      ErrorRecorder quiet(false);
      EXPECT_EQ(h.IndexOpenList(name, ""), xbErrIndexInvalid);
    }
    h.IndexOn(f.dir / name, "BYDRAW", "DRAW", "", 1, 0);
    ASSERT_EQ(h.IndexOpenList(name, "BYDRAW"), 0);
    EXPECT_EQ(h.IndexFile(1)->TagCount(), 1);
    EXPECT_EQ(Walk(h), (std::vector<int>{1, 4, 2, 3}));
  }
}

TEST(HandlerIndex, TheTablesOwnCompoundFileSetsItsFlagWhateverTheSeparator) {
  for (const std::string separator : {"/", "\\"}) {
    DbfScratch dir;
    const std::string table = dir / "draws.dbf";
    CreateDraws(table, {{2001, 1}});
    {
      XBO_dBHandler h(table, false, true, "");
      h.IndexOn(dir.Path() + separator + "Draws.cdx", "T", "DRAW", "", 1, 0);
    }
    EXPECT_EQ(ReadFileBytes(table)[28] & 1, 1) << separator;
  }
}

TEST(HandlerIndex, SingleTagFilesAreNamedAfterTheFile) {
  Fixture f;
  XBO_dBHandler h(f.table, false, true, "");
  h.IndexOn(f.dir / "years.ntx", "IGNORED", "YEAR", "", 1, 0);
  h.IndexOn(f.dir / "draws", "IGNORED", "DRAW", "", 1, 0);
  ASSERT_EQ(h.IndexOpenList("years.ntx draws", "DRAWS"), 0);
  EXPECT_EQ(h.TagByNumber(1)->TagName(), "YEARS");
  EXPECT_EQ(Walk(h), (std::vector<int>{1, 4, 2, 3}));
  h.SelectTag("YEARS", false);
  EXPECT_EQ(Walk(h), (std::vector<int>{2, 4, 3, 1}));  // equal years by record
}

// A writer stopped between a record and its keys (here: a record appended
// while the index files were closed) used to leave the index a record short
// without anyone noticing: walks and seeks just missed it. Opening the file
// now checks every tag for the last record.
TEST(HandlerIndex, AnIndexLackingTheLastRecordIsOutOfDate) {
  for (const char* name : {"t.cdx", "t.mdx", "t.ntx", "t.ndx"}) {
    SCOPED_TRACE(name);
    Fixture f;
    {
      XBO_dBHandler h(f.table, false, true, "");
      h.IndexOn(f.dir / name, "BYDRAW", "DRAW", "", 1, 0);
      PutDraw(h, 2004, 9);
      h.AppendRecord();  // no index file open
    }
    XBO_dBHandler h(f.table, false, true, "");
    try {
      h.IndexOpenList(name, "");
      ADD_FAILURE() << "opened";
    } catch (const EXBaseIndexOutOfDate& e) {
      EXPECT_NE(e.Message().find("has no entry for record 5"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(h.HasIndex());
    // Building the tag again mends it.
    h.IndexOn(f.dir / name, "BYDRAW", "DRAW", "", 1, 0);
    ASSERT_EQ(h.IndexOpenList(name, std::string(name) == "t.cdx" || std::string(name) == "t.mdx" ? "BYDRAW" : "T"), 0);
    EXPECT_EQ(Walk(h), (std::vector<int>{1, 4, 2, 3, 5}));
    EXPECT_EQ(h.IndexLackingLastRecord(), "");
  }
  // Entries a tag leaves out on purpose are no gap: a duplicate key of a
  // unique tag, a record its FOR expression refuses.
  Fixture f;
  {
    XBO_dBHandler h(f.table, false, true, "");
    h.IndexOn(f.dir / "f.cdx", "HIGH", "DRAW", "DRAW>50", 1, 0);
    ASSERT_EQ(h.IndexOpenList("a.cdx f.cdx", "BYYEAR"), 0);
    PutDraw(h, 2001, 2);  // the key of record 2 again
    h.AppendRecord();
  }
  XBO_dBHandler h(f.table, true, true, "");
  ASSERT_EQ(h.IndexOpenList("a.cdx f.cdx", "BYYEAR"), 0);
  EXPECT_EQ(Walk(h), (std::vector<int>{4, 2, 3, 1}));
  EXPECT_EQ(h.IndexLackingLastRecord(), "");
  // Another program appends without the index files: the check of an open
  // table sees it too, and leaves the table where it stood.
  h.GetRec(3);
  {
    XBO_dBHandler other(f.table, true, true, "");
    PutDraw(other, 2005, 1);
    other.AppendRecord();
  }
  const AnsiString lacking = h.IndexLackingLastRecord();
  EXPECT_EQ(lacking.rfind("tag BYDRAW of ", 0), 0u) << lacking;  // the first tag in file order
  EXPECT_NE(lacking.find("A.CDX"), std::string::npos) << lacking;
  EXPECT_EQ(h.RecNo, 3);
  EXPECT_EQ(h.GetNumberByName("YEAR"), 2002);
}

// NTX keys on a bare numeric field used to take 18 characters with 4
// decimals on every real table (only a test stand-in told the index the
// field's shape), so 1.000003, 1.000001 and 1.000002 in an N(12,6) field
// walked in that order.
TEST(HandlerIndex, NtxKeysOnANumericFieldTakeItsWidthAndDecimals) {
  Fixture f;  // DRAW is N(9,0)
  {
    XBO_dBHandler h(f.table, false, true, "");
    h.IndexOn(f.dir / "d.ntx", "", "DRAW", "", 1, 0);
    ASSERT_EQ(h.IndexOpenList("d.ntx", "D"), 0);
    EXPECT_EQ(h.ActiveTag()->KeyLength(), 9);
    h.GetRec(xbTop);
    EXPECT_EQ(h.ActiveTag()->CurrentKey().value, "000000001");
  }
  const std::string draws = ReadFileBytes(f.dir / "d.ntx");
  EXPECT_EQ(LE16At(draws, 14), 9);  // key length
  EXPECT_EQ(LE16At(draws, 16), 0);  // decimals

  DbfScratch dir;
  const std::string table = dir / "values.dbf";
  BuildOneFieldTable(table, "VAL", 'N', 12, 6);
  {
    XBO_dBHandler h(table, false, true, "");
    for (double v : {1.000003, 1.000001, 1.000002}) {
      h.BlankRecord();
      h.PutNumberByName("VAL", v);
      h.AppendRecord();
    }
    h.IndexOn(dir / "v.ntx", "", "VAL", "", 1, 0);
  }
  XBO_dBHandler h(table, false, true, "");
  ASSERT_EQ(h.IndexOpenList("v.ntx", "V"), 0);
  EXPECT_EQ(h.ActiveTag()->KeyLength(), 12);
  EXPECT_EQ(Walk(h), (std::vector<int>{2, 3, 1}));
  // A value appended later lands in order too.
  h.BlankRecord();
  h.PutNumberByName("VAL", 0.5);
  h.AppendRecord();
  EXPECT_EQ(Walk(h), (std::vector<int>{4, 2, 3, 1}));
  const std::string values = ReadFileBytes(dir / "v.ntx");
  EXPECT_EQ(LE16At(values, 14), 12);
  EXPECT_EQ(LE16At(values, 16), 6);
}

TEST(HandlerIndex, WritesKeepKeysAndFilterBitsCurrent) {
  Fixture f;
  XBO_dBHandler h(f.table, false, true, "");
  ASSERT_EQ(h.IndexOpenList("a.cdx \"b c.cdx\"", "BYYEAR"), 0);
  h.SetFilterActive(true);
  h.SetFilterExpression("YEAR=2001", false, true);
  EXPECT_EQ(Walk(h), (std::vector<int>{4, 2}));

  PutDraw(h, 2001, 7);
  h.AppendRecord();
  EXPECT_FALSE(h.OutOfView());
  PutDraw(h, 1999, 8);
  h.AppendRecord();
  EXPECT_TRUE(h.OutOfView());
  EXPECT_EQ(Walk(h), (std::vector<int>{4, 2, 5}));

  // A rewrite moves the record in every tag and out of the filter.
  h.GetRec(2);
  h.PutNumberByName("YEAR", 2004);
  h.WriteRecord(2);
  EXPECT_TRUE(h.OutOfView());
  EXPECT_EQ(Walk(h), (std::vector<int>{4, 5}));
  h.SetFilterActive(false);
  EXPECT_EQ(Walk(h), (std::vector<int>{6, 4, 5, 3, 1, 2}));
  h.SelectTag("P1", false);
  EXPECT_EQ(Walk(h).size(), 6u);

  // Reindex gives the same order; a new handler sees it too.
  h.SelectTag("BYYEAR", false);
  h.Reindex();
  EXPECT_EQ(Walk(h), (std::vector<int>{6, 4, 5, 3, 1, 2}));
}

TEST(HandlerIndex, RenameTakesTheIndexOfTheSameNameAlong) {
  Fixture f;
  {
    XBO_dBHandler h(f.table, false, true, "");
    h.IndexOn(f.dir / "draws.cdx", "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
    ASSERT_EQ(h.IndexOpenList("draws.cdx a.cdx", "INDEX"), 0);
    ASSERT_TRUE(h.RenameTable(f.dir / "renamed.dbf"));
    PutDraw(h, 2000, 9);
    h.AppendRecord();
  }
  EXPECT_FALSE(std::filesystem::exists(f.dir / "draws.cdx"));
  EXPECT_TRUE(std::filesystem::exists(f.dir / "a.cdx"));
  XBO_dBHandler h(f.dir / "renamed.dbf", false, true, "");
  ASSERT_EQ(h.IndexOpenList("renamed.cdx", "INDEX"), 0);
  EXPECT_EQ(Walk(h), (std::vector<int>{5, 4, 2, 3, 1}));
}

TEST(HandlerIndex, BuildProgressReachesTheStatusHook) {
  struct Reporting : XBO_dBHandler {
    using XBO_dBHandler::XBO_dBHandler;
    std::vector<std::array<int, 3>> log;
    void StatusUpdate(int a, int b, int c) override { log.push_back({a, b, c}); }
  };
  Fixture f;
  Reporting h(f.table, false, true, "");
  h.IndexOn(f.dir / "s.cdx", "S", "DRAW", "", 1, 0);
  ASSERT_FALSE(h.log.empty());
  EXPECT_EQ(h.log.front(), (std::array<int, 3>{-1, 1, 4}));
  h.log.clear();
  h.CopyTable(f.dir / "copy.dbf", "");
  ASSERT_EQ(h.log.size(), 6u);
  EXPECT_EQ(h.log.front(), (std::array<int, 3>{-1, 6, 4}));
  EXPECT_EQ(h.log[1], (std::array<int, 3>{6, 1, 0}));
  EXPECT_EQ(h.log.back(), (std::array<int, 3>{0, 0, 0}));
}

}  // namespace
}  // namespace vx::test
