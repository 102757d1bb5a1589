// The random-update model shared by the index model tests of every format:
// random records for the test expressions, a multiset model of the entries a
// tag must hold, and one random step (append, change or remove) applied to
// the table, the tag and the model alike.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tables/index/xb_index.h"
#include "tests/tables/index/index_test_table.h"

namespace vx::test {

using ModelEntries = std::vector<std::pair<std::string, int32_t>>;

// A record for "YEAR+(0.001*DRAW)", "DAY" or "NAME", with a logical KEEP for
// the FOR expression. emptyDates: about one date in fifty is empty.
inline IndexTestTable::Record RandomModelRecord(std::mt19937& rng, const std::string& expr, bool emptyDates) {
  IndexTestTable::Record r;
  if (expr == "YEAR+(0.001*DRAW)") {
    r["YEAR"] = IndexTestTable::Num(static_cast<double>(static_cast<int>(rng() % 60) - 20));
    r["DRAW"] = IndexTestTable::Num(static_cast<double>(rng() % 120));
  } else if (expr == "DAY") {
    if (emptyDates) {
      r["DAY"] = IndexTestTable::Day(rng() % 50 == 0 ? 0 : static_cast<int32_t>(2450000 + rng() % 400));
    } else {
      r["DAY"] = IndexTestTable::Day(static_cast<int32_t>(2450000 + rng() % 400));
    }
  } else {
    static const char alphabet[] = "AB C";
    std::string s;
    const size_t len = rng() % 21;
    for (size_t i = 0; i < len; ++i) s.push_back(alphabet[rng() % 4]);
    s.resize(20, ' ');
    r["NAME"] = IndexTestTable::Text(s);
  }
  r["KEEP"] = IndexTestTable::Bool(rng() % 3 != 0);
  return r;
}

// The (key, record) entries a tag must hold; a unique tag keeps the first of
// equal keys.
class IndexModel {
 public:
  IndexModel(XBKeyType type, bool unique) : type_(type), unique_(unique) {}
  bool Has(const std::string& key, int32_t rec) const { return Find(key, rec) != entries_.end(); }
  void Add(const std::string& key, int32_t rec) {
    if (unique_ && std::any_of(entries_.begin(), entries_.end(),
                               [&](const auto& e) { return CompareIndexKeys(e.first, key, type_, false) == 0; })) {
      return;
    }
    entries_.emplace_back(key, rec);
  }
  void Remove(const std::string& key, int32_t rec) {
    auto it = Find(key, rec);
    if (it != entries_.end()) entries_.erase(it);
  }
  // Sorted by (key, record).
  ModelEntries Sorted() const {
    ModelEntries v = entries_;
    std::sort(v.begin(), v.end(), [this](const auto& a, const auto& b) {
      const int c = CompareIndexKeys(a.first, b.first, type_, false);
      return c != 0 ? c < 0 : a.second < b.second;
    });
    return v;
  }

 private:
  ModelEntries::const_iterator Find(const std::string& key, int32_t rec) const {
    return std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) {
      return e.second == rec && CompareIndexKeys(e.first, key, type_, false) == 0;
    });
  }
  XBKeyType type_;
  bool unique_;
  ModelEntries entries_;
};

// Drives one tag of a table through random steps and keeps the model in step.
class IndexModelRun {
 public:
  // update(record, appending) passes a new or changed record to the index.
  using Update = std::function<bool(int32_t, bool)>;

  IndexModelRun(IndexTestTable& table, XBobjIndexTag& tag, std::string expr, bool withFor, bool unique, bool emptyDates)
      : model(tag.KeyType(), unique),
        table_(table),
        tag_(tag),
        expr_(std::move(expr)),
        withFor_(withFor),
        unique_(unique),
        emptyDates_(emptyDates) {
    for (int32_t rec = 1; rec <= table_.RecordCount(); ++rec) {
      bool include;
      const std::string k = KeyOf(table_.records[static_cast<size_t>(rec - 1)], include);
      if (include) model.Add(k, rec);
    }
  }

  // The tag's key of a record, and whether the FOR expression takes it.
  std::string KeyOf(const IndexTestTable::Record& r, bool& include) const {
    IndexTestTable scratch;
    scratch.Append(r);
    auto e = scratch.Compile(expr_);
    include = !withFor_ || r.at("KEEP").logical;
    return tag_.MakeKey(e->Evaluate()).value;
  }

  // Step `step` of `steps`: insert-heavy in the first half, delete-heavy in
  // the second, so that pages empty again. `acted` turns false when the step
  // found nothing to remove and did nothing. A failed update or removal is a
  // fatal failure of the running test (the caller checks HasFatalFailure).
  void Step(std::mt19937& rng, int step, int steps, const Update& update, bool& acted) {
    acted = true;
    const XBKeyType type = tag_.KeyType();
    const int roll = static_cast<int>(rng() % 10);
    const bool late = step > steps / 2;
    if (roll < (late ? 2 : 5)) {
      const int32_t rec = table_.Append(RandomModelRecord(rng, expr_, emptyDates_));
      bool include;
      const std::string k = KeyOf(table_.records.back(), include);
      ASSERT_TRUE(update(rec, true));
      if (include) model.Add(k, rec);
    } else if (roll < (late ? 4 : 8)) {
      const int32_t rec = static_cast<int32_t>(1 + rng() % static_cast<uint32_t>(table_.RecordCount()));
      table_.Go(rec);
      bool oldInclude, newInclude;
      const std::string oldKey = KeyOf(table_.oldImage, oldInclude);
      IndexTestTable::Record changed = RandomModelRecord(rng, expr_, emptyDates_);
      if (rng() % 4 == 0) changed = table_.oldImage, changed["KEEP"] = IndexTestTable::Bool(rng() % 2 == 0);
      table_.records[static_cast<size_t>(rec - 1)] = changed;
      const std::string newKey = KeyOf(changed, newInclude);
      const bool found = model.Has(oldKey, rec);
      if (!found && oldInclude && !unique_) {
        // Its entry went in a removal below, behind the table's back: the
        // index does not match the table, and the edit is refused.
        EXPECT_THROW(update(rec, false), EXBaseError);
        table_.records[static_cast<size_t>(rec - 1)] = table_.oldImage;
        return;
      }
      ASSERT_TRUE(update(rec, false));
      if (CompareIndexKeys(oldKey, newKey, type, false) == 0 && newInclude) {
        if (!found) model.Add(newKey, rec);
      } else {
        if (found) model.Remove(oldKey, rec);
        if (newInclude) model.Add(newKey, rec);
      }
    } else {
      const auto entries = model.Sorted();
      if (entries.empty()) {
        acted = false;
        return;
      }
      const auto& victim = entries[rng() % entries.size()];
      ASSERT_TRUE(tag_.KeyRemove(XBobjIndexKeyData(victim.first, victim.second, victim.second)));
      model.Remove(victim.first, victim.second);
    }
  }

  IndexModel model;

 private:
  IndexTestTable& table_;
  XBobjIndexTag& tag_;
  std::string expr_;
  bool withFor_;
  bool unique_;
  bool emptyDates_;
};

}  // namespace vx::test
