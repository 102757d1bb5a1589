// The rich grid's editor controls in a grid on screen (offscreen), driven
// by keys and clicks as a user drives them: each control opens on its cell
// and Escape reverts it; Enter writes, and a refused value keeps the control
// open; a click elsewhere and the focus leaving validate once; the leaving
// keys move the grid; the combo's lookup; the spin keys and events; the
// number-series columns; the editor link; the file-version routine. Under
// Xvfb (the richgrid_editors_screenshot test) it also saves a picture of the
// grid with each control open to the file named by VX_EDITORS_SCREENSHOT.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "RichGrid/cell_controls.h"
#include "RichGrid/edit_link.h"
#include "RichGrid/rich_grid.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/gui/core/shell.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/rich_grid_test_support.h"

namespace {

// Column by column, the editor types of the test grid.
const TEditorType kColumnTypes[] = {edNormal,         edSpinEdit,     edComboEdit,    edComboList,     edEditBtn,
                                    edCheckBox,       edDateEdit,     edTimeEdit,     edUnitEditBtn,   edButton,
                                    edNumericEditBtn, edFloatEditBtn, edDataCheckBox, edFloatSpinEdit, edCustom};
constexpr int kCols = static_cast<int>(std::size(kColumnTypes));

// Typing as the keyboard does it: key events with their text, sent to the
// control's own window (a combo box hands them to its edit part).
void Type(TControl* control, const AnsiString& text) {
  ASSERT_NE(control, nullptr);
  for (QChar ch : vx::ToQString(text)) {
    const int key = ch.isLetter() ? ch.toUpper().unicode() : ch.unicode();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(control->Widget(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(control->Widget(), &release);
  }
}

// A link with an edit of its own.
class EditLink : public TEditLink {
 public:
  using TEditLink::TEditLink;
  TWinControl* GetEditControl() override { return edit_; }
  void CreateEditor(TWinControl* parent) override {
    ++created;
    edit_ = new TEdit(nullptr, parent);
    edit_->OnKeyDown = [this](TObject*, Word& key, TShiftState shift) { EditKeyDown(key, shift); };
  }
  void DestroyEditor() override {
    ++destroyed;
    delete edit_;
    edit_ = nullptr;
  }
  void GetEditorValue(AnsiString& s) override { s = edit_ ? edit_->Text() : AnsiString(); }
  void SetEditorValue(const AnsiString& s) override {
    if (edit_) edit_->SetText(s);
  }
  TEdit* Edit() const { return edit_; }
  int created = 0, destroyed = 0;

 private:
  TEdit* edit_ = nullptr;
};

class CellControls : public richgridtest::GridOnScreen {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    MakeForm(900, 260, 880, 200);
    grid->SetDefaultColWidth(58);
    grid->SetColCount(kCols);
    grid->SetRowCount(5);
    grid->SetOptions(grid->Options() + goEditing);
    for (int c = 0; c < kCols; ++c)
      for (int r = 1; r < 5; ++r) grid->SetCells(c, r, "t" + IntToStr(c) + IntToStr(r));
    for (int r = 1; r < 5; ++r) {
      grid->SetCells(1, r, IntToStr(r * 10));
      grid->SetCells(6, r, "0" + IntToStr(r) + ".02.2003");
      grid->SetCells(7, r, "10:2" + IntToStr(r) + ":30");
      grid->SetCells(8, r, IntToStr(r) + ".5cm");
      grid->SetCells(11, r, "1.5");
      grid->SetCells(13, r, "2.5");
    }
    grid->OnGetEditorType = [](TObject*, int aCol, int, TEditorType& editor) {
      if (aCol >= 0 && aCol < kCols) editor = kColumnTypes[aCol];
    };
    grid->GridCombo()->Items()->Add("Abc");
    grid->GridCombo()->Items()->Add("abd");
    grid->GridCombo()->Items()->Add("xyz");
    grid->GridUnitEditBtn()->Units()->Add("cm");
    grid->GridUnitEditBtn()->Units()->Add("mm");
    ShowForm();
  }
  // Makes the cell current and opens its editor as F2 does.
  TWinControl* Open(int c, int r) {
    grid->SetCol(c);
    grid->SetRow(r);
    vx::SendKey(grid, VK_F2);
    return grid->ActiveEditControl();
  }
  void CountValidations(bool accept) {
    grid->OnCellValidate = [this, accept](TObject*, int, int, AnsiString&, bool& valid) {
      ++validations;
      valid = accept;
    };
  }
  // Changes the value the open control shows.
  void ChangeValue(int col) {
    switch (kColumnTypes[col]) {
      case edSpinEdit: grid->GridSpin()->SetValue(77); break;
      case edComboEdit: grid->GridCombo()->SetText("xyz"); break;
      case edComboList: grid->GridCombo()->SetItemIndex(2); break;
      case edEditBtn: grid->GridEditBtn()->SetText("new"); break;
      case edNumericEditBtn: grid->GridEditBtn()->SetText("42"); break;
      case edDateEdit: grid->GridDatePicker()->SetDate(EncodeDate(2004, 5, 6)); break;
      case edTimeEdit: grid->GridDatePicker()->SetTime(EncodeTime(11, 12, 13, 0)); break;
      case edUnitEditBtn: grid->GridUnitEditBtn()->SetUnitID("mm"); break;
      case edCheckBox: grid->GridCheckBox()->SetChecked(!grid->GridCheckBox()->Checked()); break;
      default: break;
    }
  }

  int validations = 0;
};

TEST_F(CellControls, EachControlOpensOnItsCellAndEscapeRevertsIt) {
  const std::pair<int, TWinControl*> cases[] = {
      {1, grid->GridSpin()},     {2, grid->GridCombo()},      {3, grid->GridCombo()},      {4, grid->GridEditBtn()},
      {5, grid->GridCheckBox()}, {6, grid->GridDatePicker()}, {7, grid->GridDatePicker()}, {8, grid->GridUnitEditBtn()},
      {9, grid->GridButton()},   {10, grid->GridEditBtn()},   {13, grid->GridSpin()},
  };
  for (const auto& [col, control] : cases) {
    const AnsiString before = grid->Cells(col, 2);
    ASSERT_EQ(Open(col, 2), control) << "column " << col;
    EXPECT_TRUE(control->Visible()) << "column " << col;
    EXPECT_TRUE(control->Focused()) << "column " << col;
    EXPECT_FALSE(grid->InplaceEditor() && grid->InplaceEditor()->Showing()) << "column " << col;
    const TRect cell = grid->CellRect(col, 2);
    EXPECT_EQ(control->Left(), cell.Left) << "column " << col;
    EXPECT_EQ(control->Top(), cell.Top) << "column " << col;
    ChangeValue(col);
    vx::SendKey(control, VK_ESCAPE);
    EXPECT_EQ(grid->ActiveEditControl(), nullptr) << "column " << col;
    EXPECT_FALSE(control->Visible()) << "column " << col;
    EXPECT_EQ(grid->Cells(col, 2), before) << "column " << col;
    EXPECT_TRUE(grid->Focused()) << "column " << col;
    EXPECT_EQ(grid->Row(), 2) << "column " << col;
  }
  // A bound check box cell opens no editor at all.
  EXPECT_EQ(Open(12, 1), nullptr);
  EXPECT_FALSE(grid->InplaceEditor() && grid->InplaceEditor()->Showing());
}

TEST_F(CellControls, EnterWritesAndARefusedValueKeepsTheControlOpen) {
  struct Case {
    int col;
    const char* written;
  } cases[] = {
      {1, "77"}, {2, "xyz"}, {3, "xyz"}, {4, "new"}, {6, "06.05.2004"}, {7, "11:12:13"}, {8, "2.5mm"}, {10, "42"},
  };
  for (const Case& c : cases) {
    validations = 0;
    CountValidations(false);
    const AnsiString before = grid->Cells(c.col, 2);
    TWinControl* control = Open(c.col, 2);
    ASSERT_NE(control, nullptr) << "column " << c.col;
    ChangeValue(c.col);
    vx::SendKey(control, VK_RETURN);
    EXPECT_EQ(validations, 1) << "column " << c.col;
    EXPECT_EQ(grid->ActiveEditControl(), control) << "column " << c.col;
    EXPECT_EQ(grid->Cells(c.col, 2), before) << "column " << c.col;
    EXPECT_EQ(grid->Col(), c.col) << "column " << c.col;
    // The control shows the cell's text again: accepted now, it writes that.
    CountValidations(true);
    vx::SendKey(control, VK_RETURN);
    EXPECT_EQ(grid->Cells(c.col, 2), before) << "column " << c.col;
    // Enter moved on to the next cell and opened its editor there.
    EXPECT_EQ(grid->Col(), c.col + 1) << "column " << c.col;
    if (TWinControl* next = grid->ActiveEditControl())
      EXPECT_EQ(next->Left(), grid->CellRect(c.col + 1, 2).Left) << "column " << c.col;
    if (TWinControl* next = grid->ActiveEditControl()) vx::SendKey(next, VK_ESCAPE);
    if (grid->InplaceEditor() && grid->InplaceEditor()->Showing()) vx::SendKey(grid->InplaceEditor(), VK_ESCAPE);
    // A new value is written.
    control = Open(c.col, 2);
    ChangeValue(c.col);
    vx::SendKey(control, VK_RETURN);
    EXPECT_EQ(grid->Cells(c.col, 2), c.written) << "column " << c.col;
    if (TWinControl* next = grid->ActiveEditControl()) vx::SendKey(next, VK_ESCAPE);
    if (grid->InplaceEditor() && grid->InplaceEditor()->Showing()) vx::SendKey(grid->InplaceEditor(), VK_ESCAPE);
  }
}

TEST_F(CellControls, ClickElsewhereAndFocusLossValidateOnce) {
  for (int col : {1, 2, 4}) {
    validations = 0;
    CountValidations(false);
    const AnsiString before = grid->Cells(col, 2);
    TWinControl* control = Open(col, 2);
    ASSERT_NE(control, nullptr);
    ChangeValue(col);
    ClickCell(col + 1, 3);
    EXPECT_EQ(validations, 1) << "column " << col;
    EXPECT_EQ(grid->Col(), col) << "column " << col;
    EXPECT_EQ(grid->Row(), 2) << "column " << col;
    EXPECT_EQ(grid->Cells(col, 2), before) << "column " << col;
    EXPECT_EQ(grid->ActiveEditControl(), control) << "column " << col;
    EXPECT_TRUE(control->Focused()) << "column " << col;

    ChangeValue(col);
    other->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(validations, 2) << "column " << col;
    EXPECT_EQ(grid->Cells(col, 2), before) << "column " << col;
    EXPECT_EQ(grid->ActiveEditControl(), control) << "column " << col;
    // Accepted on the way out: written and closed.
    CountValidations(true);
    ChangeValue(col);
    grid->SetFocus();
    Application->ProcessMessages();
    other->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(grid->ActiveEditControl(), nullptr) << "column " << col;
    EXPECT_NE(grid->Cells(col, 2), before) << "column " << col;
    grid->SetFocus();
  }
}

TEST_F(CellControls, LeavingKeysMoveTheGrid) {
  struct Case {
    int col;
    Word key;
    int toCol, toRow;
  } cases[] = {
      {1, VK_DOWN, 1, 3},   {1, VK_UP, 1, 1},   {2, VK_DOWN, 2, 3}, {6, VK_UP, 6, 1},
      {5, VK_DOWN, 5, 3},   {4, VK_DOWN, 4, 3}, {3, VK_LEFT, 2, 2}, {3, VK_RIGHT, 4, 2},
      {9, VK_RIGHT, 10, 2}, {5, VK_NEXT, 5, 2}, {2, VK_HOME, 2, 2},
  };
  for (const Case& c : cases) {
    TWinControl* control = Open(c.col, 2);
    ASSERT_NE(control, nullptr) << "column " << c.col;
    ChangeValue(c.col);
    const AnsiString written =
        kColumnTypes[c.col] == edCheckBox || kColumnTypes[c.col] == edButton ? grid->Cells(c.col, 2) : AnsiString();
    vx::SendKey(control, c.key);
    EXPECT_EQ(grid->ActiveEditControl(), nullptr) << "column " << c.col << " key " << c.key;
    EXPECT_EQ(grid->Col(), c.toCol) << "column " << c.col << " key " << c.key;
    EXPECT_EQ(grid->Row(), c.toRow) << "column " << c.col << " key " << c.key;
    if (!written.empty()) EXPECT_EQ(grid->Cells(c.col, 2), written);
    EXPECT_TRUE(grid->Focused());
  }
  // Up and Down in a list-style combo pick items instead.
  TWinControl* list = Open(3, 2);
  grid->GridCombo()->SetItemIndex(0);
  vx::SendKey(list, VK_DOWN);
  EXPECT_EQ(grid->ActiveEditControl(), list);
  EXPECT_EQ(grid->GridCombo()->Text(), "abd");
  vx::SendKey(list, VK_RETURN);
  EXPECT_EQ(grid->Cells(3, 2), "abd");
}

TEST_F(CellControls, TabFollowsTheNavigationOptions) {
  grid->SetOptions(grid->Options() + goTabs);
  TWinControl* spin = Open(1, 1);
  grid->GridSpin()->SetValue(12);
  vx::SendKey(spin, VK_TAB);
  EXPECT_EQ(grid->Cells(1, 1), "12");
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_TRUE(grid->Focused());
  grid->SetOptions(grid->Options() - goTabs);
  TWinControl* combo = Open(2, 1);
  grid->GridCombo()->SetText("xyz");
  vx::SendKey(combo, VK_TAB);
  Application->ProcessMessages();
  EXPECT_EQ(grid->Cells(2, 1), "xyz");
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_TRUE(other->Focused());
}

TEST_F(CellControls, ComboLooksUpWhatIsTyped) {
  grid->SetLookup(true);
  TWinControl* combo = Open(2, 1);
  ASSERT_NE(combo, nullptr);
  TGridCombo* c = grid->GridCombo();
  c->SetText("");
  Type(combo, "ab");
  EXPECT_EQ(c->Text(), "Abc");
  EXPECT_EQ(c->ItemIndex(), 0);
  // The appended part is selected: the next key replaces it.
  Type(combo, "d");
  EXPECT_EQ(c->Text(), "abd");
  // Backspace takes the lookup off for one key.
  vx::SendKey(combo, VK_BACK);
  EXPECT_EQ(c->Text(), "ab");
  Type(combo, "c");
  EXPECT_EQ(c->Text(), "Abc");
  // Case-sensitive: "ab" is no prefix of "Abc".
  grid->SetLookupCaseSensitive(true);
  c->SetText("");
  Type(combo, "ab");
  EXPECT_EQ(c->Text(), "abd");
  // Off: nothing is completed; a new text joins the items with LookupHistory.
  grid->SetLookup(false);
  grid->SetLookupHistory(true);
  c->SetText("");
  Type(combo, "zz");
  EXPECT_EQ(c->Text(), "zz");
  vx::SendKey(combo, VK_RETURN);
  EXPECT_EQ(grid->Cells(2, 1), "zz");
  EXPECT_GE(c->Items()->IndexOf("zz"), 0);
  // The open list is as wide as its widest item.
  c->Items()->Add("a rather long item of the list");
  Open(2, 3);
  vx::SendKey(grid->ActiveEditControl(), VK_ESCAPE);
}

TEST_F(CellControls, SpinKeysAndEvents) {
  struct Event {
    int col, row, value;
    bool up;
  };
  std::vector<Event> events;
  grid->OnSpinClick = [&](TObject*, int aCol, int aRow, int aValue, bool updown) {
    events.push_back({aCol, aRow, aValue, updown});
  };
  TWinControl* spin = Open(1, 4);
  TGridSpin* s = grid->GridSpin();
  EXPECT_EQ(s->Value(), 40);
  s->SetMaxValue(41);
  vx::SendKey(spin, VK_PRIOR);
  EXPECT_EQ(s->Value(), 41);
  vx::SendKey(spin, VK_PRIOR);  // at the maximum: unchanged
  EXPECT_EQ(s->Value(), 41);
  vx::SendKey(spin, VK_HOME);
  EXPECT_EQ(s->Value(), 0);
  vx::SendKey(spin, VK_NEXT);  // at the minimum: unchanged
  EXPECT_EQ(s->Value(), 0);
  vx::SendKey(spin, VK_END);
  EXPECT_EQ(s->Value(), 41);
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].col, 1);
  EXPECT_EQ(events[0].row, 4);
  EXPECT_EQ(events[0].value, 41);
  EXPECT_FALSE(events[0].up);
  vx::SendClick(s->Button()->DownButton(), 2, 2);
  EXPECT_EQ(s->Value(), 40);
  ASSERT_EQ(events.size(), 6u);
  EXPECT_EQ(events[5].value, 40);
  EXPECT_FALSE(events[5].up);
  s->UpClick(s);
  EXPECT_TRUE(events.back().up);
  vx::SendKey(spin, VK_ESCAPE);
  // Float spinning has its own event.
  std::vector<double> floats;
  grid->OnFloatSpinClick = [&](TObject*, int, int, double v, bool) { floats.push_back(v); };
  Open(13, 1);
  s->SetIncrementFloat(0.5);
  s->UpClick(s);
  ASSERT_EQ(floats.size(), 1u);
  EXPECT_DOUBLE_EQ(floats[0], 3.0);
  vx::SendKey(s, VK_RETURN);
  EXPECT_EQ(grid->Cells(13, 1), "3");
}

