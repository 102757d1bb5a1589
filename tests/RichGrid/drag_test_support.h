// Pieces of the drag tests: a data object of the test's making (it gives
// the blocks it was filled with, in the order they were added) and a grid
// of texts "<col>/<row>".
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/ole/drag_drop.h"
#include "tests/RichGrid/rich_grid_test_support.h"

namespace dragtest {

class FormatsOf : public vx::ComObject<IEnumFORMATETC> {
 public:
  explicit FormatsOf(std::vector<CLIPFORMAT> formats) : formats_(std::move(formats)) {}
  HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* fetched) override {
    ULONG n = 0;
    while (n < celt && at_ < formats_.size())
      rgelt[n++] = FORMATETC{formats_[at_++], nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (fetched) *fetched = n;
    return n == celt ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG celt) override {
    at_ = std::min<std::size_t>(formats_.size(), at_ + celt);
    return S_OK;
  }
  HRESULT Reset() override {
    at_ = 0;
    return S_OK;
  }
  HRESULT Clone(IEnumFORMATETC**) override { return E_NOTIMPL; }

 private:
  std::vector<CLIPFORMAT> formats_;
  std::size_t at_ = 0;
};

class FakeData : public vx::ComObject<IDataObject> {
 public:
  FakeData& Add(CLIPFORMAT format, std::string bytes) {
    blocks_.emplace_back(format, std::move(bytes));
    return *this;
  }
  // A data object that lists no formats at all.
  bool noEnumerator = false;

  HRESULT GetData(const FORMATETC* f, STGMEDIUM* medium) override {
    for (const auto& [format, bytes] : blocks_)
      if (format == f->cfFormat) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (!bytes.empty()) std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        *medium = STGMEDIUM{TYMED_HGLOBAL, block, nullptr};
        return S_OK;
      }
    return DV_E_FORMATETC;
  }
  HRESULT GetDataHere(const FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT QueryGetData(const FORMATETC*) override { return E_NOTIMPL; }
  HRESULT GetCanonicalFormatEtc(const FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT SetData(const FORMATETC*, STGMEDIUM*, bool) override { return E_NOTIMPL; }
  HRESULT EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
    if (noEnumerator) return E_NOTIMPL;
    std::vector<CLIPFORMAT> formats;
    for (const auto& block : blocks_) formats.push_back(block.first);
    *out = new FormatsOf(formats);
    (*out)->AddRef();
    return S_OK;
  }
  HRESULT DAdvise(const FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  std::vector<std::pair<CLIPFORMAT, std::string>> blocks_;
};

class DragGrid : public richgridtest::Grid {
 public:
  DragGrid() {
    SetColCount(5);
    SetRowCount(10);
    for (int r = 1; r < 10; ++r)
      for (int c = 1; c < 5; ++c) SetCells(c, r, IntToStr(c) + "/" + IntToStr(r));
  }
  // A client point as the screen sees it.
  POINTL At(int x, int y) const {
    const TPoint p = ClientToScreen(Point(x, y));
    return POINTL{p.X, p.Y};
  }
  POINTL AtCell(int c, int r) { return At(CellRect(c, r).Left + 5, CellRect(c, r).Top + 5); }
};

// A text block as CF_TEXT gives it.
inline std::string Text(const std::string& s) { return s + '\0'; }

// The bytes of a global block.
inline std::string Bytes(HGLOBAL block) {
  const auto* p = static_cast<const char*>(GlobalLock(block));
  std::string bytes(p, GlobalSize(block));
  GlobalUnlock(block);
  return bytes;
}

}  // namespace dragtest
