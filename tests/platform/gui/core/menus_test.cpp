// Menus built and changed at run time; actions shared by items.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>

#include "tests/platform/gui/gui_test_support.h"
#include "platform/gui/core/actions.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/controls/stdctrls.h"

namespace {

using Menus = GuiTest;

TEST_F(Menus, ItemsAreInsertedAndDeletedAtRunTime) {
  auto* f = new TForm(nullptr);
  auto* menu = new TMainMenu(f);
  f->SetMenu(menu);
  auto* base = new TMenuItem(f);
  base->SetCaption("&База"_cp);
  menu->Items()->Add(base);
  auto* open = new TMenuItem(f);
  open->SetName("OpenMain");
  open->SetCaption("Открыть"_cp);
  auto* line = new TMenuItem(f);
  line->SetCaption("-");
  base->Add(open);
  base->Add(line);
  EXPECT_TRUE(line->IsLine());
  // A plain line: styles show a separator's text as a title ("-").
  EXPECT_TRUE(line->QtAction()->isSeparator());
  EXPECT_TRUE(line->QtAction()->text().isEmpty());

  // A recent-file entry made at run time, unnamed, read back through Sender.
  auto* recent = new TMenuItem(f);
  recent->SetCaption("C:\\bases\\lotto.dbf");
  recent->SetHint("C:\\bases\\lotto.dbf");
  AnsiString opened;
  recent->OnClick = [&](TObject* sender) { opened = static_cast<TMenuItem*>(sender)->Hint(); };
  base->Insert(base->Count(), recent);
  EXPECT_EQ(base->Count(), 3);
  EXPECT_EQ(recent->MenuIndex(), 2);
  recent->Click();
  EXPECT_EQ(opened, "C:\\bases\\lotto.dbf");

  base->Delete(2);  // taken out, still owned by the form
  EXPECT_EQ(base->Count(), 2);
  EXPECT_EQ(recent->Parent(), nullptr);
  delete recent;
  EXPECT_EQ(base->Find("Открыть"_cp), open);
  delete open;  // a destroyed item leaves its parent
  EXPECT_EQ(base->Count(), 1);
  EXPECT_THROW(base->Items(5), EListError);
  delete f;
}

TEST_F(Menus, DisabledItemsDoNotRunTheirHandler) {
  TMenuItem item(nullptr);
  int clicks = 0;
  item.OnClick = [&](TObject*) { ++clicks; };
  item.SetEnabled(false);
  item.Click();
  EXPECT_EQ(clicks, 0);
}

TEST_F(Menus, ShortCutsRoundTripThroughTheirText) {
  EXPECT_EQ(ShortCutToText(ShortCut(VK_INSERT, {})), "Ins");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, TShiftState{ssShift})), "Shift+Del");
  EXPECT_EQ(ShortCutToText(ShortCut('S', TShiftState{ssCtrl})), "Ctrl+S");
  TMenuItem root(nullptr);
  auto* del = new TMenuItem(&root);
  del->SetShortCut(ShortCut(VK_DELETE, TShiftState{ssShift}));
  root.Add(del);
  EXPECT_EQ(FindShortCut(&root, ShortCut(VK_DELETE, TShiftState{ssShift})), del);
  EXPECT_EQ(FindShortCut(&root, ShortCut(VK_INSERT, {})), nullptr);
}

TEST_F(Menus, PopupMenuOpensOnRightButtonReleaseAfterOnMouseUp) {
  auto* f = new TForm(nullptr);
  auto* pm = new TPopupMenu(f);
  auto* item = new TMenuItem(f);
  item->SetCaption("x");
  pm->Items()->Add(item);
  auto* memo = new TMemo(f, f);
  memo->SetPopupMenu(pm);
  std::string order;
  memo->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) {
    if (b == mbRight) order += "up;";
  };
  pm->OnPopup = [&](TObject*) { order += "popup;"; };
  f->Show();
  vx::SendClick(memo, 5, 5, mbRight);
  EXPECT_EQ(order, "up;popup;");
  EXPECT_EQ(pm->PopupComponent(), memo);
  vx::ClosePopups();
  delete pm;  // the control forgets a destroyed menu
  EXPECT_EQ(memo->PopupMenu(), nullptr);
  delete f;
}

