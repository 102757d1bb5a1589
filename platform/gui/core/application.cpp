#include "platform/gui/core/application.h"

#include <unistd.h>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QThread>
#include <QTranslator>
#include <chrono>
#include <cstdlib>

#include "platform/gui/draw/bitmap.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/os/program_folder.h"

// The font configuration and D-Bus libraries keep caches for the life of the
// process; they are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\nleak:libdbus\n"; }

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen;
TMouse* Mouse = new TMouse;

namespace {
// An exception escaping an event handler reaches the application's handler.
const bool g_sinkInstalled = [] {
  vx::SetGuardErrorSink([](std::exception_ptr error) {
    if (Application) Application->HandleException(error);
  });
  return true;
}();
}  // namespace

namespace {
long long NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() = default;

void TApplication::Initialize() {
  vx::EnsureQtApp();
  terminated_ = false;  // a program (or a test) starting afresh
}

bool TApplication::LoadStandardTranslation(const AnsiString& language) {
  vx::EnsureQtApp();
  static QTranslator* translator = nullptr;
  auto* next = new QTranslator(QCoreApplication::instance());
  if (!next->load(QStringLiteral("qtbase_") + vx::ToQString(language),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete next;
    return false;
  }
  if (translator) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
  translator = next;
  QCoreApplication::installTranslator(translator);
  return true;
}

void TApplication::SetTitle(const AnsiString& v) {
  title_ = v;
  if (QApplication::instance()) QApplication::setApplicationDisplayName(vx::ToQString(v));
}

AnsiString TApplication::ExeName() const {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string base = "vexamund";
  if (n > 0) {
    std::string full(buf, static_cast<std::size_t>(n));
    const auto slash = full.rfind('/');
    base = slash == std::string::npos ? full : full.substr(slash + 1);
  }
  return vx::ProgramFolder() + base;
}

void TApplication::RegisterForm(TForm* form) {
  if (!mainForm_) mainForm_ = form;
  form->FreeNotification(this);
  form->AfterConstruction();
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == mainForm_) mainForm_ = nullptr;
}

void TApplication::Run() {
  vx::EnsureQtApp();
  running_ = true;
  if (mainForm_ && !terminated_) {
    vx::Guard([&] { mainForm_->Show(); });
  }
  while (!terminated_ && mainForm_) HandleMessage();
  running_ = false;
  // The application's forms go with the loop.
  DestroyForms();
}

void TApplication::DestroyForms() {
  for (int i = ComponentCount() - 1; i >= 0; --i)
    if (auto* f = dynamic_cast<TForm*>(Components(i))) f->BeforeDestruction();
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
}

void TApplication::ProcessMessages() {
  vx::EnsureQtApp();
  const long long now = NowNs();
  if (pumpIntervalMs_ > 0 && now - lastPumpNs_ < pumpIntervalMs_ * 1000000LL) return;
  lastPumpNs_ = now;
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::ProcessPendingMessages() {
  lastPumpNs_ = 0;
  ProcessMessages();
}

void TApplication::HandleMessage() {
  vx::EnsureQtApp();
  QCoreApplication::sendPostedEvents();
  // What was just handled may have ended the loop, and a pump inside it
  // may have taken the wake-up that Terminate gave.
  if (terminated_) return;
  // Sleeps until something happens. (processEvents with a time limit
  // ignores WaitForMoreEvents and would poll without pause.)
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

void TApplication::Terminate() {
  terminated_ = true;
  // A loop asleep in HandleMessage wakes up to see it.
  if (auto* dispatcher = QCoreApplication::eventDispatcher()) dispatcher->wakeUp();
}

void TApplication::SetHint(const AnsiString& v) {
  if (v == hint_) return;
  hint_ = v;
  if (OnHint) vx::Guard([&] { OnHint(this); });
}

void TApplication::HandleException(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (EAbort&) {
    // Silent by design.
  } catch (Exception& e) {
    if (OnException) {
      try {
        OnException(this, e);
      } catch (...) {}
    } else {
      ShowException(e);
    }
  } catch (std::exception& e) {
    Exception wrapped(e.what());
    if (OnException) {
      try {
        OnException(this, wrapped);
      } catch (...) {}
    } else {
      ShowException(wrapped);
    }
  } catch (...) {
    Exception unknown("Unknown exception");
    ShowException(unknown);
  }
}

void TApplication::ShowException(const Exception& e) {
  AnsiString msg = e.Message();
  // The class library ended the message with a full stop.
  if (!msg.empty() && msg.back() != '.') msg += '.';
  vx::DialogRequest r;
  r.Kind = vx::DialogKind::Exception;
  r.Text = msg;
  r.Type = mtError;
  r.Buttons = TMsgDlgButtons{mbOK};
  try {
    vx::Dialogs().Run(r);
  } catch (...) {}
}

// ---------------------------------------------------------------------------

void TScreen::SetCursor(TCursor v) {
  if (v == cursor_) return;
  vx::EnsureQtApp();
  if (cursor_ != crDefault) QApplication::restoreOverrideCursor();
  cursor_ = v;
  if (v != crDefault) QApplication::setOverrideCursor(vx::ToQtCursor(v));
}

void TScreen::SetCursors(TCursor index, const TBitmap& image, int hotX, int hotY) {
  vx::EnsureQtApp();
  vx::SetProgramCursor(index, image.Data().image, hotX, hotY);
}

bool TScreen::HasCursor(TCursor index) const { return vx::HasProgramCursor(index); }

int TScreen::Width() const {
  vx::EnsureQtApp();
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().width() : 1024;
}

int TScreen::Height() const {
  vx::EnsureQtApp();
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().height() : 768;
}

TStrings* TScreen::Fonts() {
  if (!fonts_) {
    vx::EnsureQtApp();
    fonts_ = std::make_unique<TStringList>();
    for (const QString& family : QFontDatabase::families()) fonts_->Add(vx::FromQString(family));
    fonts_->SetSorted(true);
  }
  return fonts_.get();
}

TPoint TMouse::CursorPos() const {
  vx::EnsureQtApp();
  const QPoint p = QCursor::pos();
  return TPoint{p.x(), p.y()};
}

void TMouse::SetCursorPos(TPoint p) {
  vx::EnsureQtApp();
  QCursor::setPos(p.X, p.Y);
}
