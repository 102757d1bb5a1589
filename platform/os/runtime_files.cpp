// The runtime's file system (platform/rtl/file_system.h) on this layer's
// OsFile, installed while the program starts.
#include <memory>

#include "platform/os/os_error.h"
#include "platform/os/os_file.h"
#include "platform/rtl/file_system.h"

namespace vx {
namespace {

class OsRuntimeFile : public RuntimeFile {
 public:
  explicit OsRuntimeFile(OsFile file) : file_(std::move(file)) {}
  bool Read(std::uint64_t offset, void* buffer, std::size_t count, std::size_t& got) override {
    return file_.Read(offset, buffer, count, got);
  }
  bool Write(std::uint64_t offset, const void* buffer, std::size_t count) override {
    return file_.Write(offset, buffer, count);
  }
  bool Size(std::uint64_t& size) override { return file_.Size(size); }
  bool Truncate(std::uint64_t size) override { return file_.Truncate(size); }
  bool Flush() override { return file_.Flush(); }

 private:
  OsFile file_;
};

class OsRuntimeFileSystem : public RuntimeFileSystem {
 public:
  std::unique_ptr<RuntimeFile> Open(std::string_view name, RuntimeOpen mode, bool shared,
                                    std::uint32_t& error) override {
    OsFile file;
    const OsShare share = shared ? OsShare::DenyNone : OsShare::Exclusive;
    const bool ok = mode == RuntimeOpen::Create ? file.Create(name, OsAccess::ReadWrite, share)
                                                : file.Open(name, mode == RuntimeOpen::Read ? OsAccess::Read
                                                                                            : OsAccess::ReadWrite,
                                                            share);
    if (!ok) {
      error = GetLastError();
      return nullptr;
    }
    error = 0;
    return std::make_unique<OsRuntimeFile>(std::move(file));
  }
  bool Rename(std::string_view from, std::string_view to, bool replace) override {
    return replace ? ReplaceFileAt(from, to) : MoveFileAt(from, to);
  }
  bool Delete(std::string_view name) override { return DeleteFileAt(name); }
  bool CopyPermissions(std::string_view model, std::string_view name) override {
    return vx::CopyPermissions(model, name);
  }
};

OsRuntimeFileSystem osFiles;

const bool installed = [] {
  SetRuntimeFiles(&osFiles);
  return true;
}();

}  // namespace
}  // namespace vx

// Every program that links this layer pulls this file in by this name (see
// platform/os/CMakeLists.txt), so the runtime always has its file system.
extern "C" const bool vx_os_runtime_files = vx::installed;
