// Shared pieces of the programs that save windows as PNG files under a
// real X server: failures counted for the exit status, a capture that
// fails on a window showing almost nothing, and a draw base made through
// the new-base dialog; the program started in a scratch folder of its own.
#pragma once

#include <cstdio>
#include <filesystem>

#include "app/bases/newbase_dialogs.h"
#include "app/main/formmain.h"
#include "app/main/startup.h"
#include "platform/db/field.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/sysutils.h"

namespace shots {

inline int failures = 0;

inline void Fail(const char* what) {
  std::fprintf(stderr, "FAILED: %s\n", what);
  ++failures;
}

inline void Capture(TForm* form, const std::filesystem::path& file) {
  for (int i = 0; i < 20; ++i) Application->ProcessMessages();
  if (!vx::SaveScreenshot(form, file.string())) Fail("screenshot not written");
  if (vx::InkCoverage(form, clBtnFace) < 0.05) Fail("the window shows almost nothing");
  std::printf("%s\n", file.string().c_str());
}

// Starts the program's windows with `folder` (emptied) as the program's
// folder, and as the current folder too when `current` (what some windows
// keep their files in); the language question is answered by keeping the
// built-in texts, and any other dialog `dialogs` is not told of fails the run.
inline void StartProgram(vx::ScriptedDialogs& dialogs, const std::filesystem::path& folder, bool current = false) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  vx::SetProgramFolder(folder.string());
  if (current) std::filesystem::current_path(folder);
  dialogs.OnFailure = [](const std::string& m) { Fail(("unexpected dialog " + m).c_str()); };
  dialogs.Expect(vx::DialogKind::Message, "Choose language", mrOk);
  dialogs.Expect(vx::DialogKind::Open, "", 0);
  vx::CreateStartupForms();
  FormMain->Show();
}

// The base "shots" (6 of 49) with `count` draws from 2010/1, 100 a year.
inline void MakeBase(int count) {
  frmNewBase->editNewName->SetText("shots");
  frmNewBase->speNC->SetValue(6);
  frmNewBase->speMC->SetValue(49);
  frmNewBase->btnCreateClick(nullptr);
  TDataSet* base = FormMain->TableMain;
  for (int i = 0; i < count; ++i) {
    base->Append();
    base->FieldByName("YEAR")->SetAsInteger(2010 + i / 100);
    base->FieldByName("DRAW")->SetAsInteger(i % 100 + 1);
    for (int j = 0; j < 6; ++j) base->FieldByName("P" + IntToStr(j + 1))->SetAsInteger((i * 5 + j * 8) % 49 + 1);
    base->Post();
  }
}

}  // namespace shots
