// Fuzz entry point: any bytes as one of the text files the main window
// reads from its pages, the first byte choosing which: a wheel-system file
// of the Systems page (with its file name taken from the first line), a
// downloaded weight survey, or a draw file of the import. Nothing may
// crash; what is accepted must be what the commands rely on.
#include <cstdio>
#include <cstdlib>

#include "RichGrid/rich_grid.h"
#include "app/analysis/probability_file.h"
#include "app/analysis/wheel_systems.h"
#include "app/bases/foreign_draws.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/fuzz/fuzz_file.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

void WheelFile(const TStringList& lines) {
  vx::WheelType type;
  const AnsiString first = lines.Count() > 0 ? lines[0] : AnsiString();
  if (vx::DecodeWheelName(first, type) && (type.numbers < 0 || type.covered < 0 || type.variants < 0))
    Fail("a wheel name decoded to a negative count");
  vx::WheelFileName(first);
  vx::WheelSystem system;
  if (!vx::ReadWheelHeader(lines, system) || !vx::ReadWheelVariants(lines, system)) return;
  std::vector<int> chosen;
  for (int n = 1; n <= system.N; ++n) chosen.push_back(100 + n);
  const std::vector<std::vector<int>> rows = vx::ExpandWheel(system, chosen);
  if (static_cast<int>(rows.size()) != system.V) Fail("a wheel expanded to another count of rows");
  for (const std::vector<int>& row : rows) {
    if (static_cast<int>(row.size()) != system.K) Fail("a wheel row of another length");
    for (int v : row)
      if (v <= 100 || v > 100 + system.N) Fail("a wheel row took a number it was not given");
  }
}

void WeightSurvey(const TStringList& lines, int highest) {
  try {
    const vx::Weights weights = vx::ReadProbabilityLines(lines, highest);
    if (static_cast<int>(weights.size()) != highest) Fail("weights of another count");
    for (std::int32_t w : weights)
      if (w < 0 || w > 100) Fail("a weight outside 0..100");
  } catch (EConvertError&) {}
}

void DrawFile(const std::string& file) {
  TRichStringGrid grid(nullptr);
  grid.SetDelimiter(';');
  grid.LoadFromCSV(file);
  try {
    for (const vx::ImportedDraw& d : vx::MultilotekDraws(grid))
      if (static_cast<int>(d.numbers.size()) != vx::MultilotekNumbers) Fail("a draw of another count of numbers");
  } catch (Exception&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = (Application->Initialize(), true);
  (void)started;
  if (size == 0) return 0;
  const std::string& file = vx::fuzz::ScratchFile("textfiles");
  vx::fuzz::Put(file, data + 1, size - 1);
  TStringList lines;
  switch (data[0] % 4) {
    case 0:
      lines.LoadFromFile(file);
      WheelFile(lines);
      break;
    case 1:
    case 2:
      lines.LoadFromFile(file);
      WeightSurvey(lines, data[0] % 4 == 1 ? 49 : 81);
      break;
    default: DrawFile(file); break;
  }
  return 0;
}
