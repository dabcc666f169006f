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

class MainWindowTest : public testing::MainWindowFixture {
 protected:
  void load() {
    views.main = &model;
    model.attach(views);
    model.load();
  }
  std::string log() {
    return box.files().fileExists(box.path("trwk.log")) ? box.readFile("trwk.log") : std::string();
  }
  static int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }
};

TEST_F(MainWindowTest, LoadShowsTheFrameWithTheLastCleaningInTheStatusBar) {
  box.writeFile("mainten.ini", "[Senast]\r\nValue1=2026-11-30 10:00:00\r\n");
  EXPECT_EQ(model.pages.size(), 10u);
  model.page = MainWindowModel::kStatistics;
  load();
  EXPECT_EQ(views.calls, Calls{"show main"});
  EXPECT_TRUE(model.visible);
  EXPECT_EQ(model.page, MainWindowModel::kInternetExplorer);
  EXPECT_EQ(model.state.lastCleaned, "2026-11-30 10:00:00");
  EXPECT_EQ(model.state.statusText, "This computer was last cleaned at: 2026-11-30 10:00:00");
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
  EXPECT_NE(log().find("Initialize at line 10 - Type mismatch (13)"), std::string::npos) << log();
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
  EXPECT_EQ(model.state.progress.value, 100);
  model.setProgress(-5, 0);
  EXPECT_EQ(model.state.progress.max, 1);
  EXPECT_EQ(model.state.progress.value, 0);
}

TEST_F(MainWindowTest, LoadReadsTheSettingsIntoTheCatalogueAndTheRunState) {
  const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  reg.createKey(RootKey::CurrentUser, run);
  for (const char* folder : {"hist", "temp", "cookies"}) box.files().createFolder(box.path(folder));
  box.writeFile("mainten.ini",
                "[Path]\r\nIE1=" + box.path("hist") + "\\\r\nIE2=" + box.path("temp") +
                    "\\\r\nIE3=" + box.path("cookies") +
                    "\\\r\nNetscape1A=-\r\n"
                    "[Rensa]\r\nValue1=1\r\nValue2=0\r\nValue3=1\r\n"
                    "[UserDef]\r\nUDname2=Docs\r\nUDvalue1=1\r\nUDvalue2=0\r\nUDvalue3=1\r\nUDvalue4=1\r\n"
                    "[Inst]\r\nSafetylevel=3\r\nAutomaticClose=1\r\nAutostart=1\r\n"
                    "[Tab]\r\nIE=1\r\nNetscape=0\r\nOpera=1\r\nWindows=1\r\n");
  load();
  EXPECT_EQ(model.paths.ie3, box.path("cookies") + "\\");
  EXPECT_EQ(model.paths.netscape1A, "-");
  EXPECT_TRUE(model.catalogue.item(1).ticked);
  EXPECT_FALSE(model.catalogue.item(2).ticked);
  EXPECT_TRUE(model.catalogue.item(3).ticked);
  // Internet Explorer's folders exist; the other browsers' do not.
  EXPECT_TRUE(model.catalogue.item(1).enabled);
  EXPECT_FALSE(model.catalogue.browsers[MainWindowModel::kIE].noticeVisible);
  EXPECT_FALSE(model.catalogue.item(6).enabled);
  EXPECT_TRUE(model.catalogue.browsers[MainWindowModel::kNetscapeBrowser].noticeVisible);
  EXPECT_TRUE(model.catalogue.browsers[MainWindowModel::kOperaBrowser].noticeVisible);
  EXPECT_FALSE(model.catalogue.item(16).enabled);
  EXPECT_TRUE(model.catalogue.item(17).enabled);
  // User.def set 2 is off and named; the others keep their built names.
  EXPECT_FALSE(model.catalogue.item(23).enabled);
  EXPECT_EQ(model.catalogue.item(23).label, "Docs");
  EXPECT_EQ(model.catalogue.item(24).label, "User.def 3");
  EXPECT_TRUE(model.catalogue.item(24).enabled);
  EXPECT_EQ(model.catalogue.safetyLevel, "3");
  EXPECT_TRUE(model.state.automaticClose);
  EXPECT_TRUE(model.catalogue.autoStart);
  RegValue value;
  EXPECT_EQ(reg.queryValue(RootKey::CurrentUser, run, "Tarnwick", value), 0);
  EXPECT_EQ(value.data, box.root() + "\\trwk6.exe");
  EXPECT_FALSE(model.pageEnabled(MainWindowModel::kNetscape));
  EXPECT_TRUE(model.pageEnabled(MainWindowModel::kOpera));
  EXPECT_FALSE(model.state.freeBefore.empty());
  EXPECT_EQ(model.state.freeBefore.find_first_not_of("0123456789"), std::string::npos);
  EXPECT_EQ(log().find("sIECookies"), std::string::npos) << log();
  EXPECT_EQ(log().find("Load at"), std::string::npos) << log();
}

