#include "tables/index/xb_sort.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "tables/base/xb_errors.h"

namespace {

constexpr std::size_t kAreaBytes = TxbSort::kAreaPageBytes * TxbSort::kAreaPages;
constexpr std::size_t kRecordBytes = 4;
constexpr std::size_t kItemHeader = 3;  // type, key length, stored count

void StoreBigEndian32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

std::uint32_t LoadBigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// The sortable form of a key; returns its length (at most 240).
int SortableForm(const TxbVariant& key, int keyLength, std::uint8_t& type, std::uint8_t* out) {
  switch (key.Type()) {
    case TxbVariant::xbvtText: {
      int n = std::min(key.Length(), keyLength);
      while (n > 0 && key.Data()[n - 1] == ' ') --n;
      std::memcpy(out, key.Data(), static_cast<std::size_t>(n));
      type = TxbSort::kItemText;
      return n;
    }
    case TxbVariant::xbvtNumber: {
      double value = key.GetNumber();
      if (value == 0) value = 0;  // -0 sorts with 0
      std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
      const bool negative = (bits >> 63) != 0;
      bits = negative ? ~bits : bits | (std::uint64_t{1} << 63);
      for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
      int n = 8;
      // Zero bytes at the end of a non-negative number add nothing to its
      // order; the 0xFF bytes of an inverted negative one do.
      if (!negative)
        while (n > 1 && out[n - 1] == 0) --n;
      type = TxbSort::kItemNumber;
      return n;
    }
    case TxbVariant::xbvtDate: {
      const auto flipped = static_cast<std::uint32_t>(key.GetDate()) ^ 0x80000000u;
      StoreBigEndian32(out, flipped);
      type = TxbSort::kItemDate;
      return 4;
    }
    case TxbVariant::xbvtRaw: {
      const int n = std::min(key.Length(), keyLength);
      std::memcpy(out, key.Data(), static_cast<std::size_t>(n));
      type = TxbSort::kItemRaw;
      return n;
    }
    default: throw EXBaseError("Variant type cannot be sorted");
  }
}

void PutSortedKey(TxbVariant& key, std::uint8_t type, const std::uint8_t* bytes, int length) {
  switch (type) {
    case TxbSort::kItemText:
      key.PutString(AnsiString(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length)));
      break;
    case TxbSort::kItemNumber: {
      std::uint64_t bits = 0;
      for (int i = 0; i < 8; ++i) bits = (bits << 8) | (i < length ? bytes[i] : 0u);
      const bool wasNegative = (bits >> 63) == 0;
      bits = wasNegative ? ~bits : bits & ~(std::uint64_t{1} << 63);
      key.PutNumber(std::bit_cast<double>(bits));
      break;
    }
    case TxbSort::kItemDate: key.PutDate(static_cast<std::int32_t>(LoadBigEndian32(bytes) ^ 0x80000000u)); break;
    default: key.PutRaw(bytes, length); break;
  }
}

}  // namespace

TxbSort::TxbSort(int keyLength, int recordCountHint, bool ascending, bool unique)
    : keyLength_(std::max(keyLength, 0)), ascending_(ascending), unique_(unique) {
  if (keyLength > kMaxKeyLength) throw EXBaseError("Sort key length greater than 240 bytes");
  // Room for the hinted count, bounded by what one key area can hold.
  const std::size_t perArea = kAreaBytes / (2 + static_cast<std::size_t>(std::min(keyLength_, 8)));
  if (recordCountHint > 0) slots_.reserve(std::min(static_cast<std::size_t>(recordCountHint), perArea));
}

TxbSort::~TxbSort() = default;

void TxbSort::SetCollatingTable(const std::uint8_t* table) {
  hasCollation_ = table != nullptr;
  if (table) std::memcpy(collation_.data(), table, collation_.size());
}

