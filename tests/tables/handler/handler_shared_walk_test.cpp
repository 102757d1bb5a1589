// A walk of a shared table through its active tag while another process
// appends keys (splitting the index's pages around the walker) or changes
// the keys of the records the walk is about to read: every record that was
// there when the walk began is met once, in key order, and every record the
// walk returns gives the entry it was reached through.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <set>

#include "platform/os/os_clock.h"
#include "platform/os/os_file.h"
#include "tests/tables/handler/handler_testing.h"

namespace vx::test {
namespace {

using Draw = std::pair<int, int>;

// The system's clock with its coarse milliseconds stopped: a leaf the walk
// trusts stays trusted until the walk leaves it.
class StoppedCoarseClock final : public OsClock {
 public:
  StoppedCoarseClock() { SetOsClock(this); }
  ~StoppedCoarseClock() override { SetOsClock(nullptr); }
  std::uint64_t Milliseconds() override { return SystemClock().Milliseconds(); }
  std::uint64_t CoarseMilliseconds() override { return 1; }
  std::uint64_t Counter() override { return SystemClock().Counter(); }
  std::uint64_t CounterFrequency() override { return SystemClock().CounterFrequency(); }
  void Sleep(std::uint32_t milliseconds) override { SystemClock().Sleep(milliseconds); }
};

// Draws (year, even draw) of four years in a shuffled record order; the odd
// draws between them are the keys the other process adds.
constexpr int kYears = 4;
std::vector<Draw> EvenDraws() {
  std::vector<Draw> rows;
  for (int y = 2000; y < 2000 + kYears; ++y)
    for (int d = 2; d <= 200; d += 2) rows.emplace_back(y, d);
  std::shuffle(rows.begin(), rows.end(), std::mt19937(5));
  return rows;
}

// The places of a walk whose key does not follow the one before (a record
// met twice counts too).
int OutOfOrder(const std::vector<Draw>& seen, bool rising) {
  int count = 0;
  for (std::size_t i = 1; i < seen.size(); ++i) count += !(rising ? seen[i - 1] < seen[i] : seen[i] < seen[i - 1]);
  return count;
}

// A table of `rows` and its index of format f (with a descending tag when
// asked: a compound file stores it rising and reads it backwards).
struct SharedTable {
  DbfScratch dir;
  std::string path = dir / "draws.dbf";
  SharedTable(const IndexFormat& f, const std::vector<Draw>& rows, bool descending = false) {
    CreateDraws(path, rows);
    XBO_dBHandler h(path, false, true, "");
    h.IndexOn(dir / f.file, f.tag, "YEAR+(0.001*DRAW)", "", 0, descending ? 1 : 0);
  }
};

// The index files walked: one of each format, and a descending compound tag.
struct WalkedIndex {
  IndexFormat format;
  bool descending;
};
std::vector<WalkedIndex> WalkedIndexes() {
  std::vector<WalkedIndex> indexes;
  for (const IndexFormat& f : kIndexFormats) indexes.push_back({f, false});
  indexes.push_back({kIndexFormats[0], true});
  return indexes;
}

TEST(HandlerSharedWalk, MeetsEveryRecordWhileAnotherProcessSplitsPages) {
  // MDX and NDX count no versions: a walk that left its leaf went on through
  // the pages above it as it had read them, and passed every key that the
  // other process's splits had moved to new pages (about one record in ten).
  constexpr int kStepsFirst = 150;
  constexpr std::size_t kAdded = 120;
  const std::vector<Draw> rows = EvenDraws();
  for (const auto& [f, descending] : WalkedIndexes()) {
    const SharedTable made(f, rows, descending);
    // A fresh copy of the table and its index for each walk.
    const std::string dir = made.dir / "walk";
    const std::string path = dir + "/draws.dbf";
    const std::string index = dir + "/" + f.file;
    for (const bool forward : {true, false}) {
      // With the coarse clock stopped, only leaving its leaf makes the walk
      // take the lock (keys added behind it change nothing there).
      for (const auto& [ahead, stopped] : {std::pair{true, false}, std::pair{true, true}, std::pair{false, false}}) {
        SCOPED_TRACE(std::string(f.name) + (descending ? " descending" : "") + (forward ? " forward" : " backward") +
                     (ahead ? ", keys added ahead" : ", keys added behind") +
                     (stopped ? ", coarse clock stopped" : ""));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directory(dir);
        for (const std::string name : {"draws.dbf", f.file})
          std::filesystem::copy_file(made.dir / name, dir + "/" + name);
        std::unique_ptr<StoppedCoarseClock> clock;
        if (stopped) clock = std::make_unique<StoppedCoarseClock>();
        XBO_dBHandler h(path, true, true, "");
        ASSERT_EQ(h.IndexOpenList(index, TagOf(f)), 0);
        const int move = forward ? xbNext : xbPrior;
        const bool rising = forward != descending;
        std::vector<Draw> seen;
        h.GetRec(forward ? xbTop : xbBottom);
        for (int i = 0; i < kStepsFirst; ++i, h.GetRec(move)) seen.push_back(DrawKey(h));
        ASSERT_FALSE(h.EOFFlag || h.BOFFlag);

        // The other process adds the odd draws nearest to the walker on one
        // side of it.
        const Draw at = DrawKey(h);
        std::vector<Draw> added;
        for (int y = 2000; y < 2000 + kYears; ++y)
          for (int d = 1; d < 200; d += 2)
            if (((Draw{y, d} > at) == rising) == ahead) added.emplace_back(y, d);
        const auto distance = [&](const Draw& x) { return std::abs((x.first - at.first) * 1000 + x.second - at.second); };
        std::sort(added.begin(), added.end(), [&](const Draw& a, const Draw& b) { return distance(a) < distance(b); });
        added.resize(std::min(added.size(), kAdded));
        ASSERT_EQ(InChild([&] {
                    XBO_dBHandler w(path, true, true, "");
                    if (w.IndexOpenList(index, TagOf(f)) != 0) throw 1;
                    for (const Draw& d : added) {
                      PutDraw(w, d.first, d.second);
                      w.AppendRecord();
                    }
                  }),
                  0);

        for (; !h.EOFFlag && !h.BOFFlag; h.GetRec(move)) {
          ASSERT_TRUE(DrawIsWhole(h)) << "record " << h.RecNo;
          seen.push_back(DrawKey(h));
        }
        // In key order, each once, and none of the first records missing.
        EXPECT_EQ(OutOfOrder(seen, rising), 0);
        const std::set<Draw> met(seen.begin(), seen.end());
        int missing = 0;
        for (const Draw& d : rows) missing += met.count(d) == 0;
        EXPECT_EQ(missing, 0) << "of " << rows.size() << " records";
        EXPECT_EQ(Walk(h, forward).size(), rows.size() + added.size());
      }
    }
  }
}

// Whether the current record gives the entry the active tag stands on.
bool RecordGivesItsEntry(XBO_dBHandler& h) {
  XBobjIndexTag& tag = *h.ActiveTag();
  const Draw d = DrawKey(h);
  IndexValue key;
  key.kind = IndexValue::Kind::Number;
  key.number = d.first + 0.001 * d.second;
  return tag.CurrentKey().link == h.RecNo &&
         CompareIndexKeys(tag.MakeKey(key).value, tag.CurrentKey().value, tag.KeyType(), false) == 0;
}

TEST(HandlerSharedWalk, UnderTheClipperProtocolEveryMoveReadsTheEntriesAsTheFileHoldsThem) {
  // The Clipper protocol locks the index for every move. In a file without a
  // version counter the walk used to step on through the leaf it had read
  // before another process moved the keys of the records after it, and
  // returned those records at their old places.
  const std::vector<Draw> rows = EvenDraws();
  for (const IndexFormat& f : kIndexFormats) {
    SCOPED_TRACE(f.name);
    const SharedTable t(f, rows);
    const StoppedCoarseClock clock;  // the leaf read stays trusted
    XBO_dBHandler h(t.path, true, true, "");
    ASSERT_EQ(h.IndexOpenList(t.dir / f.file, TagOf(f)), 0);
    h.SetLockProtocol(ClipLock);
    std::vector<Draw> seen;
    h.GetRec(xbTop);
    for (int i = 0; i < 40; ++i, h.GetRec(xbNext)) seen.push_back(DrawKey(h));
    // The next ten draws move ahead, to the end of their year.
    const Draw at = DrawKey(h);
    ASSERT_EQ(InChild([&] {
                XBO_dBHandler w(t.path, true, true, "");
                if (w.IndexOpenList(t.dir / f.file, TagOf(f)) != 0) throw 1;
                for (std::size_t r = 0; r < rows.size(); ++r) {
                  if (rows[r].first != at.first || rows[r].second <= at.second || rows[r].second > at.second + 20)
                    continue;
                  w.GetRec(int(r + 1));
                  PutDraw(w, rows[r].first, rows[r].second + 500);
                  w.WriteRecord(int(r + 1));
                }
              }),
              0);
    int strays = 0;
    for (; !h.EOFFlag; h.GetRec(xbNext)) {
      strays += !RecordGivesItsEntry(h);
      seen.push_back(DrawKey(h));
    }
    EXPECT_EQ(strays, 0) << "records whose key left their entry";
    EXPECT_EQ(OutOfOrder(seen, true), 0);
    EXPECT_EQ(seen.size(), rows.size());
  }
}

// The other process of the next test: moves the key of each record whose
// number arrives through `requests` by `shift` draws (within the year) and
// answers through `done`.
[[noreturn]] void ChangeKeysOnRequest(const std::string& path, const IndexFormat& f, int shift, int requests,
                                      int done) {
  int status = 0;
  try {
    XBO_dBHandler w(path, true, true, "");
    if (w.IndexOpenList(f.file, TagOf(f)) != 0) ::_exit(3);
    std::int32_t n = 0;
    while (::read(requests, &n, sizeof n) == sizeof n && n > 0) {
      w.GetRec(n);
      const Draw d = DrawKey(w);
      PutDraw(w, d.first, d.second + shift);
      w.WriteRecord(n);
      const char ok = 1;
      if (::write(done, &ok, 1) != 1) ::_exit(4);
    }
  } catch (...) { status = 2; }
  ::_exit(status);
}

TEST(HandlerSharedWalk, AStepWithoutTheLockReturnsNoRecordWhoseKeyLeftItsEntry) {
  // A step within the loaded leaf takes no index lock; another process that
  // changed the record between that step and its read made the walk return
  // a record whose key differed from its entry, out of key order. Here the
  // other process changes each record at that very moment, as often as the
  // walk steps without the lock, moving its key ahead of the walk (so that
  // the walk meets it once more, at its new place).
  constexpr int kChanges = 40;
  std::vector<Draw> rows;
  for (int y = 2000; y < 2006; ++y)
    for (int d = 201; d <= 300; ++d) rows.emplace_back(y, d);
  std::shuffle(rows.begin(), rows.end(), std::mt19937(8));
  for (const auto& [f, descending] : WalkedIndexes()) {
    for (const bool forward : {true, false}) {
      SCOPED_TRACE(std::string(f.name) + (descending ? " descending" : "") + (forward ? " forward" : " backward"));
      const bool rising = forward != descending;
      const SharedTable t(f, rows, descending);
      int requests[2], done[2];
      ASSERT_EQ(::pipe(requests), 0);
      ASSERT_EQ(::pipe(done), 0);
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        ::close(requests[1]);
        ::close(done[0]);
        ::chdir(t.dir.Path().c_str());
        ChangeKeysOnRequest(t.path, f, rising ? 500 : -200, requests[0], done[1]);
      }
      ::close(requests[0]);
      ::close(done[1]);

      XBO_dBHandler h(t.path, true, true, "");
      ASSERT_EQ(h.IndexOpenList(t.dir / f.file, TagOf(f)), 0);
      XBO_DiskFile* index = h.IndexFile(1)->Disk();
      const std::string table = h.Handle().NativePath();
      std::set<std::int32_t> changed;
      bool walking = false;
      SetOsFaultHook([&](OsOperation operation, const std::string& native, std::uint64_t offset, std::size_t& count) {
        // A record read while this process holds no index lock: the step
        // to it took none.
        if (!walking || operation != OsOperation::Read || native != table || count != std::size_t(h.RecordLength) ||
            offset < std::uint64_t(h.HeaderLength) || index->LockCount() != 0 || int(changed.size()) >= kChanges)
          return 0u;
        const std::int32_t n = std::int32_t((offset - std::uint64_t(h.HeaderLength)) / std::uint64_t(h.RecordLength)) + 1;
        if (!changed.insert(n).second) return 0u;
        char ok = 0;
        if (::write(requests[1], &n, sizeof n) != sizeof n || ::read(done[0], &ok, 1) != 1) return 0u;
        return 0u;
      });
      int strays = 0;
      std::vector<Draw> seen;
      walking = true;
      for (h.GetRec(forward ? xbTop : xbBottom); !h.EOFFlag && !h.BOFFlag; h.GetRec(forward ? xbNext : xbPrior)) {
        strays += !RecordGivesItsEntry(h);
        seen.push_back(DrawKey(h));
      }
      walking = false;
      SetOsFaultHook({});
      const std::int32_t stop = 0;
      ASSERT_EQ(::write(requests[1], &stop, sizeof stop), ssize_t(sizeof stop));
      ::close(requests[1]);
      ::close(done[0]);
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

      EXPECT_EQ(int(changed.size()), kChanges) << "steps taken without the lock";
      EXPECT_EQ(strays, 0) << "records whose key left their entry";
      EXPECT_EQ(OutOfOrder(seen, rising), 0);
      EXPECT_EQ(seen.size(), rows.size());
    }
  }
}

}  // namespace
}  // namespace vx::test