TEST_F(MainWindowTest, AStartWithAutoStartOffDeletesARunValueLeftFromBefore) {
  const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  reg.createKey(RootKey::CurrentUser, run);
  reg.setString(RootKey::CurrentUser, run, "Tarnwick", "C:\\Old place\\trwk6.exe");
  box.writeFile("mainten.ini", "[Path]\r\nDetect=1\r\n[Inst]\r\nAutostart=0\r\n");
  load();
  RegValue value;
  EXPECT_EQ(reg.queryValue(RootKey::CurrentUser, run, "Tarnwick", value), regstatus::kFileNotFound);
  EXPECT_FALSE(model.catalogue.autoStart);
}

TEST_F(MainWindowTest, WithoutSettingsEveryBrowserIsGreyedAndTheSetUpStopsAreLogged) {
  load();
  for (const FamilyPresence& browser : model.catalogue.browsers) {
    EXPECT_TRUE(browser.noticeVisible);
    EXPECT_FALSE(browser.toolbarVisible);
  }
  for (int n = 1; n <= 25; ++n) EXPECT_FALSE(model.catalogue.item(n).ticked);
  for (int p = 0; p < 9; ++p) EXPECT_TRUE(model.pageEnabled(p));
  EXPECT_EQ(model.catalogue.safetyLevel, "1");
  EXPECT_EQ(model.catalogue.item(22).label, "User defined files");
  // The tab and User.def flags cannot be read: each set-up stops and the load goes on.
  // So do the two maintenance boxes, which have nothing stored.
  EXPECT_EQ(count(log(), "Load at line 6 - Type mismatch (13)"), 4) << log();
  EXPECT_EQ(count(log(), "fixCleanInfo at line 0"), 25);
  // With nothing stored the cookie folder is not known ("-").
  EXPECT_NE(log().find("sIECookies in Load - at line 0 -  (0)"), std::string::npos) << log();
  EXPECT_TRUE(model.loaded);
}

TEST_F(MainWindowTest, UnloadWritesTheSettingsInOrderBeforeAnyWindowCloses) {
  load();
  model.setItemTicked(4, true);
  model.setSafetySlider(6);
  model.setAutomaticClose(true);
  std::string atClose;
  views.onCall = [&](const std::string& call) {
    if (call == "close others") atClose = box.readFile("mainten.ini");
  };
  model.unload();
  std::string expected = "[Rensa]\r\n";
  for (int n = 1; n <= 25; ++n) expected += "Value" + std::to_string(n) + (n == 4 ? "=1" : "=0") + "\r\n";
  expected += "[Inst]\r\nSafetylevel=5\r\nAutomaticClose=1\r\nAutostart=0\r\n";
  expected += "[Automatic]\r\nDay=0\r\nHour=0\r\nMinute=0\r\nClean=0\r\n[Statistics]\r\nCurrent=";
  EXPECT_EQ(atClose.substr(0, expected.size()), expected);
  EXPECT_EQ(atClose, box.readFile("mainten.ini"));
}

TEST_F(MainWindowTest, AStoredSafetyLevelOutsideTheSliderMeansLevelFive) {
  box.writeFile("mainten.ini", "[Inst]\r\nSafetylevel=7\r\n");
  load();
  EXPECT_EQ(model.catalogue.safetyLevel, "5");
  MainWindowModel m(session);
  box.writeFile("mainten.ini", "[Inst]\r\nSafetylevel=high\r\n");
  m.load();
  EXPECT_EQ(m.catalogue.safetyLevel, "1");  // unreadable: the slider keeps its place
}

TEST_F(MainWindowTest, ClearingATabBoxTakesItsPageOutOfReach) {
  box.writeFile("mainten.ini", "[Tab]\r\nIE=1\r\nNetscape=1\r\nOpera=1\r\nWindows=1\r\n");
  load();
  model.setTabActivation(0, false);
  EXPECT_FALSE(model.pageEnabled(MainWindowModel::kInternetExplorer));
  EXPECT_EQ(model.page, MainWindowModel::kNetscape);
  model.selectPage(MainWindowModel::kInternetExplorer);
  EXPECT_EQ(model.page, MainWindowModel::kNetscape);
  EXPECT_NE(box.readFile("mainten.ini").find("IE=0"), std::string::npos);
  model.setTabActivation(0, true);
  model.selectPage(MainWindowModel::kInternetExplorer);
  EXPECT_EQ(model.page, MainWindowModel::kInternetExplorer);
}

TEST_F(MainWindowTest, TheCookiesButtonOpensTheCookieWindowOverTheMainWindow) {
  load();
  views.calls.clear();
  bool loaded = false;
  views.cookiesScript = [&](IeCookiesModel& c) {
    loaded = true;
    EXPECT_EQ(c.caption, "Internet Explorer Cookies");
    c.cancel();
  };
  model.openIeCookies();
  EXPECT_EQ(views.calls, Calls{"ie cookies"});
  EXPECT_TRUE(loaded);
}

TEST_F(MainWindowTest, TheAnimationTickAlternatesTheStatusAndRepaints) {
  load();
  model.state.runningFamily = "Internet Explorer";
  model.animationTick();
  const std::string first = model.state.statusText;
  model.animationTick();
  EXPECT_NE(first, model.state.statusText);
  EXPECT_TRUE(first == "Please Wait..." || model.state.statusText == "Please Wait...");
}

}  // namespace
}  // namespace trwk
