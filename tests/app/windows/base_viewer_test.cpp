// The base viewer: copies of the open draw and results bases made on
// activation and by the refresh buttons, their colours and alignment, and
// the status-bar sums of the integer cells dragged over.
#include "app/windows/base_viewer.h"
#include "main/draw_fixture.h"
#include "platform/db/field.h"
#include "platform/gui/core/hintwindow.h"

namespace {

using Texts = std::vector<std::string>;

class BaseViewer : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    v = frmShowBase;
  }
  void TearDown() override {
    Stop();
    AppTest::TearDown();
  }
  // The draw base 2020/1..5 (two numbers of 1..6) and three results.
  void OpenBases() {
    apptest::WriteDrawRows(folder, "five", 2, 6, "[[2020,1,1,2],[2020,2,1,3],[2020,3,2,3],[2020,4,1,4],[2020,5,1,3]]");
    apptest::OpenDrawBase(dialogs, folder + "five.dbf");
    ASSERT_TRUE(FormMain->OpenTempResults(2));
    FormMain->AppendResult(2030, 1, {5, 6});
    FormMain->AppendResult(2030, 2, {4, 40});
    FormMain->AppendResult(2030, 3, {1, 2});
    FormMain->TableRes->Post();
  }
  void Drag(TRichStringGrid* g, TGridCoord from, TGridCoord to) {
    TPoint p = apptest::CellCentre(g, from.X, from.Y);
    vx::SendMouseDown(g, p.X, p.Y);
    p = apptest::CellCentre(g, to.X, to.Y);
    vx::SendMouseMove(g, p.X, p.Y, TShiftState{ssLeft});
  }
  Texts Panels(TStatusBar* s) { return {s->Panels(0)->Text, s->Panels(1)->Text, s->Panels(2)->Text}; }
  TfrmShowBase* v = nullptr;
};

}  // namespace

TEST_F(BaseViewer, ActivationCopiesTheOpenBases) {
  EXPECT_EQ(v->Caption(), "Просмотр баз"_cp);
  // No base open: the grids stay as they were.
  v->ViewGridMain->SetCells(1, 1, "kept");
  v->Activate();
  EXPECT_EQ(v->ViewGridMain->Cells(1, 1), "kept");

  OpenBases();
  FormMain->Activate();
  v->Activate();
  TRichStringGrid* m = v->ViewGridMain;
  ASSERT_EQ(m->RowCount(), 6);
  EXPECT_EQ(m->FixedRows(), 1);
  EXPECT_EQ(apptest::GridRow(m, 0), (Texts{"год"_cp, "тираж"_cp, "P1", "P2"}));
  EXPECT_EQ(apptest::GridRow(m, 3), (Texts{"2020", "3", "2", "3"}));
  for (int c = 0; c < 4; ++c) EXPECT_EQ(m->ColWidths(c), c < 2 ? 35 : 30);
  EXPECT_EQ(apptest::GridRow(v->ViewGridRes, 2), (Texts{"2030", "2", "4", "40"}));
  // Half the main window, halves rounded to even.
  EXPECT_EQ(v->pnlMain->Width(), Round(FormMain->Width() / 2.0L) - v->Splitter1->Width());

  // Data rows: the year green, the draw red; every cell centred.
  TFont font;
  TBrush brush;
  auto colour = [&](int r, int c) {
    font.SetColor(clBlack);
    m->OnGetCellColor(m, r, c, TGridDrawState{}, &brush, &font);
    return font.Color();
  };
  EXPECT_EQ(colour(1, 0), RGB(0, 128, 0));
  EXPECT_EQ(colour(2, 1), RGB(255, 0, 0));
  EXPECT_EQ(colour(0, 0), clBlack);
  EXPECT_EQ(colour(1, 2), clBlack);
  TAlignment a = taLeftJustify;
  v->ViewGridRes->OnGetAlignment(v->ViewGridRes, 0, 3, a);
  EXPECT_EQ(a, taCenter);

  // The refresh buttons copy again; deleted results leave no rows.
  FormMain->TableRes->First();
  FormMain->TableRes->Delete();
  v->tbtbRefreshRes->Click();
  EXPECT_EQ(v->ViewGridRes->RowCount(), 3);
  EXPECT_EQ(v->ViewGridRes->Cells(1, 1), "2");
  TDataSet* draws = FormMain->TableMain;
  draws->Append();
  draws->Fields()[0]->SetAsInteger(2020);
  draws->Fields()[1]->SetAsInteger(6);
  draws->Post();
  EXPECT_EQ(m->RowCount(), 6);
  v->tbtbRefreshMain->Click();
  EXPECT_EQ(m->RowCount(), 7);
  EXPECT_EQ(apptest::GridRow(m, 6), (Texts{"2020", "6", "0", "0"}));
}

