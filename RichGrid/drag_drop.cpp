#include "RichGrid/drag_drop.h"

#include <cstring>
#include <functional>

#include "platform/gui/services/clipbrd.h"
#include "platform/gui/base/messages.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/sysutils.h"

namespace {

CLIPFORMAT g_richText = 0, g_gridColumn = 0;
bool g_richTextOn = false;

// The flags of the blocks a data object gives: movable, zeroed, shareable.
constexpr unsigned kBlockFlags = GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE;

FORMATETC Format(CLIPFORMAT cf) { return FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

std::uint32_t LE32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

CLIPFORMAT RichTextFormat() { return g_richText; }
CLIPFORMAT GridColumnFormat() { return g_gridColumn; }
bool RichTextDragDrop() { return g_richTextOn; }
void SetRichTextDragDrop(bool on) { g_richTextOn = on; }

// ---------------------------------------------------------------------------
// TEnumFormats

TEnumFormats::TEnumFormats(IDataObject* dataObject) : dataObject_(dataObject), files_(std::make_unique<TStringList>()) {
  if (g_richText == 0) g_richText = static_cast<CLIPFORMAT>(RegisterClipboardFormat("Rich Text Format"));
  if (g_gridColumn == 0) g_gridColumn = static_cast<CLIPFORMAT>(RegisterClipboardFormat("Grid Column"));
  IEnumFORMATETC* enumerator = nullptr;
  if (!dataObject || FAILED(dataObject->EnumFormatEtc(DATADIR_GET, &enumerator)) || !enumerator)
    throw EAssertionFailed("Cannot get the format enumerator (rsgdd)");
  enumerator_ = vx::ComPtr<IEnumFORMATETC>::Adopt(enumerator);
}

bool TEnumFormats::Has(CLIPFORMAT format) {
  enumerator_->Reset();
  valid_ = false;
  ULONG fetched = 0;
  for (index_ = 0; enumerator_->Next(1, &format_, &fetched) == S_OK && fetched == 1; ++index_)
    if (format_.cfFormat == format) return valid_ = true;
  return false;
}

bool TEnumFormats::HasText() { return Has(CF_TEXT); }
bool TEnumFormats::HasFiles() { return Has(CF_HDROP); }
bool TEnumFormats::HasRichText() { return g_richTextOn && Has(g_richText); }
bool TEnumFormats::HasColumn() { return Has(g_gridColumn); }

bool TEnumFormats::Block(CLIPFORMAT format, std::string& bytes) {
  const FORMATETC f = Format(format);
  STGMEDIUM medium;
  if (FAILED(dataObject_->GetData(&f, &medium))) return false;
  const auto* p = static_cast<const char*>(GlobalLock(medium.hGlobal));
  bytes.assign(p ? p : "", p ? GlobalSize(medium.hGlobal) : 0);
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);
  return true;
}

AnsiString TEnumFormats::GetText() {
  std::string bytes;
  if (!Block(CF_TEXT, bytes)) return "";
  return bytes.substr(0, bytes.find('\0'));
}

AnsiString TEnumFormats::GetRichText() {
  std::string bytes;
  if (!Block(g_richText, bytes)) return "";
  return bytes.substr(0, bytes.find('\0'));
}

int TEnumFormats::GetColumn() {
  std::string bytes;
  if (!Block(g_gridColumn, bytes) || bytes.size() < 4) return -1;
  return static_cast<std::int32_t>(LE32(reinterpret_cast<const unsigned char*>(bytes.data())));
}

// The names after the DROPFILES header, UTF-16 or CP1251 by its wide
// flag; a name without its zero, a list without its end or an offset
// outside the block ends the reading.
bool TEnumFormats::GetFiles() {
  files_->Clear();
  std::string bytes;
  if (!Block(CF_HDROP, bytes) || bytes.size() < 20) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t at = LE32(b);
  const bool wide = LE32(b + 16) != 0;
  while (at < size) {
    if (wide) {
      std::u16string name;
      std::size_t i = at;
      for (; i + 1 < size; i += 2) {
        const char16_t c = static_cast<char16_t>(b[i] | b[i + 1] << 8);
        if (c == 0) break;
        name.push_back(c);
      }
      if (i + 1 >= size || name.empty()) break;
      files_->Add(vx::Utf16ToCp1251(name));
      at = i + 2;
    } else {
      const std::size_t end = bytes.find('\0', at);
      if (end == std::string::npos || end == at) break;
      files_->Add(bytes.substr(at, end - at));
      at = end + 1;
    }
  }
  return files_->Count() > 0;
}

// ---------------------------------------------------------------------------
// TDropTarget

DWORD TDropTarget::EffectFor(DWORD keyState) const {
  if (!accept_) return DROPEFFECT_NONE;
  return keyState & MK_CONTROL || formats_ & kDragFiles ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

HRESULT TDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) {
  TEnumFormats f(data);
  const bool text = f.HasText(), files = f.HasFiles(), rich = f.HasRichText(), column = f.HasColumn();
  formats_ =
      (text ? kDragText : 0) | (files ? kDragFiles : 0) | (column ? kDragColumn : 0) | (rich ? kDragRichText : 0);
  accept_ = (text && acceptText_) || (files && acceptFiles_) || (rich && acceptText_) || (column && acceptColumns_);
  if (effect) *effect = EffectFor(keyState);
  DragMouseEnter();
  return S_OK;
}

HRESULT TDropTarget::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
  DWORD e = EffectFor(keyState);
  bool allow = e != DROPEFFECT_NONE;
  DragMouseMove(Point(pt.x, pt.y), allow, formats_);
  if (!allow) e = DROPEFFECT_NONE;
  if (effect) *effect = e;
  return S_OK;
}

