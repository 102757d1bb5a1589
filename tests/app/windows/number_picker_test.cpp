// The number picker shown modally and clicked as a user does: the count
// limit, numbers above the highest, repeated clicks, clearing, and OK with
// too few numbers.
#include "app/windows/number_picker.h"

#include "app_test_support.h"

namespace {

class NumberPicker : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    picker = vx::NewForm<TfrmSetNumbers>(nullptr);
  }
  void TearDown() override {
    delete picker;
    AppTest::TearDown();
  }
  // Clicks the middle of the cell of `number` (numbered along the rows).
  void Pick(int number) {
    TLottoTable* t = picker->LottoTableSetNumbers;
    int c, r;
    t->NumberToCell(true, number, c, r);
    const TRect cell = t->CellRect(c, r);
    vx::SendClick(t, (cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
  }
  std::vector<int> Numbers(int count) { return {picker->Numbers.begin(), picker->Numbers.begin() + count}; }
  TfrmSetNumbers* picker = nullptr;
};

}  // namespace

TEST_F(NumberPicker, PicksDistinctNumbersWithinTheLimits) {
  picker->PickCount = 3;
  picker->HighestNumber = 40;
  dialogs.Expect(vx::DialogKind::Modal, "Установка номеров"_cp, [&](vx::DialogRequest&) {
    for (int n : {5, 5, 45, 12}) Pick(n);
    EXPECT_EQ(picker->lblPickCount->Caption(), "2");
    vx::SendClick(picker->btnOK);  // too few: the window stays
    EXPECT_EQ(picker->ModalResult(), mrNone);
    for (int n : {30, 31}) Pick(n);
    vx::SendClick(picker->btnOK);
    return picker->ModalResult();
  });
  dialogs.Expect(vx::DialogKind::Message, "Слишком мало номеров"_cp, mrOk);
  EXPECT_EQ(picker->ShowModal(), mrOk);
  EXPECT_EQ(Numbers(4), (std::vector<int>{5, 12, 30, 0}));
  EXPECT_EQ(picker->lblPickCount->Caption(), "3");
}

TEST_F(NumberPicker, ClearingAndShowingAgainStartFromNothing) {
  picker->PickCount = 2;
  picker->HighestNumber = 81;
  dialogs.Expect(vx::DialogKind::Modal, "", [&](vx::DialogRequest&) {
    for (int n : {81, 1}) Pick(n);
    vx::SendClick(picker->btnClear);
    EXPECT_EQ(picker->lblPickCount->Caption(), "_");
    for (int n : {1, 7}) Pick(n);
    vx::SendClick(picker->btnOK);
    return picker->ModalResult();
  });
  EXPECT_EQ(picker->ShowModal(), mrOk);
  EXPECT_EQ(Numbers(3), (std::vector<int>{1, 7, 0}));
  dialogs.Expect(vx::DialogKind::Modal, "", mrCancel);
  EXPECT_EQ(picker->ShowModal(), mrCancel);
  EXPECT_EQ(picker->Picked(), 0);
  EXPECT_EQ(picker->lblPickCount->Caption(), "_");
}
