#include "fuzz/promises.h"

#include <exception>

namespace trwk::fuzz {

const std::vector<Target>& targets() {
  static const std::vector<Target> all = {
      {"reg_file", regFileRoundTrip},        {"profile", profileRoundTrip},
      {"plugin_body", pluginBodyPromises},   {"plugin_header", pluginHeaderRoundTrip},
      {"user_set", userSetPromises},         {"keep_list", keepListPromises},
      {"prefs_filter", prefsFilterPromises}, {"rule_file", ruleFilePromises},
  };
  return all;
}

std::optional<std::string> checked(const Target& target, std::string_view input) {
  try {
    return target.promises(input);
  } catch (const std::exception& e) {
    return std::string("an exception escaped: ") + e.what();
  } catch (...) {
    return "an exception escaped";
  }
}

}  // namespace trwk::fuzz
