// Share modes (flock) and region locks (open-file-description locks) of
// OsFile, between handles of one process and across a fork.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

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
constexpr auto Excl = OsShare::Exclusive;

TEST(ShareModes, SecondOpenFollowsTheModesOfBoth) {
  ScratchFolder dir;
  const std::string path = dir / "t.dbf";
  WriteWholeFile(path, "data");
  struct Case {
    OsShare first, second;
    bool allowed;
  };
  for (const Case c :
       {Case{Shared, Shared, true}, Case{Shared, Excl, false}, Case{Excl, Shared, false}, Case{Excl, Excl, false}}) {
    OsFile a, b;
    ASSERT_TRUE(a.Open(path, RW, c.first));
    SetLastError(0);
    EXPECT_EQ(b.Open(path, RO, c.second), c.allowed);
    EXPECT_EQ(GetLastError(), c.allowed ? 0u : kErrorSharingViolation);
    EXPECT_EQ(b.IsOpen(), c.allowed);
  }
}

TEST(ShareModes, ClosingReleasesTheFileForAnExclusiveOpen) {
  ScratchFolder dir;
  const std::string path = dir / "t.dbf";
  WriteWholeFile(path, "data");
  OsFile a, b;
  ASSERT_TRUE(a.Open(path, RO, Shared));
  EXPECT_FALSE(b.Open(path, RW, Excl));
  a.Close();
  EXPECT_TRUE(b.Open(path, RW, Excl));
}

TEST(ShareModes, CreateOverAFileHeldExclusivelyLeavesItUntouched) {
  ScratchFolder dir;
  const std::string path = dir / "t.dbf";
  WriteWholeFile(path, "precious");
  OsFile holder, creator;
  ASSERT_TRUE(holder.Open(path, RW, Excl));
  EXPECT_FALSE(creator.Create(path, RW, Shared));
  EXPECT_EQ(GetLastError(), kErrorSharingViolation);
  EXPECT_EQ(ReadWholeFile(path), "precious");
  holder.Close();
  ASSERT_TRUE(creator.Create(path, RW, Excl));
  EXPECT_EQ(ReadWholeFile(path), "");
}

class RegionLocks : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_ / "locks.dbf";
    WriteWholeFile(path_, std::string(100, 'x'));
    ASSERT_TRUE(a_.Open(path_, RW, Shared));
    ASSERT_TRUE(b_.Open(path_, RW, Shared));
  }
  ScratchFolder dir_;
  std::string path_;
  OsFile a_, b_;
};

TEST_F(RegionLocks, TwoHandlesOfOneProcessConflict) {
  ASSERT_TRUE(a_.LockRegion(10, 5));
  SetLastError(0);
  EXPECT_FALSE(b_.LockRegion(12, 1));
  EXPECT_EQ(GetLastError(), kErrorLockViolation);
  EXPECT_FALSE(b_.LockRegion(0, 11));  // overlaps the first byte
  EXPECT_TRUE(b_.LockRegion(15, 5));   // adjacent, no overlap
  EXPECT_TRUE(b_.LockRegion(0, 10));
}

TEST_F(RegionLocks, AHandleCannotLockAnOverlappingRegionTwice) {
  ASSERT_TRUE(a_.LockRegion(10, 5));
  EXPECT_FALSE(a_.LockRegion(10, 5));
  EXPECT_EQ(GetLastError(), kErrorLockViolation);
  EXPECT_FALSE(a_.LockRegion(14, 10));
  EXPECT_EQ(a_.LockedRegions().size(), 1u);
}

TEST_F(RegionLocks, RegionsPastTheEndOfFileLockToo) {
  // The xBase lock protocols lock far beyond the data.
  ASSERT_TRUE(a_.LockRegion(1000000000, 1));
  ASSERT_TRUE(a_.LockRegion(0xEFFFFFFFull, 1));
  EXPECT_FALSE(b_.LockRegion(1000000000, 1));
  EXPECT_FALSE(b_.LockRegion(0xEFFFFFFFull, 2));
  std::uint64_t size = 0;
  ASSERT_TRUE(a_.Size(size));
  EXPECT_EQ(size, 100u);
}

TEST_F(RegionLocks, UnlockMustNameTheRegionExactly) {
  ASSERT_TRUE(a_.LockRegion(10, 10));
  for (auto [offset, length] : {std::pair<std::uint64_t, std::uint64_t>{10, 5}, {15, 5}, {10, 11}, {0, 0}}) {
    SetLastError(0);
    EXPECT_FALSE(a_.UnlockRegion(offset, length));
    EXPECT_EQ(GetLastError(), kErrorNotLocked);
  }
  // Nothing was released by the refused unlocks.
  EXPECT_FALSE(b_.LockRegion(10, 1));
  EXPECT_FALSE(b_.LockRegion(19, 1));
  ASSERT_TRUE(a_.UnlockRegion(10, 10));
  EXPECT_TRUE(b_.LockRegion(10, 10));
  EXPECT_TRUE(a_.LockedRegions().empty());
}

