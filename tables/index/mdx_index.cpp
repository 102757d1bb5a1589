#include "tables/index/mdx_index.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/rtl/scope_guard.h"
#include "platform/rtl/sysutils.h"
#include "tables/base/xb_dates.h"
#include "tables/base/xb_tools.h"
#include "tables/index/cdx/cdx_keys.h"
#include "tables/index/index_bulk.h"

namespace {

constexpr int kUnit = 512;
constexpr int kHeaderBytes = 2048;
constexpr int kTableEntries = 48;
constexpr int kEntryBytes = 32;
constexpr double kEmptyDate = 1.0E100;

// File header fields (layout in mdx_index.h); part of the file format.
namespace file_header {
constexpr int kVersion = 0;
constexpr int kChanged = 1;
constexpr int kTableName = 4;
constexpr int kTableNameSize = 8;
constexpr int kUnitsPerBlock = 20;
constexpr int kBlockBytes = 22;
constexpr int kProduction = 24;
constexpr int kEntryCount = 25;
constexpr int kEntryLength = 26;
constexpr int kTagsInUse = 28;
constexpr int kNextFreeUnit = 32;
constexpr int kCreated = 44;
constexpr int kTagTable = 512;
}  // namespace file_header

// Tag table entry fields.
namespace tag_entry {
constexpr int kHeaderUnit = 0;
constexpr int kName = 4;
constexpr int kNameSize = 13;
constexpr int kNext = 17;
constexpr int kMarker = 19;
constexpr int kKeyType = 20;
}  // namespace tag_entry

// Tag header fields.
namespace tag_header {
constexpr int kRoot = 0;
constexpr int kOptions = 8;
constexpr int kKeyType = 9;
constexpr int kKeyLength = 12;
constexpr int kMaxKeys = 14;
constexpr int kEntrySize = 18;
constexpr int kUnique = 23;
constexpr int kExpr = 24;
constexpr int kExprSize = 221;
constexpr int kHasFor = 245;
constexpr int kMarker = 246;
constexpr int kFirstBlock = 248;
constexpr int kLastBlock = 252;
constexpr int kFor = 762;
constexpr int kForSize = 262;
constexpr uint8_t kOptBase = 0x10;
constexpr uint8_t kOptUnique = 0x40;
constexpr uint8_t kOptDescending = 0x08;
}  // namespace tag_header

// Block fields: key count, left neighbour, then the entries (pointer, key).
namespace block {
constexpr int kCount = 0;
constexpr int kLeft = 4;
constexpr int kEntries = 8;
constexpr int kKey = 4;  // within an entry
}  // namespace block

void PutToday(uint8_t* p) {
  int y = 0, m = 0, d = 0;
  TxbDBFDate::YMDFromDay(xbDBFDate.TodayJulian(), y, m, d);
  p[0] = static_cast<uint8_t>(y % 100);
  p[1] = static_cast<uint8_t>(m);
  p[2] = static_cast<uint8_t>(d);
}

}  // namespace

// ---------------------------------------------------------------- numbers

namespace vx {

void MdxNumberToBcd(double value, uint8_t out[12]) {
  std::memset(out, 0, 12);
  out[0] = 0x34;
  out[1] = 0x01;
  if (!(value == value) || value == 0) return;
  const bool negative = value < 0;
  const double a = std::fabs(value);
  std::string digits;
  int exponent = 16;
  if (std::isfinite(a)) {
    // The shortest digits that give the value back; 16 at most.
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific);
    std::string text(buf, r.ptr);
    size_t e = text.find('e');
    size_t count = 0;
    for (size_t i = 0; i < e; ++i) count += text[i] >= '0' && text[i] <= '9';
    if (count > 16) {
      r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 15);
      text.assign(buf, r.ptr);
      e = text.find('e');
    }
    for (size_t i = 0; i < e; ++i)
      if (text[i] >= '0' && text[i] <= '9') digits.push_back(text[i]);
    exponent = std::atoi(text.c_str() + e + 1) + 1;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  }
  if (exponent < -52) return;  // too small for the format: zero
  if (exponent > 15) {
    digits.assign(15, '9');
    exponent = 15;
  }
  out[0] = static_cast<uint8_t>(exponent + 0x34);
  out[1] = static_cast<uint8_t>((digits.size() * 4 + 1) | (negative ? 0x80 : 0));
  for (size_t i = 0; i < digits.size(); ++i) {
    const uint8_t d = static_cast<uint8_t>(digits[i] - '0');
    out[2 + i / 2] |= static_cast<uint8_t>(i % 2 == 0 ? d << 4 : d);
  }
}

