#include "cleaning/recording_services.h"

#include <optional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/run_log.h"
#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk {

// --- Which item runs

namespace {

std::optional<Family> familyNamed(const std::string& name) {
  static const std::pair<const char*, Family> kNames[] = {{"Internet Explorer", Family::InternetExplorer},
                                                          {"Netscape", Family::Netscape},
                                                          {"Opera", Family::Opera},
                                                          {"Windows", Family::Windows},
                                                          {"User Defined", Family::UserDefined}};
  for (const auto& [text, family] : kNames)
    if (name == text) return family;
  return std::nullopt;
}

}  // namespace

void ItemTracker::observe() {
  if (!started_ || state_.runningFamily != family_) {
    started_ = true;
    family_ = state_.runningFamily;
    base_ = state_.progress.value;
  } else if (state_.progress.value < base_) {
    base_ = state_.progress.value;  // a family run on its own set its progress bar up anew
  }
}

ItemTracker::Item ItemTracker::current() const {
  Item item{0, state_.runningPart.empty() ? family_ : state_.runningPart, family_};
  std::optional<Family> family = familyNamed(family_);
  if (!family) return item;
  int turn = state_.progress.value - base_;
  for (int n = 1; n <= 25; ++n) {
    const CleanItem& it = catalogue_.item(n);
    if (it.family != *family || !it.ticked || !it.enabled) continue;
    if (turn-- == 0) return {n, it.label, family_};
  }
  return item;
}

// --- Helpers

std::string registryPath(RootKey root, const std::string& subkey) {
  const char* name = "HKEY";
  switch (root) {
    case RootKey::ClassesRoot: name = "HKEY_CLASSES_ROOT"; break;
    case RootKey::CurrentUser: name = "HKEY_CURRENT_USER"; break;
    case RootKey::LocalMachine: name = "HKEY_LOCAL_MACHINE"; break;
    case RootKey::Users: name = "HKEY_USERS"; break;
    case RootKey::PerformanceData: name = "HKEY_PERFORMANCE_DATA"; break;
    case RootKey::CurrentConfig: name = "HKEY_CURRENT_CONFIG"; break;
    case RootKey::DynData: name = "HKEY_DYN_DATA"; break;
    case RootKey::None: break;
  }
  return subkey.empty() ? std::string(name) : std::string(name) + "\\" + subkey;
}

namespace {

std::string valuePath(RootKey root, const std::string& subkey, const std::string& name) {
  return registryPath(root, subkey) + "\\" + name;
}

std::size_t lastSeparator(const std::string& path) {
  return path.find_last_of("\\/");
}

std::string parentOf(const std::string& path) {
  std::size_t sep = lastSeparator(path);
  if (sep == std::string::npos) return {};
  return path.substr(0, sep == 2 ? 3 : sep);  // "C:\x" lies in "C:\"
}

std::string keyOf(const std::string& path) {
  std::string key = upperCp1252(path);
  for (char& c : key)
    if (c == '/') c = '\\';
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

[[noreturn]] void raise(int number, const std::string& path) {
  throw Failure(number, failureDescription(number) + ": " + path);
}

ListOptions everything() {
  ListOptions options;
  options.files = options.folders = options.hiddenAndSystem = true;
  return options;
}

// The entry a path names in its folder's listing; the exact spelling wins.
std::optional<DirEntry> lookUp(Files& files, const std::string& path) {
  std::size_t sep = lastSeparator(path);
  if (sep == std::string::npos || sep + 1 == path.size()) return std::nullopt;
  const std::string name = path.substr(sep + 1);
  if (name.find_first_of("*?") != std::string::npos) return std::nullopt;
  std::optional<DirEntry> found;
  for (DirEntry& entry : files.list(path, everything())) {
    if (entry.name == name) return std::move(entry);
    if (!found && equalsNoCase(entry.name, name)) found = std::move(entry);
  }
  return found;
}

PlanKind kindOf(const DirEntry& entry) {
  return entry.isLink ? PlanKind::Link : entry.isFolder ? PlanKind::Folder : PlanKind::File;
}

Answer defaultAnswer(const MessageBox& box) {
  static const Answer kOrders[4][3] = {{Answer::Ok, Answer::Ok, Answer::Ok},
                                       {Answer::Ok, Answer::Cancel, Answer::Cancel},
                                       {Answer::Yes, Answer::No, Answer::No},
                                       {Answer::Yes, Answer::No, Answer::Cancel}};
  int index = box.defaultButton < 1 || box.defaultButton > 3 ? 0 : box.defaultButton - 1;
  return kOrders[static_cast<int>(box.buttons)][index];
}

enum : std::uint8_t { kUntouched = 0, kDone = 1, kSkipped = 2 };

}  // namespace

// --- The recorder

struct RunRecorder::Impl {
  Impl(Platform p, std::string folder, RecordMode m, const Plan* planGiven)
      : inner(p),
        programFolder(std::move(folder)),
        logPath(keyOf(inProgramFolder(programFolder, "trwk.log"))),
        mode(m),
        given(planGiven) {
    if (given) state.assign(given->entries().size(), kUntouched);
  }

