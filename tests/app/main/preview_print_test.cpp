// Preview and printing of the main window's grids: the preview window's
// paging against a recording printer (the page shown survives printing, a
// cancelled print dialog and the print settings; printing always gives
// every page), and a statistic over 1,000 draws exported, previewed and
// printed to a PDF whose page count pdfinfo reads.
#include <QImage>
#include <filesystem>
#include <regex>
#include <set>

#include "RichGrid/spin_edit.h"
#include "app/windows/page_preview.h"
#include "draw_fixture.h"
#include "platform/rtl/dateutils.h"
#include "platform/gui/draw/qt_bridge.h"
#include "tests/RichGrid/grid_print_support.h"

namespace {

using richgridtest::RecordedTexts;

class PreviewPrint : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
  }
  // Paints the window's page on a recording device and returns its calls.
  static std::vector<std::string> Paint(TfrmPagePreview& w) {
    vx::RecordingDevice device(96, w.PaintBox1->ClientRect());
    w.PaintBox1->PaintTo(&device);
    return device.Calls;
  }
  static std::set<std::string> Texts(const std::vector<std::string>& calls) {
    std::set<std::string> texts;
    for (const auto& t : RecordedTexts(calls)) texts.insert(t.text);
    return texts;
  }
  // The sums of every draw of a 1,000-draw base in the statistics grid.
  TRichStringGrid* SumsOfAThousandDraws() {
    apptest::OpenThousandDraws(dialogs, folder, 2000, 1);
    FormMain->rbtnAmounts->SetChecked(true);
    FormMain->btnCalculateStat->Click();
    return FormMain->SGrid;
  }
  // The print dialog: checks the range offered and answers.
  void ExpectPrintDialog(int* offeredTo, int answer) {
    dialogs.Expect(vx::DialogKind::Print, "", [offeredTo, answer](vx::DialogRequest& r) {
      auto* d = dynamic_cast<TPrintDialog*>(r.Dialog);
      EXPECT_TRUE(d->Options().Contains(poPageNums));
      EXPECT_EQ(d->FromPage(), 1);
      EXPECT_EQ(d->MinPage(), 1);
      EXPECT_EQ(d->MaxPage(), d->ToPage());
      *offeredTo = d->ToPage();
      return answer;
    });
  }
};

