// File names, the file system helpers, folder search and streams.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/rtl/classes.h"
#include "platform/rtl/fileutils.h"
#include "rtl_test_support.h"

TEST(FileNames, PartsOfANameWithEitherDelimiter) {
  const struct {
    const char* name;
    const char* path;
    const char* dir;
    const char* file;
    const char* ext;
  } cases[] = {
      {"C:\\base\\draws.dbf", "C:\\base\\", "C:\\base", "draws.dbf", ".dbf"},
      {"tickets/a.b.tic", "tickets/", "tickets", "a.b.tic", ".tic"},
      {"/abs/x", "/abs/", "/abs", "x", ""},
      {"/x.txt", "/", "/", "x.txt", ".txt"},
      {"dir.d\\name", "dir.d\\", "dir.d", "name", ""},
      {"plain", "", "", "plain", ""},
      {"C:x.ini", "C:", "C:", "x.ini", ".ini"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
  }
  EXPECT_EQ(ChangeFileExt("dir.d\\name", ".cdx"), "dir.d\\name.cdx");
  EXPECT_EQ(ChangeFileExt("a\\b.dbf", ".cdx"), "a\\b.cdx");
  EXPECT_EQ(ChangeFileExt("b.dbf", ""), "b");
  EXPECT_EQ(IncludeTrailingPathDelimiter("a"), "a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("a\\"), "a\\");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a/"), "a");
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_TRUE(vx::MatchesMask("Draws.DBF", "*.dbf"));
  EXPECT_TRUE(vx::MatchesMask("README", "*.*"));
  EXPECT_TRUE(vx::MatchesMask("README", "*."));
  EXPECT_FALSE(vx::MatchesMask("a.txt", "*."));
  EXPECT_TRUE(vx::MatchesMask("x1.lst", "X?.LST"));
  EXPECT_FALSE(vx::MatchesMask("x12.lst", "x?.lst"));
}

TEST(FileSystem, NamesResolveWithoutRegardToCaseAndEitherDelimiter) {
  const std::string dir = rtltest::ScratchDir();
  ASSERT_TRUE(ForceDirectories(dir + "Tickets\\Sub"));
  ASSERT_TRUE(DirectoryExists(dir + "TICKETS/sub"));
  TStringList text;
  text.Add("x");
  text.SaveToFile(dir + "Tickets/A.tic");
  EXPECT_TRUE(FileExists(dir + "TICKETS\\a.TIC"));
  EXPECT_FALSE(FileExists(dir + "TICKETS"));
  EXPECT_FALSE(DirectoryExists(dir + "Tickets/A.tic"));
  EXPECT_GT(FileAge(dir + "tickets\\a.tic"), 0);
  EXPECT_EQ(FileAge(dir + "none.tic"), -1);
  TDateTime age;
  EXPECT_TRUE(FileAge(dir + "tickets/A.TIC", age));
  EXPECT_GT(age, EncodeDate(2000, 1, 1));
  // A new file keeps the spelling it was given; Cyrillic names are UTF-8 on disk.
  text.SaveToFile(dir + "tickets/Новый.TIC"_cp);
  EXPECT_TRUE(std::filesystem::exists(dir + "Tickets/Новый.TIC"));
  EXPECT_TRUE(FileExists(dir + "TICKETS/НОВЫЙ.tic"_cp));
}

TEST(FileSystem, RenameNeverReplacesAndDeleteRemovesFilesOnly) {
  const std::string dir = rtltest::ScratchDir();
  rtltest::WriteAll(dir + "a.txt", "A");
  rtltest::WriteAll(dir + "b.txt", "B");
  EXPECT_FALSE(RenameFile(dir + "a.txt", dir + "B.TXT"));
  EXPECT_EQ(rtltest::ReadAll(dir + "a.txt"), "A");
  EXPECT_EQ(rtltest::ReadAll(dir + "b.txt"), "B");
  EXPECT_TRUE(RenameFile(dir + "A.TXT", dir + "c.txt"));
  EXPECT_EQ(rtltest::ReadAll(dir + "c.txt"), "A");
  EXPECT_TRUE(RenameFile(dir + "c.txt", dir + "C.txt"));  // a change of case only
  EXPECT_EQ(rtltest::ReadAll(dir + "C.txt"), "A");
  EXPECT_FALSE(RenameFile(dir + "none.txt", dir + "d.txt"));
  EXPECT_TRUE(DeleteFile(dir + "B.txt"));
  EXPECT_FALSE(DeleteFile(dir + "B.txt"));
  ASSERT_TRUE(CreateDir(dir + "sub"));
  EXPECT_FALSE(DeleteFile(dir + "sub"));
  EXPECT_TRUE(DirectoryExists(dir + "sub"));
}

