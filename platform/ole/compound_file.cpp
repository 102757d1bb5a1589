#include "platform/ole/compound_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/ole/automation.h"

namespace vx {

namespace {

// Frozen by the file format.
constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSector = 0xFFFFFFFD,
                        kDifatSector = 0xFFFFFFFC, kNoStream = 0xFFFFFFFF;
constexpr std::uint32_t kMiniCutoff = 4096;
constexpr int kHeaderFat = 109;
constexpr std::size_t kEntrySize = 128;

void Put16(std::string& s, std::size_t at, std::uint16_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint16_t Get16(std::string_view s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

std::uint32_t Get32(std::string_view s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

[[noreturn]] void Damaged(const char* why) { throw EOleException(AnsiString("Damaged compound document: ") + why); }

void PutEntry(std::string& dir, std::size_t at, std::u16string_view name, std::uint8_t type, std::uint32_t child,
              std::uint32_t start, std::uint32_t size) {
  for (std::size_t i = 0; i < name.size() && i < 31; ++i) Put16(dir, at + 2 * i, name[i]);
  Put16(dir, at + 64, static_cast<std::uint16_t>(2 * (std::min<std::size_t>(name.size(), 31) + 1)));
  dir[at + 66] = static_cast<char>(type);
  dir[at + 67] = 1;  // black
  Put32(dir, at + 68, kNoStream);
  Put32(dir, at + 72, kNoStream);
  Put32(dir, at + 76, child);
  Put32(dir, at + 116, start);
  Put32(dir, at + 120, size);
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - 32);
    if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// Reading, with every number checked against the file.
class Reader {
 public:
  explicit Reader(std::string_view file) : f_(file) {
    if (!IsCompoundFile(file) || file.size() < 512) Damaged("no compound document signature");
    const unsigned shift = Get16(f_, 30);
    if ((shift != 9 && shift != 12) || Get16(f_, 32) != 6) Damaged("unknown sector size");
    sector_ = std::size_t{1} << shift;
    major_ = Get16(f_, 26);
    sectors_ = (f_.size() + sector_ - 1) / sector_ - 1;
    ReadFat();
    ReadDirectory();
  }

  bool Find(std::u16string_view name, std::string& storage, std::string_view& out) {
    // The root's children form a tree of siblings.
    std::vector<std::uint32_t> stack{Entry(0).child};
    std::vector<bool> seen(entries_.size(), false);
    while (!stack.empty()) {
      const std::uint32_t id = stack.back();
      stack.pop_back();
      if (id == kNoStream) continue;
      if (id >= entries_.size() || seen[id]) Damaged("directory tree points outside or loops");
      seen[id] = true;
      const DirEntry& e = entries_[id];
      stack.push_back(e.left);
      stack.push_back(e.right);
      if (e.type == 2 && SameName(e.name, name)) {
        out = StreamOf(e, storage);
        return true;
      }
    }
    return false;
  }

 private:
  struct DirEntry {
    std::u16string name;
    std::uint8_t type = 0;
    std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream, start = kEndOfChain;
    std::uint64_t size = 0;
  };

  std::string_view Sector(std::uint32_t n) const {
    const std::size_t at = (static_cast<std::size_t>(n) + 1) * sector_;
    if (n >= sectors_ || at >= f_.size()) Damaged("sector beyond the end of the file");
    return f_.substr(at, std::min(sector_, f_.size() - at));
  }

  void ReadFat() {
    const std::uint32_t fatSectors = Get32(f_, 44);
    if (fatSectors > sectors_) Damaged("more FAT sectors than the file holds");
    std::vector<std::uint32_t> fatList;
    for (int i = 0; i < kHeaderFat && fatList.size() < fatSectors; ++i) fatList.push_back(Get32(f_, 76 + 4 * i));
    std::uint32_t difat = Get32(f_, 68);
    std::size_t difatSteps = 0;
    const std::size_t perSector = sector_ / 4 - 1;
    while (fatList.size() < fatSectors) {
      if (difat >= sectors_ || ++difatSteps > sectors_) Damaged("DIFAT chain broken");
      const std::string_view s = Sector(difat);
      for (std::size_t i = 0; i < perSector && fatList.size() < fatSectors; ++i)
        fatList.push_back(4 * i + 4 <= s.size() ? Get32(s, 4 * i) : kFree);
      difat = s.size() >= sector_ ? Get32(s, sector_ - 4) : kEndOfChain;
    }
    fat_.reserve(fatList.size() * (sector_ / 4));
    for (std::uint32_t n : fatList) {
      const std::string_view s = Sector(n);
      for (std::size_t i = 0; i + 4 <= sector_; i += 4) fat_.push_back(i + 4 <= s.size() ? Get32(s, i) : kFree);
    }
  }

  // The sectors of a chain, checked: inside the file and the FAT, no loop.
  std::vector<std::uint32_t> Chain(std::uint32_t start, const std::vector<std::uint32_t>& table,
                                   std::size_t limit) const {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t n = start; n != kEndOfChain;) {
      if (n >= table.size() || n >= limit || chain.size() >= limit) Damaged("sector chain broken");
      chain.push_back(n);
      n = table[n];
    }
    return chain;
  }

  std::string ChainBytes(std::uint32_t start, std::uint64_t size) const {
    std::string out;
    const std::string_view v = ChainView(start, size, out);
    if (v.data() != out.data()) out.assign(v);
    return out;
  }

  // The bytes of a chain: a part of the file when its sectors follow each
  // other there, else gathered into `storage`.
  std::string_view ChainView(std::uint32_t start, std::uint64_t size, std::string& storage) const {
    const std::vector<std::uint32_t> chain = Chain(start, fat_, sectors_);
    const std::size_t needed = static_cast<std::size_t>((size + sector_ - 1) / sector_);
    if (chain.size() < needed) Damaged("stream longer than its sectors");
    bool contiguous = true;
    for (std::size_t i = 1; i < needed && contiguous; ++i) contiguous = chain[i] == chain[i - 1] + 1;
    if (contiguous && needed > 0) {
      const std::size_t at = (static_cast<std::size_t>(chain[0]) + 1) * sector_;
      if (at + size <= f_.size()) return f_.substr(at, static_cast<std::size_t>(size));
    }
    storage.clear();
    storage.reserve(needed * sector_);
    for (std::size_t i = 0; i < needed; ++i) storage.append(Sector(chain[i]));
    if (storage.size() < size) Damaged("stream longer than its sectors");
    storage.resize(static_cast<std::size_t>(size));
    return storage;
  }

  void ReadDirectory() {
    std::string dir;
    for (std::uint32_t n : Chain(Get32(f_, 48), fat_, sectors_)) dir.append(Sector(n));
    for (std::size_t at = 0; at + kEntrySize <= dir.size(); at += kEntrySize) {
      DirEntry e;
      const std::size_t nameBytes = std::min<std::size_t>(Get16(dir, at + 64), 64);
      for (std::size_t i = 0; i + 1 < nameBytes; i += 2) {
        const char16_t c = Get16(dir, at + i);
        if (c == 0) break;
        e.name += c;
      }
      e.type = static_cast<std::uint8_t>(dir[at + 66]);
      e.left = Get32(dir, at + 68);
      e.right = Get32(dir, at + 72);
      e.child = Get32(dir, at + 76);
      e.start = Get32(dir, at + 116);
      e.size = Get32(dir, at + 120);
      if (major_ >= 4) e.size |= static_cast<std::uint64_t>(Get32(dir, at + 124)) << 32;
      entries_.push_back(std::move(e));
    }
    if (entries_.empty() || entries_[0].type != 5) Damaged("no root entry");
  }

  const DirEntry& Entry(std::size_t i) const { return entries_[i]; }

  std::string_view StreamOf(const DirEntry& e, std::string& storage) {
    if (e.size >= kMiniCutoff) {
      if (e.size > f_.size()) Damaged("stream larger than the file");
      return ChainView(e.start, e.size, storage);
    }
    if (!miniLoaded_) {
      const DirEntry& root = entries_[0];
      if (root.size > f_.size()) Damaged("mini stream larger than the file");
      mini_ = ChainBytes(root.start, root.size);
      std::string table;
      const std::uint32_t miniFatStart = Get32(f_, 60);
      if (miniFatStart != kEndOfChain && miniFatStart != kFree)
        for (std::uint32_t n : Chain(miniFatStart, fat_, sectors_)) table.append(Sector(n));
      for (std::size_t i = 0; i + 4 <= table.size(); i += 4) miniFat_.push_back(Get32(table, i));
      miniLoaded_ = true;
    }
    std::string& out = storage;
    out.clear();
    for (std::uint32_t n : Chain(e.start, miniFat_, mini_.size() / 64 + 1)) {
      if (out.size() >= e.size) break;
      const std::size_t at = static_cast<std::size_t>(n) * 64;
      if (at >= mini_.size()) Damaged("mini sector beyond the mini stream");
      out.append(mini_, at, std::min<std::size_t>(64, mini_.size() - at));
    }
    if (out.size() < e.size) Damaged("stream longer than its mini sectors");
    out.resize(static_cast<std::size_t>(e.size));
    return out;
  }

  std::string_view f_;
  std::size_t sector_ = 512, sectors_ = 0;
  unsigned major_ = 3;
  std::vector<std::uint32_t> fat_;
  std::vector<DirEntry> entries_;
  bool miniLoaded_ = false;
  std::string mini_;
  std::vector<std::uint32_t> miniFat_;
};

}  // namespace

bool IsCompoundFile(std::string_view file) { return file.substr(0, 8) == std::string_view(kSignature, 8); }

bool FindCompoundStream(std::string_view file, std::u16string_view streamName, std::string& storage,
                        std::string_view& stream) {
  Reader reader(file);
  return reader.Find(streamName, storage, stream);
}

bool ReadCompoundStream(std::string_view file, std::u16string_view streamName, std::string& stream) {
  std::string storage;
  std::string_view view;
  if (!FindCompoundStream(file, streamName, storage, view)) return false;
  if (view.data() == storage.data()) stream = std::move(storage);
  else stream.assign(view);
  return true;
}

std::string WriteCompoundFile(std::u16string_view streamName, std::string stream) {
  constexpr std::size_t kSector = 512, kPerFat = kSector / 4, kPerDifat = kPerFat - 1;
  const std::size_t dataSectors = (stream.size() + kSector - 1) / kSector;  // before the stream moves
  const std::size_t dirSectors = 1;
  // FAT sectors f and DIFAT sectors d must cover every sector, themselves too.
  std::size_t f = 1, d = 0;
  for (;;) {
    d = f > kHeaderFat ? (f - kHeaderFat + kPerDifat - 1) / kPerDifat : 0;
    if (f * kPerFat >= dataSectors + dirSectors + f + d) break;
    ++f;
  }
  const std::uint32_t firstFat = static_cast<std::uint32_t>(dataSectors);
  const std::uint32_t firstDifat = firstFat + static_cast<std::uint32_t>(f);
  const std::uint32_t dirSector = firstDifat + static_cast<std::uint32_t>(d);
  const std::size_t total = dirSector + dirSectors;

  std::vector<std::uint32_t> fat(f * kPerFat, kFree);
  for (std::size_t i = 0; i < dataSectors; ++i)
    fat[i] = i + 1 < dataSectors ? static_cast<std::uint32_t>(i + 1) : kEndOfChain;
  for (std::size_t i = 0; i < f; ++i) fat[firstFat + i] = kFatSector;
  for (std::size_t i = 0; i < d; ++i) fat[firstDifat + i] = kDifatSector;
  fat[dirSector] = kEndOfChain;

  // The stream moves up by the header's sector, then the sectors after it
  // follow.
  const std::size_t streamSize = stream.size();
  std::string out = std::move(stream);
  out.reserve((total + 1) * kSector);
  out.insert(0, kSector, '\0');
  out.resize((total + 1) * kSector, '\0');
  std::memcpy(out.data(), kSignature, 8);
  Put16(out, 24, 0x003E);
  Put16(out, 26, 3);
  Put16(out, 28, 0xFFFE);
  Put16(out, 30, 9);
  Put16(out, 32, 6);
  Put32(out, 44, static_cast<std::uint32_t>(f));
  Put32(out, 48, dirSector);
  Put32(out, 56, kMiniCutoff);
  Put32(out, 60, kEndOfChain);
  Put32(out, 68, d ? firstDifat : kEndOfChain);
  Put32(out, 72, static_cast<std::uint32_t>(d));
  for (int i = 0; i < kHeaderFat; ++i)
    Put32(out, 76 + 4 * i, static_cast<std::size_t>(i) < f ? firstFat + static_cast<std::uint32_t>(i) : kFree);

  for (std::size_t i = 0; i < fat.size(); ++i) Put32(out, (firstFat + 1) * kSector + 4 * i, fat[i]);
  for (std::size_t k = 0; k < d; ++k) {
    const std::size_t at = (firstDifat + k + 1) * kSector;
    for (std::size_t i = 0; i < kPerDifat; ++i) {
      const std::size_t index = kHeaderFat + k * kPerDifat + i;
      Put32(out, at + 4 * i, index < f ? firstFat + static_cast<std::uint32_t>(index) : kFree);
    }
    Put32(out, at + 4 * kPerDifat, k + 1 < d ? firstDifat + static_cast<std::uint32_t>(k + 1) : kEndOfChain);
  }
  std::string dir(kSector, '\0');
  for (std::size_t at = 0; at < kSector; at += kEntrySize) {
    Put32(dir, at + 68, kNoStream);
    Put32(dir, at + 72, kNoStream);
    Put32(dir, at + 76, kNoStream);
  }
  PutEntry(dir, 0, u"Root Entry", 5, 1, kEndOfChain, 0);
  PutEntry(dir, kEntrySize, streamName, 2, kNoStream, 0, static_cast<std::uint32_t>(streamSize));
  std::memcpy(out.data() + (dirSector + 1) * kSector, dir.data(), kSector);
  return out;
}

}  // namespace vx
