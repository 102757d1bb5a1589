// Checks of whole single-tag and multiple index tags, per format.
//
// CheckBplusTag (NDX, MDX): through the tag's own page reader, every page
// from the root: keys in order, at most the maximum per page, each interior
// key equal to the highest key of its child, leaves all on one level, no
// empty page below the root.
//
// CheckNtxFile: decodes the NTX file's bytes without the engine (header,
// item offset tables, items) and walks the B-tree in order: each interior
// key between its subtrees, at most the maximum keys per page, the offsets
// inside the page.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tables/index/xb_index.h"

namespace vx::test {

struct Index3Check {
  std::vector<std::string> faults;
  std::vector<std::pair<std::string, int32_t>> entries;  // (stored key, record) in index order
  int levels = 0;
  int pages = 0;
  int emptyLeaves = 0;  // leaves below the root without keys
};

Index3Check CheckBplusTag(XBobjIndexTag& tag, int maxKeys, bool descending);
// Keys come back as the file holds them, trailing blanks removed.
Index3Check CheckNtxFile(const std::string& path);

// Keys non-decreasing (non-increasing when descending) along the list.
bool InKeyOrder(const std::vector<std::pair<std::string, int32_t>>& entries, XBKeyType type, bool descending);
// The list sorted by (key, record), for comparing as multisets.
std::vector<std::pair<std::string, int32_t>> SortedEntries(std::vector<std::pair<std::string, int32_t>> entries,
                                                           XBKeyType type);

}  // namespace vx::test
