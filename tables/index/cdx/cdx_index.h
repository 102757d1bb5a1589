// Compound index files (".CDX"): any number of tags of one table in one file
// of 512-byte pages. All page references are byte offsets (multiples of 512),
// -1 when none; numbers are little-endian unless noted.
//
// File layout: the tag directory's header at offset 0 (1024 bytes), then tag
// headers (1024 bytes) and node pages (512 bytes, see cdx_page.h) in any
// order. New pages are taken at the end of the file and never reused. The
// directory is itself a tag (options 0xE0, key length 10, character keys)
// whose keys are the tag names and whose records are the header offsets.
//
// Tag header (1024 bytes):
//
//   offset | size | field
//   -------+------+-----------------------------------------------------------
//   0      | 4    | root page offset
//   4      | 4    | free-page list, written 0
//   8      | 4    | version counter
//   12     | 2    | key length (1..240)
//   14     | 1    | options: 0x01 unique, 0x08 FOR, 0x20 compact, 0x40 compound,
//          |      | 0x80 structure (the directory); ordinary tags 0x60 | ...
//   15     | 1    | signature: 1, or 2 with the "GENERAL" collation
//   16     | 478  | zero
//   494    | 8    | collation name, zero-terminated: "GENERAL" or empty
//   502    | 2    | 1 = descending
//   504    | 2    | key expression length + 1
//   506    | 2    | FOR expression length + 1 (1 when none)
//   508    | 2    | zero
//   510    | 2    | key expression length + 1
//   512    | 512  | key expression NUL, FOR expression NUL
//
// Keys are stored rising; a descending tag is read backwards. Numbers and
// dates use the order-preserving form of cdx_keys.h, character keys drop
// their trailing blanks, "GENERAL" keys are collation keys (cdx_collation.h).
#pragma once

#include <memory>
#include <string>

#include "tables/index/cdx/cdx_page.h"
#include "tables/index/xb_index.h"

class XBobjCDXFile;

class XBobjCDXTag : public XBobjIndexTag {
 public:
  XBobjCDXTag(XBobjCDXFile* file, std::string name, int64_t headerPos, bool directory);

  void AdjustValue(XBobjIndexKeyData& key, bool trim) override;
  void TagCreate(const std::string& keyExpr, bool unique, bool ascending, const std::string& forExpr) override;
  int64_t HeaderRoot() override;
  void PageLoad(int64_t page, XBobjIndexKey& node) override;
  void PageStore(size_t depth) override;
  void TagLoad() override;
  void TagStore() override;
  void ValueToKey(const vx::IndexValue& value, std::string& key) override;
  bool ValueGivesKey(const vx::IndexValue& value, const std::string& key) override;
  void PageRelink(int64_t page, bool setLeft, int32_t left, bool setRight, int32_t right) override;

  XBCollation Collation() const { return collation_; }
  uint8_t Options() const { return options_; }
  uint32_t Version() const { return version_; }
  bool IsDirectory() const { return directory_; }
  vx::CdxKeyLayout Layout() const;
  // Leaf parameters for a page whose highest record is at most `highest`.
  vx::CdxLeafParams LeafParams(uint32_t highest) const;

 private:
  friend class XBobjCDXFile;
  friend class XBobjSortCDX;
  void WriteNode(const XBobjIndexKey& node, bool root, bool nibbleTails);
  void SetKeyShape(XBKeyType type, int length);

  XBobjCDXFile* cdx_;
  bool directory_;
  uint8_t options_ = 0x60;
  XBCollation collation_ = XBCollation::Machine;
  uint32_t version_ = 0;
};

class XBobjCDXFile : public XBobjIndexFile {
 public:
  explicit XBobjCDXFile(vx::IndexTableLink* table);
  ~XBobjCDXFile() override;

  // Opens or creates the file (default extension ".CDX") and reads its tag
  // directory. False when the file does not exist. A directory or tag header
  // that fails its checks leaves the file unusable (Usable() false).
  bool Create(const std::string& fileName, bool overwrite, bool create, bool shared, bool writable);

  XBobjIndexTag* TagAdd(const XBTagDefinition& definition) override;
  bool TagDelete(const std::string& name) override;
  int64_t AllocatePage() override;
  int64_t ReadEndOfFile() override;
  void Reindex() override;
  bool KeyUpdateAll(int32_t record, bool appending) override;
  bool ChangedByOthers() override;
  bool ReadVersion(uint32_t& version) override;

  XBobjCDXTag* Directory() const { return dir_.get(); }

 private:
  void NewDirectory();
  void ReadDirectory();
  // The directory entry of a tag: its name in the table's code page.
  XBobjIndexKeyData DirectoryKey(const XBobjCDXTag& tag) const;
  void AddDirectoryEntry(const XBobjCDXTag& tag);
  void RemoveDirectoryEntry(const XBobjCDXTag& tag);
  std::unique_ptr<XBobjCDXTag> dir_;
};

// Writes a whole tag from the table's keys in sorted order, each page once,
// level by level; the last page of every level has no right sibling.
class XBobjSortCDX {
 public:
  explicit XBobjSortCDX(XBobjCDXTag& tag) : tag_(tag) {}
  void Build();
  void BuildEmpty();

 private:
  XBobjCDXTag& tag_;
};