  Platform inner;
  std::string programFolder;
  std::string logPath;
  RecordMode mode;
  const Plan* given;
  std::vector<std::uint8_t> state;  // per entry of the given plan

  Plan plan;    // a preview's plan
  Plan shadow;  // what a preview kept from happening outside any item (never reported)
  RunReport report;
  ItemTracker* tracker = nullptr;
  std::function<void(std::size_t)>* onEntries = nullptr;
  std::function<bool()>* stopped = nullptr;

  // A preview's view of what it has written: file contents and registry values by path.
  std::unordered_map<std::string, std::string> written;
  std::unordered_map<std::string, std::string> valuesWritten;
  std::set<std::string> keysCreated;

  bool preview() const { return mode == RecordMode::Preview; }
  bool stoppedLooking() const { return preview() && stopped && *stopped && (*stopped)(); }
  bool tracking() const { return tracker != nullptr; }

  // The program's own files: anything directly in the program folder.
  bool own(const std::string& path) const { return keyOf(parentOf(path)) == keyOf(programFolder); }
  bool isLog(const std::string& path) const { return keyOf(path) == logPath; }

  std::uint16_t group(GroupTable& table) {
    tracker->observe();
    ItemTracker::Item item = tracker->current();
    return table.indexOf(item.number, item.label, item.family);
  }

  // A preview plans the change (or keeps it in the shadow outside any item); the other
  // modes count it.
  void note(PlanEntry entry) {
    if (preview()) {
      if (tracking()) {
        entry.group = group(plan);
        plan.add(std::move(entry));
      } else {
        entry.group = shadow.indexOf(0, "", "");
        shadow.add(std::move(entry));
      }
      return;
    }
    if (!tracking()) return;
    entry.group = group(report);
    report.at(entry.group).totals.add(entry);
  }

  void failedStep() {
    if (!tracking()) return;
    if (preview())
      plan.addFailure(group(plan));
    else
      report.at(group(report)).totals.failed += 1;
  }

  // Planned: whether the entry of this kind and path may go, given what it is now.
  // Marks a planned entry that changed as skipped.
  bool allowed(const std::string& path, PlanKind kind, std::uint64_t sizeNow, bool sizeMatters) {
    std::size_t at = given->find(path, kind);
    if (at == Plan::npos) return false;  // not in the plan: appeared since, or never shown
    const PlanEntry& planned = given->entries()[at];
    const bool sameKind = planned.kind == kind || (kind == PlanKind::File && planned.kind == PlanKind::Link);
    if (!sameKind || (sizeMatters && planned.size != sizeNow)) {
      skip(at, "changed since the preview");
      return false;
    }
    return true;
  }
  void done(const std::string& path, PlanKind kind) {
    std::size_t at = given->find(path, kind);
    if (at != Plan::npos && state[at] == kUntouched) state[at] = kDone;
  }
  void skip(std::size_t at, const char* why) {
    if (state[at] != kUntouched) return;
    state[at] = kSkipped;
    const PlanEntry& planned = given->entries()[at];
    const PlanGroup& g = given->groups()[planned.group];
    std::uint16_t mine = report.indexOf(g.item, g.label, g.family);
    report.at(mine).totals.skipped += 1;
    SkippedEntry skipped{planned, why};
    skipped.entry.group = mine;
    report.skipped.push_back(std::move(skipped));
  }