TEST_F(RegionLocks, UnlockingOneRegionKeepsTheOthers) {
  ASSERT_TRUE(a_.LockRegion(0, 10));
  ASSERT_TRUE(a_.LockRegion(10, 10));  // adjacent regions stay separate
  ASSERT_TRUE(a_.UnlockRegion(0, 10));
  EXPECT_TRUE(b_.LockRegion(0, 10));
  EXPECT_FALSE(b_.LockRegion(10, 1));
}

TEST_F(RegionLocks, ClosingAHandleReleasesItsLocks) {
  ASSERT_TRUE(a_.LockRegion(0, 0x7FFFFFFF));
  EXPECT_FALSE(b_.LockRegion(50, 1));
  a_.Close();
  EXPECT_TRUE(b_.LockRegion(50, 1));
}

TEST_F(RegionLocks, ZeroLengthRegionLocksNothing) {
  ASSERT_TRUE(a_.LockRegion(5, 0));
  EXPECT_TRUE(b_.LockRegion(0, 100));
  EXPECT_TRUE(a_.UnlockRegion(5, 0));
}

TEST_F(RegionLocks, OffsetsBeyondTheFileOffsetRangeAreRefused) {
  EXPECT_FALSE(a_.LockRegion(0xFFFFFFFFFFFFFFF0ull, 1));
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
  EXPECT_FALSE(a_.LockRegion(0x7FFFFFFFFFFFFFF0ull, 0x20));
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
}

// Runs body in a forked child; returns its exit status (or -1).
template <class Body>
int InChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST_F(RegionLocks, AnotherProcessSeesTheLocksAndTheShareMode) {
  ASSERT_TRUE(a_.LockRegion(20, 4));
  const std::string path = path_;
  // Exit codes: 0 all as expected, else the step that differed.
  const int result = InChild([&path] {
    OsFile c;
    if (!c.Open(path, RW, Shared)) return 1;
    if (c.LockRegion(22, 1) || GetLastError() != kErrorLockViolation) return 2;
    if (!c.LockRegion(24, 1)) return 3;
    OsFile d;
    if (d.Open(path, RW, Excl) || GetLastError() != kErrorSharingViolation) return 4;
    return 0;
  });
  EXPECT_EQ(result, 0);
  ASSERT_TRUE(a_.UnlockRegion(20, 4));
  EXPECT_EQ(InChild([&path] {
              OsFile c;
              return c.Open(path, RW, Shared) && c.LockRegion(20, 4) ? 0 : 1;
            }),
            0);
}

// Another program that uses classic POSIX record locks (lockf) or flock, as
// other xBase tools on Linux do, sees our region locks and share modes.
TEST_F(RegionLocks, OtherProgramsSeeThemThroughClassicLocks) {
  ASSERT_FALSE(::access("/usr/bin/python3", X_OK) != 0) << "no /usr/bin/python3 (scripts/setup.sh installs it)";
  ASSERT_TRUE(a_.LockRegion(30, 2));
  // The script exits with 0 when it was refused as expected.
  const auto run = [this](const std::string& body) {
    const std::string command = "/usr/bin/python3 -c \"import fcntl, os, sys\nf = os.open('" + path_ +
                                "', os.O_RDWR)\ntry:\n    " + body +
                                "\nexcept OSError:\n    sys.exit(0)\nsys.exit(1)\"";
    return std::system(command.c_str());
  };
  EXPECT_EQ(run("fcntl.lockf(f, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 31, 0)"), 0);
  EXPECT_EQ(run("fcntl.flock(f, fcntl.LOCK_EX | fcntl.LOCK_NB)"), 0);
  EXPECT_NE(run("fcntl.lockf(f, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 32, 0)"), 0);  // next to ours
}

TEST(RegionLocksReadOnly, AReadOnlyHandleLocksAgainstWriters) {
  ScratchFolder dir;
  const std::string path = dir / "r.dbf";
  WriteWholeFile(path, "abc");
  OsFile reader, writer;
  ASSERT_TRUE(reader.Open(path, RO, Shared));
  ASSERT_TRUE(writer.Open(path, RW, Shared));
  ASSERT_TRUE(reader.LockRegion(0, 1));
  EXPECT_FALSE(writer.LockRegion(0, 1));
  EXPECT_EQ(GetLastError(), kErrorLockViolation);
}

}  // namespace
}  // namespace vx
