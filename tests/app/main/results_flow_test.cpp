// The results base through the started program on bases written by
// python3-dbf: hot numbers, generation into "tempres.dbf", comparison with
// the last draws and the hidden results grid, each checked against
// dbfread and an independent count; copying draws; Stop; the guards.
#include <atomic>
#include <chrono>
#include <functional>
#include <numeric>
#include <thread>

#include "app/bases/base_tables.h"
#include "app/bases/newbase_dialogs.h"
#include "app/main/command_scope.h"
#include "app/windows/base_viewer.h"
#include "app/windows/visual_view.h"
#include "draw_fixture.h"
#include "platform/db/field.h"
#include "platform/gui/draw/canvas.h"
#include "platform/gui/grids/dbgrids.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/rtl/random.h"
#include "tables/dataset/txbasedataset.h"

namespace {

// A comparison's report and the weights of hot numbers.
struct CommandOutcome {
  std::string report;
  std::vector<std::int32_t> weights;
};

void ExpectSameOutcome(const CommandOutcome& busy, const CommandOutcome& quiet) {
  // The reports end with the money spent and won.
  const auto tail = [](const std::string& report) { return report.substr(report.rfind("---")); };
  EXPECT_TRUE(busy.report == quiet.report) << tail(busy.report) << " against " << tail(quiet.report);
  EXPECT_EQ(std::accumulate(busy.weights.begin(), busy.weights.end(), 0), 1800);
  EXPECT_TRUE(busy.weights == quiet.weights);
}

class ResultsFlow : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Application->SetPumpInterval(5);
    Start();
  }
  // 1,000 draws, 300 generated results, a draw costs 1 and the
  // comparison covers the 100 draws of 2009.
  void PrepareComparison() {
    apptest::OpenThousandDraws(dialogs, folder, 2007, 1);
    FormMain->btnCalculate1->Click();
    FormMain->seVol->SetValue(300);
    FormMain->btnGenerate->Click();
    EXPECT_EQ(FormMain->TableRes->RecordCount(), 300);
    frmOptions->DrawCost = 1;
    apptest::SetRange(FormMain->seYearFromCheck, FormMain->seDrawFromCheck, FormMain->seYearToCheck,
                      FormMain->seDrawToCheck, 2009, 1, 2009, 100);
  }
  // Compares and counts hot numbers, with `disturb` run from a timer every
  // few milliseconds while they work when it is given.
  CommandOutcome CompareAndCountHot(const std::function<void()>& disturb) {
    int fired = 0;
    TTimer timer(nullptr);
    timer.SetInterval(1);
    timer.SetEnabled(disturb != nullptr);
    timer.OnTimer = [&](TObject*) {
      ++fired;
      disturb();
    };
    FormMain->btnCheck->Click();
    CommandOutcome out{std::string(FormMain->memoCheck->Text()), {}};
    FormMain->btnCalculate1->Click();
    out.weights = FormMain->Weights;
    timer.SetEnabled(false);
    EXPECT_EQ(fired > 0, disturb != nullptr) << "the timer fired during the commands";
    return out;
  }
  apptest::CountingClock clock{1000};
};

// Presses Stop after `ms` while a command runs; a watchdog ends the
// program if the command never returns.
class StopLater {
 public:
  explicit StopLater(int ms) : timer_(nullptr) {
    timer_.SetInterval(ms);
    timer_.OnTimer = [](TObject*) { FormMain->btnStopClick(nullptr); };
    dog_ = std::thread([this] {
      for (int i = 0; i < 600 && !done_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (!done_) {
        std::fprintf(stderr, "watchdog: the command did not stop\n");
        std::_Exit(3);
      }
    });
  }
  ~StopLater() {
    done_ = true;
    dog_.join();
  }

 private:
  TTimer timer_;
  std::atomic<bool> done_{false};
  std::thread dog_;
};

}  // namespace

