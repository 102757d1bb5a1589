// The probability editor on the started program: sliders and edits kept in
// step without echo, the Apply mark, Apply, Zero and Undo, and weight files
// written for and read from python3's configparser.
#include "app/windows/probability_editor.h"
#include "main/draw_fixture.h"

namespace {

class ProbabilityEditor : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    FormMain->seHighest->SetValue(36);
    for (std::size_t i = 0; i < 36; ++i) FormMain->Weights[i] = static_cast<int>(i);
    FormMain->btnRegulators->Click();
    ed = frmProbability;
  }
  TfrmProbability* ed = nullptr;
};

}  // namespace

TEST_F(ProbabilityEditor, TypingSlidingApplyZeroUndo) {
  EXPECT_TRUE(ed->ScrollBars[36]->Visible());
  EXPECT_FALSE(ed->ScrollBars[37]->Visible());
  EXPECT_FALSE(ed->ChangesPending());
  EXPECT_EQ(ed->Width(), 37 * 19 + 20);
  EXPECT_EQ(ed->Edits[5]->Text(), "4");

  // 150 puts the slider at its top and stays as typed.
  ed->Edits[1]->SetText("150");
  EXPECT_EQ(ed->Edits[1]->Text(), "150");
  EXPECT_EQ(ed->ScrollBars[1]->Position(), 0);
  EXPECT_TRUE(ed->ChangesPending());
  for (const char* bad : {"-5", "x"}) {
    dialogs.Expect(vx::DialogKind::Message, "Введите числовое значение"_cp, mrOk);
    ed->Edits[2]->SetText(bad);
    EXPECT_EQ(ed->ScrollBars[2]->Position(), 99) << bad;
  }
  ed->btnApplyClick(nullptr);
  EXPECT_EQ(FormMain->Weights[0], 100);
  EXPECT_FALSE(ed->ChangesPending());

  ed->ScrollBars[3]->SetPosition(40);
  EXPECT_EQ(ed->Edits[3]->Text(), "60");
  EXPECT_TRUE(ed->ChangesPending());
  ed->btnZeroProbClick(nullptr);
  EXPECT_EQ(ed->ScrollBars[36]->Position(), 100);
  ed->btnUndoProbClick(nullptr);
  EXPECT_EQ(ed->ScrollBars[1]->Position(), 0);
  EXPECT_EQ(ed->ScrollBars[3]->Position(), 98);
  EXPECT_EQ(ed->ScrollBars[36]->Position(), 65);
  EXPECT_FALSE(ed->ChangesPending());

  // Closing refreshes the count of numbers with a weight.
  FormMain->lblNumWithNonZeroProb->SetCaption("");
  ed->Close();
  EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Caption(), "36");
  Stop();
}

TEST_F(ProbabilityEditor, WeightFilesRoundTripWithConfigparser) {
  const std::string saved = folder + "mine.prb";
  dialogs.ExpectFile(vx::DialogKind::Save, saved.c_str());
  ed->btnSaveProbClick(nullptr);
  const std::string read = apptest::RunPython(folder,
                                              "import sys,configparser\n"
                                              "c=configparser.ConfigParser(interpolation=None)\n"
                                              "c.optionxform=str\n"
                                              "c.read(sys.argv[1],encoding='cp1251')\n"
                                              "p=c['Probability']\n"
                                              "print(sorted(p.keys(),key=int)==[str(i) for i in range(82)],"
                                              "p['0'],p['1'],p['36'],p['37'])\n"
                                              "c=configparser.ConfigParser()\n"
                                              "c.optionxform=str\n"
                                              "c['Probability']={str(i):str(81-i) for i in range(1,82) if i!=10}\n"
                                              "c.write(open(sys.argv[2],'w'),space_around_delimiters=False)\n",
                                              saved + " " + folder + "theirs.prb");
  EXPECT_EQ(read, "True 100 0 35 100\n");

  dialogs.ExpectFile(vx::DialogKind::Open, (folder + "theirs.prb").c_str());
  ed->btnLoadProbClick(nullptr);
  EXPECT_TRUE(ed->ChangesPending());
  EXPECT_EQ(ed->ScrollBars[0]->Position(), 100);  // no key "0": weight 0
  EXPECT_EQ(ed->ScrollBars[10]->Position(), 100);
  EXPECT_EQ(ed->ScrollBars[40]->Position(), 59);  // hidden, still loaded
  EXPECT_EQ(FormMain->Weights[0], 0);             // not before Apply
  ed->btnApplyClick(nullptr);
  EXPECT_EQ(FormMain->Weights[0], 80);
  EXPECT_EQ(FormMain->Weights[35], 45);
  EXPECT_EQ(FormMain->Weights.size(), 36u);
  Stop();
}

TEST_F(ProbabilityEditor, LoadingAWeightFileLeavesItAsItWas) {
  // Shapes that a reader writing back would change: a section given twice
  // (merged), lines before the first section, a line beyond 255 characters.
  const struct {
    const char* what;
    std::string bytes;
    int position1, position2;  // of sliders 1 and 2 after the load
  } cases[] = {
      {"section twice", "[Probability]\r\n1=30\r\n[Other]\r\nx=1\r\n[probability]\r\n2=40\r\n", 70, 60},
      {"lines before any section", "; weights for 6 of 45\r\n[Probability]\r\n1=5\r\n[Probability]\r\n2=6\r\n", 95, 94},
      {"long line", "[Probability]\r\n1=7\r\nnote=" + std::string(400, 'n') + "\r\n[PROBABILITY]\r\n", 93, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = folder + "weights.prb";
    apptest::WriteFile(file, c.bytes);
    dialogs.ExpectFile(vx::DialogKind::Open, file.c_str());
    ed->btnLoadProbClick(nullptr);
    EXPECT_EQ(ed->ScrollBars[1]->Position(), c.position1);
    EXPECT_EQ(ed->ScrollBars[2]->Position(), c.position2);
    EXPECT_EQ(apptest::ReadFile(file), c.bytes);
  }
  Stop();
}
