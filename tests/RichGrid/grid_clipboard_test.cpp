// Cell ranges on the clipboard: the exact bytes through the system
// clipboard under the offscreen platform, what each kind of cell becomes,
// rich text, pasting with and without growth and editability, the paste
// hook and the copied mark, cut, smart paste (a field fills, two start a
// series of whole or decimal numbers, dates or times).
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <optional>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/gui/services/clipbrd.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

using GridClipboard = richgridtest::RichGridTest;

// A grid that remembers what its paste hook was told.
class Grid : public TRichStringGrid {
 public:
  Grid(int cols, int rows) : TRichStringGrid(nullptr) {
    SetFixedCols(0);
    SetFixedRows(0);
    SetColCount(cols);
    SetRowCount(rows);
    SetOptions(Options() + TGridOptions{goEditing});
  }
  void Select(int left, int top, int right, int bottom) { SetSelection(TGridRect{left, top, right, bottom}); }
  void PasteDone(const TGridRect& r, bool copied) override {
    pasted = r;
    pastedCopied = copied;
    ++pastes;
  }
  std::string Shape() const {
    std::string out;
    for (int r = 0; r < RowCount(); ++r) {
      if (r) out += "/";
      for (int c = 0; c < ColCount(); ++c) out += (c ? "|" : "") + Cells(c, r);
    }
    return out;
  }
  TGridRect pasted{};
  bool pastedCopied = false;
  int pastes = 0;
};

void Put(TClipboard* cb, const AnsiString& text) {
  cb->Open();
  cb->Clear();
  cb->SetAsText(text);
  cb->Close();
}

TEST_F(GridClipboard, ExactBytesThroughTheSystemClipboard) {
  Grid g(2, 2);
  g.SetCells(0, 0, "a");
  g.SetCells(1, 0, "b");
  g.SetCells(0, 1, "c");
  g.SetCells(1, 1, "d");
  g.Select(0, 0, 1, 1);
  g.CopySelectionToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "a\tb\r\nc\td\r\n");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString("a\tb\r\nc\td\r\n"));
  EXPECT_TRUE(g.ClipboardCopied());

  Grid cyr(2, 1);
  cyr.SetCells(0, 0, "год"_cp);
  cyr.Select(0, 0, 1, 0);
  cyr.CopySelectionToClipboard();  // an empty cell is an empty field
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("год\t\r\n"));

  Grid back(1, 1);
  EXPECT_EQ(back.PasteFromClipboard(0, 0), 2);
  EXPECT_EQ(back.Shape(), "год|"_cp.str());
}

// Text another program put on the clipboard with LF line ends (as every
// program here writes them), or with lone CRs, used to paste into one row.
TEST_F(GridClipboard, TextOfOtherProgramsPastesLineByLine) {
  struct Case {
    const char* text;
    std::string shape;
    AnsiString clipboard;
  } cases[] = {
      {"a\tb\nc\td\n", "a|b/c|d/|", "a\tb\r\nc\td\r\n"},
      {"a\tb\rc\td", "a|b/c|d/|", "a\tb\r\nc\td"},
      {"a\r\nb\nc", "a|/b|/c|", "a\r\nb\r\nc"},
      {"x\ty\n", "x|y/|/|", "x\ty\r\n"},
      {"\n\nz", "|/|/z|", "\r\n\r\nz"},
      {"a\tb\r\n", "a|b/|/|", "a\tb\r\n"},
  };
  for (const Case& c : cases) {
    QGuiApplication::clipboard()->setText(QString::fromLatin1(c.text));
    EXPECT_EQ(Clipboard()->AsText(), c.clipboard) << c.text;
    Grid g(2, 3);
    g.PasteFromClipboard(0, 0);
    EXPECT_EQ(g.Shape(), c.shape) << c.text;
  }
}