TEST_F(ResultsFlow, HotNumbersGenerationComparisonAndHiddenGrid) {
  apptest::OpenThousandDraws(dialogs, folder, 2000, 1);
  FormMain->btnCalculate1->Click();
  EXPECT_EQ(FormMain->lblNumWithNonZeroProb->Caption(), "49");

  FormMain->seVol->SetValue(100);
  FormMain->btnGenerate->Click();
  EXPECT_EQ(FormMain->PageControlMain->ActivePage(), FormMain->tsResult);
  EXPECT_EQ(FormMain->TableRes->RecordCount(), 100);
  TRichStringGrid* grid = FormMain->SGridRes;
  ASSERT_EQ(grid->RowCount(), 101);
  EXPECT_EQ(grid->Cells(2, 0), "P1");
  EXPECT_EQ(grid->Cells(1, 100), "100");

  frmOptions->Prizes[3] = 10;
  frmOptions->Prizes[4] = 200;
  frmOptions->DrawCost = 1;
  apptest::SetRange(FormMain->seYearFromCheck, FormMain->seDrawFromCheck, FormMain->seYearToCheck,
                    FormMain->seDrawToCheck, 2009, 51, 2009, 100);
  FormMain->btnCheck->Click();
  apptest::WriteFile(folder + "report.txt", FormMain->memoCheck->Text());
  std::string grid100;
  for (int c = 0; c < 8; ++c) grid100 += std::string(grid->Cells(c, 100)) + " ";

  // dbfread reads the results and recounts the report independently.
  const std::string out =
      apptest::RunPython(folder,
                         "import sys,dbfread,datetime\n"
                         "d=sys.argv[1]\n"
                         "r=dbfread.DBF(d+'tempres.dbf')\n"
                         "f=[(x.name,x.type,x.length,x.decimal_count) for x in r.fields]\n"
                         "assert f==[('YEAR','N',9,0),('DRAW','N',9,0)]+"
                         "[('P%d'%i,'N',15,0) for i in range(1,7)],f\n"
                         "res=list(r)\n"
                         "assert len(res)==100\n"
                         "y=datetime.date.today().year\n"
                         "for i,x in enumerate(res):\n"
                         "  n=[x['P%d'%j] for j in range(1,7)]\n"
                         "  assert x['YEAR']==y and x['DRAW']==i+1 and n==sorted(set(n)) and 1<=n[0] "
                         "and n[-1]<=49,x\n"
                         "print(' '.join(str(v) for v in res[-1].values()))\n"
                         "dr=[x for x in dbfread.DBF(d+'lotto.dbf') if x['YEAR']==2009 and x['DRAW']>50]\n"
                         "L=[];won=0\n"
                         "for x in dr:\n"
                         "  dn=[x['P%d'%j] for j in range(1,7)]\n"
                         "  for i,rr in enumerate(res):\n"
                         "    h=sum(dn.count(rr['P%d'%j]) for j in range(1,7))\n"
                         "    won+={3:10,4:200}.get(h,0)\n"
                         "    if h>=3: L.append('В тираже %d год %d тираж  - %d совпадений c вариантом %d'"
                         "%(x['YEAR'],x['DRAW'],h,i+1))\n"
                         "L+=['-'*25,'Затрачено 5000,  Выиграно %d'%won]\n"
                         "got=open(d+'report.txt',encoding='cp1251',newline='').read()\n"
                         "want=''.join(l+'\\r\\n' for l in L)\n"
                         "print('SAME' if got==want else 'DIFF\\n'+got+'\\n'+want)\n",
                         folder);
  EXPECT_EQ(out, grid100.substr(0, grid100.size() - 1) + "\nSAME\n");
  Stop();
}

