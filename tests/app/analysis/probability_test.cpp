// The probability methods over a fixed list of ten draws (three numbers of
// 1..10 each, with two values outside the range), checked against weights
// worked out by hand.
#include <gtest/gtest.h>

#include "app/analysis/probability.h"

namespace {

struct Row {
  int year, draw;
  std::vector<int> numbers;
};

class VectorSource : public vx::DrawSource {
 public:
  explicit VectorSource(std::vector<Row> rows) : rows_(std::move(rows)) {}
  void First() override { pos_ = 0; }
  void Next() override {
    if (pos_ < rows_.size()) ++pos_;
  }
  bool Eof() override { return pos_ >= rows_.size(); }
  // On the end the last record stays current, as in a data set.
  const Row& Current() const { return rows_[pos_ < rows_.size() ? pos_ : rows_.size() - 1]; }
  int Year() override { return Current().year; }
  int Draw() override { return Current().draw; }
  int NumberCount() override { return static_cast<int>(Current().numbers.size()); }
  int Number(int i) override { return Current().numbers[static_cast<std::size_t>(i)]; }

 private:
  std::vector<Row> rows_;
  std::size_t pos_ = 0;
};

VectorSource TenDraws() {
  return VectorSource({{2020, 1, {1, 2, 3}},
                       {2020, 2, {2, 3, 4}},
                       {2020, 3, {1, 5, 9}},
                       {2020, 4, {10, 2, 7}},
                       {2020, 5, {3, 3, 8}},
                       {2020, 6, {4, 6, 10}},
                       {2020, 7, {1, 2, 10}},
                       {2020, 8, {5, 6, 7}},
                       {2020, 9, {0, 11, 2}},
                       {2020, 10, {9, 8, 1}}});
}

// Weights of numbers 1..10 from a {number, weight} list.
vx::Weights W(std::initializer_list<std::pair<int, int>> entries) {
  vx::Weights w(10, 0);
  for (auto [n, v] : entries) w[static_cast<std::size_t>(n - 1)] = v;
  return w;
}

vx::Weights Hot(VectorSource& s, int from, int to, vx::ScanEnd& end) {
  vx::Weights w(10, 0);
  EXPECT_EQ(vx::SeekDraw(s, 2020, from, nullptr), vx::SeekResult::Found);
  end = vx::CountHot(s, 2020, to, w, nullptr);
  return w;
}

vx::Weights NumberAfterNumber(VectorSource& s, int from, int to, vx::ScanEnd& end) {
  vx::Weights w(10, 0);
  EXPECT_EQ(vx::SeekDraw(s, 2020, from, nullptr), vx::SeekResult::Found);
  end = vx::CountFollowers(s, 2020, to, 10, w, nullptr);
  return w;
}

}  // namespace

TEST(ProbabilityMethods, HotCountsTheRangeAndSkipsNumbersOutsideTheArray) {
  auto s = TenDraws();
  vx::ScanEnd end;
  EXPECT_EQ(Hot(s, 2, 4, end), W({{1, 1}, {2, 2}, {3, 1}, {4, 1}, {5, 1}, {7, 1}, {9, 1}, {10, 1}}));
  EXPECT_EQ(end, vx::ScanEnd::EndDraw);
  EXPECT_EQ(s.Draw(), 4);  // stays on the end draw

  // A range running off the end keeps what it read (0 and 11 skipped).
  EXPECT_EQ(Hot(s, 8, 12, end), W({{1, 1}, {2, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}}));
  EXPECT_EQ(end, vx::ScanEnd::EndOfBase);

  // A single draw.
  EXPECT_EQ(Hot(s, 5, 5, end), W({{3, 2}, {8, 1}}));
  EXPECT_EQ(end, vx::ScanEnd::EndDraw);
}

TEST(ProbabilityMethods, ColdTurnsCountsAround) {
  auto s = TenDraws();
  vx::ScanEnd end;
  vx::Weights w = Hot(s, 2, 4, end);
  vx::MakeCold(w);
  EXPECT_EQ(w, W({{1, 2}, {2, 1}, {3, 2}, {4, 2}, {5, 2}, {6, 3}, {7, 2}, {8, 3}, {9, 2}, {10, 2}}));

  vx::Weights equal(10, 4);
  vx::MakeCold(equal);
  EXPECT_EQ(equal, vx::Weights(10, 1));
}

TEST(ProbabilityMethods, NeighboursOfTheEndDrawStayInsideTheArray) {
  auto s = TenDraws();
  vx::Weights w(10, 0);
  ASSERT_EQ(vx::SeekDraw(s, 2020, 4, nullptr), vx::SeekResult::Found);
  vx::MarkNeighbours(s, w);
  EXPECT_EQ(w, W({{1, 1}, {2, 1}, {3, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}, {10, 1}}));

  VectorSource edges({{2020, 1, {1, 10, 0, 11}}});
  vx::Weights e(10, 0);
  edges.First();
  vx::MarkNeighbours(edges, e);
  EXPECT_EQ(e, W({{1, 1}, {2, 1}, {9, 1}, {10, 1}}));
}

