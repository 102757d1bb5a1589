// The data-aware grid over an in-memory data set: what it shows, how it
// follows the cursor, editing through Field.Text and its keys.
#include <gtest/gtest.h>

#include "tests/platform/gui/gui_test_support.h"
#include "platform/db/data_source.h"
#include "platform/db/field.h"
#include "platform/gui/grids/dbgrids.h"
#include "platform/gui/core/forms.h"
#include "tests/platform/db/memory_dataset.h"

namespace {

class DBGrid : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    for (int i = 1; i <= 10; ++i) ds.AddRow({2000 + i, i, "N" + std::to_string(i)});
    ds.LogCalls = false;
    source.SetDataSet(&ds);
    form = new TForm(nullptr);
    grid = new TDBGrid(form, form);
    // Room for four records under the title row (each row and its line).
    grid->SetBounds(0, 0, 300, (grid->DefaultRowHeight() + 1) * 5);
    grid->SetDataSource(&source);
    ds.Open();
  }
  void TearDown() override {
    delete form;
    GuiTest::TearDown();
  }
  // The first column of every shown row, joined with ','.
  std::string Shown() {
    std::string s;
    for (int r = 0; r < grid->DisplayedRowCount(); ++r) s += (r ? "," : "") + grid->DisplayedText(0, r);
    return s;
  }
  TMemoryDataSet ds{{{"YEAR", ftInteger}, {"DRAW", ftInteger}, {"NAME", ftString, 10}}};
  TDataSource source;
  TForm* form = nullptr;
  TDBGrid* grid = nullptr;
};

