#pragma once
// Runs one rule entry on this system, through the removal engine only: a FileKey's masks
// in its folder (deleteMatching), in its whole tree (RECURSE: the same walk over the
// tree, or emptyFolder for every name), the folder itself too (REMOVESELF: deleteTree).
// Every exclusion is part of the walk's keep rule, so it holds before anything goes. A
// RegKey deletes a value or a key under HKEY_CURRENT_USER, unless an exclusion keeps it.
//
// An entry is run only when every folder it names passes the protected-location policy
// and none is a variable's own folder taken whole (all of %AppData%); otherwise it is
// refused as a whole, with the reason.
#include <optional>
#include <string>
#include <vector>

#include "cleaning/protection.h"
#include "cleaning/removal.h"
#include "foundation/session.h"
#include "foundation/trap.h"
#include "rules/rule_file.h"
#include "rules/rule_paths.h"

namespace trwk {

// One folder a FileKey names on this system.
struct RuleTarget {
  const RuleFileKey* key = nullptr;
  std::string folder;  // concrete, tidy
};

// An exclusion made concrete.
struct RuleKeep {
  RuleExclude::Kind kind = RuleExclude::Kind::File;
  std::string folder;  // File, Path: concrete, tidy
  std::string mask;
};

struct RulePlan {
  std::vector<RuleTarget> targets;
  std::vector<RuleKeep> keeps;
  std::optional<std::string> refusal;
  std::vector<std::string> notes;  // FileKeys that name nothing here, and why
};

class RuleCleaner {
 public:
  RuleCleaner(Session& session, const Protection& protection);

  // What the entry would touch. `strict` looks at every folder on the way below the
  // variable's folder so that none is a link (a cleaning does); without it only the
  // wildcards are listed (enough to judge the entry at start).
  RulePlan plan(const RuleEntry& entry, bool strict);

  // Cleans the entry; each failure and refusal is logged through `trap` and the next
  // target runs. False when the entry was refused.
  bool clean(const RuleEntry& entry, Trap& trap);

  const RemovalStats& stats() const { return removal_.stats(); }
  RulePaths& paths() { return paths_; }

 private:
  void cleanTarget(const RuleTarget& target, const RulePlan& plan, Trap& trap);
  void cleanRegistry(const RuleEntry& entry, Trap& trap);

  Session& session_;
  const Protection& protection_;
  RulePaths paths_;
  Removal removal_;
};

// Whether `mask` takes every name ("*", "*.*").
bool takesEveryName(const std::string& mask);

}  // namespace trwk