HRESULT TDropTarget::DragLeave() {
  DragMouseLeave();
  return S_OK;
}

HRESULT TDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
  if (!accept_) {
    if (effect) *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  TEnumFormats f(data);
  const TPoint at = Point(pt.x, pt.y);
  // Taken when any handler that ran took something; in part when one of
  // them left something.
  bool taken = false, inPart = false;
  auto hand = [&](const std::function<void()>& drop) {
    dropTaken_ = true;
    dropInPart_ = false;
    drop();
    taken = taken || dropTaken_;
    inPart = inPart || (dropTaken_ && dropInPart_);
  };
  if (f.HasColumn()) hand([&] { DropColumn(at, f.GetColumn()); });
  else if (f.HasRichText()) hand([&] { DropRichText(at, f.GetRichText()); });
  else if (f.HasText()) hand([&] { DropText(at, f.GetText()); });
  if (f.HasFiles() && f.GetFiles()) hand([&] { DropFiles(at, f.Files()); });
  if (effect) *effect = !taken ? DROPEFFECT_NONE : inPart ? DROPEFFECT_COPY : EffectFor(keyState);
  return S_OK;
}

// ---------------------------------------------------------------------------
// TDropSource

HRESULT TDropSource::QueryContinueDrag(bool escapePressed, DWORD keyState) {
  QueryDrag();
  if (escapePressed) return DRAGDROP_S_CANCEL;
  if (!(keyState & MK_LBUTTON)) return DRAGDROP_S_DROP;
  return S_OK;
}

