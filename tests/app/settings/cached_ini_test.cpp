// The cached INI file: loading, merging, cuts, writing only on change, and
// files shared with Python's configparser.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <random>

#include "app/settings/cached_ini.h"
#include "app_test_support.h"
#include "platform/rtl/sysutils.h"

namespace {

class CachedIni : public ::testing::Test {
 protected:
  void SetUp() override { folder = apptest::ScratchFolder(); }
  std::string Path(const char* name) const { return folder + name; }
  std::string folder;
};

struct FileStamp {
  ino_t inode;
  timespec mtime;
};

FileStamp Stamp(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0);
  return {st.st_ino, st.st_mtim};
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
  return a.inode == b.inode && a.mtime.tv_sec == b.mtime.tv_sec && a.mtime.tv_nsec == b.mtime.tv_nsec;
}

TEST_F(CachedIni, LoadingSkipsNoiseMergesDuplicatesAndWritesBackCleaned) {
  const std::string p = Path("merge.ini");
  apptest::WriteFile(p,
                     "orphan=lost\r\n"
                     "[A]\r\nx=1\r\n\x1A\r\n\r\n"
                     "[B]\nb=2\n"
                     "[a]\ry=2\r"
                     "[Раздел]\r\nключ=значение\r\n"_cp);
  {
    TCachedIniFile ini(p);
    EXPECT_TRUE(ini.Modified()) << "a merged file must be written back";
    EXPECT_EQ(ini.ReadString("a", "x", "-"), "1");
    EXPECT_EQ(ini.ReadString("A", "Y", "-"), "2");
    EXPECT_EQ(ini.ReadString("РАЗДЕЛ"_cp, "КЛЮЧ"_cp, "-"), "значение"_cp);
    EXPECT_EQ(ini.ReadString("A", "orphan", "-"), "-");
    TStringList sections;
    ini.ReadSections(&sections);
    ASSERT_EQ(sections.Count(), 3);
    EXPECT_EQ(sections[0], "A");
    EXPECT_EQ(sections[1], "B");
  }
  EXPECT_EQ(apptest::ReadFile(p), "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nb=2\r\n\r\n[Раздел]\r\nключ=значение\r\n\r\n"_cp);
}

TEST_F(CachedIni, DuplicateHandlerMayKeepTheLaterSection) {
  const std::string p = Path("dup.ini");
  apptest::WriteFile(p, "[S]\r\nold=1\r\n[s]\r\nnew=2\r\n");
  TCachedIniFile ini("");
  ini.OnDuplicateSection = [](TObject*, const AnsiString&, bool& keepLater) { keepLater = true; };
  ini.LoadFromFile(p);
  EXPECT_EQ(ini.ReadString("S", "old", "-"), "-");
  EXPECT_EQ(ini.ReadString("S", "new", "-"), "2");
}

TEST_F(CachedIni, TextsAreCutAt255Characters) {
  const std::string p = Path("cut.ini");
  const AnsiString longValue(300, 'v');
  apptest::WriteFile(p, "[S]\r\nk=" + longValue + "\r\n");
  TCachedIniFile ini(p);
  EXPECT_EQ(ini.ReadString("S", "k", ""), AnsiString(253, 'v')) << "the line is cut, then split";

  ini.WriteString("S", "w", longValue);
  TStringList lines;
  ini.ReadSectionValues("S", &lines);
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines[1].size(), 255u) << "key, '=' and value are cut as one line";
  EXPECT_EQ(ini.ReadString("S", "w", ""), AnsiString(253, 'v'));
  EXPECT_EQ(ini.ReadString("S", "missing", longValue).size(), 255u);
}

TEST_F(CachedIni, LongPathsAreUsedWhole) {
  std::string dir = folder;
  for (int i = 0; i < 6; ++i) dir += std::string(50, char('a' + i)) + "/";
  ASSERT_TRUE(ForceDirectories(dir));
  const std::string p = dir + "Vexamund.ini";
  ASSERT_GT(p.size(), 300u);
  {
    TCachedIniFile ini(p);
    ini.WriteString("S", "k", "v");
  }
  EXPECT_EQ(apptest::ReadFile(p), "[S]\r\nk=v\r\n\r\n");
}

TEST_F(CachedIni, NothingChangedMeansNoRewrite) {
  const std::string p = Path("same.ini");
  {
    TCachedIniFile ini(p);
    ini.WriteString("S", "k", "v");
    ini.WriteInteger("S", "n", 5);
  }
  const FileStamp before = Stamp(p);
  {
    TCachedIniFile ini(p);
    ini.WriteString("S", "k", "v");
    ini.WriteInteger("S", "n", 5);
    ini.DeleteKey("S", "absent");
    EXPECT_FALSE(ini.Modified());
    ini.SetFileName(Path("other.ini"));
  }
  EXPECT_TRUE(SameStamp(before, Stamp(p))) << "an unchanged file was rewritten";
  EXPECT_FALSE(FileExists(Path("other.ini")));

  {
    TCachedIniFile ini(p);
    ini.WriteString("S", "k", "changed");
  }
  EXPECT_EQ(apptest::ReadFile(p), "[S]\r\nk=changed\r\nn=5\r\n\r\n");
}

