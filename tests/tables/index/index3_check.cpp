#include "tests/tables/index/index3_check.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>

namespace vx::test {

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

}  // namespace

bool InKeyOrder(const std::vector<std::pair<std::string, int32_t>>& entries, XBKeyType type, bool descending) {
  for (size_t i = 1; i < entries.size(); ++i) {
    int c = CompareIndexKeys(entries[i - 1].first, entries[i].first, type, false);
    if (descending) c = -c;
    if (c > 0) return false;
  }
  return true;
}

std::vector<std::pair<std::string, int32_t>> SortedEntries(std::vector<std::pair<std::string, int32_t>> entries,
                                                           XBKeyType type) {
  std::sort(entries.begin(), entries.end(), [type](const auto& a, const auto& b) {
    const int c = CompareIndexKeys(a.first, b.first, type, false);
    return c != 0 ? c < 0 : a.second < b.second;
  });
  return entries;
}

Index3Check CheckBplusTag(XBobjIndexTag& tag, int maxKeys, bool descending) {
  Index3Check res;
  auto fault = [&](const std::string& s) {
    if (res.faults.size() < 50) res.faults.push_back(s);
  };
  const XBKeyType type = tag.KeyType();
  int leafDepth = -1;
  // Returns the highest key of the subtree.
  std::function<std::string(int64_t, int)> visit = [&](int64_t page, int depth) -> std::string {
    if (depth > 32) {
      fault("more than 32 levels");
      return {};
    }
    res.levels = std::max(res.levels, depth + 1);
    ++res.pages;
    XBobjIndexKey node;
    tag.LoadNode(page, node);
    const std::string where = "page " + std::to_string(page);
    const int real = node.leaf ? node.Count() : node.Count() - 1;
    if (real > maxKeys) fault(where + ": too many keys");
    if (node.Count() == 0 && depth > 0) fault(where + ": empty page below the root");
    if (node.leaf) {
      if (leafDepth < 0) leafDepth = depth;
      if (leafDepth != depth) fault(where + ": leaves on different levels");
      for (const auto& k : node.keys) res.entries.emplace_back(k.value, k.link);
      return node.keys.empty() ? std::string() : node.keys.back().value;
    }
    std::string highest;
    for (int i = 0; i < node.Count(); ++i) {
      const auto& k = node.keys[static_cast<size_t>(i)];
      highest = visit(static_cast<uint32_t>(k.link), depth + 1);
      if (i + 1 < node.Count() && CompareIndexKeys(highest, k.value, type, false) != 0) {
        fault(where + ": entry " + std::to_string(i) + " is not the highest key of its child");
      }
    }
    return highest;
  };
  visit(tag.HeaderRoot(), 0);
  if (!InKeyOrder(res.entries, type, descending)) fault("keys out of order");
  return res;
}

Index3Check CheckNtxFile(const std::string& path) {
  Index3Check res;
  auto fault = [&](const std::string& s) {
    if (res.faults.size() < 50) res.faults.push_back(s);
  };
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (f.size() < 1024 || f.size() % 1024 != 0) {
    fault("file size " + std::to_string(f.size()));
    return res;
  }
  const size_t entry = Le16(f, 12);
  const size_t keyLength = Le16(f, 14);
  const int maxKeys = Le16(f, 18);
  const int half = Le16(f, 20);
  if (entry != keyLength + 8) fault("entry size");
  if (half != ((1020 / static_cast<int>(entry + 2)) - 1) / 2 || maxKeys != 2 * half) fault("page shape");
  const bool descending = f[279] != 0;
  std::function<void(size_t, int)> visit = [&](size_t page, int depth) {
    if (depth > 32 || page == 0 || page % 1024 != 0 || page + 1024 > f.size()) {
      fault("bad page reference " + std::to_string(page));
      return;
    }
    ++res.pages;
    res.levels = std::max(res.levels, depth + 1);
    const int n = Le16(f, page);
    if (n == 0 && depth > 0) ++res.emptyLeaves;
    if (n > maxKeys) {
      fault("page " + std::to_string(page) + ": too many keys");
      return;
    }
    for (int i = 0; i <= n; ++i) {
      const size_t item = Le16(f, page + 2 + 2 * static_cast<size_t>(i));
      if (item + entry > 1024) {
        fault("page " + std::to_string(page) + ": item outside the page");
        return;
      }
      const size_t at = page + item;
      const uint32_t child = Le32(f, at);
      if (child != 0) visit(child, depth + 1);
      if (i == n) break;
      std::string key(f.begin() + static_cast<std::ptrdiff_t>(at + 8),
                      f.begin() + static_cast<std::ptrdiff_t>(at + 8 + keyLength));
      while (!key.empty() && key.back() == ' ') key.pop_back();
      res.entries.emplace_back(key, static_cast<int32_t>(Le32(f, at + 4)));
    }
  };
  visit(Le32(f, 4), 0);
  if (!InKeyOrder(res.entries, XBKeyType::Character, descending)) fault("keys out of order");
  return res;
}

}  // namespace vx::test
