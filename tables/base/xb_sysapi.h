// The engine's window on the operating system: every case mapping, code-page
// conversion, region lock, flush, truncation and wait of the engine passes
// through these calls. Each is a direct pass-through to platform/os; counts
// below zero move nothing. Failing calls return false and leave the reason in
// the thread's last error (SysXb_GetLastError).
#pragma once

#include <cstdint>

#include "platform/os/os_file.h"
#include "platform/rtl/cp1251.h"

// Whole-string case mapping by the code-page 1251 rules (Cyrillic included).
AnsiString SysXb_LowerCase(const AnsiString& s);
AnsiString SysXb_UpperCase(const AnsiString& s);
// In-place case mapping of n bytes.
void SysXb_CharLowerBuff(char* p, int n);
void SysXb_CharUpperBuff(char* p, int n);
// Upper case of one character.
char SysXb_CharUpper(char c);

// n bytes between the ANSI (1251) and OEM (866) code pages; src and dst may
// be the same buffer.
void SysXb_CharToOemBuff(const char* src, char* dst, int n);
void SysXb_OemToCharBuff(const char* src, char* dst, int n);

void SysXb_Sleep(std::uint32_t milliseconds);

// Exclusive, non-blocking byte-range lock of a handle; refused with 33.
bool SysXb_LockFile(vx::OsFile& file, std::uint64_t length, std::uint64_t offset);
// Releases a region exactly as it was locked.
bool SysXb_UnlockFile(vx::OsFile& file, std::uint64_t length, std::uint64_t offset);

std::uint32_t SysXb_GetLastError();
void SysXb_SetLastError(std::uint32_t code);

bool SysXb_FlushFileBuffers(vx::OsFile& file);
// Sets the end of the file at size.
bool SysXb_SetEndOfFile(vx::OsFile& file, std::uint64_t size);

// The folder that stands in for the Windows directory (where "xbase.cfg" is
// looked for), at most 260 characters, without a final separator.
AnsiString SysXb_GetWindowsDirectory();
