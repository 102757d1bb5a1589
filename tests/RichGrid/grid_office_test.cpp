// Spreadsheet and document export and import: the exact automation calls
// the grid makes (through recording fakes of the servers), the values it
// hands over, its errors, the server quit and the cursor restored on every
// way out.
#include <gtest/gtest.h>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/ole/excel_automation.h"
#include "platform/ole/word_automation.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

std::string A(const std::u16string& s) { return vx::Utf16ToCp1251(s); }
std::u16string W(const std::string& s) { return vx::Cp1251ToUtf16(s); }

// What a fake server answers, and what it saw.
struct Script {
  bool fileExists = false;
  std::vector<std::string> sheetNames;
  std::string usedRange = "$A$1:$B$2";
  OleArray values;
  std::string failAt;  // a call that raises
  std::vector<std::string> log;
  OleArray written;
  void Call(const std::string& what) {
    log.push_back(what);
    if (what == failAt) throw EOleException("failed at " + what);
  }
};

class FakeExcel : public ExcelApplication, public ExcelWorkbooks {
 public:
  explicit FakeExcel(Script& s) : s_(s), book_(*this), appSheets_(*this, "Application.Sheets") {}

  class Range : public ExcelRange {
   public:
    Range(Script& s, std::string what) : s_(s), what_(std::move(what)) {}
    std::u16string Address() override {
      s_.Call(what_ + ".Address");
      return W(s_.usedRange);
    }
    OleArray Value() override {
      s_.Call(what_ + ".Value");
      return s_.values;
    }
    void SetValue(OleArray v) override {
      s_.Call(what_ + ".Value := " + IntToStr(v.Rows()) + "x" + IntToStr(v.Cols()));
      s_.written = std::move(v);
    }

   private:
    Script& s_;
    std::string what_;
  };
  class Sheet : public ExcelWorksheet {
   public:
    Sheet(Script& s, std::string name) : s_(s), name_(std::move(name)) {}
    std::u16string Name() override {
      s_.Call(name_ + ".Name");
      return W(name_);
    }
    void SetName(const std::u16string& n) override {
      s_.Call(name_ + ".Name := " + A(n));
      name_ = A(n);
    }
    std::unique_ptr<ExcelRange> Range(const std::u16string& address) override {
      s_.Call("Range(" + A(address) + ")");
      return std::make_unique<FakeExcel::Range>(s_, "Range");
    }
    std::unique_ptr<ExcelRange> UsedRange() override {
      s_.Call("UsedRange");
      return std::make_unique<FakeExcel::Range>(s_, "UsedRange");
    }

   private:
    Script& s_;
    std::string name_;
  };
  class SheetList : public ExcelSheets {
   public:
    SheetList(FakeExcel& x, std::string kind) : x_(x), kind_(std::move(kind)) {}
    int Count() override {
      x_.s_.Call(kind_ + ".Count");
      return static_cast<int>(x_.sheets_.size());
    }
    ExcelWorksheet* Item(int i) override {
      x_.s_.Call(kind_ + "(" + IntToStr(i) + ")");
      return x_.sheets_.at(static_cast<std::size_t>(i - 1)).get();
    }
    ExcelWorksheet* Add() override {
      x_.s_.Call(kind_ + ".Add");
      x_.sheets_.insert(x_.sheets_.begin(), std::make_unique<Sheet>(x_.s_, "Sheet"));
      return x_.sheets_.front().get();
    }

   private:
    FakeExcel& x_;
    std::string kind_;
  };
  class Book : public ExcelWorkbook {
   public:
    explicit Book(FakeExcel& x) : x_(x), work_(x, "WorkSheets"), all_(x, "Sheets") {}
    ExcelSheets& WorkSheets() override { return work_; }
    ExcelSheets& Sheets() override { return all_; }
    void SaveAs(const std::u16string& f) override { x_.s_.Call("SaveAs(" + A(f) + ")"); }
    void Save() override { x_.s_.Call("Save"); }
    void Close(bool save) override {
      x_.s_.Call(std::string("Close(SaveChanges := ") + (save ? "true" : "false") + ")");
    }

