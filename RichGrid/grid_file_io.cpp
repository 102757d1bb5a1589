#include "RichGrid/grid_file_io.h"

#include "RichGrid/text_routines.h"
#include "platform/rtl/sysutils.h"

GridFileRange FileRangeOf(const TRichStringGrid& grid) {
  GridFileRange r;
  if (grid.IncludeFixedCells()) {
    r.LastCol = grid.ColCount() - 1;
    r.LastRow = grid.RowCount() - 1;
  } else {
    r.FirstCol = grid.FixedCols();
    r.LastCol = grid.ColCount() - grid.FixedRightCols() - 1;
    r.FirstRow = grid.FixedRows();
    r.LastRow = grid.RowCount() - grid.FixedFooters() - 1;
  }
  return r;
}

void FileProgress::Report(int percent) {
  if (!grid_.OnFileProgress || percent == last_) return;
  last_ = percent;
  grid_.OnFileProgress(&grid_, static_cast<short>(percent));
}

void FileProgress::Step(long long done, long long total) {
  if (!grid_.OnFileProgress) return;
  Report(static_cast<int>(Round(static_cast<long double>(done) / (total < 1 ? 1 : total) * 100)));
}

std::vector<std::string_view> TextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

AnsiString ReadGridFile(const AnsiString& FileName, const char* failure) {
  AnsiString bytes;
  if (!vx::ReadFileBytes(FileName, bytes)) throw ERichGridError(failure + FileName);
  return bytes;
}

GridFileWriter::GridFileWriter(const AnsiString& FileName, const char* failure) : name_(FileName), failure_(failure) {
  if (!file_.Open(FileName, ".vxtmp")) Fail();
}

void GridFileWriter::Fail() const { throw ERichGridError(failure_ + name_); }

void GridFileWriter::Write(std::string_view bytes) {
  if (!file_.Write(bytes.data(), bytes.size())) Fail();
}

void GridFileWriter::Line(std::string_view line) {
  Write(line);
  Write("\r\n");
}

void GridFileWriter::Commit() {
  if (!file_.Commit()) Fail();
}
