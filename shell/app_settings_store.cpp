#include "shell/app_settings_store.h"

#include "foundation/convert.h"
#include "platform/failure.h"

namespace trwk {

AppSettingsStore::AppSettingsStore(Registry& registry, std::string appKey)
    : registry_(registry), appKey_(std::move(appKey)) {}

std::string AppSettingsStore::getSetting(const std::string& section, const std::string& key,
                                         const std::string& fallback) {
  RegValue value;
  long status = registry_.queryValue(RootKey::CurrentUser, appKey_ + "\\" + section, key, value);
  if (status != regstatus::kSuccess) return fallback;
  if (value.type != ValueType::String && value.type != ValueType::ExpandString) return fallback;
  return value.data;
}

bool AppSettingsStore::saveSetting(const std::string& section, const std::string& key,
                                   const std::string& value) {
  // Each level is created in turn so that a store which makes one level per call works too.
  std::string path = appKey_ + "\\" + section;
  for (std::size_t at = path.find('\\');; at = path.find('\\', at + 1)) {
    std::string level = path.substr(0, at);
    if (registry_.keyExists(RootKey::CurrentUser, level) != regstatus::kSuccess &&
        registry_.createKey(RootKey::CurrentUser, level) != regstatus::kSuccess)
      return false;
    if (at == std::string::npos) break;
  }
  return registry_.setString(RootKey::CurrentUser, path, key, value) == regstatus::kSuccess;
}

long AppSettingsStore::agreementSetting() {
  try {
    return toInteger(getSetting(kOptions, kShowTipsAtStartup, "1"));
  } catch (const Failure&) {
    return 1;  // not a number: the agreement counts as not yet accepted
  }
}

void AppSettingsStore::saveAgreementSetting(long value) {
  saveSetting(kOptions, kShowTipsAtStartup, std::to_string(value));
}

}  // namespace trwk
