// Fuzz entry point: arbitrary bytes opened as a compound index file.
#include "tables/index/cdx/cdx_index.h"
#include "tests/tables/index/index_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return vx::test::FuzzIndexFile<XBobjCDXFile>(data, size, "cdx", 6);
}
