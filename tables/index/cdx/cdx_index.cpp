#include "tables/index/cdx/cdx_index.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/scope_guard.h"
#include "platform/rtl/sysutils.h"
#include "tables/base/xb_tools.h"
#include "tables/index/cdx/cdx_collation.h"
#include "tables/index/cdx/cdx_keys.h"
#include "tables/index/index_bulk.h"

namespace {

constexpr int kHeaderSize = 1024;
constexpr uint8_t kOptUnique = 0x01;
constexpr uint8_t kOptFor = 0x08;
constexpr uint8_t kOptDirectory = 0xE0;
constexpr uint8_t kOptOrdinary = 0x60;
constexpr uint8_t kOptStructure = 0x80;

// Tag header fields (layout in cdx_index.h); part of the file format.
namespace header {
constexpr int kRoot = 0;
constexpr int kVersion = 8;
constexpr int kKeyLength = 12;
constexpr int kOptions = 14;
constexpr int kSignature = 15;
constexpr int kCollation = 494;
constexpr int kCollationSize = 8;
constexpr int kDescending = 502;
constexpr int kKeyExprLength = 504;
constexpr int kForExprLength = 506;
constexpr int kKeyExprLength2 = 510;
constexpr int kExpressions = 512;
constexpr int kExpressionsSize = 512;
constexpr uint8_t kSignaturePlain = 1;
constexpr uint8_t kSignatureGeneral = 2;
}  // namespace header

using vx::GetLE16;
using vx::GetLE32;
using vx::PutLE16;
using vx::PutLE32;

}  // namespace

// ---------------------------------------------------------------- tag

XBobjCDXTag::XBobjCDXTag(XBobjCDXFile* file, std::string name, int64_t headerPos, bool directory)
    : XBobjIndexTag(file, std::move(name)), cdx_(file), directory_(directory) {
  formatName_ = "CDX";
  headerPos_ = headerPos;
  if (directory_) {
    options_ = kOptDirectory;
    SetKeyShape(XBKeyType::Character, 10);
  }
}

void XBobjCDXTag::SetKeyShape(XBKeyType type, int length) {
  keyType_ = type;
  keyLength_ = length;
  entrySize_ = length + 8;
  maxKeys_ = vx::CdxInteriorCapacity(length);
}

vx::CdxKeyLayout XBobjCDXTag::Layout() const {
  return vx::CdxKeyLayout{keyLength_, keyType_,
                          collation_ == XBCollation::General && !directory_ && keyType_ == XBKeyType::Character};
}

vx::CdxLeafParams XBobjCDXTag::LeafParams(uint32_t highest) const {
  if (directory_) {
    const int64_t size = std::max<int64_t>(cdx_->ReadEndOfFile(), 0);
    highest = std::max<uint32_t>(highest, static_cast<uint32_t>(std::min<int64_t>(size, 0x7FFFFFFF)));
  } else if (cdx_->Table()) {
    highest = std::max<uint32_t>(highest, static_cast<uint32_t>(std::max(cdx_->Table()->RecordCount(), 0)));
  }
  return vx::CdxChooseLeafParams(keyLength_, highest);
}

void XBobjCDXTag::AdjustValue(XBobjIndexKeyData& key, bool trim) { XBobjIndexTag::AdjustValue(key, trim); }

void XBobjCDXTag::ValueToKey(const vx::IndexValue& value, std::string& key) {
  using Kind = vx::IndexValue::Kind;
  switch (keyType_) {
    case XBKeyType::Number:
      vx::CdxNumberKey(value.kind == Kind::Date ? static_cast<double>(value.day) : value.number, key);
      return;
    case XBKeyType::Date:
      vx::CdxNumberKey(value.kind == Kind::Number ? value.number : static_cast<double>(value.day), key);
      return;
    case XBKeyType::Character: break;
  }
  switch (value.kind) {
    case Kind::Text: key.assign(value.text); break;
    case Kind::Logical: key.assign(value.logical ? "T" : "F"); break;
    case Kind::Number: key = std::to_string(value.number); break;
    case Kind::Date: key = std::to_string(value.day); break;
  }
  if (Layout().general) {
    while (!key.empty() && key.back() == ' ') key.pop_back();
    key = vx::GeneralCollationKey(key);
  }
}

