// The main window's cleaning buttons of the Netscape, Opera and Windows pages and the
// Netscape "Cookies" window, driven through the model as the views drive it.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <optional>

#include "shell/main_window_model.h"
#include "shell/shell_test_fakes.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

class MainWindowCleaningTest : public testing::MainWindowFixture {
 protected:
  static constexpr const char* kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

  // Traces of the three families and settings that point at them, with the given items
  // ticked. The temporary files are old enough for the sweep.
  void seed(const std::string& ticks) {
    box.writeFile("ns\\Users\\tester\\netscape.hst", "history");
    box.writeFile("ns\\Users\\tester\\cookies.txt",
                  "# Netscape HTTP Cookie File\n.bank.example\tTRUE\t/\tFALSE\t0\tid\t1\n"
                  ".ads.example\tTRUE\t/\tFALSE\t0\tid\t2\n");
    box.writeFile("ns\\Users\\tester\\prefs.js",
                  "user_pref(\"browser.url_history.URL_1\", \"http://a/\");\nuser_pref(\"x\", 1);\n");
    box.writeFile("ns\\Cache\\M0001.htm", "page");
    box.writeFile("op\\global.dat", "visited");
    box.writeFile("op\\cookies4.dat", "cookies");
    box.writeFile("op\\vlink4.dat", "links");
    box.writeFile("op\\Cache4\\opr0001.htm", "page");
    box.writeFile("win\\Recent\\letter.lnk", "link");
    box.writeFile("win\\Downloaded\\control.ocx", "control");
    box.writeFile("win\\Temp\\old.tmp", "old");
    makeOld("win\\Temp\\old.tmp");
    reg.createKey(RootKey::CurrentUser, kRunMru);
    reg.setString(RootKey::CurrentUser, kRunMru, "a", "notepad\\1");
    const std::string r = box.root();
    box.writeFile("mainten.ini",
                  "[Path]\r\nDetect=1\r\nNetscape1A=" + r + "\\ns\\Users\\\r\nNetscape1B=0\r\n" +
                      "Netscape1C=tester\r\nNetscape2=" + r + "\\ns\\Cache\\\r\nOpera1=" + r +
                      "\\op\\\r\nOpera2=" + r + "\\op\\Cache4\\\r\nWin1=" + r +
                      "\\win\\Recent\\\r\nWin2=" + r + "\\win\\Temp\\\r\nWin3=" + r +
                      "\\win\\Downloaded\\\r\n[Rensa]\r\n" + ticks + "[Inst]\r\nSafetylevel=1\r\n");
    box.writeFile("cookies2.lst", ".bank.example\tTRUE\t/\tFALSE\t0\tid\t1\r\n");
    views.main = &model;
    model.attach(views);
    model.load();
  }
  // Today becomes three days after the file was written, so the file is old.
  void makeOld(const std::string& relative) {
    std::optional<FileTime> t = box.files().lastWriteTime(box.path(relative));
    ASSERT_TRUE(t);
    std::tm day{};
    day.tm_year = t->year - 1900;
    day.tm_mon = t->month - 1;
    day.tm_mday = t->day + 3;
    day.tm_hour = 12;
    std::mktime(&day);
    box.clock.time = {day.tm_year + 1900, day.tm_mon + 1, day.tm_mday, 9, 0, 0};
  }
  static std::string ticks(int first, int last) {
    std::string text;
    for (int n = first; n <= last; ++n) text += "Value" + std::to_string(n) + "=1\r\n";
    return text;
  }
  bool exists(const std::string& relative) { return box.files().fileExists(box.path(relative)); }
  int doneBoxes() {
    int n = 0;
    for (const MessageBox& b : box.ui.boxes) n += b.text == "Cleaning System...Done" && b.title == "Info";
    return n;
  }
  bool runValueLeft() {
    RegValue value;
    return reg.queryValue(RootKey::CurrentUser, kRunMru, "a", value) == 0;
  }
};

TEST_F(MainWindowCleaningTest, EachFamilyButtonCleansItsOwnPageOnlyAndSaysDone) {
  // Every item of the three families but the recycle bin and C:\*.chk, which reach
  // beyond the sandbox.
  seed(ticks(6, 16) + ticks(19, 21));
  ASSERT_TRUE(model.catalogue.item(6).enabled);
  ASSERT_TRUE(model.catalogue.item(10).enabled);

  model.cleanOpera();
  EXPECT_FALSE(exists("op\\global.dat"));
  EXPECT_FALSE(exists("op\\cookies4.dat"));
  EXPECT_FALSE(exists("op\\vlink4.dat"));
  EXPECT_FALSE(exists("op\\Cache4\\opr0001.htm"));
  EXPECT_TRUE(exists("ns\\Users\\tester\\netscape.hst"));
  EXPECT_TRUE(exists("win\\Recent\\letter.lnk"));
  EXPECT_EQ(doneBoxes(), 1);
  EXPECT_FALSE(model.cleaning());

  model.cleanNetscape();
  EXPECT_FALSE(exists("ns\\Users\\tester\\netscape.hst"));
  EXPECT_FALSE(exists("ns\\Cache\\M0001.htm"));
  EXPECT_EQ(box.readFile("ns\\Users\\tester\\cookies.txt"), box.readFile("cookies2.lst"));
  EXPECT_EQ(box.readFile("ns\\Users\\tester\\prefs.js"), "user_pref(\"x\", 1);\r\n");
  EXPECT_TRUE(exists("win\\Temp\\old.tmp"));
  EXPECT_EQ(doneBoxes(), 2);

  model.cleanWindows();
  EXPECT_FALSE(exists("win\\Recent\\letter.lnk"));
  EXPECT_FALSE(exists("win\\Downloaded\\control.ocx"));
  EXPECT_FALSE(exists("win\\Temp\\old.tmp"));
  EXPECT_FALSE(runValueLeft());
  EXPECT_EQ(doneBoxes(), 3);
  EXPECT_EQ(model.state.statusText.rfind("This computer was last cleaned: ", 0), 0u)
      << model.state.statusText;
  EXPECT_TRUE(model.state.runningFamily.empty());
}

