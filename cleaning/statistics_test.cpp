#include "cleaning/statistics.h"

#include <gtest/gtest.h>

#include "testing/sandbox.h"

namespace trwk {
namespace {

class StatisticsTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  Session session{box.platform(), box.root()};
  Statistics stats;

  std::vector<std::string> sizes() const {
    std::vector<std::string> out;
    for (const StatisticsRow& row : stats.rows) out.push_back(row.size);
    return out;
  }
};

TEST(FreedSpace, IsTheGrowthOfFreeSpaceAndNeverNegative) {
  EXPECT_EQ(freedKB("1000", "1500"), 500u);
  EXPECT_EQ(freedKB("1500", "1000"), 0u) << "other programs may fill the disk during a run";
  EXPECT_EQ(freedKB("1000", "1000"), 0u);
  EXPECT_EQ(freedKB(" 7 ", "9"), 2u);
  EXPECT_EQ(freedKB("", "1000"), std::nullopt);
  EXPECT_EQ(freedKB("1000", "12a"), std::nullopt);
  EXPECT_EQ(freedKB("-5", "10"), std::nullopt);
  EXPECT_EQ(freedKB("1099511627776", "1099511628800"), 1024u) << "terabyte drives";
}

TEST_F(StatisticsTest, RowsFillInOrderThenShiftUpKeepingTheNewestLast) {
  EXPECT_TRUE(stats.empty());
  EXPECT_EQ(stats.nextRow(), 1);
  for (int i = 1; i <= 4; ++i) {
    std::string day = "d";
    day += std::to_string(i);
    EXPECT_TRUE(stats.record("100", std::to_string(100 + i), day));
  }
  EXPECT_EQ(sizes(), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(stats.current, 4);
  EXPECT_TRUE(stats.record("100", "105", "d5"));
  EXPECT_EQ(sizes(), (std::vector<std::string>{"2", "3", "4", "5"}));
  EXPECT_EQ(stats.rows[0].date, "d2");
  EXPECT_EQ(stats.rows[3].date, "d5");
  EXPECT_EQ(stats.current, 4);
}

TEST_F(StatisticsTest, AnUnmeasuredRunMakesNoRow) {
  EXPECT_FALSE(stats.record("", "100", "d1"));
  EXPECT_TRUE(stats.empty());
  EXPECT_EQ(stats.current, 0);
}

TEST_F(StatisticsTest, CurrentOutsideTheRowsIsKeptInRange) {
  stats.current = 9;
  EXPECT_EQ(stats.nextRow(), 4);
  stats.record("0", "1", "d");
  EXPECT_EQ(stats.rows[3].size, "1");
  EXPECT_EQ(stats.current, 4);
  stats.current = -3;
  EXPECT_EQ(stats.nextRow(), 1);
}

TEST_F(StatisticsTest, SavedInTheFixedOrderAndReadBack) {
  stats.record("10", "30", "2026-12-01");
  stats.record("10", "5", "2026-12-02");
  stats.save(session);
  EXPECT_EQ(box.readFile("mainten.ini"),
            "[Statistics]\r\nCurrent=3\r\nSize1=20\r\nDate1=2026-12-01\r\nSize2=0\r\nDate2=2026-12-02\r\n"
            "Size3=\r\nDate3=\r\nSize4=\r\nDate4=\r\n");
  Statistics again;
  again.load(session);
  EXPECT_EQ(again.current, 3);
  EXPECT_EQ(again.rows[1].date, "2026-12-02");
  EXPECT_EQ(again.rows[0].size, "20");
  EXPECT_FALSE(again.rows[2].filled());
}

TEST_F(StatisticsTest, AnUnreadableCurrentKeepsItsValueAndIsLogged) {
  box.writeFile("mainten.ini", "[Statistics]\r\nCurrent=two\r\nDate1=x\r\nSize1=5\r\n");
  stats.current = 0;
  stats.load(session);
  EXPECT_EQ(stats.current, 0);
  EXPECT_EQ(stats.rows[0].date, "x");
  EXPECT_NE(box.readFile("trwk.log").find("getStatistics at line 0 - Type mismatch (13)"), std::string::npos);
}

TEST_F(StatisticsTest, AfterARunTheGraphGetsTodaysRowOrAFixGraphDataLine) {
  box.clock.time = {2026, 12, 9, 8, 0, 0};
  EXPECT_TRUE(stats.updateGraph(session, "1000", "1500"));
  EXPECT_EQ(stats.rows[0].date, "2026-12-09");
  EXPECT_EQ(stats.rows[0].size, "500");
  EXPECT_FALSE(box.files().fileExists(session.log.path()));

  EXPECT_FALSE(stats.updateGraph(session, "", "1500"));
  EXPECT_FALSE(stats.rows[1].filled());
  EXPECT_EQ(stats.current, 2);
  EXPECT_NE(box.readFile("trwk.log").find("fixGraphData at line 1 - Type mismatch: free space before "),
            std::string::npos)
      << box.readFile("trwk.log");
}

TEST(StatisticsDay, IsTheDateOfTheStamp) {
  EXPECT_EQ(statisticsDay({2026, 3, 4, 5, 6, 7}), "2026-03-04");
}

}  // namespace
}  // namespace trwk
