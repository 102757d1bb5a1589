// The visual draw view over a base of 1,000 draws made through the new-base
// dialog: filling, next and previous, a missing start draw, the table side
// for each game shape, a closed base.
#include "app/windows/visual_view.h"

#include "app/bases/newbase_dialogs.h"
#include "app_test_support.h"
#include "platform/db/field.h"

namespace {

// Draw i: year 2000 + i / 100, draw i % 100 + 1, numbers i % 49 + 1 and
// the five after it in steps of 8 (mod 49).
int Number(int i, int j) { return (i + j * 8) % 49 + 1; }

class VisualView : public AppTest {
 protected:
  void MakeBase(int draws) {
    Start();
    frmNewBase->editNewName->SetText("visual");
    frmNewBase->speNC->SetValue(6);
    frmNewBase->speMC->SetValue(49);
    frmNewBase->btnCreateClick(nullptr);
    TDataSet* base = FormMain->TableMain;
    base->DisableControls();
    for (int i = 0; i < draws; ++i) {
      base->Append();
      base->Fields()[0]->SetAsInteger(2000 + i / 100);
      base->Fields()[1]->SetAsInteger(i % 100 + 1);
      for (int j = 0; j < 6; ++j) base->Fields()[j + 2]->SetAsInteger(Number(i, j));
      base->Post();
    }
    base->EnableControls();
  }
  void TearDown() override {
    Stop();
    AppTest::TearDown();
  }
  // "caption:marked numbers" of each table.
  std::vector<std::string> Shown() {
    std::vector<std::string> out;
    for (int t = 0; t < TfrmVisual::TableCount; ++t) {
      std::string s = frmVisual->Labels[t]->Caption() + ":";
      for (int n = 1; n <= 49; ++n) {
        int c, r;
        frmVisual->LottoTables[t]->NumberToCell(false, n, c, r);
        if (frmVisual->LottoTables[t]->Cell(c, r) == TLottoTable::csMarked) s += " " + std::to_string(n);
      }
      out.push_back(s);
    }
    return out;
  }
  static std::string Draw(int i) {
    std::vector<int> n;
    for (int j = 0; j < 6; ++j) n.push_back(Number(i, j));
    std::sort(n.begin(), n.end());
    std::string s = std::to_string(2000 + i / 100) + " - " + std::to_string(i % 100 + 1) + ":";
    for (int v : n) s += " " + std::to_string(v);
    return s;
  }
};

}  // namespace

TEST_F(VisualView, FillsFromTheStartDrawAndMovesByOneDraw) {
  MakeBase(1000);
  frmVisual->Show();  // from 2000/1
  EXPECT_EQ(Shown()[5], Draw(5));
  frmVisual->seYearFromVisual->SetValue(2009);
  frmVisual->seDrawFromVisual->SetValue(99);  // the last-but-one draw
  EXPECT_EQ(Shown(), (std::vector<std::string>{Draw(998), Draw(999), ":", ":", ":", ":"}));
  frmVisual->btnPrev->Click();
  EXPECT_EQ(frmVisual->seDrawFromVisual->Value(), 98);
  EXPECT_EQ(Shown()[2], Draw(999));
  frmVisual->seYearFromVisual->SetValue(2004);
  frmVisual->btnNext->Click();
  EXPECT_EQ(Shown()[0], Draw(498));
  EXPECT_EQ(Shown()[5], Draw(503));
  const auto before = Shown();
  frmVisual->seYearFromVisual->SetValue(1999);  // not in the base: nothing changes
  EXPECT_EQ(Shown(), before);
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