TEST_F(CellControls, NumberSeriesColumnsEditOneToEightyOne) {
  // The number-series window's grid: positions down, "от" and "до" across,
  // both edited by the grid's spin editor from 1 to 81.
  auto* series = new TRichStringGrid(form, form);
  series->SetBounds(0, 0, 250, 240);
  series->SetColCount(3);
  series->SetRowCount(10);
  series->SetOptions(series->Options() + goEditing);
  series->OnGetEditorType = [](TObject*, int aCol, int, TEditorType& editor) {
    if (aCol == 1 || aCol == 2) editor = edSpinEdit;
  };
  series->GridSpin()->SetMinValue(1);
  series->GridSpin()->SetMaxValue(81);
  series->SetCells(1, 1, "5");
  WaitForFocus(series);
  series->SetCol(1);
  series->SetRow(1);
  vx::SendKey(series, VK_F2);
  TGridSpin* spin = series->GridSpin();
  ASSERT_EQ(series->ActiveEditControl(), spin);
  EXPECT_EQ(spin->Value(), 5);
  vx::SendKey(spin, VK_PRIOR);
  vx::SendKey(spin, VK_RETURN);
  EXPECT_EQ(series->Cells(1, 1), "6");
  // Enter moved on to "до" of the same position, with the spin editor open.
  EXPECT_EQ(series->Col(), 2);
  ASSERT_EQ(series->ActiveEditControl(), spin);
  EXPECT_EQ(spin->Value(), 1);  // an empty cell starts at the minimum
  spin->SelectAll();
  Type(spin, "90");
  vx::SendKey(spin, VK_RETURN);
  EXPECT_EQ(series->Cells(2, 1), "81");  // clamped on the way out
  // Typed on a closed cell, the digits go into the spin editor.
  series->SetCol(1);
  series->SetRow(3);
  Type(series, "4");
  ASSERT_EQ(series->ActiveEditControl(), spin);
  Type(spin, "9");
  vx::SendKey(spin, VK_DOWN);
  EXPECT_EQ(series->Cells(1, 3), "49");
  EXPECT_EQ(series->Row(), 4);
  for (const char* text : {"0", "-3", "81", "1"}) {
    series->SetRow(5);
    vx::SendKey(series, VK_F2);
    spin->SelectAll();
    Type(spin, text);
    vx::SendKey(spin, VK_RETURN);
    const int v = StrToInt(series->Cells(1, 5));
    EXPECT_GE(v, 1) << text;
    EXPECT_LE(v, 81) << text;
    vx::SendKey(spin, VK_ESCAPE);
    series->SetCol(1);
  }
}

