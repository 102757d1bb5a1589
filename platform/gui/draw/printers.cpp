#include "platform/gui/draw/printers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/rtl/stringlist.h"

namespace vx {

namespace {

QPageLayout::Orientation ToQt(TPrinterOrientation o) {
  return o == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// Pages on a Qt paged device (a PDF writer or a printer), drawn through one
// painter that lives from BeginDoc to EndDoc.
class QtPagedBackend : public PrintBackend {
 public:
  int Dpi() const override { return kDpi; }

  TSize PageSize(TPrinterOrientation orientation) const override {
    const QPageLayout layout(QPageSize(QPageSize::A4), ToQt(orientation), QMarginsF(0, 0, 0, 0));
    const QRect r = layout.paintRectPixels(kDpi);
    return TSize{r.width(), r.height()};
  }

  CanvasDevice* BeginDoc(const AnsiString& title, TPrinterOrientation orientation) override {
    device_ = Open(title, orientation);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(device_.get())) {
      painter_.reset();
      device_.reset();
      throw EPrinter("Cannot start printing to " + Target());
    }
    canvasDevice_ = std::make_unique<QtPainterDevice>(painter_.get(), kDpi);
    return canvasDevice_.get();
  }

  CanvasDevice* NewPage() override {
    if (canvasDevice_) canvasDevice_->FlushText();
    if (!device_ || !device_->newPage()) throw EPrinter("Cannot start a new page on " + Target());
    return canvasDevice_.get();
  }

  void EndDoc() override {
    if (canvasDevice_) canvasDevice_->FlushText();
    const bool ok = painter_ && painter_->end();
    Close();
    if (!ok) throw EPrinter("Printing to " + Target() + " failed");
  }

  void Abort() override {
    if (painter_) painter_->end();
    Close();
    Discard();
  }

  CanvasDevice* InfoDevice(TPrinterOrientation orientation) override {
    if (!info_ || infoOrientation_ != orientation) {
      info_.reset();
      info_ = std::make_unique<InfoSurface>(orientation);
      infoOrientation_ = orientation;
    }
    return info_->device.get();
  }

 protected:
  static constexpr int kDpi = 600;
  virtual std::unique_ptr<QPagedPaintDevice> Open(const AnsiString& title, TPrinterOrientation orientation) = 0;
  virtual AnsiString Target() const = 0;
  virtual void Discard() {}

 private:
  void Close() {
    canvasDevice_.reset();
    painter_.reset();
    device_.reset();
  }
  // A PDF page in memory that is never kept: the same kind of surface as
  // the pages, so text measures there as it will on paper.
  struct InfoSurface {
    explicit InfoSurface(TPrinterOrientation orientation) : writer(&buffer) {
      buffer.open(QIODevice::WriteOnly);
      writer.setResolution(kDpi);
      writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), ToQt(orientation), QMarginsF(0, 0, 0, 0)));
      painter.begin(&writer);
      device = std::make_unique<QtPainterDevice>(&painter, kDpi);
    }
    ~InfoSurface() {
      device.reset();
      if (painter.isActive()) painter.end();
    }
    QBuffer buffer;
    QPdfWriter writer;
    QPainter painter;
    std::unique_ptr<QtPainterDevice> device;
  };

  std::unique_ptr<QPagedPaintDevice> device_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<QtPainterDevice> canvasDevice_;
  std::unique_ptr<InfoSurface> info_;
  TPrinterOrientation infoOrientation_ = poPortrait;
};

class PdfBackend : public QtPagedBackend {
 public:
  explicit PdfBackend(const AnsiString& fileName) : fileName_(fileName) {}

 protected:
  std::unique_ptr<QPagedPaintDevice> Open(const AnsiString& title, TPrinterOrientation orientation) override {
    auto writer = std::make_unique<QPdfWriter>(ToQString(fileName_));
    writer->setResolution(kDpi);
    writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), ToQt(orientation), QMarginsF(0, 0, 0, 0)));
    writer->setTitle(ToQString(title));
    writer->setCreator(QStringLiteral("Vexamund"));
    return writer;
  }
  AnsiString Target() const override { return fileName_; }
  void Discard() override { QFile::remove(ToQString(fileName_)); }

 private:
  AnsiString fileName_;
};

class SystemBackend : public QtPagedBackend {
 public:
  explicit SystemBackend(const AnsiString& name) : name_(name) {}

 protected:
  std::unique_ptr<QPagedPaintDevice> Open(const AnsiString& title, TPrinterOrientation orientation) override {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPrinterName(ToQString(name_));
    printer->setResolution(kDpi);
    printer->setPageOrientation(ToQt(orientation));
    printer->setDocName(ToQString(title));
    return printer;
  }
  AnsiString Target() const override { return name_; }

 private:
  AnsiString name_;
};

}  // namespace

std::unique_ptr<PrintBackend> MakePdfPrintBackend(const AnsiString& fileName) {
  return std::make_unique<PdfBackend>(fileName);
}

std::unique_ptr<PrintBackend> MakeSystemPrintBackend(const AnsiString& printerName) {
  return std::make_unique<SystemBackend>(printerName);
}

// ---------------------------------------------------------------------------

RecordingPrintBackend::RecordingPrintBackend(int dpi, TSize portraitPage) : dpi_(dpi), page_(portraitPage) {}

RecordingPrintBackend::~RecordingPrintBackend() = default;

TSize RecordingPrintBackend::PageSize(TPrinterOrientation orientation) const {
  return orientation == poLandscape ? TSize{page_.cy, page_.cx} : page_;
}

