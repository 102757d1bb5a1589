// TPrinter: the job cycle on the recording back end, and real PDF files
// checked with poppler's pdfinfo and pdftotext.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "platform/gui/core/application.h"
#include "platform/gui/draw/gdi.h"
#include "platform/gui/draw/printers.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"

namespace {

class PrinterJob : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    previous = SetPrinter(&printer);
  }
  void TearDown() override { SetPrinter(previous == &printer ? nullptr : previous); }
  TPrinter printer;
  TPrinter* previous = nullptr;
};

TEST_F(PrinterJob, PagesGoToTheBackEndAndCallsOutOfOrderRaise) {
  auto backend = std::make_unique<vx::RecordingPrintBackend>();
  vx::RecordingPrintBackend* rec = backend.get();
  Printer()->SetBackend(std::move(backend));
  Printer()->SetTitle("Job");
  Printer()->SetOrientation(poLandscape);
  EXPECT_EQ(Printer()->PageWidth(), 7016);
  EXPECT_EQ(Printer()->PageHeight(), 4961);
  EXPECT_THROW(Printer()->NewPage(), EPrinter);
  Printer()->BeginDoc();
  EXPECT_TRUE(Printer()->Printing());
  EXPECT_THROW(Printer()->BeginDoc(), EPrinter);
  EXPECT_THROW(Printer()->SetOrientation(poPortrait), EPrinter);
  TCanvas* c = Printer()->Canvas();
  EXPECT_EQ(GetDeviceCaps(c->Handle(), LOGPIXELSY), 600);
  c->Font()->SetSize(10);
  EXPECT_EQ(c->Font()->Height(), -83);  // points at the printer's resolution
  SetMapMode(c->Handle(), MM_LOMETRIC);
  c->MoveTo(0, 0);
  c->LineTo(100, 0);
  Printer()->NewPage();
  EXPECT_EQ(Printer()->PageNumber(), 2);
  EXPECT_EQ(GetMapMode(c->Handle()), MM_TEXT);  // a new page starts in MM_TEXT
  Printer()->EndDoc();
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_THROW(Printer()->EndDoc(), EPrinter);
  const auto pages = rec->Pages();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0], std::vector<std::string>{"Line 0,0,236,0 pen=000000/2"});
  EXPECT_TRUE(pages[1].empty());
  EXPECT_EQ(rec->Title, "Job");
  EXPECT_EQ(rec->Orientation, poLandscape);
  EXPECT_EQ(rec->DocumentsEnded, 1);
}

std::string Pdf(const std::string& tool, const std::string& file) {
  int status = -1;
  const std::string out = vx::test::RunTool(tool + " '" + file + "' 2>&1", &status);
  EXPECT_EQ(status, 0) << tool << ": " << out;
  return out;
}

// Prints two pages: "Alpha" 20 mm from the left edge, then "Beta".
void PrintTwoPages(const std::string& file, TPrinterOrientation orientation) {
  Printer()->SetBackend(nullptr);
  Printer()->SetPrinterName("");
  Printer()->SetOutputFileName(file);
  Printer()->SetTitle("Two pages");
  Printer()->SetOrientation(orientation);
  Printer()->BeginDoc();
  TCanvas* c = Printer()->Canvas();
  c->SetMapMode(MM_LOMETRIC);
  c->Font()->SetName("Arial");
  c->Font()->SetHeight(-50);
  c->TextOut(200, -300, "Alpha");
  Printer()->NewPage();
  c->SetMapMode(MM_LOMETRIC);
  c->TextOut(200, -300, "Beta");
  Printer()->EndDoc();
}

TEST_F(PrinterJob, PdfHasTwoA4PagesAndTextWhereItWasPlaced) {
  vx::test::ScratchFolder dir;
  const std::string portrait = dir / "portrait.pdf", landscape = dir / "landscape.pdf";
  PrintTwoPages(portrait, poPortrait);
  PrintTwoPages(landscape, poLandscape);
  const std::string info = Pdf("pdfinfo", portrait);
  EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +2\n"))) << info;
  EXPECT_TRUE(std::regex_search(info, std::regex("Title: +Two pages\n"))) << info;
  EXPECT_TRUE(std::regex_search(info, std::regex("Page size: +595[.0-9]* x 842[.0-9]* pts \\(A4\\)"))) << info;
  const std::string info2 = Pdf("pdfinfo", landscape);
  EXPECT_TRUE(std::regex_search(info2, std::regex("Pages: +2\n"))) << info2;
  EXPECT_TRUE(std::regex_search(info2, std::regex("Page size: +842[.0-9]* x 595[.0-9]* pts \\(A4\\)"))) << info2;
  // 20 mm is 56.7 points.
  const std::string words = Pdf("pdftotext -bbox", portrait + "' '-");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(words, m, std::regex("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>Alpha</word>")))
      << words;
  EXPECT_NEAR(std::atof(m[1].str().c_str()), 56.7, 1.0);
  EXPECT_NEAR(std::atof(m[2].str().c_str()), 30 / 25.4 * 72, 4.0);  // top of the text 30 mm down
  EXPECT_NE(words.find(">Beta</word>"), std::string::npos);
}

TEST_F(PrinterJob, AbortDropsTheFile) {
  vx::test::ScratchFolder dir;
  const std::string file = dir / "dropped.pdf";
  Printer()->SetOutputFileName(file);
  Printer()->BeginDoc();
  Printer()->Canvas()->TextOut(10, 10, "x");
  Printer()->Abort();
  EXPECT_TRUE(Printer()->Aborted());
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(PrinterJob, AFileThatCannotBeWrittenRaises) {
  Printer()->SetOutputFileName("/nonexistent-folder/x.pdf");
  EXPECT_THROW(Printer()->BeginDoc(), EPrinter);
  EXPECT_FALSE(Printer()->Printing());
}

}  // namespace