TEST_F(ResultsFlow, CopyingDrawsToTheEndOfTheBase) {
  apptest::WriteDrawBase(folder, "lotto", 5, 36, 120);
  apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
  // The To draw does not exist: everything from the From draw on.
  apptest::SetRange(FormMain->seYearFromToRes, FormMain->seDrawFromToRes, FormMain->seYearToTores,
                    FormMain->seDrawToToRes, 2001, 11, 2001, 500);
  FormMain->btnDrawToRes->Click();
  EXPECT_EQ(FormMain->SGridRes->RowCount(), 11);
  const std::string out = apptest::RunPython(folder,
                                             "import sys,dbfread\n"
                                             "r=dbfread.DBF(sys.argv[1]+'tempres.dbf')\n"
                                             "print(len(r.fields),[(x['YEAR'],x['DRAW']) for x in r][::5])\n",
                                             folder);
  EXPECT_EQ(out, "7 [(2001, 11), (2001, 16)]\n");
  Stop();
}

TEST_F(ResultsFlow, ConditionsNoCombinationMeetsRunUntilStop) {
  // Exactly six numbers carry a weight, so every pick is the same
  // combination; a second copy breaks the results condition forever.
  std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 0);
  for (int n : {3, 9, 17, 22, 30, 41}) FormMain->Weights[static_cast<std::size_t>(n - 1)] = 5;
  FormMain->seVol->SetValue(3);
  FormMain->cbxCointLessRes->SetChecked(true);
  FormMain->speCointLessRes->SetValue(5);
  FormMain->ShowPage(FormMain->tsGeneration);
  {
    StopLater stop(300);
    FormMain->btnGenerate->Click();
  }
  EXPECT_FALSE(FormMain->Busy);
  EXPECT_EQ(FormMain->PageControlMain->ActivePage(), FormMain->tsGeneration);
  EXPECT_EQ(FormMain->lblCurrDrawGen->Caption(), "1");
  // The one accepted combination is posted; nothing of the stopped pick.
  FormMain->TableRes->Close();
  const std::string out = apptest::RunPython(
      folder, "import sys,dbfread\nprint([list(x.values())[2:] for x in dbfread.DBF(sys.argv[1]+'tempres.dbf')])\n",
      folder);
  EXPECT_EQ(out, "[[3, 9, 17, 22, 30, 41]]\n");
  Stop();
}

TEST_F(ResultsFlow, GuardsOfTheResultsCommands) {
  // A closed results table cannot be changed.
  dialogs.Expect(vx::DialogKind::Message, "База либо не открыта"_cp, mrOk);
  FormMain->mnuResDeleteClick(nullptr);
  dialogs.Expect(vx::DialogKind::Message, "База либо не открыта"_cp, mrOk);
  FormMain->DuplicateTableRecord(FormMain->TableRes, FormMain->DBGridRes);
  apptest::WriteDrawBase(folder, "lotto", 5, 36, 10);
  apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
  dialogs.Expect(vx::DialogKind::Message, "Результатов нет"_cp, mrOk);
  FormMain->btnCheckClick(nullptr);
  dialogs.Expect(vx::DialogKind::Message, "база результатов не открыта"_cp, mrOk);
  FormMain->btnSaveVariantsClick(nullptr);

  // While the draw base is the temporary results table (after an import)
  // no generating command recreates it.
  FormMain->CloseMainClick(nullptr);
  ASSERT_TRUE(FormMain->OpenTempResults(5));
  for (int d = 3; d >= 1; --d) FormMain->AppendResult(d, {1, 2, 3, 4, 5});
  FormMain->TableRes->Post();
  // A deleted record leaves no row in the hidden grid.
  FormMain->TableRes->First();
  FormMain->TableRes->Delete();
  FormMain->TableRes->Delete();
  FormMain->ResToSGridRes();
  EXPECT_EQ(FormMain->SGridRes->RowCount(), 2);
  EXPECT_EQ(FormMain->SGridRes->Cells(1, 1), "1");
  FormMain->mnuCloseResBaseClick(nullptr);
  auto* main = FormMain->DrawTable();
  main->SetDatabaseName(folder);
  main->SetTableName("tempres.dbf");
  main->Open();
  FormMain->seYearIndNumber->SetValue(FormMain->TodayYear);
  FormMain->seDrawIndNumber->SetValue(1);
  dialogs.Expect(vx::DialogKind::Message, "уже используется"_cp, mrOk);
  FormMain->btnFormingClick(nullptr);
  EXPECT_EQ(main->RecordCount(), 3);  // untouched, deleted records included
  EXPECT_FALSE(FormMain->Busy);
  Stop();
}

