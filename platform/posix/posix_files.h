#pragma once
// The file-system service over a Wine prefix.
#include <memory>

#include "platform/files.h"
#include "platform/posix/wine_prefix.h"

namespace trwk::posix {

class PosixFiles : public Files {
 public:
  explicit PosixFiles(std::shared_ptr<const WinePrefix> prefix) : prefix_(std::move(prefix)) {}

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
  std::optional<std::uint64_t> driveFreeBytes(const std::string& root) override;

 private:
  std::shared_ptr<const WinePrefix> prefix_;
};

}  // namespace trwk::posix
