// Single-tag index files (".NDX"): one tag in 512-byte blocks, addressed by
// block number (block b at byte offset b * 512). Numbers are little-endian.
//
// Header (block 0):
//
//   offset | size | field
//   -------+------+---------------------------------------------------------
//   0      | 4    | root block
//   4      | 4    | blocks in use (the next block to hand out)
//   8      | 4    | zero, except byte 9: key type 'C', or 'N' for numbers and dates
//   12     | 2    | key length (8 for numeric and date keys)
//   14     | 2    | maximum keys per block
//   16     | 2    | key kind: 1 numeric or date, 0 character
//   18     | 2    | entry size: key length + 8 rounded up to a multiple of 4
//   20     | 3    | zero
//   23     | 1    | 1 = unique
//   24     | 488  | key expression, zero-terminated
//
// Block: offset 0 the 32-bit key count n; from offset 4, entries of entry
// size: child block (4, 0 in a leaf), record number (4, 0 in an interior
// block), key (character keys filled with blanks, numeric and date keys an
// 8-byte IEEE double). An interior block has n keys and n + 1 children: the
// child pointer of entry n stands alone. Each interior key is the highest key
// of its child. A block is a leaf when its first child pointer is 0.
//
// In memory numbers and dates take the order-preserving form of cdx_keys.h;
// an empty date is 1.0E100 so that it sorts after every date. The tag has no
// descending order and no FOR expression.
#pragma once

#include <string>

#include "tables/index/xb_index.h"

class XBobjNDXFile;

class XBobjNDXTag : public XBobjIndexTag {
 public:
  XBobjNDXTag(XBobjNDXFile* file, std::string name);

  void TagCreate(const std::string& keyExpr, bool unique, bool ascending, const std::string& forExpr) override;
  int64_t HeaderRoot() override;
  void PageLoad(int64_t page, XBobjIndexKey& node) override;
  void PageStore(size_t depth) override;
  void TagLoad() override;
  void TagStore() override;
  void ValueToKey(const vx::IndexValue& value, std::string& key) override;
  void PageRelink(int64_t, bool, int32_t, bool, int32_t) override {}  // blocks carry no sibling links

  int EntrySize() const { return entrySize_; }
  int MaxKeys() const { return maxKeys_; }

 private:
  friend class XBobjNDXFile;
  friend class XBobjSortNdx;
  void WriteBlock(const XBobjIndexKey& node);
  void EncodeKey(const std::string& key, uint8_t* out) const;
  std::string DecodeKey(const uint8_t* in) const;
  void SetShape(XBKeyType type, int length);
  void MarkChanged() { changed_ = true; }
  void ForgetChain() { Path().clear(); }

  XBobjNDXFile* ndx_;
};

class XBobjNDXFile : public XBobjIndexFile {
 public:
  static constexpr int kBlockSize = 512;  // part of the file format

  explicit XBobjNDXFile(vx::IndexTableLink* table);
  ~XBobjNDXFile() override;

  // Opens or creates the file (default extension ".NDX"). An existing file
  // gets its one tag, named after the file; a header that fails its checks
  // leaves the file unusable. False when the file does not exist.
  bool Create(const std::string& fileName, bool overwrite, bool create, bool shared, bool writable);

  XBobjIndexTag* TagAdd(const XBTagDefinition& definition) override;
  bool TagDelete(const std::string&) override { return false; }
  int64_t AllocatePage() override;
  int64_t ReadEndOfFile() override;
  void Reindex() override;
  // Truncates the file to a header and one empty root block.
  void Empty();

 private:
  XBobjNDXTag* Tag() const;
};

// Writes a whole tag from the table's keys in sorted order: full leaves, then
// interior levels, the root last.
class XBobjSortNdx {
 public:
  explicit XBobjSortNdx(XBobjNDXTag& tag) : tag_(tag) {}
  void Build();

 private:
  XBobjNDXTag& tag_;
};
