// The tickets base through the started program: opening and saving ticket
// tables (read back by dbfread), the draw filter, the defaults of a new
// ticket, results turned into tickets, and the ticket check's report
// against golden text.
#include <filesystem>
#include "app/bases/base_tables.h"
#include "app/bases/newbase_dialogs.h"

#include "draw_fixture.h"
#include "platform/db/field.h"
#include "platform/rtl/codepages.h"
#include "tables/dataset/txbasedataset.h"

namespace {

class Tickets : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
  }
  // A new tickets table of `numbers` numbers, open in TableTick.
  std::string NewTickets(const char* name, int numbers) {
    EXPECT_TRUE(frmNewTickBase->CreateTickTable(name, numbers, false));
    frmNewTickBase->NewTable->Close();
    const std::string path = std::string(vx::TicketFolder()) + name + ".tic";
    FormMain->OpenTableAs(FormMain->TableTick, path.c_str());
    return path;
  }
  static void AddTicket(int year, int draw, int num, const std::vector<int>& numbers) {
    TDataSet* t = FormMain->TableTick;
    t->Append();
    t->Fields()[0]->SetAsInteger(year);
    t->Fields()[1]->SetAsInteger(draw);
    t->Fields()[2]->SetAsInteger(num);
    for (std::size_t i = 0; i < numbers.size(); ++i) t->Fields()[static_cast<int>(i) + 3]->SetAsInteger(numbers[i]);
    t->Post();
  }
  // YEAR, DRAW and NUM of every ticket, as dbfread reads the file.
  std::string ReadTickets(const std::string& path) {
    return apptest::RunPython(folder,
                              "import sys,dbfread\n"
                              "print([tuple(list(x.values())[:3]) for x in dbfread.DBF(sys.argv[1])])\n",
                              path);
  }
};

TEST_F(Tickets, OpenSaveAndThePopupMenu) {
  const std::string path = NewTickets("played", 6);
  AddTicket(2002, 24, 1, {1, 2, 3, 4, 5, 6});
  FormMain->mnuCloseTickBaseClick(nullptr);
  EXPECT_FALSE(FormMain->TableTick->Active());

  dialogs.Expect(vx::DialogKind::Open, "", [&](vx::DialogRequest& r) {
    auto* d = dynamic_cast<TOpenDialog*>(r.Dialog);
    EXPECT_EQ(d->Filter(), "Ticket Tables|*.tic|All Files|*.*");
    EXPECT_EQ(d->DefaultExt(), "tic");
    EXPECT_EQ(d->FileName(), "");
    EXPECT_EQ(d->InitialDir(), vx::TicketFolder());
    d->SetFileName(path.c_str());
    return 1;
  });
  FormMain->btnOpenTick->Click();
  ASSERT_TRUE(FormMain->TableTick->Active());
  TDBGridColumns* columns = FormMain->DBGridTick->Columns();
  ASSERT_EQ(columns->Count(), 9);
  EXPECT_EQ(columns->Items(2)->Title()->Caption(), "№"_cp);
  EXPECT_EQ(columns->Items(2)->Font()->Color(), RGB(0, 0, 255));
  EXPECT_EQ(columns->Items(8)->Title()->Caption(), "P6");

  // A copy with a pending ticket in it; the open table stays.
  FormMain->TableTick->Append();
  FormMain->TableTick->Fields()[3]->SetAsInteger(9);
  const std::string copy = std::string(vx::TicketFolder()) + "copy.tic";
  dialogs.Expect(vx::DialogKind::Save, "", [&](vx::DialogRequest& r) {
    auto* d = dynamic_cast<TSaveDialog*>(r.Dialog);
    EXPECT_EQ(d->Filter(), "TIC Files|*.tic|All Files|*.*");
    EXPECT_EQ(d->FileName(), "untitled");
    EXPECT_EQ(d->InitialDir(), vx::TicketFolder());
    d->SetFileName(copy.c_str());
    return 1;
  });
  FormMain->btnSaveTick->Click();
  EXPECT_EQ(ReadTickets(copy), "[(2002, 24, 1), (2002, 24, 2)]\n");
  EXPECT_EQ(dynamic_cast<TXBaseDataSet*>(FormMain->TableTick)->TableName(), "played.tic");
  // Saving over the open table itself is refused.
  dialogs.ExpectFile(vx::DialogKind::Save, path.c_str());
  dialogs.Expect(vx::DialogKind::Message, "уже используется"_cp, mrOk);
  FormMain->btnSaveTick->Click();

  // Duplicate and delete through the popup.
  FormMain->TableTick->First();
  FormMain->mnuTickDuplicateClick(nullptr);
  dialogs.Expect(vx::DialogKind::Message, "удалить запись"_cp, mrYes);
  FormMain->mnuTickDeleteClick(nullptr);
  FormMain->mnuCloseTickBaseClick(nullptr);
  EXPECT_EQ(ReadTickets(path), "[(2002, 24, 1), (2002, 24, 2)]\n");

  // "Создать базу" closes the tickets table before the dialog.
  FormMain->OpenTableAs(FormMain->TableTick, path.c_str());
  dialogs.Expect(vx::DialogKind::Modal, "", [](vx::DialogRequest&) {
    EXPECT_FALSE(FormMain->TableTick->Active());
    return mrCancel;
  });
  FormMain->mnuNewTickBase->Click();

  dialogs.Expect(vx::DialogKind::Message, "база билетов не открыта"_cp, mrOk);
  FormMain->btnSaveTick->Click();
  Stop();
}

