// Change events of the standard controls: a value set from code fires the
// event that typing fires, exactly once, and nothing when unchanged.
#include <gtest/gtest.h>

#include <QEvent>
#include <QPalette>
#include <QProgressBar>
#include <QWidget>

#include "tests/platform/gui/gui_test_support.h"
#include "platform/gui/controls/buttons.h"
#include "platform/gui/controls/comctrls.h"
#include "platform/gui/controls/datetimepicker.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/controls/spin.h"
#include "platform/gui/controls/stdctrls.h"

namespace {

class Controls : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    form = new TForm(nullptr);
  }
  void TearDown() override {
    delete form;
    GuiTest::TearDown();
  }
  TForm* form = nullptr;
};

TEST_F(Controls, EditTextFromCodeFiresOnChangeOnceAndNotWhenUnchanged) {
  auto* e = new TEdit(form, form);
  int changes = 0;
  e->OnChange = [&](TObject* s) {
    EXPECT_EQ(s, e);
    ++changes;
  };
  e->SetText("abc");
  EXPECT_EQ(changes, 1);
  e->SetText("abc");
  EXPECT_EQ(changes, 1);
  vx::SendText(e, "d");  // typing fires too
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(e->Text(), "abcd");
}

TEST_F(Controls, SpinEditClampsAndReadsNonNumericTextAsTheClampedDefault) {
  auto* se = new TSpinEdit(form, form);
  se->SetMinValue(1);
  se->SetMaxValue(100);
  int changes = 0;
  se->OnChange = [&](TObject*) { ++changes; };
  se->SetValue(500);
  EXPECT_EQ(se->Value(), 100);
  EXPECT_EQ(se->Text(), "100");
  EXPECT_EQ(changes, 1);
  se->SetValue(100);  // the value it shows: no event
  EXPECT_EQ(changes, 1);
  se->SetText("");
  EXPECT_EQ(se->Value(), 1);
  se->SetText("x7");
  EXPECT_EQ(se->Value(), 1);
  se->SetText("-5");
  EXPECT_EQ(se->Value(), 1);
  se->SetText("42");
  EXPECT_EQ(se->Value(), 42);
}

TEST_F(Controls, SpinEditWithoutLimitsAndPerKeystrokeChanges) {
  auto* se = new TSpinEdit(form, form);
  se->SetValue(-7);  // MinValue == MaxValue: no limits
  EXPECT_EQ(se->Value(), -7);
  se->SetText("");
  int changes = 0;
  std::vector<int> seen;
  se->OnChange = [&](TObject*) {
    ++changes;
    seen.push_back(se->Value());
  };
  vx::SendText(se, "82");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(seen, (std::vector<int>{8, 82}));
  vx::SendText(se, "a");  // rejected: the text keeps its digits
  EXPECT_EQ(se->Text(), "82");
}

// A typed number outside the limits, of any length, reads as the nearer
// limit (a number too long for an integer used to read as MinValue), and
// leaving the edit shows the value it reads.
TEST_F(Controls, SpinEditShowsTheValueItUsesWhenItLosesTheFocus) {
  auto* se = new TSpinEdit(form, form);
  se->SetMinValue(1);
  se->SetMaxValue(999999999);
  auto* other = new TEdit(form, form);
  other->SetTop(40);
  form->Show();
  const struct {
    const char* typed;
    int value;
  } cases[] = {{"99999999999", 999999999}, {"1000000000", 999999999}, {"-99999999999", 1}, {"-5", 1},
               {"0", 1},                   {"", 1},                    {"-", 1},            {"42", 42}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    se->SetValue(7);
    se->SetFocus();
    ASSERT_TRUE(vx::WaitForFocus(se));
    se->SetText("");
    vx::SendText(se, c.typed);
    EXPECT_EQ(se->Text(), c.typed);
    EXPECT_EQ(se->Value(), c.value);
    int changes = 0;
    se->OnChange = [&](TObject*) { ++changes; };
    other->SetFocus();
    ASSERT_TRUE(vx::WaitForFocus(other));
    EXPECT_EQ(se->Text(), IntToStr(c.value));
    EXPECT_EQ(se->Value(), c.value);
    EXPECT_EQ(changes, IntToStr(c.value) == c.typed ? 0 : 1);
    se->OnChange = nullptr;
  }
  form->Hide();
}

TEST_F(Controls, SpinEditArrowKeysStepByIncrement) {
  auto* se = new TSpinEdit(form, form);
  se->SetMinValue(0);
  se->SetMaxValue(10);
  se->SetIncrement(3);
  se->SetValue(9);
  vx::SendKey(se, VK_UP);
  EXPECT_EQ(se->Value(), 10);
  vx::SendKey(se, VK_DOWN);
  EXPECT_EQ(se->Value(), 7);
}

