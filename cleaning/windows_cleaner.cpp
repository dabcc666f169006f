#include "cleaning/windows_cleaner.h"

#include "cleaning/keep_lists.h"
#include "cleaning/path_availability.h"
#include "cleaning/removal.h"
#include "cleaning/run_completion.h"
#include "cleaning/secure_removal.h"
#include "foundation/registry_layer.h"
#include "foundation/trap.h"
#include "platform/failure.h"

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

  // "Additional Garbage" has nothing of its own to remove; it counts as done.
  trap.checkpoint();
  if (items.item(21).ticked) state.progress.advance();
  context.refresh();

  trap.checkpoint();
  if (!state.cleanAllRunning) trap.run([&] { completeRun(context); });
}

}  // namespace trwk
