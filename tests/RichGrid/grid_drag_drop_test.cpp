// The grid as a drop target and a drag source, through data objects and
// drag loops of the test's making: where a drag may land and how the grid
// marks it, dropped text, columns, rich text and files, the press that
// starts a drag only past 3 pixels, and what a move does to the cells it
// took, also when it was dropped back into the same grid.
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>
#include <string>

#include "RichGrid/drag_markers.h"
#include "RichGrid/grid_drag_drop.h"
#include "platform/gui/services/clipbrd.h"
#include "platform/gui/base/messages.h"
#include "platform/gui/draw/qt_bridge.h"
#include "tests/RichGrid/drag_test_support.h"
#include "tests/RichGrid/rich_grid_test_support.h"
#include "tests/support/scratch_folder.h"

namespace {

using dragtest::DragGrid;
using dragtest::FakeData;
using namespace richgridtest;

vx::ComPtr<FakeData> TextData(const std::string& text) {
  vx::ComPtr<FakeData> d(new FakeData);
  d->Add(CF_TEXT, dragtest::Text(text));
  return d;
}

CLIPFORMAT ColumnFormat() {
  vx::ComPtr<FakeData> none(new FakeData);
  TEnumFormats f(none.get());
  return GridColumnFormat();
}

vx::ComPtr<FakeData> ColumnData(int column) {
  vx::ComPtr<FakeData> d(new FakeData);
  d->Add(ColumnFormat(), std::string(reinterpret_cast<const char*>(&column), 4));
  return d;
}

// Plays a drag: the data goes to target (when given) at pt, with the
// effect the target gives, which is also the loop's answer.
struct PlayedDrag {
  int runs = 0;
  TDropTarget* target = nullptr;
  POINTL pt{};
  DWORD keys = 0;
  bool cancel = false;
  std::function<void(IDataObject*)> during;
  vx::DragLoop previous;
  PlayedDrag() {
    previous = vx::SetDragLoop([this](IDataObject* data, IDropSource* source, DWORD, DWORD* effect) {
      ++runs;
      if (during) during(data);
      *effect = DROPEFFECT_NONE;
      if (cancel || !target) {
        source->GiveFeedback(DROPEFFECT_NONE);
        return DRAGDROP_S_CANCEL;
      }
      DWORD e = DROPEFFECT_COPY | DROPEFFECT_MOVE;
      target->DragEnter(data, keys, pt, &e);
      target->DragOver(keys, pt, &e);
      source->GiveFeedback(e);
      source->QueryContinueDrag(false, 0);
      if (e == DROPEFFECT_NONE) {
        target->DragLeave();
        return DRAGDROP_S_CANCEL;
      }
      target->Drop(data, keys, pt, &e);
      *effect = e;
      return DRAGDROP_S_DROP;
    });
  }
  ~PlayedDrag() { vx::SetDragLoop(previous); }
};

using GridDragDrop = RichGridTest;

TEST_F(GridDragDrop, WhereADragMayLandAndHowItIsMarked) {
  struct Case {
    const char* what;
    bool column;
    int col, row;
    bool allowed;
  } cases[] = {
      {"text over data", false, 2, 3, true},
      {"text over a heading", false, 2, 0, false},
      {"column over a heading", true, 2, 0, true},
      {"column over data", true, 2, 3, false},
      {"column over the top-left cell", true, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DragGrid g;
    vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&g));
    const auto data = c.column ? ColumnData(1) : TextData("x");
    DWORD e = DROPEFFECT_MOVE;
    t->DragEnter(data.get(), 0, g.AtCell(c.col, c.row), &e);
    t->DragOver(0, g.AtCell(c.col, c.row), &e);
    EXPECT_EQ(e, c.allowed ? DROPEFFECT_MOVE : DROPEFFECT_NONE);
    EXPECT_EQ(g.ArrowMarker(2)->Visible(), c.allowed && !c.column);
    EXPECT_EQ(g.ArrowMarker(0)->Visible(), c.allowed && c.column);
    EXPECT_EQ(g.ArrowMarker(1)->Visible(), c.allowed && c.column);
    t->DragLeave();
    for (int d = 0; d < 3; ++d) EXPECT_FALSE(g.ArrowMarker(d)->Visible());
  }
  // The row arrow: 12 pixels left of the cell, or of column 0's right edge
  // with OleEntireRows; the column arrows above and below the heading.
  DragGrid g;
  vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&g));
  DWORD e = DROPEFFECT_MOVE;
  const auto text = TextData("x");
  t->DragEnter(text.get(), 0, g.AtCell(3, 2), &e);
  t->DragOver(0, g.AtCell(3, 2), &e);
  EXPECT_EQ(g.ArrowMarker(2)->Left(), g.ClientToScreen(Point(g.CellRect(3, 2).Left - 12, 0)).X);
  EXPECT_EQ(g.ArrowMarker(2)->Top(), g.ClientToScreen(Point(0, g.CellRect(3, 2).Top)).Y);
  g.SetOleEntireRows(true);
  t->DragOver(0, g.AtCell(3, 2), &e);
  EXPECT_EQ(g.ArrowMarker(2)->Left(), g.ClientToScreen(Point(g.CellRect(0, 2).Right - 12, 0)).X);
  // The application may refuse a cell.
  g.OnOleDragOver = [](TObject*, int row, int, bool& allow) { allow = allow && row != 4; };
  t->DragOver(0, g.AtCell(3, 4), &e);
  EXPECT_EQ(e, DROPEFFECT_NONE);
  EXPECT_FALSE(g.ArrowMarker(2)->Visible());
  t->DragLeave();
}