  // A preview's answer to "is this path gone?".
  bool gone(const std::string& path) const {
    if (!preview()) return false;
    if (!written.empty() && written.count(keyOf(path))) return false;
    for (const Plan* p : {&plan, &shadow}) {
      if (p->entries().empty()) continue;
      if (p->find(path, PlanKind::File) != Plan::npos || p->find(path, PlanKind::Folder) != Plan::npos ||
          p->insideRemovedFolder(path))
        return true;
    }
    return false;
  }
  bool keyGone(RootKey root, const std::string& subkey) const {
    if (!preview()) return false;
    const std::string key = registryPath(root, subkey);
    if (keysCreated.count(keyOf(key))) return false;
    return plan.find(key, PlanKind::RegistryKey) != Plan::npos ||
           shadow.find(key, PlanKind::RegistryKey) != Plan::npos;
  }
  bool valueGone(RootKey root, const std::string& subkey, const std::string& name) const {
    if (!preview()) return false;
    const std::string path = valuePath(root, subkey, name);
    if (valuesWritten.count(keyOf(path))) return false;
    return keyGone(root, subkey) || plan.find(path, PlanKind::RegistryValue) != Plan::npos ||
           shadow.find(path, PlanKind::RegistryValue) != Plan::npos;
  }

  std::optional<DirEntry> entryNow(const std::string& path) {
    if (preview()) {
      if (auto w = written.find(keyOf(path)); w != written.end()) {
        DirEntry entry;
        entry.name = path.substr(lastSeparator(path) + 1);
        entry.size = w->second.size();
        return entry;
      }
      if (gone(path)) return std::nullopt;
    }
    return lookUp(inner.files, path);
  }
  std::uint64_t sizeNow(const std::string& path) {
    std::optional<DirEntry> entry = entryNow(path);
    return entry && !entry->isFolder && !entry->isLink ? entry->size : 0;
  }

  class Files;
  class Registry;
  class Desktop;
  class Ui;
  std::unique_ptr<trwk::Files> files;
  std::unique_ptr<trwk::Registry> registry;
  std::unique_ptr<trwk::Desktop> desktop;
  std::unique_ptr<trwk::Ui> ui;
};

// --- Files

namespace {

// Passes a walk's questions on and notes every entry that goes (or would go).
class NotingSink : public WalkSink {
 public:
  NotingSink(WalkSink& inner, std::function<bool(const std::string&, const DirEntry&)> allow,
             std::function<void(const std::string&, const DirEntry&)> went)
      : inner_(inner), allow_(std::move(allow)), went_(std::move(went)) {}

  bool mayEnter(const std::string& folder, const FolderId& id) override {
    return inner_.mayEnter(folder, id);
  }
  bool select(const std::string& path, const DirEntry& entry, int depth) override {
    return inner_.select(path, entry, depth) && (!allow_ || allow_(path, entry));
  }
  void removed(const std::string& path, const DirEntry& entry, int depth) override {
    inner_.removed(path, entry, depth);
    went_(path, entry);
  }
  void failed(const Failure& failure) override { inner_.failed(failure); }
  void leftAlone(const std::string& path, const std::string& why) override { inner_.leftAlone(path, why); }

 private:
  WalkSink& inner_;
  std::function<bool(const std::string&, const DirEntry&)> allow_;
  std::function<void(const std::string&, const DirEntry&)> went_;
};

}  // namespace

class RunRecorder::Impl::Files : public trwk::Files {
 public:
  explicit Files(Impl& r) : r_(r), inner_(r.inner.files) {}

  bool fileExists(const std::string& path) override {
    if (r_.stoppedLooking()) return false;
    if (r_.preview() && r_.written.count(keyOf(path))) return true;
    return !r_.gone(path) && inner_.fileExists(path);
  }
  bool folderExists(const std::string& path) override {
    return !r_.stoppedLooking() && !r_.gone(path) && inner_.folderExists(path);
  }
  std::vector<DirEntry> list(const std::string& pattern, const ListOptions& options) override {
    if (r_.stoppedLooking()) return {};
    std::vector<DirEntry> entries = inner_.list(pattern, options);
    if (!r_.preview() || (r_.plan.entries().empty() && r_.shadow.entries().empty())) return entries;
    std::size_t sep = lastSeparator(pattern);
    if (sep == std::string::npos) return entries;
    const std::string folder = pattern.substr(0, sep + 1);
    if (r_.gone(folder)) return {};
    std::vector<DirEntry> kept;
    kept.reserve(entries.size());
    for (DirEntry& e : entries)
      if (!r_.gone(folder + e.name)) kept.push_back(std::move(e));
    return kept;
  }
  std::optional<std::uint64_t> fileSize(const std::string& path) override {
    if (r_.preview()) {
      if (auto w = r_.written.find(keyOf(path)); w != r_.written.end()) return w->second.size();
      if (r_.gone(path)) return std::nullopt;
    }
    return inner_.fileSize(path);
  }
  std::optional<FileTime> lastWriteTime(const std::string& path) override {
    if (r_.gone(path)) return std::nullopt;
    return inner_.lastWriteTime(path);
  }
  std::string readAll(const std::string& path) override {
    if (r_.preview()) {
      if (auto w = r_.written.find(keyOf(path)); w != r_.written.end()) return w->second;
      if (r_.gone(path)) raise(fail::kFileNotFound, path);
    }
    return inner_.readAll(path);
  }

