#include "extensions/user_def_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/text_encoding.h"
#include "testing/fault_files.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

// The sandbox's files, plus folders that only claim to exist (drive roots and system
// folders a test must never reach for real).
class ClaimedFolders : public testing::FaultFiles {
 public:
  using FaultFiles::FaultFiles;
  std::set<std::string> claimed;  // upper case
  bool folderExists(const std::string& path) override {
    return claimed.count(upperCp1252(path)) > 0 || FaultFiles::folderExists(path);
  }
  std::vector<DirEntry> list(const std::string& pattern, const ListOptions& options) override {
    for (const std::string& c : claimed)
      if (upperCp1252(pattern).rfind(c, 0) == 0) return {};
    return FaultFiles::list(pattern, options);
  }
};

class UserDefTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  ClaimedFolders files{box.files()};
  testing::MemoryRegistry registry;
  Session session{{files, registry, box.desktop(), box.clock, box.random, box.ui}, box.root()};
  CleanCatalogue catalogue;
  RunState state;
  PathValues paths;
  std::vector<std::string> keep;
  CleaningContext context{session, catalogue, state, paths, keep};

  void SetUp() override {
    catalogue.userDefFlags = {"0", "1", "0", "1"};
    catalogue.userDefNames = {"One", "Two", "Three", "Four"};
    for (int k = 1; k <= 4; ++k) box.writeFile(userDefBaseName(k), "");
  }
  void claim(const std::string& folder) { files.claimed.insert(upperCp1252(folder)); }
  std::string list(int set) { return box.readFile(userDefListName(set)); }
  bool has(const std::string& relative) {
    return box.files().fileExists(box.path(relative)) || box.files().folderExists(box.path(relative));
  }
  std::string log() {
    return files.fileExists(session.log.path()) ? box.files().readAll(session.log.path()) : "";
  }
};

TEST_F(UserDefTest, ChooserShowsActiveSetsAndRowOneEditsTheFourthList) {
  box.writeFile(userDefListName(2), "C:\\two\r\n");
  box.writeFile(userDefListName(4), "C:\\four a\r\nC:\\four b\r\n");
  box.writeFile("Data\\a.txt", "a");
  // In a folder of its own: the program folder itself is a protected location.
  UserDefSets sets(session, catalogue, box.path("Data"));
  sets.fixUserDef();
  EXPECT_EQ(sets.chooser.rows, (std::vector<std::string>{"Two", "Four"}));
  EXPECT_EQ(sets.chosenSet, 2);
  EXPECT_EQ(sets.entries, (std::vector<std::string>{"C:\\two"}));
  EXPECT_TRUE(sets.addEnabled && sets.removeEnabled && sets.fileListEnabled);

  sets.chooseRow(1);
  EXPECT_EQ(sets.chosenSet, 4);
  EXPECT_EQ(sets.entries.size(), 2u);
  sets.chooseOption(UserDefOption::FolderAndSubfolders);
  sets.add();
  EXPECT_EQ(list(4), "C:\\four a\r\nC:\\four b\r\n" + box.path("Data") + "\r\n");
  EXPECT_EQ(list(2), "C:\\two\r\n");

  UserDefViewer viewer(session, catalogue);
  viewer.open();
  EXPECT_EQ(viewer.chooser.rows, sets.chooser.rows);
  EXPECT_EQ(viewer.entries, (std::vector<std::string>{"C:\\two"}));
  viewer.chooseRow(1);
  EXPECT_EQ(viewer.entries.size(), 3u);
  viewer.done();
  EXPECT_TRUE(viewer.closed);
}

TEST_F(UserDefTest, NoActiveSetClearsAndDisablesAndNeverWritesAList) {
  box.writeFile(userDefListName(2), "C:\\keep me\r\n");
  UserDefSets sets(session, catalogue, box.root());
  sets.fixUserDef();
  catalogue.userDefFlags = {"0", "0", "0", "0"};
  sets.fixUserDef();
  EXPECT_TRUE(sets.chooser.rows.empty());
  EXPECT_TRUE(sets.entries.empty());
  EXPECT_FALSE(sets.addEnabled || sets.removeEnabled || sets.fileListEnabled);
  sets.save();
  sets.add();
  EXPECT_EQ(list(2), "C:\\keep me\r\n");  // the switched-off set keeps its list

  UserDefViewer viewer(session, catalogue);
  viewer.open();
  EXPECT_TRUE(viewer.chooser.rows.empty());
  EXPECT_TRUE(viewer.entries.empty());
}

