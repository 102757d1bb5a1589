// Starts the program's windows under a real X server (Xvfb), shows the main
// window and saves it as a PNG for a reviewer. Fails when the window cannot
// be captured, shows almost nothing, or cannot render its Russian captions.
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/main/formmain.h"
#include "app/main/startup.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/input_simulation.h"
#include "platform/os/program_folder.h"

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

  int failures = 0;
  {
    vx::ScriptedDialogs dialogs;
    dialogs.OnFailure = [&](const std::string& m) {
      std::fprintf(stderr, "FAILED: unexpected dialog %s\n", m.c_str());
      ++failures;
    };
    dialogs.Expect(vx::DialogKind::Message, "Choose language", mrOk);
    dialogs.Expect(vx::DialogKind::Open, "", 0);
    vx::CreateStartupForms();
    FormMain->Show();
    for (int i = 0; i < 20; ++i) Application->ProcessMessages();
    if (!vx::SaveScreenshot(FormMain, out.string())) {
      std::fprintf(stderr, "FAILED: screenshot not written\n");
      ++failures;
    }
    const double ink = vx::InkCoverage(FormMain, clBtnFace);
    if (ink < 0.02) {
      std::fprintf(stderr, "FAILED: the window shows almost nothing (%.3f)\n", ink);
      ++failures;
    }
    for (TTabSheet* page : {FormMain->tsProbability, FormMain->tsDownLoad})
      if (!vx::FontDrawsText(*FormMain->Font(), page->Caption())) {
        std::fprintf(stderr, "FAILED: the font cannot draw the page captions\n");
        ++failures;
      }
    FormMain->Close();
    vx::DestroyApplicationForms();
  }
  vx::SetProgramFolder("");
  std::printf("%s\n", failures ? "screenshot check failed" : out.string().c_str());
  return failures ? 1 : 0;
}
