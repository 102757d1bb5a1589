#include "tables/base/xb_sysapi.h"

#include "platform/os/oem_charset.h"
#include "platform/os/os_clock.h"
#include "platform/os/os_error.h"
#include "platform/os/program_folder.h"

AnsiString SysXb_LowerCase(const AnsiString& s) {
  AnsiString out = s;
  if (!out.empty()) CharLowerBuff(out.data(), static_cast<std::uint32_t>(out.size()));
  return out;
}

AnsiString SysXb_UpperCase(const AnsiString& s) {
  AnsiString out = s;
  if (!out.empty()) CharUpperBuff(out.data(), static_cast<std::uint32_t>(out.size()));
  return out;
}

void SysXb_CharLowerBuff(char* p, int n) {
  if (p && n > 0) CharLowerBuff(p, static_cast<std::uint32_t>(n));
}

void SysXb_CharUpperBuff(char* p, int n) {
  if (p && n > 0) CharUpperBuff(p, static_cast<std::uint32_t>(n));
}

char SysXb_CharUpper(char c) {
  CharUpperBuff(&c, 1);
  return c;
}

void SysXb_CharToOemBuff(const char* src, char* dst, int n) {
  if (src && dst && n > 0) CharToOemBuff(src, dst, static_cast<std::uint32_t>(n));
}

void SysXb_OemToCharBuff(const char* src, char* dst, int n) {
  if (src && dst && n > 0) OemToCharBuff(src, dst, static_cast<std::uint32_t>(n));
}

void SysXb_Sleep(std::uint32_t milliseconds) { Sleep(milliseconds); }

bool SysXb_LockFile(vx::OsFile& file, std::uint64_t length, std::uint64_t offset) {
  return file.LockRegion(offset, length);
}

bool SysXb_UnlockFile(vx::OsFile& file, std::uint64_t length, std::uint64_t offset) {
  return file.UnlockRegion(offset, length);
}

std::uint32_t SysXb_GetLastError() { return GetLastError(); }

void SysXb_SetLastError(std::uint32_t code) { SetLastError(code); }

bool SysXb_FlushFileBuffers(vx::OsFile& file) { return file.Flush(); }

bool SysXb_SetEndOfFile(vx::OsFile& file, std::uint64_t size) { return file.Truncate(size); }

AnsiString SysXb_GetWindowsDirectory() {
  AnsiString folder = vx::WindowsDirectory();
  if (folder.size() > 260) folder.resize(260);
  return folder;
}