   private:
    FakeExcel& x_;
    SheetList work_, all_;
  };

  ExcelWorkbooks& WorkBooks() override { return *this; }
  ExcelWorksheet* ActiveSheet() override {
    s_.Call("ActiveSheet");
    return sheets_.empty() ? nullptr : sheets_.front().get();
  }
  ExcelSheets& Sheets() override { return appSheets_; }
  void Quit() override { s_.Call("Quit"); }
  ExcelWorkbook* Add() override {
    s_.Call("WorkBooks.Add");
    return &book_;
  }
  ExcelWorkbook* Open(const std::u16string& f) override {
    s_.Call("WorkBooks.Open(" + A(f) + ")");
    if (!s_.fileExists) return nullptr;
    for (const auto& n : s_.sheetNames) sheets_.push_back(std::make_unique<Sheet>(s_, n));
    return &book_;
  }

 private:
  Script& s_;
  std::vector<std::unique_ptr<Sheet>> sheets_;
  Book book_;
  SheetList appSheets_;
};

class FakeWord : public WordApplication,
                 public WordDocuments,
                 public WordDocument,
                 public WordTables,
                 public WordTable {
 public:
  explicit FakeWord(Script& s) : s_(s) {}
  class CellFormat : public WordParagraphFormat {
   public:
    CellFormat(Script& s, std::string where) : s_(s), where_(std::move(where)) {}
    void SetAlignment(int a) override { s_.Call(where_ + ".ParagraphFormat.Alignment := " + IntToStr(a)); }

   private:
    Script& s_;
    std::string where_;
  };
  class TextRange : public WordRange {
   public:
    TextRange(Script& s, std::string where) : s_(s), where_(std::move(where)), format_(s, where_) {}
    void InsertAfter(const std::u16string& t) override { s_.Call(where_ + ".InsertAfter(" + A(t) + ")"); }
    WordParagraphFormat& ParagraphFormat() override { return format_; }

   private:
    Script& s_;
    std::string where_;
    CellFormat format_;
  };
  class TableCell : public WordCell {
   public:
    TableCell(Script& s, std::string where) : s_(s), where_(std::move(where)) {}
    std::unique_ptr<WordRange> Range() override { return std::make_unique<TextRange>(s_, where_ + ".Range"); }

   private:
    Script& s_;
    std::string where_;
  };
  WordDocuments& Documents() override { return *this; }
  WordDocument* Add() override {
    s_.Call("Documents.Add");
    return this;
  }
  std::unique_ptr<WordRange> Range(int start, int end) override {
    s_.Call("Range(start := " + IntToStr(start) + ", end := " + IntToStr(end) + ")");
    return std::make_unique<TextRange>(s_, "Range");
  }
  WordTables& Tables() override { return *this; }
  WordTable* Add(WordRange&, int rows, int cols) override {
    s_.Call("Tables.Add(numrows := " + IntToStr(rows) + ", numcolumns := " + IntToStr(cols) + ")");
    return this;
  }
  std::unique_ptr<WordCell> Cell(int row, int column) override {
    return std::make_unique<TableCell>(s_, "Cell(" + IntToStr(row) + "," + IntToStr(column) + ")");
  }
  void SaveAs(const std::u16string& f) override { s_.Call("SaveAs(" + A(f) + ")"); }
  void Quit() override { s_.Call("Quit"); }

 private:
  Script& s_;
};

class GridOffice : public richgridtest::RichGridTest {
 protected:
  vx::ScopedAutomationServer excel_{"excel.application", [this] { return std::make_unique<FakeExcel>(script_); }};
  vx::ScopedAutomationServer word_{"word.application", [this] { return std::make_unique<FakeWord>(script_); }};
  Script script_;
};

void Fill(TRichStringGrid& g, int cols, int rows) {
  g.SetColCount(cols);
  g.SetRowCount(rows);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) g.SetCells(c, r, "c" + IntToStr(c) + "r" + IntToStr(r));
}

