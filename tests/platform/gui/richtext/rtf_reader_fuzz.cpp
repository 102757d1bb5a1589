// Fuzz entry point: any bytes as RTF. Reading never fails, and what the
// writer makes of the document reads back to the same document.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/gui/richtext/rtf_reader.h"
#include "platform/gui/richtext/rtf_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vx::RichDocument doc = vx::ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string written = vx::WriteRtf(doc);
  if (!(vx::ReadRtf(written) == doc)) {
    std::fprintf(stderr, "written RTF reads back differently:\n%s\n", written.c_str());
    std::abort();
  }
  return 0;
}
