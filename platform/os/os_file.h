// OsFile: one open file with the original platform's sharing and locking.
//
// Names go through ResolvePath (path_resolver.h): `\` or `/`, any case for
// existing names, CP1251 text. Every failing call returns false, stores an
// error number (os_error.h) as the thread's last error, and changes nothing
// else; nothing throws.
//
// Sharing. Each open handle takes a non-blocking flock on the file:
//  - OsShare::DenyNone ("deny none"): a shared flock; any number of
//    deny-none handles, in this or other processes, may have the file open.
//  - OsShare::Exclusive ("compatibility" mode): an exclusive flock; the open
//    fails with 32 when any other handle has the file open, and while it is
//    open every other open (either mode) fails with 32.
// Only programs that take flocks are kept out; other programs (most xBase
// peer tools) can still open the file.
//
// Reading and writing are positioned (pread/pwrite at a 64-bit offset); there
// is no file pointer. A read that reaches the end of the file is not an error:
// it reports the bytes it got (0 at or past the end). A write past the end
// extends the file and the gap reads as zeros. A write to a handle opened
// with OsAccess::Read fails with 5. ReadMapped reads as Read does, through a
// view of the file that the handle keeps (os_file_map.h): what other
// programs wrote shows as it does to Read, without a system call per read.
//
// Region locks (LockRegion/UnlockRegion) are Linux open-file-description
// locks, so they belong to the handle, as on the original platform: two
// handles of one process conflict like two processes do, and a forked child
// that opens the file itself sees the parent's locks. Each lock is exclusive
// and non-blocking; a refusal is 33. A region may lie wholly or partly past
// the end of the file. A handle cannot lock a region that overlaps one it
// already holds (33). Unlock must name a region exactly as it was locked;
// anything else is 158 and unlocks nothing. Locks are advisory: they keep
// other lockers out, not readers or writers. Programs that use classic POSIX
// record locks (fcntl F_SETLK, lockf) see them and are seen. A region of length 0 locks
// nothing but is remembered, so locking and unlocking it both succeed.
// On a handle that the kernel would only open read-only (a file without
// write permission, a read-only file system) the lock is a read lock: it
// still keeps writers' locks out, but not other read-only handles' locks.
// Closing the handle releases its locks and its flock.
//
// Error numbers by call:
//   Open     2 no such file, 3 a folder on the way is missing, 5 no
//            permission or the name is a folder, 32 share refusal, 4 too many
//            open files
//   Create   3, 5, 32 (another handle refuses sharing; the file is then left
//            untouched), 150 read-only file system
//   Read     100, 6 not open;  Write 101, 112 disk full, 5 read-only handle
//   Truncate 5 read-only handle;  Lock 33;  Unlock 158;  anything when
//   closed: 6.  Flush on a read-only handle has nothing to do and succeeds.
//
// An OsFile is owned by one object at a time (movable, not copyable); it may
// be used from one thread at a time. The destructor closes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/os_file_map.h"

namespace vx {

enum class OsAccess { Read, ReadWrite };
enum class OsShare { Exclusive, DenyNone };

class OsFile {
 public:
  OsFile() = default;
  ~OsFile();
  OsFile(const OsFile&) = delete;
  OsFile& operator=(const OsFile&) = delete;
  OsFile(OsFile&& other) noexcept;
  OsFile& operator=(OsFile&& other) noexcept;

  // Opens an existing file. A handle that is already open is closed first.
  bool Open(std::string_view path, OsAccess access, OsShare share);
  // Creates the file, or empties an existing one, and leaves it open with
  // the given access and share mode. The name of a new file is spelled as
  // given; its folder must exist. An existing file is emptied only after
  // the share check has passed, so a file another handle holds exclusively
  // is never touched.
  bool Create(std::string_view path, OsAccess access, OsShare share);
  // Releases locks, flock and descriptor. Closing a closed handle is a no-op.
  void Close();

  bool IsOpen() const { return fd_ >= 0; }
  bool IsWritable() const { return access_ == OsAccess::ReadWrite; }
  bool IsShared() const { return share_ == OsShare::DenyNone; }
  // The native (resolved) path the handle was opened with.
  const std::string& NativePath() const { return native_; }

