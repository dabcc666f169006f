#include "cleaning/removal.h"

#include <optional>
#include <vector>

#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk {
namespace {

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

// "C:\dir\" and "C:\dir" name the same folder; a drive root keeps its separator ("C:\").
std::string withoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && isSeparator(path.back())) path.pop_back();
  return path;
}

bool isDriveRoot(const std::string& path) {
  return (path.size() == 2 && path[1] == ':') || (path.size() == 3 && path[1] == ':' && isSeparator(path[2]));
}

// A folder path and a name joined with one separator ("C:\" + "x" -> "C:\x").
std::string join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && isSeparator(folder.back())) return folder + name;
  return folder + "\\" + name;
}

ListOptions everything() {
  ListOptions options;
  options.files = options.folders = options.hiddenAndSystem = true;
  return options;
}

// The entry a path names, as its folder's listing shows it (a link as a link).
std::optional<DirEntry> lookUp(Files& files, const std::string& path) {
  std::size_t sep = path.find_last_of("\\/");
  if (sep == std::string::npos || sep + 1 == path.size()) return std::nullopt;
  std::string name = path.substr(sep + 1);
  if (name.find_first_of("*?") != std::string::npos) return std::nullopt;
  std::optional<DirEntry> found;
  for (auto& entry : files.list(path, everything())) {
    if (entry.name == name)
      return std::move(entry);  // the exact spelling wins on a host that tells case apart
    if (!found && equalsNoCase(entry.name, name)) found = std::move(entry);
  }
  return found;
}

[[noreturn]] void raise(int number, const std::string& path) {
  throw Failure(number, failureDescription(number) + ": " + path);
}

// A folder being walked is checked once; below it every entry comes from a listing that
// says what it is, so no link is ever taken for the folder it leads to.
class RemovalWalk {
 public:
  RemovalWalk(Files& files, RemovalStats& stats, int& firstFailure, OnError onError)
      : files_(files), stats_(stats), firstFailure_(firstFailure), onError_(onError) {}

  // Removes one listed entry; false when it (or something inside it) stayed.
  bool remove(const std::string& folder, const DirEntry& entry) {
    std::string path = join(folder, entry.name);
    if (entry.isFolder && !entry.isLink) {
      bool emptied = clear(path);
      return attempt(
          [&] {
            if (entry.readOnly) files_.clearAttributes(path);
            files_.removeFolder(path);
            ++stats_.folders;
          },
          emptied);
    }
    return attempt([&] {
      // A link's own marks never stand in the way, and its target's are not ours to change.
      if (entry.readOnly && !entry.isLink) files_.clearAttributes(path);
      files_.deleteFile(path);
      ++stats_.files;
      if (!entry.isLink) stats_.bytes += entry.size;
    });
  }

  // Removes everything in a folder, one level of listing held at a time.
  bool clear(const std::string& folder) {
    bool all = true;
    for (const auto& entry : files_.list(join(folder, "*"), everything())) all = remove(folder, entry) && all;
    return all;
  }

 private:
  // Runs one removal. A failure ends the walk, or with KeepGoing is remembered (the first
  // number only) and the walk goes on. `report` false: the failure follows from an
  // earlier one (a folder that could not be emptied) and is not remembered on its own.
  template <class F>
  bool attempt(F&& step, bool report = true) {
    try {
      step();
      return true;
    } catch (const Failure& failure) {
      if (onError_ == OnError::Stop) throw;
      if (report && firstFailure_ == 0) firstFailure_ = failure.number();
      return false;
    }
  }

  Files& files_;
  RemovalStats& stats_;
  int& firstFailure_;
  OnError onError_;
};

}  // namespace

void Removal::deleteFile(const std::string& path) {
  std::optional<DirEntry> entry = lookUp(files_, path);
  if (entry && entry->readOnly && !entry->isLink && !entry->isFolder) files_.clearAttributes(path);
  files_.deleteFile(path);  // throws for a missing file or a folder
  ++stats_.files;
  if (entry && !entry->isLink) stats_.bytes += entry->size;
}

std::uint64_t Removal::deleteMatching(const std::string& pattern, bool withFolders, OnError onError) {
  std::size_t sep = pattern.find_last_of("\\/");
  if (sep == std::string::npos) raise(fail::kPathNotFound, pattern);
  std::string folder = withoutTrailingSeparator(pattern.substr(0, sep + 1));
  std::string mask = pattern.substr(sep + 1);
  if (!isDriveRoot(folder)) {
    std::optional<DirEntry> self = lookUp(files_, folder);
    if (!self) raise(fail::kPathNotFound, pattern);
    // What a link leads to is not the named folder's content.
    if (self->isLink || !self->isFolder) raise(fail::kPathFileAccess, pattern);
  } else if (!files_.folderExists(folder)) {
    raise(fail::kPathNotFound, pattern);
  }
  if (mask.empty()) return 0;

  ListOptions options = everything();
  options.folders = withFolders;
  RemovalWalk walk(files_, stats_, firstFailure_, onError);
  std::uint64_t removed = 0;
  for (const auto& entry : files_.list(join(folder, mask), options))
    if (walk.remove(folder, entry)) ++removed;
  return removed;
}

void Removal::deleteTree(const std::string& folder, OnError onError) {
  std::string path = withoutTrailingSeparator(folder);
  if (isDriveRoot(path)) raise(fail::kPathFileAccess, folder);  // a drive is emptied, never removed
  std::optional<DirEntry> self = lookUp(files_, path);
  if (!self) raise(fail::kPathNotFound, folder);
  if (!self->isFolder && !self->isLink) raise(fail::kPathFileAccess, folder);
  std::size_t sep = path.find_last_of("\\/");
  RemovalWalk walk(files_, stats_, firstFailure_, onError);
  walk.remove(path.substr(0, sep + 1), *self);  // a link goes as itself, never entered
}

void Removal::emptyFolder(const std::string& folder, OnError onError) {
  std::string path = withoutTrailingSeparator(folder);
  if (isDriveRoot(path)) {
    if (!files_.folderExists(path)) raise(fail::kPathNotFound, folder);
  } else {
    std::optional<DirEntry> self = lookUp(files_, path);
    if (!self) raise(fail::kPathNotFound, folder);
    // A link to a folder holds nothing of its own; what it leads to is not ours to empty.
    if (self->isLink || !self->isFolder) raise(fail::kPathFileAccess, folder);
  }
  RemovalWalk walk(files_, stats_, firstFailure_, onError);
  walk.clear(path);
}

}  // namespace trwk
