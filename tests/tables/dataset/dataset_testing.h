// Helpers of the data-set adapter tests: a draw table on disk opened as a
// TXBaseDataSet in record order or under the tag "INDEX", seen through a
// data link with a chosen number of buffers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/db/data_source.h"
#include "tables/dataset/txbasedataset.h"
#include "tests/tables/handler/handler_testing.h"

namespace vx::test {

class WindowLink : public TDataLink {};

inline int DrawKey(int year, int draw) { return year * 1000 + draw; }

struct DrawDataSet {
  DbfScratch dir;
  std::string table;
  bool indexed;
  TXBaseDataSet ds;
  TDataSource source{nullptr};
  WindowLink link;
  std::vector<std::string> events;

  DrawDataSet(const std::vector<std::pair<int, int>>& rows, bool useIndex, int buffers) : indexed(useIndex) {
    table = dir / "draws.dbf";
    CreateDraws(table, rows);
    if (useIndex) {
      XBO_dBHandler h(table, false, true, "");
      h.IndexOn(dir / "draws.cdx", "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
    }
    ds.SetName("Draws");
    ds.SetDatabaseName(dir / "");
    ds.SetTableName("draws.dbf");
    if (useIndex) {
      ds.IndexFiles()->Add("draws.cdx");
      ds.SetIndexName("INDEX");
    }
    source.SetDataSet(&ds);
    link.SetBufferCount(buffers);
    link.SetDataSource(&source);
    auto log = [this](const char* name) {
      return [this, name](TDataSet* d) {
        events.push_back(std::string(name) + (d->Bof() ? ":B" : "") + (d->Eof() ? ":E" : ""));
      };
    };
    ds.BeforeInsert = log("BeforeInsert");
    ds.OnNewRecord = log("NewRecord");
    ds.Open();
  }

  int Active() {
    if (ds.IsEmpty()) return 0;
    return DrawKey(ds.FieldByName("YEAR")->AsInteger(), ds.FieldByName("DRAW")->AsInteger());
  }

  // The keys the data set should show, read from the file with the
  // handler: record order, or sorted with repeats dropped under the tag.
  std::vector<int> Expected() {
    std::vector<int> keys;
    XBO_dBHandler h(table, true, false, "");
    h.UseDeleted = false;
    h.GetRec(xbTop);
    while (!h.EOFFlag && !h.BOFFlag) {
      keys.push_back(DrawKey(int(h.GetNumberByName("YEAR")), int(h.GetNumberByName("DRAW"))));
      h.GetRec(xbNext);
    }
    if (indexed) {
      std::sort(keys.begin(), keys.end());
      keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    }
    return keys;
  }

  // Keys in order walking the whole data set forward.
  std::vector<int> WalkForward() {
    std::vector<int> keys;
    ds.First();
    while (!ds.Eof()) {
      keys.push_back(Active());
      ds.Next();
      if (keys.size() > 100000) break;
    }
    return keys;
  }

  std::vector<int> WalkBackward() {
    std::vector<int> keys;
    ds.Last();
    while (!ds.Bof()) {
      keys.push_back(Active());
      ds.Prior();
      if (keys.size() > 100000) break;
    }
    std::reverse(keys.begin(), keys.end());
    return keys;
  }

  // The window holds consecutive records of the expected order.
  void CheckWindow() {
    const std::vector<int> order = Expected();
    std::vector<int> ids;
    for (int i = 0; i < ds.WindowRecordCount(); ++i) {
      const int old = ds.SetActiveRecordIndex(i);
      if (!ds.FieldByName("YEAR")->IsNull() && ds.RecNo() > 0) ids.push_back(Active());
      ds.SetActiveRecordIndex(old);
    }
    if (ids.empty()) return;
    auto start = std::find(order.begin(), order.end(), ids[0]);
    ASSERT_NE(start, order.end());
    for (std::size_t k = 0; k < ids.size(); ++k) {
      ASSERT_LT(std::size_t(start - order.begin()) + k, order.size());
      EXPECT_EQ(ids[k], *(start + std::ptrdiff_t(k)));
    }
  }
};

// Rows (year, draw): draws 1..draws of every year from..to, in that order.
inline std::vector<std::pair<int, int>> Years(int from, int to, int draws) {
  std::vector<std::pair<int, int>> rows;
  for (int y = from; y <= to; ++y)
    for (int d = 1; d <= draws; ++d) rows.emplace_back(y, d);
  return rows;
}

// Rows (year, draw) in a scrambled physical order with one repeat.
inline std::vector<std::pair<int, int>> ScrambledDraws(int count) {
  std::vector<std::pair<int, int>> rows;
  for (int i = 0; i < count; ++i) {
    const int k = (i * 7) % count;
    rows.emplace_back(2000 + k / 10, k % 10 + 1);
  }
  if (count > 3) rows.push_back(rows[2]);
  return rows;
}

}  // namespace vx::test
