// TRichStringGrid: the HTML table. The file holds, in order, the lines of
// HTMLSettings.HeaderFile, PrefixTag, the table, SuffixTag and the lines of
// FooterFile (a header or footer file that cannot be read is left out).
// With a fixed first row and IncludeFixedCells it becomes a bold heading
// row; without IncludeFixedCells the fixed first rows and columns are left
// out (the footers and the fixed right columns stay). Colours and font styles come from the cell colour query; fixed
// cells get the system's active-border colour. Plain texts have '&', '<'
// and '>' escaped; mark-up texts are written as they are. A link text
// becomes an anchor with its address quoted.
#include "RichGrid/grid_file_io.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/fileutils.h"

namespace {

// The colour the query leaves in place when it sets none.
constexpr TColor kNotSet = 0x7FFFFFFF;

AnsiString Escaped(const AnsiString& text, bool quotes) {
  AnsiString out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"':
        if (quotes) out += "&quot;";
        else out += c;
        break;
      default: out += c;
    }
  }
  return out;
}

AnsiString Hex(TColor color) { return "\"#" + ColorToHTMLHex(color) + "\""; }

void CopyLinesOf(const AnsiString& fileName, GridFileWriter& out) {
  AnsiString bytes;
  if (fileName.empty() || !vx::ReadFileBytes(fileName, bytes)) return;
  for (std::string_view line : vx::SplitLines(bytes)) out.Line(line);
}

// The HTML of a cell text (heading or data cell).
AnsiString HtmlCellText(const TRichStringGrid& grid, const AnsiString& text) {
  if (text.empty()) return "<br>";
  const bool markup = TextType(text, grid.EnableHTML()) == ctMarkup;
  const AnsiString shown = CRToBR(markup ? text : Escaped(text, false));
  if (!grid.URLShow() || !IsURL(text) || text.find("</") != AnsiString::npos) return shown;
  const AnsiString label = grid.URLFull() ? text : StripURLScheme(text);
  return "<A HREF=\"" + Escaped(text, true) + "\">" + CRToBR(Escaped(label, false)) + "</A>";
}

}  // namespace

void TRichStringGrid::SaveToHTML(const AnsiString& FileName, bool Append) {
  AnsiString previous;
  if (Append && FileExists(FileName) && !vx::ReadFileBytes(FileName, previous))
    throw ERichGridError("Cannot create file " + FileName);
  GridFileWriter file(FileName, "Cannot create file ");
  file.Write(previous);
  const THTMLSettings& hs = *htmlSettings_;
  CopyLinesOf(hs.HeaderFile, file);
  if (!hs.PrefixTag.empty()) file.Line(hs.PrefixTag);
  AnsiString table = "<table border=\"" + IntToStr(hs.BorderSize) + "\" cellspacing=\"" + IntToStr(hs.CellSpacing) +
                     "\" cellpadding=\"" + IntToStr(hs.CellPadding) + "\"";
  if (!hs.TableStyle.empty()) table += " " + hs.TableStyle + " ";
  file.Line(table + " width=\"" + IntToStr(hs.Width) + "%\">");

  // The fixed first rows and columns may be left out; the footers and the
  // fixed right columns are always written.
  GridFileRange range = FileRangeOf(*this);
  range.LastCol = ColCount() - 1;
  range.LastRow = RowCount() - 1;
  const AnsiString wrap = wordWrap_ ? "" : " nowrap";
  auto alignOf = [&](int c, int r) -> AnsiString {
    switch (GetCellAlignment(c, r)) {
      case taRightJustify: return " align=\"right\"";
      case taCenter: return " align=\"center\"";
      default: return "";
    }
  };
  int firstRow = range.FirstRow;
  if (FixedRows() > 0 && includeFixedCells_) {
    file.Line("<tr>");
    for (int c = range.FirstCol; c <= range.LastCol; ++c)
      file.Line("<td" + wrap + alignOf(c, 0) + " BGCOLOR=" + Hex(clActiveBorder) + "><B>" +
                HtmlCellText(*this, Cells(RealColIndex(c), 0)) + "</B></td>");
    file.Line("</tr>");
    firstRow = 1;
  }

  TBrush brush;
  TFont font;
  FileProgress progress(*this);
  for (int r = firstRow; r <= range.LastRow; ++r) {
    file.Line("<tr>");
    for (int c = range.FirstCol; c <= range.LastCol; ++c) {
      const AnsiString text = Cells(RealColIndex(c), r);
      brush.SetColor(kNotSet);
      font.SetColor(kNotSet);
      font.SetStyle({});
      GetCellColor(c, r, TGridDrawState{}, &brush, &font);
      AnsiString cell = "<td" + wrap + (text.empty() ? AnsiString() : alignOf(c, r));
      const bool colours = hs.SaveColor;
      if (colours && brush.Color() != kNotSet) cell += " BGCOLOR=" + Hex(brush.Color());
      else if (r < FixedRows() || c < FixedCols()) cell += " BGCOLOR=" + Hex(clActiveBorder);
      cell += ">";
      AnsiString close = "</td>";
      if (colours && font.Color() != kNotSet) {
        cell += "<font color=" + Hex(font.Color()) + ">";
        close = "</font>" + close;
      }
      if (hs.SaveFonts) {
        const TFontStyles style = font.Style();
        const std::pair<TFontStyle, const char*> tags[] = {{fsBold, "B"}, {fsItalic, "I"}, {fsUnderline, "U"}};
        for (const auto& [s, tag] : tags)
          if (style.Contains(s)) {
            cell += "<" + AnsiString(tag) + ">";
            close = "</" + AnsiString(tag) + ">" + close;
          }
      }
      file.Line(cell + HtmlCellText(*this, text) + close);
    }
    file.Line("</tr>");
    progress.Step(r - firstRow, range.LastRow - firstRow);
    Application->ProcessMessages();
  }
  file.Line("</table><p>");
  if (!hs.SuffixTag.empty()) file.Line(hs.SuffixTag);
  CopyLinesOf(hs.FooterFile, file);
  file.Commit();
}