TEST_F(GridDragDrop, ADragAtTheEdgesScrollsARow) {
  DragGrid g;
  g.SetRowCount(60);
  g.SetTopRow(5);
  vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&g));
  const auto text = TextData("x");
  DWORD e = DROPEFFECT_MOVE;
  t->DragEnter(text.get(), 0, g.AtCell(1, 0), &e);
  t->DragOver(0, g.AtCell(1, 0), &e);
  EXPECT_EQ(g.TopRow(), 4);
  const int after = g.TopRow() + g.VisibleRowCount();
  t->DragOver(0, g.AtCell(1, after), &e);
  EXPECT_EQ(g.TopRow(), 5);
  t->DragOver(0, g.AtCell(1, 7), &e);
  EXPECT_EQ(g.TopRow(), 5);
  t->DragLeave();
}

TEST_F(GridDragDrop, DroppedTextGoesIntoTheCellsAndBecomesTheSelection) {
  struct Case {
    const char* what;
    std::function<void(DragGrid&)> set;
    int col, row;
    Texts column2, column3;
    TGridRect selection;
  } cases[] = {
      {"at the cell",
       nullptr,
       2,
       3,
       {"", "2/1", "2/2", "a", "c", "2/5"},
       {"", "3/1", "3/2", "b", "d", "3/5"},
       TGridRect{2, 3, 3, 4}},
      {"rows inserted",
       [](DragGrid& g) { g.SetOleInsertRows(true); },
       2,
       3,
       {"", "2/1", "2/2", "a", "c", "2/3"},
       {"", "3/1", "3/2", "b", "d", "3/3"},
       TGridRect{2, 3, 3, 4}},
      {"whole rows from the first data column",
       [](DragGrid& g) { g.SetOptions(g.Options() + goRowSelect); },
       3,
       3,
       {"", "2/1", "2/2", "b", "d", "2/5"},
       {"", "3/1", "3/2", "3/3", "3/4", "3/5"},
       TGridRect{1, 3, 4, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DragGrid g;
    g.Navigation()->AllowClipboardAlways = true;
    if (c.set) c.set(g);
    vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&g));
    std::string asked;
    g.OnOleDrop = [&](TObject*, int row, int col, const AnsiString& data, bool&) {
      asked = std::to_string(row) + "," + std::to_string(col) + " " + data;
    };
    const auto data = TextData("a\tb\r\nc\td\r\n");
    DWORD e = DROPEFFECT_MOVE;
    t->DragEnter(data.get(), 0, g.AtCell(c.col, c.row), &e);
    t->Drop(data.get(), 0, g.AtCell(c.col, c.row), &e);
    const int col = g.Options().Contains(goRowSelect) ? 1 : c.col;
    EXPECT_EQ(asked, std::to_string(c.row) + "," + std::to_string(col) + " a\tb\r\nc\td\r\n");
    Texts two = g.Column(2), three = g.Column(3);
    two.resize(6);
    three.resize(6);
    EXPECT_EQ(two, c.column2);
    EXPECT_EQ(three, c.column3);
    if (!g.Options().Contains(goRowSelect)) EXPECT_EQ(g.Selection(), c.selection);
    EXPECT_FALSE(g.ArrowMarker(2)->Visible());
  }
  // Refused by the application: nothing changes.
  DragGrid g;
  g.Navigation()->AllowClipboardAlways = true;
  g.OnOleDrop = [](TObject*, int, int, const AnsiString&, bool& allow) { allow = false; };
  vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&g));
  const auto data = TextData("a");
  DWORD e = DROPEFFECT_MOVE;
  t->DragEnter(data.get(), 0, g.AtCell(2, 2), &e);
  t->Drop(data.get(), 0, g.AtCell(2, 2), &e);
  EXPECT_EQ(g.Cells(2, 2), "2/2");
}

