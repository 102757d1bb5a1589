// The visual draw view over a base of 1,000 draws made through the new-base
// dialog: filling from a start draw, next and previous, a start draw that
// is not there, the table side for each game shape, a closed base.
#include "app/windows/visual_view.h"

#include "app/bases/newbase_dialogs.h"
#include "app_test_support.h"
#include "platform/db/field.h"

namespace {

// Draw i (0-based) of the fixture: year 2000 + i / 100, draw i % 100 + 1,
// six distinct numbers of 1..49.
int FixtureNumber(int i, int j) { return (i + j * 8) % 49 + 1; }

class VisualView : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
  }
  void MakeBase(int draws) {
    frmNewBase->editNewName->SetText("visual");
    frmNewBase->speNC->SetValue(6);
    frmNewBase->speMC->SetValue(49);
    frmNewBase->btnCreateClick(nullptr);
    TDataSet* base = FormMain->TableMain;
    ASSERT_TRUE(base->Active());
    base->DisableControls();
    for (int i = 0; i < draws; ++i) {
      base->Append();
      base->FieldByName("YEAR")->SetAsInteger(2000 + i / 100);
      base->FieldByName("DRAW")->SetAsInteger(i % 100 + 1);
      for (int j = 0; j < 6; ++j) base->FieldByName("P" + IntToStr(j + 1))->SetAsInteger(FixtureNumber(i, j));
      base->Post();
    }
    base->EnableControls();
  }
  void TearDown() override {
    Stop();
    AppTest::TearDown();
  }
  // "caption:marked numbers" of every table.
  std::vector<std::string> Shown() {
    std::vector<std::string> out;
    for (int t = 0; t < TfrmVisual::TableCount; ++t) {
      TLottoTable* table = frmVisual->LottoTables[t];
      std::string s = frmVisual->Labels[t]->Caption() + ":";
      for (int n = 1; n <= 49; ++n) {
        int c, r;
        table->NumberToCell(false, n, c, r);
        if (table->Cell(c, r) == TLottoTable::csMarked) s += " " + std::to_string(n);
      }
      out.push_back(s);
    }
    return out;
  }
  static std::string Draw(int i) {
    std::vector<int> n;
    for (int j = 0; j < 6; ++j) n.push_back(FixtureNumber(i, j));
    std::sort(n.begin(), n.end());
    std::string s = std::to_string(2000 + i / 100) + " - " + std::to_string(i % 100 + 1) + ":";
    for (int v : n) s += " " + std::to_string(v);
    return s;
  }
};

}  // namespace

TEST_F(VisualView, FillsFromTheStartDrawAndMovesByOneDraw) {
  MakeBase(1000);
  frmVisual->Show();  // fills from 2000/1
  EXPECT_EQ(Shown()[5], Draw(5));
  frmVisual->seYearFromVisual->SetValue(2009);
  frmVisual->seDrawFromVisual->SetValue(99);  // the last-but-one draw
  EXPECT_EQ(frmVisual->LottoTables[0]->NumberOfColumns(), 7);
  EXPECT_EQ(Shown(), (std::vector<std::string>{Draw(998), Draw(999), ":", ":", ":", ":"}));
  EXPECT_EQ(FormMain->TableMain->FieldByName("DRAW")->AsInteger(), 100);

  frmVisual->btnPrev->Click();
  EXPECT_EQ(frmVisual->seDrawFromVisual->Value(), 98);
  EXPECT_EQ(Shown(), (std::vector<std::string>{Draw(997), Draw(998), Draw(999), ":", ":", ":"}));
  frmVisual->seYearFromVisual->SetValue(2004);  // 2004/98
  frmVisual->btnNext->Click();
  EXPECT_EQ(Shown(), (std::vector<std::string>{Draw(498), Draw(499), Draw(500), Draw(501), Draw(502), Draw(503)}));

  // A start draw that is not in the base leaves the window as it was.
  const auto before = Shown();
  frmVisual->seYearFromVisual->SetValue(1999);
  EXPECT_EQ(Shown(), before);
  EXPECT_EQ(frmVisual->seYearFromVisual->Value(), 1999);
  frmVisual->Hide();
}

TEST_F(VisualView, TablesHoldEveryNumberOfTheGameAndNothingFillsWithoutABase) {
  MakeBase(10);
  for (auto [highest, side] : {std::pair{36, 6}, {45, 7}, {49, 7}, {42, 7}, {50, 8}}) {
    FormMain->BaseHighestNumber = highest;
    frmVisual->SetInitValue();
    EXPECT_EQ(frmVisual->LottoTables[3]->NumberOfRows(), side) << highest;
    EXPECT_EQ(frmVisual->LottoTables[3]->MaxTotal(), highest);
  }
  FormMain->CloseMainClick(nullptr);
  const auto before = Shown();
  dialogs.Expect(vx::DialogKind::Message, "база не открыта"_cp, mrOk);
  frmVisual->btnRefresh->Click();
  EXPECT_EQ(Shown(), before);
}
