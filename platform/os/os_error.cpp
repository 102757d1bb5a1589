#include "platform/os/os_error.h"

#include <cerrno>

namespace {
thread_local std::uint32_t lastError = 0;
}  // namespace

std::uint32_t GetLastError() { return lastError; }
void SetLastError(std::uint32_t code) { lastError = code; }

namespace vx {

std::uint32_t ErrorFromErrno(int errnum, OsActivity activity) {
  switch (errnum) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR:
    case ELOOP: return kErrorPathNotFound;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR: return kErrorAccessDenied;
    case EBADF: return kErrorInvalidHandle;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EXDEV: return kErrorNotSameDevice;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY: return kErrorSharingViolation;
    case EEXIST: return kErrorAlreadyExists;
    case EINVAL:
    case EOVERFLOW: return kErrorInvalidParameter;
    case EIO: return activity == OsActivity::Read ? kErrorDiskRead : kErrorDiskWrite;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kErrorDiskFull;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case EROFS: return kErrorWriteProtected;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM: return kErrorDriveNotReady;
    case ENAMETOOLONG: return kErrorFileNameTooLong;
    default: return kErrorGeneralFailure;
  }
}

bool FailWithErrno(int errnum, OsActivity activity) {
  SetLastError(ErrorFromErrno(errnum, activity));
  return false;
}

bool FailWith(std::uint32_t code) {
  SetLastError(code);
  return false;
}

}  // namespace vx