TEST_F(GridDragDrop, DroppedColumnsAreReportedAndRichTextFillsTheCell) {
  DragGrid g;
  vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&g));
  std::string heard;
  g.OnOleDropCol = [&](TObject*, int row, int col, int dropped) {
    heard = std::to_string(row) + "," + std::to_string(col) + " <- " + std::to_string(dropped);
  };
  const auto column = ColumnData(3);
  DWORD e = DROPEFFECT_MOVE;
  t->DragEnter(column.get(), 0, g.AtCell(1, 0), &e);
  t->DragOver(0, g.AtCell(1, 0), &e);
  EXPECT_TRUE(g.ArrowMarker(0)->Visible());
  t->Drop(column.get(), 0, g.AtCell(1, 0), &e);
  EXPECT_EQ(heard, "0,1 <- 3");
  EXPECT_FALSE(g.ArrowMarker(0)->Visible());

  g.SetOleDropRTF(true);
  vx::ComPtr<FakeData> rich(new FakeData);
  rich->Add(CF_TEXT, dragtest::Text("plain")).Add(RichTextFormat(), dragtest::Text("{\\rtf1 r}"));
  t->DragEnter(rich.get(), 0, g.AtCell(2, 2), &e);
  t->Drop(rich.get(), 0, g.AtCell(2, 2), &e);
  EXPECT_EQ(g.Cells(2, 2), "{\\rtf1 r}");
  g.SetOleDropRTF(false);
  t->DragEnter(rich.get(), 0, g.AtCell(2, 2), &e);
  EXPECT_EQ(e, DROPEFFECT_MOVE);  // taken as text, not as rich text
}

// One dropped file only; ".CSV" anywhere in its name, whatever the case,
// loads it as separated values, ".XLS" as a spreadsheet.
TEST_F(GridDragDrop, ADroppedFileLoadsByItsName) {
  vx::test::ScratchFolder folder;
  const std::string csv = "a;b\r\n1;2\r\n";
  vx::test::WriteWholeFile(folder / "data.csv.txt", csv);
  vx::test::WriteWholeFile(folder / "DATA.CSV", csv);
  vx::test::WriteWholeFile(folder / "notes.txt", csv);
  {
    TRichStringGrid sheet(nullptr);
    sheet.SetColCount(2);
    sheet.SetRowCount(2);
    sheet.SetCells(0, 0, "x");
    sheet.SetCells(1, 1, "y");
    sheet.SaveToXLS(folder / "book.xls");
  }
  struct Case {
    std::vector<std::string> files;
    bool veto;
    AnsiString loaded;
  } cases[] = {
      {{"data.csv.txt"}, false, "a"},
      {{"DATA.CSV"}, false, "a"},
      {{"book.xls"}, false, "x"},
      {{"notes.txt"}, false, ""},
      {{"data.csv.txt", "DATA.CSV"}, false, ""},
      {{"DATA.CSV"}, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.files[0] + (c.files.size() > 1 ? " and another" : "") + (c.veto ? ", vetoed" : ""));
    TRichStringGrid g(nullptr);
    g.SetIncludeFixedCells(true);
    std::vector<AnsiString> names;
    for (const std::string& f : c.files) names.push_back(folder / f);
    int asked = 0;
    g.OnOleDrop = [&](TObject*, int row, int col, const AnsiString& name, bool& allow) {
      EXPECT_EQ(row, -1);
      EXPECT_EQ(col, -1);
      EXPECT_EQ(name, names[0]);
      ++asked;
      allow = !c.veto;
    };
    HGLOBAL block = vx::MakeDropFiles(names, true);
    vx::ComPtr<FakeData> data(new FakeData);
    data->Add(CF_HDROP, dragtest::Bytes(block));
    GlobalFree(block);
    vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&g));
    // A file is copied, never moved (a move used to let the file manager
    // remove it once the grid had loaded it); a drop that loads nothing
    // has no effect.
    DWORD e = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    t->DragEnter(data.get(), 0, POINTL{}, &e);
    EXPECT_EQ(e, DROPEFFECT_COPY);
    t->Drop(data.get(), 0, POINTL{}, &e);
    EXPECT_EQ(e, c.loaded.empty() ? DROPEFFECT_NONE : DROPEFFECT_COPY);
    EXPECT_EQ(g.Cells(0, 0), c.loaded);
    EXPECT_EQ(asked, c.loaded.empty() && !c.veto ? 0 : 1);
  }
}