TEST_F(Tickets, ResultsBecomeTicketsOfOneDraw) {
  // Messages before anything is written.
  struct Guard {
    bool results, tickets;
    int ticketNumbers;
    const char* message;
  };
  for (const Guard& g :
       {Guard{false, true, 6, "база результатов не открыта"}, Guard{true, false, 6, "база билетов не открыта"},
        Guard{true, true, 5, "разная размерность баз билетов и результатов"}}) {
    FormMain->mnuCloseResBaseClick(nullptr);
    FormMain->mnuCloseTickBaseClick(nullptr);
    if (g.results) ASSERT_TRUE(FormMain->OpenTempResults(6));
    if (g.tickets) NewTickets("guard", g.ticketNumbers);
    dialogs.Expect(vx::DialogKind::Message, vx::Utf8ToCp1251(g.message), mrOk);
    FormMain->btnAddToTickets->Click();
    if (g.tickets) EXPECT_EQ(FormMain->TableTick->RecordCount(), 0) << g.message;
  }

  // Five results, two of them deleted: the header still counts five.
  FormMain->mnuCloseTickBaseClick(nullptr);
  ASSERT_TRUE(FormMain->OpenTempResults(6));
  for (int d = 1; d <= 5; ++d) FormMain->AppendResult(2010, d, {d, d + 1, d + 2, d + 3, d + 4, d + 5});
  FormMain->TableRes->Post();
  FormMain->TableRes->First();
  FormMain->TableRes->Delete();  // draw 1
  FormMain->TableRes->Next();
  FormMain->TableRes->Delete();  // draw 3
  EXPECT_EQ(FormMain->TableRes->RecordCount(), 5);

  const std::string path = NewTickets("played", 6);
  AddTicket(2002, 24, 1, {40, 41, 42, 43, 44, 45});
  EXPECT_EQ(FormMain->speAddToTickYear->Value(), 2002);
  EXPECT_EQ(FormMain->speAddToTickDraw->Value(), 24);
  FormMain->btnAddToTickets->Click();
  // The last ticket is written as well, though the table is closed at
  // once (a close drops a pending record).
  FormMain->TableTick->Close();
  const std::string out = apptest::RunPython(folder,
                                             "import sys,dbfread\n"
                                             "for x in dbfread.DBF(sys.argv[1]): print(list(x.values()))\n",
                                             path);
  EXPECT_EQ(out,
            "[2002, 24, 1, 40, 41, 42, 43, 44, 45]\n"
            "[2002, 24, 1, 2, 3, 4, 5, 6, 7]\n"
            "[2002, 24, 2, 4, 5, 6, 7, 8, 9]\n"
            "[2002, 24, 3, 5, 6, 7, 8, 9, 10]\n");
  Stop();
}

