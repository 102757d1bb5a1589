// TRichStringGrid: cell ranges on the clipboard. A range is text: its rows
// each ended by CR LF, the cells of a row separated by TAB (CF_TEXT). A
// mark-up cell goes as its plain text unless CopyHTMLTagsToClipboard, a
// rich-text cell as its plain text, a multi-line cell with QuoteMultiline
// in double quotes with LF for its CR LF line breaks (a lone CR or LF
// stays). A rich-text top-left cell also goes as "Rich Text Format" with
// AllowRTFClipboard.
//
// Paste writes the clipboard's fields from a cell rightwards and its lines
// downwards into the cells that may be edited (any with
// AllowClipboardAlways), growing the grid to hold them where allowed; it
// never writes outside the grid. With QuoteMultiline a quoted field keeps
// its line breaks (each LF becomes CR LF) and loses its quotes, so the
// grid's own copy comes back cell for cell; a lone LF comes back as CR LF.
// Smart paste then fills the selection:
// from one pasted field, or as a series (dates or times, decimal or whole
// numbers) from two.
#include <climits>

#include "RichGrid/date_parts.h"
#include "RichGrid/markup.h"
#include "RichGrid/rich_grid.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/services/clipbrd.h"
#include "platform/gui/richtext/rtf_reader.h"
#include "platform/rtl/separated_rows.h"

namespace {

unsigned RichTextFormat() { return RegisterClipboardFormat("Rich Text Format"); }

// The lines of a clipboard text, split at CR (an LF after it skipped); a
// line break at the very end starts no further line. With quoted fields,
// the line breaks inside a quoted field stay in it (separated_rows.h).
std::vector<AnsiString> ClipboardLines(const AnsiString& text, bool quotedFields) {
  std::vector<AnsiString> lines;
  if (quotedFields) {
    vx::SeparatedRows<char> rows(text, false);
    std::string_view row;
    bool broken = false;
    while (rows.Next(row, broken)) lines.emplace_back(row);
    return lines;
  }
  AnsiString rest = text;
  while (!rest.empty()) lines.push_back(CutFirstLine(rest, true));
  return lines;
}

std::vector<AnsiString> Fields(const AnsiString& line) {
  std::vector<AnsiString> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == AnsiString::npos ? AnsiString::npos : tab - start));
    if (tab == AnsiString::npos) return fields;
    start = tab + 1;
  }
}

bool Holds(const AnsiString& s, char c) { return s.find(c) != AnsiString::npos; }

bool HoldsLineBreak(const AnsiString& s) { return s.find_first_of("\r\n") != AnsiString::npos; }

}  // namespace

void TRichStringGrid::ClipboardTextSize(const AnsiString& text, int& cols, int& rows, bool quotedFields) {
  cols = rows = 0;
  for (const AnsiString& line : ClipboardLines(text, quotedFields)) {
    ++rows;
    cols = std::max(cols, static_cast<int>(Fields(line).size()));
  }
}

bool TRichStringGrid::ClipboardCellEditable(int ACol, int ARow) {
  bool editable = Options().Contains(goEditing);
  CanEditCell(ACol, ARow, editable);
  return editable;
}

AnsiString TRichStringGrid::ClipboardCellText(int ACol, int ARow) {
  AnsiString text = Cells(RealColIndex(ACol), ARow);
  if (text.find("</") != AnsiString::npos && !navigation_->CopyHTMLTagsToClipboard) text = StripMarkup(text);
  if (text.find("{\\") != AnsiString::npos) {
    text = vx::ReadRtf(text).PlainText();
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  }
  if (quoteMultiline_ && multilinecells_ && HoldsLineBreak(text)) text = QuoteText(text);
  return text;
}

AnsiString TRichStringGrid::RangeAsText(int ACol1, int ACol2, const std::vector<int>& rows) {
  std::vector<AnsiString> texts;
  std::size_t size = 1;
  for (int r : rows)
    for (int c = ACol1; c <= ACol2; ++c) {
      texts.push_back(ClipboardCellText(c, r));
      size += texts.back().size() + 2;
    }
  AnsiString out;
  out.reserve(size);
  std::size_t i = 0;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    for (int c = ACol1; c <= ACol2; ++c) {
      out += texts[i++];
      out += c < ACol2 ? "\t" : "\r\n";
    }
  }
  return out;
}