TEST(ProbabilityMethods, NumberAfterNumber) {
  auto s = TenDraws();
  vx::ScanEnd end;
  // Start 7, end 9: the end draw (0, 11, 2) predicts through 2, which was
  // followed by 5, 6, 7 once (draw 8 after draw 7).
  EXPECT_EQ(NumberAfterNumber(s, 7, 9, end), W({{5, 1}, {6, 1}, {7, 1}}));
  EXPECT_EQ(end, vx::ScanEnd::EndDraw);

  // Start = end: the start is not taken as the end, so the walk runs to
  // the end of the base and the last draw (9, 8, 1) predicts.
  EXPECT_EQ(NumberAfterNumber(s, 2, 2, end), W({{2, 2}, {4, 1}, {5, 1}, {6, 2}, {7, 3}, {10, 3}}));
  EXPECT_EQ(end, vx::ScanEnd::EndOfBase);

  // Starting on the last draw counts nothing and reaches no end.
  EXPECT_EQ(NumberAfterNumber(s, 10, 10, end), vx::Weights(10, 0));
  EXPECT_EQ(end, vx::ScanEnd::NothingAfterStart);

  // A follow matrix smaller than the array and draws longer than the
  // shape: nothing is written outside either.
  VectorSource wide({{1, 1, {1, 2, 3, 4, 5, 6, 7, 8}}, {1, 2, {8, 1, 2, 3, 4, 5, 6, 7}}});
  vx::Weights w(10, 0);
  wide.First();
  EXPECT_EQ(vx::CountFollowers(wide, 1, 2, 3, w, nullptr), vx::ScanEnd::EndDraw);
  EXPECT_EQ(w, W({{1, 3}, {2, 3}, {3, 3}}));
}

TEST(ProbabilityMethods, SeekAndStop) {
  auto s = TenDraws();
  EXPECT_EQ(vx::SeekDraw(s, 2020, 7, nullptr), vx::SeekResult::Found);
  EXPECT_EQ(s.Draw(), 7);
  EXPECT_EQ(vx::SeekDraw(s, 2021, 1, nullptr), vx::SeekResult::NotFound);
  int polls = 0;
  EXPECT_EQ(vx::SeekDraw(s, 2020, 7, [&] { return ++polls == 3; }), vx::SeekResult::Stopped);

  // A stopped count keeps what it counted so far.
  vx::Weights w(10, 0);
  ASSERT_EQ(vx::SeekDraw(s, 2020, 1, nullptr), vx::SeekResult::Found);
  EXPECT_EQ(vx::CountHot(s, 2020, 10, w, [] { return true; }), vx::ScanEnd::Stopped);
  EXPECT_EQ(w, W({{1, 1}, {2, 1}, {3, 1}}));
}

TEST(ProbabilityMethods, NormalizeTruncatesAfterAnExtendedDivision) {
  struct Case {
    int top;
    int expected;
  } cases[] = {{100, 100}, {101, 99}, {137, 99}, {150, 100}, {199, 100}, {200, 100}, {1000, 100}};
  for (const auto& c : cases) {
    vx::Weights w{c.top, 1};
    vx::NormalizeProbabilities(w);
    EXPECT_EQ(w[0], c.expected) << c.top;
  }
  vx::Weights w{200, 137, 199, 1, -5};
  vx::NormalizeProbabilities(w);
  EXPECT_EQ(w, (vx::Weights{100, 68, 99, 0, -2}));
}

TEST(ProbabilityMethods, MostProbableNumbers) {
  EXPECT_EQ(vx::JoinNumbers(vx::MostProbableNumbers(vx::Weights(10, 0), 3)), "1,2,3");
  EXPECT_EQ(vx::JoinNumbers(vx::MostProbableNumbers(vx::Weights(10, 0), 0)), "");
  EXPECT_EQ(vx::MostProbableNumbers({5, 7, 5, 7, 1}, 3), (std::vector<int>{2, 4, 1}));
  EXPECT_EQ(vx::MostProbableNumbers({5, 7, 5}, 9999), (std::vector<int>{2, 1, 3}));
  // A weight of -1 is a weight like any other.
  EXPECT_EQ(vx::MostProbableNumbers({-1, -1, 0}, 3), (std::vector<int>{3, 1, 2}));

  std::vector<std::int32_t> v{9, -3, 4, 4, 0, 12, 1, 4};
  vx::QuickSortInts(v, 0, static_cast<int>(v.size()) - 1);
  EXPECT_EQ(v, (std::vector<std::int32_t>{-3, 0, 1, 4, 4, 4, 9, 12}));
}
