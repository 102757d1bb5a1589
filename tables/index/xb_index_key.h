// Keys and in-memory nodes shared by every index format.
//
// A key value (XBobjIndexKeyData) is the stored form of one index key: its
// bytes, the kind of value it came from, the link (record number in a leaf,
// child page in an interior entry) and the record number that interior
// entries of compound indexes carry as well.
//
// A node (XBobjIndexKey) mirrors one index page: its entries in key order,
// its siblings and the position of the entry the tag stands on. The tag keeps
// one path of nodes from the root to the current leaf (see xb_index.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Kind of value a key was made from: character keys compare as texts (with
// prefix matching on request), the others as whole fixed-width byte strings.
enum class XBKeyType : char { Character = 'C', Number = 'N', Date = 'D' };

struct XBobjIndexKeyData {
  std::string value;  // stored key bytes (character keys without trailing blanks)
  int32_t link = 0;
  int32_t record = 0;

  XBobjIndexKeyData() = default;
  XBobjIndexKeyData(std::string v, int32_t lnk, int32_t rec) : value(std::move(v)), link(lnk), record(rec) {}
  bool Empty() const { return value.empty(); }
};

// Compares stored keys as unsigned bytes. Character keys: a shorter key sorts
// first, or counts as equal to a longer one it prefixes when prefix is true.
// Number and date keys are compared whole, the missing trailing bytes of a
// shortened key counting as 0x00 (prefix is ignored for them).
int CompareIndexKeys(const std::string& a, const std::string& b, XBKeyType type, bool prefix);

struct XBobjIndexKey {
  int64_t page = 0;    // page offset or number in the file
  int32_t left = -1;   // left sibling, -1 when none
  int32_t right = -1;  // right sibling, -1 when none
  bool leaf = true;
  int position = -1;     // entry the walk stands on, -1 before the first
  bool changed = false;  // must be written before it is dropped
  std::vector<XBobjIndexKeyData> keys;

  int Count() const { return static_cast<int>(keys.size()); }
  const XBobjIndexKeyData& Current() const { return keys[static_cast<size_t>(position)]; }
};