TEST(FileSystem, FindFirstWalksMatchesInNameOrder) {
  const std::string dir = rtltest::ScratchDir();
  for (const char* n : {"b.LST", "a.lst", "c.txt", ".hidden.lst"}) rtltest::WriteAll(dir + n, "12345");
  std::filesystem::create_directory(dir + "folder.lst");
  std::vector<AnsiString> found;
  TSearchRec rec;
  for (int r = FindFirst(dir + "*.LST", faAnyFile & ~faDirectory & ~faHidden, rec); r == 0; r = FindNext(rec)) {
    found.push_back(rec.Name);
    EXPECT_EQ(rec.Size, 5);
    EXPECT_EQ(rec.Attr & faDirectory, 0);
  }
  FindClose(rec);
  EXPECT_EQ(found, (std::vector<AnsiString>{"a.lst", "b.LST"}));

  found.clear();
  for (int r = FindFirst(dir + "*.lst", faAnyFile, rec); r == 0; r = FindNext(rec)) found.push_back(rec.Name);
  EXPECT_EQ(found, (std::vector<AnsiString>{".hidden.lst", "a.lst", "b.LST", "folder.lst"}));
  EXPECT_EQ(FindNext(rec), 18);
  FindClose(rec);
  EXPECT_EQ(FindFirst(dir + "*.none", faAnyFile, rec), 2);
  EXPECT_EQ(FindFirst(dir + "nofolder/*.*", faAnyFile, rec), 3);
}

