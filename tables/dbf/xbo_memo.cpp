#include "tables/dbf/xbo_memo.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/rtl/scope_guard.h"
#include "tables/base/xb_cipher.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_settings.h"
#include "tables/base/xb_sysapi.h"
#include "tables/base/xb_tools.h"
#include "tables/dbf/xbo_dbasedbf.h"

using namespace memo_format;

namespace {

std::uint32_t GetLE32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint32_t GetBE32(const std::uint8_t* p) {
  return std::uint32_t(p[3]) | std::uint32_t(p[2]) << 8 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[0]) << 24;
}
void PutLE32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
void PutBE32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[3 - i] = std::uint8_t(v >> (8 * i));
}

bool UsesFoxMemo(std::uint8_t version) { return version == 0x30 || version == 0xF5; }

}  // namespace

// ---------------------------------------------------------------- XBobjMemo

AnsiString XBobjMemo::HeaderTableName(const AnsiString& tableFileName) {
  return AnsiUpperCase(xbStripExtension(tableFileName).substr(0, kNameLength));
}

AnsiString XBobjMemo::MemoFileName(const AnsiString& tableFileName, std::uint8_t version) {
  AnsiString name = Trim(tableFileName);
  const auto sep = name.find_last_of("\\/");
  const auto dot = name.rfind('.');
  bool lower = false;
  if (dot != AnsiString::npos && (sep == AnsiString::npos || dot > sep)) {
    const AnsiString ext = name.substr(dot + 1);
    lower = !ext.empty() && std::all_of(ext.begin(), ext.end(), [](char c) { return !(c >= 'A' && c <= 'Z'); }) &&
            std::any_of(ext.begin(), ext.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    name.erase(dot);
  }
  AnsiString ext = UsesFoxMemo(version) ? ".FPT" : ".DBT";
  if (lower) ext = LowerCase(ext);
  return name + ext;
}

bool XBobjMemo::MemoFileExists(const AnsiString& tableFileName, std::uint8_t version) {
  XBO_DiskFile probe(MemoFileName(tableFileName, version), false, false);
  return probe.FileExisted();
}

std::unique_ptr<XBobjMemo> XBobjMemo::CreateFor(XBO_dBaseDBF* table, std::uint8_t version, bool shared, bool readWrite,
                                                const AnsiString& key, const AnsiString& tableFileName) {
  switch (version) {
    case 0x83: return std::make_unique<XBobjMemo>(table, version, shared, readWrite, key, tableFileName);
    case 0x8B: return std::make_unique<XBobjMemo4>(table, version, shared, readWrite, key, tableFileName);
    case 0xF5:
    case 0x30: return std::make_unique<XBobjFXMemo20>(table, version, shared, readWrite, key, tableFileName);
    default: return nullptr;
  }
}

XBobjMemo::XBobjMemo(XBO_dBaseDBF* table, std::uint8_t version, bool shared, bool readWrite, const AnsiString& key,
                     const AnsiString& tableFileName)
    : XBO_DiskFile(MemoFileName(tableFileName, version), shared, readWrite),
      FTable(table),
      FVersion(version),
      FEncrypted(!key.empty()),
      FKey(key) {
  if (!FileExisted()) {
    FoundErrorHook(2, xbCtxMemoOpen, ShownName());
    throw EXBaseError("File not found - " + ShownName());
  }
  FileOpen();
  SetLockProtocol(0);
}

XBobjMemo::~XBobjMemo() {
  try {
    FileClose();
  } catch (...) {}
}

void XBobjMemo::FoundErrorHook(std::int32_t code, std::int32_t context, const AnsiString& name) {
  if (FTable) FTable->FoundErrorHook(code, context, name);
  else XBO_DiskFile::FoundErrorHook(code, context, name);
}

void XBobjMemo::FormatError() { FoundErrorHook(xbErrMemoFormat, xbCtxMemoFormat, ShownName()); }

void XBobjMemo::EntryError(std::int64_t block) {
  AnsiString where = ShownName() + ", block " + std::to_string(block);
  if (FTable) where += " of table " + FTable->ShownName();
  FoundErrorHook(xbErrMemoFormat, xbCtxMemoFormat, where);
}

bool XBobjMemo::EntryFound(std::int64_t block, std::int64_t& length, bool report) {
  length = 0;
  // A reference past the end of the file (a memo file cut short) is a
  // damaged entry, not an empty one: reading it as empty would hide every
  // text that was lost.
  if (block * FBlockSize >= FileSize()) {
    if (report) EntryError(block);
    return false;
  }
  if (EntryLength(block, length)) return true;
  if (report) EntryError(block);
  length = 0;
  return false;
}

std::int64_t XBobjMemo::DataLimit(std::int64_t offset) { return std::max<std::int64_t>(FileSize() - offset, 0); }

bool XBobjMemo::StoredLength(std::int64_t stored, std::int64_t dataOffset, std::int64_t& length) {
  // Data the file does not hold means a damaged entry: taking what there is
  // would read other entries as this one's text, and a write in place would
  // go over them.
  if (stored > DataLimit(dataOffset)) return false;
  length = stored;
  return true;
}

int XBobjMemo::EntryPrefixLength() const { return FEncrypted ? 4 : 0; }
int XBobjMemo::EntrySuffixLength() const { return 2; }

void XBobjMemo::BuildEntryHeader(std::uint8_t* entry, std::int64_t length) {
  if (FEncrypted) PutLE32(entry, std::uint32_t(length));
}

bool XBobjMemo::EntryLength(std::int64_t block, std::int64_t& length) {
  const std::int64_t offset = block * FBlockSize;
  if (FEncrypted) {
    std::uint8_t prefix[4];
    if (Read(offset, prefix, 4) != 4) return false;
    return StoredLength(GetLE32(prefix), offset + 4, length);
  }
  // The entry runs to its first end mark, or to the end of the file.
  std::vector<std::uint8_t> chunk(std::size_t(std::max(FBlockSize, 4096)));
  for (;;) {
    const int got = Read(offset + length, chunk.data(), int(chunk.size()));
    if (got <= 0) return true;
    const auto* mark = static_cast<const std::uint8_t*>(std::memchr(chunk.data(), kEndMark, std::size_t(got)));
    if (mark) {
      length += mark - chunk.data();
      return true;
    }
    length += got;
    if (got < int(chunk.size())) return true;
  }
}

void XBobjMemo::WriteNextFree(std::uint32_t next) {
  std::uint8_t head[4];
  PutLE32(head, next);
  Write(0, head, 4);
}

std::int64_t XBobjMemo::MemoSize(std::int64_t block) {
  if (block <= 0) return 0;
  std::int64_t length = 0;
  if (!EntryFound(block, length, true)) return 0;
  return length;
}

std::int64_t XBobjMemo::MemoGet(std::int64_t block, void* buffer, std::int64_t length) {
  if (block <= 0 || length <= 0) return 0;
  std::int64_t entry = 0;
  if (!EntryFound(block, entry, true)) return 0;
  const std::int64_t want = std::min({length, entry, std::int64_t(INT32_MAX)});
  if (want <= 0) return 0;
  const std::int64_t offset = block * FBlockSize + EntryPrefixLength();
  const int got = std::max(Read(offset, buffer, int(want)), 0);
  if (FEncrypted) xbEncryptBuffer(FKey, buffer, buffer, got, 0);
  return got;
}

AnsiString XBobjMemo::MemoText(std::int64_t block) {
  const std::int64_t size = MemoSize(block);
  if (size <= 0) return {};
  AnsiString text(std::size_t(std::min<std::int64_t>(size, INT32_MAX)), '\0');
  text.resize(std::size_t(MemoGet(block, text.data(), std::int64_t(text.size()))));
  return text;
}

std::uint32_t XBobjMemo::BlocksFor(std::int64_t dataLength) {
  const std::int64_t total = dataLength + EntryPrefixLength() + EntrySuffixLength();
  const std::int64_t blocks = (total + FBlockSize - 1) / FBlockSize;
  return blocks > std::int64_t(UINT32_MAX) ? UINT32_MAX : std::uint32_t(std::max<std::int64_t>(blocks, 1));
}

std::int64_t XBobjMemo::MemoLockOffset() const { return FLockMode == 2 ? FRecordLockBase : FRecordLockBase - 1; }
std::int64_t XBobjMemo::MemoLockLength() const { return FLockMode == 1 ? 2 : 1; }

bool XBobjMemo::LockMemo() {
  const int attempts = xbLockAttempts();
  for (int i = 0; i < attempts; ++i) {
    if (LockRegion(MemoLockOffset(), MemoLockLength())) return true;
    if (i + 1 < attempts) SysXb_Sleep(LockRetryInterval);
  }
  return false;
}

std::int64_t XBobjMemo::MemoPut(std::int64_t block, const void* buffer, std::int64_t length) {
  if (length < 0) length = 0;
  if (length == 0 && block == 0) return 0;
  // Entries pass through the key as one buffer; keep them well inside 2 GiB.
  if (length > std::int64_t(INT32_MAX) - 2 * 65536) {
    FoundErrorHook(xbErrMemoFormat, xbCtxWrite, ShownName());
    return block;
  }
  if (Shared() && !LockMemo()) {
    const std::int32_t code = LastError() ? std::int32_t(LastError()) : xbErrLockRefused;
    FoundErrorHook(code, xbCtxMemoLock, ShownName());
    return block;
  }
  std::int64_t first = block;
  vx::ScopeGuard unlock([this] {
    if (Shared()) UnlockRegion();
  });
  const std::int64_t size = FileSize();
  const std::int64_t firstData = (kHeaderRegion + FBlockSize - 1) / FBlockSize;
  std::int64_t oldLength = 0;
  const bool oldExists = block >= firstData && EntryFound(block, oldLength, false);
  const std::uint32_t oldCount = oldExists ? BlocksFor(oldLength) : 0;
  const std::uint32_t newCount = BlocksFor(length);
  if (!(oldExists && newCount <= oldCount)) {
    // New entries go to the end of the file. The header's next-free
    // value is kept up to date for other programs but not trusted: a
    // damaged one could point into the header, at other entries or
    // far past the end. (A lone end mark after the last block, as
    // an empty dBase III memo file has, is not a block.)
    const std::int64_t endBlock = (std::max<std::int64_t>(size - 1, 0) + FBlockSize - 1) / FBlockSize;
    first = std::max(firstData, endBlock);
    if (first + newCount > std::int64_t(UINT32_MAX)) {
      FoundErrorHook(xbErrMemoFormat, xbCtxWrite, ShownName());
      return block;
    }
  }
  std::vector<std::uint8_t> entry(std::size_t(newCount) * std::size_t(FBlockSize), 0);
  BuildEntryHeader(entry.data(), length);
  const int prefix = EntryPrefixLength();
  if (length > 0) {
    if (FEncrypted) xbEncryptBuffer(FKey, buffer, entry.data() + prefix, int(length), 1);
    else std::memcpy(entry.data() + prefix, buffer, std::size_t(length));
  }
  if (EntrySuffixLength() == 2) {
    entry[std::size_t(prefix + length)] = kEndMark;
    entry[std::size_t(prefix + length + 1)] = kEndMark;
  }
  Write(first * FBlockSize, entry.data(), int(entry.size()));
  if (first != block) WriteNextFree(std::uint32_t(first + newCount));
  return first;
}

void XBobjMemo::SetLockProtocol(int mode) {
  FLockMode = std::uint8_t(mode >= 0 && mode <= 3 ? mode : 0);
  XBO_dBaseDBF::LockRegionsOf(FLockMode, FFileLockBase, FRecordLockBase, FFileLockLength);
}

bool XBobjMemo::RenameForTable(const AnsiString& newTableFileName) {
  if (!XBO_DiskFile::Rename(MemoFileName(newTableFileName, FVersion))) return false;
  if (!HasTableName() || !ReadWrite()) return true;
  std::uint8_t name[kNameLength] = {};
  const AnsiString base = HeaderTableName(newTableFileName);
  std::memcpy(name, base.data(), base.size());
  return Write(kNameOffset, name, kNameLength) == kNameLength;
}

// --------------------------------------------------------------- XBobjMemo4

XBobjMemo4::XBobjMemo4(XBO_dBaseDBF* table, std::uint8_t version, bool shared, bool readWrite, const AnsiString& key,
                       const AnsiString& tableFileName)
    : XBobjMemo(table, version, shared, readWrite, key, tableFileName) {
  std::uint8_t head[32] = {};
  const int got = Read(0, head, 32);
  FBlockSize = got >= 22 ? (head[20] | head[21] << 8) : 0;
  if (FBlockSize == 0) {
    FormatError();
    FileClose();
    throw EXBaseError("dBase memo record has format error - " + ShownName());
  }
}

bool XBobjMemo4::EntryLength(std::int64_t block, std::int64_t& length) {
  const std::int64_t offset = block * FBlockSize;
  std::uint8_t head[kEntryHeaderSize];
  if (Read(offset, head, kEntryHeaderSize) != kEntryHeaderSize) return false;
  const std::uint32_t stored = GetLE32(head + 4);
  if (head[0] != 0xFF || head[1] != 0xFF || stored < kEntryHeaderSize) return false;
  return StoredLength(stored - kEntryHeaderSize, offset + kEntryHeaderSize, length);
}

void XBobjMemo4::BuildEntryHeader(std::uint8_t* entry, std::int64_t length) {
  entry[0] = 0xFF;
  entry[1] = 0xFF;
  entry[2] = kEntryHeaderSize;
  entry[3] = 0;
  PutLE32(entry + 4, std::uint32_t(length + kEntryHeaderSize));
}

// ------------------------------------------------------------ XBobjFXMemo20

XBobjFXMemo20::XBobjFXMemo20(XBO_dBaseDBF* table, std::uint8_t version, bool shared, bool readWrite,
                             const AnsiString& key, const AnsiString& tableFileName)
    : XBobjMemo(table, version, shared, readWrite, key, tableFileName) {
  std::uint8_t head[32] = {};
  const int got = Read(0, head, 32);
  FBlockSize = got >= 8 ? (head[6] << 8 | head[7]) : 0;
  if (FBlockSize == 0) {
    FormatError();
    FileClose();
    throw EXBaseError("dBase memo record has format error - " + ShownName());
  }
}

bool XBobjFXMemo20::EntryLength(std::int64_t block, std::int64_t& length) {
  const std::int64_t offset = block * FBlockSize;
  std::uint8_t head[kEntryHeaderSize];
  if (Read(offset, head, kEntryHeaderSize) != kEntryHeaderSize) return false;
  if (GetBE32(head) > kFoxTypeText) return false;
  return StoredLength(GetBE32(head + 4), offset + kEntryHeaderSize, length);
}

void XBobjFXMemo20::BuildEntryHeader(std::uint8_t* entry, std::int64_t length) {
  PutBE32(entry, kFoxTypeText);
  PutBE32(entry + 4, std::uint32_t(length));
}

void XBobjFXMemo20::WriteNextFree(std::uint32_t next) {
  std::uint8_t head[4];
  PutBE32(head, next);
  Write(0, head, 4);
}
