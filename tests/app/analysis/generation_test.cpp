// The weighted pick against an independent model of the runtime's
// generator (golden lists), coincidences with a table in memory and
// forming.
#include <gtest/gtest.h>

#include "app/analysis/generation.h"
#include "platform/rtl/random.h"
#include "platform/rtl/sysutils.h"

namespace {

// The runtime generator, reseeded to a fixed value.
struct FixedSeed {
  explicit FixedSeed(std::uint32_t seed) {
    vx::SetRandomizeSource([seed] { return seed; });
  }
  ~FixedSeed() { vx::SetRandomizeSource(nullptr); }
};

std::vector<int> Pick(int k, const vx::Weights& w, std::uint32_t seed, bool ascending,
                      const vx::PositionRange& ranges = nullptr) {
  FixedSeed fixed(seed);
  std::vector<int> c;
  EXPECT_TRUE(vx::RandomNumbers(k, static_cast<int>(w.size()), w, ascending, vx::RuntimeRandom(), nullptr, c, ranges));
  return c;
}

class Rows : public vx::DrawSource {
 public:
  explicit Rows(std::vector<std::vector<int>> rows) : rows_(std::move(rows)) {}
  void First() override { pos_ = 0; }
  void Next() override { ++pos_; }
  bool Eof() override { return pos_ >= rows_.size(); }
  int Year() override { return 0; }
  int Draw() override { return 0; }
  int NumberCount() override { return static_cast<int>(rows_[pos_].size()); }
  int Number(int i) override { return rows_[pos_][static_cast<std::size_t>(i)]; }

 private:
  std::vector<std::vector<int>> rows_;
  std::size_t pos_ = 0;
};

}  // namespace

TEST(Generation, WeightedPickMatchesTheGeneratorModel) {
  EXPECT_EQ(Pick(6, vx::Weights(49, 1), 12345, false), (std::vector<int>{19, 14, 4, 29, 33, 18}));
  EXPECT_EQ(Pick(6, vx::Weights(49, 1), 12346, true), (std::vector<int>{2, 6, 21, 22, 32, 49}));
  EXPECT_EQ(Pick(3, {5, 0, 1, 0, 3, 0, 0, 2, 0, 7}, 777, false), (std::vector<int>{5, 10, 1}));
  // Fewer numbers with a weight than positions: the empty pool repeats the
  // number removed last, or gives 0 when nothing had a weight.
  EXPECT_EQ(Pick(4, {0, 2, 0, 0, 9, 0, 0, 0, 0, 0}, 4242, false), (std::vector<int>{2, 5, 5, 5}));
  EXPECT_EQ(Pick(3, vx::Weights(10, 0), 1, false), (std::vector<int>{0, 0, 0}));
  // Negative weights stay out of the pool.
  EXPECT_EQ(Pick(2, {-50, 1, -7, 1}, 3, true), (std::vector<int>{2, 4}));
  // Per-position ranges redraw until the number fits.
  auto ranges = [](int position, int& lo, int& hi) {
    const int r[3][2] = {{8, 10}, {1, 3}, {4, 6}};
    lo = r[position - 1][0];
    hi = r[position - 1][1];
  };
  EXPECT_EQ(Pick(3, vx::Weights(10, 1), 99, false, ranges), (std::vector<int>{8, 3, 6}));
  // Exactly k numbers with a weight always give those k.
  for (std::uint32_t seed : {1u, 2u, 3u, 1000u})
    EXPECT_EQ(Pick(3, {0, 4, 0, 1, 0, 0, 100, 0}, seed, true), (std::vector<int>{2, 4, 7}));
}

