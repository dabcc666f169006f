#include "extensions/creator/creator_model.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/failure.h"
#include "testing/fault_files.h"
#include "testing/sandbox.h"

namespace trwk::creator {
namespace {

using Step = CreatorModel::Step;

class CreatorModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box.writeFile("Games\\Tool\\last.sav", "x");
    box.writeFile("Games\\Other\\keep.txt", "x");
  }

  void fillStep1(const std::string& name = "Game2") {
    model.name = name;
    model.version = "1.0";
    model.created = "2004-05-01";
    model.author = "Kim";
    model.info = "Removes the saved games";
  }
  // Step 1 accepted, the folder list open at the sandbox's Games\Tool.
  void reachStep2() {
    fillStep1();
    model.next();
    ASSERT_EQ(model.step(), Step::Two);
    ASSERT_TRUE(model.folders()->setPath(box.path("Games\\Tool")));
  }
  bool exists(const std::string& relative) { return box.files().fileExists(box.path(relative)); }
  const MessageBox& lastBox() { return box.ui.boxes.back(); }

  testing::Sandbox box;
  testing::FaultFiles files{box.files()};
  CreatorModel model{files, box.ui, box.root(), box.root(), systemFoldersOf(box.desktop(), box.root())};
};

TEST_F(CreatorModelTest, AnEmptyBoxIsReportedAndNothingIsWritten) {
  std::string CreatorModel::*boxes[] = {&CreatorModel::name, &CreatorModel::version, &CreatorModel::created,
                                        &CreatorModel::author, &CreatorModel::info};
  for (auto field : boxes) {
    fillStep1();
    model.*field = "";
    model.next();
    EXPECT_EQ(model.step(), Step::One);
    EXPECT_EQ(lastBox().text, "You have to fill all fields in the form");
    EXPECT_EQ(lastBox().title, "Info");
    EXPECT_EQ(lastBox().icon, Icon::Information);
  }
  EXPECT_EQ(box.ui.boxes.size(), 5u);
  EXPECT_FALSE(exists("Game2.cp1"));
  EXPECT_FALSE(exists("Game2.cp2"));
  EXPECT_EQ(files.calls["appendText"] + files.calls["replaceAtomically"], 0);
}

TEST_F(CreatorModelTest, NextWritesTheHeaderKeysInOrderAndAnEmptyBody) {
  fillStep1();
  model.next();
  EXPECT_EQ(model.step(), Step::Two);
  EXPECT_TRUE(box.ui.boxes.empty());
  EXPECT_EQ(model.headerPath(), box.path("Game2.cp2"));
  EXPECT_EQ(model.bodyPath(), box.path("Game2.cp1"));
  EXPECT_EQ(box.readFile("Game2.cp2"),
            "[Main]\r\nName=Game2\r\nVersion=1.0\r\nCreated=2004-05-01\r\nAuthor=Kim\r\nActive=0\r\n"
            "Info=Removes the saved games\r\n");
  EXPECT_EQ(box.readFile("Game2.cp1"), "");
  // Step 2 opens with nothing chosen and both buttons off.
  EXPECT_EQ(model.fileOption, FileOption::None);
  EXPECT_EQ(model.registryOption, RegistryOption::None);
  EXPECT_FALSE(model.filesAddEnabled());
  EXPECT_FALSE(model.registryAddEnabled());
  ASSERT_TRUE(model.folders());
  EXPECT_EQ(model.folders()->path(), box.root());
}

TEST_F(CreatorModelTest, AnExistingPluginKeepsItsLinesAndIsSwitchedOffAgain) {
  box.writeFile("Game2.cp1", "C:\\Old\\a.txt\r\n");
  box.writeFile("Game2.cp2", "[Main]\r\nName=Old\r\nVersion=0.9\r\nActive=True\r\nInfo=old\r\n");
  reachStep2();
  EXPECT_EQ(box.readFile("Game2.cp2"),
            "[Main]\r\nName=Game2\r\nVersion=1.0\r\nActive=0\r\nInfo=Removes the saved games\r\n"
            "Created=2004-05-01\r\nAuthor=Kim\r\n");
  model.registryOption = RegistryOption::Key;
  model.registryPath = "HKEY_CURRENT_USER\\Software\\Maker\\Tool";
  model.addRegistryLine();
  EXPECT_EQ(box.readFile("Game2.cp1"), "C:\\Old\\a.txt\r\nHKEY_CURRENT_USER\\Software\\Maker\\Tool-\r\n");
}

