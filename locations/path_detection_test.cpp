#include "locations/path_detection.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using testing::Sandbox;

// A shell that knows exactly the folders a test gives it.
class ChosenFolders : public Desktop {
 public:
  explicit ChosenFolders(Desktop& real) : real_(real) {}
  std::optional<std::string> knownFolder(KnownFolder id) override {
    auto it = folders.find(id);
    return it == folders.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  std::string programFolder() override { return real_.programFolder(); }
  bool startProgram(const std::string&, const std::string&) override { return false; }
  bool emptyRecycleBin() override { return false; }
  std::map<KnownFolder, std::string> folders;

 private:
  Desktop& real_;
};

// Notes what the boxes held when each Save ran.
class RecordingSaves : public PathSaves {
 public:
  explicit RecordingSaves(LocationsModel& model) : model_(model) {}
  void saveIE() override { record("IE " + model_.box(kIECache)); }
  void saveNetscape() override { record("Netscape " + model_.box(kNetscapeUsers)); }
  void saveOpera() override { record("Opera " + model_.box(kOperaUser)); }
  void saveWindows() override { record("Windows " + model_.box(kWinTemp)); }
  std::vector<std::string> calls;
  std::string failIn;

 private:
  void record(const std::string& call) {
    calls.push_back(call);
    if (call.starts_with(failIn + " ") && !failIn.empty()) throw std::runtime_error("save failed");
  }
  LocationsModel& model_;
};

class PathDetectionTest : public ::testing::Test {
 protected:
  PathDetectionTest() {
    files.createFolder(box.path("pf"));
    files.createFolder(box.path("win"));
    model.programFilesFolder = box.path("pf") + "\\";
    model.windowsFolder = box.path("win") + "\\";
  }

  void makeFolder(const std::string& relative) {
    std::string path = box.root();
    std::size_t start = 0;
    while (start < relative.size()) {
      std::size_t end = relative.find('\\', start);
      if (end == std::string::npos) end = relative.size();
      path.push_back('\\');
      path.append(relative, start, end - start);
      if (!files.folderExists(path)) files.createFolder(path);
      start = end + 1;
    }
  }
  std::string stored(const char* key) { return session.settings.getini("Path", key, session.maintenIni()); }
  std::string log() { return files.fileExists(session.log.path()) ? files.readAll(session.log.path()) : ""; }
  // True when a fixed candidate outside the sandbox exists on this machine.
  bool anyExists(std::initializer_list<const char*> folders) {
    for (const char* folder : folders)
      if (files.folderExists(folder)) return true;
    return false;
  }

