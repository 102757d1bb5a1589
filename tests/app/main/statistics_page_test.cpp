// The Statistics page through the started program on bases written by
// python3-dbf: each statistic's grid (headings, widths, fixed cells,
// caption), the layouts a failed search leaves, the warnings, the rows of
// a table with deleted and hidden records, filling against a literal walk
// over the data set, and the sums of cells dragged over.
#include <filesystem>
#include <map>

#include "app/analysis/statistics.h"
#include "draw_fixture.h"
#include "platform/db/field.h"
#include "platform/gui/controls/stdctrls.h"
#include "platform/gui/core/hintwindow.h"

namespace {

using Texts = std::vector<std::string>;

std::vector<int> Widths(TRichStringGrid* g) {
  std::vector<int> w;
  for (int c = 0; c < g->ColCount(); ++c) w.push_back(g->ColWidths(c));
  return w;
}

class StatisticsPage : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    f = FormMain;
    g = f->SGrid;
  }
  void TearDown() override {
    Stop();
    AppTest::TearDown();
  }
  // Two numbers of 1..6 per draw, 2020/1 .. 2020/5.
  void OpenFive() {
    apptest::WriteDrawRows(folder, "five", 2, 6, "[[2020,1,1,2],[2020,2,1,3],[2020,3,2,3],[2020,4,1,4],[2020,5,1,3]]");
    apptest::OpenDrawBase(dialogs, folder + "five.dbf");
    Range(1, 5);
  }
  void Range(int from, int to) {
    apptest::SetRange(f->seYearFrom, f->seDrawFrom, f->seYearTo, f->seDrawTo, 2020, from, 2020, to);
  }
  void Run(TRadioButton* choice) {
    choice->SetChecked(true);
    f->btnCalculateStat->Click();
    EXPECT_FALSE(f->Busy);
  }
  AnsiString Caption() const { return f->gbxResStat->Caption(); }
  TFormMain* f = nullptr;
  TRichStringGrid* g = nullptr;
};

}  // namespace

