#include "platform/rtl/fileutils.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/rtl/codepages.h"
#include "platform/rtl/file_system.h"

namespace {

bool IsDelim(char c) { return c == '\\' || c == '/' || c == ':'; }
bool IsSlash(char c) { return c == '\\' || c == '/'; }

std::size_t NameStart(const AnsiString& s) {
  std::size_t i = s.size();
  while (i > 0 && !IsDelim(s[i - 1])) --i;
  return i;
}

bool StatNative(const std::string& native, struct stat& st) {
  return ::stat(native.empty() ? "." : native.c_str(), &st) == 0;
}

int DosTime(std::time_t t) {
  std::tm local{};
  ::localtime_r(&t, &local);
  TDateTime dt;
  TDateTime tm;
  if (!TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, dt) ||
      !TryEncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), 0, tm))
    return 0;
  return DateTimeToFileDate(dt + tm);
}

}  // namespace

AnsiString ExtractFilePath(const AnsiString& fileName) { return fileName.substr(0, NameStart(fileName)); }

AnsiString ExtractFileDir(const AnsiString& fileName) {
  std::size_t end = NameStart(fileName);
  // Keep the root delimiter ("\" or "C:\") and a drive colon.
  if (end > 1 && IsSlash(fileName[end - 1]) && !IsDelim(fileName[end - 2])) --end;
  return fileName.substr(0, end);
}

AnsiString ExtractFileName(const AnsiString& fileName) { return fileName.substr(NameStart(fileName)); }

AnsiString ExtractFileExt(const AnsiString& fileName) {
  const std::size_t start = NameStart(fileName);
  const std::size_t dot = fileName.rfind('.');
  return dot == AnsiString::npos || dot < start ? AnsiString() : fileName.substr(dot);
}

AnsiString ChangeFileExt(const AnsiString& fileName, const AnsiString& extension) {
  const std::size_t start = NameStart(fileName);
  const std::size_t dot = fileName.rfind('.');
  const std::size_t cut = dot == AnsiString::npos || dot < start ? fileName.size() : dot;
  return fileName.substr(0, cut) + extension;
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& path) {
  if (!path.empty() && IsSlash(path.back())) return path;
  return path + PathDelim;
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path) {
  if (path.size() > 1 && IsSlash(path.back())) return path.substr(0, path.size() - 1);
  return path;
}

bool IsPathDelimiter(const AnsiString& s, int index) {
  return index >= 1 && static_cast<std::size_t>(index) <= s.size() && IsSlash(s[static_cast<std::size_t>(index - 1)]);
}

bool FileExists(const AnsiString& fileName) {
  if (fileName.empty()) return false;
  struct stat st;
  return StatNative(vx::NativeFileName(fileName), st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& directory) {
  if (directory.empty()) return false;
  struct stat st;
  return StatNative(vx::NativeFileName(directory), st) && S_ISDIR(st.st_mode);
}

bool CreateDir(const AnsiString& directory) {
  return !directory.empty() && ::mkdir(vx::NativeFileName(directory).c_str(), 0777) == 0;
}

bool RemoveDir(const AnsiString& directory) {
  return !directory.empty() && ::rmdir(vx::NativeFileName(directory).c_str()) == 0;
}

bool ForceDirectories(const AnsiString& directory) {
  const AnsiString dir = ExcludeTrailingPathDelimiter(directory);
  if (dir.empty()) return false;
  if (DirectoryExists(dir)) return true;
  const AnsiString parent = ExtractFileDir(dir);
  if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
  return CreateDir(dir) || DirectoryExists(dir);
}

int FileAge(const AnsiString& fileName) {
  struct stat st;
  if (fileName.empty() || !StatNative(vx::NativeFileName(fileName), st) || S_ISDIR(st.st_mode)) return -1;
  return DosTime(st.st_mtime);
}

bool FileAge(const AnsiString& fileName, TDateTime& fileDateTime) {
  struct stat st;
  if (fileName.empty() || !StatNative(vx::NativeFileName(fileName), st) || S_ISDIR(st.st_mode)) return false;
  std::tm local{};
  const std::time_t t = st.st_mtime;
  ::localtime_r(&t, &local);
  TDateTime d, tm;
  if (!TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, d) ||
      !TryEncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), 0, tm))
    return false;
  fileDateTime = d + tm;
  return true;
}

bool DeleteFile(const AnsiString& fileName) {
  if (fileName.empty()) return false;
  const std::string native = vx::NativeFileName(fileName);
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(native.c_str()) == 0;
}

