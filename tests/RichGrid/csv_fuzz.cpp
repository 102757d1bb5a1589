// Fuzz entry point: any bytes as separated values. The first byte picks the
// reader's settings (delimiter, tilde line breaks, OEM text, fixed cells,
// appending); reading fails only on a file that would make a grid larger
// than the cell file allows, and leaves the grid as it was then; it never
// adds more than 16,384 columns.
#include <cstdio>
#include <cstdlib>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
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
  const int cols = grid.ColCount(), rows = grid.RowCount();
  try {
    grid.LoadFromCSV(file, settings & 64);
  } catch (const ERichGridError& e) {
    // Only a file larger than a grid may be refused, and the grid stays.
    if (e.Message().rfind("File too large ", 0) != 0 || grid.ColCount() != cols || grid.RowCount() != rows) {
      std::fprintf(stderr, "an unexpected failure: %s\n", e.Message().c_str());
      std::abort();
    }
  }
  if (grid.ColCount() > cols + 16384) {
    std::fprintf(stderr, "a grid of %d columns\n", grid.ColCount());
    std::abort();
  }
  if (grid.Delimiter() != delimiters[settings & 7]) {
    std::fprintf(stderr, "the delimiter was not restored\n");
    std::abort();
  }
  return 0;
}
