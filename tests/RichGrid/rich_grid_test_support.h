// Shared pieces of the rich grid tests: a grid without frame or scroll
// bars at a known size, with its mouse handlers open to the test; an object
// that counts its destruction; a fixture that starts the application object;
// a fixture with a grid on a form on screen.
#pragma once

#include <gtest/gtest.h>

#include <QThread>
#include <vector>

#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/forms.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/gui/gui_test_support.h"

namespace richgridtest {

// 400 x 300 pixels: columns of 64 and rows of 21 with lines of 1 pixel, so
// column c ends at 65 * c + 64 and row r at 22 * r + 21.
class Grid : public TRichStringGrid {
 public:
  explicit Grid(TComponent* owner = nullptr) : TRichStringGrid(owner) {
    SetScrollBars(ssNone);
    SetBorderStyle(bsNone);
    SetBounds(0, 0, 400, 300);
  }
  using TCustomGrid::CreateWnd;
  using TCustomGrid::DestroyWnd;
  using TCustomGrid::MouseDown;
  using TCustomGrid::MouseMove;
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override { TRichStringGrid::MouseUp(b, s, x, y); }

  // A press at `from`, a move and the release at `to`.
  void Drag(TPoint from, TPoint to) {
    MouseDown(mbLeft, TShiftState{}, from.X, from.Y);
    MouseMove(TShiftState{ssLeft}, to.X, to.Y);
    MouseUp(mbLeft, TShiftState{}, to.X, to.Y);
  }
  std::vector<AnsiString> Column(int c) const {
    std::vector<AnsiString> v;
    for (int r = 0; r < RowCount(); ++r) v.push_back(Cells(c, r));
    return v;
  }
};

using Texts = std::vector<AnsiString>;

// Counts its destruction in `deaths`.
class Watched : public TObject {
 public:
  explicit Watched(int& deaths) : deaths_(deaths) {}
  ~Watched() override { ++deaths_; }

 private:
  int& deaths_;
};

// Cells of a QuoteMultiline grid as copies and drags carry them: line
// breaks CR LF, lone CR, lone LF, one at the end, a CR before CR LF,
// Cyrillic, quotes inside and at the ends, a single line and an empty
// cell. They fill 3 columns by 3 rows; `back` is what each comes back
// as (a lone LF as CR LF, all else as it was).
struct MultiLineCell {
  AnsiString cell, back;
};
inline std::vector<MultiLineCell> MultiLineCells() {
  return {{"a\r\nb", "a\r\nb"},
          {"1", "1"},
          {"c\nd", "c\r\nd"},
          {"e\rf", "e\rf"},
          {"год\r\nмир"_cp, "год\r\nмир"_cp},
          {"", ""},
          {"x\r\r\ny", "x\r\r\ny"},
          {"\"q\"\r\nr\"", "\"q\"\r\nr\""},
          {"p\r\n", "p\r\n"}};
}

// Puts those cells into the 3 x 3 block from (col, row), rows outer.
inline void PutMultiLineCells(TRichStringGrid& g, int col, int row) {
  const std::vector<MultiLineCell> cells = MultiLineCells();
  for (std::size_t i = 0; i < cells.size(); ++i)
    g.SetCells(col + static_cast<int>(i % 3), row + static_cast<int>(i / 3), cells[i].cell);
}

// The texts of the 3 x 3 block from (col, row), rows outer.
inline std::vector<AnsiString> BlockTexts(const TRichStringGrid& g, int col, int row) {
  std::vector<AnsiString> texts;
  for (int r = row; r < row + 3; ++r)
    for (int c = col; c < col + 3; ++c) texts.push_back(g.Cells(c, r));
  return texts;
}

// What the block of those cells should hold once it came back.
inline std::vector<AnsiString> MultiLineCellsBack() {
  std::vector<AnsiString> texts;
  for (const MultiLineCell& c : MultiLineCells()) texts.push_back(c.back);
  return texts;
}

// Runs a test body under other format settings and puts the old ones back.
class FormatScope {
 public:
  FormatScope() : saved_(FormatSettings) {}
  ~FormatScope() { FormatSettings = saved_; }

 private:
  TFormatSettings saved_;
};

class RichGridTest : public ::testing::Test {
 protected:
  void SetUp() override { Application->Initialize(); }
};

// A form on screen with a rich grid and, below it, an edit to take the
// focus away; the grid has the keyboard once ShowForm returns.
class GridOnScreen : public GuiTest {
 protected:
  void MakeForm(int width, int height, int gridWidth, int gridHeight) {
    form = new TForm(nullptr);
    form->SetBounds(0, 0, width, height);
    grid = new TRichStringGrid(form, form);
    grid->SetBounds(0, 0, gridWidth, gridHeight);
    other = new TEdit(form, form);
    other->SetBounds(0, height - 40, 100, 21);
  }
  void ShowForm() {
    form->Show();
    grid->SetFocus();
    WaitForFocus(grid);
  }
  void TearDown() override {
    vx::ClosePopups();
    delete form;
    Application->ProcessMessages();
    GuiTest::TearDown();
  }
  // Under a real X server a window becomes active a little after it shows.
  static void WaitForFocus(TWinControl* control) {
    for (int i = 0; i < 300 && !control->Focused(); ++i) {
      Application->ProcessMessages();
      if (!control->Focused()) QThread::msleep(10);
      control->SetFocus();
    }
    ASSERT_TRUE(control->Focused());
  }
  // A click in the middle of a cell.
  void ClickCell(int c, int r) {
    const TRect rect = grid->CellRect(c, r);
    vx::SendClick(grid, (rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2);
  }

  TForm* form = nullptr;
  TRichStringGrid* grid = nullptr;
  TEdit* other = nullptr;
};

}  // namespace richgridtest
