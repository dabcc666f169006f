#include "testing/fault_files.h"

#include "platform/failure.h"

namespace trwk::testing {

void FaultFiles::check(const std::string& operation) {
  ++calls[operation];
  auto f = faults_.find(operation);
  if (f != faults_.end()) throw Failure(f->second);
}

std::string FaultFiles::readAll(const std::string& path) {
  check("readAll");
  return inner_.readAll(path);
}
void FaultFiles::appendText(const std::string& path, const std::string& bytes) {
  check("appendText");
  inner_.appendText(path, bytes);
}
void FaultFiles::replaceAtomically(const std::string& path, const std::string& bytes) {
  check("replaceAtomically");
  inner_.replaceAtomically(path, bytes);
}
void FaultFiles::createFolder(const std::string& path) {
  check("createFolder");
  inner_.createFolder(path);
}
void FaultFiles::deleteFile(const std::string& path) {
  check("deleteFile");
  inner_.deleteFile(path);
}
void FaultFiles::removeFolder(const std::string& path) {
  check("removeFolder");
  inner_.removeFolder(path);
}
void FaultFiles::copyFile(const std::string& from, const std::string& to, bool overwrite) {
  check("copyFile");
  inner_.copyFile(from, to, overwrite);
}
void FaultFiles::clearAttributes(const std::string& path) {
  check("clearAttributes");
  inner_.clearAttributes(path);
}

void FaultFiles::overwriteInPlace(const std::string& path, const std::string& filler) {
  check("overwriteInPlace");
  inner_.overwriteInPlace(path, filler);
}

namespace {

class FaultySink : public WalkSink {
 public:
  FaultySink(WalkSink& inner, const std::map<std::string, int>& faults, std::map<std::string, int>& calls,
             bool stopAtFailure)
      : inner_(inner), faults_(faults), calls_(calls), stopAtFailure_(stopAtFailure) {}

  bool mayEnter(const std::string& folder, const FolderId& id) override {
    return inner_.mayEnter(folder, id);
  }
  bool select(const std::string& path, const DirEntry& entry, int depth) override {
    if (stopped_ || !inner_.select(path, entry, depth)) return false;
    const char* operation = entry.isFolder && !entry.isLink ? "removeFolder" : "deleteFile";
    ++calls_[operation];
    auto f = faults_.find(operation);
    if (f == faults_.end()) return true;
    // A folder's contents would go before the folder itself fails; a file fails at once.
    inner_.failed(Failure(f->second, failureDescription(f->second) + ": " + entry.name));
    stopped_ = stopAtFailure_;
    return false;
  }
  void removed(const std::string& path, const DirEntry& entry, int depth) override {
    inner_.removed(path, entry, depth);
  }
  void failed(const Failure& failure) override { inner_.failed(failure); }
  void leftAlone(const std::string& path, const std::string& why) override { inner_.leftAlone(path, why); }

 private:
  WalkSink& inner_;
  const std::map<std::string, int>& faults_;
  std::map<std::string, int>& calls_;
  bool stopAtFailure_;
  bool stopped_ = false;
};

}  // namespace

void FaultFiles::removeWithin(const WalkRequest& request, WalkSink& sink) {
  ++calls["removeWithin"];
  FaultySink faulty(sink, faults_, calls, request.stopAtFailure);
  inner_.removeWithin(request, faulty);
}

}  // namespace trwk::testing