bool RenameFile(const AnsiString& oldName, const AnsiString& newName) {
  return !oldName.empty() && !newName.empty() && vx::RuntimeFiles().Rename(oldName, newName, false);
}

AnsiString GetCurrentDir() {
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return AnsiString();
  return vx::AnsiFileName(buf);
}

AnsiString ExpandFileName(const AnsiString& fileName) {
  AnsiString path = fileName;
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.empty() || path[0] != '/') path = IncludeTrailingPathDelimiter(GetCurrentDir()) + path;
  // Fold "." and ".." components.
  std::vector<AnsiString> parts;
  std::size_t i = 1;
  while (i <= path.size()) {
    std::size_t end = path.find('/', i);
    if (end == AnsiString::npos) end = path.size();
    const AnsiString part = path.substr(i, end - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = end + 1;
  }
  AnsiString out;
  for (const AnsiString& p : parts) {
    out += '/';
    out += p;
  }
  if (out.empty()) out.assign(1, '/');
  else if (path.back() == '/') out += '/';
  return out;
}

// ---------------------------------------------------------------------------
// Masks and folder search

bool vx::MatchesMask(const AnsiString& name, const AnsiString& mask) {
  auto match = [&](const AnsiString& text) {
    // Iterative wildcard match with one backtrack point per '*'.
    std::size_t t = 0, m = 0, starM = AnsiString::npos, starT = 0;
    while (t < text.size()) {
      if (m < mask.size() && (mask[m] == '?' || AnsiUpperChar(mask[m]) == AnsiUpperChar(text[t]))) {
        ++t;
        ++m;
      } else if (m < mask.size() && mask[m] == '*') {
        starM = m++;
        starT = t;
      } else if (starM != AnsiString::npos) {
        m = starM + 1;
        t = ++starT;
      } else {
        return false;
      }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
  };
  if (match(name)) return true;
  // "*.*" and "name.*" also take names without an extension, as "name.".
  return name.find('.') == AnsiString::npos && match(name + ".");
}

namespace vx {
struct FindState {
  std::string folder;  // native, with a trailing '/' unless empty
  std::vector<std::string> names;
  std::size_t next = 0;
  AnsiString mask;
};
}  // namespace vx

namespace {

// Fills rec with the next entry that matches; false when none is left.
bool NextMatch(TSearchRec& rec) {
  vx::FindState* fs = rec.FindHandle;
  while (fs->next < fs->names.size()) {
    const std::string& native = fs->names[fs->next++];
    const AnsiString ansi = vx::AnsiFileName(native);
    if (!vx::MatchesMask(ansi, fs->mask)) continue;
    struct stat st;
    const std::string full = fs->folder + native;
    if (::stat(full.c_str(), &st) != 0 && ::lstat(full.c_str(), &st) != 0) continue;
    int attr = 0;
    if (S_ISDIR(st.st_mode)) attr |= faDirectory;
    else if (!S_ISREG(st.st_mode)) attr |= faSysFile;
    if (native.size() > 1 && native[0] == '.' && native != "..") attr |= faHidden;
    if ((st.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
    if (attr & rec.ExcludeAttr) continue;
    rec.Name = ansi;
    rec.Attr = attr;
    rec.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::int64_t>(st.st_size);
    rec.Time = DosTime(st.st_mtime);
    return true;
  }
  return false;
}

}  // namespace

int FindFirst(const AnsiString& path, int attr, TSearchRec& rec) {
  FindClose(rec);
  const AnsiString folder = ExtractFilePath(path);
  std::string native = folder.empty() ? std::string() : vx::NativeFileName(folder);
  struct stat st;
  if (!StatNative(native, st) || !S_ISDIR(st.st_mode)) return 3;
  if (!native.empty() && native.back() != '/') native += '/';
  DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
  if (!dir) return 3;
  auto* fs = new vx::FindState;
  fs->folder = native;
  fs->mask = ExtractFileName(path);
  while (const dirent* e = ::readdir(dir)) fs->names.emplace_back(e->d_name);
  ::closedir(dir);
  std::sort(fs->names.begin(), fs->names.end());
  rec.FindHandle = fs;
  rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  if (!NextMatch(rec)) {
    FindClose(rec);
    return 2;
  }
  return 0;
}

TSearchRec::~TSearchRec() { FindClose(*this); }

int FindNext(TSearchRec& rec) {
  if (!rec.FindHandle) return 18;
  return NextMatch(rec) ? 0 : 18;
}

void FindClose(TSearchRec& rec) {
  delete rec.FindHandle;
  rec.FindHandle = nullptr;
}
