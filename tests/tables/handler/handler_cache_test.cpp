// What the handler keeps between reads (decoded index pages, blocks of
// records) against what other processes and its own writes change: another
// process rewrites keys, appends and cuts the table short while this one
// walks and seeks; every change shows after the next lock or refresh, own
// writes show at once, and a short table gives the engine's error. A field
// that a program leaving the index alone changes shows at the next walk,
// seek and read by number, with the read-ahead on or off.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <random>

#include "tables/base/xb_settings.h"
#include "tests/tables/handler/handler_testing.h"

namespace vx::test {
namespace {

using Draw = std::pair<int, int>;

std::string KeyText(const Draw& d) {
  return std::to_string(d.first) + "." + (d.second < 10 ? "00" : d.second < 100 ? "0" : "") + std::to_string(d.second);
}

struct Table {
  DbfScratch dir;
  std::string path = dir / "draws.dbf";
  std::vector<Draw> rows;  // by record number - 1

  explicit Table(const IndexFormat& f) {
    std::mt19937 rng(9);
    for (int y = 2000; y < 2010; ++y)
      for (int d = 1; d <= 60; ++d) rows.emplace_back(y, d);
    std::shuffle(rows.begin(), rows.end(), rng);
    CreateDraws(path, rows);
    XBO_dBHandler h(path, false, true, "");
    h.IndexOn(dir / f.file, f.tag, "YEAR+(0.001*DRAW)", "", 0, 0);
  }
  std::vector<Draw> Sorted() const {
    std::vector<Draw> s = rows;
    std::sort(s.begin(), s.end());
    return s;
  }
};

// Keys of a walk from the top; every record whole.
std::vector<Draw> WalkKeys(XBO_dBHandler& h) {
  std::vector<Draw> keys;
  for (h.GetRec(xbTop); !h.EOFFlag; h.GetRec(xbNext)) {
    EXPECT_TRUE(DrawIsWhole(h)) << "record " << h.RecNo;
    keys.push_back(DrawKey(h));
  }
  return keys;
}

TEST(HandlerCache, AnotherProcessesKeysAndRecordsShowAfterTheNextLock) {
  for (const IndexFormat& f : kIndexFormats) {
    SCOPED_TRACE(f.name);
    Table t(f);
    XBO_dBHandler h(t.path, true, true, "");
    ASSERT_EQ(h.IndexOpenList(t.dir / f.file, TagOf(f)), 0);
    // Everything read once: pages and record blocks are held.
    ASSERT_EQ(WalkKeys(h), t.Sorted());
    for (const Draw& d : t.rows) ASSERT_TRUE(h.Find(KeyText(d))) << KeyText(d);

    // Half a walk, then the other process moves the keys of every fifth
    // record (DRAW + 100) and appends a year of draws.
    h.GetRec(xbTop);
    for (int i = 0; i < 300; ++i) h.GetRec(xbNext);
    Draw last = DrawKey(h);
    std::vector<Draw> changed = t.rows;
    for (std::size_t r = 0; r < changed.size(); r += 5) changed[r].second += 100;
    for (int d = 1; d <= 90; ++d) changed.emplace_back(2004, 200 + d);
    ASSERT_EQ(InChild([&] {
                XBO_dBHandler w(t.path, true, true, "");
                if (w.IndexOpenList(t.dir / f.file, TagOf(f)) != 0) throw 1;
                for (std::size_t r = 0; r < changed.size(); ++r) {
                  if (r < t.rows.size()) {
                    if (changed[r] == t.rows[r]) continue;
                    w.GetRec(int(r + 1));
                    PutDraw(w, changed[r].first, changed[r].second);
                    w.WriteRecord(int(r + 1));
                  } else {
                    PutDraw(w, changed[r].first, changed[r].second);
                    w.AppendRecord();
                  }
                }
              }),
              0);

    // The walk goes on without fault: whole records in key order, in the
    // formats without a version counter too.
    for (h.GetRec(xbNext); !h.EOFFlag; h.GetRec(xbNext)) {
      ASSERT_TRUE(DrawIsWhole(h)) << "record " << h.RecNo;
      ASSERT_LT(last, DrawKey(h));
      last = DrawKey(h);
    }

    // From the next lock on (the walk from the top takes it), and at every
    // seek, the reader sees the table as the other process left it.
    t.rows = changed;
    EXPECT_EQ(WalkKeys(h), t.Sorted());
    for (std::size_t r = 0; r < changed.size(); ++r) {
      ASSERT_TRUE(h.Find(KeyText(changed[r]))) << KeyText(changed[r]);
      EXPECT_EQ(h.RecNo, int(r + 1));
      EXPECT_EQ(DrawKey(h), changed[r]);
      if (r % 5 == 0 && r < 600) {
        const Draw old{changed[r].first, changed[r].second - 100};
        EXPECT_FALSE(h.Find(KeyText(old))) << KeyText(old);
      }
    }
    EXPECT_EQ(h.RecordCount, int(changed.size()));
  }
}

// Writes text right-aligned into field `name` of record n with plain file
// writes from another process, as an xBase program that leaves the index
// alone does (the change is to a field outside the key).
void WriteFieldElsewhere(XBO_dBHandler& h, const std::string& path, std::int32_t n, const char* name, int value) {
  const int field = h.FieldNumber(name);
  const int length = h.FieldLength(field);
  std::string text = std::to_string(value);
  text.insert(0, std::size_t(length) - text.size(), ' ');
  const std::int64_t at = h.RecordPosition(n) + h.FieldOffset(field);
  ASSERT_EQ(InChild([&] {
              const int fd = ::open(path.c_str(), O_WRONLY);
              if (fd < 0 || ::pwrite(fd, text.data(), text.size(), at) != ssize_t(text.size())) throw 1;
              ::close(fd);
            }),
            0);
}

// The value of P1 of record n as a walk through the tag meets it.
int P1InWalk(XBO_dBHandler& h, std::int32_t n, bool forward) {
  int seen = -1;
  for (h.GetRec(forward ? xbTop : xbBottom); !h.EOFFlag && !h.BOFFlag; h.GetRec(forward ? xbNext : xbPrior))
    if (h.RecNo == n) seen = int(h.GetNumberByName("P1"));
  return seen;
}

TEST(HandlerCache, AnotherProgramsRecordChangesShowAtTheNextWalkSeekAndGoTo) {
  // A walk from the top used to serve the record blocks of the earlier
  // walk when the tag's version counter had not moved (CDX, NTX): a field
  // changed by a program that leaves the index alone stayed unseen.
  for (const IndexFormat& f : kIndexFormats) {
    for (const bool readAhead : {false, true}) {
      SCOPED_TRACE(std::string(f.name) + (readAhead ? " read-ahead on" : " read-ahead off"));
      Table t(f);
      XBO_dBHandler h(t.path, true, true, "");
      ASSERT_EQ(h.IndexOpenList(t.dir / f.file, TagOf(f)), 0);
      h.SetReadAhead(readAhead);
      ASSERT_EQ(WalkKeys(h), t.Sorted());
      const std::int32_t n = 7;
      const std::string key = KeyText(t.rows[n - 1]);
      int value = 60;
      const auto change = [&] { WriteFieldElsewhere(h, t.path, n, "P1", ++value); };

      change();
      EXPECT_EQ(P1InWalk(h, n, true), value) << "walk from the top";
      change();
      EXPECT_EQ(P1InWalk(h, n, false), value) << "walk from the bottom";
      change();
      ASSERT_TRUE(h.Find(key));
      EXPECT_EQ(h.RecNo, n);
      EXPECT_EQ(int(h.GetNumberByName("P1")), value) << "seek";
      change();
      h.GetRec(n);
      EXPECT_EQ(int(h.GetNumberByName("P1")), value) << "read by number";
      // Standing on the record, halfway through a walk.
      h.GetRec(xbTop);
      for (int i = 0; i < 300; ++i) h.GetRec(xbNext);
      change();
      EXPECT_EQ(P1InWalk(h, n, true), value) << "walk from the top after a half walk";
      // In record order as well.
      h.SelectTag("", false);
      ASSERT_EQ(P1InWalk(h, n, true), value);
      change();
      EXPECT_EQ(P1InWalk(h, n, true), value) << "walk in record order";
      change();
      EXPECT_EQ(P1InWalk(h, n, false), value) << "walk in record order from the bottom";
      // python3-dbf, which knows nothing of the index, as the other program.
      ASSERT_EQ(h.SelectTag(TagOf(f), false), 1);
      ++value;
      const std::string script = "import dbf, sys\nt = dbf.Table(sys.argv[1])\nt.open(dbf.READ_WRITE)\nwith t[" +
                                 std::to_string(n - 1) + "] as r: r.p1 = " + std::to_string(value) + "\nt.close()";
      EXPECT_EQ(RunTool("/usr/bin/python3 -c '" + script + "' '" + t.path + "' 2>&1"), "");
      EXPECT_EQ(P1InWalk(h, n, true), value) << "walk from the top after python3-dbf";
    }
  }
}

TEST(HandlerCache, OwnWritesShowAtTheNextSeekAndStep) {
  const std::size_t savedLimit = IndexPageCacheSize;
  for (const bool shared : {false, true}) {
    for (const std::size_t limit : {std::size_t(32) << 20, std::size_t(4096)}) {
      for (const IndexFormat& f : kIndexFormats) {
        SCOPED_TRACE(std::string(f.name) + (shared ? " shared" : " exclusive") + " limit " + std::to_string(limit));
        IndexPageCacheSize = limit;
        Table t(f);
        XBO_dBHandler h(t.path, shared, true, "");
        ASSERT_EQ(h.IndexOpenList(t.dir / f.file, TagOf(f)), 0);
        for (const Draw& d : t.rows) ASSERT_TRUE(h.Find(KeyText(d)));
        ASSERT_EQ(WalkKeys(h), t.Sorted());
        EXPECT_LE(h.IndexFile(1)->PageCache().Bytes(), limit);
        if (!shared) EXPECT_GT(h.IndexFile(1)->PageCache().Pages(), 0u);
        // Keys moved and records appended through this handle: the pages
        // written are seen by the next seek, the records by the next step.
        for (std::size_t r = 0; r < t.rows.size(); r += 7) {
          const Draw old = t.rows[r];
          ASSERT_TRUE(h.Find(KeyText(old)));
          t.rows[r].first += 20;
          PutDraw(h, t.rows[r].first, t.rows[r].second);
          h.WriteRecord(int(r + 1));
          EXPECT_FALSE(h.Find(KeyText(old))) << KeyText(old);
          ASSERT_TRUE(h.Find(KeyText(t.rows[r]))) << KeyText(t.rows[r]);
          EXPECT_EQ(h.RecNo, int(r + 1));
        }
        for (int d = 1; d <= 40; ++d) {
          t.rows.emplace_back(2005, 100 + d);
          PutDraw(h, 2005, 100 + d);
          h.AppendRecord();
          ASSERT_TRUE(h.Find(KeyText(t.rows.back())));
        }
        EXPECT_EQ(WalkKeys(h), t.Sorted());
      }
    }
  }
  IndexPageCacheSize = savedLimit;
}

TEST(HandlerCache, TableCutShortByAnotherProcessGivesTheEngineError) {
  for (const bool shared : {false, true}) {
    SCOPED_TRACE(shared ? "shared" : "exclusive");
    Table t(kIndexFormats[0]);
    XBO_dBHandler h(t.path, shared, true, "");
    ASSERT_EQ(h.IndexOpenList(t.dir / "draws.cdx", "INDEX"), 0);
    ASSERT_EQ(WalkKeys(h).size(), t.rows.size());
    h.GetRec(xbTop);
    for (int i = 0; i < 100; ++i) h.GetRec(xbNext);
    ASSERT_EQ(InChild([&] {
                if (::truncate(t.path.c_str(), h.HeaderLength + 20 * h.RecordLength) != 0) throw 1;
              }),
              0);
    ErrorRecorder errors;
    // A shared table reads its records through a view of the file: a record
    // in the page the cut went through (which reads as zeros past the end)
    // and one in the pages after it (which fault) are short reads, the
    // engine's error.
    if (shared) {
      for (const int n : {21, 500}) {
        errors.entries.clear();
        EXPECT_THROW(h.GetRec(n), EXBaseError) << "record " << n;
        EXPECT_EQ(errors.LastCode(), xbErrBeyondEOF) << "record " << n;
      }
    }
    // The walk goes on with the records it holds, or stops at the engine's
    // error; then a refresh lets nothing past the new end.
    try {
      for (h.GetRec(xbNext); !h.EOFFlag; h.GetRec(xbNext)) ASSERT_TRUE(DrawIsWhole(h));
    } catch (const EXBaseError& e) { EXPECT_EQ(errors.LastCode(), xbErrBeyondEOF) << e.Message(); }
    h.FlushFile();
    errors.entries.clear();
    EXPECT_THROW(WalkKeys(h), EXBaseError);
    EXPECT_EQ(errors.LastCode(), xbErrBeyondEOF);
    h.GetRec(20);
    EXPECT_EQ(DrawKey(h), t.rows[19]);
    EXPECT_THROW(h.GetRec(200), EXBaseError);
    EXPECT_EQ(errors.LastCode(), xbErrBeyondEOF);
  }
}

}  // namespace
}  // namespace vx::test