bool XBobjCDXTag::ValueGivesKey(const vx::IndexValue& value, const std::string& key) {
  using Kind = vx::IndexValue::Kind;
  if (keyType_ == XBKeyType::Character || key.size() > 8) return XBobjIndexTag::ValueGivesKey(value, key);
  // A number's key is its double's bits made to sort, read as if padded with
  // zero bytes: two keys compare equal exactly when the bits they stand for
  // are equal.
  const double number = keyType_ == XBKeyType::Number ? (value.kind == Kind::Date ? value.day : value.number)
                                                      : (value.kind == Kind::Number ? value.number : value.day);
  const double stored = vx::CdxNumberFromKey(key);
  uint64_t storedBits;
  std::memcpy(&storedBits, &stored, sizeof storedBits);
  return vx::CdxNumberBits(number) == storedBits;
}

void XBobjCDXTag::TagCreate(const std::string& keyExpr, bool unique, bool ascending, const std::string& forExpr) {
  XBobjIndexTag::TagCreate(keyExpr, unique, ascending, forExpr);
  descendingRead_ = !ascending;
  if (keyExpr.empty()) {
    SetKeyShape(XBKeyType::Character, 10);
  } else {
    const KeyShape shape = NewKeyShape(8, collation_ == XBCollation::General ? 2 : 1, tagName_);
    SetKeyShape(shape.type, shape.length);
  }
  if (keyExpr.size() + forExpr.size() + 2 > header::kExpressionsSize) {
    cdx_->Refuse("Index expressions too long - " + tagName_);
  }
  options_ = static_cast<uint8_t>(kOptOrdinary | (unique ? kOptUnique : 0) | (hasFor_ ? kOptFor : 0));
  version_ = 0;
  uint8_t zero[kHeaderSize] = {};
  cdx_->PageWrite(headerPos_, zero, kHeaderSize);
  XBobjSortCDX(*this).Build();
}

int64_t XBobjCDXTag::HeaderRoot() {
  root_ = vx::ReadHeaderRoot(*cdx_, headerPos_, "tag header cannot be read");
  return root_;
}

void XBobjCDXTag::PageLoad(int64_t page, XBobjIndexKey& node) {
  uint8_t buf[vx::kCdxPageSize];
  if (page <= 0 || page % vx::kCdxPageSize != 0 || !cdx_->PageRead(page, buf, vx::kCdxPageSize)) {
    cdx_->Damaged("page " + std::to_string(page) + " cannot be read");
  }
  const vx::CdxPageHead head = vx::CdxReadHead(buf);
  node.page = page;
  node.left = head.left;
  node.right = head.right;
  // Below 2 is an interior page and anything else a leaf: other writers set
  // more flag bits on leaves (a one-page structural tag's root is 7), so
  // damage shows mostly in the counts and offsets. No writer sets bits of
  // the high byte; a tag header read as a page (whose first word is a page
  // offset, a multiple of 512) has them.
  if (head.attributes > 0xFF) cdx_->Damaged("page " + std::to_string(page) + " is not a node page");
  node.leaf = head.attributes >= 2;
  node.position = -1;
  node.changed = false;
  const vx::CdxKeyLayout layout = Layout();
  const bool ok = node.leaf ? vx::CdxUnpackLeaf(buf, layout, node.keys) : vx::CdxUnpackInterior(buf, layout, node.keys);
  if (!ok || (!node.leaf && node.keys.empty())) cdx_->Damaged("page " + std::to_string(page) + " is inconsistent");
  if (!node.leaf) {
    for (size_t i = 1; i < node.keys.size(); ++i) {
      const auto& a = node.keys[i - 1];
      const auto& b = node.keys[i];
      const int c = CompareKeys(a.value, b.value, false);
      if (c > 0 || (c == 0 && static_cast<uint32_t>(a.record) > static_cast<uint32_t>(b.record))) {
        cdx_->Damaged("page " + std::to_string(page) + " is out of order");
      }
    }
  }
}

