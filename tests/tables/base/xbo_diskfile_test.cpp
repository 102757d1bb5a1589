// XBO_DiskFile: names, open and create, reads and writes, errors through the
// hook, the nested region lock, truncation rights, renaming and the list of
// open files, within one process and against a forked one.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/os/os_file.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xbo_diskfile.h"
#include "tests/support/scratch_folder.h"

namespace {

using vx::test::ReadWholeFile;
using vx::test::ScratchFolder;
using vx::test::WriteWholeFile;

AnsiString Upper(const std::string& s) {
  AnsiString u = s;
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

// Runs body in a forked child and returns its exit status (0 = passed).
template <class Body>
int InChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

// Whether another handle can take the region right now.
bool RegionFree(const std::string& path, std::uint64_t offset, std::uint64_t length) {
  vx::OsFile probe;
  if (!probe.Open(path, vx::OsAccess::ReadWrite, vx::OsShare::DenyNone)) return false;
  const bool free = probe.LockRegion(offset, length);
  if (free) probe.UnlockRegion(offset, length);
  return free;
}

// Messages used to show FileName, the upper-cased path, which names no file
// on a case-sensitive file system.
TEST(DiskFileNames, UpperCaseForComparisonsTheDiskSpellingForMessages) {
  ScratchFolder dir;
  WriteWholeFile(dir / "Mixed.dbf", "abc");
  XBO_DiskFile file(dir / "Mixed.dbf", true, false);
  EXPECT_TRUE(file.FileExisted());
  EXPECT_EQ(file.FileName(), Upper(dir / "Mixed.dbf"));
  EXPECT_EQ(file.PathName(), dir / "Mixed.dbf");
  ASSERT_TRUE(file.FileOpen());
  char buf[3];
  EXPECT_EQ(file.Read(0, buf, 3), 3);

  // Another spelling of an existing file still finds it.
  XBO_DiskFile other(dir.Path() + "/MIXED.DBF", true, false);
  EXPECT_TRUE(other.FileExisted());
  EXPECT_TRUE(other.FileOpen());
  EXPECT_EQ(other.FileName(), file.FileName());
  EXPECT_EQ(other.ShownName(), dir / "Mixed.dbf");
  try {
    other.FileTruncate(1);  // shared, without the whole-file lock
    ADD_FAILURE() << "no exception";
  } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "File access denied - " + dir / "Mixed.dbf"); }
  // A missing file keeps the caller's spelling after the folders that exist.
  XBO_DiskFile missing(dir / "Gone.DBF", true, false);
  try {
    missing.FileOpen();
    ADD_FAILURE() << "no exception";
  } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "File not found - " + dir / "Gone.DBF"); }

  // A new file keeps the caller's spelling on disk.
  XBO_DiskFile fresh(dir / "New.Dbf", true, true);
  EXPECT_FALSE(fresh.FileExisted());
  ASSERT_TRUE(fresh.FileCreate());
  EXPECT_TRUE(fresh.FileExisted());
  EXPECT_TRUE(std::filesystem::exists(dir / "New.Dbf"));
  EXPECT_FALSE(std::filesystem::exists(dir / "NEW.DBF"));
}

TEST(DiskFileNames, ExpansionKeepsBackslashAndDriveNames) {
  EXPECT_EQ(XBO_DiskFile::ExpandName("tickets\\a.tic"), "tickets\\a.tic");
  EXPECT_EQ(XBO_DiskFile::ExpandName("C:x.dbf").substr(0, 1), "/");  // ':' at position 2: expanded
  EXPECT_EQ(XBO_DiskFile::ExpandName("abc:x.dbf").find("abc:x.dbf") != AnsiString::npos, true);
  EXPECT_EQ(XBO_DiskFile::ExpandName("/a/b/../c/./d.dbf"), "/a/c/d.dbf");
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(XBO_DiskFile::ExpandName("t.dbf"), std::string(cwd) + "/t.dbf");
}

