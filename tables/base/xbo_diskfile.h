// XBO_DiskFile: the engine's one file class. Tables, memo files, index files
// and every file a builder writes are XBO_DiskFile objects or descendants.
//
// Names. The constructor takes the caller's name: a name holding a backslash,
// or whose first ':' stands at position 3 or later, is kept as given; any
// other is expanded to a full path (relative to the current folder). That
// spelling (PathName) is what the OS layer resolves, without regard to case.
// FileName is the same text upper-cased: it is what the engine compares names
// by. Messages show ShownName, the path as the file system spells it, which
// on a case-sensitive file system is the one that names the file.
//
// Errors. Every OS failure on open, create, read, write, size, flush,
// truncate and rename sets LastError, makes it the thread's last error and
// calls FoundErrorHook(code, context, ShownName()), whose default passes it to
// xbEngineError - which raises EXBaseError unless the error hook has been
// replaced. A short read is not reported: it leaves LastError 221 and the
// caller sees the short count. Lock refusals never raise: they return false
// with LastError set (33 for a second, different region).
//
// Sharing and locks. A shared file is opened "deny none" and its region lock
// is an OS byte-range lock; an unshared file is opened exclusively (no other
// opener), so its lock is only counted. One region per object at a time,
// nested: locking the held region again only raises the count, and only the
// last unlock releases the OS lock. Closing releases a held lock.
//
// Every open object is listed in XBobjFileColl (which does not own it); at
// program exit every listed file is unlocked and closed.
#pragma once

#include <cstdint>

#include "platform/os/os_file.h"
#include "platform/rtl/cp1251.h"
#include "tables/base/xb_collection.h"

class XBO_DiskFile {
 public:
  // The whole-file lock region.
  static constexpr std::int64_t kWholeFileLength = 0x7FFFFFFF;

  // Does not open the file; records whether it exists.
  XBO_DiskFile(const AnsiString& name, bool shared, bool readWrite);
  // Closes the file; never throws.
  virtual ~XBO_DiskFile();
  XBO_DiskFile(const XBO_DiskFile&) = delete;
  XBO_DiskFile& operator=(const XBO_DiskFile&) = delete;

  // Releases a held lock, closes the handle, leaves the open-file list.
  // True (also when already closed).
  virtual bool FileClose();
  // Where every failure goes; the default calls xbEngineError.
  virtual void FoundErrorHook(std::int32_t code, std::int32_t context, const AnsiString& name);
  // Size in bytes; -1 after a reported failure (context 1105).
  virtual std::int64_t FileSize();
  // Pushes written data to the disk and clears Modified (context 1111).
  virtual bool FlushFile();
  // The whole-file lock LockRegion(0, 0x7FFFFFFF) for a shared file; true at
  // once for an unshared one.
  virtual bool LockFile();
  // See the class comment; never raises.
  virtual bool LockRegion(std::int64_t offset, std::int64_t length);
  // Reads count bytes at offset; returns the bytes read (context 1101).
  virtual int Read(std::int64_t offset, void* buffer, int count);
  // Read through the handle's shared view of the file (OsFile::ReadMapped):
  // as fresh as Read, without a system call where the view holds the
  // bytes. For the small reads of a file other programs write.
  int ReadMapped(std::int64_t offset, void* buffer, int count);
  // Closes, moves the file to newName (never over an existing file: 183),
  // takes the new name on success and opens the file again (context 1106).
  virtual bool Rename(const AnsiString& newName);
  // Opens the existing file with the object's access and sharing (context 1107).
  virtual bool FileOpen();
  // Creates or empties the file, then opens it through FileOpen (context 1108).
  virtual bool FileCreate();
  // Cuts the file at offset; only a read-write file that is unshared or
  // holds the whole-file lock may do so, else error 5 (context 1109).
  virtual bool FileTruncate(std::int64_t offset);
  // Drops one nesting level; the last releases the OS lock.
  virtual bool UnlockRegion();
  // Writes count bytes at offset and sets Modified; returns the bytes
  // written (context 1102).
  virtual int Write(std::int64_t offset, const void* buffer, int count);

  // Adds one nesting level to the held lock without an OS call (a table
  // lock covers the record locks taken under it).
  void AddLockLevel() { ++lockCount_; }

  const AnsiString& FileName() const { return fileName_; }
  const AnsiString& PathName() const { return pathName_; }
  // PathName with every part that exists in its on-disk spelling (the rest
  // as the caller spelled it): the name messages show.
  AnsiString ShownName() const;
  bool FileExisted() const { return fileExisted_; }
  std::int32_t LastError() const { return lastError_; }
  void SetLastErrorCode(std::int32_t code) { lastError_ = code; }
  std::int64_t Position() const { return position_; }
  bool Shared() const { return shared_; }
  bool ReadWrite() const { return readWrite_; }
  int LastTransfer() const { return lastTransfer_; }
  std::int32_t LockCount() const { return lockCount_; }
  std::int64_t LockOffset() const { return lockOffset_; }
  std::int64_t LockLength() const { return lockLength_; }
  bool Modified() const { return modified_; }
  bool Closed() const { return closed_; }
  vx::OsFile& Handle() { return handle_; }

  // Expands a name as the constructor does (without upper-casing).
  static AnsiString ExpandName(const AnsiString& name);

 protected:
  // Stores code as LastError and the thread's last error, then calls
  // FoundErrorHook with context.
  void ReportError(std::int32_t code, std::int32_t context);
  // Releases the OS lock of a held region whatever its nesting depth.
  void ReleaseLock();
  // Read and ReadMapped.
  int ReadHandle(std::int64_t offset, void* buffer, int count, bool mapped);

  vx::OsFile handle_;
  std::int32_t lastError_ = 0;
  bool fileExisted_ = false;
  AnsiString fileName_;  // upper case: comparisons and messages
  AnsiString pathName_;  // the caller's spelling, for the OS
  std::int64_t position_ = 0;
  bool shared_ = false;
  bool readWrite_ = false;
  int lastTransfer_ = 0;
  std::int32_t lockCount_ = 0;
  std::int64_t lockOffset_ = 0;
  std::int64_t lockLength_ = 0;
  bool modified_ = false;
  bool closed_ = true;

  friend void xbCloseAllFiles();
};

// The open engine files; does not own them.
class XBobjFileList : public TxbCollection<XBO_DiskFile> {
 public:
  ~XBobjFileList() override { Clear(); }

 protected:
  void FreeItem(XBO_DiskFile*) override {}
};

// The list of open files, created on the first open; null before.
extern XBobjFileList* XBobjFileColl;

// The exit routine: releases every held lock and closes every listed file.
// Runs at program exit; may be called earlier.
void xbCloseAllFiles();
