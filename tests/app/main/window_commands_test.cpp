// The main window's window commands, help and page menu, clicked as the
// user clicks them; the ordering of draws into the results table, read
// back by dbfread.
#include <QAction>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "app/bases/newbase_dialogs.h"
#include "app/settings/options.h"
#include "app/windows/about_box.h"
#include "app/windows/base_viewer.h"
#include "app/windows/chart_window.h"
#include "app/windows/note_pad.h"
#include "app/windows/number_picker.h"
#include "app/windows/number_series.h"
#include "app/windows/probability_editor.h"
#include "app/windows/type5_dialog.h"
#include "app/windows/visual_view.h"
#include "draw_fixture.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/core/shell.h"
#include "platform/rtl/codepages.h"
#include "tables/dataset/txbasedataset.h"

namespace {

// Records what the shell is asked to open while it lives.
class RecordedShell {
 public:
  RecordedShell() {
    vx::SetAddressOpener([this](const AnsiString& a) {
      opened.push_back(a);
      return true;
    });
  }
  ~RecordedShell() { vx::SetAddressOpener(nullptr); }
  RecordedShell(const RecordedShell&) = delete;
  RecordedShell& operator=(const RecordedShell&) = delete;
  std::vector<AnsiString> opened;
};

class WindowCommands : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
  }
  // The user's click: a menu item through its menu action, a button on its
  // page.
  static void UserClick(TMenuItem* item) { item->QtAction()->trigger(); }
  static void UserClick(TButton* button, TTabSheet* page) {
    FormMain->ShowPage(page);
    vx::SendClick(button);
  }
  // Answers the modal window of type Form with Cancel after checking it.
  template <typename Form>
  void ExpectModal(const AnsiString& caption, std::function<void(Form*)> check = nullptr) {
    dialogs.Expect(vx::DialogKind::Modal, caption, [check](vx::DialogRequest& r) {
      auto* form = dynamic_cast<Form*>(r.Form);
      EXPECT_NE(form, nullptr) << r.Text;
      if (form && check) check(form);
      return mrCancel;
    });
  }
  AnsiString TempResults() const { return (folder + "tempres.dbf").c_str(); }
};

