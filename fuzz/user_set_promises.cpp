#include <algorithm>

#include "extensions/user_def_sets.h"
#include "fuzz/imagined_session.h"
#include "fuzz/promises.h"

namespace trwk::fuzz {
namespace {

bool endsWith(const std::vector<std::string>& all, const std::vector<std::string>& tail) {
  return all.size() >= tail.size() &&
         std::equal(tail.begin(), tail.end(), all.end() - static_cast<long>(tail.size()));
}

}  // namespace

std::optional<std::string> userSetPromises(std::string_view input) {
  const auto [base, list] = splitAtNul(input);
  {
    ImaginedSession s;
    s.files.store("userdef1.000", base);
    s.files.store("userdef1.lst", list);
    const auto own = s.ownFiles();
    removeUserdefinedSel(s.context, 0);
    if (auto broken = judgeRemovals(s, list, own, false)) return broken;
  }

  ImaginedSession s;
  s.files.store("userdef1.000", base);
  s.files.store("userdef1.lst", list);
  s.catalogue.userDefFlags[0] = "1";
  UserDefSets sets(s.session, s.catalogue);
  sets.fixUserDef();
  if (sets.chosenSet != 1) return "the only active set is not chosen";
  const std::vector<std::string> entries = sets.entries;
  sets.save();
  sets.fillUserDefList();
  if (!endsWith(sets.entries, entries)) return "the entries saved do not read back";
  if (base.empty() && sets.entries != entries) return "a save with an empty base file added entries";
  return std::nullopt;
}

}  // namespace trwk::fuzz
