#pragma once
// File-system service. Every path is a Windows path as the program's users see it
// ("C:\dir\file.txt"), held as Windows-1252 text; only a backend maps it to the host.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"

namespace trwk {

// Date and time of a file in local time, to the second.
struct FileTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  friend bool operator==(const FileTime&, const FileTime&) = default;
};

struct DirEntry {
  std::string name;  // long name only, no folder part
  bool isFolder = false;
  bool hidden = false;
  bool system = false;
  bool readOnly = false;
  bool isLink = false;  // symbolic link, junction or other reparse point
  std::uint64_t size = 0;
  FileTime lastWrite;  // the entry's own (a link's, not its target's); filled where asked
};

struct ListOptions {
  bool files = true;
  bool folders = false;
  bool hiddenAndSystem = true;  // false leaves hidden and system entries out
  // Stop after this many entries (0: no limit); then which ones come, and in what order,
  // is not defined. A probe for whether anything matches asks for one.
  std::size_t limit = 0;
};

// Which object a folder is, whatever path leads to it: its volume and its file number.
struct FolderId {
  std::uint64_t volume = 0, file = 0;
  friend bool operator==(const FolderId&, const FolderId&) = default;
};

// A removal walk: the entries of one folder whose long names match a mask, each with
// everything in it, and optionally the folder itself.
struct WalkRequest {
  std::string folder;      // "C:\dir" (a drive root keeps its separator: "C:\")
  std::string mask = "*";  // long-name mask of the folder's own entries
  bool files = true;       // the folder's own files and links go
  bool folders = true;     // the folder's own sub-folders go, each with its contents
  bool hiddenAndSystem = true;
  bool removeFolder = false;   // the folder goes too once it is empty (a tree removal)
  bool withTimes = false;      // fill DirEntry::lastWrite of the folder's own entries
  bool stopAtFailure = false;  // the first failure ends the walk
  // Nothing is removed: the walk goes as it would, asks the same questions and tells
  // `removed` for every entry (and emptied folder) that would go. A preview's walk.
  bool dryRun = false;
};

// What a removal walk asks and tells as it goes. Paths are Windows paths built from the
// listed names; the walk itself never turns them back into host objects.
class WalkSink {
 public:
  virtual ~WalkSink() = default;
  // Asked for the requested folder and for every folder below it before anything in it
  // is touched; false leaves that folder and everything in it alone.
  virtual bool mayEnter(const std::string& folder, const FolderId& id) = 0;
  // Asked for every entry the walk is about to remove (depth 0: the requested folder's
  // own entries, after the mask and kind filters); false keeps it, and so its folder.
  virtual bool select(const std::string& path, const DirEntry& entry, int depth) {
    (void)path;
    (void)entry;
    (void)depth;
    return true;
  }
  // One entry gone: a file, a link (as itself) or an emptied folder; depth as in select.
  // When the request removes the folder itself, that is told last, with depth -1.
  virtual void removed(const std::string& path, const DirEntry& entry, int depth) = 0;
  // A step that could not be done; the walk goes on unless the request says otherwise.
  virtual void failed(const Failure& failure) = 0;
  // An entry left in place on purpose: a link this system cannot remove as itself, or a
  // name that has no exact Windows form. Told once per folder and reason.
  virtual void leftAlone(const std::string& path, const std::string& why) = 0;
};

class Files {
 public:
  virtual ~Files() = default;

  // Probes never throw: an unreachable path simply is not there.
  virtual bool fileExists(const std::string& path) = 0;
  virtual bool folderExists(const std::string& path) = 0;
  // Entries of one folder whose long names match the pattern's last component with
  // Windows wildcard rules ("*.*" matches every name, "." and ".." are never listed).
  virtual std::vector<DirEntry> list(const std::string& pattern, const ListOptions& options) = 0;
  virtual std::optional<std::uint64_t> fileSize(const std::string& path) = 0;
  virtual std::optional<FileTime> lastWriteTime(const std::string& path) = 0;

  // The operations below throw trwk::Failure (53 file not found, 76 path not found,
  // 70 permission denied, 75 path/file access error) when they cannot complete.
  virtual std::string readAll(const std::string& path) = 0;
  virtual void appendText(const std::string& path, const std::string& bytes) = 0;
  // Replaces the whole file atomically: a temporary file in the same folder, flushed,
  // then renamed over the target. A crash leaves the old file or the new one. A link
  // standing at the path is replaced by the new file; its target is never written.
  virtual void replaceAtomically(const std::string& path, const std::string& bytes) = 0;
  virtual void createFolder(const std::string& path) = 0;
  virtual void deleteFile(const std::string& path) = 0;  // a link is removed as a link
  // Removes an empty folder; a link to a folder is not a folder here (deleteFile takes it).
  virtual void removeFolder(const std::string& path) = 0;
  // Copies atomically, as replaceAtomically writes. A link at `to` is replaced, never
  // written through; a link at `from` is refused (75).
  virtual void copyFile(const std::string& from, const std::string& to, bool overwrite) = 0;
  virtual void clearAttributes(const std::string& path) = 0;
  // Writes the filler's bytes, repeated, over the whole length the file has, in place:
  // the file is opened without truncating (never through a link), keeps its name and
  // length, and is flushed to the device before this returns. An empty filler is an
  // invalid call (5); a read-only file is refused (70), a link or folder too (75), and
  // so is a file with more than one name (75), whose other names would lose their bytes.
  virtual void overwriteInPlace(const std::string& path, const std::string& filler) = 0;
  // Free bytes of the drive whose root is given ("C:\"); nothing when it cannot be asked.
  virtual std::optional<std::uint64_t> driveFreeBytes(const std::string& root) = 0;

  // Which object a folder is (through links on the way, as opening it would); nothing
  // when it is no folder or cannot be reached.
  virtual std::optional<FolderId> folderId(const std::string& path) = 0;
  // Removes what the request names, walking relative to the folders it opened and never
  // following a link: a link goes as itself, and a folder swapped for a link while the
  // walk runs is not entered. Memory does not grow with the number of entries. Throws
  // 76 when the folder is not there and 75 when it is a link or no folder; everything
  // after that is told to the sink.
  virtual void removeWithin(const WalkRequest& request, WalkSink& sink) = 0;
};

}  // namespace trwk
