// OLE drag and drop as the program calls it: the data object, drop source,
// drop target and format enumerator as COM-shaped interfaces of our own
// with OLE's result codes, global memory blocks for the data they hand
// over, the CF_HDROP list of files, and the calls that register a window
// as a drop target and run a drag (DoDragDrop).
//
// The drag itself is the window system's, through Qt (drag_bridge.cpp):
// a registered window gets Qt's drag events as IDropTarget calls with a
// data object over the dragged data; DoDragDrop offers an IDataObject's
// formats to Qt's drag and reports its feedback, its end and the effect
// the target chose. Formats cross as: CF_TEXT / CF_UNICODETEXT as text
// (dropped text comes in with CR LF line ends, whatever its program used),
// "Rich Text Format" as text/rtf, "Grid Column" as four little-endian
// bytes of the type kGridColumnMime, CF_HDROP as the local files of a
// list of URLs.
//
// Objects are reference counted as COM's are: ComObject gives an
// implementation AddRef and Release (it deletes itself at 0), ComPtr
// holds a reference. A call that hands out an interface (EnumFormatEtc,
// Clone) adds a reference for the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/cp1251.h"

class TWinControl;

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using CLIPFORMAT = std::uint16_t;

constexpr HRESULT S_OK = 0, S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001), E_POINTER = static_cast<HRESULT>(0x80004003),
                  E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF), E_INVALIDARG = static_cast<HRESULT>(0x80070057),
                  E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064), DV_E_TYMED = static_cast<HRESULT>(0x80040069),
                  OLE_E_ADVISENOTSUPPORTED = static_cast<HRESULT>(0x80040003);
constexpr HRESULT DRAGDROP_S_DROP = 0x40100, DRAGDROP_S_CANCEL = 0x40101, DRAGDROP_S_USEDEFAULTCURSORS = 0x40102;
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = static_cast<HRESULT>(0x80040100),
                  DRAGDROP_E_ALREADYREGISTERED = static_cast<HRESULT>(0x80040101),
                  DRAGDROP_E_INVALIDHWND = static_cast<HRESULT>(0x80040102);
inline constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr DWORD DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4;
constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD TYMED_NULL = 0, TYMED_HGLOBAL = 1;
constexpr DWORD DATADIR_GET = 1, DATADIR_SET = 2;
// GlobalAlloc flags: movable, zero-initialised, shareable (0x2042 together).
constexpr unsigned GMEM_FIXED = 0, GMEM_MOVEABLE = 0x2, GMEM_ZEROINIT = 0x40, GMEM_DDESHARE = 0x2000,
                   GMEM_SHARE = GMEM_DDESHARE;

// The MIME type that carries a dragged grid column.
inline constexpr char kGridColumnMime[] = "application/x-vexamund-grid-column";

struct POINTL {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct DVTARGETDEVICE;  // never used: no target devices here

struct FORMATETC {
  CLIPFORMAT cfFormat = 0;
  DVTARGETDEVICE* ptd = nullptr;
  DWORD dwAspect = 0;
  std::int32_t lindex = 0;
  DWORD tymed = 0;
};

// Global memory: a block of bytes handed from one side of a drag to the
// other. A size above the allocation limit fails (nullptr), as memory
// running out would.
struct GlobalBlock;
using HGLOBAL = GlobalBlock*;
HGLOBAL GlobalAlloc(unsigned flags, std::size_t bytes);
void* GlobalLock(HGLOBAL block);
bool GlobalUnlock(HGLOBAL block);
std::size_t GlobalSize(HGLOBAL block);
// nullptr when freed.
HGLOBAL GlobalFree(HGLOBAL block);

class IUnknown {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

struct STGMEDIUM {
  DWORD tymed = TYMED_NULL;
  HGLOBAL hGlobal = nullptr;
  IUnknown* pUnkForRelease = nullptr;
};
// Frees the medium's block (unless an owner releases it) and empties it.
void ReleaseStgMedium(STGMEDIUM* medium);

class IAdviseSink;
class IEnumSTATDATA;

class IEnumFORMATETC : public IUnknown {
 public:
  // Up to celt formats into rgelt; S_OK when all celt were given, else S_FALSE.
  virtual HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) = 0;
  virtual HRESULT Skip(ULONG celt) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumFORMATETC** ppenum) = 0;
};

