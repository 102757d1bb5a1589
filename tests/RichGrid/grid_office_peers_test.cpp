// The grid's spreadsheet and document files against independent programs:
// python3-xlrd, gnumeric's ssconvert and LibreOffice read our .xls with the
// same cells (Cyrillic, numbers as numbers, CR taken out, sheets by name,
// more than 26 columns); LoadFromXLS reads what LibreOffice wrote from a
// CSV; unrtf and LibreOffice read our .doc with every cell in order and
// its alignment.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/ole/automation.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/rich_grid_test_support.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr const char* kPeers = "/usr/bin/python3 " VX_SOURCE_DIR "/tests/RichGrid/office_peers.py ";

std::string Peer(const std::string& command) {
  int status = -1;
  std::string out = vx::test::RunTool(command, &status);
  EXPECT_EQ(status, 0) << command;
  return out;
}

std::string Soffice(const std::string& profile) {
  return "soffice -env:UserInstallation=file://" + profile + " --headless ";
}

std::string Utf8(const AnsiString& s) { return vx::Cp1251ToUtf8(s); }

std::string Escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out;
}

class GridOfficePeers : public richgridtest::RichGridTest {
 protected:
  vx::test::ScratchFolder dir_{"officepeers-"};
};

// 4 rows, 30 columns: a heading, whole numbers, decimals and texts, a
// row with Cyrillic at both ends.
void FillSample(TRichStringGrid& g) {
  g.SetColCount(30);
  g.SetRowCount(4);
  g.SetCells(0, 0, "год"_cp);
  g.SetCells(1, 0, "тираж"_cp);
  for (int c = 2; c < 30; ++c) {
    g.SetCells(c, 0, "P" + IntToStr(c - 1));
    g.SetCells(c, 1, IntToStr(c * 3));
  }
  g.SetCells(0, 1, "2001");
  g.SetCells(1, 1, "1");
  g.SetCells(0, 2, "2002");
  g.SetCells(1, 2, "2.5");
  g.SetCells(2, 2, "-3");
  g.SetCells(3, 2, "1,5");
  g.SetCells(4, 2, "две\r\nстроки"_cp);
  g.SetCells(5, 2, "007");
  g.SetCells(6, 2, "a \"quoted\" text");
  g.SetCells(7, 2, "1,500");
  g.SetCells(8, 2, "1.50");
  g.SetCells(29, 2, "последний"_cp);
  g.SetCells(0, 3, "итого"_cp);
  g.SetCells(29, 3, "0.125");
}

// How a cell of the sample reads back: numbers by %.15g (its numbers are
// the texts of digits, '.' and '-' that %.15g writes as they are: "007" and
// "1.50" used to go as the numbers 7 and 1.5), texts without CR.
std::string Expected(const AnsiString& cell, bool typed) {
  if (cell.empty()) return "";
  if (cell.find_first_not_of("0123456789.-") == AnsiString::npos && Format("%.15g", {std::atof(cell.c_str())}) == cell)
    return (typed ? "n:" : "t:") + cell;
  return (typed ? "s:" : "t:") + Escaped(Utf8(StringReplace(cell, "\r", "", TReplaceFlags{rfReplaceAll})));
}

std::string ExpectedRows(const TRichStringGrid& g, bool typed) {
  std::string out;
  for (int r = 0; r < g.RowCount(); ++r) {
    std::string line;
    for (int c = 0; c < g.ColCount(); ++c) line += (c ? "\t" : "") + Expected(g.Cells(c, r), typed);
    while (!line.empty() && line.back() == '\t') line.pop_back();
    out += line + "\n";
  }
  return out;
}

