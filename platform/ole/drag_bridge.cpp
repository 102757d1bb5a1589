// drag_drop.h over Qt's drag and drop: registered windows hear Qt's drag
// events as IDropTarget calls, DoDragDrop runs a QDrag of an IDataObject's
// formats.
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstring>
#include <map>

#include "platform/gui/services/clipbrd.h"
#include "platform/gui/core/controls.h"
#include "platform/gui/base/messages.h"
#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/ole/drag_drop.h"
#include "platform/rtl/codepages.h"

namespace {

const char kRtfMime[] = "text/rtf";

CLIPFORMAT RtfFormat() { return static_cast<CLIPFORMAT>(RegisterClipboardFormat("Rich Text Format")); }
CLIPFORMAT GridColumnFormat() { return static_cast<CLIPFORMAT>(RegisterClipboardFormat("Grid Column")); }

FORMATETC Format(CLIPFORMAT cf) { return FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// A list of formats to enumerate; Clone keeps the position.
class FormatList : public vx::ComObject<IEnumFORMATETC> {
 public:
  explicit FormatList(std::vector<FORMATETC> formats, ULONG at = 0) : formats_(std::move(formats)), at_(at) {}
  HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* fetched) override {
    ULONG given = 0;
    while (given < celt && at_ < formats_.size()) rgelt[given++] = formats_[at_++];
    if (fetched) *fetched = given;
    return given == celt ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG celt) override {
    const bool past = celt > formats_.size() - at_;
    at_ = past ? static_cast<ULONG>(formats_.size()) : at_ + celt;
    return past ? S_FALSE : S_OK;
  }
  HRESULT Reset() override {
    at_ = 0;
    return S_OK;
  }
  HRESULT Clone(IEnumFORMATETC** out) override {
    if (!out) return E_POINTER;
    *out = new FormatList(formats_, at_);
    (*out)->AddRef();
    return S_OK;
  }

 private:
  std::vector<FORMATETC> formats_;
  ULONG at_;
};

// What a Qt drag carries, as a data object (read when it is made).
class MimeDataObject : public vx::ComObject<IDataObject> {
 public:
  explicit MimeDataObject(const QMimeData* mime) {
    if (mime->hasText()) {
      const std::u16string wide = vx::WithCrLf(mime->text()).toStdU16String();
      data_[CF_TEXT] = Terminated(vx::Utf16ToCp1251(wide), 1);
      std::string bytes;
      for (char16_t c : wide) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
      }
      data_[CF_UNICODETEXT] = Terminated(bytes, 2);
    }
    if (mime->hasFormat(kRtfMime)) data_[RtfFormat()] = Terminated(mime->data(kRtfMime).toStdString(), 1);
    if (mime->hasFormat(kGridColumnMime)) data_[GridColumnFormat()] = mime->data(kGridColumnMime).toStdString();
    std::vector<AnsiString> files;
    for (const QUrl& url : mime->urls())
      if (url.isLocalFile()) files.push_back(vx::Utf16ToCp1251(url.toLocalFile().toStdU16String()));
    if (!files.empty()) {
      HGLOBAL block = vx::MakeDropFiles(files, true);
      if (block) {
        const auto* p = static_cast<const char*>(GlobalLock(block));
        data_[CF_HDROP].assign(p, GlobalSize(block));
        GlobalFree(block);
      }
    }
  }

  HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) override {
    if (!medium) return E_POINTER;
    const auto i = Find(format);
    if (i == data_.end()) return DV_E_FORMATETC;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, i->second.size());
    if (!block) return E_OUTOFMEMORY;
    if (!i->second.empty()) std::memcpy(GlobalLock(block), i->second.data(), i->second.size());
    GlobalUnlock(block);
    *medium = STGMEDIUM{TYMED_HGLOBAL, block, nullptr};
    return S_OK;
  }
  HRESULT GetDataHere(const FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
  HRESULT QueryGetData(const FORMATETC* format) override { return Find(format) == data_.end() ? DV_E_FORMATETC : S_OK; }
  HRESULT GetCanonicalFormatEtc(const FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT SetData(const FORMATETC*, STGMEDIUM*, bool) override { return E_NOTIMPL; }
  HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (!out) return E_POINTER;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (const auto& [cf, bytes] : data_) formats.push_back(Format(cf));
    *out = new FormatList(std::move(formats));
    (*out)->AddRef();
    return S_OK;
  }
  HRESULT DAdvise(const FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT EnumDAdvise(IEnumSTATDATA** out) override {
    if (out) *out = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  static std::string Terminated(std::string s, int zeros) { return s.append(static_cast<std::size_t>(zeros), '\0'); }
  std::map<CLIPFORMAT, std::string>::const_iterator Find(const FORMATETC* f) const {
    if (!f || f->dwAspect != DVASPECT_CONTENT || !(f->tymed & TYMED_HGLOBAL)) return data_.end();
    return data_.find(f->cfFormat);
  }
  std::map<CLIPFORMAT, std::string> data_;
};

DWORD EffectsOf(Qt::DropActions a) {
  DWORD e = DROPEFFECT_NONE;
  if (a & Qt::CopyAction) e |= DROPEFFECT_COPY;
  if (a & Qt::MoveAction) e |= DROPEFFECT_MOVE;
  if (a & Qt::LinkAction) e |= DROPEFFECT_LINK;
  return e;
}

Qt::DropActions ActionsOf(DWORD e) {
  Qt::DropActions a;
  if (e & DROPEFFECT_COPY) a |= Qt::CopyAction;
  if (e & DROPEFFECT_MOVE) a |= Qt::MoveAction;
  if (e & DROPEFFECT_LINK) a |= Qt::LinkAction;
  return a;
}

// The one action an effect names: copy before move before link.
Qt::DropAction ActionOf(DWORD e) {
  if (e & DROPEFFECT_COPY) return Qt::CopyAction;
  if (e & DROPEFFECT_MOVE) return Qt::MoveAction;
  if (e & DROPEFFECT_LINK) return Qt::LinkAction;
  return Qt::IgnoreAction;
}

// Passes a registered window's drag events to its drop target.
class DropFilter : public QObject {
 public:
  DropFilter(QWidget* widget, IDropTarget* target) : QObject(widget), widget_(widget), target_(target) {}

  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop: {
        auto* de = static_cast<QDropEvent*>(e);
        const QPoint g = widget_->mapToGlobal(de->position().toPoint());
        const POINTL pt{g.x(), g.y()};
        const DWORD keys = vx::MouseKeysFromQt(de->modifiers(), de->buttons());
        DWORD effect = EffectsOf(de->possibleActions());
        vx::Guard([&] {
          if (e->type() == QEvent::DragMove) {
            target_->DragOver(keys, pt, &effect);
            return;
          }
          const vx::ComPtr<IDataObject> data(new MimeDataObject(de->mimeData()));
          if (e->type() == QEvent::DragEnter) target_->DragEnter(data.get(), keys, pt, &effect);
          else target_->Drop(data.get(), keys, pt, &effect);
        });
        // An effect the source does not allow gives way to the one it
        // proposes; the enter is taken whatever it says, so that the moves
        // after it still come here.
        Qt::DropAction action = ActionOf(effect & EffectsOf(de->possibleActions()));
        if (action == Qt::IgnoreAction && effect != DROPEFFECT_NONE) action = de->proposedAction();
        if (action != Qt::IgnoreAction) {
          de->setDropAction(action);
          de->accept();
        } else if (e->type() == QEvent::DragEnter) {
          de->acceptProposedAction();
        } else {
          de->ignore();
        }
        return true;
      }
      case QEvent::DragLeave: vx::Guard([&] { target_->DragLeave(); }); return true;
      default: return false;
    }
  }

 private:
  QWidget* widget_;
  vx::ComPtr<IDropTarget> target_;
};

vx::DragLoop& CustomLoop() {
  static vx::DragLoop loop;
  return loop;
}

std::map<TWinControl*, DropFilter*>& Registrations() {
  static std::map<TWinControl*, DropFilter*> registered;
  return registered;
}

}  // namespace

HRESULT OleInitialize(void*) {
  static bool done = false;
  if (done) return S_FALSE;
  done = true;
  return S_OK;
}

HRESULT RegisterDragDrop(TWinControl* window, IDropTarget* target) {
  if (!target) return E_INVALIDARG;
  QWidget* widget = window ? window->ClientWidget() : nullptr;
  if (!widget) return DRAGDROP_E_INVALIDHWND;
  auto& registered = Registrations();
  if (registered.count(window)) return DRAGDROP_E_ALREADYREGISTERED;
  auto* filter = new DropFilter(widget, target);
  widget->installEventFilter(filter);
  widget->setAcceptDrops(true);
  registered[window] = filter;
  // A window that goes takes its registration along.
  QObject::connect(filter, &QObject::destroyed, [window] { Registrations().erase(window); });
  return S_OK;
}

