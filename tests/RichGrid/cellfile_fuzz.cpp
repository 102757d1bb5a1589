// Fuzz entry point: any bytes as the grid's cell file. A damaged file gives
// the grid's error; a file that loads saves and loads again to the same
// sizes, widths and cells (for grids small enough to walk quickly).
#include <cstdio>
#include <cstdlib>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "tests/RichGrid/fuzz/fuzz_file.h"

namespace {

bool Same(const TRichStringGrid& a, const TRichStringGrid& b) {
  if (a.ColCount() != b.ColCount() || a.RowCount() != b.RowCount()) return false;
  for (int c = 0; c < a.ColCount(); ++c)
    if (a.ColWidths(c) != b.ColWidths(c)) return false;
  for (int r = 0; r < a.RowCount(); ++r)
    for (int c = 0; c < a.ColCount(); ++c)
      if (a.Cells(c, r) != b.Cells(c, r)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = (Application->Initialize(), true);
  (void)started;
  const std::string& file = vx::fuzz::ScratchFile("cellfile");
  vx::fuzz::Put(file, data, size);
  const bool multi = size > 0 && (data[size - 1] & 1);
  TRichStringGrid grid(nullptr);
  grid.SetMultilinecells(multi);
  try {
    grid.LoadFromFile(file);
  } catch (const ERichGridError&) { return 0; }
  if (static_cast<long long>(grid.ColCount()) * grid.RowCount() > 200000) return 0;
  grid.SaveToFile(file + ".back");
  TRichStringGrid back(nullptr);
  back.SetMultilinecells(multi);
  back.LoadFromFile(file + ".back");
  if (!Same(grid, back)) {
    std::fprintf(stderr, "the cell file does not read back to the same grid\n");
    std::abort();
  }
  return 0;
}
