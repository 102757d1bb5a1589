// Two handlers (and two processes) on one table: index locks around writes,
// a walker in index order beside an appender, and the read-ahead block
// against other writers.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <set>

#include "tests/tables/handler/handler_testing.h"

namespace vx::test {
namespace {

std::pair<int, int> Key(XBO_dBHandler& h) { return {int(h.GetNumberByName("YEAR")), int(h.GetNumberByName("DRAW"))}; }

TEST(HandlerShare, WalkerInIndexOrderBesideAnAppendingProcess) {
  DbfScratch dir;
  const std::string table = dir / "draws.dbf";
  std::vector<std::pair<int, int>> rows;
  std::mt19937 rng(3);
  for (int i = 1; i <= 800; ++i) rows.emplace_back(1990 + int(rng() % 40), i);
  CreateDraws(table, rows);
  {
    XBO_dBHandler h(table, false, true, "");
    h.IndexOn(dir / "draws.cdx", "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
  }
  const int added = 1200;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int status = 0;
    try {
      XBO_dBHandler h(table, true, true, "");
      if (h.IndexOpenList("draws.cdx", "INDEX") != 0) ::_exit(3);
      // New draws fall between the old ones in key order (draw numbers
      // stay below 1000 so that the key keeps year and draw apart).
      std::vector<std::pair<int, int>> fresh;
      for (int y = 1990; y < 2030; ++y)
        for (int d = 801; d <= 999; ++d) fresh.emplace_back(y, d);
      std::shuffle(fresh.begin(), fresh.end(), std::mt19937(11));
      for (int i = 0; i < added; ++i) {
        PutDraw(h, fresh[std::size_t(i)].first, fresh[std::size_t(i)].second);
        h.AppendRecord();
      }
    } catch (...) { status = 2; }
    ::_exit(status);
  }
  XBO_dBHandler h(table, true, true, "");
  ASSERT_EQ(h.IndexOpenList("draws.cdx", "INDEX"), 0);
  int walks = 0;
  int status = 0;
  bool done = false;
  while (!done) {
    done = ::waitpid(child, &status, WNOHANG) == child;
    std::vector<std::pair<int, int>> seen;
    for (h.GetRec(xbTop); !h.EOFFlag; h.GetRec(xbNext)) {
      ASSERT_TRUE(DrawIsWhole(h)) << "record " << h.RecNo;
      if (!seen.empty()) { ASSERT_LT(seen.back(), Key(h)) << "walk " << walks; }
      seen.push_back(Key(h));
    }
    ASSERT_GE(seen.size(), rows.size());
    ++walks;
  }
  RecordProperty("walks", walks);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  h.FlushFile();
  EXPECT_EQ(Walk(h).size(), rows.size() + added);
  EXPECT_EQ(Walk(h, false).size(), rows.size() + added);
  EXPECT_EQ(h.RecordCount, int(rows.size()) + added);
}

TEST(HandlerShare, RefusedIndexLockRaises33AndWritesNothing) {
  DbfScratch dir;
  ShortLockWaits quick;
  const std::string table = dir / "draws.dbf";
  CreateDraws(table, {{2001, 1}, {2001, 2}});
  {
    XBO_dBHandler h(table, false, true, "");
    h.IndexOn(dir / "a.cdx", "Y", "YEAR", "", 1, 0);
    h.IndexOn(dir / "b.cdx", "D", "DRAW", "", 1, 0);
  }
  XBO_dBHandler writer(table, true, true, "");
  XBO_dBHandler holder(table, true, true, "");
  ASSERT_EQ(writer.IndexOpenList("a.cdx b.cdx", ""), 0);
  ASSERT_EQ(holder.IndexOpenList("a.cdx b.cdx", ""), 0);
  ASSERT_TRUE(holder.IndexFile(2)->Lock());
  const std::string before = ReadFileBytes(table);

  PutDraw(writer, 2002, 3);
  try {
    writer.AppendRecord();
    FAIL() << "append went through";
  } catch (const EXBaseError& e) {
    EXPECT_NE(std::string(e.Message()).find("Record locked by another user"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(writer.IndexFile(1)->Disk()->LockCount(), 0);
  EXPECT_EQ(ReadFileBytes(table), before);

  writer.GetRec(1);
  writer.PutNumberByName("DRAW", 9);
  EXPECT_THROW(writer.WriteRecord(1), EXBaseError);
  EXPECT_EQ(ReadFileBytes(table), before);

  // With an error hook that returns, the write reports the refusal and
  // still writes nothing.
  {
    ErrorRecorder quiet(false);
    writer.WriteRecord(1);
    EXPECT_EQ(quiet.LastCode(), 33);
  }
  EXPECT_EQ(ReadFileBytes(table), before);

  holder.IndexFile(2)->Unlock();
  writer.WriteRecord(1);
  ASSERT_EQ(writer.SelectTag("D", false), 2);
  EXPECT_EQ(Walk(writer), (std::vector<int>{2, 1}));
}

TEST(HandlerShare, ReadAheadNeverServesAnotherWritersOldBytes) {
  DbfScratch dir;
  const std::string table = dir / "draws.dbf";
  std::vector<std::pair<int, int>> rows;
  for (int i = 1; i <= 50; ++i) rows.emplace_back(2000, i);
  CreateDraws(table, rows);
  XBO_dBHandler reader(table, true, true, "");
  XBO_dBHandler writer(table, true, true, "");
  reader.SelectTag("", false);
  ASSERT_TRUE(reader.ReadAheadOn());
  reader.GetRec(xbTop);

  writer.GetRec(2);
  PutDraw(writer, 2010, 2);
  writer.WriteRecord(2);
  reader.GetRec(2);  // by number
  EXPECT_EQ(Key(reader), std::make_pair(2010, 2));

  writer.GetRec(3);
  PutDraw(writer, 2011, 3);
  writer.WriteRecord(3);
  ASSERT_TRUE(reader.LockRecord());  // a lock drops the block
  reader.GetRec(xbNext);
  EXPECT_EQ(Key(reader), std::make_pair(2011, 3));
  reader.Unlock();

  // Records appended by the other writer show when the walk reaches them.
  PutDraw(writer, 2020, 51);
  writer.AppendRecord();
  const std::vector<int> walk = Walk(reader);
  EXPECT_EQ(walk.size(), 51u);
  EXPECT_EQ(Key(reader), std::make_pair(2020, 51));
}

TEST(HandlerShare, OwnWritesKeepTheReadAheadBlockCurrent) {
  DbfScratch dir;
  const std::string table = dir / "draws.dbf";
  std::vector<std::pair<int, int>> rows;
  for (int i = 1; i <= 20; ++i) rows.emplace_back(2000, i);
  CreateDraws(table, rows);
  XBO_dBHandler h(table, false, true, "");
  h.SetReadAhead(true);
  h.GetRec(xbTop);
  h.GetRec(5);
  PutDraw(h, 2005, 5);
  h.WriteRecord(5);
  h.GetRec(1);
  h.GetRec(5);
  EXPECT_EQ(Key(h), std::make_pair(2005, 5));
  PutDraw(h, 2006, 21);
  h.AppendRecord();
  EXPECT_EQ(Walk(h).size(), 21u);
  EXPECT_EQ(Key(h), std::make_pair(2006, 21));
}

}  // namespace
}  // namespace vx::test

namespace vx::test {
namespace {

TEST(HandlerReadAhead, RecordsLongerThanTheBlockAreReadOneByOne) {
  DbfScratch dir;
  const std::string path = dir / "wide.dbf";
  BuildOneFieldTable(path, "TEXT", 'C', 40000, 0);
  XBO_dBHandler h(path, false, true, "");
  for (char c : {'a', 'b', 'c'}) {
    h.BlankRecord();
    h.PutFieldTextByName("TEXT", std::string(39999, c) + "!");
    h.AppendRecord();
  }
  h.SetReadAhead(true);
  std::string seen;
  for (h.GetRec(xbTop); !h.EOFFlag; h.GetRec(xbNext)) {
    const AnsiString text = h.GetFieldTextByName("TEXT");
    ASSERT_EQ(text.size(), 40000u);
    EXPECT_EQ(text.back(), '!');
    seen += text.front();
  }
  EXPECT_EQ(seen, "abc");
}

}  // namespace
}  // namespace vx::test
