// Consistency check of a whole index tag, usable for every format: walks the
// tree level by level from the root and reports every fault found.
//
// Checked: keys in order within and across leaves (ties by record where the
// format orders equal keys by record); each interior entry equal to the
// highest key of its child; sibling chains complete both ways on every level,
// ending in -1; all leaves on one level; no empty page below the root.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tables/index/xb_index.h"

namespace vx::test {

struct IndexCheckResult {
  std::vector<std::string> faults;
  std::vector<std::pair<std::string, int32_t>> entries;  // (key, record) in leaf order
  int levels = 0;
  int pages = 0;
};

// siblings: whether the format links pages of a level both ways.
IndexCheckResult CheckIndexTag(XBobjIndexTag& tag, bool siblings = true);

// Every (key, record) in index order through the tag's own walk (KeyRead).
std::vector<std::pair<std::string, int32_t>> WalkIndexTag(XBobjIndexTag& tag, bool backwards = false);

}  // namespace vx::test
