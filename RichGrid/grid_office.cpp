// TRichStringGrid: spreadsheet and document files through the office
// automation servers. The spreadsheet gets the file range in one block
// from A1 (line breaks as LF; a number text as a number when the number
// reads back as the same text) and gives back its used range (each LF a
// CR LF line break, every CR kept); the document gets every cell in a table
// with right and centred cells aligned. The server quits and the cursor
// comes back on every way out.
#include <charconv>

#include "RichGrid/grid_file_io.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/core/busy_cursor.h"
#include "platform/ole/a1_address.h"
#include "platform/ole/excel_automation.h"
#include "platform/ole/word_automation.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/scope_guard.h"

namespace {

std::u16string Wide(const AnsiString& s) { return vx::Cp1251ToUtf16(s); }

// The server of that identifier with the interface the grid drives, or
// ERichGridError `missing`.
template <class Server>
std::unique_ptr<TAutomationObject> StartServer(const char* progId, const char* missing, Server*& server) {
  std::unique_ptr<TAutomationObject> object;
  try {
    object = CreateOleObject(progId);
  } catch (const Exception&) {}
  server = dynamic_cast<Server*>(object.get());
  if (!server) throw ERichGridError(missing);
  return object;
}

// The spreadsheet's line breaks are LF: the CR of each CR LF goes. A CR
// alone stays, so that the text reads back as it was (a lone LF comes back
// as CR LF).
AnsiString SpreadsheetLines(const AnsiString& text) {
  if (text.find("\r\n") == AnsiString::npos) return text;
  AnsiString out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') out += text[i];
  return out;
}

// The number a text goes to the spreadsheet as: only one whose text, as it
// reads back, is the same ("007", "1,500" or "1.50" stay texts).
bool SpreadsheetNumber(const AnsiString& text, double& value) {
  // Most cells are short whole numbers.
  const std::size_t sign = text[0] == '-' ? 1 : 0;
  if (text.size() > sign && text.size() <= 15 && (text[sign] != '0' || text.size() == 1)) {
    long long whole = 0;
    std::size_t i = sign;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) whole = whole * 10 + (text[i] - '0');
    value = static_cast<double>(sign ? -whole : whole);
    if (i == text.size()) return true;
  }
  if (TextNumberType(text) == ntText) return false;
  const AnsiString dotted = NormalizeNumberText(text);
  const auto [end, ec] = std::from_chars(dotted.data(), dotted.data() + dotted.size(), value);
  return ec == std::errc() && end == dotted.data() + dotted.size() && VarToStr(value) == text;
}

// What a cell text goes to the spreadsheet as: nothing, a number or a text
// with LF line breaks.
OleVariant SpreadsheetValue(const AnsiString& text) {
  if (text.empty()) return {};
  double number = 0;
  if (SpreadsheetNumber(text, number)) return number;
  return Wide(SpreadsheetLines(text));
}

}  // namespace

void TRichStringGrid::SaveToXLS(const AnsiString& FileName, const AnsiString& SheetName) {
  vx::ScreenCursor busy;
  ExcelApplication* excel = nullptr;
  const auto server = StartServer("excel.application", "Excel OLE server not found", excel);
  vx::ScopeGuard quit([&] { excel->Quit(); });

  ExcelWorkbook* book = nullptr;
  ExcelWorksheet* sheet = nullptr;
  bool isNew = false;
  if (SheetName.empty()) {
    book = excel->WorkBooks().Add();
    sheet = book->WorkSheets().Add();
    isNew = true;
  } else {
    book = excel->WorkBooks().Open(Wide(FileName));
    if (!book) {
      book = excel->WorkBooks().Add();
      isNew = true;
    }
    const int count = book->Sheets().Count();
    for (int i = 1; i <= count; ++i)
      if (book->Sheets().Item(i)->Name() == Wide(SheetName)) sheet = book->Sheets().Item(i);
    if (!sheet) {
      sheet = book->WorkSheets().Add();
      sheet->SetName(Wide(SheetName));
    }
  }

  const GridFileRange range = FileRangeOf(*this);
  OleArray values(range.Rows(), range.Cols());
  for (int r = 0; r < range.Rows(); ++r) {
    std::vector<OleVariant>& row = values.MutableRow(r);
    row.reserve(static_cast<std::size_t>(range.Cols()));
    for (int c = 0; c < range.Cols(); ++c)
      row.push_back(SpreadsheetValue(Cells(RealColIndex(range.FirstCol + c), range.FirstRow + r)));
  }
  if (range.Rows() > 0 && range.Cols() > 0)
    sheet->Range(Wide("A1:" + vx::ColumnLetters(range.Cols()) + IntToStr(range.Rows())))->SetValue(std::move(values));
  if (isNew) book->SaveAs(Wide(FileName));
  else book->Save();
}

