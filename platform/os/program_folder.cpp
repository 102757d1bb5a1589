#include "platform/os/program_folder.h"

#include <unistd.h>

#include "platform/os/path_resolver.h"

namespace vx {
namespace {

std::string& ProgramFolderOverride() {
  static std::string folder;
  return folder;
}

std::string& WindowsDirectoryOverride() {
  static std::string folder;
  return folder;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string ExecutableFolder() {
  static const std::string folder = [] {
    std::string link(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", link.data(), link.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return std::string("./");
    link.resize(static_cast<std::size_t>(n));
    const std::size_t slash = link.rfind('/');
    if (slash == std::string::npos) return std::string("./");
    return NativeToAnsi(link.substr(0, slash + 1));
  }();
  return folder;
}

}  // namespace

std::string ProgramFolder() {
  const std::string& set = ProgramFolderOverride();
  return set.empty() ? ExecutableFolder() : set;
}

void SetProgramFolder(std::string_view folder) {
  std::string& set = ProgramFolderOverride();
  set = folder;
  if (!set.empty() && !IsSeparator(set.back())) set += '/';
}

std::string WindowsDirectory() {
  const std::string& set = WindowsDirectoryOverride();
  std::string folder = set.empty() ? ProgramFolder() : set;
  while (folder.size() > 1 && IsSeparator(folder.back())) folder.pop_back();
  return folder;
}

void SetWindowsDirectory(std::string_view folder) { WindowsDirectoryOverride() = folder; }

}  // namespace vx
