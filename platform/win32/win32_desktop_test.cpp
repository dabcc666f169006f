#include <gtest/gtest.h>

#include "platform/win32/win32_test_support.h"

namespace trwk::win32 {
namespace {

using testing::TempFolder;

TEST(Win32Desktop, KnownFoldersComeWithoutTrailingSeparator) {
  Win32Desktop desktop;
  Win32Files files;
  for (KnownFolder id : {KnownFolder::History, KnownFolder::InternetCache, KnownFolder::Cookies,
                         KnownFolder::Recent, KnownFolder::Windows, KnownFolder::System,
                         KnownFolder::ProgramFiles, KnownFolder::AppData, KnownFolder::Temp}) {
    auto path = desktop.knownFolder(id);
    ASSERT_TRUE(path.has_value()) << int(id);
    ASSERT_GE(path->size(), 3u) << *path;
    EXPECT_EQ(path->substr(1, 2), ":\\") << *path;
    EXPECT_NE(path->back(), '\\') << *path;
  }
  EXPECT_TRUE(files.folderExists(*desktop.knownFolder(KnownFolder::Windows)));
  EXPECT_TRUE(files.fileExists(*desktop.knownFolder(KnownFolder::System) + "\\kernel32.dll"));
  EXPECT_TRUE(files.folderExists(*desktop.knownFolder(KnownFolder::Temp)));
}

TEST(Win32Desktop, ProgramFolderHoldsTheRunningProgram) {
  Win32Desktop desktop;
  std::string folder = desktop.programFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_FALSE(Win32Files().list(folder + "\\*.exe", ListOptions{}).empty()) << folder;
}

TEST(Win32Desktop, StartProgramRunsWithoutWaiting) {
  TempFolder dir;
  Win32Desktop desktop;
  Win32Files files;
  EXPECT_FALSE(desktop.startProgram(dir.path("ShFolder.Exe"), ""));
  EXPECT_FALSE(desktop.startProgram(dir.path(""), ""));
  EXPECT_FALSE(desktop.startProgram("", ""));

  std::string cmd = *desktop.knownFolder(KnownFolder::System) + "\\cmd.exe";
  std::string marker = dir.path("started.txt");
  ASSERT_TRUE(desktop.startProgram(cmd, "/c echo started> \"" + marker + "\""));
  for (int i = 0; i < 200 && !files.fileExists(marker); ++i) Sleep(50);
  ASSERT_TRUE(files.fileExists(marker));
  // Let cmd finish writing before the folder goes.
  for (int i = 0; i < 100 && files.readAll(marker).find('\n') == std::string::npos; ++i) Sleep(50);
  Sleep(200);
  EXPECT_EQ(files.readAll(marker).substr(0, 7), "started");
}

}  // namespace
}  // namespace trwk::win32