TEST_F(Controls, DateTimePickerKeepsTheOtherPartAndFiresOnChangeOnce) {
  auto* picker = new TDateTimePicker(form, form);
  int changes = 0;
  picker->OnChange = [&](TObject*) { ++changes; };
  picker->SetDateTime(EncodeDate(2001, 3, 5) + EncodeTime(10, 30, 0, 0));
  picker->SetDate(EncodeDate(2002, 1, 31));
  EXPECT_DOUBLE_EQ(picker->DateTime(), EncodeDate(2002, 1, 31) + EncodeTime(10, 30, 0, 0));
  picker->SetTime(EncodeTime(23, 0, 0, 0));
  EXPECT_DOUBLE_EQ(picker->Date(), EncodeDate(2002, 1, 31));
  picker->SetDate(EncodeDate(2002, 1, 31));  // unchanged: no event
  EXPECT_EQ(changes, 3);
  picker->SetKind(dtkTime);
  EXPECT_DOUBLE_EQ(picker->Time(), EncodeTime(23, 0, 0, 0));
  EXPECT_FALSE(picker->DroppedDown());
}

TEST_F(Controls, CheckBoxCheckedFromCodeFiresOnClick) {
  auto* cb = new TCheckBox(form, form);
  int clicks = 0;
  cb->OnClick = [&](TObject*) { ++clicks; };
  cb->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  cb->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  cb->SetChecked(false);
  EXPECT_EQ(clicks, 2);
  vx::SendClick(cb, 5, 5);
  EXPECT_EQ(clicks, 3);
  EXPECT_TRUE(cb->Checked());
}

TEST_F(Controls, RadioButtonsOfOneParentExcludeEachOther) {
  auto* a = new TRadioButton(form, form);
  auto* b = new TRadioButton(form, form);
  int clicksB = 0;
  b->OnClick = [&](TObject*) { ++clicksB; };
  a->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_EQ(clicksB, 1);
  b->SetChecked(false);
  EXPECT_EQ(clicksB, 1);  // unchecking is no click
}

TEST_F(Controls, ScrollBarPositionIsClampedAndFiresOnChange) {
  auto* sb = new TScrollBar(form, form);
  sb->SetKind(sbVertical);
  int changes = 0;
  sb->OnChange = [&](TObject*) { ++changes; };
  sb->SetPosition(40);
  sb->SetPosition(40);
  sb->SetPosition(250);
  EXPECT_EQ(sb->Position(), 100);
  sb->SetPosition(-3);
  EXPECT_EQ(sb->Position(), 0);
  EXPECT_EQ(changes, 3);
  EXPECT_GT(sb->Height(), sb->Width());
}

TEST_F(Controls, ProgressBarStepItWrapsToMinAndPositionZeroResets) {
  auto* pb = new TProgressBar(form, form);
  EXPECT_EQ(pb->Step(), 10);
  for (int i = 0; i < 10; ++i) pb->StepIt();
  EXPECT_EQ(pb->Position(), 100);
  pb->StepIt();  // past Max
  EXPECT_EQ(pb->Position(), 0);
  pb->StepIt();
  EXPECT_EQ(pb->Position(), 10);
  pb->SetPosition(0);
  EXPECT_EQ(pb->Position(), 0);
  pb->SetMax(0);  // an empty range is accepted
  pb->StepIt();
  EXPECT_EQ(pb->Position(), 0);
  Application->ProcessMessages();
  // It used to show Qt's endlessly animated busy indicator.
  auto* bar = static_cast<QProgressBar*>(pb->Widget());
  EXPECT_NE(bar->maximum(), bar->minimum());
  EXPECT_EQ(bar->value(), bar->minimum());

  // A shown bar takes its value and is painted with the next pump, not at
  // every step (a loop stepping it per record used to paint the whole
  // window per record, and to have Qt weigh a repaint at every step).
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      paints += e->type() == QEvent::Paint;
      return false;
    }
  } counter;
  pb->SetMax(100);
  form->Show();
  Application->ProcessMessages();
  bar->installEventFilter(&counter);
  int changes = 0;
  QObject::connect(bar, &QProgressBar::valueChanged, [&changes] { ++changes; });
  for (int i = 0; i < 50; ++i) pb->StepIt();
  EXPECT_EQ(counter.paints, 0);
  EXPECT_EQ(changes, 0);
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(bar->value(), pb->Position());
  EXPECT_GE(counter.paints, 1);
  bar->removeEventFilter(&counter);
}

TEST_F(Controls, MemoLinesAndTypingStayInStep) {
  auto* m = new TMemo(form, form);
  int changes = 0;
  m->OnChange = [&](TObject*) { ++changes; };
  m->Lines()->Add("one");
  m->Lines()->Add("two");
  EXPECT_EQ(changes, 2);
  m->Lines()->Clear();
  m->Lines()->Add("x");
  EXPECT_EQ(m->Lines()->Count(), 1);
  vx::SendText(m, "y");
  EXPECT_EQ(m->Lines()->Count(), 1);
  EXPECT_EQ(m->Lines()->Strings(0).size(), 2u);
  EXPECT_EQ(m->Text(), m->Lines()->Strings(0) + "\r\n");
}

