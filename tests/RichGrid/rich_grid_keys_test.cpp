// The rich grid's own keys: Insert and Delete of rows with their vetoes,
// Space on a check box, the clipboard keys, Tab from the last data column
// past fixed right columns, and AlwaysEdit after an arrow key.
#include <string>

#include "platform/gui/services/clipbrd.h"
#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

using namespace richgridtest;

class KeyGrid : public Grid {
 public:
  using TRichStringGrid::KeyDown;
  using TRichStringGrid::KeyUp;
  bool Press(Word key, TShiftState shift = {}) {
    const bool handled = KeyDown(key, shift);
    KeyUp(key, shift);
    return handled;
  }
  // n data rows under a heading, "r<row>" in column 1.
  void Rows(int n) {
    SetRowCount(n + 1);
    for (int r = 1; r <= n; ++r) SetCells(1, r, "r" + IntToStr(r));
  }
};

using RichGridKeys = RichGridTest;

TEST_F(RichGridKeys, InsertAddsARowBeforeOrAfterTheCurrentOne) {
  KeyGrid g;
  g.Rows(3);
  g.Navigation()->AllowInsertRow = true;
  std::vector<int> inserted;
  g.OnAutoInsertRow = [&](TObject*, int row) { inserted.push_back(row); };
  g.SetRow(2);
  EXPECT_TRUE(g.Press(VK_INSERT));
  EXPECT_EQ(g.Column(1), (Texts{"", "r1", "", "r2", "r3"}));
  EXPECT_EQ(g.Row(), 2);
  // After the last row: a row at the end, and it becomes current.
  g.Navigation()->InsertPosition = pInsertAfter;
  g.SetRow(4);
  g.Press(VK_INSERT);
  EXPECT_EQ(g.RowCount(), 6);
  EXPECT_EQ(g.Column(1), (Texts{"", "r1", "", "r2", "r3", ""}));
  EXPECT_EQ(g.Row(), 5);
  EXPECT_EQ(inserted, (std::vector<int>{2, 5}));
  // Vetoed, with a modifier, or not allowed: nothing.
  g.OnCanInsertRow = [](TObject*, int, bool& can) { can = false; };
  g.Press(VK_INSERT);
  g.OnCanInsertRow = nullptr;
  g.Press(VK_INSERT, TShiftState{ssAlt});
  g.Navigation()->AllowInsertRow = false;
  g.Press(VK_INSERT);
  EXPECT_EQ(g.RowCount(), 6);
}

TEST_F(RichGridKeys, DeleteRemovesTheRowButOnlyEmptiesTheLastDataRow) {
  KeyGrid g;
  g.Rows(3);
  g.SetFixedFooters(1);  // r3 is the footer
  g.Navigation()->AllowDeleteRow = true;
  std::vector<int> deleted;
  g.OnAutoDeleteRow = [&](TObject*, int row) { deleted.push_back(row); };
  int asked = 0;
  g.OnCanDeleteRow = [&](TObject*, int, bool& can) { can = ++asked != 1; };
  g.SetRow(1);
  g.Press(VK_DELETE);  // vetoed
  EXPECT_EQ(g.RowCount(), 4);
  g.Press(VK_DELETE);
  EXPECT_EQ(g.Column(1), (Texts{"", "r2", "r3"}));
  g.Press(VK_DELETE);
  EXPECT_EQ(g.Column(1), (Texts{"", "", "r3"}));
  EXPECT_EQ(g.RowCount(), 3);
  EXPECT_EQ(deleted, (std::vector<int>{1, 1}));
  g.Press(VK_DELETE, TShiftState{ssAlt});
  EXPECT_EQ(deleted.size(), 2u);
}

TEST_F(RichGridKeys, SpaceTogglesACheckBoxWhenTheCellMayBeEdited) {
  KeyGrid g;
  g.AddCheckBox(1, 1, false, false);
  std::vector<bool> clicks;
  g.OnCheckBoxClick = [&](TObject*, int c, int r, bool state) {
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 1);
    clicks.push_back(state);
  };
  g.Press(VK_SPACE);  // editing off
  g.SetOptions(g.Options() + goEditing);
  g.Press(VK_SPACE);
  g.Press(VK_SPACE);
  g.OnCanEditCell = [](TObject*, int, int, bool& can) { can = false; };
  g.Press(VK_SPACE);
  EXPECT_EQ(clicks, (std::vector<bool>{true, false}));
}

