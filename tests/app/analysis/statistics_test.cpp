// The statistics over small draw fixtures whose results were worked out by
// hand: intervals, digital roots, sums (halves rounded to even), pairs and
// filling (the walk back with its stops at the From draw and at the first
// record).
#include <gtest/gtest.h>

#include "app/analysis/statistics.h"
#include "rows_source.h"

namespace {

using Rows = std::vector<std::vector<long long>>;
using Draws = std::vector<std::vector<int>>;

Rows TableRows(const vx::NumberTable& t) {
  Rows rows;
  for (int r = 0; r < t.Rows(); ++r) {
    std::vector<long long>& row = rows.emplace_back();
    for (int c = 0; c < t.Width; ++c) row.push_back(t.At(c, r));
  }
  return rows;
}

// The source standing on draw `from` (2020/from).
apptest::RowsSource From(Draws draws, int from) {
  apptest::RowsSource s(std::move(draws));
  EXPECT_EQ(vx::SeekDraw(s, 2020, from, nullptr), vx::SeekResult::Found);
  return s;
}

vx::DrawRows Collect(Draws draws) {
  apptest::RowsSource s(std::move(draws));
  vx::DrawRows rows;
  for (s.First(); !s.Eof(); s.Next()) rows.Add(s);
  return rows;
}

// Two numbers of 1..6 per draw.
const Draws kFive = {{1, 2}, {1, 3}, {2, 3}, {1, 4}, {1, 3}};

}  // namespace

TEST(Statistics, DigitalRoot) {
  const std::pair<long long, long long> cases[] = {{0, 0}, {9, 9}, {10, 1}, {99, 9}, {49, 4}, {-5, -5}, {123456, 3}};
  for (const auto& [n, root] : cases) EXPECT_EQ(vx::Calc9summ(n), root) << n;
}

TEST(Statistics, IntervalsPerNumber) {
  // Columns: number, comings, draws since the last, average, largest and
  // smallest gap, expected. Number 3 comes at draws 2, 3, 5: gaps 1 and 2
  // average 1.5 -> 2; its expected 5 * 6 / 4 - 1 = 6.5 -> 6, less K = 5.
  // Number 4 came once: no gaps. 5 and 6 never came: "last" is K.
  const Rows want = {{1, 4, 0, 1, 2, 1, 1}, {2, 2, 2, 2, 2, 2, -1}, {3, 3, 0, 2, 2, 1, 1},
                     {4, 1, 1, 0, 0, 0, 1}, {5, 0, 5, 0, 0, 0, -4}, {6, 0, 5, 0, 0, 0, -4}};
  for (const int to : {5, 9}) {
    apptest::RowsSource s = From(kFive, 1);
    const vx::StatisticResult r = vx::IntervalStatistic(s, 2020, to, 6);
    EXPECT_EQ(TableRows(r.Table), want);
    EXPECT_EQ(r.Count, 5);
    EXPECT_EQ(r.EndOfBase, to == 9);
  }
  // A range inside the table counts from its own first draw.
  apptest::RowsSource s = From(kFive, 2);
  const vx::StatisticResult r = vx::IntervalStatistic(s, 2020, 4, 6);
  EXPECT_EQ(r.Count, 3);
  EXPECT_EQ(TableRows(r.Table)[0], (std::vector<long long>{1, 2, 0, 2, 2, 2, 1}));
}

TEST(Statistics, IntervalsOfALongBaseDoNotOverflow) {
  // 50,000 draws all holding 1: (50,000 + 2) * (50,000 + 1) passes 2^31;
  // the expected value is 50,002 - 1 - 50,000 = 1.
  apptest::RowsSource s = From(Draws(50000, std::vector<int>{1}), 1);
  const vx::StatisticResult r = vx::IntervalStatistic(s, 2020, 50000, 1);
  EXPECT_EQ(TableRows(r.Table), (Rows{{1, 50000, 0, 1, 1, 1, 1}}));
}

