// TRichStringGrid: the fixed-width text table. Every row and column, fixed
// ones included. A column is as wide as the longest line of its cells (the
// first line only without Multilinecells) plus one blank; right-aligned
// texts are padded in front, centred ones on both sides. With
// Multilinecells the further lines of a row's cells follow on continuation
// lines, each piece starting at its column's position.
#include <algorithm>

#include "RichGrid/grid_file_io.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/core/busy_cursor.h"

namespace {

// The lines of a cell text, split at CR (an LF after it skipped).
std::vector<AnsiString> CellLines(AnsiString text) {
  std::vector<AnsiString> lines;
  do lines.push_back(CutFirstLine(text, true));
  while (!text.empty());
  return lines;
}

// The text padded in front (right) or on both sides (centre) to at least
// the width.
AnsiString Aligned(AnsiString text, int width, TAlignment alignment) {
  const auto w = static_cast<std::size_t>(width);
  if (alignment == taRightJustify && text.size() < w) text.insert(0, w - text.size(), ' ');
  if (alignment == taCenter)
    while (text.size() < w) text = " " + text + " ";
  return text;
}

}  // namespace

void TRichStringGrid::SaveToASCII(const AnsiString& FileName) {
  vx::ScreenCursor busy;
  GridFileWriter file(FileName, "Cannot create file ");
  const int cols = ColCount(), rows = RowCount();
  std::vector<int> widths(static_cast<std::size_t>(cols), 0);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      AnsiString text = Cells(c, r);
      int& w = widths[static_cast<std::size_t>(c)];
      if (!multilinecells_) {
        w = std::max(w, static_cast<int>(CutFirstLine(text, false).size()));
        continue;
      }
      for (const AnsiString& line : CellLines(text)) w = std::max(w, static_cast<int>(line.size()));
    }

  for (int r = 0; r < rows; ++r) {
    std::vector<std::vector<AnsiString>> cellLines(static_cast<std::size_t>(cols));
    std::vector<TAlignment> alignments(static_cast<std::size_t>(cols));
    std::size_t extraLines = 0;
    AnsiString line;
    for (int c = 0; c < cols; ++c) {
      const auto i = static_cast<std::size_t>(c);
      cellLines[i] = CellLines(Cells(c, r));
      if (multilinecells_) extraLines = std::max(extraLines, cellLines[i].size() - 1);
      alignments[i] = GetCellAlignment(c, r);
      AnsiString piece = Aligned(cellLines[i][0], widths[i], alignments[i]);
      if (piece.size() <= static_cast<std::size_t>(widths[i])) piece.append(widths[i] - piece.size() + 1, ' ');
      line += piece;
    }
    file.Line(line);
    for (std::size_t k = 1; k <= extraLines; ++k) {
      AnsiString more;
      std::size_t start = 0;
      for (int c = 0; c < cols; ++c) {
        const auto i = static_cast<std::size_t>(c);
        if (cellLines[i].size() > k) {
          if (more.size() < start) more.append(start - more.size(), ' ');
          more += Aligned(cellLines[i][k], widths[i], alignments[i]);
        }
        start += static_cast<std::size_t>(widths[i]) + 1;
      }
      file.Line(more);
    }
  }
  file.Commit();
}
