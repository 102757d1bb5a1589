#include "tables/dbf/xbo_dbasedbf.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>

#include "platform/rtl/scope_guard.h"
#include "tables/base/xb_cipher.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_settings.h"
#include "tables/base/xb_sysapi.h"
#include "tables/dbf/xbo_memo.h"

using namespace dbf_format;

namespace {

std::uint32_t GetLE32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t GetLE16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
void PutLE32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

struct LocalNow {
  int year, month, day, hour, minute, second, millisecond;
};

LocalNow Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms)};
}

bool IsMemoType(char t) { return t == 'M' || t == 'G'; }

}  // namespace

XBO_dBaseDBF::XBO_dBaseDBF(const AnsiString& name, bool shared, bool readWrite, const AnsiString& key)
    : XBO_DiskFile(TableFileName(name), shared, readWrite) {
  ReadKey = key;
  WriteKey = key;
  FileOpen();
  vx::ScopeGuard close([this] { FileClose(); });
  SetLockProtocol(Default);
  OpenTable();
  close.Dismiss();
}

XBO_dBaseDBF::~XBO_dBaseDBF() {
  try {
    if (HeaderDirty && !Closed()) {
      TableLocked = false;
      RefreshHeader();
      WriteHeader();
    }
  } catch (...) {
    // A destructor reports nothing; the header stays as the last write left it.
  }
  FMemo.reset();
  FExpLink.reset();
  try {
    FileClose();
  } catch (...) {}
}

void XBO_dBaseDBF::TableError(std::int32_t code, std::int32_t context, const AnsiString& text) {
  FoundErrorHook(code, context, text);
}

std::int32_t XBO_dBaseDBF::CountFromSize() {
  const std::int64_t size = FileSize();
  if (RecordLength <= 0 || size <= HeaderLength) return 0;
  const std::int64_t n = (size - HeaderLength) / RecordLength;
  return n > INT32_MAX ? INT32_MAX : std::int32_t(n);
}

void XBO_dBaseDBF::OpenTable() {
  std::uint8_t head[kHeaderSize] = {};
  if (Read(0, head, kHeaderSize) != kHeaderSize) {
    TableError(xbErrBadHeader, xbCtxTableHeader, ShownName());
    throw EXBaseError("dBase DBF file header invalid - " + ShownName());
  }
  std::memcpy(HeaderImage, head, kHeaderSize);
  Version = head[0];
  const bool known = Version == kVersionPlain || Version == kVersionDB3Memo || Version == kVersionDB4Memo ||
                     Version == kVersionFoxMemo || Version == kVersionVisualFox;
  const std::int64_t fileSize = FileSize();
  HeaderLength = GetLE16(head + 8);
  RecordLength = GetLE16(head + 10);
  const int minHeader = Version == kVersionVisualFox ? kHeaderSize + 1 + kVisualFoxExtra : kHeaderSize + 1;
  if (!known || RecordLength == 0 || HeaderLength < minHeader || HeaderLength > fileSize) {
    TableError(xbErrBadHeader, xbCtxTableHeader, ShownName());
    throw EXBaseError("dBase DBF file header invalid - " + ShownName());
  }
  const std::uint8_t flags = head[28];
  StructuralIndex = flags & kFlagStructuralIndex;
  MemoPresent = flags & kFlagMemo;
  DatabaseContainer = flags & kFlagContainer;
  Encrypted = head[15] != 0;
  if (Encrypted && ReadKey.empty()) throw EXBaseEncryption("No Password for encrypted file " + ShownName());
  if (!Encrypted && !ReadKey.empty())
    throw EXBaseEncryption("A Password is included for unencrypted file " + ShownName());
  if (Version == kVersionVisualFox) HasMemo = MemoPresent;
  else HasMemo = Version == kVersionDB3Memo || Version == kVersionDB4Memo || Version == kVersionFoxMemo;

  RecNo = 0;
  EOFFlag = false;
  BOFFlag = true;
  RecordCount = CountFromSize();
  LastStamp = std::int32_t(GetLE32(head + 16));

  ParseDescriptors();

  HeaderDirty = false;
  RecordBuffer.assign(std::size_t(RecordLength) + 1, ' ');
  RecordBuffer[RecordLength] = char(kEndOfFile);
  CurRecord = RecordBuffer.data();
  SavedRecord = RecordBuffer;
  FWorkBuffer = RecordBuffer;
  FieldChanged.assign(std::size_t(FieldCount) + 1, 0);
  RefreshHeader();
  TableState = XBTableState::Ready;
  RecordChanged(xbStatusOpened, 0);
}

