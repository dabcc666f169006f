#include "cleaning/inet_properties.h"

#include "cleaning/keep_lists.h"
#include "cleaning/removal.h"
#include "foundation/trap.h"
#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk {

namespace {

// The locked index and the file that gives the folder its view stay, at every level.
bool spared(const DirEntry& entry, int) {
  return !entry.isFolder && !entry.isLink &&
         (equalsNoCase(entry.name, "index.dat") || equalsNoCase(entry.name, "desktop.ini"));
}

void emptyFolder(Session& session, Trap& trap, const std::string& folder) {
  if (folder.empty() || folder == "-") return;
  if (!session.platform.files.folderExists(folder)) {
    trap.report(fail::kPathNotFound, failureDescription(fail::kPathNotFound) + ": " + folder);
    return;
  }
  // A protected folder (a drive root, the Windows folder …) is refused by the engine.
  Removal removal(session);
  removal.onFailure = [&](const Failure& f) { trap.report(f.number(), f.description()); };
  trap.run([&] { removal.emptyFolder(folder, OnError::KeepGoing, spared); });
}

}  // namespace

void showInetProperties(CleaningContext& context, int mode) {
  Session& session = context.session;
  Trap trap(session.log, "ShowInetProperties");
  if (mode == kInetTemporaryFiles || mode == kInetBoth) {
    trap.checkpoint();
    emptyFolder(session, trap, context.paths.ie2);
    trap.checkpoint();
    emptyFolder(session, trap, context.paths.ie4);
    context.state.progress.advance();
    context.refresh();
  }
  if (mode == kInetHistory || mode == kInetBoth) {
    trap.checkpoint(100);
    emptyFolder(session, trap, context.paths.ie1);
    context.state.progress.advance();
    context.refresh();
  }
}

}  // namespace trwk
