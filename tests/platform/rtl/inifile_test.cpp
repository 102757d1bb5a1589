// TIniFile with the Windows profile semantics.
#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/rtl/inifiles.h"
#include "rtl_test_support.h"
#include "tests/support/write_fault.h"

TEST(IniFile, MissingFileSectionOrKeyGivesTheDefault) {
  const std::string dir = rtltest::ScratchDir();
  TIniFile ini(dir + "none.ini");
  EXPECT_EQ(ini.ReadString("General", "Key", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("General", "Key", 42), 42);
  EXPECT_TRUE(ini.ReadBool("General", "Key", true));
  EXPECT_EQ(ini.ReadFloat("General", "Key", 1.5), 1.5);
  EXPECT_FALSE(ini.SectionExists("General"));
  TStringList list;
  list.Add("stale");
  ini.ReadSections(&list);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir + "none.ini"));  // reading creates nothing
}

TEST(IniFile, ReadsWithoutRegardToCaseTrimmedAndUnquoted) {
  const std::string dir = rtltest::ScratchDir();
  rtltest::WriteAll(dir + "Vexamund.ini",
                    "; comment\n"
                    "[General]\r\n"
                    "  Left = 120  \r\n"
                    "Title=\"  spaced  \"\r\n"
                    "Hex=0x1F\n"
                    "Bad=12a\n"
                    "Flag=2\n"
                    "junk line\n"
                    "left=999\n"
                    "[ Options ]\n"
                    "Cost=1.5\n" +
                        "Имя=Значение\n"_cp.str() + "[general]\nLate=1\n");
  TIniFile ini(dir + "VEXAMUND.INI");
  EXPECT_EQ(ini.ReadString("GENERAL", "LEFT", ""), "120");  // the first key wins
  EXPECT_EQ(ini.ReadInteger("general", "left", 0), 120);
  EXPECT_EQ(ini.ReadString("General", "Title", ""), "  spaced  ");
  EXPECT_EQ(ini.ReadInteger("General", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("General", "Bad", -1), -1);
  EXPECT_TRUE(ini.ReadBool("General", "Flag", false));
  EXPECT_EQ(ini.ReadFloat("options", "cost", 0), 1.5);
  EXPECT_EQ(ini.ReadString("OPTIONS", "имя"_cp, ""), "Значение"_cp.str());
  EXPECT_EQ(ini.ReadString("General", "Late", "no"), "no");  // only the first section counts
  EXPECT_TRUE(ini.ValueExists("general", "HEX"));
  EXPECT_FALSE(ini.ValueExists("general", "junk line"));

  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(list.Text(), "General\r\nOptions\r\n");
  ini.ReadSection("General", &list);
  EXPECT_EQ(list.Text(), "Left\r\nTitle\r\nHex\r\nBad\r\nFlag\r\nleft\r\n");
  ini.ReadSectionValues("General", &list);
  EXPECT_EQ(list[0], "Left=120");
  EXPECT_EQ(list[5], "left=120");
}

TEST(IniFile, WritesCreateTheFileAndKeepOtherLines) {
  const std::string dir = rtltest::ScratchDir();
  TIniFile ini(dir + "new.ini");
  ini.WriteString("General", "Base", "Untitled");
  EXPECT_EQ(rtltest::ReadAll(dir + "new.ini"), "[General]\r\nBase=Untitled\r\n");
  ini.WriteInteger("Options", "Cost", 10);
  ini.WriteBool("general", "Maximized", true);
  ini.WriteString("GENERAL", "BASE", "Лото"_cp);
  ini.WriteFloat("Options", "Rate", 0.25);
  EXPECT_EQ(rtltest::ReadAll(dir + "new.ini"),
            "[General]\r\nBase=Лото\r\nMaximized=1\r\n[Options]\r\nCost=10\r\nRate=0.25\r\n"_cp.str());

  rtltest::WriteAll(dir + "keep.ini", "; keep me\n[A]\nx=1\n\n[B]\ny=2\n");
  TIniFile keep(dir + "keep.ini");
  keep.WriteString("a", "z", "3");
  EXPECT_EQ(rtltest::ReadAll(dir + "keep.ini"), "; keep me\r\n[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
  keep.DeleteKey("A", "X");
  keep.EraseSection("b");
  EXPECT_EQ(rtltest::ReadAll(dir + "keep.ini"), "; keep me\r\n[A]\r\nz=3\r\n\r\n");
  EXPECT_FALSE(keep.SectionExists("B"));
}

TEST(IniFile, AFailedWriteRaisesAndLeavesTheFileAlone) {
  const std::string dir = rtltest::ScratchDir();
  TIniFile nowhere(dir + "missing/folder.ini");
  EXPECT_THROW(nowhere.WriteString("S", "K", "V"), EIniFileException);
  // The new contents cannot be written beside the file (a folder holds
  // the name the writer would use); the old file must survive as it was.
  rtltest::WriteAll(dir + "x.ini", "[S]\nK=old\n");
  std::filesystem::create_directory(dir + "x.ini.vxnew" + std::to_string(::getpid()));
  TIniFile ini(dir + "x.ini");
  EXPECT_THROW(ini.WriteString("S", "K", "new"), EIniFileException);
  EXPECT_EQ(rtltest::ReadAll(dir + "x.ini"), "[S]\nK=old\n");
}

// The file was written with direct system calls the fault hook never saw,
// so a write failing halfway could not be tested; now it goes through the
// OS layer's file, fails, and leaves the old file and nothing else.
TEST(IniFile, AWriteFailingHalfwayKeepsTheOldFile) {
  const std::string dir = rtltest::ScratchDir();
  rtltest::WriteAll(dir + "x.ini", "[S]\r\nK=old\r\n");
  TIniFile ini(dir + "x.ini");
  vx::test::HalfWriteFault fault(dir);
  EXPECT_THROW(ini.WriteString("S", "K", "a new value long enough to be cut"), EIniFileException);
  EXPECT_TRUE(fault.Hit());
  EXPECT_EQ(rtltest::ReadAll(dir + "x.ini"), "[S]\r\nK=old\r\n");
  EXPECT_EQ(vx::test::FolderNames(dir), std::vector<std::string>{"x.ini"});
}

TEST(IniFile, OddLayouts) {
  const std::string dir = rtltest::ScratchDir();
  rtltest::WriteAll(dir + "odd.ini",
                    "orphan=1\n"  // before any section: belongs to none
                    "[Empty]\n"
                    "[Eq]\n"
                    "url=http://x/?a=b\n"  // only the first '=' splits
                    "=nokey\n"
                    "[Twice]\nA=1\n[twice]\nB=2\n"
                    "[Unclosed\nC=3\n");
  TIniFile ini(dir + "odd.ini");
  EXPECT_EQ(ini.ReadString("", "orphan", "none"), "none");
  EXPECT_FALSE(ini.SectionExists("Empty"));  // a section counts once it holds a key
  EXPECT_EQ(ini.ReadString("Eq", "url", ""), "http://x/?a=b");
  EXPECT_EQ(ini.ReadString("Eq", "", "d"), "nokey");
  EXPECT_EQ(ini.ReadString("Unclosed", "C", ""), "3");
  // Writing into a section that appears twice goes to the first one.
  ini.WriteString("TWICE", "B", "9");
  EXPECT_EQ(ini.ReadString("Twice", "B", ""), "9");
  ini.EraseSection("twice");  // every occurrence
  TStringList sections;
  ini.ReadSections(&sections);
  EXPECT_EQ(sections.IndexOf("Twice"), -1);
  EXPECT_EQ(ini.ReadString("twice", "B", "gone"), "gone");
  // A value that holds only quotes, or one quote, stays as written.
  ini.WriteString("Q", "a", "\"");
  ini.WriteString("Q", "b", "''");
  EXPECT_EQ(ini.ReadString("Q", "a", ""), "\"");
  EXPECT_EQ(ini.ReadString("Q", "b", "x"), "");

  rtltest::WriteAll(dir + "bom.ini", "\xEF\xBB\xBF[General]\r\nA=1\r\n");
  TIniFile bom(dir + "bom.ini");
  EXPECT_EQ(bom.ReadString("General", "A", ""), "1");
  bom.WriteString("General", "B", "2");
  EXPECT_EQ(rtltest::ReadAll(dir + "bom.ini"), "\xEF\xBB\xBF[General]\r\nA=1\r\nB=2\r\n");
}
