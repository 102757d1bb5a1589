#include "tables/index_disk.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vx {
namespace {

int WindowsError(int err) {
  switch (err) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EACCES:
    case EPERM:
    case EROFS: return 5;
    case EAGAIN: return 33;
    default: return 1000 + err;
  }
}

}  // namespace

IndexDiskFile::IndexDiskFile(std::string name, bool shared, bool readWrite)
    : name_(std::move(name)), shared_(shared), readWrite_(readWrite) {}

IndexDiskFile::~IndexDiskFile() { FileClose(); }

bool IndexDiskFile::Exists() const { return ::access(name_.c_str(), F_OK) == 0; }

void IndexDiskFile::Fail(int context) {
  lastError_ = WindowsError(errno);
  throw IndexError(lastError_, "Error " + std::to_string(lastError_) + " (" + std::to_string(context) +
                                   ") on " + name_);
}

void IndexDiskFile::FileOpen() {
  fd_ = ::open(name_.c_str(), (readWrite_ ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd_ < 0) Fail(1107);
  // An unshared open admits no second opener.
  if (::flock(fd_, (shared_ ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
    ::close(fd_);
    fd_ = -1;
    lastError_ = 32;
    throw IndexError(32, "Sharing violation - " + name_);
  }
  lastError_ = 0;
}

void IndexDiskFile::FileCreate() {
  const int fd = ::open(name_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Fail(1108);
  ::close(fd);
  FileOpen();
}

void IndexDiskFile::FileClose() {
  if (fd_ < 0) return;
  if (lockCount_ > 0) {
    lockCount_ = 1;
    UnlockRegion();
  }
  ::close(fd_);
  fd_ = -1;
}

int64_t IndexDiskFile::Read(int64_t offset, void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done), offset + done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(1101);
    }
    if (n == 0) break;
    done += n;
  }
  lastError_ = done < count ? 221 : 0;
  return done;
}

void IndexDiskFile::Write(int64_t offset, const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::pwrite(fd_, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done), offset + done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(1102);
    }
    done += n;
  }
}

int64_t IndexDiskFile::FileSize() {
  const off_t end = ::lseek(fd_, 0, SEEK_END);
  if (end < 0) Fail(1105);
  return end;
}

void IndexDiskFile::FileTruncate(int64_t offset) {
  if (::ftruncate(fd_, offset) != 0) Fail(1109);
}

void IndexDiskFile::FlushFile() {
  if (fd_ >= 0 && ::fsync(fd_) != 0) Fail(1111);
}

void IndexDiskFile::Rename(const std::string& newName) {
  if (::access(newName.c_str(), F_OK) == 0) {
    lastError_ = 183;
    throw IndexError(183, "Cannot rename " + name_ + " to an existing file " + newName);
  }
  if (::rename(name_.c_str(), newName.c_str()) != 0) Fail(1106);
  name_ = newName;
}

bool IndexDiskFile::LockRegion(int64_t offset, int64_t length) {
  if (lockCount_ > 0) {
    if (offset != lockOffset_ || length != lockLength_) {
      lastError_ = 33;
      return false;
    }
    ++lockCount_;
    return true;
  }
  if (shared_) {
    struct flock fl {};
    fl.l_type = readWrite_ ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = offset;
    fl.l_len = length;
    if (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
      lastError_ = 33;
      return false;
    }
  }
  lockOffset_ = offset;
  lockLength_ = length;
  lockCount_ = 1;
  lastError_ = 0;
  return true;
}

bool IndexDiskFile::UnlockRegion() {
  lastError_ = 0;
  if (lockCount_ <= 0) return true;
  if (lockCount_ == 1 && shared_) {
    struct flock fl {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = lockOffset_;
    fl.l_len = lockLength_;
    if (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
      lastError_ = WindowsError(errno);
      return false;
    }
  }
  --lockCount_;
  return true;
}

}  // namespace vx
