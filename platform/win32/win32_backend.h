#pragma once
// The real services on Windows: the wide Win32 API behind the platform seam.
#include <string>

#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace trwk::win32 {

class Win32Files final : public Files {
 public:
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
};

class Win32Registry final : public Registry {
 public:
  long keyExists(RootKey root, const std::string& subkey) override;
  long createKey(RootKey root, const std::string& subkey) override;
  long setString(RootKey root, const std::string& subkey, const std::string& name,
                 const std::string& value) override;
  long queryValue(RootKey root, const std::string& subkey, const std::string& name, RegValue& out) override;
  long deleteValue(RootKey root, const std::string& subkey, const std::string& name) override;
  long deleteKey(RootKey root, const std::string& subkey) override;
};

class Win32Desktop final : public Desktop {
 public:
  std::optional<std::string> knownFolder(KnownFolder id) override;
  std::string programFolder() override;
  bool startProgram(const std::string& path, const std::string& arguments) override;
  bool emptyRecycleBin() override;
  std::optional<RecycleBinContent> recycleBinContent() override;
};

}  // namespace trwk::win32
