// Node pages of compound index files (512 bytes each).
//
// Common head of every page:
//
//   offset | size | field
//   -------+------+------------------------------------------------------
//   0      | 2    | attributes: 0 interior, 1 interior root, 2 leaf, 3 leaf root;
//          |      | read: below 2 interior, anything else a leaf
//   2      | 2    | number of keys
//   4      | 4    | left sibling page offset, -1 if none
//   8      | 4    | right sibling page offset, -1 if none
//
// Interior page, from offset 12: entries of key length + 8 bytes, at most
// 500 div (key length + 8): the key (blank-filled for character tags, zero-
// filled otherwise), the record number (4 bytes, big-endian), the child page
// offset (4 bytes, big-endian). An entry holds the highest key of its child.
//
// Leaf page (compact):
//
//   offset | size | field
//   -------+------+------------------------------------------------------
//   12     | 2    | free bytes in the key area
//   14     | 4    | record-number mask
//   18     | 1    | duplicate-count mask
//   19     | 1    | trailing-count mask
//   20     | 1    | bits of the record number (r)
//   21     | 1    | bits of the duplicate count (d)
//   22     | 1    | bits of the trailing count (t)
//   23     | 1    | bytes per entry (N)
//   24     | 488  | key area
//
// Entry i sits at 24 + i*N, an N-byte little-endian number:
//   record | duplicates << (8N - t - d) | trailing << (8N - t)
// Key texts (the bytes after the shared prefix, without the trailing ones)
// grow down from offset 511, the first key's text ending at 511.
// Little-endian everywhere except the interior record and child fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tables/index/xb_index_key.h"

namespace vx {

inline constexpr int kCdxPageSize = 512;
inline constexpr int kCdxLeafArea = 488;

struct CdxLeafParams {
  uint32_t recordMask = 0;
  uint8_t dupMask = 0;
  uint8_t trailMask = 0;
  uint8_t recordBits = 0;
  uint8_t dupBits = 0;
  uint8_t trailBits = 0;
  uint8_t entryBytes = 0;  // N
};

struct CdxPageHead {
  uint16_t attributes = 0;
  uint16_t count = 0;
  int32_t left = -1;
  int32_t right = -1;
};

// How keys of a tag are laid out in its pages.
struct CdxKeyLayout {
  int keyLength = 0;
  XBKeyType type = XBKeyType::Character;
  bool general = false;  // "GENERAL" collation: tail bytes >= 0xF0 may be held as nibbles
};

CdxLeafParams CdxChooseLeafParams(int keyLength, uint32_t highestRecord);

CdxPageHead CdxReadHead(const uint8_t* page);
void CdxWriteHead(uint8_t* page, const CdxPageHead& head);

// Bytes a key takes in a leaf after a key `previous` (N + stored text).
int CdxLeafCost(const CdxLeafParams& p, const CdxKeyLayout& layout, const std::string& previous,
                const std::string& key);

// Packs keys into the page's key area and head fields 12..23 and the count;
// the attributes and siblings are the caller's. nibbleTails stores the tail
// bytes >= 0xF0 of "GENERAL" keys as their low four bits. Returns false when
// the keys do not fit in the key area.
bool CdxPackLeaf(uint8_t* page, const std::vector<XBobjIndexKeyData>& keys, const CdxLeafParams& p,
                 const CdxKeyLayout& layout, bool nibbleTails);
// Unpacks a leaf; false when the page contradicts itself (counts, bit widths
// or texts beyond the page). Never reads past the page. Character keys come
// without trailing blanks, whether the page counted them or stored them.
bool CdxUnpackLeaf(const uint8_t* page, const CdxKeyLayout& layout, std::vector<XBobjIndexKeyData>& keys);

int CdxInteriorCapacity(int keyLength);
bool CdxPackInterior(uint8_t* page, const std::vector<XBobjIndexKeyData>& keys, const CdxKeyLayout& layout);
bool CdxUnpackInterior(const uint8_t* page, const CdxKeyLayout& layout, std::vector<XBobjIndexKeyData>& keys);

}  // namespace vx
