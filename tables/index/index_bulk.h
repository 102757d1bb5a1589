// Helpers shared by the index formats (.CDX, .NTX, .NDX, .MDX): little-endian
// field access, key texts, the whole-file lock and the bulk build.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/base/xb_variant.h"
#include "tables/index/xb_index.h"

class TxbSort;

namespace vx {

inline uint32_t GetLE32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline void PutLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutLE16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
double GetLEDouble(const uint8_t* p);
void PutLEDouble(uint8_t* p, double v);
// A zero-terminated text of at most `size` bytes.
std::string GetZText(const uint8_t* p, size_t size);
// A text stored in `size` bytes, the trailing fill (blanks or zeros) removed.
std::string GetFilledText(const uint8_t* p, size_t size);
// The root page number a tag header keeps little-endian at `position` of
// `file`; a failed read raises the file's damaged-index error naming `what`.
int64_t ReadHeaderRoot(XBobjIndexFile& file, int64_t position, const std::string& what);
// The key a character tag of the dBase formats (.NDX, .MDX) keeps for a
// value: a text as it is, a logical T or F, a number in std::to_string's
// form, a date as YYYYMMDD.
std::string DbaseCharacterKey(const IndexValue& value);

// Holds the whole-file lock of an index file for a scope; a refusal goes to
// the file's error hook with the given context.
class WholeFileLock {
 public:
  WholeFileLock(XBobjIndexFile& file, int context) : file_(file) {
    locked_ = file_.Disk()->LockRegion(0, 0x7FFFFFFF);
    if (!locked_) {
      file_.FoundError(xbErrLockRefused, context, file_.ShownName());
      file_.Refuse("Index file is locked - " + file_.ShownName());
    }
  }
  ~WholeFileLock() {
    if (locked_) file_.Disk()->UnlockRegion();
  }
  WholeFileLock(const WholeFileLock&) = delete;
  WholeFileLock& operator=(const WholeFileLock&) = delete;

 private:
  XBobjIndexFile& file_;
  bool locked_ = false;
};

// Every key of a tag's table in index order, through the sort engine: reads
// every record (deleted ones too) when made, keeps those that pass the FOR
// expression, and then gives their keys back rising, or falling when
// `descending`; equal keys by rising record; only the first of equal keys
// when the tag is unique. The keys wait in the sorter's pages, not in an
// allocation each. Tells the table's status hook about the reading and
// announces the writing (-1, 2, record count).
class IndexKeyStream {
 public:
  IndexKeyStream(XBobjIndexTag& tag, bool descending);
  ~IndexKeyStream();
  IndexKeyStream(const IndexKeyStream&) = delete;
  IndexKeyStream& operator=(const IndexKeyStream&) = delete;

  // The next key (in its stored form, valid until the next call) and its
  // record; false when none is left.
  bool Next(std::string_view& key, int32_t& record);
  // The table's record count when the keys were read.
  int32_t Records() const { return records_; }

 private:
  std::unique_ptr<TxbSort> sorter_;
  TxbVariant value_;
  int32_t records_ = 0;
};

// Lays the keys of `keys` out as a B+-tree whose interior entries hold the
// highest key of their child: full leaves, then interior levels of at most
// maxKeys + 1 children, evenly filled, written bottom up. `allocate` hands
// out page numbers; `write` stores a node (its left field is the previous
// page of the same level, -1 for the first). Tells the status hook (2, n, 0)
// per key. Returns the root page; no keys give one empty leaf.
int64_t BuildIndexTree(IndexKeyStream& keys, int maxKeys, IndexTableLink* table,
                       const std::function<int64_t()>& allocate,
                       const std::function<void(const XBobjIndexKey&)>& write);

}  // namespace vx