TEST_F(RichGridKeys, ClipboardKeysAskTheirEventsFirst) {
  vx::MemoryClipboard clipboard;
  KeyGrid g;
  g.Rows(3);
  g.SetOptions(g.Options() + goEditing);
  g.Navigation()->AllowDeleteRow = true;
  g.SetRow(1);
  g.SetCol(1);
  // Without the shortcuts the keys do nothing of the clipboard's.
  g.Press('C', TShiftState{ssCtrl});
  EXPECT_TRUE(clipboard.Contents().empty());
  g.Navigation()->AllowClipboardShortCuts = true;
  struct Case {
    Word key;
    TShiftState shift;
    const char* what;
  } cases[] = {{'C', TShiftState{ssCtrl}, "copy"},  {VK_INSERT, TShiftState{ssCtrl}, "copy"},
               {'X', TShiftState{ssCtrl}, "cut"},   {VK_DELETE, TShiftState{ssShift}, "cut"},
               {'V', TShiftState{ssCtrl}, "paste"}, {VK_INSERT, TShiftState{ssShift}, "paste"}};
  std::string asked;
  bool allow = false;
  g.OnClipboardCopy = [&](TObject*, bool& a) {
    asked += "copy ";
    a = allow;
  };
  g.OnClipboardCut = [&](TObject*, bool& a) {
    asked += "cut ";
    a = allow;
  };
  g.OnClipboardPaste = [&](TObject*, bool& a) {
    asked += "paste ";
    a = allow;
  };
  for (const Case& c : cases) g.Press(c.key, c.shift);
  EXPECT_EQ(asked, "copy copy cut cut paste paste ");
  EXPECT_TRUE(clipboard.Contents().empty());
  EXPECT_EQ(g.Cells(1, 1), "r1");
  allow = true;
  g.Press('C', TShiftState{ssCtrl});
  EXPECT_EQ(clipboard.Contents()[CF_TEXT], "r1\r\n");
  // Shift+Delete cuts; it deletes no row.
  g.Press(VK_DELETE, TShiftState{ssShift});
  EXPECT_EQ(g.Cells(1, 1), "");
  EXPECT_EQ(g.RowCount(), 4);
  g.SetRow(3);
  g.Press(VK_INSERT, TShiftState{ssShift});
  EXPECT_EQ(g.Column(1), (Texts{"", "", "r2", "r1"}));
}

TEST_F(RichGridKeys, TabFromTheLastDataColumnWrapsPastTheFixedRightColumns) {
  KeyGrid g;
  g.SetColCount(5);
  g.SetRowCount(4);
  g.SetFixedRightCols(1);
  g.SetOptions(g.Options() + goTabs);
  g.FocusCell(3, 2, true);
  g.Press(VK_TAB);
  EXPECT_EQ(g.Col(), 1);
  EXPECT_EQ(g.Row(), 3);
  g.Press(VK_TAB);
  EXPECT_EQ(g.Col(), 2);
  g.FocusCell(3, 3, true);
  g.Press(VK_TAB);  // the last data row goes round to the first
  EXPECT_EQ(g.Col(), 1);
  EXPECT_EQ(g.Row(), 1);
}

TEST_F(RichGridKeys, AlwaysEditOpensTheEditorAfterAnArrowKey) {
  KeyGrid g;
  g.SetOptions(g.Options() + goEditing);
  g.SetFocus();
  g.Press(VK_DOWN);
  EXPECT_FALSE(g.InplaceEditor() && g.InplaceEditor()->Showing());
  g.Navigation()->AlwaysEdit = true;
  g.Press(VK_DOWN);
  EXPECT_EQ(g.Row(), 3);
  ASSERT_NE(g.InplaceEditor(), nullptr);
  EXPECT_TRUE(g.InplaceEditor()->Showing());
}

}  // namespace