double MdxNumberFromBcd(const uint8_t in[12]) {
  const int code = in[1] & 0x7F;
  const int count = std::min(20, code > 1 ? (code - 1) / 4 + ((code - 1) % 4 != 0 ? 1 : 0) : 0);
  uint64_t mantissa = 0;
  int used = 0;
  for (int i = 0; i < count; ++i) {
    const uint8_t b = in[2 + i / 2];
    const int d = std::min(i % 2 == 0 ? b >> 4 : b & 0x0F, 9);
    if (used < 19) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(d);
      ++used;
    } else if (d != 0) {
      used = -1;  // more digits than fit: take the slow way
      break;
    }
  }
  const int scale = static_cast<int>(in[0]) - 0x34 - used;
  double v;
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (used >= 0 && mantissa < (uint64_t{1} << 53) && scale >= -22 && scale <= 22) {
    // Both parts exact: one rounding, as a decimal parser would do.
    const double m = static_cast<double>(mantissa);
    v = scale >= 0 ? m * kPowers[scale] : m / kPowers[-scale];
  } else {
    std::string text = "0.";
    for (int i = 0; i < count; ++i) {
      const uint8_t b = in[2 + i / 2];
      text.push_back(static_cast<char>('0' + std::min(i % 2 == 0 ? b >> 4 : b & 0x0F, 9)));
    }
    if (count == 0) text.push_back('0');
    text += "e" + std::to_string(static_cast<int>(in[0]) - 0x34);
    v = std::strtod(text.c_str(), nullptr);
  }
  return (in[1] & 0x80) ? -v : v;
}

}  // namespace vx

// ---------------------------------------------------------------- tag

XBobjMDXTag::XBobjMDXTag(XBobjMDXFile* file, std::string name, int64_t headerUnit)
    : XBobjIndexTag(file, std::move(name)), mdx_(file) {
  formatName_ = "MDX";
  headerPos_ = headerUnit;
}

void XBobjMDXTag::SetShape(XBKeyType type, int length) {
  keyType_ = type;
  keyLength_ = length;
  entrySize_ = (length + block::kKey + 3) / 4 * 4;
  maxKeys_ = (mdx_->BlockBytes() - block::kEntries) / entrySize_ - 1;
}

void XBobjMDXTag::ValueToKey(const vx::IndexValue& value, std::string& key) {
  using Kind = vx::IndexValue::Kind;
  if (keyType_ == XBKeyType::Date) {
    const double day = value.kind == Kind::Date ? value.day : value.number;
    vx::CdxNumberKey(day < 0.1 ? kEmptyDate : day, key);
  } else if (keyType_ == XBKeyType::Number) {
    uint8_t bcd[12];
    vx::MdxNumberToBcd(value.kind == Kind::Date ? value.day : value.number, bcd);
    vx::CdxNumberKey(vx::MdxNumberFromBcd(bcd), key);
  } else {
    key = vx::DbaseCharacterKey(value);
  }
}

void XBobjMDXTag::EncodeKey(const std::string& key, uint8_t* out) const {
  switch (keyType_) {
    case XBKeyType::Character:
      std::memset(out, ' ', static_cast<size_t>(keyLength_));
      std::memcpy(out, key.data(), std::min(key.size(), static_cast<size_t>(keyLength_)));
      break;
    case XBKeyType::Date: vx::PutLEDouble(out, vx::CdxNumberFromKey(key)); break;
    case XBKeyType::Number: vx::MdxNumberToBcd(vx::CdxNumberFromKey(key), out); break;
  }
}

std::string XBobjMDXTag::DecodeKey(const uint8_t* in) const {
  switch (keyType_) {
    case XBKeyType::Date: return vx::CdxNumberKey(vx::GetLEDouble(in));
    case XBKeyType::Number: return vx::CdxNumberKey(vx::MdxNumberFromBcd(in));
    case XBKeyType::Character: break;
  }
  return vx::GetFilledText(in, static_cast<size_t>(keyLength_));
}

