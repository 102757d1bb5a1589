// Engine errors: the table of codes and texts, the replaceable error hook and
// the engine's exception classes.
//
// Every file-level failure of the engine ends in xbEngineError(code, subCode,
// name). Codes below 1000 are operating-system error numbers (2 file not
// found, 5 access denied, 32 sharing violation, 33 lock refused, ...); codes
// from 1001 are the engine's own. The sub-code names the step that failed
// (xbCtxRead, xbCtxOpen, ...) or is xbNoSubCode.
//
// xbEngineError hands the three values to xbErrorHook. The default hook,
// xbDefaultErrorRoutine, always raises EXBaseError; a replacement may record
// and return instead, and callers must then cope with the failed operation's
// result. The exception carries only its message; the code stays readable on
// the failing object (XBO_DiskFile::LastError).
#pragma once

#include <cstdint>
#include <functional>

#include "platform/rtl/sysutils.h"

// One line of the engine's error table.
struct ErrListRec {
  std::int32_t code;
  const char* text;
};

// The error table in search order (29 lines).
const ErrListRec* xbErrorList();
int xbErrorListCount();

// File, record, field, lock, sort and index errors.
class EXBaseError : public Exception {
 public:
  using Exception::Exception;
};

// Table key errors of enciphered tables.
class EXBaseEncryption : public Exception {
 public:
  using Exception::Exception;
};

// Expression errors.
class EXBaseExpression : public Exception {
 public:
  using Exception::Exception;
};

// Sub-code meaning "no context".
inline constexpr std::int32_t xbNoSubCode = -7;

// Context codes of the disk file layer.
inline constexpr std::int32_t xbCtxRead = 1101;
inline constexpr std::int32_t xbCtxWrite = 1102;
inline constexpr std::int32_t xbCtxFileSize = 1105;
inline constexpr std::int32_t xbCtxRename = 1106;
inline constexpr std::int32_t xbCtxOpen = 1107;
inline constexpr std::int32_t xbCtxCreate = 1108;
inline constexpr std::int32_t xbCtxTruncate = 1109;
inline constexpr std::int32_t xbCtxFlush = 1111;

// Error codes the engine sets itself.
inline constexpr std::int32_t xbErrAccessDenied = 5;
inline constexpr std::int32_t xbErrLockRefused = 33;
inline constexpr std::int32_t xbErrFileNotAssigned = 102;
inline constexpr std::int32_t xbErrShortRead = 221;

using TxbErrorHook = std::function<void(std::int32_t code, std::int32_t subCode, const AnsiString& name)>;

// The hook every engine failure passes through; set to xbDefaultErrorRoutine
// at start-up. Assigning an empty function restores the default.
extern TxbErrorHook xbErrorHook;

// Calls the error hook with the three values.
void xbEngineError(std::int32_t code, std::int32_t subCode, const AnsiString& name);

// The text the default routine raises for (code, subCode, name):
//  - a code in the table: its text + " - " + name;
//  - any other code: "XBase Error <code>", then ", SubCode <subCode>" unless
//    the sub-code is xbNoSubCode, then "." and CR, then " <name>><subCode>"
//    when a name is given;
//  - a negative sub-code other than xbNoSubCode with a code of at most 255
//    (a run-time error): "Runtime error <code>", then " - " + name when a
//    name is given.
AnsiString xbErrorMessage(std::int32_t code, std::int32_t subCode, const AnsiString& name);

// Raises EXBaseError with xbErrorMessage(code, subCode, name). Never returns.
[[noreturn]] void xbDefaultErrorRoutine(std::int32_t code, std::int32_t subCode, const AnsiString& name);