TEST_F(ResultsFlow, GenerationReproducesGoldenListsUnderEachCondition) {
  // Golden lists from an independent model of the generator: each pick
  // reseeds from the clock (2000, 2001, ...), weights all 1.
  apptest::WriteDrawBase(folder, "lotto", 6, 49, 50);
  apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
  using List = std::vector<std::vector<int>>;
  struct Case {
    TCheckBox* box;
    List golden;
  } cases[] = {
      {FormMain->cbxAmountMustBe,
       {{2, 3, 4, 27, 30, 41}, {2, 7, 17, 26, 27, 37}, {4, 8, 15, 16, 22, 46}, {5, 7, 17, 18, 21, 39}}},
      {FormMain->cbxRowNumRange,
       {{3, 13, 24, 28, 38, 44}, {7, 14, 22, 32, 33, 44}, {2, 12, 19, 27, 36, 45}, {5, 13, 22, 32, 34, 41}}},
      {FormMain->cbxCointLess,
       {{1, 3, 9, 16, 21, 31}, {1, 16, 29, 31, 33, 46}, {1, 13, 25, 33, 34, 47}, {7, 16, 27, 29, 30, 42}}},
      {FormMain->cbxCointLessRes,
       {{18, 34, 35, 38, 43, 46}, {7, 10, 14, 21, 39, 47}, {2, 3, 4, 27, 30, 41}, {8, 14, 17, 18, 33, 44}}},
  };
  FormMain->RowNumRange = [](int position, int& lo, int& hi) {
    lo = position * 8 - 7;
    hi = position * 8;
  };
  FormMain->speCointLess->SetValue(1);
  FormMain->speCointLessRes->SetValue(1);
  FormMain->seVol->SetValue(4);
  std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 1);
  for (const Case& c : cases) {
    apptest::CountingClock seeds(2000);
    c.box->SetChecked(true);
    FormMain->btnGenerate->Click();
    c.box->SetChecked(false);
    List got;
    vx::DataSetDrawSource source(FormMain->TableRes);
    for (source.First(); !source.Eof(); source.Next()) {
      got.emplace_back();
      for (int i = 0; i < source.NumberCount(); ++i) got.back().push_back(source.Number(i));
    }
    EXPECT_EQ(got, c.golden) << c.box->Name();
  }
  Stop();
}

// With the draw-base coincidence condition on and no base open, generation
// used to say "база не открыта" once for every combination it accepted and
// then write them all with the condition left out.
TEST_F(ResultsFlow, ACoincidenceConditionWithoutItsBaseRefusesGenerationOnce) {
  std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 1);
  FormMain->seVol->SetValue(3);
  FormMain->btnGenerate->Click();
  ASSERT_EQ(FormMain->TableRes->RecordCount(), 3);
  const AnsiString before = apptest::ReadFile(folder + "tempres.dbf");

  FormMain->cbxCointLess->SetChecked(true);
  FormMain->seVol->SetValue(50);
  dialogs.Expect(vx::DialogKind::Message, "база не открыта"_cp, mrOk);
  FormMain->btnGenerate->Click();
  EXPECT_TRUE(dialogs.Done());
  EXPECT_FALSE(FormMain->Busy);
  EXPECT_EQ(FormMain->TableRes->RecordCount(), 3);
  EXPECT_EQ(apptest::ReadFile(folder + "tempres.dbf"), before);

  // With the base open the condition counts again.
  apptest::WriteDrawBase(folder, "lotto", 6, 49, 20);
  apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
  FormMain->speCointLess->SetValue(2);
  FormMain->btnGenerate->Click();
  EXPECT_EQ(FormMain->TableRes->RecordCount(), 50);
  Stop();
}

