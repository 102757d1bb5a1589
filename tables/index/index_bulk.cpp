#include "tables/index/index_bulk.h"

#include <algorithm>
#include <cstring>

#include "tables/base/xb_dates.h"

namespace vx {

double GetLEDouble(const uint8_t* p) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

void PutLEDouble(uint8_t* p, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(bits >> (8 * i));
}

std::string GetZText(const uint8_t* p, size_t size) {
  size_t n = 0;
  while (n < size && p[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

std::string GetFilledText(const uint8_t* p, size_t size) {
  while (size > 0 && (p[size - 1] == ' ' || p[size - 1] == '\0')) --size;
  return std::string(reinterpret_cast<const char*>(p), size);
}

int64_t ReadHeaderRoot(XBobjIndexFile& file, int64_t position, const std::string& what) {
  uint8_t head[4];
  if (!file.PageRead(position, head, 4)) file.Damaged(what);
  return GetLE32(head);
}

std::string DbaseCharacterKey(const IndexValue& value) {
  using Kind = IndexValue::Kind;
  switch (value.kind) {
    case Kind::Text: return value.text;
    case Kind::Logical: return value.logical ? "T" : "F";
    case Kind::Number: return std::to_string(value.number);
    case Kind::Date: return xbDBFDate.DTOS(value.day);
  }
  return value.text;
}

std::vector<IndexBulkItem> CollectIndexKeys(XBobjIndexTag& tag, bool descending) {
  IndexTableLink* table = tag.File()->Table();
  std::vector<IndexBulkItem> items;
  if (!table) return items;
  const int32_t count = std::max(table->RecordCount(), 0);
  items.reserve(static_cast<size_t>(count));
  table->Status(xbProgressStart, xbProgressRead, count);
  for (int32_t rec = 1; rec <= count; ++rec) {
    table->ReadForIndex(rec);
    if (!tag.HasFor() || tag.ForOK()) {
      XBobjIndexKeyData key;
      if (tag.KeyBuild(key)) {
        tag.AdjustValue(key, true);
        items.push_back(IndexBulkItem{std::move(key.value), rec});
      }
    }
    table->Status(xbProgressRead, rec, 0);
  }
  table->Status(xbProgressEnd, 0, 0);
  table->Status(xbProgressStart, xbProgressKey, count);
  const XBKeyType type = tag.KeyType();
  std::stable_sort(items.begin(), items.end(), [type, descending](const IndexBulkItem& a, const IndexBulkItem& b) {
    int c = CompareIndexKeys(a.key, b.key, type, false);
    if (descending) c = -c;
    return c != 0 ? c < 0 : a.record < b.record;
  });
  if (tag.Unique()) {
    auto last = std::unique(items.begin(), items.end(), [type](const IndexBulkItem& a, const IndexBulkItem& b) {
      return CompareIndexKeys(a.key, b.key, type, false) == 0;
    });
    items.erase(last, items.end());
  }
  return items;
}

}  // namespace vx

namespace vx {

int64_t BuildIndexTree(std::vector<IndexBulkItem>& items, int maxKeys, IndexTableLink* table,
                       const std::function<int64_t()>& allocate,
                       const std::function<void(const XBobjIndexKey&)>& write) {
  XBobjIndexKey node;
  if (items.empty()) {
    node.page = allocate();
    node.leaf = true;
    write(node);
    return node.page;
  }
  std::vector<XBobjIndexKeyData> level;  // (highest key, page) of each page written
  const size_t perLeaf = static_cast<size_t>(std::max(maxKeys, 1));
  int32_t left = -1;
  // Writes `node` as the next page of its level; its highest key goes up.
  auto emit = [&](std::vector<XBobjIndexKeyData>& up) {
    node.page = allocate();
    node.left = left;
    write(node);
    left = static_cast<int32_t>(node.page);
    XBobjIndexKeyData entry = node.keys.back();
    entry.link = static_cast<int32_t>(node.page);
    up.push_back(std::move(entry));
  };
  int32_t drained = 0;
  for (size_t at = 0; at < items.size(); at += perLeaf) {
    node = XBobjIndexKey();
    node.leaf = true;
    const size_t end = std::min(items.size(), at + perLeaf);
    for (size_t i = at; i < end; ++i) {
      node.keys.emplace_back(std::move(items[i].key), items[i].record, items[i].record);
      if (table) table->Status(xbProgressKey, ++drained, 0);
    }
    emit(level);
  }
  items.clear();
  const size_t fan = perLeaf + 1;
  while (level.size() > 1) {
    const size_t pages = (level.size() + fan - 1) / fan;
    std::vector<XBobjIndexKeyData> above;
    left = -1;
    size_t at = 0;
    for (size_t p = 0; p < pages; ++p) {
      // Spread the children evenly, so no page is left with a single child.
      const size_t take = level.size() / pages + (p < level.size() % pages ? 1 : 0);
      node = XBobjIndexKey();
      node.leaf = false;
      node.keys.assign(level.begin() + static_cast<std::ptrdiff_t>(at),
                       level.begin() + static_cast<std::ptrdiff_t>(at + take));
      at += take;
      emit(above);
    }
    level = std::move(above);
  }
  if (table) table->Status(xbProgressEnd, 0, 0);
  return level.front().link;
}

}  // namespace vx