namespace {

std::vector<int> RowsBetween(int first, int last) {
  std::vector<int> rows;
  for (int r = first; r <= last; ++r) rows.push_back(r);
  return rows;
}

}  // namespace

std::vector<int> TRichStringGrid::SelectionRows() {
  const TGridRect sel = Selection();
  if (Options().Contains(goRowSelect) && mouseActions_->DisjunctRowSelect && RowSelectCount() > 0) {
    std::vector<int> rows;
    for (int r = 0; r < RowCount(); ++r)
      if (RowSelect(r)) rows.push_back(r);
    return rows;
  }
  return RowsBetween(sel.Top, sel.Bottom);
}

AnsiString TRichStringGrid::SelectionAsText() {
  const TGridRect sel = Selection();
  return RangeAsText(sel.Left, sel.Right, SelectionRows());
}

void TRichStringGrid::CopySelectionToClipboard() {
  const TGridRect sel = Selection();
  const AnsiString text = RangeAsText(sel.Left, sel.Right, RowsBetween(sel.Top, sel.Bottom));
  TClipboard* clipboard = Clipboard();
  clipboard->Open();
  clipboard->SetAsText(text);
  const AnsiString topLeft = Cells(RealColIndex(sel.Left), sel.Top);
  if (navigation_->AllowRTFClipboard && topLeft.find("{\\") != AnsiString::npos)
    clipboard->SetAsBytes(RichTextFormat(), topLeft);
  clipboard->Close();
  copiedMark_ = true;
}

void TRichStringGrid::CutSelectionToClipboard() {
  CopySelectionToClipboard();
  const TGridRect sel = Selection();
  for (int r = sel.Top; r <= sel.Bottom; ++r)
    for (int c = sel.Left; c <= sel.Right; ++c)
      if (navigation_->AllowClipboardAlways || ClipboardCellEditable(c, r)) SetCells(RealColIndex(c), r, "");
  copiedMark_ = false;
}

int TRichStringGrid::PasteFromClipboard(int ACol, int ARow) {
  if (ACol < 0 || ARow < 0) return 0;
  if (!Options().Contains(goEditing) && !navigation_->AllowClipboardAlways) return 0;
  TClipboard* clipboard = Clipboard();
  if (navigation_->AllowRTFClipboard && clipboard->HasFormat(RichTextFormat())) {
    AnsiString rtf = clipboard->GetAsBytes(RichTextFormat()).value_or("");
    rtf.erase(std::min(rtf.find('\0'), rtf.size()));
    if (ClipboardCellEditable(ACol, ARow)) SetCells(ACol, ARow, rtf);
    return 0;
  }
  if (!clipboard->HasFormat(CF_TEXT)) return 0;
  return PasteText(ACol, ARow, clipboard->AsText());
}

int TRichStringGrid::PasteText(int ACol, int ARow, const AnsiString& text, PastedFields* taken) {
  const std::vector<AnsiString> lines = ClipboardLines(text, quoteMultiline_);
  if (taken) {
    taken->clear();
    for (const AnsiString& line : lines) taken->emplace_back(Fields(line).size(), false);
  }
  int fields = 0, widest = 0, rows = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const long long row = static_cast<long long>(ARow) + static_cast<long long>(i);
    if (row >= RowCount()) {
      if (!navigation_->AllowClipboardRowGrow || row >= INT_MAX) break;
      SetRowCount(static_cast<int>(row) + 1);
    }
    ++rows;
    const std::vector<AnsiString> parts = Fields(lines[i]);
    widest = std::max(widest, static_cast<int>(parts.size()));
    for (std::size_t j = 0; j < parts.size(); ++j) {
      ++fields;
      const long long col = static_cast<long long>(ACol) + static_cast<long long>(j);
      if (col >= ColCount()) {
        if (!navigation_->AllowClipboardColGrow || col >= INT_MAX) continue;
        SetColCount(static_cast<int>(col) + 1);
      }
      AnsiString field = parts[j];
      if (quoteMultiline_ && HoldsLineBreak(field)) {
        if (!field.empty() && field.front() == '"') field.erase(0, 1);
        if (!field.empty() && field.back() == '"') field.pop_back();
        field = LFToCRLF(field);
      }
      const int c = static_cast<int>(col), r = static_cast<int>(row);
      if (navigation_->AllowClipboardAlways || ClipboardCellEditable(c, r)) {
        SetCells(RealColIndex(c), r, field);
        if (taken) (*taken)[i][j] = true;
      }
    }
  }
  if (rows > 0 && widest > 0) {
    TGridRect pasted{ACol, ARow, std::min(ACol + widest - 1, ColCount() - 1),
                     std::min(ARow + rows - 1, RowCount() - 1)};
    PasteDone(pasted, copiedMark_);
  }
  return fields;
}