void XBobjMDXTag::TagCreate(const std::string& keyExpr, bool unique, bool ascending, const std::string& forExpr) {
  if (keyExpr.size() >= tag_header::kExprSize || forExpr.size() >= tag_header::kForSize) {
    mdx_->Refuse("Index expression too long - " + tagName_);
  }
  XBobjIndexTag::TagCreate(keyExpr, unique, ascending, forExpr);
  descendingCompare_ = !ascending;
  const KeyShape shape = NewKeyShape(12, 1, tagName_);
  SetShape(shape.type, shape.length);
  firstBlock_ = lastBlock_ = 0;
  std::vector<uint8_t> zero(static_cast<size_t>(mdx_->BlockBytes()), 0);
  mdx_->PageWrite(headerPos_ * kUnit, zero.data(), mdx_->BlockBytes());
  changed_ = true;
  XBobjSortMDX(*this).Build();
}

int64_t XBobjMDXTag::HeaderRoot() {
  root_ = vx::ReadHeaderRoot(*mdx_, headerPos_ * kUnit, "tag header cannot be read");
  return root_;
}

void XBobjMDXTag::TagLoad() {
  std::vector<uint8_t> h(static_cast<size_t>(mdx_->BlockBytes()));
  if (!mdx_->PageRead(headerPos_ * kUnit, h.data(), mdx_->BlockBytes())) mdx_->Damaged("tag header cannot be read");
  const uint32_t root = vx::GetLE32(&h[tag_header::kRoot]);
  const char type = static_cast<char>(h[tag_header::kKeyType]);
  const int keyLength = vx::GetLE16(&h[tag_header::kKeyLength]);
  const int maxKeys = vx::GetLE16(&h[tag_header::kMaxKeys]);
  const int entrySize = vx::GetLE16(&h[tag_header::kEntrySize]);
  const int64_t units = mdx_->ReadEndOfFile();
  switch (type) {
    case 'C': keyType_ = XBKeyType::Character; break;
    case 'N':
    case 'F': keyType_ = XBKeyType::Number; break;
    case 'D': keyType_ = XBKeyType::Date; break;
    default: mdx_->Damaged("key type of tag " + tagName_);
  }
  if (keyLength < 1 || keyLength > 240 || (keyType_ == XBKeyType::Number && keyLength != 12) ||
      (keyType_ == XBKeyType::Date && keyLength != 8)) {
    mdx_->Damaged("key length of tag " + tagName_);
  }
  if (entrySize < keyLength + block::kKey || maxKeys < 2 || 12 + int64_t{maxKeys} * entrySize > mdx_->BlockBytes()) {
    mdx_->Damaged("block shape of tag " + tagName_);
  }
  if (root < 1 || static_cast<int64_t>(root) >= units) mdx_->Damaged("root of tag " + tagName_);
  keyLength_ = keyLength;
  entrySize_ = entrySize;
  maxKeys_ = maxKeys;
  root_ = root;
  unique_ = h[tag_header::kUnique] != 0;
  ascending_ = (h[tag_header::kOptions] & tag_header::kOptDescending) == 0;
  descendingCompare_ = !ascending_;
  firstBlock_ = vx::GetLE32(&h[tag_header::kFirstBlock]);
  lastBlock_ = vx::GetLE32(&h[tag_header::kLastBlock]);
  keyExprText_ = vx::GetZText(&h[tag_header::kExpr], tag_header::kExprSize);
  hasFor_ = h[tag_header::kHasFor] != 0 && mdx_->BlockBytes() >= tag_header::kFor + tag_header::kForSize;
  forExprText_ = hasFor_ ? vx::GetZText(&h[tag_header::kFor], tag_header::kForSize) : std::string();
  hasFor_ = hasFor_ && !forExprText_.empty();
  KeyExprLoad();
  ForExprLoad();
  changed_ = false;
}

