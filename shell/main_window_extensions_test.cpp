// The User.def sets, the plugins and automatic cleaning as the main window drives them:
// what its load builds, where Clean All runs them, and what a schedule's tick cleans.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/main_window_model.h"
#include "shell/shell_test_fakes.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using Texts = std::vector<std::string>;

// Notes each family a run starts, each stamp it ends with and the notification-area icon.
class TraceViews : public testing::RecordingViews {
 public:
  Texts trace;
  void refresh() override {
    RecordingViews::refresh();
    const RunState& state = main->state;
    if (!state.runningFamily.empty() && state.runningFamily != family_) trace.push_back(state.runningFamily);
    family_ = state.runningFamily;
    const bool stamped = state.statusText.rfind("This computer was last cleaned: ", 0) == 0;
    if (stamped && !stamped_) trace.push_back("stamp");
    stamped_ = stamped;
  }
  void enterTray() override { trace.push_back("tray in"); }
  void leaveTray() override { trace.push_back("tray out"); }

 private:
  std::string family_;
  bool stamped_ = false;
};

class MainWindowExtensionsTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  testing::MemoryRegistry reg;
  testing::FakeDesktop desktop{box.root()};
  TraceViews views;
  Session session{{box.files(), reg, desktop, box.clock, box.random, box.ui}, box.root()};
  MainWindowModel model{session};

  // Sets 2 ("Work", ticked) and 4 ("Games", not ticked) active; plugin Alpha ticked and
  // Beta not; the Windows document history ticked. `pathLines` go into [Path], `more`
  // after the ticks of [Rensa].
  void seed(const std::string& pathLines = "", const std::string& more = "") {
    box.writeFile("ud\\junk.txt", "junk");
    box.writeFile("ud\\Old\\deep\\a.dat", "a");
    box.writeFile("ud\\games.sav", "save");
    box.writeFile("userdef2.lst", box.path("ud\\junk.txt") + "\r\n" + box.path("ud\\Old") + "\r\n");
    box.writeFile("userdef4.lst", box.path("ud\\games.sav") + "\r\n");
    box.writeFile("pl\\a.tmp", "a");
    box.writeFile("pl\\b.tmp", "b");
    box.writeFile("pl\\beta.txt", "beta");
    box.writeFile("Alpha.cp2", "[Main]\r\nName=Alpha\r\nActive=True\r\n");
    box.writeFile("Alpha.cp1", "/* temporary files\r\n" + box.path("pl\\*.tmp") + "\r\n");
    box.writeFile("Beta.cp2", "[Main]\r\nName=Beta\r\nActive=False\r\n");
    box.writeFile("Beta.cp1", box.path("pl\\beta.txt") + "\r\n");
    box.writeFile("win\\Recent\\letter.lnk", "link");
    box.writeFile("mainten.ini", "[Path]\r\nDetect=1\r\nWin1=" + box.path("win\\Recent") + "\\\r\n" +
                                     pathLines +
                                     "[UserDef]\r\nUDname1=Docs\r\nUDvalue1=0\r\nUDname2=Work\r\n"
                                     "UDvalue2=1\r\nUDname3=Mail\r\nUDvalue3=0\r\nUDname4=Games\r\n"
                                     "UDvalue4=1\r\n[Rensa]\r\nValue14=1\r\nValue23=1\r\n" +
                                     more);
    views.main = &model;
    model.attach(views);
    model.load();
    views.trace.clear();
  }
  bool exists(const std::string& relative) {
    std::string path = box.path(relative);
    return box.files().fileExists(path) || box.files().folderExists(path);
  }
  int doneBoxes() {
    int n = 0;
    for (const MessageBox& b : box.ui.boxes) n += b.text == "Cleaning System...Done" && b.title == "Info";
    return n;
  }
  std::string stored(const char* section, const char* key) {
    return session.settings.getini(section, key, session.maintenIni());
  }
  void tickAt(int minutesAfterStart) {
    box.clock.time = {2026, 12, 8, 14, 5 + minutesAfterStart, 8};
    model.scheduler.onTick();
  }
};

