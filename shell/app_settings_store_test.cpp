#include "shell/app_settings_store.h"

#include <gtest/gtest.h>

#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

constexpr const char* kOptionsKey = "Software\\Tarnwick\\trwk6\\Options";

TEST(AppSettingsStore, AgreementSettingIsOneUnlessAValidNumberIsStored) {
  testing::MemoryRegistry reg;
  AppSettingsStore store(reg);
  EXPECT_EQ(store.agreementSetting(), 1);  // absent

  for (auto [stored, expected] : std::vector<std::pair<std::string, long>>{
           {"0", 0}, {"1", 1}, {" 7 ", 7}, {"abc", 1}, {"", 1}, {"99999999999", 1}}) {
    reg.put(RootKey::CurrentUser, kOptionsKey, "Show Tips at Startup", {ValueType::String, stored});
    EXPECT_EQ(store.agreementSetting(), expected) << '"' << stored << '"';
  }
  reg.put(RootKey::CurrentUser, kOptionsKey, "Show Tips at Startup", {ValueType::Dword, "\0\0\0\0"});
  EXPECT_EQ(store.agreementSetting(), 1) << "a value that is not text counts as absent";
}

TEST(AppSettingsStore, SavingCreatesTheKeysAndStoresDecimalText) {
  testing::MemoryRegistry reg;
  AppSettingsStore store(reg);
  store.saveAgreementSetting(0);
  RegValue v;
  ASSERT_EQ(reg.queryValue(RootKey::CurrentUser, kOptionsKey, "Show Tips at Startup", v), 0);
  EXPECT_EQ(v.type, ValueType::String);
  EXPECT_EQ(v.data, "0");
  EXPECT_EQ(store.agreementSetting(), 0);

  EXPECT_TRUE(store.saveSetting("Other", "Name", "text"));
  EXPECT_EQ(store.getSetting("Other", "Name", "fallback"), "text");
  EXPECT_EQ(store.getSetting("Other", "Missing", "fallback"), "fallback");
}

TEST(AppSettingsStore, EachProgramKeyIsSeparate) {
  testing::MemoryRegistry reg;
  AppSettingsStore mine(reg, "Software\\TarnwickTest\\1\\trwk6");
  mine.saveAgreementSetting(0);
  EXPECT_EQ(mine.agreementSetting(), 0);
  EXPECT_EQ(AppSettingsStore(reg).agreementSetting(), 1);
}

TEST(AppSettingsStore, KeepsItsValueInThePlatformsOwnRegistry) {
  testing::Sandbox box;
  Registry& reg = box.registry();
  const std::string appKey = box.regKey() + "\\trwk6";
  AppSettingsStore(reg, appKey).saveAgreementSetting(0);
  EXPECT_EQ(AppSettingsStore(reg, appKey).agreementSetting(), 0);
  RegValue v;
  EXPECT_EQ(reg.queryValue(RootKey::CurrentUser, appKey + "\\Options", "Show Tips at Startup", v), 0);
  EXPECT_EQ(v.type, ValueType::String);
  EXPECT_EQ(v.data, "0");
  // The sandbox removes its own key only: the keys made here go first.
  reg.deleteKey(RootKey::CurrentUser, appKey + "\\Options");
  reg.deleteKey(RootKey::CurrentUser, appKey);
}

}  // namespace
}  // namespace trwk
