// Error numbers of the OS layer and the thread's last error.
//
// Every operation of platform/os that fails stores an error number in the
// calling thread's last-error slot and returns false (or an empty result);
// callers read it with GetLastError(). The numbers are the ones the Windows
// kernel and the Pascal run time used, so the table engine's error table can
// give them their texts:
//
//   2 file not found      3 path not found        4 too many open files
//   5 access denied       6 invalid handle       32 sharing violation
//  33 lock violation     80 file exists          87 invalid parameter
// 100 disk read error   101 disk write error    112 disk full
// 145 folder not empty  150 write-protected     152 drive not ready
// 158 region not locked 183 already exists      206 name too long
//
// A successful call does not clear the last error (as on the original
// platform); callers that need a clean slate call SetLastError(0).
#pragma once

#include <cstdint>

namespace vx {

enum OsErrorCode : std::uint32_t {
  kErrorSuccess = 0,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorTooManyOpenFiles = 4,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorNotSameDevice = 17,
  kErrorGeneralFailure = 31,
  kErrorSharingViolation = 32,
  kErrorLockViolation = 33,
  kErrorFileExists = 80,
  kErrorInvalidParameter = 87,
  kErrorDiskRead = 100,
  kErrorDiskWrite = 101,
  kErrorDiskFull = 112,
  kErrorDirNotEmpty = 145,
  kErrorWriteProtected = 150,
  kErrorDriveNotReady = 152,
  kErrorNotLocked = 158,
  kErrorAlreadyExists = 183,
  kErrorFileNameTooLong = 206,
};

// What the failing call was doing; an I/O error (EIO) is a read error (100)
// while reading and a write error (101) otherwise.
enum class OsActivity { Other, Read, Write };

// Maps a Linux errno value to the error number above. ENOENT maps to 2;
// callers that know a folder of the path is missing report 3 themselves.
// EAGAIN/EWOULDBLOCK map to 32 (the share-mode lock); region-lock callers
// report 33 themselves. Unknown values give 31 (general failure).
std::uint32_t ErrorFromErrno(int errnum, OsActivity activity = OsActivity::Other);

// Stores ErrorFromErrno(errnum, activity) as the last error; returns false so
// a failing path can end with `return FailWithErrno(errno);`.
bool FailWithErrno(int errnum, OsActivity activity = OsActivity::Other);

// Stores code as the last error; returns false.
bool FailWith(std::uint32_t code);

}  // namespace vx

// The calling thread's last error (0 = none).
std::uint32_t GetLastError();
void SetLastError(std::uint32_t code);
