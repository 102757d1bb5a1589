// The editor controls under the offscreen platform: spin editors with their
// keys, auto-repeat and clipboard rules, the edit with button and the unit
// edit, the flat combo box's states; the platform's combo list events and
// the edit's paste interception they stand on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QWidget>
#include <string>

#include "RichGrid/edit_button.h"
#include "RichGrid/flat_combo.h"
#include "RichGrid/spin_edit.h"
#include "platform/gui/draw/bitmap.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/shell.h"
#include "tests/platform/gui/gui_test_support.h"

namespace {

class EditorControls : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    form = new TForm(nullptr);
  }
  void TearDown() override {
    vx::ClosePopups();
    delete form;
    GuiTest::TearDown();
  }
  TForm* form = nullptr;
};

TEST_F(EditorControls, SpinEditKeysAutoRepeatAndClipboard) {
  auto* spin = new TRsgSpinEdit(form, form);
  spin->SetMinValue(1);
  spin->SetMaxValue(81);
  spin->SetValue(80);
  int changes = 0;
  spin->OnChange = [&](TObject*) { ++changes; };
  vx::SendKey(spin, VK_UP);
  vx::SendKey(spin, VK_UP);  // clamped at the maximum: no change
  EXPECT_EQ(spin->Value(), 81);
  EXPECT_EQ(changes, 1);
  vx::SendKey(spin, VK_DOWN);
  EXPECT_EQ(spin->Text(), "80");
  spin->SelectAll();
  const int beeps = vx::BeepCount();
  vx::SendText(spin, "7x");  // the letter is refused with a beep
  EXPECT_EQ(spin->Text(), "7");
  EXPECT_EQ(vx::BeepCount(), beeps + 1);

  // Auto-repeat: a click after 400 ms, then every 100 ms while held down.
  TRichTimerSpeedButton* up = spin->Button()->UpButton();
  vx::SendMouseDown(up, 2, 2);
  ASSERT_NE(up->RepeatTimer(), nullptr);
  EXPECT_TRUE(up->RepeatTimer()->Enabled());
  EXPECT_EQ(up->RepeatTimer()->Interval(), 400);
  EXPECT_EQ(spin->Text(), "7");
  up->RepeatTimer()->Fire();
  EXPECT_EQ(up->RepeatTimer()->Interval(), 100);
  up->RepeatTimer()->Fire();
  EXPECT_EQ(spin->Text(), "9");
  vx::SendMouseUp(up, 2, 2);  // the release is the button's own click
  EXPECT_FALSE(up->RepeatTimer()->Enabled());
  EXPECT_EQ(spin->Text(), "10");

  QApplication::clipboard()->setText("55");
  spin->SetEditorEnabled(false);
  spin->SelectAll();
  vx::SendKey(spin, 'V', TShiftState{ssCtrl});
  vx::SendKey(spin, VK_INSERT, TShiftState{ssShift});
  spin->PasteFromClipboard();
  EXPECT_EQ(spin->Text(), "10");
  spin->SetEditorEnabled(true);
  spin->SelectAll();
  vx::SendKey(spin, 'V', TShiftState{ssCtrl});
  EXPECT_EQ(spin->Text(), "55");

  auto* hex = new TRichSpinEdit(form, form);
  hex->SetSpinType(sptHex);
  EXPECT_EQ(hex->Text(), "0x0");
  hex->SetHexValue(255);
  hex->SetSelStart(4);
  vx::SendKey(hex, VK_UP);
  EXPECT_EQ(hex->HexValue(), 256);
  hex->SetDirection(spHorizontal);
  EXPECT_EQ(hex->Button()->Width(), 20);
  EXPECT_EQ(hex->Button()->UpButton()->ArrowKind(), 1);
  hex->SetReadOnly(true);
  hex->UpClick(hex);  // read-only: only a beep
  EXPECT_EQ(hex->HexValue(), 256);
}

TEST_F(EditorControls, EditButtonAndUnitEdit) {
  auto* edit = new TRsgEditBtn(form, form);
  EXPECT_EQ(edit->Text(), "0");
  int clicks = 0;
  edit->OnClickBtn = [&](TObject*) { ++clicks; };
  vx::SendKey(edit, VK_F4);
  EXPECT_EQ(clicks, 1);
  edit->SetEditorEnabled(false);
  edit->SelectAll();
  vx::SendText(edit, "ab");
  QApplication::clipboard()->setText("zz");
  vx::SendKey(edit, 'V', TShiftState{ssCtrl});
  vx::SendKey(edit, 'X', TShiftState{ssCtrl});
  EXPECT_EQ(edit->Text(), "0");
  vx::SendClick(edit->EditButton()->Button());
  EXPECT_EQ(clicks, 2);
  edit->EditButton()->SetWidth(5);
  EXPECT_EQ(edit->EditButton()->Width(), 15);

  auto* units = new TRsgUnitEditBtn(form, form);
  EXPECT_TRUE(units->RightAlign());
  EXPECT_EQ(units->UnitSpace(), 20);
  units->BtnClick();  // no units: an empty menu
  EXPECT_EQ(units->UnitMenu()->Items()->Count(), 0);
  units->Units()->Add("mm");
  units->Units()->Add("cm");
  units->BtnClick();
  ASSERT_EQ(units->UnitMenu()->Items()->Count(), 2);
  EXPECT_EQ(units->UnitMenu()->Items()->Items(1)->Tag(), 2);
  units->UnitMenu()->Items()->Items(1)->Click();
  EXPECT_EQ(units->UnitID(), "cm");
  EXPECT_EQ(units->UnitLabel()->Caption(), "cm");
  units->SetBounds(0, 0, 120, 21);
  EXPECT_EQ(units->UnitLabel()->Left(), units->ClientWidth() - units->EditButton()->Width() - 3 - 20);
}

