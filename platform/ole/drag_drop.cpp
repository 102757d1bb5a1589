// Global memory blocks, mediums and the CF_HDROP block of drag_drop.h.
//
// CF_HDROP block (little-endian):
//   offset  size  meaning
//   0       4     pFiles: offset of the first name (20)
//   4       8     pt: the drop point (x, y)
//   12      4     fNC: the point lies in the non-client area (0)
//   16      4     fWide: names in UTF-16 (1) or in the ANSI code page (0)
//   20      ...   names, each ended by a zero character; one more zero ends the list
#include "platform/ole/drag_drop.h"

#include <cstring>
#include <limits>

#include "platform/rtl/codepages.h"

struct GlobalBlock {
  std::vector<unsigned char> bytes;
};

namespace {
std::size_t g_allocLimit = std::size_t{1} << 30;

void PutLE32(unsigned char* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}
}  // namespace

HGLOBAL GlobalAlloc(unsigned, std::size_t bytes) {
  if (bytes > g_allocLimit) return nullptr;
  auto* block = new GlobalBlock;
  block->bytes.assign(bytes, 0);
  return block;
}

void* GlobalLock(HGLOBAL block) { return block ? block->bytes.data() : nullptr; }
bool GlobalUnlock(HGLOBAL block) { return block != nullptr; }
std::size_t GlobalSize(HGLOBAL block) { return block ? block->bytes.size() : 0; }

HGLOBAL GlobalFree(HGLOBAL block) {
  delete block;
  return nullptr;
}

void ReleaseStgMedium(STGMEDIUM* medium) {
  if (!medium) return;
  if (medium->pUnkForRelease) medium->pUnkForRelease->Release();
  else if (medium->tymed == TYMED_HGLOBAL) GlobalFree(medium->hGlobal);
  *medium = STGMEDIUM{};
}

namespace vx {

std::size_t SetGlobalAllocLimit(std::size_t bytes) {
  const std::size_t old = g_allocLimit;
  g_allocLimit = bytes;
  return old;
}

HGLOBAL MakeDropFiles(const std::vector<AnsiString>& names, bool wide) {
  std::vector<unsigned char> list;
  for (const AnsiString& name : names) {
    if (wide) {
      for (char16_t c : vx::Cp1251ToUtf16(name)) {
        list.push_back(static_cast<unsigned char>(c & 0xFF));
        list.push_back(static_cast<unsigned char>(c >> 8));
      }
      list.insert(list.end(), 2, 0);
    } else {
      list.insert(list.end(), name.begin(), name.end());
      list.push_back(0);
    }
  }
  list.insert(list.end(), wide ? 2 : 1, 0);
  constexpr std::size_t kHeader = 20;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, kHeader + list.size());
  if (!block) return nullptr;
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  PutLE32(bytes, kHeader);
  PutLE32(bytes + 16, wide ? 1 : 0);
  std::memcpy(bytes + kHeader, list.data(), list.size());
  GlobalUnlock(block);
  return block;
}

}  // namespace vx
