// The data-set scenarios on real .dbf files: record order and the tag
// "INDEX", windows of 1 and 20 buffers.
#include "tests/tables/dataset/dataset_testing.h"

namespace vx::test {
namespace {

struct Shape {
  bool Indexed;
  int Buffers;
};

class Scenario : public ::testing::TestWithParam<Shape> {};

std::string ShapeName(const ::testing::TestParamInfo<Shape>& info) {
  return std::string(info.param.Indexed ? "Index" : "Natural") + std::to_string(info.param.Buffers);
}

TEST_P(Scenario, WalksBothWaysInTheExpectedOrder) {
  DrawDataSet f(ScrambledDraws(12), GetParam().Indexed, GetParam().Buffers);
  const std::vector<int> order = f.Expected();
  ASSERT_EQ(order.size(), GetParam().Indexed ? 12u : 13u);
  EXPECT_EQ(f.WalkForward(), order);
  EXPECT_EQ(f.WalkBackward(), order);
}

TEST_P(Scenario, MovesStopAtTheEndsWithTheirFlags) {
  DrawDataSet f(ScrambledDraws(12), GetParam().Indexed, GetParam().Buffers);
  const std::vector<int> order = f.Expected();
  const int n = int(order.size());
  struct Step {
    const char* What;
    int Distance;  // 0 First, 100 Last
    int Moved;
    int Index;  // into order
    bool Bof, Eof;
  };
  const Step script[] = {
      {"first", 0, 0, 0, true, false},           {"prior on first stays", -1, 0, 0, true, false},
      {"next", 1, 1, 1, false, false},           {"forward three", 3, 3, 4, false, false},
      {"back two", -2, -2, 2, false, false},     {"forward past end", 100 - 1, n - 3, n - 1, false, true},
      {"next at EOF", 1, 0, n - 1, false, true}, {"prior", -1, -1, n - 2, false, false},
      {"last", 100, 0, n - 1, false, true},      {"back past start", -50, -(n - 1), 0, true, false},
  };
  for (const Step& s : script) {
    SCOPED_TRACE(s.What);
    int moved = 0;
    if (s.Distance == 0) f.ds.First();
    else if (s.Distance == 100) f.ds.Last();
    else moved = f.ds.MoveBy(s.Distance);
    EXPECT_EQ(moved, s.Moved);
    EXPECT_EQ(f.Active(), order[std::size_t(s.Index)]);
    EXPECT_EQ(f.ds.Bof(), s.Bof);
    EXPECT_EQ(f.ds.Eof(), s.Eof);
    f.CheckWindow();
  }
}

TEST_P(Scenario, EmptyAndOneRecordTables) {
  {
    DrawDataSet f({}, GetParam().Indexed, GetParam().Buffers);
    EXPECT_TRUE(f.ds.IsEmpty());
    EXPECT_TRUE(f.ds.Bof() && f.ds.Eof());
    f.ds.Next();
    f.ds.Last();
    EXPECT_TRUE(f.ds.Bof() && f.ds.Eof());
    EXPECT_EQ(f.ds.RecNo(), 0);
    EXPECT_TRUE(f.ds.FieldByName("YEAR")->IsNull() || f.ds.IsEmpty());
    // Insert into the empty table: the new record is all there is.
    f.ds.Insert();
    f.ds.FieldByName("YEAR")->SetAsInteger(2020);
    f.ds.FieldByName("DRAW")->SetAsInteger(1);
    f.ds.Post();
    EXPECT_EQ(f.WalkForward(), std::vector<int>{DrawKey(2020, 1)});
  }
  DrawDataSet f({{2001, 5}}, GetParam().Indexed, GetParam().Buffers);
  EXPECT_TRUE(f.ds.Bof());
  EXPECT_FALSE(f.ds.Eof());
  f.ds.Next();
  EXPECT_TRUE(f.ds.Eof());
  f.ds.Prior();
  EXPECT_TRUE(f.ds.Bof());
  EXPECT_EQ(f.Active(), DrawKey(2001, 5));
}

// The application's insert at the end: after Last, BeforeInsert and
// OnNewRecord see EOF; the posted record shows in its place.
TEST_P(Scenario, InsertAtTheEndSeesEofAndPostsInOrder) {
  DrawDataSet f(ScrambledDraws(12), GetParam().Indexed, GetParam().Buffers);
  f.ds.Last();
  f.events.clear();
  f.ds.Insert();
  f.ds.FieldByName("YEAR")->SetAsInteger(2001);
  f.ds.FieldByName("DRAW")->SetAsInteger(11);
  f.ds.Post();
  ASSERT_EQ(f.events.size(), 2u);
  EXPECT_EQ(f.events[0], "BeforeInsert:E");
  EXPECT_EQ(f.events[1], "NewRecord:E");
  EXPECT_EQ(f.Active(), DrawKey(2001, 11));
  f.CheckWindow();
  EXPECT_EQ(f.WalkForward(), f.Expected());
  EXPECT_EQ(f.WalkBackward(), f.Expected());
}

TEST_P(Scenario, CancelledAppendAndInsertLeaveTheTableAlone) {
  DrawDataSet f(ScrambledDraws(12), GetParam().Indexed, GetParam().Buffers);
  const std::vector<int> before = f.Expected();
  f.ds.First();
  f.ds.MoveBy(3);
  const int at = f.Active();
  f.ds.Append();
  f.ds.FieldByName("YEAR")->SetAsInteger(1990);
  f.ds.Cancel();
  EXPECT_EQ(f.Active(), before.back());
  f.ds.First();
  f.ds.MoveBy(3);
  f.ds.Insert();
  f.ds.Cancel();
  EXPECT_EQ(f.Active(), at);
  EXPECT_EQ(f.Expected(), before);
  EXPECT_EQ(f.WalkForward(), before);
}

TEST_P(Scenario, DeletingFirstMiddleAndLastKeepsTheWalkWhole) {
  DrawDataSet f(ScrambledDraws(12), GetParam().Indexed, GetParam().Buffers);
  std::vector<int> order = f.Expected();
  f.ds.First();
  f.ds.Delete();
  order.erase(order.begin());
  EXPECT_EQ(f.Active(), order.front());
  f.ds.MoveBy(4);
  const int middle = f.Active();
  f.ds.Delete();
  order.erase(std::find(order.begin(), order.end(), middle));
  f.CheckWindow();
  f.ds.Last();
  f.ds.Delete();
  order.pop_back();
  EXPECT_EQ(f.Active(), order.back());
  EXPECT_EQ(f.WalkForward(), order);
  EXPECT_EQ(f.WalkBackward(), order);
}

// Editing the key moves the record under the tag; the index follows.
TEST_P(Scenario, PostingAChangedKeyKeepsOrderAndIndex) {
  DrawDataSet f(ScrambledDraws(12), GetParam().Indexed, GetParam().Buffers);
  f.ds.First();
  f.ds.Next();
  f.ds.Edit();
  f.ds.FieldByName("YEAR")->SetAsInteger(2050);
  // A count in the middle of the edit moves the handler; the post still
  // writes the edited record with its new key.
  f.ds.SetExactCount(true);
  EXPECT_GT(f.ds.RecordCount(), 0);
  f.ds.SetExactCount(false);
  f.ds.Post();
  EXPECT_EQ(f.ds.FieldByName("YEAR")->AsInteger(), 2050);
  EXPECT_EQ(f.WalkForward(), f.Expected());
  if (GetParam().Indexed) { EXPECT_EQ(f.WalkForward().back() / 1000, 2050); }
}

// Inserted in the middle, a record lands at the end of the file: last in
// record order, in its key's place under the tag.
TEST_P(Scenario, InsertInTheMiddlePostsIntoTheTable) {
  DrawDataSet f(ScrambledDraws(12), GetParam().Indexed, GetParam().Buffers);
  f.ds.First();
  f.ds.MoveBy(2);
  f.ds.Insert();
  EXPECT_FALSE(f.ds.Bof());
  EXPECT_FALSE(f.ds.Eof());
  f.ds.FieldByName("YEAR")->SetAsInteger(2000);
  f.ds.FieldByName("DRAW")->SetAsInteger(0);
  EXPECT_TRUE(f.ds.Modified());
  f.ds.Post();
  EXPECT_EQ(f.Active(), DrawKey(2000, 0));
  const std::vector<int> order = f.Expected();
  EXPECT_EQ(GetParam().Indexed ? order.front() : order.back(), DrawKey(2000, 0));
  f.CheckWindow();
  EXPECT_EQ(f.WalkForward(), order);
}

TEST_P(Scenario, PendingRecordsArePostedByMovesAndDroppedByClose) {
  DrawDataSet f(ScrambledDraws(12), GetParam().Indexed, GetParam().Buffers);
  const std::size_t count = f.Expected().size();
  f.ds.Append();
  f.ds.FieldByName("YEAR")->SetAsInteger(2030);
  f.ds.Append();  // posts the first
  f.ds.FieldByName("YEAR")->SetAsInteger(2031);
  f.ds.First();  // posts the second
  EXPECT_EQ(f.Expected().size(), count + 2);
  f.ds.Edit();
  f.ds.Next();  // unmodified: cancelled, nothing written
  f.ds.Insert();
  f.ds.FieldByName("YEAR")->SetAsInteger(2032);
  f.ds.Close();
  EXPECT_EQ(f.Expected().size(), count + 2);
  f.ds.Open();
  EXPECT_EQ(f.WalkForward(), f.Expected());
}

TEST_P(Scenario, DeletingEveryRecordFromTheTopEmptiesTheSet) {
  DrawDataSet f(ScrambledDraws(12), GetParam().Indexed, GetParam().Buffers);
  int guard = 0;
  while (!f.ds.IsEmpty() && ++guard < 50) f.ds.Delete();
  EXPECT_TRUE(f.ds.IsEmpty());
  EXPECT_TRUE(f.ds.Bof() && f.ds.Eof());
  // Under the unique tag the repeated (year, draw) never showed, so it
  // is still in the file.
  EXPECT_EQ(f.Expected().size(), GetParam().Indexed ? 1u : 0u);
  // Edit on the empty set inserts; Delete in insert state cancels.
  f.ds.Edit();
  EXPECT_EQ(f.ds.State(), dsInsert);
  f.ds.Delete();
  EXPECT_EQ(f.ds.State(), dsBrowse);
  EXPECT_TRUE(f.ds.IsEmpty());
}

TEST_P(Scenario, BookmarksRecNoAndRefresh) {
  DrawDataSet f(ScrambledDraws(12), GetParam().Indexed, GetParam().Buffers);
  f.ds.First();
  f.ds.MoveBy(4);
  const int at = f.Active();
  const int recNo = f.ds.RecNo();
  const TBookmark mark = f.ds.GetBookmark();
  ASSERT_EQ(mark.size(), 11u);
  EXPECT_EQ(mark[10], '\0');
  EXPECT_EQ(std::stoi(mark.substr(0, 10)), recNo);
  EXPECT_TRUE(f.ds.BookmarkValid(mark));
  EXPECT_FALSE(f.ds.BookmarkValid("      9999"));
  EXPECT_FALSE(f.ds.BookmarkValid("abc"));
  f.ds.Last();
  EXPECT_LT(f.ds.CompareBookmarks(mark, f.ds.GetBookmark()) * (recNo < f.ds.RecNo() ? 1 : -1), 0);
  f.ds.GotoBookmark(mark);
  EXPECT_EQ(f.Active(), at);
  f.CheckWindow();
  f.ds.Last();
  f.ds.SetRecNo(recNo);
  EXPECT_EQ(f.Active(), at);
  f.ds.Refresh();
  EXPECT_EQ(f.Active(), at);
  f.ds.Next();
  f.CheckWindow();
}

TEST_P(Scenario, LongWalkKeepsTheWindowInOrder) {
  DrawDataSet f(ScrambledDraws(61), GetParam().Indexed, GetParam().Buffers);
  const std::vector<int> order = f.Expected();
  f.ds.First();
  for (std::size_t i = 0; i + 7 < order.size(); i += 7) {
    EXPECT_EQ(f.Active(), order[i]);
    f.CheckWindow();
    f.ds.MoveBy(7);
  }
  f.ds.Last();
  for (std::size_t i = order.size() - 1; i >= 5; i -= 5) {
    EXPECT_EQ(f.Active(), order[i]);
    f.ds.MoveBy(-5);
    f.CheckWindow();
  }
}

INSTANTIATE_TEST_SUITE_P(Draws, Scenario,
                         ::testing::Values(Shape{false, 1}, Shape{false, 20}, Shape{true, 1}, Shape{true, 20}),
                         ShapeName);

}  // namespace
}  // namespace vx::test