TEST(Streams, FileStreamReadsWritesAndSharesLikeTheOriginal) {
  const std::string dir = rtltest::ScratchDir();
  {
    TFileStream out(dir + "Data.bin", fmCreate);
    out.WriteBuffer("hello world", 11);
    EXPECT_EQ(out.Size(), 11);
    out.SetSize(5);
    EXPECT_EQ(out.Position(), 5);
  }
  EXPECT_EQ(rtltest::ReadAll(dir + "Data.bin"), "hello");
  {
    TFileStream in(dir + "DATA.BIN", fmOpenRead | fmShareDenyNone);
    char buf[16] = {};
    EXPECT_EQ(in.Read(buf, sizeof buf), 5);  // a short read is not an error
    in.SetPosition(1);
    EXPECT_THROW(in.ReadBuffer(buf, 5), EReadError);
    TFileStream second(dir + "data.bin", fmOpenRead | fmShareDenyNone);
    EXPECT_THROW(TFileStream(dir + "data.bin", fmOpenReadWrite | fmShareExclusive), EFOpenError);
    // Creating over a file in use refuses without truncating it.
    EXPECT_THROW(TFileStream(dir + "data.bin", fmCreate), EFCreateError);
  }
  EXPECT_EQ(rtltest::ReadAll(dir + "Data.bin"), "hello");
  try {
    TFileStream missing(dir + "missing.bin", fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) { EXPECT_NE(e.Message().find("missing.bin"), AnsiString::npos); }
}

TEST(Streams, MemoryAndStringStreams) {
  TMemoryStream m;
  m.SetPosition(4);
  m.WriteBuffer("ab", 2);  // past the end: the gap is zeros
  EXPECT_EQ(m.Data(), std::string("\0\0\0\0ab", 6));
  m.SetPosition(0);
  char buf[8];
  EXPECT_EQ(m.Read(buf, 8), 6);
  EXPECT_EQ(m.Read(buf, 8), 0);
  m.SetPosition(-3);
  EXPECT_EQ(m.Read(buf, 1), 0);
  EXPECT_EQ(m.Write(buf, 1), 0);

  TStringStream s("line1\nline2");
  TStringList list;
  list.LoadFromStream(s);
  EXPECT_EQ(list.Count(), 2);
  TStringStream out;
  list.SaveToStream(out);
  EXPECT_EQ(out.DataString(), "line1\r\nline2\r\n");
  out.SetPosition(2);
  EXPECT_EQ(out.ReadString(3), "ne1");
  TMemoryStream copy;
  copy.CopyFrom(out, 0);
  EXPECT_EQ(copy.Data(), out.DataString());

  const std::string dir = rtltest::ScratchDir();
  copy.SaveToFile(dir + "copy.txt");
  TMemoryStream loaded;
  loaded.LoadFromFile(dir + "COPY.TXT");
  EXPECT_EQ(loaded.Data(), copy.Data());
  EXPECT_THROW(loaded.LoadFromFile(dir + "none"), EFOpenError);
}

TEST(FileSystem, ResolutionPrefersTheExactSpellingAndReadsCyrillicNames) {
  const std::string dir = rtltest::ScratchDir();
  rtltest::WriteAll(dir + "Data.txt", "mixed");
  rtltest::WriteAll(dir + "DATA.TXT", "upper");
  rtltest::WriteAll(dir + "data.TXT", "other");
  EXPECT_EQ(vx::NativeFileName(dir + "DATA.TXT"), dir + "DATA.TXT");
  EXPECT_EQ(vx::NativeFileName(dir + "Data.txt"), dir + "Data.txt");
  // No exact match: the first in byte order, so the answer never depends
  // on the folder's order.
  EXPECT_EQ(vx::NativeFileName(dir + "data.txt"), dir + "DATA.TXT");
  // A name written by another program in CP1251 bytes is found as well.
  rtltest::WriteAll(dir + "\xC1\xE0\xE7\xE0.dbf", "cp1251 name");  // "База" in CP1251
  EXPECT_EQ(vx::NativeFileName(dir + "база.DBF"_cp), dir + "\xC1\xE0\xE7\xE0.dbf");
  // A missing folder: the rest is kept as spelled.
  EXPECT_EQ(vx::NativeFileName(dir + "New\\Sub\\X.txt"), dir + "New/Sub/X.txt");
  // Names that are not UTF-8 come back unchanged and lead to the same file.
  const std::string odd = "\xFF\xFE.bin";
  rtltest::WriteAll(dir + odd, "odd");
  EXPECT_EQ(vx::AnsiFileName(odd), odd);
  EXPECT_TRUE(FileExists(dir + vx::AnsiFileName(odd)));
  EXPECT_EQ(vx::AnsiFileName("Лото.ini"), "Лото.ini"_cp.str());
}

TEST(FileSystem, ForceDirectoriesAndExpandFileName) {
  const std::string dir = rtltest::ScratchDir();
  EXPECT_TRUE(ForceDirectories(dir + "a\\b\\c\\"));
  EXPECT_TRUE(std::filesystem::is_directory(dir + "a/b/c"));
  EXPECT_TRUE(ForceDirectories(dir + "A/B/c/d"));  // existing parts found without regard to case
  EXPECT_TRUE(std::filesystem::is_directory(dir + "a/b/c/d"));
  rtltest::WriteAll(dir + "file", "x");
  EXPECT_FALSE(ForceDirectories(dir + "file/sub"));
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_EQ(ExpandFileName("/a/b/../../.."), "/");
  EXPECT_EQ(ExpandFileName("x\\y"), IncludeTrailingPathDelimiter(GetCurrentDir()) + "x/y");
}

TEST(Streams, ModesPositionsAndPartialCopies) {
  const std::string dir = rtltest::ScratchDir();
  rtltest::WriteAll(dir + "w.bin", "0123456789");
  {
    TFileStream w(dir + "w.bin", fmOpenWrite);
    w.SetPosition(12);
    w.WriteBuffer("AB", 2);  // past the end: the gap is zeros
    char c;
    EXPECT_EQ(w.Read(&c, 1), 0);  // write-only
  }
  EXPECT_EQ(rtltest::ReadAll(dir + "w.bin"), std::string("0123456789\0\0AB", 14));
  {
    TFileStream r(dir + "w.bin", fmOpenRead);
    EXPECT_EQ(r.Write("x", 1), 0);  // read-only
    EXPECT_THROW(r.WriteBuffer("x", 1), EWriteError);
    r.Seek(-2, soEnd);
    TMemoryStream m;
    m.CopyFrom(r, 2);
    EXPECT_EQ(m.Data(), "AB");
    r.SetPosition(13);
    EXPECT_THROW(m.CopyFrom(r, 5), EReadError);
  }
  EXPECT_THROW(TFileStream(dir, fmOpenRead), EFOpenError);  // a folder is not a file
  TMemoryStream m;
  m.WriteBuffer("abcdef", 6);
  m.SetSize(3);
  EXPECT_EQ(m.Data(), "abc");
  EXPECT_EQ(m.Seek(0, soEnd), 3);
  m.SetSize(5);
  EXPECT_EQ(m.Data(), std::string("abc\0\0", 5));
  EXPECT_THROW(m.SetSize(-1), EStreamError);
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Position(), 0);
}
