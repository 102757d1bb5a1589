// The decoded pages an index file has read, kept by page number so that a
// seek or a walk does not read and decode them again.
//
// Pages are held in compact form (XBIndexPage) and shared with the nodes of
// the tags' loaded paths. The cache is bounded by the memory its pages hold
// (IndexPageCacheSize bytes per file): when a new page passes the bound, the
// least recently used pages leave until a quarter of it is free. Its owner
// drops pages whenever it writes over them and drops them all when it cannot
// tell what changed (see XBobjIndexFile).
//
// A lookup is one probe sequence in an open-addressed table of page numbers;
// a hit only stamps the page with a use count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "tables/index/xb_index_key.h"

namespace vx {

class IndexPageCache {
 public:
  explicit IndexPageCache(size_t limitBytes) : limit_(limitBytes) {}

  // The page held under `page`, marked as just used; null when none.
  std::shared_ptr<const XBIndexPage> Find(int64_t page);
  // Keeps the page (replacing one held under the same number) and keeps the
  // bound.
  void Keep(int64_t page, std::shared_ptr<const XBIndexPage> decoded);
  void Drop(int64_t page);
  void Clear();
  void SetLimit(size_t limitBytes);

  size_t Bytes() const { return bytes_; }
  size_t Pages() const { return count_; }

 private:
  // One place of the open-addressed table (linear probing); empty while
  // `decoded` is null. The table is a power of two at least twice the pages.
  struct Slot {
    int64_t page = 0;
    std::shared_ptr<const XBIndexPage> decoded;
    uint64_t used = 0;
  };
  // The position holding `page`, or the empty position where it would go.
  size_t Probe(int64_t page) const;
  void Grow();
  void Remove(size_t position);
  void Trim(size_t target);

  size_t limit_;
  size_t bytes_ = 0;
  size_t count_ = 0;
  uint64_t clock_ = 0;
  std::vector<Slot> table_;
};

}  // namespace vx