TEST_F(UserDefTest, UnreadableFlagsAndMissingListsAreLoggedAndLeaveEmptyLists) {
  catalogue.userDefFlags = {"x", "0", "1", "0"};
  UserDefSets sets(session, catalogue, box.root());
  sets.fixUserDef();
  EXPECT_EQ(sets.chooser.rows, (std::vector<std::string>{"Three"}));
  EXPECT_TRUE(sets.entries.empty());
  UserDefViewer viewer(session, catalogue);
  viewer.open();
  const std::string text = log();
  EXPECT_NE(text.find("\tfixUserDef at line 1 - "), std::string::npos) << text;
  EXPECT_NE(text.find("\tfillUserDefList at line 1 - "), std::string::npos) << text;
  EXPECT_NE(text.find("\tForm4.fixUserDef at line 1"), std::string::npos) << text;
  EXPECT_NE(text.find("\tForm4.fillUserDefList at line 1 - "), std::string::npos) << text;
  EXPECT_NE(text.find("(53)"), std::string::npos) << text;
}

TEST_F(UserDefTest, OptionsSetWhatCanBeUsed) {
  UserDefSets sets(session, catalogue, box.root());
  sets.chooseOption(UserDefOption::SingleFiles);  // no rows yet: nothing switched on
  EXPECT_FALSE(sets.fileListEnabled);
  sets.fixUserDef();
  sets.chooseOption(UserDefOption::AllFilesInFolder);
  EXPECT_FALSE(sets.fileListEnabled || sets.patternEnabled);
  sets.chooseOption(UserDefOption::SingleFiles);
  EXPECT_TRUE(sets.fileListEnabled && sets.patternEnabled);
  sets.chooseOption(UserDefOption::FolderAndSubfolders);
  EXPECT_FALSE(sets.fileListEnabled || sets.patternEnabled);
}

TEST_F(UserDefTest, GuardedFoldersAskWithoutRegardToCase) {
  claim("C:\\WINDOWS");
  claim("C:\\WINDOWS\\SYSTEM");
  UserDefSets sets(session, catalogue, box.root());
  sets.fixUserDef();
  sets.chooseOption(UserDefOption::FolderAndSubfolders);
  ASSERT_TRUE(sets.browser.setPath("C:\\WINDOWS"));
  box.ui.answer(Answer::Yes);
  sets.add();
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  const MessageBox& asked = box.ui.boxes[0];
  EXPECT_EQ(asked.text, "Do you want to remove the folder C:\\WINDOWS and subfolders ");
  EXPECT_EQ(asked.title, "Are you sure??");
  EXPECT_EQ(asked.buttons, Buttons::YesNo);
  EXPECT_EQ(asked.icon, Icon::Critical);
  EXPECT_EQ(asked.defaultButton, 2);
  EXPECT_EQ(sets.entries, (std::vector<std::string>{"C:\\WINDOWS"}));

  ASSERT_TRUE(sets.browser.setPath("C:\\WINDOWS\\SYSTEM"));
  sets.add();
  EXPECT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(list(2), "C:\\WINDOWS\r\nC:\\WINDOWS\\SYSTEM\r\n");
  // The guarded folders are the protected locations: every drive root, the system's and
  // the user's own folders, and whatever holds one of them.
  const std::string profile = box.desktop().knownFolder(KnownFolder::Profile).value_or("C:\\users\\me");
  for (const std::string& guarded : {std::string("c:\\"), std::string("C:\\Windows"), std::string("D:\\"),
                                     std::string("E:\\"), std::string("f:\\"), std::string("G:\\"), profile,
                                     profile.substr(0, profile.rfind('\\')), box.root()})
    EXPECT_TRUE(sets.isGuarded(guarded)) << guarded;
  for (const std::string& free : {std::string("C:\\WINDOWS\\SYSTEM"), std::string("C:\\Windows2"),
                                  std::string("E:\\Windows"), std::string("d:\\WINDOWS"), box.path("Data")})
    EXPECT_FALSE(sets.isGuarded(free)) << free;
}

