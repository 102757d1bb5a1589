#include "app/bases/foreign_draws.h"

#include <algorithm>

#include "RichGrid/rich_grid.h"
#include "platform/rtl/dateutils.h"

namespace vx {

std::vector<ImportedDraw> MultilotekDraws(const TRichStringGrid& grid) {
  TFormatSettings dates;
  dates.DateSeparator = '.';
  dates.ShortDateFormat = "yyyy.m.d";
  std::vector<ImportedDraw> draws;
  draws.reserve(static_cast<std::size_t>(std::max(grid.RowCount() - 1, 0)));
  int lastYear = 0, counter = 0;
  for (int r = 1; r < grid.RowCount(); ++r) {
    Word year, month, day;
    DecodeDate(StrToDate(grid.Cells(1, r), dates), year, month, day);
    if (year != lastYear) {
      lastYear = year;
      counter = 0;
    }
    ImportedDraw d{year, ++counter, std::vector<int>(MultilotekNumbers)};
    for (int j = 0; j < MultilotekNumbers; ++j) d.numbers[static_cast<std::size_t>(j)] = grid.Ints(j + 2, r);
    draws.push_back(std::move(d));
  }
  return draws;
}

int HighestImportedNumber(const std::vector<ImportedDraw>& draws) {
  int highest = 0;
  for (const ImportedDraw& d : draws)
    for (int n : d.numbers) highest = std::max(highest, n);
  return highest;
}

}  // namespace vx