  void appendText(const std::string& path, const std::string& bytes) override {
    const bool own = r_.own(path);
    if (r_.isLog(path)) r_.failedStep();
    if (r_.preview()) {
      std::string before = contentOr(path, "");
      if (!own) r_.note({path, before.size(), before.size() + bytes.size(), PlanKind::Rewrite, 0});
      r_.written[keyOf(path)] = before + bytes;
      return;
    }
    if (!own && !passRewrite(path, bytes.size(), true)) return;
    inner_.appendText(path, bytes);
  }
  void replaceAtomically(const std::string& path, const std::string& bytes) override {
    if (r_.preview()) {
      if (!folderExists(parentOf(path))) raise(fail::kPathNotFound, path);
      if (!r_.own(path)) r_.note({path, r_.sizeNow(path), bytes.size(), PlanKind::Rewrite, 0});
      r_.written[keyOf(path)] = bytes;
      return;
    }
    if (!r_.own(path) && !passRewrite(path, bytes.size(), false)) return;
    inner_.replaceAtomically(path, bytes);
  }
  void createFolder(const std::string& path) override {
    if (r_.preview()) return;  // nothing a cleaner makes; a preview makes nothing
    inner_.createFolder(path);
  }
  void deleteFile(const std::string& path) override {
    std::optional<DirEntry> entry = r_.entryNow(path);
    const PlanKind kind = entry ? kindOf(*entry) : PlanKind::File;
    const std::uint64_t size = entry && kind == PlanKind::File ? entry->size : 0;
    if (r_.preview()) {
      if (!entry) raise(fail::kFileNotFound, path);
      if (kind == PlanKind::Folder) raise(fail::kPathFileAccess, path);
      r_.written.erase(keyOf(path));
      r_.note({path, size, 0, kind, 0});
      return;
    }
    if (r_.mode == RecordMode::Planned && r_.tracking()) {
      if (!entry || !r_.allowed(path, kind, size, kind == PlanKind::File)) return;
      inner_.deleteFile(path);
      r_.done(path, kind);
    } else {
      inner_.deleteFile(path);
    }
    if (entry) r_.note({path, size, 0, kind, 0});
  }
  void removeFolder(const std::string& path) override {
    if (r_.preview()) {
      if (!folderExists(path)) raise(fail::kPathNotFound, path);
      if (!list(path + "\\*", everything()).empty()) raise(fail::kPathFileAccess, path);
      r_.note({path, 0, 0, PlanKind::Folder, 0});
      return;
    }
    if (r_.mode == RecordMode::Planned && r_.tracking()) {
      if (!r_.allowed(path, PlanKind::Folder, 0, false)) return;
      inner_.removeFolder(path);
      r_.done(path, PlanKind::Folder);
    } else {
      inner_.removeFolder(path);
    }
    r_.note({path, 0, 0, PlanKind::Folder, 0});
  }
  void copyFile(const std::string& from, const std::string& to, bool overwrite) override {
    if (r_.preview()) {
      if (!fileExists(from)) raise(fail::kFileNotFound, from);
      if (!folderExists(parentOf(to))) raise(fail::kPathNotFound, to);
      if (!overwrite && fileExists(to)) raise(fail::kFileExists, to);
      std::string content = readAll(from);
      if (!r_.own(to)) r_.note({to, r_.sizeNow(to), content.size(), PlanKind::Rewrite, 0});
      r_.written[keyOf(to)] = std::move(content);
      return;
    }
    if (!r_.own(to) && !passRewrite(to, inner_.fileSize(from).value_or(0), false)) return;
    inner_.copyFile(from, to, overwrite);
  }
  void clearAttributes(const std::string& path) override {
    if (r_.preview()) {
      if (!r_.entryNow(path)) raise(fail::kFileNotFound, path);
      return;
    }
    if (r_.mode == RecordMode::Planned && r_.tracking() && !r_.own(path) &&
        r_.given->find(path, PlanKind::File) == Plan::npos &&
        r_.given->find(path, PlanKind::Folder) == Plan::npos &&
        r_.given->find(path, PlanKind::Rewrite) == Plan::npos)
      return;
    inner_.clearAttributes(path);
  }
  void overwriteInPlace(const std::string& path, const std::string& filler) override {
    if (r_.preview()) {
      if (filler.empty()) raise(fail::kInvalidCall, path);
      if (!r_.entryNow(path)) raise(fail::kFileNotFound, path);
      return;
    }
    // The overwrite passes of a planned cookie file still run; nothing else is written.
    if (r_.mode == RecordMode::Planned && r_.tracking()) {
      std::size_t at = r_.given->find(path, PlanKind::File);
      if (at == Plan::npos || r_.given->entries()[at].kind != PlanKind::File) return;
      if (r_.given->entries()[at].size != r_.sizeNow(path)) {
        r_.skip(at, "changed since the preview");
        return;
      }
    }
    inner_.overwriteInPlace(path, filler);
  }
  std::optional<std::uint64_t> driveFreeBytes(const std::string& root) override {
    return inner_.driveFreeBytes(root);
  }
  std::optional<FolderId> folderId(const std::string& path) override {
    if (r_.gone(path)) return std::nullopt;
    return inner_.folderId(path);
  }

