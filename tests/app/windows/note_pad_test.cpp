// The note pad offscreen: the save question before Open, on a dropped file
// and on closing; Save As with its extension rules and the overwrite
// question; plain text kept plain; the ruler; the status bar; the
// command-line file; and the about box.
#include <gtest/gtest.h>

#include <QWidget>

#include "app/windows/about_box.h"
#include "app/windows/note_pad.h"
#include "app_test_support.h"
#include "platform/gui/richtext/rtf_reader.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/program_arguments.h"
#include "tests/support/write_fault.h"

namespace {

class NotePadTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    pad = vx::NewForm<TfrmDuzediv>(Application);
  }
  void TearDown() override {
    vx::SetProgramArguments(std::vector<AnsiString>{});
    AppTest::TearDown();
  }
  void Type(const AnsiString& text) {
    pad->Editor->SetFocus();
    vx::SendText(pad->Editor, text);
  }
  // A save dialog that picks `name` with the filter `index`.
  void ExpectSaveAs(const AnsiString& name, int index) {
    dialogs.Expect(vx::DialogKind::Save, "", [name, index](vx::DialogRequest& r) {
      auto* d = static_cast<TSaveDialog*>(r.Dialog);
      d->SetFileName(name);
      d->SetFilterIndex(index);
      return 1;
    });
  }
  TfrmDuzediv* pad = nullptr;
};

TEST_F(NotePadTest, RulerMarkersAndIndentsConvertBothWays) {
  for (int first : {0, 1, 10, 37})
    for (int left : {0, 5, 18})
      for (int right : {0, 3, 24}) {
        const vx::RulerMarkers m = vx::RulerPositions(first, left, right, 600);
        const vx::RulerIndents r = vx::IndentsFromRuler(m.First, m.Left, m.Right, 5, 600);
        EXPECT_EQ(r.First, first);
        EXPECT_EQ(r.Left, left);
        EXPECT_EQ(r.Right, right) << first << " " << left << " " << right;
      }
  EXPECT_EQ(vx::RulerPositions(30, 15, 12, 600).First, 42);
  EXPECT_EQ(vx::RulerPositions(30, 15, 12, 600).Left, 62);
  EXPECT_EQ(vx::RulerPositions(30, 15, 12, 600).Right, 600 - 6 - 24);
}

TEST_F(NotePadTest, RulerDragsSetTheIndentsTheFormulasGive) {
  pad->Show();
  Application->ProcessMessages();
  Type("abc");
  const int width = pad->Ruler->ClientWidth();
  // Drag the left marker 40 pixels right: the press centres it on the pointer.
  vx::SendMouseDown(pad->LeftInd, 5, 3);
  vx::SendMouseMove(pad->LeftInd, 45, 3, {ssLeft});
  vx::SendMouseUp(pad->LeftInd, 5, 3);
  EXPECT_EQ(pad->LeftInd->Left(), 42);
  EXPECT_EQ(pad->Editor->Paragraph()->LeftIndent(), static_cast<int>((42 + 5 - 6) * 0.75));
  vx::SendMouseDown(pad->FirstInd, 5, 3);
  vx::SendMouseMove(pad->FirstInd, 35, 3, {ssLeft});
  vx::SendMouseUp(pad->FirstInd, 5, 3);
  EXPECT_EQ(pad->Editor->Paragraph()->FirstIndent(), static_cast<int>((32 + 5 - 6) * 0.75));
  vx::SendMouseDown(pad->RightInd, 5, 3);
  vx::SendMouseMove(pad->RightInd, -35, 3, {ssLeft});
  vx::SendMouseUp(pad->RightInd, 5, 3);
  const int right = static_cast<int>((width - pad->RightInd->Left() + 5 - 2) * 0.75) - 12;
  EXPECT_EQ(pad->Editor->Paragraph()->RightIndent(), right);
  EXPECT_EQ(pad->RightInd->Left(), vx::RulerPositions(0, 0, right, width).Right) << "markers follow the paragraph";
  pad->Editor->SetModified(false);
  pad->Close();
}