TEST_F(MainWindowExtensionsTest, LoadBuildsThePluginListAndTheChooserOfActiveSets) {
  box.writeFile("notes.cp1", "not a header");
  seed();
  const Plugins& plugins = model.plugins;
  EXPECT_EQ(plugins.headerFiles, (Texts{"Alpha.cp2", "Beta.cp2"}));
  EXPECT_EQ(plugins.names, (Texts{"Alpha", "Beta"}));
  EXPECT_EQ(plugins.list4, plugins.names);
  EXPECT_EQ(plugins.ticks, (std::vector<bool>{true, false}));
  EXPECT_EQ(plugins.pathBox, box.root() + "\\");

  const UserDefSets& sets = model.userDefSets;
  EXPECT_EQ(sets.chooser.rows, (Texts{"Work", "Games"}));
  EXPECT_EQ(sets.chooser.rowSets, (std::vector<int>{2, 4}));
  EXPECT_EQ(sets.chosenSet, 2);
  EXPECT_EQ(sets.entries, (Texts{box.path("ud\\junk.txt"), box.path("ud\\Old")}));
  EXPECT_TRUE(sets.addEnabled);
  EXPECT_TRUE(model.catalogue.item(23).enabled);
  EXPECT_FALSE(model.catalogue.item(22).enabled);

  // Switching set 2 off on the maintenance page leaves set 4 alone in the chooser; a new
  // name shows at once; with no set active the editor is cleared and disabled.
  model.setUserDefActivation(1, false);
  EXPECT_EQ(stored("UserDef", "UDvalue2"), "0");
  EXPECT_EQ(model.userDefSets.chooser.rows, Texts{"Games"});
  EXPECT_EQ(model.userDefSets.chosenSet, 4);
  EXPECT_EQ(model.userDefSets.entries, Texts{box.path("ud\\games.sav")});
  model.setUserDefName(3, "Toys");
  EXPECT_EQ(model.userDefSets.chooser.rows, Texts{"Toys"});
  model.setUserDefActivation(3, false);
  EXPECT_TRUE(model.userDefSets.chooser.rows.empty());
  EXPECT_TRUE(model.userDefSets.entries.empty());
  EXPECT_FALSE(model.userDefSets.addEnabled);
}

TEST_F(MainWindowExtensionsTest, CleanAllRunsTheSetsAndThenThePluginsLastAndStampsOnce) {
  box.writeFile("op\\Cache4\\opr1.htm", "page");
  seed("Opera1=" + box.path("op") + "\\\r\nOpera2=" + box.path("op\\Cache4") + "\\\r\n", "Value10=1\r\n");
  ASSERT_EQ(model.paths.opera1, box.path("op") + "\\");

  model.cleanAllPressed();
  EXPECT_EQ(views.trace, (Texts{"Opera", "Windows", "User Defined", "Plugins", "Rules", "stamp"}));
  EXPECT_FALSE(exists("op\\Cache4\\opr1.htm"));
  EXPECT_FALSE(exists("win\\Recent\\letter.lnk"));
  EXPECT_FALSE(exists("ud\\junk.txt"));
  EXPECT_FALSE(exists("ud\\Old"));
  EXPECT_TRUE(exists("ud\\games.sav")) << "set 4 is not ticked";
  EXPECT_FALSE(exists("pl\\a.tmp"));
  EXPECT_FALSE(exists("pl\\b.tmp"));
  EXPECT_TRUE(exists("pl\\beta.txt")) << "Beta is not ticked";
  EXPECT_EQ(doneBoxes(), 1);
  EXPECT_EQ(stored("Senast", "Value1"), "2026-12-08 14:05:08");
  EXPECT_FALSE(model.state.cleanAllRunning);
  EXPECT_FALSE(model.cleaning());
}

TEST_F(MainWindowExtensionsTest, CleanAllWithNoBrowserStillCleansWindowsTheSetsAndThePlugins) {
  seed("IE1=-\r\nIE2=-\r\nIE3=-\r\nNetscape1A=-\r\nNetscape2=-\r\nOpera1=-\r\nOpera2=-\r\n");
  model.cleanAllPressed();
  EXPECT_EQ(views.trace, (Texts{"Windows", "User Defined", "Plugins", "Rules", "stamp"}));
  EXPECT_FALSE(exists("win\\Recent\\letter.lnk"));
  EXPECT_FALSE(exists("ud\\junk.txt"));
  EXPECT_FALSE(exists("pl\\a.tmp"));
  EXPECT_EQ(doneBoxes(), 1);
}

