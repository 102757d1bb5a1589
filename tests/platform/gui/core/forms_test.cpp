// Forms: creation and close sequence, modal results, the default exception
// handler, and pumping inside a long loop.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <string>

#include "tests/platform/gui/gui_test_support.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/controls/stdctrls.h"
#include "platform/rtl/codepages.h"

namespace {

class TfrmSample : public TForm {
 public:
  explicit TfrmSample(TComponent* AOwner) : TForm(AOwner) {
    SetName("frmSample");
    btnOk = new TButton(this, this);
    btnOk->SetName("btnOk");
    btnOk->SetModalResult(mrOk);
    OnCreate = [this](TObject*) { events += "create;"; };
    OnShow = [this](TObject*) { events += "show;"; };
    OnActivate = [this](TObject*) { events += "activate;"; };
    OnClose = [this](TObject*, TCloseAction&) { events += "close;"; };
  }
  TButton* btnOk;
  std::string events;
};

using Forms = GuiTest;

TEST_F(Forms, CreateShowAndCloseRunTheirEventsInOrder) {
  auto* f = vx::NewForm<TfrmSample>(nullptr);
  f->Show();
  EXPECT_TRUE(f->Visible());
  f->Close();
  EXPECT_FALSE(f->Visible());
  EXPECT_EQ(f->events, "create;show;activate;close;");
  f->Show();  // OnCreate only once
  f->Hide();
  EXPECT_EQ(f->events, "create;show;activate;close;show;activate;");
  delete f;
}

TEST_F(Forms, OnCloseQueryCanVetoAClose) {
  auto* f = vx::NewForm<TfrmSample>(nullptr);
  bool allow = false;
  f->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
  f->Show();
  f->Close();
  EXPECT_TRUE(f->Visible());
  vx::SendCloseRequest(f);  // the window's close button asks the same
  EXPECT_TRUE(f->Visible());
  allow = true;
  vx::SendCloseRequest(f);
  EXPECT_FALSE(f->Visible());
  delete f;
}

TEST_F(Forms, CloseActionFreeDestroysTheFormLater) {
  auto* owner = new TForm(nullptr);
  auto* f = new TfrmSample(owner);
  f->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  f->Show();
  f->Close();
  EXPECT_EQ(owner->ComponentCount(), 1);
  for (int i = 0; i < 20 && owner->ComponentCount() > 0; ++i) Application->HandleMessage();
  EXPECT_EQ(owner->ComponentCount(), 0);
  delete owner;
}

TEST_F(Forms, ShowModalReturnsTheResultTheButtonSets) {
  auto* f = vx::NewForm<TfrmSample>(nullptr);
  dialogs.Expect(vx::DialogKind::Modal, "", [&](vx::DialogRequest& r) {
    EXPECT_EQ(r.Form, f);
    EXPECT_TRUE(f->Visible());
    vx::SendClick(f->btnOk);
    return f->ModalResult();
  });
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_FALSE(f->Visible());
  EXPECT_EQ(f->events, "create;show;activate;close;");
  dialogs.Expect(vx::DialogKind::Modal, "", mrCancel);
  EXPECT_EQ(f->ShowModal(), mrCancel);
  delete f;
}

TEST_F(Forms, ModalLoopEndsWhenModalResultIsSetAndTheFormMayClose) {
  // The real service: the loop pumps until the result is set.
  vx::DialogService* scripted = vx::SetDialogService(nullptr);
  auto* f = vx::NewForm<TfrmSample>(nullptr);
  int queries = 0;
  f->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
  f->OnShow = [&](TObject*) { vx::PostClick(f->btnOk); };
  f->OnActivate = nullptr;
  // The first OK is vetoed by OnCloseQuery; a second click ends the loop.
  f->OnCloseQuery = [&](TObject*, bool& canClose) {
    canClose = ++queries > 1;
    if (!canClose) vx::PostClick(f->btnOk);
  };
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_EQ(queries, 2);
  vx::SetDialogService(scripted);
  delete f;
}

TEST_F(Forms, ExceptionInAHandlerReachesTheApplicationAndTheProgramGoesOn) {
  auto* f = new TForm(nullptr);
  auto* b = new TButton(f, f);
  int after = 0;
  b->OnClick = [&](TObject*) {
    if (after++ == 0) throw EConvertError("'x' is not a valid integer value");
  };
  dialogs.Expect(vx::DialogKind::Exception, "'x' is not a valid integer value.", mrOk);
  vx::SendClick(b);
  vx::SendClick(b);
  EXPECT_EQ(after, 2);
  ASSERT_EQ(dialogs.Log.size(), 1u);
  EXPECT_EQ(dialogs.Log[0].Type, mtError);

  // OnException replaces the message; EAbort is silent.
  std::string seen;
  Application->OnException = [&](TObject*, Exception& e) { seen = e.Message(); };
  b->OnClick = [](TObject*) { throw Exception("handled"); };
  vx::SendClick(b);
  EXPECT_EQ(seen, "handled");
  Application->OnException = nullptr;
  b->OnClick = [](TObject*) { throw EAbort(""); };
  vx::SendClick(b);
  delete f;
}

TEST_F(Forms, ProcessMessagesInALoopLetsAClickSetAFlag) {
  auto* f = new TForm(nullptr);
  auto* stop = new TButton(f, f);
  bool stopFlag = false;
  stop->OnClick = [&](TObject*) { stopFlag = true; };
  f->Show();
  vx::PostClick(stop);  // the user presses Stop while the loop runs
  int records = 0;
  while (!stopFlag && records < 100000) {
    ++records;
    Application->ProcessMessages();
  }
  EXPECT_TRUE(stopFlag);
  EXPECT_LT(records, 100000);
  delete f;
}

TEST_F(Forms, CoalescedPumpingStillDeliversWithinItsInterval) {
  auto* f = new TForm(nullptr);
  auto* stop = new TButton(f, f);
  bool stopFlag = false;
  stop->OnClick = [&](TObject*) { stopFlag = true; };
  Application->SetPumpInterval(5);
  vx::PostClick(stop);
  for (long i = 0; i < 50000000 && !stopFlag; ++i) Application->ProcessMessages();
  Application->SetPumpInterval(0);
  EXPECT_TRUE(stopFlag);
  delete f;
}

TEST_F(Forms, KeyPreviewShowsKeysToTheFormFirst) {
  auto* f = new TForm(nullptr);
  auto* e = new TEdit(f, f);
  std::string order;
  f->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
    order += "form;";
    if (key == VK_ESCAPE) key = 0;
  };
  e->OnKeyDown = [&](TObject*, Word&, TShiftState) { order += "edit;"; };
  vx::SendKey(e, VK_DOWN);
  EXPECT_EQ(order, "edit;");
  order.clear();
  f->SetKeyPreview(true);
  vx::SendKey(e, VK_DOWN);
  EXPECT_EQ(order, "form;edit;");
  order.clear();
  vx::SendKey(e, VK_ESCAPE);  // swallowed by the form
  EXPECT_EQ(order, "form;");
  delete f;
}

