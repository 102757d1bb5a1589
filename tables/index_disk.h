// The file under an index: reads and writes at offsets, size, truncation and
// one nested byte-range lock (Linux open-file-description locks, so a second
// handle of the same process is a separate owner).
//
// Kept minimal and local to the index group; it offers the operations of the
// engine's disk file that the index layer calls, under the same names.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vx {

// Failure of an index file: damaged page or header, refused definition, or
// an operating-system error (code = the Windows-style error number).
class IndexError : public std::runtime_error {
 public:
  IndexError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

class IndexDiskFile {
 public:
  IndexDiskFile(std::string name, bool shared, bool readWrite);
  ~IndexDiskFile();
  IndexDiskFile(const IndexDiskFile&) = delete;
  IndexDiskFile& operator=(const IndexDiskFile&) = delete;

  const std::string& Name() const { return name_; }
  bool Shared() const { return shared_; }
  bool Exists() const;

  void FileOpen();    // raises IndexError on failure
  void FileCreate();  // creates or empties the file, then opens it
  void FileClose();
  // Returns the bytes read; a short count is not an error.
  int64_t Read(int64_t offset, void* buffer, int64_t count);
  void Write(int64_t offset, const void* buffer, int64_t count);
  int64_t FileSize();
  void FileTruncate(int64_t offset);
  void FlushFile();
  void Rename(const std::string& newName);
  // One region at a time, nested; false with LastError() 33 when refused.
  bool LockRegion(int64_t offset, int64_t length);
  bool UnlockRegion();
  int LastError() const { return lastError_; }

 private:
  [[noreturn]] void Fail(int context);
  std::string name_;
  bool shared_;
  bool readWrite_;
  int fd_ = -1;
  int lastError_ = 0;
  int lockCount_ = 0;
  int64_t lockOffset_ = 0;
  int64_t lockLength_ = 0;
};

}  // namespace vx