TEST_F(MainWindowExtensionsTest, AScheduleCleansTheChosenFamilyQuietlyAndGivesBackTheStoredClose) {
  seed("", "[Inst]\r\nAutomaticClose=1\r\n");
  ASSERT_TRUE(model.state.automaticClose);
  model.automatic.minute.choose(1);  // "2"
  model.automatic.clean.choose(5);   // "Plugins"
  model.scheduler.startStop();
  ASSERT_TRUE(model.scheduler.armed());
  EXPECT_FALSE(model.state.manualMode);
  EXPECT_FALSE(model.state.automaticClose) << "the program must stay up between cleanings";
  EXPECT_FALSE(model.visible);

  tickAt(1);
  EXPECT_TRUE(exists("pl\\a.tmp"));
  tickAt(2);
  EXPECT_FALSE(exists("pl\\a.tmp"));
  EXPECT_TRUE(exists("ud\\junk.txt"));
  EXPECT_EQ(views.trace, (Texts{"tray in", "Plugins", "stamp"}));
  EXPECT_EQ(model.state.statusText, "This computer was last cleaned: 2026-12-08 14:07:08");
  EXPECT_TRUE(box.ui.boxes.empty()) << box.ui.boxes.front().text;
  EXPECT_FALSE(model.unloaded);

  // Stopping gives back the stored "Close application after cleaning".
  model.scheduler.startStop();
  EXPECT_TRUE(model.state.manualMode);
  EXPECT_TRUE(model.state.automaticClose);

  // "User.def", armed at +3: due at +5.
  model.automatic.clean.choose(4);
  box.clock.time = {2026, 12, 8, 14, 8, 8};
  model.scheduler.startStop();
  tickAt(4);
  EXPECT_TRUE(exists("ud\\junk.txt"));
  tickAt(5);
  EXPECT_FALSE(exists("ud\\junk.txt"));
  EXPECT_FALSE(exists("ud\\Old"));
  EXPECT_TRUE(exists("pl\\beta.txt"));
  EXPECT_TRUE(box.ui.boxes.empty());
  EXPECT_FALSE(model.unloaded);

  // Closing while armed writes back the stored state, not the box unticked for the schedule.
  model.unload();
  EXPECT_FALSE(model.scheduler.armed());
  EXPECT_EQ(stored("Inst", "AutomaticClose"), "1");
  EXPECT_EQ(views.trace, (Texts{"tray in", "Plugins", "stamp", "tray out", "tray in", "User Defined", "stamp",
                                "tray out"}));
}

TEST_F(MainWindowExtensionsTest, CleanUserDefAndCleanPluginsEachEndWithTheDoneBox) {
  seed();
  model.cleanUserDef();
  EXPECT_FALSE(exists("ud\\junk.txt"));
  EXPECT_TRUE(exists("ud\\games.sav"));
  EXPECT_TRUE(exists("pl\\a.tmp"));
  EXPECT_TRUE(exists("win\\Recent\\letter.lnk"));
  EXPECT_EQ(doneBoxes(), 1);

  // A plugin ticked on the page is cleaned by the button.
  model.plugins.setActive(1, true);
  model.cleanPluginsPressed();
  EXPECT_FALSE(exists("pl\\a.tmp"));
  EXPECT_FALSE(exists("pl\\beta.txt"));
  EXPECT_EQ(doneBoxes(), 2);
  EXPECT_EQ(views.trace, (Texts{"User Defined", "stamp", "Plugins", "stamp"}));
  EXPECT_FALSE(model.cleaning());

  // With "Close application after cleaning" the window closes instead.
  model.setAutomaticClose(true);
  model.cleanPluginsPressed();
  EXPECT_TRUE(model.unloaded);
  EXPECT_EQ(doneBoxes(), 2);
  EXPECT_EQ(stored("Inst", "AutomaticClose"), "1");
}

}  // namespace
}  // namespace trwk
