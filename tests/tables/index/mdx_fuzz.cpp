// Fuzz entry point: arbitrary bytes opened as an .mdx index file.
#include "tables/index/mdx_index.h"
#include "tests/tables/index/index_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return vx::test::FuzzIndexFile<XBobjMDXFile>(data, size, "mdx");
}
