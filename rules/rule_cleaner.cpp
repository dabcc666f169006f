#include "rules/rule_cleaner.h"

#include <memory>

#include "platform/text_encoding.h"
#include "platform/wildcard.h"

namespace trwk {
namespace {

std::string parentOf(const std::string& path) {
  std::size_t sep = path.find_last_of('\\');
  if (sep == std::string::npos) return path;
  return sep <= 2 ? path.substr(0, 3) : path.substr(0, sep);
}

std::string join(const std::string& folder, const std::string& name) {
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

bool matchesAny(const std::string& name, const std::vector<std::string>& masks) {
  for (const std::string& mask : masks)
    if (matchesMask(name, mask)) return true;
  return false;
}

// Whether an exclusion keeps the entry at `path`.
bool kept(const std::vector<RuleKeep>& keeps, const std::string& path, const DirEntry& entry) {
  for (const RuleKeep& keep : keeps) {
    switch (keep.kind) {
      case RuleExclude::Kind::File:
        if (!entry.isFolder && equalsNoCase(parentOf(path), keep.folder) &&
            matchesMask(entry.name, keep.mask))
          return true;
        break;
      case RuleExclude::Kind::Path:
        if (keep.mask.empty() ? isWithin(path, keep.folder)
                              : !entry.isFolder && isWithin(parentOf(path), keep.folder) &&
                                    matchesMask(entry.name, keep.mask))
          return true;
        break;
      case RuleExclude::Kind::Registry: break;
    }
  }
  return false;
}

// The walk tells each entry with its depth only; as it goes depth first, the folders it
// entered on the way give the entry's path.
class KeepRuleState {
 public:
  KeepRuleState(std::string root, const std::vector<RuleKeep>& keeps, const std::vector<std::string>* masks)
      : root_(std::move(root)), keeps_(keeps), masks_(masks) {}

  bool keep(const DirEntry& entry, int depth) {
    stack_.resize(static_cast<std::size_t>(depth < 0 ? 0 : depth));
    std::string path = root_;
    for (const std::string& name : stack_) path = join(path, name);
    path = join(path, entry.name);
    if (kept(keeps_, path, entry)) return true;
    if (entry.isFolder && !entry.isLink) {
      stack_.push_back(entry.name);  // it is entered next, and its entries follow
      return false;
    }
    return masks_ && !matchesAny(entry.name, *masks_);
  }

 private:
  std::string root_;
  const std::vector<RuleKeep>& keeps_;
  const std::vector<std::string>* masks_;  // the masks of a recursive key; none: every name
  std::vector<std::string> stack_;
};

// Whether an exclusion could keep anything in the folder's tree: a FILE exclusion keeps
// the files of its own folder only, a PATH exclusion everything below its folder too.
bool touches(const std::vector<RuleKeep>& keeps, const std::string& folder) {
  for (const RuleKeep& keep : keeps) {
    if (keep.kind == RuleExclude::Kind::Registry) continue;
    if (isWithin(keep.folder, folder)) return true;
    if (keep.kind == RuleExclude::Kind::Path && isWithin(folder, keep.folder)) return true;
  }
  return false;
}

}  // namespace

bool takesEveryName(const std::string& mask) {
  return mask == "*" || mask == "*.*";
}

RuleCleaner::RuleCleaner(Session& session, const Protection& protection)
    : session_(session),
      protection_(protection),
      paths_(session.platform.files, session.platform.desktop),
      removal_(session.platform.files, protection) {}

RulePlan RuleCleaner::plan(const RuleEntry& entry, bool strict) {
  RulePlan plan;
  if (entry.refusal) {
    plan.refusal = entry.refusal;
    return plan;
  }
  for (const RuleExclude& ex : entry.excludes) {
    if (ex.kind == RuleExclude::Kind::Registry) continue;
    std::string why;
    if (!paths_.substitute(ex.path, &why)) {
      // An exclusion that cannot be honoured leaves nothing safe to run.
      plan.refusal = "ExcludeKey at line " + std::to_string(ex.line) + ": " + why;
      return plan;
    }
    for (std::string& folder : paths_.folders(ex.path, false))
      plan.keeps.push_back({ex.kind, folder, ex.mask});
  }
  // The folders of the variables, taken whole, are whole parts of the user's settings.
  std::vector<std::pair<std::string, std::string>> whole;
  for (const std::string& name : RulePaths::variables())
    if (auto folder = paths_.substitute("%" + name + "%")) whole.emplace_back(name, *folder);

  for (const RuleFileKey& key : entry.fileKeys) {
    std::string why;
    std::vector<std::string> folders = paths_.folders(key.folder, strict, &why);
    if (!why.empty()) plan.notes.push_back("FileKey at line " + std::to_string(key.line) + ": " + why);
    for (std::string& folder : folders) {
      if (auto unsafe = unsafePathText(folder, false)) {
        plan.refusal = "FileKey at line " + std::to_string(key.line) + ": " + folder + ": " + *unsafe;
        return plan;
      }
      if (auto refused = protection_.folderRefusal(folder)) {
        plan.refusal = "FileKey at line " + std::to_string(key.line) + ": " + *refused;
        return plan;
      }
      for (const auto& [name, at] : whole) {
        const bool temp = name == "TEMP" || name == "TMP";
        if (equalsNoCase(folder, at) && (key.removeSelf || (key.recurse && !temp))) {
          plan.refusal = "FileKey at line " + std::to_string(key.line) + " takes the whole of %" + name +
                         "% (" + folder + ")";
          return plan;
        }
      }
      plan.targets.push_back({&key, std::move(folder)});
    }
  }
  return plan;
}

void RuleCleaner::cleanTarget(const RuleTarget& target, const RulePlan& plan, Trap& trap) {
  const RuleFileKey& key = *target.key;
  const std::string& folder = target.folder;
  // A folder an exclusion keeps whole is left as it is.
  for (const RuleKeep& keep : plan.keeps)
    if (keep.kind == RuleExclude::Kind::Path && keep.mask.empty() && isWithin(folder, keep.folder)) return;

  bool everyName = false;
  for (const std::string& mask : key.masks) everyName = everyName || takesEveryName(mask);

  if (!key.recurse) {
    for (const std::string& mask : key.masks) {
      auto state = std::make_shared<KeepRuleState>(folder, plan.keeps, nullptr);
      KeepRule keep = [state](const DirEntry& e, int depth) { return state->keep(e, depth); };
      trap.run([&] { removal_.deleteMatching(join(folder, mask), false, OnError::KeepGoing, keep); });
    }
    return;
  }
  if (key.removeSelf && everyName && !touches(plan.keeps, folder)) {
    trap.run([&] { removal_.deleteTree(folder, OnError::KeepGoing); });
    return;
  }
  auto state = std::make_shared<KeepRuleState>(folder, plan.keeps, everyName ? nullptr : &key.masks);
  KeepRule keep = [state](const DirEntry& e, int depth) { return state->keep(e, depth); };
  if (everyName) {
    trap.run([&] { removal_.emptyFolder(folder, OnError::KeepGoing, keep); });
  } else {
    // Every folder of the tree is walked; only the names the masks take go, and a folder
    // goes only when nothing in it stayed.
    trap.run([&] { removal_.deleteMatching(join(folder, "*"), true, OnError::KeepGoing, keep); });
  }
}

void RuleCleaner::cleanRegistry(const RuleEntry& entry, Trap& trap) {
  Registry& registry = session_.platform.registry;
  for (const RuleRegKey& key : entry.regKeys) {
    bool keep = false;
    for (const RuleExclude& ex : entry.excludes) {
      if (ex.kind != RuleExclude::Kind::Registry) continue;
      if (key.value) {
        keep = keep || (equalsNoCase(ex.path, key.key) && (!ex.value || equalsNoCase(*ex.value, *key.value)));
      } else {
        // A key goes with everything in it: any exclusion inside it keeps it.
        keep = keep || isWithin(ex.path, key.key);
      }
    }
    if (keep) continue;
    trap.run([&] {
      long status = key.value ? registry.deleteValue(RootKey::CurrentUser, key.key, *key.value)
                              : registry.deleteKey(RootKey::CurrentUser, key.key);
      if (status != regstatus::kSuccess && status != regstatus::kFileNotFound)
        throw Failure(fail::kPathFileAccess,
                      entry.name + ": HKEY_CURRENT_USER\\" + key.key +
                          (key.value ? "|" + *key.value : std::string(" (it has subkeys)")) +
                          " stays (status " + std::to_string(status) + ")");
    });
  }
}

bool RuleCleaner::clean(const RuleEntry& entry, Trap& trap) {
  RulePlan plan;
  if (!trap.run([&] { plan = this->plan(entry, true); })) return false;
  if (plan.refusal) {
    trap.report(fail::kPermissionDenied, entry.name + " refused: " + *plan.refusal);
    return false;
  }
  auto previous = removal_.onFailure;
  removal_.onFailure = [&](const Failure& f) {
    trap.report(f.number(), entry.name + ": " + f.description());
  };
  for (const RuleTarget& target : plan.targets) cleanTarget(target, plan, trap);
  removal_.onFailure = previous;
  cleanRegistry(entry, trap);
  return true;
}

}  // namespace trwk