// The edit with button used to keep any height it was given, down to a
// sliver that showed no text, and entering it with AutoSelect selected
// nothing.
TEST_F(EditorControls, EditButtonHeightAndSelectionOnEntering) {
  int previousLeast = 0;
  for (int size : {8, 12, 20}) {
    for (bool units : {false, true}) {
      SCOPED_TRACE(std::to_string(size) + (units ? " unit edit" : " edit"));
      TRsgEditBtn* edit = units ? new TRsgUnitEditBtn(form, form) : new TRsgEditBtn(form, form);
      edit->Font()->SetSize(size);
      TBitmap probe;
      probe.Canvas()->Font()->Assign(*edit->Font());
      const int text = probe.Canvas()->TextHeight("Wg");
      for (int asked : {0, 4, text - 1}) {
        edit->SetBounds(0, 0, 100, asked);
        EXPECT_GE(edit->Height(), text) << asked;
        EXPECT_LE(edit->Height(), text + text / 4 + 2) << asked;
        EXPECT_GE(edit->EditButton()->Height(), 1) << asked;
      }
      const int least = edit->Height();
      EXPECT_GT(least, previousLeast);
      if (units) previousLeast = least;
      edit->SetBounds(0, 0, 100, least + 30);  // taller stays taller
      EXPECT_EQ(edit->Height(), least + 30);
      delete edit;
    }
  }

  struct Case {
    bool autoSelect;
    Qt::FocusReason reason;
    int selected;
  } cases[] = {
      {true, Qt::OtherFocusReason, 5},  {true, Qt::ActiveWindowFocusReason, 5}, {true, Qt::MouseFocusReason, 0},
      {false, Qt::OtherFocusReason, 0}, {false, Qt::MouseFocusReason, 0},
  };
  for (const Case& c : cases) {
    auto* edit = new TRsgEditBtn(form, form);
    EXPECT_TRUE(edit->AutoSelect());
    edit->SetAutoSelect(c.autoSelect);
    edit->SetText("12345");
    edit->SetSelStart(2);
    edit->SetSelLength(0);
    QFocusEvent in(QEvent::FocusIn, c.reason);
    QCoreApplication::sendEvent(edit->Widget(), &in);
    EXPECT_EQ(edit->SelLength(), c.selected) << c.autoSelect << " " << c.reason;
    delete edit;
  }
}

TEST_F(EditorControls, FlatComboStatesAndListEvents) {
  form->SetColor(clAqua);
  auto* combo = new TRichComboBox(form, form);
  combo->SetColor(clYellow);
  const int initial = combo->ButtonWidth();
  EXPECT_GE(initial, 14);
  combo->SetButtonWidth(40);
  EXPECT_EQ(combo->ButtonWidth(), initial);
  combo->SetButtonWidth(20);
  EXPECT_EQ(combo->ButtonWidth(), 20);

  combo->SetEnabled(false);
  EXPECT_EQ(combo->Color(), clAqua);
  combo->SetEnabled(true);
  EXPECT_EQ(combo->Color(), clYellow);

  vx::RecordingDevice cold;
  TCanvas coldCanvas(&cold);
  combo->PaintFlat(&coldCanvas);
  vx::SendEnter(combo);
  EXPECT_TRUE(combo->ButtonHot());
  EXPECT_FALSE(combo->BorderHot());
  combo->SetFocusBorder(true);
  EXPECT_TRUE(combo->BorderHot());
  vx::RecordingDevice hot;
  TCanvas hotCanvas(&hot);
  combo->PaintFlat(&hotCanvas);
  EXPECT_NE(cold.Calls, hot.Calls);
  vx::SendLeave(combo);
  EXPECT_FALSE(combo->ButtonHot());

  int opened = 0, closed = 0;
  combo->OnDropDown = [&](TObject*) { ++opened; };
  combo->OnCloseUp = [&](TObject*) { ++closed; };
  combo->Items()->Add("Abc");
  form->Show();
  combo->SetDroppedDown(true);
  EXPECT_TRUE(combo->DroppedDown());
  combo->SetDroppedDown(false);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(closed, 1);
  form->Hide();
}

}  // namespace