TEST(Statistics, SumsRoundHalvesToEven) {
  struct Case {
    Draws draws;
    int from, to;
    Rows want;  // year, draw, sum, largest, smallest, average, deviation
  };
  const Case cases[] = {
      // 5 over 2 rows gives 2, 7 over 2 gives 4.
      {{{1, 1}, {1, 2}}, 1, 2, {{2020, 1, 2, 2, 2, 2, 0}, {2020, 2, 3, 3, 2, 2, 1}}},
      {{{1, 2}, {2, 2}}, 1, 2, {{2020, 1, 3, 3, 3, 3, 0}, {2020, 2, 4, 4, 3, 4, 0}}},
      // One draw: largest = smallest = average = the sum.
      {kFive, 3, 3, {{2020, 3, 5, 5, 5, 5, 0}}},
      {{{9, 1}, {2, 3}, {4, 4}},
       1,
       3,
       {{2020, 1, 10, 10, 10, 10, 0}, {2020, 2, 5, 10, 5, 8, -3}, {2020, 3, 8, 10, 5, 8, 0}}},
  };
  for (const Case& c : cases) {
    apptest::RowsSource s = From(c.draws, c.from);
    const vx::StatisticResult r = vx::SumsStatistic(s, 2020, c.to);
    EXPECT_EQ(TableRows(r.Table), c.want);
    EXPECT_EQ(r.Count, static_cast<int>(c.want.size()));
    EXPECT_FALSE(r.EndOfBase);
  }
  apptest::RowsSource s = From(kFive, 4);
  const vx::StatisticResult r = vx::SumsStatistic(s, 2020, 77);
  EXPECT_TRUE(r.EndOfBase);
  EXPECT_EQ(r.Count, 2);
}

TEST(Statistics, PairsAreSymmetricWithEveryComingOnTheDiagonal) {
  apptest::RowsSource s = From({{1, 2}, {2, 3}, {1, 2}, {4, 4}}, 1);
  const vx::StatisticResult r = vx::PairsStatistic(s, 2020, 3, 4);
  EXPECT_EQ(TableRows(r.Table), (Rows{{2, 2, 0, 0}, {2, 3, 1, 0}, {0, 1, 1, 0}, {0, 0, 0, 0}}));
  EXPECT_EQ(r.Count, 3);
  // The repeated 4 of the last draw counts four ordered pairs.
  apptest::RowsSource all = From({{1, 2}, {2, 3}, {1, 2}, {4, 4}}, 1);
  EXPECT_EQ(vx::PairsStatistic(all, 2020, 9, 4).Table.At(3, 3), 4);
}

TEST(Statistics, NonaryCoversTheWholeTable) {
  // The source stands on the second draw; the walk starts at the first.
  apptest::RowsSource s = From({{49, 10, 9}, {99, 0, 5}}, 2);
  const vx::StatisticResult r = vx::NonaryStatistic(s);
  // 49 + 10 + 9 = 68 -> 14 -> 5; 99 + 0 + 5 = 104 -> 5.
  EXPECT_EQ(TableRows(r.Table), (Rows{{2020, 1, 4, 1, 9, 5}, {2020, 2, 9, 0, 5, 5}}));
  EXPECT_EQ(r.Count, 2);
}

TEST(Statistics, NumbersOutsideTheGameStopTheCountingStatistics) {
  auto thrown = [](auto&& run) -> std::array<int, 3> {
    try {
      run();
    } catch (const vx::EDrawNumber& e) { return {e.Year, e.Draw, e.Number}; }
    return {0, 0, 0};
  };
  const Draws draws = {{1, 2}, {2, 7}, {0, 1}};
  const std::array<int, 3> second{2020, 2, 7}, third{2020, 3, 0};
  EXPECT_EQ(thrown([&] {
              apptest::RowsSource s = From(draws, 1);
              vx::IntervalStatistic(s, 2020, 3, 6);
            }),
            second);
  EXPECT_EQ(thrown([&] {
              apptest::RowsSource s = From(draws, 3);
              vx::PairsStatistic(s, 2020, 3, 6);
            }),
            third);
  // Filling checks the draws its walk reaches, not those before the From
  // draw.
  EXPECT_EQ(thrown([&] { vx::FillingStatistic(Collect(draws), 2020, 3, 2, 6, nullptr); }), third);
  EXPECT_EQ(thrown([&] {
              vx::FillingStatistic(Collect({{9, 9}, {1, 2}, {2, 3}}), 2020, 2, 2, 6, nullptr);
            }),
            (std::array<int, 3>{0, 0, 0}));
  // Sums and digital roots take any number.
  apptest::RowsSource s = From(draws, 1);
  EXPECT_EQ(vx::SumsStatistic(s, 2020, 3).Table.At(2, 1), 9);
}