TEST_F(Forms, ApplicationOwnsCreatedFormsInOrderAndTheFirstIsMain) {
  TApplication app(nullptr);
  TfrmSample* first = nullptr;
  app.CreateForm(first);
  auto* second = app.CreateForm<TForm>();
  EXPECT_EQ(app.MainForm(), first);
  EXPECT_EQ(app.ComponentCount(), 2);
  EXPECT_EQ(app.Components(1), second);
  EXPECT_EQ(first->events, "create;");
  EXPECT_EQ(app.FindComponent("frmSample"), first);
  first->Show();
  first->Close();  // closing the main form ends the program
  EXPECT_TRUE(app.Terminated());
}

TEST_F(Forms, FormCentresOnTheScreen) {
  auto* f = new TForm(nullptr);
  f->SetBounds(0, 0, 200, 100);
  f->SetPosition(poScreenCenter);
  f->Show();
  EXPECT_EQ(f->Left(), (Screen->Width() - 200) / 2);
  EXPECT_EQ(f->Top(), (Screen->Height() - 100) / 2);
  delete f;
}

}  // namespace

namespace {

TEST_F(Forms, EnterAndEscapePressTheDefaultAndCancelButtons) {
  auto* f = new TForm(nullptr);
  auto* edit = new TEdit(f, f);
  auto* ok = new TButton(f, f);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = new TButton(f, f);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  std::string pressed;
  ok->OnClick = [&](TObject*) { pressed += "ok;"; };
  cancel->OnClick = [&](TObject*) { pressed += "cancel;"; };
  vx::SendKey(edit, VK_RETURN);
  EXPECT_EQ(f->ModalResult(), mrOk);
  vx::SendKey(edit, VK_ESCAPE);
  EXPECT_EQ(f->ModalResult(), mrCancel);
  cancel->SetEnabled(false);
  vx::SendKey(edit, VK_ESCAPE);
  // A memo keeps its Enter (a line break) from the form.
  auto* memo = new TMemo(f, f);
  vx::SendKey(memo, VK_RETURN);
  EXPECT_EQ(pressed, "ok;cancel;");
  delete f;
}

TEST_F(Forms, AReleasedFormOutlivesTheHandlerThatPumpsMessages) {
  auto* f = new TForm(nullptr);
  auto* b = new TButton(f, f);
  bool destroyedInside = false;
  f->OnDestroy = [&](TObject*) { destroyedInside = true; };
  bool done = false;
  b->OnClick = [&](TObject*) {
    f->Release();
    // A long command keeps pumping; the form must still be there.
    for (int i = 0; i < 20; ++i) Application->ProcessMessages();
    EXPECT_FALSE(destroyedInside);
    done = true;
  };
  vx::SendClick(b);
  EXPECT_TRUE(done);
  for (int i = 0; i < 20 && !destroyedInside; ++i) Application->HandleMessage();
  EXPECT_TRUE(destroyedInside);
}

TEST_F(Forms, HintOfTheControlUnderTheMouseReachesTheApplication) {
  auto* f = new TForm(nullptr);
  auto* b = new TButton(f, f);
  b->SetHint("Остановить расчёт|long part"_cp);
  AnsiString seen;
  Application->OnHint = [&](TObject*) { seen = Application->Hint(); };
  vx::SendEnter(b);
  Application->OnHint = nullptr;
  EXPECT_EQ(seen, b->Hint());
  vx::SendLeave(b);
  EXPECT_EQ(Application->Hint(), "");
  delete f;
}

}  // namespace

