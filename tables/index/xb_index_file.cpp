// Index files: the tag list, locking with retries, and one-tag files.
#include "tables/index/xb_index.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <exception>
#include <functional>
#include <thread>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/sysutils.h"
#include "tables/base/xb_settings.h"
#include "tables/base/xb_tools.h"
#include "tables/index/index_bulk.h"

namespace {

// The disk file of an index file: whatever it writes or cuts off leaves the
// owner's page cache.
class IndexDiskFile : public XBO_DiskFile {
 public:
  IndexDiskFile(XBobjIndexFile& owner, const AnsiString& name, bool shared, bool readWrite)
      : XBO_DiskFile(name, shared, readWrite), owner_(owner) {}
  int Write(std::int64_t offset, const void* buffer, int count) override {
    owner_.PagesWritten(offset, count);
    return XBO_DiskFile::Write(offset, buffer, count);
  }
  bool FileTruncate(std::int64_t offset) override {
    owner_.DropPageCache();
    return XBO_DiskFile::FileTruncate(offset);
  }
  bool FileCreate() override {
    owner_.DropPageCache();
    return XBO_DiskFile::FileCreate();
  }

 private:
  XBobjIndexFile& owner_;
};

// Longer writes drop every kept page instead of looking for the ones hit.
constexpr int64_t kLongWrite = 64 * 1024;

}  // namespace

// ---------------------------------------------------------------- file

XBobjIndexFile::XBobjIndexFile(vx::IndexTableLink* table) : table_(table), pageCache_(IndexPageCacheSize) {}

XBobjIndexFile::~XBobjIndexFile() = default;

void XBobjIndexFile::FoundError(int code, int context, const std::string& name) { xbEngineError(code, context, name); }

void XBobjIndexFile::Refuse(const std::string& message) { throw EXBaseError(message); }

void XBobjIndexFile::Damaged(const std::string& what) {
  usable_ = false;
  damage_ = what;
  throw EXBaseError("Index file damaged (" + what + ") - " + ShownName());
}

bool XBobjIndexFile::PageRead(int64_t position, uint8_t* buffer, int length) {
  if (!disk_ || position < 0) return false;
  // A shared file is read through its view: as fresh as a read of the file,
  // without a system call per page.
  const int got = disk_->Shared() ? disk_->ReadMapped(position, buffer, length) : disk_->Read(position, buffer, length);
  if (got != length) return false;
  if (table_ && table_->Enciphered()) {
    for (int at = 0; at < length; at += 512)
      table_->DecipherBlock(buffer + at, static_cast<size_t>(std::min(512, length - at)));
  }
  return true;
}

void XBobjIndexFile::PageWrite(int64_t position, const uint8_t* buffer, int length) {
  if (!disk_) return;
  if (table_ && table_->Enciphered()) {
    std::vector<uint8_t> copy(buffer, buffer + length);
    for (int at = 0; at < length; at += 512)
      table_->EncipherBlock(copy.data() + at, static_cast<size_t>(std::min(512, length - at)));
    disk_->Write(position, copy.data(), length);
  } else {
    disk_->Write(position, buffer, length);
  }
}

bool XBobjIndexFile::Rename(const std::string& newName) {
  if (!disk_) return false;
  // A new name without an extension keeps the file's own; only the last
  // name component counts, so a folder with a dot does not hide it.
  std::string target = newName;
  if (ExtractFileExt(target).empty()) target += ExtractFileExt(fileName_);
  if (!disk_->Rename(target)) return false;
  fileName_ = disk_->FileName();
  return true;
}

bool XBobjIndexFile::KeyUpdateAll(int32_t record, bool appending) {
  endOfFile_ = -1;
  bool ok = true;
  for (auto& tag : tags_) ok = tag->KeyUpdate(record, appending) && ok;
  return ok;
}

void XBobjIndexFile::CheckUpdateAll(int32_t record, bool appending) {
  for (auto& tag : tags_) tag->CheckUpdate(record, appending);
}

