#include <gtest/gtest.h>

#include "platform/win32/win32_test_support.h"

namespace trwk::win32 {
namespace {

using testing::TempFolder;

TEST(Win32Desktop, KnownFoldersComeWithoutTrailingSeparator) {
  Win32Desktop desktop;
  Win32Files files;
  for (KnownFolder id :
       {KnownFolder::History, KnownFolder::InternetCache, KnownFolder::Cookies, KnownFolder::Recent,
        KnownFolder::Windows, KnownFolder::System, KnownFolder::ProgramFiles, KnownFolder::AppData,
        KnownFolder::Temp, KnownFolder::ProgramFilesX86, KnownFolder::SystemX86, KnownFolder::ProgramData,
        KnownFolder::Profiles, KnownFolder::Profile, KnownFolder::Desktop, KnownFolder::Documents}) {
    auto path = desktop.knownFolder(id);
    ASSERT_TRUE(path.has_value()) << int(id);
    ASSERT_GE(path->size(), 3u) << *path;
    EXPECT_EQ(path->substr(1, 2), ":\\") << *path;
    EXPECT_NE(path->back(), '\\') << *path;
  }
  EXPECT_TRUE(files.folderExists(*desktop.knownFolder(KnownFolder::Windows)));
  EXPECT_TRUE(files.fileExists(*desktop.knownFolder(KnownFolder::System) + "\\kernel32.dll"));
  EXPECT_TRUE(files.folderExists(*desktop.knownFolder(KnownFolder::Temp)));
  for (KnownFolder id : {KnownFolder::ProgramData, KnownFolder::Profiles, KnownFolder::Profile})
    EXPECT_TRUE(files.folderExists(*desktop.knownFolder(id))) << *desktop.knownFolder(id);
  // This user's profile is one of those in the profiles folder.
  std::string profile = *desktop.knownFolder(KnownFolder::Profile);
  EXPECT_EQ(upperCp1252(profile.substr(0, profile.find_last_of('\\'))),
            upperCp1252(*desktop.knownFolder(KnownFolder::Profiles)));
  EXPECT_NE(desktop.knownFolder(KnownFolder::Documents), desktop.knownFolder(KnownFolder::Desktop));
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

// Wine keeps its bin in the host's freedesktop trash ($XDG_DATA_HOME/Trash), emptied here
// as the removal walk empties a folder.
TEST(Win32Desktop, EmptiesWinesTrash) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) GTEST_SKIP() << "not under Wine";
  TempFolder dir;
  Win32Files files;
  for (const char* folder : {"data", "data\\Trash", "data\\Trash\\files", "data\\Trash\\files\\folder",
                             "data\\Trash\\files\\folder\\deeper", "data\\Trash\\info"})
    files.createFolder(dir.path(folder));
  files.replaceAtomically(dir.path("data\\Trash\\files\\folder\\deeper\\a.txt"), "a");
  files.replaceAtomically(dir.path("data\\Trash\\files\\top.txt"), "top");
  ASSERT_TRUE(SetFileAttributesW(dir.wide("data\\Trash\\files\\top.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  files.replaceAtomically(dir.path("data\\Trash\\info\\folder.trashinfo"), "[Trash Info]");

  char* unixPath = toUnix(dir.wide("data").c_str());
  ASSERT_NE(unixPath, nullptr);
  std::wstring data = widen(unixPath);
  HeapFree(GetProcessHeap(), 0, unixPath);
  wchar_t old[4096];
  DWORD had = GetEnvironmentVariableW(L"XDG_DATA_HOME", old, 4096);
  ASSERT_TRUE(SetEnvironmentVariableW(L"XDG_DATA_HOME", data.c_str()));
  std::optional<RecycleBinContent> before = Win32Desktop().recycleBinContent();
  bool emptied = Win32Desktop().emptyRecycleBin();
  std::optional<RecycleBinContent> after = Win32Desktop().recycleBinContent();
  SetEnvironmentVariableW(L"XDG_DATA_HOME", had > 0 && had < 4096 ? old : nullptr);

  ASSERT_TRUE(before && after);
  EXPECT_EQ(before->items, 2u);  // "folder" and "top.txt"
  EXPECT_EQ(before->bytes, 4u);
  EXPECT_EQ(after->items, 0u);
  EXPECT_TRUE(emptied);
  ListOptions everything{true, true, true};
  EXPECT_TRUE(files.list(dir.path("data\\Trash\\files\\*"), everything).empty());
  EXPECT_TRUE(files.list(dir.path("data\\Trash\\info\\*"), everything).empty());
}

}  // namespace
}  // namespace trwk::win32
