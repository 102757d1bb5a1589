// From the new-base dialog to the hot numbers, through the started program
// with scripted dialogs: create a 6-of-49 base, enter draws, set the range,
// press "Горячие".
#include "app/bases/newbase_dialogs.h"
#include "app/settings/options.h"
#include "app_test_support.h"
#include "platform/db/field.h"
#include "platform/gui/graphics.h"
#include "tables/txbasedataset.h"

namespace {

class NewBaseFlow : public AppTest {
protected:
    void CreateLotto() {
        frmNewBase->editNewName->SetText("c:\\elsewhere\\Lotto.dbf");
        frmNewBase->speNC->SetValue(6);
        frmNewBase->speMC->SetValue(49);
        frmNewBase->edtDescription->SetText("Тест 6 из 49"_cp);
        frmNewBase->btnCreate->Click();
    }
    void AddDraw(int year, int draw, std::initializer_list<int> numbers) {
        TDataSet* t = FormMain->TableMain;
        t->Append();
        t->FieldByName("YEAR")->SetAsInteger(year);
        t->FieldByName("DRAW")->SetAsInteger(draw);
        int i = 1;
        for (int n : numbers) t->FieldByName("P" + IntToStr(i++))->SetAsInteger(n);
        t->Post();
    }
    void Range(int yearFrom, int drawFrom, int yearTo, int drawTo) {
        FormMain->seYearFrom->SetValue(yearFrom);
        FormMain->seDrawFrom->SetValue(drawFrom);
        FormMain->seYearTo->SetValue(yearTo);
        FormMain->seDrawTo->SetValue(drawTo);
    }
};

}  // namespace

TEST_F(NewBaseFlow, CreatedBaseIsOpenAndHotNumbersAreCounted) {
    Start();
    CreateLotto();

    // The base is open as after the open command, its name in the options.
    ASSERT_TRUE(FormMain->TableMain->Active());
    EXPECT_TRUE(FileExists(folder + "Lotto.dbf"));
    EXPECT_TRUE(FileExists(folder + "Lotto.cdx"));
    EXPECT_EQ(FormMain->DrawnCount, 6);
    EXPECT_EQ(FormMain->HighestNumber, 49);
    EXPECT_EQ(FormMain->Weights.size(), 49u);
    EXPECT_EQ(FormMain->Caption(), "Тест 6 из 49 :: пустая база"_cp);
    ASSERT_NE(FormMain->RecentFileItem(), nullptr);
    EXPECT_EQ(FormMain->RecentFileItem()->Hint(), folder + "Lotto.dbf");
    bool listed = false;
    for (int row = 1; row < frmOptions->sgBaseName->RowCount(); ++row)
        listed = listed || frmOptions->sgBaseName->Cells(0, row) == "Lotto";
    EXPECT_TRUE(listed);
    EXPECT_EQ(static_cast<unsigned char>(apptest::ReadFile(folder + "Lotto.dbf")[0]), 0x03);

    AddDraw(2024, 2, {1, 7, 8, 9, 10, 11});
    AddDraw(2024, 1, {1, 2, 3, 4, 5, 6});
    AddDraw(2024, 3, {1, 2, 12, 13, 14, 15});

    Range(2024, 1, 2024, 3);
    FormMain->btnCalculate1->Click();
    EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Caption(), "15");
    EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Font()->Color(), RGB(0, 128, 0));
    EXPECT_EQ(FormMain->Weights[0], 3);
    EXPECT_EQ(FormMain->Weights[1], 2);
    EXPECT_FALSE(FormMain->Busy);

    // Index order: starting at draw 2 counts draws 2 and 3 only; a range
    // past the last draw warns and keeps the partial count.
    dialogs.Expect(vx::DialogKind::Message, "Достигнут конец базы"_cp, mrCancel);
    Range(2024, 2, 2024, 9);
    FormMain->btnCalculate1->Click();
    EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Caption(), "11");

    // Cold over the same draws, then number after number from draw 1.
    Range(2024, 1, 2024, 3);
    FormMain->btnCalculate2->Click();
    EXPECT_EQ(FormMain->Weights[0], 1);   // drawn three times
    EXPECT_EQ(FormMain->Weights[48], 4);  // never drawn
    FormMain->speMaxProbCount->SetValue(3);
    FormMain->btnNumForNum->Click();
    EXPECT_EQ(FormMain->lblMaxProbNums->Caption(), "1,7,8");

    // A start draw that is not there: the weights are cleared, nothing shown.
    dialogs.Expect(vx::DialogKind::Message, "2030/1 не найден"_cp, mrOk);
    Range(2030, 1, 2030, 2);
    FormMain->btnCalculate1->Click();
    EXPECT_EQ(FormMain->Weights, std::vector<std::int32_t>(49, 0));
    EXPECT_FALSE(FormMain->Busy);

    // Creating over the open base is refused and changes nothing.
    dialogs.Expect(vx::DialogKind::Message, "уже используется"_cp, mrOk);
    frmNewBase->editNewName->SetText("lotto");
    frmNewBase->btnCreate->Click();
    EXPECT_EQ(FormMain->TableMain->RecordCount(), 3);
    Stop();
}

TEST_F(NewBaseFlow, StopLeavesTheWeightsUnscaledAndShowsNothing) {
    Start();
    CreateLotto();
    for (int d = 1; d <= 150; ++d) AddDraw(2024, d, {1, 2, 3, 4, 5, 6});
    FormMain->lblNumWithNonZeroProb->SetCaption("before");
    Range(2024, 1, 2024, 150);
    // Stop is pressed while the count runs (on the first pump).
    int scrolls = 0;
    FormMain->TableMain->AfterScroll = [&](TDataSet*) {
        if (FormMain->Busy && ++scrolls == 120) FormMain->btnStop->Click();
    };
    FormMain->btnCalculate1->Click();
    FormMain->TableMain->AfterScroll = nullptr;
    EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Caption(), "before");
    EXPECT_GT(FormMain->Weights[0], 100);  // not rescaled
    EXPECT_FALSE(FormMain->Busy);
    Stop();
}