namespace {

// Whether a field of this type may have this length: every field holds at
// least a byte, dates 8, logicals 1, memo references 10 (or 4 binary bytes).
bool ValidFieldLength(char type, int length, std::uint8_t version) {
  if (length < 1) return false;
  if (type == 'D') return length == 8;
  if (type == 'L') return length == 1;
  if (HoldsMemo(type, version)) return length == 10 || length == 4;
  return true;
}

}  // namespace

void XBO_dBaseDBF::ParseDescriptors() {
  const int extra = Version == kVersionVisualFox ? kVisualFoxExtra : 0;
  const int areaSize = HeaderLength - kHeaderSize - 1 - extra;
  FDescriptorArea.assign(std::size_t(std::max(areaSize, 0)), 0);
  if (areaSize > 0 && Read(kHeaderSize, FDescriptorArea.data(), areaSize) != areaSize) {
    TableError(xbErrBadHeader, xbCtxTableHeader, ShownName());
    throw EXBaseError("dBase DBF file header invalid - " + ShownName());
  }
  if (Encrypted) xbEncryptBuffer(ReadKey, FDescriptorArea.data(), FDescriptorArea.data(), areaSize, 0);

  FFields.clear();
  int offset = 1;
  bool fits = true;
  const int slots = areaSize / kDescriptorSize;
  bool terminated = false;
  for (int i = 0; i < slots; ++i) {
    std::uint8_t* d = FDescriptorArea.data() + i * kDescriptorSize;
    if (IsTerminator(d[0])) {
      terminated = true;
      break;
    }
    XBFieldDesc f;
    const char* nameBytes = reinterpret_cast<const char*>(d);
    f.Name.assign(nameBytes, strnlen(nameBytes, 11));
    f.Type = char(d[11]);
    f.LengthByte = d[16];
    if (f.Type == 'C') {
      f.Length = d[16] + 256 * d[17];
      f.Decimals = 0;
    } else {
      f.Length = d[16];
      f.Decimals = d[17];
    }
    f.Offset = offset;
    f.Number = i + 1;
    if (offset + f.Length > RecordLength || !ValidFieldLength(f.Type, f.Length, Version)) fits = false;
    offset += f.Length;
    // The in-memory descriptor carries the field's offset and number.
    PutLE32(d + 12, std::uint32_t(f.Offset));
    d[26] = std::uint8_t(f.Number);
    d[27] = std::uint8_t(f.Number >> 8);
    FFields.push_back(std::move(f));
  }
  FieldCount = std::int32_t(FFields.size());
  if (Encrypted && offset != RecordLength) throw EXBaseEncryption("Invalid Password for encrypted file " + ShownName());
  // The descriptors end with the terminator, inside the header, and the
  // fields fill the record exactly; a header that disagrees with itself
  // would have records read from its descriptors.
  if (!terminated) {
    std::uint8_t mark = 0;
    terminated = Read(kHeaderSize + std::int64_t(kDescriptorSize) * FieldCount, &mark, 1) == 1 && IsTerminator(mark);
  }
  if (!fits || !terminated || offset != RecordLength) {
    TableError(xbErrBadHeader, xbCtxTableHeader, ShownName());
    throw EXBaseError("dBase DBF file header invalid - " + ShownName());
  }
  // A 0x30 table whose memo flag is clear still has a memo when it has memo
  // fields and its .FPT lies beside it (other programs leave the flag clear).
  if (Version == kVersionVisualFox && !HasMemo &&
      std::any_of(FFields.begin(), FFields.end(), [](const XBFieldDesc& f) { return IsMemoType(f.Type); }))
    HasMemo = XBobjMemo::MemoFileExists(PathName(), Version);
}