std::uint64_t TxbSort::Prefix(std::uint8_t type, const std::uint8_t* bytes, int length) const {
  const bool collate = hasCollation_ && type == kItemText;
  std::uint64_t prefix = 0;
  const int n = std::min(length, 8);
  for (int i = 0; i < n; ++i) prefix = (prefix << 8) | (collate ? collation_[bytes[i]] : bytes[i]);
  if (n == 0) return 0;
  return n < 8 ? prefix << (8 * (8 - n)) : prefix;
}

int TxbSort::CompareKeys(const KeyView& a, const KeyView& b) const {
  if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
  const bool collate = hasCollation_ && a.type == kItemText && b.type == kItemText;
  const int n = std::min(a.length, b.length);
  if (n > 8) {
    if (collate) {
      for (int i = 8; i < n; ++i)
        if (collation_[a.bytes[i]] != collation_[b.bytes[i]])
          return collation_[a.bytes[i]] < collation_[b.bytes[i]] ? -1 : 1;
    } else {
      const int c = std::memcmp(a.bytes + 8, b.bytes + 8, static_cast<std::size_t>(n - 8));
      if (c != 0) return c < 0 ? -1 : 1;
    }
  }
  if (a.length != b.length) return a.length < b.length ? -1 : 1;
  if (collate) {
    // Equal under the table: keep byte-equal keys together.
    const int c = std::memcmp(a.bytes, b.bytes, a.length);
    if (c != 0) return c < 0 ? -1 : 1;
  }
  return 0;
}

bool TxbSort::Before(const KeyView& a, const KeyView& b) const {
  int c = CompareKeys(a, b);
  if (!ascending_) c = -c;
  if (c != 0) return c < 0;
  return a.record < b.record;
}

TxbSort::KeyView TxbSort::SlotView(const Slot& slot) const {
  const std::uint8_t* entry = area_.get() + slot.offset;
  return KeyView{entry[0], entry[1], entry + 2, slot.prefix, slot.record};
}

void TxbSort::InsertItem(const TxbVariant& key, std::int32_t recordNumber) {
  if (!accepting_) throw EXBaseError("Cannot add sort keys after beginning retrieval");
  std::uint8_t bytes[kMaxKeyLength + 8];
  std::uint8_t type = 0;
  const int length = SortableForm(key, keyLength_, type, bytes);

  const std::size_t entrySize = 2 + static_cast<std::size_t>(length);
  if (!area_) area_.reset(new std::uint8_t[kAreaBytes]);
  if (areaUsed_ + entrySize > kAreaBytes) WriteRun();
  std::uint8_t* entry = area_.get() + areaUsed_;
  entry[0] = type;
  entry[1] = static_cast<std::uint8_t>(length);
  std::memcpy(entry + 2, bytes, static_cast<std::size_t>(length));
  slots_.push_back(Slot{Prefix(type, bytes, length), static_cast<std::uint32_t>(areaUsed_),
                        static_cast<std::uint32_t>(recordNumber)});
  areaUsed_ += entrySize;
  ++inserted_;
}

void TxbPageCollection::Append(std::uint8_t type, const std::uint8_t* key, int length, std::uint32_t record) {
  length = std::clamp(length, 0, kMaxKey);
  int shared = 0;
  const int limit = std::min(length_, length);
  while (shared < limit && work_[static_cast<std::size_t>(shared)] == key[shared]) ++shared;
  const std::size_t stored = static_cast<std::size_t>(length - shared);
  const std::size_t itemSize = kItemHeader + stored + kRecordBytes;
  if (writePos_ + itemSize > kPageBytes) {
    pages_.emplace_back(new std::uint8_t[kPageBytes]);
    writePos_ = 0;
  }
  std::uint8_t* p = pages_.back().get() + writePos_;
  p[0] = type;
  p[1] = static_cast<std::uint8_t>(length);
  p[2] = static_cast<std::uint8_t>(stored);
  std::memcpy(p + kItemHeader, key + shared, stored);
  StoreBigEndian32(p + kItemHeader + stored, record);
  writePos_ += itemSize;
  if (writePos_ < kPageBytes) p[itemSize] = 0;  // a zero type ends the page's items
  std::memcpy(work_.data() + shared, key + shared, stored);
  length_ = length;
}

