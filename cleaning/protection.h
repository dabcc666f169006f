#pragma once
// The protected-location policy. The removal engine consults it for every target, so no
// cleaner, plugin, user set or zap can go around it; the places that accept a path from
// the user or the shell ask it too, to refuse early with a clear message.
#include <optional>
#include <string>
#include <vector>

#include "foundation/session.h"
#include "foundation/system_folders.h"
#include "platform/files.h"

namespace trwk {

// Why a path text is never cleaned, or nothing when it may be: it must be a full path on
// a drive ("C:\..."), without "." or ".." parts (nor what Windows reads as "..": "...",
// ". ."), without a network, device or "\\?\" form, an alternate data stream (":" after
// the drive), control bytes or any of < > " | /. With masks allowed, "*" and "?" may
// stand in the last part only.
std::optional<std::string> unsafePathText(const std::string& path, bool maskAllowed);

// "C:\Dir\\sub\" -> "C:\Dir\sub"; a drive root keeps its separator ("C:\").
std::string normalFolderText(const std::string& path);

class Protection {
 public:
  // The system's folders (see systemFoldersOf); the last one named "the program folder"
  // holds the program's own files. `files` answers which object a folder is, so that a
  // protected folder reached by another spelling, a short name or a link on the way is
  // still known.
  Protection(Files& files, std::vector<SystemFolder> systemFolders, std::string programFolder);
  explicit Protection(Session& session);

  // Why a folder may not be the target of a folder-level operation (emptied, removed
  // with its tree, cleaned by mask, swept for old files); nothing when it may. Refused:
  // unsafe path text, a drive root, each system folder, each user profile root, and every
  // folder that holds one of these.
  std::optional<std::string> folderRefusal(const std::string& folder) const;
  // The same for a folder-level operation that removes only files matching `mask`: the
  // recovered file fragments of a disk check ("*.chk") may go from a drive root.
  std::optional<std::string> maskRefusal(const std::string& folder, const std::string& mask,
                                         bool withFolders) const;
  // Why one file may not be removed by a cleaning step: unsafe path text, or one of the
  // program's own files (anything in the program folder itself).
  std::optional<std::string> fileRefusal(const std::string& path) const;
  // Whether a removal walk may go into a folder it met, by what the folder is.
  bool mayEnter(const FolderId& id) const;

 private:
  struct Guarded {
    std::string text;  // normal, upper-cased
    std::string what;
  };
  void learnIdentities() const;
  std::optional<std::string> refusalByText(const std::string& upper) const;

  Files& files_;
  std::vector<SystemFolder> folders_;
  std::string programFolder_;   // normal text
  std::vector<Guarded> exact_;  // the system folders themselves
  std::string profilesUpper_;   // children of it are profile roots
  mutable bool identitiesKnown_ = false;
  mutable std::vector<std::pair<FolderId, std::string>> identities_;  // the folders and their ancestors
  mutable std::optional<FolderId> programFolderId_;
};

}  // namespace trwk