TEST_F(GridOfficePeers, OurSpreadsheetsReadByXlrdGnumericAndLibreOffice) {
  TRichStringGrid g(nullptr);
  FillSample(g);
  const std::string plain = dir_ / "plain.xls", named = dir_ / "named.xls";
  g.SaveToXLS(plain);
  g.SaveToXLS(named, "Статистика"_cp);
  TRichStringGrid second(nullptr);
  second.SetColCount(2);
  second.SetRowCount(1);
  second.SetCells(0, 0, "второй"_cp);
  second.SetCells(1, 0, "42");
  second.SaveToXLS(named, "Second");  // into the existing workbook
  const std::string rows = ExpectedRows(g, true);

  EXPECT_EQ(Peer(std::string(kPeers) + "xlrd " + plain), "sheet Sheet1\n" + rows);
  // The sheet added later goes before the active one.
  EXPECT_EQ(Peer(std::string(kPeers) + "xlrd " + named), "sheet Second\ns:второй\tn:42\nsheet Статистика\n" + rows);

  // gnumeric: every sheet to a CSV of its own.
  Peer("ssconvert -S --export-type=Gnumeric_stf:stf_csv " + named + " " + dir_ / "gnumeric-%n.csv 2>/dev/null");
  const std::string textRows = ExpectedRows(g, false);
  EXPECT_EQ(Peer(std::string(kPeers) + "csv " + dir_ / "gnumeric-0.csv " + dir_ / "gnumeric-1.csv"),
            "file gnumeric-0.csv\nt:второй\tt:42\nfile gnumeric-1.csv\n" + textRows);

  // LibreOffice: both files in one run, every sheet to a CSV of its own.
  const std::string out = dir_ / "lo";
  Peer(Soffice(dir_ / "profile") +
       "--convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1' --outdir " + out +
       " " + plain + " " + named + " >/dev/null 2>&1");
  EXPECT_EQ(Peer(std::string(kPeers) + "csv " + out + "/plain-Sheet1.csv " + out + "/named-Статистика.csv " + out +
                 "/named-Second.csv"),
            "file plain-Sheet1.csv\n" + textRows + "file named-Статистика.csv\n" + textRows +
                "file named-Second.csv\nt:второй\tt:42\n");
}

// LibreOffice converts a CSV to .xls (its own records: formats, styles,
// shared strings, formulas with their values); the grid reads the same
// cells, a formula as its value. Our server never writes such a workbook
// back over itself: adding a sheet to it fails and leaves the file alone.
TEST_F(GridOfficePeers, SpreadsheetsOfLibreOfficeLoad) {
  const std::vector<std::vector<std::string>> cells = {
      {"год", "тираж", "число", "текст", "=A2*2"}, {"2001", "1", "2.5", "Москва, \"Кремль\"", "=A2*2"},
      {"2002", "-17", "0.001", "", "=B3+C3"},      {"", "", "", std::string(300, 'x') + "конец", ""},
      {"итого", "123456789", "-3.75", "last", ""},
  };
  std::string csv;
  for (std::size_t r = 0; r < cells.size(); ++r) {
    for (std::size_t c = 0; c < cells[r].size(); ++c) {
      std::string field = r == 0 && c == 4 ? "формула" : cells[r][c];
      std::string quoted = field.rfind("=", 0) == 0 ? "" : "\"";
      for (char ch : field) quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
      csv += (c ? "," : "") + quoted + (field.rfind("=", 0) == 0 ? "" : "\"");
    }
    csv += "\r\n";
  }
  vx::test::WriteWholeFile(dir_ / "source.csv", csv);
  Peer(Soffice(dir_ / "profile") +
       "--infilter='Text - txt - csv (StarCalc):44,34,76,1,,0,false,false,false,false,false,0,true' "
       "--convert-to 'xls:MS Excel 97' --outdir " +
       dir_.Path() + " " + dir_ / "source.csv >/dev/null 2>&1");
  ASSERT_TRUE(std::filesystem::exists(dir_ / "source.xls"));
  const std::vector<std::string> formulas = {"формула", "4002", "-16.999"};

  for (bool named : {false, true}) {
    TRichStringGrid g(nullptr);
    g.LoadFromXLS(dir_ / "source.xls", named ? "source" : "");
    ASSERT_EQ(g.RowCount(), 5) << named;
    ASSERT_EQ(g.ColCount(), 5) << named;
    for (int r = 0; r < 5; ++r)
      for (int c = 0; c < 5; ++c) {
        const std::string want = c == 4 ? (r < 3 ? formulas[static_cast<std::size_t>(r)] : "")
                                        : cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
        EXPECT_EQ(Utf8(g.Cells(c, r)), want) << r << "," << c;
      }
  }
  const std::string before = vx::test::ReadWholeFile(dir_ / "source.xls");
  TRichStringGrid g(nullptr);
  EXPECT_THROW(g.SaveToXLS(dir_ / "source.xls", "Added"), EOleException);
  EXPECT_EQ(vx::test::ReadWholeFile(dir_ / "source.xls"), before);
}

