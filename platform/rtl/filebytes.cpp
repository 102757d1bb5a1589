#include "platform/rtl/filebytes.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/rtl/codepages.h"

namespace vx {

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.empty() ? "." : path.c_str(), &st) == 0;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Cp1251Upper(static_cast<unsigned char>(a[i])) != Cp1251Upper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string FindIgnoringCase(const std::string& folder, std::string_view ansiName) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return {};
  std::string best;
  bool found = false;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!SameIgnoringCase(AnsiFileName(name), ansiName)) continue;
    if (!found || name < best) best = std::string(name);
    found = true;
  }
  ::closedir(dir);
  return best;
}

}  // namespace

AnsiString AnsiFileName(std::string_view native) {
  for (unsigned char c : native)
    if (c >= 0x80) {
      // Only when every character survives the trip.
      const AnsiString ansi = Utf8ToCp1251(native);
      return Cp1251ToUtf8(ansi) == native ? ansi : AnsiString(native);
    }
  return AnsiString(native);
}

std::string NativeFileName(std::string_view ansiPath) {
  std::string native;
  std::size_t pos = 0;
  if (!ansiPath.empty() && (ansiPath[0] == '/' || ansiPath[0] == '\\')) {
    native.assign(1, '/');
    pos = 1;
  }
  bool missing = false, first = true;
  while (pos <= ansiPath.size()) {
    std::size_t end = ansiPath.find_first_of("/\\", pos);
    if (end == std::string_view::npos) end = ansiPath.size();
    const std::string_view component = ansiPath.substr(pos, end - pos);
    const std::string folder = native;
    if (!first) native += '/';
    first = false;
    const std::string utf8 = Cp1251ToUtf8(component);
    if (component.empty() || component == "." || component == ".." || missing) {
      native += utf8;
    } else if (Exists(native + utf8)) {
      native += utf8;
    } else if (utf8 != component && Exists(native + std::string(component))) {
      native += component;
    } else {
      std::string found = FindIgnoringCase(folder, component);
      if (found.empty()) {
        missing = true;
        found = utf8;
      }
      native += found;
    }
    if (end == ansiPath.size()) break;
    pos = end + 1;
  }
  return native;
}

bool ReadFileBytes(const AnsiString& fileName, AnsiString& bytes) {
  const std::string native = NativeFileName(fileName);
  const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  AnsiString out;
  char buf[65536];
  while (true) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  bytes = std::move(out);
  return true;
}

bool WriteFileBytes(const AnsiString& fileName, std::string_view bytes) {
  const std::string native = NativeFileName(fileName);
  struct stat st;
  mode_t mode = 0666;
  if (::stat(native.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return false;
    mode = st.st_mode & 07777;
  }
  const std::string temp = native + ".vxnew" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<std::size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(temp.c_str(), native.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace vx