// Seven draws of two numbers of 1..5, walked back from draw 7. Draw 7 (2 4)
// finds 4 two draws back (4 numbers seen by then) and 2 three back (5
// seen); draw 6 (1 3) likewise; draw 5 (4 5) finds 5 and 4; draw 4 (2 3)
// finds 3 on the From draw and stops there; draws 3 and 2 find nothing
// before it. Five steps back: averages 8 / 5 and 9 / 5, seen 16 / 5, 15 / 5.
TEST(Statistics, FillingWalksBackToTheFromDraw) {
  const Draws draws = {{1, 2}, {3, 4}, {1, 5}, {2, 3}, {4, 5}, {1, 3}, {2, 4}};
  int polls = 0;
  const vx::FillingResult r = vx::FillingStatistic(Collect(draws), 2020, 2, 2, 5, [&] { return ++polls > 99; });
  EXPECT_EQ(TableRows(r.Statistic.Table), (Rows{{1, 2, 2, 2, 2, 3, 4, 4, 4}, {2, 2, 3, 3, 3, 3, 5, 5, 5}}));
  EXPECT_EQ(r.Statistic.Count, 5);
  EXPECT_EQ(polls, 6);
  EXPECT_FALSE(r.Stopped);
  EXPECT_FALSE(r.StartOfBase);
}

TEST(Statistics, FillingEdges) {
  const Draws draws = {{1, 2}, {3, 4}, {1, 5}, {2, 3}};
  const Rows zeros = {{1, 0, 0, 0, 0, 0, 0, 0, 0}, {2, 0, 0, 0, 0, 0, 0, 0, 0}};
  struct Case {
    const char* what;
    Draws draws;
    int fromDraw;
    Rows want;
    int steps;
    bool startOfBase;
  };
  const Case cases[] = {
      // From = To: one draw walked, nothing stepped back, divisor 1.
      {"from is to", draws, 4, zeros, 0, false},
      // From never met: the walk runs down to the first record, which is
      // walked too; steps = divisor = draws walked (4). Draw 4 finds 3 at
      // depth 2 and 2 at depth 3, draw 3 finds 1 at depth 2 before the
      // start: averages 4 / 4 -> 1 and 3 / 4 -> 1, seen 8 / 4, 5 / 4 -> 1.
      {"from missing", draws, 99, {{1, 1, 2, 2, 2, 2, 4, 4, 4}, {2, 1, 3, 3, 3, 1, 5, 5, 5}}, 4, true},
      // The To draw is the first record: the search leaves the table at its
      // beginning and nothing is walked.
      {"to is first, from too", {{1, 2}}, 1, zeros, 0, false},
      {"to is first, from missing", {{1, 2}}, 5, zeros, 0, true},
      // A number twice in the To draw: both come again on the From draw.
      {"repeated number", {{1, 3}, {1, 1}}, 1, {{1, 1, 1, 1, 1, 2, 2, 2, 2}, {2, 1, 1, 1, 1, 2, 2, 2, 2}}, 1, false},
  };
  for (const Case& c : cases) {
    const vx::FillingResult r = vx::FillingStatistic(Collect(c.draws), 2020, c.fromDraw, 2, 5, nullptr);
    EXPECT_EQ(TableRows(r.Statistic.Table), c.want) << c.what;
    EXPECT_EQ(r.Statistic.Count, c.steps) << c.what;
    EXPECT_EQ(r.StartOfBase, c.startOfBase) << c.what;
  }
  // Stopped at the first poll: no table.
  const vx::FillingResult stopped = vx::FillingStatistic(Collect(draws), 2020, 1, 2, 5, [] { return true; });
  EXPECT_TRUE(stopped.Stopped);
  EXPECT_EQ(stopped.Statistic.Table.Rows(), 0);
}
