#include "tables/index/ndx_index.h"

#include <algorithm>
#include <cstring>

#include "tables/base/xb_dates.h"
#include "tables/index/cdx/cdx_keys.h"
#include "tables/index/index_bulk.h"

namespace {

constexpr int kBlock = XBobjNDXFile::kBlockSize;
constexpr double kEmptyDate = 1.0E100;

// Header fields (layout in ndx_index.h); part of the file format.
namespace header {
constexpr int kRoot = 0;
constexpr int kBlocksInUse = 4;
constexpr int kTypeLetter = 9;
constexpr int kKeyLength = 12;
constexpr int kMaxKeys = 14;
constexpr int kKind = 16;
constexpr int kEntrySize = 18;
constexpr int kUnique = 23;
constexpr int kExpr = 24;
constexpr int kExprSize = 488;
}  // namespace header

// Block fields: the key count, then the entries (child, record, key).
namespace block {
constexpr int kCount = 0;
constexpr int kEntries = 4;
constexpr int kRecord = 4;  // within an entry
constexpr int kKey = 8;     // within an entry
}  // namespace block

}  // namespace

// ---------------------------------------------------------------- tag

XBobjNDXTag::XBobjNDXTag(XBobjNDXFile* file, std::string name) : XBobjIndexTag(file, std::move(name)), ndx_(file) {
  formatName_ = "NDX";
}

void XBobjNDXTag::SetShape(XBKeyType type, int length) {
  keyType_ = type;
  keyLength_ = length;
  entrySize_ = (length + block::kKey + 3) / 4 * 4;
  maxKeys_ = length > 0 ? (kBlock - 8) / entrySize_ : 0;
}

void XBobjNDXTag::ValueToKey(const vx::IndexValue& value, std::string& key) {
  using Kind = vx::IndexValue::Kind;
  if (keyType_ == XBKeyType::Character) {
    key = vx::DbaseCharacterKey(value);
  } else if (value.kind == Kind::Date) {
    vx::CdxNumberKey(value.day < 1 ? kEmptyDate : static_cast<double>(value.day), key);
  } else {
    vx::CdxNumberKey(value.number, key);
  }
}

void XBobjNDXTag::EncodeKey(const std::string& key, uint8_t* out) const {
  if (keyType_ == XBKeyType::Character) {
    std::memset(out, ' ', static_cast<size_t>(keyLength_));
    std::memcpy(out, key.data(), std::min(key.size(), static_cast<size_t>(keyLength_)));
  } else {
    vx::PutLEDouble(out, vx::CdxNumberFromKey(key));
  }
}

std::string XBobjNDXTag::DecodeKey(const uint8_t* in) const {
  if (keyType_ != XBKeyType::Character) return vx::CdxNumberKey(vx::GetLEDouble(in));
  return vx::GetFilledText(in, static_cast<size_t>(keyLength_));
}

void XBobjNDXTag::TagCreate(const std::string& keyExpr, bool unique, bool ascending, const std::string& forExpr) {
  if (!forExpr.empty()) ndx_->Refuse("An NDX index cannot have a FOR expression - " + ndx_->ShownName());
  if (!ascending) ndx_->Refuse("An NDX index cannot be descending - " + ndx_->ShownName());
  if (keyExpr.size() >= header::kExprSize) ndx_->Refuse("Index expression too long - " + ndx_->ShownName());
  XBobjIndexTag::TagCreate(keyExpr, unique, true, "");
  const KeyShape shape = NewKeyShape(8, 1, ndx_->ShownName());
  SetShape(shape.type, shape.length);
  uint8_t zero[kBlock] = {};
  ndx_->PageWrite(headerPos_ * kBlock, zero, kBlock);
  XBobjSortNdx(*this).Build();
}

int64_t XBobjNDXTag::HeaderRoot() {
  root_ = vx::ReadHeaderRoot(*ndx_, headerPos_ * kBlock, "header cannot be read");
  return root_;
}