void XBobjMDXTag::TagStore() {
  std::vector<uint8_t> h(static_cast<size_t>(mdx_->BlockBytes()), 0);
  if (!mdx_->PageRead(headerPos_ * kUnit, h.data(), mdx_->BlockBytes())) std::fill(h.begin(), h.end(), 0);
  using namespace tag_header;
  vx::PutLE32(&h[kRoot], static_cast<uint32_t>(root_));
  h[kOptions] = static_cast<uint8_t>(kOptBase | (unique_ ? kOptUnique : 0) | (ascending_ ? 0 : kOptDescending));
  h[kKeyType] = static_cast<uint8_t>(keyType_);
  vx::PutLE16(&h[kKeyLength], static_cast<uint32_t>(keyLength_));
  vx::PutLE16(&h[kMaxKeys], static_cast<uint32_t>(maxKeys_));
  vx::PutLE16(&h[kEntrySize], static_cast<uint32_t>(entrySize_));
  h[kUnique] = unique_ ? kOptUnique : 0;
  std::memset(&h[kExpr], 0, kExprSize);
  std::memcpy(&h[kExpr], keyExprText_.data(), std::min<size_t>(keyExprText_.size(), kExprSize - 1));
  h[kHasFor] = hasFor_ ? 1 : 0;
  h[kMarker] = 1;
  vx::PutLE32(&h[kFirstBlock], firstBlock_);
  vx::PutLE32(&h[kLastBlock], lastBlock_);
  if (mdx_->BlockBytes() >= kFor + kForSize) {
    std::memset(&h[kFor], 0, kForSize);
    if (hasFor_) std::memcpy(&h[kFor], forExprText_.data(), std::min<size_t>(forExprText_.size(), kForSize - 1));
  }
  mdx_->PageWrite(headerPos_ * kUnit, h.data(), mdx_->BlockBytes());
  changed_ = false;
}

void XBobjMDXTag::PageLoad(int64_t page, XBobjIndexKey& node) {
  const int size = mdx_->BlockBytes();
  std::vector<uint8_t> b(static_cast<size_t>(size));
  if (page < 1 || page > 0x3FFFFFFF || !mdx_->PageRead(page * kUnit, b.data(), size)) {
    mdx_->Damaged("block " + std::to_string(page) + " cannot be read");
  }
  const uint32_t n = vx::GetLE32(&b[block::kCount]);
  if (n > static_cast<uint32_t>(maxKeys_)) mdx_->Damaged("block " + std::to_string(page) + " holds too many keys");
  node = XBobjIndexKey();
  node.page = page;
  const uint32_t left = vx::GetLE32(&b[block::kLeft]);
  node.left = left == 0 || left > 0x7FFFFFFF ? -1 : static_cast<int32_t>(left);
  const size_t entry = static_cast<size_t>(entrySize_);
  node.leaf = vx::GetLE32(&b[block::kEntries + n * entry]) == 0;
  node.keys.reserve(n + 1);
  for (uint32_t i = 0; i < n; ++i) {
    const uint8_t* e = &b[block::kEntries + i * entry];
    const int32_t ptr = static_cast<int32_t>(vx::GetLE32(e));
    if (!node.leaf && ptr == 0) mdx_->Damaged("block " + std::to_string(page) + " lacks a child");
    node.keys.emplace_back(DecodeKey(e + block::kKey), ptr, node.leaf ? ptr : 0);
  }
  if (!node.leaf) {
    const int32_t last = static_cast<int32_t>(vx::GetLE32(&b[block::kEntries + n * entry]));
    std::string top = ascending_ ? std::string(static_cast<size_t>(keyLength_) + 1, '\xFF') : std::string();
    node.keys.emplace_back(std::move(top), last, 0);
  }
}

void XBobjMDXTag::WriteBlock(const XBobjIndexKey& node) {
  std::vector<uint8_t> b(static_cast<size_t>(mdx_->BlockBytes()), 0);
  const size_t n = node.leaf ? node.keys.size() : node.keys.size() - 1;
  const size_t entry = static_cast<size_t>(entrySize_);
  vx::PutLE32(&b[block::kCount], static_cast<uint32_t>(n));
  vx::PutLE32(&b[block::kLeft], node.left > 0 ? static_cast<uint32_t>(node.left) : 0);
  for (size_t i = 0; i < n; ++i) {
    uint8_t* e = &b[block::kEntries + i * entry];
    vx::PutLE32(e, static_cast<uint32_t>(node.keys[i].link));
    EncodeKey(node.keys[i].value, e + block::kKey);
  }
  if (!node.leaf) vx::PutLE32(&b[block::kEntries + n * entry], static_cast<uint32_t>(node.keys.back().link));
  mdx_->PageWrite(node.page * kUnit, b.data(), mdx_->BlockBytes());
}