HRESULT TDropSource::GiveFeedback(DWORD effect) {
  noEffect_ = effect == DROPEFFECT_NONE;
  CurrentEffect(effect);
  return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---------------------------------------------------------------------------
// TSourceDataObject

TSourceDataObject::TSourceDataObject(const AnsiString& text, const AnsiString& richText, int column)
    : text_(text), richText_(richText), column_(column) {
  if (g_richText == 0) g_richText = static_cast<CLIPFORMAT>(RegisterClipboardFormat("Rich Text Format"));
  if (g_gridColumn == 0) g_gridColumn = static_cast<CLIPFORMAT>(RegisterClipboardFormat("Grid Column"));
}

HRESULT TSourceDataObject::QueryGetData(const FORMATETC* f) {
  if (!f || f->dwAspect != DVASPECT_CONTENT || !(f->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
  if (!text_.empty() &&
      (f->cfFormat == CF_TEXT || f->cfFormat == CF_UNICODETEXT || (g_richTextOn && f->cfFormat == g_richText)))
    return S_OK;
  if (column_ != -1 && f->cfFormat == g_gridColumn) return S_OK;
  return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::GetData(const FORMATETC* f, STGMEDIUM* medium) {
  if (!medium) return E_POINTER;
  if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
  std::string bytes;
  if (f->cfFormat == CF_TEXT) {
    bytes = text_ + '\0';
  } else if (f->cfFormat == CF_UNICODETEXT) {
    for (char16_t c : vx::Cp1251ToUtf16(text_)) {
      bytes.push_back(static_cast<char>(c & 0xFF));
      bytes.push_back(static_cast<char>(c >> 8));
    }
    bytes.append(2, '\0');
  } else if (f->cfFormat == g_richText) {
    bytes = richText_ + '\0';
  } else {
    const auto c = static_cast<std::uint32_t>(column_);
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(c >> (8 * i)));
  }
  HGLOBAL block = GlobalAlloc(kBlockFlags, bytes.size());
  if (!block) return DV_E_FORMATETC;
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  *medium = STGMEDIUM{TYMED_HGLOBAL, block, nullptr};
  return S_OK;
}

HRESULT TSourceDataObject::GetDataHere(const FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }
HRESULT TSourceDataObject::SetData(const FORMATETC*, STGMEDIUM*, bool) { return DV_E_FORMATETC; }

HRESULT TSourceDataObject::GetCanonicalFormatEtc(const FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT TSourceDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) {
  if (!enumerator) return E_POINTER;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  *enumerator = new TSourceEnumFormatEtc(column_ != -1);
  (*enumerator)->AddRef();
  return S_OK;
}

HRESULT TSourceDataObject::DAdvise(const FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT TSourceDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT TSourceDataObject::EnumDAdvise(IEnumSTATDATA** enumerator) {
  if (enumerator) *enumerator = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

// ---------------------------------------------------------------------------
// TSourceEnumFormatEtc

HRESULT TSourceEnumFormatEtc::Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) {
  const CLIPFORMAT order[] = {CF_TEXT, CF_UNICODETEXT, g_richText, g_gridColumn};
  ULONG given = 0;
  while (given < celt && position_ < Count() && rgelt) rgelt[given++] = Format(order[position_++]);
  if (pceltFetched) *pceltFetched = given;
  return given == celt ? S_OK : S_FALSE;
}

HRESULT TSourceEnumFormatEtc::Skip(ULONG celt) {
  if (celt > Count() - position_) {
    position_ = Count();
    return S_FALSE;
  }
  position_ += celt;
  return S_OK;
}

HRESULT TSourceEnumFormatEtc::Reset() {
  position_ = 0;
  return S_OK;
}

HRESULT TSourceEnumFormatEtc::Clone(IEnumFORMATETC** ppenum) {
  if (!ppenum) return E_POINTER;
  *ppenum = new TSourceEnumFormatEtc(withColumn_);
  (*ppenum)->AddRef();
  return S_OK;
}

// ---------------------------------------------------------------------------
// Starting a drag

namespace {
HRESULT RunDrag(TSourceDataObject* data, TDropSource* source, DWORD allowedEffects, DWORD& effect) {
  const vx::ComPtr<IDataObject> keep(data);
  const vx::ComPtr<IDropSource> keepSource(source);
  effect = DROPEFFECT_NONE;
  const HRESULT result = DoDragDrop(data, source, allowedEffects, &effect);
  return source->NoEffect() ? DRAGDROP_S_CANCEL : result;
}
}  // namespace

HRESULT StartTextDragDrop(TDropSource* source, const AnsiString& text, const AnsiString& richText, DWORD allowedEffects,
                          DWORD& effect) {
  return RunDrag(new TSourceDataObject(text, richText, -1), source, allowedEffects, effect);
}

HRESULT StartColumnDragDrop(TDropSource* source, int column, DWORD allowedEffects, DWORD& effect) {
  return RunDrag(new TSourceDataObject("", "", column), source, allowedEffects, effect);
}