TEST_F(PreviewPrint, PagingAgainstARecordingPrinter) {
  ASSERT_TRUE(FormMain->OpenTempResults(6));
  for (int d = 1; d <= 150; ++d) FormMain->AppendResult(2002, 1000 + d, {1, 2, 3, 4, 5, d % 49 + 1});
  FormMain->TableRes->Post();
  TRichStringGrid* grid = FormMain->SGridRes;
  grid->SetPreviewPage(7);
  richgridtest::RecordingPrinter printer(2100, 2970);

  dialogs.Expect(vx::DialogKind::Modal, "Print preview", [&](vx::DialogRequest& r) {
    auto& w = *dynamic_cast<TfrmPagePreview*>(r.Form);
    // The grid was refilled and set up before the window showed.
    EXPECT_EQ(grid->RowCount(), 151);
    EXPECT_EQ(grid->ColWidths(0), FormMain->DBGridRes->Columns()->Items(0)->Width());
    EXPECT_TRUE(grid->PrintSettings()->NoAutoSize());
    EXPECT_TRUE(grid->PrintSettings()->Centered());
    EXPECT_EQ(grid->PrintSettings()->HeaderSize(), 150);

    EXPECT_EQ(w.Label1->Caption(), "Page : 1");
    w.Button3->Click();  // P&rev on page 1
    EXPECT_EQ(w.Label1->Caption(), "Page : 1");
    const std::vector<std::string> page1 = Paint(w);
    EXPECT_TRUE(Texts(page1).count("1001"));
    w.Button2->Click();
    EXPECT_EQ(w.Label1->Caption(), "Page : 2");
    const std::vector<std::string> page2 = Paint(w);
    const std::set<std::string> texts2 = Texts(page2);
    EXPECT_FALSE(texts2.count("1001"));
    EXPECT_FALSE(texts2.empty());

    // Printing gives every page; the preview stays on page 2.
    int pages = 0;
    ExpectPrintDialog(&pages, 1);
    w.btnPrint->Click();
    EXPECT_GT(pages, 2);
    EXPECT_EQ(static_cast<int>(printer.Pages().size()), pages);
    EXPECT_EQ(Paint(w), page2);

    // A cancelled print dialog prints nothing and changes nothing.
    ExpectPrintDialog(&pages, 0);
    w.btnPrint->Click();
    EXPECT_EQ(printer.Backend()->DocumentsEnded, 1);
    EXPECT_EQ(Paint(w), page2);

    // The print settings, with their sketch drawn: the margin chosen
    // holds in the preview, and printing still gives every page.
    dialogs.Expect(vx::DialogKind::Modal, "Print Settings", [&](vx::DialogRequest& s) {
      auto& f = *dynamic_cast<TRichGridPrintSettingsForm*>(s.Form);
      vx::RecordingDevice sketch(96, f.pbSketch->ClientRect());
      f.pbSketch->PaintTo(&sketch);
      EXPECT_TRUE(Texts(sketch.Calls).count("1001"));
      f.seTop->SetText("30");
      return mrOk;
    });
    w.btnPrintSettings->Click();
    EXPECT_EQ(grid->PrintSettings()->HeaderSize(), 300);
    const std::vector<std::string> moved = Paint(w);
    EXPECT_EQ(grid->PrintSettings()->HeaderSize(), 300);
    EXPECT_NE(moved, page2);
    EXPECT_EQ(w.Label1->Caption(), "Page : 2");
    ExpectPrintDialog(&pages, 1);
    w.btnPrint->Click();
    EXPECT_GT(pages, 2);
    EXPECT_EQ(static_cast<int>(printer.Pages().size()), pages);
    EXPECT_EQ(printer.Backend()->DocumentsEnded, 2);

    // Past the last page: an empty page.
    for (int p = 3; p <= 60; ++p) w.Button2->Click();
    EXPECT_EQ(w.Label1->Caption(), "Page : 60");
    EXPECT_TRUE(Texts(Paint(w)).empty());
    w.btnClose->Click();
    return w.ModalResult();
  });
  FormMain->btnResPreview->Click();
  Stop();
}

// The end of the road: a statistic over 1,000 draws exported to .xls and
// .html and printed to PDF from its preview, whose page count is the
// preview's.
TEST_F(PreviewPrint, StatisticsOfAThousandDrawsExportedPreviewedAndPrintedToPdf) {
  TRichStringGrid* grid = SumsOfAThousandDraws();
  ASSERT_EQ(grid->RowCount(), 1001);

  const std::string xls = folder + "stat.xls", html = folder + "stat.html";
  dialogs.ExpectFile(vx::DialogKind::Save, xls.c_str());
  FormMain->mnuStatSaveToXLS->Click();
  dialogs.ExpectFile(vx::DialogKind::Save, html.c_str());
  FormMain->mnuStatSaveToHTML->Click();
  const std::string rows = apptest::RunPython(folder,
                                              "import sys,xlrd\n"
                                              "s=xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
                                              "print(s.nrows,s.ncols,s.cell_value(0,2),s.cell_value(1000,0))\n",
                                              xls);
  EXPECT_EQ(rows, "1001 7 Сумма 2009.0\n");
  int status = -1;
  EXPECT_EQ(vx::test::RunTool("xmllint --html --noout " + html + " 2>&1", &status), "");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(apptest::RunPython(folder,
                               "import sys,html.parser\n"
                               "class P(html.parser.HTMLParser):\n"
                               "  rows=0;cells=0\n"
                               "  def handle_starttag(self,t,a):\n"
                               "    if t=='tr': self.rows+=1\n"
                               "    if t=='td': self.cells+=1\n"
                               "p=P();p.feed(open(sys.argv[1],encoding='cp1251').read())\n"
                               "print(p.rows,p.cells)\n",
                               html),
            "1001 7007\n");

  const std::string pdf = folder + "statistics.pdf";
  TPrinter pdfPrinter;
  pdfPrinter.SetBackend(vx::MakePdfPrintBackend(pdf.c_str()));
  TPrinter* previous = SetPrinter(&pdfPrinter);
  int previewPages = 0, printed = 0;
  dialogs.Expect(vx::DialogKind::Modal, "Print preview", [&](vx::DialogRequest& r) {
    auto& w = *dynamic_cast<TfrmPagePreview*>(r.Form);
    // The paint box is an A4 page at the screen's 96 dots per inch.
    w.SetClientWidth(794);
    w.SetClientHeight(w.Panel1->Height() + 1123);
    EXPECT_EQ(w.PaintBox1->ClientRect(), (TRect{0, 0, 794, 1123}));
    // Pages until one comes out blank.
    for (int p = 1; p < 100; ++p, w.Button2->Click()) {
      QImage image(794, 1123, QImage::Format_RGB32);
      image.fill(Qt::white);
      {
        vx::QtPainterDevice device(&image);
        w.PaintBox1->PaintTo(&device);
      }
      if (p == 2) image.save(QString::fromStdString(folder + "preview_page2.png"));
      bool ink = false;
      for (int y = 0; y < image.height() && !ink; ++y)
        for (int x = 0; x < image.width() && !ink; ++x) ink = qGray(image.pixel(x, y)) < 128;
      if (!ink) break;
      previewPages = p;
    }
    ExpectPrintDialog(&printed, 1);
    w.btnPrint->Click();
    return mrCancel;
  });
  FormMain->btnStatPreview->Click();
  SetPrinter(previous);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  std::smatch m;
  const std::string info = vx::test::RunTool("pdfinfo " + pdf);
  ASSERT_TRUE(std::regex_search(info, m, std::regex("Pages: +([0-9]+)"))) << info;
  EXPECT_GT(previewPages, 10);
  EXPECT_EQ(std::stoi(m[1]), previewPages);
  EXPECT_EQ(printed, previewPages);
  Stop();
}