TEST_F(CreatorModelTest, AnInvalidNameIsExplainedAndWritesNothing) {
  for (const char* name : {"Game?", "CON", "Game.", "  "}) {
    fillStep1(name);
    model.next();
    EXPECT_EQ(model.step(), Step::One) << name;
    EXPECT_EQ(lastBox().title, "Info");
    EXPECT_NE(lastBox().text.find("name"), std::string::npos) << lastBox().text;
  }
  EXPECT_EQ(box.ui.boxes.size(), 4u);
  EXPECT_EQ(files.calls["appendText"] + files.calls["replaceAtomically"], 0);
  EXPECT_TRUE(files.list(box.path("*.*"), {}).empty());
}

TEST_F(CreatorModelTest, CancelEndsWithoutWriting) {
  fillStep1();
  model.cancel();
  EXPECT_EQ(model.step(), Step::Ended);
  EXPECT_EQ(files.calls["appendText"] + files.calls["replaceAtomically"], 0);
  model.next();  // a late click of a window that is going changes nothing
  EXPECT_FALSE(exists("Game2.cp2"));
}

TEST_F(CreatorModelTest, AFailedWriteKeepsStep1Open) {
  files.fail("replaceAtomically", fail::kPermissionDenied);
  fillStep1();
  model.next();
  EXPECT_EQ(model.step(), Step::One);
  EXPECT_NE(lastBox().text.find("Game2.cp2"), std::string::npos) << lastBox().text;
}

TEST_F(CreatorModelTest, TheFilesButtonNeedsAnOptionAndItsBox) {
  reachStep2();
  struct Case {
    FileOption option;
    const char* fileName;
    const char* extension;
    bool enabled;
  };
  const Case cases[] = {
      {FileOption::None, "a.txt", "tmp", false},
      {FileOption::SingleFile, "", "tmp", false},
      {FileOption::SingleFile, "a.txt", "", true},
      {FileOption::AllFiles, "", "", true},
      {FileOption::WithExtension, "a.txt", "", false},
      {FileOption::WithExtension, "", "tmp", true},
      {FileOption::Folder, "", "", true},
  };
  for (const Case& c : cases) {
    model.fileOption = c.option;
    model.fileName = c.fileName;
    model.extension = c.extension;
    EXPECT_EQ(model.filesAddEnabled(), c.enabled) << static_cast<int>(c.option) << c.fileName << c.extension;
  }
}

TEST_F(CreatorModelTest, AFileLineIsAskedForThenAppendedAndTheFrameStartsAgain) {
  reachStep2();
  model.fileOption = FileOption::SingleFile;
  model.fileName = "last.sav";
  box.ui.answer(Answer::No);
  model.addFileLine();
  const std::string line = box.path("Games\\Tool\\last.sav");
  EXPECT_EQ(lastBox().text, "Do you want to add this line to your Plugin?\r\n" + line);
  EXPECT_EQ(lastBox().title, "Info");
  EXPECT_EQ(lastBox().buttons, Buttons::YesNo);
  EXPECT_EQ(lastBox().icon, Icon::Information);
  EXPECT_EQ(lastBox().defaultButton, 2);
  EXPECT_EQ(box.readFile("Game2.cp1"), "");
  EXPECT_EQ(model.fileName, "last.sav");  // No changes nothing

  box.ui.answer(Answer::Yes);
  model.addFileLine();
  model.fileOption = FileOption::WithExtension;
  model.extension = "*.bak";
  box.ui.answer(Answer::Yes);
  model.addFileLine();
  EXPECT_EQ(box.readFile("Game2.cp1"), line + "\r\n" + box.path("Games\\Tool\\*.bak") + "\r\n");
  EXPECT_EQ(model.fileOption, FileOption::None);
  EXPECT_EQ(model.fileName, "");
  EXPECT_EQ(model.extension, "");
  EXPECT_FALSE(model.filesAddEnabled());
  EXPECT_EQ(model.folders()->path(), box.path("Games\\Tool"));  // the folder list stays where it is
}