  void removeWithin(const WalkRequest& request, WalkSink& sink) override {
    // Somebody else's preview walk changes nothing: it is no concern of this run.
    if (request.dryRun) return inner_.removeWithin(request, sink);
    if (r_.preview()) {
      if (r_.stoppedLooking()) return;
      if (r_.gone(request.folder)) raise(fail::kPathNotFound, request.folder);
      WalkRequest dry = request;
      dry.dryRun = true;
      std::size_t noted = 0;
      // Entries that went already in this run are not planned twice. A stopped preview
      // takes no further entry, and so goes into no further folder.
      auto looking = [this](const std::string&, const DirEntry&) { return !r_.stoppedLooking(); };
      NotingSink noting(sink, looking, [&](const std::string& path, const DirEntry& entry) {
        const PlanKind kind = kindOf(entry);
        r_.note({path, kind == PlanKind::File ? entry.size : 0, 0, kind, 0});
        if (++noted % 256 == 0 && r_.onEntries && *r_.onEntries) (*r_.onEntries)(r_.plan.entries().size());
      });
      inner_.removeWithin(dry, noting);
      return;
    }
    std::function<bool(const std::string&, const DirEntry&)> allow;
    WalkRequest walk = request;
    if (r_.mode == RecordMode::Planned && r_.tracking()) {
      allow = [this](const std::string& path, const DirEntry& entry) {
        const PlanKind kind = kindOf(entry);
        return r_.allowed(path, kind, entry.size, kind == PlanKind::File);
      };
      // The walk asks nobody about its own folder: it goes only when the plan holds it.
      if (walk.removeFolder && !r_.allowed(walk.folder, PlanKind::Folder, 0, false))
        walk.removeFolder = false;
    }
    NotingSink noting(sink, allow, [&](const std::string& path, const DirEntry& entry) {
      const PlanKind kind = kindOf(entry);
      if (r_.mode == RecordMode::Planned && r_.tracking()) r_.done(path, kind);
      r_.note({path, kind == PlanKind::File ? entry.size : 0, 0, kind, 0});
    });
    inner_.removeWithin(walk, noting);
  }

 private:
  std::string contentOr(const std::string& path, std::string otherwise) {
    try {
      return readAll(path);
    } catch (const Failure&) {
      return otherwise;
    }
  }

  // Planned and Counted: whether a rewrite of someone else's file goes through, noted.
  bool passRewrite(const std::string& path, std::uint64_t newSize, bool appending) {
    const std::uint64_t before = r_.sizeNow(path);
    if (r_.mode == RecordMode::Planned && r_.tracking()) {
      if (!r_.allowed(path, PlanKind::Rewrite, before, false)) return false;
      r_.done(path, PlanKind::Rewrite);
    }
    r_.note({path, before, appending ? before + newSize : newSize, PlanKind::Rewrite, 0});
    return true;
  }