// Line breaks through the spreadsheet and the document. They used to
// change: a CR alone was dropped from both (two lines joined), and a
// spreadsheet's LF came back as it was, not as the grid's CR LF.
TEST_F(GridOfficePeers, LineBreaksKeptThroughSpreadsheetsAndDocuments) {
  TRichStringGrid g(nullptr);
  g.SetColCount(4);
  g.SetRowCount(1);
  const AnsiString texts[] = {"две\r\nстроки"_cp, "одна\rCR"_cp, "таб\tи\r\nстрока"_cp, "x"};
  for (int c = 0; c < 4; ++c) g.SetCells(c, 0, texts[c]);
  const std::string xls = dir_ / "lines.xls";
  g.SaveToXLS(xls);
  EXPECT_EQ(Peer(std::string(kPeers) + "xlrd " + xls), "sheet Sheet1\ns:две\\nстроки\ts:одна\\rCR\ts:таб\\tи\\nстрока\ts:x\n");
  TRichStringGrid back(nullptr);
  back.LoadFromXLS(xls);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(back.Cells(c, 0), texts[c]) << c;

  // A multi-line cell of LibreOffice's spreadsheet.
  vx::test::WriteWholeFile(dir_ / "lo.csv", "\"две\nстроки\",\"x\"\r\n");
  Peer(Soffice(dir_ / "profile") + "--infilter='Text - txt - csv (StarCalc):44,34,76,1' --convert-to 'xls:MS Excel 97' --outdir " +
       dir_.Path() + " " + dir_ / "lo.csv >/dev/null 2>&1");
  TRichStringGrid lo(nullptr);
  lo.LoadFromXLS(dir_ / "lo.xls");
  EXPECT_EQ(lo.Cells(0, 0), "две\r\nстроки"_cp.str());

  // The document: every line of a cell on a line of its own.
  TRichStringGrid doc(nullptr);
  doc.SetColCount(2);
  doc.SetRowCount(1);
  doc.SetCells(0, 0, "a\rb");
  doc.SetCells(1, 0, "c\r\nd");
  doc.SaveToDOC(dir_ / "lines.doc");
  Peer(Soffice(dir_ / "profile") + "--convert-to 'txt:Text (encoded):UTF8' --outdir " + dir_ / "txt" + " " +
       dir_ / "lines.doc >/dev/null 2>&1");
  std::string text = vx::test::ReadWholeFile(dir_ / "txt/lines.txt");
  std::erase(text, '\r');
  EXPECT_EQ(text.substr(text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0), "a\nb\nc\nd\n\n");
}

// A CR before a CR LF used to be lost through the spreadsheet ("x" CR CR
// LF "a" came back as "x" CR LF "a"): the file's LF is the line break and
// any CR in it the cell's own. 3,600 random texts of CR, LF, CR LF, CR CR
// LF and TAB come back with only a lone LF changed (to CR LF); python3-xlrd
// reads each with LF line breaks and the other CRs in place.
TEST_F(GridOfficePeers, RandomLineBreaksRoundTripThroughSpreadsheets) {
  const AnsiString pieces[] = {"a", "б"_cp, "\r", "\n", "\r\n", "\r\r\n", "\t"};
  std::mt19937 random(48);
  TRichStringGrid g(nullptr);
  g.SetColCount(60);
  g.SetRowCount(60);
  std::vector<AnsiString> expected;
  std::string dump = "sheet Sheet1\n";
  for (int r = 0; r < 60; ++r) {
    for (int c = 0; c < 60; ++c) {
      AnsiString text;
      for (int n = 1 + static_cast<int>(random() % 8); n > 0; --n) text += pieces[random() % std::size(pieces)];
      g.SetCells(c, r, text);
      AnsiString back, file;
      for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pairedCr = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        const bool loneLf = text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
        back += loneLf ? AnsiString("\r\n") : AnsiString(1, text[i]);
        if (!pairedCr) file += text[i];
      }
      expected.push_back(back);
      dump += (c ? "\ts:" : "s:") + Escaped(Utf8(file));
    }
    dump += "\n";
  }
  const std::string xls = dir_ / "random.xls";
  g.SaveToXLS(xls);
  EXPECT_EQ(Peer(std::string(kPeers) + "xlrd " + xls), dump);
  TRichStringGrid back(nullptr);
  back.LoadFromXLS(xls);
  int changed = 0;
  for (int r = 0; r < 60; ++r)
    for (int c = 0; c < 60; ++c) {
      const AnsiString& want = expected[static_cast<std::size_t>(r * 60 + c)];
      changed += want != g.Cells(c, r);
      EXPECT_EQ(back.Cells(c, r), want) << "row " << r << ", column " << c;
    }
  EXPECT_GT(changed, 0);  // some held a lone LF
}

