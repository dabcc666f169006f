#include "shell/main_window_model.h"

#include <gtest/gtest.h>

#include "shell/shell_test_fakes.h"
#include "shell/tips_model.h"
#include "testing/fault_files.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using Calls = std::vector<std::string>;

class MainWindowTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  testing::MemoryRegistry reg;
  testing::FakeDesktop desktop{box.root()};
  testing::RecordingViews views;
  Session session{{box.files(), reg, desktop, box.clock, box.random, box.ui}, box.root()};
  MainWindowModel model{session};

  void load() {
    views.main = &model;
    model.attach(views);
    model.load();
  }
  std::string log() {
    return box.files().fileExists(box.path("trwk.log")) ? box.readFile("trwk.log") : std::string();
  }
};

TEST_F(MainWindowTest, LoadShowsTheFrameWithNoticesHiddenAndTheLastCleaningInTheStatusBar) {
  box.writeFile("mainten.ini", "[Senast]\r\nValue1=2026-11-30 10:00:00\r\n");
  EXPECT_EQ(model.pages.size(), 9u);
  for (const Notice& n : model.notices) EXPECT_TRUE(n.visible);
  model.page = MainWindowModel::kStatistics;
  load();
  EXPECT_EQ(views.calls, Calls{"show main"});
  EXPECT_TRUE(model.visible);
  EXPECT_EQ(model.page, MainWindowModel::kInternetExplorer);
  for (const Notice& n : model.notices) EXPECT_FALSE(n.visible);
  EXPECT_EQ(model.statusText, "This computer was last cleaned at: 2026-11-30 10:00:00");
  EXPECT_FALSE(model.showTips);
}

TEST_F(MainWindowTest, ShowTipTruthValuesOpenTheTipsWindowAfterTheWindowIsShown) {
  for (std::string value : {"1", "-1", "True", "true"}) {
    box.writeFile("mainten.ini", "[Inst]\r\nShowtip=" + value + "\r\n");
    MainWindowModel m(session);
    views.calls.clear();
    views.main = &m;
    m.attach(views);
    m.load();
    EXPECT_EQ(views.calls, (Calls{"show main", "tips"})) << value;
  }
  for (std::string value : {"0", "False"}) {
    box.writeFile("mainten.ini", "[Inst]\r\nShowtip=" + value + "\r\n");
    MainWindowModel m(session);
    views.calls.clear();
    views.main = &m;
    m.attach(views);
    m.load();
    EXPECT_EQ(views.calls, Calls{"show main"}) << value;
  }
}

TEST_F(MainWindowTest, AnUnreadableShowTipIsLoggedAndLeavesTheFlagAlone) {
  box.writeFile("mainten.ini", "[Inst]\r\nShowtip=maybe\r\n");
  load();
  EXPECT_FALSE(model.showTips);
  EXPECT_EQ(views.calls, Calls{"show main"});
  EXPECT_NE(log().find("Initialize at line 2 - Type mismatch (13)"), std::string::npos) << log();
}

TEST_F(MainWindowTest, UrlAddressesAreReadAndAMissingFileLeavesThemEmpty) {
  load();
  EXPECT_EQ(model.urls.home, "");
  box.writeFile("url.ini",
                "[Internet]\r\nHome=http://a/\r\nHome2=http://b/\r\nMail=mailto:c@d\r\nInfo=http://e/\r\n");
  MainWindowModel m(session);
  m.load();
  EXPECT_EQ(m.urls.home, "http://a/");
  EXPECT_EQ(m.urls.home2, "http://b/");
  EXPECT_EQ(m.urls.mail, "mailto:c@d");
  EXPECT_EQ(m.urls.info, "http://e/");
}

TEST_F(MainWindowTest, DoNotPromptWritesZeroAndClearsTheFlagClearingWritesNothing) {
  box.writeFile("mainten.ini", "[Inst]\r\nShowtip=1\r\n");
  views.tipsScript = [](TipsModel& t) {
    EXPECT_EQ(t.caption, "Notice!");
    EXPECT_EQ(t.notices[0], "This verision of Tarnwick runs on Windows 95 and Windows 98.");
    t.setDoNotPrompt(true);
    t.ok();
  };
  load();
  EXPECT_FALSE(model.showTips);
  EXPECT_EQ(box.readFile("mainten.ini"), "[Inst]\r\nShowtip=0\r\n");

  box.writeFile("mainten.ini", "[Inst]\r\nShowtip=1\r\n");
  bool flag = true;
  TipsModel tips(session, flag);
  tips.setDoNotPrompt(false);
  EXPECT_TRUE(flag);
  EXPECT_EQ(box.readFile("mainten.ini"), "[Inst]\r\nShowtip=1\r\n");
}

TEST_F(MainWindowTest, AFailedDoNotPromptWriteStillClearsTheFlagForThisRun) {
  testing::FaultFiles faulty(box.files());
  faulty.fail("replaceAtomically", 70);
  faulty.fail("appendText", 70);  // nothing may escape even when the log cannot be written
  Session broken({faulty, reg, desktop, box.clock, box.random, box.ui}, box.root());
  bool flag = true;
  TipsModel tips(broken, flag);
  tips.setDoNotPrompt(true);
  EXPECT_FALSE(flag);
  EXPECT_TRUE(tips.doNotPrompt);
}

TEST_F(MainWindowTest, UnloadClosesTheOtherWindowsThenItselfOnce) {
  load();
  views.calls.clear();
  model.unload();
  model.unload();
  EXPECT_EQ(views.calls, (Calls{"close others", "close main"}));
  EXPECT_FALSE(model.visible);
}

TEST_F(MainWindowTest, PageAndProgressStayInRange) {
  load();
  model.selectPage(MainWindowModel::kPaths);
  model.selectPage(99);
  model.selectPage(-1);
  EXPECT_EQ(model.page, MainWindowModel::kPaths);
  model.setProgress(150, 100);
  EXPECT_EQ(model.progressValue, 100);
  model.setProgress(-5, 0);
  EXPECT_EQ(model.progressMax, 1);
  EXPECT_EQ(model.progressValue, 0);
}

}  // namespace
}  // namespace trwk