void XBobjNDXTag::TagLoad() {
  uint8_t h[kBlock];
  if (!ndx_->PageRead(headerPos_ * kBlock, h, kBlock)) ndx_->Damaged("header cannot be read");
  const uint32_t root = vx::GetLE32(h + header::kRoot);
  const int keyLength = vx::GetLE16(h + header::kKeyLength);
  const int maxKeys = vx::GetLE16(h + header::kMaxKeys);
  const int kind = vx::GetLE16(h + header::kKind);
  const int entrySize = vx::GetLE16(h + header::kEntrySize);
  const int64_t blocks = ndx_->ReadEndOfFile();
  if (keyLength < 1 || keyLength > 240 || (kind != 0 && keyLength != 8)) ndx_->Damaged("key length");
  if (entrySize < keyLength + block::kKey || maxKeys < 1 || 8 + int64_t{maxKeys} * entrySize > kBlock) {
    ndx_->Damaged("block shape");
  }
  if (root < 1 || root >= blocks) ndx_->Damaged("root block");
  keyLength_ = keyLength;
  entrySize_ = entrySize;
  maxKeys_ = maxKeys;
  keyType_ = kind != 0 ? XBKeyType::Number : XBKeyType::Character;
  root_ = root;
  unique_ = (h[header::kUnique] & 1) != 0;
  ascending_ = true;
  hasFor_ = false;
  keyExprText_ = vx::GetZText(h + header::kExpr, header::kExprSize);
  KeyExprLoad();
  if (keyExpr_ && kind != 0) {
    // Numbers and dates share one stored form; the kind only matters for
    // turning new values into keys.
    try {
      if (keyExpr_->Evaluate().kind == vx::IndexValue::Kind::Date) keyType_ = XBKeyType::Date;
    } catch (const EXBaseError&) {
    } catch (const EXBaseExpression&) {}
  }
  changed_ = false;
}

void XBobjNDXTag::TagStore() {
  uint8_t h[kBlock] = {};
  vx::PutLE32(h + header::kRoot, static_cast<uint32_t>(root_));
  vx::PutLE32(h + header::kBlocksInUse, static_cast<uint32_t>(std::max<int64_t>(ndx_->ReadEndOfFile(), 2)));
  // Readers of the dBase family take the key type from this letter.
  h[header::kTypeLetter] = keyType_ == XBKeyType::Character ? 'C' : 'N';
  vx::PutLE16(h + header::kKeyLength, static_cast<uint32_t>(keyLength_));
  vx::PutLE16(h + header::kMaxKeys, static_cast<uint32_t>(maxKeys_));
  vx::PutLE16(h + header::kKind, keyType_ == XBKeyType::Character ? 0 : 1);
  vx::PutLE16(h + header::kEntrySize, static_cast<uint32_t>(entrySize_));
  h[header::kUnique] = unique_ ? 1 : 0;
  std::memcpy(h + header::kExpr, keyExprText_.data(), std::min<size_t>(keyExprText_.size(), header::kExprSize - 1));
  ndx_->PageWrite(headerPos_ * kBlock, h, kBlock);
  changed_ = false;
}

void XBobjNDXTag::PageLoad(int64_t page, XBobjIndexKey& node) {
  uint8_t b[kBlock];
  if (page < 1 || page > 0x7FFFFF || !ndx_->PageRead(page * kBlock, b, kBlock)) {
    ndx_->Damaged("block " + std::to_string(page) + " cannot be read");
  }
  const uint32_t n = vx::GetLE32(b + block::kCount);
  if (n > static_cast<uint32_t>(maxKeys_)) ndx_->Damaged("block " + std::to_string(page) + " holds too many keys");
  node = XBobjIndexKey();
  node.page = page;
  node.leaf = vx::GetLE32(b + block::kEntries) == 0;
  node.keys.reserve(n + 1);
  for (uint32_t i = 0; i < n; ++i) {
    const uint8_t* e = b + block::kEntries + i * static_cast<uint32_t>(entrySize_);
    const int32_t child = static_cast<int32_t>(vx::GetLE32(e));
    const int32_t rec = static_cast<int32_t>(vx::GetLE32(e + block::kRecord));
    if (node.leaf ? child != 0 : child == 0) ndx_->Damaged("block " + std::to_string(page) + " mixes entries");
    if (node.leaf) node.keys.emplace_back(DecodeKey(e + block::kKey), rec, rec);
    else node.keys.emplace_back(DecodeKey(e + block::kKey), child, 0);
  }
  if (!node.leaf) {
    const int32_t last = static_cast<int32_t>(vx::GetLE32(b + block::kEntries + n * static_cast<uint32_t>(entrySize_)));
    if (last == 0) ndx_->Damaged("block " + std::to_string(page) + " lacks its last child");
    node.keys.emplace_back(std::string(static_cast<size_t>(keyLength_) + 1, '\xFF'), last, 0);
  }
}