TEST_F(CellControls, EditButtonsCheckBoxAndButton) {
  const int beeps = vx::BeepCount();
  TWinControl* numeric = Open(10, 1);
  grid->GridEditBtn()->SetText("12");
  grid->GridEditBtn()->SetSelStart(1);
  Type(numeric, "-");  // not at the start: a beep, nothing typed
  EXPECT_EQ(grid->GridEditBtn()->Text(), "12");
  EXPECT_EQ(vx::BeepCount(), beeps + 1);
  grid->GridEditBtn()->SetSelStart(0);
  Type(numeric, "-");
  EXPECT_EQ(grid->GridEditBtn()->Text(), "-12");
  vx::SendKey(numeric, VK_ESCAPE);
  TWinControl* decimal = Open(11, 1);
  grid->GridEditBtn()->SetSelStart(3);
  Type(decimal, ".,5");  // one decimal mark only
  EXPECT_EQ(grid->GridEditBtn()->Text(), "1.55");
  vx::SendKey(decimal, VK_ESCAPE);

  // The ellipsis and the button ask the grid for the text.
  grid->OnEllipsClick = [](TObject*, int aCol, int aRow, AnsiString& s) {
    s = s + "@" + IntToStr(aCol) + IntToStr(aRow);
  };
  TWinControl* edit = Open(4, 2);
  vx::SendKey(edit, VK_F4);
  EXPECT_EQ(grid->GridEditBtn()->Text(), "t42@42");
  EXPECT_EQ(grid->GridEditBtn()->SelText(), "t42@42");
  vx::SendKey(edit, VK_RETURN);
  EXPECT_EQ(grid->Cells(4, 2), "t42@42");
  vx::SendKey(grid->ActiveEditControl(), VK_ESCAPE);
  TWinControl* button = Open(9, 2);
  vx::SendClick(button);
  EXPECT_EQ(grid->GridButton()->Caption(), "t92@92");
  vx::SendKey(button, VK_ESCAPE);
  EXPECT_FALSE(button->Visible());
  EXPECT_EQ(grid->Cells(9, 2), "t92");  // the button writes nothing back

  TWinControl* box = Open(5, 3);
  const bool state = grid->GridCheckBox()->Checked();
  vx::SendKey(box, VK_SPACE);
  EXPECT_NE(grid->GridCheckBox()->Checked(), state);
  vx::SendClick(box, 4, 4);  // toggles on the press, once
  EXPECT_EQ(grid->GridCheckBox()->Checked(), state);
  EXPECT_EQ(grid->GridCheckBox()->Caption(), "t53");
  vx::SendKey(box, VK_ESCAPE);

  // The unit edit: number and unit apart, both written back.
  TWinControl* unit = Open(8, 3);
  EXPECT_EQ(grid->GridUnitEditBtn()->Text(), "3.5");
  EXPECT_EQ(grid->GridUnitEditBtn()->UnitID(), "cm");
  grid->GridUnitEditBtn()->BtnClick();
  grid->GridUnitEditBtn()->UnitMenu()->Items()->Items(1)->Click();
  vx::ClosePopups();
  vx::SendKey(unit, VK_RETURN);
  EXPECT_EQ(grid->Cells(8, 3), "3.5mm");
  if (TWinControl* next = grid->ActiveEditControl()) vx::SendKey(next, VK_ESCAPE);
}

