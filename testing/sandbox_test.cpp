#include "testing/sandbox.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace trwk::testing {
namespace {

TEST(SandboxTest, GivesEachTestAFolderAndAKeyAndTakesThemBack) {
  std::string root, key, host;
  {
    Sandbox box;
    root = box.root();
    key = box.regKey();
    host = box.hostRoot();
    ListOptions everything;
    everything.folders = true;
    EXPECT_TRUE(box.files().folderExists(root));
    EXPECT_TRUE(box.files().list(root + "\\*.*", everything).empty());
    EXPECT_EQ(box.registry().keyExists(RootKey::CurrentUser, key), regstatus::kSuccess);

    box.writeFile("a\\b\\c.txt", "hello");
    EXPECT_EQ(box.readFile("a\\b\\c.txt"), "hello");
    EXPECT_EQ(box.path("a\\b"), root + "\\a\\b");
    EXPECT_EQ(box.registry().setString(RootKey::CurrentUser, key, "Name", "value"), regstatus::kSuccess);
  }
#ifdef _WIN32
  Sandbox other;
  EXPECT_FALSE(other.files().folderExists(root));
  EXPECT_EQ(other.registry().keyExists(RootKey::CurrentUser, key), regstatus::kFileNotFound);
#else
  EXPECT_EQ(root, "C:\\sandbox");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(host)));
#endif
}

}  // namespace
}  // namespace trwk::testing