void XBobjCDXTag::WriteNode(const XBobjIndexKey& node, bool root, bool nibbleTails) {
  uint8_t buf[vx::kCdxPageSize] = {};
  vx::CdxPageHead head;
  head.attributes = static_cast<uint16_t>((node.leaf ? 2 : 0) | (root ? 1 : 0));
  head.count = static_cast<uint16_t>(node.keys.size());
  head.left = node.left;
  head.right = node.right;
  bool ok;
  if (node.leaf) {
    uint32_t highest = 0;
    for (const auto& k : node.keys) highest = std::max(highest, static_cast<uint32_t>(k.link));
    ok = vx::CdxPackLeaf(buf, node.keys, LeafParams(highest), Layout(), nibbleTails);
  } else {
    ok = vx::CdxPackInterior(buf, node.keys, Layout());
  }
  if (!ok) cdx_->Refuse("Index page overflow - " + cdx_->ShownName());
  vx::CdxWriteHead(buf, head);
  cdx_->PageWrite(node.page, buf, vx::kCdxPageSize);
}

void XBobjCDXTag::PageStore(size_t depth) {
  auto& path = Path();
  const int64_t page = path[depth]->page;
  bool split = false;
  for (;;) {
    XBobjIndexKey& node = *path[depth];
    int moveCount = 0;
    if (node.leaf) {
      uint32_t highest = 0;
      for (const auto& k : node.keys) highest = std::max(highest, static_cast<uint32_t>(k.link));
      const vx::CdxLeafParams params = LeafParams(highest);
      const vx::CdxKeyLayout layout = Layout();
      int total = 0;
      std::string previous;
      std::vector<int> costs;
      costs.reserve(node.keys.size());
      for (const auto& k : node.keys) {
        costs.push_back(vx::CdxLeafCost(params, layout, previous, k.value));
        total += costs.back();
        previous = k.value;
      }
      uint8_t probe[vx::kCdxPageSize];
      if (total < vx::kCdxLeafArea && vx::CdxPackLeaf(probe, node.keys, params, layout, true)) break;
      int running = 0;
      while (moveCount < node.Count() && running + costs[static_cast<size_t>(moveCount)] < 250) {
        running += costs[static_cast<size_t>(moveCount)];
        ++moveCount;
      }
      moveCount = std::clamp(moveCount, 1, node.Count() - 1);
    } else {
      if (node.Count() <= maxKeys_) break;
      moveCount = (node.Count() + 1) / 2;
    }
    if (node.Count() < 2) cdx_->Refuse("Index key does not fit a page - " + cdx_->ShownName());
    // The first keys move to a new page on the left of this one.
    const int64_t newPage = cdx_->AllocatePage();
    XBobjIndexKeyData separator = node.keys[static_cast<size_t>(moveCount - 1)];
    separator.link = static_cast<int32_t>(newPage);
    depth = ParentInsert(depth, separator);
    XBobjIndexKey left;
    left.page = newPage;
    left.leaf = node.leaf;
    left.left = node.left;
    left.right = static_cast<int32_t>(node.page);
    left.keys.assign(node.keys.begin(), node.keys.begin() + moveCount);
    if (node.left != -1) PageRelink(node.left, false, 0, true, static_cast<int32_t>(newPage));
    node.left = static_cast<int32_t>(newPage);
    node.keys.erase(node.keys.begin(), node.keys.begin() + moveCount);
    node.position -= moveCount;
    WriteNode(left, false, true);
    split = true;
  }
  XBobjIndexKey& node = *path[depth];
  const bool root = depth == 0;
  // A split root moved to a new page and is written before the new root.
  if (split && node.page == page) StoreAboveFirst(node);
  WriteNode(node, root, true);
  node.changed = false;
}