// A QuoteMultiline grid's own copy pasted back through the system
// clipboard used to come apart: the clipboard turned the LF inside each
// quoted field into CR LF, and the paste split the rows there (a lone CR
// split them even through the memory clipboard). The line breaks of a
// quoted field are now the field's; text of other programs with LF line
// ends still pastes row by row, a quoted multi-line field of theirs into
// one cell, and a quote that closes nothing is an ordinary character.
TEST_F(GridClipboard, QuoteMultilineCopiesComeBackCellForCell) {
  for (const bool system : {true, false}) {
    SCOPED_TRACE(system ? "system clipboard" : "memory clipboard");
    std::optional<vx::MemoryClipboard> memory;
    if (!system) memory.emplace();
    Grid from(4, 4);
    from.SetQuoteMultiline(true);
    from.SetMultilinecells(true);
    richgridtest::PutMultiLineCells(from, 1, 1);
    from.Select(1, 1, 3, 3);
    from.CopySelectionToClipboard();
    Grid to(3, 3);
    to.SetQuoteMultiline(true);
    EXPECT_EQ(to.PasteFromClipboard(0, 0), 9);
    EXPECT_EQ(richgridtest::BlockTexts(to, 0, 0), richgridtest::MultiLineCellsBack());
  }

  struct Case {
    const char* text;
    std::string shape;
  } others[] = {
      {"a\tb\nc\td\n", "a|b/c|d/|"},
      {"a\tb\rc\td", "a|b/c|d/|"},
      {"\"a\nb\"\tc\nd\te\n", "a\r\nb|c/d|e/|"},
      {"\"a\nb\"\tc\r\nd\t\"e\rf\"\r\n", "a\r\nb|c/d|e\rf/|"},
      {"\"a\tb\nc\td\"\n", "\"a|b/c|d\"/|"},
      {"\"a\nb\nc", "\"a|/b|/c|"},
  };
  for (const Case& c : others) {
    SCOPED_TRACE(c.text);
    QGuiApplication::clipboard()->setText(QString::fromLatin1(c.text));
    Grid g(2, 3);
    g.SetQuoteMultiline(true);
    g.PasteFromClipboard(0, 0);
    EXPECT_EQ(g.Shape(), c.shape);
  }
}

TEST_F(GridClipboard, WhatEachKindOfCellBecomes) {
  vx::MemoryClipboard memory;
  struct Case {
    const char* name;
    AnsiString cell;
    bool htmlTags, quote, multi;
    AnsiString text;
  } cases[] = {
      {"plain", "x", true, false, false, "x"},
      {"mark-up with its tags", "<B>x</B>", true, false, false, "<B>x</B>"},
      {"mark-up as plain text", "<B>x</B>", false, false, false, "x"},
      {"rich text", "{\\rtf1\\ansi \\b bold\\b0  text}", true, false, false, "bold text"},
      {"multi-line quoted", "a\r\nb", true, true, true, "\"a\nb\""},
      {"multi-line without quoting", "a\r\nb", true, false, true, "a\r\nb"},
      {"quoting needs multi-line cells", "a\r\nb", true, true, false, "a\r\nb"},
  };
  for (const Case& c : cases) {
    Grid g(1, 1);
    g.SetCells(0, 0, c.cell);
    g.Navigation()->CopyHTMLTagsToClipboard = c.htmlTags;
    g.SetQuoteMultiline(c.quote);
    g.SetMultilinecells(c.multi);
    g.Select(0, 0, 0, 0);
    g.CopySelectionToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), c.text + "\r\n") << c.name;
  }

  // A quoted multi-line field comes back with its line breaks.
  Grid g(1, 1);
  g.SetQuoteMultiline(true);
  Put(Clipboard(), "\"a\nb\"\r\n");
  EXPECT_EQ(g.PasteFromClipboard(0, 0), 1);
  EXPECT_EQ(g.Cells(0, 0), "a\r\nb");
}

TEST_F(GridClipboard, RichTextTopLeftCell) {
  vx::MemoryClipboard memory;
  const AnsiString rtf = "{\\rtf1\\ansi x}";
  Grid g(2, 1);
  g.SetCells(0, 0, rtf);
  g.SetCells(1, 0, "y");
  g.Navigation()->AllowRTFClipboard = true;
  g.Select(0, 0, 1, 0);
  g.CopySelectionToClipboard();
  const unsigned format = RegisterClipboardFormat("Rich Text Format");
  EXPECT_EQ(Clipboard()->GetAsBytes(format).value_or(""), rtf);
  EXPECT_EQ(Clipboard()->AsText(), "x\ty\r\n");

  Grid target(2, 2);
  target.Navigation()->AllowRTFClipboard = true;
  EXPECT_EQ(target.PasteFromClipboard(1, 1), 0);  // rich text goes whole into one cell
  EXPECT_EQ(target.Cells(1, 1), rtf);
  EXPECT_EQ(target.Cells(0, 0), "");
  target.Navigation()->AllowRTFClipboard = false;
  EXPECT_EQ(target.PasteFromClipboard(0, 0), 2);
  EXPECT_EQ(target.Cells(1, 0), "y");
}