// Every protected location asks with the box the Windows folder and the drive roots have
// always asked with; folders inside them are added without a word.
TEST_F(UserDefTest, ProtectedFoldersAskFirstAndNoAddsNothing) {
  const std::string profile = box.desktop().knownFolder(KnownFolder::Profile).value_or("C:\\users\\me");
  struct Case {
    std::string folder;
    UserDefOption option;
    std::string asked;  // empty: added without asking
  };
  const Case cases[] = {
      {profile, UserDefOption::FolderAndSubfolders,
       "Do you want to remove the folder " + profile + " and subfolders "},
      {box.root(), UserDefOption::AllFilesInFolder,
       "Do you want to remove all files in folder " + box.root()},
      {"G:\\", UserDefOption::AllFilesInFolder, "Do you want to remove all files in folder G:\\"},
      {box.path("Data"), UserDefOption::FolderAndSubfolders, ""},
      {box.path("Data"), UserDefOption::AllFilesInFolder, ""},
  };
  box.writeFile("Data\\a.txt", "a");
  UserDefSets sets(session, catalogue, box.root());
  sets.fixUserDef();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    claim(c.folder);
    ASSERT_TRUE(sets.browser.setPath(c.folder));
    sets.chooseOption(c.option);
    const std::string candidate = UserDefSets::candidateFor(c.option, c.folder);
    box.ui.boxes.clear();
    sets.add();  // unanswered: the default button, No
    if (c.asked.empty()) {
      EXPECT_TRUE(box.ui.boxes.empty());
      EXPECT_EQ(sets.entries.back(), candidate);
      continue;
    }
    ASSERT_EQ(box.ui.boxes.size(), 1u);
    EXPECT_EQ(box.ui.boxes[0].text, c.asked);
    EXPECT_EQ(box.ui.boxes[0].title, "Are you sure??");
    EXPECT_EQ(box.ui.boxes[0].buttons, Buttons::YesNo);
    EXPECT_EQ(box.ui.boxes[0].icon, Icon::Critical);
    EXPECT_EQ(box.ui.boxes[0].defaultButton, 2);
    EXPECT_EQ(std::count(sets.entries.begin(), sets.entries.end(), candidate), 0);
    box.ui.answer(Answer::Yes);
    sets.add();
    EXPECT_EQ(sets.entries.back(), candidate);
  }
  EXPECT_EQ(readUserDefLines(files, box.path(userDefListName(2))), sets.entries);
}

TEST_F(UserDefTest, AllFilesOfADriveRootAskAndOnlyYesAdds) {
  claim("D:\\");
  box.writeFile(userDefBaseName(2), "C:\\from base\r\n");
  UserDefSets sets(session, catalogue, box.root());
  sets.fixUserDef();
  sets.chooseOption(UserDefOption::AllFilesInFolder);
  ASSERT_TRUE(sets.browser.setDrive("D:"));
  box.ui.answer(Answer::No);
  sets.add();
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "Do you want to remove all files in folder D:\\");
  EXPECT_TRUE(sets.entries.empty());
  EXPECT_EQ(list(2), "C:\\from base\r\n");  // saved all the same

  box.ui.answer(Answer::Yes);
  sets.add();
  EXPECT_EQ(sets.entries, (std::vector<std::string>{"D:\\*.*"}));
  EXPECT_EQ(list(2), "C:\\from base\r\nD:\\*.*\r\n");
}

TEST_F(UserDefTest, DuplicatesAreAddedOnceAndSingleFilesNeedASelection) {
  box.writeFile("Data\\Temp\\a.txt", "a");
  box.writeFile(userDefListName(2), box.path("Data\\Temp") + "\\*.*   \r\n");
  UserDefSets sets(session, catalogue, box.path("Data\\Temp"));
  sets.fixUserDef();
  sets.chooseOption(UserDefOption::AllFilesInFolder);
  sets.add();  // the stored entry differs only by trailing spaces
  sets.chooseOption(UserDefOption::FolderAndSubfolders);
  sets.add();
  sets.add();
  EXPECT_EQ(sets.entries.size(), 2u);

  sets.chooseOption(UserDefOption::SingleFiles);
  sets.add();  // no file selected
  EXPECT_EQ(sets.entries.size(), 2u);
  sets.chooseOption(UserDefOption::FolderAndSubfolders);
  sets.doubleClickFile(0);  // a double click adds the file whatever the option
  EXPECT_EQ(sets.entries.back(), box.path("Data\\Temp\\a.txt"));
  EXPECT_EQ(sets.option, UserDefOption::FolderAndSubfolders);
  EXPECT_TRUE(box.ui.boxes.empty());
}

TEST_F(UserDefTest, SaveReportsAMissingBaseOrAFailedWrite) {
  UserDefSets sets(session, catalogue, box.root());
  sets.fixUserDef();
  sets.entries = {"C:\\a", "C:\\b"};
  box.files().deleteFile(box.path(userDefBaseName(2)));
  sets.save();
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "2") << "the system's error for a missing file";
  EXPECT_EQ(list(2), "C:\\a\r\nC:\\b\r\n");

  files.fail("replaceAtomically", 70);
  sets.entries = {};
  sets.save();
  ASSERT_EQ(box.ui.boxes.size(), 3u);
  EXPECT_EQ(box.ui.boxes[2].text, "Operation Failed");
  EXPECT_EQ(list(2), "C:\\a\r\nC:\\b\r\n");  // the old list is whole
}

