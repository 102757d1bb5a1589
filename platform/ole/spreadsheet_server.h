// The spreadsheet stand-in bound to "excel.application": workbooks of
// worksheet values in memory, read from and written to Excel 97-2003
// files (xls_reader.h, xls_writer.h).
//
// - Workbooks.Add gives a workbook without sheets; WorkSheets.Add adds
//   "Sheet<n>" before the active sheet and makes it active. A workbook
//   saved without sheets gets one empty "Sheet1".
// - Workbooks.Open of a missing file gives no workbook; a file that is
//   not a readable workbook raises.
// - Only values are kept: a workbook read from a file that held formulas
//   or chart or macro sheets is never written back (Save and SaveAs
//   raise), so nothing of it is lost.
// - Files are replaced only once written whole.
// - A sheet holds at most 65,536 rows and 256 columns and a cell at most
//   32,767 characters; a range beyond them raises.
// - Quit closes every workbook without saving.
#pragma once

#include <memory>

#include "platform/ole/excel_automation.h"

namespace vx {

std::unique_ptr<TAutomationObject> NewSpreadsheetServer();

}  // namespace vx
