// A writer killed at random moments while it appends draws to a table with
// its compound index open. The record and the header are written before the
// keys, so a kill between them used to leave the index without the last
// record, and nothing noticed: walks gave one record less and seeks missed
// it. Every trial must now end either consistent (every record has its key,
// in order) or reported when the index is opened (EXBaseIndexOutOfDate),
// after which rebuilding the tag makes it consistent.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "tests/tables/handler/handler_testing.h"

namespace vx::test {
namespace {

constexpr int kTrials = 50;
constexpr int kFirstRecords = 300;

std::pair<int, int> Key(XBO_dBHandler& h) { return {int(h.GetNumberByName("YEAR")), int(h.GetNumberByName("DRAW"))}; }

// The n-th draw appended, its key unique in YEAR+(0.001*DRAW): rising with
// n as a draw base grows, or scattered over the keys already there (so
// that pages split in the middle of the tree too).
std::pair<int, int> NthDraw(int n, bool scattered) {
  if (!scattered) return {2000 + n / 500, n % 500 + 1};
  const long p = (long(n) * 7919) % 1000003;
  return {int(1000 + p / 999), int(p % 999 + 1)};
}

// Child: appends draws after the first ones until it is killed; tells the
// parent through `ready` once the table and its index are open.
[[noreturn]] void AppendUntilKilled(const std::string& table, bool scattered, int ready) {
  int status = 0;
  try {
    XBO_dBHandler h(table, false, true, "");
    if (h.IndexOpenList("draws.cdx", "INDEX") != 0) ::_exit(3);
    const char go = 1;
    if (::write(ready, &go, 1) != 1) ::_exit(4);
    for (int n = kFirstRecords; n < kFirstRecords + 200000; ++n) {
      PutDraw(h, NthDraw(n, scattered).first, NthDraw(n, scattered).second);
      h.AppendRecord();
    }
  } catch (...) { status = 2; }
  ::_exit(status);
}

// Whether the tag lists every record once, in rising key order, and finds
// the last record.
::testing::AssertionResult Consistent(XBO_dBHandler& h) {
  std::vector<std::pair<int, int>> seen;
  for (h.GetRec(xbTop); !h.EOFFlag; h.GetRec(xbNext)) {
    if (!DrawIsWhole(h)) return ::testing::AssertionFailure() << "record " << h.RecNo << " is not whole";
    if (!seen.empty() && !(seen.back() < Key(h)))
      return ::testing::AssertionFailure() << "record " << h.RecNo << " out of order at place " << seen.size() + 1;
    seen.push_back(Key(h));
  }
  if (int(seen.size()) != h.RecordCount)
    return ::testing::AssertionFailure() << seen.size() << " keys for " << h.RecordCount << " records";
  h.GetRec(h.RecordCount);
  const std::pair<int, int> last = Key(h);
  const AnsiString key = std::to_string(last.first + 0.001 * last.second);
  if (!h.Find(key) || h.RecNo != h.RecordCount)
    return ::testing::AssertionFailure() << "the last record's key " << key << " is not found";
  return ::testing::AssertionSuccess();
}

TEST(HandlerKill, EveryKilledAppendIsConsistentOrReportedWhenOpened) {
  DbfScratch dir;
  const std::string table = dir / "draws.dbf";
  const std::string index = dir / "draws.cdx";
  for (const bool scattered : {false, true}) {
    const std::string name = scattered ? "scattered" : "rising";
    std::vector<std::pair<int, int>> rows;
    for (int n = 0; n < kFirstRecords; ++n) rows.push_back(NthDraw(n, scattered));
    CreateDraws(dir / (name + ".dbf"), rows);
    XBO_dBHandler h(dir / (name + ".dbf"), false, true, "");
    h.IndexOn(dir / (name + ".cdx"), "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
  }
  std::mt19937 rng(20240617);
  int consistent = 0, reported = 0;
  for (int trial = 0; trial < kTrials; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    const bool scattered = trial % 2 == 1;
    const std::string first = dir / (scattered ? "scattered" : "rising");
    std::filesystem::copy_file(first + ".dbf", table, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(first + ".cdx", index, std::filesystem::copy_options::overwrite_existing);
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipe[0]);
      AppendUntilKilled(table, scattered, pipe[1]);
    }
    ::close(pipe[1]);
    char go = 0;
    const bool started = ::read(pipe[0], &go, 1) == 1;
    ::close(pipe[0]);
    // A moment within the first few hundred appends.
    ::usleep(useconds_t(std::uniform_int_distribution<int>(0, 20000)(rng)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(started) << "the writer did not start (status " << status << ")";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself (status " << status << ")";

    XBO_dBHandler h(table, false, true, "");
    ASSERT_GE(h.RecordCount, kFirstRecords);
    try {
      ASSERT_EQ(h.IndexOpenList("draws.cdx", "INDEX"), 0);
    } catch (const EXBaseIndexOutOfDate& e) {
      ++reported;
      EXPECT_NE(e.Message().find("record " + std::to_string(h.RecordCount)), std::string::npos) << e.Message();
      h.IndexOn("draws.cdx", "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
      ASSERT_EQ(h.IndexOpenList("draws.cdx", "INDEX"), 0);
      EXPECT_TRUE(Consistent(h)) << "after rebuilding";
      continue;
    }
    ++consistent;
    EXPECT_TRUE(Consistent(h)) << "opened without a report";
  }
  RecordProperty("consistent", consistent);
  RecordProperty("reported", reported);
  std::printf("%d trials: %d consistent, %d reported when opened\n", kTrials, consistent, reported);
}

}  // namespace
}  // namespace vx::test
