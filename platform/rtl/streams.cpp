#include "platform/rtl/streams.h"

#include <algorithm>
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

// The original platform's text for an error number of a failed open.
const char* Reason(std::uint32_t error) {
  switch (error) {
    case 2: return "The system cannot find the file specified";
    case 3: return "The system cannot find the path specified";
    case 5:
    case 150: return "Access is denied";
    case 32: return "The process cannot access the file because it is being used by another process";
    case 4: return "The system cannot open the file";
    default: return "The file cannot be opened";
  }
}

}  // namespace

TFileStream::TFileStream(const AnsiString& fileName, unsigned mode) : fileName_(fileName) {
  const bool create = (mode & 0xFF00) == 0xFF00;
  const unsigned access = mode & 3;
  const unsigned share = create ? fmShareExclusive : mode & 0xF0;
  const vx::RuntimeOpen how = create                 ? vx::RuntimeOpen::Create
                              : access == fmOpenRead ? vx::RuntimeOpen::Read
                                                     : vx::RuntimeOpen::ReadWrite;
  canRead_ = create || access != fmOpenWrite;
  canWrite_ = how != vx::RuntimeOpen::Read;
  std::uint32_t error = 0;
  file_ = vx::RuntimeFiles().Open(fileName, how, share != fmShareExclusive && share != fmShareCompat, error);
  if (!file_) {
    const AnsiString message =
        (create ? "Cannot create file \"" : "Cannot open file \"") + fileName + "\". " + Reason(error);
    if (create) throw EFCreateError(message);
    throw EFOpenError(message);
  }
}

TFileStream::~TFileStream() = default;

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  std::size_t got = 0;
  if (!canRead_ || count <= 0 || position_ < 0 ||
      !file_->Read(static_cast<std::uint64_t>(position_), buffer, static_cast<std::size_t>(count), got))
    return 0;
  position_ += static_cast<std::int64_t>(got);
  return static_cast<std::int64_t>(got);
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  if (!canWrite_ || count <= 0 || position_ < 0 ||
      !file_->Write(static_cast<std::uint64_t>(position_), buffer, static_cast<std::size_t>(count)))
    return 0;
  position_ += count;
  return count;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == soCurrent) {
    base = position_;
  } else if (origin == soEnd) {
    std::uint64_t size = 0;
    if (!file_->Size(size)) throw EStreamError("Stream seek error");
    base = static_cast<std::int64_t>(size);
  }
  if (base + offset < 0) throw EStreamError("Stream seek error");
  position_ = base + offset;
  return position_;
}

void TFileStream::SetSize(std::int64_t size) {
  if (size < 0 || !canWrite_ || !file_->Truncate(static_cast<std::uint64_t>(size)))
    throw EStreamError("Stream size error");
  if (position_ > size) position_ = size;
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
