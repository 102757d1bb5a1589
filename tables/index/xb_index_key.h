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
//
// A decoded page (XBIndexPage) is the compact, read-only form in which an
// index file keeps the pages it has read (index_page_cache.h): the keys in
// one fixed-width array, no allocation per key. A node of a loaded path reads
// through such a page until it is changed; then it takes its own copy of the
// entries (Materialize) and the format writes it back from those.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Kind of value a key was made from: character keys compare as texts (with
// prefix matching on request), the others as whole fixed-width byte strings.
enum class XBKeyType : char { Character = 'C', Number = 'N', Date = 'D' };

// One entry seen in place: its key bytes, link and record.
struct XBKeyRef {
  std::string_view value;
  int32_t link = 0;
  int32_t record = 0;
};

struct XBobjIndexKeyData {
  std::string value;  // stored key bytes (character keys without trailing blanks)
  int32_t link = 0;
  int32_t record = 0;

  XBobjIndexKeyData() = default;
  XBobjIndexKeyData(std::string v, int32_t lnk, int32_t rec) : value(std::move(v)), link(lnk), record(rec) {}
  explicit XBobjIndexKeyData(const XBKeyRef& r) : value(r.value), link(r.link), record(r.record) {}
  bool Empty() const { return value.empty(); }
  XBKeyRef Ref() const { return XBKeyRef{value, link, record}; }
  // Takes the entry over, reusing the key's storage.
  void Assign(const XBKeyRef& r) {
    value.assign(r.value);
    link = r.link;
    record = r.record;
  }
};

// Compares stored keys as unsigned bytes. Character keys: a shorter key sorts
// first, or counts as equal to a longer one it prefixes when prefix is true.
// Number and date keys are compared whole, the missing trailing bytes of a
// shortened key counting as 0x00 (prefix is ignored for them).
int CompareIndexKeys(std::string_view a, std::string_view b, XBKeyType type, bool prefix);

struct XBobjIndexKey;

// A decoded page in compact form: the entries' keys in one array of
// fixed-width slots (the longest key's length), their links and records in
// another. Immutable once made; shared by the cache and the nodes reading it.
class XBIndexPage {
 public:
  // The entries, siblings and kind of a node as a format decoded them.
  explicit XBIndexPage(const XBobjIndexKey& node);

  int Count() const { return static_cast<int>(slots_.size()); }
  std::string_view Key(int i) const {
    const Slot& s = slots_[static_cast<size_t>(i)];
    return std::string_view(keys_.data() + static_cast<size_t>(i) * stride_, s.length);
  }
  XBKeyRef At(int i) const {
    const Slot& s = slots_[static_cast<size_t>(i)];
    return XBKeyRef{std::string_view(keys_.data() + static_cast<size_t>(i) * stride_, s.length), s.link, s.record};
  }
  bool Leaf() const { return leaf_; }
  int32_t Left() const { return left_; }
  int32_t Right() const { return right_; }
  // Memory the page holds, for the cache's bound.
  size_t Bytes() const;

 private:
  struct Slot {
    int32_t link;
    int32_t record;
    uint32_t length;
  };
  std::vector<char> keys_;
  std::vector<Slot> slots_;
  size_t stride_ = 0;
  int32_t left_ = -1;
  int32_t right_ = -1;
  bool leaf_ = true;
};

struct XBobjIndexKey {
  int64_t page = 0;    // page offset or number in the file
  int32_t left = -1;   // left sibling, -1 when none
  int32_t right = -1;  // right sibling, -1 when none
  bool leaf = true;
  int position = -1;     // entry the walk stands on, -1 before the first
  bool changed = false;  // must be written before it is dropped
  // The node's own entries; empty while it reads through `shared`.
  std::vector<XBobjIndexKeyData> keys;
  // While set: the node's entries are the first `sharedCount` of this page,
  // then `extra` when `hasExtra` (an entry a format adds from the path above,
  // see XBobjIndexTag::PageAttach).
  std::shared_ptr<const XBIndexPage> shared;
  int sharedCount = 0;
  bool hasExtra = false;
  XBobjIndexKeyData extra;

  int Count() const { return shared ? sharedCount + (hasExtra ? 1 : 0) : static_cast<int>(keys.size()); }
  XBKeyRef At(int i) const {
    if (!shared) return keys[static_cast<size_t>(i)].Ref();
    return i < sharedCount ? shared->At(i) : extra.Ref();
  }
  XBKeyRef Current() const { return At(position); }
  XBobjIndexKeyData Entry(int i) const { return XBobjIndexKeyData(At(i)); }
  // Reads through `page` from now on (siblings and kind from it, no position,
  // unchanged).
  void Share(int64_t pageId, std::shared_ptr<const XBIndexPage> page);
  // Copies the shared entries into `keys`, so that they can be changed.
  void Materialize();
};