  Impl& r_;
  trwk::Files& inner_;
};

// --- Registry

class RunRecorder::Impl::Registry : public trwk::Registry {
 public:
  explicit Registry(Impl& r) : r_(r), inner_(r.inner.registry) {}

  long keyExists(RootKey root, const std::string& subkey) override {
    if (r_.preview()) {
      if (r_.keysCreated.count(keyOf(registryPath(root, subkey)))) return regstatus::kSuccess;
      if (r_.keyGone(root, subkey)) return regstatus::kFileNotFound;
    }
    return inner_.keyExists(root, subkey);
  }
  long createKey(RootKey root, const std::string& subkey) override {
    if (!r_.preview()) return inner_.createKey(root, subkey);
    r_.keysCreated.insert(keyOf(registryPath(root, subkey)));
    return regstatus::kSuccess;
  }
  long setString(RootKey root, const std::string& subkey, const std::string& name,
                 const std::string& value) override {
    const std::string path = valuePath(root, subkey, name);
    const std::uint64_t before = dataSize(root, subkey, name);
    if (r_.preview()) {
      long exists = keyExists(root, subkey);
      if (exists != regstatus::kSuccess) return exists;
      r_.note({path, before, value.size(), PlanKind::Rewrite, 0});
      r_.valuesWritten[keyOf(path)] = value;
      return regstatus::kSuccess;
    }
    if (r_.mode == RecordMode::Planned && r_.tracking()) {
      if (!r_.allowed(path, PlanKind::Rewrite, before, false)) return regstatus::kSuccess;
      r_.done(path, PlanKind::Rewrite);
    }
    long status = inner_.setString(root, subkey, name, value);
    if (status == regstatus::kSuccess) r_.note({path, before, value.size(), PlanKind::Rewrite, 0});
    return status;
  }
  long queryValue(RootKey root, const std::string& subkey, const std::string& name, RegValue& out) override {
    if (r_.preview()) {
      if (auto w = r_.valuesWritten.find(keyOf(valuePath(root, subkey, name))); w != r_.valuesWritten.end()) {
        out = {ValueType::String, w->second};
        return regstatus::kSuccess;
      }
      if (r_.valueGone(root, subkey, name)) return regstatus::kFileNotFound;
    }
    return inner_.queryValue(root, subkey, name, out);
  }
  long deleteValue(RootKey root, const std::string& subkey, const std::string& name) override {
    const std::string path = valuePath(root, subkey, name);
    RegValue now;
    long found = queryValue(root, subkey, name, now);
    if (r_.preview()) {
      if (found != regstatus::kSuccess) return found;
      r_.valuesWritten.erase(keyOf(path));
      r_.note({path, now.data.size(), 0, PlanKind::RegistryValue, 0});
      return regstatus::kSuccess;
    }
    if (r_.mode == RecordMode::Planned && r_.tracking()) {
      if (found != regstatus::kSuccess || !r_.allowed(path, PlanKind::RegistryValue, now.data.size(), true))
        return regstatus::kFileNotFound;
    }
    long status = inner_.deleteValue(root, subkey, name);
    if (status == regstatus::kSuccess) {
      if (r_.mode == RecordMode::Planned && r_.tracking()) r_.done(path, PlanKind::RegistryValue);
      r_.note({path, now.data.size(), 0, PlanKind::RegistryValue, 0});
    }
    return status;
  }
  long deleteKey(RootKey root, const std::string& subkey) override {
    const std::string path = registryPath(root, subkey);
    if (r_.preview()) {
      // Whether the key still has subkeys cannot be asked here; a key is planned as it is.
      long exists = keyExists(root, subkey);
      if (exists != regstatus::kSuccess) return exists;
      r_.keysCreated.erase(keyOf(path));
      r_.note({path, 0, 0, PlanKind::RegistryKey, 0});
      return regstatus::kSuccess;
    }
    if (r_.mode == RecordMode::Planned && r_.tracking() && !r_.allowed(path, PlanKind::RegistryKey, 0, false))
      return regstatus::kFileNotFound;
    long status = inner_.deleteKey(root, subkey);
    if (status == regstatus::kSuccess) {
      if (r_.mode == RecordMode::Planned && r_.tracking()) r_.done(path, PlanKind::RegistryKey);
      r_.note({path, 0, 0, PlanKind::RegistryKey, 0});
    }
    return status;
  }

