#pragma once
// Fault injector: forwards to real Files and fails the operations a test names.
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/files.h"

namespace trwk::testing {

class FaultFiles : public Files {
 public:
  explicit FaultFiles(Files& inner) : inner_(inner) {}

  // Every later call of the named operation ("readAll", "appendText", "replaceAtomically",
  // "deleteFile", "removeFolder", "copyFile", "createFolder", "clearAttributes",
  // "overwriteInPlace") throws Failure(number).
  void fail(const std::string& operation, int number) { faults_[operation] = number; }
  void heal(const std::string& operation) { faults_.erase(operation); }
  std::optional<std::uint64_t> freeBytes;  // when set, every drive reports it
  std::map<std::string, int> calls;        // how often each operation ran

  bool fileExists(const std::string& path) override { return inner_.fileExists(path); }
  bool folderExists(const std::string& path) override { return inner_.folderExists(path); }
  std::vector<DirEntry> list(const std::string& pattern, const ListOptions& options) override {
    return inner_.list(pattern, options);
  }
  std::optional<std::uint64_t> fileSize(const std::string& path) override { return inner_.fileSize(path); }
  std::optional<FileTime> lastWriteTime(const std::string& path) override {
    return inner_.lastWriteTime(path);
  }
  std::string readAll(const std::string& path) override;
  void appendText(const std::string& path, const std::string& bytes) override;
  void replaceAtomically(const std::string& path, const std::string& bytes) override;
  void createFolder(const std::string& path) override;
  void deleteFile(const std::string& path) override;
  void removeFolder(const std::string& path) override;
  void copyFile(const std::string& from, const std::string& to, bool overwrite) override;
  void clearAttributes(const std::string& path) override;
  void overwriteInPlace(const std::string& path, const std::string& filler) override;
  std::optional<std::uint64_t> driveFreeBytes(const std::string& root) override {
    return freeBytes ? freeBytes : inner_.driveFreeBytes(root);
  }
  std::optional<FolderId> folderId(const std::string& path) override { return inner_.folderId(path); }
  // A walk meets the faults of "deleteFile" (files and links) and "removeFolder" (folders)
  // entry by entry: the entry stays and the failure is told, as the real failure would be.
  void removeWithin(const WalkRequest& request, WalkSink& sink) override;

 private:
  void check(const std::string& operation);
  Files& inner_;
  std::map<std::string, int> faults_;
};

}  // namespace trwk::testing