TEST_F(UserDefTest, AnUnreadableBaseIsReportedByTheSystemsErrorCode) {
  struct Case {
    int failure;
    const char* shown;
  };
  for (const Case& c :
       {Case{fail::kFileNotFound, "2"}, Case{fail::kPathNotFound, "3"}, Case{fail::kPermissionDenied, "5"},
        Case{fail::kPathFileAccess, "5"}, Case{fail::kFileAlreadyOpen, "32"}, Case{fail::kDiskFull, "112"},
        Case{fail::kTypeMismatch, "31"}}) {
    SCOPED_TRACE(c.failure);
    box.ui.boxes.clear();
    UserDefSets sets(session, catalogue, box.root());
    sets.fixUserDef();
    sets.entries = {"C:\\kept"};
    files.fail("readAll", c.failure);
    sets.save();
    files.heal("readAll");
    ASSERT_EQ(box.ui.boxes.size(), 1u);
    EXPECT_EQ(box.ui.boxes[0].text, c.shown);
    EXPECT_EQ(box.ui.boxes[0].buttons, Buttons::Ok);
    EXPECT_EQ(list(2), "C:\\kept\r\n");  // written all the same
  }
}

TEST_F(UserDefTest, TheToolbarRepeatsAddAndRemoveAndIsEnabledWithThem) {
  box.writeFile("Data\\a.txt", "a");
  UserDefSets sets(session, catalogue, box.path("Data"));
  EXPECT_EQ(sets.toolbar(), (Toolbar{{"Add", false}, {"Remove", false}}));
  sets.chooseOption(UserDefOption::FolderAndSubfolders);
  sets.pressTool(UserDefSets::kToolAdd);  // disabled before the sets are read
  EXPECT_TRUE(sets.entries.empty());
  EXPECT_FALSE(has(userDefListName(2)));

  sets.fixUserDef();
  EXPECT_EQ(sets.toolbar(), (Toolbar{{"Add", true}, {"Remove", true}}));
  sets.pressTool(UserDefSets::kToolAdd);
  sets.chooseOption(UserDefOption::AllFilesInFolder);
  sets.pressTool(UserDefSets::kToolAdd);
  EXPECT_EQ(list(2), box.path("Data") + "\r\n" + box.path("Data") + "\\*.*\r\n");
  sets.selectEntry(0);
  sets.pressTool(UserDefSets::kToolRemove);
  sets.pressTool(9);  // no such button
  EXPECT_EQ(list(2), box.path("Data") + "\\*.*\r\n");

  catalogue.userDefFlags = {"0", "0", "0", "0"};
  sets.fixUserDef();
  EXPECT_EQ(sets.toolbar(), (Toolbar{{"Add", false}, {"Remove", false}}));
  sets.selectEntry(0);
  sets.pressTool(UserDefSets::kToolRemove);
  EXPECT_EQ(list(2), box.path("Data") + "\\*.*\r\n");  // a switched-off set keeps its list
}

TEST_F(UserDefTest, ACommaEntryStaysOneEntryAndIsRemovedExactly) {
  box.writeFile("Temp,old\\x.tmp", "x");
  box.writeFile("Temp\\keep.tmp", "k");
  UserDefSets sets(session, catalogue, box.path("Temp,old"));
  sets.fixUserDef();
  sets.chooseOption(UserDefOption::FolderAndSubfolders);
  sets.add();
  sets.fixUserDef();  // reload from the file
  EXPECT_EQ(sets.entries, (std::vector<std::string>{box.path("Temp,old")}));

  catalogue.item(23).ticked = true;
  state.cleanAllRunning = true;
  cleanUserDefined(context, sets);
  EXPECT_FALSE(has("Temp,old"));
  EXPECT_TRUE(has("Temp\\keep.tmp"));

  sets.doubleClickEntry(0);
  EXPECT_TRUE(sets.entries.empty());
  EXPECT_EQ(list(2), "");
}

