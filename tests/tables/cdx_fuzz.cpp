// Fuzz entry point: arbitrary bytes opened as a compound index file; every
// tag is walked both ways and sought. Damage may raise EXBaseError; nothing
// may crash, read out of bounds or hang.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tables/cdx_index.h"

namespace {

std::string ScratchFile() {
  const char* tmp = std::getenv("VX_TEST_TMP");
  std::filesystem::path dir = std::filesystem::path(tmp ? tmp : "/tmp") / "cdx_fuzz";
  std::filesystem::create_directories(dir);
  return (dir / ("input" + std::to_string(getpid()) + ".cdx")).string();
}

void Walk(XBobjIndexTag& tag, int code, int step) {
  int32_t rec = tag.KeyRead(code);
  for (int i = 0; i < 5000 && rec != 0; ++i) rec = tag.KeyRead(step);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = ScratchFile();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    XBobjCDXFile file(nullptr);
    if (!file.Create(path, false, false, false, false)) return 0;
    for (int i = 0; i < file.TagCount() && i < 16; ++i) {
      XBobjIndexTag& tag = *file.TagByNumber(i);
      try {
        Walk(tag, -3, -1);
        Walk(tag, -4, -2);
        XBobjIndexKeyData key(std::string(data, data + std::min<size_t>(size, 6)), -1, -1);
        tag.KeyFind(key);
        tag.KeyRead(-1);
        tag.KeyRead(-5);
      } catch (const EXBaseError&) {
      }
    }
  } catch (const EXBaseError&) {
  } catch (const Exception&) {
  }
  return 0;
}
