// The statistics, results and tickets grids leave the program through the
// popup menus: each grid in each format through the save dialog, each file
// read back by an independent reader (python3-xlrd for .xls, LibreOffice
// for .doc, xmllint and python's html.parser for .html, golden text for
// .asc), Cyrillic headings included.
#include <filesystem>
#include <sstream>

#include "app/bases/base_tables.h"
#include "app/bases/newbase_dialogs.h"
#include "draw_fixture.h"
#include "platform/db/field.h"
#include "platform/rtl/codepages.h"
#include "tables/dataset/txbasedataset.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr const char* kOfficePeers = "/usr/bin/python3 " VX_SOURCE_DIR "/tests/RichGrid/office_peers.py ";
constexpr const char* kGridPeers = "/usr/bin/python3 " VX_SOURCE_DIR "/tests/RichGrid/grid_peers.py ";

std::string Peer(const std::string& command) {
  int status = -1;
  std::string out = vx::test::RunTool(command, &status);
  EXPECT_EQ(status, 0) << command << "\n" << out;
  return out;
}

std::string Hex(const AnsiString& s) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out.empty() ? "-" : out;
}

bool WholeNumber(const AnsiString& s) {
  std::size_t i = s.size() > 1 && s[0] == '-' ? 1 : 0;
  if (i == s.size()) return false;
  for (; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

class Exports : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    out = folder + "out/";
    std::filesystem::create_directories(out);
  }

  // Five draws of 2 numbers, the sums statistic over all of them.
  void Statistics() {
    apptest::WriteDrawRows(folder, "five", 2, 6, "[[2020,1,1,2],[2020,2,1,3],[2020,3,2,3],[2020,4,1,4],[2020,5,1,3]]");
    apptest::OpenDrawBase(dialogs, folder + "five.dbf");
    apptest::SetRange(FormMain->seYearFrom, FormMain->seDrawFrom, FormMain->seYearTo, FormMain->seDrawTo, 2020, 1, 2020,
                      5);
    FormMain->rbtnAmounts->SetChecked(true);
    FormMain->btnCalculateStat->Click();
  }
  static void Results() {
    ASSERT_TRUE(FormMain->OpenTempResults(3));
    FormMain->AppendResult(2002, 1, {5, 17, 33});
    FormMain->AppendResult(2002, 2, {1, 2, 3});
    FormMain->AppendResult(2002, 3, {40, 44, 49});
    FormMain->TableRes->Post();
  }
  static void Tickets() {
    ASSERT_TRUE(frmNewTickBase->CreateTickTable("played", 3, false));
    frmNewTickBase->NewTable->Close();
    FormMain->OpenTableAs(FormMain->TableTick, vx::TicketFolder() + "played.tic");
    const int rows[][6] = {{2002, 24, 1, 7, 8, 9}, {2002, 24, 2, 10, 20, 30}};
    for (const auto& row : rows) {
      FormMain->TableTick->Append();
      for (int i = 0; i < 6; ++i) FormMain->TableTick->Fields()[i]->SetAsInteger(row[i]);
    }
    FormMain->TableTick->Post();
  }
  // Clicks the item; the save dialog offered `offered` and gets `file`.
  void Export(TMenuItem* item, const char* offered, const char* filter, const char* extension,
              const std::string& file) {
    dialogs.Expect(vx::DialogKind::Save, "", [=](vx::DialogRequest& r) {
      auto* d = dynamic_cast<TSaveDialog*>(r.Dialog);
      EXPECT_EQ(d->FileName(), offered);
      EXPECT_EQ(d->Filter(), filter);
      EXPECT_EQ(d->DefaultExt(), extension);
      EXPECT_EQ(d->InitialDir(), vx::ProgramFolder());
      d->SetFileName(file.c_str());
      return 1;
    });
    item->Click();
  }

  // What the readers should find: every cell's text as hexadecimal CP1251
  // (html), as xlrd types it (xls), one per line (LibreOffice's text).
  static std::string HtmlCells(TRichStringGrid* g) {
    std::string s;
    for (int r = 0; r < g->RowCount(); ++r)
      for (int c = 0; c < g->ColCount(); ++c)
        s += std::to_string(r) + " " + std::to_string(c) + " " + Hex(g->Cells(c, r)) + "\n";
    return s;
  }
  static std::string XlsRows(TRichStringGrid* g) {
    std::string s = "sheet Sheet1\n";
    for (int r = 0; r < g->RowCount(); ++r) {
      std::string row;
      for (int c = 0; c < g->ColCount(); ++c) {
        const AnsiString t = g->Cells(c, r);
        row += (c ? "\t" : "") + (t.empty()        ? std::string()
                                  : WholeNumber(t) ? "n:" + std::string(t)
                                                   : "s:" + vx::Cp1251ToUtf8(t));
      }
      while (!row.empty() && row.back() == '\t') row.pop_back();
      s += row + "\n";
    }
    return s;
  }
  static std::string TextLines(TRichStringGrid* g) {
    std::string s;
    for (int r = 0; r < g->RowCount(); ++r)
      for (int c = 0; c < g->ColCount(); ++c) s += vx::Cp1251ToUtf8(g->Cells(c, r)) + "\n";
    return s;
  }

  std::string out;
};

