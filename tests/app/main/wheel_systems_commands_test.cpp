// The wheel-systems page: the listing by type, expansion of generated valid
// files checked by an independent python mapping over the results table
// read by dbfread, malformed files, the number picker's way and the weight
// check.
#include "app/analysis/wheel_systems.h"

#include <filesystem>

#include "app/windows/number_picker.h"
#include "app_test_support.h"
#include "tests/support/run_tool.h"

namespace {

const std::string kChecker = std::string(VX_SOURCE_DIR) + "/tests/app/main/wheel_check.py";

class WheelSystems : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    wheels = folder + "wheels/";
    std::filesystem::create_directories(wheels);
    std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 1);
  }
  void TearDown() override {
    Stop();
    AppTest::TearDown();
  }
  // Lists the systems of K numbers and expands the one of file `name`.
  void Expand(int k, const std::string& name) {
    FormMain->seSystem->SetValue(k);
    FormMain->LoadSystems();
    TStrings* items = FormMain->lbSystems->Items();
    for (int i = 0; i < items->Count(); ++i)
      if (FormMain->GetFileName(items->Strings(i)) == name) FormMain->lbSystems->SetItemIndex(i);
    ASSERT_GE(FormMain->lbSystems->ItemIndex(), 0) << name;
    vx::SendClick(FormMain->btnGiveSystem);
  }
  bool ResultsWritten() { return std::filesystem::exists(folder + "tempres.dbf"); }
  std::string wheels;
};

}  // namespace

TEST_F(WheelSystems, ListsTheSystemsOfTheChosenSizeWithTheirDescriptions) {
  for (const char* name : {"5_10_12.lst", "6_8_4.lst", "bad.lst", "5_7_1.txt"}) apptest::WriteFile(wheels + name, "");
  dialogs.Expect(vx::DialogKind::Message, "Ошибка распознавания типа системы"_cp, mrOk);
  FormMain->seSystem->SetValue(5);
  vx::SendClick(FormMain->btnLoadSystems);
  ASSERT_EQ(FormMain->lbSystems->Count(), 1);
  EXPECT_EQ(FormMain->lbSystems->Items()->Strings(0), "по 5 номеров из 10 чисел на 12 варианта(5_10_12.lst)"_cp);
  dialogs.Expect(vx::DialogKind::Message, "Ничего не выбрано"_cp, mrOk);
  vx::SendClick(FormMain->btnGiveSystem);
}

TEST_F(WheelSystems, ExpansionMatchesAnIndependentMappingOverTheResultsTable) {
  const std::string names = vx::test::RunTool("/usr/bin/python3 " + kChecker + " generate " + wheels + " 31 4");
  std::istringstream list(names);
  std::string name;
  int expanded = 0;
  while (std::getline(list, name)) {
    vx::WheelType t;
    ASSERT_TRUE(vx::DecodeWheelName(name, t));
    Expand(t.numbers, name);
    EXPECT_EQ(FormMain->PageControlMain->ActivePage(), FormMain->tsResult);
    EXPECT_EQ(FormMain->seNum->Value(), t.covered);
    FormMain->CloseDataTable(FormMain->TableRes, FormMain->DBGridRes);
    EXPECT_EQ(
        vx::test::RunTool("/usr/bin/python3 " + kChecker + " check " + wheels + name + " " + folder + "tempres.dbf '" +
                          FormMain->lblRandom->Caption() + "' " + std::to_string(FormMain->TodayYear)),
        "ok\n")
        << name;
    ++expanded;
  }
  EXPECT_EQ(expanded, 4);
}

