// Editing cells of the rich grid as a user does (offscreen): the in-place
// editor's keys and filters, the validation of an edit on Enter, on a click
// elsewhere and on the focus leaving, the per-cell editing option, the
// advance after Enter and the incremental search.
#include <gtest/gtest.h>

#include "RichGrid/rich_grid.h"
#include "RichGrid/rich_inplace_edit.h"
#include "platform/gui/services/clipbrd.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/shell.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

class RichGridEditing : public richgridtest::GridOnScreen {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    MakeForm(460, 300, 400, 240);
    grid->SetColCount(5);
    grid->SetRowCount(6);
    for (int r = 0; r < 6; ++r)
      for (int c = 0; c < 5; ++c) grid->SetCells(c, r, AnsiString(1, static_cast<char>('a' + c)) + IntToStr(r));
    grid->SetOptions(grid->Options() + goEditing);
    ShowForm();
  }
  TRichInplaceEdit* Editor() { return dynamic_cast<TRichInplaceEdit*>(grid->InplaceEditor()); }
  bool EditorOpen() { return Editor() && Editor()->Showing(); }
  // Opens the editor on the cell and types the text into it.
  void Edit(int c, int r, const AnsiString& text) {
    ClickCell(c, r);
    ASSERT_EQ(grid->Col(), c);
    ASSERT_EQ(grid->Row(), r);
    vx::SendKey(grid, VK_F2);
    ASSERT_TRUE(EditorOpen());
    Editor()->SelectAll();
    vx::SendText(Editor(), text);
  }
  // An OnCellValidate that refuses `bad` and counts its calls.
  void RefuseText(const AnsiString& bad) {
    grid->OnCellValidate = [this, bad](TObject*, int, int, AnsiString& value, bool& valid) {
      ++validations;
      valid = value != bad;
    };
  }

  int validations = 0;
};

TEST_F(RichGridEditing, EscapeGivesTheCellItsStartingText) {
  Edit(2, 2, "xyz");
  EXPECT_EQ(grid->Cells(2, 2), "xyz");  // the cell follows the editor
  vx::SendKey(Editor(), VK_ESCAPE);
  EXPECT_EQ(grid->Cells(2, 2), "c2");
  EXPECT_FALSE(EditorOpen());
  // Escape with nothing being edited changes nothing.
  grid->SetCells(2, 2, "new");
  vx::SendKey(grid, VK_ESCAPE);
  EXPECT_EQ(grid->Cells(2, 2), "new");
}

TEST_F(RichGridEditing, RefusedEnterStaysRestoresAndAsksOnce) {
  RefuseText("bad");
  Edit(2, 2, "bad");
  vx::SendKey(Editor(), VK_RETURN);
  EXPECT_EQ(validations, 1);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Cells(2, 2), "c2");  // the text the edit began with
  ASSERT_TRUE(EditorOpen());
  EXPECT_EQ(Editor()->Text(), "c2");
  // A corrected text goes in instead; a valid one can also be changed.
  grid->OnCellValidate = [](TObject*, int, int, AnsiString& value, bool& valid) {
    valid = value != "bad";
    value = valid ? value + "!" : AnsiString("fixed");
  };
  Editor()->SelectAll();
  vx::SendText(Editor(), "bad");
  vx::SendKey(Editor(), VK_RETURN);
  EXPECT_EQ(grid->Cells(2, 2), "fixed");
  EXPECT_EQ(Editor()->Text(), "fixed");
  Editor()->SelectAll();
  vx::SendText(Editor(), "good");
  vx::SendKey(Editor(), VK_RETURN);
  EXPECT_FALSE(EditorOpen());
  EXPECT_EQ(grid->Cells(2, 2), "good!");  // not overwritten by the editor's text as it closed
}

