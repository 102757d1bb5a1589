#include "platform/os/path_resolver.h"

#include <sys/stat.h>

#include "platform/rtl/filebytes.h"

namespace vx {
namespace {

bool NameExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder part of a native path ("." for a bare name, "/" at the root).
std::string ParentOf(const std::string& native) {
  std::size_t end = native.size();
  while (end > 1 && native[end - 1] == '/') --end;
  const std::size_t slash = native.rfind('/', end - 1);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return native.substr(0, slash);
}

}  // namespace

std::string NativeToAnsi(std::string_view native) { return AnsiFileName(native); }

ResolvedPath ResolvePath(std::string_view ansiPath) {
  ResolvedPath result;
  result.native = NativeFileName(ansiPath);
  if (result.native.empty() || !NameExists(result.native))
    result.missing = !result.native.empty() && IsFolder(ParentOf(result.native)) ? 1 : 2;
  return result;
}

}  // namespace vx