TEST_F(CellControls, EditLinkInPlaceAndAsPopup) {
  auto* link = new EditLink(form);
  grid->SetEditLink(link);
  int props = 0;
  grid->OnGetEditorProp = [&](TObject*, int aCol, int aRow, TEditLink* aLink) {
    if (aLink == link && aCol == 14 && aRow == 1) ++props;
  };
  grid->SetCol(14);
  grid->SetRow(1);
  vx::SendKey(grid, VK_F2);
  ASSERT_NE(link->Edit(), nullptr);
  EXPECT_EQ(props, 1);
  EXPECT_EQ(link->Edit()->Text(), "t141");
  EXPECT_TRUE(link->Edit()->Focused());
  EXPECT_EQ(link->Edit()->Left(), grid->CellRect(14, 1).Left);
  link->Edit()->SetText("linked");
  vx::SendKey(link->Edit(), VK_DOWN);  // ends the edit; the grid moves down
  EXPECT_EQ(grid->Cells(14, 1), "linked");
  EXPECT_EQ(grid->Row(), 2);
  Application->ProcessMessages();  // the control goes once its key is over
  EXPECT_EQ(link->destroyed, 1);
  EXPECT_EQ(link->Edit(), nullptr);

  // The popup style: a form of its own size at the cell; Escape reverts.
  link->SetEditStyle(esPopup);
  link->SetPopupWidth(150);
  link->SetPopupHeight(60);
  vx::SendKey(grid, VK_F2);
  ASSERT_NE(link->PopupForm(), nullptr);
  EXPECT_EQ(link->PopupForm()->Width(), 150);
  EXPECT_EQ(link->PopupForm()->Height(), 60);
  EXPECT_EQ(link->Edit()->Parent(), link->PopupForm());
  link->Edit()->SetText("popped");
  vx::SendKey(link->Edit(), VK_ESCAPE);
  EXPECT_EQ(grid->Cells(14, 2), "t142");
  Application->ProcessMessages();
  WaitForFocus(grid);
  EXPECT_EQ(link->PopupForm(), nullptr);
  EXPECT_EQ(link->destroyed, 2);
  // A refused value keeps the link open with the cell's text.
  CountValidations(false);
  vx::SendKey(grid, VK_F2);
  link->Edit()->SetText("nope");
  vx::SendKey(link->Edit(), VK_RETURN);
  EXPECT_EQ(validations, 1);
  ASSERT_NE(link->Edit(), nullptr);
  EXPECT_EQ(link->Edit()->Text(), "t142");
  CountValidations(true);
  vx::SendKey(link->Edit(), VK_RETURN);
  Application->ProcessMessages();
  EXPECT_EQ(link->PopupForm(), nullptr);
  delete link;  // the grid forgets it
  EXPECT_EQ(grid->EditLink(), nullptr);
  grid->SetCol(14);
  vx::SendKey(grid, VK_F2);  // no link: nothing opens
  EXPECT_EQ(grid->ActiveEditControl(), nullptr);
}