bool TxbPageCollection::ReadNext() {
  // Items are read in the order they were written, so the work value always
  // holds the previous item and with it the leading bytes the next one shares.
  while (readPage_ < pages_.size()) {
    const std::uint8_t* p = pages_[readPage_].get() + readPos_;
    if (readPos_ < kPageBytes && p[0] != 0) {
      type_ = p[0];
      length_ = p[1];
      const std::size_t stored = p[2];
      std::memcpy(work_.data() + (length_ - static_cast<int>(stored)), p + kItemHeader, stored);
      record_ = LoadBigEndian32(p + kItemHeader + stored);
      readPos_ += kItemHeader + stored + kRecordBytes;
      return true;
    }
    pages_[readPage_].reset();  // read to its end: give the memory back
    ++readPage_;
    readPos_ = 0;
  }
  return false;
}

void TxbSort::WriteRun() {
  if (slots_.empty()) return;
  const bool ascending = ascending_;
  std::sort(slots_.begin(), slots_.end(), [this, ascending](const Slot& x, const Slot& y) {
    if (x.prefix != y.prefix) return ascending ? x.prefix < y.prefix : x.prefix > y.prefix;
    return Before(SlotView(x), SlotView(y));
  });
  auto run = std::make_unique<TxbPageCollection>();
  for (const Slot& slot : slots_) {
    const KeyView key = SlotView(slot);
    run->Append(key.type, key.bytes, key.length, key.record);
  }
  runs_.push_back(std::move(run));
  slots_.clear();
  areaUsed_ = 0;
}

TxbSort::KeyView TxbSort::RunView(int run) const {
  const TxbPageCollection& r = *runs_[static_cast<std::size_t>(run)];
  return KeyView{r.Type(), static_cast<std::uint8_t>(r.Length()), r.Key(), runPrefix_[static_cast<std::size_t>(run)],
                 r.Record()};
}

void TxbSort::StartRetrieval() {
  WriteRun();
  area_.reset();
  std::vector<Slot>().swap(slots_);
  accepting_ = false;

  runPrefix_.assign(runs_.size(), 0);
  heap_.clear();
  for (std::size_t i = 0; i < runs_.size(); ++i) {
    TxbPageCollection& r = *runs_[i];
    if (r.ReadNext()) {
      runPrefix_[i] = Prefix(r.Type(), r.Key(), r.Length());
      heap_.push_back(static_cast<int>(i));
    }
  }
  std::make_heap(heap_.begin(), heap_.end(), [this](int i, int j) { return Before(RunView(j), RunView(i)); });
}

bool TxbSort::GetNextItem(TxbVariant& key, std::int32_t& recordNumber) {
  if (accepting_) StartRetrieval();
  const auto later = [this](int i, int j) { return Before(RunView(j), RunView(i)); };
  while (!heap_.empty()) {
    std::pop_heap(heap_.begin(), heap_.end(), later);
    const int run = heap_.back();
    TxbPageCollection& r = *runs_[static_cast<std::size_t>(run)];

    const auto length = static_cast<std::size_t>(r.Length());
    const bool duplicate =
        unique_ && haveLast_ && lastLength_ == r.Length() && std::memcmp(lastKey_.data(), r.Key(), length) == 0;
    if (!duplicate) {
      PutSortedKey(key, r.Type(), r.Key(), r.Length());
      recordNumber = static_cast<std::int32_t>(r.Record());
      if (unique_) {
        std::memcpy(lastKey_.data(), r.Key(), length);
        lastLength_ = r.Length();
        haveLast_ = true;
      }
    }

    if (r.ReadNext()) {
      runPrefix_[static_cast<std::size_t>(run)] = Prefix(r.Type(), r.Key(), r.Length());
      std::push_heap(heap_.begin(), heap_.end(), later);
    } else {
      heap_.pop_back();
    }
    if (!duplicate) return true;
  }
  return false;
}