  Sandbox box;
  Files& files = box.files();
  testing::MemoryRegistry registry;
  ChosenFolders shell{box.desktop()};
  Session session{{files, registry, shell, box.clock, box.random, box.ui}, box.root()};
  LocationsModel model;
  PathValues paths;
  PathDetection detection{session, model, paths};
};

TEST_F(PathDetectionTest, BoxesShowNotFoundBeforeAnyValue) {
  for (const std::string& text : model.boxes) EXPECT_EQ(text, "Hittar inte s\xF6kv\xE4gen");
  EXPECT_EQ(model.ieCacheIndex, "-");
}

TEST_F(PathDetectionTest, InternetExplorerTakesTheShellsAnswersUnprobed) {
  shell.folders = {{KnownFolder::History, "C:\\nowhere\\History"},
                   {KnownFolder::InternetCache, "C:\\nowhere\\Temporary Internet Files"},
                   {KnownFolder::Cookies, "C:\\nowhere\\Cookies"}};
  detection.detectIE();
  EXPECT_EQ(model.box(kIEHistory), "C:\\nowhere\\History\\");
  EXPECT_EQ(model.box(kIECache), "C:\\nowhere\\Temporary Internet Files\\");
  EXPECT_EQ(model.box(kIECookies), "C:\\nowhere\\Cookies\\");
  EXPECT_EQ(model.ieCacheIndex, "C:\\nowhere\\Temporary Internet Files\\Content.ie5\\");
  EXPECT_TRUE(model.ieHistoryFound && model.ieCacheFound && model.ieCookiesFound && model.ieCacheIndexFound);

  // Without the cache folder the cache box and the index are unknown; the rest stays.
  shell.folders.erase(KnownFolder::InternetCache);
  detection.detectIE();
  EXPECT_EQ(model.box(kIECache), "-");
  EXPECT_EQ(model.ieCacheIndex, "-");
  EXPECT_FALSE(model.ieCacheFound);
  EXPECT_FALSE(model.ieCacheIndexFound);
  EXPECT_TRUE(model.ieHistoryFound);
  EXPECT_EQ(model.box(kIECookies), "C:\\nowhere\\Cookies\\");
}

TEST_F(PathDetectionTest, NetscapeListsEveryEntryOfTheUsersFolderAndFindsTheFirstUsersCache) {
  makeFolder("pf\\Netscape\\Users\\default\\Cache");
  makeFolder("pf\\Netscape\\Users\\zed");
  box.writeFile("pf\\Netscape\\Users\\notes.txt", "x");
  detection.detectNetscape();

  const std::string users = box.path("pf\\Netscape\\Users\\");
  EXPECT_EQ(model.box(kNetscapeUsers), users);
  // Plain files are listed too, and the first entry is chosen.
  EXPECT_EQ(model.users, (std::vector<std::string>{"default", "notes.txt", "zed"}));
  EXPECT_EQ(model.userSelected, 0);
  EXPECT_EQ(model.userText, "default");
  EXPECT_EQ(model.box(kNetscapeCache), users + "default\\Cache\\");
  EXPECT_TRUE(model.netscapeCacheFound);
}

TEST_F(PathDetectionTest, NetscapeFirstUserWithoutCacheLeavesTheCacheUnknown) {
  makeFolder("win\\Netscape\\Users\\alice");
  makeFolder("win\\Netscape\\Users\\bob\\Cache");
  if (anyExists({"C:\\Program Files\\Netscape\\Users\\", "C:\\Program\\Netscape\\Users\\"}))
    GTEST_SKIP() << "this machine has Netscape in a fixed place";
  detection.detectNetscape();
  // The Windows folder's candidate comes after the fixed ones that are missing here.
  EXPECT_EQ(model.box(kNetscapeUsers), box.path("win\\Netscape\\Users\\"));
  EXPECT_EQ(model.userText, "alice");
  EXPECT_EQ(model.box(kNetscapeCache), "-");
  EXPECT_FALSE(model.netscapeCacheFound);
}

TEST_F(PathDetectionTest, NoNetscapeEmptiesTheListAndMarksBothBoxes) {
  if (anyExists({"C:\\Program Files\\Netscape\\Users\\", "C:\\Program\\Netscape\\Users\\",
                 "C:\\Netscape\\Users\\"}))
    GTEST_SKIP() << "this machine has Netscape in a fixed place";
  model.users = {"stale"};
  model.selectUser(0);
  model.netscapeCacheFound = true;
  detection.detectNetscape();
  EXPECT_EQ(model.box(kNetscapeUsers), "-");
  EXPECT_TRUE(model.users.empty());
  EXPECT_EQ(model.userText, "");
  EXPECT_EQ(model.box(kNetscapeCache), "-");
  EXPECT_FALSE(model.netscapeCacheFound);
  EXPECT_EQ(log(), "");
}

TEST_F(PathDetectionTest, FillUserComboLeavesDriveRootsAndMissingFoldersEmpty) {
  makeFolder("users\\one");
  detection.fillUserCombo(box.path("users"));  // without a trailing separator too
  EXPECT_EQ(model.users, std::vector<std::string>{"one"});

  detection.fillUserCombo("D:\\");
  EXPECT_TRUE(model.users.empty());
  EXPECT_EQ(model.userSelected, -1);

  detection.fillUserCombo(box.path("users") + "\\");
  detection.fillUserCombo(box.path("gone\\"));
  EXPECT_TRUE(model.users.empty());
  EXPECT_EQ(log(), "");
}

TEST_F(PathDetectionTest, ChangingTheUsersBoxRefillsTheList) {
  makeFolder("a\\first");
  makeFolder("b\\second");
  detection.setUsersBox(box.path("a\\"));
  EXPECT_EQ(model.userText, "first");
  detection.setUsersBox(box.path("b\\"));
  EXPECT_EQ(model.users, std::vector<std::string>{"second"});
  // An unchanged text is no change: the list keeps the user's choice.
  model.users.push_back("typed");
  model.selectUser(1);
  detection.setUsersBox(box.path("b\\"));
  EXPECT_EQ(model.userText, "typed");
}

TEST_F(PathDetectionTest, OperaTakesTheFirstExistingCandidateAndItsCache4) {
  makeFolder("pf\\Opera\\Cache4");
  makeFolder("win\\Opera");
  detection.detectOpera();
  EXPECT_EQ(model.box(kOperaUser), box.path("pf\\Opera\\"));
  EXPECT_EQ(model.box(kOperaCache), box.path("pf\\Opera\\Cache4\\"));
  EXPECT_TRUE(model.operaCacheFound);

  // With Program Files unknown, its candidate is skipped.
  model.programFilesFolder = "-";
  if (anyExists({"C:\\Program Files\\Opera\\", "C:\\Program\\Opera\\"})) GTEST_SKIP();
  detection.detectOpera();
  EXPECT_EQ(model.box(kOperaUser), box.path("win\\Opera\\"));
  EXPECT_EQ(model.box(kOperaCache), "-");
  EXPECT_FALSE(model.operaCacheFound);
}

TEST_F(PathDetectionTest, OperaInTheSwedishProgramFolderIsFound) {
  // Only the native sandbox owns its whole drive C:.
  if (box.root() != "C:\\sandbox") GTEST_SKIP() << "drive C: is not ours to change";
  files.createFolder("C:\\Program");
  files.createFolder("C:\\Program\\Opera");
  model.programFilesFolder = "C:\\Program Files\\";
  if (files.folderExists("C:\\Program Files\\Opera")) GTEST_SKIP();
  detection.detectOpera();
  EXPECT_EQ(model.box(kOperaUser), "C:\\Program\\Opera\\");
}

TEST_F(PathDetectionTest, NoOperaMarksBothBoxes) {
  if (anyExists({"C:\\Program Files\\Opera\\", "C:\\Program\\Opera\\", "C:\\Opera\\"})) GTEST_SKIP();
  model.operaCacheFound = true;
  detection.detectOpera();
  EXPECT_EQ(model.box(kOperaUser), "-");
  EXPECT_EQ(model.box(kOperaCache), "-");
  EXPECT_FALSE(model.operaCacheFound);
}

TEST_F(PathDetectionTest, WindowsProbesTempAndDownloadedButNotTheDocumentHistory) {
  shell.folders = {{KnownFolder::Recent, "C:\\nowhere\\Recent"}};
  makeFolder("win\\Temp");
  model.winDownloadedFound = true;
  detection.detectWindows();
  EXPECT_EQ(model.box(kWinHistory), "C:\\nowhere\\Recent\\");
  EXPECT_EQ(model.box(kWinTemp), box.path("win\\Temp\\"));
  EXPECT_TRUE(model.winTempFound);
  EXPECT_EQ(model.box(kWinDownloaded), "-");
  EXPECT_FALSE(model.winDownloadedFound);

  shell.folders.clear();
  model.windowsFolder = "-";
  detection.detectWindows();
  EXPECT_EQ(model.box(kWinHistory), "-");
  EXPECT_EQ(model.box(kWinTemp), "-");
  EXPECT_FALSE(model.winTempFound);
}

TEST_F(PathDetectionTest, ShellAnswersThatMayNotBeLocationsCountAsNotFound) {
  // The system's folders as this shell knows them, asked once by the protection policy.
  shell.folders = {{KnownFolder::Windows, "C:\\windows"},
                   {KnownFolder::Profiles, "C:\\users"},
                   {KnownFolder::Profile, "C:\\users\\me"}};
  const std::string history = "C:\\users\\me\\AppData\\Local\\Microsoft\\Windows\\History";
  struct Case {
    std::string answer;  // the shell's, for History, Cache, Cookies and Recent alike
    std::string box;     // what every one of those boxes shows then
  };
  const Case cases[] = {
      {"C:\\", "-"},                                 // a drive root
      {"D:", "-"},                                   // a drive root without its separator
      {"Recent", "-"},                               // relative
      {"\\\\server\\share\\History", "-"},           // a network path
      {"C:\\windows", "-"},                          // the Windows folder
      {"c:\\WINDOWS\\", "-"},                        // ... in any spelling
      {"C:\\users\\me", "-"},                        // this user's profile
      {"C:\\users\\someone", "-"},                   // another user's profile
      {"C:\\users", "-"},                            // the folder of the profiles
      {"C:\\users\\me\\..\\someone\\History", "-"},  // a step up
      {history, history + "\\"},                     // inside a profile: a location
      {"C:\\windows\\Temp", "C:\\windows\\Temp\\"},  // inside the Windows folder: a location
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    for (KnownFolder id :
         {KnownFolder::History, KnownFolder::InternetCache, KnownFolder::Cookies, KnownFolder::Recent})
      shell.folders[id] = c.answer;
    detection.detectIE();
    detection.detectWindows();
    const bool found = c.box != "-";
    for (PathBox b : {kIEHistory, kIECache, kIECookies, kWinHistory}) EXPECT_EQ(model.box(b), c.box) << b;
    EXPECT_EQ(model.ieHistoryFound, found);
    EXPECT_EQ(model.ieCacheFound, found);
    EXPECT_EQ(model.ieCookiesFound, found);
    EXPECT_EQ(model.ieCacheIndexFound, found);
    EXPECT_EQ(model.ieCacheIndex, found ? c.box + "Content.ie5\\" : "-");
  }
  EXPECT_EQ(log(), "");
}

TEST_F(PathDetectionTest, SystemFoldersEndInASeparatorOrAreUnknown) {
  shell.folders = {{KnownFolder::Windows, "C:\\windows"}};
  detection.takeSystemFolders();
  EXPECT_EQ(model.windowsFolder, "C:\\windows\\");
  EXPECT_EQ(model.programFilesFolder, "-");

  // An answer that comes back relative is no folder: nothing is looked for beside it.
  for (const char* relative : {"windows", "C:windows", "%SystemRoot%", ""}) {
    SCOPED_TRACE(relative);
    shell.folders = {{KnownFolder::Windows, relative}, {KnownFolder::ProgramFiles, relative}};
    detection.takeSystemFolders();
    EXPECT_EQ(model.windowsFolder, "-");
    EXPECT_EQ(model.programFilesFolder, "-");
    detection.detectWindows();
    EXPECT_EQ(model.box(kWinTemp), "-");
  }
}

TEST_F(PathDetectionTest, FindPathSavesEachFamilyAfterItsDetectionThenMarksDetectionDone) {
  shell.folders = {{KnownFolder::InternetCache, "C:\\cache"}};
  makeFolder("pf\\Netscape\\Users");
  makeFolder("pf\\Opera");
  makeFolder("win\\Temp");
  RecordingSaves saves(model);
  detection.findPath(saves);
  EXPECT_EQ(saves.calls, (std::vector<std::string>{
                             "IE C:\\cache\\", "Netscape " + box.path("pf\\Netscape\\Users\\"),
                             "Opera " + box.path("pf\\Opera\\"), "Windows " + box.path("win\\Temp\\")}));
  EXPECT_EQ(stored("IE4"), "C:\\cache\\Content.ie5\\");
  EXPECT_EQ(paths.ie4, "C:\\cache\\Content.ie5\\");
  EXPECT_EQ(stored("Detect"), "1");
  EXPECT_EQ(log(), "");
}

TEST_F(PathDetectionTest, FindPathLogsAFailedStepAndGoesOn) {
  RecordingSaves saves(model);
  saves.failIn = "Netscape";
  detection.findPath(saves);
  EXPECT_EQ(saves.calls.size(), 4u);
  EXPECT_NE(log().find("findPath"), std::string::npos);
  EXPECT_NE(log().find("findPath at line 2 "), std::string::npos);
  EXPECT_EQ(stored("IE4"), "-");
  EXPECT_EQ(stored("Detect"), "1");
}

}  // namespace
}  // namespace trwk