namespace {

// Drops text on a cell of the grid as Qt delivers a drop, from the
// window system's drag and drop.
void DropThroughQt(DragGrid& g, int col, int row, const QString& text) {
  g.SetOleDropTarget(true);
  QWidget* w = g.ClientWidget();
  const TRect cell = g.CellRect(col, row);
  const QPoint at(cell.Left + 5, cell.Top + 5);
  QMimeData mime;
  mime.setText(text);
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &drop);
  g.SetOleDropTarget(false);
}

}  // namespace

// Text dropped by another program with LF line ends (or lone CRs) used to
// land in one row.
TEST_F(GridDragDrop, TextDroppedByOtherProgramsKeepsItsRows) {
  for (const char* text : {"a\tb\nc\td\n", "a\tb\rc\td", "a\tb\r\nc\td\r\n"}) {
    SCOPED_TRACE(text);
    DragGrid g;
    g.Navigation()->AllowClipboardAlways = true;
    DropThroughQt(g, 1, 2, QString::fromLatin1(text));
    EXPECT_EQ(g.Cells(1, 2), "a");
    EXPECT_EQ(g.Cells(2, 2), "b");
    EXPECT_EQ(g.Cells(1, 3), "c");
    EXPECT_EQ(g.Cells(2, 3), "d");
  }
}

// The text a QuoteMultiline grid drags out used to land with its quoted
// fields split into rows (the drop turned their LF into CR LF), also
// counting rows to insert for every line break inside them.
TEST_F(GridDragDrop, AQuoteMultilineGridsDragLandsCellForCell) {
  for (const bool insert : {false, true}) {
    SCOPED_TRACE(insert ? "rows inserted" : "cells overwritten");
    DragGrid from;
    from.SetQuoteMultiline(true);
    from.SetMultilinecells(true);
    PutMultiLineCells(from, 1, 1);
    from.SetSelection(TGridRect{1, 1, 3, 3});
    DragGrid to;
    to.SetQuoteMultiline(true);
    to.SetOleInsertRows(insert);
    to.Navigation()->AllowClipboardAlways = true;
    DropThroughQt(to, 1, 2, vx::ToQString(from.SelectionAsText()));
    EXPECT_EQ(BlockTexts(to, 1, 2), MultiLineCellsBack());
    EXPECT_EQ(to.RowCount(), insert ? 13 : 10);
    EXPECT_EQ(to.Cells(1, 5), insert ? "1/2" : "1/5");
  }
}

