// Fuzz entry point: arbitrary bytes opened as an .ntx index file.
#include "tables/index/ntx_index.h"
#include "tests/tables/index/index_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return vx::test::FuzzIndexFile<XBobjNTXFile>(data, size, "ntx");
}
