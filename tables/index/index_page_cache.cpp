#include "tables/index/index_page_cache.h"

#include <algorithm>

namespace vx {

namespace {

size_t Hash(int64_t page, size_t mask) { return size_t((uint64_t(page) * 0x9E3779B97F4A7C15ull) >> 32) & mask; }

}  // namespace

size_t IndexPageCache::Probe(int64_t page) const {
  const size_t mask = table_.size() - 1;
  size_t at = Hash(page, mask);
  while (table_[at].decoded && table_[at].page != page) at = (at + 1) & mask;
  return at;
}

std::shared_ptr<const XBIndexPage> IndexPageCache::Find(int64_t page) {
  if (count_ == 0) return nullptr;
  Slot& slot = table_[Probe(page)];
  if (!slot.decoded) return nullptr;
  slot.used = ++clock_;
  return slot.decoded;
}

void IndexPageCache::Keep(int64_t page, std::shared_ptr<const XBIndexPage> decoded) {
  if (!decoded || decoded->Bytes() > limit_) return;
  Drop(page);
  if ((count_ + 1) * 2 > table_.size()) Grow();
  bytes_ += decoded->Bytes();
  Slot& slot = table_[Probe(page)];
  slot.page = page;
  slot.decoded = std::move(decoded);
  slot.used = ++clock_;
  ++count_;
  if (bytes_ > limit_) Trim(limit_ - limit_ / 4);
}

void IndexPageCache::Drop(int64_t page) {
  if (count_ == 0) return;
  const size_t at = Probe(page);
  if (table_[at].decoded) Remove(at);
}

void IndexPageCache::Clear() {
  table_.clear();
  count_ = 0;
  bytes_ = 0;
}

void IndexPageCache::SetLimit(size_t limitBytes) {
  limit_ = limitBytes;
  if (bytes_ > limit_) Trim(limit_);
}

void IndexPageCache::Grow() {
  std::vector<Slot> old = std::move(table_);
  table_.assign(std::max<size_t>(64, old.size() * 2), Slot());
  for (Slot& s : old)
    if (s.decoded) table_[Probe(s.page)] = std::move(s);
}

void IndexPageCache::Remove(size_t position) {
  bytes_ -= table_[position].decoded->Bytes();
  --count_;
  // Close the gap in the probe sequences: a later slot whose home lies at or
  // before the gap moves back into it.
  const size_t mask = table_.size() - 1;
  size_t hole = position;
  for (size_t at = (hole + 1) & mask; table_[at].decoded; at = (at + 1) & mask) {
    const size_t home = Hash(table_[at].page, mask);
    if (((at - home) & mask) >= ((at - hole) & mask)) {
      table_[hole] = std::move(table_[at]);
      hole = at;
    }
  }
  table_[hole] = Slot();
}

void IndexPageCache::Trim(size_t target) {
  std::vector<std::pair<uint64_t, int64_t>> byUse;
  byUse.reserve(count_);
  for (const Slot& s : table_)
    if (s.decoded) byUse.emplace_back(s.used, s.page);
  std::sort(byUse.begin(), byUse.end());
  for (const auto& [used, page] : byUse) {
    if (bytes_ <= target) break;
    Drop(page);
  }
}

}  // namespace vx