TEST_F(RichGridEditing, RefusedEditKeepsTheUserInTheCellOnAClickAndADrag) {
  RefuseText("bad");
  Edit(2, 2, "bad");
  ClickCell(3, 4);
  EXPECT_EQ(validations, 1);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Cells(2, 2), "c2");
  // A drag that follows the refused press moves nothing and asks nothing.
  const TRect target = grid->CellRect(3, 4);
  const TRect other = grid->CellRect(4, 4);
  vx::SendMouseDown(grid, target.Left + 5, target.Top + 5);
  EXPECT_EQ(validations, 2);  // a new press asks again; "c2" is fine
  EXPECT_EQ(grid->Col(), 3);
  vx::SendMouseMove(grid, other.Left + 5, other.Top + 5, TShiftState{ssLeft});
  vx::SendMouseUp(grid, other.Left + 5, other.Top + 5);
  EXPECT_EQ(validations, 2);
}

TEST_F(RichGridEditing, RefusedEditOnFocusLossStaysAndAsksOnce) {
  RefuseText("bad");
  Edit(2, 2, "bad");
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(validations, 1);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Cells(2, 2), "c2");
  // Coming back, the edit is still open on its cell.
  grid->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(EditorOpen());
  EXPECT_EQ(validations, 1);
}

TEST_F(RichGridEditing, UpAndDownLeaveTheEditorAndMoveTheRow) {
  Edit(1, 2, "new");
  vx::SendKey(Editor(), VK_DOWN);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(grid->Cells(1, 2), "new");
  Edit(1, 3, "up");
  vx::SendKey(Editor(), VK_UP);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Cells(1, 3), "up");
  // A refused edit keeps the row.
  RefuseText("bad");
  Edit(1, 2, "bad");
  vx::SendKey(Editor(), VK_DOWN);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(validations, 1);
}

TEST_F(RichGridEditing, TabFollowsTheNavigationOptions) {
  grid->SetOptions(grid->Options() + goTabs);
  Edit(1, 1, "x");
  vx::SendKey(Editor(), VK_TAB);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Cells(1, 1), "x");
  EXPECT_TRUE(grid->Focused() || EditorOpen());
  // Without goTabs Tab leaves the grid, and the edit is validated on the way.
  grid->SetOptions(grid->Options() - goTabs);
  RefuseText("bad");
  Edit(3, 1, "bad");
  vx::SendKey(Editor(), VK_TAB);
  Application->ProcessMessages();
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(validations, 1);
  EXPECT_EQ(grid->Cells(3, 1), "d1");
  EXPECT_EQ(grid->Col(), 3);
}

TEST_F(RichGridEditing, NumberCellsFilterTheirKeys) {
  TEditorType type = edNumeric;
  grid->OnGetEditorType = [&](TObject*, int, int, TEditorType& editor) { editor = type; };
  const int beeps = vx::BeepCount();
  Edit(1, 1, "5");
  vx::SendKey(Editor(), VK_HOME);
  vx::SendText(Editor(), "-");
  EXPECT_EQ(Editor()->Text(), "-5");
  vx::SendKey(Editor(), VK_END);
  vx::SendText(Editor(), "-x7");  // '-' after a digit and a letter beep
  EXPECT_EQ(Editor()->Text(), "-57");
  EXPECT_EQ(vx::BeepCount(), beeps + 2);
  vx::SendKey(Editor(), VK_ESCAPE);

  type = edPositiveNumeric;
  Edit(1, 2, "-4");
  EXPECT_EQ(Editor()->Text(), "4");
  vx::SendKey(Editor(), VK_ESCAPE);

  type = edFloat;
  Edit(1, 3, "1.5.");
  EXPECT_EQ(Editor()->Text(), "1.5");
  vx::SendText(Editor(), ",2");
  EXPECT_EQ(Editor()->Text(), "1.52");
  Editor()->SetSelStart(1);
  Editor()->SetSelLength(1);
  vx::SendText(Editor(), ",");  // the selected mark is replaced
  EXPECT_EQ(Editor()->Text(), "1,52");
  vx::SendKey(Editor(), VK_ESCAPE);

  type = edMixedCase;
  Edit(1, 4, "tom mcdonald ii");
  EXPECT_EQ(grid->Cells(1, 4), "Tom McDonald II");
  vx::SendKey(Editor(), VK_RETURN);
  type = edUpperCase;
  Edit(2, 4, "abc");
  EXPECT_EQ(grid->Cells(2, 4), "ABC");
  vx::SendKey(Editor(), VK_RETURN);
  type = edPassword;
  Edit(3, 4, "pw");
  EXPECT_EQ(Editor()->PasswordChar(), '*');
  EXPECT_EQ(grid->Cells(3, 4), "pw");
}

