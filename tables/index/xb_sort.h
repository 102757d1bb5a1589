// TxbSort: orders the keys of a whole table in memory for a bulk index build.
//
// A builder creates the sorter, hands it every (key, record number) with
// InsertItem, then drains it with GetNextItem. Nothing goes to disk and no
// key gets an allocation of its own:
//
//  - Keys inserted last sit in a key area of 32 pages of 40960 bytes, each
//    key in its sortable byte form (below) with a slot of (first 8 bytes,
//    offset, record number). When the area is full the slots are sorted and
//    the keys are written out as a sorted run, and the area is used again.
//  - A run is a list of 16384-byte pages of packed items; an item shares its
//    leading bytes with the item before it (prefix compression):
//
//      offset  size  meaning
//      0       1     value type: 16 raw, 32 text, 48 number, 64 date
//                    (0 ends the items of a page)
//      1       1     key length L (0..240)
//      2       1     count n of trailing key bytes stored; the first L - n
//                    bytes are those of the previous item of the run
//      3       n     the trailing key bytes
//      3+n     4     record number, most significant byte first
//
//  - The first GetNextItem writes the key area as a last run, frees the area
//    and stops accepting keys; each call then takes the smallest current item
//    of all runs (the greatest when descending) and moves that run on.
//
// Sortable byte forms: text loses its trailing blanks (cut to the key length
// first); a number is its double with the sign bit set when clear and every
// bit inverted when set, most significant byte first, with trailing zero
// bytes dropped for numbers that are not negative (-0 counts as 0); a date is
// its day number with the sign bit flipped, most significant byte first; raw
// bytes are cut to the key length. Keys compare as unsigned bytes (text
// through the collating table when one is set; equal collated texts then by
// their bytes), a key that is a prefix of another is smaller, and equal keys
// come back in record-number order in both directions.
//
// With the unique setting a key equal to the previous one returned is
// skipped, so only the first record of each key comes back.
//
// Failures raise EXBaseError.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "tables/base/xb_variant.h"

// One sorted run: items packed into 16384-byte pages (layout above), written
// once in order, then read once from the start. The item being read is
// rebuilt in a work value.
class TxbPageCollection {
 public:
  static constexpr std::size_t kPageBytes = 16384;
  static constexpr int kMaxKey = 240;

  // Appends an item; keys longer than 240 bytes are cut.
  void Append(std::uint8_t type, const std::uint8_t* key, int length, std::uint32_t record);
  // Moves to the next item; false at the end. Pages read to their end are
  // freed.
  bool ReadNext();

  // The current item.
  std::uint8_t Type() const { return type_; }
  int Length() const { return length_; }
  const std::uint8_t* Key() const { return work_.data(); }
  std::uint32_t Record() const { return record_; }

  std::size_t PageCount() const { return pages_.size(); }

 private:
  std::vector<std::unique_ptr<std::uint8_t[]>> pages_;
  std::size_t writePos_ = kPageBytes;  // in the last page
  std::size_t readPage_ = 0;
  std::size_t readPos_ = 0;
  std::array<std::uint8_t, 256> work_{};  // the previous or current key
  int length_ = 0;
  std::uint8_t type_ = 0;
  std::uint32_t record_ = 0;
};

class TxbSort {
 public:
  static constexpr int kMaxKeyLength = 240;
  static constexpr std::size_t kAreaPageBytes = 40960;
  static constexpr std::size_t kAreaPages = 32;
  static constexpr std::size_t kRunPageBytes = 16384;

  // Item type bytes of the run format.
  static constexpr std::uint8_t kItemRaw = 16;
  static constexpr std::uint8_t kItemText = 32;
  static constexpr std::uint8_t kItemNumber = 48;
  static constexpr std::uint8_t kItemDate = 64;

  // A key length above 240 raises "Sort key length greater than 240 bytes".
  // recordCountHint only sizes the first allocations.
  TxbSort(int keyLength, int recordCountHint, bool ascending, bool unique);
  virtual ~TxbSort();
  TxbSort(const TxbSort&) = delete;
  TxbSort& operator=(const TxbSort&) = delete;

  // A 256-byte table through which text keys compare; null for none. Must
  // be set before the first key.
  void SetCollatingTable(const std::uint8_t* table);

  // Adds a key of type text, number, date or raw ("Variant type cannot be
  // sorted" otherwise); after the first GetNextItem raises "Cannot add sort
  // keys after beginning retrieval".
  void InsertItem(const TxbVariant& key, std::int32_t recordNumber);

  // The next key and its record number in the chosen order; false when no
  // key is left. Text keys come back without trailing blanks.
  bool GetNextItem(TxbVariant& key, std::int32_t& recordNumber);

  int KeyLength() const { return keyLength_; }
  bool Ascending() const { return ascending_; }
  bool Unique() const { return unique_; }
  std::int64_t InsertCount() const { return inserted_; }

 private:
  struct Slot {
    std::uint64_t prefix;  // first 8 compared bytes, big-endian, zero padded
    std::uint32_t offset;  // of the key in the area: type, length, bytes
    std::uint32_t record;
  };
  struct KeyView {
    std::uint8_t type;
    std::uint8_t length;
    const std::uint8_t* bytes;
    std::uint64_t prefix;
    std::uint32_t record;
  };

  std::uint64_t Prefix(std::uint8_t type, const std::uint8_t* bytes, int length) const;
  // Key order only (no record number), ascending sense.
  int CompareKeys(const KeyView& a, const KeyView& b) const;
  // Full order in the chosen direction: true when a comes before b.
  bool Before(const KeyView& a, const KeyView& b) const;
  KeyView SlotView(const Slot& slot) const;
  void WriteRun();
  void StartRetrieval();

  int keyLength_;
  bool ascending_;
  bool unique_;
  bool accepting_ = true;
  std::int64_t inserted_ = 0;
  bool hasCollation_ = false;
  std::array<std::uint8_t, 256> collation_{};

  std::unique_ptr<std::uint8_t[]> area_;  // kAreaPages * kAreaPageBytes
  std::size_t areaUsed_ = 0;
  std::vector<Slot> slots_;

  KeyView RunView(int run) const;

  std::vector<std::unique_ptr<TxbPageCollection>> runs_;
  std::vector<std::uint64_t> runPrefix_;  // Prefix of each run's current item
  std::vector<int> heap_;                 // runs with an item, the first in order on top

  bool haveLast_ = false;
  std::array<std::uint8_t, kMaxKeyLength> lastKey_{};
  int lastLength_ = 0;
};
