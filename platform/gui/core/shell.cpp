#include "platform/gui/core/shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "platform/gui/core/dialogs.h"
#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/rtl/fileutils.h"

namespace {

vx::AddressOpener g_opener;
int g_beeps = 0;

bool StartsWithFolded(const AnsiString& s, const char* prefix) {
  for (std::size_t i = 0; prefix[i]; ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsOpenableAddress(const AnsiString& address) {
  for (const char* scheme : {"http://", "https://", "ftp://", "mailto:"})
    if (StartsWithFolded(address, scheme) && address.size() > std::char_traits<char>::length(scheme)) return true;
  return false;
}

int ShellExecute(TWinControl*, const AnsiString& verb, const AnsiString& file, const AnsiString&, const AnsiString&,
                 int) {
  if (!(verb.empty() || StartsWithFolded(verb, "open")) || !IsOpenableAddress(file)) return SE_ERR_ACCESSDENIED;
  if (g_opener) return g_opener(file) ? 42 : SE_ERR_NOASSOC;
  vx::EnsureQtApp();
  const QUrl url(vx::ToQString(file), QUrl::StrictMode);
  if (!url.isValid()) return SE_ERR_ACCESSDENIED;
  return QDesktopServices::openUrl(url) ? 42 : SE_ERR_NOASSOC;
}

int ShellOpenDocument(TWinControl*, const AnsiString& file) {
  const AnsiString full = ExpandFileName(file);
  if (!FileExists(full)) {
    ShowMessage("Cannot find the file " + full + ".");
    return SE_ERR_FNF;
  }
  bool opened = false;
  if (g_opener) {
    opened = g_opener(full);
  } else {
    vx::EnsureQtApp();
    opened = QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(vx::NativeFileName(full))));
  }
  if (opened) return 42;
  ShowMessage("There is no program to open " + full + ".");
  return SE_ERR_NOASSOC;
}

bool MessageBeep(unsigned) {
  ++g_beeps;
  if (qApp) QApplication::beep();
  return true;
}

namespace vx {

AddressOpener SetAddressOpener(AddressOpener opener) {
  AddressOpener previous = std::move(g_opener);
  g_opener = std::move(opener);
  return previous;
}

int BeepCount() { return g_beeps; }

}  // namespace vx
