#include "cleaning/opera_cleaner.h"

#include <cstdint>

#include "cleaning/keep_lists.h"
#include "cleaning/path_availability.h"
#include "cleaning/removal.h"
#include "cleaning/run_completion.h"
#include "cleaning/secure_removal.h"
#include "foundation/trap.h"
#include "platform/failure.h"

namespace trwk {

namespace {

// The stored user folder ends in a backslash; one typed without it names the same folder.
std::string withSeparator(const std::string& folder) {
  return !folder.empty() && folder.back() != '\\' && folder.back() != '/' ? folder + "\\" : folder;
}

}  // namespace

void cleanOpera(CleaningContext& context) {
  Session& session = context.session;
  Files& files = session.platform.files;
  RunState& state = context.state;
  CleanCatalogue& items = context.catalogue;
  Trap trap(session.log, "cmdCleanOpera");

  state.runningFamily = "Opera";
  state.statusText = "Please Wait";
  context.refresh();
  trap.checkpoint();
  if (!state.cleanAllRunning) {
    trap.run([&] {
      beginFamilyRun(context, static_cast<int>(Family::Opera));
      state.animation.interval = 1000;
    });
  }

  const PathValues& paths = context.paths;
  const bool userKnown = locationKnown(paths.opera1);
  const std::string user = withSeparator(paths.opera1);
  Removal removal(session);
  // Deletes one file of the user folder when it is there.
  auto removeUserFile = [&](const char* name) {
    trap.run([&] {
      const std::string path = user + name;
      if (files.fileExists(path)) removal.deleteFile(path);
    });
  };

  // Unlike Netscape's, the cache goes during automatic cleaning too.
  trap.checkpoint();
  if (items.item(10).ticked) {
    if (locationKnown(paths.opera2)) {
      trap.run([&] {
        if (files.folderExists(paths.opera2))
          removal.deleteMatching(folderFile(paths.opera2, "*.*"), false, OnError::Stop);
      });
    }
    state.progress.advance();
  }

  // The window layout and the global history go; a clean, empty layout takes their place
  // so that the browser opens no remembered windows.
  trap.checkpoint();
  if (items.item(11).ticked) {
    if (userKnown) {
      removeUserFile("opera.win");
      trap.checkpoint();
      removeUserFile("global.dat");
      trap.checkpoint();
      trap.run([&] {
        if (files.folderExists(user)) files.copyFile(session.inFolder("opera.win"), user + "opera.win", true);
      });
    }
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(12).ticked) {
    if (userKnown && files.fileExists(user + "cookies4.dat")) {
      std::int16_t count = 0;
      trap.run([&] { count = passes(items.safetyLevel); });
      SecureRemoval secure(session);
      for (int pass = 0; pass < count; ++pass) trap.run([&] { secure.overWriteFileOpera(user); });
      trap.checkpoint();
      removeUserFile("cookies4.dat");
    }
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(13).ticked) {
    if (userKnown) {
      removeUserFile("opera.dir");
      trap.checkpoint();
      removeUserFile("vlink4.dat");
    }
    state.progress.advance();
  }
  context.refresh();

  trap.checkpoint();
  if (!state.cleanAllRunning) trap.run([&] { completeRun(context); });
}

}  // namespace trwk
