#include "platform/os/os_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <utility>

#include "platform/os/os_error.h"
#include "platform/os/path_resolver.h"
#include "platform/rtl/codepages.h"

namespace vx {
namespace {

constexpr std::uint64_t kMaxOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do { fd = ::open(path, flags, mode); } while (fd < 0 && errno == EINTR);
  return fd;
}

int FlockRetrying(int fd, int operation) {
  int rc;
  do { rc = ::flock(fd, operation); } while (rc < 0 && errno == EINTR);
  return rc;
}

// Error for a name that resolved with `missing` absent components.
std::uint32_t MissingError(int missing) { return missing == 1 ? kErrorFileNotFound : kErrorPathNotFound; }

// True when some handle holds the file open through its share flock: an
// exclusive flock cannot be had then. Files we cannot open for the probe are
// taken as not held.
bool HeldOpenElsewhere(const std::string& native) {
  const int fd = OpenRetrying(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  const bool held = FlockRetrying(fd, LOCK_EX | LOCK_NB) < 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

OsFaultHook& FaultHook() {
  static OsFaultHook hook;
  return hook;
}

std::atomic<bool> faultHookSet{false};

// True (with the last error set) when an installed fault hook fails the call.
bool Faulted(OsOperation operation, const std::string& native, std::uint64_t offset, std::size_t& count) {
  if (!faultHookSet.load(std::memory_order_acquire)) return false;
  const std::uint32_t code = FaultHook()(operation, native, offset, count);
  if (code == 0) return false;
  SetLastError(code);
  return true;
}

bool FaultedCall(OsOperation operation, const std::string& native, std::uint64_t offset, std::uint64_t length = 0) {
  std::size_t count = static_cast<std::size_t>(length);
  return Faulted(operation, native, offset, count);
}

}  // namespace

void SetOsFaultHook(OsFaultHook hook) {
  faultHookSet.store(false, std::memory_order_release);
  FaultHook() = std::move(hook);
  faultHookSet.store(static_cast<bool>(FaultHook()), std::memory_order_release);
}

OsFile::~OsFile() { Close(); }

OsFile::OsFile(OsFile&& other) noexcept { *this = std::move(other); }

OsFile& OsFile::operator=(OsFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    fdWritable_ = other.fdWritable_;
    access_ = other.access_;
    share_ = other.share_;
    native_ = std::move(other.native_);
    locks_ = std::move(other.locks_);
    other.locks_.clear();
    map_ = std::move(other.map_);
  }
  return *this;
}

bool OsFile::Open(std::string_view path, OsAccess access, OsShare share) {
  return OpenResolved(path, access, share, false);
}

bool OsFile::Create(std::string_view path, OsAccess access, OsShare share) {
  return OpenResolved(path, access, share, true);
}

bool OsFile::OpenResolved(std::string_view path, OsAccess access, OsShare share, bool create) {
  Close();
  ResolvedPath resolved = ResolvePath(path);
  if (resolved.missing > (create ? 1 : 0)) return FailWith(MissingError(resolved.missing));
  if (FaultedCall(create ? OsOperation::Create : OsOperation::Open, resolved.native, 0)) return false;

  const int common = O_CLOEXEC | O_NOCTTY;
  int fd;
  bool writable = true;
  if (create) {
    // Never O_TRUNC here: the file is emptied only once the share check
    // below has passed.
    fd = OpenRetrying(resolved.native.c_str(), O_RDWR | O_CREAT | common, 0666);
  } else {
    // A read-only handle still asks for a writable descriptor when it
    // can, because the kernel grants exclusive region locks only on those.
    fd = OpenRetrying(resolved.native.c_str(), O_RDWR | common);
    if (fd < 0 && access == OsAccess::Read &&
        (errno == EACCES || errno == EROFS || errno == ETXTBSY || errno == EISDIR || errno == EPERM)) {
      fd = OpenRetrying(resolved.native.c_str(), O_RDONLY | common);
      writable = false;
    }
  }
  if (fd < 0) return FailWithErrno(errno);

  struct stat st;
  if (::fstat(fd, &st) < 0) {
    const int err = errno;
    ::close(fd);
    return FailWithErrno(err);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return FailWith(kErrorAccessDenied);
  }
  if (FlockRetrying(fd, (share == OsShare::DenyNone ? LOCK_SH : LOCK_EX) | LOCK_NB) < 0) {
    const int err = errno;
    ::close(fd);
    return FailWith(err == EWOULDBLOCK ? kErrorSharingViolation : ErrorFromErrno(err));
  }
  if (create && st.st_size > 0 && ::ftruncate(fd, 0) < 0) {
    const int err = errno;
    ::close(fd);
    return FailWithErrno(err, OsActivity::Write);
  }

  fd_ = fd;
  fdWritable_ = writable;
  access_ = access;
  share_ = share;
  native_ = std::move(resolved.native);
  return true;
}

void OsFile::Close() {
  if (fd_ >= 0) {
    // Closing the last descriptor of the open file description drops its
    // region locks and its flock.
    ::close(fd_);
    fd_ = -1;
  }
  locks_.clear();
  map_.Unmap();
}

bool OsFile::Read(std::uint64_t offset, void* buffer, std::size_t count, std::size_t& got) {
  got = 0;
  if (fd_ < 0) return FailWith(kErrorInvalidHandle);
  if (offset > kMaxOffset) return FailWith(kErrorInvalidParameter);
  std::size_t allowed = count;
  if (Faulted(OsOperation::Read, native_, offset, allowed)) return false;
  if (allowed < count) count = allowed;
  auto* out = static_cast<char*>(buffer);
  while (got < count) {
    const ssize_t n = ::pread(fd_, out + got, count - got, static_cast<off_t>(offset + got));
    if (n < 0) {
      if (errno == EINTR) continue;
      return FailWithErrno(errno, OsActivity::Read);
    }
    if (n == 0) break;  // end of file
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool OsFile::ReadMapped(std::uint64_t offset, void* buffer, std::size_t count, std::size_t& got) {
  const bool hooked = faultHookSet.load(std::memory_order_acquire);
  if (fd_ >= 0 && !hooked && map_.Serve(offset, buffer, count)) {
    got = count;
    return true;
  }
  if (!Read(offset, buffer, count, got)) return false;
  if (!hooked && got > 0) map_.Follow(fd_, offset + got);
  return true;
}

bool OsFile::Write(std::uint64_t offset, const void* buffer, std::size_t count) {
  if (fd_ < 0) return FailWith(kErrorInvalidHandle);
  if (access_ != OsAccess::ReadWrite) return FailWith(kErrorAccessDenied);
  if (offset > kMaxOffset || count > kMaxOffset - offset) return FailWith(kErrorInvalidParameter);
  std::size_t allowed = count;
  if (Faulted(OsOperation::Write, native_, offset, allowed)) return false;
  const bool cutShort = allowed < count;
  if (cutShort) count = allowed;
  const auto* in = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pwrite(fd_, in + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return FailWithErrno(errno, OsActivity::Write);
    }
    if (n == 0) return FailWith(kErrorDiskFull);
    done += static_cast<std::size_t>(n);
  }
  return cutShort ? FailWith(kErrorDiskFull) : true;
}

bool OsFile::Size(std::uint64_t& size) const {
  size = 0;
  if (fd_ < 0) return FailWith(kErrorInvalidHandle);
  if (FaultedCall(OsOperation::Size, native_, 0)) return false;
  struct stat st;
  if (::fstat(fd_, &st) < 0) return FailWithErrno(errno);
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool OsFile::Flush() {
  if (fd_ < 0) return FailWith(kErrorInvalidHandle);
  if (FaultedCall(OsOperation::Flush, native_, 0)) return false;
  // A read-only handle has written nothing there would be to flush.
  if (access_ != OsAccess::ReadWrite) return true;
  if (::fdatasync(fd_) < 0) return FailWithErrno(errno, OsActivity::Write);
  return true;
}

bool OsFile::Truncate(std::uint64_t size) {
  if (fd_ < 0) return FailWith(kErrorInvalidHandle);
  if (access_ != OsAccess::ReadWrite) return FailWith(kErrorAccessDenied);
  if (size > kMaxOffset) return FailWith(kErrorInvalidParameter);
  if (FaultedCall(OsOperation::Truncate, native_, size)) return false;
  int rc;
  do { rc = ::ftruncate(fd_, static_cast<off_t>(size)); } while (rc < 0 && errno == EINTR);
  if (rc < 0) return FailWithErrno(errno, OsActivity::Write);
  return true;
}

bool OsFile::SetRegionLock(const Region& region, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(region.offset);
  lock.l_len = static_cast<off_t>(region.length);
  lock.l_pid = 0;  // required for open-file-description locks
  int rc;
  do { rc = ::fcntl(fd_, F_OFD_SETLK, &lock); } while (rc < 0 && errno == EINTR);
  if (rc == 0) return true;
  if (errno == EAGAIN || errno == EACCES) return FailWith(kErrorLockViolation);
  return FailWithErrno(errno);
}

bool OsFile::LockRegion(std::uint64_t offset, std::uint64_t length) {
  if (fd_ < 0) return FailWith(kErrorInvalidHandle);
  if (offset > kMaxOffset || length > kMaxOffset - offset) return FailWith(kErrorInvalidParameter);
  if (FaultedCall(OsOperation::Lock, native_, offset, length)) return false;
  const Region wanted{offset, length};
  for (const Region& held : locks_) {
    if (held.offset < offset + length && offset < held.offset + held.length) return FailWith(kErrorLockViolation);
  }
  // A zero-length region covers no byte; the kernel would read length 0
  // as "to the end of the file and beyond", so it is only remembered.
  if (length > 0 && !SetRegionLock(wanted, fdWritable_ ? F_WRLCK : F_RDLCK)) return false;
  locks_.push_back(wanted);
  return true;
}

bool OsFile::UnlockRegion(std::uint64_t offset, std::uint64_t length) {
  if (fd_ < 0) return FailWith(kErrorInvalidHandle);
  if (FaultedCall(OsOperation::Unlock, native_, offset, length)) return false;
  for (auto it = locks_.rbegin(); it != locks_.rend(); ++it) {
    if (it->offset != offset || it->length != length) continue;
    if (length > 0 && !SetRegionLock(*it, F_UNLCK)) return false;
    locks_.erase(std::next(it).base());
    return true;
  }
  return FailWith(kErrorNotLocked);
}

OsFileKind GetFileKind(std::string_view path) {
  const ResolvedPath resolved = ResolvePath(path);
  if (resolved.missing > 0) return OsFileKind::Missing;
  struct stat st;
  if (::stat(resolved.native.c_str(), &st) < 0) return OsFileKind::Missing;
  return S_ISDIR(st.st_mode) ? OsFileKind::Folder : OsFileKind::File;
}

bool DeleteFileAt(std::string_view path) {
  const ResolvedPath resolved = ResolvePath(path);
  if (resolved.missing > 0) return FailWith(MissingError(resolved.missing));
  struct stat st;
  if (::lstat(resolved.native.c_str(), &st) < 0) return FailWithErrno(errno);
  if (S_ISDIR(st.st_mode)) return FailWith(kErrorAccessDenied);
  // Hold the probe's exclusive flock across the unlink, so that no handle
  // opens the file in between.
  int probe = -1;
  if (S_ISREG(st.st_mode)) {
    probe = OpenRetrying(resolved.native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (probe >= 0 && FlockRetrying(probe, LOCK_EX | LOCK_NB) < 0 && errno == EWOULDBLOCK) {
      ::close(probe);
      return FailWith(kErrorSharingViolation);
    }
  }
  const int rc = ::unlink(resolved.native.c_str());
  const int err = errno;
  if (probe >= 0) ::close(probe);
  if (rc < 0) return FailWithErrno(err);
  return true;
}

namespace {

// The last component of a program path as spelled, in UTF-8.
std::string SpelledLeaf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return Cp1251ToUtf8(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool SameInode(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// rename(2) that fails with EEXIST instead of replacing.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return -1;
  // File systems without the flag: a hard link cannot replace either.
  if (::link(from.c_str(), to.c_str()) == 0) {
    if (::unlink(from.c_str()) == 0) return 0;
    const int err = errno;
    ::unlink(to.c_str());
    errno = err;
    return -1;
  }
  if (errno == EEXIST) return -1;
  // No hard links there either (or a folder): check, then rename.
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return -1;
  }
  return ::rename(from.c_str(), to.c_str());
}

}  // namespace

bool MoveFileAt(std::string_view from, std::string_view to) {
  const ResolvedPath source = ResolvePath(from);
  if (source.missing > 0) return FailWith(MissingError(source.missing));
  ResolvedPath target = ResolvePath(to);
  if (target.missing > 1) return FailWith(kErrorPathNotFound);

  struct stat sourceStat;
  if (::lstat(source.native.c_str(), &sourceStat) < 0) return FailWithErrno(errno);
  if (target.missing == 0) {
    struct stat targetStat;
    const bool same = ::lstat(target.native.c_str(), &targetStat) == 0 && SameInode(targetStat, sourceStat);
    if (!same) return FailWith(kErrorAlreadyExists);
    // The source itself, named in another case: give it the new spelling.
    const std::size_t slash = target.native.rfind('/');
    const std::string leaf = SpelledLeaf(to);
    target.native = (slash == std::string::npos ? std::string() : target.native.substr(0, slash + 1)) + leaf;
    if (target.native == source.native) return true;
  }
  if (S_ISREG(sourceStat.st_mode) && HeldOpenElsewhere(source.native)) return FailWith(kErrorSharingViolation);
  if (RenameNoReplace(source.native, target.native) < 0) return FailWithErrno(errno);
  return true;
}

bool ReplaceFileAt(std::string_view from, std::string_view to) {
  const ResolvedPath source = ResolvePath(from);
  if (source.missing > 0) return FailWith(MissingError(source.missing));
  const ResolvedPath target = ResolvePath(to);
  if (target.missing > 1) return FailWith(kErrorPathNotFound);
  if (::rename(source.native.c_str(), target.native.c_str()) < 0) return FailWithErrno(errno);
  return true;
}

bool CopyPermissions(std::string_view model, std::string_view path) {
  const ResolvedPath from = ResolvePath(model);
  if (from.missing > 0) return true;
  struct stat st;
  if (::stat(from.native.c_str(), &st) < 0) return true;
  if (S_ISDIR(st.st_mode)) return FailWith(kErrorAccessDenied);
  const ResolvedPath to = ResolvePath(path);
  if (to.missing > 0) return FailWith(MissingError(to.missing));
  if (::chmod(to.native.c_str(), st.st_mode & 07777) < 0) return FailWithErrno(errno);
  return true;
}

bool IsSameFile(std::string_view a, std::string_view b) {
  const ResolvedPath ra = ResolvePath(a);
  const ResolvedPath rb = ResolvePath(b);
  if (ra.missing > 0 || rb.missing > 0) return false;
  struct stat sa, sb;
  return ::stat(ra.native.c_str(), &sa) == 0 && ::stat(rb.native.c_str(), &sb) == 0 && SameInode(sa, sb);
}

bool CreateFolder(std::string_view path) {
  const ResolvedPath resolved = ResolvePath(path);
  if (resolved.missing == 0) return FailWith(kErrorAlreadyExists);
  if (resolved.missing > 1) return FailWith(kErrorPathNotFound);
  if (::mkdir(resolved.native.c_str(), 0777) < 0) return FailWithErrno(errno);
  return true;
}

}  // namespace vx
