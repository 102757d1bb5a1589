#include "tables/index/index_page_cache.h"

#include <algorithm>

namespace vx {

namespace {

size_t Hash(int64_t page, size_t mask) { return size_t((uint64_t(page) * 0x9E3779B97F4A7C15ull) >> 32) & mask; }

}  // namespace

size_t IndexPageCache::Probe(int64_t page) const {
  const size_t mask = table_.size() - 1;
  size_t at = Hash(page, mask);
  while (table_[at] != 0 && entries_[table_[at] - 1].page != page) at = (at + 1) & mask;
  return at;
}

std::shared_ptr<const XBIndexPage> IndexPageCache::Find(int64_t page) {
  if (entries_.empty()) return nullptr;
  const uint32_t slot = table_[Probe(page)];
  if (slot == 0) return nullptr;
  Entry& e = entries_[slot - 1];
  e.used = ++clock_;
  return e.decoded;
}

void IndexPageCache::Keep(int64_t page, std::shared_ptr<const XBIndexPage> decoded) {
  if (!decoded || decoded->Bytes() > limit_) return;
  Drop(page);
  if ((entries_.size() + 1) * 2 > table_.size()) Grow();
  bytes_ += decoded->Bytes();
  entries_.push_back(Entry{page, std::move(decoded), ++clock_});
  table_[Probe(page)] = uint32_t(entries_.size());
  if (bytes_ > limit_) Trim(limit_ - limit_ / 4);
}

void IndexPageCache::Drop(int64_t page) {
  if (entries_.empty()) return;
  const size_t at = Probe(page);
  if (table_[at] != 0) Remove(at);
}

void IndexPageCache::Clear() {
  entries_.clear();
  table_.clear();
  bytes_ = 0;
}

void IndexPageCache::SetLimit(size_t limitBytes) {
  limit_ = limitBytes;
  if (bytes_ > limit_) Trim(limit_);
}

void IndexPageCache::Grow() {
  table_.assign(std::max<size_t>(64, table_.size() * 2), 0);
  for (size_t i = 0; i < entries_.size(); ++i) table_[Probe(entries_[i].page)] = uint32_t(i + 1);
}

void IndexPageCache::Remove(size_t position) {
  const size_t index = table_[position] - 1;
  bytes_ -= entries_[index].decoded->Bytes();
  // Close the gap in the probe sequence: later entries that may not pass an
  // empty position move back into it.
  const size_t mask = table_.size() - 1;
  size_t hole = position;
  for (size_t at = (hole + 1) & mask; table_[at] != 0; at = (at + 1) & mask) {
    const size_t home = Hash(entries_[table_[at] - 1].page, mask);
    if (((at - home) & mask) >= ((at - hole) & mask)) {
      table_[hole] = table_[at];
      hole = at;
    }
  }
  table_[hole] = 0;
  // The last entry takes the freed place.
  if (index + 1 != entries_.size()) {
    table_[Probe(entries_.back().page)] = uint32_t(index + 1);
    entries_[index] = std::move(entries_.back());
  }
  entries_.pop_back();
}

void IndexPageCache::Trim(size_t target) {
  std::vector<std::pair<uint64_t, int64_t>> byUse;
  byUse.reserve(entries_.size());
  for (const Entry& e : entries_) byUse.emplace_back(e.used, e.page);
  std::sort(byUse.begin(), byUse.end());
  for (const auto& [used, page] : byUse) {
    if (bytes_ <= target) break;
    Drop(page);
  }
}

}  // namespace vx
