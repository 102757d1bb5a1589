// The comparison report of results against draws, to the byte.
#include <gtest/gtest.h>

#include "app/analysis/comparison.h"

TEST(Comparison, ReportLinesTotalsAndRepeats) {
  const std::vector<std::vector<int>> results{{1, 2, 3, 4, 5, 6}, {1, 1, 7, 8, 9, 10}, {40, 41, 42, 43, 44, 45}};
  const std::vector<vx::ComparedDraw> draws{{"2020 год 1 тираж ", {1, 2, 3, 10, 11, 12}},
                                            {"2020 год 2 тираж ", {1, 7, 8, 20, 21, 22}}};
  std::array<int, 22> prizes{};
  prizes[3] = 100;
  prizes[4] = 1000;
  const vx::ComparisonTexts texts{"В тираже", "совпадений c вариантом", "Затрачено", "Выиграно"};
  vx::ComparisonReport r = vx::CompareResults(results, draws, 3, prizes, 2, texts);
  EXPECT_EQ(r.text,
            "В тираже 2020 год 1 тираж  - 3 совпадений c вариантом 1\r\n"
            "В тираже 2020 год 1 тираж  - 3 совпадений c вариантом 2\r\n"
            "В тираже 2020 год 2 тираж  - 4 совпадений c вариантом 2\r\n"
            "-------------------------\r\n"
            "Затрачено 12,  Выиграно 1200\r\n");
  // Threshold 0 lists every pair; the totals do not depend on it.
  r = vx::CompareResults(results, draws, 0, prizes, 2, texts);
  EXPECT_EQ(std::count(r.text.begin(), r.text.end(), '\n'), 8);
  EXPECT_EQ(r.won, 1200 * vx::CurrencyScale);
  // No results: no lines, nothing spent or won.
  EXPECT_EQ(vx::CompareResults({}, draws, 0, prizes, 2, texts).text,
            "-------------------------\r\nЗатрачено 0,  Выиграно 0\r\n");
  EXPECT_EQ(vx::CurrencyText(-25000), "-2.5");
  // Numbers above 63 and outside 0..127, with and without repeats.
  prizes[2] = 1;
  const std::vector<std::vector<int>> high{{70, 100, 3}, {200, 70, 200}};
  r = vx::CompareResults(high, {{"a", {70, 100, 4}}, {"b", {200, 200, 70}}}, 2, prizes, 0, texts);
  // Hits 2, 1 for draw a; 1, 5 for draw b (200 twice on both sides).
  EXPECT_EQ(r.won, 1 * vx::CurrencyScale);
  EXPECT_EQ(r.text.substr(0, r.text.find("---")),
            "В тираже a - 2 совпадений c вариантом 1\r\nВ тираже b - 5 совпадений c вариантом 2\r\n");
}
