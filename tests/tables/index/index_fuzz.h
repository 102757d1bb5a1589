// Shared body of the index fuzz entry points (CDX, NTX, NDX, MDX): arbitrary
// bytes opened as an index file; every tag is walked both ways and sought with
// the input's first seekBytes bytes. Damage may raise EXBaseError; nothing may
// crash, read out of bounds or hang.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "tables/index/xb_index.h"

namespace vx::test {

inline void FuzzWalk(XBobjIndexTag& tag, int code, int step) {
  int32_t rec = tag.KeyRead(code);
  for (int i = 0; i < 5000 && rec != 0; ++i) rec = tag.KeyRead(step);
}

template <class File>
int FuzzIndexFile(const uint8_t* data, size_t size, const char* extension, size_t seekBytes = 8) {
  static const std::string path = [extension] {
    const char* tmp = std::getenv("VX_TEST_TMP");
    std::filesystem::path dir = std::filesystem::path(tmp ? tmp : "/tmp") / (std::string(extension) + "_fuzz");
    std::filesystem::create_directories(dir);
    return (dir / ("input" + std::to_string(getpid()) + "." + extension)).string();
  }();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    File file(nullptr);
    if (!file.Create(path, false, false, false, false)) return 0;
    for (int i = 0; i < file.TagCount() && i < 16; ++i) {
      XBobjIndexTag& tag = *file.TagByNumber(i);
      try {
        FuzzWalk(tag, -3, -1);
        FuzzWalk(tag, -4, -2);
        XBobjIndexKeyData key(std::string(data, data + std::min(size, seekBytes)), -1, -1);
        tag.KeyFind(key);
        tag.KeyRead(-1);
        tag.KeyRead(-5);
      } catch (const EXBaseError&) {}
    }
  } catch (const EXBaseError&) {
  } catch (const Exception&) {}
  return 0;
}

}  // namespace vx::test
