#include "tables/index/index_bulk.h"

#include <algorithm>
#include <cstring>

#include "tables/base/xb_dates.h"
#include "tables/index/xb_sort.h"

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

IndexKeyStream::IndexKeyStream(XBobjIndexTag& tag, bool descending) {
  IndexTableLink* table = tag.File()->Table();
  records_ = table ? std::max(table->RecordCount(), 0) : 0;
  // One byte past the key length, as the sorter cuts its keys there.
  sorter_ = std::make_unique<TxbSort>(std::min(tag.KeyLength() + 1, TxbSort::kMaxKeyLength), records_, !descending,
                                      tag.Unique());
  if (!table) return;
  table->Status(xbProgressStart, xbProgressRead, records_);
  for (int32_t rec = 1; rec <= records_; ++rec) {
    table->ReadForIndex(rec);
    try {
      if (!tag.HasFor() || tag.ForOK()) {
        XBobjIndexKeyData key;
        if (tag.KeyBuild(key)) {
          tag.AdjustValue(key, true);
          value_.PutRaw(key.value.data(), static_cast<int>(key.value.size()));
          sorter_->InsertItem(value_, rec);
        }
      }
    } catch (const EXBaseExpression& e) {
      throw EXBaseExpression("Index tag " + tag.TagName() + ", record " + std::to_string(rec) + ": " + e.Message());
    }
    table->Status(xbProgressRead, rec, 0);
  }
  table->Status(xbProgressEnd, 0, 0);
  table->Status(xbProgressStart, xbProgressKey, records_);
}

IndexKeyStream::~IndexKeyStream() = default;

bool IndexKeyStream::Next(std::string_view& key, int32_t& record) {
  if (!sorter_->GetNextItem(value_, record)) return false;
  key = std::string_view(reinterpret_cast<const char*>(value_.Data()), static_cast<size_t>(value_.Length()));
  return true;
}

}  // namespace vx

namespace vx {

int64_t BuildIndexTree(IndexKeyStream& keys, int maxKeys, IndexTableLink* table,
                       const std::function<int64_t()>& allocate,
                       const std::function<void(const XBobjIndexKey&)>& write) {
  XBobjIndexKey node;
  node.leaf = true;
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
  std::string_view key;
  int32_t record = 0;
  while (keys.Next(key, record)) {
    node.keys.emplace_back(std::string(key), record, record);
    if (table) table->Status(xbProgressKey, ++drained, 0);
    if (node.keys.size() == perLeaf) {
      emit(level);
      node.keys.clear();
    }
  }
  if (!node.keys.empty()) emit(level);
  if (level.empty()) {
    node.page = allocate();
    write(node);
    return node.page;
  }
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
