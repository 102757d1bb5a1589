// Random tables walked through the handler and through a model of the same
// rules: tag order (ascending, descending, unique, FOR, key range), deleted
// records, a filter and the acceptance hook. Every step is compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>

#include "tests/tables/handler/handler_testing.h"

namespace vx::test {
namespace {

class HookedHandler : public XBO_dBHandler {
 public:
  using XBO_dBHandler::XBO_dBHandler;
  std::function<bool(int)> accept;
  bool AcceptRecord() override { return !accept || accept(RecNo); }
};

struct Row {
  std::string name;
  int num = 0;
  bool deleted = false;
};

struct Setup {
  int tagKind = 0;  // 0 none, 1 NUM, 2 NAME, 3 NAME descending, 4 NUM unique, 5 NUM FOR NUM>10
  int filter = 0;   // 0 none, 1 NUM<20, 2 NAME>"B"
  bool range = false;
  int low = 0, high = 0;
  bool accept = false;
  bool useDeleted = false;
};

struct Model {
  std::vector<Row> rows;  // record n is rows[n - 1]
  Setup s;
  std::vector<int> members;  // the order the handler walks

  bool Filter(int rec) const {
    const Row& r = rows[std::size_t(rec - 1)];
    if (s.filter == 1) return r.num < 20;
    if (s.filter == 2) return r.name > "B";
    return true;
  }
  bool Accept(int rec) const { return !s.accept || rec % 5 != 2; }
  bool Visible(int rec) const {
    return (!rows[std::size_t(rec - 1)].deleted || s.useDeleted) && Accept(rec) && Filter(rec);
  }