void XBO_dBaseDBF::RefreshHeader() {
  if (!Shared() || Closed()) return;
  std::uint8_t head[kHeaderSize];
  if (Read(0, head, kHeaderSize) == kHeaderSize) {
    // Only the bookkeeping bytes are taken over; the layout stays as opened.
    std::memcpy(HeaderImage + 1, head + 1, 7);
    std::memcpy(HeaderImage + 16, head + 16, 8);
  }
  const std::int32_t count = CountFromSize();
  const std::int32_t stamp = std::int32_t(GetLE32(HeaderImage + 16));
  if (count != RecordCount || stamp != LastStamp) ChangedByOther = true;
  RecordCount = count;
  LastStamp = stamp;
}

void XBO_dBaseDBF::WriteHeader() {
  if (!ReadWrite() || !HeaderDirty || TableLocked || Closed()) return;
  const LocalNow now = Now();
  const std::int32_t stamp = ((now.hour * 64 + now.minute) * 64 + now.second) * 1024 + now.millisecond;
  HeaderImage[1] = std::uint8_t(now.year % 100);
  HeaderImage[2] = std::uint8_t(now.month);
  HeaderImage[3] = std::uint8_t(now.day);
  PutLE32(HeaderImage + 4, std::uint32_t(RecordCount));
  HeaderImage[15] = Encrypted ? 1 : 0;
  PutLE32(HeaderImage + 16, std::uint32_t(stamp));
  PutLE32(HeaderImage + 20, std::uint32_t(UserID));
  HeaderImage[28] = std::uint8_t((StructuralIndex ? kFlagStructuralIndex : 0) | (MemoPresent ? kFlagMemo : 0) |
                                 (DatabaseContainer ? kFlagContainer : 0));
  if (Shared()) {
    // The append mark stays as the file has it: another program's append
    // may have set or cleared it since this one read the header.
    Write(0, HeaderImage, kIncompleteWrite);
    Write(kIncompleteWrite + 1, HeaderImage + kIncompleteWrite + 1, kHeaderSize - kIncompleteWrite - 1);
  } else {
    Write(0, HeaderImage, kHeaderSize);
  }
  HeaderDirty = false;
  LastStamp = stamp;
}

void XBO_dBaseDBF::RecordChanged(int code, int value) {
  if (code == xbStatusAfterRead || code == xbStatusAfterWrite) {
    RecordModified = false;
    if (TableState != XBTableState::ChangingKey) TableState = XBTableState::Ready;
  }
}

void XBO_dBaseDBF::ReadRecord(int code) {
  if (code == 0) return;
  if (RecordCount == 0) {
    RefreshHeader();
    if (RecordCount == 0) {
      EOFFlag = true;
      BOFFlag = true;
      return;
    }
  }
  EOFFlag = false;
  BOFFlag = false;
  std::int32_t n = code;
  switch (code) {
    case xbCurrent:
      if (RecNo == 0) return;  // nothing read yet: nothing to read again
      n = RecNo;
      break;
    case xbBottom: n = RecordCount; break;
    case xbTop: n = 1; break;
    case xbPrior:
      n = RecNo - 1;
      if (n == 0) {
        BOFFlag = true;
        return;
      }
      break;
    case xbNext: n = RecNo + 1; break;
    default: break;
  }
  if (n < 1) {
    TableError(xbErrBeyondEOF, xbCtxRecordRead, ShownName());
    return;
  }
  if (n > RecordCount) {
    RefreshHeader();
    if (n > RecordCount) {
      if (n > RecordCount + 1) {
        TableError(xbErrBeyondEOF, xbCtxRecordRead, ShownName());
        return;
      }
      EOFFlag = true;
      return;
    }
  }
  RecordChanged(xbStatusBeforeRead, code);
  if (Read(RecordPosition(n), CurRecord, RecordLength) != RecordLength) {
    // A record cut short by the end of the file is not a record: the
    // buffer gets back the record it held.
    std::memcpy(CurRecord, SavedRecord.data(), std::size_t(RecordLength));
    TableError(xbErrBeyondEOF, xbCtxRecordRead, ShownName());
    return;
  }
  if (Encrypted) xbEncryptBuffer(ReadKey, CurRecord, CurRecord, RecordLength, 0);
  RecNo = n;
  RecordChanged(xbStatusAfterRead, n);
  std::memcpy(SavedRecord.data(), CurRecord, std::size_t(RecordLength));
}

