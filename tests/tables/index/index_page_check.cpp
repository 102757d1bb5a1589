#include "tests/tables/index/index_page_check.h"

namespace vx::test {

IndexCheckResult CheckIndexTag(XBobjIndexTag& tag, bool siblings) {
  IndexCheckResult res;
  auto fault = [&](const std::string& s) {
    if (res.faults.size() < 50) res.faults.push_back(s);
  };
  const bool carry = tag.File()->KeysCarryRecord();
  const XBKeyType type = tag.KeyType();
  std::vector<int64_t> level{tag.HeaderRoot()};
  // Expected (highest key, record) of each page of the level, from its parent.
  std::vector<std::pair<std::string, int32_t>> expectedLast{{"", 0}};
  bool atRoot = true;
  while (!level.empty()) {
    ++res.levels;
    if (res.levels > 32) {
      fault("more than 32 levels");
      break;
    }
    std::vector<XBobjIndexKey> nodes(level.size());
    for (size_t i = 0; i < level.size(); ++i) {
      tag.LoadNode(level[i], nodes[i]);
      ++res.pages;
    }
    const bool leaves = nodes.front().leaf;
    std::vector<int64_t> next;
    std::vector<std::pair<std::string, int32_t>> nextLast;
    for (size_t i = 0; i < nodes.size(); ++i) {
      const XBobjIndexKey& n = nodes[i];
      const std::string where = "page " + std::to_string(n.page);
      if (n.leaf != leaves) fault(where + ": leaf and interior pages on one level");
      if (n.keys.empty() && !atRoot) fault(where + ": empty page below the root");
      if (siblings) {
        const int64_t wantLeft = i == 0 ? -1 : nodes[i - 1].page;
        const int64_t wantRight = i + 1 == nodes.size() ? -1 : nodes[i + 1].page;
        if (n.left != static_cast<int32_t>(wantLeft)) fault(where + ": left sibling " + std::to_string(n.left));
        if (n.right != static_cast<int32_t>(wantRight)) fault(where + ": right sibling " + std::to_string(n.right));
      }
      if (!atRoot && !n.keys.empty()) {
        const auto& last = n.keys.back();
        const auto& want = expectedLast[i];
        if (CompareIndexKeys(last.value, want.first, type, false) != 0 || (carry && last.record != want.second)) {
          fault(where + ": parent entry is not the highest key of its child");
        }
      }
      for (const auto& k : n.keys) {
        if (leaves) {
          res.entries.emplace_back(k.value, k.record);
        } else {
          next.push_back(static_cast<uint32_t>(k.link));
          nextLast.emplace_back(k.value, k.record);
        }
      }
    }
    atRoot = false;
    if (leaves) break;
    level = std::move(next);
    expectedLast = std::move(nextLast);
  }
  for (size_t i = 1; i < res.entries.size(); ++i) {
    const auto& a = res.entries[i - 1];
    const auto& b = res.entries[i];
    const int c = CompareIndexKeys(a.first, b.first, type, false);
    if (c > 0 || (c == 0 && carry && a.second >= b.second)) {
      fault("leaf entries out of order at " + std::to_string(i));
    }
  }
  return res;
}

std::vector<std::pair<std::string, int32_t>> WalkIndexTag(XBobjIndexTag& tag, bool backwards) {
  std::vector<std::pair<std::string, int32_t>> out;
  int32_t rec = tag.KeyRead(backwards ? -4 : -3);
  while (rec != 0) {
    out.emplace_back(tag.CurrentKey().value, rec);
    rec = tag.KeyRead(backwards ? -2 : -1);
  }
  return out;
}

}  // namespace vx::test
