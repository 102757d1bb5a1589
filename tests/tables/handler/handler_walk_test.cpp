// The draw table in index order: a unique tag over a shuffled table, filters,
// deleted records, and index_dump reading the same tag.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "tests/tables/handler/handler_testing.h"

namespace vx::test {
namespace {

struct DrawBase {
  DbfScratch dir;
  std::vector<std::pair<int, int>> rows;
  std::string table;

  // Every (year, draw) of 20 years x 500 draws once, shuffled, plus 300
  // repeats that the unique tag hides.
  DrawBase() {
    std::mt19937 rng(7);
    for (int y = 1995; y < 2015; ++y)
      for (int d = 1; d <= 500; ++d) rows.emplace_back(y, d);
    std::shuffle(rows.begin(), rows.end(), rng);
    for (int i = 0; i < 300; ++i) rows.push_back(rows[rng() % 10000]);
    std::shuffle(rows.begin() + 5000, rows.end(), rng);
    table = dir / "draws.dbf";
    CreateDraws(table, rows);
    XBO_dBHandler h(table, false, true, "");
    h.IndexOn(dir / "draws.cdx", "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
  }
};

std::pair<int, int> Key(XBO_dBHandler& h) { return {int(h.GetNumberByName("YEAR")), int(h.GetNumberByName("DRAW"))}; }

TEST(HandlerWalk, UniqueDrawTagWalksSortedWithoutRepeatsBothWays) {
  DrawBase base;
  XBO_dBHandler h(base.table, false, true, "");
  ASSERT_EQ(h.IndexOpenList("draws.cdx", "index"), 0);
  ASSERT_NE(h.ActiveTag(), nullptr);
  EXPECT_EQ(h.ActiveTagName(), "INDEX");

  std::vector<std::pair<int, int>> forward;
  for (h.GetRec(xbTop); !h.EOFFlag; h.GetRec(xbNext)) forward.push_back(Key(h));
  ASSERT_EQ(forward.size(), 10000u);
  EXPECT_TRUE(std::adjacent_find(forward.begin(), forward.end(), std::greater_equal<>()) == forward.end());
  EXPECT_EQ(forward.front(), std::make_pair(1995, 1));
  EXPECT_EQ(forward.back(), std::make_pair(2014, 500));

  std::vector<std::pair<int, int>> backward;
  for (h.GetRec(xbBottom); !h.BOFFlag; h.GetRec(xbPrior)) backward.push_back(Key(h));
  std::reverse(backward.begin(), backward.end());
  EXPECT_EQ(backward, forward);

  // Moving next from the last record gives EOF and keeps the record.
  h.GetRec(xbBottom);
  const int last = h.RecNo;
  h.GetRec(xbNext);
  EXPECT_TRUE(h.EOFFlag);
  EXPECT_EQ(h.RecNo, last);
}

TEST(HandlerWalk, FilterYieldsOneDrawAndAnEmptyResultGivesBothEnds) {
  DrawBase base;
  XBO_dBHandler h(base.table, false, true, "");
  ASSERT_EQ(h.IndexOpenList("DRAWS.CDX", "INDEX"), 0);
  h.SetFilterActive(true);
  h.SetFilterExpression("(YEAR=2001) AND (DRAW=5)", false, true);
  ASSERT_TRUE(h.FilterActive());
  std::vector<int> found = Walk(h);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(Key(h), std::make_pair(2001, 5));
  EXPECT_EQ(Walk(h, false), found);

  // Without the tag the bit set is walked.
  h.SelectTag("", false);
  EXPECT_EQ(Walk(h), found);
  EXPECT_EQ(Walk(h, false), found);

  h.SetFilterExpression("YEAR=1800", false, true);
  h.GetRec(xbTop);
  EXPECT_TRUE(h.EOFFlag);
  h.GetRec(xbBottom);
  EXPECT_TRUE(h.EOFFlag && h.BOFFlag);
  h.SelectTag("INDEX", false);
  h.GetRec(xbTop);
  EXPECT_TRUE(h.EOFFlag);
  h.GetRec(xbBottom);
  EXPECT_TRUE(h.EOFFlag || h.BOFFlag);

  EXPECT_THROW(h.SetFilterExpression("YEAR+1", false, true), EXBaseError);
  EXPECT_FALSE(h.FilterActive());
  h.SetFilterActive(false);
  EXPECT_EQ(Walk(h).size(), 10000u);
}

TEST(HandlerWalk, RecordsTheFilterCannotReadDoNotPass) {
  DbfScratch dir;
  const std::string path = dir / "damaged.dbf";
  WriteFileBytes(path, MakeTableBytes(0x03, {{"WHEN", 'D', 8, 0}, {"N", 'N', 3, 0}},
                                      {" 2001XX01abc", " 20010101  7", " 20020202  9"}));
  XBO_dBHandler h(path, false, true, "");
  h.GetRec(1);
  h.SetFilterActive(true);
  h.SetFilterExpression("N>5", false, true);
  EXPECT_EQ(h.RecNo, 1);
  EXPECT_EQ(Walk(h), (std::vector<int>{2, 3}));
  h.SetFilterExpression("DTOS(WHEN)=\"20010101\"", false, true);
  EXPECT_EQ(Walk(h), (std::vector<int>{2}));
}

// The result type of a filter was taken by evaluating it on a blank record,
// so a filter that divides by a field ("(100/DRAW)>40") was refused as not
// logical: the blank DRAW is 0.
TEST(HandlerWalk, AFilterFailingOnTheBlankRecordTakesItsTypeElsewhere) {
  DbfScratch dir;
  const std::string table = dir / "draws.dbf";
  CreateDraws(table, {{2001, 1}, {2001, 2}, {2001, 3}, {2001, 4}});
  XBO_dBHandler h(table, false, true, "");
  h.SetFilterActive(true);
  struct Case {
    const char* filter;
    std::vector<int> passing;  // empty: refused as not logical
  };
  const Case cases[] = {
      {"(100/DRAW)>40", {1, 2}},
      {"NOT ((100/DRAW)>40)", {3, 4}},
      {"IIF(100/DRAW>30, .T., .F.)", {1, 2, 3}},  // the form does not tell; the records do
      {"100/DRAW", {}},
      {"IIF(100/DRAW>30, 1, 2)", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    if (c.passing.empty()) {
      try {
        h.SetFilterExpression(c.filter, false, true);
        ADD_FAILURE() << "accepted";
      } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "Filter expression must return boolean result"); }
      EXPECT_FALSE(h.FilterActive());
      continue;
    }
    h.SetFilterExpression(c.filter, false, true);
    EXPECT_TRUE(h.FilterActive());
    EXPECT_EQ(Walk(h), c.passing);
  }
}

TEST(HandlerWalk, DeletedRecordsAreSkippedUnlessShown) {
  DrawBase base;
  XBO_dBHandler h(base.table, false, true, "");
  ASSERT_EQ(h.IndexOpenList("DRAWS.CDX", "INDEX"), 0);
  h.UseDeleted = false;
  ASSERT_TRUE(h.Find("2001.005"));
  const int victim = h.RecNo;
  h.DeleteRecord();
  std::vector<int> walk = Walk(h);
  EXPECT_EQ(walk.size(), 9999u);
  EXPECT_EQ(std::count(walk.begin(), walk.end(), victim), 0);
  EXPECT_EQ(Walk(h, false).size(), 9999u);

  // Read by number shows it; re-reading it while moving skips it.
  h.GetRec(victim);
  EXPECT_EQ(h.RecNo, victim);
  EXPECT_TRUE(h.IsDeleted());

  h.UseDeleted = true;
  EXPECT_EQ(Walk(h).size(), 10000u);

  // Natural order, filter on: the deleted record stays out.
  h.UseDeleted = false;
  h.SelectTag("", false);
  h.SetFilterActive(true);
  h.SetFilterExpression("YEAR=2001", false, true);
  walk = Walk(h);
  EXPECT_EQ(
      walk.size(),
      std::size_t(std::count_if(base.rows.begin(), base.rows.end(), [](auto& r) { return r.first == 2001; })) - 1);
}

TEST(HandlerWalk, FindSkipRangeAndFindInTag) {
  DrawBase base;
  XBO_dBHandler h(base.table, false, true, "");
  ASSERT_EQ(h.IndexOpenList("DRAWS.CDX", "INDEX"), 0);
  EXPECT_TRUE(h.Find("2003.017"));
  EXPECT_EQ(Key(h), std::make_pair(2003, 17));
  EXPECT_FALSE(h.Find("1800"));
  EXPECT_TRUE(h.EOFFlag);

  const std::int32_t rec = h.FindInTag("index", "2010.250");
  ASSERT_GT(rec, 0);
  EXPECT_EQ(base.rows[std::size_t(rec - 1)], std::make_pair(2010, 250));
  EXPECT_EQ(h.FindInTag("NOTAG", "2010"), -1);
  EXPECT_EQ(h.FindInTag("INDEX", "2010.9"), 0);

  ASSERT_TRUE(h.Find("2003.017"));
  h.SkipRecords(10);
  EXPECT_EQ(Key(h), std::make_pair(2003, 27));
  h.SkipRecords(-27);
  EXPECT_EQ(Key(h), std::make_pair(2002, 500));
  h.SkipRecords(100000);
  EXPECT_TRUE(h.EOFFlag);
  EXPECT_EQ(Key(h), std::make_pair(2014, 500));

  ASSERT_TRUE(h.SetRange("2004", "2005.999", 0, 0, 0));
  const std::vector<int> range = Walk(h);
  ASSERT_EQ(range.size(), 1000u);
  h.GetRec(range.front());
  EXPECT_EQ(Key(h), std::make_pair(2004, 1));
  EXPECT_EQ(Walk(h, false).size(), 1000u);
  h.ClearRange();
  EXPECT_EQ(Walk(h).size(), 10000u);

  // Natural order: skipping clamps and reports the end.
  h.SelectTag("", false);
  h.GetRec(5);
  h.SkipRecords(-10);
  EXPECT_TRUE(h.BOFFlag);
  EXPECT_EQ(h.RecNo, 1);
}

TEST(HandlerWalk, FindComparesTheKeyOfARecordReachedBySkipping) {
  DbfScratch dir;
  const std::string table = dir / "years.dbf";
  CreateDraws(table, {{2001, 1}, {2001, 2}, {2002, 3}});
  XBO_dBHandler h(table, false, true, "");
  h.IndexOn(dir / "years.cdx", "YEAR", "YEAR", "", 1, 0);
  ASSERT_EQ(h.IndexOpenList("years.cdx", "YEAR"), 0);
  h.UseDeleted = false;
  for (int n : {1, 2}) {
    h.GetRec(n);
    h.DeleteRecord();
  }
  // The seek finds record 1; skipping the deleted ones ends on 2002.
  EXPECT_FALSE(h.Find("2001"));
  EXPECT_TRUE(h.EOFFlag);
  h.GetRec(2);
  h.UndeleteRecord();
  ASSERT_TRUE(h.Find("2001"));
  EXPECT_EQ(h.RecNo, 2);
  EXPECT_TRUE(h.Find("2002"));
  EXPECT_EQ(h.RecNo, 3);
}

TEST(HandlerWalk, IndexDumpListsTheWalkedOrder) {
  ASSERT_TRUE(HaveTool("/usr/bin/index_dump")) << "index_dump missing (scripts/setup.sh installs it)";
  DrawBase base;
  XBO_dBHandler h(base.table, false, false, "");
  ASSERT_EQ(h.IndexOpenList(base.dir / "draws.cdx", "INDEX"), 0);
  const std::vector<int> walk = Walk(h);
  EXPECT_EQ(IndexDumpRecords(base.dir / "draws.cdx"), walk);
}

}  // namespace
}  // namespace vx::test
