// The pop-up menus of the results and tickets grids as a user meets them:
// a right click, an item that opens a dialog, the dialog answered, the
// program closed. This used to end in a heap error at shut-down (the menu
// deleted itself twice, and the dialog ran while the menu was still inside
// its own mouse handler).
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

#include "draw_fixture.h"

namespace {

using GridPopup = AppTest;

// Collects Qt's warnings while it lives.
class QtWarnings {
 public:
  QtWarnings() { previous_ = qInstallMessageHandler(&QtWarnings::Handle); }
  ~QtWarnings() { qInstallMessageHandler(previous_); }
  static std::vector<std::string>& Seen() {
    static std::vector<std::string> seen;
    return seen;
  }

 private:
  static void Handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) Seen().push_back(text.toStdString());
  }
  QtMessageHandler previous_;
};

// Answers the dialog on screen as the user does, once it is there: OK on
// a message box, OK on a modal window. Then closes the program.
void AnswerThenQuit(int triesLeft) {
  vx::PostCall([triesLeft] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      box->done(QMessageBox::Ok);
    } else if (TForm* form = Screen->ActiveForm(); form && form->Modal()) {
      form->SetModalResult(mrOk);
    } else if (triesLeft > 0) {
      AnswerThenQuit(triesLeft - 1);
      return;
    } else {
      ADD_FAILURE() << "no dialog came";
    }
    vx::PostCall([] { FormMain->Close(); });
  });
}

TEST_F(GridPopup, AnItemThatOpensADialogThenClosingTheProgramTwentyTimes) {
  QtWarnings warnings;
  QtWarnings::Seen().clear();
  const struct {
    bool tickets;
    AnsiString item;
  } cases[] = {
      {false, "Удалить запись"_cp},  // no results base open: a message
      {false, "Новая база результатов"_cp},
      {true, "Создать базу"_cp},
  };
  for (int round = 0; round < 20; ++round) {
    const auto& c = cases[round % 3];
    SCOPED_TRACE("round " + std::to_string(round) + ": " + std::string(c.item));
    Start(round == 0);  // the language is asked for once
    // From here on the program runs as it does for the user: its own loop,
    // real dialogs with their own loops.
    vx::DialogService* scripted = vx::SetDialogService(nullptr);
    TFormMain* f = FormMain;
    f->PageControlMain->SetActivePage(c.tickets ? f->tsTickets : f->tsResult);
    TDBGrid* grid = c.tickets ? f->DBGridTick : f->DBGridRes;
    bool chosen = false;
    vx::PostCall([&] {
      vx::SendClick(grid, 40, 40, mbRight);
      vx::PostCall([&] {
        AnswerThenQuit(50);
        chosen = vx::ChoosePopupItem(c.item);
      });
    });
    Application->Run();
    vx::SetDialogService(scripted);
    EXPECT_TRUE(chosen);
  }
  for (const std::string& w : QtWarnings::Seen()) EXPECT_EQ(w.find("deleted directly"), std::string::npos) << w;
}

}  // namespace