class IDataObject : public IUnknown {
 public:
  // The data in a new medium that the caller releases.
  virtual HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT GetDataHere(const FORMATETC* format, STGMEDIUM* medium) = 0;
  // S_OK when GetData would give the format.
  virtual HRESULT QueryGetData(const FORMATETC* format) = 0;
  virtual HRESULT GetCanonicalFormatEtc(const FORMATETC* in, FORMATETC* out) = 0;
  virtual HRESULT SetData(const FORMATETC* format, STGMEDIUM* medium, bool release) = 0;
  virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) = 0;
  virtual HRESULT DAdvise(const FORMATETC* format, DWORD advf, IAdviseSink* sink, DWORD* connection) = 0;
  virtual HRESULT DUnadvise(DWORD connection) = 0;
  virtual HRESULT EnumDAdvise(IEnumSTATDATA** enumerator) = 0;
};

class IDropSource : public IUnknown {
 public:
  // Asked while the drag runs: DRAGDROP_S_CANCEL ends it, DRAGDROP_S_DROP
  // drops, S_OK goes on. keyState holds the MK_ flags (messages.h).
  virtual HRESULT QueryContinueDrag(bool escapePressed, DWORD keyState) = 0;
  // The effect the target under the mouse offers.
  virtual HRESULT GiveFeedback(DWORD effect) = 0;
};

class IDropTarget : public IUnknown {
 public:
  // effect: in, the effects the source allows; out, the one the target takes.
  // pt is in screen coordinates.
  virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) = 0;
  virtual HRESULT DragOver(DWORD keyState, POINTL pt, DWORD* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) = 0;
};

namespace vx {

// AddRef and Release for an implementation of the interface I.
template <class I>
class ComObject : public I {
 public:
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  ULONG refs_ = 0;
};

// Holds one reference.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(T* p) : p_(p) {  // NOLINT: converts like a raw interface pointer
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
  ComPtr& operator=(const ComPtr& o) {
    ComPtr(o).Swap(*this);
    return *this;
  }
  ~ComPtr() {
    if (p_) p_->Release();
  }
  // Takes over a reference the pointer already holds (an out parameter's).
  static ComPtr Adopt(T* p) {
    ComPtr c;
    c.p_ = p;
    return c;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void Swap(ComPtr& o) { std::swap(p_, o.p_); }

 private:
  T* p_ = nullptr;
};

// Allocations above this many bytes fail (tests lower it); returns the old limit.
std::size_t SetGlobalAllocLimit(std::size_t bytes);

// The loop DoDragDrop runs: Qt's drag, or one a test puts in its place to
// play a drag through without a window system. Returns the previous one.
using DragLoop = std::function<HRESULT(IDataObject* data, IDropSource* source, DWORD okEffects, DWORD* effect)>;
DragLoop SetDragLoop(DragLoop loop);

// A CF_HDROP block: the DROPFILES header (offset of the names 20, the
// point, non-client flag 0, wide flag) and each name with a zero after it,
// a further zero at the end; wide names in UTF-16, else in CP1251.
HGLOBAL MakeDropFiles(const std::vector<AnsiString>& names, bool wide);

}  // namespace vx

// Makes OLE usable by this thread: S_OK the first time, S_FALSE after.
HRESULT OleInitialize(void* reserved);
// The window takes drops through target (one target a window; the window
// keeps a reference until RevokeDragDrop or its end).
HRESULT RegisterDragDrop(TWinControl* window, IDropTarget* target);
HRESULT RevokeDragDrop(TWinControl* window);
// Runs a drag of data until it is dropped (DRAGDROP_S_DROP, effect the
// target's) or given up (DRAGDROP_S_CANCEL, effect DROPEFFECT_NONE).
HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD okEffects, DWORD* effect);