TEST(DiskFileIo, CreateWriteReadSizeAndShortRead) {
  ScratchFolder dir;
  XBO_DiskFile file(dir / "t.dat", false, true);
  EXPECT_TRUE(file.Closed());
  ASSERT_TRUE(file.FileCreate());
  EXPECT_FALSE(file.Closed());
  EXPECT_EQ(file.Write(10, "hello", 5), 5);
  EXPECT_TRUE(file.Modified());
  EXPECT_EQ(file.Position(), 15);
  EXPECT_EQ(file.FileSize(), 15);

  char buf[16] = {};
  EXPECT_EQ(file.Read(0, buf, 15), 15);
  EXPECT_EQ(file.LastError(), 0);
  EXPECT_EQ(std::string(buf, 10), std::string(10, '\0'));  // the gap reads as zeros
  EXPECT_EQ(std::string(buf + 10, 5), "hello");

  // Past the end: a short count and error 221, nothing raised.
  EXPECT_EQ(file.Read(12, buf, 10), 3);
  EXPECT_EQ(file.LastError(), xbErrShortRead);
  EXPECT_EQ(file.LastTransfer(), 3);
  EXPECT_EQ(file.Read(100, buf, 4), 0);
  EXPECT_EQ(file.LastError(), xbErrShortRead);

  EXPECT_TRUE(file.FlushFile());
  EXPECT_FALSE(file.Modified());
  EXPECT_TRUE(file.FileClose());
  EXPECT_TRUE(file.FileClose());  // closing twice is harmless
  EXPECT_EQ(ReadWholeFile(dir / "t.dat").substr(10), "hello");
}

TEST(DiskFileErrors, OsFailuresRaiseWithTheTableTextAndName) {
  ScratchFolder dir;
  XBO_DiskFile missing(dir / "none.dbf", true, true);
  try {
    missing.FileOpen();
    FAIL() << "no exception";
  } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "File not found - " + dir / "none.dbf"); }
  EXPECT_EQ(missing.LastError(), 2);
  EXPECT_TRUE(missing.Closed());

  WriteWholeFile(dir / "ro.dbf", "data");
  XBO_DiskFile readOnly(dir / "ro.dbf", true, false);
  ASSERT_TRUE(readOnly.FileOpen());
  EXPECT_THROW(readOnly.Write(0, "x", 1), EXBaseError);
  EXPECT_EQ(readOnly.LastError(), 5);
  EXPECT_EQ(ReadWholeFile(dir / "ro.dbf"), "data");

  // A closed file refuses reads with "File not open".
  XBO_DiskFile closed(dir / "ro.dbf", true, false);
  try {
    char c;
    closed.Read(0, &c, 1);
    FAIL() << "no exception";
  } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "File not open - " + dir / "ro.dbf"); }
}

TEST(DiskFileErrors, ReplacedHookSeesContextCodesAndCallsReturn) {
  ScratchFolder dir;
  std::vector<std::pair<std::int32_t, std::int32_t>> seen;
  xbErrorHook = [&](std::int32_t code, std::int32_t context, const AnsiString&) { seen.emplace_back(code, context); };
  XBO_DiskFile missing(dir / "none.dbf", true, true);
  EXPECT_FALSE(missing.FileOpen());
  XBO_DiskFile noFolder(dir / "no/such/t.dbf", true, true);
  EXPECT_FALSE(noFolder.FileCreate());
  xbErrorHook = xbDefaultErrorRoutine;
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(2, xbCtxOpen));
  EXPECT_EQ(seen[1], std::make_pair(3, xbCtxCreate));
}

TEST(DiskFileErrors, FailedTransfersReportTheirStep) {
  ScratchFolder dir;
  XBO_DiskFile file(dir / "t.dat", false, true);
  ASSERT_TRUE(file.FileCreate());
  ASSERT_EQ(file.Write(0, "0123456789", 10), 10);

  std::vector<std::pair<std::int32_t, std::int32_t>> seen;
  xbErrorHook = [&](std::int32_t code, std::int32_t context, const AnsiString&) { seen.emplace_back(code, context); };
  vx::SetOsFaultHook([](vx::OsOperation op, const std::string&, std::uint64_t, std::size_t& count) -> std::uint32_t {
    switch (op) {
      case vx::OsOperation::Read: return 100;
      case vx::OsOperation::Write: count = 2; return 0;  // the disk fills up
      case vx::OsOperation::Flush: return 101;
      case vx::OsOperation::Size: return 6;
      default: return 0;
    }
  });
  char buf[4];
  EXPECT_EQ(file.Read(0, buf, 4), 0);
  EXPECT_EQ(file.Write(0, "abcd", 4), 0);
  EXPECT_FALSE(file.FlushFile());
  EXPECT_EQ(file.FileSize(), -1);
  vx::SetOsFaultHook(nullptr);
  xbErrorHook = xbDefaultErrorRoutine;

  using P = std::pair<std::int32_t, std::int32_t>;
  EXPECT_EQ(seen, (std::vector<P>{{100, xbCtxRead}, {112, xbCtxWrite}, {101, xbCtxFlush}, {6, xbCtxFileSize}}));
  EXPECT_EQ(file.LastError(), 6);
  EXPECT_EQ(file.FileSize(), 10);
}

