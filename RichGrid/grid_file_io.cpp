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
