// Late-bound automation as the program uses it: CreateOleObject makes an
// automation server by its programmatic identifier ("excel.application",
// "word.application"), whose objects are then driven by their methods and
// properties. Here the servers are our own stand-ins, bound through a
// registry (spreadsheet_server.h, document_server.h); tests register
// recording fakes in their place.
//
// Values cross the boundary as automation variants: empty, a number (a
// double), a Boolean, an error code, a text or a date, texts in UTF-16 as
// automation strings are; callers convert their CP1251 at the boundary.
// Failures of a server are EOleException with its description.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/rtl/sysutils.h"

VX_DECLARE_EXCEPTION(EOleError, Exception)
VX_DECLARE_EXCEPTION(EOleSysError, EOleError)
VX_DECLARE_EXCEPTION(EOleException, EOleSysError)

// A spreadsheet error value (#NULL! 0x00, #DIV/0! 0x07, #VALUE! 0x0F,
// #REF! 0x17, #NAME? 0x1D, #NUM! 0x24, #N/A 0x2A).
struct OleError {
  std::uint8_t Code = 0;
  bool operator==(const OleError&) const = default;
};

// A date and time (an automation date): days since 1899-12-30, the time of
// day as the fraction, as TDateTime counts them. A time (TimeOnly) is shown
// as its time of day alone: a value below 1 is a time without a date, a
// greater one a moment whose spreadsheet format shows only its time.
struct OleDate {
  double Value = 0;
  bool TimeOnly = false;
  bool operator==(const OleDate&) const = default;
};

using OleVariant = std::variant<std::monostate, double, bool, OleError, std::u16string, OleDate>;

inline bool VarIsEmpty(const OleVariant& v) { return std::holds_alternative<std::monostate>(v); }
// The text of a value as the class library gives it: "" for empty, numbers
// by FloatToStr, "True"/"False", the spreadsheet's error text, a text in
// CP1251 ('?' for what CP1251 cannot hold), a date by DateTimeToStr (the
// short date format, then the time unless it is midnight), a time by
// TimeToStr (the long time format).
AnsiString VarToStr(const OleVariant& v);
// "#DIV/0!" and the like; "#N/A" for an unknown code.
AnsiString OleErrorText(OleError e);

// A two-dimensional array of values [0 .. Rows-1, 0 .. Cols-1]. Cells never
// set read as empty; a row keeps storage only up to its last value set, so
// a sparse array costs little. Setting outside the bounds widens them.
// Copies share their rows until one of them changes a row.
class OleArray {
 public:
  OleArray() = default;
  OleArray(int rows, int cols);
  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  const OleVariant& Get(int row, int col) const;
  void Set(int row, int col, OleVariant value);
  // The stored part of a row (may be shorter than Cols, or empty).
  const std::vector<OleVariant>& Row(int row) const;
  // The stored part of a row for filling in bulk (the rows grow to hold
  // it); Widen then makes the array at least that wide.
  std::vector<OleVariant>& MutableRow(int row);
  void Widen(int cols);
  // Row `row` becomes row `from` of another array, shared until changed.
  void ShareRow(int row, const OleArray& other, int from);
  // Rows and columns that hold a non-empty value: false when there is none.
  bool UsedBounds(int& firstRow, int& firstCol, int& lastRow, int& lastCol) const;

 private:
  using RowData = std::shared_ptr<std::vector<OleVariant>>;
  // The row itself, made or unshared first.
  std::vector<OleVariant>& Own(RowData& r);
  int rows_ = 0, cols_ = 0;
  std::vector<RowData> data_;  // nullptr: an empty row
};

// The root of every automation server.
class TAutomationObject {
 public:
  virtual ~TAutomationObject() = default;
  // Ends the server; its objects are gone afterwards.
  virtual void Quit() = 0;
};

using TAutomationFactory = std::function<std::unique_ptr<TAutomationObject>()>;

// Binds a programmatic identifier (without regard to case) to a factory; an
// empty factory unbinds it. Returns the factory bound before.
TAutomationFactory RegisterAutomationServer(const AnsiString& progId, TAutomationFactory factory);

// A new server for the identifier; EOleSysError "Invalid class string" when
// none is bound. "excel.application" and "word.application" are bound to
// the stand-ins from the start.
std::unique_ptr<TAutomationObject> CreateOleObject(const AnsiString& progId);

namespace vx {

// Binds a factory for the length of a scope and puts the previous one back.
class ScopedAutomationServer {
 public:
  ScopedAutomationServer(AnsiString progId, TAutomationFactory factory)
      : progId_(std::move(progId)), previous_(RegisterAutomationServer(progId_, std::move(factory))) {}
  ~ScopedAutomationServer() { RegisterAutomationServer(progId_, std::move(previous_)); }
  ScopedAutomationServer(const ScopedAutomationServer&) = delete;
  ScopedAutomationServer& operator=(const ScopedAutomationServer&) = delete;

 private:
  AnsiString progId_;
  TAutomationFactory previous_;
};

}  // namespace vx
