#include "cleaning/windows_cleaner.h"

#include <optional>

#include "cleaning/keep_lists.h"
#include "cleaning/path_availability.h"
#include "cleaning/protection.h"
#include "cleaning/removal.h"
#include "cleaning/run_completion.h"
#include "cleaning/secure_removal.h"
#include "foundation/registry_layer.h"
#include "foundation/trap.h"
#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk {

namespace {

constexpr const char* kWorking = "Cleaning Windows Files";
constexpr const char* kRunHistory = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
constexpr const char* kSearchHistory =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU";
constexpr const char* kScandiskFiles = "C:\\*.chk";

// The lettered entries of a most-recently-used list. The list's order value stays: the
// shell skips letters it names that are gone. A letter that is not there is no failure.
void clearMruList(Session& session, const char* key) {
  RegistryLayer registry(session.platform.registry, session.platform.ui);
  for (int n = 1; n <= 20; ++n) registry.deleteValue(RootKey::CurrentUser, key, mruLetter(n));
}

// A folder the shell knows, or nothing (also when it cannot answer).
std::optional<std::string> shellFolder(Desktop& desktop, KnownFolder id) {
  try {
    std::optional<std::string> folder = desktop.knownFolder(id);
    if (folder && !folder->empty()) return folder;
  } catch (...) {
  }
  return std::nullopt;
}

// Whether two folder texts name one folder: by their text, or by what they are where
// both can be reached (a short name, another spelling).
bool sameFolder(Files& files, const std::string& a, const std::string& b) {
  if (upperCp1252(normalFolderText(a)) == upperCp1252(normalFolderText(b))) return true;
  std::optional<FolderId> first = files.folderId(a), second = files.folderId(b);
  return first && second && *first == *second;
}

// "Additional Garbage" (kAdditionalGarbageHelp): this user's own leftovers, each in a folder
// the shell names. A folder that is not there is nothing to do; the engine refuses a
// protected one, as everywhere, and whatever cannot go (a thumbnail cache Explorer holds
// open) is logged and left for a later cleaning.
void cleanAdditionalGarbage(Session& session, Trap& trap, const PathValues& paths) {
  Files& files = session.platform.files;
  Desktop& desktop = session.platform.desktop;
  auto report = [&](const Failure& f) { trap.report(f.number(), f.description()); };

  // The user's own temporary folder, swept as item 16 sweeps; the Windows one is item 16's.
  if (std::optional<std::string> temp = shellFolder(desktop, KnownFolder::Temp);
      temp && locationKnown(*temp) && files.folderExists(*temp)) {
    bool windows = locationKnown(paths.win2) && sameFolder(files, *temp, paths.win2);
    if (std::optional<std::string> root = shellFolder(desktop, KnownFolder::Windows))
      windows = windows || sameFolder(files, *temp, folderFile(*root, "Temp"));
    if (!windows)
      trap.run(
          [&] { SecureRemoval(session).sweepOldFiles(1, folderFile(*temp, "*.*"), std::nullopt, &trap); });
  }

  std::optional<std::string> local = shellFolder(desktop, KnownFolder::LocalAppData);
  if (!local) return;
  Removal removal(session);
  removal.onFailure = report;
  auto in = [&](const char* relative) { return folderFile(*local, relative); };
  auto withMask = [&](const char* folder, const char* mask) {
    if (files.folderExists(in(folder)))
      trap.run([&] { removal.deleteMatching(folderFile(in(folder), mask), false, OnError::KeepGoing); });
  };
  withMask("CrashDumps", "*.dmp");
  for (const char* reports :
       {"Microsoft\\Windows\\WER\\ReportArchive", "Microsoft\\Windows\\WER\\ReportQueue"})
    if (files.folderExists(in(reports)))
      trap.run([&] { removal.emptyFolder(in(reports), OnError::KeepGoing); });
  withMask("Microsoft\\Windows\\Explorer", "thumbcache_*.db");
}

}  // namespace

void cleanWindows(CleaningContext& context) {
  Session& session = context.session;
  Files& files = session.platform.files;
  RunState& state = context.state;
  CleanCatalogue& items = context.catalogue;
  const PathValues& paths = context.paths;
  Trap trap(session.log, "cmdCleanWin");

  state.runningFamily = "Windows";
  state.statusText = "Please Wait";
  context.refresh();
  state.statusText = kWorking;
  context.refresh();
  trap.checkpoint();
  if (!state.cleanAllRunning) {
    trap.run([&] {
      beginFamilyRun(context, static_cast<int>(Family::Windows));
      state.animation.interval = 1000;
    });
  }

  Removal removal(session);
  // Files only: a file that cannot be deleted ends the step.
  auto deleteFiles = [&](const std::string& pattern) {
    trap.run([&] { removal.deleteMatching(pattern, false, OnError::Stop); });
  };

  trap.checkpoint();
  if (items.item(14).ticked) {
    if (locationKnown(paths.win1) && files.folderExists(paths.win1))
      deleteFiles(folderFile(paths.win1, "*.*"));
    state.progress.advance();
  }

  // Downloaded programs go with their folders, permanently; what cannot go is logged once
  // and the rest still goes.
  trap.checkpoint();
  const CleanItem& downloaded = items.item(15);
  if (downloaded.ticked && downloaded.enabled) {
    if (locationKnown(paths.win3) && files.folderExists(paths.win3)) {
      trap.run([&] {
        Removal all(session);
        all.deleteMatching(folderFile(paths.win3, "*.*"), true, OnError::KeepGoing);
        if (all.firstFailure() != 0) throw Failure(all.firstFailure(), all.firstFailureText());
      });
    }
    state.progress.advance();
  }

  // Temporary files changed before today.
  trap.checkpoint();
  const CleanItem& temporary = items.item(16);
  if (temporary.ticked && temporary.enabled) {
    if (locationKnown(paths.win2))
      trap.run([&] {
        SecureRemoval(session).sweepOldFiles(1, folderFile(paths.win2, "*.*"), std::nullopt, &trap);
      });
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(17).ticked) {
    state.statusText = "Cleaning Recycle Bin";
    context.refresh();
    Trap bin(session.log, "EmptyBitBucket");
    bin.checkpoint();
    bin.run([&] {
      if (!session.platform.desktop.emptyRecycleBin())
        throw Failure(fail::kPathFileAccess, "The Recycle Bin could not be emptied");
    });
    session.platform.ui.doEvents();
    state.statusText = kWorking;
    state.progress.advance();
    context.refresh();
  }

  trap.checkpoint();
  if (items.item(18).ticked) {
    if (files.folderExists("C:\\")) deleteFiles(kScandiskFiles);
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(19).ticked) {
    trap.run([&] { clearMruList(session, kRunHistory); });
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(20).ticked) {
    trap.run([&] { clearMruList(session, kSearchHistory); });
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(21).ticked) {
    trap.run([&] { cleanAdditionalGarbage(session, trap, paths); });
    state.progress.advance();
  }
  context.refresh();

  trap.checkpoint();
  if (!state.cleanAllRunning) trap.run([&] { completeRun(context); });
}

}  // namespace trwk
