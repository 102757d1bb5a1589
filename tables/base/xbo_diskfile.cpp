#include "tables/base/xbo_diskfile.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/os/os_error.h"
#include "platform/os/path_resolver.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_sysapi.h"

XBobjFileList* XBobjFileColl = nullptr;

namespace {

constexpr std::int32_t kErrInvalidParameter = 87;
constexpr std::int32_t kErrFileNotOpen = 103;

// At program exit: release and close what is still open, then free the list.
void FinalizeFileList() {
  xbCloseAllFiles();
  delete XBobjFileColl;
  XBobjFileColl = nullptr;
}

void AddToFileList(XBO_DiskFile* file) {
  if (!XBobjFileColl) {
    XBobjFileColl = new XBobjFileList;
    std::atexit(FinalizeFileList);
  }
  if (XBobjFileColl->IndexOf(file) < 0) XBobjFileColl->Add(file);
}

void RemoveFromFileList(XBO_DiskFile* file) {
  if (XBobjFileColl) XBobjFileColl->Remove(file);
}

AnsiString CurrentFolder() {
  std::vector<char> buffer(4096);
  while (!::getcwd(buffer.data(), buffer.size())) {
    if (buffer.size() >= (1u << 20)) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return vx::NativeToAnsi(buffer.data());
}

// Joins a relative name to the current folder and folds "." and ".."
// components, as the class library's full-path expansion did.
AnsiString FullPath(const AnsiString& name) {
  const AnsiString joined = !name.empty() && name[0] == '/' ? name : CurrentFolder() + "/" + name;
  std::vector<AnsiString> parts;
  std::size_t start = 0;
  while (start <= joined.size()) {
    std::size_t end = joined.find('/', start);
    if (end == AnsiString::npos) end = joined.size();
    const AnsiString part = joined.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  AnsiString out;
  for (const AnsiString& part : parts) out += "/" + part;
  if (out.empty() || (!joined.empty() && joined.back() == '/')) out += "/";
  return out;
}

}  // namespace

AnsiString XBO_DiskFile::ExpandName(const AnsiString& name) {
  const std::size_t colon = name.find(':');
  if (name.find('\\') != AnsiString::npos || (colon != AnsiString::npos && colon >= 2)) return name;
  return FullPath(name);
}

XBO_DiskFile::XBO_DiskFile(const AnsiString& name, bool shared, bool readWrite)
    : pathName_(ExpandName(name)), shared_(shared), readWrite_(readWrite) {
  fileName_ = SysXb_UpperCase(pathName_);
  fileExisted_ = vx::GetFileKind(pathName_) == vx::OsFileKind::File;
}

XBO_DiskFile::~XBO_DiskFile() {
  // Not through the virtual FileClose: a descendant's part is gone already.
  if (!closed_) {
    ReleaseLock();
    handle_.Close();
    closed_ = true;
  }
  RemoveFromFileList(this);
}

AnsiString XBO_DiskFile::ShownName() const { return vx::NativeToAnsi(vx::ResolvePath(pathName_).native); }

void XBO_DiskFile::ReportError(std::int32_t code, std::int32_t context) {
  lastError_ = code;
  SysXb_SetLastError(static_cast<std::uint32_t>(code));
  FoundErrorHook(code, context, ShownName());
}

void XBO_DiskFile::FoundErrorHook(std::int32_t code, std::int32_t context, const AnsiString& name) {
  xbEngineError(code, context, name);
}

void XBO_DiskFile::ReleaseLock() {
  if (lockCount_ > 0 && shared_ && handle_.IsOpen())
    SysXb_UnlockFile(handle_, static_cast<std::uint64_t>(lockLength_), static_cast<std::uint64_t>(lockOffset_));
  lockCount_ = 0;
}

bool XBO_DiskFile::FileOpen() {
  if (!closed_) FileClose();
  const vx::OsAccess access = readWrite_ ? vx::OsAccess::ReadWrite : vx::OsAccess::Read;
  const vx::OsShare share = shared_ ? vx::OsShare::DenyNone : vx::OsShare::Exclusive;
  if (!handle_.Open(pathName_, access, share)) {
    ReportError(static_cast<std::int32_t>(SysXb_GetLastError()), xbCtxOpen);
    return false;
  }
  lastError_ = 0;
  position_ = 0;
  closed_ = false;
  AddToFileList(this);
  return true;
}

bool XBO_DiskFile::FileCreate() {
  if (!closed_) FileClose();
  vx::OsFile creator;
  const vx::OsShare share = shared_ ? vx::OsShare::DenyNone : vx::OsShare::Exclusive;
  if (!creator.Create(pathName_, vx::OsAccess::ReadWrite, share)) {
    ReportError(static_cast<std::int32_t>(SysXb_GetLastError()), xbCtxCreate);
    return false;
  }
  creator.Close();
  fileExisted_ = true;
  return FileOpen();
}

bool XBO_DiskFile::FileClose() {
  if (closed_) return true;
  if (lockCount_ > 0) {
    lockCount_ = 1;
    UnlockRegion();
    lockCount_ = 0;
  }
  lastError_ = 0;
  RemoveFromFileList(this);
  handle_.Close();
  closed_ = true;
  position_ = 0;
  return true;
}

int XBO_DiskFile::Read(std::int64_t offset, void* buffer, int count) {
  return ReadHandle(offset, buffer, count, false);
}

int XBO_DiskFile::ReadMapped(std::int64_t offset, void* buffer, int count) {
  return ReadHandle(offset, buffer, count, true);
}

int XBO_DiskFile::ReadHandle(std::int64_t offset, void* buffer, int count, bool mapped) {
  lastTransfer_ = 0;
  if (closed_) {
    ReportError(kErrFileNotOpen, xbCtxRead);
    return 0;
  }
  if (count < 0 || offset < 0 || (count > 0 && !buffer)) {
    ReportError(kErrInvalidParameter, xbCtxRead);
    return 0;
  }
  std::size_t got = 0;
  const auto at = static_cast<std::uint64_t>(offset);
  const auto wanted = static_cast<std::size_t>(count);
  if (!(mapped ? handle_.ReadMapped(at, buffer, wanted, got) : handle_.Read(at, buffer, wanted, got))) {
    ReportError(static_cast<std::int32_t>(SysXb_GetLastError()), xbCtxRead);
    return 0;
  }
  lastTransfer_ = static_cast<int>(got);
  position_ = offset + lastTransfer_;
  lastError_ = lastTransfer_ < count ? xbErrShortRead : 0;
  return lastTransfer_;
}

int XBO_DiskFile::Write(std::int64_t offset, const void* buffer, int count) {
  lastTransfer_ = 0;
  if (closed_) {
    ReportError(kErrFileNotOpen, xbCtxWrite);
    return 0;
  }
  if (count < 0 || offset < 0 || (count > 0 && !buffer)) {
    ReportError(kErrInvalidParameter, xbCtxWrite);
    return 0;
  }
  if (!handle_.Write(static_cast<std::uint64_t>(offset), buffer, static_cast<std::size_t>(count))) {
    ReportError(static_cast<std::int32_t>(SysXb_GetLastError()), xbCtxWrite);
    return 0;
  }
  lastError_ = 0;
  lastTransfer_ = count;
  position_ = offset + count;
  modified_ = true;
  return count;
}

std::int64_t XBO_DiskFile::FileSize() {
  if (closed_) {
    ReportError(kErrFileNotOpen, xbCtxFileSize);
    return -1;
  }
  std::uint64_t size = 0;
  if (!handle_.Size(size)) {
    ReportError(static_cast<std::int32_t>(SysXb_GetLastError()), xbCtxFileSize);
    return -1;
  }
  lastError_ = 0;
  return static_cast<std::int64_t>(size);
}

bool XBO_DiskFile::FlushFile() {
  if (closed_) return true;
  if (!SysXb_FlushFileBuffers(handle_)) {
    ReportError(static_cast<std::int32_t>(SysXb_GetLastError()), xbCtxFlush);
    return false;
  }
  modified_ = false;
  return true;
}

bool XBO_DiskFile::FileTruncate(std::int64_t offset) {
  const bool wholeFileLock = lockCount_ > 0 && lockOffset_ == 0 && lockLength_ == kWholeFileLength;
  if (!readWrite_ || (shared_ && !wholeFileLock)) {
    ReportError(xbErrAccessDenied, xbCtxTruncate);
    return false;
  }
  if (closed_) {
    ReportError(kErrFileNotOpen, xbCtxTruncate);
    return false;
  }
  if (offset < 0) {
    ReportError(kErrInvalidParameter, xbCtxTruncate);
    return false;
  }
  if (!SysXb_SetEndOfFile(handle_, static_cast<std::uint64_t>(offset))) {
    ReportError(static_cast<std::int32_t>(SysXb_GetLastError()), xbCtxTruncate);
    return false;
  }
  lastError_ = 0;
  position_ = offset;
  modified_ = true;
  return true;
}

bool XBO_DiskFile::Rename(const AnsiString& newName) {
  if (!FileClose()) {
    ReportError(xbErrFileNotAssigned, xbCtxRename);
    return false;
  }
  const AnsiString target = ExpandName(newName);
  std::int32_t error = 0;
  if (vx::MoveFileAt(pathName_, target)) {
    pathName_ = target;
    fileName_ = SysXb_UpperCase(target);
  } else {
    error = static_cast<std::int32_t>(SysXb_GetLastError());
  }
  const bool reopened = FileOpen();
  if (error != 0) {
    ReportError(error, xbCtxRename);
    return false;
  }
  return reopened;
}

bool XBO_DiskFile::LockRegion(std::int64_t offset, std::int64_t length) {
  if (shared_) {
    if (lockCount_ < 1) {
      if (offset < 0 || length < 0) {
        lastError_ = kErrInvalidParameter;
        return false;
      }
      lockOffset_ = offset;
      lockLength_ = length;
      if (!SysXb_LockFile(handle_, static_cast<std::uint64_t>(length), static_cast<std::uint64_t>(offset))) {
        lastError_ = static_cast<std::int32_t>(SysXb_GetLastError());
        return false;
      }
    } else if (offset != lockOffset_ || length != lockLength_) {
      // One region per file at a time.
      lastError_ = xbErrLockRefused;
      return false;
    }
  } else if (lockCount_ < 1) {
    lockOffset_ = offset;
    lockLength_ = length;
  }
  lastError_ = 0;
  ++lockCount_;
  return true;
}

bool XBO_DiskFile::UnlockRegion() {
  lastError_ = 0;
  if (lockCount_ > 0) {
    if (shared_ && lockCount_ == 1 &&
        !SysXb_UnlockFile(handle_, static_cast<std::uint64_t>(lockLength_), static_cast<std::uint64_t>(lockOffset_)))
      lastError_ = static_cast<std::int32_t>(SysXb_GetLastError());
    if (lastError_ == 0) --lockCount_;
  }
  return lastError_ == 0;
}

bool XBO_DiskFile::LockFile() {
  if (!shared_) return true;
  return LockRegion(0, kWholeFileLength);
}

void xbCloseAllFiles() {
  if (!XBobjFileColl) return;
  const std::vector<XBO_DiskFile*> files(XBobjFileColl->begin(), XBobjFileColl->end());
  XBobjFileColl->Clear();
  for (XBO_DiskFile* file : files) {
    file->ReleaseLock();
    file->handle_.Close();
    file->closed_ = true;
    file->position_ = 0;
  }
}