void TRichStringGrid::PasteSelectionFromClipboard() {
  const TGridRect sel = Selection();
  const int pasted = PasteFromClipboard(sel.Left, sel.Top);
  if (!navigation_->AllowSmartClipboard) return;
  const bool oneRow = sel.Top == sel.Bottom, oneCol = sel.Left == sel.Right;
  if (pasted == 1 && !(oneRow && oneCol)) {
    const AnsiString text = Cells(RealColIndex(sel.Left), sel.Top);
    for (int c = sel.Left; c <= sel.Right; ++c)
      for (int r = sel.Top; r <= sel.Bottom; ++r)
        if (ClipboardCellEditable(c, r)) SetCells(RealColIndex(c), r, text);
  } else if (pasted == 2 && (oneRow || oneCol)) {
    FillSeries(sel);
  }
}

void TRichStringGrid::FillSeries(const TGridRect& sel) {
  const AnsiString c1 = Cells(RealColIndex(sel.Left), sel.Top);
  const AnsiString c2 =
      sel.Top == sel.Bottom ? Cells(RealColIndex(sel.Left + 1), sel.Top) : Cells(RealColIndex(sel.Left), sel.Top + 1);
  // Writes the series' texts over the selection, columns outer, while
  // `next` gives values.
  auto fill = [&](auto&& textOf, auto&& next) {
    for (int c = sel.Left; c <= sel.Right; ++c)
      for (int r = sel.Top; r <= sel.Bottom; ++r) {
        if (ClipboardCellEditable(c, r)) SetCells(RealColIndex(c), r, textOf());
        if (!next()) return;
      }
  };
  const char ds = FormatSettings.DateSeparator, ts = FormatSettings.TimeSeparator;
  TDateTime d1 = 0, d2 = 0;
  if (((Holds(c1, ds) && Holds(c2, ds)) || (Holds(c1, ts) && Holds(c2, ts))) && TryStrToDateTime(c1, d1) &&
      TryStrToDateTime(c2, d2)) {
    Word y1, m1, dd1, y2, m2, dd2;
    DecodeDate(d1, y1, m1, dd1);
    DecodeDate(d2, y2, m2, dd2);
    const bool asDate = Holds(c1, ds);
    TDateTime v = d1;
    fill([&] { return asDate ? DateToStr(v) : TimeToStr(v); },
         [&] {
           return IncDateParts(static_cast<std::int16_t>(y2 - y1), static_cast<std::int16_t>(m2 - m1),
                               static_cast<std::int16_t>(dd2 - dd1), d2 - d1, v, v);
         });
    return;
  }
  const char dec = FormatSettings.DecimalSeparator;
  long double f1 = 0, f2 = 0;
  if (Holds(c1, dec) && Holds(c2, dec)) {
    if (!TryStrToFloat(c1, f1) || !TryStrToFloat(c2, f2)) return;
    long double v = f1;
    fill([&] { return FloatToStr(v); },
         [&] {
           v += f2 - f1;
           return true;
         });
    return;
  }
  long long i1 = 0, i2 = 0;
  if (!TryStrToInt64(c1, i1) || !TryStrToInt64(c2, i2) || i1 < INT_MIN || i1 > INT_MAX || i2 < INT_MIN || i2 > INT_MAX)
    return;
  long long v = i1;
  fill([&] { return IntToStr(v); },
       [&] {
         v += i2 - i1;
         return v >= INT_MIN && v <= INT_MAX;
       });
}
