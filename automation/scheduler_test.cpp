#include "automation/scheduler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/cleaning_test_fixture.h"
#include "cleaning/run_completion.h"

namespace trwk {
namespace {

DateTime at(int hour, int minute, int second = 0) {
  return {2026, 12, 8, hour, minute, second};
}

class SchedulerTest : public testing::CleaningTest {
 protected:
  AutomaticChoices choices;
  Scheduler scheduler{session, choices, state};
  std::vector<std::string> runs;  // the cleanings started, in order
  int trayEntries = 0, trayExits = 0;

  void SetUp() override {
    choices.fill();
    paths = {"-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-"};
    auto record = [this](const char* name) { return [this, name] { runs.push_back(name); }; };
    scheduler.cleanings = {record("All"),   record("IE"),       record("Netscape"),
                           record("Opera"), record("User.def"), record("Plugins")};
    scheduler.enterTray = [this] { ++trayEntries; };
    scheduler.leaveTray = [this] { ++trayExits; };
  }
  static void pick(ChoiceList& list, const std::string& text) {
    for (std::size_t i = 0; i < list.items.size(); ++i)
      if (list.items[i] == text) list.selected = static_cast<int>(i);
  }
  // Chooses the interval by the lists' texts and presses the button at that moment.
  void press(DateTime now, const std::string& days, const std::string& hours, const std::string& minutes) {
    pick(choices.day, days);
    pick(choices.hour, hours);
    pick(choices.minute, minutes);
    box.clock.time = now;
    scheduler.startStop();
  }
  // A tick at that moment; true when it started a cleaning.
  bool tickAt(DateTime t) {
    box.clock.time = t;
    const std::size_t before = runs.size();
    scheduler.onTick();
    return runs.size() > before;
  }
};

TEST_F(SchedulerTest, AZeroIntervalIsRefusedWithTheErrorBoxButAnArmedScheduleAlwaysStops) {
  press(at(10, 0), "0", "0", "0");
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(
      box.ui.boxes[0].text,
      "You have to specify a valid time interval in Maintenance/Settings; 0 days, 0 hours and 0 minutes is "
      "not allowed");
  EXPECT_EQ(box.ui.boxes[0].title, "Info");
  EXPECT_EQ(box.ui.boxes[0].icon, Icon::Critical);
  EXPECT_EQ(scheduler.caption, "Start Automatic Cleaning");
  EXPECT_TRUE(state.manualMode);
  EXPECT_EQ(trayEntries, 0);

  press(at(10, 0), "0", "0", "2");
  press(at(10, 1), "0", "0", "0");
  EXPECT_FALSE(scheduler.armed());
  EXPECT_EQ(box.ui.boxes.size(), 1u);
}

TEST_F(SchedulerTest, ArmingLeavesManualModeUnticksCloseAndAddsTheIntervalOnTheCalendar) {
  state.automaticClose = true;
  press({2026, 12, 31, 23, 50, 10}, "1", "2", "15");
  EXPECT_EQ(scheduler.caption, "Stop Automatic Cleaning");
  EXPECT_FALSE(state.manualMode);
  EXPECT_FALSE(state.automaticClose);
  EXPECT_EQ(scheduler.tick.interval, 60000);
  EXPECT_EQ(trayEntries, 1);
  EXPECT_EQ(scheduler.nextRunText(), "Next cleaning: 2027-01-02 02:05:10");
  scheduler.startStop();
  press({2028, 2, 28, 22, 30, 0}, "30", "1", "45");  // a leap day on the way
  EXPECT_EQ(scheduler.nextRunTime, (DateTime{2028, 3, 30, 0, 15, 0}));
}

TEST_F(SchedulerTest, TwoMinutesCleanOnceInTheTickOfEachDueMinute) {
  press(at(10, 0, 30), "0", "0", "2");
  std::vector<int> cleanedAt;
  for (int minute = 1; minute <= 8; ++minute) {
    if (tickAt(at(10, minute, 1))) cleanedAt.push_back(minute);
    EXPECT_FALSE(tickAt(at(10, minute, 59))) << "a second tick in minute " << minute;
  }
  EXPECT_EQ(cleanedAt, (std::vector<int>{2, 4, 6, 8}));
  EXPECT_EQ(scheduler.nextRunTime, at(10, 10, 30));
  EXPECT_TRUE(box.ui.boxes.empty());
}

TEST_F(SchedulerTest, AnIntervalOfAMonthNeverCleansOnTheSameDayAndTimeOfAnEarlierMonth) {
  press({2026, 1, 31, 10, 0, 0}, "30", "23", "0");
  ASSERT_EQ(scheduler.nextRunTime, (DateTime{2026, 3, 3, 9, 0, 0}));
  EXPECT_FALSE(tickAt({2026, 2, 3, 9, 0, 0}));
  EXPECT_TRUE(tickAt({2026, 3, 3, 9, 0, 0}));
  EXPECT_EQ(scheduler.nextRunTime, (DateTime{2026, 4, 3, 8, 0, 0}));
}

TEST_F(SchedulerTest, StoppingAndStartingAgainCountsFromTheNewStart) {
  press(at(10, 0), "0", "0", "15");
  press(at(10, 5), "0", "0", "15");
  EXPECT_EQ(trayExits, 1);
  EXPECT_EQ(scheduler.tick.interval, 0);
  EXPECT_FALSE(tickAt(at(10, 15))) << "an idle schedule never cleans";
  press(at(10, 7), "0", "0", "15");
  EXPECT_FALSE(tickAt(at(10, 15)));
  EXPECT_TRUE(tickAt(at(10, 22)));
}

TEST_F(SchedulerTest, MissedRunsAreMadeUpOnceAndTheNextRunLiesAhead) {
  press(at(10, 0), "0", "0", "2");
  EXPECT_TRUE(tickAt(at(10, 7, 20)));  // asleep through 10:02, 10:04 and 10:06
  EXPECT_EQ(runs.size(), 1u);
  EXPECT_EQ(scheduler.nextRunTime, at(10, 8));
  // A cleaning longer than the interval: the next run follows its end.
  scheduler.cleanings.all = [this] {
    runs.push_back("All");
    box.clock.time = at(10, 13, 30);
  };
  EXPECT_TRUE(tickAt(at(10, 8, 20)));
  EXPECT_EQ(scheduler.nextRunTime, at(10, 14));
}

TEST_F(SchedulerTest, TheFamilyListChoosesTheCleaningAndAnyOtherTextRunsNothing) {
  press(at(10, 0), "0", "0", "2");
  choices.clean.items.push_back("Windows");
  int minute = 2;
  for (const std::string& family : choices.clean.items) {
    pick(choices.clean, family);
    runs.clear();
    tickAt(at(10, minute));
    minute += 2;
    EXPECT_EQ(runs, family == "Windows" ? std::vector<std::string>{} : std::vector<std::string>{family});
  }
  EXPECT_EQ(scheduler.nextRunTime, at(10, minute)) << "the schedule goes on";
}

TEST_F(SchedulerTest, ArmedCleaningShowsNoDoneBoxAndStoppingRestoresTheStoredCloseBox) {
  box.writeFile("mainten.ini", "[Inst]\r\nAutomaticClose=1\r\n");
  scheduler.cleanings.all = [this] { cleanAll(context); };
  state.automaticClose = true;
  press(at(10, 0), "0", "0", "2");
  tickAt(at(10, 2));
  EXPECT_TRUE(box.ui.boxes.empty());
  EXPECT_NE(box.readFile("mainten.ini").find("[Senast]"), std::string::npos) << "the run completed";
  scheduler.startStop();
  EXPECT_TRUE(state.automaticClose);
  EXPECT_TRUE(state.manualMode);

  box.writeFile("mainten.ini", "[Inst]\r\nAutomaticClose=0\r\n");
  press(at(11, 0), "0", "0", "2");
  scheduler.stop();  // as the main window's unload does
  EXPECT_FALSE(state.automaticClose);
  cleanAll(context);
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "Cleaning System...Done");
}

TEST_F(SchedulerTest, AListTextThatIsNoNumberIsLoggedAndLeavesTheScheduleAsItWas) {
  state.automaticClose = true;
  choices.hour.items[0] = "x";
  press(at(10, 0), "0", "x", "2");
  EXPECT_FALSE(scheduler.armed());
  EXPECT_TRUE(state.manualMode);
  EXPECT_TRUE(state.automaticClose);
  EXPECT_EQ(trayEntries, 0);
  EXPECT_NE(log().find("Command18 at line 0 - Type mismatch (13)"), std::string::npos) << log();

  // While armed, a list that reads no number keeps the interval in force.
  choices.hour.items[0] = "0";
  press(at(10, 0), "0", "0", "15");
  choices.minute.items[0] = "soon";
  pick(choices.minute, "soon");
  EXPECT_TRUE(tickAt(at(10, 15)));
  EXPECT_EQ(scheduler.nextRunTime, at(10, 30));
  EXPECT_NE(log().find("Timer3 at line 1 - "), std::string::npos) << log();
}

TEST_F(SchedulerTest, ATickDuringAnyCleaningWaitsForTheNextTick) {
  bool busy = true;
  scheduler.cleaningUnderway = [&] { return busy; };
  press(at(10, 0), "0", "0", "2");
  EXPECT_FALSE(tickAt(at(10, 2)));
  busy = false;
  scheduler.cleanings.all = [this] {
    runs.push_back("All");
    scheduler.onTick();  // the cleaning lets the next tick through
  };
  EXPECT_TRUE(tickAt(at(10, 3)));
  EXPECT_EQ(runs.size(), 1u);
  EXPECT_EQ(scheduler.nextRunTime, at(10, 4));
}

}  // namespace
}  // namespace trwk