TEST_F(Tickets, AFailingTicketIsNotKept) {
  // A tickets table of another program whose NUM is a date: the first
  // ticket fails as its NUM is written and is dropped, not left pending.
  ASSERT_TRUE(FormMain->OpenTempResults(2));
  FormMain->AppendResult(2002, 1, {5, 17});
  FormMain->TableRes->Post();
  std::filesystem::create_directories(std::string(vx::TicketFolder()));
  const std::string path = std::string(vx::TicketFolder()) + "odd.tic";
  apptest::RunPython(folder,
                     "import dbf,sys\n"
                     "t=dbf.Table(sys.argv[1],'YEAR N(9,0); DRAW N(9,0); NUM D; P1 N(15,0); P2 N(15,0)',"
                     "dbf_type='db3')\n"
                     "t.open(dbf.READ_WRITE)\nt.close()\n"
                     "import os\nos.rename(sys.argv[1]+'.dbf',sys.argv[1])\n",
                     path);
  FormMain->OpenTableAs(FormMain->TableTick, path.c_str());
  ASSERT_TRUE(FormMain->TableTick->Active());
  dialogs.Expect(vx::DialogKind::Message, "Error in procedure \"btnAddToTicketsClick\"", mrOk);
  FormMain->btnAddToTickets->Click();
  EXPECT_FALSE(IsEditState(FormMain->TableTick->State()));
  FormMain->TableTick->First();
  EXPECT_TRUE(FormMain->TableTick->Eof());
  FormMain->TableTick->Close();
  EXPECT_EQ(ReadTickets(path), "[]\n");
  Stop();
}

TEST_F(Tickets, NewTicketDefaults) {
  NewTickets("played", 6);
  TDataSet* t = FormMain->TableTick;
  auto fields = [t] {
    std::string text;
    for (int i = 0; i < 3; ++i) text += (i ? "/" : "") + std::string(t->Fields()[i]->AsString());
    return text;
  };
  // An empty table: nothing is filled in (blank numbers read as 0).
  t->Append();
  EXPECT_EQ(fields(), "0/0/0");
  t->Cancel();
  AddTicket(2003, 7, 1, {1, 2, 3, 4, 5, 6});
  AddTicket(2003, 7, 2, {1, 2, 3, 4, 5, 6});
  AddTicket(2003, 8, 5, {1, 2, 3, 4, 5, 6});

  struct Case {
    const char* name;
    std::function<void()> insert;
    const char* expected;
  };
  const Case cases[] = {
      // Right after a post the cursor is on the last ticket but not at the
      // end of the table.
      {"append after a post", [t] { t->Append(); }, "0/0/0"},
      {"append after Last",
       [t] {
         t->Last();
         t->Append();
       },
       "2003/8/6"},
      {"insert after Last",
       [t] {
         t->Last();
         t->Insert();
       },
       "2003/8/6"},
      {"insert after First",
       [t] {
         t->First();
         t->Insert();
       },
       "2003/7/2"},
      {"insert in the middle",
       [t] {
         t->First();
         t->Next();
         t->Insert();
       },
       "0/0/0"},
      {"append from the middle",
       [t] {
         t->First();
         t->Next();
         t->Append();
       },
       "0/0/0"},
  };
  for (const Case& c : cases) {
    c.insert();
    EXPECT_EQ(fields(), c.expected) << c.name;
    t->Cancel();
  }
  Stop();
}