TEST_F(Exports, EachGridInEachFormatReadBackByIndependentReaders) {
  Statistics();
  Results();
  Tickets();
  FormMain->ResToSGridRes();
  FormMain->TickToSGridTick();
  const struct {
    const char* name;
    TRichStringGrid* grid;
    TMenuItem *doc, *asc, *xls, *html;
    std::string stem;  // the file name offered, without its extension
    bool bareName;     // the statistics offer the name without an extension
    const char* ascii;
  } grids[] = {
      {"statistics", FormMain->SGrid, FormMain->mnuStatSaveToDoc, FormMain->mnuStatSaveToASCII,
       FormMain->mnuStatSaveToXLS, FormMain->mnuStatSaveToHTML, "Statistics", true,
       // Centred: padded in front, then behind, to the column's width.
       " год тираж Сумма Макс Мин Сред Отклонение \r\n"
       "2020   1     3     3   3    3       0     \r\n"
       "2020   2     4     4   3    4       0     \r\n"
       "2020   3     5     5   3    4       1     \r\n"
       "2020   4     5     5   3    4       1     \r\n"
       "2020   5     4     5   3    4       0     \r\n"},
      {"results", FormMain->SGridRes, FormMain->mnuResSaveToDoc, FormMain->mnuResSaveToASCII, FormMain->mnuResSaveToXLS,
       FormMain->mnuResSaveToHTML, "Results", false,
       "год  тираж P1 P2 P3 \r\n"
       "2002 1     5  17 33 \r\n"
       "2002 2     1  2  3  \r\n"
       "2002 3     40 44 49 \r\n"},
      {"tickets", FormMain->SGridTick, FormMain->mnuTickSaveToDoc, FormMain->mnuTickSaveToASCII,
       FormMain->mnuTickSaveToXLS, FormMain->mnuTickSaveToHTML, "Tickets", false,
       "год  тираж № P1 P2 P3 \r\n"
       "2002 24    1 7  8  9  \r\n"
       "2002 24    2 10 20 30 \r\n"},
  };
  std::string docs;
  for (const auto& g : grids) {
    SCOPED_TRACE(g.name);
    const std::string base = out + g.name;
    auto offered = [&](const char* ext) { return g.bareName ? g.stem : g.stem + "." + ext; };
    Export(g.doc, offered("doc").c_str(), "DOC Files|*.doc|All Files|*.*", "doc", base + ".doc");
    Export(g.asc, offered("asc").c_str(), "ASC Files|*.asc|All Files|*.*", "asc", base + ".asc");
    Export(g.xls, offered("xls").c_str(), "Excel Files|*.xls|All Files|*.*", "xls", base + ".xls");
    Export(g.html, offered("html").c_str(), "HTML Files|*.html|All Files|*.*", "html", base + ".html");

    EXPECT_EQ(vx::Cp1251ToUtf8(apptest::ReadFile(base + ".asc")), g.ascii);
    EXPECT_EQ(Peer("xmllint --html --noout " + base + ".html 2>&1"), "");
    std::string cells;
    std::istringstream lines(Peer(std::string(kGridPeers) + "html " + base + ".html"));
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::string r, c, align, bg, font, text;
      fields >> r >> c >> align >> bg >> font >> text;
      cells += r + " " + c + " " + text + "\n";
    }
    EXPECT_EQ(cells, HtmlCells(g.grid));
    EXPECT_EQ(Peer(std::string(kOfficePeers) + "xlrd " + base + ".xls"), XlsRows(g.grid));
    docs += " " + base + ".doc";
  }
  // LibreOffice reads the three documents in one run.
  Peer("soffice -env:UserInstallation=file://" + folder +
       "profile --headless --convert-to 'txt:Text (encoded):UTF8' "
       "--outdir " +
       out + "txt" + docs + " >/dev/null 2>&1");
  for (const auto& g : grids) {
    std::string text;
    for (char ch : vx::test::ReadWholeFile(out + "txt/" + g.name + ".txt"))
      if (ch != '\r') text += ch;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    while (text.size() > 1 && text.substr(text.size() - 2) == "\n\n") text.pop_back();
    EXPECT_EQ(text, TextLines(g.grid)) << g.name;
  }
  Stop();
}

