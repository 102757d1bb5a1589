#include "tables/base/xb_settings.h"

AnsiString xbTrueLetters = "TtYyJj";
AnsiString xbFalseLetters = "FfNn";
std::uint16_t LockWaitTime = 5000;
std::uint16_t LockRetryInterval = 50;
std::uint8_t xbEOFMark = 0x1A;
std::size_t IndexPageCacheSize = std::size_t(32) << 20;

int xbLockAttempts() {
  if (LockRetryInterval == 0) return 1;  // no interval: no waiting, one try
  const int attempts = LockWaitTime / LockRetryInterval;
  return attempts > 0 ? attempts : 1;
}
