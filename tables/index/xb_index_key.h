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
#include <cstring>
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
inline int CompareIndexKeys(std::string_view a, std::string_view b, XBKeyType type, bool prefix) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  const int c = common ? std::memcmp(a.data(), b.data(), common) : 0;
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  if (type != XBKeyType::Character) {
    // The longer key's remaining bytes against implicit zero bytes.
    const std::string_view longer = a.size() > b.size() ? a : b;
    for (size_t i = common; i < longer.size(); ++i) {
      if (longer[i] != 0) return a.size() > b.size() ? 1 : -1;
    }
    return 0;
  }
  if (a.size() < b.size()) return prefix ? 0 : -1;
  return 1;
}

struct XBobjIndexKey;

// A decoded page in compact form: the entries' keys in one array of
// fixed-width slots (each a 2-byte length, then the key padded with zero
// bytes to the longest key's length, at least 8), their links and records
// in another. Immutable once made; shared by the cache and the nodes
// reading it.
class XBIndexPage {
 public:
  // The entries, siblings and kind of a node as a format decoded them.
  explicit XBIndexPage(const XBobjIndexKey& node);

  int Count() const { return static_cast<int>(slots_.size()); }
  std::string_view Key(int i) const {
    const char* p = keys_.data() + static_cast<size_t>(i) * stride_;
    uint16_t length;
    std::memcpy(&length, p, 2);
    return std::string_view(p + 2, length);
  }
  // Key i's first 8 bytes (zero bytes past its end) as a big-endian number:
  // keys up to 8 bytes long compare as these numbers, the missing bytes
  // counting as 0x00.
  uint64_t Head(int i) const {
    uint64_t v;
    std::memcpy(&v, keys_.data() + static_cast<size_t>(i) * stride_ + 2, 8);
    return __builtin_bswap64(v);
  }
  int32_t Record(int i) const { return slots_[static_cast<size_t>(i)].record; }
  // Whether every key is at most 8 bytes long.
  bool Short() const { return stride_ <= 10; }
  XBKeyRef At(int i) const {
    const Slot& s = slots_[static_cast<size_t>(i)];
    return XBKeyRef{Key(i), s.link, s.record};
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
  // At(i).record without the key.
  int32_t RecordAt(int i) const {
    if (!shared) return keys[static_cast<size_t>(i)].record;
    return i < sharedCount ? shared->Record(i) : extra.record;
  }
  XBobjIndexKeyData Entry(int i) const { return XBobjIndexKeyData(At(i)); }
  // Reads through `page` from now on (siblings and kind from it, no position,
  // unchanged).
  void Share(int64_t pageId, std::shared_ptr<const XBIndexPage> page);
  // Copies the shared entries into `keys`, so that they can be changed.
  void Materialize();
};