TEST_F(WheelSystems, MalformedFilesGiveTheMessageAndNoResults) {
  const AnsiString fault = "ошибка генерации системы"_cp, count = "Количество вариантов в системе не совпадает"_cp;
  struct Case {
    const char* lines;
    std::vector<AnsiString> messages;
  } cases[] = {
      {"3\r\n5\r\n2\r\n0\r\n0\r\n010203\r\n0102\r\n", {fault}},                   // short line
      {"3\r\n5\r\n2\r\n0\r\n0\r\n010203\r\n000102\r\n", {fault}},                 // position 0
      {"3\r\n5\r\n2\r\n0\r\n0\r\n010203\r\n010206\r\n", {fault}},                 // position N + 1
      {"3\r\n5\r\n2\r\n0\r\n0\r\n010203\r\n0102033\r\n", {fault}},                // odd length
      {"3\r\n5\r\n2\r\n0\r\n0\r\n010203\r\n010204\r\n0105\r\n", {count, fault}},  // extra line
      {"3\r\n5\r\n2\r\n0\r\n0\r\n010203\r\n", {count, fault}},                    // a variant missing
      {"3\r\n5\r\nx\r\n0\r\n0\r\n010203\r\n", {fault}},                           // header
      {"3\r\n51\r\n1\r\n0\r\n0\r\n010203\r\n", {fault}},                          // N beyond what can be picked
  };
  for (const Case& c : cases) {
    apptest::WriteFile(wheels + "3_5_2.lst", c.lines);
    for (const AnsiString& m : c.messages) dialogs.Expect(vx::DialogKind::Message, m, mrOk);
    FormMain->lblRandom->SetCaption(" 1 2 3");
    Expand(3, "3_5_2.lst");
    EXPECT_TRUE(dialogs.Done()) << c.lines;
    EXPECT_FALSE(ResultsWritten()) << c.lines;
    // Used to stay at "Процесс идет ... подождите".
    EXPECT_EQ(FormMain->lblRandom->Caption(), " 1 2 3") << c.lines;
  }
  std::filesystem::remove(wheels + "3_5_2.lst");
  dialogs.Expect(vx::DialogKind::Message, fault, mrOk);
  vx::SendClick(FormMain->btnGiveSystem);  // the listed file is gone
  EXPECT_FALSE(FormMain->Busy);
}

TEST_F(WheelSystems, NumbersPickedByHandOrRefusedForTooFewWeights) {
  apptest::WriteFile(wheels + "2_3_2.lst", "2\r\n3\r\n2\r\n0\r\n0\r\n 102\r\n0203\r\n");
  FormMain->cbxSetNumbers->SetChecked(true);
  dialogs.Expect(vx::DialogKind::Modal, "Установка номеров"_cp, mrCancel);
  Expand(2, "2_3_2.lst");
  EXPECT_EQ(FormMain->lblRandom->Caption(), "Останов"_cp);
  EXPECT_FALSE(ResultsWritten());

  dialogs.Expect(vx::DialogKind::Modal, "Установка номеров"_cp, [](vx::DialogRequest&) {
    frmSetNumbers->LottoTableSetNumbers->SelectNumber(40);
    frmSetNumbers->LottoTableSetNumbersCellClick(nullptr, 3, 4);  // number 40
    for (int n : {7, 21}) {
      frmSetNumbers->LottoTableSetNumbers->SelectNumber(n);
      int c, r;
      frmSetNumbers->LottoTableSetNumbers->NumberToCell(true, n, c, r);
      frmSetNumbers->LottoTableSetNumbersCellClick(nullptr, c, r);
    }
    return mrOk;
  });
  Expand(2, "2_3_2.lst");
  EXPECT_EQ(FormMain->lblRandom->Caption(), " 40 7 21");
  ASSERT_TRUE(FormMain->TableRes->Active());
  FormMain->TableRes->First();
  EXPECT_EQ(FormMain->TableRes->Fields()[2]->AsInteger(), 40);
  EXPECT_EQ(FormMain->TableRes->Fields()[3]->AsInteger(), 7);

  FormMain->cbxSetNumbers->SetChecked(false);
  FormMain->seFrom->SetValue(10);
  std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 0);
  FormMain->Weights[1] = FormMain->Weights[5] = FormMain->Weights[30] = 1;  // only two within 1..10
  dialogs.Expect(vx::DialogKind::Message, "Номеров с ненулевой вероятностью меньше"_cp, mrOk);
  Expand(2, "2_3_2.lst");
}