TEST_F(CachedIni, EmptySectionsAndEmptyKeys) {
  const std::string p = Path("erase.ini");
  TCachedIniFile ini(p);
  ini.WriteString("Keep", "a", "1");
  ini.WriteString("Gone", "b", "2");
  ini.WriteString("Empty", "c", "3");
  ini.DeleteKey("Empty", "c");
  ini.WriteString("Gone", "", "anything");  // an empty key erases the section
  EXPECT_EQ(ini.ReadString("Gone", "b", "-"), "-");
  ini.WriteString("", "", "");  // flushes
  EXPECT_FALSE(ini.Modified());
  EXPECT_EQ(apptest::ReadFile(p), "[Keep]\r\na=1\r\n\r\n");
  TStringList all;
  ini.GetStrings(&all);
  EXPECT_EQ(all.Text(), "[Keep]\r\na=1\r\n\r\n");
}

TEST_F(CachedIni, NumbersAndBooleans) {
  const std::string p = Path("num.ini");
  apptest::WriteFile(
      p, "[N]\r\nhex=0x1F\r\nHEX=0X10\r\ndollar=$ff\r\nbad=12a\r\nempty=\r\nneg=-7\r\nnothex=0xyz\r\nt=2\r\nf=0\r\n");
  TCachedIniFileEx ini(p);
  EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "dollar", 0), 255);
  EXPECT_EQ(ini.ReadInteger("N", "bad", 42), 42);
  EXPECT_EQ(ini.ReadInteger("N", "empty", 43), 43);
  EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -7);
  EXPECT_TRUE(ini.ReadBool("N", "t", false));
  EXPECT_FALSE(ini.ReadBool("N", "f", true));
  EXPECT_TRUE(ini.ReadBool("N", "missing", true));

  ini.WriteBool("N", "w", true);
  EXPECT_EQ(ini.ReadString("N", "w", ""), "1");
  ini.WriteHexInteger("N", "h", 0x1A2B);
  EXPECT_EQ(ini.ReadString("N", "h", ""), "00001A2B");
  EXPECT_EQ(ini.ReadHexInteger("N", "h", 0), 0x1A2B);
  EXPECT_EQ(ini.ReadHexInteger("N", "missing", -1), -1);
  EXPECT_THROW(ini.ReadHexInteger("N", "nothex", 0), EConvertError);
}

TEST_F(CachedIni, DamagedBytesLoadWithoutHarm) {
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    AnsiString bytes(1 + rng() % 4000, '\0');
    for (char& c : bytes) c = static_cast<char>("[]=\r\n\x1A\0abc"[rng() % 11]);
    const std::string p = Path("junk.ini");
    apptest::WriteFile(p, bytes);
    TCachedIniFile ini("");
    ini.LoadFromFile(p);
    TStringList all;
    ini.GetStrings(&all);
    ini.ReadString("a", "b", "");
    EXPECT_EQ(apptest::ReadFile(p), bytes) << "reading must not touch the file";
  }
}

// --- configparser, both ways

std::string RunPython(const std::string& script) {
  std::string out;
  FILE* pipe = popen(("/usr/bin/python3 -c '" + script + "' 2>&1").c_str(), "r");
  if (!pipe) return "popen failed";
  char buf[512];
  while (std::fgets(buf, sizeof buf, pipe)) out += buf;
  pclose(pipe);
  return out;
}

TEST_F(CachedIni, PythonConfigparserReadsOurFiles) {
  const std::string p = Path("ours.ini");
  {
    TCachedIniFile ini(p);
    ini.WriteString("General", "seYearFrom.Value", "2000");
    ini.WriteString("Options", "Cell1_3", "Лотто-Миллион"_cp);
    ini.WriteString("Language", "frmLang", "/home/user/русский.lng"_cp);
    ini.WriteString("general", "LastOpened_File", "C:\\bases\\lm.dbf");
  }
  const std::string out = RunPython(
      "import configparser\n"
      "c = configparser.ConfigParser(interpolation=None, strict=True)\n"
      "c.optionxform = str\n"
      "c.read(\"" +
      p +
      "\", encoding=\"cp1251\")\n"
      "for s in c.sections():\n"
      "    for k, v in c.items(s):\n"
      "        print(s + \"|\" + k + \"|\" + v)\n");
  EXPECT_EQ(out,
            "General|seYearFrom.Value|2000\n"
            "General|LastOpened_File|C:\\bases\\lm.dbf\n"
            "Options|Cell1_3|Лотто-Миллион\n"
            "Language|frmLang|/home/user/русский.lng\n");
}

TEST_F(CachedIni, WeReadConfigparserFiles) {
  const std::string p = Path("theirs.ini");
  const std::string out = RunPython(
      "import configparser\n"
      "c = configparser.ConfigParser(interpolation=None)\n"
      "c.optionxform = str\n"
      "c[\"Messages\"] = {\"база не открыта\": \"base is not open\", \"Key\": \"Значение\"}\n"
      "c[\"Options\"] = {\"Cell_Row\": \"3\"}\n"
      "f = open(\"" +
      p +
      "\", \"w\", encoding=\"cp1251\")\n"
      "c.write(f, space_around_delimiters=False)\n"
      "f.close()\n");
  ASSERT_EQ(out, "");
  TCachedIniFile ini(p);
  EXPECT_EQ(ini.ReadString("Messages", "база не открыта"_cp, "-"), "base is not open");
  EXPECT_EQ(ini.ReadString("messages", "key", "-"), "Значение"_cp);
  EXPECT_EQ(ini.ReadInteger("Options", "Cell_Row", 0), 3);
  EXPECT_FALSE(ini.Modified());
}

}  // namespace
