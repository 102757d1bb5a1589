// The runtime's way to the disk.
//
// The runtime's file users (whole-file reads and writes, ReplacingFile,
// TFileStream, RenameFile) neither open, write nor rename files themselves:
// they go through the one RuntimeFileSystem installed here. The OS layer
// installs it (platform/os/os_file.cpp), and its files are that layer's
// OsFiles, with their sharing, error numbers and fault hook. The runtime
// sits below the OS layer and does not include it, so the dependency runs
// through this interface.
//
// Names are the program's (see NativeFileName in filebytes.h). Failing
// calls return false (or no file) and leave an error number of the original
// platform in `error` or in LastFileError().
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace vx {

// An open file; reads and writes are positioned, as in OsFile.
class RuntimeFile {
 public:
  virtual ~RuntimeFile() = default;
  // `got` is short only at the end of the file.
  virtual bool Read(std::uint64_t offset, void* buffer, std::size_t count, std::size_t& got) = 0;
  virtual bool Write(std::uint64_t offset, const void* buffer, std::size_t count) = 0;
  virtual bool Size(std::uint64_t& size) = 0;
  virtual bool Truncate(std::uint64_t size) = 0;
  // Pushes written data to the storage device.
  virtual bool Flush() = 0;
};

enum class RuntimeOpen {
  Read,       // an existing file, read only
  ReadWrite,  // an existing file
  Create,     // created, or emptied once the share check has passed
};

class RuntimeFileSystem {
 public:
  virtual ~RuntimeFileSystem() = default;
  // `shared`: other sharing openers may have the file open too; otherwise
  // the file is held exclusively. Null on failure, with `error` set.
  virtual std::unique_ptr<RuntimeFile> Open(std::string_view name, RuntimeOpen mode, bool shared,
                                            std::uint32_t& error) = 0;
  // Renames a file. Without `replace` an existing target is refused (both
  // files stay as they were) and a target naming the source in another
  // case gives it the new spelling; with `replace` an existing file is
  // replaced in one step.
  virtual bool Rename(std::string_view from, std::string_view to, bool replace) = 0;
  // Deletes a file that no handle holds open.
  virtual bool Delete(std::string_view name) = 0;
  // Gives `name` the permission bits of `model`; true when `model` does
  // not exist.
  virtual bool CopyPermissions(std::string_view model, std::string_view name) = 0;
};

// The installed file system. Using it before one is installed is a
// programming error (std::logic_error).
RuntimeFileSystem& RuntimeFiles();
// Installs the file system; the OS layer does so while the program starts.
void SetRuntimeFiles(RuntimeFileSystem* files);

}  // namespace vx
