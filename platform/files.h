#pragma once
// File-system service. Every path is a Windows path as the program's users see it
// ("C:\dir\file.txt"), held as Windows-1252 text; only a backend maps it to the host.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trwk {

struct DirEntry {
  std::string name;  // long name only, no folder part
  bool isFolder = false;
  bool hidden = false;
  bool system = false;
  bool readOnly = false;
  bool isLink = false;  // symbolic link, junction or other reparse point
  std::uint64_t size = 0;
};

struct ListOptions {
  bool files = true;
  bool folders = false;
  bool hiddenAndSystem = true;  // false leaves hidden and system entries out
};

// Date and time of a file in local time, to the second.
struct FileTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  friend bool operator==(const FileTime&, const FileTime&) = default;
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
  // then renamed over the target. A crash leaves the old file or the new one.
  virtual void replaceAtomically(const std::string& path, const std::string& bytes) = 0;
  virtual void createFolder(const std::string& path) = 0;
  virtual void deleteFile(const std::string& path) = 0;  // a link is removed as a link
  // Removes an empty folder; a link to a folder is not a folder here (deleteFile takes it).
  virtual void removeFolder(const std::string& path) = 0;
  virtual void copyFile(const std::string& from, const std::string& to, bool overwrite) = 0;
  virtual void clearAttributes(const std::string& path) = 0;
  // Writes the filler's bytes, repeated, over the whole length the file has, in place:
  // the file is opened without truncating (never through a link), keeps its name and
  // length, and is flushed to the device before this returns. An empty filler is an
  // invalid call (5); a read-only file is refused (70), a link or folder too (75).
  virtual void overwriteInPlace(const std::string& path, const std::string& filler) = 0;
  // Free bytes of the drive whose root is given ("C:\"); nothing when it cannot be asked.
  virtual std::optional<std::uint64_t> driveFreeBytes(const std::string& root) = 0;
};

}  // namespace trwk
