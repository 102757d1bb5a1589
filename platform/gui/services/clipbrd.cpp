#include "platform/gui/services/clipbrd.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gui/draw/qt_bridge.h"
#include "platform/gui/base/qt_app.h"

namespace {

std::vector<AnsiString>& FormatNames() {
  static std::vector<AnsiString> names;
  return names;
}

AnsiString Folded(AnsiString s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

constexpr unsigned kFirstRegistered = 0xC000;
const char kRtfName[] = "Rich Text Format";
const char kRtfMime[] = "text/rtf";
const char kOwnMimePrefix[] = "application/x-vexamund-";

QString MimeOf(unsigned format) {
  const AnsiString name = ClipboardFormatName(format);
  if (Folded(name) == Folded(kRtfName)) return QString::fromLatin1(kRtfMime);
  return QString::fromLatin1(kOwnMimePrefix) + vx::ToQString(Folded(name)).replace(QLatin1Char(' '), QLatin1Char('-'));
}

// The system clipboard through Qt.
class SystemClipboard : public vx::ClipboardService {
 public:
  void SetContents(const vx::ClipboardData& data) override {
    vx::EnsureQtApp();
    auto* mime = new QMimeData;
    for (const auto& [format, bytes] : data) {
      if (format == CF_TEXT || format == CF_OEMTEXT) {
        mime->setText(vx::ToQString(bytes));
      } else if (format == CF_UNICODETEXT) {
        if (!data.count(CF_TEXT))
          mime->setText(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data()),
                                           static_cast<qsizetype>(bytes.size() / 2)));
      } else if (format >= kFirstRegistered) {
        mime->setData(MimeOf(format), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
      }
    }
    QGuiApplication::clipboard()->setMimeData(mime);
  }

  vx::ClipboardData Contents() override {
    vx::EnsureQtApp();
    vx::ClipboardData data;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime) return data;
    if (mime->hasText()) {
      const QString text = vx::WithCrLf(mime->text());
      data[CF_TEXT] = vx::FromQString(text);
      data[CF_UNICODETEXT] =
          std::string(reinterpret_cast<const char*>(text.utf16()), static_cast<std::size_t>(text.size()) * 2);
    }
    for (std::size_t i = 0; i < FormatNames().size(); ++i) {
      const unsigned format = kFirstRegistered + static_cast<unsigned>(i);
      const QString type = MimeOf(format);
      if (mime->hasFormat(type)) {
        const QByteArray bytes = mime->data(type);
        data[format] = std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
      }
    }
    return data;
  }
};

vx::ClipboardService* g_service = nullptr;

}  // namespace

unsigned RegisterClipboardFormat(const AnsiString& name) {
  if (name.empty()) return 0;
  auto& names = FormatNames();
  const AnsiString key = Folded(name);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (Folded(names[i]) == key) return kFirstRegistered + static_cast<unsigned>(i);
  names.push_back(name);
  return kFirstRegistered + static_cast<unsigned>(names.size() - 1);
}

AnsiString ClipboardFormatName(unsigned format) {
  const auto& names = FormatNames();
  if (format < kFirstRegistered || format - kFirstRegistered >= names.size()) return "";
  return names[format - kFirstRegistered];
}

namespace vx {

ClipboardService& ClipboardStore() {
  static SystemClipboard system;
  return g_service ? *g_service : system;
}

ClipboardService* SetClipboardService(ClipboardService* service) {
  ClipboardService* previous = g_service;
  g_service = service;
  return previous;
}

MemoryClipboard::MemoryClipboard() : previous_(SetClipboardService(this)) {}

MemoryClipboard::~MemoryClipboard() { SetClipboardService(previous_); }

}  // namespace vx

void TClipboard::Open() {
  if (openCount_++ == 0) {
    emptied_ = false;
    pending_.clear();
  }
}

void TClipboard::Close() {
  if (openCount_ == 0) return;
  if (--openCount_ == 0 && emptied_) Commit();
}

void TClipboard::Adding() {
  if (!emptied_) {
    pending_.clear();
    emptied_ = true;
  }
}

void TClipboard::Commit() {
  vx::ClipboardStore().SetContents(pending_);
  pending_.clear();
  emptied_ = false;
}

void TClipboard::Clear() {
  Open();
  Adding();
  Close();
}

bool TClipboard::HasFormat(unsigned format) {
  const vx::ClipboardData data = vx::ClipboardStore().Contents();
  if (format == CF_TEXT || format == CF_UNICODETEXT || format == CF_OEMTEXT)
    return data.count(CF_TEXT) || data.count(CF_UNICODETEXT);
  return data.count(format) > 0;
}

AnsiString TClipboard::AsText() {
  const vx::ClipboardData data = vx::ClipboardStore().Contents();
  auto it = data.find(CF_TEXT);
  return it == data.end() ? AnsiString() : it->second;
}

void TClipboard::SetAsText(const AnsiString& text) { SetAsBytes(CF_TEXT, text); }

void TClipboard::SetTextBuf(const char* buffer) { SetAsText(buffer ? AnsiString(buffer) : AnsiString()); }

std::optional<std::string> TClipboard::GetAsBytes(unsigned format) {
  const vx::ClipboardData data = vx::ClipboardStore().Contents();
  auto it = data.find(format);
  if (it == data.end()) return std::nullopt;
  return it->second;
}

void TClipboard::SetAsBytes(unsigned format, const std::string& bytes) {
  Open();
  Adding();
  // Text ends at its first zero, as a C string on the clipboard did.
  pending_[format] = format == CF_TEXT ? bytes.substr(0, bytes.find('\0')) : bytes;
  Close();
}

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}
