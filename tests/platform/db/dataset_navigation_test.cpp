// Navigation over the record window: First, Last, Next, Prior, MoveBy,
// RecNo and bookmarks, with windows of 1, 3 and 20 buffers.
#include "tests/platform/db/dataset_fixture.h"

namespace {

class Navigation : public ::testing::TestWithParam<int> {};

// One step of a script: the move, then the expected position and result.
struct Step {
  const char* What;
  int Distance;  // MoveBy distance; 0 = First, 100 = Last
  int Moved;
  Position Expected;
};

void RunScript(DataSetFixture& f, const std::vector<Step>& script) {
  for (const Step& step : script) {
    SCOPED_TRACE(step.What);
    int moved = 0;
    if (step.Distance == 0) f.ds.First();
    else if (step.Distance == 100) f.ds.Last();
    else moved = f.ds.MoveBy(step.Distance);
    EXPECT_EQ(moved, step.Moved);
    EXPECT_EQ(PositionOf(f), step.Expected);
    f.CheckWindow();
  }
}

TEST_P(Navigation, WalksFiveRecordsToBothEndsAndBeyond) {
  DataSetFixture f(GetParam(), 5);
  EXPECT_EQ(PositionOf(f), (Position{1, true, false}));
  f.CheckWindow();
  RunScript(f, {
                   {"next", 1, 1, {2, false, false}},
                   {"next", 1, 1, {3, false, false}},
                   {"next", 1, 1, {4, false, false}},
                   {"next to last", 1, 1, {5, false, false}},
                   {"next past end", 1, 0, {5, false, true}},
                   {"next at EOF", 1, 0, {5, false, true}},
                   {"prior", -1, -1, {4, false, false}},
                   {"first", 0, 0, {1, true, false}},
                   {"prior on first stays", -1, 0, {1, true, false}},
                   {"prior at BOF", -1, 0, {1, true, false}},
                   {"last", 100, 0, {5, false, true}},
                   {"back two", -2, -2, {3, false, false}},
                   {"forward past end", 10, 2, {5, false, true}},
                   {"back past start", -10, -4, {1, true, false}},
                   {"forward three", 3, 3, {4, false, false}},
                   {"move by zero", 5 - 5, 0, {1, true, false}},
               });
}

TEST_P(Navigation, EmptyDataSetHasBothFlagsWhateverTheMove) {
  DataSetFixture f(GetParam(), 0);
  EXPECT_TRUE(f.ds.IsEmpty());
  EXPECT_EQ(PositionOf(f), (Position{0, true, true}));
  RunScript(f, {
                   {"next", 1, 0, {0, true, true}},
                   {"prior", -1, 0, {0, true, true}},
                   {"first", 0, 0, {0, true, true}},
                   {"last", 100, 0, {0, true, true}},
                   {"move", 3, 0, {0, true, true}},
               });
  EXPECT_EQ(f.ds.RecNo(), 0);
  EXPECT_TRUE(f.ds.GetBookmark().empty());
  EXPECT_TRUE(f.ds.FieldByName("ID")->IsNull());
}

TEST_P(Navigation, OneRecordSetsTheFlagOfEachDirection) {
  DataSetFixture f(GetParam(), 1);
  EXPECT_EQ(PositionOf(f), (Position{1, true, false}));
  RunScript(f, {
                   {"next", 1, 0, {1, false, true}},
                   {"prior", -1, 0, {1, true, false}},
                   {"last", 100, 0, {1, false, true}},
                   {"first", 0, 0, {1, true, false}},
                   {"prior at start", -1, 0, {1, true, false}},
               });
}

TEST_P(Navigation, LongWalkKeepsTheWindowInOrder) {
  DataSetFixture f(GetParam(), 45);
  std::vector<int> seen{f.ActiveId()};
  while (!f.ds.Eof()) {
    f.ds.Next();
    if (!f.ds.Eof()) seen.push_back(f.ActiveId());
    f.CheckWindow();
  }
  std::vector<int> back;
  while (!f.ds.Bof()) {
    back.push_back(f.ActiveId());
    f.ds.Prior();
    f.CheckWindow();
  }
  std::reverse(back.begin(), back.end());
  EXPECT_EQ(seen, f.TableIds());
  EXPECT_EQ(back, f.TableIds());
}

TEST_P(Navigation, ScrollEventsBracketEveryMove) {
  DataSetFixture f(GetParam(), 3);
  f.ds.Next();
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"BeforeScroll:browse:B", "AfterScroll:browse"}));
  f.ds.Last();
  f.ds.Next();  // already at EOF: before-scroll only
  EXPECT_EQ(f.TakeEvents(),
            (std::vector<std::string>{"BeforeScroll:browse", "AfterScroll:browse:E", "BeforeScroll:browse:E"}));
}

TEST_P(Navigation, FirstAndLastAskTheRecordSourceInOrder) {
  DataSetFixture f(GetParam(), 2);
  f.ds.LogCalls = true;
  f.ds.Last();
  ASSERT_GE(f.ds.Calls.size(), 2u);
  EXPECT_EQ(f.ds.Calls[0], "InternalLast");
  EXPECT_EQ(f.ds.Calls[1], "Get prior=OK");
  f.ds.Calls.clear();
  f.ds.First();
  EXPECT_EQ(f.ds.Calls[0], "InternalFirst");
  EXPECT_EQ(f.ds.Calls[1], "Get next=OK");
}

TEST_P(Navigation, BookmarkReturnsToTheRecord) {
  DataSetFixture f(GetParam(), 30);
  f.ds.MoveBy(17);
  TBookmark mark = f.ds.GetBookmark();
  EXPECT_TRUE(f.ds.BookmarkValid(mark));
  f.ds.First();
  f.TakeEvents();
  f.ds.GotoBookmark(mark);
  EXPECT_EQ(PositionOf(f), (Position{18, false, false}));
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"BeforeScroll:browse:B", "AfterScroll:browse"}));
  f.CheckWindow();
  // Centred: with room on both sides the active record is in the middle.
  EXPECT_EQ(f.ds.ActiveRecord(), (f.ds.BufferCount() - 1) / 2);
  EXPECT_LT(f.ds.CompareBookmarks(f.ds.GetBookmark(), mark) + 1, 2);
}

TEST_P(Navigation, RecNoFollowsTheActiveRecordAndMovesTheCursor) {
  DataSetFixture f(GetParam(), 10);
  EXPECT_EQ(f.ds.RecordCount(), 10);
  f.ds.MoveBy(4);
  EXPECT_EQ(f.ds.RecNo(), 5);
  f.ds.SetRecNo(9);
  EXPECT_EQ(PositionOf(f), (Position{9, false, false}));
  f.CheckWindow();
  f.ds.Next();
  EXPECT_EQ(f.ActiveId(), 10);
}

TEST_P(Navigation, ClosedDataSetRefusesToMove) {
  DataSetFixture f(GetParam(), 3);
  f.ds.Close();
  try {
    f.ds.Next();
    FAIL() << "moved while closed";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Table: Cannot perform this operation on a closed dataset");
  }
  f.ds.Open();
  EXPECT_EQ(PositionOf(f), (Position{1, true, false}));
}

INSTANTIATE_TEST_SUITE_P(BufferCounts, Navigation, ::testing::Values(1, 3, 20),
                         [](const auto& info) { return "Buffers" + std::to_string(info.param); });

}  // namespace
