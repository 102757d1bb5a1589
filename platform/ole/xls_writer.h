// Writing a workbook as an Excel 97-2003 file: a BIFF8 "Workbook" stream
// in a compound document (compound_file.h).
//
// The stream: the workbook globals (BOF, CODEPAGE 1200, WINDOW1, five
// FONT, eighteen XF (the last two of the short date format and of the time
// format) and the Normal STYLE, one BOUNDSHEET8 per sheet, the shared
// strings SST with its CONTINUE records and EXTSST, EOF), then per sheet
// BOF, DIMENSIONS, the cells by rows, WINDOW2, EOF. Texts are LABELSST
// cells; numbers are RK cells when the RK form holds them exactly (runs of
// them MULRK), else NUMBER; dates are NUMBER cells of the date format,
// times (TimeOnly) of the time format; Booleans and errors are BOOLERR.
// The stream is padded with zeros to 4096 bytes.
#pragma once

#include <string>

#include "platform/ole/xls_workbook.h"

namespace vx {

// The BIFF8 stream alone.
std::string WriteXlsStream(const XlsWorkbook& book);
// The file: the stream in a compound document. A workbook without sheets
// gets one empty "Sheet1".
std::string WriteXlsFile(const XlsWorkbook& book);

}  // namespace vx