void XBobjCDXTag::PageRelink(int64_t page, bool setLeft, int32_t left, bool setRight, int32_t right) {
  uint8_t buf[vx::kCdxPageSize];
  if (page <= 0 || !cdx_->PageRead(page, buf, vx::kCdxPageSize)) cdx_->Damaged("sibling page cannot be read");
  vx::CdxPageHead head = vx::CdxReadHead(buf);
  if (setLeft) head.left = left;
  if (setRight) head.right = right;
  vx::CdxWriteHead(buf, head);
  cdx_->PageWrite(page, buf, vx::kCdxPageSize);
}

void XBobjCDXTag::TagLoad() {
  uint8_t h[kHeaderSize];
  if (!cdx_->PageRead(headerPos_, h, kHeaderSize)) cdx_->Damaged("tag header cannot be read");
  const uint32_t root = GetLE32(h + header::kRoot);
  const int keyLength = GetLE16(h + header::kKeyLength);
  const uint8_t options = h[header::kOptions];
  const int64_t size = cdx_->Disk()->FileSize();
  if (root == 0 || root % vx::kCdxPageSize != 0 || root + vx::kCdxPageSize > size) cdx_->Damaged("bad root offset");
  if (root >= headerPos_ && root < headerPos_ + kHeaderSize) cdx_->Damaged("root is not a page of the tag");
  if (keyLength < 1 || keyLength > 240) cdx_->Damaged("bad key length");
  const char* text = reinterpret_cast<const char*>(h + header::kExpressions);
  const size_t room = header::kExpressionsSize;
  const size_t keyLen = strnlen(text, room);
  std::string keyExpr(text, keyLen);
  std::string forExpr;
  if (keyLen + 1 < room) forExpr.assign(text + keyLen + 1, strnlen(text + keyLen + 1, room - keyLen - 1));
  if (options < kOptStructure && keyExpr.empty()) cdx_->Damaged("tag without key expression");
  root_ = root;
  options_ = options;
  version_ = GetLE32(h + header::kVersion);
  unique_ = (options & kOptUnique) != 0;
  hasFor_ = (options & kOptFor) != 0;
  ascending_ = GetLE16(h + header::kDescending) == 0;
  descendingRead_ = !ascending_;
  const std::string collation = vx::GetZText(h + header::kCollation, header::kCollationSize);
  collation_ = collation == "GENERAL" ? XBCollation::General : XBCollation::Machine;
  keyExprText_ = keyExpr;
  forExprText_ = hasFor_ ? forExpr : std::string();
  XBKeyType type = XBKeyType::Character;
  if (!directory_ && options < kOptStructure) {
    KeyExprLoad();
    ForExprLoad();
    // A key that fails on the record at hand keeps character keys: the tag
    // still walks in its stored order.
    if (keyExpr_) {
      try {
        const vx::IndexValue v = keyExpr_->Evaluate();
        if (v.kind == vx::IndexValue::Kind::Number) type = XBKeyType::Number;
        else if (v.kind == vx::IndexValue::Kind::Date) type = XBKeyType::Date;
      } catch (const EXBaseExpression&) {}
    }
  }
  SetKeyShape(type, keyLength);
  changed_ = false;
}

void XBobjCDXTag::TagStore() {
  uint8_t h[kHeaderSize] = {};
  if (!directory_) {
    options_ = static_cast<uint8_t>((options_ & ~(kOptUnique | kOptFor)) | (unique_ ? kOptUnique : 0) |
                                    (hasFor_ ? kOptFor : 0));
  }
  using namespace header;
  PutLE32(h + kRoot, static_cast<uint32_t>(root_));
  PutLE32(h + kVersion, version_);
  PutLE16(h + kKeyLength, static_cast<uint32_t>(keyLength_));
  h[kOptions] = options_;
  h[kSignature] = kSignaturePlain;
  if (collation_ == XBCollation::General && options_ < kOptStructure) {
    h[kSignature] = kSignatureGeneral;
    std::memcpy(h + kCollation, "GENERAL", 7);
  }
  PutLE16(h + kDescending, ascending_ ? 0 : 1);
  const std::string forText = hasFor_ ? forExprText_ : std::string();
  PutLE16(h + kKeyExprLength, static_cast<uint32_t>(keyExprText_.size() + 1));
  PutLE16(h + kForExprLength, static_cast<uint32_t>(forText.size() + 1));
  PutLE16(h + kKeyExprLength2, static_cast<uint32_t>(keyExprText_.size() + 1));
  const size_t keyLen = std::min<size_t>(keyExprText_.size(), kExpressionsSize - 1);
  std::memcpy(h + kExpressions, keyExprText_.data(), keyLen);
  const size_t forAt = kExpressions + keyLen + 1;
  std::memcpy(h + forAt, forText.data(), std::min<size_t>(forText.size(), kHeaderSize - forAt - 1));
  cdx_->PageWrite(headerPos_, h, kHeaderSize);
  changed_ = false;
}