TEST_F(NotePadTest, SaveAsAddsTheExtensionAndAsksBeforeOverwriting) {
  pad->Show();
  Type("Привет"_cp);
  struct {
    const char* typed;
    int filter;
    const char* saved;
    bool rich;
  } cases[] = {{"notes", 2, "notes.txt", false},
               {"rich", 1, "rich.rtf", true},
               {"keep.RTF", 2, "keep.RTF", true},
               {"other", 3, "other", false}};
  for (const auto& c : cases) {
    ExpectSaveAs(folder + c.typed, c.filter);
    pad->FileSaveAs(nullptr);
    EXPECT_EQ(pad->FileName(), folder + c.saved);
    EXPECT_EQ(pad->Caption(), std::string(c.saved) + " - Duzediv");
    const AnsiString bytes = apptest::ReadFile(folder + c.saved);
    if (c.rich) EXPECT_EQ(vx::ReadRtf(bytes).Paragraphs[0].Text(), vx::Cp1251ToUtf16("Привет"_cp));
    else EXPECT_EQ(bytes, "Привет\r\n"_cp) << "plain CP1251 without mark-up";
    EXPECT_FALSE(pad->Editor->Modified());
  }
  // An existing file: No keeps it and the document's name.
  Type("!");
  ExpectSaveAs(folder + "notes", 2);
  dialogs.Expect(vx::DialogKind::Message, "OK to overwrite " + folder + "notes.txt", mrNo);
  pad->FileSaveAs(nullptr);
  EXPECT_EQ(apptest::ReadFile(folder + "notes.txt"), "Привет\r\n"_cp);
  EXPECT_EQ(pad->FileName(), folder + "other");
  ExpectSaveAs(folder + "notes", 2);
  dialogs.Expect(vx::DialogKind::Message, "OK to overwrite", mrYes);
  pad->FileSaveAs(nullptr);
  EXPECT_EQ(apptest::ReadFile(folder + "notes.txt"), "Привет!\r\n"_cp);
  // A plain file stays plain when saved again after an edit.
  Type("?");
  pad->FileSave(nullptr);
  EXPECT_EQ(apptest::ReadFile(folder + "notes.txt"), "Привет!?\r\n"_cp);
  pad->Close();
}

// The note pad's file was written with direct system calls the fault hook
// never saw, so a save failing halfway could not be tested; now it goes
// through the OS layer's file: the save raises, the old file stays as it
// was, and the text still counts as unsaved.
TEST_F(NotePadTest, ASaveFailingHalfwayKeepsTheOldFileAndTheChanges) {
  pad->Show();
  Type("Привет"_cp);
  ExpectSaveAs(folder + "notes", 2);
  pad->FileSaveAs(nullptr);
  Type(", мир и все его окрестности"_cp);
  const std::vector<std::string> names = vx::test::FolderNames(folder);
  {
    vx::test::HalfWriteFault fault(folder);
    EXPECT_THROW(pad->FileSave(nullptr), EFCreateError);
    EXPECT_TRUE(fault.Hit());
  }
  EXPECT_EQ(apptest::ReadFile(folder + "notes.txt"), "Привет\r\n"_cp);
  EXPECT_TRUE(pad->Editor->Modified());
  EXPECT_EQ(vx::test::FolderNames(folder), names);
  dialogs.Expect(vx::DialogKind::Message, "Save changes", mrNo);
  pad->Close();
}

