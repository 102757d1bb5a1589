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
  ReplacingFile file;
  return file.Open(fileName, ".vxnew" + std::to_string(::getpid())) && file.Write(bytes.data(), bytes.size()) &&
         file.Commit();
}

bool ReplacingFile::Open(const AnsiString& fileName, std::string_view suffix) {
  Discard();
  target_ = NativeFileName(fileName);
  struct stat st;
  mode_t mode = 0666;
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists) {
    if (S_ISDIR(st.st_mode)) return false;
    mode = st.st_mode & 07777;
  }
  temp_ = target_ + std::string(suffix);
  fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  // The umask narrows only a new file's bits.
  if (fd_ >= 0 && exists) ::fchmod(fd_, mode);
  return fd_ >= 0;
}

bool ReplacingFile::Write(const void* data, std::size_t count) {
  if (fd_ < 0) return false;
  constexpr std::size_t kBuffer = 1 << 16;
  if (buffer_.size() + count > kBuffer && !Flush()) return false;
  if (count >= kBuffer) {
    buffer_.assign(static_cast<const char*>(data), count);
    return Flush();
  }
  buffer_.append(static_cast<const char*>(data), count);
  return true;
}

bool ReplacingFile::Flush() {
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  buffer_.clear();
  return true;
}

bool ReplacingFile::Commit() {
  if (fd_ < 0) return false;
  bool ok = Flush() && ::fsync(fd_) == 0;
  if (::close(fd_) != 0) ok = false;
  fd_ = -1;
  if (ok && ::rename(temp_.c_str(), target_.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temp_.c_str());
  temp_.clear();
  return ok;
}

void ReplacingFile::Discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.c_str());
  temp_.clear();
  buffer_.clear();
}

}  // namespace vx
