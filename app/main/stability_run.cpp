#include "app/main/stability_run.h"

#include <thread>

#include "app/main/formmain.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/sysutils.h"

namespace vx {

AnsiString StabilityModeName(int mode) { return mode < 4 ? IntToStr(mode + 1) : AnsiString("Func1"); }

AnsiString StabilityGiveUpText() { return "Тестирование прервано: команда не завершилась"_cp; }

namespace {

// Waits while the program is busy, pumping messages so that a command
// finishing through the message queue can finish; false after `limit`.
bool WaitWhileBusy(const StabilityHost& host, std::chrono::milliseconds limit) {
  const auto start = std::chrono::steady_clock::now();
  while (host.busy()) {
    if (std::chrono::steady_clock::now() - start >= limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    host.pump();
  }
  return true;
}

}  // namespace

bool RunStability(const StabilityCommands& commands, const StabilityHost& host, std::chrono::milliseconds waitLimit) {
  host.setCaption("Начало тестирования"_cp);
  const char* const suffixes[] = {"", " Generate", " Check"};
  for (int pass = 1; pass <= kStabilityPasses; ++pass) {
    for (int mode = 0; mode < kStabilityModes; ++mode) {
      const std::function<void()>* steps[] = {&commands.methods[static_cast<std::size_t>(mode)], &commands.generate,
                                              &commands.check};
      for (int step = 0; step < 3; ++step) {
        const AnsiString caption =
            "проход № "_cp + IntToStr(pass) + " режим № "_cp + StabilityModeName(mode) + suffixes[step];
        host.setCaption(caption);
        host.log(caption);
        if (*steps[step]) (*steps[step])();
        if (!WaitWhileBusy(host, waitLimit)) {
          host.setCaption(StabilityGiveUpText());
          host.log(StabilityGiveUpText());
          return false;
        }
        if (!(mode == kStabilityModes - 1 && step == 2)) host.pump();
        if (host.terminated()) return false;
      }
    }
    host.setCaption("проход № "_cp + IntToStr(pass));
  }
  host.setCaption("Тестирование завершено"_cp);
  host.log("Тестирование завершено"_cp);
  return true;
}

}  // namespace vx

void TFormMain::btnStabilityTestClick(TObject*) {
  Memo1->Clear();
  vx::StabilityHost host;
  host.setCaption = [this](const AnsiString& text) { SetCaption(text); };
  host.log = [this](const AnsiString& text) {
    Memo1->Lines()->Add(text);
    Memo1->Lines()->SaveToFile("stability.txt");
  };
  host.busy = [this] { return Busy; };
  host.pump = [] { Application->ProcessMessages(); };
  host.terminated = [] { return Application->Terminated(); };
  vx::RunStability(StabilityCommands, host, StabilityWaitLimit);
}

void TFormMain::ConnectStabilityTest() {
  StabilityCommands.methods = {
      [this] { btnCalculate1Click(btnStabilityTest); }, [this] { btnCalculate2Click(btnStabilityTest); },
      [this] { btnCalculate3Click(btnStabilityTest); }, [this] { btnCalculate4Click(btnStabilityTest); },
      [this] { btnCalculateFunc1Click(btnStabilityTest); }};
  StabilityCommands.generate = [this] { btnGenerateClick(btnStabilityTest); };
  StabilityCommands.check = [this] { btnCheckClick(btnStabilityTest); };
  btnStabilityTest->OnClick = Command(&TFormMain::btnStabilityTestClick);
}