TEST_F(CellControls, ScrollingClosesTheOpenControl) {
  TWinControl* spin = Open(1, 1);
  grid->GridSpin()->SetValue(33);
  grid->SetLeftCol(5);
  EXPECT_FALSE(spin->Visible());
  EXPECT_EQ(grid->Cells(1, 1), "33");
}

TEST_F(CellControls, ComboDropsDownAtOnceWhenAsked) {
  grid->MouseActions()->DirectComboDrop = true;
  TWinControl* combo = Open(2, 1);
  ASSERT_EQ(combo, grid->GridCombo());
  EXPECT_TRUE(grid->GridCombo()->DroppedDown());
  // The open list belongs to the edit: the grid does not end it.
  EXPECT_EQ(grid->ActiveEditControl(), combo);
  grid->GridCombo()->SetDroppedDown(false);
  vx::SendKey(combo, VK_ESCAPE);
  EXPECT_EQ(grid->ActiveEditControl(), nullptr);
}

TEST(FileVersion, ReadsTheFixedBlockOfTheVersionResource) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vx_file_version";
  std::filesystem::create_directories(dir);
  // Some bytes, the resource's header and key, padding, the fixed block.
  const auto resource = [](std::uint32_t signature, std::uint32_t version, int lead) {
    std::string b(static_cast<std::size_t>(lead), 'x');
    b += std::string("\x5c\x03\x34\x00\x00\x00", 6);
    for (char ch : std::string("VS_VERSION_INFO")) b += std::string{ch, '\0'};
    b += std::string(2, '\0');  // the key's final zero
    b += std::string(2, '\0');  // padding to 32 bits
    for (std::uint32_t v : {signature, 0x00010000u, version, 0x00000001u})
      for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
  };
  struct Case {
    std::string bytes;
    int version;
  } cases[] = {
      {resource(0xFEEF04BD, 0x00050050, 64), 0x00050050},  // 5.80
      {resource(0xFEEF04BD, 0x00040046, 3), 0x00040046},   // 4.70
      {resource(0x12345678, 0x00050050, 64), -1},          // not a fixed block
      {"MZ no resources here", -1},
      {resource(0xFEEF04BD, 0x00050050, 64).substr(0, 90), -1},  // cut short
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::filesystem::path file = dir / ("f" + std::to_string(n++) + ".dll");
    std::ofstream(file, std::ios::binary) << c.bytes;
    EXPECT_EQ(FileVersion(file.string()), c.version) << file;
  }
  EXPECT_EQ(FileVersion((dir / "missing.dll").string()), -1);
  std::filesystem::remove_all(dir);
}