int64_t XBobjMDXTag::NewBlock() {
  const int64_t unit = mdx_->AllocatePage();
  if (firstBlock_ == 0) firstBlock_ = static_cast<uint32_t>(unit);
  lastBlock_ = static_cast<uint32_t>(unit);
  changed_ = true;
  return unit;
}

void XBobjMDXTag::PageStore(size_t depth) {
  StoreSplitting(
      depth, [this] { return NewBlock(); }, [this](const XBobjIndexKey& node) { WriteBlock(node); }, true);
}

void XBobjMDXTag::PageRelink(int64_t page, bool setLeft, int32_t left, bool, int32_t) {
  if (!setLeft) return;
  std::vector<uint8_t> b(static_cast<size_t>(mdx_->BlockBytes()));
  if (page < 1 || !mdx_->PageRead(page * kUnit, b.data(), mdx_->BlockBytes())) {
    mdx_->Damaged("block " + std::to_string(page) + " cannot be read");
  }
  vx::PutLE32(&b[block::kLeft], left > 0 ? static_cast<uint32_t>(left) : 0);
  mdx_->PageWrite(page * kUnit, b.data(), mdx_->BlockBytes());
}

// ---------------------------------------------------------------- bulk build

void XBobjSortMDX::Build() {
  vx::IndexKeyStream keys(tag_, !tag_.ascending_);
  int32_t previous = -1;
  tag_.root_ = vx::BuildIndexTree(
      keys, tag_.maxKeys_, tag_.mdx_->Table(), [this] { return tag_.NewBlock(); },
      [this, &previous](const XBobjIndexKey& node) {
        // Each block names the block written before it.
        XBobjIndexKey copy = node;
        copy.left = previous;
        previous = static_cast<int32_t>(node.page);
        tag_.WriteBlock(copy);
      });
  tag_.changed_ = true;
  tag_.TagStore();
}

// ---------------------------------------------------------------- file

XBobjMDXFile::XBobjMDXFile(vx::IndexTableLink* table) : XBobjIndexFile(table) {
  pageUnit_ = kUnit;
  pageBytes_ = 1024;
}

XBobjMDXFile::~XBobjMDXFile() {
  try {
    Close();
  } catch (const EXBaseError&) {}
}

void XBobjMDXFile::Close() {
  if (!disk_) return;
  for (auto& tag : tags_) tag->TagRelease();
  if (tagsChanged_ && disk_->ReadWrite()) {
    uint8_t h[kHeaderBytes];
    if (PageRead(0, h, kHeaderBytes)) {
      PutToday(h + file_header::kChanged);
      vx::PutLE16(h + file_header::kTagsInUse, static_cast<uint32_t>(tags_.size()));
      vx::PutLE32(h + file_header::kNextFreeUnit, static_cast<uint32_t>(ReadEndOfFile()));
      PageWrite(0, h, kHeaderBytes);
    }
  }
  tagsChanged_ = false;
}

std::string XBobjMDXFile::TableName8() const {
  std::string name = table_ ? table_->BaseName() : xbStripExtension(fileName_);
  return UpperCase(name.substr(0, std::min<size_t>(name.size(), file_header::kTableNameSize)));
}

void XBobjMDXFile::NewHeader() {
  uint8_t h[kHeaderBytes] = {};
  using namespace file_header;
  h[kVersion] = 2;
  PutToday(h + kChanged);
  const std::string name = TableName8();
  std::memcpy(h + kTableName, name.data(), name.size());
  vx::PutLE16(h + kUnitsPerBlock, 2);
  vx::PutLE16(h + kBlockBytes, 1024);
  h[kProduction] = 1;
  h[kEntryCount] = kTableEntries;
  vx::PutLE16(h + kEntryLength, kEntryBytes);
  vx::PutLE32(h + kNextFreeUnit, kHeaderBytes / kUnit);
  PutToday(h + kCreated);
  PageWrite(0, h, kHeaderBytes);
  blockBytes_ = 1024;
  pageBytes_ = blockBytes_;
  unitsPerBlock_ = 2;
  endOfFile_ = kHeaderBytes / kUnit;
}

