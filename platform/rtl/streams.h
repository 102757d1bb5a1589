// Streams: TStream (abstract byte stream with a position), TFileStream,
// TMemoryStream and TStringStream.
//
// Positions and counts are 64-bit. Read returns what it could read (0 at
// the end); ReadBuffer/WriteBuffer raise EReadError "Stream read error" /
// EWriteError "Stream write error" when the full count does not move.
//
// TFileStream opens with the class library's mode constants: one of
// fmOpenRead / fmOpenWrite / fmOpenReadWrite, or fmCreate (create or
// truncate), combined with a share mode. The share modes are advisory file
// locks taken without waiting: fmShareExclusive and fmShareCompat take the
// file exclusively, the others share it with other sharing openers; a
// refusal raises EFOpenError (EFCreateError for fmCreate) and leaves the
// file untouched (fmCreate truncates only after the lock is held). The file
// is an OsFile of the OS layer (through file_system.h), so its sharing is
// that of the engine's own files.
#pragma once

#include <cstdint>
#include <string>

#include <memory>

#include "platform/rtl/classes.h"
#include "platform/rtl/file_system.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };
using enum TSeekOrigin;

inline constexpr unsigned fmCreate = 0xFFFF;
inline constexpr unsigned fmOpenRead = 0x0000;
inline constexpr unsigned fmOpenWrite = 0x0001;
inline constexpr unsigned fmOpenReadWrite = 0x0002;
inline constexpr unsigned fmShareCompat = 0x0000;
inline constexpr unsigned fmShareExclusive = 0x0010;
inline constexpr unsigned fmShareDenyWrite = 0x0020;
inline constexpr unsigned fmShareDenyRead = 0x0030;
inline constexpr unsigned fmShareDenyNone = 0x0040;

class TStream : public TObject {
 public:
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Returns the new position.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies `count` bytes from the source's position; count 0 copies the
  // whole source from its start. Returns the number copied.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, soBeginning); }
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t size);
};

class TFileStream : public TStream {
 public:
  // Raises EFOpenError / EFCreateError "Cannot open file "<name>". <reason>".
  TFileStream(const AnsiString& fileName, unsigned mode);
  ~TFileStream() override;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;
  const AnsiString& FileName() const { return fileName_; }

 private:
  AnsiString fileName_;
  std::unique_ptr<vx::RuntimeFile> file_;
  bool canRead_ = true;
  bool canWrite_ = true;
  std::int64_t position_ = 0;
};

// A growable block of memory.
class TMemoryStream : public TStream {
 public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
  // Growing fills with zeros; the position stays where it was.
  void SetSize(std::int64_t size) override;

  char* Memory() { return data_.data(); }
  const std::string& Data() const { return data_; }
  void Clear();
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);
  // EFOpenError / EFCreateError on failure; SaveToFile replaces the file
  // only once the new contents are completely written.
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName);

 protected:
  std::string data_;
  std::int64_t position_ = 0;
};

// A memory stream over a string.
class TStringStream : public TMemoryStream {
 public:
  explicit TStringStream(const AnsiString& s = AnsiString());
  const AnsiString& DataString() const { return data_; }
  // Up to `count` bytes from the position.
  AnsiString ReadString(std::int64_t count);
  void WriteString(const AnsiString& s);
};
