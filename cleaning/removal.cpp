#include "cleaning/removal.h"

#include <optional>
#include <utility>
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

// Path text no cleaning step runs: relative, drive-less, "..", network, device, stream.
void refuseUnsafeText(const std::string& path, bool maskAllowed) {
  if (auto why = unsafePathText(path, maskAllowed))
    throw Failure(fail::kInvalidCall,
                  failureDescription(fail::kInvalidCall) + ": " + path + " (refused: " + *why + ")");
}

[[noreturn]] void refuseProtected(const std::string& why) {
  throw Failure(fail::kPermissionDenied, failureDescription(fail::kPermissionDenied) + ": " + why);
}

// What the walk tells the engine: counts, the first failure, and the policy's word on
// every folder the walk is about to enter.
class Sink : public WalkSink {
 public:
  Sink(const Protection& protection, RemovalStats& stats, const KeepRule& keep,
       const std::function<void(const Failure&)>& onFailure)
      : protection_(protection), stats_(stats), keep_(keep), onFailure_(onFailure) {}

  bool mayEnter(const std::string& folder, const FolderId& id) override {
    // A drive root the policy allowed by name for one mask ("C:\*.chk") is that root.
    if (std::exchange(trustTop, false)) return true;
    if (protection_.mayEnter(id)) return true;
    record(Failure(fail::kPermissionDenied,
                   failureDescription(fail::kPermissionDenied) + ": " + folder +
                       " is a protected location (the same folder as a system folder)"));
    return false;
  }
  bool select(const std::string&, const DirEntry& entry, int depth) override { return !keep_ || !keep_(entry, depth); }
  void removed(const std::string&, const DirEntry& entry, int depth) override {
    if (entry.isFolder && !entry.isLink) {
      ++stats_.folders;
    } else {
      ++stats_.files;
      if (!entry.isLink) stats_.bytes += entry.size;
    }
    if (depth == 0) ++topRemoved;
  }
  void failed(const Failure& failure) override { record(failure); }
  void leftAlone(const std::string& path, const std::string& why) override {
    record(Failure(fail::kPathFileAccess,
                   failureDescription(fail::kPathFileAccess) + ": " + path + " (" + why + ")"));
  }

  std::optional<Failure> first;
  std::uint64_t topRemoved = 0;
  bool trustTop = false;

 private:
  void record(const Failure& failure) {
    if (onFailure_) onFailure_(failure);
    if (!first) first = failure;
  }

  const Protection& protection_;
  RemovalStats& stats_;
  const KeepRule& keep_;
  const std::function<void(const Failure&)>& onFailure_;
};

}  // namespace

Removal::Removal(Session& session) : files_(session.platform.files), owned_(std::in_place, session) {
  protection_ = &*owned_;
}

std::uint64_t Removal::walk(WalkRequest request, OnError onError, const KeepRule& keep, bool trustTop) {
  request.stopAtFailure = onError == OnError::Stop;
  Sink sink(*protection_, stats_, keep, onFailure);
  sink.trustTop = trustTop;
  files_.removeWithin(request, sink);
  if (sink.first) {
    if (onError == OnError::Stop) throw *sink.first;
    if (firstFailure_ == 0) {
      firstFailure_ = sink.first->number();
      firstFailureText_ = sink.first->description();
    }
  }
  return sink.topRemoved;
}

void Removal::deleteFile(const std::string& path) {
  refuseUnsafeText(path, false);
  if (auto why = protection_->fileRefusal(path)) refuseProtected(*why);
  std::optional<DirEntry> entry = lookUp(files_, path);
  if (entry && entry->readOnly && !entry->isLink && !entry->isFolder) files_.clearAttributes(path);
  files_.deleteFile(path);  // throws for a missing file or a folder
  ++stats_.files;
  if (entry && !entry->isLink) stats_.bytes += entry->size;
}

std::uint64_t Removal::deleteMatching(const std::string& pattern, bool withFolders, OnError onError,
                                      const KeepRule& keep, bool withTimes) {
  refuseUnsafeText(pattern, true);
  std::size_t sep = pattern.find_last_of("\\/");
  std::string folder = withoutTrailingSeparator(pattern.substr(0, sep + 1));
  std::string mask = pattern.substr(sep + 1);
  if (auto why = protection_->maskRefusal(folder, mask, withFolders)) refuseProtected(*why);
  const bool exempt = normalFolderText(folder).size() <= 3;  // allowed by name just now
  WalkRequest request;
  request.folder = folder;
  request.mask = mask;
  request.folders = withFolders;
  request.withTimes = withTimes;
  if (mask.empty()) {
    // Nothing is named; the folder must still be there, as for any other mask.
    if (!files_.folderExists(folder)) raise(fail::kPathNotFound, pattern);
    return 0;
  }
  return walk(request, onError, keep, exempt);
}

void Removal::deleteTree(const std::string& folder, OnError onError) {
  refuseUnsafeText(folder, false);
  std::string path = withoutTrailingSeparator(folder);
  if (path.size() <= 3) refuseProtected(protection_->folderRefusal(path).value_or(path + " is a drive root"));
  std::optional<DirEntry> self = lookUp(files_, path);
  if (!self) raise(fail::kPathNotFound, folder);
  if (self->isLink) {  // a link goes as itself, never entered
    deleteFile(path);
    return;
  }
  if (!self->isFolder) raise(fail::kPathFileAccess, folder);
  if (auto why = protection_->folderRefusal(path)) refuseProtected(*why);
  WalkRequest request;
  request.folder = path;
  request.removeFolder = true;
  walk(request, onError, nullptr);
}

void Removal::emptyFolder(const std::string& folder, OnError onError, const KeepRule& keep) {
  refuseUnsafeText(folder, false);
  std::string path = withoutTrailingSeparator(folder);
  if (auto why = protection_->folderRefusal(path)) refuseProtected(*why);
  WalkRequest request;
  request.folder = path;
  walk(request, onError, keep);
}

}  // namespace trwk
