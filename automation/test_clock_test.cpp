#include "automation/test_clock.h"

#include <gtest/gtest.h>

namespace trwk {
namespace {

using namespace std::chrono_literals;

TEST(TestClockTest, TheOptionNamesAMomentAndAnOptionalSpeed) {
  auto setting = parseTestClock("2028-02-29T23:59:59,x60");
  ASSERT_TRUE(setting);
  EXPECT_EQ(setting->start, (DateTime{2028, 2, 29, 23, 59, 59}));
  EXPECT_EQ(setting->speed, 60);
  EXPECT_EQ(parseTestClock("2026-12-08T10:00:00")->speed, 1);
  for (const char* bad : {"", "2026-12-08 10:00:00", "2026-12-08T10:00", "2026-02-29T10:00:00",
                          "2026-12-08T24:00:00", "2026-12-08T10:00:00,60", "2026-12-08T10:00:00,x0",
                          "2026-12-08T10:00:00,x3601", "2026-12-08T10:00:00,x60 "})
    EXPECT_FALSE(parseTestClock(bad)) << bad;
}

TEST(TestClockTest, TheClockRunsFromItsMomentAtItsSpeedAndTimersShrinkAlike) {
  auto real = std::chrono::steady_clock::time_point{} + 1000h;
  TestClock clock(*parseTestClock("2026-12-31T23:59:00,x60"), [&] { return real; });
  EXPECT_EQ(clock.now(), (DateTime{2026, 12, 31, 23, 59, 0}));
  real += 999ms;
  EXPECT_EQ(clock.now(), (DateTime{2026, 12, 31, 23, 59, 59}));
  real += 1ms;
  EXPECT_EQ(clock.now(), (DateTime{2027, 1, 1, 0, 0, 0})) << "one real second is a minute";
  EXPECT_EQ(clock.realInterval(60000), 1000);
  EXPECT_EQ(clock.realInterval(10), 1) << "a running timer never asks for 0 ms";
  EXPECT_EQ(clock.realInterval(0), 0);
}

}  // namespace
}  // namespace trwk
