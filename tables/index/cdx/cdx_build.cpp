// Bulk build of a compound index tag: every record's key into the sorter,
// then pages written level by level in key order, each page once.
#include <algorithm>
#include <cstring>
#include <numeric>

#include "tables/index/cdx/cdx_index.h"
#include "tables/index/index_bulk.h"

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
  // Every record of the file, deleted ones too, through the sorter; drained
  // in key order (records rising among equal keys; equal keys once when
  // unique).
  vx::IndexKeyStream keys(tag_, false);
  const int32_t count = keys.Records();
  std::string_view next;
  int32_t nextRecord = 0;
  bool more = keys.Next(next, nextRecord);
  if (!more) {
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
  while (more) {
    std::string key(next);
    const int32_t record = nextRecord;
    more = keys.Next(next, nextRecord);
    freeBytes -= vx::CdxLeafCost(params, layout, previous, key);
    previous = key;
    page.keys.emplace_back(std::move(key), record, record);
    if (table) table->Status(xbProgressKey, ++written, 0);
    const bool last = !more;
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
