#pragma once
// The removal engine every cleaner uses. It never follows a link: a symbolic link,
// junction or other reparse point inside a target is removed as itself, and the walk
// works relative to the folders it opened, so a folder swapped for a link while it runs
// cannot send it elsewhere. Every target is judged by the protected-location policy
// first. Each removal is counted so that statistics and a preview can use it. Memory
// does not grow with the number of files removed.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cleaning/protection.h"
#include "platform/files.h"

namespace trwk {

struct RemovalStats {
  std::uint64_t files = 0;    // files and links removed
  std::uint64_t folders = 0;  // folders removed
  std::uint64_t bytes = 0;    // bytes of the files removed
};

enum class OnError { Stop, KeepGoing };

// Which listed entries go: depth 0 is the target folder's own entries. True keeps one.
using KeepRule = std::function<bool(const DirEntry& entry, int depth)>;

class Removal {
 public:
  Removal(Files& files, const Protection& protection) : files_(files), protection_(&protection) {}
  // The policy of the session's system.
  explicit Removal(Session& session);
  Removal(const Removal&) = delete;
  Removal& operator=(const Removal&) = delete;

  // One file (or link). A protected or unsafe path is refused with Failure 70 or 5 before
  // anything is touched; everything else throws as Files::deleteFile does.
  void deleteFile(const std::string& path);
  // Every entry of one folder whose long name matches the pattern's mask ("C:\t\*.tmp");
  // files only, or folders too (each with its contents). Returns how many went.
  std::uint64_t deleteMatching(const std::string& pattern, bool withFolders, OnError onError,
                               const KeepRule& keep = nullptr, bool withTimes = false);
  // A folder with everything in it.
  void deleteTree(const std::string& folder, OnError onError);
  // Everything in a folder; the folder stays. Entries the rule keeps stay too, with the
  // folders that hold them.
  void emptyFolder(const std::string& folder, OnError onError, const KeepRule& keep = nullptr);

  const RemovalStats& stats() const { return stats_; }
  // The first failure met under OnError::KeepGoing (number 0 when none), and its text.
  int firstFailure() const { return firstFailure_; }
  const std::string& firstFailureText() const { return firstFailureText_; }
  // Every failure and entry left alone, as they happen (for the run log); optional.
  std::function<void(const Failure&)> onFailure;

 private:
  std::uint64_t walk(WalkRequest request, OnError onError, const KeepRule& keep, bool trustTop = false);

  Files& files_;
  std::optional<Protection> owned_;
  const Protection* protection_;
  RemovalStats stats_;
  int firstFailure_ = 0;
  std::string firstFailureText_;
};

}  // namespace trwk
