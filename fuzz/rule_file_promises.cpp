#include <algorithm>

#include "cleaning/protection.h"
#include "fuzz/imagined_session.h"
#include "fuzz/promises.h"
#include "platform/text_encoding.h"
#include "rules/rule_cleaner.h"

namespace trwk::fuzz {
namespace {

// More entries than this add time, not cases.
constexpr std::size_t kEntriesRun = 64;

bool isDriveRoot(const std::string& key) {
  return key.size() == 3 && key[1] == ':' && key[2] == '\\';
}

bool holds(const std::string& outer, const std::string& inner) {
  return outer == inner || (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
                            (outer.back() == '\\' || inner[outer.size()] == '\\'));
}

// Why a removal walk of this folder reaches what no rule may reach, or nothing.
std::optional<std::string> unsafeTarget(const std::string& folder, ImaginedDesktop& desktop) {
  if (auto why = unsafePathText(folder, false)) return "an unsafe path: " + *why;
  const std::string key = objectKey(folder);
  if (isDriveRoot(key)) return "a drive root";
  static const KnownFolder kGuarded[] = {
      KnownFolder::Windows,  KnownFolder::System,  KnownFolder::ProgramFiles, KnownFolder::ProgramData,
      KnownFolder::Profiles, KnownFolder::Profile, KnownFolder::Desktop,      KnownFolder::Documents};
  for (KnownFolder id : kGuarded)
    if (holds(key, objectKey(*desktop.knownFolder(id)))) return "a system folder or one that holds it";
  if (holds(key, objectKey(ImaginedDesktop::kProgramFolder))) return "the program folder";
  const std::string profiles = objectKey(*desktop.knownFolder(KnownFolder::Profiles));
  if (key.size() > profiles.size() && key.compare(0, profiles.size() + 1, profiles + "\\") == 0 &&
      key.find('\\', profiles.size() + 1) == std::string::npos)
    return "a profile root";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ruleFilePromises(std::string_view input) {
  RuleSet rules;
  readRuleText(input, "winapp2.ini", rules);
  const auto lines = static_cast<int>(std::count(input.begin(), input.end(), '\n') +
                                      std::count(input.begin(), input.end(), '\r') + 1);
  for (const RuleProblem& p : rules.problems)
    if (p.line < 1 || p.line > lines)
      return "a problem at line " + std::to_string(p.line) + " of " + std::to_string(lines);

  ImaginedSession s;
  Protection protection(s.session);
  RuleCleaner cleaner(s.session, protection);
  Trap trap(s.session.log, "ruleCleanEntry");
  for (std::size_t i = 0; i < rules.entries.size() && i < kEntriesRun; ++i) {
    const RuleEntry& entry = rules.entries[i];
    const bool ran = cleaner.clean(entry, trap);
    if (entry.refusal && ran) return "the refused entry [" + entry.name + "] ran";
  }

  for (const Change& change : s.files.changes) {
    if (change.operation == "appendText" && objectKey(change.path) == objectKey(s.session.log.path()))
      continue;
    if (change.operation == "removeWithin") {
      if (auto why = unsafeTarget(change.request.folder, s.desktop))
        return "a rule walked " + change.request.folder + ": " + *why;
      continue;
    }
    if (change.operation == "deleteFile" || change.operation == "clearAttributes") {
      if (auto why = unsafePathText(change.path, false)) return "a rule removed " + change.path + ": " + *why;
      continue;
    }
    return "a rule made the change " + change.operation + " of " + change.path;
  }
  for (const auto& deletion : s.registry.deletions)
    if (deletion.root != RootKey::CurrentUser)
      return "a rule deleted outside HKEY_CURRENT_USER: " + deletion.key;
  return std::nullopt;
}

}  // namespace trwk::fuzz
