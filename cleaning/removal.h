#pragma once
// The removal engine every cleaner uses. It never follows a link: a symbolic link,
// junction or other reparse point inside a target is removed as itself. Each removal is
// counted so that statistics and a preview can use it. Memory does not grow with the
// number of files removed: folders are walked one level at a time.
#include <cstdint>
#include <string>

#include "platform/files.h"

namespace trwk {

struct RemovalStats {
  std::uint64_t files = 0;    // files and links removed
  std::uint64_t folders = 0;  // folders removed
  std::uint64_t bytes = 0;    // bytes of the files removed
};

enum class OnError { Stop, KeepGoing };

class Removal {
 public:
  explicit Removal(Files& files) : files_(files) {}

  // One file (or link). Throws Failure.
  void deleteFile(const std::string& path);
  // Every entry of one folder whose long name matches the pattern's mask ("C:\t\*.tmp");
  // files only, or folders too (each with its contents). Returns how many went.
  std::uint64_t deleteMatching(const std::string& pattern, bool withFolders, OnError onError);
  // A folder with everything in it.
  void deleteTree(const std::string& folder, OnError onError);
  // Everything in a folder; the folder stays.
  void emptyFolder(const std::string& folder, OnError onError);

  const RemovalStats& stats() const { return stats_; }
  // The first failure met under OnError::KeepGoing (number 0 when none).
  int firstFailure() const { return firstFailure_; }

 private:
  Files& files_;
  RemovalStats stats_;
  int firstFailure_ = 0;
};

}  // namespace trwk