TEST_F(CreatorModelTest, TheFolderListTakesTheLinesToTheFolderOpened) {
  reachStep2();
  FolderBrowser& list = *model.folders();
  ASSERT_TRUE(list.setPath(box.path("Games")));
  int other = -1;
  for (std::size_t i = 0; i < list.folderRows().size(); ++i)
    if (list.folderRows()[i].label == "Other") other = static_cast<int>(i);
  ASSERT_GE(other, 0);
  ASSERT_TRUE(list.openFolderRow(other));
  model.fileOption = FileOption::Folder;
  EXPECT_EQ(model.pendingFileLine(), box.path("Games\\Other"));
  model.fileOption = FileOption::AllFiles;
  EXPECT_EQ(model.pendingFileLine(), box.path("Games\\Other\\*.*"));
}

// A line that cleaning would refuse is offered with a warning instead of the plain
// question; No (the default) adds nothing, Yes adds it all the same.
TEST_F(CreatorModelTest, ALineNamingAProtectedLocationWarnsFirst) {
  reachStep2();
  Desktop& shell = box.desktop();
  const std::string windows = shell.knownFolder(KnownFolder::Windows).value_or("C:\\windows");
  const std::string profile = shell.knownFolder(KnownFolder::Profile).value_or("C:\\users\\me");
  struct Case {
    std::string folder;
    FileOption option;
    std::string line;
    std::string why;  // empty: the plain question
  };
  const Case cases[] = {
      {profile, FileOption::Folder, profile,
       profile + " is a protected location (the user's profile folder)"},
      {"C:\\", FileOption::Folder, "C:", "C:\\ is a protected location (a drive root)"},
      {box.root(), FileOption::AllFiles, box.root() + "\\*.*",
       box.root() + " is a protected location (the program folder)"},
      {windows, FileOption::WithExtension, windows + "\\*.log",
       windows + " is a protected location (the Windows folder)"},
      {"C:\\", FileOption::WithExtension, "C:\\*.chk", "C:\\ is a protected location (a drive root)"},
      {box.root(), FileOption::SingleFile, box.root() + "\\mainten.ini",
       box.root() + "\\mainten.ini is one of the program's own files"},
      {box.path("Games\\Tool"), FileOption::SingleFile, box.path("Games\\Tool\\..\\x.txt"),
       "\".\" or \"..\" in the path"},
      {box.path("Games\\Tool"), FileOption::Folder, box.path("Games\\Tool"), ""},
      {windows + "\\temp", FileOption::AllFiles, windows + "\\temp\\*.*", ""},
      {box.root(), FileOption::SingleFile, box.path("notes.txt"), ""},
  };
  std::string body;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ASSERT_TRUE(model.folders()->setPath(c.folder));
    model.fileOption = c.option;
    model.fileName = c.option == FileOption::SingleFile ? c.line.substr(c.folder.size() + 1) : "";
    model.extension = c.option == FileOption::WithExtension ? c.line.substr(c.line.size() - 3) : "";
    ASSERT_EQ(model.pendingFileLine(), c.line);
    box.ui.boxes.clear();
    model.addFileLine();  // unanswered: the default, No
    ASSERT_EQ(box.ui.boxes.size(), 1u);
    const MessageBox& asked = box.ui.boxes[0];
    EXPECT_EQ(asked.buttons, Buttons::YesNo);
    EXPECT_EQ(asked.defaultButton, 2);
    EXPECT_TRUE(asked.text.ends_with("\r\n" + c.line)) << asked.text;
    if (c.why.empty()) {
      EXPECT_EQ(asked.title, "Info");
      EXPECT_EQ(asked.text, "Do you want to add this line to your Plugin?\r\n" + c.line);
    } else {
      EXPECT_EQ(asked.title, "Are you sure??");
      EXPECT_EQ(asked.icon, Icon::Exclamation);
      EXPECT_NE(asked.text.find(c.why), std::string::npos) << asked.text;
      EXPECT_NE(asked.text.find("Do you want to add this line to your Plugin anyway?"), std::string::npos);
    }
    EXPECT_EQ(box.readFile("Game2.cp1"), body);
    EXPECT_EQ(model.fileOption, c.option);  // No keeps the frame as it was

    box.ui.answer(Answer::Yes);
    model.addFileLine();
    body += c.line + "\r\n";
    EXPECT_EQ(box.readFile("Game2.cp1"), body);
  }
}