std::string XBobjIndexFile::WriteRefusal() const {
  for (const auto& tag : tags_) {
    const std::string why = tag->Unmaintainable();
    if (!why.empty()) return "Index " + why + "; the table is read-only while the file is open - " + ShownName();
  }
  return {};
}

void XBobjIndexFile::Rebuild() {
  if (!disk_) return;
  const std::string refusal = WriteRefusal();
  if (!refusal.empty()) throw EXBaseIndexWriteRefused(refusal);
  std::exception_ptr failure;
  {
    vx::WholeFileLock lock(*this, xbCtxTruncate);
    std::string former(static_cast<size_t>(std::max<int64_t>(disk_->FileSize(), 0)), '\0');
    // The file's bytes a megabyte at a time: at, into former + at, n of them.
    const auto inChunks = [&former](const std::function<void(int64_t, int)>& move) {
      constexpr int64_t kChunk = 1 << 20;
      for (int64_t at = 0; at < int64_t(former.size()); at += kChunk)
        move(at, static_cast<int>(std::min<int64_t>(kChunk, int64_t(former.size()) - at)));
    };
    inChunks([&](int64_t at, int n) {
      if (disk_->Read(at, former.data() + at, n) != n) Damaged("file cannot be read whole");
    });
    try {
      Reindex();
    } catch (...) {
      failure = std::current_exception();
      // Every tag it had comes back; the bytes go back in place, so whoever
      // has the file open keeps the same file.
      try {
        disk_->FileTruncate(0);
        inChunks([&](int64_t at, int n) { disk_->Write(at, former.data() + at, n); });
      } catch (const Exception&) {}
    }
  }
  if (!failure) return;
  tags_.clear();
  disk_.reset();
  DropPageCache();
  endOfFile_ = -1;
  usable_ = false;
  std::rethrow_exception(failure);
}

void XBobjIndexFile::SetLockMode(int mode) {
  lockMode_ = mode;
  if (mode == 1) {
    lockFirst_ = 0xEFFFFFFF;
    lockSecond_ = 0x40000000;
    lockThird_ = 0xB0000000;
  } else if (mode == 2) {
    lockFirst_ = lockSecond_ = lockThird_ = 1000000000;
  } else {
    lockFirst_ = 0x7FFFFFFE;
    lockSecond_ = 0x40000000;
    lockThird_ = 0x3FFFFFFF;
  }
}

void XBobjIndexFile::ChangeKey(const BlockCipher& decipherOld, const BlockCipher& encipherNew) {
  if (!disk_) return;
  const int64_t pages = disk_->FileSize() / 512;
  uint8_t block[512];
  for (int64_t i = 0; i < pages; ++i) {
    if (disk_->Read(i * 512, block, 512) != 512) Damaged("short page");
    if (decipherOld) decipherOld(block, 512);
    if (encipherNew) encipherNew(block, 512);
    disk_->Write(i * 512, block, 512);
  }
}

bool XBobjIndexFile::Open(const std::string& fileName, bool overwrite, bool create, bool shared, bool writable,
                          const std::string& defaultExtension) {
  std::string name = fileName;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  while (!name.empty() && name.front() == ' ') name.erase(name.begin());
  const size_t slash = name.find_last_of("/\\");
  const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  if (base.find('.') == std::string::npos) name += defaultExtension;
  if (slash == std::string::npos && table_) name = table_->Folder() + "/" + name;
  disk_.reset();
  const bool creating = create && (overwrite || !XBO_DiskFile(name, false, false).FileExisted());
  // A new file is created for this opener alone.
  DropPageCache();
  auto disk = std::make_unique<IndexDiskFile>(*this, name, creating ? false : shared, creating ? true : writable);
  if (creating) {
    disk->FileCreate();
  } else {
    if (!disk->FileExisted()) return false;
    disk->FileOpen();
  }
  disk_ = std::move(disk);
  fileName_ = disk_->FileName();
  usable_ = true;
  return true;
}