  void Build() {
    members.clear();
    const int n = int(rows.size());
    if (s.tagKind == 0) {
      for (int i = 1; i <= n; ++i) members.push_back(i);
      return;
    }
    std::vector<int> all;
    for (int i = 1; i <= n; ++i)
      if (s.tagKind != 5 || rows[std::size_t(i - 1)].num > 10) all.push_back(i);
    const bool byName = s.tagKind == 2 || s.tagKind == 3;
    auto less = [&](int a, int b) {
      const Row& x = rows[std::size_t(a - 1)];
      const Row& y = rows[std::size_t(b - 1)];
      if (byName ? x.name != y.name : x.num != y.num) return byName ? x.name < y.name : x.num < y.num;
      return a < b;
    };
    std::sort(all.begin(), all.end(), less);
    if (s.tagKind == 4)
      all.erase(std::unique(all.begin(), all.end(),
                            [&](int a, int b) { return rows[std::size_t(a - 1)].num == rows[std::size_t(b - 1)].num; }),
                all.end());
    if (s.range)
      all.erase(std::remove_if(all.begin(), all.end(),
                               [&](int r) {
                                 const int v = rows[std::size_t(r - 1)].num;
                                 return v < s.low || v > s.high;
                               }),
                all.end());
    if (s.tagKind == 3) std::reverse(all.begin(), all.end());
    members = all;
  }
  int IndexOf(int rec) const {
    auto it = std::find(members.begin(), members.end(), rec);
    return it == members.end() ? -1 : int(it - members.begin());
  }
};

void RunCase(unsigned seed) {
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 rng(seed);
  DbfScratch dir;
  const std::string path = dir / "t.dbf";
  {
    XBO_DBFBuild b(path);
    b.AddField("NAME", 'C', 6, 0);
    b.AddField("NUM", 'N', 4, 0);
    b.Write();
  }
  Model m;
  const int count = int(rng() % 90);
  {
    XBO_dBHandler h(path, false, true, "");
    for (int i = 0; i < count; ++i) {
      Row r;
      r.name = std::string(1, char('A' + rng() % 3)) + char('A' + rng() % 4);
      r.num = int(rng() % 30);
      h.BlankRecord();
      h.PutFieldTextByName("NAME", r.name);
      h.PutNumberByName("NUM", r.num);
      h.AppendRecord();
      if (rng() % 5 == 0) {
        h.DeleteRecord();
        r.deleted = true;
      }
      m.rows.push_back(r);
    }
  }
  Setup& s = m.s;
  s.tagKind = int(rng() % 6);
  s.filter = int(rng() % 3);
  s.range = s.tagKind == 1 && rng() % 2;
  s.low = int(rng() % 15);
  s.high = s.low + int(rng() % 15);
  s.accept = rng() % 2;
  s.useDeleted = rng() % 3 == 0;
  SCOPED_TRACE("tag " + std::to_string(s.tagKind) + " filter " + std::to_string(s.filter) + " range " +
               std::to_string(s.range) + " accept " + std::to_string(s.accept) + " deleted shown " +
               std::to_string(s.useDeleted) + " records " + std::to_string(count));

  HookedHandler h(path, false, true, "");
  if (s.tagKind != 0) {
    static const char* keys[] = {"", "NUM", "NAME", "NAME", "NUM", "NUM"};
    h.IndexOn(dir / "t.cdx", "K", keys[s.tagKind], s.tagKind == 5 ? "NUM>10" : "", s.tagKind == 4 ? 0 : 1,
              s.tagKind == 3 ? 1 : 0);
    ASSERT_EQ(h.IndexOpenList("t.cdx", "K"), 0);
  }
  if (s.range) h.SetRange(std::to_string(s.low), std::to_string(s.high), 0, 0, 0);
  h.UseDeleted = s.useDeleted;
  if (s.accept) h.accept = [&m](int rec) { return m.Accept(rec); };
  if (s.filter) {
    h.SetFilterActive(true);
    h.SetFilterExpression(s.filter == 1 ? "NUM<20" : "NAME>\"B\"", false, false);
  }
  m.Build();

  std::vector<int> visible;
  for (int r : m.members)
    if (m.Visible(r)) visible.push_back(r);
  ASSERT_EQ(Walk(h), visible);
  std::vector<int> back = visible;
  std::reverse(back.begin(), back.end());
  ASSERT_EQ(Walk(h, false), back);

  // Random steps; relative moves only from a record that stands in the order.
  int pos = -1;  // index into members, -1 when not anchored
  std::string history;
  for (int r : m.members) history += std::to_string(r) + (m.Visible(r) ? "v " : " ");
  history += "|";
  for (int step = 0; step < 80; ++step) {
    const int op = int(rng() % 6);
    const int members = int(m.members.size());
    auto firstVisibleFrom = [&](int from, int dir) {
      for (int i = from; i >= 0 && i < members; i += dir)
        if (m.Visible(m.members[std::size_t(i)])) return i;
      return -1;
    };
    if ((op == 2 || op == 3 || op == 5) && pos < 0) continue;
    bool eof = false, bof = false;
    int expectRec = 0;
    std::string what;
    switch (op) {
      case 0: {
        what = "top";
        h.GetRec(xbTop);
        pos = firstVisibleFrom(0, 1);
        if (pos < 0) eof = true;
        break;
      }
      case 1: {
        what = "bottom";
        h.GetRec(xbBottom);
        pos = firstVisibleFrom(members - 1, -1);
        if (pos < 0) bof = true;
        break;
      }
      case 2:
      case 3: {
        const int dir = op == 2 ? 1 : -1;
        what = dir > 0 ? "next" : "prior";
        h.GetRec(dir > 0 ? xbNext : xbPrior);
        const int at = firstVisibleFrom(pos + dir, dir);
        if (at < 0) {
          (dir > 0 ? eof : bof) = true;
          pos = -1;
        } else {
          pos = at;
        }
        break;
      }
      case 4: {
        if (count == 0) continue;
        const int n = 1 + int(rng() % count);
        what = "goto " + std::to_string(n);
        h.GetRec(n);
        expectRec = n;
        pos = m.IndexOf(n);
        break;
      }
      default: {
        const int k = int(rng() % 7) - 3;
        what = "skip " + std::to_string(k);
        h.SkipRecords(k);
        if (k == 0) {
          // A re-read moves on when the record is not visible.
          if (!m.Visible(m.members[std::size_t(pos)])) {
            pos = firstVisibleFrom(pos + 1, 1);
            if (pos < 0) eof = true;
          }
          break;
        }
        const int dir = k > 0 ? 1 : -1;
        if (!s.filter && s.useDeleted) {
          if (s.tagKind == 0) {
            const int target = std::clamp(m.members[std::size_t(pos)] + k, 1, count);
            if (m.members[std::size_t(pos)] + k != target) (dir > 0 ? eof : bof) = true;
            expectRec = target;
            pos = target - 1;
          } else {
            const int target = pos + k;
            if (target < 0 || target >= members) (dir > 0 ? eof : bof) = true;
            pos = std::clamp(target, 0, members - 1);
            expectRec = m.members[std::size_t(pos)];
          }
          if (eof || bof) {
            EXPECT_EQ(h.RecNo, expectRec) << what;
            EXPECT_EQ(h.EOFFlag, eof) << what;
            EXPECT_EQ(h.BOFFlag, bof) << what;
            pos = -1;
            continue;
          }
          break;
        }
        int last = pos;
        for (int i = 0; i < std::abs(k); ++i) {
          const int at = firstVisibleFrom(last + dir, dir);
          if (at < 0) {
            (dir > 0 ? eof : bof) = true;
            break;
          }
          last = at;
        }
        pos = last;
        if (eof || bof) {
          // The record number is the last one read on the way.
          EXPECT_EQ(h.EOFFlag, eof) << what;
          EXPECT_EQ(h.BOFFlag, bof) << what;
          pos = -1;
          continue;
        }
        break;
      }
    }
    history += " " + what;
    if (eof || bof) {
      EXPECT_TRUE(h.EOFFlag || h.BOFFlag) << what;
      if (eof && op != 1) { EXPECT_TRUE(h.EOFFlag) << what; }
      if (bof && op != 0) { EXPECT_TRUE(h.BOFFlag) << what; }
      pos = -1;
      continue;
    }
    EXPECT_FALSE(h.EOFFlag || h.BOFFlag) << what;
    if (expectRec == 0 && pos >= 0) expectRec = m.members[std::size_t(pos)];
    ASSERT_EQ(h.RecNo, expectRec) << history;
  }
}

TEST(HandlerOracle, RandomTablesWalkLikeTheModel) {
  // VX_ORACLE_SEEDS asks for a longer run by hand.
  const char* more = std::getenv("VX_ORACLE_SEEDS");
  const unsigned seeds = more ? unsigned(std::atoi(more)) : 150u;
  for (unsigned seed = 1; seed <= seeds; ++seed) {
    RunCase(seed);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace vx::test
