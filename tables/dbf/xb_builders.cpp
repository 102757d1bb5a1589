#include "tables/dbf/xb_builders.h"

#include <chrono>
#include <cstring>
#include <ctime>

#include "platform/rtl/sysutils.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xbo_diskfile.h"
#include "tables/dbf/xbo_dbasedbf.h"
#include "tables/dbf/xbo_memo.h"

namespace {

constexpr int kMaxShortField = 255;
constexpr int kMaxWord = 65535;

void WriteWholeFile(const AnsiString& name, const std::vector<std::uint8_t>& bytes) {
  XBO_DiskFile file(name, false, true);
  file.FileCreate();
  if (!bytes.empty()) file.Write(0, bytes.data(), int(bytes.size()));
  file.FileClose();
}

}  // namespace

XBO_DBFBuild::XBO_DBFBuild(const AnsiString& fileName) : XBO_DBFBuild(fileName, 0x83) {}

XBO_DBFBuild::XBO_DBFBuild(const AnsiString& fileName, std::uint8_t memoVersion)
    : FFileName(XBO_dBaseDBF::TableFileName(fileName)), FMemoVersion(memoVersion) {
  FMemoBaseName = XBobjMemo::HeaderTableName(FFileName);
}

XBO_DBFBuild::~XBO_DBFBuild() {
  if (!FWritePending) return;
  try {
    Write();
  } catch (...) {
    // Nothing can be reported from here; Write() is where errors show.
  }
}

void XBO_DBFBuild::AddField(const AnsiString& name, char type, int length, int decimals) {
  if (name.empty()) return;
  const char t = char(AnsiUpperChar(type));
  int storedLength = length;
  int storedDecimals = decimals;
  int recordGrowth = length;
  bool memo = false;
  switch (t) {
    case 'B':
    case 'G':
    case 'M':
      storedLength = 10;
      storedDecimals = 0;
      recordGrowth = 10;
      memo = true;
      break;
    case 'C':
      if (length < 0 || length > kMaxWord)
        throw EXBaseError("Field length out of range - " + name + " (" + IntToStr(length) + ")");
      storedLength = length % 256;
      storedDecimals = length / 256;
      break;
    case 'D':
      storedLength = recordGrowth = 8;
      storedDecimals = 0;
      break;
    case 'L':
      storedLength = recordGrowth = 1;
      storedDecimals = 0;
      break;
    default:
      if (length < 0 || length > kMaxShortField || decimals < 0 || decimals > kMaxShortField)
        throw EXBaseError("Field length out of range - " + name + " (" + IntToStr(length) + "," + IntToStr(decimals) +
                          ")");
      break;
  }
  if (FRecordLength + recordGrowth > kMaxWord) throw EXBaseError("Record length out of range - " + FFileName);
  if (32 * (int(FFields.size()) + 1) + 33 > kMaxWord) throw EXBaseError("Header length out of range - " + FFileName);

  std::array<std::uint8_t, 32> d{};
  const AnsiString stored = AnsiUpperCase(name.substr(0, 10));
  std::memcpy(d.data(), stored.data(), stored.size());
  d[11] = std::uint8_t(t);
  d[16] = std::uint8_t(storedLength);
  d[17] = std::uint8_t(storedDecimals);
  FFields.push_back(d);
  FRecordLength += recordGrowth;
  if (memo) FHasMemo = true;
}

void XBO_DBFBuild::Write() {
  if (!FWritePending) return;
  FWritePending = false;
  const std::size_t n = FFields.size();
  std::vector<std::uint8_t> bytes(32 * (n + 1) + 2, 0);
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  bytes[0] = VersionByte();
  bytes[1] = std::uint8_t((tm.tm_year + 1900) % 100);
  bytes[2] = std::uint8_t(tm.tm_mon + 1);
  bytes[3] = std::uint8_t(tm.tm_mday);
  const int headerLength = HeaderLength();
  bytes[8] = std::uint8_t(headerLength);
  bytes[9] = std::uint8_t(headerLength >> 8);
  bytes[10] = std::uint8_t(FRecordLength);
  bytes[11] = std::uint8_t(FRecordLength >> 8);
  for (std::size_t i = 0; i < n; ++i) std::memcpy(bytes.data() + 32 * (i + 1), FFields[i].data(), 32);
  bytes[32 * (n + 1)] = 0x0D;
  bytes[32 * (n + 1) + 1] = 0x1A;
  WriteWholeFile(FFileName, bytes);
  if (FHasMemo) WriteWholeFile(XBobjMemo::MemoFileName(FFileName, FMemoVersion), EmptyMemo());
}

std::vector<std::uint8_t> XBO_DBFBuild::EmptyMemo() const {
  std::vector<std::uint8_t> bytes(513, 0);
  bytes[0] = 1;
  std::memcpy(bytes.data() + 8, FMemoBaseName.data(), FMemoBaseName.size());
  bytes[512] = 0x1A;
  return bytes;
}

XBO_DB4Build::XBO_DB4Build(const AnsiString& fileName) : XBO_DBFBuild(fileName, 0x8B) {}

std::vector<std::uint8_t> XBO_DB4Build::EmptyMemo() const {
  std::vector<std::uint8_t> bytes(24, 0);
  bytes[0] = 1;
  std::memcpy(bytes.data() + 8, FMemoBaseName.data(), FMemoBaseName.size());
  bytes[18] = 2;
  bytes[19] = 1;
  bytes[20] = 512 & 0xFF;
  bytes[21] = 512 >> 8;
  return bytes;
}

XBO_DBFoxBuild::XBO_DBFoxBuild(const AnsiString& fileName) : XBO_DBFBuild(fileName, 0xF5) {}

std::vector<std::uint8_t> XBO_DBFoxBuild::EmptyMemo() const {
  std::vector<std::uint8_t> bytes(512, 0);
  bytes[3] = 8;
  bytes[7] = 64;
  return bytes;
}
