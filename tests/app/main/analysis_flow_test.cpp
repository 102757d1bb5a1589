// The analysis pages through the started program on a base written by
// python3-dbf: dyads, two-stage hot and cold (the preliminary questions
// answered by script), the weighting function, the random-draw system and
// its generation, characteristic numbers; results tables read by dbfread.
#include "app/windows/type5_dialog.h"
#include "draw_fixture.h"
#include "platform/db/field.h"
#include "platform/rtl/random.h"

namespace {

class AnalysisFlow : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Application->SetPumpInterval(5);
    Start();
    apptest::WriteDrawBase(folder, "lotto", 6, 49, 200);
    apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
    FormMain->seYearFrom->SetValue(2000);
    FormMain->seDrawFrom->SetValue(1);
    FormMain->seYearTo->SetValue(2001);
    FormMain->seDrawTo->SetValue(100);
    FormMain->seYearFromDyads->SetValue(2000);
    FormMain->seDrawFromDyads->SetValue(1);
    FormMain->seYearToDyads->SetValue(2001);
    FormMain->seDrawToDyads->SetValue(100);
  }
  apptest::CountingClock clock{500};
  // Rows of tempres.dbf as dbfread sees them: "<fields> <rows> <first row's numbers>".
  std::string Results() {
    FormMain->TableRes->Close();
    return apptest::RunPython(folder,
                              "import sys,dbfread\n"
                              "r=dbfread.DBF(sys.argv[1]+'tempres.dbf')\n"
                              "x=list(r)\n"
                              "print(len(r.fields),len(x),[list(v.values())[1:] for v in x][:2])\n",
                              folder);
  }
};

}  // namespace

TEST_F(AnalysisFlow, WeightMethodsFeedGeneration) {
  struct Method {
    const char* name;
    std::function<void()> run;
  } methods[] = {
      {"dyad weights",
       [] {
         FormMain->btnCalcDyads->Click();
         FormMain->seDyadsProbabilityGreater->SetValue(2);
         FormMain->btnAmountCorTo->Click();
       }},
      {"two-stage",
       [this] {
         dialogs.Expect(vx::DialogKind::Modal, "предварительные вопросы"_cp, [](vx::DialogRequest&) {
           frmType5->seFirstSample->SetValue(10);
           frmType5->rbType2->SetChecked(true);
           return static_cast<int>(mrOk);
         });
         FormMain->btnCalculate5->Click();
         EXPECT_EQ(FormMain->FirstSample, 10);
         EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Caption(), "10");
       }},
      {"weighting function", [] { FormMain->btnCalculateFunc1->Click(); }},
  };
  FormMain->seVol->SetValue(5);
  for (auto& m : methods) {
    std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 0);
    m.run();
    EXPECT_GE(vx::CountNonZero(FormMain->Weights), 6) << m.name;
    FormMain->btnGenerate->Click();
    EXPECT_EQ(Results().substr(0, 4), "8 5 ") << m.name;
  }
  Stop();
}

TEST_F(AnalysisFlow, PackingAndRandomDrawGenerationWriteResults) {
  FormMain->btnCalcDyads->Click();
  FormMain->seDyadsProbabilityGreater->SetValue(FormMain->Dyads.Largest());
  FormMain->btnCreateComb->Click();
  const std::string packed = Results();
  EXPECT_EQ(packed.substr(0, 2), "8 ") << packed;

  // Random-draw system: weight 1 for the numbers taken, one line each.
  FormMain->speRDNinOne->SetValue(2);
  FormMain->speRandDNSys->SetValue(6);
  FormMain->btnRandDNSys->Click();
  EXPECT_EQ(vx::CountNonZero(FormMain->Weights), 6);
  EXPECT_EQ(FormMain->mMM->Lines()->Count(), 6);

  FormMain->seVol->SetValue(4);
  FormMain->btnGenFromRandDNSys->Click();
  EXPECT_EQ(FormMain->PageControlMain->ActivePage(), FormMain->tsResult);
  EXPECT_EQ(FormMain->SGridRes->RowCount(), 5);
  EXPECT_EQ(Results().substr(0, 4), "8 4 ");
  Stop();
}

TEST_F(AnalysisFlow, CharacteristicNumbersOfADraw) {
  TDataSet* t = FormMain->TableMain;
  t->First();
  t->Edit();
  const int draw[] = {41, 3, 20, 7, 35, 12};
  for (int i = 0; i < 6; ++i) t->Fields()[i + 2]->SetAsInteger(draw[i]);
  t->Post();
  FormMain->seYearIndNumber->SetValue(2000);
  FormMain->seDrawIndNumber->SetValue(1);
  FormMain->btnCalcIndNumber->Click();
  EXPECT_EQ(FormMain->lblIndNumbers->Caption(), "Характеристические числа : 0,4 ; 5"_cp);
  EXPECT_EQ(FormMain->edCheck->Text(), "38,21,34,6,29,17,4,32,9,13,15,8,28,5,23");
  EXPECT_EQ(FormMain->lblIncr->Caption(), "3 7 12 20 35 41 ");
  EXPECT_EQ(FormMain->mTempReal->Lines()->Strings(4), "5 ");
  Stop();
}

TEST_F(AnalysisFlow, TwoStageEndsWithNoResultWhenAStageFails) {
  std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 7);
  FormMain->lblNumWithNonZeroProb->SetCaption("-");
  FormMain->seDrawFrom->SetValue(999);
  dialogs.Expect(vx::DialogKind::Modal, "предварительные вопросы"_cp, mrOk);
  dialogs.Expect(vx::DialogKind::Message, "2000/999 не найден"_cp, mrOk);
  FormMain->btnCalculate5->Click();
  EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Caption(), "-");
  EXPECT_FALSE(FormMain->Busy);
  EXPECT_FALSE(FormMain->btnStop->Enabled());
  Stop();
}