TEST_F(Controls, ListAndComboBoxItemsAndIndexes) {
  auto* lb = new TListBox(form, form);
  lb->Items()->Add("a");
  lb->Items()->Add("b");
  EXPECT_EQ(lb->ItemIndex(), -1);
  lb->SetItemIndex(1);
  EXPECT_EQ(lb->ItemIndex(), 1);
  lb->SetItemIndex(7);
  EXPECT_EQ(lb->ItemIndex(), -1);
  lb->Items()->Clear();
  EXPECT_EQ(lb->Count(), 0);

  auto* cb = new TComboBox(form, form);
  cb->Items()->SetText("x\r\ny\r\n");
  int changes = 0;
  cb->OnChange = [&](TObject*) { ++changes; };
  cb->SetItemIndex(1);
  EXPECT_EQ(cb->Text(), "y");
  EXPECT_EQ(changes, 0);  // only the user's choice fires
  vx::SendText(cb, "q");
  EXPECT_EQ(changes, 1);
  cb->SetStyle(csDropDownList);
  cb->SetStyle(csDropDown);
  cb->SetStyle(csDropDown);
  vx::SendText(cb, "r");
  EXPECT_EQ(changes, 2);  // once per keystroke, however often the style was set
}

TEST_F(Controls, ButtonClickFromCodeAndFromTheMouse) {
  auto* b = new TButton(form, form);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  b->Click();
  vx::SendClick(b);
  EXPECT_EQ(clicks, 2);
  b->SetEnabled(false);
  vx::SendClick(b);
  EXPECT_EQ(clicks, 2);
  // A disabled button shows grey text whatever its font colour says.
  b->Font()->SetColor(clRed);
  const QPalette pal = b->Widget()->palette();
  EXPECT_EQ(pal.color(QPalette::Active, QPalette::ButtonText), QColor(255, 0, 0));
  EXPECT_NE(pal.color(QPalette::Disabled, QPalette::ButtonText), QColor(255, 0, 0));
  EXPECT_FALSE(b->Widget()->isEnabled());
}

TEST_F(Controls, AlignmentLaysChildrenOutInOrder) {
  form->SetBounds(0, 0, 300, 200);
  auto* top = new TPanel(form, form);
  top->SetHeight(30);
  top->SetAlign(alTop);
  auto* status = new TStatusBar(form, form);  // bottom by default
  auto* left = new TPanel(form, form);
  left->SetWidth(50);
  left->SetAlign(alLeft);
  auto* rest = new TPanel(form, form);
  rest->SetAlign(alClient);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 30));
  EXPECT_EQ(status->BoundsRect(), Rect(0, 181, 300, 200));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 50, 181));
  EXPECT_EQ(rest->BoundsRect(), Rect(50, 30, 300, 181));
  form->SetWidth(400);
  EXPECT_EQ(rest->Width(), 350);
}

TEST_F(Controls, ParentDestroysItsChildrenAndOwnerForgetsThem) {
  auto* panel = new TPanel(form, form);
  auto* inner = new TButton(form, panel);
  inner->SetName("btnInner");
  EXPECT_EQ(form->FindComponent("btnInner"), inner);
  delete panel;
  EXPECT_EQ(form->FindComponent("btnInner"), nullptr);
  EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(Controls, PageControlToleratesOutOfRangeIndexes) {
  auto* pc = new TPageControl(form, form);
  auto* a = new TTabSheet(form, pc);
  auto* b = new TTabSheet(form, pc);
  b->SetCaption("Б"_cp);
  EXPECT_EQ(pc->PageCount(), 2);
  pc->SetActivePageIndex(1);
  EXPECT_EQ(pc->ActivePage(), b);
  pc->SetActivePageIndex(9);
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  pc->SetActivePage(a);
  EXPECT_EQ(pc->ActivePageIndex(), 0);
  delete a;
  EXPECT_EQ(pc->PageCount(), 1);
  EXPECT_EQ(b->PageIndex(), 0);
}

TEST_F(Controls, SpeedButtonsOfAGroupStayDownOneAtATime) {
  auto* a = new TSpeedButton(form, form);
  auto* b = new TSpeedButton(form, form);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  a->SetDown(true);
  b->Click();
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  b->Click();  // without AllowAllUp the last one stays down
  EXPECT_TRUE(b->Down());
}

TEST_F(Controls, BitBtnKindSetsCaptionAndModalResult) {
  auto* b = new TBitBtn(form, form);
  b->SetKind(bkCancel);
  EXPECT_EQ(b->Caption(), "Cancel");
  EXPECT_EQ(b->ModalResult(), mrCancel);
}

TEST_F(Controls, TimerFiresThroughTheEventLoop) {
  auto* t = new TTimer(form);
  t->SetInterval(1);
  int ticks = 0;
  t->OnTimer = [&](TObject*) { ++ticks; };
  for (int i = 0; i < 2000 && ticks == 0; ++i) Application->HandleMessage();
  EXPECT_GT(ticks, 0);
  t->SetEnabled(false);
}

}  // namespace