 private:
  std::uint64_t dataSize(RootKey root, const std::string& subkey, const std::string& name) {
    RegValue value;
    return queryValue(root, subkey, name, value) == regstatus::kSuccess ? value.data.size() : 0;
  }

  Impl& r_;
  trwk::Registry& inner_;
};

// --- Desktop and Ui

class RunRecorder::Impl::Desktop : public trwk::Desktop {
 public:
  explicit Desktop(Impl& r) : r_(r), inner_(r.inner.desktop) {}
  std::optional<std::string> knownFolder(KnownFolder id) override { return inner_.knownFolder(id); }
  std::string programFolder() override { return inner_.programFolder(); }
  bool startProgram(const std::string& path, const std::string& arguments) override {
    return r_.preview() || inner_.startProgram(path, arguments);
  }
  // The bin is one entry, its size the bytes of the files in it. Cleaning from a plan,
  // a bin that holds other bytes than the preview showed is not emptied.
  bool emptyRecycleBin() override {
    static const std::string kBin = "Recycle Bin";
    const std::optional<RecycleBinContent> content = inner_.recycleBinContent();
    const std::uint64_t bytes = content ? content->bytes : 0;
    if (r_.preview()) {
      r_.note({kBin, bytes, 0, PlanKind::RecycleBin, 0});
      return true;
    }
    if (r_.mode == RecordMode::Planned && r_.tracking()) {
      if (!r_.allowed(kBin, PlanKind::RecycleBin, bytes, content.has_value())) return true;
      r_.done(kBin, PlanKind::RecycleBin);
    }
    bool emptied = inner_.emptyRecycleBin();
    if (emptied) r_.note({kBin, bytes, 0, PlanKind::RecycleBin, 0});
    return emptied;
  }
  std::optional<RecycleBinContent> recycleBinContent() override { return inner_.recycleBinContent(); }

 private:
  Impl& r_;
  trwk::Desktop& inner_;
};

// A preview's cleaner talks to nobody: its boxes take their default answer unseen.
class RunRecorder::Impl::Ui : public trwk::Ui {
 public:
  explicit Ui(Impl& r) : r_(r), inner_(r.inner.ui) {}
  Answer messageBox(const MessageBox& box) override {
    if (r_.preview() && r_.tracking()) return defaultAnswer(box);
    return inner_.messageBox(box);
  }
  std::optional<std::string> pickFolder(const std::string& title) override {
    return inner_.pickFolder(title);
  }
  void setBusy(bool busy) override { inner_.setBusy(busy); }
  void doEvents() override { inner_.doEvents(); }

 private:
  Impl& r_;
  trwk::Ui& inner_;
};

RunRecorder::RunRecorder(Platform inner, std::string programFolder, RecordMode mode, const Plan* plan)
    : impl_(std::make_unique<Impl>(inner, std::move(programFolder), mode, plan)) {
  impl_->files = std::make_unique<Impl::Files>(*impl_);
  impl_->registry = std::make_unique<Impl::Registry>(*impl_);
  impl_->desktop = std::make_unique<Impl::Desktop>(*impl_);
  impl_->ui = std::make_unique<Impl::Ui>(*impl_);
  impl_->onEntries = &onEntries;
  impl_->stopped = &stopped;
}

RunRecorder::~RunRecorder() = default;

Platform RunRecorder::platform() {
  return {*impl_->files,      *impl_->registry,    *impl_->desktop,
          impl_->inner.clock, impl_->inner.random, *impl_->ui};
}

void RunRecorder::track(ItemTracker* tracker) {
  impl_->tracker = tracker;
}

Plan& RunRecorder::plan() {
  return impl_->plan;
}

RunReport& RunRecorder::report() {
  return impl_->report;
}

void RunRecorder::finishPlanned() {
  if (!impl_->given) return;
  for (std::size_t i = 0; i < impl_->state.size(); ++i)
    impl_->skip(i, impl_->given->entries()[i].kind == PlanKind::Folder
                       ? "kept: it went, or something new is in it"
                       : "no longer there, or not reached");
}

}  // namespace trwk