// A handler that opened a dialog used to run inside the menu's own mouse
// handling, with the menu window still alive (and deleted twice later).
TEST_F(Menus, APopupItemRunsItsHandlerAfterTheMenuHasClosed) {
  auto* f = new TForm(nullptr);
  auto* pm = new TPopupMenu(f);
  auto* item = new TMenuItem(f);
  item->SetCaption("&Delete");
  pm->Items()->Add(item);
  auto* memo = new TMemo(f, f);
  memo->SetPopupMenu(pm);
  int runs = 0;
  bool menuShownInHandler = true;
  item->OnClick = [&](TObject* sender) {
    ++runs;
    EXPECT_EQ(sender, item);
    menuShownInHandler = QApplication::activePopupWidget() != nullptr;
  };
  f->Show();
  for (int round = 0; round < 3; ++round) {
    vx::SendClick(memo, 5, 5, mbRight);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    ASSERT_TRUE(vx::ChoosePopupItem("Delete"));
    EXPECT_EQ(runs, round) << "not inside the menu";
    Application->ProcessMessages();
    EXPECT_EQ(runs, round + 1);
    EXPECT_FALSE(menuShownInHandler);
  }
  // An item destroyed before its turn comes runs nothing.
  vx::SendClick(memo, 5, 5, mbRight);
  ASSERT_TRUE(vx::ChoosePopupItem("Delete"));
  delete item;
  Application->ProcessMessages();
  EXPECT_EQ(runs, 3);
  delete f;
}

TEST_F(Menus, ActionsDriveTheirItemsAndRunOnUpdate) {
  auto* f = new TForm(nullptr);
  auto* list = new TActionList(f);
  auto* act = new TAction(f);
  act->SetActionList(list);
  act->SetCaption("Go");
  int runs = 0;
  bool canRun = true;
  act->OnExecute = [&](TObject*) { ++runs; };
  act->OnUpdate = [&](TObject* s) { static_cast<TAction*>(s)->SetEnabled(canRun); };
  auto* item = new TMenuItem(f);
  item->SetAction(act);
  auto* button = new TButton(f, f);
  button->SetAction(act);
  EXPECT_EQ(item->Caption(), "Go");
  EXPECT_EQ(button->Caption(), "Go");
  item->Click();
  button->Click();
  EXPECT_EQ(runs, 2);
  canRun = false;
  list->UpdateActions();
  EXPECT_FALSE(item->Enabled());
  EXPECT_FALSE(button->Enabled());
  delete act;
  EXPECT_EQ(item->Action(), nullptr);
  delete f;
}

// Runs the program's loop for a moment, as the user's program waits for input.
void RunLoopFor(int ms) {
  bool over = false;
  QTimer::singleShot(ms, [&over] { over = true; });
  while (!over) Application->HandleMessage();
}

TEST_F(Menus, ActionsOfShownFormsUpdateWhenTheProgramGoesIdle) {
  auto* f = new TForm(nullptr);
  auto* list = new TActionList(f);
  auto* act = new TAction(f);
  act->SetActionList(list);
  int updates = 0;
  act->OnUpdate = [&](TObject*) { ++updates; };
  RunLoopFor(30);
  EXPECT_EQ(updates, 0) << "a hidden form's actions wait";
  f->Show();
  RunLoopFor(30);
  EXPECT_GT(updates, 0);
  f->Hide();
  RunLoopFor(30);
  const int seen = updates;
  RunLoopFor(30);
  EXPECT_EQ(updates, seen);
  delete f;
}

}  // namespace