void XBO_dBaseDBF::WriteRecordBytes(std::int32_t n, bool withEndMark) {
  const char* source = CurRecord;
  if (Encrypted || withEndMark) {
    if (Encrypted) xbEncryptBuffer(WriteKey, CurRecord, FWorkBuffer.data(), RecordLength, 1);
    else std::memcpy(FWorkBuffer.data(), CurRecord, std::size_t(RecordLength));
    FWorkBuffer[RecordLength] = char(kEndOfFile);
    source = FWorkBuffer.data();
  }
  Write(RecordPosition(n), source, RecordLength + (withEndMark ? 1 : 0));
}

bool XBO_dBaseDBF::LockWithRetry() {
  const int attempts = Shared() ? xbLockAttempts() : 1;
  for (int i = 0; i < attempts; ++i) {
    if (LockHeader()) return true;
    if (i + 1 < attempts) SysXb_Sleep(LockRetryInterval);
  }
  return false;
}

void XBO_dBaseDBF::AppendRecord() {
  // An exclusive table appends whatever its lock says.
  if (!LockWithRetry() && Shared()) {
    TableError(xbErrLockRefused, xbCtxWrite, ShownName());
    return;
  }
  {
    vx::ScopeGuard unlock([this] { Unlock(); });
    RecordChanged(xbStatusBeforeWrite, 0);
    RecordModified = true;
    HeaderDirty = true;
    RefreshHeader();
    CurRecord[0] = kLiveFlag;
    const std::int32_t n = RecordCount + 1;
    WriteRecordBytes(n, true);
    RecordCount = n;
    RecNo = n;
    WriteHeader();
  }
  EOFFlag = false;
  BOFFlag = false;
  RecordChanged(xbStatusAfterWrite, 0);
  if (AutoFlush) FlushFile();
  std::memcpy(SavedRecord.data(), CurRecord, std::size_t(RecordLength));
}

void XBO_dBaseDBF::WriteRecord(int n) {
  RecordChanged(xbStatusBeforeWrite, n);
  if (n < 1 || n > RecordCount || TableState == XBTableState::Appending) {
    AppendRecord();
    return;
  }
  HeaderDirty = true;
  WriteRecordBytes(n, false);
  RecNo = n;
  RecordWritten = true;
  RefreshHeader();
  WriteHeader();
  RecordChanged(xbStatusAfterWrite, n);
  if (AutoFlush) FlushFile();
  std::memcpy(SavedRecord.data(), CurRecord, std::size_t(RecordLength));
}

bool XBO_dBaseDBF::LockHeader() {
  if (TableLocked) {
    AddLockLevel();
    return true;
  }
  return LockRegion(FRecordLockBase, 1);
}

bool XBO_dBaseDBF::LockTable() {
  if (TableLocked) {
    AddLockLevel();
    return true;
  }
  if (!LockRegion(FFileLockBase, FFileLockLength)) return false;
  TableLocked = true;
  RefreshHeader();
  return true;
}

bool XBO_dBaseDBF::LockWholeTable() {
  if (TableLocked) {
    AddLockLevel();
    return true;
  }
  if (!LockRegion(0, 0x7FFFFFFF)) return false;
  TableLocked = true;
  RefreshHeader();
  return true;
}

