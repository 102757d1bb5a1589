// The spreadsheet server's automation objects, as far as the program calls
// them ("excel.application"). Objects returned by pointer belong to the
// server and live until it quits (a workbook until it is closed); ranges
// are the caller's. Texts, names and addresses are UTF-16. Failures raise
// EOleException.
#pragma once

#include <memory>
#include <string>

#include "platform/ole/automation.h"

class ExcelRange {
 public:
  virtual ~ExcelRange() = default;
  // "$A$1:$C$5", or "$B$2" for a single cell.
  virtual std::u16string Address() = 0;
  // The block's values, rows by columns (a single cell gives a 1 x 1 array).
  virtual OleArray Value() = 0;
  // Fills the block from the array's top-left part; cells the array does
  // not reach become empty. (Taken by value: a caller done with its array
  // moves it in.)
  virtual void SetValue(OleArray values) = 0;
};

class ExcelWorksheet {
 public:
  virtual ~ExcelWorksheet() = default;
  virtual std::u16string Name() = 0;
  // 1 to 31 characters, none of : \ / ? * [ ], unique in the workbook.
  virtual void SetName(const std::u16string& name) = 0;
  // A block in A1 notation ("A1:C5", "B2", '$' allowed).
  virtual std::unique_ptr<ExcelRange> Range(const std::u16string& address) = 0;
  // The smallest block holding every non-empty cell ("$A$1" when none).
  virtual std::unique_ptr<ExcelRange> UsedRange() = 0;
};

class ExcelSheets {
 public:
  virtual ~ExcelSheets() = default;
  virtual int Count() = 0;
  // 1-based.
  virtual ExcelWorksheet* Item(int index) = 0;
  // A new sheet "Sheet<n>" before the active one; it becomes active.
  virtual ExcelWorksheet* Add() = 0;
};

class ExcelWorkbook {
 public:
  virtual ~ExcelWorkbook() = default;
  virtual ExcelSheets& WorkSheets() = 0;
  virtual ExcelSheets& Sheets() = 0;
  virtual void SaveAs(const std::u16string& fileName) = 0;
  // Writes back to the file it was opened from or last saved as.
  virtual void Save() = 0;
  virtual void Close(bool SaveChanges) = 0;
};

class ExcelWorkbooks {
 public:
  virtual ~ExcelWorkbooks() = default;
  // A new workbook without sheets; it becomes active.
  virtual ExcelWorkbook* Add() = 0;
  // The workbook of an existing file (it becomes active), nullptr when the
  // file does not exist; a file that is not a readable workbook raises.
  virtual ExcelWorkbook* Open(const std::u16string& fileName) = 0;
};

class ExcelApplication : public TAutomationObject {
 public:
  virtual ExcelWorkbooks& WorkBooks() = 0;
  // The active workbook's active sheet and sheets (nullptr / raising when
  // no workbook is open).
  virtual ExcelWorksheet* ActiveSheet() = 0;
  virtual ExcelSheets& Sheets() = 0;
  // The name of the active workbook's active sheet when ActiveSheet has
  // none to give (a chart sheet, say); empty when there is none at all.
  virtual std::u16string ActiveSheetName() { return {}; }
};