TEST_F(ResultsFlow, HiddenGridsCopyTheResultsAndTickets) {
  // An empty results table: the heading row only, not fixed.
  ASSERT_TRUE(FormMain->OpenTempResults(3));
  FormMain->ResToSGridRes();
  TRichStringGrid* res = FormMain->SGridRes;
  EXPECT_EQ(res->RowCount(), 1);
  EXPECT_EQ(res->FixedRows(), 0);
  EXPECT_EQ(res->ColCount(), 5);
  EXPECT_EQ(res->Cells(4, 0), "P3");

  // Tickets: "№" before the numbers, which start at column 3.
  apptest::RunPython(folder,
                     "import dbf,sys\n"
                     "t=dbf.Table(sys.argv[1]+'tick.dbf','YEAR N(9,0); DRAW N(9,0); NUM N(9,0); P1 N(15,0); "
                     "P2 N(15,0)',dbf_type='db3')\n"
                     "t.open(dbf.READ_WRITE)\n"
                     "for r in [(2021,5,1,3,9),(2021,5,2,4,8),(2021,6,1,1,2)]: t.append(r)\n"
                     "t.close()\n",
                     folder);
  FormMain->OpenTableAs(FormMain->TableTick, folder + "tick.dbf");
  ASSERT_TRUE(FormMain->TableTick->Active());
  FormMain->TableTick->First();
  FormMain->TableTick->Next();
  FormMain->TableTick->Delete();
  FormMain->TickToSGridTick();
  TRichStringGrid* tick = FormMain->SGridTick;
  ASSERT_EQ(tick->RowCount(), 3);
  EXPECT_EQ(tick->FixedRows(), 1);
  const AnsiString heads[] = {"год"_cp, "тираж"_cp, "№"_cp, "P1", "P2"};
  const int widths[] = {35, 65, 35, 35, 35};
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(tick->Cells(c, 0), heads[c]);
    EXPECT_EQ(tick->ColWidths(c), widths[c]);
  }
  EXPECT_EQ(tick->Cells(2, 2), "1");
  EXPECT_EQ(tick->Cells(4, 2), "2");
  FormMain->TableTick->Close();
  Stop();
}