TEST_F(RichGridEditing, PasteAndTheLengthLimit) {
  vx::MemoryClipboard clipboard;
  grid->SetMaxEditLength(5);
  Edit(1, 1, "abc");
  Clipboard()->SetAsText("12345");
  Editor()->PasteFromClipboard();
  EXPECT_EQ(Editor()->Text(), "abc12");  // cut to the limit
  vx::SendText(Editor(), "z");           // full: typing is dropped
  EXPECT_EQ(Editor()->Text(), "abc12");
  vx::SendKey(Editor(), VK_BACK);
  EXPECT_EQ(Editor()->Text(), "abc1");
  // A paste the grid refuses, and one that would make the number cell a text.
  bool allowPaste = false;
  grid->OnClipboardPaste = [&](TObject*, bool& allow) { allow = allowPaste; };
  Editor()->SelectAll();
  Editor()->PasteFromClipboard();
  EXPECT_EQ(Editor()->Text(), "abc1");
  vx::SendKey(Editor(), VK_ESCAPE);
  allowPaste = true;
  grid->OnGetEditorType = [](TObject*, int, int, TEditorType& editor) { editor = edNumeric; };
  Edit(1, 2, "7");
  Clipboard()->SetAsText("12a");
  Editor()->SelectAll();
  vx::SendKey(Editor(), 'V', TShiftState{ssCtrl});
  EXPECT_EQ(Editor()->Text(), "7");
  Clipboard()->SetAsText("12");
  vx::SendKey(Editor(), 'V', TShiftState{ssCtrl});
  EXPECT_EQ(Editor()->Text(), "12");
  // The limit also holds when it is set while the cell is being edited.
  grid->SetMaxEditLength(2);
  vx::SendText(Editor(), "3");
  EXPECT_EQ(Editor()->Text(), "12");
  // Copy and cut ask the grid.
  bool allowCut = false;
  grid->OnClipboardCut = [&](TObject*, bool& allow) { allow = allowCut; };
  Editor()->SelectAll();
  vx::SendKey(Editor(), 'X', TShiftState{ssCtrl});
  EXPECT_EQ(Editor()->Text(), "12");
  allowCut = true;
  vx::SendKey(Editor(), 'X', TShiftState{ssCtrl});
  EXPECT_EQ(Editor()->Text(), "");
  EXPECT_EQ(Clipboard()->AsText(), "12");
}

TEST_F(RichGridEditing, LookupCompletesAndHistoryRemembers) {
  grid->SetLookup(true);
  grid->LookupItems()->Add("Abcde");
  grid->LookupItems()->Add("abd");
  Edit(1, 1, "ab");
  EXPECT_EQ(Editor()->Text(), "abcde");
  EXPECT_EQ(Editor()->SelText(), "cde");
  vx::SendKey(Editor(), VK_BACK);  // takes the completion away and does not bring it back
  EXPECT_EQ(Editor()->Text(), "ab");
  vx::SendText(Editor(), "d");
  EXPECT_EQ(Editor()->Text(), "abd");
  vx::SendKey(Editor(), VK_ESCAPE);
  grid->SetLookupCaseSensitive(true);
  Edit(1, 2, "Ab");
  EXPECT_EQ(Editor()->Text(), "Abcde");
  vx::SendKey(Editor(), VK_ESCAPE);
  grid->SetLookupHistory(true);
  Edit(1, 3, "zulu");
  vx::SendKey(Editor(), VK_RETURN);
  EXPECT_GE(grid->LookupItems()->IndexOf("zulu"), 0);
}

