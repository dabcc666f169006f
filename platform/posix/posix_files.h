#pragma once
// The file-system service over a Wine prefix.
#include <sys/types.h>

#include <memory>

#include "platform/files.h"
#include "platform/posix/wine_prefix.h"

namespace trwk::posix {

class PosixFiles : public Files {
 public:
  explicit PosixFiles(std::shared_ptr<const WinePrefix> prefix) : prefix_(std::move(prefix)) {}
  ~PosixFiles() override;
  PosixFiles(const PosixFiles&) = delete;
  PosixFiles& operator=(const PosixFiles&) = delete;

  bool fileExists(const std::string& path) override;
  bool folderExists(const std::string& path) override;
  std::vector<DirEntry> list(const std::string& pattern, const ListOptions& options) override;
  std::optional<std::uint64_t> fileSize(const std::string& path) override;
  std::optional<FileTime> lastWriteTime(const std::string& path) override;

  std::string readAll(const std::string& path) override;
  void appendText(const std::string& path, const std::string& bytes) override;
  void replaceAtomically(const std::string& path, const std::string& bytes) override;
  void createFolder(const std::string& path) override;
  void deleteFile(const std::string& path) override;
  void removeFolder(const std::string& path) override;
  void copyFile(const std::string& from, const std::string& to, bool overwrite) override;
  void clearAttributes(const std::string& path) override;
  void overwriteInPlace(const std::string& path, const std::string& filler) override;
  std::optional<std::uint64_t> driveFreeBytes(const std::string& root) override;
  std::optional<FolderId> folderId(const std::string& path) override;
  void removeWithin(const WalkRequest& request, WalkSink& sink) override;

 private:
  // The open folder of the last file deleted, so that deleting a whole folder's files
  // resolves the folder once instead of once per file. -1 when none.
  int openFolder(const std::string& windowsFolder);
  void forgetFolder();

  std::shared_ptr<const WinePrefix> prefix_;
  std::string cachedWindows_, cachedHost_;
  int cachedFd_ = -1;
  dev_t cachedDev_ = 0;
  ino_t cachedIno_ = 0;
};

}  // namespace trwk::posix
