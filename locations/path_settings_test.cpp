#include "locations/path_settings.h"

#include <gtest/gtest.h>

#include "cleaning/cleaning_test_fixture.h"
#include "platform/text_encoding.h"

namespace trwk {
namespace {

const char* const kIeMessage =
    "Could not find Internet Explorer paths.\r\n"
    "If you have Internet Explorer installed check the paths under the 'Path' button.\r\n"
    "If you don't have Internet Explorer installed, you can disable the Internet Explorer tabs under the "
    "'Maintenance' button";

class PathSettingsTest : public testing::CleaningTest {
 protected:
  LocationsModel model;
  PathDetection detection{session, model, paths};
  PathSettings settings{session, model, paths, catalogue, detection};

  // A folder in the sandbox, created, as a box shows it (ending in "\").
  std::string folder(const std::string& name) {
    std::string path = box.root();
    for (std::size_t start = 0; start <= name.size();) {
      std::size_t end = std::min(name.find('\\', start), name.size());
      path.push_back('\\');
      path.append(name, start, end - start);
      if (!files.folderExists(path)) files.createFolder(path);
      start = end + 1;
    }
    return path + "\\";
  }
  std::string missing(const std::string& name) { return box.path(name) + "\\"; }
  std::string stored(const char* key) { return session.settings.getini("Path", key, session.maintenIni()); }
  void store(const char* key, const std::string& value) {
    session.settings.AddToini("Path", key, value, session.maintenIni());
  }
  std::vector<std::string> messages() {
    std::vector<std::string> texts;
    for (const MessageBox& b : box.ui.boxes) {
      EXPECT_EQ(b.title, "Info");
      EXPECT_EQ(b.icon, Icon::Information);
      texts.push_back(b.text);
    }
    return texts;
  }
  bool enabled(int first, int last) {
    bool all = true;
    for (int n = first; n <= last; ++n) all = all && catalogue.item(n).enabled;
    return all;
  }
};

TEST_F(PathSettingsTest, InternetExplorerSaveKeepsTheStoredKeyOfAMissingFolder) {
  store("IE3", "C:\\old cookies\\");
  model.box(kIEHistory) = folder("history");
  model.box(kIECache) = folder("cache");
  model.box(kIECookies) = missing("cookies");
  settings.saveIE();

  EXPECT_EQ(stored("IE1"), folder("history"));
  EXPECT_EQ(stored("IE2"), folder("cache"));
  EXPECT_EQ(stored("IE3"), "C:\\old cookies\\");
  EXPECT_EQ(paths.ie1, folder("history"));
  EXPECT_EQ(model.box(kIECookies), "-");
  EXPECT_FALSE(model.ieAvailable);
  EXPECT_FALSE(enabled(1, 1) || enabled(5, 5));
  EXPECT_EQ(messages(), std::vector<std::string>{kIeMessage});

  // Found again: stored, the cookie list follows, the items come back, no message.
  box.ui.boxes.clear();
  model.box(kIECookies) = folder("cookies");
  settings.saveIE();
  EXPECT_EQ(stored("IE3"), folder("cookies"));
  EXPECT_EQ(paths.ie3, folder("cookies"));
  EXPECT_TRUE(model.ieAvailable && enabled(1, 5));
  EXPECT_TRUE(box.ui.boxes.empty());
}

TEST_F(PathSettingsTest, NetscapeSaveStoresTheChosenUserOrTheMarkers) {
  std::string users = folder("ns\\Users");
  folder("ns\\Users\\anna");
  folder("ns\\Users\\bo\\Cache");
  detection.setUsersBox(users);
  ASSERT_EQ(model.users.size(), 2u);
  settings.selectUser(model.users[0] == "bo" ? 0 : 1);
  model.box(kNetscapeCache) = users + "bo\\Cache\\";
  settings.saveNetscape();

  EXPECT_EQ(stored("Netscape1A"), users);
  EXPECT_EQ(stored("Netscape1B"), std::to_string(model.userSelected));
  EXPECT_EQ(stored("Netscape1C"), "bo");
  EXPECT_EQ(stored("Netscape2"), users + "bo\\Cache\\");
  EXPECT_EQ(paths.netscape1C, "bo");
  EXPECT_TRUE(model.netscapeAvailable && enabled(6, 9));
  EXPECT_TRUE(box.ui.boxes.empty());

  // Netscape gone: "-" is stored for both folders and the empty list is marked.
  detection.setUsersBox(missing("gone"));
  model.box(kNetscapeCache) = missing("gone\\bo\\Cache");
  settings.saveNetscape();
  EXPECT_EQ(stored("Netscape1A"), "-");
  EXPECT_EQ(stored("Netscape1B"), "-1");
  EXPECT_EQ(stored("Netscape1C"), "Error");
  EXPECT_EQ(stored("Netscape2"), "-");
  EXPECT_EQ(model.box(kNetscapeUsers), "-");
  EXPECT_EQ(model.box(kNetscapeCache), "-");
  EXPECT_FALSE(model.netscapeAvailable || enabled(6, 6));
  EXPECT_EQ(messages(),
            std::vector<std::string>{
                "Could not find Netscape paths.\r\n"
                "If you have Netscape installed check the paths under the 'Path' button.\r\n"
                "If you don't have Netscape installed, you can disable the Netscape tabs under the "
                "'Maintenance' button"});
}

TEST_F(PathSettingsTest, TypingAUserNameSavesEachChange) {
  std::string users = folder("ns\\Users");
  folder("ns\\Users\\anna\\Cache");
  detection.setUsersBox(users);
  model.box(kNetscapeCache) = users + "anna\\Cache\\";
  settings.typeUser("ann");
  EXPECT_EQ(stored("Netscape1B"), "-1");  // names no entry
  EXPECT_EQ(stored("Netscape1C"), "ann");
  settings.typeUser("anna");
  EXPECT_EQ(stored("Netscape1B"), "0");
  EXPECT_EQ(stored("Netscape1C"), "anna");
  settings.typeUser("");
  EXPECT_EQ(stored("Netscape1C"), "Error");
  EXPECT_EQ(paths.netscape1C, "anna");  // the last name given stays in use
}

TEST_F(PathSettingsTest, OperaSaveStoresTheMarkerForAMissingFolder) {
  model.box(kOperaUser) = folder("Opera");
  model.box(kOperaCache) = missing("Opera\\Cache4");
  settings.saveOpera();
  EXPECT_EQ(stored("Opera1"), folder("Opera"));
  EXPECT_EQ(stored("Opera2"), "-");
  EXPECT_EQ(paths.opera2, "-");
  EXPECT_FALSE(model.operaAvailable || enabled(10, 10));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_TRUE(messages()[0].starts_with("Could not find Opera paths.\r\n"));
  EXPECT_TRUE(messages()[0].ends_with("you can disable the Opera tabs under the 'Maintenance' button"));
}

TEST_F(PathSettingsTest, WindowsSaveReportsEachMissingBoxInOrder) {
  model.box(kWinHistory) = missing("Recent");
  model.box(kWinTemp) = missing("Temp");
  model.box(kWinDownloaded) = missing("Downloaded Program Files");
  settings.saveWindows();
  EXPECT_EQ(messages(), (std::vector<std::string>{"Windows Document History path does not exist",
                                                  "Windows Temporary Files path does not exist",
                                                  "Windows Downloaded path does not exist"}));
  for (const char* key : {"Win1", "Win2", "Win3"}) EXPECT_EQ(stored(key), "-") << key;
  EXPECT_FALSE(model.winTempFound || model.winDownloadedFound);
  EXPECT_TRUE(model.windowsWarningVisible);

  // Document History alone missing: no warning, both Windows folders in use.
  box.ui.boxes.clear();
  model.box(kWinHistory) = missing("Recent");
  model.box(kWinTemp) = folder("Temp");
  model.box(kWinDownloaded) = folder("Downloaded Program Files");
  settings.saveWindows();
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_EQ(stored("Win2"), folder("Temp"));
  EXPECT_EQ(paths.win3, folder("Downloaded Program Files"));
  EXPECT_TRUE(model.winTempFound && model.winDownloadedFound);
  EXPECT_FALSE(model.windowsWarningVisible);
}

TEST_F(PathSettingsTest, PickButtonsPutThePickedFolderInAndSave) {
  std::string picked = folder("picked");
  box.ui.pickFolderResult(picked.substr(0, picked.size() - 1));
  model.box(kWinHistory) = missing("old");
  model.box(kWinTemp) = folder("Temp");
  model.box(kWinDownloaded) = folder("Downloaded");
  settings.pickFolder(kWinHistory);
  EXPECT_EQ(box.ui.pickerTitles, std::vector<std::string>{"Select Directory"});
  EXPECT_EQ(model.box(kWinHistory), picked);
  EXPECT_EQ(stored("Win1"), picked);

  // Cancel leaves the box as it was and still saves (re-validating it).
  box.ui.pickFolderResult(std::nullopt);
  model.box(kOperaUser) = folder("Opera");
  model.box(kOperaCache) = missing("Opera\\Cache4");
  settings.pickFolder(kOperaCache);
  EXPECT_EQ(stored("Opera2"), "-");
  EXPECT_EQ(messages().size(), 1u);

  // A drive root keeps its one backslash; picking the users folder refills the list.
  box.ui.pickFolderResult("D:\\");
  EXPECT_EQ(settings.setPath("x"), "D:\\");
  box.ui.pickFolderResult(std::string(""));
  EXPECT_EQ(settings.setPath("as it was"), "as it was");
  std::string users = folder("ns\\Users");
  folder("ns\\Users\\anna");
  box.ui.pickFolderResult(users.substr(0, users.size() - 1));
  settings.pickFolder(kNetscapeUsers);
  EXPECT_EQ(model.users, std::vector<std::string>{"anna"});
  EXPECT_EQ(stored("Netscape1A"), users);
  EXPECT_EQ(stored("Netscape1C"), "anna");
}

TEST_F(PathSettingsTest, FixPathShowsTheStoredValuesAndJudgesOnlyTheMarker) {
  std::string users = folder("ns\\Users");
  folder("ns\\Users\\anna");
  folder("ns\\Users\\bo");
  paths = {folder("h"), missing("gone"), folder("c"), "",          users, "", missing("cache"),
           "-",         folder("o"),     folder("r"), folder("t"), "-"};
  settings.fixPath("1");

  EXPECT_EQ(model.box(kIECache), missing("gone"));  // gone since: still counts until the next Save
  EXPECT_TRUE(model.ieAvailable && enabled(1, 5));
  EXPECT_EQ(model.users.size(), 2u);
  EXPECT_EQ(model.userSelected, 1);
  EXPECT_EQ(model.userText, model.users[1]);
  EXPECT_TRUE(model.netscapeAvailable);
  EXPECT_EQ(model.box(kOperaUser), "-");
  EXPECT_FALSE(model.operaAvailable || enabled(10, 10));
  EXPECT_TRUE(model.winTempFound);
  EXPECT_FALSE(model.winDownloadedFound);
  EXPECT_TRUE(model.windowsWarningVisible);
  EXPECT_EQ(log(), "");
  EXPECT_TRUE(box.ui.boxes.empty());
}

TEST_F(PathSettingsTest, FixPathWithAStoredPositionBeyondTheListKeepsTheFirstUser) {
  std::string users = folder("ns\\Users");
  folder("ns\\Users\\anna");
  paths.netscape1A = users;
  paths.netscape2 = folder("ns\\Users\\anna\\Cache");
  settings.fixPath("5");
  EXPECT_EQ(model.userSelected, 0);
  EXPECT_EQ(model.userText, "anna");
  std::string text = log();
  EXPECT_NE(text.find("fixPath"), std::string::npos);
  EXPECT_EQ(text.find("fixPath"), text.rfind("fixPath"));  // one line
  // The rest of fixPath still ran.
  EXPECT_TRUE(model.netscapeAvailable);
  EXPECT_FALSE(model.ieAvailable);
}

// A folder the cleaners may never work on is refused by every Save as a missing one is,
// with one more sentence saying why.
TEST_F(PathSettingsTest, ProtectedAndUnsafeFoldersAreMissingWithTheReason) {
  Desktop& shell = session.platform.desktop;
  const std::string windows = shell.knownFolder(KnownFolder::Windows).value_or("C:\\windows");
  const std::string profile = shell.knownFolder(KnownFolder::Profile).value_or("C:\\users\\me");
  struct Case {
    std::string folder;    // as typed into a box
    std::string sentence;  // the message's last line
  };
  const Case cases[] = {
      {windows + "\\", windows + " is a protected location (the Windows folder) and is never cleaned."},
      {upperCp1252(windows) + "\\",
       upperCp1252(windows) + " is a protected location (the Windows folder) and is never cleaned."},
      {"C:\\", "C:\\ is a protected location (a drive root) and is never cleaned."},
      {"c:", "c: is never cleaned: not a full path with a drive letter."},
      {profile + "\\",
       profile + " is a protected location (the user's profile folder) and is never cleaned."},
      {box.root() + "\\", box.root() + " is a protected location (the program folder) and is never cleaned."},
      {"Recent\\", "Recent\\ is never cleaned: not a full path with a drive letter."},
      {folder("a") + "..\\", folder("a") + "..\\ is never cleaned: \".\" or \"..\" in the path."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    box.ui.boxes.clear();
    store("IE3", "C:\\old cookies\\");
    model.box(kIEHistory) = folder("history");
    model.box(kIECache) = folder("cache");
    model.box(kIECookies) = c.folder;
    settings.saveIE();
    EXPECT_EQ(model.box(kIECookies), "-");
    EXPECT_EQ(stored("IE3"), "C:\\old cookies\\");
    EXPECT_FALSE(model.ieAvailable || enabled(1, 1));

    detection.setUsersBox(c.folder);
    model.box(kNetscapeCache) = folder("ns\\cache");
    settings.saveNetscape();
    EXPECT_EQ(model.box(kNetscapeUsers), "-");
    EXPECT_EQ(stored("Netscape1A"), "-");
    EXPECT_TRUE(model.users.empty());
    EXPECT_FALSE(model.netscapeAvailable || enabled(6, 6));

    model.box(kOperaUser) = folder("Opera");
    model.box(kOperaCache) = c.folder;
    settings.saveOpera();
    EXPECT_EQ(stored("Opera2"), "-");
    EXPECT_EQ(paths.opera2, "-");
    EXPECT_FALSE(model.operaAvailable || enabled(10, 10));

    model.box(kWinHistory) = folder("Recent");
    model.box(kWinTemp) = c.folder;
    model.box(kWinDownloaded) = folder("Downloaded");
    settings.saveWindows();
    EXPECT_EQ(stored("Win2"), "-");
    EXPECT_EQ(model.box(kWinTemp), "-");
    EXPECT_FALSE(model.winTempFound || enabled(16, 16));
    EXPECT_TRUE(model.windowsWarningVisible);

    const std::vector<std::string> told = messages();
    ASSERT_EQ(told.size(), 4u);
    EXPECT_EQ(told[0], std::string(kIeMessage) + "\r\n" + c.sentence);
    EXPECT_TRUE(told[1].starts_with("Could not find Netscape paths.\r\n")) << told[1];
    EXPECT_TRUE(told[1].ends_with("'Maintenance' button\r\n" + c.sentence)) << told[1];
    EXPECT_TRUE(told[2].ends_with("'Maintenance' button\r\n" + c.sentence)) << told[2];
    EXPECT_EQ(told[3], "Windows Temporary Files path does not exist\r\n" + c.sentence);
  }
}

TEST_F(PathSettingsTest, FoldersInsideProtectedOnesAreStoredAndOnlyTheRefusedOnesAreExplained) {
  const std::string windows = session.platform.desktop.knownFolder(KnownFolder::Windows).value_or("-");
  ASSERT_TRUE(files.folderExists(windows + "\\temp")) << windows;
  model.box(kWinHistory) = missing("Recent");
  model.box(kWinTemp) = windows + "\\temp\\";
  model.box(kWinDownloaded) = folder("Downloaded Program Files");
  settings.saveWindows();
  EXPECT_EQ(stored("Win2"), windows + "\\temp\\");
  EXPECT_TRUE(model.winTempFound && model.winDownloadedFound);
  EXPECT_EQ(messages(), std::vector<std::string>{"Windows Document History path does not exist"});

  // One folder refused, one missing: one message, one reason.
  box.ui.boxes.clear();
  model.box(kIEHistory) = missing("History");
  model.box(kIECache) = "C:\\";
  model.box(kIECookies) = folder("Cookies");
  settings.saveIE();
  EXPECT_EQ(stored("IE3"), folder("Cookies"));
  EXPECT_EQ(messages(), std::vector<std::string>{
                            std::string(kIeMessage) +
                            "\r\nC:\\ is a protected location (a drive root) and is never cleaned."});
}

// A protected folder stored by hand stays, with its ticks: the cleaners refuse it and log
// why, which a silent "-" would hide.
TEST_F(PathSettingsTest, FixPathLeavesStoredProtectedFoldersToTheCleaners) {
  const std::string windows =
      session.platform.desktop.knownFolder(KnownFolder::Windows).value_or("C:\\windows");
  store("Win2", windows + "\\");
  paths = {"C:\\",          folder("cache"), folder("cookies"), "",          folder("ns"),   "",
           folder("ns\\c"), folder("o"),    folder("o\\c"),    folder("r"), windows + "\\", folder("d")};
  settings.fixPath("0");
  EXPECT_EQ(model.box(kIEHistory), "C:\\");
  EXPECT_EQ(paths.ie1, "C:\\");
  EXPECT_EQ(model.box(kWinTemp), windows + "\\");
  EXPECT_EQ(paths.win2, windows + "\\");
  EXPECT_EQ(stored("Win2"), windows + "\\");
  EXPECT_TRUE(box.ui.boxes.empty());
  EXPECT_EQ(log(), "");
}

TEST_F(PathSettingsTest, NeverStoredValuesCountAsUnknown) {
  settings.fixPath("");
  for (std::size_t b = 0; b < kPathBoxCount; ++b) EXPECT_EQ(model.boxes[b], "-") << b;
  EXPECT_EQ(paths.win2, "-");
  EXPECT_FALSE(model.ieAvailable || model.netscapeAvailable || model.operaAvailable || model.winTempFound);
  EXPECT_FALSE(enabled(1, 1) || enabled(6, 6) || enabled(10, 10));
}

}  // namespace
}  // namespace trwk
