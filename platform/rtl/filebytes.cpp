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
  target_ = fileName;
  temp_ = fileName + AnsiString(suffix);
  std::uint32_t error = 0;
  file_ = RuntimeFiles().Open(temp_, RuntimeOpen::Create, false, error);
  if (!file_) return false;
  written_ = 0;
  // The new file keeps the old one's permission bits (the umask narrows
  // only a new file's); a folder of that name cannot be replaced.
  if (!RuntimeFiles().CopyPermissions(target_, temp_)) {
    Discard();
    return false;
  }
  return true;
}

bool ReplacingFile::Write(const void* data, std::size_t count) {
  if (!file_) return false;
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
  if (!buffer_.empty() && !file_->Write(written_, buffer_.data(), buffer_.size())) return false;
  written_ += buffer_.size();
  buffer_.clear();
  return true;
}

bool ReplacingFile::Commit() {
  if (!file_) return false;
  bool ok = Flush() && file_->Flush();
  file_.reset();
  if (ok && !RuntimeFiles().Rename(temp_, target_, true)) ok = false;
  if (!ok) RuntimeFiles().Delete(temp_);
  temp_.clear();
  buffer_.clear();
  return ok;
}

void ReplacingFile::Discard() {
  if (!file_) return;
  file_.reset();
  RuntimeFiles().Delete(temp_);
  temp_.clear();
  buffer_.clear();
}

}  // namespace vx