TEST_F(WindowCommands, EveryWindowCommandAndPageItemOpensWhatItShould) {
  apptest::WriteDrawBase(folder, "lotto", 6, 49, 30);
  apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
  TFormMain* f = FormMain;
  apptest::InFolder here(folder);
  apptest::WriteFile(folder + "helprus.txt", "help");
  RecordedShell shell;
  const int owned = f->ComponentCount();

  // A window shown without waiting: no dialog comes, the window is visible.
  auto shown = [](std::function<TForm*()> window) {
    return [window] {
      TForm* form = window();
      ASSERT_NE(form, nullptr);
      EXPECT_TRUE(form->Visible());
      EXPECT_FALSE(form->Modal());
      form->Close();
    };
  };
  struct Case {
    const char* name;
    std::function<void()> before;  // scripts the dialogs the command brings
    std::function<void()> click;
    std::function<void()> after;  // checks what it did
  };
  const Case cases[] = {
      {"about box", [&] { ExpectModal<TAboutBox>("About Vexamund"); }, [&] { UserClick(f->mnuAutor); },
       [&] { EXPECT_EQ(f->ComponentCount(), owned) << "the about box is freed"; }},
      {"chart",
       [&] {
         ExpectModal<TfrmChart>("Chart", [&](TfrmChart* chart) {
           EXPECT_EQ(chart->TableMain, f->TableMain);
           EXPECT_EQ(chart->TheChart->SeriesCount(), 6);
         });
       },
       [&] { UserClick(f->btnChart, f->tsProbability); },
       [&] { EXPECT_EQ(f->ComponentCount(), owned) << "the chart is freed"; }},
      {"options", nullptr, [&] { UserClick(f->mnuOptions); }, shown([] { return frmOptions; })},
      {"number series", nullptr, [&] { UserClick(f->btnRowNumShow, f->tsGeneration); },
       shown([] { return frmRowNum; })},
      {"base viewer", nullptr, [&] { UserClick(f->mnuShowBase); }, shown([] { return frmShowBase; })},
      {"visual view", nullptr, [&] { UserClick(f->btnVisual, f->tsProbability); }, shown([] { return frmVisual; })},
      {"note pad", nullptr, [&] { UserClick(f->mnuNotePad); }, shown([] { return frmDuzediv; })},
      {"help", nullptr, [&] { UserClick(f->mnuHelp); },
       [&] {
         ASSERT_EQ(shell.opened.size(), 1u);
         EXPECT_EQ(shell.opened[0], ExpandFileName("helprus.txt"));
       }},
      {"ordering", nullptr, [&] { UserClick(f->mnuRegularize); },
       [&] {
         EXPECT_EQ(f->PageControlMain->ActivePage(), f->tsResult);
         EXPECT_EQ(f->TableRes->RecordCount(), 30);
         EXPECT_EQ(f->SGridRes->RowCount(), 31);
       }},
      // Last: it closes the draw base before the dialog comes.
      {"new base",
       [&] { ExpectModal<TfrmNewBase>("Новая база"_cp, [&](TfrmNewBase*) { EXPECT_FALSE(f->TableMain->Active()); }); },
       [&] { UserClick(f->mnuNewBase); }, [&] { EXPECT_FALSE(f->CloseMain->Enabled()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.before) c.before();
    c.click();
    c.after();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Pending() << " dialog(s) never came";
  }

  const std::pair<TMenuItem*, TTabSheet*> pages[] = {
      {f->mnutsStatistic, f->tsStatistic},     {f->mnutsGeneration, f->tsGeneration}, {f->mnutsDyads, f->tsDyads},
      {f->mnutsIndNumber, f->tsIndNumber},     {f->mnutsSystems, f->tsSystems},       {f->mnutsResult, f->tsResult},
      {f->mnutsCompare, f->tsCompare},         {f->mnutsTickets, f->tsTickets},       {f->mnutsDownLoad, f->tsDownLoad},
      {f->mnutsProbability, f->tsProbability},
  };
  for (const auto& [item, page] : pages) {
    UserClick(item);
    EXPECT_EQ(f->PageControlMain->ActivePage(), page) << page->Name();
  }
  Stop();
}

TEST_F(WindowCommands, HelpFollowsTheLanguageAndAMissingFileIsTheShellsMessage) {
  apptest::InFolder here(folder);
  RecordedShell shell;
  apptest::WriteFile(folder + "helpeng.txt", "help");
  apptest::WriteFile(folder + "english.lng", "[TRANSLATIONS]\r\nFormMain.mnuLang.Caption=Language\r\n");

  // Russian help is asked for but missing: the shell says so, nothing opens.
  dialogs.Expect(vx::DialogKind::Message, "Cannot find the file " + ExpandFileName("helprus.txt"), mrOk);
  FormMain->mnuHelp->Click();
  EXPECT_TRUE(shell.opened.empty());

  ApplyLanguageFile((folder + "english.lng").c_str());
  ASSERT_EQ(FormMain->mnuLang->Caption(), "Language");
  FormMain->mnuHelp->Click();
  EXPECT_EQ(shell.opened, std::vector<AnsiString>{ExpandFileName("helpeng.txt")});
  Stop();
}

// No help text came with the program, and the help command looked for it
// in whatever folder was current: "Помощь" opened nothing.
TEST_F(WindowCommands, TheHelpTextsComeBesideTheProgramAndHelpOpensThemFromAnyFolder) {
  const std::string built = VX_PROGRAM_BUILD_FOLDER "/", source = VX_HELP_SOURCE_FOLDER "/";
  // What the help must speak of: each page, the files the program keeps
  // and the import.
  std::vector<std::string> topics = {"tempres.dbf", ".cdx",         ".tic", ".prb",       ".lst",
                                     "rownum.ini",  "Vexamund.ini", ".lng", "survey.srv", "Мультилотек"};
  for (int i = 0; i < FormMain->PageControlMain->PageCount(); ++i)
    topics.push_back(vx::Cp1251ToUtf8(FormMain->PageControlMain->Pages(i)->Caption()));
  // The Russian text names every command of the main menu as it reads.
  std::vector<std::string> commands;
  for (TMenuItem* menu : {FormMain->mnuBase, FormMain->mnuEditing, FormMain->mnuPages, FormMain->mnuAbout})
    for (int i = 0; i < menu->Count(); ++i) {
      AnsiString caption = menu->Items(i)->Caption();
      caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
      if (caption != "-" && menu->Items(i) != FormMain->RecentFileItem()) commands.push_back(vx::Cp1251ToUtf8(caption));
    }
  for (const char* name : {"helprus.txt", "helpeng.txt"}) {
    SCOPED_TRACE(name);
    const AnsiString text = apptest::ReadFile(built + name);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text, apptest::ReadFile(source + name));
    // UTF-8 without a byte-order mark, as desktop text viewers show it.
    EXPECT_EQ(QString::fromUtf8(text.data(), static_cast<int>(text.size())).toUtf8().toStdString(), text);
    EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
    for (const std::string& topic : topics) EXPECT_NE(text.find(topic), std::string::npos) << topic;
    if (std::string(name) == "helprus.txt")
      for (const std::string& command : commands) EXPECT_NE(text.find(command), std::string::npos) << command;
    apptest::WriteFile(folder + name, text);
  }

  // Started from another folder, help opens the text in the program's.
  std::filesystem::create_directories(folder + "elsewhere");
  apptest::InFolder elsewhere(folder + "elsewhere");
  RecordedShell shell;
  UserClick(FormMain->mnuHelp);
  EXPECT_EQ(shell.opened, std::vector<AnsiString>{folder + "helprus.txt"});
  Stop();
}

// Draws stored out of index order, with a repeated number and one above
// the usual highest number.
constexpr const char* kDraws =
    "[(2002,1,9,8,7,6,5,4),(2001,1,12,5,33,1,40,7),(2001,2,3,3,10,20,20,1),(2001,3,49,48,47,46,45,44),"
    "(2001,4,1,2,3,4,5,90)]";

TEST_F(WindowCommands, OrderingWritesEveryDrawAscendingIntoTheResultsTable) {
  apptest::WriteDrawRows(folder, "mixed", 6, 49, kDraws);
  apptest::OpenDrawBase(dialogs, folder + "mixed.dbf");
  FormMain->mnuRegularizeClick(nullptr);
  EXPECT_EQ(FormMain->PageControlMain->ActivePage(), FormMain->tsResult);
  EXPECT_EQ(FormMain->SGridRes->RowCount(), 6);
  EXPECT_EQ(FormMain->SGridRes->Cells(2, 2), "1");
  FormMain->mnuCloseResBaseClick(nullptr);

  const std::string rows = apptest::RunPython(folder,
                                              "import sys,dbfread\n"
                                              "t=dbfread.DBF(sys.argv[1])\n"
                                              "print([(f.name,f.type,f.length) for f in t.fields])\n"
                                              "for r in t: print(list(r.values()))\n",
                                              folder + "tempres.dbf");
  EXPECT_EQ(rows,
            "[('YEAR', 'N', 9), ('DRAW', 'N', 9), ('P1', 'N', 15), ('P2', 'N', 15), ('P3', 'N', 15), "
            "('P4', 'N', 15), ('P5', 'N', 15), ('P6', 'N', 15)]\n"
            "[2001, 1, 1, 5, 7, 12, 33, 40]\n"
            "[2001, 2, 1, 3, 10, 20, 0, 0]\n"
            "[2001, 3, 44, 45, 46, 47, 48, 49]\n"
            "[2001, 4, 1, 2, 3, 4, 5, 90]\n"
            "[2002, 1, 4, 5, 6, 7, 8, 9]\n");
  Stop();
}

TEST_F(WindowCommands, OrderingNeedsABaseThatCanBeModifiedAndKeepsTheResults) {
  apptest::WriteDrawRows(folder, "mixed", 6, 49, kDraws);
  apptest::OpenDrawBase(dialogs, folder + "mixed.dbf");
  FormMain->mnuRegularizeClick(nullptr);
  ASSERT_TRUE(FormMain->TableRes->Active());
  const AnsiString results = apptest::ReadFile(folder + "tempres.dbf");

  struct Case {
    const char* name;
    std::function<void()> prepare;
  };
  const Case cases[] = {
      {"read-only",
       [] {
         FormMain->TableMain->Close();
         FormMain->DrawTable()->SetReadOnly(true);
         FormMain->TableMain->Open();
       }},
      {"closed", [] { FormMain->CloseMainClick(nullptr); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.prepare();
    dialogs.Expect(vx::DialogKind::Message, "База либо не открыта,либо уже используется другим приложением"_cp, mrOk);
    UserClick(FormMain->mnuRegularize);
    EXPECT_TRUE(FormMain->TableRes->Active()) << "the results stay open";
    EXPECT_EQ(FormMain->TableRes->RecordCount(), 5);
  }
  FormMain->mnuCloseResBaseClick(nullptr);
  EXPECT_EQ(apptest::ReadFile(folder + "tempres.dbf"), results);
  Stop();
}

}  // namespace
