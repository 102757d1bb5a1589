// The stand-in servers as the automation calls drive them: workbooks added
// and opened, sheets added and named, ranges written and read, the used
// range, saving, closing and quitting; documents with tables.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ole/compound_file.h"
#include "platform/ole/excel_automation.h"
#include "platform/ole/word_automation.h"
#include "platform/ole/xls_reader.h"
#include "platform/ole/xls_writer.h"
#include "platform/rtl/codepages.h"
#include "tests/support/scratch_folder.h"

namespace {

std::u16string U(const std::string& s) { return vx::Cp1251ToUtf16(s); }

template <class T>
std::unique_ptr<T> Start(const char* progId) {
  std::unique_ptr<TAutomationObject> o = CreateOleObject(progId);
  auto* typed = dynamic_cast<T*>(o.get());
  EXPECT_NE(typed, nullptr);
  o.release();
  return std::unique_ptr<T>(typed);
}

TEST(SpreadsheetServer, NewWorkbookSheetsRangesAndSaving) {
  vx::test::ScratchFolder dir("ole-");
  auto excel = Start<ExcelApplication>("excel.application");
  ExcelWorkbook* book = excel->WorkBooks().Add();
  EXPECT_EQ(book->Sheets().Count(), 0);
  ExcelWorksheet* first = book->WorkSheets().Add();
  EXPECT_EQ(first->Name(), u"Sheet1");
  ExcelWorksheet* second = book->WorkSheets().Add();  // before the active one
  EXPECT_EQ(second->Name(), u"Sheet2");
  EXPECT_EQ(book->Sheets().Item(1), second);
  EXPECT_EQ(book->Sheets().Item(2), first);
  EXPECT_EQ(excel->ActiveSheet(), second);

  struct BadName {
    std::u16string name;
  } bad[] = {{u""},      {u"a:b"}, {u"a/b"}, {u"a\\b"}, {u"a?"}, {u"a*"}, {u"[a]"}, {u"'a"}, {std::u16string(32, u'x')},
             {u"SHEET1"}};
  for (const auto& b : bad) EXPECT_THROW(second->SetName(b.name), EOleException) << vx::Utf16ToCp1251(b.name);
  second->SetName(u"Статистика");
  second->SetName(u"Статистика");  // its own name again is fine
  EXPECT_EQ(second->Name(), u"Статистика");

  OleArray values(2, 3);
  values.Set(0, 0, std::u16string(u"год"));
  values.Set(0, 2, 7.0);
  values.Set(1, 1, true);
  second->Range(u"B2:D3")->SetValue(values);
  EXPECT_EQ(second->UsedRange()->Address(), u"$B$2:$D$3");
  const OleArray back = second->Range(u"$A$1:$D$3")->Value();
  EXPECT_EQ(back.Rows(), 3);
  EXPECT_EQ(back.Cols(), 4);
  EXPECT_TRUE(back.Get(1, 1) == OleVariant{std::u16string(u"год")});
  EXPECT_TRUE(back.Get(1, 3) == OleVariant{7.0});
  EXPECT_TRUE(back.Get(2, 2) == OleVariant{true});
  EXPECT_EQ(first->UsedRange()->Address(), u"$A$1");
  const OleArray one = first->Range(u"A1")->Value();
  EXPECT_EQ(one.Rows(), 1);
  EXPECT_EQ(one.Cols(), 1);

  EXPECT_THROW(second->Range(u"A1:IW1"), EOleException);
  EXPECT_THROW(second->Range(u"A65537"), EOleException);
  EXPECT_THROW(second->Range(u"nonsense"), EOleException);
  OleArray tooLong(1, 1);
  tooLong.Set(0, 0, std::u16string(32768, u'x'));
  EXPECT_THROW(second->Range(u"A1")->SetValue(tooLong), EOleException);

  EXPECT_THROW(book->Save(), EOleException);  // no file yet
  const std::string file = dir / "book.xls";
  book->SaveAs(U(file));
  book->Close(false);
  EXPECT_EQ(excel->ActiveSheet(), nullptr);

  ExcelWorkbook* again = excel->WorkBooks().Open(U(file));
  ASSERT_NE(again, nullptr);
  ASSERT_EQ(again->Sheets().Count(), 2);
  EXPECT_EQ(again->Sheets().Item(1)->Name(), u"Статистика");
  EXPECT_EQ(excel->ActiveSheet()->Name(), u"Статистика");
  EXPECT_EQ(excel->Sheets().Item(2)->Name(), u"Sheet1");
  again->Sheets().Item(2)->Range(u"A1:C2")->SetValue(values);
  again->Save();
  excel->Quit();

  auto excel2 = Start<ExcelApplication>("excel.application");
  ExcelWorkbook* third = excel2->WorkBooks().Open(U(file));
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->Sheets().Item(2)->UsedRange()->Address(), u"$A$1:$C$2");
  EXPECT_EQ(excel2->WorkBooks().Open(U(dir / "missing.xls")), nullptr);
}

