// File names and the file system, as the class library offered them.
//
// Names are the program's: CP1251 text where '\' and '/' both separate
// folders. Every call that touches the disk resolves the name first
// (vx::NativeFileName in filebytes.h): an existing name is found without
// regard to case, a new one is created as spelled.
//
// The pure name helpers treat '\', '/' and a drive colon as delimiters and
// never touch the disk.
#pragma once

#include <cstdint>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/filebytes.h"

// The delimiter this system puts between folders.
inline constexpr char PathDelim = '/';

// Up to and including the last delimiter ("C:\a\b.txt" -> "C:\a\").
AnsiString ExtractFilePath(const AnsiString& fileName);
// As ExtractFilePath without the final delimiter, unless that is the root.
AnsiString ExtractFileDir(const AnsiString& fileName);
// After the last delimiter.
AnsiString ExtractFileName(const AnsiString& fileName);
// From the last '.' of the name part, the dot included; empty when none.
AnsiString ExtractFileExt(const AnsiString& fileName);
// Replaces (or adds) the extension; `extension` includes its dot.
AnsiString ChangeFileExt(const AnsiString& fileName, const AnsiString& extension);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& path);
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path);
bool IsPathDelimiter(const AnsiString& s, int index);  // 1-based index

// An existing regular file (not a folder).
bool FileExists(const AnsiString& fileName);
bool DirectoryExists(const AnsiString& directory);
// Creates every missing folder of the path; true when it exists afterwards.
bool ForceDirectories(const AnsiString& directory);
bool CreateDir(const AnsiString& directory);
bool RemoveDir(const AnsiString& directory);
// The file's modification time as a DOS date-time, -1 when it does not exist.
int FileAge(const AnsiString& fileName);
bool FileAge(const AnsiString& fileName, TDateTime& fileDateTime);
bool DeleteFile(const AnsiString& fileName);
// Never replaces: false when `newName` exists (both files stay as they were),
// and false while another handle holds the file open. The OS layer renames
// (file_system.h); a new spelling of the same name only changes the case.
bool RenameFile(const AnsiString& oldName, const AnsiString& newName);
AnsiString GetCurrentDir();
// The absolute form of a name (relative names against the current folder).
AnsiString ExpandFileName(const AnsiString& fileName);

// --- searching a folder
inline constexpr int faReadOnly = 0x01;
inline constexpr int faHidden = 0x02;  // names that begin with '.', except "." and ".."
inline constexpr int faSysFile = 0x04;
inline constexpr int faVolumeID = 0x08;
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faAnyFile = 0x3F;

namespace vx {
struct FindState;
}

// Holds an open search until FindClose or its destruction; not copyable.
struct TSearchRec {
  TSearchRec() = default;
  TSearchRec(const TSearchRec&) = delete;
  TSearchRec& operator=(const TSearchRec&) = delete;
  ~TSearchRec();

  int Time = 0;  // DOS date-time of the last change
  std::int64_t Size = 0;
  int Attr = 0;
  AnsiString Name;  // the entry's name (CP1251 where it converts)
  int ExcludeAttr = 0;
  vx::FindState* FindHandle = nullptr;
};

// `path` is a folder plus a mask with '*' and '?' matched without regard to
// case ("*.*" matches every name, with or without a dot). Regular files are
// always found; folders, hidden and system entries only when `attr` asks
// for them. Entries come in name order. Returns 0 and fills `rec` on a
// match; else 2 (no match) or 3 (no such folder). FindNext returns 0 or 18
// (no more entries). FindClose frees the search (also safe twice).
int FindFirst(const AnsiString& path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

namespace vx {
// Whether `name` matches a Windows-style mask without regard to case.
bool MatchesMask(const AnsiString& name, const AnsiString& mask);
}  // namespace vx