TEST_F(DBGrid, ShowsTheRecordsThatFitWithDefaultColumns) {
  EXPECT_EQ(grid->VisibleRowCount(), 4);
  ASSERT_EQ(grid->Columns()->Count(), 3);
  EXPECT_EQ(grid->Columns()->Items(0)->Title()->Caption(), "YEAR");
  EXPECT_EQ(grid->Columns()->Items(0)->Alignment(), taRightJustify);
  EXPECT_EQ(grid->Columns()->Items(2)->Alignment(), taLeftJustify);
  EXPECT_EQ(Shown(), "2001,2002,2003,2004");
  EXPECT_EQ(grid->DisplayedText(2, 1), "N2");
  EXPECT_EQ(grid->Row(), 1);

  vx::RecordingDevice dev;
  grid->PaintTo(&dev);
  auto drawn = [&](const std::string& text) {
    for (const auto& call : dev.Calls)
      if (call.find("\"" + text + "\"") != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(drawn("DRAW"));
  EXPECT_TRUE(drawn("2004"));
  EXPECT_FALSE(drawn("2005"));
}

TEST_F(DBGrid, FollowsNextAndPriorAndScrollsWithTheDataSet) {
  ds.Next();
  EXPECT_EQ(grid->Row(), 2);
  for (int i = 0; i < 4; ++i) ds.Next();  // now on the 6th record
  EXPECT_EQ(grid->Row(), 4);
  EXPECT_EQ(Shown(), "2003,2004,2005,2006");
  ds.Prior();
  EXPECT_EQ(grid->Row(), 3);
  ds.Last();
  EXPECT_EQ(Shown(), "2007,2008,2009,2010");
  vx::SendKey(grid, VK_HOME, TShiftState{ssCtrl});
  EXPECT_EQ(ds.FieldByName("YEAR")->AsInteger(), 2001);
  vx::SendKey(grid, VK_NEXT);
  EXPECT_EQ(ds.FieldByName("YEAR")->AsInteger(), 2005);
}

TEST_F(DBGrid, StaysStillWhileControlsAreDisabled) {
  ds.DisableControls();
  for (int i = 0; i < 6; ++i) ds.Next();
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(Shown(), "2001,2002,2003,2004");
  ds.EnableControls();
  EXPECT_EQ(grid->Row(), 4);
  EXPECT_EQ(Shown(), "2004,2005,2006,2007");
}

TEST_F(DBGrid, TypingEditsTheCellIntoTheField) {
  grid->SetSelectedIndex(2);
  vx::SendText(grid, "Ab");
  EXPECT_TRUE(grid->EditorMode());
  EXPECT_EQ(grid->EditorText(), "Ab");
  EXPECT_EQ(ds.State(), dsEdit);
  vx::SendKey(grid, VK_RETURN);
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(ds.FieldByName("NAME")->AsString(), "Ab");
  vx::SendKey(grid, VK_DOWN);  // moving on posts the record
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(ds.RowValue(0, 2).AsString(), "Ab");
}

// Keys that change the editor's text without typing a character (Backspace,
// Delete, cutting) put the record into edit state as a typed digit does, and
// a text changed with no key at all (key 0 here: the edit's own menu, undo)
// does so when it goes into the field, so the emptied cell stores an empty
// value; a data set that cannot change keeps the text.
TEST_F(DBGrid, ClearingACellStoresTheEmptyValueThroughEditState) {
  const struct {
    const char* name;
    Word key;
    TShiftState shift;
  } cases[] = {{"Backspace", VK_BACK, {}},
               {"Delete", VK_DELETE, {}},
               {"Ctrl+X", 'X', TShiftState{ssCtrl}},
               {"no key", 0, {}}};
  auto clear = [](TInplaceEdit* editor, Word key, TShiftState shift) {
    editor->SelectAll();
    if (key) vx::SendKey(editor, key, shift);
    else editor->SetText("");
  };
  int row = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ds.First();
    ds.MoveBy(row);
    grid->SetSelectedIndex(1);
    vx::SendKey(grid, VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    TInplaceEdit* editor = grid->InplaceEditor();
    ASSERT_TRUE(editor && editor->Showing());
    clear(editor, c.key, c.shift);
    EXPECT_EQ(grid->EditorText(), "");
    if (c.key) EXPECT_EQ(ds.State(), dsEdit);
    vx::SendKey(editor, VK_RETURN);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_TRUE(ds.FieldByName("DRAW")->IsNull());
    vx::SendKey(grid, VK_DOWN);  // moving on posts the record
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_TRUE(ds.RowValue(row, 1).IsNull());
    EXPECT_EQ(ds.RowValue(row + 1, 1).AsInteger(), row + 2);
    ++row;
  }
  // Without AutoEdit the record does not go into edit state: the keys are
  // refused and the value stays.
  source.SetAutoEdit(false);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    vx::SendKey(grid, VK_F2);
    TInplaceEdit* editor = grid->InplaceEditor();
    ASSERT_TRUE(editor && editor->Showing());
    clear(editor, c.key, c.shift);
    if (c.key) EXPECT_EQ(grid->EditorText(), IntToStr(row + 1));
    vx::SendKey(editor, VK_RETURN);
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(ds.FieldByName("DRAW")->AsInteger(), row + 1);
  }
}

TEST_F(DBGrid, BadTextReachesTheApplicationAndKeepsTheEditor) {
  grid->SetSelectedIndex(0);
  dialogs.Expect(vx::DialogKind::Exception, "is not a valid integer value", mrOk);
  vx::SendText(grid, "x");
  vx::SendKey(grid, VK_RETURN);
  EXPECT_TRUE(grid->EditorMode());
  EXPECT_EQ(ds.FieldByName("YEAR")->AsInteger(), 2001);
  vx::SendKey(grid, VK_ESCAPE);  // gives up: the record is as it was
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(ds.State(), dsBrowse);
}

TEST_F(DBGrid, DownOnTheLastRowAppendsARecord) {
  ds.Last();
  vx::SendKey(grid, VK_DOWN);
  EXPECT_EQ(ds.State(), dsInsert);
  EXPECT_EQ(grid->DisplayedText(0, grid->Row() - 1), "");
  vx::SendKey(grid, VK_DOWN);  // an untouched new row stays
  EXPECT_EQ(ds.State(), dsInsert);
  vx::SendText(grid, "2011");
  vx::SendKey(grid, VK_DOWN);  // posts, then appends again
  EXPECT_EQ(ds.RowCount(), 11);
  EXPECT_EQ(ds.State(), dsInsert);
  vx::SendKey(grid, VK_ESCAPE);
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(ds.RowCount(), 11);
}

TEST_F(DBGrid, InsertEscapeAndCtrlDeleteWithConfirmation) {
  vx::SendKey(grid, VK_INSERT);
  EXPECT_EQ(ds.State(), dsInsert);
  vx::SendKey(grid, VK_ESCAPE);
  EXPECT_EQ(ds.State(), dsBrowse);
  dialogs.Expect(vx::DialogKind::Message, "Delete record?", mrCancel);
  vx::SendKey(grid, VK_DELETE, TShiftState{ssCtrl});
  EXPECT_EQ(ds.RowCount(), 10);
  dialogs.Expect(vx::DialogKind::Message, "Delete record?", mrOk);
  vx::SendKey(grid, VK_DELETE, TShiftState{ssCtrl});
  EXPECT_EQ(ds.RowCount(), 9);
  EXPECT_EQ(Shown(), "2002,2003,2004,2005");
}

TEST_F(DBGrid, WithoutEditingTheKeysChangeNothing) {
  grid->SetOptions(grid->Options() - TDBGridOptions{dgEditing});
  vx::SendKey(grid, VK_INSERT);
  vx::SendText(grid, "9");
  vx::SendKey(grid, VK_DELETE, TShiftState{ssCtrl});
  ds.Last();
  vx::SendKey(grid, VK_DOWN);
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(ds.RowCount(), 10);
  EXPECT_FALSE(grid->EditorMode());
}

TEST_F(DBGrid, ProgramColumnsKeepTheirLayoutAcrossReopen) {
  grid->Columns()->Clear();
  EXPECT_EQ(grid->Columns()->Count(), 0);
  grid->Columns()->RebuildColumns();
  ASSERT_EQ(grid->Columns()->Count(), 3);
  TColumn* year = grid->Columns()->Items(0);
  year->SetWidth(33);
  year->Title()->SetCaption("год"_cp);
  year->Title()->SetAlignment(taCenter);
  year->SetAlignment(taCenter);
  year->Font()->SetColor(RGB(0, 128, 0));
  ds.Close();
  ds.Open();
  EXPECT_EQ(grid->Columns()->Count(), 3);
  EXPECT_EQ(grid->Columns()->Items(0)->Title()->Caption(), AnsiString("год"_cp));
  EXPECT_EQ(grid->Columns()->Items(0)->Width(), 33);
  EXPECT_EQ(Shown(), "2001,2002,2003,2004");
  TColumn* extra = grid->Columns()->Add();
  extra->SetFieldName("NOSUCH");  // a column without a field shows nothing
  EXPECT_EQ(grid->DisplayedText(3, 0), "");
}

TEST_F(DBGrid, ClickingARowMovesTheCursor) {
  const TRect third = grid->CellRect(1, 3);  // the third record
  vx::SendClick(grid, third.Left + 2, third.Top + 2);
  EXPECT_EQ(ds.FieldByName("YEAR")->AsInteger(), 2003);
  EXPECT_EQ(grid->Row(), 3);
}

}  // namespace