TEST(Generation, StopEndsThePickAndARangeErrorPropagates) {
  std::vector<int> c;
  // One poll per walk of the pool, after the walk.
  int polls = 0;
  EXPECT_TRUE(vx::RandomNumbers(
      6, 49, vx::Weights(49, 100), true, vx::RuntimeRandom(),
      [&] {
        ++polls;
        return false;
      },
      c));
  EXPECT_EQ(polls, 6);
  polls = 0;
  EXPECT_FALSE(vx::RandomNumbers(
      6, 49, vx::Weights(49, 1), true, vx::RuntimeRandom(), [&] { return ++polls == 3; }, c));
  EXPECT_EQ(polls, 3);
  // A range nothing satisfies redraws until stopped.
  polls = 0;
  auto none = [](int, int& lo, int& hi) { lo = hi = 50; };
  EXPECT_FALSE(vx::RandomNumbers(
      1, 49, vx::Weights(49, 1), true, vx::RuntimeRandom(), [&] { return ++polls == 500; }, c, none));
  auto empty = [](int, int& lo, int& hi) { lo = hi = StrToInt(""); };
  EXPECT_THROW(vx::RandomNumbers(1, 49, vx::Weights(49, 1), true, vx::RuntimeRandom(), nullptr, c, empty),
               EConvertError);
}

TEST(Generation, CoincidencesCountRepeatsOnBothSides) {
  // One record against a combination: its count of coincidences lies
  // within hits..hits and outside every range that leaves it out.
  struct Case {
    std::vector<int> record, combination;
    int hits;
  } cases[] = {
      {{1, 2, 3, 4, 5, 6}, {1, 2, 9, 9}, 2},
      {{1, 1, 7, 200, -3, 9}, {1, 200, -3, 9, 9}, 6},  // 1 twice, 200, -3, 9 against two 9s
      {{1, 1, 7, 200, -3, 9}, {1, 2, 7}, 3},           // a record that is no set
      {{70, 100, 127, 5}, {5, 64, 100, 127}, 3},       // numbers above 63
      {{70, 100, 127, 5}, {5, 5, 100, 128}, 3},        // a combination that is no set
      {{0, 0, 12}, {0, 12, 12}, 4},                    // empty fields read 0
      {{}, {1, 2}, 0},
  };
  for (const Case& c : cases) {
    Rows rows({c.record});
    const vx::CoincidenceTable table(rows);
    EXPECT_FALSE(table.Outside(c.combination, c.hits, c.hits)) << c.hits;
    EXPECT_TRUE(table.Outside(c.combination, c.hits - 1, 0)) << c.hits;
    EXPECT_TRUE(table.Outside(c.combination, c.hits + 9, c.hits + 1)) << c.hits;
  }
  // Every record counts; an appended one as well.
  Rows rows({{1, 2, 3, 4, 5, 6}, {1, 1, 7, 200, -3, 9}});
  vx::CoincidenceTable table(rows);
  EXPECT_EQ(table.Size(), 2u);
  EXPECT_FALSE(table.Outside({1, 2, 7}, 3, 0));
  EXPECT_TRUE(table.Outside({1, 2, 7}, 2, 0));  // the second row has 3
  EXPECT_TRUE(table.Outside({1, 2, 7}, 6, 3));  // the first row has 2
  EXPECT_FALSE(table.Outside({1, 2, 7, 8}, 3, 0));
  table.Append({1, 2, 7, 8});
  EXPECT_TRUE(table.Outside({1, 2, 7, 8}, 3, 0));                   // the new row has 4
  EXPECT_FALSE(vx::CoincidenceTable().Outside({1, 2, 7}, -1, 99));  // no record, nothing outside
}

TEST(Generation, FormingFromTheDigitsOfADraw) {
  const vx::FormedCombination f = vx::FormFromDraw({3, 15, 27, 31, 40, 45}, 49);
  EXPECT_EQ(vx::DigitsText(f.digits), "0,1,2,3,4,5,7,");
  const std::vector<int> expected{1,  2,  3,  4,  5,  7,  10, 11, 12, 13, 14, 15, 17, 20, 21, 22, 23,
                                  24, 25, 27, 30, 31, 32, 33, 34, 35, 37, 40, 41, 42, 43, 44, 45, 47};
  EXPECT_EQ(f.numbers, expected);
  // Values outside 0..99 are skipped; the game's highest number bounds it.
  const vx::FormedCombination g = vx::FormFromDraw({100, -4, 6}, 81);
  EXPECT_EQ(g.digits, std::vector<int>{6});
  EXPECT_EQ(g.numbers, std::vector<int>{66});  // 6 alone would need the digit 0
}