// Dates of LibreOffice and gnumeric (custom date formats, a date with a
// time) load in the short date format; they used to load as their serial
// numbers ("36955" for 05.03.2001). Written back into the workbook, they
// stay dates for python3-xlrd.
TEST_F(GridOfficePeers, DatesOfLibreOfficeAndGnumericLoadAsDates) {
  vx::test::WriteWholeFile(dir_ / "lo.csv", "дата,число,время\r\n05.03.2001,36955,05.03.2001 14:30\r\n31.12.1999,1,\r\n");
  Peer(Soffice(dir_ / "profile") +
       "--infilter='Text - txt - csv (StarCalc):44,34,76,1,1/4/3/4' --convert-to 'xls:MS Excel 97' --outdir " +
       dir_.Path() + " " + dir_ / "lo.csv >/dev/null 2>&1");
  vx::test::WriteWholeFile(dir_ / "gn.csv", "date,number\n2001-03-05,36955\n1999-12-31,1\n");
  Peer("ssconvert " + dir_ / "gn.csv " + dir_ / "gn.xls 2>/dev/null");
  const struct {
    const char* file;
    std::vector<std::string> cells;  // rows 2 and 3
  } cases[] = {
      {"lo.xls", {"05.03.2001", "36955", "05.03.2001 14:30:00", "31.12.1999", "1", ""}},
      {"gn.xls", {"05.03.2001", "36955", "31.12.1999", "1"}},
  };
  for (const auto& c : cases) {
    TRichStringGrid g(nullptr);
    g.LoadFromXLS(dir_ / c.file);
    std::vector<std::string> got;
    for (int r = 1; r < g.RowCount(); ++r)
      for (int col = 0; col < g.ColCount(); ++col) got.push_back(g.Cells(col, r));
    EXPECT_EQ(got, c.cells) << c.file;
  }
  TRichStringGrid added(nullptr);
  added.SetColCount(1);
  added.SetRowCount(1);
  added.SetCells(0, 0, "x");
  added.SaveToXLS(dir_ / "lo.xls", "Added");
  EXPECT_EQ(Peer(std::string(kPeers) + "xlrd " + dir_ / "lo.xls"),
            "sheet Added\ns:x\nsheet lo\ns:дата\ts:число\ts:время\nd:2001-03-05\tn:36955\td:2001-03-05 14:30\n"
            "d:1999-12-31\tn:1\n");
}

