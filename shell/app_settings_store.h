#pragma once
// The per-user application settings store: values kept for the program under
// HKEY_CURRENT_USER\Software\Tarnwick\<program>\<section>, as decimal or plain text.
#include <string>

#include "platform/registry.h"

namespace trwk {

class AppSettingsStore {
 public:
  static constexpr const char* kDefaultKey = "Software\\Tarnwick\\trwk6";
  static constexpr const char* kOptions = "Options";
  static constexpr const char* kShowTipsAtStartup = "Show Tips at Startup";

  // appKey: the program's key under HKEY_CURRENT_USER (tests give their own).
  explicit AppSettingsStore(Registry& registry, std::string appKey = kDefaultKey);

  // The stored text, or fallback when the value is absent or not a string.
  std::string getSetting(const std::string& section, const std::string& key, const std::string& fallback);
  // Stores the text, creating the keys on the way; false when the store refused it.
  bool saveSetting(const std::string& section, const std::string& key, const std::string& value);

  // The agreement setting: 1 until the licence agreement has been accepted, then 0.
  // Absent or not a number counts as 1.
  long agreementSetting();
  void saveAgreementSetting(long value);

 private:
  Registry& registry_;
  std::string appKey_;
};

}  // namespace trwk