// ---------------------------------------------------------------- file

XBobjCDXFile::XBobjCDXFile(vx::IndexTableLink* table) : XBobjIndexFile(table) { keysCarryRecord_ = true; }

XBobjCDXFile::~XBobjCDXFile() = default;

int64_t XBobjCDXFile::ReadEndOfFile() {
  if (endOfFile_ < 0 && disk_) endOfFile_ = disk_->FileSize();
  return endOfFile_;
}

int64_t XBobjCDXFile::AllocatePage() {
  int64_t at = ReadEndOfFile();
  if (at % vx::kCdxPageSize != 0) at += vx::kCdxPageSize - at % vx::kCdxPageSize;
  if (at + vx::kCdxPageSize > 0x7FFFFFFF) Refuse("Index file full - " + ShownName());
  endOfFile_ = at + vx::kCdxPageSize;
  return at;
}

bool XBobjCDXFile::Create(const std::string& fileName, bool overwrite, bool create, bool shared, bool writable) {
  if (!Open(fileName, overwrite, create, shared, writable, ".CDX")) return false;
  endOfFile_ = -1;
  if (disk_->FileSize() > vx::kCdxPageSize) {
    try {
      ReadDirectory();
    } catch (const EXBaseError&) { usable_ = false; }
  } else if (disk_->ReadWrite()) {
    NewDirectory();
  } else {
    usable_ = false;  // too short to hold a directory, and not ours to write
  }
  if (table_) {
    if (UpperCase(xbStripExtension(fileName_)) == UpperCase(table_->BaseName())) table_->MarkStructuralIndex();
  }
  return true;
}

void XBobjCDXFile::NewDirectory() {
  endOfFile_ = 0;
  dir_ = std::make_unique<XBobjCDXTag>(this, "", AllocatePage(), true);
  AllocatePage();
  XBobjSortCDX(*dir_).BuildEmpty();
}

void XBobjCDXFile::ReadDirectory() {
  tags_.clear();
  dir_ = std::make_unique<XBobjCDXTag>(this, "", 0, true);
  dir_->TagLoad();
  if (dir_->keyType_ != XBKeyType::Character || dir_->options_ < kOptStructure) Damaged("bad tag directory");
  // Collect the names first: loading a tag must not disturb the walk.
  std::vector<XBobjIndexKeyData> entries;
  for (int32_t rec = dir_->KeyRead(xbKeyTop); !dir_->AtEOF(); rec = dir_->KeyRead(xbKeyNext)) {
    (void)rec;
    entries.push_back(dir_->CurrentKey());
    if (entries.size() > 100000) Damaged("tag directory too long");
  }
  for (const auto& e : entries) {
    const std::string name = table_ ? table_->FromTableText(e.value) : e.value;
    auto tag = std::make_unique<XBobjCDXTag>(this, name, static_cast<uint32_t>(e.link), false);
    tag->TagLoad();
    tags_.push_back(std::move(tag));
  }
}

XBobjIndexKeyData XBobjCDXFile::DirectoryKey(const XBobjCDXTag& tag) const {
  // The directory keeps names in the table's code page.
  const std::string name = table_ ? table_->ToTableText(tag.TagName()) : tag.TagName();
  return XBobjIndexKeyData(name, static_cast<int32_t>(tag.HeaderPos()), static_cast<int32_t>(tag.HeaderPos()));
}

void XBobjCDXFile::AddDirectoryEntry(const XBobjCDXTag& tag) { dir_->KeyAdd(DirectoryKey(tag)); }

