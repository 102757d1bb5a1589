#include "platform/gui/core/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <cstdio>
#include <cstdlib>

#include "platform/gui/core/application.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/draw/printers.h"
#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"

namespace vx {

const char* DialogKindName(DialogKind kind) {
  switch (kind) {
    case DialogKind::Message: return "message";
    case DialogKind::Exception: return "exception";
    case DialogKind::Open: return "open";
    case DialogKind::Save: return "save";
    case DialogKind::Font: return "font";
    case DialogKind::Color: return "color";
    case DialogKind::Print: return "print";
    case DialogKind::Modal: return "modal form";
  }
  return "?";
}

namespace {

QWidget* ActiveWindowWidget() {
  TForm* f = Screen ? Screen->ActiveForm() : nullptr;
  return f ? f->Widget() : nullptr;
}

int RunMessage(DialogRequest& r) {
  QMessageBox box(ActiveWindowWidget());
  box.setWindowTitle(ToQString(Application ? Application->Title() : AnsiString()));
  box.setText(ToQString(r.Text));
  switch (r.Type) {
    case mtWarning: box.setIcon(QMessageBox::Warning); break;
    case mtError: box.setIcon(QMessageBox::Critical); break;
    case mtInformation: box.setIcon(QMessageBox::Information); break;
    case mtConfirmation: box.setIcon(QMessageBox::Question); break;
    default: break;
  }
  struct Map {
    TMsgDlgBtn btn;
    QMessageBox::StandardButton q;
    int result;
  };
  static const Map kMap[] = {
      {mbYes, QMessageBox::Yes, mrYes},
      {mbNo, QMessageBox::No, mrNo},
      {mbOK, QMessageBox::Ok, mrOk},
      {mbCancel, QMessageBox::Cancel, mrCancel},
      {mbAbort, QMessageBox::Abort, mrAbort},
      {mbRetry, QMessageBox::Retry, mrRetry},
      {mbIgnore, QMessageBox::Ignore, mrIgnore},
      {mbAll, QMessageBox::YesToAll, mrAll},
      {mbNoToAll, QMessageBox::NoToAll, mrNoToAll},
      {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
      {mbHelp, QMessageBox::Help, mrNone},
  };
  QMessageBox::StandardButtons buttons;
  for (const Map& m : kMap)
    if (r.Buttons.Contains(m.btn)) buttons |= m.q;
  if (!buttons) buttons = QMessageBox::Ok;
  box.setStandardButtons(buttons);
  const int clicked = box.exec();
  for (const Map& m : kMap)
    if (clicked == m.q) return m.result;
  return r.Buttons.Contains(mbCancel) ? mrCancel : mrNone;
}

QString QtFilter(const TOpenDialog& d) {
  QStringList parts;
  for (const auto& [desc, patterns] : d.FilterPairs()) {
    QString p = ToQString(patterns);
    p.replace(QLatin1Char(';'), QLatin1Char(' '));
    parts << ToQString(desc) + QStringLiteral(" (") + p + QStringLiteral(")");
  }
  return parts.join(QStringLiteral(";;"));
}

int RunFile(DialogRequest& r, bool save) {
  auto* d = static_cast<TOpenDialog*>(r.Dialog);
  QFileDialog fd(ActiveWindowWidget(), ToQString(d->Title()), ToQString(d->InitialDir()));
  fd.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  fd.setFileMode(save                                        ? QFileDialog::AnyFile
                 : d->Options().Contains(ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                             : QFileDialog::ExistingFile);
  const QString filter = QtFilter(*d);
  if (!filter.isEmpty()) {
    fd.setNameFilter(filter);
    const QStringList names = filter.split(QStringLiteral(";;"));
    const int index = d->FilterIndex() - 1;
    if (index >= 0 && index < names.size()) fd.selectNameFilter(names[index]);
  }
  if (!d->DefaultExt().empty()) fd.setDefaultSuffix(ToQString(d->DefaultExt()));
  if (!d->FileName().empty()) fd.selectFile(ToQString(d->FileName()));
  if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return 0;
  d->Files()->Clear();
  for (const QString& f : fd.selectedFiles()) d->Files()->Add(FromQString(f));
  d->SetFileName(d->WithDefaultExt(FromQString(fd.selectedFiles().first())));
  const QStringList names = filter.split(QStringLiteral(";;"));
  const int chosen = static_cast<int>(names.indexOf(fd.selectedNameFilter()));
  if (chosen >= 0) d->SetFilterIndex(chosen + 1);
  return 1;
}

class QtDialogService : public DialogService {
 public:
  int Run(DialogRequest& r) override {
    EnsureQtApp();
    switch (r.Kind) {
      case DialogKind::Message:
      case DialogKind::Exception: return RunMessage(r);
      case DialogKind::Open: return RunFile(r, false);
      case DialogKind::Save: return RunFile(r, true);
      case DialogKind::Font: {
        auto* d = static_cast<TFontDialog*>(r.Dialog);
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, ToQFont(*d->Font()), ActiveWindowWidget());
        if (!ok) return 0;
        FromQFont(f, *d->Font());
        return 1;
      }
      case DialogKind::Color: {
        auto* d = static_cast<TColorDialog*>(r.Dialog);
        const QColor c = QColorDialog::getColor(ToQColor(d->Color()), ActiveWindowWidget());
        if (!c.isValid()) return 0;
        d->SetColor(FromQColor(c));
        return 1;
      }
      case DialogKind::Print: {
        auto* d = static_cast<TPrintDialog*>(r.Dialog);
        QPrinter printer;
        QPrintDialog pd(&printer, ActiveWindowWidget());
        pd.setMinMax(d->MinPage(), d->MaxPage());
        pd.setFromTo(d->FromPage(), d->ToPage());
        pd.setOption(QAbstractPrintDialog::PrintPageRange, d->Options().Contains(poPageNums));
        if (pd.exec() != QDialog::Accepted) return 0;
        if (pd.printRange() == QAbstractPrintDialog::PageRange) {
          d->SetPrintRange(prPageNums);
          d->SetFromPage(pd.fromPage());
          d->SetToPage(pd.toPage());
        } else {
          d->SetPrintRange(prAllPages);
        }
        d->SetCopies(printer.copyCount());
        // The choice is the printer object's: a system printer, or a PDF file.
        if (TPrinter* p = Printer(); !p->Printing()) {
          if (printer.outputFormat() == QPrinter::PdfFormat || printer.printerName().isEmpty()) {
            p->SetPrinterName("");
            if (!printer.outputFileName().isEmpty()) p->SetOutputFileName(FromQString(printer.outputFileName()));
          } else {
            p->SetPrinterName(FromQString(printer.printerName()));
          }
          const bool landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
          p->SetOrientation(landscape ? poLandscape : poPortrait);
        }
        return 1;
      }
      case DialogKind::Modal: {
        TForm* form = r.Form;
        // The class library's modal loop: pump until a modal result
        // is set and the form agrees to close.
        for (;;) {
          Application->HandleMessage();
          if (Application->Terminated() && form->ModalResult() == mrNone) form->SetModalResult(mrCancel);
          if (form->ModalResult() != mrNone && form->CloseModal()) break;
        }
        return form->ModalResult();
      }
    }
    return 0;
  }
};

QtDialogService& QtService() {
  static QtDialogService service;
  return service;
}

DialogService* g_service = nullptr;

bool TextMatches(const AnsiString& text, const AnsiString& part) {
  return part.empty() || text.find(part) != AnsiString::npos;
}

}  // namespace

DialogService& Dialogs() { return g_service ? *g_service : QtService(); }

DialogService* SetDialogService(DialogService* service) {
  DialogService* previous = g_service;
  g_service = service;
  return previous;
}

ScriptedDialogs::ScriptedDialogs() : previous_(SetDialogService(this)) {
  OnFailure = [](const std::string& message) {
    std::fprintf(stderr, "ScriptedDialogs: %s\n", message.c_str());
    std::abort();
  };
}

ScriptedDialogs::~ScriptedDialogs() { SetDialogService(previous_); }

ScriptedDialogs& ScriptedDialogs::Expect(DialogKind kind, const AnsiString& textPart, int answer) {
  return Expect(kind, textPart, [answer](DialogRequest&) { return answer; });
}

ScriptedDialogs& ScriptedDialogs::Expect(DialogKind kind, const AnsiString& textPart, Action action) {
  script_.push_back(Step{kind, textPart, std::move(action)});
  return *this;
}

ScriptedDialogs& ScriptedDialogs::ExpectFile(DialogKind kind, const AnsiString& fileName) {
  return Expect(kind, "", [fileName](DialogRequest& r) {
    if (auto* d = dynamic_cast<TOpenDialog*>(r.Dialog)) {
      d->SetFileName(d->WithDefaultExt(fileName));
      d->Files()->Clear();
      d->Files()->Add(d->FileName());
    }
    return 1;
  });
}

int ScriptedDialogs::Run(DialogRequest& r) {
  Log.push_back(Seen{r.Kind, r.Text, r.Type});
  if (script_.empty() || script_.front().kind != r.Kind || !TextMatches(r.Text, script_.front().textPart)) {
    std::string msg = std::string("unexpected ") + DialogKindName(r.Kind) + " dialog \"" + r.Text + "\"";
    if (!script_.empty())
      msg +=
          std::string(" (expected ") + DialogKindName(script_.front().kind) + " \"" + script_.front().textPart + "\")";
    if (OnFailure) OnFailure(msg);
    if (r.Kind == DialogKind::Modal && r.Form) {
      r.Form->SetModalResult(mrCancel);
      r.Form->CloseModal();
      return mrCancel;
    }
    return r.Kind == DialogKind::Message || r.Kind == DialogKind::Exception ? mrCancel : 0;
  }
  Step step = std::move(script_.front());
  script_.pop_front();
  const int answer = step.action(r);
  if (r.Kind == DialogKind::Modal && r.Form) {
    if (r.Form->ModalResult() == mrNone || answer != mrNone) r.Form->SetModalResult(answer);
    if (r.Form->ModalResult() == mrNone) r.Form->SetModalResult(mrCancel);
    if (!r.Form->CloseModal()) {
      if (OnFailure) OnFailure("modal form \"" + r.Text + "\" refused to close");
    }
    return r.Form->ModalResult();
  }
  return answer;
}

}  // namespace vx

void ShowMessage(const AnsiString& text) {
  vx::DialogRequest r;
  r.Kind = vx::DialogKind::Message;
  r.Text = text;
  r.Type = mtCustom;
  r.Buttons = TMsgDlgButtons{mbOK};
  vx::Dialogs().Run(r);
}

int MessageDlg(const AnsiString& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  vx::DialogRequest r;
  r.Kind = vx::DialogKind::Message;
  r.Text = text;
  r.Type = type;
  r.Buttons = buttons;
  return vx::Dialogs().Run(r);
}

bool TCommonDialog::Execute() {
  vx::DialogRequest r;
  r.Kind = Kind();
  r.Text = title_;
  r.Dialog = this;
  return vx::Dialogs().Run(r) != 0;
}

bool TCommonDialog::SetStringProperty(const AnsiString& name, const AnsiString& value) {
  if (vx::SamePropertyName(name, "Title")) {
    title_ = value;
    return true;
  }
  return false;
}

std::optional<AnsiString> TCommonDialog::GetStringProperty(const AnsiString& name) const {
  if (vx::SamePropertyName(name, "Title")) return title_;
  return std::nullopt;
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), files_(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

std::vector<std::pair<AnsiString, AnsiString>> TOpenDialog::FilterPairs() const {
  std::vector<std::pair<AnsiString, AnsiString>> out;
  std::vector<AnsiString> parts;
  std::size_t start = 0;
  while (start <= filter_.size() && !filter_.empty()) {
    const std::size_t bar = filter_.find('|', start);
    parts.push_back(filter_.substr(start, bar == AnsiString::npos ? AnsiString::npos : bar - start));
    if (bar == AnsiString::npos) break;
    start = bar + 1;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) out.emplace_back(parts[i], parts[i + 1]);
  if (parts.size() % 2 == 1 && !parts.back().empty()) out.emplace_back(parts.back(), parts.back());
  return out;
}

AnsiString TOpenDialog::WithDefaultExt(const AnsiString& fileName) const {
  if (defaultExt_.empty() || fileName.empty()) return fileName;
  const std::size_t slash = fileName.find_last_of("/\\");
  const std::size_t dot = fileName.rfind('.');
  if (dot != AnsiString::npos && (slash == AnsiString::npos || dot > slash)) return fileName;
  AnsiString ext = defaultExt_;
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  return fileName + "." + ext;
}

bool TOpenDialog::SetStringProperty(const AnsiString& name, const AnsiString& value) {
  if (vx::SamePropertyName(name, "Filter")) {
    filter_ = value;
    return true;
  }
  return TCommonDialog::SetStringProperty(name, value);
}

std::optional<AnsiString> TOpenDialog::GetStringProperty(const AnsiString& name) const {
  if (vx::SamePropertyName(name, "Filter")) return filter_;
  return TCommonDialog::GetStringProperty(name);
}