TEST_F(GridDragDrop, AnArmedPressStartsADragOnlyPastThreePixels) {
  PlayedDrag drag;
  drag.cancel = true;
  DragGrid g;
  g.SetOleDropSource(true);
  const TRect cell = g.CellRect(2, 3);
  const TPoint press = Point(cell.Left + 20, cell.Top + 10);
  for (const TPoint& d : {Point(3, 3), Point(-3, 0), Point(0, -3)}) {
    g.MouseDown(mbLeft, TShiftState{}, press.X, press.Y);
    g.MouseMove(TShiftState{ssLeft}, press.X + d.X, press.Y + d.Y);
    g.MouseUp(mbLeft, TShiftState{}, press.X + d.X, press.Y + d.Y);
    EXPECT_EQ(drag.runs, 0) << d.X << "," << d.Y;
  }
  for (const TPoint& d : {Point(4, 0), Point(0, 4), Point(-4, -1)}) {
    g.MouseDown(mbLeft, TShiftState{}, press.X, press.Y);
    g.MouseMove(TShiftState{ssLeft}, press.X + d.X, press.Y + d.Y);
    g.MouseMove(TShiftState{ssLeft}, press.X + 2 * d.X, press.Y + 2 * d.Y);  // one drag per press
    g.MouseUp(mbLeft, TShiftState{}, press.X, press.Y);
  }
  EXPECT_EQ(drag.runs, 3);
  // Refused by the application, the move selects instead.
  // (the cell under the mouse where the drag would start)
  g.OnOleDrag = [](TObject*, int, int, const AnsiString& data, bool& allow) {
    EXPECT_EQ(data, "3/4");
    allow = false;
  };
  g.MouseDown(mbLeft, TShiftState{}, press.X, press.Y);
  g.MouseMove(TShiftState{ssLeft}, press.X + 70, press.Y + 30);
  g.MouseUp(mbLeft, TShiftState{}, press.X + 70, press.Y + 30);
  EXPECT_EQ(drag.runs, 3);
  EXPECT_EQ(g.Selection(), (TGridRect{2, 3, 3, 4}));
  // No drag out of an editing grid.
  g.OnOleDrag = nullptr;
  g.SetOptions(g.Options() + goEditing);
  g.MouseDown(mbLeft, TShiftState{}, press.X, press.Y);
  g.MouseMove(TShiftState{ssLeft}, press.X + 10, press.Y);
  g.MouseUp(mbLeft, TShiftState{}, press.X + 10, press.Y);
  EXPECT_EQ(drag.runs, 3);
}

// Copy leaves the dragged cells, move empties them (or removes the rows
// with OleRemoveRows and whole-row selection); a cancelled drag fires no
// OnOleDragStop.
TEST_F(GridDragDrop, WhatTheEndOfATextDragDoesToItsCells) {
  struct Case {
    const char* what;
    std::function<void(DragGrid&)> set;
    DWORD keys;
    bool cancel;
    Texts column1;
    std::vector<std::string> heard;
    // Rows picked once the press (which starts a new pick) is over.
    std::vector<int> picked = {};
  } cases[] = {
      {"moved", nullptr, 0, false, {"", "1/1", "", "", "1/4", "1/5"}, {"start 2,1", "stop 2"}},
      {"copied", nullptr, MK_CONTROL, false, {"", "1/1", "1/2", "1/3", "1/4", "1/5"}, {"start 2,1", "stop 1"}},
      {"cancelled", nullptr, 0, true, {"", "1/1", "1/2", "1/3", "1/4", "1/5"}, {"start 2,1"}},
      {"rows removed",
       [](DragGrid& g) {
         g.SetOptions(g.Options() + goRowSelect);
         g.SetOleRemoveRows(true);
       },
       0,
       false,
       {"", "1/1", "1/4", "1/5", "1/6", "1/7"},
       {"start 2,1", "stop 2"}},
      {"picked rows removed",
       [](DragGrid& g) {
         g.SetOptions(g.Options() + goRowSelect);
         g.SetOleRemoveRows(true);
         g.MouseActions()->DisjunctRowSelect = true;
       },
       0,
       false,
       {"", "1/1", "1/3", "1/4", "1/6", "1/7"},
       {"start 2,1", "stop 2"},
       {2, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DragGrid g;
    DragGrid other;
    other.Navigation()->AllowClipboardAlways = true;
    vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&other));
    PlayedDrag drag;
    drag.target = t.get();
    drag.pt = other.AtCell(3, 6);
    drag.keys = c.keys;
    drag.cancel = c.cancel;
    if (c.set) c.set(g);
    g.SetOleDropSource(true);
    g.SetSelection(TGridRect{1, 2, 1, 3});
    std::vector<std::string> heard;
    g.OnOleDragStart = [&](TObject*, int row, int col) {
      heard.push_back("start " + std::to_string(row) + "," + std::to_string(col));
      for (int picked : c.picked) g.SetRowSelect(picked, true);
    };
    g.OnOleDragStop = [&](TObject*, int effect) { heard.push_back("stop " + std::to_string(effect)); };
    const TRect r = g.CellRect(1, 2);
    g.MouseDown(mbLeft, TShiftState{}, r.Left + 5, r.Top + 5);
    g.MouseMove(TShiftState{ssLeft}, r.Left + 15, r.Top + 5);
    EXPECT_EQ(drag.runs, 1);
    Texts column = g.Column(1);
    column.resize(6);
    EXPECT_EQ(column, c.column1);
    EXPECT_EQ(heard, c.heard);
    if (!c.cancel) EXPECT_EQ(other.Cells(3, 6), "1/2");
  }
}