// The HTML files used to declare no encoding, so that browsers and
// LibreOffice showed the CP1251 headings as garbage: each now says it is
// windows-1251 in a head of its own, and a reader that follows it gets
// every cell.
TEST_F(Exports, HtmlFilesDeclareTheirEncoding) {
  Statistics();
  Results();
  FormMain->ResToSGridRes();
  const std::string stat = out + "stat.html", res = out + "res.html";
  Export(FormMain->mnuStatSaveToHTML, "Statistics", "HTML Files|*.html|All Files|*.*", "html", stat);
  Export(FormMain->mnuResSaveToHTML, "Results.html", "HTML Files|*.html|All Files|*.*", "html", res);
  for (const auto& [file, grid] : {std::pair{stat, FormMain->SGrid}, std::pair{res, FormMain->SGridRes}}) {
    EXPECT_EQ(Peer("xmllint --html --noout " + file + " 2>&1"), "");
    std::string cells;
    std::istringstream lines(Peer(std::string(kGridPeers) + "declared " + file));
    std::string charset;
    std::getline(lines, charset);
    EXPECT_EQ(charset, "charset windows-1251") << file;
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::string r, c, align, bg, font, text;
      fields >> r >> c >> align >> bg >> font >> text;
      cells += r + " " + c + " " + text + "\n";
    }
    EXPECT_EQ(cells, HtmlCells(grid)) << file;
    const std::string html = vx::test::ReadWholeFile(file);
    EXPECT_EQ(html.rfind("<html><head><meta charset=\"windows-1251\"></head><body>\r\n<table ", 0), 0u) << file;
    const std::string end = "</table><p>\r\n</body></html>\r\n";
    EXPECT_EQ(html.substr(html.size() - end.size()), end) << file;
  }
  // LibreOffice follows the declaration too: the headings come out as they are.
  Peer("soffice -env:UserInstallation=file://" + folder +
       "profile --headless --convert-to 'txt:Text (encoded):UTF8' --outdir " + out + "txt " + stat + " " + res +
       " >/dev/null 2>&1");
  for (const char* name : {"stat", "res"}) {
    const std::string text = vx::test::ReadWholeFile(out + "txt/" + name + ".txt");
    EXPECT_NE(text.find("год"), std::string::npos) << name << ": " << text;
    EXPECT_NE(text.find("тираж"), std::string::npos) << name << ": " << text;
  }
  Stop();
}

TEST_F(Exports, PendingRecordPostedFirstAndClosedTablesIgnored) {
  // Closed tables: no dialog, no file.
  FormMain->mnuResSaveToASCII->Click();
  FormMain->mnuTickSaveToHTML->Click();
  FormMain->ExportTableGridToXLS(FormMain->TableRes, FormMain->SGridRes);

  Results();
  FormMain->TableRes->Last();
  FormMain->TableRes->Edit();
  FormMain->TableRes->Fields()[2]->SetAsInteger(41);
  Export(FormMain->mnuResSaveToASCII, "Results.asc", "ASC Files|*.asc|All Files|*.*", "asc", out + "r.asc");
  EXPECT_FALSE(IsEditState(FormMain->TableRes->State()));
  EXPECT_NE(std::string(apptest::ReadFile(out + "r.asc")).find("2002 3     41 44 49"), std::string::npos);
  // A file that cannot be written reaches the user as the grid's error.
  dialogs.Expect(vx::DialogKind::Save, "", [&](vx::DialogRequest& r) {
    dynamic_cast<TSaveDialog*>(r.Dialog)->SetFileName((out + "missing/r.asc").c_str());
    return 1;
  });
  try {
    FormMain->mnuResSaveToASCII->Click();
    ADD_FAILURE() << "no error";
  } catch (ERichGridError& e) { EXPECT_EQ(e.Message(), ("Cannot create file " + out + "missing/r.asc").c_str()); }
  // Cancelling writes nothing.
  dialogs.Expect(vx::DialogKind::Save, "", 0);
  FormMain->mnuStatSaveToHTML->Click();
  EXPECT_FALSE(FileExists((vx::ProgramFolder() + "Statistics.html").c_str()));
  Stop();
}

}  // namespace
