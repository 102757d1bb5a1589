// Fuzz entry point: arbitrary bytes opened as an .mdx index file.
#include "tables/mdx_index.h"
#include "tests/tables/index_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return vx::test::FuzzIndexFile<XBobjMDXFile>(data, size, "mdx");
}