using Log = std::vector<std::string>;

TEST_F(GridOffice, SpreadsheetBlockFromA1InGeneralLetters) {
  for (const auto& [cols, rows, range] : std::vector<std::tuple<int, int, std::string>>{
           {3, 5, "A1:C5"}, {27, 2, "A1:AA2"}, {52, 1, "A1:AZ1"}, {256, 3, "A1:IV3"}}) {
    TRichStringGrid g(nullptr);
    Fill(g, cols, rows);
    script_.log.clear();
    g.SaveToXLS("out.xls");
    EXPECT_EQ(script_.log, (Log{"WorkBooks.Add", "WorkSheets.Add", "Range(" + range + ")",
                                "Range.Value := " + IntToStr(rows) + "x" + IntToStr(cols), "SaveAs(out.xls)", "Quit"}));
    EXPECT_TRUE(script_.written.Get(rows - 1, cols - 1) ==
                OleVariant{W("c" + IntToStr(cols - 1) + "r" + IntToStr(rows - 1))});
  }
}

// Whole and decimal texts go over as numbers when the number reads back as
// the same text, everything else as text; the CR of each CR LF is taken
// out of texts.
TEST_F(GridOffice, SpreadsheetValuesNumbersAndTexts) {
  const std::pair<const char*, OleVariant> cases[] = {
      {"12", 12.0},
      {"-3", -3.0},
      {"1.5", 1.5},
      {"0", 0.0},
      {"-12", -12.0},
      {"0.5", 0.5},
      {"-0.25", -0.25},
      // Texts whose number would read back otherwise used to go as numbers.
      {"007", std::u16string(u"007")},
      {"1,234.5", std::u16string(u"1,234.5")},
      {"1,500", std::u16string(u"1,500")},
      {"1.50", std::u16string(u"1.50")},
      {"-0", std::u16string(u"-0")},
      {".5", std::u16string(u".5")},
      {"00", std::u16string(u"00")},
      {"123456789012345", 123456789012345.0},
      {"1234567890123456", std::u16string(u"1234567890123456")},  // more digits than a number holds
      {"1,5", std::u16string(u"1,5")},                            // not a thousands grouping
      {"1,2345", std::u16string(u"1,2345")},
      {"5-3", std::u16string(u"5-3")},
      {"+5", std::u16string(u"+5")},
      {"1.2.3", std::u16string(u"1.2.3")},
      {"abc", std::u16string(u"abc")},
      {"a\r\nb\rc", std::u16string(u"a\nb\rc")},  // the CR of CR LF goes; a CR alone used to go too
      {"", OleVariant{}},
  };
  TRichStringGrid g(nullptr);
  g.SetColCount(static_cast<int>(std::size(cases)));
  g.SetRowCount(2);
  g.SetCells(0, 1, "год"_cp);
  for (std::size_t i = 0; i < std::size(cases); ++i) g.SetCells(static_cast<int>(i), 0, cases[i].first);
  g.SaveToXLS("v.xls");
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_TRUE(script_.written.Get(0, static_cast<int>(i)) == cases[i].second) << cases[i].first;
  EXPECT_TRUE(script_.written.Get(1, 0) == OleVariant{std::u16string(u"год")});
}

// A spreadsheet's line breaks are LF: they used to reach the cells as
// they were, which the grid does not take for line breaks. A CR before one
// is the cell's own and stays.
TEST_F(GridOffice, SpreadsheetLineBreaksReadAsCRLF) {
  script_.fileExists = true;
  script_.sheetNames = {"S"};
  script_.usedRange = "$A$1:$D$1";
  script_.values = OleArray(1, 4);
  const std::pair<std::u16string, AnsiString> cases[] = {
      {u"a\nb", "a\r\nb"}, {u"\nx\n", "\r\nx\r\n"}, {u"a\r\nb", "a\r\r\nb"}, {u"a\rb\tc", "a\rb\tc"}};
  for (int c = 0; c < 4; ++c) script_.values.Set(0, c, cases[c].first);
  TRichStringGrid g(nullptr);
  g.LoadFromXLS("in.xls");
  for (int c = 0; c < 4; ++c) EXPECT_EQ(g.Cells(c, 0), cases[c].second) << c;
}