// A move onto a grid that wrote none of the dropped text used to answer
// move, and the source emptied its cells: the text was gone. Such a drop
// has no effect, leaves the target as it was and the source its cells.
// One that wrote only some cells used to cost the source all of them: the
// cells not written now stay.
TEST_F(GridDragDrop, AMoveThatWritesNothingKeepsTheSourceCells) {
  struct Case {
    const char* what;
    std::function<void(DragGrid&)> set;  // the target grid
    bool written;
    Texts left = {"", ""};  // the source's cells (1,2) and (1,3) once written
  } cases[] = {
      {"target without editing", nullptr, false},
      {"target refuses each cell",
       [](DragGrid& g) {
         g.SetOptions(g.Options() + goEditing);
         g.OnCanEditCell = [](TObject*, int, int, bool& can) { can = false; };
       },
       false},
      {"drop vetoed",
       [](DragGrid& g) {
         g.Navigation()->AllowClipboardAlways = true;
         g.OnOleDrop = [](TObject*, int, int, const AnsiString&, bool& allow) { allow = false; };
       },
       false},
      {"rows inserted for nothing", [](DragGrid& g) { g.SetOleInsertRows(true); }, false},
      {"target taking the text", [](DragGrid& g) { g.Navigation()->AllowClipboardAlways = true; }, true},
      {"one cell editable",
       [](DragGrid& g) {
         g.SetOptions(g.Options() + goEditing);
         g.OnCanEditCell = [](TObject*, int row, int col, bool& can) { can = row == 7 && col == 3; };
       },
       true,
       {"1/2", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DragGrid g;
    DragGrid other;
    if (c.set) c.set(other);
    vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&other));
    PlayedDrag drag;
    drag.target = t.get();
    drag.pt = other.AtCell(3, 6);
    g.SetOleDropSource(true);
    g.SetSelection(TGridRect{1, 2, 1, 3});
    std::vector<int> stops;
    g.OnOleDragStop = [&](TObject*, int effect) { stops.push_back(effect); };
    const TRect r = g.CellRect(1, 2);
    g.MouseDown(mbLeft, TShiftState{}, r.Left + 5, r.Top + 5);
    g.MouseMove(TShiftState{ssLeft}, r.Left + 15, r.Top + 5);
    ASSERT_EQ(drag.runs, 1);
    EXPECT_EQ(g.Column(1)[2], c.written ? c.left[0] : "1/2");
    EXPECT_EQ(g.Column(1)[3], c.written ? c.left[1] : "1/3");
    EXPECT_EQ(stops, std::vector<int>{c.written ? DROPEFFECT_MOVE : DROPEFFECT_NONE});
    EXPECT_EQ(other.RowCount(), 10);
    if (!c.written) EXPECT_EQ(other.Cells(3, 6), "3/6");
  }
}