TEST(DiskFileSharing, ExclusiveOpenKeepsOthersOut) {
  ScratchFolder dir;
  WriteWholeFile(dir / "t.dbf", "data");
  XBO_DiskFile exclusive(dir / "t.dbf", false, true);
  ASSERT_TRUE(exclusive.FileOpen());
  XBO_DiskFile second(dir / "t.dbf", true, false);
  EXPECT_THROW(second.FileOpen(), EXBaseError);
  EXPECT_EQ(second.LastError(), 32);
  exclusive.FileClose();
  EXPECT_TRUE(second.FileOpen());
}

TEST(DiskFileLocks, NestingSecondRegionAndRelease) {
  ScratchFolder dir;
  WriteWholeFile(dir / "t.dbf", std::string(100, 'x'));
  XBO_DiskFile file(dir / "t.dbf", true, true);
  ASSERT_TRUE(file.FileOpen());

  ASSERT_TRUE(file.LockRegion(1000, 1));
  EXPECT_TRUE(file.LockRegion(1000, 1));
  EXPECT_EQ(file.LockCount(), 2);
  EXPECT_FALSE(RegionFree(dir / "t.dbf", 1000, 1));

  // A different region while one is held: refused with 33, count unchanged.
  EXPECT_FALSE(file.LockRegion(2000, 1));
  EXPECT_EQ(file.LastError(), 33);
  EXPECT_EQ(file.LockCount(), 2);

  EXPECT_TRUE(file.UnlockRegion());
  EXPECT_EQ(file.LockCount(), 1);
  EXPECT_FALSE(RegionFree(dir / "t.dbf", 1000, 1));  // only the last unlock releases it
  EXPECT_TRUE(file.UnlockRegion());
  EXPECT_EQ(file.LockCount(), 0);
  EXPECT_TRUE(RegionFree(dir / "t.dbf", 1000, 1));
  EXPECT_TRUE(file.UnlockRegion());  // nothing held: still fine

  // Another object of the same process is refused like another program.
  XBO_DiskFile other(dir / "t.dbf", true, true);
  ASSERT_TRUE(other.FileOpen());
  ASSERT_TRUE(file.LockRegion(0x7FFFFFFE, 1));
  EXPECT_FALSE(other.LockRegion(0x7FFFFFFE, 1));
  EXPECT_EQ(other.LastError(), 33);
  EXPECT_EQ(other.LockCount(), 0);

  // Closing with a held (nested) lock releases it.
  EXPECT_TRUE(file.LockRegion(0x7FFFFFFE, 1));
  file.FileClose();
  EXPECT_EQ(file.LockCount(), 0);
  EXPECT_TRUE(other.LockRegion(0x7FFFFFFE, 1));
}

TEST(DiskFileLocks, UnsharedFileCountsWithoutOsLocks) {
  ScratchFolder dir;
  WriteWholeFile(dir / "t.dbf", "data");
  XBO_DiskFile file(dir / "t.dbf", false, true);
  ASSERT_TRUE(file.FileOpen());
  EXPECT_TRUE(file.LockFile());
  EXPECT_EQ(file.LockCount(), 0);  // nothing to lock against
  EXPECT_TRUE(file.LockRegion(10, 1));
  EXPECT_TRUE(file.LockRegion(20, 1));
  EXPECT_EQ(file.LockCount(), 2);
  file.AddLockLevel();
  EXPECT_EQ(file.LockCount(), 3);
}

TEST(DiskFileLocks, SecondProcessRefusedWhileHeldAndAdmittedAfter) {
  ScratchFolder dir;
  const std::string path = dir / "t.dbf";
  WriteWholeFile(path, std::string(64, 'x'));
  XBO_DiskFile file(path, true, true);
  ASSERT_TRUE(file.FileOpen());
  ASSERT_TRUE(file.LockRegion(0x40000005, 1));

  const auto childTries = [&path](bool expectLocked) {
    return InChild([&path, expectLocked] {
      XBO_DiskFile child(path, true, true);
      if (!child.FileOpen()) return 10;
      const bool locked = child.LockRegion(0x40000005, 1);
      if (locked != expectLocked) return 11;
      if (!locked && child.LastError() != 33) return 12;
      return 0;
    });
  };
  EXPECT_EQ(childTries(false), 0);
  file.UnlockRegion();
  EXPECT_EQ(childTries(true), 0);

  // Closing with the lock held frees it for the other process as well.
  ASSERT_TRUE(file.LockRegion(0x40000005, 1));
  EXPECT_EQ(childTries(false), 0);
  file.FileClose();
  EXPECT_EQ(childTries(true), 0);
}

