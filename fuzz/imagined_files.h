#pragma once
// A Windows file system that exists only in memory, for fuzz targets that run a cleaner:
// nothing real is ever touched. The program folder holds exactly the files a harness
// stores there; every other path names an imagined entry, chosen once per path from a
// hash of the name as Windows would resolve it (letter case ignored, trailing dots and
// blanks of the last part dropped): absent, a file, a folder or a link. The system's
// folders, their ancestors and the program folder are always folders.
//
// Every change a cleaner asks for is recorded, not done (but for the stored files), so
// that a harness can judge what would have gone.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/files.h"
#include "testing/memory_registry.h"

namespace trwk::fuzz {

struct Change {
  std::string operation;  // "deleteFile", "removeWithin", "overwriteInPlace", ...
  std::string path;       // as the caller wrote it; removeWithin: the request's folder
  WalkRequest request;    // removeWithin only
};

// The path as Windows resolves it to an object: upper case, "\" only, no empty parts,
// trailing dots and blanks of the last part dropped ("C:\Dir\\x. " -> "C:\DIR\X").
std::string objectKey(const std::string& path);

class ImaginedFiles : public Files {
 public:
  // Folders are Windows paths without a trailing separator.
  ImaginedFiles(std::string programFolder, std::vector<std::string> systemFolders);

  // A file of the program folder with these bytes (its name keeps the case given).
  void store(const std::string& name, std::string bytes);
  const std::string* stored(const std::string& name) const;
  // The keys (objectKey) of every stored file.
  std::set<std::string> storedKeys() const;
  // Names that a folder's listing shows besides the imagined one (when they are files).
  void alsoIn(const std::string& folder, std::vector<std::string> names);

  std::vector<Change> changes;

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
  enum class Kind { kAbsent, kFile, kFolder, kLink };
  Kind kindOf(const std::string& key) const;
  std::optional<DirEntry> entryOf(const std::string& key, const std::string& name) const;
  // The stored file a path names, by its key; nullptr for any other path.
  std::string* storedAt(const std::string& key);

  std::string programKey_;
  std::set<std::string> alwaysFolders_;                         // keys
  std::map<std::string, std::string> storedNames_;              // key -> name as stored
  std::map<std::string, std::string> storedBytes_;              // key -> bytes
  std::map<std::string, std::vector<std::string>> extraNames_;  // folder key -> names
  std::set<std::string> gone_;                                  // keys removed so far
};

// The desktop of a plain Windows installation with the user "tester".
class ImaginedDesktop : public Desktop {
 public:
  static constexpr const char* kProgramFolder = "C:\\Program Files\\Tarnwick";
  std::optional<std::string> knownFolder(KnownFolder id) override;
  std::string programFolder() override { return kProgramFolder; }
  bool startProgram(const std::string&, const std::string&) override { return false; }
  bool emptyRecycleBin() override { return false; }
  // Every folder knownFolder answers.
  static std::vector<std::string> systemFolders();
};

// The memory registry, with every deletion written down as "<root>|<key>|<value>".
class RecordingRegistry : public testing::MemoryRegistry {
 public:
  long deleteValue(RootKey root, const std::string& subkey, const std::string& name) override;
  long deleteKey(RootKey root, const std::string& subkey) override;
  struct Deletion {
    RootKey root;
    std::string key, value;
    bool wholeKey;
  };
  std::vector<Deletion> deletions;
};

}  // namespace trwk::fuzz