TEST_F(GridClipboard, PasteGrowsTheGridAndWritesOnlyInsideIt) {
  vx::MemoryClipboard memory;
  Put(Clipboard(), "1\t2\t3\r\n4\t5\t6\r\n7\t8\t9\r\n");
  struct Case {
    const char* name;
    bool rowGrow, colGrow;
    std::string shape;
    int fields;
    TGridRect pasted;
  } cases[] = {
      {"grows both ways", true, true, "|||/|1|2|3/|4|5|6/|7|8|9", 9, {1, 1, 3, 3}},
      {"no growth", false, false, "||/|1|2", 3, {1, 1, 2, 1}},
      {"rows only", true, false, "||/|1|2/|4|5/|7|8", 9, {1, 1, 2, 3}},
      {"columns only", false, true, "|||/|1|2|3", 3, {1, 1, 3, 1}},
  };
  for (const Case& c : cases) {
    Grid g(3, 2);
    g.Navigation()->AllowClipboardRowGrow = c.rowGrow;
    g.Navigation()->AllowClipboardColGrow = c.colGrow;
    EXPECT_EQ(g.PasteFromClipboard(1, 1), c.fields) << c.name;
    EXPECT_EQ(g.Shape(), c.shape) << c.name;
    EXPECT_EQ(g.pastes, 1) << c.name;
    EXPECT_EQ(g.pasted.Left, c.pasted.Left) << c.name;
    EXPECT_EQ(g.pasted.Top, c.pasted.Top) << c.name;
    EXPECT_EQ(g.pasted.Right, c.pasted.Right) << c.name;
    EXPECT_EQ(g.pasted.Bottom, c.pasted.Bottom) << c.name;
  }
}

TEST_F(GridClipboard, EditabilityTheHookAndTheCopiedMark) {
  vx::MemoryClipboard memory;
  Grid g(3, 2);
  g.OnCanEditCell = [](TObject*, int, int ACol, bool& can) { can = ACol != 1; };
  Put(Clipboard(), "a\tb\tc\r\n");
  EXPECT_EQ(g.PasteFromClipboard(-1, 0), 0);
  EXPECT_EQ(g.PasteFromClipboard(0, 0), 3);
  EXPECT_EQ(g.Shape(), "a||c/||");  // column 1 may not be edited
  g.Navigation()->AllowClipboardAlways = true;
  EXPECT_EQ(g.PasteFromClipboard(0, 1), 3);
  EXPECT_EQ(g.Shape(), "a||c/a|b|c");
  EXPECT_FALSE(g.pastedCopied);

  g.SetOptions(g.Options() - TGridOptions{goEditing});
  g.Navigation()->AllowClipboardAlways = false;
  EXPECT_EQ(g.PasteFromClipboard(0, 0), 0);  // not editable at all

  // Copy sets the mark the hook sees; cut empties the editable cells and
  // clears it.
  g.SetOptions(g.Options() + TGridOptions{goEditing});
  g.Select(0, 1, 2, 1);
  g.CopySelectionToClipboard();
  EXPECT_TRUE(g.ClipboardCopied());
  g.PasteFromClipboard(0, 0);
  EXPECT_TRUE(g.pastedCopied);
  g.CutSelectionToClipboard();
  EXPECT_FALSE(g.ClipboardCopied());
  EXPECT_EQ(Clipboard()->AsText(), "a\tb\tc\r\n");
  EXPECT_EQ(g.Shape(), "a||c/|b|");
  g.Navigation()->AllowClipboardAlways = true;
  g.CutSelectionToClipboard();
  EXPECT_EQ(g.Shape(), "a||c/||");

  Clipboard()->Clear();
  EXPECT_EQ(g.PasteFromClipboard(0, 0), 0);  // nothing on the clipboard
}

