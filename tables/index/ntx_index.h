// Single-tag index files (".NTX"): one tag in pages of 1024 bytes, a true
// B-tree: every key is stored once, interior keys between the subtrees that
// they separate. Page references are byte offsets (multiples of 1024);
// numbers are little-endian.
//
// Header (offset 0, 1024 bytes):
//
//   offset | size | field
//   -------+------+---------------------------------------------------------
//   0      | 2    | signature: 6, or 7 with a FOR expression
//   2      | 2    | version counter, 1..32767, raised on every record update
//   4      | 4    | root page offset
//   8      | 4    | zero
//   12     | 2    | entry size: key length + 8
//   14     | 2    | key length
//   16     | 2    | decimals of a numeric key
//   18     | 2    | maximum keys per page: 2 * half page
//   20     | 2    | half page: ((1020 div (entry size + 2)) - 1) div 2
//   22     | 256  | key expression, zero-terminated
//   278    | 1    | 1 = unique
//   279    | 1    | 1 = descending (keys stored falling)
//   280    | 2    | zero
//   282    | 742  | FOR expression, zero-terminated
//
// Page: offset 0 the key count n (2); offset 2 a table of maximum + 1 item
// offsets (2 each) within the page, written in order: item i at
// (maximum + 2) * 2 + i * entry size. Item: child page offset (4, 0 in a
// leaf), record number (4), key (character keys filled with blanks). An
// interior page holds n keys and n + 1 children; item n carries only the last
// child. A page is a leaf when the child of its first item is 0. Items are
// always found through the offset table.
//
// Keys: character keys as text; dates "yyyymmdd" ("00000000" when empty);
// numbers right-aligned in key length characters with the tag's decimals,
// blanks as '0', every digit c of a negative number replaced by 0x5C - c
// ("-42" in 9 places: ",,,,,,,(*"); a number too wide for the key is all '*'.
//
// The common tag walks B+-trees whose interior entries hold the highest key
// of their child. This file shows it the B-tree that way: an interior page
// becomes one entry per child, keyed by the separator that follows the child
// (the last child by the separator inherited from above), and the leaf at the
// right end of each separator's left subtree shows that separator as its own
// last entry. Storing a page undoes the view: a leaf's shown separator stays
// with the page above, and a split moves the median key up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tables/index/xb_index.h"

namespace vx {

// Tables that know the width and decimals of a numeric field implement this
// beside IndexTableLink; an NTX numeric key on a bare field name takes them.
class IndexFieldShape {
 public:
  virtual ~IndexFieldShape() = default;
  virtual bool NumericFieldShape(const std::string& name, int& width, int& decimals) const = 0;
};

std::string NtxNumberKey(double value, int width, int decimals);
// The same into key, reusing its storage.
void NtxNumberKey(double value, int width, int decimals, std::string& key);

}  // namespace vx

class XBobjNTXFile;

class XBobjNTXTag : public XBobjIndexTag {
 public:
  XBobjNTXTag(XBobjNTXFile* file, std::string name);

  void TagCreate(const std::string& keyExpr, bool unique, bool ascending, const std::string& forExpr) override;
  int64_t HeaderRoot() override;
  void PageLoad(int64_t page, XBobjIndexKey& node) override;
  void PageDecode(int64_t page, XBobjIndexKey& node) override;
  void PageAttach(XBobjIndexKey& node) override;
  void PageStore(size_t depth) override;
  void TagLoad() override;
  void TagStore() override;
  void ValueToKey(const vx::IndexValue& value, std::string& key) override;
  bool ValueGivesKey(const vx::IndexValue& value, const std::string& key) override;
  void PageRelink(int64_t, bool, int32_t, bool, int32_t) override {}  // pages carry no sibling links

  int Decimals() const { return decimals_; }
  int MaxKeys() const { return maxKeys_; }
  int HalfPage() const { return maxKeys_ / 2; }

 private:
  friend class XBobjNTXFile;
  friend class XBobjSortNTX;
  struct Item {
    uint32_t child;
    int32_t record;
    std::string key;
  };
  void ReadItems(int64_t page, std::vector<Item>& items);
  void WritePage(int64_t page, const std::vector<Item>& items, uint32_t lastChild);
  void WriteNode(const XBobjIndexKey& node, bool showsSeparator);
  // A view of an entry of the path: valid until that node changes.
  std::optional<XBKeyRef> SeparatorAbove(size_t depth) const;
  std::string Top() const;
  bool RightEndHolds(const XBobjIndexKeyData& bound, int64_t& leaf, std::vector<Item>& items);
  bool RebalanceEmptyLeaf(size_t depth);
  void SetShape(XBKeyType type, int length, int decimals);
  void ForgetChain() { Path().clear(); }

  XBobjNTXFile* ntx_;
  int decimals_ = 0;
  bool orphanPending_ = false;
  XBobjIndexKeyData orphan_;
};

class XBobjNTXFile : public XBobjIndexFile {
 public:
  static constexpr int kPageSize = 1024;  // part of the file format

  explicit XBobjNTXFile(vx::IndexTableLink* table);
  ~XBobjNTXFile() override;

  // Opens or creates the file (default extension ".NTX"). An existing file
  // gets its one tag, named after the file; a header that fails its checks
  // leaves the file unusable. False when the file does not exist.
  bool Create(const std::string& fileName, bool overwrite, bool create, bool shared, bool writable);

  XBobjIndexTag* TagAdd(const XBTagDefinition& definition) override;
  bool TagDelete(const std::string&) override { return false; }
  int64_t AllocatePage() override;
  int64_t ReadEndOfFile() override;
  void Reindex() override;
  bool KeyUpdateAll(int32_t record, bool appending) override;
  bool ChangedByOthers() override;
  bool ReadVersion(uint32_t& version) override;
  // Truncates the file to the header and one empty root page.
  void Empty();

  int Version() const { return version_; }

 private:
  friend class XBobjNTXTag;
  XBobjNTXTag* Tag() const;
  int version_ = 1;
};

// Writes a whole tag from the table's keys in sorted order as a B-tree: a
// key arriving at a full leaf goes up as the separator after it.
class XBobjSortNTX {
 public:
  explicit XBobjSortNTX(XBobjNTXTag& tag) : tag_(tag) {}
  void Build();

 private:
  void AddSeparator(size_t level, XBobjNTXTag::Item item);
  uint32_t WriteLevel(size_t level, uint32_t lastChild);
  XBobjNTXTag& tag_;
  std::vector<std::vector<XBobjNTXTag::Item>> levels_;
};
