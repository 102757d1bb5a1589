#include "platform/rtl/streams.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/rtl/filebytes.h"

// ---------------------------------------------------------------------------
// TStream

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  const std::int64_t total = count;
  char buf[65536];
  while (count > 0) {
    const std::int64_t n = std::min<std::int64_t>(count, sizeof buf);
    source.ReadBuffer(buf, n);
    WriteBuffer(buf, n);
    count -= n;
  }
  return total;
}

std::int64_t TStream::Size() {
  const std::int64_t pos = Seek(0, soCurrent);
  const std::int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t size) {}

// ---------------------------------------------------------------------------
// TFileStream

namespace {

const char* Reason(int error) {
  switch (error) {
    case ENOENT: return "The system cannot find the file specified";
    case ENOTDIR: return "The system cannot find the path specified";
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return "Access is denied";
    case EWOULDBLOCK: return "The process cannot access the file because it is being used by another process";
    case EMFILE:
    case ENFILE: return "The system cannot open the file";
    default: return "The file cannot be opened";
  }
}

}  // namespace

TFileStream::TFileStream(const AnsiString& fileName, unsigned mode) : fileName_(fileName) {
  const bool create = (mode & 0xFF00) == 0xFF00;
  const unsigned access = mode & 3;
  const unsigned share = create ? fmShareExclusive : mode & 0xF0;
  int flags = O_CLOEXEC;
  if (create) flags |= O_RDWR | O_CREAT;
  else flags |= access == fmOpenRead ? O_RDONLY : access == fmOpenWrite ? O_WRONLY : O_RDWR;
  auto fail = [&](int error) {
    const AnsiString message =
        (create ? "Cannot create file \"" : "Cannot open file \"") + fileName + "\". " + Reason(error);
    if (create) throw EFCreateError(message);
    throw EFOpenError(message);
  };
  const std::string native = vx::NativeFileName(fileName);
  fd_ = ::open(native.c_str(), flags, 0666);
  if (fd_ < 0) fail(errno);
  struct stat st;
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    fail(EISDIR);
  }
  const int lock = share == fmShareExclusive || share == fmShareCompat ? LOCK_EX : LOCK_SH;
  if (::flock(fd_, lock | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    fail(error);
  }
  if (create && ::ftruncate(fd_, 0) != 0) {
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    fail(error);
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, static_cast<std::size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, static_cast<std::size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (r < 0) throw EStreamError("Stream seek error");
  return r;
}

void TFileStream::SetSize(std::int64_t size) {
  if (size < 0 || ::ftruncate(fd_, static_cast<off_t>(size)) != 0) throw EStreamError("Stream size error");
  if (Position() > size) Seek(size, soBeginning);
}

// ---------------------------------------------------------------------------
// TMemoryStream

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  const auto size = static_cast<std::int64_t>(data_.size());
  if (position_ < 0 || count <= 0 || position_ >= size) return 0;
  const std::int64_t n = std::min(count, size - position_);
  std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
  position_ += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (position_ < 0 || count <= 0) return 0;
  const std::int64_t end = position_ + count;
  if (end > Size()) SetSize(end);
  std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
  position_ = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning: position_ = offset; break;
    case soCurrent: position_ += offset; break;
    case soEnd: position_ = Size() + offset; break;
  }
  return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) throw EStreamError("Stream size error");
  try {
    data_.resize(static_cast<std::size_t>(size), '\0');
  } catch (const std::bad_alloc&) { throw EOutOfMemory("Out of memory"); } catch (const std::length_error&) {
    throw EOutOfMemory("Out of memory");
  }
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  const std::int64_t size = stream.Size();
  SetSize(size);
  position_ = 0;
  if (size > 0) stream.ReadBuffer(data_.data(), size);
}

void TMemoryStream::SaveToStream(TStream& stream) {
  if (!data_.empty()) stream.WriteBuffer(data_.data(), Size());
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName) {
  AnsiString bytes;
  if (!vx::ReadFileBytes(fileName, bytes)) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  data_ = std::move(bytes);
  position_ = 0;
}

void TMemoryStream::SaveToFile(const AnsiString& fileName) {
  if (!vx::WriteFileBytes(fileName, data_)) throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

// ---------------------------------------------------------------------------
// TStringStream

TStringStream::TStringStream(const AnsiString& s) { data_ = s; }

AnsiString TStringStream::ReadString(std::int64_t count) {
  const auto size = static_cast<std::int64_t>(data_.size());
  if (position_ < 0 || count <= 0 || position_ >= size) return AnsiString();
  const std::int64_t n = std::min(count, size - position_);
  AnsiString out = data_.substr(static_cast<std::size_t>(position_), static_cast<std::size_t>(n));
  position_ += n;
  return out;
}

void TStringStream::WriteString(const AnsiString& s) { Write(s.data(), static_cast<std::int64_t>(s.size())); }