TEST_F(StatisticsPage, EachStatisticFillsTheGrid) {
  OpenFive();
  const int dw = g->DefaultColWidth();

  Run(f->rbtnAverInterval);
  EXPECT_EQ(apptest::GridRow(g, 0),
            (Texts{"№"_cp, "Всего"_cp, "Последнее"_cp, "Сред"_cp, "Макс"_cp, "Мин"_cp, "Ожидается"_cp}));
  EXPECT_EQ(Widths(g), (std::vector<int>{35, 45, 80, 50, 50, 50, 80}));
  ASSERT_EQ(g->RowCount(), 7);
  EXPECT_EQ(g->FixedRows(), 1);
  EXPECT_EQ(g->FixedCols(), 0);
  EXPECT_EQ(apptest::GridRow(g, 3), (Texts{"3", "3", "0", "2", "2", "1", "1"}));
  EXPECT_EQ(apptest::GridRow(g, 6), (Texts{"6", "0", "5", "0", "0", "0", "-4"}));
  EXPECT_EQ(Caption(), "Статистика 5 тиражей"_cp);

  // One number column per number field, whatever shape the options give
  // the base; the whole table whatever the range.
  f->BaseDrawnCount = 6;
  Range(3, 4);
  Run(f->rbtnNonary);
  EXPECT_EQ(apptest::GridRow(g, 0), (Texts{"год"_cp, "тираж"_cp, "P1", "P2", "Сумма"_cp}));
  EXPECT_EQ(Widths(g), (std::vector<int>{35, 65, 35, 35, 50}));
  ASSERT_EQ(g->RowCount(), 6);
  EXPECT_EQ(apptest::GridRow(g, 4), (Texts{"2020", "4", "1", "4", "5"}));
  EXPECT_EQ(Caption(), "Статистика 5 тиражей"_cp);

  // 7 over 2 draws averages 4; columns 2 to 5 keep the default width.
  Range(1, 5);
  Run(f->rbtnAmounts);
  EXPECT_EQ(apptest::GridRow(g, 0),
            (Texts{"год"_cp, "тираж"_cp, "Сумма"_cp, "Макс"_cp, "Мин"_cp, "Сред"_cp, "Отклонение"_cp}));
  EXPECT_EQ(Widths(g), (std::vector<int>{35, 65, dw, dw, dw, dw, 100}));
  ASSERT_EQ(g->RowCount(), 6);
  EXPECT_EQ(apptest::GridRow(g, 2), (Texts{"2020", "2", "4", "4", "3", "4", "0"}));
  EXPECT_EQ(apptest::GridRow(g, 5), (Texts{"2020", "5", "4", "5", "3", "4", "0"}));
  EXPECT_EQ(Caption(), "Статистика 5 тиражей"_cp);

  // The open base's highest number; the caption stays as reset.
  Run(f->rbtnPairs);
  ASSERT_EQ(g->RowCount(), 7);
  ASSERT_EQ(g->ColCount(), 7);
  EXPECT_EQ(g->FixedCols(), 1);
  EXPECT_EQ(apptest::GridRow(g, 0), (Texts{"№/№"_cp, "1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(apptest::GridRow(g, 1), (Texts{"1", "X", "1", "2", "1", "0", "0"}));
  EXPECT_EQ(apptest::GridRow(g, 3), (Texts{"3", "2", "1", "X", "0", "0", "0"}));
  EXPECT_EQ(Widths(g), (std::vector<int>{30, 25, 25, 25, 25, 25, 25}));
  EXPECT_EQ(Caption(), "Статистика"_cp);

  // The drawn-count setting gives the rows.
  f->seDrawn->SetValue(3);
  Run(f->rbtnFilled);
  EXPECT_EQ(apptest::GridRow(g, 0), (Texts{"Номеров"_cp, "Сред"_cp, "Макс"_cp, "Мин"_cp, "Конечное"_cp, "Ном.Сред"_cp,
                                           "Ном.Макс"_cp, "Ном.Мин"_cp, "Ном.Конечное"_cp}));
  EXPECT_EQ(Widths(g), (std::vector<int>{50, 35, 35, 35, 60, 60, 60, 60, 80}));
  ASSERT_EQ(g->RowCount(), 4);
  EXPECT_EQ(apptest::GridRow(g, 3)[0], "3");
  EXPECT_EQ(Caption(), "Статистика 4 тиражей"_cp);
  // Every cell is centred.
  TAlignment a = taLeftJustify;
  g->OnGetAlignment(g, 2, 3, a);
  EXPECT_EQ(a, taCenter);
}

// "Из скольких" = 99999 in the options (put in by the program, or in a
// settings file edited by hand) used to size the pairs table from that
// number: about 80 GB asked for, "std::bad_alloc." and a 100,000-column
// grid, or the sanitizer build out of memory. The base opens with the
// shape limited to 81, and every table is sized from that.
TEST_F(StatisticsPage, TablesAreSizedFromTheLimitedShape) {
  const char* const rows = "[[2020,1,1,81],[2020,2,1,3]]";
  auto check = [&] {
    apptest::OpenDrawBase(dialogs, folder + "wide.dbf");
    EXPECT_EQ(f->BaseHighestNumber, 81);
    EXPECT_EQ(f->HighestNumber, 81);
    EXPECT_EQ(f->Weights.size(), 81u);
    Range(1, 2);
    Run(f->rbtnPairs);
    EXPECT_EQ(g->ColCount(), 82);
    EXPECT_EQ(g->RowCount(), 82);
    EXPECT_EQ(g->Cells(81, 1), "1");
    Run(f->rbtnAverInterval);
    EXPECT_EQ(g->RowCount(), 82);
  };
  {
    SCOPED_TRACE("put into the list by the program");
    apptest::WriteDrawRows(folder, "wide", 2, 99999, rows);
    check();
  }
  {
    SCOPED_TRACE("settings file edited by hand");
    Stop();
    vx::ResetLanguageQuestion();
    std::filesystem::remove(folder + "wide.cdx");  // opened as the first time
    apptest::WriteFile(folder + "Vexamund.ini",
                       "[Options]\r\nCell_Row=2\r\nCell1_0=wide.dbf\r\nCell1_1=2\r\nCell1_2=99999\r\n"
                       "Cell1_3=wide\r\n");
    Start();
    f = FormMain;
    g = f->SGrid;
    EXPECT_EQ(frmOptions->sgBaseName->Cells(2, 1), "81");
    check();
  }
}

TEST_F(StatisticsPage, FailedSearchesWarningsAndRefusals) {
  OpenFive();
  struct Case {
    const char* what;
    TRadioButton* choice;
    int from, to;
    std::vector<std::pair<vx::DialogKind, AnsiString>> dialogs;
    int cols, rows;
    AnsiString corner;
  };
  const AnsiString notFound = "2020/9 " + AnsiString("не найден"_cp);
  const AnsiString end = "Достигнут конец базы,не совпадающий с конечным тиражем!"_cp;
  const AnsiString start = "Достигнуто начало базы,не совпадающее с указанными значениями!"_cp;
  const Case cases[] = {
      {"interval, from missing", f->rbtnAverInterval, 9, 5, {{vx::DialogKind::Message, notFound}}, 1, 1, ""},
      {"sums, from missing", f->rbtnAmounts, 9, 5, {{vx::DialogKind::Message, notFound}}, 7, 2, "год"_cp},
      {"pairs, from missing", f->rbtnPairs, 9, 5, {{vx::DialogKind::Message, notFound}}, 7, 7, "№/№"_cp},
      {"filling, to missing", f->rbtnFilled, 1, 9, {{vx::DialogKind::Message, notFound}}, 1, 1, ""},
      {"interval, to missing", f->rbtnAverInterval, 2, 9, {{vx::DialogKind::Message, end}}, 7, 7, "№"_cp},
      {"sums, to missing", f->rbtnAmounts, 2, 9, {{vx::DialogKind::Message, end}}, 7, 5, "год"_cp},
      {"pairs, to missing", f->rbtnPairs, 2, 9, {{vx::DialogKind::Message, end}}, 7, 7, "№/№"_cp},
      {"filling, from after to", f->rbtnFilled, 5, 4, {{vx::DialogKind::Message, start}}, 9, 3, "Номеров"_cp},
  };
  for (const Case& c : cases) {
    Range(c.from, c.to);
    for (const auto& [kind, text] : c.dialogs) dialogs.Expect(kind, text, mrCancel);
    Run(c.choice);
    EXPECT_TRUE(dialogs.Done()) << c.what;
    EXPECT_EQ(g->ColCount(), c.cols) << c.what;
    EXPECT_EQ(g->RowCount(), c.rows) << c.what;
    EXPECT_EQ(g->Cells(0, 0), c.corner) << c.what;
  }
  // A failed search leaves an empty frame; a warning keeps what was read.
  Range(9, 5);
  dialogs.Expect(vx::DialogKind::Message, notFound, mrOk);
  Run(f->rbtnPairs);
  EXPECT_EQ(g->Cells(1, 1), "");
  EXPECT_EQ(g->Cells(1, 0), "");
  EXPECT_EQ(Caption(), "Статистика"_cp);
  Range(4, 9);
  dialogs.Expect(vx::DialogKind::Message, end, mrCancel);
  Run(f->rbtnAmounts);
  // 9 over 2 draws averages 4.
  EXPECT_EQ(apptest::GridRow(g, 2), (Texts{"2020", "5", "4", "5", "4", "4", "0"}));
  EXPECT_EQ(Caption(), "Статистика 2 тиражей"_cp);

  // Nothing chosen.
  f->rbtnPairs->SetChecked(true);
  f->rbtnPairs->SetChecked(false);
  dialogs.Expect(vx::DialogKind::Message, "Ничего не выбрано"_cp, mrOk);
  f->btnCalculateStat->Click();
  EXPECT_EQ(g->ColCount(), 1);
  EXPECT_EQ(g->RowCount(), 1);

  // No base: every statistic stops at the check.
  f->CloseMainClick(nullptr);
  for (TRadioButton* choice : {f->rbtnAverInterval, f->rbtnNonary, f->rbtnFilled, f->rbtnAmounts, f->rbtnPairs}) {
    dialogs.Expect(vx::DialogKind::Message, "база не открыта"_cp, mrOk);
    Run(choice);
    EXPECT_EQ(g->ColCount(), 1);
    EXPECT_EQ(Caption(), "Статистика"_cp);
  }
  EXPECT_TRUE(f->StopFlag);
  EXPECT_FALSE(f->btnStop->Enabled());
}

TEST_F(StatisticsPage, NumbersOutsideTheGameAreRefused) {
  apptest::WriteDrawRows(folder, "bad", 2, 6, "[[2020,1,1,2],[2020,2,1,7],[2020,3,0,3]]");
  apptest::OpenDrawBase(dialogs, folder + "bad.dbf");
  Range(1, 3);
  const AnsiString refused = "2020/2 " + AnsiString("недопустимый номер 7"_cp);
  for (TRadioButton* choice : {f->rbtnAverInterval, f->rbtnPairs}) {
    dialogs.Expect(vx::DialogKind::Message, refused, mrOk);
    Run(choice);
    EXPECT_EQ(Caption(), "Статистика"_cp);
  }
  // Filling reads the draws from the To draw back to the From draw.
  Range(3, 3);
  dialogs.Expect(vx::DialogKind::Message, "2020/3 " + AnsiString("недопустимый номер 0"_cp), mrOk);
  Run(f->rbtnFilled);
  EXPECT_EQ(g->ColCount(), 1);
  // Sums and digital roots take any number.
  Range(1, 3);
  Run(f->rbtnAmounts);
  EXPECT_EQ(g->Cells(2, 2), "8");
}

// Deleted records and a draw held twice (the unique index shows it once)
// leave no empty rows: the rows are the records walked.
TEST_F(StatisticsPage, RowsAreTheRecordsWalked) {
  apptest::WriteDrawRows(folder, "gaps", 2, 6,
                         "[[2020,1,1,2],[2020,2,1,3],[2020,2,4,5],[2020,3,2,3],[2020,4,1,4],[2020,5,1,3]]");
  apptest::OpenDrawBase(dialogs, folder + "gaps.dbf");
  TDataSet* t = f->TableMain;
  t->First();
  t->Next();
  t->Next();
  ASSERT_EQ(t->Fields()[1]->AsInteger(), 3);
  t->Delete();
  ASSERT_EQ(t->RecordCount(), 6);
  Run(f->rbtnNonary);
  EXPECT_EQ(g->RowCount(), 5);
  EXPECT_EQ(apptest::GridRow(g, 4), (Texts{"2020", "5", "1", "3", "4"}));
  EXPECT_EQ(Caption(), "Статистика 4 тиражей"_cp);
}

namespace {

// Filling as a literal walk over the data set's Prior, MoveBy and
// beginning-of-table flag: rows of the grid as texts, the steps and whether
// the start-of-base warning would show.
struct Literal {
  std::vector<Texts> rows;
  int steps = 0;
  bool warned = false;
};

Literal LiteralFilling(TDataSet* t, int yearFrom, int drawFrom, int yearTo, int drawTo, int D, int H) {
  auto at = [t](int y, int d) { return t->Fields()[0]->AsInteger() == y && t->Fields()[1]->AsInteger() == d; };
  auto number = [t](int p) { return t->Fields()[p + 2]->AsInteger(); };
  const int P = t->FieldCount() - 2;
  t->First();
  while (!t->Eof() && !at(yearTo, drawTo)) t->Next();
  std::vector<long long> avgD(H + 1), maxD(H + 1), minD(H + 1), lastD(H + 1), sumS(H + 1), lastS(H + 1), maxS(H + 1),
      minS(H + 1);
  Literal out;
  int matched = 0;
  while (!t->Bof()) {
    int back = 0, depth = 0;
    matched = 0;
    std::vector<int> mine(P), seen(H + 1);
    for (int p = 0; p < P; ++p) mine[p] = number(p), --seen[number(p)];
    while (!t->Bof()) {
      for (int p = 0; p < P; ++p) ++seen[number(p)];
      for (int p = 0; p < P; ++p) {
        const int x = mine[p];
        if (x <= 0 || seen[x] < 1) continue;
        mine[p] = 0;
        ++matched;
        int now = 0;
        for (int v = 0; v <= H; ++v) now += seen[v] > 0;
        avgD[matched] += depth;
        sumS[matched] += now;
        if (out.steps > 0) {
          maxD[matched] = std::max<long long>(maxD[matched], depth);
          minD[matched] = std::min<long long>(minD[matched], depth);
          maxS[matched] = std::max<long long>(maxS[matched], now);
          minS[matched] = std::min<long long>(minS[matched], now);
        } else {
          maxD[matched] = minD[matched] = lastD[matched] = depth;
          lastS[matched] += now;
          maxS[matched] = minS[matched] = lastS[matched];
        }
      }
      if (matched >= D) break;
      ++depth;
      if (at(yearFrom, drawFrom)) break;
      t->Prior();
      if (!t->Bof()) ++back;  // on the first record Prior sets the flag and stays
    }
    t->MoveBy(back);
    if (at(yearFrom, drawFrom)) break;
    t->Prior();
    ++out.steps;
  }
  out.warned =
      matched < D && ((t->Bof() && t->Fields()[0]->AsInteger() != yearFrom) || t->Fields()[1]->AsInteger() != drawFrom);
  const long long S = out.steps ? out.steps : 1;
  auto round = [S](long long v) { return std::to_string(Round(static_cast<long double>(v) / S)); };
  for (int m = 1; m <= D; ++m)
    out.rows.push_back({std::to_string(m), round(avgD[m]), std::to_string(maxD[m]), std::to_string(minD[m]),
                        std::to_string(lastD[m]), round(sumS[m]), std::to_string(maxS[m]), std::to_string(minS[m]),
                        std::to_string(lastS[m])});
  return out;
}

}  // namespace

TEST_F(StatisticsPage, FillingAgreesWithALiteralWalkOverTheDataSet) {
  apptest::WriteDrawBase(folder, "lotto", 6, 49, 300);
  apptest::OpenDrawBase(dialogs, folder + "lotto.dbf");
  const AnsiString start = "Достигнуто начало базы"_cp;
  struct Case {
    int yearFrom, drawFrom, yearTo, drawTo;
  };
  // Inside a year, across years, From = To, From missing, From after To,
  // To on the first record.
  const Case cases[] = {{2001, 10, 2001, 60}, {2000, 50, 2002, 100}, {2001, 5, 2001, 5},
                        {1999, 1, 2000, 80},  {2002, 7, 2002, 3},    {2000, 1, 2000, 1}};
  for (const Case& c : cases) {
    apptest::SetRange(f->seYearFrom, f->seDrawFrom, f->seYearTo, f->seDrawTo, c.yearFrom, c.drawFrom, c.yearTo,
                      c.drawTo);
    const Literal want = LiteralFilling(f->TableMain, c.yearFrom, c.drawFrom, c.yearTo, c.drawTo, 6, 49);
    if (want.warned) dialogs.Expect(vx::DialogKind::Message, start, mrCancel);
    Run(f->rbtnFilled);
    ASSERT_EQ(g->RowCount(), 7);
    for (int m = 1; m <= 6; ++m) EXPECT_EQ(apptest::GridRow(g, m), want.rows[m - 1]) << c.drawFrom << ".." << c.drawTo;
    EXPECT_EQ(Caption(), "Статистика "_cp + std::to_string(want.steps) + " " + std::string("тиражей"_cp));
    EXPECT_TRUE(dialogs.Done());
  }
}

TEST_F(StatisticsPage, DraggingSumsTheCellsIntoTheLabelsAndOneHint) {
  OpenFive();
  Run(f->rbtnAmounts);
  f->Show();
  f->ShowPage(f->tsStatistic);
  Application->ProcessMessages();
  auto centre = [this](int c, int r) { return apptest::CellCentre(g, c, r); };
  // Sums 3 4 (draws 1 and 2) and their largest 3 4: 14 over 4 cells.
  TPoint p = centre(2, 1);
  vx::SendMouseDown(g, p.X, p.Y);
  p = centre(3, 2);
  vx::SendMouseMove(g, p.X, p.Y, TShiftState{ssLeft});
  EXPECT_EQ(f->lblSelCellsSum->Caption(), "S=14");
  EXPECT_EQ(f->lblSelCellsCount->Caption(), "N=4");
  EXPECT_EQ(f->lblSelCells9Sum->Caption(), "9S=5");
  THintWindow* hint = f->StatDrag->Hint();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->Active());
  EXPECT_EQ(hint->Caption(), "N=4");
  // Up to the heading row: its texts count as cells adding 0.
  p = centre(3, 0);
  vx::SendMouseMove(g, p.X, p.Y, TShiftState{ssLeft});
  EXPECT_EQ(f->lblSelCellsCount->Caption(), "N=4");
  EXPECT_EQ(f->lblSelCellsSum->Caption(), "S=6");
  // Off the cells the sum stays.
  vx::SendMouseMove(g, g->Width() + 50, p.Y, TShiftState{ssLeft});
  EXPECT_EQ(f->lblSelCellsCount->Caption(), "N=4");
  p = centre(2, 3);
  vx::SendMouseUp(g, p.X, p.Y);
  EXPECT_EQ(f->lblSelCellsSum->Caption(), "S=12");
  EXPECT_EQ(f->lblSelCellsCount->Caption(), "N=3");
  EXPECT_FALSE(hint->Active());
  EXPECT_FALSE(f->StatDrag->Dragging());

  // A second drag reuses the hint window.
  p = centre(6, 4);
  vx::SendMouseDown(g, p.X, p.Y);
  p = centre(6, 5);
  vx::SendMouseMove(g, p.X, p.Y, TShiftState{ssLeft});
  EXPECT_EQ(f->StatDrag->Hint(), hint);
  EXPECT_EQ(f->lblSelCellsSum->Caption(), "S=1");
  EXPECT_EQ(f->lblSelCells9Sum->Caption(), "9S=1");
  vx::SendMouseUp(g, p.X, p.Y);
  // Moving without a press sums nothing.
  p = centre(2, 1);
  vx::SendMouseMove(g, p.X, p.Y);
  EXPECT_EQ(f->lblSelCellsSum->Caption(), "S=1");
  EXPECT_FALSE(hint->Active());
}