TEST(DiskFileTruncate, SharedFileNeedsTheWholeFileLock) {
  ScratchFolder dir;
  WriteWholeFile(dir / "t.dbf", std::string(100, 'x'));
  XBO_DiskFile shared(dir / "t.dbf", true, true);
  ASSERT_TRUE(shared.FileOpen());
  try {
    shared.FileTruncate(10);
    FAIL() << "no exception";
  } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "File access denied - " + dir / "t.dbf"); }
  EXPECT_EQ(shared.LastError(), 5);
  EXPECT_EQ(shared.FileSize(), 100);

  // A record lock is not enough either.
  ASSERT_TRUE(shared.LockRegion(0, 10));
  EXPECT_THROW(shared.FileTruncate(10), EXBaseError);
  shared.UnlockRegion();

  ASSERT_TRUE(shared.LockFile());
  EXPECT_TRUE(shared.FileTruncate(10));
  EXPECT_EQ(shared.FileSize(), 10);
  shared.UnlockRegion();
  shared.FileClose();

  XBO_DiskFile exclusive(dir / "t.dbf", false, true);
  ASSERT_TRUE(exclusive.FileOpen());
  EXPECT_TRUE(exclusive.FileTruncate(4));
  EXPECT_EQ(exclusive.FileSize(), 4);
  exclusive.FileClose();

  XBO_DiskFile readOnly(dir / "t.dbf", false, false);
  ASSERT_TRUE(readOnly.FileOpen());
  EXPECT_THROW(readOnly.FileTruncate(0), EXBaseError);
  EXPECT_EQ(ReadWholeFile(dir / "t.dbf"), "xxxx");
}

TEST(DiskFileRename, MovesAndReopensButNeverReplaces) {
  ScratchFolder dir;
  WriteWholeFile(dir / "a.dbf", "AAAA");
  WriteWholeFile(dir / "b.dbf", "BBBB");
  XBO_DiskFile file(dir / "a.dbf", true, true);
  ASSERT_TRUE(file.FileOpen());

  EXPECT_THROW(file.Rename(dir / "b.dbf"), EXBaseError);
  EXPECT_EQ(file.LastError(), 183);
  EXPECT_EQ(ReadWholeFile(dir / "a.dbf"), "AAAA");
  EXPECT_EQ(ReadWholeFile(dir / "b.dbf"), "BBBB");
  EXPECT_FALSE(file.Closed());  // opened again under the old name
  EXPECT_EQ(file.FileName(), Upper(dir / "a.dbf"));

  EXPECT_TRUE(file.Rename(dir / "c.dbf"));
  EXPECT_EQ(file.FileName(), Upper(dir / "c.dbf"));
  EXPECT_FALSE(file.Closed());
  char buf[4];
  EXPECT_EQ(file.Read(0, buf, 4), 4);
  EXPECT_EQ(std::string(buf, 4), "AAAA");
}

TEST(DiskFileList, OpenFilesAreListedAndTheExitRoutineClosesThem) {
  ScratchFolder dir;
  WriteWholeFile(dir / "a.dbf", "a");
  WriteWholeFile(dir / "b.dbf", "b");
  auto a = std::make_unique<XBO_DiskFile>(dir / "a.dbf", true, true);
  XBO_DiskFile b(dir / "b.dbf", true, true);
  ASSERT_TRUE(a->FileOpen());
  ASSERT_TRUE(b.FileOpen());
  ASSERT_NE(XBobjFileColl, nullptr);
  EXPECT_GE(XBobjFileColl->IndexOf(a.get()), 0);
  EXPECT_GE(XBobjFileColl->IndexOf(&b), 0);
  a.reset();  // a destroyed file leaves the list
  ASSERT_TRUE(b.LockRegion(5, 1));
  EXPECT_FALSE(RegionFree(dir / "b.dbf", 5, 1));

  xbCloseAllFiles();
  EXPECT_EQ(XBobjFileColl->Count(), 0);
  EXPECT_TRUE(b.Closed());
  EXPECT_TRUE(RegionFree(dir / "b.dbf", 5, 1));
}

}  // namespace