TEST_F(NotePadTest, TheSaveQuestionComesBeforeOpenDropAndClose) {
  apptest::WriteFile(folder + "a.txt", "from a\r\n");
  apptest::WriteFile(folder + "b.rtf", "{\\rtf1\\ansi {\\b bold}\\par}");
  pad->Show();
  Type("draft");
  // Cancel: nothing opens and the text stays.
  dialogs.Expect(vx::DialogKind::Message, "Save changes to Untitled?", mrCancel);
  pad->FileOpen(nullptr);
  EXPECT_EQ(pad->Editor->Text(), "draft");
  // Yes on an untitled document whose Save As is cancelled: still nothing opens.
  dialogs.Expect(vx::DialogKind::Message, "Save changes", mrYes);
  dialogs.Expect(vx::DialogKind::Save, "", 0);
  pad->FileOpen(nullptr);
  EXPECT_EQ(pad->Editor->Text(), "draft");
  // No: the open dialog, then the file.
  dialogs.Expect(vx::DialogKind::Message, "Save changes", mrNo);
  dialogs.ExpectFile(vx::DialogKind::Open, folder + "a.txt");
  pad->FileOpen(nullptr);
  EXPECT_EQ(pad->Editor->Text(), "from a");
  EXPECT_TRUE(pad->Editor->PlainText());
  EXPECT_FALSE(pad->Editor->Modified());
  // A dropped file after Yes saves the changed text first.
  Type("x");
  dialogs.Expect(vx::DialogKind::Message, "Save changes to " + folder + "a.txt?", mrYes);
  pad->Editor->SetAcceptFiles(true);
  pad->Editor->DropFiles({folder + "b.rtf", folder + "a.txt"});
  EXPECT_EQ(apptest::ReadFile(folder + "a.txt"), "xfrom a\r\n");
  EXPECT_EQ(pad->FileName(), folder + "b.rtf");
  EXPECT_FALSE(pad->Editor->PlainText());
  EXPECT_EQ(pad->Editor->Document().Paragraphs[0].Runs[0].Format.Style, TFontStyles{fsBold});
  // Closing: Cancel keeps the window with its text; No hides it empty.
  Type("y");
  dialogs.Expect(vx::DialogKind::Message, "Save changes", mrCancel);
  pad->Close();
  EXPECT_TRUE(pad->Visible());
  EXPECT_EQ(pad->Editor->Text(), "ybold");
  dialogs.Expect(vx::DialogKind::Message, "Save changes", mrNo);
  pad->Close();
  EXPECT_FALSE(pad->Visible());
  EXPECT_EQ(pad->Editor->Text(), "");
  EXPECT_EQ(pad->FileName(), "Untitled");
}

// A plain-text file opened after a bold RTF, and File -> New after it,
// start from the default character format: both used to carry on with the
// bold of the RTF where its text ended.
TEST_F(NotePadTest, PlainTextAndNewStartFromTheDefaultFormat) {
  apptest::WriteFile(folder + "plain.txt", "plain\r\n");
  apptest::WriteFile(folder + "bold.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0\\fs40\\b big bold\\par}");
  pad->Show();
  auto expectDefault = [&](const char* what) {
    SCOPED_TRACE(what);
    TTextAttributes* typing = pad->Editor->SelAttributes();
    EXPECT_EQ(typing->Style(), TFontStyles{});
    EXPECT_EQ(typing->Size(), 8);
    EXPECT_EQ(typing->Name(), pad->Editor->DefAttributes()->Name());
    Type("typed");
    for (const vx::RichParagraph& p : pad->Editor->Document().Paragraphs)
      for (const vx::RichRun& r : p.Runs) {
        EXPECT_EQ(r.Format.Style, TFontStyles{});
        EXPECT_EQ(r.Format.Size, 8);
      }
  };
  for (const char* next : {"plain.txt", "new"}) {
    if (pad->Editor->Modified()) dialogs.Expect(vx::DialogKind::Message, "Save changes", mrNo);
    dialogs.ExpectFile(vx::DialogKind::Open, folder + "bold.rtf");
    pad->FileOpen(nullptr);
    ASSERT_EQ(pad->Editor->Document().Paragraphs[0].Runs[0].Format.Style, TFontStyles{fsBold});
    pad->Editor->SetSelStart(3);  // the caret inside the bold text
    if (std::string(next) == "new") {
      pad->FileNew(nullptr);
    } else {
      dialogs.ExpectFile(vx::DialogKind::Open, folder + next);
      pad->FileOpen(nullptr);
      EXPECT_EQ(pad->Editor->Text(), "plain");
    }
    expectDefault(next);
  }
  dialogs.Expect(vx::DialogKind::Message, "Save changes", mrNo);
  pad->Close();
}