namespace {

TEST_F(Forms, TheOwnerIsActivatedAgainAfterAModalChildCloses) {
  auto* main = new TForm(nullptr);
  int activations = 0;
  main->OnActivate = [&](TObject*) { ++activations; };
  main->Show();
  EXPECT_EQ(activations, 1);
  auto* child = vx::NewForm<TfrmSample>(main);
  dialogs.Expect(vx::DialogKind::Modal, "", [&](vx::DialogRequest&) {
    EXPECT_TRUE(child->Active());
    EXPECT_FALSE(main->Active());
    return mrOk;
  });
  child->ShowModal();
  EXPECT_EQ(activations, 2);
  EXPECT_TRUE(main->Active());
  delete main;  // owns the child
}

TEST_F(Forms, AMenuBarTakesItsHeightFromTheClientArea) {
  auto* f = new TForm(nullptr);
  f->SetBounds(0, 0, 300, 200);
  EXPECT_EQ(f->ClientHeight(), 200);
  auto* menu = new TMainMenu(f);
  auto* item = new TMenuItem(f);
  item->SetCaption("&File");
  menu->Items()->Add(item);
  f->SetMenu(menu);
  EXPECT_LT(f->ClientHeight(), 200);
  auto* panel = new TButton(f, f);
  panel->SetAlign(alClient);
  EXPECT_EQ(panel->Height(), f->ClientHeight());
  delete menu;  // the form forgets it
  EXPECT_EQ(f->Menu(), nullptr);
  EXPECT_EQ(f->ClientHeight(), 200);
  delete f;
}

}  // namespace

namespace {

TEST_F(Forms, RunShowsTheMainFormAndEndsWhenItClosesThenFreesTheForms) {
  TApplication app(nullptr);
  TfrmSample* main = nullptr;
  app.CreateForm(main);
  app.CreateForm<TForm>();
  bool shownDuringRun = false;
  auto* closer = new TTimer(main);
  closer->SetInterval(1);
  closer->OnTimer = [&](TObject*) {
    shownDuringRun = main->Visible();
    closer->SetEnabled(false);
    main->Close();
  };
  app.Run();
  EXPECT_TRUE(shownDuringRun);
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(app.ComponentCount(), 0);
  EXPECT_EQ(app.MainForm(), nullptr);
}

}  // namespace