bool XBobjIndexFile::Lock() {
  if (!disk_ || !disk_->Shared()) return true;
  const int interval = std::max<int>(1, LockRetryInterval);
  const int attempts = std::max(1, LockWaitTime / interval);
  const int64_t offset = lockMode_ == 2 ? lockSecond_ : lockFirst_ - 1;
  const int64_t length = lockMode_ == 1 ? 2 : 1;
  for (int i = 0; i < attempts; ++i) {
    if (disk_->LockRegion(offset, length)) {
      if (disk_->LockCount() == 1) {
        CheckVersion();
        lockChecked_ = true;
      }
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(interval));
  }
  return false;
}

void XBobjIndexFile::Unlock() {
  if (!disk_) return;
  disk_->UnlockRegion();
  if (disk_->LockCount() == 0) lockChecked_ = false;
}

// ---------------------------------------------------------------- page cache

std::shared_ptr<const XBIndexPage> XBobjIndexFile::CachedPage(int64_t page) {
  if (disk_ && disk_->Shared() && !lockChecked_ && !(readScopes_ > 0 && scopeChecked_)) {
    CheckVersion();
    scopeChecked_ = readScopes_ > 0;
  }
  return pageCache_.Find(page);
}

void XBobjIndexFile::CheckVersion() {
  uint32_t version = 0;
  const bool known = ReadVersion(version);
  if (!known || !versionKnown_ || version != versionSeen_) {
    pageCache_.Clear();
    if (known && versionKnown_) ++versionMoves_;
  }
  versionKnown_ = known;
  versionSeen_ = version;
}

void XBobjIndexFile::PagesWritten(int64_t offset, int64_t length) {
  if (pageCache_.Pages() == 0 || length <= 0) return;
  if (length > kLongWrite) {
    pageCache_.Clear();
    return;
  }
  // Pages start at multiples of the page unit (or of their size when
  // numbered by byte offset); every one that overlaps the written bytes goes.
  const int64_t align = pageUnit_ > 1 ? pageUnit_ : pageBytes_;
  int64_t first = offset - pageBytes_ + 1;
  first = first <= 0 ? 0 : (first + align - 1) / align * align;
  for (int64_t at = first; at < offset + length; at += align) pageCache_.Drop(at / pageUnit_);
}

bool XBobjIndexFile::NameIs(const std::string& name) const {
  return UpperCase(ExtractFileName(name)) == UpperCase(ExtractFileName(fileName_));
}

XBobjIndexTag* XBobjIndexFile::TagByName(const std::string& name) const {
  const std::string wanted = UpperCase(name);
  for (const auto& tag : tags_)
    if (UpperCase(tag->TagName()) == wanted) return tag.get();
  return nullptr;
}

XBobjIndexTag* XBobjIndexFile::TagByNumber(int i) const {
  if (i < 0 || i >= TagCount()) return nullptr;
  return tags_[static_cast<size_t>(i)].get();
}

// ---------------------------------------------------------------- one-tag files

std::string XBobjIndexFile::OnlyTagName() const { return UpperCase(xbStripExtension(fileName_)); }

void XBobjIndexFile::LoadOnlyTag(std::unique_ptr<XBobjIndexTag> tag) {
  try {
    tag->TagLoad();
  } catch (const EXBaseError&) {
    usable_ = false;
    return;
  }
  tags_.push_back(std::move(tag));
}

XBobjIndexTag* XBobjIndexFile::CreateOnlyTag(std::unique_ptr<XBobjIndexTag> tag, const XBTagDefinition& definition) {
  tags_.clear();
  disk_->FileTruncate(0);
  endOfFile_ = 0;
  XBobjIndexTag* t = tag.get();
  t->headerPos_ = AllocatePage();
  tags_.push_back(std::move(tag));
  vx::ScopeGuard drop([this] { tags_.clear(); });
  t->TagCreate(definition.keyExpr, definition.unique, definition.ascending, definition.forExpr);
  drop.Dismiss();
  usable_ = true;
  return t;
}

void XBobjIndexFile::ReleaseTagsQuietly() noexcept {
  try {
    for (auto& tag : tags_) tag->TagRelease();
  } catch (const EXBaseError&) {}
}