void TRichStringGrid::LoadFromXLS(const AnsiString& FileName, const AnsiString& SheetName) {
  vx::ScreenCursor busy;
  ExcelApplication* excel = nullptr;
  const auto server = StartServer("excel.application", "Excel OLE server not found", excel);
  vx::ScopeGuard quit([&] { excel->Quit(); });

  ExcelWorkbook* book = excel->WorkBooks().Open(Wide(FileName));
  if (!book) throw ERichGridError("Cannot open file " + FileName);
  ExcelWorksheet* sheet = nullptr;
  if (SheetName.empty()) {
    sheet = excel->ActiveSheet();
  } else {
    const int count = excel->Sheets().Count();
    for (int i = 1; i <= count; ++i)
      if (excel->Sheets().Item(i)->Name() == Wide(SheetName)) sheet = excel->Sheets().Item(i);
  }
  if (!sheet) {
    // A workbook without a worksheet to read names the sheet it has active.
    const AnsiString name = SheetName.empty() ? vx::Utf16ToCp1251(excel->ActiveSheetName()) : SheetName;
    if (name.empty()) throw ERichGridError("File contains no data or corrupt file " + FileName);
    throw ERichGridError("Excel worksheet " + name + " not found");
  }

  vx::CellBlock used;
  if (!vx::ParseCellBlock(vx::Utf16ToCp1251(sheet->UsedRange()->Address()), used))
    throw ERichGridError("File contains no data or corrupt file " + FileName);
  const OleArray values = sheet
                              ->Range(Wide(vx::ColumnLetters(used.FirstColumn) + IntToStr(used.FirstRow) + ":" +
                                           vx::ColumnLetters(used.LastColumn) + IntToStr(used.LastRow)))
                              ->Value();
  const int colOffset = includeFixedCells_ ? 0 : FixedCols();
  const int rowOffset = includeFixedCells_ ? 0 : FixedRows();
  const int cols = used.LastColumn - used.FirstColumn + 1, rows = used.LastRow - used.FirstRow + 1;
  SetColCount(cols + colOffset);
  SetRowCount(rows + rowOffset);
  // Each row is taken out of the grid, filled and put back whole.
  std::vector<AnsiString> cells;
  std::vector<TObject*> objects;
  for (int r = 0; r < rows; ++r) {
    const std::vector<OleVariant>& row = values.Row(r);
    TakeRowData(r + rowOffset, cells, objects);
    cells.resize(std::max(cells.size(), static_cast<std::size_t>(colOffset + cols)));
    for (int c = 0; c < cols; ++c) {
      AnsiString& cell = cells[static_cast<std::size_t>(colOffset + c)];
      // Each LF, the spreadsheet's line break, becomes the grid's CR LF; a
      // CR is the cell's own, one before an LF too (a lone CR before a CR
      // LF went out so), and stays.
      if (static_cast<std::size_t>(c) < row.size()) cell = LFToCRLF(VarToStr(row[static_cast<std::size_t>(c)]));
      else cell.clear();
    }
    PutRowData(r + rowOffset, std::move(cells), std::move(objects));
  }
  InvalidateGrid();
  book->Close(false);
}

void TRichStringGrid::SaveToDOC(const AnsiString& FileName) {
  vx::ScreenCursor busy;
  WordApplication* word = nullptr;
  const auto server = StartServer("word.application", "Word OLE server not found", word);
  vx::ScopeGuard quit([&] { word->Quit(); });

  WordDocument* document = word->Documents().Add();
  const auto start = document->Range(0, 0);
  WordTable* table = document->Tables().Add(*start, RowCount(), ColCount());
  for (int r = 0; r < RowCount(); ++r)
    for (int c = 0; c < ColCount(); ++c) {
      const auto cell = table->Cell(r + 1, c + 1)->Range();
      cell->InsertAfter(Wide(Cells(c, r)));
      const TAlignment alignment = GetCellAlignment(c, r);
      if (alignment == taRightJustify) cell->ParagraphFormat().SetAlignment(2);
      else if (alignment == taCenter) cell->ParagraphFormat().SetAlignment(1);
    }
  document->SaveAs(Wide(FileName));
}