TEST_F(RichGridEditing, ReadOnlyCellsLeaveTheEditingOptionAlone) {
  grid->OnCanEditCell = [](TObject*, int aRow, int aCol, bool& canEdit) {
    if (aRow == 2 && aCol == 2) canEdit = false;
  };
  ClickCell(2, 2);
  EXPECT_FALSE(grid->Options().Contains(goEditing));
  ClickCell(3, 2);
  EXPECT_TRUE(grid->Options().Contains(goEditing));
  // Switching editing off by hand is kept.
  grid->SetOptions(grid->Options() - goEditing);
  ClickCell(1, 1);
  EXPECT_FALSE(grid->Options().Contains(goEditing));
}

TEST_F(RichGridEditing, EnterAdvancesOverCellsThatCannotBeEdited) {
  grid->Navigation()->AdvanceOnEnter = true;
  grid->OnCanEditCell = [](TObject*, int aRow, int aCol, bool& canEdit) {
    if (aRow == 1 && aCol == 3) canEdit = false;
  };
  Edit(2, 1, "x");
  vx::SendKey(Editor(), VK_RETURN);
  EXPECT_EQ(grid->Col(), 4);  // (3, 1) is skipped
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_TRUE(EditorOpen());
  vx::SendKey(Editor(), VK_RETURN);
  EXPECT_EQ(grid->Col(), 1);  // the next row's first data cell
  EXPECT_EQ(grid->Row(), 2);
  // Top to bottom, and backwards with Shift.
  grid->Navigation()->AdvanceDirection = adTopBottom;
  vx::SendKey(Editor(), VK_RETURN);
  EXPECT_EQ(grid->Row(), 3);
  vx::SendKey(Editor(), VK_RETURN, TShiftState{ssShift});
  EXPECT_EQ(grid->Row(), 2);
  // From the last data cell a new row is added when allowed.
  grid->Navigation()->AdvanceDirection = adLeftRight;
  grid->Navigation()->AdvanceInsert = true;
  int added = -1;
  grid->OnAutoAddRow = [&](TObject*, int aRow) { added = aRow; };
  vx::SendKey(Editor(), VK_ESCAPE);
  grid->SetCol(4);
  grid->SetRow(5);
  vx::SendKey(grid, VK_RETURN);
  EXPECT_EQ(grid->RowCount(), 7);
  EXPECT_EQ(added, 6);
  EXPECT_EQ(grid->Row(), 6);
  EXPECT_EQ(grid->Col(), 1);
}

TEST_F(RichGridEditing, AGridWithoutEditableCellsStopsAfterOnePass) {
  grid->Navigation()->AdvanceOnEnter = true;
  grid->Navigation()->AdvanceInsert = true;
  int asked = 0;
  grid->OnCanEditCell = [&](TObject*, int, int, bool& canEdit) {
    ++asked;
    canEdit = false;
  };
  grid->SetCol(2);
  grid->SetRow(2);
  asked = 0;
  EXPECT_FALSE(grid->AdvanceCell(2, 2, true, false));
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 2);
  // 4 x 5 data cells, one row added at the end: each asked once.
  EXPECT_EQ(grid->RowCount(), 7);
  EXPECT_EQ(asked, 4 * 6);
}

TEST_F(RichGridEditing, CursorWalkAndMultiLineText) {
  grid->Navigation()->CursorWalkEditor = true;
  Edit(1, 1, "ab");
  vx::SendKey(Editor(), VK_RIGHT);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Cells(1, 1), "ab");
  ASSERT_TRUE(EditorOpen());
  Editor()->SetSelStart(0);
  vx::SendKey(Editor(), VK_LEFT);
  EXPECT_EQ(grid->Col(), 1);
  // Line feeds on Enter; Up and Down stay inside the lines.
  grid->Navigation()->LineFeedOnEnter = true;
  Editor()->SelectAll();
  vx::SendText(Editor(), "one");
  vx::SendKey(Editor(), VK_RETURN);
  vx::SendText(Editor(), "two");
  EXPECT_EQ(grid->Cells(1, 1), "one\r\ntwo");
  vx::SendKey(Editor(), VK_UP);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(Editor()->SelStart(), 3);
  vx::SendKey(Editor(), VK_DOWN);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(Editor()->SelStart(), 8);
  vx::SendKey(Editor(), VK_DOWN);  // on the last line: the grid moves
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Cells(1, 1), "one\r\ntwo");
}