TEST_F(CreatorModelTest, RegistryLinesNeedAPathAndAreAppendedWithoutAsking) {
  reachStep2();
  model.registryOption = RegistryOption::Value;
  EXPECT_FALSE(model.registryAddEnabled());
  model.valueName = "LastFile";
  EXPECT_TRUE(model.registryAddEnabled());
  model.addRegistryLine();
  EXPECT_EQ(lastBox().text, "You must enter the registry path");
  EXPECT_EQ(lastBox().title, "Info");
  EXPECT_EQ(lastBox().icon, Icon::Information);
  EXPECT_EQ(box.readFile("Game2.cp1"), "");
  EXPECT_EQ(model.valueName, "LastFile");

  const std::size_t shown = box.ui.boxes.size();
  model.registryPath = "HKEY_CURRENT_USER\\Software\\Maker\\Tool";
  model.addRegistryLine();
  EXPECT_EQ(model.registryOption, RegistryOption::None);
  EXPECT_EQ(model.registryPath, "");
  EXPECT_EQ(model.valueName, "");
  model.registryOption = RegistryOption::Key;
  EXPECT_TRUE(model.registryAddEnabled());
  model.registryPath = "HKEY_CURRENT_USER\\Software\\A-B\\C";
  model.addRegistryLine();
  EXPECT_EQ(box.ui.boxes.size(), shown);
  EXPECT_EQ(box.readFile("Game2.cp1"),
            "HKEY_CURRENT_USER\\Software\\Maker\\Tool+LastFile\r\nHKEY_CURRENT_USER\\Software\\A-B\\C-\r\n");
}

TEST_F(CreatorModelTest, ALineThatCannotBeWrittenIsReportedAndKept) {
  reachStep2();
  files.fail("appendText", fail::kDiskFull);
  model.registryOption = RegistryOption::Key;
  model.registryPath = "HKEY_CURRENT_USER\\Software\\Maker";
  model.addRegistryLine();
  EXPECT_EQ(lastBox().icon, Icon::Exclamation);
  EXPECT_NE(lastBox().text.find("Game2.cp1"), std::string::npos);
  EXPECT_EQ(model.registryPath, "HKEY_CURRENT_USER\\Software\\Maker");
}

TEST_F(CreatorModelTest, DoneWithoutLinesLeavesAnEmptyBodyAndACompleteHeader) {
  reachStep2();
  model.done();
  EXPECT_EQ(model.step(), Step::Ended);
  EXPECT_EQ(lastBox().text, "Plugin created!\r\n" + box.path("Game2.cp1") + "\r\n" + box.path("Game2.cp2") +
                                "\r\n\r\nYou must restart Tarnwick before you can use the new plugin");
  EXPECT_EQ(lastBox().title, "Info");
  EXPECT_EQ(lastBox().icon, Icon::Information);
  EXPECT_EQ(box.readFile("Game2.cp1"), "");
  for (const char* key : {"Name", "Version", "Created", "Author", "Active", "Info"})
    EXPECT_NE(box.readFile("Game2.cp2").find(std::string(key) + "="), std::string::npos) << key;
}

}  // namespace
}  // namespace trwk::creator