// Every control of the tool bar can be reached at the window's designed
// width and narrower: the bar used to run on past the right edge, the
// alignment and bullet buttons out of reach.
TEST_F(NotePadTest, EveryToolBarControlIsWithinTheWindow) {
  pad->Show();
  TToolBar* bar = pad->StandardToolBar;
  for (int width : {760, 500}) {
    SCOPED_TRACE(width);
    pad->SetWidth(width);
    Application->ProcessMessages();
    EXPECT_LE(bar->Width(), pad->ClientWidth());
    for (int i = 0; i < bar->ControlCount(); ++i) {
      TControl* c = bar->Controls(i);
      auto* b = dynamic_cast<TToolButton*>(c);
      if (b && b->Style() == tbsSeparator) continue;
      SCOPED_TRACE(c->Name());
      EXPECT_GE(c->Left(), 0);
      EXPECT_LE(c->Left() + c->Width(), bar->Width());
      EXPECT_LE(c->Top() + c->Height(), bar->Height());
      if (b) EXPECT_GE(b->Width(), b->Widget()->sizeHint().width()) << "the caption is cut";
    }
    EXPECT_LE(bar->Top() + bar->Height(), pad->Ruler->Top());
  }
  pad->Close();
}

TEST_F(NotePadTest, StatusBarShowsLineColumnAndTheModifiedMark) {
  pad->Show();
  EXPECT_EQ(pad->StatusBar->Panels(1)->Text, "");
  Type("one");
  EXPECT_EQ(pad->StatusBar->Panels(1)->Text, "Modified");
  vx::SendKey(pad->Editor, VK_RETURN);
  Type("two");
  EXPECT_EQ(pad->StatusBar->Panels(0)->Text, "Line:   2   Col:   4");
  pad->Editor->SetSelStart(1);
  EXPECT_EQ(pad->StatusBar->Panels(0)->Text, "Line:   1   Col:   2");
  // The tool bar follows the selection and changes it.
  pad->Editor->SetSelLength(2);
  pad->BoldButton->Click();
  EXPECT_EQ(pad->Editor->SelAttributes()->Style(), TFontStyles{fsBold});
  pad->FontSize->SetText("14");
  EXPECT_EQ(pad->Editor->SelAttributes()->Size(), 14);
  pad->FontSize->SetText("");
  EXPECT_EQ(pad->Editor->SelAttributes()->Size(), 14) << "a size box without a number changes nothing";
  pad->CenterAlign->Click();
  EXPECT_EQ(pad->Editor->Paragraph()->Alignment(), taCenter);
  pad->Editor->SetSelStart(0);
  EXPECT_FALSE(pad->BoldButton->Down());
  pad->Editor->SetSelStart(2);
  pad->Editor->SetSelLength(1);
  EXPECT_TRUE(pad->BoldButton->Down());
  EXPECT_TRUE(pad->CenterAlign->Down());
  pad->Editor->SetModified(false);
  pad->Close();
}

TEST_F(NotePadTest, CommandLineFileOpensOnTheFirstShowOnly) {
  apptest::WriteFile(folder + "start.rtf", "{\\rtf1\\ansi \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\par}");
  vx::SetProgramArguments(std::vector<AnsiString>{"vexamund", folder + "start.rtf"});
  pad->Show();
  EXPECT_EQ(pad->Editor->Text(), "Привет"_cp);
  EXPECT_EQ(pad->FileName(), folder + "start.rtf");
  pad->Close();
  pad->Show();
  EXPECT_EQ(pad->Editor->Text(), "");
  pad->Close();
}

