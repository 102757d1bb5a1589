// Positioned reading and writing, size, truncation and the error numbers of
// opening.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/os/os_error.h"
#include "platform/os/os_file.h"
#include "tests/support/scratch_folder.h"

namespace vx {
namespace {

using test::ReadWholeFile;
using test::ScratchFolder;
using test::WriteWholeFile;

constexpr auto RW = OsAccess::ReadWrite;
constexpr auto RO = OsAccess::Read;
constexpr auto Shared = OsShare::DenyNone;

TEST(FileIo, ReadingAcrossTheEndIsAShortReadNotAnError) {
  ScratchFolder dir;
  WriteWholeFile(dir / "f", "0123456789");
  OsFile f;
  ASSERT_TRUE(f.Open(dir / "f", RO, Shared));
  std::array<char, 8> buffer{};
  std::size_t got = 99;
  SetLastError(0);
  ASSERT_TRUE(f.Read(6, buffer.data(), buffer.size(), got));
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(std::string(buffer.data(), got), "6789");
  ASSERT_TRUE(f.Read(10, buffer.data(), buffer.size(), got));
  EXPECT_EQ(got, 0u);
  ASSERT_TRUE(f.Read(5000000000ull, buffer.data(), buffer.size(), got));  // past 4 GiB
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(GetLastError(), 0u);
}

TEST(FileIo, WritingPastTheEndFillsTheGapWithZeros) {
  ScratchFolder dir;
  OsFile f;
  ASSERT_TRUE(f.Create(dir / "f", RW, Shared));
  ASSERT_TRUE(f.Write(0, "ab", 2));
  ASSERT_TRUE(f.Write(6, "z", 1));
  std::uint64_t size = 0;
  ASSERT_TRUE(f.Size(size));
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(ReadWholeFile(dir / "f"), std::string("ab\0\0\0\0z", 7));
  // Overwriting in the middle keeps the rest.
  ASSERT_TRUE(f.Write(1, "XY", 2));
  EXPECT_EQ(ReadWholeFile(dir / "f"), std::string("aXY\0\0\0z", 7));
}

TEST(FileIo, TruncateShortensAndLengthens) {
  ScratchFolder dir;
  WriteWholeFile(dir / "f", "0123456789");
  OsFile f;
  ASSERT_TRUE(f.Open(dir / "f", RW, Shared));
  ASSERT_TRUE(f.Truncate(4));
  EXPECT_EQ(ReadWholeFile(dir / "f"), "0123");
  ASSERT_TRUE(f.Truncate(6));
  EXPECT_EQ(ReadWholeFile(dir / "f"), std::string("0123\0\0", 6));
  ASSERT_TRUE(f.Flush());
}

TEST(FileIo, AReadOnlyHandleRefusesChangesWithAccessDenied) {
  ScratchFolder dir;
  WriteWholeFile(dir / "f", "keep");
  OsFile f;
  ASSERT_TRUE(f.Open(dir / "f", RO, Shared));
  SetLastError(0);
  EXPECT_FALSE(f.Write(0, "x", 1));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  SetLastError(0);
  EXPECT_FALSE(f.Truncate(0));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_EQ(ReadWholeFile(dir / "f"), "keep");
}

TEST(FileIo, OpenReportsTheOriginalErrorNumbers) {
  ScratchFolder dir;
  WriteWholeFile(dir / "plain", "x");
  struct Case {
    std::string path;
    bool create;
    std::uint32_t error;
  };
  const Case cases[] = {
      {dir / "missing.dbf", false, kErrorFileNotFound},
      {dir / "nofolder/missing.dbf", false, kErrorPathNotFound},
      {dir / "nofolder/new.dbf", true, kErrorPathNotFound},
      {dir / "plain/under.dbf", false, kErrorPathNotFound},  // a file used as a folder
      {dir / "plain/under.dbf", true, kErrorPathNotFound},
      {dir.Path(), false, kErrorAccessDenied},  // a folder
      {dir.Path(), true, kErrorAccessDenied},
  };
  for (const Case& c : cases) {
    OsFile f;
    SetLastError(0);
    const bool ok = c.create ? f.Create(c.path, RW, Shared) : f.Open(c.path, RO, Shared);
    EXPECT_FALSE(ok) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
    EXPECT_FALSE(f.IsOpen());
  }
}

TEST(FileIo, AClosedHandleReportsInvalidHandle) {
  OsFile f;
  char byte = 0;
  std::size_t got = 0;
  std::uint64_t size = 0;
  EXPECT_FALSE(f.Read(0, &byte, 1, got));
  EXPECT_FALSE(f.Write(0, &byte, 1));
  EXPECT_FALSE(f.Size(size));
  EXPECT_FALSE(f.Flush());
  EXPECT_FALSE(f.LockRegion(0, 1));
  EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
  f.Close();  // harmless
}

TEST(FileIo, MovedHandleKeepsTheFileAndItsLocks) {
  ScratchFolder dir;
  WriteWholeFile(dir / "f", "abc");
  OsFile a, other;
  ASSERT_TRUE(a.Open(dir / "f", RW, Shared));
  ASSERT_TRUE(other.Open(dir / "f", RW, Shared));
  ASSERT_TRUE(a.LockRegion(0, 1));
  OsFile b(std::move(a));
  EXPECT_FALSE(a.IsOpen());
  ASSERT_TRUE(b.IsOpen());
  EXPECT_FALSE(other.LockRegion(0, 1));
  EXPECT_TRUE(b.UnlockRegion(0, 1));
  EXPECT_TRUE(other.LockRegion(0, 1));
}

TEST(FileIo, AFaultHookReachesTheErrorPaths) {
  ScratchFolder dir;
  WriteWholeFile(dir / "f", "0123456789");
  OsFile f;
  ASSERT_TRUE(f.Open(dir / "f", RW, Shared));
  int writes = 0;
  SetOsFaultHook([&](OsOperation op, const std::string& native, std::uint64_t, std::size_t& count) -> std::uint32_t {
    EXPECT_EQ(native, dir / "f");
    if (op == OsOperation::Read) count = 2;  // every read comes back short
    if (op == OsOperation::Write && ++writes == 2) return kErrorDiskWrite;
    if (op == OsOperation::Write && writes == 3) count = 1;  // a partial write
    return 0;
  });
  char buffer[8];
  std::size_t got = 0;
  ASSERT_TRUE(f.Read(0, buffer, sizeof buffer, got));
  EXPECT_EQ(got, 2u);
  EXPECT_TRUE(f.Write(0, "AB", 2));
  EXPECT_FALSE(f.Write(2, "CD", 2));
  EXPECT_EQ(GetLastError(), kErrorDiskWrite);
  EXPECT_FALSE(f.Write(4, "EF", 2));
  EXPECT_EQ(GetLastError(), kErrorDiskFull);
  SetOsFaultHook({});
  EXPECT_EQ(ReadWholeFile(dir / "f"), "AB23E56789");
  ASSERT_TRUE(f.Read(0, buffer, sizeof buffer, got));
  EXPECT_EQ(got, sizeof buffer);
}

}  // namespace
}  // namespace vx