std::int64_t XBO_dBaseDBF::RecordLockOffset(std::int32_t n) {
  switch (LockProtocol) {
    case DB4Lock: return FRecordLockBase - n - 1;
    case ClipLock: return FFileLockBase + n;
    default: return UseRecNoLock() ? FRecordLockBase - n : FFileLockBase + RecordPosition(n);
  }
}

bool XBO_dBaseDBF::LockRecord() {
  if (TableLocked) {
    AddLockLevel();
    return true;
  }
  return LockRegion(RecordLockOffset(RecNo), 1);
}

bool XBO_dBaseDBF::Unlock() {
  if (LockCount() <= 0) return true;
  if (LockCount() == 1 && TableLocked) {
    // The pending header goes out while the lock still keeps others away.
    TableLocked = false;
    WriteHeader();
  }
  const bool ok = UnlockRegion();
  if (ok && LockCount() == 0) RefreshHeader();
  return ok;
}

AnsiString XBO_dBaseDBF::TableFileName(const AnsiString& name) {
  const AnsiString trimmed = Trim(name);
  const auto sep = trimmed.find_last_of("\\/");
  const auto dot = trimmed.rfind('.');
  if (dot == AnsiString::npos || (sep != AnsiString::npos && dot < sep)) return trimmed + ".DBF";
  return trimmed;
}

void XBO_dBaseDBF::LockRegionsOf(int protocol, std::int64_t& fileBase, std::int64_t& recordBase,
                                 std::int64_t& fileLength) {
  switch (protocol) {
    case DB4Lock:
      fileBase = 0x40000000;
      recordBase = 0xEFFFFFFF;
      fileLength = 0xB0000000;
      break;
    case ClipLock:
      fileBase = 1000000000;
      recordBase = 1000000000;
      fileLength = 1000000000;
      break;
    default:
      fileBase = 0x40000000;
      recordBase = 0x7FFFFFFE;
      fileLength = 0x3FFFFFFF;
      break;
  }
}

void XBO_dBaseDBF::SetLockProtocol(int protocol) {
  LockProtocol = std::uint8_t(protocol >= 0 && protocol <= 3 ? protocol : 0);
  LockRegionsOf(LockProtocol, FFileLockBase, FRecordLockBase, FFileLockLength);
  if (FMemo) FMemo->SetLockProtocol(LockProtocol);
}

bool XBO_dBaseDBF::UseRecNoLock() { return false; }

XBobjMemo* XBO_dBaseDBF::MemoFile() {
  if (FMemo || !HasMemo) return FMemo.get();
  FMemo = XBobjMemo::CreateFor(this, Version, Shared(), ReadWrite(), ReadKey, PathName());
  if (FMemo) FMemo->SetLockProtocol(LockProtocol);
  return FMemo.get();
}

void XBO_dBaseDBF::SetMemoKey(const AnsiString& key) {
  if (!HasMemo) return;
  if (FMemo) FMemo->FlushFile();
  FMemo.reset();
  FMemo = XBobjMemo::CreateFor(this, Version, Shared(), ReadWrite(), key, PathName());
  if (FMemo) FMemo->SetLockProtocol(LockProtocol);
}

bool XBO_dBaseDBF::FlushFile() {
  bool ok = XBO_DiskFile::FlushFile();
  if (FMemo) ok = FMemo->FlushFile() && ok;
  RecordChanged(xbStatusAfterFlush, RecNo);
  return ok;
}

bool XBO_dBaseDBF::Rename(const AnsiString& newName) {
  const AnsiString target = TableFileName(newName);
  // The memo file is found by the table's old name, so it is opened first.
  XBobjMemo* memo = HasMemo ? MemoFile() : nullptr;
  if (!XBO_DiskFile::Rename(target)) return false;
  return memo ? memo->RenameForTable(target) : true;
}
