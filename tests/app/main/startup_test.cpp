// Start-up order, the main window's creation steps, and the settings of
// section "General" across a restart.
#include <gtest/gtest.h>

#include "app/bases/newbase_dialogs.h"
#include "app/settings/cached_ini.h"
#include "app/settings/options.h"
#include "app/windows/base_viewer.h"
#include "app/windows/number_picker.h"
#include "app/windows/number_series.h"
#include "app/windows/probability_editor.h"
#include "app/windows/type5_dialog.h"
#include "app/windows/visual_view.h"
#include "app_test_support.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/random.h"
#include "platform/rtl/sysutils.h"

namespace {

using Startup = AppTest;

TEST_F(Startup, CreatesTheWindowsInOrderAndRunsFormCreate) {
  vx::SetRandomizeSource([] { return 12345u; });
  RandSeed = 0;
  Start();
  vx::SetRandomizeSource(nullptr);
  EXPECT_EQ(RandSeed, 12345u) << "the generator is reseeded at start";
  std::vector<AnsiString> names;
  for (TComponent* c : Application->Components()) names.push_back(c->Name());
  const std::vector<AnsiString> expected = {"FormMain",   "frmProbability", "frmType5",      "frmOptions",
                                            "frmNewBase", "frmVisual",      "frmSetNumbers", "frmNewTickBase",
                                            "frmRowNum",  "frmShowBase",    "frmNewResBase", "frmLang"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(Application->MainForm(), FormMain);
  EXPECT_EQ(Application->Title(), "Vexamund");
  ASSERT_EQ(dialogs.Log.size(), 2u);
  EXPECT_EQ(dialogs.Log[0].Text, "Choose language");

  Word y, m, d;
  DecodeDate(Date(), y, m, d);
  EXPECT_EQ(FormMain->TodayYear, y);
  EXPECT_EQ(FormMain->TodayDay, d);
  EXPECT_EQ(FormMain->DrawnCount, 6);
  EXPECT_EQ(FormMain->HighestNumber, 49);
  EXPECT_EQ(FormMain->BaseHighestNumber, 49);
  EXPECT_EQ(FormMain->Weights.size(), 49u);
  EXPECT_EQ(FormMain->seDrawn->Value(), 6);
  EXPECT_FALSE(FormMain->StopFlag) << "the stop flag stands lowered until the first command ends";
  EXPECT_FALSE(FormMain->btnStop->Enabled());
  EXPECT_EQ(FormMain->DefaultBaseName, folder + "Untitled");
  EXPECT_EQ(FormMain->TempResultsTable, folder + "tempres.dbf");
  EXPECT_EQ(FormMain->RecentFileItem(), nullptr);
  EXPECT_EQ(FormMain->seYearFrom->Value(), 2000);
  EXPECT_EQ(FormMain->seDrawTo->Value(), 20);
  EXPECT_EQ(FormMain->URLEditSrv->Text(), "lotto.vexamund.example/lmsurvey/survey.srv");
  EXPECT_EQ(FormMain->FileNameEditSrv->Text(), folder + "survey.srv");
  EXPECT_TRUE(FormMain->cbxAscend->Checked());
  EXPECT_TRUE(FormMain->PageControlMain->MultiLine());
  EXPECT_EQ(FormMain->PageControlMain->PageCount(), 10);
  Stop();
  EXPECT_TRUE(FileExists(folder + "Vexamund.ini"));
}

TEST_F(Startup, SecondStartRestoresEveryGeneralSetting) {
  Start();
  TFormMain* f = FormMain;
  f->SetLeft(321);
  f->SetTop(123);
  f->SetRecentFile("/data/bases/A&B lm.dbf");
  std::vector<std::pair<AnsiString, int>> spins;
  int v = 3;
  for (TComponent* c : f->Components())
    if (auto* s = dynamic_cast<TSpinEdit*>(c)) {
      if (s == f->seDrawn || s == f->seHighest || s == f->seSystem || s == f->seNum || s == f->seFrom ||
          s == f->seVol || s == f->speMaxProbCount || s == f->speAddToTickYear || s == f->speAddToTickDraw ||
          s == f->speRDNinOne || s == f->speRandDNSys || s == f->seDyadsProbabilityGreater ||
          s == f->seDyadsProbabilityLess || s == f->seNumOfCoins)
        continue;
      s->SetValue(s->Value() + v++);
      spins.emplace_back(s->Name(), s->Value());
    }
  ASSERT_EQ(spins.size(), 30u);
  std::vector<std::pair<AnsiString, bool>> boxes;
  for (TCheckBox* b :
       {f->cbxAmountMustBe, f->cbxAscend, f->cbxCointLess, f->cbxCointLessRes, f->cbxRowNumRange, f->cbxFiltered}) {
    b->SetChecked(!b->Checked());
    boxes.emplace_back(b->Name(), b->Checked());
  }
  f->URLEditSrv->SetText("host.example/a.srv");
  f->FileNameEditSrv->SetText("/tmp/Ж.srv"_cp);
  f->FirstSample = 33;
  f->PageControlMain->SetActivePageIndex(7);
  Stop();

  const AnsiString ini = apptest::ReadFile(folder + "Vexamund.ini");
  for (const char* line : {"[General]\r\n", "FormMaximized_Key=0\r\n", "FormLeft_Key=321\r\n",
                           "seYearToToRes.Value=", "cbxAscend.Checked=0\r\n", "iFirstSample=33\r\n",
                           "Active_Page=7\r\n", "LastOpened_File=/data/bases/A&B lm.dbf\r\n"})
    EXPECT_NE(ini.find(line), AnsiString::npos) << line;

  vx::ResetLanguageQuestion();
  Start();
  f = FormMain;
  EXPECT_EQ(f->Left(), 321);
  EXPECT_EQ(f->Top(), 123);
  ASSERT_NE(f->RecentFileItem(), nullptr);
  EXPECT_EQ(f->RecentFileItem()->Hint(), "/data/bases/A&B lm.dbf");
  EXPECT_EQ(f->RecentFileItem()->Caption(), "/data/bases/A&&B lm.dbf");
  EXPECT_EQ(f->mnuBase->Count(), 9);
  for (const auto& [name, value] : spins)
    EXPECT_EQ(static_cast<TSpinEdit*>(f->FindComponent(name))->Value(), value) << name;
  for (const auto& [name, value] : boxes)
    EXPECT_EQ(static_cast<TCheckBox*>(f->FindComponent(name))->Checked(), value) << name;
  EXPECT_EQ(f->URLEditSrv->Text(), "host.example/a.srv");
  EXPECT_EQ(f->FileNameEditSrv->Text(), "/tmp/Ж.srv"_cp);
  EXPECT_EQ(f->FirstSample, 33);
  EXPECT_EQ(f->PageControlMain->ActivePageIndex(), 7);
  EXPECT_TRUE(f->RangeCheckEnabled);
  Stop();
}

TEST_F(Startup, MaximisedWindowKeepsThePreviousPosition) {
  apptest::WriteFile(folder + "Vexamund.ini", "[General]\r\nFormLeft_Key=333\r\nFormTop_Key=44\r\n");
  Start();
  EXPECT_EQ(FormMain->Left(), 333);
  FormMain->SetWindowState(wsMaximized);
  Stop();
  TAppIniFile ini;
  EXPECT_TRUE(ini.ReadBool("General", "FormMaximized_Key", false));
  EXPECT_EQ(ini.ReadInteger("General", "FormLeft_Key", 0), 333);
  EXPECT_EQ(ini.ReadInteger("General", "FormTop_Key", 0), 44);
}

TEST_F(Startup, DamagedSettingsStopReadingWithAMessage) {
  // Junk values read as defaults; a file of junk lines starts cleanly.
  apptest::WriteFile(folder + "Vexamund.ini", AnsiString("[General]\r\nseYearFrom.Value=zz\r\nActive_Page=99\r\n") +
                                                  AnsiString("\x1A\0\xFF\r\n", 5));
  Start();
  EXPECT_EQ(FormMain->seYearFrom->Value(), 2000);
  EXPECT_EQ(FormMain->PageControlMain->ActivePageIndex(), 0);
  Stop();
}

}  // namespace