  // Reads up to count bytes at offset into buffer; `got` receives the number
  // read (fewer than count only at the end of the file). False on failure.
  bool Read(std::uint64_t offset, void* buffer, std::size_t count, std::size_t& got);
  // Read, served from the handle's read-only shared view of the file where
  // the view holds the bytes (the file as it is now, whatever other programs
  // wrote or cut); the rest is read by Read, whose outcome widens the view
  // over a file that grew. While a fault hook is installed every call is a
  // plain Read, so the hook sees it. Meant for small reads of files others
  // write; the view is dropped by Close.
  bool ReadMapped(std::uint64_t offset, void* buffer, std::size_t count, std::size_t& got);
  // Writes all count bytes at offset. False on failure (the file may then
  // hold part of the data).
  bool Write(std::uint64_t offset, const void* buffer, std::size_t count);
  // Current size of the file in bytes.
  bool Size(std::uint64_t& size) const;
  // Pushes written data to the storage device.
  bool Flush();
  // Sets the end of file at size (shorter or longer; a longer file reads as
  // zeros past the old end). Needs read-write access.
  bool Truncate(std::uint64_t size);

  // Exclusive, non-blocking region lock; see above.
  bool LockRegion(std::uint64_t offset, std::uint64_t length);
  bool UnlockRegion(std::uint64_t offset, std::uint64_t length);
  // Regions this handle holds, in the order they were locked.
  struct Region {
    std::uint64_t offset;
    std::uint64_t length;
  };
  const std::vector<Region>& LockedRegions() const { return locks_; }

 private:
  bool OpenResolved(std::string_view path, OsAccess access, OsShare share, bool create);
  bool SetRegionLock(const Region& region, short type);

  int fd_ = -1;
  bool fdWritable_ = false;  // the descriptor itself was opened for writing
  OsAccess access_ = OsAccess::Read;
  OsShare share_ = OsShare::Exclusive;
  std::string native_;
  std::vector<Region> locks_;
  OsFileMap map_;
};

// File-system operations on names (resolved as for OsFile).

enum class OsFileKind { Missing, File, Folder };
// What the name refers to; Missing also when a folder on the way is missing.
OsFileKind GetFileKind(std::string_view path);

// Deletes a file. 2/3 when missing, 5 for a folder or without permission,
// 32 while any OsFile has the file open (as the original platform refused to
// delete an open file).
bool DeleteFileAt(std::string_view path);

// Renames (moves) a file or folder; never replaces: an existing target is
// 183 and both files stay as they were. 2/3 when the source is missing, 3
// when the target's folder is missing, 32 while an OsFile has the source
// open, 17 across file systems. A target that names the source itself in
// another case renames it to the new spelling.
bool MoveFileAt(std::string_view from, std::string_view to);

// Whether two names lead to one file on disk (through links, another
// spelling or another folder path). False when either does not exist.
bool IsSameFile(std::string_view a, std::string_view b);

// Renames a file over `to`, replacing an existing file in one step (a
// reader sees the old file or the new one, never neither). 2/3 when the
// source is missing, 3 when the target's folder is missing.
bool ReplaceFileAt(std::string_view from, std::string_view to);

// Gives `path` the permission bits of `model`; true when `model` does not
// exist, 5 when it is a folder.
bool CopyPermissions(std::string_view model, std::string_view path);

// Creates one folder (its parent must exist); 183 when the name exists.
bool CreateFolder(std::string_view path);

// Fault injection for tests. The runtime's files (whole-file saves, INI
// files, string lists, TFileStream; see runtime_files.cpp) are OsFiles too,
// so the hook reaches them as well. While a hook is installed, every OsFile
// call below asks it first, with the native path, the offset (the new size
// for Truncate) and the byte count (the length for locks). An answer other
// than 0 fails the call with that error number and leaves the file
// untouched. With 0 the call goes ahead; a Read or Write whose count the
// hook lowered moves only that many bytes: the read reports the short count
// as the end of the file would, the write then fails with 112 (disk full).
enum class OsOperation { Open, Create, Read, Write, Size, Flush, Truncate, Lock, Unlock };
using OsFaultHook = std::function<std::uint32_t(OsOperation operation, const std::string& nativePath,
                                                std::uint64_t offset, std::size_t& count)>;
// An empty function removes the hook. Install it before other threads use
// files, and remove it before it goes out of scope.
void SetOsFaultHook(OsFaultHook hook);

}  // namespace vx