TEST_F(MainWindowCleaningTest, UntickedItemsAndGreyedOutFoldersAreLeftAlone) {
  // Only the Windows items; the temporary folder is unknown, so item 16 is greyed out
  // and its stored tick is cleared when the run is prepared.
  box.files().createFolder(box.path("win"));
  seed(ticks(14, 16));
  ASSERT_TRUE(model.catalogue.item(16).enabled);
  model.paths.win2 = "-";
  model.catalogue.disableWinTemp();
  model.cleanWindows();
  EXPECT_TRUE(exists("win\\Temp\\old.tmp"));
  EXPECT_FALSE(exists("win\\Recent\\letter.lnk"));
  EXPECT_FALSE(model.catalogue.item(16).ticked);
  EXPECT_TRUE(runValueLeft()) << "item 19 was not ticked";
  EXPECT_TRUE(exists("op\\cookies4.dat"));
}

// Clean All asks the Paths page's verdict (ieAvailable), not the paths in memory: a Save
// that finds a folder gone keeps the old stored value but takes Internet Explorer out.
TEST_F(MainWindowCleaningTest, CleanAllTakesInternetExplorerInByThePathsPageVerdict) {
  struct FamilyViews : testing::RecordingViews {
    std::vector<std::string> families;
    void refresh() override {
      RecordingViews::refresh();
      const std::string& family = main->state.runningFamily;
      if (!family.empty() && (families.empty() || families.back() != family)) families.push_back(family);
    }
  } watching;
  box.writeFile("ie\\History\\History.IE5\\index.dat", "i");
  box.writeFile("ie\\Cache\\Content.IE5\\index.dat", "i");
  box.writeFile("ie\\Cookies\\index.dat", "i");
  seed(ticks(2, 2));
  watching.main = &model;
  model.attach(watching);
  model.locations.box(kIEHistory) = box.path("ie\\History\\");
  model.locations.box(kIECache) = box.path("ie\\Cache\\");
  model.locations.box(kIECookies) = box.path("ie\\Cookies\\");
  model.pathSettings.saveIE();
  ASSERT_TRUE(model.locations.ieAvailable);
  box.writeFile("ie\\History\\Today\\page.url", "p");
  model.cleanAllPressed();
  EXPECT_FALSE(exists("ie\\History\\Today\\page.url"));
  ASSERT_FALSE(watching.families.empty());
  EXPECT_EQ(watching.families.front(), "Internet Explorer");

  model.locations.box(kIECookies) = box.path("gone\\");
  model.pathSettings.saveIE();
  ASSERT_FALSE(model.locations.ieAvailable);
  ASSERT_EQ(model.paths.ie3, box.path("ie\\Cookies\\")) << "a failed Save keeps the stored folder";
  watching.families.clear();
  model.cleanAllPressed();
  EXPECT_EQ(std::count(watching.families.begin(), watching.families.end(), "Internet Explorer"), 0);
  EXPECT_NE(std::find(watching.families.begin(), watching.families.end(), "Windows"),
            watching.families.end());
}

TEST_F(MainWindowCleaningTest, NetscapeCookiesWindowEditsTheKeepListThatCleaningLeavesInPlace) {
  seed(ticks(8, 8));
  views.calls.clear();
  views.netscapeCookiesScript = [](NetscapeCookiesModel& c) {
    EXPECT_EQ(c.caption, "Netscape Cookies");
    ASSERT_EQ(c.cookies.size(), 2u) << "the comment line is no cookie";
    ASSERT_EQ(c.entries.size(), 1u);
    c.selectCookie(1);
    c.add();
    c.ok();
  };
  model.openNetscapeCookies();
  EXPECT_EQ(views.calls, std::vector<std::string>{"netscape cookies"});
  const std::string kept = box.readFile("cookies2.lst");
  EXPECT_NE(kept.find(".ads.example"), std::string::npos) << kept;

  model.cleanNetscape();
  EXPECT_EQ(box.readFile("ns\\Users\\tester\\cookies.txt"), kept);
  EXPECT_TRUE(exists("ns\\Users\\tester\\netscape.hst")) << "item 7 was not ticked";

  // Cancel leaves the list as it was.
  views.netscapeCookiesScript = [](NetscapeCookiesModel& c) {
    c.selectEntry(0);
    c.deleteEntry();
    c.cancel();
  };
  model.openNetscapeCookies();
  EXPECT_EQ(box.readFile("cookies2.lst"), kept);
}

}  // namespace
}  // namespace trwk