// Date-formatted numbers that are no date used to load shifted (-0.5 as
// "0.5", -5 as "-4", 3,000,000 of a 1904 file as "3001462") and times with
// a date the file does not hold ("31.12.1899 12:30:00", "01.01.1904
// 12:30:00"). Workbooks written by hand (BIFF8 with built-in and custom
// formats), by LibreOffice and by gnumeric, in both date systems, now load
// as python3-xlrd reads their moments: numbers as stored, times as times,
// dates as dates. A format of a time alone shows a date's time alone, and
// elapsed time of a day or more stays its number.
TEST_F(GridOfficePeers, DateFormattedNumbersLoadAsXlrdReadsThem) {
  enum Kind { kNumber, kDate, kTime, kElapsed };
  const std::vector<std::pair<std::string, Kind>> codes = {
      {"dd.mm.yyyy", kDate},  {"hh:mm", kTime},       {"hh:mm:ss", kTime},
      {"dd.mm.yyyy hh:mm", kDate}, {"[hh]:mm:ss", kElapsed}, {"General", kNumber}};
  const std::vector<std::pair<std::string, Kind>> builtIn = {{"#14", kDate}, {"#20", kTime}, {"#22", kDate}, {"#46", kElapsed}};
  // Serials 1 to 60 of the 1900 system are left out: xlrd reads them as no
  // moment, the grid as the days of January and February 1900 they are.
  const std::string values =
      "-5 -0.5 -0.020833333333333332 0 0.5208333333333334 0.75 61 36955.604166666664 2957003.5 2958465 2958466 3000000 1e300";
  // What the grid shows of a cell xlrd reads as `moment` ("n:", "t:" or "d:").
  const auto shown = [](const std::string& moment, Kind kind) -> std::string {
    const std::string what = moment.substr(0, 2), rest = moment.substr(2);
    if (what == "n:") return VarToStr(OleVariant{std::stod(rest)});
    if (what == "t:") return rest;
    const std::string time = rest.substr(11, 8), serial = rest.substr(rest.find('@') + 1);
    if (kind == kTime) return time;
    if (kind != kDate) return VarToStr(OleVariant{std::stod(serial)});
    const std::string date = rest.substr(8, 2) + "." + rest.substr(5, 2) + "." + rest.substr(0, 4);
    return time == "00:00:00" ? date : date + " " + time;
  };
  for (const char* kind : {"biff", "fods", "gnumeric"}) {
    for (const int dateMode : {0, 1}) {
      SCOPED_TRACE(std::string(kind) + (dateMode ? ", 1904" : ", 1900"));
      auto formats = codes;
      if (std::string(kind) == "biff") formats.insert(formats.end(), builtIn.begin(), builtIn.end());
      std::string joined;
      for (const auto& f : formats) joined += (joined.empty() ? "" : "|") + f.first;
      const std::string name = std::string(kind) + std::to_string(dateMode), xls = dir_ / (name + ".xls");
      const std::string made = dir_ / (name + (std::string(kind) == "biff" ? ".xls" : "." + std::string(kind)));
      Peer(std::string(kPeers) + "numbers " + kind + " " + made + " " + std::to_string(dateMode) + " '" + joined +
           "' '" + values + "'");
      if (std::string(kind) == "fods")
        Peer(Soffice(dir_ / "profile") + "--convert-to 'xls:MS Excel 97' --outdir " + dir_.Path() + " " + made +
             " >/dev/null 2>&1");
      if (std::string(kind) == "gnumeric") Peer("ssconvert " + made + " " + xls + " 2>/dev/null");
      std::istringstream moments(Peer(std::string(kPeers) + "moments " + xls));
      TRichStringGrid g(nullptr);
      g.LoadFromXLS(xls);
      ASSERT_EQ(g.ColCount(), static_cast<int>(formats.size()));
      int r = 0;
      for (std::string line; std::getline(moments, line); ++r) {
        std::istringstream cells(line);
        std::string cell;
        for (std::size_t c = 0; std::getline(cells, cell, '\t'); ++c)
          EXPECT_EQ(g.Cells(static_cast<int>(c), r), shown(cell, formats[c].second))
              << "row " << r << ", " << formats[c].first << ": " << cell;
      }
      EXPECT_EQ(r, 13);
      EXPECT_EQ(g.RowCount(), 13);

      // Written back beside a sheet of the grid's, the sheet shows the same.
      TRichStringGrid added(nullptr);
      added.SetColCount(1);
      added.SetRowCount(1);
      added.SetCells(0, 0, "x");
      added.SaveToXLS(xls, "Added");
      TRichStringGrid again(nullptr);
      again.LoadFromXLS(xls, "S");
      for (int row = 0; row < g.RowCount(); ++row)
        for (int col = 0; col < g.ColCount(); ++col)
          EXPECT_EQ(again.Cells(col, row), g.Cells(col, row)) << "written back: row " << row << ", " << formats[col].first;
    }
  }
}

