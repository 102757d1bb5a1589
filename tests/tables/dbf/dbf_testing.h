// Helpers of the table-file tests: a scratch folder per test, whole-file
// reads and writes, the draw layout, a hook that records engine errors
// before raising them, and short lock waits.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tables/base/xb_errors.h"
#include "tables/base/xb_settings.h"
#include "tables/dbf/xb_builders.h"
#include "tables/dbf/xb_fields.h"
#include "tests/support/scratch_folder.h"

namespace vx::test {

// The table tests' scratch folder and whole-file helpers are the shared ones,
// under the names these tests use.
class DbfScratch : public ScratchFolder {
 public:
  DbfScratch() : ScratchFolder("tables-dbf-") {}
};

inline void WriteFileBytes(const std::string& path, const std::string& bytes) { WriteWholeFile(path, bytes); }
inline std::string ReadFileBytes(const std::string& path) { return ReadWholeFile(path); }

inline std::uint32_t LE32At(const std::string& b, std::size_t at) {
  return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
         std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
inline int LE16At(const std::string& b, std::size_t at) { return std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8; }

// YEAR N(9,0), DRAW N(9,0), P1..P6 N(15,0).
inline void BuildDrawTable(const std::string& path) {
  XBO_DBFBuild b(path);
  b.AddField("YEAR", 'N', 9, 0);
  b.AddField("DRAW", 'N', 9, 0);
  for (int i = 1; i <= 6; ++i) b.AddField("P" + std::to_string(i), 'N', 15, 0);
  b.Write();
}

// A dBase III table of one field, with no record.
inline void BuildOneFieldTable(const std::string& path, const std::string& name, char type, int length, int decimals) {
  XBO_DBFBuild b(path);
  b.AddField(name, type, length, decimals);
  b.Write();
}

// A table file assembled byte by byte, for layouts the builders do not
// write (0x30 tables, damaged headers). Fields are (name, type, length,
// decimals); records are given whole (deletion flag included).
struct RawField {
  std::string name;
  char type;
  int length;
  int decimals;
};

inline std::string MakeTableBytes(std::uint8_t version, const std::vector<RawField>& fields,
                                  const std::vector<std::string>& records = {}, std::uint8_t flags = 0) {
  const int extra = version == 0x30 ? 263 : 0;
  const int headerLength = 32 + 32 * int(fields.size()) + 1 + extra;
  int recordLength = 1;
  for (const RawField& f : fields) recordLength += f.type == 'C' ? f.length : f.length;
  std::string b(std::size_t(headerLength), '\0');
  b[0] = char(version);
  b[1] = 26;
  b[2] = 1;
  b[3] = 1;
  b[4] = char(records.size() & 0xFF);
  b[8] = char(headerLength & 0xFF);
  b[9] = char(headerLength >> 8);
  b[10] = char(recordLength & 0xFF);
  b[11] = char(recordLength >> 8);
  b[28] = char(flags);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    char* d = b.data() + 32 * (i + 1);
    fields[i].name.copy(d, std::min<std::size_t>(fields[i].name.size(), 10));
    d[11] = fields[i].type;
    d[16] = char(fields[i].length & 0xFF);
    d[17] = char(fields[i].type == 'C' ? fields[i].length >> 8 : fields[i].decimals);
  }
  b[32 + 32 * fields.size()] = 0x0D;
  for (const std::string& r : records) b += r;
  b += '\x1A';
  return b;
}

// Records every engine error (code, sub-code, text), then raises it as the
// default routine does.
class ErrorRecorder {
 public:
  struct Entry {
    std::int32_t code, subCode;
    std::string text;
  };
  explicit ErrorRecorder(bool raise = true) {
    xbErrorHook = [this, raise](std::int32_t code, std::int32_t sub, const AnsiString& text) {
      entries.push_back({code, sub, text});
      if (raise) xbDefaultErrorRoutine(code, sub, text);
    };
  }
  ~ErrorRecorder() { xbErrorHook = xbDefaultErrorRoutine; }
  std::int32_t LastCode() const { return entries.empty() ? 0 : entries.back().code; }
  std::int32_t LastSubCode() const { return entries.empty() ? 0 : entries.back().subCode; }
  std::vector<Entry> entries;
};

// Lock retries of a few milliseconds instead of five seconds.
class ShortLockWaits {
 public:
  ShortLockWaits() : wait_(LockWaitTime), interval_(LockRetryInterval) {
    LockWaitTime = 40;
    LockRetryInterval = 10;
  }
  ~ShortLockWaits() {
    LockWaitTime = wait_;
    LockRetryInterval = interval_;
  }

 private:
  std::uint16_t wait_, interval_;
};

}  // namespace vx::test
