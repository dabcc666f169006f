#include "cleaning/inet_properties.h"

#include <optional>

#include "cleaning/keep_lists.h"
#include "cleaning/protection.h"
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

bool sameFolder(const std::string& a, const std::string& b) {
  return upperCp1252(normalFolderText(a)) == upperCp1252(normalFolderText(b));
}

std::string lastPart(const std::string& folder) {
  std::string normal = normalFolderText(folder);
  std::size_t sep = normal.find_last_of("\\/");
  return sep == std::string::npos ? normal : normal.substr(sep + 1);
}

const char* nameOf(IeFolder kind) {
  switch (kind) {
    case IeFolder::History: return "History";
    case IeFolder::Cache: return "temporary Internet files";
    case IeFolder::CacheIndex: return "cache index";
  }
  return "";
}

void emptyFolder(Session& session, Trap& trap, const std::string& folder, IeFolder kind) {
  if (folder.empty() || folder == "-") return;
  // Text no cleaning step takes is refused as the engine refuses it, before any probe.
  if (auto why = unsafePathText(folder, false)) {
    trap.report(fail::kInvalidCall,
                failureDescription(fail::kInvalidCall) + ": " + folder + " (refused: " + *why + ")");
    return;
  }
  if (!session.platform.files.folderExists(folder)) {
    trap.report(fail::kPathNotFound, failureDescription(fail::kPathNotFound) + ": " + folder);
    return;
  }
  if (!isInternetExplorerFolder(session, folder, kind)) {
    trap.report(fail::kPathFileAccess, failureDescription(fail::kPathFileAccess) + ": " + folder +
                                           " is not Internet Explorer's " + nameOf(kind) +
                                           " folder; nothing in it was touched");
    return;
  }
  // A protected folder (a drive root, the Windows folder …) is refused by the engine.
  Removal removal(session);
  removal.onFailure = [&](const Failure& f) { trap.report(f.number(), f.description()); };
  trap.run([&] { removal.emptyFolder(folder, OnError::KeepGoing, spared); });
}

}  // namespace

bool isInternetExplorerFolder(Session& session, const std::string& folder, IeFolder kind) {
  if (unsafePathText(folder, false)) return false;
  Files& files = session.platform.files;
  std::string base = normalFolderText(folder);
  if (base.back() != '\\') base += '\\';
  auto holds = [&](const char* name) { return files.folderExists(base + name); };
  auto isShells = [&](KnownFolder id) {
    std::optional<std::string> shells;
    try {
      shells = session.platform.desktop.knownFolder(id);
    } catch (...) {
      // A shell that cannot answer names no folder.
    }
    return shells && !shells->empty() && sameFolder(*shells, folder);
  };
  switch (kind) {
    case IeFolder::History: return isShells(KnownFolder::History) || holds("History.IE5");
    case IeFolder::Cache: return isShells(KnownFolder::InternetCache) || holds("Content.IE5");
    case IeFolder::CacheIndex: return equalsNoCase(lastPart(folder), "Content.IE5");
  }
  return false;
}

void showInetProperties(CleaningContext& context, int mode) {
  Session& session = context.session;
  Trap trap(session.log, "ShowInetProperties");
  if (mode == kInetTemporaryFiles || mode == kInetBoth) {
    trap.checkpoint();
    emptyFolder(session, trap, context.paths.ie2, IeFolder::Cache);
    trap.checkpoint();
    emptyFolder(session, trap, context.paths.ie4, IeFolder::CacheIndex);
    context.state.progress.advance();
    context.refresh();
  }
  if (mode == kInetHistory || mode == kInetBoth) {
    trap.checkpoint(100);
    emptyFolder(session, trap, context.paths.ie1, IeFolder::History);
    context.state.progress.advance();
    context.refresh();
  }
}

}  // namespace trwk
