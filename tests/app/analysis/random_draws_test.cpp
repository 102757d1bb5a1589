// The weighting function and the random-draw system and generation against
// an independent model of the runtime's generator.
#include <gtest/gtest.h>

#include "app/analysis/random_draws.h"
#include "platform/rtl/random.h"
#include "rows_source.h"

namespace {

std::vector<AnsiString> lines;
void Log(const AnsiString& line) { lines.push_back(line); }

}  // namespace

TEST(RandomDraws, WeightingFunction) {
  apptest::RowsSource one({{1, 2, 3}});
  vx::Weights w(5, 7);
  one.First();
  EXPECT_EQ(vx::WeightByRecency(one, 2020, 1, w, nullptr), vx::ScanEnd::EndDraw);
  EXPECT_EQ(w, (vx::Weights{0, 0, 0, 1, 1}));
  // Draw k (from 0) adds k + 1; S = 6; 0 and 9 are outside the game.
  apptest::RowsSource three({{1, 2, 0}, {2, 3, 9}, {3, 4, 1}});
  w.assign(5, 0);
  three.First();
  EXPECT_EQ(vx::WeightByRecency(three, 2020, 7, w, nullptr), vx::ScanEnd::EndOfBase);
  EXPECT_EQ(w, (vx::Weights{2, 3, 1, 3, 6}));
  three.First();
  EXPECT_EQ(vx::WeightByRecency(three, 2020, 7, w, [] { return true; }), vx::ScanEnd::Stopped);
  EXPECT_EQ(w, (vx::Weights{2, 3, 1, 3, 6}));  // unchanged
}

TEST(RandomDraws, SystemTakesNewNumbersUntilNoneIsLeft) {
  const std::vector<std::vector<int>> one{{41, 3, 20, 7, 35, 12}};
  vx::Weights w(49, 5);
  lines.clear();
  RandSeed = 5;
  EXPECT_EQ(vx::RandomDrawSystem(one, 2, 6, w, vx::RuntimeRandom(), nullptr, Log), vx::DrawSystemEnd::Done);
  const std::vector<AnsiString> expected{"Draw № 1 :  num = 3"_cp,  "Draw № 1 :  num = 7"_cp,
                                         "Draw № 1 :  num = 12"_cp, "Draw № 1 :  num = 35"_cp,
                                         "Draw № 1 :  num = 20"_cp, "Draw № 1 :  num = 41"_cp};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(vx::CountNonZero(w), 6);
  // A seventh number does not exist: the system ends instead of drawing on.
  RandSeed = 5;
  EXPECT_EQ(vx::RandomDrawSystem(one, 2, 7, w, vx::RuntimeRandom(), nullptr, nullptr), vx::DrawSystemEnd::Exhausted);
  EXPECT_EQ(vx::RandomDrawSystem({}, 1, 1, w, vx::RuntimeRandom(), nullptr, nullptr), vx::DrawSystemEnd::Exhausted);
  EXPECT_EQ(vx::RandomDrawSystem(
                one, 1, 9, w, vx::RuntimeRandom(), [] { return true; }, nullptr),
            vx::DrawSystemEnd::Stopped);
}

TEST(RandomDraws, GenerationTakesDistinctNumbersInPickOrder) {
  const std::vector<std::vector<int>> rows{
      {1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}, {40, 41, 42, 43, 44, 0}, {5, 6, 7, 50, 60, 13}};
  std::vector<std::vector<int>> stored;
  auto store = [&](int c, const std::vector<int>& comb) {
    EXPECT_EQ(c, static_cast<int>(stored.size()) + 1);
    stored.push_back(comb);
  };
  RandSeed = 77;
  EXPECT_EQ(vx::GenerateFromDraws(rows, 6, 2, 49, 3, vx::RuntimeRandom(), nullptr, nullptr, nullptr, store),
            vx::DrawSystemEnd::Done);
  EXPECT_EQ(stored,
            (std::vector<std::vector<int>>{{12, 7, 42, 41, 9, 8}, {9, 11, 3, 4, 42, 44}, {5, 6, 4, 3, 41, 44}}));
  // Fewer distinct numbers of 1..n than k (0 and 50 do not count).
  EXPECT_EQ(vx::GenerateFromDraws({{1, 2, 0, 50}}, 3, 1, 49, 1, vx::RuntimeRandom(), nullptr, nullptr, nullptr, store),
            vx::DrawSystemEnd::Exhausted);
  // Nothing accepted: runs until stopped.
  int polls = 0;
  EXPECT_EQ(vx::GenerateFromDraws(
                rows, 6, 2, 49, 1, vx::RuntimeRandom(), [&] { return ++polls == 1000; }, nullptr,
                [](const std::vector<int>&) { return false; }, store),
            vx::DrawSystemEnd::Stopped);
}
