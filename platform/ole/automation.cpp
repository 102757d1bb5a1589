#include "platform/ole/automation.h"

#include <charconv>
#include <cmath>
#include <map>
#include <mutex>

#include "platform/ole/document_server.h"
#include "platform/ole/spreadsheet_server.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/dateutils.h"

AnsiString OleErrorText(OleError e) {
  switch (e.Code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    default: return "#N/A";
  }
}

namespace {

// FloatToStr's text of a number whose shortest exact form has at most 15
// significant digits and needs no exponent (0.0001 <= |v| < 1E15): that
// form itself. False for others, which go to FloatToStr.
bool ShortNumberText(double v, AnsiString& text) {
  const double a = std::fabs(v);
  if (!(a >= 0.0001 && a < 1e15)) return false;
  char buf[64];
  if (v == std::trunc(v)) {  // a whole number of at most 15 digits
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(v));
    text.assign(buf, end);
    return ec == std::errc();
  }
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (ec != std::errc()) return false;
  int digits = 0;
  bool leading = true;
  for (const char* p = buf; p < end; ++p) {
    if (*p < '0' || *p > '9') continue;
    if (leading && *p == '0') continue;
    leading = false;
    ++digits;
  }
  if (digits > 15) return false;
  text.assign(buf, end);
  if (const auto dot = text.find('.'); dot != AnsiString::npos) text[dot] = FormatSettings.DecimalSeparator;
  return true;
}

}  // namespace

AnsiString VarToStr(const OleVariant& v) {
  if (const auto* d = std::get_if<double>(&v)) {
    if (*d == 0) return "0";
    AnsiString text;
    return ShortNumberText(*d, text) ? text : FloatToStr(*d);
  }
  if (const auto* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
  if (const auto* e = std::get_if<OleError>(&v)) return OleErrorText(*e);
  if (const auto* s = std::get_if<std::u16string>(&v)) return vx::Utf16ToCp1251(*s);
  if (const auto* d = std::get_if<OleDate>(&v)) return d->TimeOnly ? TimeToStr(d->Value) : DateTimeToStr(d->Value);
  return "";
}

// ---------------------------------------------------------------------------

namespace {

const OleVariant kEmpty;
const std::vector<OleVariant> kNoRow;

}  // namespace

OleArray::OleArray(int rows, int cols) : rows_(std::max(0, rows)), cols_(std::max(0, cols)) {
  data_.resize(static_cast<std::size_t>(rows_));
}

std::vector<OleVariant>& OleArray::Own(RowData& r) {
  if (!r) {
    r = std::make_shared<std::vector<OleVariant>>();
    r->reserve(static_cast<std::size_t>(cols_));  // rows mostly fill up
  } else if (r.use_count() > 1) {
    r = std::make_shared<std::vector<OleVariant>>(*r);
  }
  return *r;
}

const OleVariant& OleArray::Get(int row, int col) const {
  if (row < 0 || col < 0 || row >= rows_) return kEmpty;
  const auto& r = data_[static_cast<std::size_t>(row)];
  return r && static_cast<std::size_t>(col) < r->size() ? (*r)[static_cast<std::size_t>(col)] : kEmpty;
}

void OleArray::Set(int row, int col, OleVariant value) {
  if (row < 0 || col < 0) return;
  const bool empty = VarIsEmpty(value);
  if (empty && (row >= rows_ || !data_[static_cast<std::size_t>(row)])) return;
  cols_ = std::max(cols_, col + 1);
  std::vector<OleVariant>& r = MutableRow(row);
  if (static_cast<std::size_t>(col) >= r.size()) {
    if (empty) return;
    r.resize(static_cast<std::size_t>(col) + 1);
  }
  r[static_cast<std::size_t>(col)] = std::move(value);
}

std::vector<OleVariant>& OleArray::MutableRow(int row) {
  if (row >= rows_) {
    rows_ = row + 1;
    data_.resize(static_cast<std::size_t>(rows_));
  }
  return Own(data_[static_cast<std::size_t>(row)]);
}

void OleArray::Widen(int cols) { cols_ = std::max(cols_, cols); }

void OleArray::ShareRow(int row, const OleArray& other, int from) {
  if (row < 0) return;
  if (row >= rows_) {
    rows_ = row + 1;
    data_.resize(static_cast<std::size_t>(rows_));
  }
  data_[static_cast<std::size_t>(row)] =
      from >= 0 && from < other.rows_ ? other.data_[static_cast<std::size_t>(from)] : nullptr;
}

const std::vector<OleVariant>& OleArray::Row(int row) const {
  if (row < 0 || row >= rows_) return kNoRow;
  const auto& r = data_[static_cast<std::size_t>(row)];
  return r ? *r : kNoRow;
}

bool OleArray::UsedBounds(int& firstRow, int& firstCol, int& lastRow, int& lastCol) const {
  bool any = false;
  for (int r = 0; r < rows_; ++r) {
    const std::vector<OleVariant>& row = Row(r);
    std::size_t first = 0, end = row.size();
    while (first < end && VarIsEmpty(row[first])) ++first;
    while (end > first && VarIsEmpty(row[end - 1])) --end;
    if (first == end) continue;
    if (!any) {
      firstRow = r;
      firstCol = static_cast<int>(first);
      lastCol = static_cast<int>(end) - 1;
      any = true;
    }
    lastRow = r;
    firstCol = std::min(firstCol, static_cast<int>(first));
    lastCol = std::max(lastCol, static_cast<int>(end) - 1);
  }
  return any;
}

// ---------------------------------------------------------------------------

namespace {

struct Registry {
  std::mutex lock;
  std::map<AnsiString, TAutomationFactory> factories;
  Registry() {
    factories["EXCEL.APPLICATION"] = [] { return vx::NewSpreadsheetServer(); };
    factories["WORD.APPLICATION"] = [] { return vx::NewDocumentServer(); };
  }
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

TAutomationFactory RegisterAutomationServer(const AnsiString& progId, TAutomationFactory factory) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  const AnsiString key = UpperCase(progId);
  TAutomationFactory previous;
  if (auto it = r.factories.find(key); it != r.factories.end()) {
    previous = std::move(it->second);
    r.factories.erase(it);
  }
  if (factory) r.factories[key] = std::move(factory);
  return previous;
}

std::unique_ptr<TAutomationObject> CreateOleObject(const AnsiString& progId) {
  TAutomationFactory factory;
  {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (auto it = r.factories.find(UpperCase(progId)); it != r.factories.end()) factory = it->second;
  }
  std::unique_ptr<TAutomationObject> server = factory ? factory() : nullptr;
  if (!server) throw EOleSysError("Invalid class string");
  return server;
}
