// Whole-file reads and writes for the runtime's own file users (string lists,
// INI files), and the runtime's name resolution. Writes and renames go
// through the installed file system (file_system.h), that is through the OS
// layer's OsFile and its fault hook; a read takes no share lock, so a file
// another program holds is still read, as the peer tools read it.
//
// Names are the program's: CP1251 text with '\' or '/' between folders,
// matched against existing names without regard to case (see
// NativeFileName). Contents are bytes, written and read unchanged.
#pragma once

#include <string>
#include <string_view>

#include <memory>

#include "platform/rtl/cp1251.h"
#include "platform/rtl/file_system.h"

namespace vx {

// The Linux name for a program's file name: '\' becomes '/', each component
// becomes its UTF-8 spelling; an existing entry is found without regard to
// case (CP1251 rules; the exact spelling wins, else the first match in byte
// order). From the first component that does not exist on, the rest is kept
// as spelled, so a new file is created with the caller's spelling.
std::string NativeFileName(std::string_view ansiPath);

// The program's text for a Linux name: UTF-8 that CP1251 can hold becomes
// CP1251; anything else is returned unchanged.
AnsiString AnsiFileName(std::string_view native);

// Reads the whole file; false (and `bytes` untouched) when it cannot be read.
bool ReadFileBytes(const AnsiString& fileName, AnsiString& bytes);

// Replaces the file's contents: the bytes go to a new file beside it, which
// is flushed and then renamed over the old one, so a failure leaves the old
// contents intact. An existing file keeps its permission bits. False when
// the file cannot be written.
bool WriteFileBytes(const AnsiString& fileName, std::string_view bytes);

// The new contents of a file, written piece by piece into a temporary file
// beside it (the file's name followed by a suffix), then flushed and renamed
// over the file by Commit. Until then the old file stays as it was; a
// replacement that is not committed removes its temporary file. The new
// file gets the old file's permission bits. Writes are buffered. Every call
// returns false on failure, after which only the destructor is of use.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile() { Discard(); }
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool Open(const AnsiString& fileName, std::string_view suffix);
  bool Write(const void* data, std::size_t count);
  bool Commit();
  // Closes and removes the temporary file; nothing when none is open.
  void Discard();

 private:
  bool Flush();
  std::unique_ptr<RuntimeFile> file_;
  std::uint64_t written_ = 0;
  AnsiString target_, temp_;
  std::string buffer_;
};

}  // namespace vx