TEST_F(GridOffice, SpreadsheetNamedSheetNewOrExisting) {
  TRichStringGrid g(nullptr);
  Fill(g, 2, 2);
  g.SetFixedCols(0);
  g.SetFixedRows(1);
  g.SetIncludeFixedCells(false);  // the block leaves out the fixed row
  g.SaveToXLS("new.xls", "Итоги"_cp);
  EXPECT_EQ(script_.log,
            (Log{"WorkBooks.Open(new.xls)", "WorkBooks.Add", "Sheets.Count", "WorkSheets.Add",
                 "Sheet.Name := " + "Итоги"_cp, "Range(A1:B1)", "Range.Value := 1x2", "SaveAs(new.xls)", "Quit"}));
  EXPECT_TRUE(script_.written.Get(0, 0) == OleVariant{std::u16string(u"c0r1")});

  script_.log.clear();
  script_.fileExists = true;
  script_.sheetNames = {"Other", "Итоги"_cp};
  g.SaveToXLS("old.xls", "Итоги"_cp);
  EXPECT_EQ(script_.log,
            (Log{"WorkBooks.Open(old.xls)", "Sheets.Count", "Sheets(1)", "Other.Name", "Sheets(2)",
                 "Итоги"_cp + ".Name", "Sheets(2)", "Range(A1:B1)", "Range.Value := 1x2", "Save", "Quit"}));
}

TEST_F(GridOffice, SpreadsheetReadingTheUsedRange) {
  script_.fileExists = true;
  script_.sheetNames = {"Первый"_cp, "Data"};
  script_.usedRange = "$B$2:$D$3";
  script_.values = OleArray(2, 3);
  script_.values.Set(0, 0, std::u16string(u"год"));
  script_.values.Set(0, 2, 2.5);
  script_.values.Set(1, 1, true);
  TRichStringGrid g(nullptr);
  g.LoadFromXLS("in.xls", "Data");
  EXPECT_EQ(script_.log,
            (Log{"WorkBooks.Open(in.xls)", "Application.Sheets.Count", "Application.Sheets(1)", "Первый"_cp + ".Name",
                 "Application.Sheets(2)", "Data.Name", "Application.Sheets(2)", "UsedRange", "UsedRange.Address",
                 "Range(B2:D3)", "Range.Value", "Close(SaveChanges := false)", "Quit"}));
  EXPECT_EQ(g.ColCount(), 3);
  EXPECT_EQ(g.RowCount(), 2);
  EXPECT_EQ(g.Cells(0, 0), "год"_cp.str());
  EXPECT_EQ(g.Cells(2, 0), "2.5");
  EXPECT_EQ(g.Cells(1, 1), "True");

  // The active sheet; a single-cell used range; below and right of the
  // fixed cells without IncludeFixedCells.
  script_.log.clear();
  script_.usedRange = "$C$4";
  script_.values = OleArray(1, 1);
  script_.values.Set(0, 0, 7.0);
  TRichStringGrid f(nullptr);
  f.SetColCount(3);
  f.SetRowCount(3);
  f.SetFixedCols(1);
  f.SetFixedRows(2);
  f.SetIncludeFixedCells(false);
  f.LoadFromXLS("in.xls");
  EXPECT_EQ(script_.log, (Log{"WorkBooks.Open(in.xls)", "ActiveSheet", "UsedRange", "UsedRange.Address", "Range(C4:C4)",
                              "Range.Value", "Close(SaveChanges := false)", "Quit"}));
  EXPECT_EQ(f.ColCount(), 2);
  EXPECT_EQ(f.RowCount(), 3);
  EXPECT_EQ(f.Cells(1, 2), "7");
}

