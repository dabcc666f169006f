#include "cleaning/inet_properties.h"

#include "cleaning/keep_lists.h"
#include "cleaning/removal.h"
#include "foundation/trap.h"
#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk {

namespace {

std::string withoutTrailingSeparator(std::string folder) {
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

// "C:", "C:\" or "\": a stored path gone wrong must never empty a whole drive.
bool isDriveRoot(const std::string& folder) {
  std::string f = withoutTrailingSeparator(folder);
  return f.empty() || (f.size() == 2 && f[1] == ':');
}

class IndexSparingSweep {
 public:
  IndexSparingSweep(Files& files, Trap& trap) : files_(files), removal_(files), trap_(trap) {}

  // Removes what the folder holds except index.dat files; true when nothing stayed.
  // One listing per level is held, so memory follows the depth, not the file count.
  bool empty(const std::string& folder) {
    bool emptied = true;
    std::vector<DirEntry> entries = files_.list(folderFile(folder, "*.*"), {true, true, true});
    for (const DirEntry& e : entries) {
      const std::string path = folderFile(folder, e.name);
      if (e.isLink) {
        // The link goes as itself; its target is never entered.
        emptied &= trap_.run([&] { removal_.deleteFile(path); });
      } else if (e.isFolder) {
        bool inner = false;
        trap_.run([&] { inner = empty(path); });
        if (inner)
          emptied &= trap_.run([&] { files_.removeFolder(path); });
        else
          emptied = false;
      } else if (equalsNoCase(e.name, "index.dat") || equalsNoCase(e.name, "desktop.ini")) {
        emptied = false;  // the locked index, and the file that gives the folder its view
      } else {
        emptied &= trap_.run([&] { removal_.deleteFile(path); });
      }
    }
    return emptied;
  }

 private:
  Files& files_;
  Removal removal_;
  Trap& trap_;
};

void emptyFolder(Files& files, Trap& trap, const std::string& folder) {
  if (folder.empty() || folder == "-") return;
  if (isDriveRoot(folder)) {
    trap.report(fail::kInvalidCall, failureDescription(fail::kInvalidCall) + ": " + folder);
    return;
  }
  if (!files.folderExists(folder)) {
    trap.report(fail::kPathNotFound, failureDescription(fail::kPathNotFound) + ": " + folder);
    return;
  }
  IndexSparingSweep sweep(files, trap);
  trap.run([&] { sweep.empty(withoutTrailingSeparator(folder)); });
}

}  // namespace

void showInetProperties(CleaningContext& context, int mode) {
  Session& session = context.session;
  Files& files = session.platform.files;
  Trap trap(session.log, "ShowInetProperties");
  if (mode == kInetTemporaryFiles || mode == kInetBoth) {
    trap.checkpoint();
    emptyFolder(files, trap, context.paths.ie2);
    trap.checkpoint();
    emptyFolder(files, trap, context.paths.ie4);
    context.state.progress.advance();
    context.refresh();
  }
  if (mode == kInetHistory || mode == kInetBoth) {
    trap.checkpoint(100);
    emptyFolder(files, trap, context.paths.ie1);
    context.state.progress.advance();
    context.refresh();
  }
}

}  // namespace trwk
