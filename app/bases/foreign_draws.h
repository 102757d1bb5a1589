// Draw files of other programs, read into a grid by its separated-values
// reader, turned into the draws of a new draw base.
//
// The one format known, "Multilotek": ';'-separated text, one draw per
// line after a heading line (grid row 0, not read). Column 0 is free text
// (not read), column 1 the date "yyyy.m.d" (four-digit year, month and day
// without leading zeros; leading zeros are accepted), columns 2 .. 21 the
// 20 numbers. A line with fewer numbers leaves the missing ones 0. The
// file's own draw numbers are not used: draws are counted 1, 2, ... within
// each year in the order of the file, starting again whenever the year
// differs from the line before.
#pragma once

#include <vector>

#include "platform/rtl/cp1251.h"

class TRichStringGrid;

namespace vx {

inline constexpr const char* MultilotekFormat = "Multilotek";
inline constexpr int MultilotekNumbers = 20;

struct ImportedDraw {
  int year = 0;
  int draw = 0;
  std::vector<int> numbers;
};

// The draws of grid rows 1 .. RowCount - 1. A date that is not a valid
// "yyyy.m.d" raises EConvertError, a number cell that is not an integer
// ERichGridError; either comes before any draw is returned. The global
// date format is neither read nor changed.
std::vector<ImportedDraw> MultilotekDraws(const TRichStringGrid& grid);

// The highest number of the draws; 0 when none is above 0.
int HighestImportedNumber(const std::vector<ImportedDraw>& draws);

}  // namespace vx
