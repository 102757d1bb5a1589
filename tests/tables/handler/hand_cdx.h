// Compound index files laid out byte by byte, as other programs write them:
// one root leaf per tag (4-byte entries: 16 bits of record, 8 of shared
// bytes, 8 of trailing bytes), and edits of the expressions a file holds.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/tables/dbf/dbf_testing.h"

namespace vx::test {

inline void PutLE32(std::string& bytes, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
}
inline void PutLE16(std::string& bytes, std::size_t at, std::uint32_t v) {
  bytes[at] = char(v & 0xFF);
  bytes[at + 1] = char((v >> 8) & 0xFF);
}

struct HandTag {
  std::string name, keyExpr;
  int keyLength;
  char fill;
  std::vector<std::pair<std::string, int>> keys;  // in stored order
  std::string forExpr;     // options 0x68 when not empty
  bool fullKeys = false;   // the fill bytes stored, not counted
};

inline std::string HandLeaf(int keyLength, char fill, const std::vector<std::pair<std::string, int>>& keys,
                            bool fullKeys = false) {
  std::string page(512, '\0');
  PutLE16(page, 0, 3);  // leaf and root
  PutLE16(page, 2, std::uint32_t(keys.size()));
  PutLE32(page, 4, 0xFFFFFFFF);
  PutLE32(page, 8, 0xFFFFFFFF);
  PutLE32(page, 14, 0xFFFF);
  page[18] = char(0xFF);
  page[19] = char(0xFF);
  page[20] = 16;
  page[21] = 8;
  page[22] = 8;
  page[23] = 4;
  std::size_t textAt = 512;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    std::string key = keys[i].first;
    key.resize(std::size_t(keyLength), fill);
    std::size_t kept = key.size();
    while (!fullKeys && kept > 0 && key[kept - 1] == fill) --kept;
    const std::uint32_t trailing = std::uint32_t(key.size() - kept);
    PutLE32(page, 24 + 4 * i, std::uint32_t(keys[i].second) | trailing << 24);
    textAt -= kept;
    page.replace(textAt, kept, key.substr(0, kept));
  }
  PutLE16(page, 12, std::uint32_t(textAt - 24 - 4 * keys.size()));
  return page;
}

inline std::string HandHeader(std::uint32_t root, int keyLength, std::uint8_t options, const std::string& keyExpr,
                              const std::string& forExpr = "") {
  std::string h(1024, '\0');
  PutLE32(h, 0, root);
  PutLE16(h, 12, std::uint32_t(keyLength));
  h[14] = char(options);
  h[15] = 1;
  PutLE16(h, 504, std::uint32_t(keyExpr.size() + 1));
  PutLE16(h, 506, std::uint32_t(forExpr.size() + 1));
  PutLE16(h, 510, std::uint32_t(keyExpr.size() + 1));
  h.replace(512, keyExpr.size(), keyExpr);
  h.replace(512 + keyExpr.size() + 1, forExpr.size(), forExpr);
  return h;
}

inline std::string HandCdx(std::vector<HandTag> tags) {
  std::sort(tags.begin(), tags.end(), [](const HandTag& a, const HandTag& b) { return a.name < b.name; });
  std::vector<std::pair<std::string, int>> names;
  for (std::size_t i = 0; i < tags.size(); ++i) names.push_back({tags[i].name, int(1536 + 1536 * i)});
  std::string file = HandHeader(1024, 10, 0xE0, "") + HandLeaf(10, ' ', names);
  for (const HandTag& t : tags) {
    const std::uint8_t options = t.forExpr.empty() ? 0x60 : 0x68;
    file += HandHeader(std::uint32_t(file.size() + 1024), t.keyLength, options, t.keyExpr, t.forExpr) +
            HandLeaf(t.keyLength, t.fill, t.keys, t.fullKeys);
  }
  return file;
}

// An integer key as FoxPro stores it: big-endian with the sign bit turned.
inline std::string FoxInteger(std::int32_t v) {
  const std::uint32_t u = std::uint32_t(v) ^ 0x80000000u;
  return {char(u >> 24), char((u >> 16) & 0xFF), char((u >> 8) & 0xFF), char(u & 0xFF)};
}

// The tag header of a compound file holding the expressions (keyText,
// forText) gets (newKey, newFor) instead, as another program would have
// written them.
inline void ReplaceExpressions(const std::string& path, const std::string& keyText, const std::string& forText,
                               const std::string& newKey, const std::string& newFor) {
  std::string bytes = ReadFileBytes(path);
  const std::string pool = keyText + '\0' + forText + '\0';
  const std::size_t at = bytes.find(pool);
  ASSERT_NE(at, std::string::npos) << keyText << " / " << forText;
  const std::size_t header = at - 512;
  std::string fresh = newKey + '\0' + newFor + '\0';
  fresh.resize(512, '\0');
  bytes.replace(at, 512, fresh);
  PutLE16(bytes, header + 504, std::uint32_t(newKey.size() + 1));
  PutLE16(bytes, header + 506, std::uint32_t(newFor.size() + 1));
  PutLE16(bytes, header + 510, std::uint32_t(newKey.size() + 1));
  WriteFileBytes(path, bytes);
}

inline void ReplaceForExpression(const std::string& path, const std::string& keyText, const std::string& forText,
                                 const std::string& newFor) {
  ReplaceExpressions(path, keyText, forText, keyText, newFor);
}

}  // namespace vx::test
