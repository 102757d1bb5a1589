#include "tables/index/ntx_index.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "tables/base/xb_dates.h"
#include "tables/index/index_bulk.h"

namespace {

constexpr int kPage = XBobjNTXFile::kPageSize;
constexpr int kMaxLevels = 32;

// Header fields (layout in ntx_index.h); part of the file format.
namespace header {
constexpr int kSignature = 0;
constexpr int kVersion = 2;
constexpr int kRoot = 4;
constexpr int kEntrySize = 12;
constexpr int kKeyLength = 14;
constexpr int kDecimals = 16;
constexpr int kMaxKeys = 18;
constexpr int kHalfPage = 20;
constexpr int kExpr = 22;
constexpr int kExprSize = 256;
constexpr int kUnique = 278;
constexpr int kDescending = 279;
constexpr int kFor = 282;
constexpr int kForSize = 742;
constexpr int kSignaturePlain = 6;
constexpr int kSignatureFor = 7;
}  // namespace header

// Page fields: the key count, the item offset table, the items (child,
// record, key).
namespace page {
constexpr int kCount = 0;
constexpr int kOffsets = 2;
constexpr int kRecord = 4;  // within an item
constexpr int kKey = 8;     // within an item
}  // namespace page

// 10^0 to 10^18, every power of ten a uint64_t holds but 10^19.
constexpr std::array<uint64_t, 19> kPowersOfTen = [] {
  std::array<uint64_t, 19> powers{};
  powers[0] = 1;
  for (size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
  return powers;
}();
constexpr uint64_t kTenToNineteen = 10000000000000000000ull;

// The whole number printf's "%.*f" shows for a finite a >= 0, the point
// taken out, worked out in integers: a is m * 2^e exactly, so a * 10^decimals
// rounds (half to even, as printf rounds the exact value) to it. False when
// it does not fit in 64 bits or a is too small for the shift; the caller
// then asks the library.
bool FixedUnits(double a, int decimals, uint64_t& units) {
  if (decimals < 0 || decimals > 18) return false;
  uint64_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  const int biased = static_cast<int>(bits >> 52) & 0x7FF;
  uint64_t m = bits & ((uint64_t{1} << 52) - 1);
  if (biased == 0 && m == 0) {
    units = 0;
    return true;
  }
  int exponent = -1074;  // a = m * 2^exponent
  if (biased != 0) {
    m |= uint64_t{1} << 52;
    exponent = biased - 1075;
  }
  using Wide = unsigned __int128;
  Wide n = static_cast<Wide>(m) * kPowersOfTen[decimals];  // below 2^113
  if (exponent >= 0) {
    if (exponent > 10) return false;
    n <<= exponent;
  } else {
    const int shift = -exponent;
    if (shift > 120) return false;
    const Wide whole = n >> shift;
    const Wide rest = n - (whole << shift);
    const Wide half = static_cast<Wide>(1) << (shift - 1);
    n = whole + ((rest > half || (rest == half && (whole & 1) != 0)) ? 1 : 0);
  }
  if ((n >> 64) != 0) return false;
  units = static_cast<uint64_t>(n);
  return true;
}

// Writes the text of FixedUnits' number with `decimals` places, zero-filled
// on the left, into key of `width` bytes; false (key untouched) when it is
// wider.
bool PutFixedUnits(uint64_t units, int decimals, int width, std::string& key) {
  uint64_t whole = units / kPowersOfTen[decimals];
  uint64_t fraction = units % kPowersOfTen[decimals];
  int wholeDigits = 1;
  for (uint64_t w = whole; w >= 10; w /= 10) ++wholeDigits;
  if (wholeDigits + (decimals > 0 ? decimals + 1 : 0) > width) return false;
  key.resize(static_cast<size_t>(width));
  char* const first = key.data();
  char* p = first + width;
  for (int i = 0; i < decimals; ++i, fraction /= 10) *--p = static_cast<char>('0' + fraction % 10);
  if (decimals > 0) *--p = '.';
  do {
    *--p = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  std::memset(first, '0', static_cast<size_t>(p - first));
  return true;
}

// Reads a number key back (the text PutFixedUnits writes, its digits mapped
// for a negative number): its number without the point and whether it is
// in the negative form. False for any other text, or one of more digits
// than 64 bits hold.
bool ReadFixedUnits(const std::string& key, int decimals, uint64_t& units, bool& negative) {
  const size_t width = key.size();
  const size_t point = decimals > 0 ? width - static_cast<size_t>(decimals) - 1 : width;
  if (decimals < 0 || (decimals > 0 && width < static_cast<size_t>(decimals) + 2) || width == 0 ||
      width - (decimals > 0 ? 1 : 0) > 19)
    return false;
  if (point < width && key[point] != '.') return false;
  negative = key[0] < '0';
  // A digit d is written as '0' + d, or as 0x5C - ('0' + d) = ',' - d.
  const unsigned char zero = negative ? ',' : '0';
  const int sign = negative ? -1 : 1;
  const unsigned char* text = reinterpret_cast<const unsigned char*>(key.data());
  // The zeros in front, eight at a time, add nothing.
  uint64_t zeros;
  std::memset(&zeros, zero, sizeof zeros);
  size_t first = 0;
  for (uint64_t eight; first + 8 <= point; first += 8) {
    std::memcpy(&eight, text + first, 8);
    if (eight != zeros) break;
  }
  uint64_t n = 0;
  bool digits = true;
  const auto read = [&](size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
      const unsigned digit = static_cast<unsigned>(sign * (static_cast<int>(text[i]) - zero));
      digits &= digit <= 9;
      n = n * 10 + digit;
    }
  };
  read(first, point);
  if (point < width) read(point + 1, width);
  units = n;
  // A number that shows as zero is never written in the negative form.
  return digits && (!negative || units != 0);
}

}  // namespace

namespace vx {

std::string NtxNumberKey(double value, int width, int decimals) {
  std::string key;
  NtxNumberKey(value, width, decimals, key);
  return key;
}

void NtxNumberKey(double value, int width, int decimals, std::string& key) {
  if (width < 1) {
    key.clear();
    return;
  }
  const double a = std::fabs(value);
  if (!std::isfinite(a)) {
    key.assign(static_cast<size_t>(width), '*');
    return;
  }
  // The text printf's "%.*f" gives, zero-filled on the left to the width.
  uint64_t units = 0;
  bool nonZero;
  if (FixedUnits(a, decimals, units)) {
    if (!PutFixedUnits(units, decimals, width, key)) {
      key.assign(static_cast<size_t>(width), '*');
      return;
    }
    nonZero = units != 0;
  } else {
    char digits[512];
    const auto r = std::to_chars(digits, digits + sizeof digits, a, std::chars_format::fixed, decimals);
    const size_t need = static_cast<size_t>(r.ptr - digits);
    if (r.ec != std::errc() || need < 1 || need > static_cast<size_t>(width)) {
      key.assign(static_cast<size_t>(width), '*');
      return;
    }
    key.assign(static_cast<size_t>(width) - need, '0');
    key.append(digits, need);
    nonZero = std::any_of(key.begin(), key.end(), [](char c) { return c >= '1' && c <= '9'; });
  }
  if (value < 0 && nonZero) {
    for (char& c : key)
      if (c >= '0' && c <= '9') c = static_cast<char>(0x5C - c);
  }
}

}  // namespace vx

// ---------------------------------------------------------------- tag

XBobjNTXTag::XBobjNTXTag(XBobjNTXFile* file, std::string name) : XBobjIndexTag(file, std::move(name)), ntx_(file) {
  formatName_ = "NTX";
}

void XBobjNTXTag::SetShape(XBKeyType type, int length, int decimals) {
  keyType_ = type;
  keyLength_ = length;
  decimals_ = decimals;
  entrySize_ = length + page::kKey;
  maxKeys_ = 2 * (((1020 / (entrySize_ + 2)) - 1) / 2);
}

std::string XBobjNTXTag::Top() const {
  return descendingCompare_ ? std::string() : std::string(static_cast<size_t>(keyLength_) + 1, '\xFF');
}

void XBobjNTXTag::ValueToKey(const vx::IndexValue& value, std::string& key) {
  using Kind = vx::IndexValue::Kind;
  switch (keyType_) {
    case XBKeyType::Number:
      vx::NtxNumberKey(value.kind == Kind::Date ? value.day : value.number, keyLength_, decimals_, key);
      return;
    case XBKeyType::Date: {
      const int32_t day = value.kind == Kind::Date ? value.day : static_cast<int32_t>(value.number);
      key = day < 1 ? std::string() : xbDBFDate.DTOS(day);
      if (key.empty() || key[0] == ' ') key.assign("00000000");
      return;
    }
    case XBKeyType::Character: break;
  }
  switch (value.kind) {
    case Kind::Text: key.assign(value.text); return;
    case Kind::Logical: key.assign(value.logical ? "T" : "F"); return;
    case Kind::Number: vx::NtxNumberKey(value.number, 18, 4, key); return;
    case Kind::Date: key = xbDBFDate.DTOS(value.day); return;
  }
}

bool XBobjNTXTag::ValueGivesKey(const vx::IndexValue& value, const std::string& key) {
  // A number key read back is compared as a number: the key of a number is
  // the only text of its digits and form.
  uint64_t stored = 0;
  bool negative = false;
  if (keyType_ != XBKeyType::Number || key.size() != static_cast<size_t>(keyLength_) || decimals_ > 18 ||
      !ReadFixedUnits(key, decimals_, stored, negative))
    return XBobjIndexTag::ValueGivesKey(value, key);
  const double number = value.kind == vx::IndexValue::Kind::Date ? value.day : value.number;
  // A number too wide for the key is written as stars, which read back as
  // the digits 2 of a negative number: such a value is compared by its key.
  const int digits = keyLength_ - (decimals_ > 0 ? 1 : 0);
  const uint64_t tooWide = digits < 19 ? kPowersOfTen[static_cast<size_t>(digits)] : kTenToNineteen;
  // The usual case in doubles: the product a * 10^decimals is within an ulp
  // of 2^-12 of the exact one, so a product within a quarter of the stored
  // units rounds to them, and one three quarters or more away (and short of
  // the width, where stars begin) does not. Between the two, and for larger
  // numbers, the units are worked out exactly.
  const double scaled = std::fabs(number) * static_cast<double>(kPowersOfTen[static_cast<size_t>(decimals_)]);
  constexpr double kExactBelow = 1099511627776.0;  // 2^40
  if (scaled < kExactBelow) {
    const double off = std::fabs(scaled - static_cast<double>(stored));
    if (off <= 0.25) return negative == (number < 0 && stored != 0);
    if (off >= 0.75 && scaled + 1 < static_cast<double>(tooWide)) return false;
  }
  uint64_t units = 0;
  if (!std::isfinite(number) || !FixedUnits(std::fabs(number), decimals_, units) || units >= tooWide)
    return XBobjIndexTag::ValueGivesKey(value, key);
  return stored == units && negative == (number < 0 && units != 0);
}

void XBobjNTXTag::TagCreate(const std::string& keyExpr, bool unique, bool ascending, const std::string& forExpr) {
  if (keyExpr.size() >= header::kExprSize || forExpr.size() >= header::kForSize) {
    ntx_->Refuse("Index expression too long - " + ntx_->ShownName());
  }
  XBobjIndexTag::TagCreate(keyExpr, unique, ascending, forExpr);
  descendingCompare_ = !ascending;
  // A number on a field of known shape takes the field's width and decimals.
  int width = 18, decimals = 4;
  const auto* fields = dynamic_cast<const vx::IndexFieldShape*>(ntx_->Table());
  if (!fields || !fields->NumericFieldShape(keyExpr, width, decimals)) width = 18, decimals = 4;
  const KeyShape shape = NewKeyShape(width, 1, ntx_->ShownName());
  SetShape(shape.type, shape.length, shape.type == XBKeyType::Number ? decimals : 0);
  uint8_t zero[kPage] = {};
  ntx_->PageWrite(headerPos_, zero, kPage);
  XBobjSortNTX(*this).Build();
}

int64_t XBobjNTXTag::HeaderRoot() {
  uint8_t head[header::kRoot + 4];
  if (!ntx_->PageRead(headerPos_, head, sizeof head)) ntx_->Damaged("header cannot be read");
  root_ = vx::GetLE32(head + header::kRoot);
  return root_;
}

void XBobjNTXTag::TagLoad() {
  uint8_t h[kPage];
  if (!ntx_->PageRead(headerPos_, h, kPage)) ntx_->Damaged("header cannot be read");
  const int signature = vx::GetLE16(h + header::kSignature);
  const uint32_t root = vx::GetLE32(h + header::kRoot);
  const int entrySize = vx::GetLE16(h + header::kEntrySize);
  const int keyLength = vx::GetLE16(h + header::kKeyLength);
  const int decimals = vx::GetLE16(h + header::kDecimals);
  const int maxKeys = vx::GetLE16(h + header::kMaxKeys);
  const int64_t size = ntx_->ReadEndOfFile();
  if (signature != header::kSignaturePlain && signature != header::kSignatureFor) ntx_->Damaged("signature");
  if (keyLength < 1 || keyLength > 240 || entrySize != keyLength + page::kKey) ntx_->Damaged("key length");
  if (maxKeys < 2 || page::kOffsets + (int64_t{maxKeys} + 1) * (2 + entrySize) > kPage) { ntx_->Damaged("page shape"); }
  if (root < kPage || root % kPage != 0 || static_cast<int64_t>(root) + kPage > size) ntx_->Damaged("root page");
  keyLength_ = keyLength;
  entrySize_ = entrySize;
  maxKeys_ = maxKeys;
  decimals_ = decimals;
  root_ = root;
  ntx_->version_ = vx::GetLE16(h + header::kVersion);
  unique_ = (h[header::kUnique] & 1) != 0;
  ascending_ = (h[header::kDescending] & 1) == 0;
  descendingCompare_ = !ascending_;
  keyExprText_ = vx::GetZText(h + header::kExpr, header::kExprSize);
  hasFor_ = signature == header::kSignatureFor;
  forExprText_ = hasFor_ ? vx::GetZText(h + header::kFor, header::kForSize) : std::string();
  hasFor_ = hasFor_ && !forExprText_.empty();
  keyType_ = XBKeyType::Character;
  KeyExprLoad();
  ForExprLoad();
  if (keyExpr_) {
    try {
      const vx::IndexValue v = keyExpr_->Evaluate();
      if (v.kind == vx::IndexValue::Kind::Number) keyType_ = XBKeyType::Number;
      if (v.kind == vx::IndexValue::Kind::Date) keyType_ = XBKeyType::Date;
    } catch (const EXBaseError&) {
    } catch (const EXBaseExpression&) {}
  }
  changed_ = false;
}

void XBobjNTXTag::TagStore() {
  uint8_t h[kPage] = {};
  vx::PutLE16(h + header::kSignature, hasFor_ ? header::kSignatureFor : header::kSignaturePlain);
  vx::PutLE16(h + header::kVersion, static_cast<uint32_t>(ntx_->version_));
  vx::PutLE32(h + header::kRoot, static_cast<uint32_t>(root_));
  vx::PutLE16(h + header::kEntrySize, static_cast<uint32_t>(entrySize_));
  vx::PutLE16(h + header::kKeyLength, static_cast<uint32_t>(keyLength_));
  vx::PutLE16(h + header::kDecimals, static_cast<uint32_t>(decimals_));
  vx::PutLE16(h + header::kMaxKeys, static_cast<uint32_t>(maxKeys_));
  vx::PutLE16(h + header::kHalfPage, static_cast<uint32_t>(maxKeys_ / 2));
  std::memcpy(h + header::kExpr, keyExprText_.data(), std::min<size_t>(keyExprText_.size(), header::kExprSize - 1));
  h[header::kUnique] = unique_ ? 1 : 0;
  h[header::kDescending] = ascending_ ? 0 : 1;
  if (hasFor_) {
    std::memcpy(h + header::kFor, forExprText_.data(), std::min<size_t>(forExprText_.size(), header::kForSize - 1));
  }
  ntx_->PageWrite(headerPos_, h, kPage);
  changed_ = false;
  if (orphanPending_) {
    // A separator left without a place when the page at the right end
    // emptied: it goes back in as an ordinary key.
    orphanPending_ = false;
    XBobjIndexKeyData key = orphan_;
    KeyAdd(key);
  }
}

// ---------------------------------------------------------------- pages

void XBobjNTXTag::ReadItems(int64_t page, std::vector<Item>& items) {
  uint8_t b[kPage];
  if (page < kPage || page % kPage != 0 || page > 0x7FFFFFFF || !ntx_->PageRead(page, b, kPage)) {
    ntx_->Damaged("page " + std::to_string(page) + " cannot be read");
  }
  const int n = vx::GetLE16(b + page::kCount);
  if (n > maxKeys_) ntx_->Damaged("page " + std::to_string(page) + " holds too many keys");
  items.clear();
  items.reserve(static_cast<size_t>(n) + 1);
  if (n == 0 && vx::GetLE16(b + page::kOffsets) == 0) {
    items.push_back(Item{0, 0, {}});  // a zeroed page: an empty leaf
    return;
  }
  for (int i = 0; i <= n; ++i) {
    const int at = vx::GetLE16(b + page::kOffsets + 2 * i);
    if (at < 2 || at + entrySize_ > kPage) ntx_->Damaged("page " + std::to_string(page) + " has an item outside it");
    Item item;
    item.child = vx::GetLE32(b + at);
    item.record = static_cast<int32_t>(vx::GetLE32(b + at + page::kRecord));
    if (i < n) {
      item.key.assign(reinterpret_cast<const char*>(b + at + page::kKey), static_cast<size_t>(keyLength_));
      while (!item.key.empty() && item.key.back() == ' ') item.key.pop_back();
    }
    items.push_back(std::move(item));
  }
  const bool leaf = items.front().child == 0;
  for (const Item& item : items) {
    if ((item.child == 0) != leaf) ntx_->Damaged("page " + std::to_string(page) + " mixes leaf and interior items");
  }
}

void XBobjNTXTag::WritePage(int64_t page, const std::vector<Item>& items, uint32_t lastChild) {
  uint8_t b[kPage] = {};
  const int n = static_cast<int>(items.size());
  if (n > maxKeys_) ntx_->Refuse("Index page overflow - " + ntx_->ShownName());
  vx::PutLE16(b + page::kCount, static_cast<uint32_t>(n));
  const int first = page::kOffsets + (maxKeys_ + 1) * 2;
  for (int i = 0; i <= maxKeys_; ++i) {
    vx::PutLE16(b + page::kOffsets + 2 * i, static_cast<uint32_t>(first + i * entrySize_));
  }
  for (int i = 0; i < n; ++i) {
    uint8_t* at = b + first + i * entrySize_;
    vx::PutLE32(at, items[static_cast<size_t>(i)].child);
    vx::PutLE32(at + page::kRecord, static_cast<uint32_t>(items[static_cast<size_t>(i)].record));
    const std::string& key = items[static_cast<size_t>(i)].key;
    std::memset(at + page::kKey, ' ', static_cast<size_t>(keyLength_));
    std::memcpy(at + page::kKey, key.data(), std::min(key.size(), static_cast<size_t>(keyLength_)));
  }
  vx::PutLE32(b + first + n * entrySize_, lastChild);
  ntx_->PageWrite(page, b, kPage);
}

// The separator that follows the subtree of the node at `depth`: the entry of
// the nearest node above whose position is not on its last entry.
std::optional<XBKeyRef> XBobjNTXTag::SeparatorAbove(size_t depth) const {
  auto& path = const_cast<XBobjNTXTag*>(this)->Path();
  for (size_t j = std::min(depth, path.size()); j-- > 0;) {
    const XBobjIndexKey& node = *path[j];
    if (node.position >= 0 && node.position < node.Count() - 1) return node.At(node.position);
  }
  return std::nullopt;
}

// The page's own items: in a leaf its keys; in an interior page its keys
// with their left children, then an entry without a key for the last child.
void XBobjNTXTag::PageDecode(int64_t page, XBobjIndexKey& node) {
  std::vector<Item> items;
  ReadItems(page, items);
  node = XBobjIndexKey();
  node.page = page;
  node.leaf = items.front().child == 0;
  const size_t n = items.size() - 1;
  node.keys.reserve(n + 1);
  for (size_t i = 0; i < n; ++i) {
    Item& item = items[i];
    node.keys.emplace_back(std::move(item.key), node.leaf ? item.record : static_cast<int32_t>(item.child),
                           item.record);
  }
  if (!node.leaf) node.keys.emplace_back(std::string(), static_cast<int32_t>(items[n].child), 0);
}

// Every child gets an entry: a leaf shows the separator above it as its last
// entry, and an interior page's last child takes that separator's key (the
// key above all others at the right edge of the tree).
void XBobjNTXTag::PageAttach(XBobjIndexKey& node) {
  const std::optional<XBKeyRef> above = SeparatorAbove(Path().size());
  if (node.leaf) {
    if (!above) return;
    node.hasExtra = true;
    node.extra.Assign(XBKeyRef{above->value, above->record, above->record});
    return;
  }
  if (node.sharedCount == 0) return;
  --node.sharedCount;
  const int32_t child = node.shared->At(node.sharedCount).link;
  node.hasExtra = true;
  if (above) {
    node.extra.Assign(XBKeyRef{above->value, child, above->record});
  } else {
    // The key above all others (Top), written in place.
    if (descendingCompare_) node.extra.value.clear();
    else node.extra.value.assign(static_cast<size_t>(keyLength_) + 1, '\xFF');
    node.extra.link = child;
    node.extra.record = 0;
  }
}

void XBobjNTXTag::PageLoad(int64_t page, XBobjIndexKey& node) {
  XBobjIndexKey decoded;
  PageDecode(page, decoded);
  node.Share(page, std::make_shared<const XBIndexPage>(decoded));
  PageAttach(node);
  node.Materialize();
}

void XBobjNTXTag::WriteNode(const XBobjIndexKey& node, bool showsSeparator) {
  std::vector<Item> items;
  if (node.leaf) {
    const size_t n = node.keys.size() - (showsSeparator && !node.keys.empty() ? 1 : 0);
    for (size_t i = 0; i < n; ++i) items.push_back(Item{0, node.keys[i].record, node.keys[i].value});
    WritePage(node.page, items, 0);
    return;
  }
  for (size_t i = 0; i + 1 < node.keys.size(); ++i) {
    const XBobjIndexKeyData& k = node.keys[i];
    items.push_back(Item{static_cast<uint32_t>(k.link), k.record, k.value});
  }
  WritePage(node.page, items, node.keys.empty() ? 0 : static_cast<uint32_t>(node.keys.back().link));
}

// Whether the leaf at the right end below the child of `bound` ends with it;
// `leaf` and `items` tell where that leaf is and what it holds.
bool XBobjNTXTag::RightEndHolds(const XBobjIndexKeyData& bound, int64_t& leaf, std::vector<Item>& items) {
  leaf = static_cast<uint32_t>(bound.link);
  for (int level = 0; level < kMaxLevels; ++level) {
    ReadItems(leaf, items);
    if (items.front().child == 0) {
      if (items.size() < 2) return false;
      const Item& last = items[items.size() - 2];
      return last.record == bound.record && CompareKeys(last.key, bound.value, false) == 0;
    }
    leaf = items.back().child;
  }
  ntx_->Damaged("tree too deep");
}

// A leaf whose own keys are all gone (it shows only the separator above it)
// takes that separator back as a key and merges with a neighbour leaf of the
// same parent, or, when the neighbour is full, borrows the neighbour's key
// next to it as the new separator. False when there is no neighbour leaf.
bool XBobjNTXTag::RebalanceEmptyLeaf(size_t depth) {
  auto& path = Path();
  XBobjIndexKey& leaf = *path[depth];
  XBobjIndexKey& parent = *path[depth - 1];
  const int p = parent.position;
  if (p < 0 || p >= parent.Count()) return false;
  const bool right = p + 1 < parent.Count();
  if (!right && p == 0) return false;
  XBobjIndexKeyData& separator = parent.keys[static_cast<size_t>(right ? p : p - 1)];
  const int64_t sibling = static_cast<uint32_t>(right ? parent.keys[static_cast<size_t>(p + 1)].link : separator.link);
  std::vector<Item> items;
  ReadItems(sibling, items);
  if (items.front().child != 0) return false;
  items.pop_back();  // the item that carries no key
  const Item down{0, separator.record, separator.value};
  if (static_cast<int>(items.size()) < maxKeys_) {
    // Merge: the separator and the neighbour's keys in one page; the
    // emptied page leaves the tree.
    if (right) {
      items.insert(items.begin(), down);
      parent.keys.erase(parent.keys.begin() + p);
    } else {
      items.push_back(down);
      parent.keys[static_cast<size_t>(p)].link = static_cast<int32_t>(sibling);
      parent.keys.erase(parent.keys.begin() + (p - 1));
    }
    WritePage(sibling, items, 0);
    parent.position = right ? p : p - 1;
    parent.changed = true;
    path.resize(depth);
    PageStore(depth - 1);  // the chain now ends here; store it before it is passed over
    return true;
  }
  // Borrow: the neighbour's key next to the separator moves up, the
  // separator comes down as this leaf's only key.
  Item up = right ? items.front() : items.back();
  if (right) items.erase(items.begin());
  else items.pop_back();
  WritePage(sibling, items, 0);
  WritePage(leaf.page, {down}, 0);
  XBobjIndexKeyData shown = leaf.keys.back();
  separator.value = up.key;
  separator.record = up.record;
  parent.changed = true;
  if (right) shown = XBobjIndexKeyData(up.key, up.record, up.record);
  leaf.keys = {XBobjIndexKeyData(down.key, down.record, down.record), shown};
  leaf.position = 0;
  leaf.changed = false;
  return true;
}

void XBobjNTXTag::PageStore(size_t depth) {
  auto& path = Path();
  for (;;) {
    XBobjIndexKey& node = *path[depth];
    const bool shows = node.leaf && SeparatorAbove(depth).has_value();
    const int real = node.leaf ? node.Count() - (shows ? 1 : 0) : node.Count() - 1;
    if (node.leaf && shows && real == 0 && depth > 0 && RebalanceEmptyLeaf(depth)) return;
    if (real <= maxKeys_) {
      if (!node.leaf && depth + 1 == path.size() && !SeparatorAbove(depth) && node.Count() > 0) {
        // The chain ends above the leaves only after a page at the right end
        // was removed; the key that separated it then has no page to live in.
        XBobjIndexKeyData& bound = node.keys.back();
        // Record 0 marks the bound above everything (see PageLoad).
        int64_t leaf = 0;
        std::vector<Item> items;
        if (bound.record != 0 && !RightEndHolds(bound, leaf, items)) {
          // It is above every key left, so it ends the leaf at the right end;
          // a full leaf takes it through an ordinary insert afterwards.
          const XBobjIndexKeyData orphan(bound.value, bound.record, bound.record);
          bound.value = Top();
          bound.record = 0;
          items.pop_back();
          if (static_cast<int>(items.size()) < maxKeys_) {
            items.push_back(Item{0, orphan.record, orphan.value});
            WritePage(leaf, items, 0);
          } else {
            orphan_ = orphan;
            orphanPending_ = true;
            changed_ = true;
          }
        }
      }
      WriteNode(node, shows);
      node.changed = false;
      return;
    }
    // Split: the lower half goes to a new page on the left, the median key
    // moves up between the two.
    const int move = real / 2 + 1;
    XBobjIndexKey left;
    left.leaf = node.leaf;
    left.keys.assign(node.keys.begin(), node.keys.begin() + move);
    node.keys.erase(node.keys.begin(), node.keys.begin() + move);
    node.position = std::max(0, node.position - move);
    left.page = ntx_->AllocatePage();
    WriteNode(left, true);
    XBobjIndexKeyData separator = left.keys.back();
    separator.link = static_cast<int32_t>(left.page);
    depth = ParentInsert(depth, separator);
  }
}

// ---------------------------------------------------------------- bulk build

uint32_t XBobjSortNTX::WriteLevel(size_t level, uint32_t lastChild) {
  const uint32_t page = static_cast<uint32_t>(tag_.ntx_->AllocatePage());
  tag_.WritePage(page, levels_[level], lastChild);
  levels_[level].clear();
  return page;
}

void XBobjSortNTX::AddSeparator(size_t level, XBobjNTXTag::Item item) {
  if (level >= static_cast<size_t>(kMaxLevels)) tag_.ntx_->Refuse("Index too deep - " + tag_.ntx_->ShownName());
  if (levels_.size() <= level) levels_.resize(level + 1);
  if (static_cast<int>(levels_[level].size()) == tag_.maxKeys_) {
    // Full: the separator's left child closes the page, and the separator
    // goes up with the page as its left child.
    item.child = WriteLevel(level, item.child);
    AddSeparator(level + 1, std::move(item));
    return;
  }
  levels_[level].push_back(std::move(item));
}

void XBobjSortNTX::Build() {
  vx::IndexKeyStream keys(tag_, tag_.descendingCompare_);
  vx::IndexTableLink* table = tag_.ntx_->Table();
  levels_.assign(1, {});
  bool pending = false;
  XBobjNTXTag::Item waiting{0, 0, {}};
  int32_t drained = 0;
  std::string_view key;
  int32_t record = 0;
  while (keys.Next(key, record)) {
    XBobjNTXTag::Item item{0, record, std::string(key)};
    if (table) table->Status(xbProgressKey, ++drained, 0);
    if (pending) {
      waiting.child = WriteLevel(0, 0);
      AddSeparator(1, std::move(waiting));
      pending = false;
    } else if (static_cast<int>(levels_[0].size()) == tag_.maxKeys_) {
      waiting = std::move(item);
      pending = true;
      continue;
    }
    levels_[0].push_back(std::move(item));
  }
  if (pending) {
    // A full leaf and one key after it: the leaf's last key separates them.
    XBobjNTXTag::Item separator = std::move(levels_[0].back());
    levels_[0].pop_back();
    separator.child = WriteLevel(0, 0);
    AddSeparator(1, std::move(separator));
    levels_[0].push_back(std::move(waiting));
  }
  uint32_t carry = WriteLevel(0, 0);
  for (size_t level = 1; level < levels_.size(); ++level) {
    if (!levels_[level].empty()) carry = WriteLevel(level, carry);
  }
  levels_.clear();
  if (table) table->Status(xbProgressEnd, 0, 0);
  tag_.root_ = carry;
  tag_.changed_ = true;
  tag_.TagStore();
}

// ---------------------------------------------------------------- file

XBobjNTXFile::XBobjNTXFile(vx::IndexTableLink* table) : XBobjIndexFile(table) { pageBytes_ = kPageSize; }

XBobjNTXFile::~XBobjNTXFile() { ReleaseTagsQuietly(); }

XBobjNTXTag* XBobjNTXFile::Tag() const {
  return tags_.empty() ? nullptr : static_cast<XBobjNTXTag*>(tags_.front().get());
}

bool XBobjNTXFile::Create(const std::string& fileName, bool overwrite, bool create, bool shared, bool writable) {
  if (!Open(fileName, overwrite, create, shared, writable, ".NTX")) return false;
  const int64_t size = disk_->FileSize();
  version_ = 1;
  if (size == 0 && create) {
    endOfFile_ = 0;
    return true;
  }
  endOfFile_ = size;
  LoadOnlyTag(std::make_unique<XBobjNTXTag>(this, OnlyTagName()));
  return true;
}

XBobjIndexTag* XBobjNTXFile::TagAdd(const XBTagDefinition& definition) {
  version_ = 1;
  return CreateOnlyTag(std::make_unique<XBobjNTXTag>(this, OnlyTagName()), definition);
}

int64_t XBobjNTXFile::ReadEndOfFile() {
  if (endOfFile_ < 0) endOfFile_ = disk_ ? disk_->FileSize() / kPageSize * kPageSize : 0;
  return endOfFile_;
}

int64_t XBobjNTXFile::AllocatePage() {
  const int64_t page = ReadEndOfFile();
  endOfFile_ = page + kPageSize;
  return page;
}

bool XBobjNTXFile::KeyUpdateAll(int32_t record, bool appending) {
  if (XBobjNTXTag* tag = Tag()) {
    // Another writer of a shared file counts on from the file's value, so
    // that every change moves the counter that readers compare.
    uint32_t onDisk = 0;
    if (disk_ && disk_->Shared() && ReadVersion(onDisk)) version_ = static_cast<int>(onDisk);
    if (version_ > 32766) version_ = 0;
    ++version_;
    tag->changed_ = true;
    tag->TagStore();
    NoteOwnVersion(static_cast<uint32_t>(version_));
  }
  return XBobjIndexFile::KeyUpdateAll(record, appending);
}

bool XBobjNTXFile::ReadVersion(uint32_t& version) {
  uint8_t head[header::kVersion + 2];
  if (!disk_ || !PageRead(0, head, sizeof head)) return false;
  version = vx::GetLE16(head + header::kVersion);
  return true;
}

bool XBobjNTXFile::ChangedByOthers() {
  if (!disk_ || !disk_->Shared()) return false;
  uint32_t onDisk = 0;
  return ReadVersion(onDisk) && onDisk != static_cast<uint32_t>(version_);
}

void XBobjNTXFile::Empty() {
  XBobjNTXTag* tag = Tag();
  if (!tag || !disk_) return;
  vx::WholeFileLock lock(*this, xbCtxTruncate);
  tag->ForgetChain();
  disk_->FileTruncate(2 * kPageSize);
  tag->root_ = kPageSize;
  endOfFile_ = 2 * kPageSize;
  version_ = 1;
  tag->TagStore();
  uint8_t zero[kPageSize] = {};
  PageWrite(kPageSize, zero, kPageSize);
}

void XBobjNTXFile::Reindex() {
  XBobjNTXTag* tag = Tag();
  if (!tag || !disk_) return;
  Empty();
  vx::WholeFileLock lock(*this, xbCtxTruncate);
  const std::string key = tag->KeyExpr();
  const std::string filter = tag->ForExpr();
  tag->TagCreate(key, tag->Unique(), tag->Ascending(), filter);
}
