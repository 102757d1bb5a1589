// Message boxes and common dialogs through the scripted dialog service.
#include <gtest/gtest.h>

#include "tests/platform/gui/gui_test_support.h"
#include "platform/gui/core/dialogs.h"

namespace {

using DialogService = GuiTest;

TEST_F(DialogService, MessagesAreAnsweredFromTheScriptAndLogged) {
  dialogs.Expect(vx::DialogKind::Message, "Сохранить"_cp, mrNo).Expect(vx::DialogKind::Message, "", mrOk);
  EXPECT_EQ(MessageDlg("Сохранить изменения?"_cp, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}), mrNo);
  ShowMessage("база не открыта"_cp);
  ASSERT_EQ(dialogs.Log.size(), 2u);
  EXPECT_EQ(dialogs.Log[0].Type, mtConfirmation);
  EXPECT_EQ(dialogs.Log[1].Text, AnsiString("база не открыта"_cp));
}

TEST_F(DialogService, AnUnexpectedDialogIsReportedAndCancelled) {
  std::vector<std::string> failures;
  dialogs.OnFailure = [&](const std::string& m) { failures.push_back(m); };
  EXPECT_EQ(MessageDlg("surprise", mtWarning, TMsgDlgButtons{mbCancel}), mrCancel);
  TOpenDialog open(nullptr);
  EXPECT_FALSE(open.Execute());
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_NE(failures[0].find("surprise"), std::string::npos);
}

TEST_F(DialogService, OpenDialogReceivesTheScriptedFileWithItsDefaultExtension) {
  TSaveDialog save(nullptr);
  save.SetFilter("ASCII Text Files|*.txt|All Files|*.*");
  save.SetDefaultExt("txt");
  dialogs.ExpectFile(vx::DialogKind::Save, "/tmp/out");
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), "/tmp/out.txt");
  dialogs.ExpectFile(vx::DialogKind::Save, "/tmp/a.b/out.csv");
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), "/tmp/a.b/out.csv");
}

TEST_F(DialogService, FiltersSplitIntoPairs) {
  TOpenDialog d(nullptr);
  d.SetFilter("Draw bases|*.dbf|All Files|*.*");
  const auto pairs = d.FilterPairs();
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].first, "Draw bases");
  EXPECT_EQ(pairs[1].second, "*.*");
  d.SetFilter("");
  EXPECT_TRUE(d.FilterPairs().empty());
  d.SetFilter("odd|*.x|dangling");
  EXPECT_EQ(d.FilterPairs().size(), 2u);
}

TEST_F(DialogService, PrintDialogPageRangeComesBackFromTheScript) {
  TPrintDialog pd(nullptr);
  pd.SetMinPage(1);
  pd.SetMaxPage(9);
  pd.SetOptions(TPrintDialogOptions{poPageNums});
  dialogs.Expect(vx::DialogKind::Print, "", [](vx::DialogRequest& r) {
    auto* d = static_cast<TPrintDialog*>(r.Dialog);
    d->SetPrintRange(prPageNums);
    d->SetFromPage(2);
    d->SetToPage(4);
    return 1;
  });
  ASSERT_TRUE(pd.Execute());
  EXPECT_EQ(pd.PrintRange(), prPageNums);
  EXPECT_EQ(pd.FromPage(), 2);
  EXPECT_EQ(pd.ToPage(), 4);
}

TEST_F(DialogService, FontAndColourDialogsKeepTheirValueWhenCancelled) {
  TFontDialog fd(nullptr);
  fd.Font()->SetName("Times New Roman");
  dialogs.Expect(vx::DialogKind::Font, "", 0);
  EXPECT_FALSE(fd.Execute());
  EXPECT_EQ(fd.Font()->Name(), "Times New Roman");
  dialogs.Expect(vx::DialogKind::Font, "", [](vx::DialogRequest& r) {
    static_cast<TFontDialog*>(r.Dialog)->Font()->SetSize(12);
    return 1;
  });
  EXPECT_TRUE(fd.Execute());
  EXPECT_EQ(fd.Font()->Size(), 12);

  TColorDialog cd(nullptr);
  cd.SetColor(clRed);
  dialogs.Expect(vx::DialogKind::Color, "", 0);
  EXPECT_FALSE(cd.Execute());
  EXPECT_EQ(cd.Color(), clRed);
}

}  // namespace