TEST_F(RichGridEditing, IncrementalSearchWithEditingOff) {
  grid->SetOptions(grid->Options() - goEditing);
  grid->Navigation()->AutoGotoWhenSorted = true;
  grid->Navigation()->AutoGotoIncremental = true;
  const char* names[] = {"", "Alpha", "Beta", "Bravo", "Charlie", "Berta"};
  for (int r = 1; r < 6; ++r) grid->SetCells(1, r, names[r]);
  vx::SendText(grid, "br");
  EXPECT_EQ(grid->Row(), 3);
  vx::SendKey(grid, VK_BACK);
  EXPECT_EQ(grid->Row(), 2);  // "B"
  vx::SendText(grid, "x");    // "BX": no row, the row stays
  EXPECT_EQ(grid->Row(), 2);
  vx::SendKey(grid, VK_DOWN);  // the search starts again
  vx::SendText(grid, "c");
  EXPECT_EQ(grid->Row(), 4);
  grid->Navigation()->AutoGotoIncremental = false;
  vx::SendText(grid, "ab");  // each key alone
  EXPECT_EQ(grid->Row(), 2);
}

TEST_F(RichGridEditing, MouseCaretMaskAdvanceAndSizeWhileTyping) {
  // The caret goes where the click opening the editor was.
  grid->MouseActions()->CaretPositioning = true;
  grid->SetColWidths(1, 150);
  grid->SetCells(1, 2, "abcdefghijklmnop");
  ClickCell(1, 2);
  ASSERT_FALSE(EditorOpen());
  const TRect cell = grid->CellRect(1, 2);
  vx::SendClick(grid, cell.Left + 12, (cell.Top + cell.Bottom) / 2);
  ASSERT_TRUE(EditorOpen());
  EXPECT_EQ(Editor()->SelLength(), 0);
  EXPECT_GT(Editor()->SelStart(), 0);
  EXPECT_LT(Editor()->SelStart(), 5);
  vx::SendKey(Editor(), VK_ESCAPE);
  // ImproveMaskSel selects the first character on entry.
  grid->MouseActions()->CaretPositioning = false;
  grid->Navigation()->ImproveMaskSel = true;
  ClickCell(2, 2);
  ClickCell(2, 2);  // on the current cell: the editor opens
  ASSERT_TRUE(EditorOpen());
  EXPECT_EQ(Editor()->SelStart(), 0);
  EXPECT_EQ(Editor()->SelText(), "c");
  vx::SendKey(Editor(), VK_ESCAPE);
  grid->Navigation()->ImproveMaskSel = false;

  // AdvanceAuto ends the edit of a filled mask, and only with a mask.
  grid->Navigation()->AdvanceAuto = true;
  grid->Navigation()->AdvanceOnEnter = true;
  grid->OnGetEditMask = [](TObject*, int aCol, int, AnsiString& mask) {
    if (aCol == 3) mask = "000;1;_";
  };
  Edit(2, 2, "1234");
  EXPECT_EQ(grid->Col(), 2);  // no mask: typing goes on
  EXPECT_EQ(grid->Cells(2, 2), "1234");
  vx::SendKey(Editor(), VK_ESCAPE);
  Edit(3, 2, "12");
  EXPECT_EQ(grid->Col(), 3);
  vx::SendText(Editor(), "3");
  EXPECT_EQ(grid->Cells(3, 2), "123");
  EXPECT_EQ(grid->Col(), 4);  // as after Enter
  vx::SendKey(Editor(), VK_ESCAPE);
  grid->Navigation()->AdvanceAuto = false;

  // The column widens to the typed text.
  grid->SizeWhileTyping()->Width = true;
  const int before = grid->ColWidths(4);
  Edit(4, 3, "a much longer text than the column");
  EXPECT_GT(grid->ColWidths(4), before);
  EXPECT_EQ(Editor()->Width(), grid->CellRect(4, 3).Width());
}

}  // namespace
