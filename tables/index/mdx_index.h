// Multiple index files (".MDX"): up to 47 tags of one table, in blocks of
// 1024 bytes. Positions count 512-byte units (unit u at byte u * 512); a block
// is 2 units. Numbers are little-endian.
//
// File header (offset 0, 2048 bytes with the tag table):
//
//   offset | size | field
//   -------+------+---------------------------------------------------------
//   0      | 1    | version: 2
//   1      | 3    | date of the last change: year mod 100, month, day
//   4      | 16   | first 8 characters of the table name, zero-terminated
//   20     | 2    | units per block: 2
//   22     | 2    | block length in bytes: 1024
//   24     | 1    | production flag: 1
//   25     | 1    | entries in the tag table: 48
//   26     | 2    | length of a tag table entry: 32
//   28     | 2    | number of tags in use
//   32     | 4    | next free unit (4 in a new file)
//   44     | 3    | date of creation: year mod 100, month, day
//   512    | 1536 | tag table: entry 0 heads the chain, entry i at 512 + 32 i
//
// Tag table entry (32 bytes): 0 header unit (4); 4 tag name, zero-terminated
// (at most 10 characters); 17 number of the next entry (0 after the last);
// 19 the value 2; 20 key type. Tags stand in ascending order of their names.
// Entry 47 would overlap the first tag header, so a file holds 47 tags.
//
// Tag header (one block):
//
//   offset | size | field
//   -------+------+---------------------------------------------------------
//   0      | 4    | root unit
//   8      | 1    | options: 0x10, + 0x40 unique, + 0x08 descending
//   9      | 1    | key type 'C', 'N' or 'D'
//   12     | 2    | key length (12 numeric, 8 date)
//   14     | 2    | maximum keys per block: (1024 - 8) div entry size - 1
//   18     | 2    | entry size: key length + 4 rounded up to a multiple of 4
//   23     | 1    | 0x40 when unique
//   24     | 221  | key expression, zero-terminated
//   245    | 1    | 1 when there is a FOR expression
//   246    | 1    | 1
//   248    | 4    | first block allocated for the tag's pages
//   252    | 4    | last block allocated for the tag's pages
//   762    | 262  | FOR expression, zero-terminated
//
// Block: 0 key count n (4); 4 left neighbour (4, 0 when none); from 8,
// entries: record number (leaf) or child unit (4), then the key (character
// keys filled with blanks, dates an 8-byte double, numbers 12 bytes BCD).
// An interior block has n keys and n + 1 children, the pointer at entry n
// standing alone; each interior key is the highest key of its child.
//
// Numeric key: byte 0 decimal exponent + 0x34; byte 1 digit count * 4 + 1,
// + 0x80 when negative; bytes 2..11 the digits, two per byte, high half
// first (at most 16, the shortest that give the value back). Zero is 34 01;
// exponents above 15 store fifteen nines with exponent 15.
//
// Descending tags keep their keys falling. In memory numbers and dates take
// the order-preserving form of cdx_keys.h (numbers after passing through
// BCD, so compare what the file holds); an empty date is 1.0E100.
#pragma once

#include <cstdint>
#include <string>

#include "tables/index/xb_index.h"

namespace vx {
void MdxNumberToBcd(double value, uint8_t out[12]);
double MdxNumberFromBcd(const uint8_t in[12]);
}  // namespace vx

class XBobjMDXFile;

class XBobjMDXTag : public XBobjIndexTag {
 public:
  XBobjMDXTag(XBobjMDXFile* file, std::string name, int64_t headerUnit);

  void TagCreate(const std::string& keyExpr, bool unique, bool ascending, const std::string& forExpr) override;
  int64_t HeaderRoot() override;
  void PageLoad(int64_t page, XBobjIndexKey& node) override;
  void PageStore(size_t depth) override;
  void TagLoad() override;
  void TagStore() override;
  void ValueToKey(const vx::IndexValue& value, std::string& key) override;
  void PageRelink(int64_t page, bool setLeft, int32_t left, bool setRight, int32_t right) override;

  int EntrySize() const { return entrySize_; }
  int MaxKeys() const { return maxKeys_; }
  uint32_t FirstBlock() const { return firstBlock_; }
  uint32_t LastBlock() const { return lastBlock_; }

 private:
  friend class XBobjMDXFile;
  friend class XBobjSortMDX;
  void WriteBlock(const XBobjIndexKey& node);
  void EncodeKey(const std::string& key, uint8_t* out) const;
  std::string DecodeKey(const uint8_t* in) const;
  void SetShape(XBKeyType type, int length);
  int64_t NewBlock();
  void ForgetChain() { Path().clear(); }

  XBobjMDXFile* mdx_;
  uint32_t firstBlock_ = 0;
  uint32_t lastBlock_ = 0;
};

class XBobjMDXFile : public XBobjIndexFile {
 public:
  static constexpr int kMaxTags = 47;

  explicit XBobjMDXFile(vx::IndexTableLink* table);
  // Writes the tag count, the next free unit and today's date into the
  // header when tags were added or deleted.
  ~XBobjMDXFile() override;

  // Opens or creates the file (default extension ".MDX"). A header or tag
  // header that fails its checks leaves the file unusable. False when the
  // file does not exist.
  bool Create(const std::string& fileName, bool overwrite, bool create, bool shared, bool writable);
  void Close();

  // Refuses (EXBaseError) names of more than 10 characters and a 48th tag.
  XBobjIndexTag* TagAdd(const XBTagDefinition& definition) override;
  bool TagDelete(const std::string& name) override;
  int64_t AllocatePage() override;
  int64_t ReadEndOfFile() override;
  void Reindex() override;
  bool Rename(const std::string& newName) override;
  // Keeps the header's next free unit in step with the pages taken, so that
  // other programs allocate behind them.
  bool KeyUpdateAll(int32_t record, bool appending) override;

  int BlockBytes() const { return blockBytes_; }

 private:
  void NewHeader();
  void ReadHeader();
  void WriteTagTable();
  std::string TableName8() const;

  int blockBytes_ = 1024;
  int unitsPerBlock_ = 2;
  bool tagsChanged_ = false;
};

// Writes a whole tag from the table's keys in sorted order: full leaves, then
// interior levels, the root last.
class XBobjSortMDX {
 public:
  explicit XBobjSortMDX(XBobjMDXTag& tag) : tag_(tag) {}
  void Build();

 private:
  XBobjMDXTag& tag_;
};
