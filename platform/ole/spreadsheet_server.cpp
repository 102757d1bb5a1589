#include "platform/ole/spreadsheet_server.h"

#include <algorithm>

#include "platform/ole/a1_address.h"
#include "platform/ole/xls_reader.h"
#include "platform/ole/xls_writer.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/fileutils.h"

namespace vx {

namespace {

AnsiString Ansi(const std::u16string& s) { return Utf16ToCp1251(s); }

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

class Sheet;

class CellRange : public ExcelRange {
 public:
  CellRange(XlsSheet& sheet, const CellBlock& block) : sheet_(sheet), block_(block) {}
  std::u16string Address() override { return Wide(AbsoluteAddress(block_)); }
  OleArray Value() override {
    const int rows = block_.LastRow - block_.FirstRow + 1, cols = block_.LastColumn - block_.FirstColumn + 1;
    const auto at = static_cast<std::size_t>(block_.FirstColumn - 1);
    OleArray out(rows, cols);
    for (int r = 0; r < rows; ++r) {
      const auto& src = sheet_.Cells.Row(block_.FirstRow - 1 + r);
      if (src.size() <= at) continue;
      if (at == 0 && src.size() <= static_cast<std::size_t>(cols)) {
        out.ShareRow(r, sheet_.Cells, block_.FirstRow - 1 + r);  // the whole row: no copy
        continue;
      }
      const std::size_t end = std::min(src.size(), at + static_cast<std::size_t>(cols));
      out.MutableRow(r).assign(src.begin() + static_cast<std::ptrdiff_t>(at),
                               src.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return out;
  }
  void SetValue(OleArray values) override {
    const int rows = block_.LastRow - block_.FirstRow + 1, cols = block_.LastColumn - block_.FirstColumn + 1;
    for (int r = 0; r < std::min(rows, values.Rows()); ++r)
      for (const OleVariant& v : values.Row(r))
        if (const auto* s = std::get_if<std::u16string>(&v); s && s->size() > kXlsMaxText)
          throw EOleException("A cell text is longer than " + IntToStr(kXlsMaxText) + " characters");
    const auto at = static_cast<std::size_t>(block_.FirstColumn - 1);
    const auto width = static_cast<std::size_t>(cols);
    for (int r = 0; r < rows; ++r) {
      const int target = block_.FirstRow - 1 + r;
      if (at == 0 && sheet_.Cells.Row(target).empty() && values.Row(r).size() <= width) {
        sheet_.Cells.ShareRow(target, values, r);  // a new row from column A takes the array's row whole
        continue;
      }
      std::vector<OleVariant> none;
      std::vector<OleVariant>& src = r < values.Rows() ? values.MutableRow(r) : none;
      const std::size_t given = std::min(src.size(), width);
      std::vector<OleVariant>& dst = sheet_.Cells.MutableRow(target);
      if (dst.size() < at + given) dst.resize(at + given);
      for (std::size_t c = 0; c < width && at + c < dst.size(); ++c)
        dst[at + c] = c < given ? std::move(src[c]) : OleVariant{};
    }
    sheet_.Cells.Widen(block_.LastColumn);
  }

 private:
  XlsSheet& sheet_;
  CellBlock block_;
};

class Workbook;

class Sheet : public ExcelWorksheet {
 public:
  Sheet(Workbook& book, XlsSheet& data) : book_(book), data_(data) {}
  XlsSheet& Data() { return data_; }
  std::u16string Name() override { return data_.Name; }
  void SetName(const std::u16string& name) override;
  std::unique_ptr<ExcelRange> Range(const std::u16string& address) override {
    CellBlock block;
    const AnsiString text = Ansi(address);
    if (!ParseCellBlock(text, block)) throw EOleException("Not a cell range: " + text);
    if (block.LastRow > kXlsMaxRows || block.LastColumn > kXlsMaxCols)
      throw EOleException("The range " + text + " lies outside the worksheet");
    return std::make_unique<CellRange>(data_, block);
  }
  std::unique_ptr<ExcelRange> UsedRange() override {
    CellBlock block;
    int r0 = 0, c0 = 0, r1 = 0, c1 = 0;
    if (data_.Cells.UsedBounds(r0, c0, r1, c1)) block = {c0 + 1, r0 + 1, c1 + 1, r1 + 1};
    return std::make_unique<CellRange>(data_, block);
  }

 private:
  Workbook& book_;
  XlsSheet& data_;
};

class SheetList : public ExcelSheets {
 public:
  explicit SheetList(Workbook& book) : book_(book) {}
  int Count() override;
  ExcelWorksheet* Item(int index) override;
  ExcelWorksheet* Add() override;

 private:
  Workbook& book_;
};

class Server;

class Workbook : public ExcelWorkbook {
 public:
  Workbook(Server& server, XlsWorkbook data, AnsiString fileName)
      : server_(server), data_(std::move(data)), fileName_(std::move(fileName)), sheetList_(*this) {
    for (auto& s : data_.Sheets) sheets_.push_back(std::make_unique<Sheet>(*this, *s));
  }
  ExcelSheets& WorkSheets() override { return sheetList_; }
  ExcelSheets& Sheets() override { return sheetList_; }
  void SaveAs(const std::u16string& fileName) override {
    Write(Ansi(fileName));
    fileName_ = Ansi(fileName);
  }
  void Save() override {
    if (fileName_.empty()) throw EOleException("The workbook has no file yet");
    Write(fileName_);
  }
  void Close(bool SaveChanges) override;

  int SheetCount() const { return static_cast<int>(sheets_.size()); }
  Sheet* SheetAt(int i) { return sheets_[static_cast<std::size_t>(i)].get(); }
  Sheet* ActiveSheet() { return sheets_.empty() ? nullptr : SheetAt(data_.ActiveSheet); }
  std::u16string ActiveName() const { return data_.ActiveName; }
  Sheet* AddSheet() {
    std::u16string name;
    for (int n = SheetCount() + 1;; ++n) {
      name = Wide("Sheet" + std::to_string(n));
      if (!NameTaken(name, nullptr)) break;
    }
    const int at = sheets_.empty() ? 0 : data_.ActiveSheet;
    auto data = std::make_unique<XlsSheet>();
    data->Name = name;
    sheets_.insert(sheets_.begin() + at, std::make_unique<Sheet>(*this, *data));
    data_.Sheets.insert(data_.Sheets.begin() + at, std::move(data));
    data_.ActiveSheet = at;
    return SheetAt(at);
  }
  bool NameTaken(const std::u16string& name, const Sheet* except) const {
    for (const auto& s : sheets_)
      if (s.get() != except && AnsiUpperCase(Ansi(s->Name())) == AnsiUpperCase(Ansi(name))) return true;
    return false;
  }

 private:
  void Write(const AnsiString& fileName) {
    if (data_.HadFormulas || data_.HadOtherSheets)
      throw EOleException("The workbook " + fileName_ +
                          " holds formulas or chart sheets that cannot be written back; it was left as it was");
    if (!WriteFileBytes(fileName, WriteXlsFile(data_))) throw EOleException("Cannot write the file " + fileName);
  }

  Server& server_;
  XlsWorkbook data_;
  AnsiString fileName_;
  SheetList sheetList_;
  std::vector<std::unique_ptr<Sheet>> sheets_;
};

void Sheet::SetName(const std::u16string& name) {
  const AnsiString text = Ansi(name);
  if (name.empty() || name.size() > 31 || name.find_first_of(u":\\/?*[]") != std::u16string::npos ||
      name.front() == u'\'' || name.back() == u'\'')
    throw EOleException("Not a valid sheet name: " + text);
  if (book_.NameTaken(name, this)) throw EOleException("The workbook already has a sheet named " + text);
  data_.Name = name;
}

int SheetList::Count() { return book_.SheetCount(); }

ExcelWorksheet* SheetList::Item(int index) {
  if (index < 1 || index > book_.SheetCount()) throw EOleException("No sheet number " + IntToStr(index));
  return book_.SheetAt(index - 1);
}

ExcelWorksheet* SheetList::Add() { return book_.AddSheet(); }

class BookList : public ExcelWorkbooks {
 public:
  explicit BookList(Server& server) : server_(server) {}
  ExcelWorkbook* Add() override;
  ExcelWorkbook* Open(const std::u16string& fileName) override;

 private:
  Server& server_;
};

class Server : public ExcelApplication {
 public:
  Server() : books_(*this) {}
  ExcelWorkbooks& WorkBooks() override { return books_; }
  ExcelWorksheet* ActiveSheet() override { return open_.empty() ? nullptr : open_.back()->ActiveSheet(); }
  std::u16string ActiveSheetName() override { return open_.empty() ? std::u16string() : open_.back()->ActiveName(); }
  ExcelSheets& Sheets() override {
    if (open_.empty()) throw EOleException("No workbook is open");
    return open_.back()->Sheets();
  }
  void Quit() override { open_.clear(); }

  Workbook* Adopt(std::unique_ptr<Workbook> book) {
    open_.push_back(std::move(book));
    return open_.back().get();
  }
  void Forget(Workbook* book) {
    std::erase_if(open_, [book](const std::unique_ptr<Workbook>& b) { return b.get() == book; });
  }

 private:
  BookList books_;
  // The last is the active workbook.
  std::vector<std::unique_ptr<Workbook>> open_;
};

void Workbook::Close(bool SaveChanges) {
  if (SaveChanges) Save();
  server_.Forget(this);  // this workbook is gone now
}

ExcelWorkbook* BookList::Add() { return server_.Adopt(std::make_unique<Workbook>(server_, XlsWorkbook{}, "")); }

ExcelWorkbook* BookList::Open(const std::u16string& fileName) {
  const AnsiString name = Ansi(fileName);
  if (!FileExists(name)) return nullptr;
  AnsiString bytes;
  if (!ReadFileBytes(name, bytes)) throw EOleException("Cannot read the file " + name);
  XlsWorkbook data;
  try {
    data = ReadXlsFile(bytes);
  } catch (const EOleException& e) { throw EOleException(e.Message() + " - " + name); }
  return server_.Adopt(std::make_unique<Workbook>(server_, std::move(data), name));
}

}  // namespace

std::unique_ptr<TAutomationObject> NewSpreadsheetServer() { return std::make_unique<Server>(); }

}  // namespace vx
