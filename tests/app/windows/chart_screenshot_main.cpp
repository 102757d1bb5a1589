// Shows the chart window over a 1,000-draw base under a real X server
// (Xvfb) and saves it as a PNG for a reviewer; a second picture shows the
// second page of 100 draws zoomed in. Fails when a picture cannot be
// written or the chart shows almost nothing.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/windows/chart_window.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/input_simulation.h"
#include "sample_draw_base.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: chart_screenshot OUTPUT.png\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  const std::filesystem::path folder = out.parent_path() / "chart-base";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  Application->Initialize();
  int failures = 0;
  {
    vx::ScriptedDialogs dialogs;
    dialogs.OnFailure = [&](const std::string& m) {
      std::fprintf(stderr, "FAILED: unexpected dialog %s\n", m.c_str());
      ++failures;
    };
    std::unique_ptr<TXBaseDataSet> base = apptest::SampleDrawBase(folder.string() + "/", "lm.dbf", 1000);
    if (!base) {
      std::fprintf(stderr, "FAILED: no draw base\n");
      return 1;
    }
    std::unique_ptr<TfrmChart> form(vx::NewForm<TfrmChart>(nullptr, base.get()));
    form->Show();
    for (int i = 0; i < 20; ++i) Application->ProcessMessages();
    auto shoot = [&](const std::filesystem::path& file) {
      for (int i = 0; i < 10; ++i) Application->ProcessMessages();
      if (!vx::SaveScreenshot(form.get(), file.string())) {
        std::fprintf(stderr, "FAILED: %s not written\n", file.string().c_str());
        ++failures;
      }
      const double ink = vx::InkCoverage(form->TheChart, clBtnFace);
      if (ink < 0.2) {
        std::fprintf(stderr, "FAILED: the chart shows almost nothing (%.3f)\n", ink);
        ++failures;
      }
    };
    shoot(out);
    form->spePointsPerPage->SetValue(100);
    form->ButtonNext->Click();
    form->BitBtn1->Click();
    shoot(out.parent_path() / (out.stem().string() + "-page2.png"));
    form->Close();
  }
  std::printf("%s\n", failures ? "chart screenshot check failed" : out.string().c_str());
  return failures ? 1 : 0;
}