TEST(SpreadsheetServer, DamagedAndForeignFilesRaiseAndStayAsTheyWere) {
  vx::test::ScratchFolder dir("ole-");
  auto excel = Start<ExcelApplication>("excel.application");
  const std::string text = dir / "text.xls";
  vx::test::WriteWholeFile(text, "a;b\r\n");
  try {
    excel->WorkBooks().Open(U(text));
    ADD_FAILURE() << "no error";
  } catch (const EOleException& e) {
    EXPECT_EQ(e.Message(), "Damaged spreadsheet file: not an Excel 97-2003 workbook - " + text);
  }
  EXPECT_EQ(vx::test::ReadWholeFile(text), "a;b\r\n");

  // A workbook that held formulas is never written back over itself.
  XlsWorkbook data;
  data.Sheets.push_back(std::make_unique<XlsSheet>());
  data.Sheets[0]->Name = u"S";
  data.Sheets[0]->Cells.Set(0, 0, 1.0);
  std::string stream = vx::WriteXlsStream(data);
  // The one RK cell becomes a FORMULA "=1" with its value 1 kept.
  const std::size_t at = stream.find(std::string("\x7E\x02\x0A\x00", 4));
  ASSERT_NE(at, std::string::npos);
  const std::string formula = std::string("\x06\x00\x19\x00", 4) + stream.substr(at + 4, 6) +
                              std::string(
                                  "\0\0\0\0\0\0\xF0\x3F"
                                  "\0\0"
                                  "\0\0\0\0"
                                  "\x03\x00"
                                  "\x1E\x01\x00",
                                  19);
  stream.replace(at, 14, formula);
  const std::string file = dir / "formula.xls";
  const std::string bytes = vx::WriteCompoundFile(u"Workbook", stream);
  vx::test::WriteWholeFile(file, bytes);
  ExcelWorkbook* book = excel->WorkBooks().Open(U(file));
  ASSERT_NE(book, nullptr);
  EXPECT_TRUE(excel->ActiveSheet()->Range(u"A1")->Value().Get(0, 0) == OleVariant{1.0});
  EXPECT_THROW(book->Save(), EOleException);
  EXPECT_THROW(book->SaveAs(U(dir / "copy.xls")), EOleException);
  EXPECT_EQ(vx::test::ReadWholeFile(file), bytes);
  EXPECT_FALSE(std::filesystem::exists(dir / "copy.xls"));
  book->Close(false);
}

TEST(DocumentServer, TablesCellsAlignmentAndRtf) {
  vx::test::ScratchFolder dir("ole-");
  auto word = Start<WordApplication>("word.application");
  WordDocument* doc = word->Documents().Add();
  auto start = doc->Range(0, 0);
  WordTable* table = doc->Tables().Add(*start, 2, 2);
  const char16_t* texts[2][2] = {{u"год", u"a{b}\\c"}, {u"1\r\n2", u"\u4E00"}};
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 2; ++c) table->Cell(r, c)->Range()->InsertAfter(texts[r - 1][c - 1]);
  table->Cell(1, 2)->Range()->ParagraphFormat().SetAlignment(2);
  table->Cell(2, 1)->Range()->ParagraphFormat().SetAlignment(1);
  EXPECT_THROW(table->Cell(3, 1), EOleException);
  EXPECT_THROW(table->Cell(1, 1)->Range()->ParagraphFormat().SetAlignment(4), EOleException);
  EXPECT_THROW(doc->Tables().Add(*start, 0, 2), EOleException);
  const std::string file = dir / "t.doc";
  doc->SaveAs(U(file));
  word->Quit();
  const std::string rtf = vx::test::ReadWholeFile(file);
  EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1251", 0), 0u);
  EXPECT_NE(rtf.find("\\pard\\intbl\\ql \\'e3\\'ee\\'e4\\cell"), std::string::npos);
  EXPECT_NE(rtf.find("\\pard\\intbl\\qr a\\{b\\}\\\\c\\cell"), std::string::npos);
  EXPECT_NE(rtf.find("\\pard\\intbl\\qc 1\\line 2\\cell"), std::string::npos);
  EXPECT_NE(rtf.find("\\pard\\intbl\\ql \\u19968?\\cell"), std::string::npos);
  EXPECT_EQ(rtf.substr(rtf.size() - 3), "}\r\n");
}

}  // namespace
