// The print settings' INI section: read defaults, round trips, the value
// conventions, and the section as Python's configparser reads and writes it.
#include <gtest/gtest.h>

#include <functional>

#include "RichGrid/print_settings.h"
#include "platform/rtl/inifiles.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"

namespace {

const char* const kKeys[] = {"ColumnSpacing",
                             "RowSpacing",
                             "TitleSpacing",
                             "FixedHeight",
                             "FixedWidth",
                             "Centered",
                             "NoAutoSize",
                             "UseFixedHeight",
                             "UseFixedWidth",
                             "RepeatFixedRows",
                             "RepeatFixedCols",
                             "Borders",
                             "BorderStyle",
                             "Date",
                             "PageNr",
                             "Title",
                             "Time",
                             "DateFormat",
                             "TitleText",
                             "FooterSize",
                             "HeaderSize",
                             "LeftSize",
                             "RightSize",
                             "FitToPage",
                             "FontName",
                             "FontSize",
                             "FontStyle",
                             "FontColor",
                             "HeaderFontName",
                             "HeaderFontSize",
                             "HeaderFontStyle",
                             "HeaderFontColor",
                             "FooterFontName",
                             "FooterFontSize",
                             "FooterFontStyle",
                             "FooterFontColor",
                             "PageNumSep",
                             "PageSuffix",
                             "PagePrefix",
                             "Orientation",
                             "TitleLines"};

TPrintsettings& Sample(TPrintsettings& s) {
  s.SetColumnSpacing(35);
  s.SetCentered(true);
  s.SetRepeatFixedRows(true);
  s.SetBorders(pbAroundVertical);
  s.SetBorderStyle(psDot);
  s.SetPageNr(ppBottomCenter);
  s.SetDateFormat("dd/mm/yyyy hh:nn");
  s.SetTitleText("Статистика 100%"_cp);
  s.SetLeftSize(250);
  s.SetFitToPage(fpShrink);
  s.Font()->SetName("Courier New");
  s.Font()->SetStyle(TFontStyles{fsBold, fsUnderline});
  s.HeaderFont()->SetColor(clBtnFace);  // a system colour: a negative number
  s.SetPageNumSep(" of ");
  s.SetOrientation(poLandscape);
  s.TitleLines()->SetText("Первая\r\nsecond"_cp);
  return s;
}

TEST(PrintSettings, MissingFileGivesTheReadDefaults) {
  vx::test::ScratchFolder dir;
  TPrintsettings s;
  EXPECT_EQ(s.ColumnSpacing(), 0);
  EXPECT_FALSE(s.Centered());
  s.Font()->SetStyle(TFontStyles{fsItalic});
  LoadPrintSettings(s, dir / "none.ini", "PRINTSETTINGS");
  EXPECT_EQ(s.ColumnSpacing(), 20);
  EXPECT_EQ(s.TitleSpacing(), 20);
  EXPECT_EQ(s.HeaderSize(), 100);
  EXPECT_EQ(s.RightSize(), 100);
  EXPECT_TRUE(s.Centered());
  EXPECT_EQ(s.Font()->Name(), "Arial");
  EXPECT_EQ(s.FooterFont()->Size(), 10);
  EXPECT_EQ(s.DateFormat(), "");
  EXPECT_EQ(s.PageNumSep(), "");
  EXPECT_EQ(s.Font()->Style(), TFontStyles{fsItalic});  // no key: the style stays
}

TEST(PrintSettings, RoundTripAndValueConventions) {
  vx::test::ScratchFolder dir;
  const std::string file = dir / "grid.ini";
  TPrintsettings saved;
  SavePrintSettings(Sample(saved), file, "PRINTSETTINGS");
  TPrintsettings loaded;
  loaded.Font()->SetStyle(TFontStyles{fsItalic});
  LoadPrintSettings(loaded, file, "PRINTSETTINGS");
  EXPECT_EQ(loaded.ColumnSpacing(), 35);
  EXPECT_TRUE(loaded.RepeatFixedRows());
  EXPECT_EQ(loaded.Borders(), pbAroundVertical);
  EXPECT_EQ(loaded.BorderStyle(), psDot);
  EXPECT_EQ(loaded.PageNr(), ppBottomCenter);
  EXPECT_EQ(loaded.DateFormat(), "dd/mm/yyyy hh:nn");
  EXPECT_EQ(loaded.TitleText(), "Статистика 100%"_cp);
  EXPECT_EQ(loaded.FitToPage(), fpShrink);
  EXPECT_EQ(loaded.Font()->Name(), "Courier New");
  // A stored style replaces the style the font had (italic is gone).
  EXPECT_EQ(loaded.Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(loaded.HeaderFont()->Color(), clBtnFace);
  EXPECT_EQ(loaded.PageNumSep(), " of ");  // blanks kept through quotes
  EXPECT_EQ(loaded.Orientation(), poLandscape);
  ASSERT_EQ(loaded.TitleLines()->Count(), 2);
  EXPECT_EQ(loaded.TitleLines()->Strings(0), "Первая"_cp);
  TIniFile ini(file);
  EXPECT_EQ(ini.ReadString("PRINTSETTINGS", "TitleLines", ""), "Первая\\nsecond\\n"_cp);
  EXPECT_EQ(ini.ReadString("PRINTSETTINGS", "Centered", ""), "Y");
  EXPECT_EQ(ini.ReadString("PRINTSETTINGS", "HeaderFontColor", ""), "-2147483633");
  EXPECT_FALSE(ini.ValueExists("PRINTSETTINGS", "JobName"));

  // Only "Y" is true; enumerations out of range keep or reset as they should.
  ini.WriteString("PRINTSETTINGS", "RepeatFixedRows", "y");
  ini.WriteString("PRINTSETTINGS", "Borders", "9");
  ini.WriteString("PRINTSETTINGS", "BorderStyle", "-1");
  ini.WriteString("PRINTSETTINGS", "FitToPage", "5");
  ini.WriteString("PRINTSETTINGS", "Orientation", "2");
  ini.WriteString("PRINTSETTINGS", "PageNr", "7");
  LoadPrintSettings(loaded, file, "PRINTSETTINGS");
  EXPECT_FALSE(loaded.RepeatFixedRows());
  EXPECT_EQ(loaded.Borders(), pbAroundVertical);
  EXPECT_EQ(loaded.BorderStyle(), psDot);
  EXPECT_EQ(loaded.FitToPage(), fpShrink);
  EXPECT_EQ(loaded.Orientation(), poLandscape);
  EXPECT_EQ(loaded.PageNr(), ppNone);

  TPrintsettings copy;
  copy.Assign(&loaded);
  EXPECT_EQ(copy.TitleLines()->Text(), loaded.TitleLines()->Text());
  EXPECT_EQ(copy.Font()->Name(), "Courier New");
}

// Numbers of any size used to load: a font size of 2,000,000,000 became a
// negative height and margins reached INT_MAX. Out of range, a number keeps
// the current value, as a bad enumeration does; at the limits it loads.
TEST(PrintSettings, NumbersOutOfRangeKeepTheCurrentValue) {
  vx::test::ScratchFolder dir;
  const std::string file = dir / "grid.ini";
  struct Case {
    const char* key;
    const char* text;
    std::function<int(const TPrintsettings&)> value;
    int expected;  // the sample's 7 (font sizes 12) when kept
  } cases[] = {
      {"FontSize", "2000000000", [](const TPrintsettings& s) { return s.Font()->Size(); }, 12},
      {"FontSize", "0", [](const TPrintsettings& s) { return s.Font()->Size(); }, 12},
      {"FontSize", "1638", [](const TPrintsettings& s) { return s.Font()->Size(); }, 1638},
      {"HeaderFontSize", "-8", [](const TPrintsettings& s) { return s.HeaderFont()->Size(); }, 12},
      {"FooterFontSize", "1639", [](const TPrintsettings& s) { return s.FooterFont()->Size(); }, 12},
      {"FooterFontSize", "1", [](const TPrintsettings& s) { return s.FooterFont()->Size(); }, 1},
      {"LeftSize", "2147483647", [](const TPrintsettings& s) { return s.LeftSize(); }, 7},
      {"LeftSize", "10000", [](const TPrintsettings& s) { return s.LeftSize(); }, 10000},
      {"RightSize", "10001", [](const TPrintsettings& s) { return s.RightSize(); }, 7},
      {"HeaderSize", "-1", [](const TPrintsettings& s) { return s.HeaderSize(); }, 7},
      {"FooterSize", "0", [](const TPrintsettings& s) { return s.FooterSize(); }, 0},
      {"ColumnSpacing", "2147483647", [](const TPrintsettings& s) { return s.ColumnSpacing(); }, 7},
      {"RowSpacing", "-2147483648", [](const TPrintsettings& s) { return s.RowSpacing(); }, 7},
      {"TitleSpacing", "99999", [](const TPrintsettings& s) { return s.TitleSpacing(); }, 7},
      {"FixedWidth", "1000000", [](const TPrintsettings& s) { return s.FixedWidth(); }, 7},
      {"FixedHeight", "-20", [](const TPrintsettings& s) { return s.FixedHeight(); }, 7},
      {"FixedHeight", "300", [](const TPrintsettings& s) { return s.FixedHeight(); }, 300},
  };
  for (const Case& c : cases) {
    TPrintsettings s;
    for (TFont* f : {s.Font(), s.HeaderFont(), s.FooterFont()}) f->SetSize(12);
    s.SetLeftSize(7);
    s.SetRightSize(7);
    s.SetHeaderSize(7);
    s.SetFooterSize(7);
    s.SetColumnSpacing(7);
    s.SetRowSpacing(7);
    s.SetTitleSpacing(7);
    s.SetFixedWidth(7);
    s.SetFixedHeight(7);
    SavePrintSettings(s, file, "PRINTSETTINGS");
    TIniFile(file).WriteString("PRINTSETTINGS", c.key, c.text);
    LoadPrintSettings(s, file, "PRINTSETTINGS");
    EXPECT_EQ(c.value(s), c.expected) << c.key << "=" << c.text;
  }
}

// Blanks at either end of the texts used to be lost on the way through the
// file ("1 of 5" printed as "1of5").
TEST(PrintSettings, TextsKeepTheirBlanks) {
  vx::test::ScratchFolder dir;
  const std::string file = dir / "grid.ini";
  struct Case {
    const char* key;
    AnsiString text;
    void (TPrintsettings::*set)(const AnsiString&);
    const AnsiString& (TPrintsettings::*get)() const;
  } cases[] = {
      {"PageNumSep", " of ", &TPrintsettings::SetPageNumSep, &TPrintsettings::PageNumSep},
      {"PagePrefix", "Page ", &TPrintsettings::SetPagePrefix, &TPrintsettings::PagePrefix},
      {"PageSuffix", " pages", &TPrintsettings::SetPageSuffix, &TPrintsettings::PageSuffix},
      {"TitleText", "  Draws  ", &TPrintsettings::SetTitleText, &TPrintsettings::TitleText},
      {"DateFormat", "dd.mm.yyyy ", &TPrintsettings::SetDateFormat, &TPrintsettings::DateFormat},
      {"TitleText", "\"quoted\"", &TPrintsettings::SetTitleText, &TPrintsettings::TitleText},
      {"TitleText", "'single'", &TPrintsettings::SetTitleText, &TPrintsettings::TitleText},
      {"TitleText", " \" ", &TPrintsettings::SetTitleText, &TPrintsettings::TitleText},
      {"PageNumSep", "/", &TPrintsettings::SetPageNumSep, &TPrintsettings::PageNumSep},
      {"PagePrefix", "", &TPrintsettings::SetPagePrefix, &TPrintsettings::PagePrefix},
  };
  for (const Case& c : cases) {
    TPrintsettings saved;
    (saved.*c.set)(c.text);
    SavePrintSettings(saved, file, "PRINTSETTINGS");
    TPrintsettings loaded;
    LoadPrintSettings(loaded, file, "PRINTSETTINGS");
    EXPECT_EQ((loaded.*c.get)(), c.text) << c.key << "=[" << c.text << "]";
  }
  // A title of lines with blanks at their ends.
  TPrintsettings saved;
  saved.TitleLines()->SetText(" one\r\ntwo ");
  SavePrintSettings(saved, file, "PRINTSETTINGS");
  TPrintsettings loaded;
  LoadPrintSettings(loaded, file, "PRINTSETTINGS");
  ASSERT_EQ(loaded.TitleLines()->Count(), 2);
  EXPECT_EQ(loaded.TitleLines()->Strings(0), " one");
  EXPECT_EQ(loaded.TitleLines()->Strings(1), "two ");
  // Plain texts are written as they are.
  EXPECT_EQ(TIniFile(file).ReadString("PRINTSETTINGS", "DateFormat", "?"), "dd/mm/yyyy");
  EXPECT_NE(vx::test::ReadWholeFile(file).find("\r\nDateFormat=dd/mm/yyyy\r\n"), std::string::npos);
}

TEST(PrintSettings, SectionAsConfigparserSeesIt) {
  vx::test::ScratchFolder dir;
  const std::string file = dir / "grid.ini";
  TPrintsettings saved;
  SavePrintSettings(Sample(saved), file, "PRINTSETTINGS");
  const std::string bytes = vx::test::ReadWholeFile(file);
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
  for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
    ASSERT_EQ(bytes[i - 1], '\r') << "a bare LF at " << i;

  const std::string script =
      "import configparser,sys\n"
      "c=configparser.ConfigParser(interpolation=None)\n"
      "c.optionxform=str\n"
      "c.read(sys.argv[1],encoding='cp1251')\n"
      "s=c['PRINTSETTINGS']\n"
      "print(','.join(s.keys()))\n"
      "print(s['TitleLines'].encode('utf-8').hex(), s['HeaderFontColor'], s['TitleText'].encode('utf-8').hex())\n"
      "s['ColumnSpacing']='77'\n"
      "s['Centered']='N'\n"
      "s['FontStyle']='2'\n"
      "s['TitleLines']='x\\\\ny'\n"
      "c.write(open(sys.argv[1],'w',encoding='cp1251'))\n";
  const std::string scriptFile = dir / "read.py";
  vx::test::WriteWholeFile(scriptFile, script);
  int status = 0;
  const std::string out = vx::test::RunTool("/usr/bin/python3 " + scriptFile + " " + file, &status);
  ASSERT_EQ(status, 0) << out;
  std::string keys;
  for (const char* k : kKeys) keys += std::string(keys.empty() ? "" : ",") + k;
  EXPECT_EQ(out.substr(0, out.find('\n')), keys);
  EXPECT_NE(out.find("d09fd0b5d180d0b2d0b0d18f5c6e7365636f6e645c6e -2147483633"), std::string::npos) << out;

  TPrintsettings loaded;
  LoadPrintSettings(loaded, file, "PRINTSETTINGS");
  EXPECT_EQ(loaded.ColumnSpacing(), 77);
  EXPECT_FALSE(loaded.Centered());
  EXPECT_EQ(loaded.Font()->Style(), TFontStyles{fsItalic});
  EXPECT_EQ(loaded.TitleLines()->Count(), 2);
  EXPECT_EQ(loaded.Borders(), pbAroundVertical);
}

}  // namespace
