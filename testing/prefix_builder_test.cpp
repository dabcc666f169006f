#ifndef _WIN32
#include "testing/prefix_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/posix/host_io.h"
#include "platform/posix/posix_registry.h"

namespace trwk::testing {
namespace {

namespace fs = std::filesystem;

TEST(PrefixBuilderTest, LaysOutAPrefixAsWineDoes) {
  TempPrefix temp(PrefixOptions{"J\xF6rg"});
  EXPECT_EQ(fs::read_symlink(temp.host("dosdevices/c:")), "../drive_c");
  EXPECT_FALSE(fs::exists(fs::symlink_status(temp.host("dosdevices/z:"))));
  const std::string profile = temp.host("drive_c/users/J\xC3\xB6rg");  // UTF-8 on the host
  for (const char* folder :
       {"Temp", "AppData/Roaming/Microsoft/Windows/Recent", "AppData/Local/Microsoft/Windows/INetCache",
        "AppData/Local/Microsoft/Windows/INetCookies", "AppData/Local/Microsoft/Windows/History"})
    EXPECT_TRUE(fs::is_directory(profile + "/" + folder)) << folder;
  EXPECT_TRUE(fs::is_directory(temp.host("drive_c/windows/system32")));
  EXPECT_TRUE(fs::is_directory(temp.host("drive_c/windows/temp")));

  auto userReg = posix::readHostFile(temp.host("user.reg"));
  ASSERT_TRUE(userReg);
  EXPECT_TRUE(userReg->starts_with("WINE REGISTRY Version 2\n"));
  EXPECT_NE(
      userReg->find("\"Cookies\"=\"C:"
                    "\\\\users\\\\J\\xf6rg\\\\AppData\\\\Local\\\\Microsoft\\\\Windows\\\\INetCookies\"\n"),
      std::string::npos);
  posix::PosixRegistry registry(std::make_shared<const posix::WinePrefix>(temp.hostPath()));
  RegValue value;
  ASSERT_EQ(
      registry.queryValue(RootKey::LocalMachine,
                          "System\\CurrentControlSet\\Control\\Session Manager\\Environment", "TEMP", value),
      regstatus::kSuccess);
  EXPECT_EQ(value.type, ValueType::ExpandString);
  EXPECT_EQ(value.data, "%SystemRoot%\\temp");
}

TEST(PrefixBuilderTest, RemovesItselfWithoutFollowingLinks) {
  TempPrefix keeper;  // holds the canary, in a temporary folder of its own
  std::ofstream(keeper.host("canary.txt")) << "keep";
  std::string gone;
  {
    TempPrefix temp;
    gone = temp.hostPath();
    fs::create_directory_symlink(keeper.hostPath(), temp.host("drive_c/outside"));
    fs::create_symlink(keeper.host("canary.txt"), temp.host("drive_c/windows/temp/file"));
    fs::permissions(temp.host("drive_c/windows"), fs::perms::owner_read | fs::perms::owner_exec);
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(gone)));
  EXPECT_TRUE(fs::exists(keeper.host("canary.txt")));
  EXPECT_TRUE(fs::exists(keeper.host("drive_c/windows/system32")));
}

}  // namespace
}  // namespace trwk::testing
#endif
