#include "platform/posix/posix_desktop.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/posix/host_io.h"
#include "platform/posix/posix_test_support.h"
#include "testing/prefix_builder.h"

namespace trwk::posix {
namespace {

using trwk::testing::PrefixOptions;
using trwk::testing::TempPrefix;
namespace fs = std::filesystem;

TEST(PosixDesktopTest, FindsKnownFoldersInTheRegistry) {
  TempPrefix temp(PrefixOptions{"J\xF6rg"});
  auto prefix = std::make_shared<const WinePrefix>(temp.hostPath());
  PosixDesktop desktop(prefix);
  const std::string profile = "C:\\users\\J\xF6rg";
  EXPECT_EQ(desktop.knownFolder(KnownFolder::History),
            profile + "\\AppData\\Local\\Microsoft\\Windows\\History");
  EXPECT_EQ(desktop.knownFolder(KnownFolder::InternetCache),
            profile + "\\AppData\\Local\\Microsoft\\Windows\\INetCache");
  EXPECT_EQ(desktop.knownFolder(KnownFolder::Cookies),
            profile + "\\AppData\\Local\\Microsoft\\Windows\\INetCookies");
  EXPECT_EQ(desktop.knownFolder(KnownFolder::Recent),
            profile + "\\AppData\\Roaming\\Microsoft\\Windows\\Recent");
  EXPECT_EQ(desktop.knownFolder(KnownFolder::AppData), profile + "\\AppData\\Roaming");
  EXPECT_EQ(desktop.knownFolder(KnownFolder::Windows), "C:\\windows");
  EXPECT_EQ(desktop.knownFolder(KnownFolder::System), "C:\\windows\\system32");
  EXPECT_EQ(desktop.knownFolder(KnownFolder::ProgramFiles), "C:\\Program Files");
  EXPECT_EQ(desktop.knownFolder(KnownFolder::Temp), profile + "\\Temp");

  // Without Shell Folders the expandable User Shell Folders answer; %VAR% comes from the
  // environment the registry keeps.
  PosixRegistry registry(prefix);
  ASSERT_EQ(registry.deleteValue(RootKey::CurrentUser,
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                 "History"),
            regstatus::kSuccess);
  EXPECT_EQ(desktop.knownFolder(KnownFolder::History),
            profile + "\\AppData\\Local\\Microsoft\\Windows\\History");
  ASSERT_EQ(registry.setString(RootKey::CurrentUser, "Environment", "TEMP", "%USERPROFILE%\\Tmp\\%NOPE%\\"),
            regstatus::kSuccess);
  EXPECT_EQ(desktop.knownFolder(KnownFolder::Temp), profile + "\\Tmp\\%NOPE%");
  ASSERT_EQ(registry.deleteValue(RootKey::CurrentUser, "Environment", "TEMP"), regstatus::kSuccess);
  EXPECT_EQ(desktop.knownFolder(KnownFolder::Temp), "C:\\windows\\temp");
}

// Windows and Wine answer from "User Shell Folders" (expanded); the older "Shell Folders"
// copy counts only where that has no value, and an answer that is no full path is none.
TEST(PosixDesktopTest, UserShellFoldersComeFirstAndOnlyFullPathsAnswer) {
  TempPrefix temp(PrefixOptions{"tester"});
  auto prefix = std::make_shared<const WinePrefix>(temp.hostPath());
  PosixDesktop desktop(prefix);
  PosixRegistry registry(prefix);
  const std::string user = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  const std::string old = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  auto put = [&](const std::string& key, const std::optional<std::string>& value) {
    if (!value) return (void)registry.deleteValue(RootKey::CurrentUser, key, "History");
    ASSERT_EQ(registry.setString(RootKey::CurrentUser, key, "History", *value), regstatus::kSuccess);
  };
  struct Case {
    std::optional<std::string> userShell, shell, answer;
  };
  const std::optional<std::string> none;
  const Case cases[] = {
      {"%USERPROFILE%\\IE History\\", "C:\\old\\History", "C:\\users\\tester\\IE History"},
      {"D:\\History", "C:\\old\\History", "D:\\History"},
      {none, "C:\\old\\History", "C:\\old\\History"},
      {"History", "C:\\old\\History", none},
      {"%NOPE%\\History", "C:\\old\\History", none},
      {"History", "%NOPE%\\History", none},
      {none, "Recent", none},
      {"\\\\server\\share\\History", none, "\\\\server\\share\\History"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.userShell.value_or("(none)") + " / " + c.shell.value_or("(none)"));
    put(user, c.userShell);
    put(old, c.shell);
    EXPECT_EQ(desktop.knownFolder(KnownFolder::History), c.answer);
  }
  EXPECT_EQ(desktop.knownFolder(KnownFolder::LocalAppData), "C:\\users\\tester\\AppData\\Local");
  ASSERT_EQ(registry.setString(RootKey::CurrentUser, "Environment", "TEMP", "Temp"), regstatus::kSuccess);
  EXPECT_EQ(desktop.knownFolder(KnownFolder::Temp), std::nullopt) << "a relative TEMP";
}

TEST(PosixDesktopTest, KnowsWhereTheProgramLives) {
  TempPrefix temp;
  auto prefix = std::make_shared<const WinePrefix>(temp.hostPath());
  EXPECT_EQ(PosixDesktop(prefix, "C:\\Tarnwick\\").programFolder(), "C:\\Tarnwick");
  {
    ScopedEnv env("TRWK_PROGRAM_FOLDER", "D:\\Tools\\Tarnwick");
    EXPECT_EQ(PosixDesktop(prefix).programFolder(), "D:\\Tools\\Tarnwick");
  }
  ScopedEnv env("TRWK_PROGRAM_FOLDER", std::nullopt);
  EXPECT_EQ(PosixDesktop(prefix).programFolder(), "");  // the test runs from outside the drives
  // Lent as a drive, as the Wine test runner lends the build folder, it is found.
  std::string exeFolder = fs::read_symlink("/proc/self/exe").parent_path();
  ASSERT_EQ(::symlink(exeFolder.c_str(), temp.host("dosdevices/t:").c_str()), 0);
  EXPECT_EQ(PosixDesktop(prefix).programFolder(), "T:\\");
}

TEST(PosixDesktopTest, StartsProgramsThroughWine) {
  TempPrefix temp;
  auto prefix = std::make_shared<const WinePrefix>(temp.hostPath());
  PosixDesktop desktop(prefix);
  ASSERT_EQ(::mkdir(temp.host("bin").c_str(), 0777), 0);
  const std::string out = temp.host("wine.out");
  std::ofstream(temp.host("bin/wine")) << "#!/bin/sh\necho \"$WINEPREFIX|$*\" > '" << out
                                       << ".part'\n/bin/mv '" << out << ".part' '" << out << "'\n";
  ASSERT_EQ(::chmod(temp.host("bin/wine").c_str(), 0755), 0);
  std::ofstream(temp.host("drive_c/windows/system32/tool.exe")) << "MZ";

  {
    ScopedEnv path("PATH", temp.host("bin"));
    EXPECT_TRUE(desktop.startProgram("C:\\WINDOWS\\system32\\Tool.exe", "/a \"b c\""));
    EXPECT_FALSE(desktop.startProgram("C:\\windows\\system32\\missing.exe", ""));
  }
  for (int i = 0; i < 500 && !fs::exists(out); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(readHostFile(out),
            prefix->hostPath() + "|" + temp.host("drive_c/windows/system32/tool.exe") + " /a b c\n");

  ScopedEnv path("PATH", temp.host("drive_c"));  // no wine there
  EXPECT_FALSE(desktop.startProgram("C:\\windows\\system32\\tool.exe", ""));
}

TEST(PosixDesktopTest, EmptiesTheTrashWithoutFollowingLinks) {
  TempPrefix temp;
  PosixDesktop desktop(std::make_shared<const WinePrefix>(temp.hostPath()));
  fs::create_directories(temp.host("canary/inner"));
  std::ofstream(temp.host("canary/inner/keep.txt")) << "keep";
  const std::string trash = temp.host("data/Trash");
  fs::create_directories(trash + "/files/folder/deeper");
  fs::create_directories(trash + "/info");
  std::ofstream(trash + "/files/folder/deeper/a.txt") << "a";
  std::ofstream(trash + "/info/folder.trashinfo") << "[Trash Info]";
  fs::create_directory_symlink(temp.host("canary"), trash + "/files/link");
  fs::create_directory_symlink(temp.host("canary/inner"), trash + "/files/folder/inner");

  {
    ScopedEnv data("XDG_DATA_HOME", temp.host("data"));
    // Two entries at the top; one byte in the only file reached without a link.
    std::optional<RecycleBinContent> content = desktop.recycleBinContent();
    ASSERT_TRUE(content);
    EXPECT_EQ(content->items, 2u);
    EXPECT_EQ(content->bytes, 1u);
    EXPECT_TRUE(desktop.emptyRecycleBin());
    content = desktop.recycleBinContent();
    ASSERT_TRUE(content);
    EXPECT_EQ(content->items, 0u);
  }
  EXPECT_TRUE(fs::is_empty(trash + "/files"));
  EXPECT_TRUE(fs::is_empty(trash + "/info"));
  EXPECT_TRUE(fs::exists(temp.host("canary/inner/keep.txt")));

  // Without XDG_DATA_HOME the trash is under HOME; a Trash that is a link is left alone.
  fs::create_directories(temp.host("home/.local/share"));
  fs::create_directory_symlink(temp.host("canary"), temp.host("home/.local/share/Trash"));
  ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  ScopedEnv home("HOME", temp.host("home"));
  EXPECT_FALSE(desktop.emptyRecycleBin());
  EXPECT_FALSE(desktop.recycleBinContent()) << "a bin that is a link is not counted either";
  EXPECT_TRUE(fs::exists(temp.host("canary/inner/keep.txt")));
}

TEST(PosixDesktopTest, SplitsArgumentsAsACommandLine) {
  EXPECT_EQ(splitArguments("  /a  \"b c\" d\"e f\"g \"\" "),
            (std::vector<std::string>{"/a", "b c", "de fg", ""}));
  EXPECT_TRUE(splitArguments("").empty());
}

}  // namespace
}  // namespace trwk::posix