CanvasDevice* RecordingPrintBackend::BeginDoc(const AnsiString& title, TPrinterOrientation orientation) {
  Title = title;
  Orientation = orientation;
  Aborted = false;
  pages_.clear();
  return NewPage();
}

CanvasDevice* RecordingPrintBackend::NewPage() {
  const TSize s = PageSize(Orientation);
  pages_.push_back(std::make_unique<RecordingDevice>(dpi_, TRect{0, 0, s.cx, s.cy}));
  return pages_.back().get();
}

void RecordingPrintBackend::EndDoc() { ++DocumentsEnded; }

void RecordingPrintBackend::Abort() { Aborted = true; }

CanvasDevice* RecordingPrintBackend::InfoDevice(TPrinterOrientation orientation) {
  if (!info_ || infoOrientation_ != orientation) {
    const TSize s = PageSize(orientation);
    info_ = std::make_unique<RecordingDevice>(dpi_, TRect{0, 0, s.cx, s.cy});
    infoOrientation_ = orientation;
  }
  return info_.get();
}

std::vector<std::vector<std::string>> RecordingPrintBackend::Pages() const {
  std::vector<std::vector<std::string>> out;
  for (const auto& p : pages_) out.push_back(p->Calls);
  return out;
}

}  // namespace vx

// ---------------------------------------------------------------------------

namespace {

// The PDF file for a job without a file name: the title in the documents folder.
AnsiString DefaultPdfName(const AnsiString& title) {
  AnsiString base = title.empty() ? AnsiString("Vexamund") : title;
  for (char& c : base)
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
      c = '_';
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir().mkpath(folder)) folder = QDir::currentPath();
  return vx::FromQString(folder) + "/" + base + ".pdf";
}

}  // namespace

TPrinter::TPrinter() : canvas_(std::make_unique<TCanvas>()), printers_(std::make_unique<TStringList>()) {}

TPrinter::~TPrinter() {
  if (printing_) try {
      Abort();
    } catch (...) {}
}

void TPrinter::CheckPrinting(bool printing) const {
  if (printing_ != printing) throw EPrinter(printing ? "Printer is not currently printing" : "Printing in progress");
}

vx::PrintBackend* TPrinter::Backend() {
  if (!backend_) {
    vx::EnsureQtApp();
    backend_ = printerName_.empty()
                   ? vx::MakePdfPrintBackend(outputFileName_.empty() ? DefaultPdfName(title_) : outputFileName_)
                   : vx::MakeSystemPrintBackend(printerName_);
  }
  return backend_.get();
}

void TPrinter::DetachCanvas() {
  if (!printing_) canvas_->SetDevice(nullptr);
}

TCanvas* TPrinter::Canvas() {
  if (!printing_) {
    vx::CanvasDevice* info = Backend()->InfoDevice(orientation_);
    if (canvas_->Device() != info) canvas_->SetDevice(info);
  }
  return canvas_.get();
}

void TPrinter::SetBackend(std::unique_ptr<vx::PrintBackend> backend) {
  CheckPrinting(false);
  DetachCanvas();
  backend_ = std::move(backend);
  ownBackendChoice_ = backend_ == nullptr;
}

void TPrinter::BeginDoc() {
  CheckPrinting(false);
  // The program's own choice follows the title, file and printer of this job.
  DetachCanvas();
  if (ownBackendChoice_) backend_.reset();
  vx::CanvasDevice* device = Backend()->BeginDoc(title_, orientation_);
  printing_ = true;
  aborted_ = false;
  pageNumber_ = 1;
  canvas_->SetDevice(device);
}

void TPrinter::NewPage() {
  CheckPrinting(true);
  vx::CanvasDevice* device = backend_->NewPage();
  ++pageNumber_;
  canvas_->SetDevice(device);
}

void TPrinter::EndDoc() {
  CheckPrinting(true);
  printing_ = false;
  canvas_->SetDevice(nullptr);
  backend_->EndDoc();
}

void TPrinter::Abort() {
  CheckPrinting(true);
  printing_ = false;
  aborted_ = true;
  canvas_->SetDevice(nullptr);
  backend_->Abort();
}

int TPrinter::PageWidth() { return Backend()->PageSize(orientation_).cx; }
int TPrinter::PageHeight() { return Backend()->PageSize(orientation_).cy; }

void TPrinter::SetOrientation(TPrinterOrientation v) {
  CheckPrinting(false);
  DetachCanvas();
  orientation_ = v;
}

TStrings* TPrinter::Printers() {
  vx::EnsureQtApp();
  printers_->Clear();
  for (const QString& name : QPrinterInfo::availablePrinterNames()) printers_->Add(vx::FromQString(name));
  return printers_.get();
}

void TPrinter::SetPrinterIndex(int v) {
  TStrings* list = Printers();
  if (v < -1 || v >= list->Count()) throw EPrinter("Printer selected is not valid");
  printerIndex_ = v;
  SetPrinterName(v < 0 ? AnsiString() : list->Strings(v));
}

void TPrinter::SetPrinterName(const AnsiString& name) {
  CheckPrinting(false);
  DetachCanvas();
  printerName_ = name;
  if (ownBackendChoice_) backend_.reset();
}

namespace {
TPrinter* g_installed = nullptr;
}

TPrinter* Printer() {
  if (g_installed) return g_installed;
  static TPrinter* own = new TPrinter;  // lives to the end of the program
  return own;
}

TPrinter* SetPrinter(TPrinter* printer) {
  TPrinter* previous = Printer();
  g_installed = printer;
  return previous;
}
