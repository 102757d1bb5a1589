// TRichStringGrid: the grid's own cell file.
//
//   cols,rows                 the file range's size (plus the hidden columns
//                             with FileIncludesHidden)
//   cw <col>,<width>          one per column of the file range
//   <col>,<row>,<text>        one per non-empty cell, rows outer
//
// Indexes are the grid's own. A text that holds a CR is written with every
// CR as TAB and every LF as BS (a text with LF but no CR gets BS for its
// LF); reading decodes a text that holds a BS. A text that this coding
// would not give back as it was (a CR without LF, a TAB or BS of its own
// beside its line breaks) is written escaped instead: ESC first, then CR
// as TAB, LF as BS, and its own TAB, BS and ESC each after an ESC.
// Text is CP1251, lines end in CR LF; reading takes CR LF, LF or CR.
#include <algorithm>
#include <charconv>

#include "RichGrid/grid_file_io.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/core/application.h"

namespace {

constexpr long long kMaxColWidth = 65535;

// A decimal integer filling the whole text (an optional '-' first).
bool ParseIndex(std::string_view text, long long& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

constexpr char kEscape = '\x1B';

// A text with its line breaks as TAB and BS: a text with a CR has them
// coded; one with LF but no CR has its LF coded too, so that no line break
// of a text ever splits its line.
AnsiString CodedLineBreaks(const AnsiString& text) {
  if (text.find('\r') != AnsiString::npos || text.find('\n') == AnsiString::npos) return EncodeLineBreaks(text);
  AnsiString out(text);
  for (char& c : out)
    if (c == '\n') c = '\b';
  return out;
}

// The text of a cell line: line breaks coded, or the escaped form when
// the coding would not read back to the same text.
AnsiString CellLineText(const AnsiString& text) {
  AnsiString coded = CodedLineBreaks(text);
  if ((text.empty() || text[0] != kEscape) && DecodeLineBreaks(coded, true) == text) return coded;
  AnsiString out(1, kEscape);
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\t' || c == '\b' || c == kEscape) out += kEscape;
    out += c == '\r' ? '\t' : c == '\n' ? '\b' : c;
  }
  return out;
}

// A cell text as its line holds it; with multiLine off only its first line.
AnsiString CellText(std::string_view coded, bool multiLine) {
  if (coded.empty() || coded[0] != kEscape) return DecodeLineBreaks(AnsiString(coded), multiLine);
  AnsiString out;
  out.reserve(coded.size());
  for (std::size_t i = 1; i < coded.size(); ++i) {
    const char c = coded[i];
    if (c == kEscape && i + 1 < coded.size()) out += coded[++i];
    else out += c == '\t' ? '\r' : c == '\b' ? '\n' : c;
  }
  if (!multiLine) out.erase(std::min(out.find('\r'), out.size()));
  return out;
}

}  // namespace

void TRichStringGrid::SaveToFile(const AnsiString& FileName) {
  GridFileWriter file(FileName, "Cannot create ");
  const GridFileRange range = FileRangeOf(*this);
  const int hidden = NumHiddenColumns();
  const int sizeCols = range.Cols() + (fileIncludesHidden_ ? hidden : 0);
  file.Line(IntToStr(sizeCols) + "," + IntToStr(range.Rows()));
  for (int c = range.FirstCol; c < range.FirstCol + sizeCols; ++c)
    file.Line("cw " + IntToStr(c) + "," + IntToStr(ColWidths(c)));
  FileProgress progress(*this);
  for (int r = range.FirstRow; r <= range.LastRow; ++r) {
    for (int c = range.FirstCol; c <= range.LastCol + hidden; ++c) {
      const AnsiString text = Cells(RealColIndex(c), r);
      if (!text.empty()) file.Line(IntToStr(c) + "," + IntToStr(r) + "," + CellLineText(text));
    }
    progress.Step(r - range.FirstRow, range.Rows() - 1);
    Application->ProcessMessages();
  }
  file.Commit();
}

void TRichStringGrid::LoadFromFile(const AnsiString& FileName) {
  const AnsiString bytes = ReadGridFile(FileName, "Cannot open file ");
  const std::vector<std::string_view> lines = vx::SplitLines(bytes);
  const int colOffset = includeFixedCells_ ? 0 : FixedCols();
  const int rowOffset = includeFixedCells_ ? 0 : FixedRows();

  long long cols = 0, rows = 0;
  if (!lines.empty()) {
    const std::string_view size = lines[0];
    const std::size_t comma = size.find(',');
    if (comma != std::string_view::npos) {
      if (!ParseIndex(size.substr(0, comma), cols) || !ParseIndex(size.substr(comma + 1), rows)) cols = rows = 0;
    }
  }
  if (cols <= 0 || rows <= 0 || cols > kMaxFileCols || rows > kMaxFileRows || cols * rows > kMaxFileCells)
    throw ERichGridError("File contains no data or corrupt file " + FileName);
  SetColCount(static_cast<int>(cols) + colOffset);
  SetRowCount(static_cast<int>(rows) + rowOffset);

  FileProgress progress(*this);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) continue;
    long long col = 0, value = 0;
    if (line.substr(0, 2) == "cw") {
      if (comma < 3 || !ParseIndex(line.substr(3, comma - 3), col) || !ParseIndex(line.substr(comma + 1), value))
        continue;
      if (col >= 0 && col < ColCount() && value >= 0 && value <= kMaxColWidth)
        SetColWidths(static_cast<int>(col), static_cast<int>(value));
      continue;
    }
    const std::size_t second = line.find(',', comma + 1);
    if (second == std::string_view::npos || !ParseIndex(line.substr(0, comma), col) ||
        !ParseIndex(line.substr(comma + 1, second - comma - 1), value))
      continue;
    if (col < 0 || value < 0 || col >= ColCount() || value >= RowCount()) continue;
    const int row = static_cast<int>(value);
    SetCells(static_cast<int>(col), row, CellText(line.substr(second + 1), multilinecells_));
    progress.Step(row, RowCount() - 1);
    Application->ProcessMessages();
  }
}
