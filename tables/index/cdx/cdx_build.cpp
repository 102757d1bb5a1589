// Bulk build of a compound index tag: every record's key into the sorter,
// then pages written level by level in key order, each page once.
#include <algorithm>
#include <cstring>
#include <numeric>

#include "tables/base/xb_variant.h"
#include "tables/index/cdx/cdx_index.h"
#include "tables/index/xb_sort.h"

namespace {

struct SortItem {
  std::string key;
  int32_t record;
};

}  // namespace

void XBobjSortCDX::BuildEmpty() {
  XBobjCDXFile& file = *tag_.cdx_;
  XBobjIndexKey root;
  root.page = file.AllocatePage();
  root.leaf = true;
  tag_.WriteNode(root, true, false);
  tag_.root_ = root.page;
  tag_.changed_ = true;
  tag_.TagStore();
}

void XBobjSortCDX::Build() {
  XBobjCDXFile& file = *tag_.cdx_;
  vx::IndexTableLink* table = file.Table();
  const int32_t count = table ? std::max(table->RecordCount(), 0) : 0;

  // Reading: every record of the file, deleted ones too, into the sorter.
  TxbSort sorter(std::min(tag_.keyLength_ + 1, TxbSort::kMaxKeyLength), count, true, tag_.unique_);
  if (table) table->Status(xbProgressStart, xbProgressRead, count);
  TxbVariant value;
  for (int32_t rec = 1; rec <= count; ++rec) {
    table->ReadForIndex(rec);
    if (!tag_.hasFor_ || tag_.ForOK()) {
      XBobjIndexKeyData key;
      if (tag_.KeyBuild(key)) {
        tag_.AdjustValue(key, true);
        value.PutRaw(key.value.data(), static_cast<int>(key.value.size()));
        sorter.InsertItem(value, rec);
      }
    }
    table->Status(xbProgressRead, rec, 0);
  }
  if (table) {
    table->Status(xbProgressEnd, 0, 0);
    table->Status(xbProgressStart, xbProgressKey, count);
  }
  // Drained in key order (records rising among equal keys; equal keys once
  // when unique).
  std::vector<SortItem> items;
  items.reserve(static_cast<size_t>(sorter.InsertCount()));
  int32_t rec = 0;
  while (sorter.GetNextItem(value, rec)) {
    items.push_back(
        SortItem{std::string(reinterpret_cast<const char*>(value.Data()), static_cast<size_t>(value.Length())), rec});
  }
  if (items.empty()) {
    BuildEmpty();
    if (table) table->Status(xbProgressEnd, 0, 0);
    return;
  }

  const vx::CdxKeyLayout layout = tag_.Layout();
  const vx::CdxLeafParams params = tag_.LeafParams(static_cast<uint32_t>(count));
  const int closeBelow = 2 * (params.entryBytes + layout.keyLength + 8);

  // Level 0: leaves.
  std::vector<XBobjIndexKeyData> level;  // entries for the level above
  XBobjIndexKey page;
  page.leaf = true;
  int64_t reserved = file.AllocatePage();
  int32_t left = -1;
  int freeBytes = vx::kCdxLeafArea;
  std::string previous;
  int written = 0;
  const size_t total = items.size();
  for (size_t i = 0; i < total; ++i) {
    freeBytes -= vx::CdxLeafCost(params, layout, previous, items[i].key);
    previous = items[i].key;
    page.keys.emplace_back(std::move(items[i].key), items[i].record, items[i].record);
    if (table) table->Status(xbProgressKey, ++written, 0);
    const bool last = i + 1 == total;
    if (freeBytes < closeBelow || last) {
      page.page = reserved;
      page.left = left;
      page.right = last ? -1 : static_cast<int32_t>(file.AllocatePage());
      const bool root = last && level.empty();
      tag_.WriteNode(page, root, false);
      XBobjIndexKeyData up = page.keys.back();
      up.link = static_cast<int32_t>(page.page);
      level.push_back(std::move(up));
      left = static_cast<int32_t>(page.page);
      reserved = page.right;
      page.keys.clear();
      freeBytes = vx::kCdxLeafArea;
      previous.clear();
      if (root) tag_.root_ = page.page;
    }
  }
  items.clear();
  items.shrink_to_fit();

  // Interior levels until one page remains.
  const int capacity = vx::CdxInteriorCapacity(layout.keyLength);
  while (level.size() > 1) {
    std::vector<XBobjIndexKeyData> above;
    XBobjIndexKey node;
    node.leaf = false;
    int32_t prev = -1;
    int64_t own = file.AllocatePage();
    for (size_t i = 0; i < level.size(); ++i) {
      node.keys.push_back(level[i]);
      const bool last = i + 1 == level.size();
      if (static_cast<int>(node.keys.size()) == capacity || last) {
        node.page = own;
        node.left = prev;
        node.right = last ? -1 : static_cast<int32_t>(file.AllocatePage());
        const bool root = last && above.empty();
        tag_.WriteNode(node, root, false);
        XBobjIndexKeyData up = node.keys.back();
        up.link = static_cast<int32_t>(node.page);
        above.push_back(std::move(up));
        if (root) tag_.root_ = node.page;
        prev = static_cast<int32_t>(node.page);
        own = node.right;
        node.keys.clear();
      }
    }
    level = std::move(above);
  }
  if (table) table->Status(xbProgressEnd, 0, 0);
  tag_.changed_ = true;
  tag_.TagStore();
}
