#include "tables/index/xb_index_key.h"

#include <algorithm>
#include <cstring>

int CompareIndexKeys(std::string_view a, std::string_view b, XBKeyType type, bool prefix) {
  const size_t common = std::min(a.size(), b.size());
  const int c = common ? std::memcmp(a.data(), b.data(), common) : 0;
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  if (type != XBKeyType::Character) {
    // The longer key's remaining bytes against implicit zero bytes.
    const std::string_view longer = a.size() > b.size() ? a : b;
    for (size_t i = common; i < longer.size(); ++i) {
      if (longer[i] != 0) return a.size() > b.size() ? 1 : -1;
    }
    return 0;
  }
  if (a.size() < b.size()) return prefix ? 0 : -1;
  return 1;
}

XBIndexPage::XBIndexPage(const XBobjIndexKey& node) : left_(node.left), right_(node.right), leaf_(node.leaf) {
  const int count = node.Count();
  for (int i = 0; i < count; ++i) stride_ = std::max(stride_, node.At(i).value.size());
  keys_.assign(stride_ * static_cast<size_t>(count), '\0');
  slots_.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const XBKeyRef e = node.At(i);
    if (!e.value.empty()) std::memcpy(keys_.data() + stride_ * static_cast<size_t>(i), e.value.data(), e.value.size());
    slots_.push_back(Slot{e.link, e.record, static_cast<uint32_t>(e.value.size())});
  }
}

size_t XBIndexPage::Bytes() const { return sizeof(*this) + keys_.capacity() + slots_.capacity() * sizeof(Slot); }

void XBobjIndexKey::Share(int64_t pageId, std::shared_ptr<const XBIndexPage> p) {
  page = pageId;
  left = p->Left();
  right = p->Right();
  leaf = p->Leaf();
  position = -1;
  changed = false;
  keys.clear();
  sharedCount = p->Count();
  hasExtra = false;
  extra = XBobjIndexKeyData();
  shared = std::move(p);
}

void XBobjIndexKey::Materialize() {
  if (!shared) return;
  std::vector<XBobjIndexKeyData> own;
  own.reserve(static_cast<size_t>(Count()) + 1);
  for (int i = 0; i < Count(); ++i) own.emplace_back(At(i));
  keys = std::move(own);
  shared.reset();
  sharedCount = 0;
  hasExtra = false;
  extra = XBobjIndexKeyData();
}
