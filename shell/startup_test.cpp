#include "shell/startup.h"

#include <gtest/gtest.h>

#include "automation/calendar.h"
#include "shell/shell_test_fakes.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using Calls = std::vector<std::string>;

class StartupTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  testing::MemoryRegistry reg;
  testing::FakeDesktop desktop{box.root()};
  testing::RecordingViews views;

  Platform platform() { return {box.files(), reg, desktop, box.clock, box.random, box.ui}; }
  bool start() {
    Application app(platform());
    return app.start(views);
  }
  std::string agreement() { return AppSettingsStore(reg).getSetting("Options", "Show Tips at Startup", "-"); }
  int sessionLines() {
    if (!box.files().fileExists(box.path("trwk.log"))) return 0;
    std::string log = box.readFile("trwk.log");
    int n = 0;
    for (std::size_t at = 0;
         (at = log.find("Session Started at line 0 -  TRWK 6.17 (0)", at)) != std::string::npos; ++at)
      ++n;
    return n;
  }
  std::string picture() { return "picture " + box.path("377x159.jpg"); }
};

TEST_F(StartupTest, FirstRunAgreeOpensEverythingInOrder) {
  box.writeFile("ShFolder.Exe", "MZ");
  int linesWhenAgreementOpened = -1;
  views.onCall = [&](const std::string& call) {
    if (call == "agreement") linesWhenAgreementOpened = sessionLines();
    if (call == "splash Version 6.17") {
      EXPECT_EQ(desktop.started.size(), 1u) << "installer before the splash";
    }
  };
  EXPECT_TRUE(start());
  EXPECT_EQ(linesWhenAgreementOpened, 1) << "the log line comes first";
  EXPECT_EQ(views.calls, (Calls{"agreement", "splash Version 6.17", "create main", "show main",
                                "close splash", picture()}));
  ASSERT_EQ(desktop.started.size(), 1u);
  EXPECT_EQ(desktop.started[0].first, box.path("ShFolder.Exe"));
  EXPECT_EQ(agreement(), "0");
  EXPECT_EQ(sessionLines(), 1);
}

TEST_F(StartupTest, AfterAgreeingTheNextStartGoesStraightToTheMainWindow) {
  box.writeFile("ShFolder.Exe", "MZ");
  ASSERT_TRUE(start());
  views.calls.clear();
  desktop.started.clear();
  EXPECT_TRUE(start());
  EXPECT_EQ(views.calls,
            (Calls{"splash Version 6.17", "create main", "show main", "close splash", picture()}));
  EXPECT_TRUE(desktop.started.empty()) << "the installer runs only on starts that asked";
  EXPECT_EQ(sessionLines(), 2);
}

TEST_F(StartupTest, DisagreeEndsWithNoWindowAndNothingWrittenToTheSettings) {
  box.writeFile("ShFolder.Exe", "MZ");
  box.writeFile("mainten.ini", "[Path]\r\nDetect=0\r\n");
  views.agreementScript = [](AgreementModel& a) { a.disagree(); };
  EXPECT_FALSE(start());
  EXPECT_EQ(views.calls, Calls{"agreement"});
  EXPECT_EQ(desktop.started.size(), 1u) << "the installer starts also when the user disagreed";
  EXPECT_EQ(box.readFile("mainten.ini"), "[Path]\r\nDetect=0\r\n");
  EXPECT_EQ(agreement(), "1");
  EXPECT_EQ(sessionLines(), 1);

  views.calls.clear();
  views.agreementScript = [](AgreementModel& a) { a.agree(); };
  EXPECT_TRUE(start());
  EXPECT_EQ(views.calls.front(), "agreement") << "the window comes again after a refusal";
}

TEST_F(StartupTest, TitleBarCloseStartsNormallyAndAsksAgainNextTime) {
  views.agreementScript = [](AgreementModel& a) { a.closeByTitleBar(); };
  EXPECT_TRUE(start());
  EXPECT_TRUE(desktop.started.empty()) << "no installer beside the program: nothing is started";
  EXPECT_EQ(views.calls.back(), picture());
  views.calls.clear();
  EXPECT_TRUE(start());
  EXPECT_EQ(views.calls.front(), "agreement");
}