// A move into its own grid: the dragged rows are found where the drop's
// inserted rows pushed them, and the cells the drop wrote stay.
TEST_F(GridDragDrop, AMoveDroppedIntoItsOwnGrid) {
  struct Case {
    const char* what;
    std::function<void(DragGrid&)> set;
    int dropCol, dropRow;
    Texts column1, column2;
  } cases[] = {
      {"rows inserted above, the dragged rows removed",
       [](DragGrid& g) {
         g.SetOptions(g.Options() + goRowSelect);
         g.SetOleRemoveRows(true);
         g.SetOleInsertRows(true);
       },
       1,
       2,
       {"", "1/1", "1/5", "1/6", "1/2", "1/3", "1/4", "1/7"},
       {"", "2/1", "2/5", "2/6", "2/2", "2/3", "2/4", "2/7"}},
      {"cells moved over part of themselves",
       nullptr,
       2,
       6,
       {"", "1/1", "1/2", "1/3", "1/4", "", "", "1/7"},
       {"", "2/1", "2/2", "2/3", "2/4", "", "1/5", "1/6"}},
      {"rows inserted among the dragged rows",
       [](DragGrid& g) { g.SetOleInsertRows(true); },
       1,
       6,
       {"", "1/1", "1/2", "1/3", "1/4", "", "1/5", "1/6", "", "1/7"},
       {"", "2/1", "2/2", "2/3", "2/4", "", "2/5", "2/6", "", "2/7"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DragGrid g;
    g.Navigation()->AllowClipboardAlways = true;
    if (c.set) c.set(g);
    g.SetOleDropSource(true);
    vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&g));
    PlayedDrag drag;
    drag.target = t.get();
    drag.pt = g.AtCell(c.dropCol, c.dropRow);
    g.SetSelection(TGridRect{1, 5, 2, 6});
    const TRect r = g.CellRect(1, 5);
    g.MouseDown(mbLeft, TShiftState{}, r.Left + 5, r.Top + 5);
    g.MouseMove(TShiftState{ssLeft}, r.Left + 15, r.Top + 5);
    ASSERT_EQ(drag.runs, 1);
    Texts one = g.Column(1), two = g.Column(2);
    one.resize(c.column1.size());
    two.resize(c.column2.size());
    EXPECT_EQ(one, c.column1);
    EXPECT_EQ(two, c.column2);
  }
}