// The preview of the 1,000-row sums table, in the window as it opens, used
// to count its pages on a page of the paint box's size ("3/24" while the
// print dialog offered 15), and the printed date stood at the paper's very
// left edge. The preview's last page is the printer's now, and the headers
// and footers keep inside the margins.
TEST_F(PreviewPrint, ThePreviewCountsThePagesThePrinterPrints) {
  TRichStringGrid* grid = SumsOfAThousandDraws();
  ASSERT_EQ(grid->RowCount(), 1001);
  TPrintsettings* ps = grid->PrintSettings();
  ps->SetDate(ppTopLeft);
  ps->SetPageNr(ppBottomRight);
  richgridtest::RecordingPrinter printer(2100, 2970);
  dialogs.Expect(vx::DialogKind::Modal, "Print preview", [&](vx::DialogRequest& r) {
    auto& w = *dynamic_cast<TfrmPagePreview*>(r.Form);
    int offered = 0;
    ExpectPrintDialog(&offered, 1);
    w.btnPrint->Click();
    EXPECT_GT(offered, 5);
    const std::string last = "  " + std::to_string(offered) + "/" + std::to_string(offered) + " ";
    for (int p = 1; p < offered; ++p) w.Button2->Click();
    EXPECT_EQ(w.Label1->Caption(), ("Page : " + std::to_string(offered)).c_str());
    EXPECT_TRUE(Texts(Paint(w)).count(last)) << "the preview's last page is numbered " << last;
    w.Button2->Click();
    EXPECT_TRUE(Texts(Paint(w)).empty()) << "nothing past the printer's last page";
    // On paper: the date 10 mm in from the left edge, the page number
    // inside the right margin, the footer above the bottom margin.
    const auto texts = printer.PageTexts(0);
    const std::string date = std::string(FormatDateTime("dd/mm/yyyy", Now())) + " ";
    const richgridtest::TextAt at = richgridtest::Find(texts, date);
    EXPECT_EQ(at.x, 100) << "the date";
    const richgridtest::TextAt number = richgridtest::Find(texts, "  1/" + std::to_string(offered) + " ");
    EXPECT_NE(number.x, -1);
    EXPECT_LE(number.x + 100, 2100 - 100);
    EXPECT_GT(number.y, -2970 + 100);
    w.btnClose->Click();
    return w.ModalResult();
  });
  FormMain->btnStatPreview->Click();
  Stop();
}

}  // namespace
