// Printing and preview through Qt: the application's statistics and results
// grids printed to PDF files and checked with poppler (pdfinfo, pdftotext
// -layout and -bbox), page 1 of each rendered by pdftoppm into a PNG kept in
// testdata/richgrid (print_statistics.png, print_results.png); a preview
// page drawn into a screen-resolution image (preview_page2.png).
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "grid_print_support.h"
#include "platform/gui/draw/bitmap.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/rtl/dateutils.h"
#include "tests/support/run_tool.h"

namespace {

using namespace richgridtest;

const std::filesystem::path& OutDir() {
  static const std::filesystem::path dir = [] {
    const auto d = std::filesystem::path(VX_BINARY_DIR) / "testdata" / "richgrid";
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

std::string Tool(const std::string& command) {
  int status = -1;
  const std::string out = vx::test::RunTool(command + " 2>&1", &status);
  EXPECT_EQ(status, 0) << command << ": " << out;
  return out;
}

std::vector<std::string> PdfPages(const std::string& file) {
  const std::string text = Tool("pdftotext -layout '" + file + "' -");
  std::vector<std::string> pages;
  std::stringstream in(text);
  std::string page;
  while (std::getline(in, page, '\f'))
    if (!page.empty() && page != "\n") pages.push_back(page);
  return pages;
}

int PdfPageCount(const std::string& file) {
  std::smatch m;
  const std::string info = Tool("pdfinfo '" + file + "'");
  return std::regex_search(info, m, std::regex("Pages: +([0-9]+)")) ? std::stoi(m[1]) : -1;
}

// The box of the first word on page 1 equal to `word`, in points.
struct Box {
  double xMin = -1, yMin = -1;
};
Box WordBox(const std::string& file, const std::string& word) {
  const std::string words = Tool("pdftotext -f 1 -l 1 -bbox '" + file + "' -");
  std::smatch m;
  const std::regex re("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>" + word + "</word>");
  if (!std::regex_search(words, m, re)) return Box{};
  return Box{std::atof(m[1].str().c_str()), std::atof(m[2].str().c_str())};
}

double Points(int tenthsOfMm) { return tenthsOfMm / 254.0 * 72.0; }

void RenderFirstPage(const std::string& pdf, const std::string& png) {
  const std::filesystem::path base = OutDir() / png;
  Tool("pdftoppm -r 60 -png -f 1 -l 1 -singlefile '" + pdf + "' '" + (OutDir() / base.stem()).string() + "'");
  EXPECT_TRUE(std::filesystem::exists(base)) << base;
}

class GridPrintOutput : public RichGridTest {
 protected:
  void SetUp() override {
    RichGridTest::SetUp();
    previous_ = SetPrinter(&printer_);
    printer_.SetBackend(nullptr);
    printer_.SetPrinterName("");
    vx::SetClock([] { return EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 0, 0); });
  }
  void TearDown() override {
    vx::SetClock({});
    SetPrinter(previous_ == &printer_ ? nullptr : previous_);
  }
  // Prints g into a PDF; returns the page count OnPrintStart was given.
  int PrintTo(TRichStringGrid& g, const std::string& file) {
    printer_.SetOutputFileName(file);
    int offered = -1;
    g.OnPrintStart = [&](TObject*, int pages, int&, int&) { offered = pages; };
    g.Print();
    return offered;
  }
  TPrinter printer_;
  TPrinter* previous_ = nullptr;
};

// The pairs statistic: a 50 x 50 matrix with a fixed heading row and column,
// every cell centred; too wide for one page, so it prints in bands with
// the heading column repeated.
TEST_F(GridPrintOutput, TheStatisticsGridPrintsInBandsOnA4) {
  Grid g;
  g.SetColCount(50);
  g.SetRowCount(50);
  g.SetFixedRows(1);
  g.SetFixedCols(1);
  g.SetCells(0, 0, "№/№"_cp);
  for (int c = 1; c < 50; ++c) {
    g.SetCells(c, 0, IntToStr(c));
    g.SetCells(0, c, IntToStr(c));
    for (int r = 1; r < 50; ++r) g.SetCells(c, r, r == c ? AnsiString("X") : IntToStr((r * 7 + c * 3) % 40));
  }
  g.OnGetAlignment = [](TObject*, int, int, TAlignment& a) { a = taCenter; };
  TPrintsettings* ps = g.PrintSettings();
  ps->Font()->SetName("Arial");
  ps->Font()->SetSize(10);
  ps->HeaderFont()->SetName("Arial");
  ps->HeaderFont()->SetSize(14);
  ps->FooterFont()->SetName("Arial");
  ps->FooterFont()->SetSize(9);
  ps->SetLeftSize(200);
  ps->SetRightSize(100);
  ps->SetHeaderSize(150);
  ps->SetFooterSize(100);
  ps->SetColumnSpacing(20);
  ps->SetRowSpacing(20);
  ps->SetTitleSpacing(50);
  ps->SetTitle(ppTopLeft);
  ps->SetTitleText("Статистика"_cp);
  ps->SetDate(ppBottomLeft);
  ps->SetDateFormat("dd.mm.yyyy");
  ps->SetPageNr(ppBottomRight);
  ps->SetBorders(pbSingle);
  ps->SetRepeatFixedCols(true);
  ps->SetRepeatFixedRows(true);
  ps->SetJobName("Statistics");

  const std::string file = (OutDir() / "print_statistics.pdf").string();
  const int pages = PrintTo(g, file);
  ASSERT_GT(pages, 1);
  EXPECT_EQ(PdfPageCount(file), pages);
  const std::string info = Tool("pdfinfo '" + file + "'");
  EXPECT_TRUE(std::regex_search(info, std::regex("Page size: +595[.0-9]* x 84[12][.0-9]* pts \\(A4\\)"))) << info;

  // Every page has the title, the date and its number row page - band;
  // every band's pages begin with the heading row and column.
  const std::vector<std::string> texts = PdfPages(file);
  ASSERT_EQ(static_cast<int>(texts.size()), pages);
  int band = 1, rowPage = 0;
  for (int p = 0; p < pages; ++p) {
    const std::string& t = texts[static_cast<std::size_t>(p)];
    EXPECT_NE(t.find("Статистика"), std::string::npos) << p;
    EXPECT_NE(t.find("05.03.2024"), std::string::npos) << p;
    const std::string next = std::to_string(rowPage + 2) + "-" + std::to_string(band);
    const std::string firstOfNextBand = "1-" + std::to_string(band + 1);
    if (std::regex_search(t, std::regex("\\s" + next + "\\s"))) ++rowPage;
    else if (std::regex_search(t, std::regex("\\s" + firstOfNextBand + "\\s"))) ++band, rowPage = 0;
    else EXPECT_TRUE(std::regex_search(t, std::regex("\\s1-1\\s")) && p == 0) << "page " << p + 1 << ":\n" << t;
    EXPECT_NE(t.find(rowPage == 0 ? "№/№" : "49"), std::string::npos) << p;
  }
  EXPECT_GT(band, 1);

  // The title's left edge lies at the left margin and its top at the
  // header size, within half a millimetre.
  const Box title = WordBox(file, "Статистика");
  EXPECT_NEAR(title.xMin, Points(200), Points(5));
  EXPECT_NEAR(title.yMin, Points(150), Points(5));
  RenderFirstPage(file, "print_statistics.png");
}

// The results base as the hidden grid carries it: 2,000 draws of 6 numbers
// with the screen's column widths, centred on a landscape page, the heading
// row on every page.
TEST_F(GridPrintOutput, TheResultsGridPrintsEveryRowOnceInLandscape) {
  constexpr int kRows = 2000;
  Grid g;
  g.SetColCount(8);
  g.SetRowCount(kRows + 1);
  g.SetFixedRows(1);
  const AnsiString headings[] = {"год"_cp, "тираж"_cp, "P1", "P2", "P3", "P4", "P5", "P6"};
  for (int c = 0; c < 8; ++c) {
    g.SetCells(c, 0, headings[c]);
    g.SetColWidths(c, c == 0 ? 35 : c == 1 ? 65 : 35);
  }
  for (int r = 1; r <= kRows; ++r) {
    g.SetCells(0, r, "2024");
    g.SetCells(1, r, IntToStr(r));
    for (int c = 2; c < 8; ++c) g.SetCells(c, r, IntToStr((r * 11 + c * 7) % 49 + 1));
  }
  TPrintsettings* ps = g.PrintSettings();
  for (TFont* f : {ps->Font(), ps->HeaderFont(), ps->FooterFont()}) {
    f->SetName("Arial");
    f->SetSize(10);
  }
  ps->SetOrientation(poLandscape);
  ps->SetNoAutoSize(true);
  ps->SetCentered(true);
  ps->SetLeftSize(150);
  ps->SetRightSize(100);
  ps->SetHeaderSize(120);
  ps->SetFooterSize(100);
  ps->SetRowSpacing(10);
  ps->SetTitle(ppTopLeft);
  ps->SetTitleText("Results");
  ps->SetPageNr(ppBottomCenter);
  ps->SetPagePrefix("Page");
  ps->SetRepeatFixedRows(true);
  ps->SetBorders(pbAround);

  const std::string file = (OutDir() / "print_results.pdf").string();
  const int pages = PrintTo(g, file);
  ASSERT_GT(pages, 20);
  EXPECT_EQ(PdfPageCount(file), pages);
  const std::string info = Tool("pdfinfo '" + file + "'");
  EXPECT_TRUE(std::regex_search(info, std::regex("Page size: +84[12][.0-9]* x 595[.0-9]* pts \\(A4\\)"))) << info;

  // Each draw number once, in order, under a heading on every page.
  const std::vector<std::string> texts = PdfPages(file);
  ASSERT_EQ(static_cast<int>(texts.size()), pages);
  const std::regex row("(?:^|\\n) *2024 +([0-9]+) ");
  int expected = 1;
  for (int p = 0; p < pages; ++p) {
    const std::string& t = texts[static_cast<std::size_t>(p)];
    EXPECT_NE(t.find("тираж"), std::string::npos) << p;
    EXPECT_NE(t.find("Page " + std::to_string(p + 1) + "/" + std::to_string(pages)), std::string::npos) << p;
    for (auto it = std::sregex_iterator(t.begin(), t.end(), row); it != std::sregex_iterator(); ++it)
      if (std::stoi((*it)[1]) == expected) ++expected;
      else ADD_FAILURE() << "page " << p + 1 << ": draw " << (*it)[1] << " where " << expected << " was due";
  }
  EXPECT_EQ(expected, kRows + 1);

  const Box title = WordBox(file, "Results");
  EXPECT_NEAR(title.xMin, Points(150), Points(5));
  EXPECT_NEAR(title.yMin, Points(120), Points(5));
  RenderFirstPage(file, "print_results.png");
}

// A preview page drawn at screen resolution: an A4-shaped image of
// 794 x 1123 pixels is a page of 2101 x 2971 tenths of a millimetre, with
// the text at its printed size where the margins put it. Printing in
// between leaves the preview on its page.
TEST_F(GridPrintOutput, ThePreviewDrawsItsPageAtScreenResolution) {
  Grid g;
  Fill(g, 6, 200);
  g.SetFixedRows(1);
  TPrintsettings* ps = g.PrintSettings();
  PlainSettings(ps);
  ps->SetLeftSize(200);
  ps->SetPageNr(ppBottomRight);
  ps->SetRepeatFixedRows(true);
  auto draw = [&](int page) {
    TBitmap image(794, 1123);
    image.Canvas()->Brush()->SetColor(clWhite);
    image.Canvas()->FillRect(TRect{0, 0, 794, 1123});
    g.SetPreviewPage(page);
    g.PrintPreview(image.Canvas(), TRect{0, 0, 794, 1123});
    return image.Data().image.copy();
  };
  const QImage page2 = draw(2);
  page2.save(QString::fromStdString((OutDir() / "preview_page2.png").string()));

  // The ink: its left edge is the first column's text (200 + 2 + aWidth),
  // its right edge the page number's, whose text with its trailing blank
  // ends at 2101 - 20 - 100, in pixels.
  int left = page2.width(), right = -1, bottom = -1;
  for (int y = 0; y < page2.height(); ++y)
    for (int x = 0; x < page2.width(); ++x)
      if (qGray(page2.pixel(x, y)) < 128) {
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
      }
  const double pixels = 96.0 / 254.0;
  EXPECT_NEAR(left, (200 + 2 + 20) * pixels, 4);
  EXPECT_LE(right, (2101 - 20 - 100) * pixels);
  EXPECT_GE(right, (2101 - 20 - 100) * pixels - 10);
  // The footer's text lies above the bottom margin.
  EXPECT_LE(bottom, 1123 - 100 * pixels);
  EXPECT_GE(bottom, 1123 - (100 + 5 + 60) * pixels);

  EXPECT_NE(draw(1), page2);
  g.SetPreviewPage(2);
  {
    // Another printer of the same kind: the preview lays its pages out on
    // the printer's information context.
    const std::string file = (OutDir() / "print_between_previews.pdf").string();
    TPrinter pdf;
    pdf.SetBackend(vx::MakePdfPrintBackend(file.c_str()));
    TPrinter* previous = SetPrinter(&pdf);
    g.Print();
    SetPrinter(previous == &pdf ? nullptr : previous);
    EXPECT_GT(PdfPageCount(file), 2);
  }
  EXPECT_EQ(g.PrintPageFrom(), 2);
  TBitmap again(794, 1123);
  again.Canvas()->Brush()->SetColor(clWhite);
  again.Canvas()->FillRect(TRect{0, 0, 794, 1123});
  g.PrintPreview(again.Canvas(), TRect{0, 0, 794, 1123});
  EXPECT_EQ(again.Data().image, page2);
}

}  // namespace