// Tables opened with "Открыть" used to paint the right number of rows with
// every cell empty: the columns were laid out after the grid had taken the
// rows, and the values came only once the cursor moved.
TEST_F(ResultsFlow, OpenedTablesPaintTheirValuesAtOnce) {
  apptest::RunPython(folder,
                     "import dbf,sys\n"
                     "t=dbf.Table(sys.argv[1]+'res.dbf','YEAR N(9,0); DRAW N(9,0); P1 N(15,0); P2 N(15,0)',"
                     "dbf_type='db3')\n"
                     "t.open(dbf.READ_WRITE)\n"
                     "for r in [(2031,7,11,23),(2031,8,12,34)]: t.append(r)\n"
                     "t.close()\n"
                     "t=dbf.Table(sys.argv[1]+'tick.dbf','YEAR N(9,0); DRAW N(9,0); NUM N(9,0); P1 N(15,0); "
                     "P2 N(15,0)',dbf_type='db3')\n"
                     "t.open(dbf.READ_WRITE)\n"
                     "for r in [(2032,9,4,15,27)]: t.append(r)\n"
                     "t.close()\n"
                     "import os\n"
                     "os.rename(sys.argv[1]+'tick.dbf',sys.argv[1]+'tick.tic')\n",
                     folder);
  // The texts painted into the grid.
  const auto painted = [](TDBGrid* grid) {
    vx::RecordingDevice device;
    grid->PaintTo(&device);
    std::string texts;
    for (const std::string& call : device.Calls)
      if (call.rfind("Text ", 0) == 0) texts += call.substr(call.find('"')) + " ";
    return texts;
  };
  const struct {
    const char* what;
    TButton* button;
    TDBGrid* grid;
    std::string file;
    std::vector<std::string> values;
  } cases[] = {
      {"results", FormMain->btnOpenRes, FormMain->DBGridRes, folder + "res.dbf", {"2031", "7", "11", "23", "34"}},
      {"tickets", FormMain->btnOpenTick, FormMain->DBGridTick, folder + "tick.tic", {"2032", "9", "4", "15", "27"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs.ExpectFile(vx::DialogKind::Open, c.file.c_str());
    c.button->Click();
    const std::string texts = painted(c.grid);
    for (const std::string& value : c.values) EXPECT_NE(texts.find("\"" + value + "\""), std::string::npos) << texts;
  }
  // The draw base too.
  apptest::WriteDrawRows(folder, "few", 2, 49, "[[2033,1,5,41],[2033,2,6,42]]");
  apptest::OpenDrawBase(dialogs, folder + "few.dbf");
  const std::string texts = painted(FormMain->DBGridMain);
  for (const char* value : {"2033", "41", "42"}) EXPECT_NE(texts.find(std::string("\"") + value + "\""), std::string::npos);
  Stop();
}

// The base viewer's refresh pressed while a command ran used to walk the
// same data sets to their end under the command: the comparison compared
// the first result only ("Затрачено 100") and hot numbers ended on one draw
// after a spurious end-of-base warning, both reported as complete.
TEST_F(ResultsFlow, WindowsRefilledDuringACommandDoNotMoveItsDataSets) {
  PrepareComparison();
  frmVisual->Show();
  const CommandOutcome quiet = CompareAndCountHot(nullptr);
  EXPECT_NE(quiet.report.find("Затрачено 30000"_cp), std::string::npos) << quiet.report;
  EXPECT_EQ(std::accumulate(quiet.weights.begin(), quiet.weights.end(), 0), 1800);
  const CommandOutcome busy = CompareAndCountHot([] {
    frmShowBase->tbtbRefreshMain->Click();
    frmShowBase->tbtbRefreshRes->Click();
    frmShowBase->FormActivate(nullptr);
    frmVisual->btnNext->Click();
  });
  ExpectSameOutcome(busy, quiet);
  // The refills waited for the commands and then ran: the viewer holds
  // every record.
  EXPECT_EQ(frmShowBase->ViewGridRes->RowCount(), 301);
  EXPECT_EQ(frmShowBase->ViewGridMain->RowCount(), 1001);
  frmVisual->Hide();
  Stop();
}

// The main window's own grids used to move the bases under a running
// command: the wheel over the draw grid during a comparison gave
// "Затрачено 29900" and the like, reported as complete.
TEST_F(ResultsFlow, TheMainWindowsGridsDoNotMoveTheBasesUnderACommand) {
  PrepareComparison();
  FormMain->SetBounds(0, 0, 900, 560);
  FormMain->Show();
  const CommandOutcome quiet = CompareAndCountHot(nullptr);
  // Every third tick: each use costs a repaint or two, and with one at
  // every tick they, not the commands, would take the time.
  int ticks = 0;
  const CommandOutcome busy = CompareAndCountHot([&ticks] {
    if (++ticks % 3) return;
    for (TDBGrid* grid : {FormMain->DBGridMain, FormMain->DBGridRes}) {
      vx::SendWheel(grid, -WHEEL_DELTA);
      vx::SendKey(grid, VK_DOWN);
      vx::SendKey(grid, VK_NEXT);
      vx::SendScrollBarPage(grid, true, true);
      const TPoint cell = apptest::CellCentre(grid, 2, 3);
      vx::SendClick(grid, cell.X, cell.Y);
    }
  });
  ExpectSameOutcome(busy, quiet);
  // Between its walks too (where a command pumps with the controls shown)
  // the grids neither move nor edit the bases.
  TDataSet* draws = FormMain->TableMain;
  FormMain->SetDrawGridEditable(true);
  draws->First();
  FormMain->TableRes->First();
  FormMain->Command([&](TObject*) {
    for (TDBGrid* grid : {FormMain->DBGridMain, FormMain->DBGridRes}) {
      vx::SendWheel(grid, -WHEEL_DELTA);
      vx::SendKey(grid, VK_DOWN);
      vx::SendKey(grid, '7');
      vx::SendKey(grid, VK_INSERT);
    }
    EXPECT_EQ(draws->RecNo(), 1);
    EXPECT_EQ(draws->State(), dsBrowse);
    EXPECT_EQ(FormMain->TableRes->RecNo(), 1);
  })(nullptr);
  FormMain->SetDrawGridEditable(false);
  draws->Last();
  // Once the commands are over the grids move their bases again.
  const int before = draws->RecNo();
  vx::SendWheel(FormMain->DBGridMain, WHEEL_DELTA);
  EXPECT_EQ(draws->RecNo(), before - 1);
  FormMain->TableRes->First();
  vx::SendKey(FormMain->DBGridRes, VK_DOWN);
  EXPECT_EQ(FormMain->TableRes->RecNo(), 2);
  Stop();
}

// An export or a preview of the results or tickets grid used to leave that
// table's cursor on its last record: the refill of the hidden grid walked it.
TEST_F(ResultsFlow, RefillsOfTheHiddenGridsKeepTheSelectedRecord) {
  ASSERT_TRUE(FormMain->OpenTempResults(2));
  for (int d = 1; d <= 20; ++d) FormMain->AppendResult(d, {d, d + 1});
  FormMain->TableRes->Post();
  ASSERT_TRUE(frmNewTickBase->CreateTickTable("kept", 2, false));
  frmNewTickBase->NewTable->Close();
  FormMain->OpenTableAs(FormMain->TableTick, (std::string(vx::TicketFolder()) + "kept.tic").c_str());
  TDataSet* tick = FormMain->TableTick;
  for (int n = 1; n <= 20; ++n) {
    tick->Append();
    tick->Fields()[2]->SetAsInteger(n);
    tick->Post();
  }
  const auto selectFifth = [](TDataSet* t) {
    t->First();
    t->MoveBy(4);
  };
  const struct {
    const char* what;
    TDataSet* table;
    std::function<void()> refill;
  } cases[] = {
      {"results export",
       FormMain->TableRes,
       [&] {
         dialogs.Expect(vx::DialogKind::Save, "", 0);
         FormMain->mnuResSaveToASCIIClick(nullptr);
       }},
      {"tickets export",
       tick,
       [&] {
         dialogs.Expect(vx::DialogKind::Save, "", 0);
         FormMain->mnuTickSaveToASCIIClick(nullptr);
       }},
      {"results preview",
       FormMain->TableRes,
       [&] {
         dialogs.Expect(vx::DialogKind::Modal, "", mrCancel);
         FormMain->btnResPreviewClick(nullptr);
       }},
      {"tickets preview",
       tick,
       [&] {
         dialogs.Expect(vx::DialogKind::Modal, "", mrCancel);
         FormMain->btnTickPreviewClick(nullptr);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    selectFifth(c.table);
    const std::string before = c.table->Fields()[c.table == tick ? 2 : 1]->AsString();
    ASSERT_EQ(before, "5");
    c.refill();
    EXPECT_EQ(c.table->Fields()[c.table == tick ? 2 : 1]->AsString(), before);
    EXPECT_EQ(c.table->RecNo(), 5);
  }
  FormMain->TableTick->Close();
  Stop();
}