void XBobjNDXTag::WriteBlock(const XBobjIndexKey& node) {
  uint8_t b[kBlock] = {};
  const size_t n = node.leaf ? node.keys.size() : node.keys.size() - 1;
  vx::PutLE32(b + block::kCount, static_cast<uint32_t>(n));
  for (size_t i = 0; i < n; ++i) {
    uint8_t* e = b + block::kEntries + i * static_cast<size_t>(entrySize_);
    const XBobjIndexKeyData& k = node.keys[i];
    vx::PutLE32(e, node.leaf ? 0 : static_cast<uint32_t>(k.link));
    vx::PutLE32(e + block::kRecord, node.leaf ? static_cast<uint32_t>(k.link) : 0);
    EncodeKey(k.value, e + block::kKey);
  }
  if (!node.leaf) {
    vx::PutLE32(b + block::kEntries + n * static_cast<size_t>(entrySize_),
                static_cast<uint32_t>(node.keys.back().link));
  }
  ndx_->PageWrite(node.page * kBlock, b, kBlock);
}

void XBobjNDXTag::PageStore(size_t depth) {
  StoreSplitting(
      depth, [this] { return ndx_->AllocatePage(); }, [this](const XBobjIndexKey& node) { WriteBlock(node); }, false);
}

// ---------------------------------------------------------------- bulk build

void XBobjSortNdx::Build() {
  vx::IndexKeyStream keys(tag_, false);
  XBobjNDXFile& file = *tag_.ndx_;
  tag_.root_ = vx::BuildIndexTree(
      keys, tag_.maxKeys_, file.Table(), [&file] { return file.AllocatePage(); },
      [this](const XBobjIndexKey& node) { tag_.WriteBlock(node); });
  tag_.changed_ = true;
  tag_.TagStore();
}

// ---------------------------------------------------------------- file

XBobjNDXFile::XBobjNDXFile(vx::IndexTableLink* table) : XBobjIndexFile(table) {
  pageUnit_ = kBlockSize;
  pageBytes_ = kBlockSize;
}

XBobjNDXFile::~XBobjNDXFile() { ReleaseTagsQuietly(); }

XBobjNDXTag* XBobjNDXFile::Tag() const {
  return tags_.empty() ? nullptr : static_cast<XBobjNDXTag*>(tags_.front().get());
}

bool XBobjNDXFile::Create(const std::string& fileName, bool overwrite, bool create, bool shared, bool writable) {
  if (!Open(fileName, overwrite, create, shared, writable, ".NDX")) return false;
  const int64_t size = disk_->FileSize();
  if (size == 0 && create) {
    endOfFile_ = 0;
    return true;
  }
  endOfFile_ = size / kBlockSize;
  LoadOnlyTag(std::make_unique<XBobjNDXTag>(this, OnlyTagName()));
  return true;
}

XBobjIndexTag* XBobjNDXFile::TagAdd(const XBTagDefinition& definition) {
  return CreateOnlyTag(std::make_unique<XBobjNDXTag>(this, OnlyTagName()), definition);
}

int64_t XBobjNDXFile::ReadEndOfFile() {
  if (endOfFile_ < 0) endOfFile_ = disk_ ? disk_->FileSize() / kBlockSize : 0;
  return endOfFile_;
}

int64_t XBobjNDXFile::AllocatePage() {
  const int64_t block = ReadEndOfFile();
  endOfFile_ = block + 1;
  if (XBobjNDXTag* tag = Tag()) tag->MarkChanged();  // the header counts the blocks in use
  return block;
}

void XBobjNDXFile::Empty() {
  XBobjNDXTag* tag = Tag();
  if (!tag || !disk_) return;
  vx::WholeFileLock lock(*this, xbCtxTruncate);
  tag->ForgetChain();
  disk_->FileTruncate(2 * kBlockSize);
  tag->root_ = 1;
  endOfFile_ = 2;
  tag->TagStore();
  uint8_t zero[kBlockSize] = {};
  PageWrite(kBlockSize, zero, kBlockSize);
}

void XBobjNDXFile::Reindex() {
  XBobjNDXTag* tag = Tag();
  if (!tag || !disk_) return;
  vx::WholeFileLock lock(*this, xbCtxTruncate);
  tag->ForgetChain();
  disk_->FileTruncate(0);
  endOfFile_ = 0;
  tag->headerPos_ = AllocatePage();
  const std::string expr = tag->KeyExpr();
  tag->TagCreate(expr, tag->Unique(), true, "");
}
