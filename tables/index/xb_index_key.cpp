#include "tables/index/xb_index_key.h"

#include <algorithm>
#include <cstring>

XBIndexPage::XBIndexPage(const XBobjIndexKey& node) : left_(node.left), right_(node.right), leaf_(node.leaf) {
  const int count = node.Count();
  size_t longest = 8;
  for (int i = 0; i < count; ++i) longest = std::max(longest, node.At(i).value.size());
  longest = std::min<size_t>(longest, 0xFFFF);
  stride_ = 2 + longest;
  keys_.assign(stride_ * static_cast<size_t>(count), '\0');
  slots_.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const XBKeyRef e = node.At(i);
    const uint16_t length = static_cast<uint16_t>(std::min(e.value.size(), longest));
    char* p = keys_.data() + stride_ * static_cast<size_t>(i);
    std::memcpy(p, &length, 2);
    if (length) std::memcpy(p + 2, e.value.data(), length);
    slots_.push_back(Slot{e.link, e.record});
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
  extra.value.clear();  // its storage stays for the next extra entry
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
