#include "foundation/registry_layer.h"

#include <gtest/gtest.h>

#include "testing/fault_files.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"
#include "testing/scripted_ui.h"

namespace trwk {
namespace {

const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryLayerTest : public ::testing::Test {
 protected:
  testing::MemoryRegistry reg;
  testing::ScriptedUi ui;
  RegistryLayer layer{reg, ui};
};

TEST_F(RegistryLayerTest, RootNamesAreExactIncludingCase) {
  EXPECT_EQ(RegistryLayer::rootKeyFromName("HKEY_CURRENT_USER"), RootKey::CurrentUser);
  EXPECT_EQ(RegistryLayer::rootKeyFromName("HKEY_DYN_DATA"), RootKey::DynData);
  EXPECT_EQ(static_cast<std::uint32_t>(RegistryLayer::rootKeyFromName("HKEY_LOCAL_MACHINE")), 0x80000002u);
  EXPECT_EQ(RegistryLayer::rootKeyFromName("hkey_current_user"), RootKey::None);
  EXPECT_EQ(RegistryLayer::rootKeyFromName("HKEY_NOWHERE"), RootKey::None);
}

TEST_F(RegistryLayerTest, SplitKeyPathAcceptsRootAloneAndRejectsBadFormats) {
  std::string p = "HKEY_CURRENT_USER";
  RootKey root = RootKey::None;
  ASSERT_TRUE(layer.splitKeyPath(p, root));
  EXPECT_EQ(root, RootKey::CurrentUser);
  EXPECT_EQ(p, "");

  p = "HKEY_LOCAL_MACHINE\\Software\\A";
  ASSERT_TRUE(layer.splitKeyPath(p, root));
  EXPECT_EQ(root, RootKey::LocalMachine);
  EXPECT_EQ(p, "Software\\A");
  EXPECT_TRUE(ui.boxes.empty());

  for (std::string bad : {"HKEY_CURRENT_USER\\Software\\", "hkey_current_user\\Software", "", "Software\\X"}) {
    root = RootKey::Users;
    std::string before = bad;
    EXPECT_FALSE(layer.splitKeyPath(bad, root));
    EXPECT_EQ(root, RootKey::Users);
    EXPECT_EQ(bad, before);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Incorrect Format:\n\n" + before);
    EXPECT_EQ(ui.boxes.back().buttons, Buttons::Ok);
  }
}

TEST_F(RegistryLayerTest, SetStringValueNeedsAnExistingKeyAndAKnownRoot) {
  layer.setStringValue("HKEY_CURRENT_USER\\" + kRun, "Tarnwick", "C:\\t\\trwk6.exe");
  EXPECT_EQ(layer.lastStatus(), regstatus::kFileNotFound);
  EXPECT_EQ(reg.keyExists(RootKey::CurrentUser, kRun), regstatus::kFileNotFound);

  reg.createKey(RootKey::CurrentUser, kRun);
  int writes = reg.writes;
  layer.setStringValue("HKEY_BOGUS\\" + kRun, "Tarnwick", "x");
  EXPECT_EQ(reg.writes, writes);

  layer.setStringValue("HKEY_CURRENT_USER\\" + kRun, "Tarnwick", "C:\\t\\trwk6.exe");
  EXPECT_EQ(layer.lastStatus(), 0);
  EXPECT_EQ(layer.readStringValue(RootKey::CurrentUser, kRun, "tarnwick"), "C:\\t\\trwk6.exe");

  layer.deleteValue(RootKey::CurrentUser, kRun, "Tarnwick");
  EXPECT_EQ(layer.lastStatus(), 0);
  EXPECT_EQ(layer.readStringValue(RootKey::CurrentUser, kRun, "Tarnwick"), std::nullopt);
  layer.deleteValue(RootKey::CurrentUser, kRun, "Tarnwick");
  EXPECT_EQ(layer.lastStatus(), regstatus::kFileNotFound);
}

TEST_F(RegistryLayerTest, ReadStringValueIgnoresOtherTypesAndStopsAtNul) {
  reg.put(RootKey::CurrentUser, "K", "n", {ValueType::Dword, "\x01\0\0\0"});
  reg.put(RootKey::CurrentUser, "K", "s", {ValueType::String, std::string("ab\0cd", 5)});
  EXPECT_EQ(layer.readStringValue(RootKey::CurrentUser, "K", "n"), std::nullopt);
  EXPECT_EQ(layer.readStringValue(RootKey::CurrentUser, "K", "s"), "ab");
}

TEST(DriveFreeKB, SixtyFourBitsAndEmptyAndUnaskable) {
  testing::Sandbox box;
  testing::FaultFiles files(box.files());
  EXPECT_EQ(driveFreeKB(files, ""), "");
  files.freeBytes = 5ull * 1024 * 1024 * 1024 + 1023;  // past 4 GiB, fraction dropped
  EXPECT_EQ(driveFreeKB(files, "C:\\anything"), "5242880");
  files.freeBytes.reset();
  EXPECT_EQ(driveFreeKB(files, "Q:\\"), "0");  // no such drive
  EXPECT_NE(driveFreeKB(files, "C:\\"), "0");
}

}  // namespace
}  // namespace trwk