// Strips tags from LibreOffice's HTML and keeps the cells' texts with the
// alignment of their paragraphs: "text|align" per cell, in order.
std::string CellsOfHtml(const std::string& html) {
  std::string out;
  std::size_t at = 0;
  while ((at = html.find("<td", at)) != std::string::npos) {
    const std::size_t end = html.find("</td>", at);
    if (end == std::string::npos) break;
    const std::string cell = html.substr(at, end - at);
    std::string text, align = "left";
    if (cell.find("align=\"right\"") != std::string::npos || cell.find("text-align: right") != std::string::npos)
      align = "right";
    if (cell.find("align=\"center\"") != std::string::npos || cell.find("text-align: center") != std::string::npos)
      align = "center";
    bool inTag = false;
    for (char ch : cell) {
      if (ch == '<') inTag = true;
      else if (ch == '>') inTag = false;
      else if (!inTag && ch != '\n' && ch != '\r' && ch != '\t') text += ch;
    }
    const std::size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
    text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
    out += text + "|" + align + "\n";
    at = end;
  }
  return out;
}

TEST_F(GridOfficePeers, DocumentsReadByUnrtfAndLibreOffice) {
  TRichStringGrid g(nullptr);
  g.SetColCount(3);
  g.SetRowCount(3);
  const char* cells[3][3] = {{"year", "draw", "note"}, {"2001", "17", "first"}, {"2002", "5", "second"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) g.SetCells(c, r, cells[r][c]);
  TRichStringGrid cyr(nullptr);
  cyr.SetColCount(2);
  cyr.SetRowCount(2);
  cyr.SetCells(0, 0, "год"_cp);
  cyr.SetCells(1, 0, "тираж"_cp);
  cyr.SetCells(0, 1, "две\r\nстроки"_cp);
  cyr.SetCells(1, 1, "7");
  for (TRichStringGrid* grid : {&g, &cyr})
    grid->OnGetAlignment = [](TObject*, int, int ACol, TAlignment& a) {
      a = ACol == 1 ? taRightJustify : ACol == 2 ? taCenter : taLeftJustify;
    };
  g.SaveToDOC(dir_ / "plain.doc");
  cyr.SaveToDOC(dir_ / "cyr.doc");

  // unrtf's text: every cell in order (its text mode writes Latin text only).
  std::string words;
  std::istringstream text(Peer("unrtf --text " + dir_ / "plain.doc" + " 2>/dev/null"));
  for (std::string w; text >> w;)
    if (w.find("###") == std::string::npos && w.find("----") == std::string::npos) words += w + " ";
  EXPECT_NE(words.find("year draw note 2001 17 first 2002 5 second"), std::string::npos) << words;

  // LibreOffice: the text of both documents, then their HTML with the
  // alignment of the cells.
  Peer(Soffice(dir_ / "profile") + "--convert-to 'txt:Text (encoded):UTF8' --outdir " + dir_ / "txt" + " " +
       dir_ / "plain.doc " + dir_ / "cyr.doc >/dev/null 2>&1");
  auto lines = [](std::string s) {
    if (s.rfind("\xEF\xBB\xBF", 0) == 0) s.erase(0, 3);
    std::string out;
    for (char ch : s)
      if (ch != '\r') out += ch;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  };
  EXPECT_EQ(lines(vx::test::ReadWholeFile(dir_ / "txt/plain.txt")),
            "year\ndraw\nnote\n2001\n17\nfirst\n2002\n5\nsecond");
  EXPECT_EQ(lines(vx::test::ReadWholeFile(dir_ / "txt/cyr.txt")), "год\nтираж\nдве\nстроки\n7");

  Peer(Soffice(dir_ / "profile") + "--convert-to html --outdir " + dir_ / "html" + " " + dir_ / "plain.doc " +
       dir_ / "cyr.doc >/dev/null 2>&1");
  EXPECT_EQ(CellsOfHtml(vx::test::ReadWholeFile(dir_ / "html/plain.html")),
            "year|left\ndraw|right\nnote|center\n2001|left\n17|right\nfirst|center\n2002|left\n5|right\n"
            "second|center\n");
  EXPECT_EQ(CellsOfHtml(vx::test::ReadWholeFile(dir_ / "html/cyr.html")),
            "год|left\nтираж|right\nдвестроки|left\n7|right\n");
}

}  // namespace