void XBobjCDXFile::RemoveDirectoryEntry(const XBobjCDXTag& tag) { dir_->KeyRemove(DirectoryKey(tag)); }

XBobjIndexTag* XBobjCDXFile::TagAdd(const XBTagDefinition& definition) {
  std::string tagName = definition.name;
  while (!tagName.empty() && tagName.back() == ' ') tagName.pop_back();
  if (tagName.empty() || tagName.size() > 10) {
    Refuse("Tag name must have 1 to 10 characters: \"" + tagName + "\" - " + ShownName());
  }
  if (!dir_) Refuse("Index file is not usable - " + ShownName());
  endOfFile_ = -1;
  const int64_t header = AllocatePage();
  AllocatePage();
  auto tag = std::make_unique<XBobjCDXTag>(this, tagName, header, false);
  tag->collation_ = definition.collation;
  XBobjCDXTag* raw = tag.get();
  raw->TagCreate(definition.keyExpr, definition.unique, definition.ascending, definition.forExpr);
  // A tag of the same name is replaced only once the new one stands.
  for (size_t i = tags_.size(); i-- > 0;) {
    auto* old = static_cast<XBobjCDXTag*>(tags_[i].get());
    if (UpperCase(old->TagName()) != UpperCase(tagName)) continue;
    RemoveDirectoryEntry(*old);
    tags_.erase(tags_.begin() + static_cast<std::ptrdiff_t>(i));
    break;
  }
  tags_.push_back(std::move(tag));
  AddDirectoryEntry(*raw);
  return raw;
}

bool XBobjCDXFile::TagDelete(const std::string& name) {
  const std::string wanted = UpperCase(name);
  for (size_t i = tags_.size(); i-- > 0;) {
    if (UpperCase(tags_[i]->TagName()) != wanted) continue;
    RemoveDirectoryEntry(static_cast<XBobjCDXTag&>(*tags_[i]));
    tags_.erase(tags_.begin() + static_cast<std::ptrdiff_t>(i));
    if (tags_.empty()) Reindex();
    return true;
  }
  return false;
}

void XBobjCDXFile::Reindex() {
  if (!disk_) return;
  if (!disk_->LockRegion(0, 0x7FFFFFFF)) {
    FoundError(xbErrLockRefused, xbCtxTruncate, ShownName());
    return;
  }
  vx::ScopeGuard unlock([this] { disk_->UnlockRegion(); });
  disk_->FileTruncate(0);
  endOfFile_ = 0;
  dir_ = std::make_unique<XBobjCDXTag>(this, "", AllocatePage(), true);
  AllocatePage();
  XBobjSortCDX(*dir_).BuildEmpty();
  for (auto& t : tags_) {
    auto* tag = static_cast<XBobjCDXTag*>(t.get());
    tag->TagRelease();
    tag->headerPos_ = AllocatePage();
    AllocatePage();
    tag->version_ = 0;
    tag->root_ = 0;
    XBobjSortCDX(*tag).Build();
    AddDirectoryEntry(*tag);
  }
}

bool XBobjCDXFile::KeyUpdateAll(int32_t record, bool appending) {
  if (!dir_) return false;
  uint32_t onDisk = 0;
  if (disk_ && disk_->Shared() && ReadVersion(onDisk)) dir_->version_ = onDisk;
  dir_->version_ += 1;
  dir_->changed_ = true;
  const bool ok = XBobjIndexFile::KeyUpdateAll(record, appending);
  dir_->TagStore();
  NoteOwnVersion(dir_->version_);
  return ok;
}

bool XBobjCDXFile::ReadVersion(uint32_t& version) {
  uint8_t head[header::kVersion + 4];
  if (!disk_ || !PageRead(0, head, sizeof head)) return false;
  version = GetLE32(head + header::kVersion);
  return true;
}

bool XBobjCDXFile::ChangedByOthers() {
  if (!disk_ || !disk_->Shared() || !dir_) return false;
  uint32_t onDisk = 0;
  return ReadVersion(onDisk) && onDisk != dir_->version_;
}