class TicketCheck : public Tickets {
 protected:
  void SetUp() override {
    Tickets::SetUp();
    apptest::WriteDrawRows(folder, "lotto", 6, 49,
                           "[[2002,1,1,2,3,4,5,6],[2002,2,1,20,21,22,23,24],[2002,3,7,8,9,40,41,42],"
                           "[2002,4,10,11,12,13,14,15]]");
    apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
    frmOptions->Prizes[3] = 10;
    frmOptions->Prizes[5] = 1000;
    frmOptions->DrawCost = 2;
    apptest::SetRange(FormMain->seYearFromTickCheck, FormMain->seDrawFromTickCheck, FormMain->seYearToTickCheck,
                      FormMain->seDrawToTickCheck, 2002, 1, 2002, 3);
    FormMain->seNumOfCoins->SetValue(3);
    NewTickets("played", 6);
    AddTicket(2002, 24, 1, {1, 2, 3, 10, 11, 12});
    AddTicket(2002, 24, 2, {1, 1, 2, 20, 21, 22});  // 1 twice: two coincidences with a draw's 1
    AddTicket(2002, 25, 1, {40, 41, 42, 43, 44, 45});
  }
  static std::string Report() { return vx::Cp1251ToUtf8(FormMain->memoCheck->Text()); }
};

TEST_F(TicketCheck, ReportMatchesGoldenText) {
  FormMain->ShowPage(FormMain->tsTickets);
  FormMain->memoCheck->SetText("old report");
  FormMain->btnCheckTick->Click();
  EXPECT_EQ(Report(),
            "В тираже 2002 год 1 тираж  - 3 совпадений c вариантом 1\r\n"
            "В тираже 2002 год 1 тираж  - 3 совпадений c вариантом 2\r\n"
            "В тираже 2002 год 2 тираж  - 5 совпадений c вариантом 2\r\n"
            "В тираже 2002 год 3 тираж  - 3 совпадений c вариантом 3\r\n"
            "-------------------------\r\n"
            "Затрачено 18,  Выиграно 1030\r\n");
  EXPECT_EQ(FormMain->PageControlMain->ActivePage(), FormMain->tsCompare);
  EXPECT_FALSE(FormMain->Busy);
  Stop();
}

TEST_F(TicketCheck, FilterLimitsTheTicketsChecked) {
  // Changed while filtering is off: every ticket still shows.
  FormMain->speYearFilter->SetValue(2002);
  FormMain->speDrawFilter->SetValue(24);
  EXPECT_EQ(FormMain->TableTick->Filter(), "(YEAR=2002) AND (DRAW=24)");
  auto walked = [] {
    int n = 0;
    for (FormMain->TableTick->First(); !FormMain->TableTick->Eof(); FormMain->TableTick->Next()) ++n;
    return n;
  };
  EXPECT_EQ(walked(), 3);
  FormMain->cbxFiltered->SetChecked(true);
  EXPECT_EQ(walked(), 2);
  FormMain->speDrawFilter->SetValue(25);
  EXPECT_EQ(walked(), 1);
  FormMain->speDrawFilter->SetValue(24);

  FormMain->btnCheckTick->Click();
  EXPECT_EQ(Report(),
            "В тираже 2002 год 1 тираж  - 3 совпадений c вариантом 1\r\n"
            "В тираже 2002 год 1 тираж  - 3 совпадений c вариантом 2\r\n"
            "В тираже 2002 год 2 тираж  - 5 совпадений c вариантом 2\r\n"
            "-------------------------\r\n"
            "Затрачено 12,  Выиграно 1020\r\n");
  FormMain->cbxFiltered->SetChecked(false);
  EXPECT_EQ(walked(), 3);
  Stop();
}

TEST_F(TicketCheck, MissingStartDrawAndClosedTables) {
  FormMain->seDrawFromTickCheck->SetValue(9);
  FormMain->memoCheck->SetText("old");
  dialogs.Expect(vx::DialogKind::Message, "2002/9", mrOk);
  FormMain->btnCheckTick->Click();
  EXPECT_EQ(FormMain->memoCheck->Text(), "");
  EXPECT_NE(FormMain->PageControlMain->ActivePage(), FormMain->tsCompare);
  EXPECT_FALSE(FormMain->Busy);

  FormMain->mnuCloseTickBaseClick(nullptr);
  dialogs.Expect(vx::DialogKind::Message, "Результатов нет"_cp, mrOk);
  FormMain->btnCheckTick->Click();
  Stop();
}

}  // namespace
