#include "platform/ole/automation.h"

#include <map>
#include <mutex>

#include "platform/ole/document_server.h"
#include "platform/ole/spreadsheet_server.h"
#include "platform/rtl/codepages.h"

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

AnsiString VarToStr(const OleVariant& v) {
  if (const auto* d = std::get_if<double>(&v)) return FloatToStr(*d);
  if (const auto* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
  if (const auto* e = std::get_if<OleError>(&v)) return OleErrorText(*e);
  if (const auto* s = std::get_if<std::u16string>(&v)) return vx::Utf16ToCp1251(*s);
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

const OleVariant& OleArray::Get(int row, int col) const {
  if (row < 0 || col < 0 || row >= rows_) return kEmpty;
  const auto& r = data_[static_cast<std::size_t>(row)];
  return static_cast<std::size_t>(col) < r.size() ? r[static_cast<std::size_t>(col)] : kEmpty;
}

void OleArray::Set(int row, int col, OleVariant value) {
  if (row < 0 || col < 0) return;
  if (row >= rows_) {
    rows_ = row + 1;
    data_.resize(static_cast<std::size_t>(rows_));
  }
  cols_ = std::max(cols_, col + 1);
  auto& r = data_[static_cast<std::size_t>(row)];
  if (static_cast<std::size_t>(col) >= r.size()) {
    if (VarIsEmpty(value)) return;
    r.resize(static_cast<std::size_t>(col) + 1);
  }
  r[static_cast<std::size_t>(col)] = std::move(value);
}

const std::vector<OleVariant>& OleArray::Row(int row) const {
  return row >= 0 && row < rows_ ? data_[static_cast<std::size_t>(row)] : kNoRow;
}

bool OleArray::UsedBounds(int& firstRow, int& firstCol, int& lastRow, int& lastCol) const {
  bool any = false;
  for (int r = 0; r < rows_; ++r) {
    const auto& row = data_[static_cast<std::size_t>(r)];
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (VarIsEmpty(row[c])) continue;
      const int col = static_cast<int>(c);
      if (!any) {
        firstRow = lastRow = r;
        firstCol = lastCol = col;
        any = true;
      }
      lastRow = r;
      firstCol = std::min(firstCol, col);
      lastCol = std::max(lastCol, col);
    }
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
