#include "cleaning/clean_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "testing/failure_of.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using testing::failureOf;

class CleanCatalogueTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  testing::MemoryRegistry reg;
  Session session{{box.files(), reg, box.desktop(), box.clock, box.random, box.ui}, box.root()};
  CleanCatalogue catalogue;

  std::string ini() {
    return box.files().fileExists(box.path("mainten.ini")) ? box.readFile("mainten.ini") : std::string();
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

TEST_F(CleanCatalogueTest, TheItemsAreBuiltClearAndEnabledInFamilyAndPositionOrder) {
  const int sizes[] = {5, 4, 4, 8, 4};
  int number = 1;
  for (int f = 1; f <= 5; ++f)
    for (int position = 0; position < sizes[f - 1]; ++position, ++number) {
      const CleanItem& it = catalogue.item(number);
      EXPECT_EQ(it.number, number);
      EXPECT_EQ(static_cast<int>(it.family), f) << number;
      EXPECT_EQ(it.position, position) << number;
      EXPECT_FALSE(it.ticked);
      EXPECT_TRUE(it.enabled);
    }
  EXPECT_EQ(catalogue.item(1).label, "Internet Explorer Cache (Using Control Panel)");
  EXPECT_EQ(catalogue.item(5).label, "Internet Explorer Locked Files (index.dat, mxxx.dat)");
  EXPECT_EQ(catalogue.item(18).label, "*.chk, Scandisc Files");
  EXPECT_EQ(catalogue.item(21).label, "Additional Garbage");
  EXPECT_EQ(catalogue.item(22).label, "User defined files");
  EXPECT_EQ(catalogue.userDefNames[3], "User.def 4");
  EXPECT_EQ(failureOf([&] { catalogue.item(26); }), 9);
  EXPECT_EQ(failureOf([&] { catalogue.item(0); }), 9);
}

TEST_F(CleanCatalogueTest, StoredStatesLoadAndUnreadableOnesStayClearWithOneLogLineEach) {
  std::string rensa = "[Rensa]\r\n";
  for (int n = 1; n <= 25; ++n) rensa += "Value" + std::to_string(n) + "=" + (n % 2 ? "1" : "0") + "\r\n";
  box.writeFile("mainten.ini", rensa);
  session.settings.AddToini("Rensa", "Value7", "abc", session.maintenIni());
  session.settings.AddToini("Rensa", "Value9", "2", session.maintenIni());
  session.settings.AddToini("Rensa", "Value11", "", session.maintenIni());
  catalogue.item(9).ticked = true;  // a failed read leaves the item clear, not as it was

  catalogue.fixCleanInfo(session);
  for (int n = 1; n <= 25; ++n) {
    const bool failed = n == 7 || n == 9 || n == 11;
    EXPECT_EQ(catalogue.item(n).ticked, !failed && n % 2 == 1) << n;
  }
  EXPECT_EQ(count(log(), "fixCleanInfo at line 0"), 3) << log();
  EXPECT_EQ(count(log(), "Type mismatch (13)"), 2) << log();
}

TEST_F(CleanCatalogueTest, StatesAreSavedInItemOrderAsZeroOrOne) {
  catalogue.item(2).ticked = true;
  catalogue.item(25).ticked = true;
  catalogue.saveStates(session);
  std::string expected = "[Rensa]\r\n";
  for (int n = 1; n <= 25; ++n)
    expected += "Value" + std::to_string(n) + "=" + (n == 2 || n == 25 ? "1" : "0") + "\r\n";
  EXPECT_EQ(ini(), expected);

  CleanCatalogue again;
  again.fixCleanInfo(session);
  EXPECT_TRUE(again.item(2).ticked);
  EXPECT_TRUE(again.item(25).ticked);
  EXPECT_FALSE(again.item(3).ticked);
  EXPECT_EQ(log(), "");
}

TEST_F(CleanCatalogueTest, PreparingARunCountsTheTickedItemsOfItsScope) {
  ProgressBar progress{7, 40};
  catalogue.fixCheckboxes(kAllFamilies, progress);
  EXPECT_EQ(progress.value, 0);
  EXPECT_EQ(progress.max, 40);  // nothing ticked: the maximum stays

  for (int n : {1, 3, 6, 14, 22}) catalogue.item(n).ticked = true;
  progress.value = 3;
  catalogue.fixCheckboxes(1, progress);
  EXPECT_EQ(progress.value, 0);
  EXPECT_EQ(progress.max, 2);
  catalogue.fixCheckboxes(kAllFamilies, progress);
  EXPECT_EQ(progress.max, 5);
  catalogue.fixCheckboxes(4, progress);
  EXPECT_EQ(progress.max, 1);
  catalogue.fixCheckboxes(7, progress);  // no such family: nothing counted
  EXPECT_EQ(progress.max, 1);
}

TEST_F(CleanCatalogueTest, AGreyedTickedItemIsClearedOnlyWhenARunOfItsFamilyIsPrepared) {
  catalogue.item(7).ticked = true;
  catalogue.item(8).ticked = true;
  catalogue.item(1).ticked = true;
  catalogue.disableNetscape();
  EXPECT_TRUE(catalogue.item(7).ticked);  // disabling alone keeps the tick

  ProgressBar progress;
  catalogue.fixCheckboxes(1, progress);  // another family's run leaves it alone
  EXPECT_TRUE(catalogue.item(7).ticked);
  EXPECT_EQ(progress.max, 1);

  catalogue.fixCheckboxes(kAllFamilies, progress);
  EXPECT_FALSE(catalogue.item(7).ticked);
  EXPECT_FALSE(catalogue.item(8).ticked);
  EXPECT_EQ(progress.max, 1);
  catalogue.saveStates(session);
  EXPECT_NE(ini().find("Value7=0\r\nValue8=0\r\n"), std::string::npos) << ini();
  EXPECT_NE(ini().find("Value1=1\r\n"), std::string::npos);
}

TEST_F(CleanCatalogueTest, GreyingOutAFamilyShowsItsNoticeAndRestoringItHidesIt) {
  FamilyPresence& ie = catalogue.browsers[0];
  FamilyPresence& netscape = catalogue.browsers[1];
  EXPECT_EQ(ie.notice, "You dont have Internet Explorer installed or have specified incorrect paths");
  EXPECT_EQ(netscape.notice, "You dont have Netscape installed or have specified incorrect paths");
  EXPECT_EQ(catalogue.browsers[2].notice, "You dont have Opera installed or have specified incorrect paths");

  catalogue.disableIE();
  for (int n = 1; n <= 5; ++n) EXPECT_FALSE(catalogue.item(n).enabled) << n;
  EXPECT_TRUE(catalogue.item(6).enabled);
  EXPECT_TRUE(ie.noticeVisible);
  EXPECT_FALSE(ie.toolbarVisible);

  catalogue.disableNetscape();
  catalogue.enableNetscape();
  for (int n = 6; n <= 9; ++n) EXPECT_TRUE(catalogue.item(n).enabled) << n;
  EXPECT_FALSE(netscape.noticeVisible);
  EXPECT_TRUE(netscape.toolbarVisible);
  EXPECT_TRUE(ie.noticeVisible);  // the other families keep their state

  catalogue.disableOpera();
  for (int n = 10; n <= 13; ++n) EXPECT_FALSE(catalogue.item(n).enabled) << n;
  EXPECT_TRUE(catalogue.item(14).enabled);
}

TEST_F(CleanCatalogueTest, TheTwoWindowsFoldersGreyOutOneItemEach) {
  catalogue.disableWinTemp();
  catalogue.disableWinDownloaded();
  for (int n = 14; n <= 21; ++n) EXPECT_EQ(catalogue.item(n).enabled, n != 15 && n != 16) << n;
  catalogue.enableWinTemp();
  EXPECT_TRUE(catalogue.item(16).enabled);
  EXPECT_FALSE(catalogue.item(15).enabled);
  catalogue.enableWinDownloaded();
  EXPECT_TRUE(catalogue.item(15).enabled);
}

TEST_F(CleanCatalogueTest, TabFlagsApplyInOrderAndAnUnreadableOneStopsThere) {
  catalogue.tabFlags = {"1", "0", "x", "0"};
  catalogue.tabEnabled = {false, true, true, true};
  catalogue.tabBoxes = {false, true, true, true};
  EXPECT_EQ(failureOf([&] { catalogue.checkActiveTabs(); }), 13);
  EXPECT_TRUE(catalogue.tabEnabled[0]);
  EXPECT_TRUE(catalogue.tabBoxes[0]);
  EXPECT_FALSE(catalogue.tabEnabled[1]);
  EXPECT_FALSE(catalogue.tabBoxes[1]);
  EXPECT_TRUE(catalogue.tabEnabled[3]);  // past the unreadable flag: as it was
  EXPECT_TRUE(catalogue.tabBoxes[3]);

  catalogue.tabFlags[2] = "True";  // a truth value that is no number: tab on, box stops
  EXPECT_EQ(failureOf([&] { catalogue.checkActiveTabs(); }), 13);
  EXPECT_TRUE(catalogue.tabEnabled[2]);
  EXPECT_TRUE(catalogue.tabEnabled[3]);
}

TEST_F(CleanCatalogueTest, ATabBoxClickStoresItsFlagAtOnceAndAppliesTheTabs) {
  catalogue.tabFlags = {"1", "1", "1", "1"};
  catalogue.setTabActivation(session, 1, false);
  EXPECT_EQ(ini(), "[Tab]\r\nNetscape=0\r\n");
  EXPECT_FALSE(catalogue.tabEnabled[1]);
  EXPECT_FALSE(catalogue.tabBoxes[1]);
  catalogue.setTabActivation(session, 3, false);
  catalogue.setTabActivation(session, 1, true);
  EXPECT_EQ(ini(), "[Tab]\r\nNetscape=1\r\nWindows=0\r\n");
  EXPECT_TRUE(catalogue.tabEnabled[1]);
  EXPECT_FALSE(catalogue.tabEnabled[3]);
  EXPECT_EQ(failureOf([&] { catalogue.setTabActivation(session, 4, true); }), 9);

  // An unreadable earlier flag still lets the click be stored and its box show it.
  catalogue.tabFlags[0] = "";
  EXPECT_EQ(failureOf([&] { catalogue.setTabActivation(session, 2, false); }), 13);
  EXPECT_FALSE(catalogue.tabBoxes[2]);
  EXPECT_NE(ini().find("Opera=0"), std::string::npos);
}

TEST_F(CleanCatalogueTest, ClearingUserDefSetTwoGreysOutItem23AndItsNameBox) {
  int refreshes = 0;
  catalogue.onUserDefChanged = [&] { ++refreshes; };
  catalogue.userDefFlags = {"1", "1", "1", "1"};
  catalogue.userDefNames[1] = "Downloads";
  catalogue.checkUserdef();
  EXPECT_EQ(refreshes, 4);
  EXPECT_EQ(catalogue.item(23).label, "Downloads");
  EXPECT_TRUE(catalogue.item(23).enabled);

  catalogue.setUserDefActivation(session, 1, false);
  EXPECT_FALSE(catalogue.item(23).enabled);
  EXPECT_FALSE(catalogue.userDefNameEnabled[1]);
  EXPECT_TRUE(catalogue.item(22).enabled);
  EXPECT_EQ(catalogue.userDefFlags[1], "0");
  EXPECT_EQ(refreshes, 5);
  EXPECT_EQ(ini(), "[UserDef]\r\nUDvalue2=0\r\n");

  catalogue.setUserDefName(session, 1, "Pictures");
  EXPECT_EQ(catalogue.item(23).label, "Pictures");
  EXPECT_EQ(ini(), "[UserDef]\r\nUDvalue2=0\r\nUDname2=Pictures\r\n");
  EXPECT_EQ(refreshes, 6);
}

TEST_F(CleanCatalogueTest, AnUnreadableUserDefFlagStopsTheSetUpAtThatSet) {
  catalogue.userDefFlags = {"0", "maybe", "0", "0"};
  EXPECT_EQ(failureOf([&] { catalogue.checkUserdef(); }), 13);
  EXPECT_FALSE(catalogue.item(22).enabled);
  EXPECT_EQ(catalogue.item(22).label, "User.def 1");
  EXPECT_TRUE(catalogue.item(23).enabled);
  EXPECT_TRUE(catalogue.item(24).enabled);
}

TEST_F(CleanCatalogueTest, SliderPositionsOutsideOneToFourMeanLevelFive) {
  const std::string slower = " This will make the cleaning process slower";
  const std::string texts[] = {
      "Safety level 1, recommended for normal use, removing files.",
      "Safety level 2, overwriting each file one time with random characters." + slower,
      "Safety level 3, overwriting each file three times with random characters." + slower,
      "Safety level 4, overwriting each file five times with random characters." + slower,
      "Safety level 5, overwriting each file seven times with random characters." + slower,
  };
  EXPECT_EQ(catalogue.safetyLevel, "1");
  EXPECT_EQ(catalogue.safetyLabel, texts[0]);
  for (int position = -1; position <= 7; ++position) {
    catalogue.sliderPosition = position;
    catalogue.fixSliderSettings();
    const int level = position >= 1 && position <= 4 ? position : 5;
    EXPECT_EQ(catalogue.safetyLevel, std::to_string(level)) << position;
    EXPECT_EQ(catalogue.safetyLabel, texts[level - 1]) << position;
  }
}

TEST_F(CleanCatalogueTest, AutoStartSetsAndDeletesTheRunValue) {
  const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  reg.createKey(RootKey::CurrentUser, run);
  reg.put(RootKey::CurrentUser, run, "Other", {ValueType::String, "x.exe"});
  catalogue.setAutoStart(session, true);
  EXPECT_TRUE(catalogue.autoStart);
  RegValue value;
  ASSERT_EQ(reg.queryValue(RootKey::CurrentUser, run, "Tarnwick", value), 0);
  EXPECT_EQ(value.type, ValueType::String);
  EXPECT_EQ(value.data, box.root() + "\\trwk6.exe");

  catalogue.setAutoStart(session, false);
  EXPECT_FALSE(catalogue.autoStart);
  EXPECT_NE(reg.queryValue(RootKey::CurrentUser, run, "Tarnwick", value), 0);
  EXPECT_EQ(reg.queryValue(RootKey::CurrentUser, run, "Other", value), 0);
  EXPECT_TRUE(box.ui.boxes.empty());
}

}  // namespace
}  // namespace trwk
