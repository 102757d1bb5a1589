// Starts the program's windows under a real X server (Xvfb) and checks two
// things a user sees:
// - with nothing to do, the shown main window costs (almost) no processor
//   time: under 2% of a core over 5 s, read from /proc (the message loop
//   used to poll without pause and kept a core 80% busy);
// - with a draw base open, the window shows the base: it is saved as a PNG
//   for a reviewer, and the check fails when the window cannot be captured,
//   shows almost nothing, or cannot render its Russian captions; the
//   generation page and the chart opened by its button are saved beside it.
#include <unistd.h>

#include <QAction>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/bases/newbase_dialogs.h"
#include "app/main/formmain.h"
#include "app/main/startup.h"
#include "platform/db/field.h"
#include "platform/gui/core/application.h"
#include "platform/gui/draw/canvas.h"
#include "platform/gui/grids/dbgrids.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/os/program_folder.h"
#include "tables/dataset/txbasedataset.h"

namespace {

int failures = 0;

void Fail(const std::string& what) {
  std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  ++failures;
}

// Processor seconds used by this process so far (user + system, all threads).
double CpuSeconds() {
  std::ifstream in("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string skip;
  for (int i = 3; i < 14; ++i) fields >> skip;  // state .. cmajflt
  long utime = 0, stime = 0;
  fields >> utime >> stime;
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Runs the application's message loop for `ms` milliseconds with nothing to do.
void IdleFor(int ms) {
  bool done = false;
  TTimer timer(nullptr);
  timer.SetInterval(ms);
  timer.OnTimer = [&](TObject*) { done = true; };
  while (!done) Application->HandleMessage();
}

// "lm.dbf" (6 of 49, listed in the default options) with 40 draws.
void WriteBase(const std::string& folder) {
  if (!frmNewBase->CreateBaseTable("lm", 6, false)) return Fail("base not created");
  TXBaseDataSet* t = frmNewBase->NewTable;
  for (int i = 0; i < 40; ++i) {
    t->Append();
    t->FieldByName("YEAR")->SetAsInteger(2023 + i / 20);
    t->FieldByName("DRAW")->SetAsInteger(i % 20 + 1);
    for (int j = 0; j < 6; ++j) t->FieldByName("P" + IntToStr(j + 1))->SetAsInteger(j * 8 + (i * 5) % 8 + 1);
    t->Post();
  }
  t->Close();
  FormMain->SetRecentFile(folder + "lm.dbf");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: app_screenshot OUTPUT.png\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::filesystem::create_directories(out.parent_path());
  const std::filesystem::path folder = out.parent_path() / "program";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  vx::SetProgramFolder(folder.string());

  {
    vx::ScriptedDialogs dialogs;
    dialogs.OnFailure = [&](const std::string& m) { Fail("unexpected dialog " + m); };
    dialogs.Expect(vx::DialogKind::Message, "Choose language", mrOk);
    dialogs.Expect(vx::DialogKind::Open, "", 0);
    vx::CreateStartupForms();
    FormMain->Show();
    for (int i = 0; i < 20; ++i) Application->ProcessMessages();

    const double before = CpuSeconds();
    IdleFor(5000);
    const double share = (CpuSeconds() - before) / 5.0;
    std::printf("idle: %.2f%% of a core over 5 s\n", share * 100);
    if (share >= 0.02) Fail("the idle window keeps the processor busy");

    WriteBase(folder.string() + "/");
    dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
    FormMain->RecentFileItem()->QtAction()->trigger();
    if (!FormMain->TableMain->Active()) Fail("the base did not open");
    for (int i = 0; i < 20; ++i) Application->ProcessMessages();

    if (!vx::SaveScreenshot(FormMain, out.string())) Fail("screenshot not written");
    const double ink = vx::InkCoverage(FormMain, clBtnFace);
    if (ink < 0.02) Fail("the window shows almost nothing");
    for (TTabSheet* page : {FormMain->tsProbability, FormMain->tsDownLoad})
      if (!vx::FontDrawsText(*FormMain->Font(), page->Caption())) Fail("the font cannot draw the page captions");

    // The generation page, and the chart as its button opens it over the
    // open base.
    const auto beside = [&](const char* name) { return (out.parent_path() / name).string(); };
    FormMain->ShowPage(FormMain->tsGeneration);
    for (int i = 0; i < 5; ++i) Application->ProcessMessages();
    if (!vx::SaveScreenshot(FormMain, beside("generation_page.png"))) Fail("generation page not captured");
    dialogs.Expect(vx::DialogKind::Modal, "Chart", [&](vx::DialogRequest& r) {
      r.Form->Show();
      for (int i = 0; i < 20; ++i) Application->ProcessMessages();
      if (!vx::SaveScreenshot(r.Form, beside("chart_from_main.png"))) Fail("chart not captured");
      if (vx::InkCoverage(r.Form, clBtnFace) < 0.02) Fail("the chart shows almost nothing");
      return mrCancel;
    });
    FormMain->ShowPage(FormMain->tsProbability);
    vx::SendClick(FormMain->btnChart);
    if (!dialogs.Done()) Fail("a scripted dialog never came");

    // A results table opened with "Открыть" shows its values at once,
    // before anything moves the cursor.
    if (!FormMain->OpenTempResults(6)) Fail("results not created");
    for (int d = 1; d <= 12; ++d) FormMain->AppendResult(2024, d, {d, d + 7, d + 14, d + 21, d + 28, d + 35});
    FormMain->TableRes->Post();
    FormMain->mnuCloseResBaseClick(nullptr);
    FormMain->ShowPage(FormMain->tsResult);
    dialogs.ExpectFile(vx::DialogKind::Open, FormMain->TempResultsTable);
    vx::SendClick(FormMain->btnOpenRes);
    for (int i = 0; i < 20; ++i) Application->ProcessMessages();
    if (!FormMain->TableRes->Active()) Fail("the results did not open");
    if (!vx::SaveScreenshot(FormMain, beside("results_opened.png"))) Fail("results not captured");
    vx::RecordingDevice painted;
    FormMain->DBGridRes->PaintTo(&painted);
    bool values = false;
    for (const std::string& call : painted.Calls) values = values || call.find("\"43\"") != std::string::npos;
    if (!values) Fail("the opened results show no values");
    if (!dialogs.Done()) Fail("a scripted dialog never came");
    FormMain->Close();
    vx::DestroyApplicationForms();
  }
  vx::SetProgramFolder("");
  std::printf("%s\n", failures ? "screenshot check failed" : out.string().c_str());
  return failures ? 1 : 0;
}