TEST_F(NotePadTest, QuittingTheProgramAsksAboutUnsavedTextFirst) {
  pad->BeforeDestruction();
  delete pad;
  Start();
  FormMain->mnuNotePad->Click();
  pad = frmDuzediv;
  ASSERT_NE(pad, nullptr);
  pad->Activate();
  Type("draft");
  // Cancel: the program and the text stay.
  dialogs.Expect(vx::DialogKind::Message, "Save changes to Untitled?", mrCancel);
  FormMain->Close();
  EXPECT_FALSE(Application->Terminated());
  EXPECT_TRUE(pad->Visible());
  EXPECT_EQ(pad->Editor->Text(), "draft");
  // Yes saves the text before the program ends.
  dialogs.Expect(vx::DialogKind::Message, "Save changes to Untitled?", mrYes);
  ExpectSaveAs(folder + "note.txt", 2);
  FormMain->Close();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(apptest::ReadFile(folder + "note.txt"), "draft\r\n");
  Stop();
}

TEST_F(NotePadTest, MainMenuOpensOneNotePadAndTheAboutBox) {
  pad->BeforeDestruction();
  delete pad;
  Start();
  FormMain->mnuNotePad->Click();
  ASSERT_NE(frmDuzediv, nullptr);
  TfrmDuzediv* first = frmDuzediv;
  EXPECT_EQ(first->Owner(), Application);
  EXPECT_TRUE(first->Visible());
  first->Activate();  // no second language question in this run
  first->Close();
  FormMain->mnuNotePad->Click();
  EXPECT_EQ(frmDuzediv, first);
  first->Close();

  FormMain->SetBounds(100, 80, 800, 600);
  std::vector<AnsiString> opened;
  vx::OpenWebAddress = [&](const AnsiString& a) { opened.push_back(a); };
  dialogs.Expect(vx::DialogKind::Modal, "About Vexamund", [&](vx::DialogRequest& r) {
    auto* box = static_cast<TAboutBox*>(r.Form);
    box->FormShow(box);
    // Centred over the box's whole line (the labels used to shrink to
    // their text, so that centring showed as left-aligned).
    for (TLabel* l : {box->Label5, box->Label1, box->Label2}) {
      EXPECT_EQ(l->Width(), 300);
      EXPECT_EQ(l->Alignment(), taCenter);
    }
    EXPECT_EQ(box->Left(), 100 + (800 - box->Width()) / 2);
    EXPECT_EQ(box->Top(), 80 + (600 - box->Height()) / 2);
    vx::SendEnter(box->Label3);
    EXPECT_EQ(box->Label3->Font()->Color(), RGB(0, 255, 0));
    vx::SendLeave(box->Label3);
    EXPECT_EQ(box->Label3->Font()->Color(), RGB(0, 0, 255));
    box->Label3->Click();
    // A main window lower than the box: the box's top is the window's top.
    TForm small(nullptr);
    small.SetBounds(10, 50, 300, 100);
    box->SetFormPosition(&small);
    EXPECT_EQ(box->Top(), 50);
    EXPECT_EQ(box->Left(), 10 + (300 - box->Width()) / 2);
    // Esc presses the Cancel button even while that button has the focus
    // (a focused button used to keep Esc to itself and do nothing).
    box->OKButton->SetFocus();
    vx::SendKey(box->OKButton, VK_ESCAPE);
    EXPECT_EQ(box->ModalResult(), mrCancel);
    return box->ModalResult();
  });
  FormMain->mnuAutor->Click();
  EXPECT_EQ(opened, std::vector<AnsiString>{"https://www.example.org/vexamund"});
  Stop();
}

}  // namespace
