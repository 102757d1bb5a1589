// Name resolution (separators, case, code page) and the operations on names:
// rename without replacing, delete, folders, the program's folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/os/os_error.h"
#include "platform/os/os_file.h"
#include "platform/os/path_resolver.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/cp1251.h"
#include "tests/support/scratch_folder.h"

namespace vx {
namespace {

using test::ReadWholeFile;
using test::ScratchFolder;
using test::WriteWholeFile;
namespace fs = std::filesystem;

constexpr auto RW = OsAccess::ReadWrite;
constexpr auto Shared = OsShare::DenyNone;

TEST(Names, TheSameFileUnderOtherNames) {
  ScratchFolder dir;
  WriteWholeFile(dir / "Base.dbf", "a");
  WriteWholeFile(dir / "other.dbf", "a");
  fs::create_directory(dir / "sub");
  fs::create_hard_link(dir / "Base.dbf", dir / "sub/linked.dbf");
  fs::create_symlink(dir / "Base.dbf", dir / "pointer.dbf");
  struct Case {
    std::string a, b;
    bool same;
  } cases[] = {
      {dir / "Base.dbf", dir.Path() + "\\BASE.DBF", true},
      {dir / "Base.dbf", dir / "sub/../Base.dbf", true},
      {dir / "Base.dbf", dir / "SUB/Linked.dbf", true},
      {dir / "pointer.dbf", dir / "base.dbf", true},
      {dir / "Base.dbf", dir / "other.dbf", false},
      {dir / "Base.dbf", dir / "missing.dbf", false},
      {dir / "missing.dbf", dir / "missing.dbf", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSameFile(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(Names, AFileCreatedWithOneSpellingIsFoundWithAnother) {
  ScratchFolder dir;
  ASSERT_TRUE(CreateFolder(dir / "Tickets"));
  OsFile created;
  ASSERT_TRUE(created.Create(dir / "Tickets/A.tic", RW, Shared));
  ASSERT_TRUE(created.Write(0, "ticket", 6));
  created.Close();
  // Created as spelled.
  EXPECT_TRUE(fs::exists(dir / "Tickets/A.tic"));

  OsFile found;
  ASSERT_TRUE(found.Open(dir.Path() + "\\TICKETS\\a.TIC", OsAccess::Read, Shared));
  EXPECT_EQ(found.NativePath(), dir / "Tickets/A.tic");
  EXPECT_EQ(GetFileKind(dir / "tickets/a.tic"), OsFileKind::File);
  EXPECT_EQ(GetFileKind(dir / "TICKETS"), OsFileKind::Folder);
}

TEST(Names, ANewNameIsCreatedAsSpelledInsideTheExistingFolder) {
  ScratchFolder dir;
  ASSERT_TRUE(CreateFolder(dir / "Bases"));
  OsFile f;
  ASSERT_TRUE(f.Create(dir.Path() + "\\BASES\\New.Dbf", RW, Shared));
  EXPECT_EQ(f.NativePath(), dir / "Bases/New.Dbf");
  EXPECT_TRUE(fs::exists(dir / "Bases/New.Dbf"));
}

TEST(Names, CyrillicNamesAreUtf8OnDiskAndMatchWithoutRegardToCase) {
  ScratchFolder dir;
  const AnsiString upper = "ТИРАЖИ Ё.dbf"_cp;
  const AnsiString lower = "тиражи ё.DBF"_cp;
  OsFile f;
  ASSERT_TRUE(f.Create(dir.Path() + "/" + upper, RW, Shared));
  EXPECT_TRUE(fs::exists(dir / "ТИРАЖИ Ё.dbf"));  // this source file is UTF-8
  EXPECT_EQ(ResolvePath(dir.Path() + "/" + lower).native, dir / "ТИРАЖИ Ё.dbf");
  EXPECT_EQ(NativeToAnsi("тиражи"), "тиражи"_cp.str());
}

TEST(Names, NamesOutsideTheCodePageStillResolve) {
  ScratchFolder dir;
  // Neither valid UTF-8 nor CP1251-representable names come back unchanged
  // and still name their file.
  const std::string odd[] = {std::string("raw\xC0\xE0", 5), "日本"};
  for (const std::string& name : odd) {
    WriteWholeFile(dir / name, "x");
    EXPECT_EQ(NativeToAnsi(name), name);
    EXPECT_EQ(GetFileKind(dir.Path() + "/" + NativeToAnsi(name)), OsFileKind::File) << name;
  }
}

TEST(Names, ResolutionCountsMissingComponents) {
  ScratchFolder dir;
  ASSERT_TRUE(CreateFolder(dir / "Sub"));
  EXPECT_EQ(ResolvePath(dir / "SUB").missing, 0);
  EXPECT_EQ(ResolvePath(dir / "sub/x.dbf").missing, 1);
  EXPECT_EQ(ResolvePath(dir / "none/x.dbf").missing, 2);
  EXPECT_EQ(ResolvePath(dir.Path() + "\\sub\\").native, dir / "Sub/");
  EXPECT_EQ(ResolvePath(dir.Path() + "/sub/../SUB").native, dir / "Sub/../Sub");
}

TEST(Names, TheExactSpellingWinsOverOtherCases) {
  ScratchFolder dir;
  WriteWholeFile(dir / "data.dbf", "lower");
  WriteWholeFile(dir / "DATA.DBF", "upper");
  EXPECT_EQ(ResolvePath(dir / "DATA.DBF").native, dir / "DATA.DBF");
  EXPECT_EQ(ResolvePath(dir / "data.dbf").native, dir / "data.dbf");
  // Otherwise the first in byte order, whatever the folder's order.
  EXPECT_EQ(ResolvePath(dir / "Data.Dbf").native, dir / "DATA.DBF");
}

TEST(Rename, OntoAnExistingFileFailsAndKeepsBoth) {
  ScratchFolder dir;
  WriteWholeFile(dir / "a.dbf", "first");
  WriteWholeFile(dir / "b.dbf", "second");
  SetLastError(0);
  EXPECT_FALSE(MoveFileAt(dir / "a.dbf", dir / "b.dbf"));
  EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
  EXPECT_FALSE(MoveFileAt(dir / "a.dbf", dir / "B.DBF"));  // another case is the same name
  EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
  EXPECT_EQ(ReadWholeFile(dir / "a.dbf"), "first");
  EXPECT_EQ(ReadWholeFile(dir / "b.dbf"), "second");
}

TEST(Rename, MovesToANewNameAndChangesCase) {
  ScratchFolder dir;
  WriteWholeFile(dir / "repair337.dbf", "records");
  ASSERT_TRUE(MoveFileAt(dir / "REPAIR337.DBF", dir / "Lotto.dbf"));
  EXPECT_FALSE(fs::exists(dir / "repair337.dbf"));
  EXPECT_EQ(ReadWholeFile(dir / "Lotto.dbf"), "records");
  ASSERT_TRUE(MoveFileAt(dir / "lotto.dbf", dir / "LOTTO.DBF"));
  EXPECT_EQ(ReadWholeFile(dir / "LOTTO.DBF"), "records");
  EXPECT_FALSE(fs::exists(dir / "Lotto.dbf"));
}

TEST(Rename, ErrorNumbersAndOpenFiles) {
  ScratchFolder dir;
  WriteWholeFile(dir / "a.dbf", "x");
  EXPECT_FALSE(MoveFileAt(dir / "none.dbf", dir / "b.dbf"));
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  EXPECT_FALSE(MoveFileAt(dir / "none/a.dbf", dir / "b.dbf"));
  EXPECT_EQ(GetLastError(), kErrorPathNotFound);
  EXPECT_FALSE(MoveFileAt(dir / "a.dbf", dir / "none/b.dbf"));
  EXPECT_EQ(GetLastError(), kErrorPathNotFound);
  OsFile open;
  ASSERT_TRUE(open.Open(dir / "a.dbf", OsAccess::Read, Shared));
  EXPECT_FALSE(MoveFileAt(dir / "a.dbf", dir / "b.dbf"));
  EXPECT_EQ(GetLastError(), kErrorSharingViolation);
  open.Close();
  EXPECT_TRUE(MoveFileAt(dir / "a.dbf", dir / "b.dbf"));
}

TEST(Delete, RemovesClosedFilesOnly) {
  ScratchFolder dir;
  WriteWholeFile(dir / "a.dbf", "x");
  OsFile open;
  ASSERT_TRUE(open.Open(dir / "A.DBF", OsAccess::Read, Shared));
  EXPECT_FALSE(DeleteFileAt(dir / "a.dbf"));
  EXPECT_EQ(GetLastError(), kErrorSharingViolation);
  open.Close();
  EXPECT_TRUE(DeleteFileAt(dir / "A.dbf"));
  EXPECT_FALSE(fs::exists(dir / "a.dbf"));
  EXPECT_FALSE(DeleteFileAt(dir / "a.dbf"));
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  EXPECT_FALSE(DeleteFileAt(dir / "none/a.dbf"));
  EXPECT_EQ(GetLastError(), kErrorPathNotFound);
  EXPECT_FALSE(DeleteFileAt(dir.Path()));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
}

TEST(Folders, CreateFolderAndTheProgramFolder) {
  ScratchFolder dir;
  EXPECT_TRUE(CreateFolder(dir.Path() + "\\tickets\\"));
  EXPECT_FALSE(CreateFolder(dir / "TICKETS"));
  EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
  EXPECT_FALSE(CreateFolder(dir / "a/b"));
  EXPECT_EQ(GetLastError(), kErrorPathNotFound);

  const std::string real = ProgramFolder();
  ASSERT_FALSE(real.empty());
  EXPECT_EQ(real.back(), '/');
  EXPECT_EQ(GetFileKind(real), OsFileKind::Folder);
  SetProgramFolder(dir.Path());
  EXPECT_EQ(ProgramFolder(), dir.Path() + "/");
  EXPECT_EQ(WindowsDirectory(), dir.Path());
  SetWindowsDirectory("/etc/");
  EXPECT_EQ(WindowsDirectory(), "/etc");
  SetWindowsDirectory("");
  SetProgramFolder("");
  EXPECT_EQ(ProgramFolder(), real);
}

}  // namespace
}  // namespace vx
