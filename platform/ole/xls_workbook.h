// A workbook as the spreadsheet stand-in holds it: worksheets of cell
// values (texts, numbers, Booleans, error values, dates), nothing else.
// What a file held beyond that (formats are dropped, but a number in a
// date format is a date; formulas keep their last values) is noted, so
// that the server never writes such a file back over itself.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ole/automation.h"

struct XlsSheet {
  std::u16string Name;
  OleArray Cells;  // row 0, column 0 is A1
};

struct XlsWorkbook {
  std::vector<std::unique_ptr<XlsSheet>> Sheets;
  int ActiveSheet = 0;
  // Read from a file: the name of the sheet that was active, whatever its
  // kind (empty when the file names none).
  std::u16string ActiveName;
  // Read from a file: it held formulas, or sheets other than worksheets
  // (charts, macro sheets), which are not kept.
  bool HadFormulas = false;
  bool HadOtherSheets = false;
};

// The sheet limits of the file format (BIFF8).
constexpr int kXlsMaxRows = 65536, kXlsMaxCols = 256;
// The longest text a cell holds.
constexpr std::size_t kXlsMaxText = 32767;
// The most text, in characters, that the cells of a workbook read from a
// file may hold together (16 Mi): more is "File too large".
constexpr std::size_t kXlsMaxWorkbookText = std::size_t{1} << 24;