TEST_F(StartupTest, AStoredValueOtherThanOneSkipsTheAgreement) {
  AppSettingsStore(reg).saveSetting("Options", "Show Tips at Startup", "2");
  EXPECT_TRUE(start());
  EXPECT_EQ(views.calls.front(), "splash Version 6.17");
  AppSettingsStore(reg).saveSetting("Options", "Show Tips at Startup", "yes");
  views.calls.clear();
  EXPECT_TRUE(start());
  EXPECT_EQ(views.calls.front(), "agreement") << "text that is not a number counts as 1";
}

TEST_F(StartupTest, ProgramFolderDropsOneTrailingSeparator) {
  desktop.folder = box.root() + "\\";
  Application app(platform());
  ASSERT_TRUE(app.start(views));
  EXPECT_EQ(app.session()->programFolder, box.root());
  EXPECT_EQ(app.session()->maintenIni(), box.path("mainten.ini"));
  EXPECT_EQ(sessionLines(), 1);
}

TEST_F(StartupTest, LeftoversOfInterruptedWritesGoFirstAndSilently) {
  box.writeFile("~mainten.ini.1-0.tmp", "[Path]\r\n");  // half a settings file
  box.writeFile(".mainten.ini.trwk-Ab12Cd", "[Path]\r\n");
  auto t = box.files().lastWriteTime(box.path("~mainten.ini.1-0.tmp"));
  ASSERT_TRUE(t);
  box.clock.time = addSeconds(DateTime{t->year, t->month, t->day, t->hour, t->minute, t->second}, 86400);
  bool goneAtAgreement = false;
  views.onCall = [&](const std::string& call) {
    if (call == "agreement")
      goneAtAgreement = !box.files().fileExists(box.path("~mainten.ini.1-0.tmp")) &&
                        !box.files().fileExists(box.path(".mainten.ini.trwk-Ab12Cd"));
  };
  EXPECT_TRUE(start());
  EXPECT_TRUE(goneAtAgreement);
  EXPECT_EQ(box.readFile("trwk.log").find("Main at line"), std::string::npos) << box.readFile("trwk.log");
}

// Only a start that asks for it (the one without windows) stops at an unreadable
// mainten.ini; a missing one is never a reason.
TEST_F(StartupTest, UnreadableSettingsStopOnlyAStartThatRequiresThem) {
  AppSettingsStore(reg).saveSetting("Options", "Show Tips at Startup", "0");
  StartupOptions strict;
  strict.requireReadableSettings = true;
  EXPECT_TRUE(Application(platform(), strict).start(views)) << "no mainten.ini yet";
  box.files().createFolder(box.path("mainten.ini"));
  views.calls.clear();
  Application app(platform(), strict);
  EXPECT_FALSE(app.start(views));
  ASSERT_TRUE(app.settingsFailure());
  EXPECT_EQ(app.settingsFailure()->number(), fail::kPathFileAccess);
  EXPECT_TRUE(views.calls.empty()) << "no window opened";
  EXPECT_NE(box.readFile("trwk.log").find("\tMain at line 2 - "), std::string::npos);
  EXPECT_TRUE(Application(platform()).start(views)) << "with windows the start goes on as before";
}

TEST(ProgramFolder, ADriveRootGivesPathsWithOneSeparator) {
  EXPECT_EQ(programFolderFrom("C:\\"), "C:");
  EXPECT_EQ(programFolderFrom("C:\\Program Files\\Tarnwick"), "C:\\Program Files\\Tarnwick");
  testing::Sandbox box;  // only for the services: nothing is written here
  testing::MemoryRegistry reg;
  testing::FakeDesktop desktop("C:\\");
  Session session({box.files(), reg, desktop, box.clock, box.random, box.ui}, programFolderFrom("C:\\"));
  EXPECT_EQ(session.maintenIni(), "C:\\mainten.ini");
  EXPECT_EQ(session.log.path(), "C:\\trwk.log");
  EXPECT_EQ(session.inFolder("377x159.jpg"), "C:\\377x159.jpg");
}

}  // namespace
}  // namespace trwk
