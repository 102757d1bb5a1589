// Pieces that the grid's file readers and writers share: the file range
// that IncludeFixedCells gives, progress reported only when it changes,
// text lines, and whole-file input and output that raise the grid's errors.
#pragma once

#include <string_view>
#include <vector>

#include "RichGrid/rich_grid.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/text_lines.h"

// The largest grid a file may make: sizes beyond these are not a grid this
// program could have written or could use. The cell count is bounded too:
// a grid of the largest width and height would take hours to write back
// and more memory than there is.
constexpr long long kMaxFileCols = 16384, kMaxFileRows = 10000000, kMaxFileCells = 1ll << 24;

// The cells a file takes: the whole grid with IncludeFixedCells, else
// the cells between the fixed columns and rows on every side.
struct GridFileRange {
  int FirstCol = 0, LastCol = -1, FirstRow = 0, LastRow = -1;
  int Cols() const { return LastCol < FirstCol ? 0 : LastCol - FirstCol + 1; }
  int Rows() const { return LastRow < FirstRow ? 0 : LastRow - FirstRow + 1; }
};
GridFileRange FileRangeOf(const TRichStringGrid& grid);

// OnFileProgress for one run: fires only when assigned and only when the
// percentage differs from the one fired last (the first against -1).
class FileProgress {
 public:
  explicit FileProgress(TRichStringGrid& grid) : grid_(grid) {}
  void Report(int percent);
  // Round(done / Max(1, total) * 100), then Report.
  void Step(long long done, long long total);

 private:
  TRichStringGrid& grid_;
  int last_ = -1;
};

// The whole file, or ERichGridError failure + FileName.
AnsiString ReadGridFile(const AnsiString& FileName, const char* failure);

// A file written whole before it replaces the old one (see ReplacingFile);
// Open and Commit raise ERichGridError failure + FileName. Lines end in CR LF.
class GridFileWriter {
 public:
  GridFileWriter(const AnsiString& FileName, const char* failure);
  void Write(std::string_view bytes);
  void Line(std::string_view line);
  void Commit();

 private:
  [[noreturn]] void Fail() const;
  AnsiString name_;
  const char* failure_;
  vx::ReplacingFile file_;
};
