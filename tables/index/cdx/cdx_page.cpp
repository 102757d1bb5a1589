#include "tables/index/cdx/cdx_page.h"

#include <algorithm>
#include <cstring>

namespace vx {
namespace {

// Page fields (layout in cdx_page.h); part of the file format.
constexpr int kAttributes = 0;
constexpr int kCount = 2;
constexpr int kLeft = 4;
constexpr int kRight = 8;
constexpr int kBody = 12;  // interior entries; the leaf's free count
constexpr int kLeafFree = 12;
constexpr int kLeafRecordMask = 14;
constexpr int kLeafDupMask = 18;
constexpr int kLeafTrailMask = 19;
constexpr int kLeafRecordBits = 20;
constexpr int kLeafDupBits = 21;
constexpr int kLeafTrailBits = 22;
constexpr int kLeafEntryBytes = 23;
constexpr int kLeafEntries = 24;

uint32_t GetLE(const uint8_t* p, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}
void PutLE(uint8_t* p, uint64_t v, int n) {
  for (int i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetBE(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
void PutBE(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

int BitsFor(int value) {
  int b = 0;
  while ((value >> b) != 0) ++b;
  return b;
}

char FillByte(const CdxKeyLayout& layout) { return layout.type == XBKeyType::Character ? ' ' : '\0'; }

// Restores "GENERAL" tail bytes held as nibbles and cuts the key at a zero.
void RestoreGeneralTail(std::string& key) {
  for (size_t i = key.size(); i > 0 && static_cast<uint8_t>(key[i - 1]) < 16; --i) {
    key[i - 1] = static_cast<char>(static_cast<uint8_t>(key[i - 1]) | 0xF0);
  }
  const size_t zero = key.find('\0');
  if (zero != std::string::npos) key.resize(zero);
}

void NibbleTail(uint8_t* text, size_t n) {
  for (size_t i = n; i > 0 && text[i - 1] >= 0xF0; --i) text[i - 1] &= 0x0F;
}

// The count field of `bits` bits at `shift` in an entry; none when it has no
// bits (a shift by the entry's full 64 bits would be undefined).
int EntryField(uint64_t entry, int shift, int bits) {
  if (bits == 0) return 0;
  return static_cast<int>((entry >> shift) & ((uint64_t{1} << bits) - 1));
}

size_t SharedPrefix(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  size_t i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

}  // namespace

CdxLeafParams CdxChooseLeafParams(int keyLength, uint32_t highestRecord) {
  CdxLeafParams p;
  const int b = BitsFor(keyLength);
  p.dupBits = p.trailBits = static_cast<uint8_t>(b);
  p.dupMask = p.trailMask = static_cast<uint8_t>((1u << b) - 1);
  int r = 24 - 2 * b;
  int n = 3;
  uint64_t mask = (uint64_t{1} << r) - 1;
  while (mask < highestRecord) {
    ++n;
    r += 8;
    mask = mask * 256 + 255;
    if (mask > 0x7FFFFFFF) {
      mask = 0x7FFFFFFF;
      r = 31;
      break;
    }
  }
  p.recordMask = static_cast<uint32_t>(mask);
  p.recordBits = static_cast<uint8_t>(r);
  p.entryBytes = static_cast<uint8_t>(n);
  return p;
}

CdxPageHead CdxReadHead(const uint8_t* page) {
  CdxPageHead h;
  h.attributes = static_cast<uint16_t>(GetLE(page + kAttributes, 2));
  h.count = static_cast<uint16_t>(GetLE(page + kCount, 2));
  h.left = static_cast<int32_t>(GetLE(page + kLeft, 4));
  h.right = static_cast<int32_t>(GetLE(page + kRight, 4));
  return h;
}

void CdxWriteHead(uint8_t* page, const CdxPageHead& head) {
  PutLE(page + kAttributes, head.attributes, 2);
  PutLE(page + kCount, head.count, 2);
  PutLE(page + kLeft, static_cast<uint32_t>(head.left), 4);
  PutLE(page + kRight, static_cast<uint32_t>(head.right), 4);
}

int CdxLeafCost(const CdxLeafParams& p, const CdxKeyLayout& layout, const std::string& previous,
                const std::string& key) {
  const size_t len = std::min<size_t>(key.size(), static_cast<size_t>(layout.keyLength));
  const size_t dup = std::min(SharedPrefix(previous, key), len);
  return p.entryBytes + static_cast<int>(len - dup);
}

bool CdxPackLeaf(uint8_t* page, const std::vector<XBobjIndexKeyData>& keys, const CdxLeafParams& p,
                 const CdxKeyLayout& layout, bool nibbleTails) {
  std::memset(page + kBody, 0, kCdxPageSize - kBody);
  const int n = p.entryBytes;
  const int shiftDup = 8 * n - p.trailBits - p.dupBits;
  const int shiftTrail = 8 * n - p.trailBits;
  int textEnd = kCdxPageSize;  // texts grow down from here
  int entryAt = kLeafEntries;
  // What a reader's work buffer holds after the previous key: the stored
  // bytes (tails possibly as nibbles), so shared prefixes are taken from it.
  std::string shadow;
  for (const XBobjIndexKeyData& key : keys) {
    const size_t len = std::min<size_t>(key.value.size(), static_cast<size_t>(layout.keyLength));
    const std::string own = key.value.substr(0, len);
    const size_t dup = std::min(SharedPrefix(shadow, own), len);
    const size_t trail = static_cast<size_t>(layout.keyLength) - len;
    const int textLen = static_cast<int>(len - dup);
    if (textEnd - textLen < entryAt + n) return false;
    textEnd -= textLen;
    std::memcpy(page + textEnd, own.data() + dup, static_cast<size_t>(textLen));
    if (nibbleTails && layout.general) NibbleTail(page + textEnd, static_cast<size_t>(textLen));
    shadow.resize(len);
    if (textLen > 0) std::memcpy(shadow.data() + dup, page + textEnd, static_cast<size_t>(textLen));
    const uint64_t entry = (static_cast<uint64_t>(static_cast<uint32_t>(key.link)) & p.recordMask) |
                           (static_cast<uint64_t>(dup) << shiftDup) | (static_cast<uint64_t>(trail) << shiftTrail);
    PutLE(page + entryAt, entry, n);
    entryAt += n;
  }
  PutLE(page + kCount, keys.size(), 2);
  PutLE(page + kLeafFree, static_cast<uint32_t>(textEnd - entryAt), 2);
  PutLE(page + kLeafRecordMask, p.recordMask, 4);
  page[kLeafDupMask] = p.dupMask;
  page[kLeafTrailMask] = p.trailMask;
  page[kLeafRecordBits] = p.recordBits;
  page[kLeafDupBits] = p.dupBits;
  page[kLeafTrailBits] = p.trailBits;
  page[kLeafEntryBytes] = p.entryBytes;
  return true;
}

bool CdxUnpackLeaf(const uint8_t* page, const CdxKeyLayout& layout, std::vector<XBobjIndexKeyData>& keys) {
  keys.clear();
  const int count = static_cast<int>(GetLE(page + kCount, 2));
  const uint32_t recordMask = GetLE(page + kLeafRecordMask, 4);
  const int dupBits = page[kLeafDupBits];
  const int trailBits = page[kLeafTrailBits];
  const int n = page[kLeafEntryBytes];
  if (count == 0) return true;
  if (n < 1 || n > 8 || dupBits > 16 || trailBits > 16 || dupBits + trailBits > 8 * n) return false;
  if (count * n > kCdxLeafArea) return false;
  const int shiftDup = 8 * n - trailBits - dupBits;
  const int shiftTrail = 8 * n - trailBits;
  const int keyLength = layout.keyLength;
  std::string work(static_cast<size_t>(keyLength), FillByte(layout));
  int textAt = kCdxPageSize;
  const int entriesEnd = kLeafEntries + count * n;
  keys.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    uint64_t entry = 0;
    for (int k = n - 1; k >= 0; --k) entry = (entry << 8) | page[kLeafEntries + i * n + k];
    const int dup = EntryField(entry, shiftDup, dupBits);
    const int trail = EntryField(entry, shiftTrail, trailBits);
    if (dup + trail > keyLength) return false;
    if (i == 0 && dup != 0) return false;
    const int textLen = keyLength - dup - trail;
    if (textAt - textLen < entriesEnd) return false;
    textAt -= textLen;
    std::memcpy(work.data() + dup, page + textAt, static_cast<size_t>(textLen));
    std::string key = work.substr(0, static_cast<size_t>(keyLength - trail));
    if (layout.general) {
      RestoreGeneralTail(key);
    } else if (layout.type == XBKeyType::Character) {
      // Some writers store the trailing blanks of a key in full instead of
      // counting them; the key is the same.
      while (!key.empty() && key.back() == ' ') key.pop_back();
    }
    const int32_t record = static_cast<int32_t>(static_cast<uint32_t>(entry) & recordMask);
    keys.emplace_back(std::move(key), record, record);
  }
  return true;
}

int CdxInteriorCapacity(int keyLength) { return 500 / (keyLength + 8); }

bool CdxPackInterior(uint8_t* page, const std::vector<XBobjIndexKeyData>& keys, const CdxKeyLayout& layout) {
  const int size = layout.keyLength + 8;
  if (kBody + static_cast<int>(keys.size()) * size > kCdxPageSize) return false;
  std::memset(page + kBody, 0, kCdxPageSize - kBody);
  PutLE(page + kCount, keys.size(), 2);
  uint8_t* at = page + kBody;
  for (const XBobjIndexKeyData& key : keys) {
    const size_t len = std::min<size_t>(key.value.size(), static_cast<size_t>(layout.keyLength));
    std::memset(at, FillByte(layout), static_cast<size_t>(layout.keyLength));
    std::memcpy(at, key.value.data(), len);
    if (layout.general) NibbleTail(at, len);
    PutBE(at + layout.keyLength, static_cast<uint32_t>(key.record));
    PutBE(at + layout.keyLength + 4, static_cast<uint32_t>(key.link));
    at += size;
  }
  return true;
}

bool CdxUnpackInterior(const uint8_t* page, const CdxKeyLayout& layout, std::vector<XBobjIndexKeyData>& keys) {
  keys.clear();
  const int count = static_cast<int>(GetLE(page + kCount, 2));
  const int size = layout.keyLength + 8;
  if (kBody + count * size > kCdxPageSize) return false;
  const char fill = FillByte(layout);
  keys.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const uint8_t* at = page + kBody + i * size;
    size_t len = static_cast<size_t>(layout.keyLength);
    while (len > 0 && static_cast<char>(at[len - 1]) == fill) --len;
    std::string key(reinterpret_cast<const char*>(at), len);
    if (layout.general) RestoreGeneralTail(key);
    keys.emplace_back(std::move(key), static_cast<int32_t>(GetBE(at + layout.keyLength + 4)),
                      static_cast<int32_t>(GetBE(at + layout.keyLength)));
  }
  return true;
}

}  // namespace vx
