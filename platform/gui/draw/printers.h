// TPrinter: the class library's printer object (global Printer()).
//
// A print job is BeginDoc (page 1 opens), NewPage for each further page,
// EndDoc; Abort drops the job. Drawing goes to Canvas(), whose device pixels
// are the page's (PageWidth x PageHeight printable pixels at the back end's
// resolution). Each page starts with the canvas in MM_TEXT and no clipping.
//
// The pages go to a back end (vx::PrintBackend):
//   - a printer of the system chosen through the print dialog (Qt's print
//     support);
//   - otherwise a PDF file (600 dots per inch, A4, no margins), named by
//     OutputFileName or, when that is empty, after the title in the user's
//     documents folder;
//   - in tests, vx::RecordingPrintBackend, which keeps each page's calls.
// Outside a job Canvas() is the printer's information context: it draws
// nothing but measures text at the printer's resolution with the metrics
// its pages have, so pages can be laid out before a job starts.
// Errors (a file that cannot be written, a call out of order) raise EPrinter.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/draw/canvas.h"
#include "platform/rtl/sysutils.h"

class EPrinter : public Exception {
 public:
  using Exception::Exception;
};

enum TPrinterOrientation { poPortrait, poLandscape };

namespace vx {

class PrintBackend {
 public:
  virtual ~PrintBackend() = default;
  virtual int Dpi() const = 0;
  // The printable page in device pixels for that orientation.
  virtual TSize PageSize(TPrinterOrientation orientation) const = 0;
  // Opens the document and its first page; returns the page's device.
  virtual CanvasDevice* BeginDoc(const AnsiString& title, TPrinterOrientation orientation) = 0;
  // Closes the current page and opens the next; returns its device.
  virtual CanvasDevice* NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual void Abort() = 0;
  // A device that measures as the pages of that orientation do; what is
  // drawn on it goes nowhere. The back end owns it; asking for the other
  // orientation replaces it.
  virtual CanvasDevice* InfoDevice(TPrinterOrientation orientation) = 0;
};

// A4 pages at 600 dots per inch into a PDF file.
std::unique_ptr<PrintBackend> MakePdfPrintBackend(const AnsiString& fileName);
// A printer of the system by name (as Qt's print support lists it).
std::unique_ptr<PrintBackend> MakeSystemPrintBackend(const AnsiString& printerName);

// Keeps every page as the lines of a vx::RecordingDevice (600 dots per inch,
// A4 sized unless told otherwise).
class RecordingPrintBackend : public PrintBackend {
 public:
  explicit RecordingPrintBackend(int dpi = 600, TSize portraitPage = TSize{4961, 7016});
  ~RecordingPrintBackend() override;
  int Dpi() const override { return dpi_; }
  TSize PageSize(TPrinterOrientation orientation) const override;
  CanvasDevice* BeginDoc(const AnsiString& title, TPrinterOrientation orientation) override;
  CanvasDevice* NewPage() override;
  void EndDoc() override;
  void Abort() override;
  // A recording device of the page's size; its calls show what was drawn
  // outside a job.
  CanvasDevice* InfoDevice(TPrinterOrientation orientation) override;
  RecordingDevice* LastInfoDevice() const { return info_.get(); }

  // The calls of each page of the last document.
  std::vector<std::vector<std::string>> Pages() const;
  AnsiString Title;
  TPrinterOrientation Orientation = poPortrait;
  int DocumentsEnded = 0;
  bool Aborted = false;

 private:
  int dpi_;
  TSize page_;
  std::vector<std::unique_ptr<RecordingDevice>> pages_;
  std::unique_ptr<RecordingDevice> info_;
  TPrinterOrientation infoOrientation_ = poPortrait;
};

}  // namespace vx

class TPrinter {
 public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  void BeginDoc();
  void NewPage();
  void EndDoc();
  void Abort();
  bool Printing() const { return printing_; }
  bool Aborted() const { return aborted_; }
  // The page being drawn, from 1.
  int PageNumber() const { return pageNumber_; }
  int PageWidth();
  int PageHeight();
  TPrinterOrientation Orientation() const { return orientation_; }
  // Raises EPrinter while printing.
  void SetOrientation(TPrinterOrientation v);
  const AnsiString& Title() const { return title_; }
  void SetTitle(const AnsiString& v) { title_ = v; }
  // The page being drawn while printing, else the information context.
  TCanvas* Canvas();

  // Printers of the system; PrinterIndex -1 is "no printer" (PDF).
  TStrings* Printers();
  int PrinterIndex() const { return printerIndex_; }
  void SetPrinterIndex(int v);
  // Our own helpers: the printer by name ("" for PDF), the PDF file, and
  // a back end of the caller's (tests).
  void SetPrinterName(const AnsiString& name);
  const AnsiString& OutputFileName() const { return outputFileName_; }
  void SetOutputFileName(const AnsiString& v) { outputFileName_ = v; }
  void SetBackend(std::unique_ptr<vx::PrintBackend> backend);
  vx::PrintBackend* Backend();

 private:
  void CheckPrinting(bool printing) const;
  // Takes the canvas off the back end's devices before they go.
  void DetachCanvas();
  std::unique_ptr<vx::PrintBackend> backend_;
  bool ownBackendChoice_ = true;  // false once a back end was handed in
  std::unique_ptr<TCanvas> canvas_;
  std::unique_ptr<TStringList> printers_;
  AnsiString title_, outputFileName_, printerName_;
  TPrinterOrientation orientation_ = poPortrait;
  int printerIndex_ = -1;
  int pageNumber_ = 0;
  bool printing_ = false, aborted_ = false;
};

// The printer object in use; SetPrinter installs another (tests) and returns
// the previous one; nullptr goes back to the program's own.
TPrinter* Printer();
TPrinter* SetPrinter(TPrinter* printer);
