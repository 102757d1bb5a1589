// Shared set-up of the application tests: a scratch program folder per
// test, scripted dialogs (an unexpected dialog fails the test), and helpers
// that start the program's windows and close them again.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/main/formmain.h"
#include "app/main/startup.h"
#include "app/settings/language.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/fileutils.h"
#include "tests/support/scratch_folder.h"

namespace apptest {

// A fresh folder under the test scratch space, named after the running
// test (with a trailing "/"), left in place for a look afterwards.
inline std::string ScratchFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return vx::test::NamedTestFolder("app", std::string(info->test_suite_name()) + "." + info->name()) + "/";
}

inline AnsiString ReadFile(const std::string& path) {
  AnsiString bytes;
  vx::ReadFileBytes(path, bytes);
  return bytes;
}

inline void WriteFile(const std::string& path, const AnsiString& bytes) {
  ASSERT_TRUE(vx::WriteFileBytes(path, bytes));
}

using InFolder = vx::test::InFolder;

// The middle of a cell shown in a grid (client coordinates).
inline TPoint CellCentre(TCustomGrid* grid, int col, int row) {
  const TRect r = grid->CellRect(col, row);
  return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

// The texts of a grid's row.
inline std::vector<std::string> GridRow(TStringGrid* grid, int row) {
  std::vector<std::string> texts;
  for (int c = 0; c < grid->ColCount(); ++c) texts.push_back(grid->Cells(c, row));
  return texts;
}

}  // namespace apptest

// A test with its own program folder and scripted dialogs.
class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = apptest::ScratchFolder();
    vx::SetProgramFolder(folder);
    Application->Initialize();
    Application->SetPumpInterval(0);
    vx::ResetLanguageQuestion();
    dialogs.OnFailure = [](const std::string& message) { ADD_FAILURE() << message; };
  }
  void TearDown() override {
    vx::DestroyApplicationForms();
    EXPECT_TRUE(dialogs.Done()) << dialogs.Pending() << " scripted dialog(s) never came";
    vx::SetProgramFolder("");
  }
  // Starts the windows with the test's folder current (it is also the
  // program's folder); the language question is
  // answered by cancelling the chooser unless a language is remembered.
  void Start(bool expectLanguageQuestion = true) {
    if (expectLanguageQuestion) {
      dialogs.Expect(vx::DialogKind::Message, "Choose language", mrOk);
      dialogs.Expect(vx::DialogKind::Open, "", 0);
    }
    apptest::InFolder here(folder);
    vx::CreateStartupForms();
  }
  // Closes the main window as the user does, then destroys the windows.
  void Stop() {
    if (FormMain) FormMain->Close();
    vx::DestroyApplicationForms();
  }
  std::string folder;
  vx::ScriptedDialogs dialogs;
};
