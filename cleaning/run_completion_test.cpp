#include "cleaning/run_completion.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "cleaning/path_availability.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using Pair = std::pair<std::string, std::string>;

class RunCompletionTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  Session session{box.platform(), box.root()};
  CleanCatalogue catalogue;
  RunState state;
  PathValues paths{"-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-"};
  std::vector<std::string> keep;
  CleaningContext context{session, catalogue, state, paths, keep};
  std::vector<Pair> recorded;
  int closes = 0;
  // Clean All's flag as each chart update saw it.
  std::vector<bool> cleanAllAtChart;

  void SetUp() override {
    context.recordStatistics = [this](const std::string& before, const std::string& after) {
      recorded.emplace_back(before, after);
      cleanAllAtChart.push_back(state.cleanAllRunning);
    };
    context.closeMainWindow = [this] { ++closes; };
  }
  std::string ini() {
    return box.files().fileExists(box.path("mainten.ini")) ? box.readFile("mainten.ini") : std::string();
  }
  int doneBoxes() {
    int n = 0;
    for (const MessageBox& b : box.ui.boxes) {
      if (b.text == "Cleaning System...Done") {
        EXPECT_EQ(b.title, "Info");
        EXPECT_EQ(b.icon, Icon::Information);
        EXPECT_EQ(b.buttons, Buttons::Ok);
        ++n;
      }
    }
    return n;
  }
};

bool isNumber(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

TEST_F(RunCompletionTest, AFamilyRunStartsTheSlowAnimationMeasuresAndPreparesItsItems) {
  catalogue.item(1).ticked = true;
  catalogue.item(3).ticked = true;
  catalogue.item(4).ticked = true;
  catalogue.item(4).enabled = false;
  catalogue.item(6).ticked = true;  // another family: not counted
  beginFamilyRun(context, 1);
  EXPECT_EQ(state.animation.interval, 2000);
  EXPECT_TRUE(state.animation.enabled);
  EXPECT_TRUE(isNumber(state.freeBefore)) << state.freeBefore;
  EXPECT_TRUE(box.ui.busy);
  EXPECT_FALSE(catalogue.item(4).ticked) << "a greyed-out item is cleared when its run is prepared";
  EXPECT_EQ(state.progress.value, 0);
  EXPECT_EQ(state.progress.max, 2);
}

TEST_F(RunCompletionTest, DuringCleanAllAFamilyLeavesTheStartToCleanAll) {
  state.cleanAllRunning = true;
  state.animation = {10, true};
  state.freeBefore = "123";
  beginFamilyRun(context, 1);
  EXPECT_EQ(state.animation.interval, 10);
  EXPECT_EQ(state.freeBefore, "123");
  EXPECT_TRUE(box.ui.busyChanges.empty());
}

TEST_F(RunCompletionTest, CompletionStampsChartsAndSaysDoneInManualMode) {
  beginFamilyRun(context, 1);
  state.runningFamily = "Internet Explorer";
  completeRun(context);
  EXPECT_FALSE(state.animation.enabled);
  EXPECT_EQ(state.animation.interval, 0);
  EXPECT_EQ(state.lastCleaned, "2026-12-08 14:05:08");
  EXPECT_NE(ini().find("[Senast]\r\nValue1=2026-12-08 14:05:08\r\n"), std::string::npos) << ini();
  EXPECT_EQ(state.statusText, "This computer was last cleaned: 2026-12-08 14:05:08");
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].first, state.freeBefore);
  EXPECT_TRUE(isNumber(recorded[0].second)) << recorded[0].second;
  EXPECT_EQ(state.runningFamily, "");
  EXPECT_FALSE(box.ui.busy);
  EXPECT_EQ(doneBoxes(), 1);
  EXPECT_EQ(closes, 0);
}

TEST_F(RunCompletionTest, CloseAfterCleaningClosesInsteadOfTheBoxAndAutomaticModeIsSilent) {
  state.automaticClose = true;
  completeRun(context);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(box.ui.boxes.empty());

  state.automaticClose = false;
  state.manualMode = false;
  completeRun(context);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(box.ui.boxes.empty());
  EXPECT_EQ(recorded.size(), 2u) << "the chart is updated on every run";
}

TEST(StatusAnimation, AlternatesBetweenWaitingAndTheRunningFamily) {
  RunState state;
  state.runningFamily = "Internet Explorer";
  std::vector<std::string> texts;
  for (int i = 0; i < 4; ++i) {
    animationTick(state);
    texts.push_back(state.statusText);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Please Wait...", "Cleaning... Internet Explorer", "Please Wait...",
                                              "Cleaning... Internet Explorer"}));
}

