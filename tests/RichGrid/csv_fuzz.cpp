// Fuzz entry point: any bytes as separated values. The first byte picks the
// reader's settings (delimiter, tilde line breaks, OEM text, fixed cells,
// appending); reading never fails on an existing file and leaves at least
// one row per record.
#include <cstdio>
#include <cstdlib>

#include "RichGrid/rich_grid.h"
#include "platform/gui/application.h"
#include "tests/RichGrid/fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = (Application->Initialize(), true);
  (void)started;
  if (size == 0) return 0;
  const std::uint8_t settings = data[0];
  const std::string& file = vx::fuzz::ScratchFile("csv");
  vx::fuzz::Put(file, data + 1, size - 1);
  TRichStringGrid grid(nullptr);
  const char delimiters[] = {0, ';', ',', '\t', '|', '"', '~', 'a'};
  grid.SetDelimiter(delimiters[settings & 7]);
  grid.SetTildeLineBreaks(settings & 8);
  grid.SetOemConvert(settings & 16);
  if (settings & 32) {
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetFixedRows(1);
    grid.SetFixedCols(1);
    grid.SetIncludeFixedCells(false);
  }
  grid.LoadFromCSV(file, settings & 64);
  if (grid.Delimiter() != delimiters[settings & 7]) {
    std::fprintf(stderr, "the delimiter was not restored\n");
    std::abort();
  }
  return 0;
}
