// The main window's own behaviour: game shape and weights, busy state, the
// command guard and closing during a long loop.
#include <gtest/gtest.h>

#include <QWidget>

#include "app/settings/cached_ini.h"
#include "app_test_support.h"
#include "platform/rtl/sysutils.h"

namespace {

using MainWindow = AppTest;

TEST_F(MainWindow, HighestNumberIsLimitedAndSizesTheWeights) {
  Start();
  TFormMain* f = FormMain;
  f->Weights[0] = 5;
  f->Weights[48] = 7;

  f->seHighest->SetText("30");
  EXPECT_EQ(f->HighestNumber, 30);
  ASSERT_EQ(f->Weights.size(), 30u);
  EXPECT_EQ(f->Weights[0], 5) << "the common prefix is kept";
  f->seHighest->SetText("49");
  ASSERT_EQ(f->Weights.size(), 49u);
  EXPECT_EQ(f->Weights[48], 0) << "new entries start at 0";

  dialogs.Expect(vx::DialogKind::Message, "Установите это значение не более 81"_cp, mrOk);
  f->seHighest->SetText("82");
  EXPECT_EQ(f->seHighest->Value(), 81);
  EXPECT_EQ(f->HighestNumber, 81);
  EXPECT_EQ(f->Weights.size(), 81u);

  // seFrom shares the handler but the shape follows seHighest.
  f->seFrom->SetValue(20);
  EXPECT_EQ(f->HighestNumber, 81);

  // The drawn count leaves the weights alone.
  f->Weights.assign(81, 3);
  f->seDrawn->SetValue(5);
  EXPECT_EQ(f->DrawnCount, 5);
  EXPECT_EQ(f->Weights, std::vector<std::int32_t>(81, 3));
  f->seNum->SetValue(9);
  EXPECT_EQ(f->DrawnCount, 5);
  Stop();
}

TEST_F(MainWindow, ProbabilityCountOpenCheckAndTheArrayButton) {
  Start();
  TFormMain* f = FormMain;
  f->Weights.assign(49, 0);
  EXPECT_EQ(f->ShowProbabilityCount(), 0);
  EXPECT_EQ(f->lblNumWithNonZeroProb->Font()->Color(), RGB(255, 0, 0));
  f->Weights[3] = 1;
  f->Weights[7] = -2;
  f->Weights[9] = 100;
  EXPECT_EQ(f->ShowProbabilityCount(), 2);
  EXPECT_EQ(f->lblNumWithNonZeroProb->Caption(), "2");
  EXPECT_EQ(f->lblNumWithNonZeroProb->Font()->Color(), RGB(0, 128, 0));

  dialogs.Expect(vx::DialogKind::Message, "база не открыта"_cp, mrOk);
  EXPECT_FALSE(f->CheckOpened());

  f->Button1Click(nullptr);
  EXPECT_EQ(f->mMM->Lines()->Text(),
            "0 Not in array\r\n1 in array\r\n2 in array\r\n3 in array\r\n4 in array\r\n"
            "5 Not in array\r\n6 Not in array\r\n");
  Stop();
}

// A command in the long-loop pattern over `records` records; returns how
// many it worked on, -1 when it was refused.
struct LoopCommand {
  TFormMain* f;
  int records = 1000;
  int worked = -1;
  std::function<void(int)> atRecord = nullptr;
  void Run(TObject*) {
    worked = 0;
    f->SetBusy(true);
    for (int i = 0; i < records; ++i) {
      ++worked;
      if (atRecord) atRecord(i);
      if (f->PollStop()) {
        f->SetBusy(false);
        return;
      }
    }
    f->SetBusy(false);
  }
};

TEST_F(MainWindow, StopEndsTheLoopAndASecondCommandIsRefused) {
  Start();
  TFormMain* f = FormMain;
  LoopCommand outer{f}, inner{f};
  // Stop is disabled while idle, on screen too.
  EXPECT_FALSE(f->btnStop->Enabled());
  EXPECT_FALSE(f->btnStop->Widget()->isEnabled());
  TNotifyEvent startInner = f->Command([&](TObject* s) { inner.Run(s); });
  outer.atRecord = [&](int i) {
    if (i == 2) {
      EXPECT_TRUE(f->btnStop->Enabled());
      EXPECT_TRUE(f->btnStop->Widget()->isEnabled());
      startInner(nullptr);  // the user clicks another command: nothing happens
      f->Button1->Click();
      EXPECT_EQ(f->mMM->Lines()->Count(), 0);
      vx::PostCall([f] { vx::SendClick(f->btnStop); });
    }
  };
  f->Command([&](TObject* s) { outer.Run(s); })(nullptr);
  EXPECT_EQ(outer.worked, 3) << "the loop stops at the record after Stop";
  EXPECT_EQ(inner.worked, -1);
  EXPECT_TRUE(f->StopFlag);
  EXPECT_FALSE(f->Busy);
  EXPECT_FALSE(f->btnStop->Widget()->isEnabled());
  EXPECT_EQ(f->PBar->Position(), 0);

  // Once idle, commands run again; code may still call a command's method.
  startInner(nullptr);
  EXPECT_EQ(inner.worked, 1000);
  f->Button1Click(nullptr);
  EXPECT_EQ(f->mMM->Lines()->Count(), 7);
  Stop();
}

TEST_F(MainWindow, ClosingDuringALoopStopsItAndStillSaves) {
  Start();
  TFormMain* f = FormMain;
  f->seYearFrom->SetValue(1999);
  LoopCommand loop{f};
  loop.atRecord = [&](int i) {
    if (i == 3) vx::PostCall([f] { vx::SendCloseRequest(f); });
  };
  f->Command([&](TObject* s) { loop.Run(s); })(nullptr);
  EXPECT_EQ(loop.worked, 4);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(FormMain, f) << "windows are destroyed only after the command returned";
  TAppIniFile ini;
  EXPECT_EQ(ini.ReadInteger("General", "seYearFrom.Value", 0), 1999);
}

}  // namespace

