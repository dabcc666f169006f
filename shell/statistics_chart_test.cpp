#include "shell/statistics_chart.h"

#include <gtest/gtest.h>

namespace trwk {
namespace {

TEST(StatisticsChartTest, FilledRowsBecomeBarsInRowOrderScaledToTheLargest) {
  Statistics s;
  EXPECT_TRUE(chartOf(s).bars.empty());
  s.rows[0] = {"2026-12-01", "120"};
  s.rows[2] = {"2026-12-03", "lots"};  // not a number: an empty bar, still labelled
  s.rows[3] = {"2026-12-04", "4500"};
  StatisticsChart chart = chartOf(s);
  ASSERT_EQ(chart.bars.size(), 3u);
  EXPECT_EQ(chart.bars[0].label, "2026-12-01");
  EXPECT_EQ(chart.bars[0].kb, 120u);
  EXPECT_EQ(chart.bars[1].kb, 0u);
  EXPECT_EQ(chart.bars[2].label, "2026-12-04");
  EXPECT_EQ(chart.largest, 4500u);

  // Rows that freed nothing still give the scale a top, so no bar divides by zero.
  Statistics zero;
  zero.rows[0] = {"2026-12-01", "0"};
  EXPECT_EQ(chartOf(zero).largest, 1u);
}

}  // namespace
}  // namespace trwk