// Every failure quits the server and gives the cursor back; a missing
// server, file or sheet is the grid's error.
TEST_F(GridOffice, FailuresQuitTheServerAndRestoreTheCursor) {
  TRichStringGrid g(nullptr);
  Fill(g, 2, 2);
  auto message = [&](auto&& f) -> std::string {
    Screen->SetCursor(crDefault);
    script_.log.clear();
    try {
      f();
    } catch (const Exception& e) {
      EXPECT_EQ(Screen->Cursor(), crDefault);
      return e.Message();
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { g.LoadFromXLS("none.xls"); }), "Cannot open file none.xls");
  EXPECT_EQ(script_.log.back(), "Quit");
  script_.fileExists = true;
  script_.sheetNames = {"A"};
  EXPECT_EQ(message([&] { g.LoadFromXLS("in.xls", "B"); }), "Excel worksheet B not found");
  EXPECT_EQ(script_.log.back(), "Quit");
  script_.usedRange = "garbage";
  EXPECT_EQ(message([&] { g.LoadFromXLS("in.xls", "A"); }), "File contains no data or corrupt file in.xls");
  EXPECT_EQ(script_.log.back(), "Quit");
  for (const char* step : {"SaveAs(out.xls)", "Range.Value := 2x2", "WorkSheets.Add"}) {
    script_.failAt = step;
    EXPECT_EQ(message([&] { g.SaveToXLS("out.xls"); }), std::string("failed at ") + step);
    EXPECT_EQ(script_.log.back(), "Quit") << step;
  }
  script_.failAt = "SaveAs(out.doc)";
  EXPECT_EQ(message([&] { g.SaveToDOC("out.doc"); }), "failed at SaveAs(out.doc)");
  EXPECT_EQ(script_.log.back(), "Quit");

  vx::ScopedAutomationServer noExcel("excel.application", nullptr);
  vx::ScopedAutomationServer noWord("word.application", nullptr);
  EXPECT_EQ(message([&] { g.SaveToXLS("x.xls"); }), "Excel OLE server not found");
  EXPECT_EQ(message([&] { g.LoadFromXLS("x.xls"); }), "Excel OLE server not found");
  EXPECT_EQ(message([&] { g.SaveToDOC("x.doc"); }), "Word OLE server not found");
  // A server of the wrong kind is no server either.
  vx::ScopedAutomationServer wrong("excel.application", [this] { return std::make_unique<FakeWord>(script_); });
  EXPECT_EQ(message([&] { g.SaveToXLS("x.xls"); }), "Excel OLE server not found");
}

TEST_F(GridOffice, DocumentTableOfEveryCellWithAlignment) {
  TRichStringGrid g(nullptr);
  g.SetColCount(3);
  g.SetRowCount(2);
  g.SetFixedRows(1);
  g.SetIncludeFixedCells(false);  // the document takes every cell anyway
  g.SetCells(0, 0, "год"_cp);
  g.SetCells(1, 0, "x");
  g.SetCells(2, 1, "7");
  g.OnGetAlignment = [](TObject*, int, int ACol, TAlignment& a) {
    a = ACol == 1 ? taRightJustify : ACol == 2 ? taCenter : taLeftJustify;
  };
  g.SaveToDOC("t.doc");
  EXPECT_EQ(script_.log,
            (Log{"Documents.Add", "Range(start := 0, end := 0)", "Tables.Add(numrows := 2, numcolumns := 3)",
                 "Cell(1,1).Range.InsertAfter(" + "год"_cp + ")", "Cell(1,2).Range.InsertAfter(x)",
                 "Cell(1,2).Range.ParagraphFormat.Alignment := 2", "Cell(1,3).Range.InsertAfter()",
                 "Cell(1,3).Range.ParagraphFormat.Alignment := 1", "Cell(2,1).Range.InsertAfter()",
                 "Cell(2,2).Range.InsertAfter()", "Cell(2,2).Range.ParagraphFormat.Alignment := 2",
                 "Cell(2,3).Range.InsertAfter(7)", "Cell(2,3).Range.ParagraphFormat.Alignment := 1", "SaveAs(t.doc)",
                 "Quit"}));
}

}  // namespace
