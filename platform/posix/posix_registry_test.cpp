#include "platform/posix/posix_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "platform/posix/host_io.h"
#include "platform/posix/posix_test_support.h"
#include "testing/prefix_builder.h"

namespace trwk::posix {
namespace {

using trwk::testing::TempPrefix;

class PosixRegistryTest : public ::testing::Test {
 protected:
  TempPrefix temp;
  PosixRegistry registry{std::make_shared<const WinePrefix>(temp.hostPath())};
  std::string userReg() { return *readHostFile(temp.host("user.reg")); }
};

TEST_F(PosixRegistryTest, AnswersWithTheStatusesWindowsGives) {
  const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  EXPECT_EQ(registry.keyExists(RootKey::CurrentUser, run), regstatus::kSuccess);
  EXPECT_EQ(registry.keyExists(RootKey::CurrentUser, "Software\\Nowhere"), regstatus::kFileNotFound);

  const std::string before = userReg();
  EXPECT_EQ(registry.setString(RootKey::CurrentUser, "Software\\Nowhere", "x", "y"),
            regstatus::kFileNotFound);
  EXPECT_EQ(userReg(), before);

  EXPECT_EQ(registry.setString(RootKey::CurrentUser, run, "trwk6", "C:\\Tarnwick\\trwk6.exe /auto"),
            regstatus::kSuccess);
  RegValue value;
  EXPECT_EQ(registry.queryValue(RootKey::CurrentUser, run, "TRWK6", value), regstatus::kSuccess);
  EXPECT_EQ(value.type, ValueType::String);
  EXPECT_EQ(value.data, "C:\\Tarnwick\\trwk6.exe /auto");
  EXPECT_NE(userReg().find("\"trwk6\"=\"C:\\\\Tarnwick\\\\trwk6.exe /auto\"\n"), std::string::npos);
  EXPECT_EQ(registry.deleteValue(RootKey::CurrentUser, run, "trwk6"), regstatus::kSuccess);
  EXPECT_EQ(registry.deleteValue(RootKey::CurrentUser, run, "trwk6"), regstatus::kFileNotFound);
  EXPECT_EQ(userReg(), before);

  EXPECT_EQ(registry.createKey(RootKey::CurrentUser, "Software\\TarnwickTest\\1"), regstatus::kSuccess);
  EXPECT_EQ(registry.deleteKey(RootKey::CurrentUser, "Software\\TarnwickTest"), regstatus::kAccessDenied);
  EXPECT_EQ(registry.deleteKey(RootKey::CurrentUser, "Software\\TarnwickTest\\1"), regstatus::kSuccess);
  EXPECT_EQ(registry.deleteKey(RootKey::CurrentUser, "Software\\TarnwickTest\\1"), regstatus::kFileNotFound);

  // Machine keys live in system.reg, classes under its Software\Classes.
  EXPECT_EQ(registry.queryValue(RootKey::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion",
                                "SystemRoot", value),
            regstatus::kSuccess);
  EXPECT_EQ(value.data, "C:\\windows");
  EXPECT_EQ(registry.createKey(RootKey::ClassesRoot, ".trwk"), regstatus::kSuccess);
  EXPECT_EQ(registry.keyExists(RootKey::LocalMachine, "Software\\Classes\\.TRWK"), regstatus::kSuccess);
  EXPECT_EQ(registry.keyExists(RootKey::Users, ".Default"), regstatus::kFileNotFound);

  // Every write replaced the file whole: nothing else is left in the prefix folder.
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(temp.hostPath()))
    names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"dosdevices", "drive_c", "system.reg", "user.reg"}));
}

TEST_F(PosixRegistryTest, ChangesNothingWhileAWineserverRuns) {
  const std::string before = userReg();
  FakeWineserver server(temp.hostPath(), temp.host("tmp"));
  EXPECT_EQ(registry.createKey(RootKey::CurrentUser, "Software\\TarnwickTest"), regstatus::kAccessDenied);
  EXPECT_EQ(registry.setString(RootKey::CurrentUser, "Environment", "X", "1"), regstatus::kAccessDenied);
  EXPECT_EQ(registry.deleteValue(RootKey::CurrentUser, "Environment", "TEMP"), regstatus::kAccessDenied);
  EXPECT_EQ(userReg(), before);
  EXPECT_EQ(registry.keyExists(RootKey::CurrentUser, "Environment"), regstatus::kSuccess);  // reading is fine
}

}  // namespace
}  // namespace trwk::posix