void XBobjMDXFile::ReadHeader() {
  uint8_t h[kHeaderBytes];
  if (!PageRead(0, h, kHeaderBytes)) Damaged("header cannot be read");
  const int units = vx::GetLE16(h + file_header::kUnitsPerBlock);
  const int block = vx::GetLE16(h + file_header::kBlockBytes);
  const int tags = vx::GetLE16(h + file_header::kTagsInUse);
  if (units < 1 || units > 32 || block != units * kUnit) Damaged("block size");
  if (h[file_header::kEntryCount] != kTableEntries || vx::GetLE16(h + file_header::kEntryLength) != kEntryBytes) {
    Damaged("tag table shape");
  }
  if (tags < 0 || tags > kMaxTags) Damaged("tag count");
  blockBytes_ = block;
  pageBytes_ = blockBytes_;
  unitsPerBlock_ = units;
  endOfFile_ = disk_->FileSize() / kUnit;
  for (int i = 1; i <= tags; ++i) {
    const uint8_t* e = h + file_header::kTagTable + kEntryBytes * i;
    const uint32_t unit = vx::GetLE32(e + tag_entry::kHeaderUnit);
    if (unit < kHeaderBytes / kUnit || static_cast<int64_t>(unit) + units > endOfFile_) Damaged("tag header unit");
    const std::string name = vx::GetZText(e + tag_entry::kName, tag_entry::kNameSize);
    tags_.push_back(std::make_unique<XBobjMDXTag>(this, UpperCase(name), unit));
  }
  for (auto& tag : tags_) tag->TagLoad();
}

bool XBobjMDXFile::Create(const std::string& fileName, bool overwrite, bool create, bool shared, bool writable) {
  if (!Open(fileName, overwrite, create, shared, writable, ".MDX")) return false;
  tags_.clear();
  const int64_t size = disk_->FileSize();
  try {
    if (size == 0 && create) NewHeader();
    else ReadHeader();
  } catch (const EXBaseError&) {
    tags_.clear();
    usable_ = false;
    return true;
  }
  if (table_ && UpperCase(xbStripExtension(fileName_)) == UpperCase(table_->BaseName())) table_->MarkStructuralIndex();
  return true;
}

int64_t XBobjMDXFile::ReadEndOfFile() {
  if (endOfFile_ < 0) endOfFile_ = disk_ ? disk_->FileSize() / kUnit : 0;
  return endOfFile_;
}

int64_t XBobjMDXFile::AllocatePage() {
  const int64_t unit = std::max<int64_t>(ReadEndOfFile(), kHeaderBytes / kUnit);
  endOfFile_ = unit + unitsPerBlock_;
  return unit;
}

void XBobjMDXFile::WriteTagTable() {
  uint8_t h[kHeaderBytes];
  if (!PageRead(0, h, kHeaderBytes)) Damaged("header cannot be read");
  vx::PutLE16(h + file_header::kTagsInUse, static_cast<uint32_t>(tags_.size()));
  vx::PutLE32(h + file_header::kNextFreeUnit, static_cast<uint32_t>(ReadEndOfFile()));
  uint8_t* table = h + file_header::kTagTable;
  std::memset(table, 0, kHeaderBytes - file_header::kTagTable);
  table[tag_entry::kNext] = tags_.empty() ? 0 : 1;
  for (size_t i = 0; i < tags_.size(); ++i) {
    const auto& tag = *static_cast<XBobjMDXTag*>(tags_[i].get());
    uint8_t* e = table + kEntryBytes * (i + 1);
    vx::PutLE32(e + tag_entry::kHeaderUnit, static_cast<uint32_t>(tag.HeaderPos()));
    std::memcpy(e + tag_entry::kName, tag.TagName().data(), std::min<size_t>(tag.TagName().size(), 10));
    e[tag_entry::kNext] = i + 1 < tags_.size() ? static_cast<uint8_t>(i + 2) : 0;
    e[tag_entry::kMarker] = 2;
    e[tag_entry::kKeyType] = static_cast<uint8_t>(tag.KeyType());
  }
  PageWrite(0, h, kHeaderBytes);
  tagsChanged_ = true;
}

