// The number picker shown modally and clicked as a user does.
#include "app/windows/number_picker.h"

#include "app_test_support.h"

TEST_F(AppTest, NumberPickerTakesDistinctNumbersWithinItsLimits) {
  std::unique_ptr<TfrmSetNumbers> picker(vx::NewForm<TfrmSetNumbers>(nullptr));
  TLottoTable* t = picker->LottoTableSetNumbers;
  auto pick = [t](std::initializer_list<int> numbers) {
    for (int n : numbers) {
      int c, r;
      t->NumberToCell(true, n, c, r);
      vx::SendClick(t, t->CellRect(c, r).Left + 5, t->CellRect(c, r).Top + 5);
    }
  };
  picker->PickCount = 3;
  picker->HighestNumber = 40;
  dialogs.Expect(vx::DialogKind::Modal, "Установка номеров"_cp, [&](vx::DialogRequest&) {
    pick({9, 1});
    vx::SendClick(picker->btnClear);
    EXPECT_EQ(picker->lblPickCount->Caption(), "_");
    pick({5, 5, 45, 12});  // a repeat and a number above the highest
    EXPECT_EQ(picker->lblPickCount->Caption(), "2");
    vx::SendClick(picker->btnOK);  // too few: the window stays
    EXPECT_EQ(picker->ModalResult(), mrNone);
    pick({30, 31});
    vx::SendClick(picker->btnOK);
    return picker->ModalResult();
  });
  dialogs.Expect(vx::DialogKind::Message, "Слишком мало номеров"_cp, mrOk);
  EXPECT_EQ(picker->ShowModal(), mrOk);
  EXPECT_EQ(std::vector<int>(picker->Numbers.begin(), picker->Numbers.begin() + 4), (std::vector<int>{5, 12, 30, 0}));
  EXPECT_EQ(picker->lblPickCount->Caption(), "3");
  dialogs.Expect(vx::DialogKind::Modal, "", mrCancel);
  EXPECT_EQ(picker->ShowModal(), mrCancel);  // showing again starts from nothing
  EXPECT_EQ(picker->Picked(), 0);
}
