// Shared set-up of the data-set scenario tests: a memory data set with the
// fields ID (integer) and NAME (string), shown through a data link of a
// chosen buffer count, with every data-set event logged together with the
// BOF/EOF flags and the state it saw.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "platform/db/data_source.h"
#include "platform/db/field_types.h"
#include "tests/platform/db/memory_dataset.h"

inline const char* StateName(TDataSetState s) {
  switch (s) {
    case dsInactive: return "inactive";
    case dsBrowse: return "browse";
    case dsEdit: return "edit";
    case dsInsert: return "insert";
    case dsSetKey: return "setkey";
    case dsCalcFields: return "calc";
    case dsFilter: return "filter";
    default: return "other";
  }
}

// A link that counts what it hears.
class CountingLink : public TDataLink {
 public:
  int Changes = 0, Scrolls = 0, RecordChanges = 0, StateChanges = 0, ActiveChanges = 0;

 protected:
  void ActiveChanged() override { ++ActiveChanges; }
  void DataSetChanged() override { ++Changes; }
  void DataSetScrolled(int) override { ++Scrolls; }
  void RecordChanged(TField*) override { ++RecordChanges; }
  void EditingChanged() override { ++StateChanges; }
};

class DataSetFixture {
 public:
  explicit DataSetFixture(int bufferCount, int rows) {
    ds.SetName("Table");
    for (int i = 1; i <= rows; ++i) ds.AddRow({i, "N" + std::to_string(i)});
    source.SetDataSet(&ds);
    link.SetBufferCount(bufferCount);
    link.SetDataSource(&source);
    auto log = [this](const char* name) {
      return [this, name](TDataSet* d) {
        events.push_back(std::string(name) + ":" + StateName(d->State()) + (d->Bof() ? ":B" : "") +
                         (d->Eof() ? ":E" : ""));
      };
    };
    ds.BeforeInsert = log("BeforeInsert");
    ds.AfterInsert = log("AfterInsert");
    ds.OnNewRecord = log("NewRecord");
    ds.BeforeEdit = log("BeforeEdit");
    ds.AfterEdit = log("AfterEdit");
    ds.BeforePost = log("BeforePost");
    ds.AfterPost = log("AfterPost");
    ds.BeforeCancel = log("BeforeCancel");
    ds.AfterCancel = log("AfterCancel");
    ds.BeforeDelete = log("BeforeDelete");
    ds.AfterDelete = log("AfterDelete");
    ds.BeforeScroll = log("BeforeScroll");
    ds.AfterScroll = log("AfterScroll");
    ds.BeforeClose = log("BeforeClose");
    ds.AfterClose = log("AfterClose");
    ds.Open();
    events.clear();
    ds.Calls.clear();
  }

  // Events logged since the last call.
  std::vector<std::string> TakeEvents() {
    std::vector<std::string> e;
    e.swap(events);
    return e;
  }

  int ActiveId() { return ds.IsEmpty() ? 0 : ds.FieldByName("ID")->AsInteger(); }

  // IDs of the table in display order.
  std::vector<int> TableIds() {
    std::vector<int> ids;
    for (int p = 0; p < ds.RowCount(); ++p) ids.push_back(ds.RowValue(p, 0).AsInteger());
    return ids;
  }

  // The record window as text: IDs, the active one in brackets, a buffer
  // without a record as '*'.
  std::string Window() {
    std::ostringstream out;
    for (int i = 0; i < ds.WindowRecordCount(); ++i) {
      if (i) out << ' ';
      std::string item = "*";
      if (ds.BufferFlag(i) == bfCurrent) {
        int old = ds.SetActiveRecordIndex(i);
        item = std::to_string(ds.FieldByName("ID")->AsInteger());
        ds.SetActiveRecordIndex(old);
      }
      out << (i == ds.ActiveRecord() ? "[" + item + "]" : item);
    }
    return out.str();
  }

  // The window must be a run of consecutive table records (plus at most
  // the record being inserted) holding the active record, as long as the
  // buffers or the table allow.
  void CheckWindow() {
    std::vector<int> table = TableIds();
    std::vector<int> ids;
    int inserted = 0;
    for (int i = 0; i < ds.WindowRecordCount(); ++i) {
      if (ds.BufferFlag(i) != bfCurrent) {
        ++inserted;
        continue;
      }
      int old = ds.SetActiveRecordIndex(i);
      ids.push_back(ds.FieldByName("ID")->AsInteger());
      ds.SetActiveRecordIndex(old);
    }
    ASSERT_LE(inserted, 1) << Window();
    int expectedSize = std::min<int>(ds.BufferCount(), static_cast<int>(table.size()) + inserted);
    EXPECT_EQ(ds.WindowRecordCount(), expectedSize) << Window();
    if (!ids.empty()) {
      auto start = std::find(table.begin(), table.end(), ids[0]);
      ASSERT_NE(start, table.end()) << Window();
      for (std::size_t k = 0; k < ids.size(); ++k) {
        ASSERT_LT(static_cast<std::size_t>(start - table.begin()) + k, table.size()) << Window();
        EXPECT_EQ(ids[k], *(start + static_cast<std::ptrdiff_t>(k))) << Window();
      }
    }
    if (!ds.IsEmpty()) { EXPECT_LT(ds.ActiveRecord(), ds.WindowRecordCount()); }
  }

  std::vector<std::string> events;
  TMemoryDataSet ds{{{"ID", ftInteger}, {"NAME", ftString, 10}}};
  TDataSource source{nullptr};
  CountingLink link;
};

// BOF/EOF and the active record in one comparable value.
struct Position {
  int Id;
  bool Bof;
  bool Eof;
  bool operator==(const Position&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Position& p) {
  return os << "{id " << p.Id << (p.Bof ? " BOF" : "") << (p.Eof ? " EOF" : "") << "}";
}

inline Position PositionOf(DataSetFixture& f) { return {f.ActiveId(), f.ds.Bof(), f.ds.Eof()}; }