TEST_F(CellControls, PictureOfEachControlOpen) {
  const char* shot = std::getenv("VX_EDITORS_SCREENSHOT");
  if (!shot) GTEST_SUCCEED() << "saved only under Xvfb";
  grid->SetLookup(true);
  std::vector<QImage> pictures;
  for (int col : {1, 2, 4, 5, 6, 7, 8, 9}) {
    TWinControl* control = Open(col, 2);
    ASSERT_NE(control, nullptr) << "column " << col;
    Application->ProcessMessages();
    // The rows and the columns up to the last control's.
    pictures.push_back(
        form->Widget()->grab(QRect(0, 0, grid->CellRect(10, 0).Left, grid->CellRect(0, 4).Bottom + 4)).toImage());
    vx::SendKey(control, VK_ESCAPE);
  }
  if (!shot) return;
  QImage all(pictures[0].width(), pictures[0].height() * static_cast<int>(pictures.size()), QImage::Format_RGB32);
  QPainter painter(&all);
  for (std::size_t i = 0; i < pictures.size(); ++i)
    painter.drawImage(0, static_cast<int>(i) * pictures[0].height(), pictures[i]);
  painter.end();
  std::filesystem::create_directories(std::filesystem::path(shot).parent_path());
  EXPECT_TRUE(all.save(QString::fromLocal8Bit(shot), "PNG"));
}

}  // namespace