// The generation page used to carry texts of its own ("Генерировать",
// "Количество вариантов", "Сумма номеров от ... до" ...) where language
// files expect the program's captions, and asked for 10 combinations
// where the program asks for 1.
TEST_F(MainWindow, TheGenerationPageShowsTheProgramsCaptions) {
  Start();
  TFormMain* f = FormMain;
  const std::pair<TControl*, AnsiString> captions[] = {
      {f->btnGenerate, "Генерация"_cp},
      {f->cbxAmountMustBe, "Сумма должна быть в диапазоне"_cp},
      {f->cbxCointLess, "Число совпадений с базой"_cp},
      {f->cbxCointLessRes, "Число совпадений с результатами"_cp},
      {f->cbxRowNumRange, "Диапазон числовых рядов"_cp},
      {f->cbxAscend, "По возрастанию"_cp},
  };
  for (const auto& [control, caption] : captions) EXPECT_EQ(control->Caption(), caption) << control->Name();
  // The count of combinations is labelled beside its spin edit.
  bool labelled = false;
  for (int i = 0; i < f->tsGeneration->ControlCount(); ++i) {
    TControl* c = f->tsGeneration->Controls(i);
    if (c->Caption() == "Сколько комбинаций"_cp) {
      labelled = true;
      EXPECT_LT(c->Left() + c->Width(), f->seVol->Left());
      EXPECT_LT(std::abs(c->Top() - f->seVol->Top()), f->seVol->Height());
    }
  }
  EXPECT_TRUE(labelled);
  EXPECT_EQ(f->seVol->Value(), 1);
  EXPECT_EQ(f->seVol->MinValue(), 1);
  EXPECT_EQ(f->seVol->MaxValue(), 999999999);
  Stop();
}