namespace {

TEST_F(Forms, MouseOnTheClientAreaReachesTheFormsEvents) {
  auto* f = new TForm(nullptr);
  std::string seen;
  f->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    seen += "down " + std::to_string(x) + "," + std::to_string(y) + ";";
  };
  f->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { seen += b == mbRight ? "up right;" : "up;"; };
  f->OnClick = [&](TObject*) { seen += "click;"; };
  vx::SendClick(f, 12, 7);
  EXPECT_EQ(seen, "down 12,7;up;click;");
  delete f;
}

}  // namespace

namespace {

// A form whose OnDestroy handler reads a member of the derived class.
class TfrmWithMember : public TForm {
 public:
  explicit TfrmWithMember(TComponent* AOwner, std::string* log) : TForm(AOwner), log_(log) {
    OnDestroy = [this](TObject*) { FormDestroy(); };
  }
  void FormDestroy() { *log_ += note_; }

 private:
  std::string* log_;
  std::string note_ = "destroyed;";
};

TEST_F(Forms, OnDestroyRunsWhileTheDerivedFormIsWhole) {
  std::string log;
  TApplication app(nullptr);
  auto* main = new TfrmWithMember(&app, &log);
  app.SetMainForm(main);
  new TfrmWithMember(main, &log);  // owned by the main form
  main->BeforeDestruction();
  EXPECT_EQ(log, "destroyed;destroyed;");
  delete main;
  EXPECT_EQ(log, "destroyed;destroyed;");  // once each
}

// Windows designed at a position off the screen (or larger than it) used
// to open with their title bar out of reach.
TEST_F(Forms, AWindowShownAtItsDesignedPositionStaysOnTheScreen) {
  const TRect area = [] {
    const QRect a = QGuiApplication::primaryScreen()->availableGeometry();
    return TRect{a.left(), a.top(), a.right() + 1, a.bottom() + 1};
  }();
  const struct {
    int left, top, width, height;
  } cases[] = {
      {-60, -40, 300, 200},                                 // above and left of the screen
      {area.Right - 100, area.Bottom - 50, 300, 200},       // past the bottom right
      {10, -300, area.Width() + 200, area.Height() + 100},  // larger than the screen
      {area.Left + 30, area.Top + 40, 200, 100},            // on the screen: stays
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.left) + "," + std::to_string(c.top));
    TForm f(nullptr);
    f.SetBounds(c.left, c.top, c.width, c.height);
    f.Show();
    EXPECT_GE(f.Left(), area.Left);
    EXPECT_GE(f.Top(), area.Top);
    EXPECT_LT(f.Top(), area.Bottom);
    if (c.width <= area.Width()) EXPECT_LE(f.Left() + f.Width(), area.Right);
    if (c.height <= area.Height()) EXPECT_LE(f.Top() + f.Height(), area.Bottom);
    if (c.left == area.Left + 30) {
      EXPECT_EQ(f.Left(), c.left);
      EXPECT_EQ(f.Top(), c.top);
    }
    EXPECT_EQ(f.Width(), c.width);
    f.Hide();
  }
}

// A dialog narrower than its caption used to show the title cut (and a
// dialog cannot be resized by the user): it is widened as it is shown, and
// placed by the width it then has.
TEST_F(Forms, ABorderedWindowIsShownAsWideAsItsCaptionNeeds) {
  const struct {
    TFormBorderStyle border;
    const char* caption;
    bool widened;
  } cases[] = {
      {bsDialog, "Установка номеров", true},
      {bsSizeable, "Установка номеров и ещё очень длинный заголовок", true},
      {bsDialog, "Язык", false},
      {bsNone, "Установка номеров", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    TForm f(nullptr);
    f.SetBorderStyle(c.border);
    f.SetPosition(poScreenCenter);
    f.SetCaption(vx::Utf8ToCp1251(c.caption));
    f.SetBounds(0, 0, 180, 100);
    f.Show();
    if (c.widened) {
      EXPECT_EQ(f.Width(), vx::TitleBarWidth(f.Caption()));
      EXPECT_GT(f.Width(), 180);
    } else {
      EXPECT_EQ(f.Width(), 180);
    }
    EXPECT_EQ(f.Left(), (Screen->Width() - f.Width()) / 2);
    f.Hide();
  }
}

}  // namespace