HRESULT RevokeDragDrop(TWinControl* window) {
  auto& registered = Registrations();
  const auto i = registered.find(window);
  if (i == registered.end()) return DRAGDROP_E_NOTREGISTERED;
  DropFilter* filter = i->second;
  registered.erase(i);
  if (auto* widget = qobject_cast<QWidget*>(filter->parent())) widget->setAcceptDrops(false);
  delete filter;
  return S_OK;
}

vx::DragLoop vx::SetDragLoop(DragLoop loop) {
  DragLoop previous = std::move(CustomLoop());
  CustomLoop() = std::move(loop);
  return previous;
}

HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD okEffects, DWORD* effect) {
  if (!data || !source || !effect) return E_INVALIDARG;
  if (CustomLoop()) return CustomLoop()(data, source, okEffects, effect);
  vx::EnsureQtApp();
  const vx::ComPtr<IDataObject> keepData(data);
  const vx::ComPtr<IDropSource> keepSource(source);
  auto* mime = new QMimeData;
  IEnumFORMATETC* raw = nullptr;
  if (SUCCEEDED(data->EnumFormatEtc(DATADIR_GET, &raw)) && raw) {
    const auto formats = vx::ComPtr<IEnumFORMATETC>::Adopt(raw);
    FORMATETC f;
    ULONG n = 0;
    bool wideText = false;
    while (formats->Next(1, &f, &n) == S_OK && n == 1) {
      STGMEDIUM medium;
      if (FAILED(data->GetData(&f, &medium))) continue;
      const auto* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal));
      const std::string block(bytes, GlobalSize(medium.hGlobal));
      GlobalUnlock(medium.hGlobal);
      ReleaseStgMedium(&medium);
      const std::string text = block.substr(0, block.find('\0'));
      if (f.cfFormat == CF_UNICODETEXT) {
        std::u16string wide;
        for (std::size_t i = 0; i + 1 < block.size(); i += 2) {
          const char16_t c = static_cast<char16_t>(static_cast<unsigned char>(block[i]) |
                                                   static_cast<unsigned char>(block[i + 1]) << 8);
          if (c == 0) break;
          wide.push_back(c);
        }
        mime->setText(QString::fromStdU16String(wide));
        wideText = true;
      } else if (f.cfFormat == CF_TEXT && !wideText) {
        mime->setText(QString::fromStdU16String(vx::Cp1251ToUtf16(text)));
      } else if (f.cfFormat == RtfFormat()) {
        mime->setData(kRtfMime, QByteArray::fromStdString(text));
      } else if (f.cfFormat == GridColumnFormat()) {
        mime->setData(kGridColumnMime, QByteArray::fromStdString(block.substr(0, 4)));
      }
    }
  }
  QObject* origin = QWidget::mouseGrabber();
  if (!origin) origin = QApplication::focusWidget();
  if (!origin) origin = QCoreApplication::instance();
  QDrag drag(origin);
  drag.setMimeData(mime);
  QObject::connect(&drag, &QDrag::actionChanged,
                   [&](Qt::DropAction a) { vx::Guard([&] { source->GiveFeedback(EffectsOf(a)); }); });
  // The source is asked on as the drag runs, and may give it up.
  QTimer ask;
  QObject::connect(&ask, &QTimer::timeout, [&] {
    HRESULT answer = S_OK;
    vx::Guard([&] {
      answer = source->QueryContinueDrag(
          false, vx::MouseKeysFromQt(QGuiApplication::queryKeyboardModifiers(), QGuiApplication::mouseButtons()));
    });
    if (answer == DRAGDROP_S_CANCEL) QDrag::cancel();
  });
  ask.start(50);
  const Qt::DropActions allowed = ActionsOf(okEffects);
  const Qt::DropAction result = drag.exec(allowed, allowed & Qt::MoveAction ? Qt::MoveAction : ActionOf(okEffects));
  ask.stop();
  *effect = result == Qt::IgnoreAction ? DROPEFFECT_NONE : EffectsOf(result);
  return result == Qt::IgnoreAction ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
}
