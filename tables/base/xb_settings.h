// Engine-wide settings, writable at run time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rtl/cp1251.h"

// A logical field or text is true when its character is one of these letters,
// false when it is one of xbFalseLetters.
extern AnsiString xbTrueLetters;   // "TtYyJj"
extern AnsiString xbFalseLetters;  // "FfNn"

// Callers that retry a refused lock (memo and index files) make
// LockWaitTime / LockRetryInterval attempts and sleep LockRetryInterval
// milliseconds after each failure. Tests shorten them.
extern std::uint16_t LockWaitTime;       // 5000 ms
extern std::uint16_t LockRetryInterval;  // 50 ms

// Number of lock attempts the two settings give (at least 1).
int xbLockAttempts();

// Memory each open index file may keep in decoded pages (bytes, taken when
// the file opens; 0 keeps none). 32 MiB: every page of a 1,000,000-key draw
// tag.
extern std::size_t IndexPageCacheSize;

// The byte that ends a table file and a dBase III memo entry.
extern std::uint8_t xbEOFMark;  // 0x1A