TEST_F(BaseViewer, DraggingSumsTheIntegerCellsIntoTheGridsStatusBar) {
  OpenBases();
  v->Show();
  v->Activate();
  Application->ProcessMessages();
  TRichStringGrid* m = v->ViewGridMain;
  // Numbers 1 2 / 1 3 of draws 1 and 2.
  Drag(m, {2, 1}, {3, 2});
  EXPECT_EQ(Panels(v->StatusBarMain), (Texts{"N=4", "S=7", "9S=7"}));
  THintWindow* hint = v->Drag().Hint();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->Active());
  EXPECT_EQ(hint->Caption(), "N=4");
  // The heading row adds nothing and is not counted.
  TPoint p = apptest::CellCentre(m, 3, 0);
  vx::SendMouseMove(m, p.X, p.Y, TShiftState{ssLeft});
  EXPECT_EQ(Panels(v->StatusBarMain), (Texts{"N=2", "S=3", "9S=3"}));
  p = apptest::CellCentre(m, 0, 1);
  vx::SendMouseUp(m, p.X, p.Y);
  EXPECT_EQ(Panels(v->StatusBarMain), (Texts{"N=3", "S=2022", "9S=6"}));
  EXPECT_FALSE(hint->Active());

  // The results grid has its own status bar and the same hint window.
  Drag(v->ViewGridRes, {3, 1}, {3, 3});
  EXPECT_EQ(Panels(v->StatusBarRes), (Texts{"N=3", "S=48", "9S=3"}));
  EXPECT_EQ(Panels(v->StatusBarMain)[0], "N=3");
  EXPECT_EQ(v->Drag().Hint(), hint);
  p = apptest::CellCentre(v->ViewGridRes, 3, 3);
  vx::SendMouseUp(v->ViewGridRes, p.X, p.Y);
  EXPECT_FALSE(v->Drag().Dragging());
  v->Close();
}

// Refreshes pressed during a command used to be replayed one by one after
// it (each a full copy of the base) when the command had not pumped while
// they came; and nothing checked that a copy waits for the command, or that
// a viewer freed meanwhile is never filled.
TEST_F(BaseViewer, RefreshesDuringACommandCopyOnceAfterItAndNeverIntoAFreedViewer) {
  OpenBases();
  v->Show();
  v->Activate();
  TRichStringGrid* m = v->ViewGridMain;
  ASSERT_EQ(m->RowCount(), 6);
  TDataSet* draws = FormMain->TableMain;
  draws->First();
  draws->MoveBy(2);
  // A copy walks the base from its first record.
  int copies = 0;
  draws->AfterScroll = [&](TDataSet* d) {
    if (d->Bof()) ++copies;
  };
  FormMain->Command([&](TObject*) {
    draws->Append();
    draws->Fields()[0]->SetAsInteger(2020);
    draws->Fields()[1]->SetAsInteger(6);
    draws->Post();
    // Ten refreshes handled while the command pumps, ten that come in
    // while it does not (queued until it ends).
    for (int i = 0; i < 10; ++i) v->tbtbRefreshMain->Click();
    for (int i = 0; i < 10; ++i) vx::PostClick(v->tbtbRefreshMain);
    EXPECT_EQ(m->RowCount(), 6) << "the copy waits for the command";
    EXPECT_EQ(copies, 0);
    // Another viewer asks for a copy and goes away before the command ends.
    TfrmShowBase* const shown = frmShowBase;
    auto* other = new TfrmShowBase(nullptr);
    other->DrawBase = v->DrawBase;
    other->Refill = v->Refill;
    other->FillMainGrid();
    other->BeforeDestruction();
    delete other;
    frmShowBase = shown;
    draws->MoveBy(-2);
  })(nullptr);
  Application->ProcessMessages();
  EXPECT_EQ(copies, 1) << "one copy for the twenty refreshes, none for the freed viewer";
  EXPECT_EQ(m->RowCount(), 7);
  EXPECT_EQ(apptest::GridRow(m, 6), (Texts{"2020", "6", "0", "0"}));
  EXPECT_EQ(draws->RecNo(), 4) << "the copy keeps the command's record";
  draws->AfterScroll = nullptr;
  v->Close();
}