XBobjIndexTag* XBobjMDXFile::TagAdd(const XBTagDefinition& definition) {
  const std::string upper = UpperCase(definition.name);
  if (upper.empty() || upper.size() > 10) Refuse("Tag name must have 1 to 10 characters - " + definition.name);
  for (size_t i = tags_.size(); i-- > 0;) {
    if (UpperCase(tags_[i]->TagName()) == upper) {
      tags_.erase(tags_.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  if (static_cast<int>(tags_.size()) >= kMaxTags) {
    WriteTagTable();
    Refuse("An MDX file holds at most 47 tags - " + ShownName());
  }
  auto tag = std::make_unique<XBobjMDXTag>(this, upper, AllocatePage());
  XBobjMDXTag* t = tag.get();
  auto at = std::find_if(tags_.begin(), tags_.end(), [&](const auto& x) { return x->TagName() > upper; });
  tags_.insert(at, std::move(tag));
  vx::ScopeGuard drop([this, t] {
    tags_.erase(std::find_if(tags_.begin(), tags_.end(), [&](const auto& x) { return x.get() == t; }));
    WriteTagTable();
  });
  t->TagCreate(definition.keyExpr, definition.unique, definition.ascending, definition.forExpr);
  drop.Dismiss();
  WriteTagTable();
  return t;
}

bool XBobjMDXFile::TagDelete(const std::string& name) {
  const std::string upper = UpperCase(name);
  for (size_t i = tags_.size(); i-- > 0;) {
    if (UpperCase(tags_[i]->TagName()) == upper) {
      tags_.erase(tags_.begin() + static_cast<std::ptrdiff_t>(i));
      WriteTagTable();
      if (tags_.empty()) Reindex();
      return true;
    }
  }
  return false;
}

void XBobjMDXFile::Reindex() {
  if (!disk_) return;
  vx::WholeFileLock lock(*this, xbCtxTruncate);
  for (auto& tag : tags_) static_cast<XBobjMDXTag*>(tag.get())->ForgetChain();
  disk_->FileTruncate(kHeaderBytes);
  endOfFile_ = kHeaderBytes / kUnit;
  for (auto& t : tags_) {
    auto* tag = static_cast<XBobjMDXTag*>(t.get());
    tag->headerPos_ = AllocatePage();
    const std::string key = tag->KeyExpr();
    const std::string filter = tag->ForExpr();
    tag->TagCreate(key, tag->Unique(), tag->Ascending(), filter);
  }
  WriteTagTable();
}

bool XBobjMDXFile::KeyUpdateAll(int32_t record, bool appending) {
  const bool ok = XBobjIndexFile::KeyUpdateAll(record, appending);
  if (endOfFile_ >= 0 && disk_ && disk_->ReadWrite()) {
    // Whole 512-byte blocks, so that an enciphered header reads back right.
    uint8_t head[kUnit];
    if (PageRead(0, head, kUnit) &&
        vx::GetLE32(head + file_header::kNextFreeUnit) < static_cast<uint64_t>(endOfFile_)) {
      vx::PutLE32(head + file_header::kNextFreeUnit, static_cast<uint32_t>(endOfFile_));
      PageWrite(0, head, kUnit);
    }
  }
  return ok;
}

bool XBobjMDXFile::Rename(const std::string& newName) {
  if (!XBobjIndexFile::Rename(newName)) return false;
  uint8_t h[kUnit];
  if (!PageRead(0, h, kUnit)) return true;
  std::memset(h + file_header::kTableName, 0, file_header::kTableNameSize);
  const std::string base = UpperCase(xbStripExtension(fileName_));
  std::memcpy(h + file_header::kTableName, base.data(), std::min<size_t>(base.size(), file_header::kTableNameSize));
  PageWrite(0, h, kUnit);
  return true;
}