TEST_F(GridClipboard, SelectionTextAndRangeSize) {
  Grid g(3, 4);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) g.SetCells(c, r, IntToStr(c) + IntToStr(r));
  g.Select(1, 1, 2, 2);
  EXPECT_EQ(g.SelectionAsText(), "11\t21\r\n12\t22\r\n");
  g.SetOptions(g.Options() + TGridOptions{goRowSelect});
  g.MouseActions()->DisjunctRowSelect = true;
  g.SetRowSelect(0, true);
  g.SetRowSelect(3, true);
  g.Select(0, 1, 2, 1);
  EXPECT_EQ(g.SelectionAsText(), "00\t10\t20\r\n03\t13\t23\r\n");
  int cols = 0, rows = 0;
  TRichStringGrid::ClipboardTextSize("a\tb\r\nc\td\te\r\n", cols, rows);
  EXPECT_EQ(cols, 3);
  EXPECT_EQ(rows, 2);
  TRichStringGrid::ClipboardTextSize("", cols, rows);
  EXPECT_EQ(cols, 0);
  EXPECT_EQ(rows, 0);
}

TEST_F(GridClipboard, SmartPasteFillsAndSeries) {
  vx::MemoryClipboard memory;
  richgridtest::FormatScope scope;
  FormatSettings.ShortDateFormat = "dd.mm.yyyy";
  FormatSettings.DateSeparator = '.';
  FormatSettings.TimeSeparator = ':';
  FormatSettings.LongTimeFormat = "hh:nn:ss";
  struct Case {
    const char* name;
    AnsiString clipboard;
    TGridRect sel;
    std::string shape;  // the first row, or the first column for a column selection
    char decimal = '.';
  } cases[] = {
      {"one field fills", "x\r\n", {0, 0, 2, 1}, "x|x|x|/x|x|x|"},
      {"whole numbers", "1\t3\r\n", {0, 0, 3, 0}, "1|3|5|7/|||"},
      {"whole numbers down a column", "10\r\n7\r\n", {0, 0, 0, 1}, "10|||/7|||"},
      {"the end of the int range", "2147483646\t2147483647\r\n", {0, 0, 3, 0}, "2147483646|2147483647||/|||"},
      {"decimals", "1,25\t1,75\r\n", {0, 0, 3, 0}, "1,25|1,75|2,25|2,75/|||", ','},
      // With '.' for dates and decimals alike, texts that are no dates
      // make a decimal series.
      {"decimals that are no dates", "1.25\t1.75\r\n", {0, 0, 3, 0}, "1.25|1.75|2.25|2.75/|||"},
      {"days", "30.01.2001\t01.02.2001\r\n", {0, 0, 3, 0}, "30.01.2001|01.02.2001|03.02.2001|05.02.2001/|||"},
      {"months carried into the next year",
       "15.11.2001\t15.12.2001\r\n",
       {0, 0, 3, 0},
       "15.11.2001|15.12.2001|15.01.2002|15.02.2002/|||"},
      // 31 March + 2 months has no day: the series ends there.
      {"a day the month lacks ends the series",
       "31.01.2001\t31.03.2001\r\n",
       {0, 0, 3, 0},
       "31.01.2001|31.03.2001|31.05.2001|31.07.2001/|||"},
      {"a month without day 31", "31.05.2001\t31.07.2001\r\n", {0, 0, 3, 0}, "31.05.2001|31.07.2001||/|||"},
      {"times", "10:00:00\t10:30:00\r\n", {0, 0, 3, 0}, "10:00:00|10:30:00|11:00:00|11:30:00/|||"},
      {"texts start no series", "a\tb\r\n", {0, 0, 3, 0}, "a|b||/|||"},
      {"two fields over a block", "1\t2\r\n", {0, 0, 3, 1}, "1|2||/|||"},
  };
  for (const Case& c : cases) {
    FormatSettings.DecimalSeparator = c.decimal;
    FormatSettings.ThousandSeparator = c.decimal == ',' ? ' ' : ',';
    Grid g(4, 2);
    g.Navigation()->AllowSmartClipboard = true;
    Put(Clipboard(), c.clipboard);
    g.Select(c.sel.Left, c.sel.Top, c.sel.Right, c.sel.Bottom);
    g.PasteSelectionFromClipboard();
    EXPECT_EQ(g.Shape(), c.shape) << c.name;
  }
}

}  // namespace