TEST_F(UserDefTest, CleaningRemovesFilesFoldersAndMasksAndAdvancesOncePerTickedSet) {
  box.writeFile("f\\single.txt", "s");
  box.writeFile("f\\other.txt", "o");
  box.writeFile("tree\\sub\\deep.txt", "d");
  box.writeFile("masked\\a.tmp", "a");
  box.writeFile("masked\\b.txt", "b");
  box.writeFile("masked\\c.tmp\\inner.txt", "c");
  box.writeFile(userDefListName(1), box.path("f\\single.txt") + "\r\n\r\n" + box.path("nothing here") +
                                        "\r\n" + box.path("tree") + "\\\r\n" + box.path("masked\\*.tmp") +
                                        "\r\n");
  box.writeFile(userDefListName(3), "");
  catalogue.item(22).ticked = true;
  catalogue.item(24).ticked = true;
  state.progress = {0, 10};
  std::vector<std::string> statuses;
  context.refresh = [&] { statuses.push_back(state.statusText); };
  state.cleanAllRunning = true;
  cleanUserDefined(context);
  EXPECT_EQ(state.progress.value, 2);
  EXPECT_EQ(state.runningFamily, "User Defined");
  EXPECT_FALSE(has("f\\single.txt"));
  EXPECT_TRUE(has("f\\other.txt"));
  EXPECT_FALSE(has("tree"));
  EXPECT_FALSE(has("masked\\a.tmp"));
  EXPECT_FALSE(has("masked\\c.tmp"));
  EXPECT_TRUE(has("masked\\b.txt"));
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.front(), "Please Wait");
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Removing User.def " + box.path("f\\single.txt")),
            statuses.end());
  EXPECT_TRUE(box.ui.boxes.empty());
}

TEST_F(UserDefTest, ARunOfItsOwnStartsAndCompletesTheRun) {
  catalogue.item(22).ticked = true;
  catalogue.item(23).ticked = true;
  catalogue.item(23).enabled = false;  // cleared when the run is prepared
  cleanUserDefined(context);
  EXPECT_EQ(state.progress.value, 1);
  EXPECT_EQ(state.progress.max, 1);
  EXPECT_FALSE(catalogue.item(23).ticked);
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "Cleaning System...Done");
  EXPECT_TRUE(state.runningFamily.empty());
  EXPECT_NE(log().find("removeUserdefinedSel"), std::string::npos);  // set 1 has no list yet
}

TEST_F(UserDefTest, UnsafeLinesAreRefusedAndLoggedAndRemoveNothing) {
  box.writeFile("victim\\v.txt", "v");
  box.writeFile("a\\b.txt", "b");
  const std::string lines[] = {
      box.path("a\\..\\victim"),
      box.path("a\\.\\..\\victim"),
      box.path("a\\...\\victim"),
      "victim",
      "\\\\server\\share\\victim",
      box.path("a/../victim"),
      "C:\\",
      "C:\\\\",
      box.path("victim") + std::string(1, '\0') + "x",
  };
  std::string content;
  for (const std::string& line : lines) content += line + "\r\n";
  box.writeFile(userDefListName(1), content);
  catalogue.item(22).ticked = true;
  state.cleanAllRunning = true;
  cleanUserDefined(context);
  EXPECT_TRUE(has("victim\\v.txt"));
  EXPECT_TRUE(has("a\\b.txt"));
  const std::string text = log();
  std::size_t refusals = 0;
  for (std::size_t at = text.find("Refused entry"); at != std::string::npos;
       at = text.find("Refused entry", at + 1))
    ++refusals;
  EXPECT_EQ(refusals, 7u) << text;
  // A whole drive is good text; the removal engine refuses it as a protected location.
  std::size_t protectedOnes = 0;
  for (std::size_t at = text.find("C:\\ is a protected location (a drive root)"); at != std::string::npos;
       at = text.find("C:\\ is a protected location (a drive root)", at + 1))
    ++protectedOnes;
  EXPECT_EQ(protectedOnes, 2u) << text;
}

TEST_F(UserDefTest, ListLinesEndAtAnyLineBreakAndThousandsAreHandled) {
  using namespace std::string_literals;
  const std::string binary = "e\0\xff,x"s;
  box.writeFile("odd.lst", "a\rb\r\nc\nd\r\r\n"s + binary);
  EXPECT_EQ(readUserDefLines(files, box.path("odd.lst")),
            (std::vector<std::string>{"a", "b", "c", "d", "", binary}));

  std::string many;
  for (int i = 0; i < 2000; ++i) many += box.path("gone\\file" + std::to_string(i)) + ".tmp\r\n";
  box.writeFile(userDefListName(2), many);
  box.writeFile("gone\\file1999.tmp", "last");
  UserDefSets sets(session, catalogue, box.root());
  sets.fixUserDef();
  EXPECT_EQ(sets.entries.size(), 2000u);
  catalogue.item(23).ticked = true;
  state.cleanAllRunning = true;
  cleanUserDefined(context);
  EXPECT_FALSE(has("gone\\file1999.tmp"));
  EXPECT_EQ(state.progress.value, 1);
}

}  // namespace
}  // namespace trwk
