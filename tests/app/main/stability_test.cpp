// The stability test through its button: the log "stability.txt" against
// golden bytes (CP1251, CR LF) with stub commands, a command that finishes
// only through the message queue, one that stays busy, one that fails,
// closing the window during the run; and the real commands on a small base.
#include <memory>

#include "draw_fixture.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/rtl/sysutils.h"

namespace {

class StabilityTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    here_ = std::make_unique<apptest::InFolder>(folder);
    f = FormMain;
    // Stub commands that log their calls and pass through the busy state.
    for (int m = 0; m < vx::kStabilityModes; ++m)
      f->StabilityCommands.methods[static_cast<std::size_t>(m)] = [this, m] { Step(vx::StabilityModeName(m)); };
    f->StabilityCommands.generate = [this] { Step("G"); };
    f->StabilityCommands.check = [this] { Step("C"); };
  }
  void TearDown() override {
    here_.reset();
    AppTest::TearDown();
  }
  void Step(const AnsiString& name) {
    calls.push_back(name);
    if (atCall) atCall(static_cast<int>(calls.size()));
    if (!f->Busy) {
      f->SetBusy(true);
      f->SetBusy(false);
    }
  }
  static AnsiString Golden(const char* name) {
    return apptest::ReadFile(std::string(VX_SOURCE_DIR) + "/tests/app/main/golden/" + name);
  }
  AnsiString Log() const { return apptest::ReadFile(folder + "stability.txt"); }

  TFormMain* f = nullptr;
  std::vector<AnsiString> calls;
  // Called with the 1-based number of each step as it runs.
  std::function<void(int)> atCall;

 private:
  std::unique_ptr<apptest::InFolder> here_;
};

TEST_F(StabilityTest, AFullRunLogsEveryStepBeforeItRuns) {
  // The method of pass 1, mode 2 stays busy until a queued message ends
  // it: the wait pumps messages, so it finishes.
  atCall = [this](int n) {
    if (n == 4) {
      f->SetBusy(true);
      vx::PostCall([this] { f->SetBusy(false); });
    }
    // The log already holds this step's line when the step runs.
    if (n == 150) {
      const AnsiString log = Log(), line = "проход № 10 режим № Func1 Check\r\n"_cp;
      EXPECT_EQ(log.substr(log.size() - line.size()), line);
    }
  };
  f->btnStabilityTest->Click();
  EXPECT_EQ(Log(), Golden("stability_full.txt"));
  EXPECT_EQ(f->Memo1->Lines()->Count(), 301);
  EXPECT_EQ(f->Caption(), "Тестирование завершено"_cp);
  ASSERT_EQ(calls.size(), 300u);
  const std::vector<AnsiString> firstPass(calls.begin(), calls.begin() + 15);
  EXPECT_EQ(firstPass,
            (std::vector<AnsiString>{"1", "G", "C", "2", "G", "C", "3", "G", "C", "4", "G", "C", "Func1", "G", "C"}));
  EXPECT_FALSE(f->Busy);

  // A second run starts a fresh log.
  calls.clear();
  atCall = nullptr;
  f->btnStabilityTest->Click();
  EXPECT_EQ(Log(), Golden("stability_full.txt"));
  Stop();
}

TEST_F(StabilityTest, ACommandThatStaysBusyEndsTheRunWithALoggedLine) {
  f->StabilityWaitLimit = std::chrono::milliseconds(300);
  // Step 23 is the generation of pass 2, mode 3.
  atCall = [this](int n) {
    if (n == 23) f->SetBusy(true);
  };
  const auto start = std::chrono::steady_clock::now();
  f->btnStabilityTest->Click();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_EQ(Log(), Golden("stability_stuck.txt"));
  EXPECT_EQ(calls.size(), 23u) << "nothing runs after the stuck command";
  EXPECT_EQ(f->Caption(), vx::StabilityGiveUpText());
  f->btnStopClick(nullptr);
  Stop();
}

TEST_F(StabilityTest, AFailingStepOrClosingTheWindowEndsTheRunAtThatStep) {
  struct Case {
    const char* name;
    int at;  // the step that fails or closes the window
    bool fails;
    AnsiString lastLine;
  };
  const Case cases[] = {
      {"failure", 17, true, "проход № 2 режим № 1 Generate"_cp},
      {"close", 5, false, "проход № 1 режим № 2 Generate"_cp},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    calls.clear();
    atCall = [&](int n) {
      if (n != c.at) return;
      if (c.fails) throw Exception("broken");
      vx::PostCall([this] { vx::SendCloseRequest(f); });
    };
    if (c.fails) EXPECT_THROW(f->btnStabilityTest->Click(), Exception);
    else f->btnStabilityTest->Click();
    EXPECT_EQ(static_cast<int>(calls.size()), c.at);
    const AnsiString log = Log();
    EXPECT_EQ(log.substr(log.size() - c.lastLine.size() - 2), c.lastLine + "\r\n");
    EXPECT_EQ(f->Memo1->Lines()->Count(), c.at);
    EXPECT_FALSE(f->Busy);
  }
  EXPECT_TRUE(Application->Terminated());
}

TEST_F(StabilityTest, TheRealCommandsRunToTheEndOnASmallBase) {
  apptest::CountingClock clock(500);
  apptest::WriteDrawBase(folder, "small", 6, 49, 30);
  apptest::OpenDrawBase(dialogs, folder + "small.dbf");
  f->ConnectStabilityTest();
  apptest::SetRange(f->seYearFrom, f->seDrawFrom, f->seYearTo, f->seDrawTo, 2000, 1, 2000, 30);
  apptest::SetRange(f->seYearFromCheck, f->seDrawFromCheck, f->seYearToCheck, f->seDrawToCheck, 2000, 25, 2000, 30);
  f->seVol->SetValue(3);
  f->btnStabilityTest->Click();
  EXPECT_EQ(Log(), Golden("stability_full.txt"));
  EXPECT_EQ(f->TableRes->RecordCount(), 3);
  EXPECT_FALSE(f->memoCheck->Lines()->Text().empty());
  Stop();
}

}  // namespace