// A move that wrote only some of the dragged cells used to empty them
// all. Now only the cells written go: a row goes only when it was written
// whole, a drop into the same grid past its last column keeps what did
// not fit, and when a cell's own TAB makes the text's fields no longer
// its cells, every cell stays. A drop from elsewhere that took only part
// answers copy, so that no program deletes the text that was not taken.
TEST_F(GridDragDrop, AMoveThatWritesSomeCellsTakesOnlyThose) {
  const auto refuse = [](int col, int row) {
    return [col, row](DragGrid& g) {
      g.SetOptions(g.Options() + goEditing);
      g.OnCanEditCell = [col, row](TObject*, int r, int c, bool& can) { can = !(c == col && r == row); };
    };
  };
  struct Case {
    const char* what;
    std::function<void(DragGrid&)> source, target;  // no target: into the source grid itself
    TGridRect dragged;
    int dropCol, dropRow;
    Texts column1, column2;  // of the source, rows 0 to 4
  } cases[] = {
      {"rows, one cell refused",
       [](DragGrid& g) {
         g.SetOptions(g.Options() + goRowSelect);
         g.SetOleRemoveRows(true);
       },
       refuse(2, 7),
       {1, 2, 4, 3},
       1,
       6,
       {"", "1/1", "1/3", "1/4", "1/5"},
       {"", "2/1", "2/3", "2/4", "2/5"}},
      {"cells, one refused",
       nullptr,
       refuse(1, 7),
       {1, 2, 2, 3},
       1,
       6,
       {"", "1/1", "", "1/3", "1/4"},
       {"", "2/1", "", "", "2/4"}},
      {"into its own grid past the last column",
       [](DragGrid& g) {
         g.Navigation()->AllowClipboardAlways = true;
         g.Navigation()->AllowClipboardColGrow = false;
       },
       nullptr,
       {1, 2, 2, 2},
       4,
       6,
       {"", "1/1", "", "1/3", "1/4"},
       {"", "2/1", "2/2", "2/3", "2/4"}},
      {"a cell holding a TAB",
       [](DragGrid& g) { g.SetCells(1, 2, "a\tb"); },
       refuse(1, 6),
       {1, 2, 1, 3},
       1,
       6,
       {"", "1/1", "a\tb", "1/3", "1/4"},
       {"", "2/1", "2/2", "2/3", "2/4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DragGrid g, other;
    if (c.source) c.source(g);
    if (c.target) c.target(other);
    DragGrid& target = c.target ? other : g;
    vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&target));
    PlayedDrag drag;
    drag.target = t.get();
    drag.pt = target.AtCell(c.dropCol, c.dropRow);
    g.SetOleDropSource(true);
    g.SetSelection(c.dragged);
    std::vector<int> stops;
    g.OnOleDragStop = [&](TObject*, int effect) { stops.push_back(effect); };
    const TRect r = g.CellRect(c.dragged.Left, c.dragged.Top);
    g.MouseDown(mbLeft, TShiftState{}, r.Left + 5, r.Top + 5);
    g.MouseMove(TShiftState{ssLeft}, r.Left + 15, r.Top + 5);
    ASSERT_EQ(drag.runs, 1);
    Texts one = g.Column(1), two = g.Column(2);
    one.resize(5);
    two.resize(5);
    EXPECT_EQ(one, c.column1);
    EXPECT_EQ(two, c.column2);
    EXPECT_EQ(stops, std::vector<int>{DROPEFFECT_MOVE});
  }

  DragGrid g;
  refuse(2, 6)(g);
  vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&g));
  for (const auto& [text, effect] : {std::pair<std::string, DWORD>{"x\ty", DROPEFFECT_COPY}, {"x", DROPEFFECT_MOVE}}) {
    SCOPED_TRACE(text);
    DWORD e = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    const auto data = TextData(text);
    t->DragEnter(data.get(), 0, g.AtCell(1, 6), &e);
    t->Drop(data.get(), 0, g.AtCell(1, 6), &e);
    EXPECT_EQ(e, effect);
    EXPECT_EQ(g.Cells(1, 6), "x");
    EXPECT_EQ(g.Cells(2, 6), "2/6");
  }
}

TEST_F(GridDragDrop, AHeadingDragCarriesItsColumnUnderTheMarker) {
  DragGrid g;
  g.SetOleDropSource(true);
  g.SetCells(3, 0, "Тираж"_cp);
  PlayedDrag drag;
  DragGrid other;
  vx::ComPtr<TGridDropTarget> t(new TGridDropTarget(&other));
  drag.target = t.get();
  drag.pt = other.AtCell(2, 0);
  int dropped = -1;
  other.OnOleDropCol = [&](TObject*, int, int, int column) { dropped = column; };
  bool markerShown = false;
  AnsiString caption;
  drag.during = [&](IDataObject*) {
    TPopupButton* marker = nullptr;
    for (int i = 0; i < g.ComponentCount(); ++i)
      if (auto* m = dynamic_cast<TPopupButton*>(g.Components(i))) marker = m;
    ASSERT_NE(marker, nullptr);
    markerShown = marker->Visible();
    caption = marker->Caption();
  };
  std::vector<int> stops;
  g.OnOleDragStop = [&](TObject*, int effect) { stops.push_back(effect); };
  const TRect r = g.CellRect(3, 0);
  g.MouseDown(mbLeft, TShiftState{}, r.Left + 20, r.Top + 5);
  g.MouseMove(TShiftState{ssLeft}, r.Left + 30, r.Top + 5);
  EXPECT_EQ(drag.runs, 1);
  EXPECT_TRUE(markerShown);
  EXPECT_EQ(caption, "Тираж"_cp);
  EXPECT_EQ(dropped, 3);
  EXPECT_EQ(stops, (std::vector<int>{DROPEFFECT_MOVE}));
  for (int i = 0; i < g.ComponentCount(); ++i)
    if (auto* m = dynamic_cast<TPopupButton*>(g.Components(i))) EXPECT_FALSE(m->Visible());
  EXPECT_EQ(g.Column(3)[1], "3/1");  // a column drag takes nothing away
}

}  // namespace
