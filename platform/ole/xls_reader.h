// Reading an Excel 97-2003 file (BIFF8 in a compound document) into a
// workbook of values: worksheets by name with their texts (LABELSST over
// the shared strings, LABEL, RSTRING), numbers (NUMBER, RK, MULRK; one
// whose cell format shows a date, by the XF and FORMAT records, is a date,
// in either date system of DATEMODE, and a time when the format shows only
// a time or the number is below 1; one that is no moment of the years up
// to 9999, negative or too great, stays the number), Booleans and errors
// (BOOLERR) and the last values of formulas (FORMULA with its STRING); the
// active sheet from WINDOW1. Chart and macro sheets are skipped, and so
// are substreams embedded in a sheet.
//
// A damaged or unsupported file (not a compound document, no "Workbook"
// stream, an older BIFF version, encryption, records or shared strings
// running past their ends, a sheet offset outside the stream, two sheet
// entries whose sheets share records) raises EOleException with the
// reason; no number read from the file is trusted before it has been
// checked against what is there. Each sheet is read once, and cells holding
// more than kXlsMaxWorkbookText characters of text in all raise
// EOleException "File too large: ...", so what a file costs stays in
// proportion to its size.
#pragma once

#include <string_view>

#include "platform/ole/xls_workbook.h"

namespace vx {

XlsWorkbook ReadXlsFile(std::string_view file);

}  // namespace vx