TEST_F(RunCompletionTest, CleanAllWithNoBrowserStillCompletesOnceWithEveryFamilyPrepared) {
  catalogue.item(2).ticked = true;
  catalogue.item(2).enabled = false;  // Internet Explorer greyed out
  catalogue.item(14).ticked = true;
  catalogue.item(22).ticked = true;
  std::vector<std::pair<bool, int>> seen;  // Clean All flag and animation interval at each repaint
  context.refresh = [&] { seen.emplace_back(state.cleanAllRunning, state.animation.interval); };
  cleanAll(context);
  EXPECT_FALSE(catalogue.item(2).ticked);
  EXPECT_EQ(state.progress.max, 2);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), std::make_pair(true, 10)) << "the fast animation runs while Clean All works";
  EXPECT_EQ(cleanAllAtChart, std::vector<bool>{true}) << "one completion, inside Clean All";
  EXPECT_FALSE(state.cleanAllRunning);
  EXPECT_FALSE(state.animation.enabled);
  EXPECT_FALSE(box.ui.busy);
  EXPECT_EQ(doneBoxes(), 1);
  EXPECT_EQ(state.lastCleaned, "2026-12-08 14:05:08");
}

TEST_F(RunCompletionTest, CleanAllRunsTheInternetExplorerCleanerWithoutItsOwnCompletion) {
  box.writeFile("Cookies\\keep@site.txt", "k");
  box.writeFile("Cookies\\gone@site.txt", "g");
  box.writeFile("cookies1.lst", "keep@site.txt\r\n");
  paths.ie1 = box.path("History") + "\\";
  paths.ie2 = box.path("Cache") + "\\";
  paths.ie3 = box.path("Cookies") + "\\";
  paths.ie4 = paths.ie2;
  keep = {"keep@site.txt"};
  catalogue.item(3).ticked = true;
  cleanAll(context);
  EXPECT_TRUE(box.files().fileExists(box.path("Cookies\\keep@site.txt")));
  EXPECT_FALSE(box.files().fileExists(box.path("Cookies\\gone@site.txt")));
  EXPECT_EQ(recorded.size(), 1u) << "stamped and charted once";
  EXPECT_EQ(doneBoxes(), 1);
  EXPECT_EQ(state.progress.value, state.progress.max);
}

TEST_F(RunCompletionTest, CleanAllClosingAfterCleaningLeavesNoBox) {
  state.automaticClose = true;
  cleanAll(context);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(doneBoxes(), 0);
  EXPECT_FALSE(state.cleanAllRunning);
}

TEST_F(RunCompletionTest, CleanAllRunsTheAvailableFamiliesInOrderAndEndsOnceSilentlyWhenAutomatic) {
  paths.netscape1A = box.path("Users") + "\\";
  paths.netscape1C = "bo";
  paths.netscape2 = box.path("NsCache") + "\\";
  paths.opera1 = box.path("Opera") + "\\";
  paths.opera2 = "";  // an empty location is as unknown as "-": Opera is left out
  std::vector<std::string> order;
  context.refresh = [&] {
    if (!state.runningFamily.empty() && (order.empty() || order.back() != state.runningFamily))
      order.push_back(state.runningFamily);
  };
  context.cleanUserDefined = [&](CleaningContext&) { order.push_back("User Defined"); };
  context.cleanPlugins = [&](CleaningContext&) { order.push_back("Plugins"); };
  state.manualMode = false;
  cleanAll(context);
  EXPECT_EQ(order, (std::vector<std::string>{"Netscape", "Windows", "User Defined", "Plugins"}));
  EXPECT_EQ(recorded.size(), 1u) << "stamped and charted once";
  EXPECT_EQ(doneBoxes(), 0) << "automatic cleaning shows no done box";
  EXPECT_EQ(state.lastCleaned, "2026-12-08 14:05:08");

  paths.opera2 = box.path("Opera\\cache4") + "\\";
  EXPECT_TRUE(operaAvailable(paths));
  paths.netscape2 = "-";
  EXPECT_FALSE(netscapeAvailable(paths));
  paths.ie1 = paths.ie2 = paths.ie3 = box.path("x");
  EXPECT_TRUE(internetExplorerAvailable(paths));
}

}  // namespace
}  // namespace trwk
