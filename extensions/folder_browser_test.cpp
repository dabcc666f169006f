#include "extensions/folder_browser.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/failure.h"
#include "platform/text_encoding.h"
#include "platform/wildcard.h"

namespace trwk {
namespace {

// Folders and files held in memory, looked up without regard to case; only what the
// browser asks is answered.
class MemoryFiles : public Files {
 public:
  void folder(const std::string& path, bool hidden = false) {
    entries_[upperCp1252(path)] = {path, true, hidden};
  }
  void file(const std::string& path, bool hidden = false) {
    entries_[upperCp1252(path)] = {path, false, hidden};
  }
  void erase(const std::string& prefix) {
    const std::string up = upperCp1252(prefix);
    std::erase_if(entries_, [&](const auto& e) { return e.first.rfind(up, 0) == 0; });
  }

  bool fileExists(const std::string& p) override { return find(p) && !find(p)->isFolder; }
  bool folderExists(const std::string& p) override { return find(p) && find(p)->isFolder; }
  std::vector<DirEntry> list(const std::string& pattern, const ListOptions& options) override {
    const std::size_t slash = pattern.rfind('\\');
    const std::string folder = upperCp1252(pattern.substr(0, slash + 1));
    const std::string mask = pattern.substr(slash + 1);
    std::vector<DirEntry> out;
    for (const auto& [key, e] : entries_) {
      if (key.size() <= folder.size() || key.rfind(folder, 0) != 0) continue;
      const std::string name = e.path.substr(folder.size());
      if (name.find('\\') != std::string::npos || !matchesMask(name, mask)) continue;
      if (e.hidden && !options.hiddenAndSystem) continue;
      if (e.isFolder ? !options.folders : !options.files) continue;
      DirEntry d;
      d.name = name;
      d.isFolder = e.isFolder;
      d.hidden = e.hidden;
      out.push_back(d);
    }
    return out;
  }
  std::optional<std::uint64_t> fileSize(const std::string&) override { return std::nullopt; }
  std::optional<FileTime> lastWriteTime(const std::string&) override { return std::nullopt; }
  std::string readAll(const std::string&) override { throw Failure(5); }
  void appendText(const std::string&, const std::string&) override { throw Failure(5); }
  void replaceAtomically(const std::string&, const std::string&) override { throw Failure(5); }
  void createFolder(const std::string&) override { throw Failure(5); }
  void deleteFile(const std::string&) override { throw Failure(5); }
  void removeFolder(const std::string&) override { throw Failure(5); }
  void copyFile(const std::string&, const std::string&, bool) override { throw Failure(5); }
  void clearAttributes(const std::string&) override { throw Failure(5); }
  void overwriteInPlace(const std::string&, const std::string&) override { throw Failure(5); }
  std::optional<std::uint64_t> driveFreeBytes(const std::string&) override { return std::nullopt; }
  std::optional<FolderId> folderId(const std::string&) override { return std::nullopt; }
  void removeWithin(const WalkRequest&, WalkSink&) override { throw Failure(5); }

 private:
  struct Entry {
    std::string path;
    bool isFolder = false;
    bool hidden = false;
  };
  const Entry* find(const std::string& p) {
    const auto it = entries_.find(upperCp1252(p));
    return it == entries_.end() ? nullptr : &it->second;
  }
  std::map<std::string, Entry> entries_;
};

class FolderBrowserTest : public ::testing::Test {
 protected:
  MemoryFiles files;
  void SetUp() override {
    files.folder("C:\\");
    files.folder("E:\\");
    files.folder("C:\\Data");
    files.folder("C:\\Data\\Old");
    files.folder("C:\\Data\\Old\\beta");
    files.folder("C:\\Data\\Old\\Alpha");
    files.folder("C:\\Data\\Old\\Secret", true);
    files.file("C:\\Data\\Old\\notes.txt");
    files.file("C:\\Data\\Old\\B.log");
    files.file("C:\\Data\\Old\\a.TXT");
    files.file("C:\\Data\\Old\\hidden.txt", true);
    files.file("C:\\Data\\top.txt");
    files.file("C:\\root.ini");
  }
  static std::vector<std::string> labels(const FolderBrowser& b) {
    std::vector<std::string> out;
    for (const auto& row : b.folderRows())
      out.push_back(std::string(static_cast<std::size_t>(row.depth), '>') + row.label);
    return out;
  }
};

TEST_F(FolderBrowserTest, ListsDrivesParentsAndSortedVisibleSubfolders) {
  FolderBrowser b(files, "c:\\data\\Old\\");
  EXPECT_EQ(b.drives(), (std::vector<std::string>{"C:", "E:"}));
  EXPECT_EQ(b.drive(), "C:");
  EXPECT_EQ(b.path(), "C:\\data\\Old");
  EXPECT_EQ(labels(b), (std::vector<std::string>{"C:\\", ">data", ">>Old", ">>>Alpha", ">>>beta"}));
  EXPECT_EQ(b.currentFolderRow(), 2);
  EXPECT_EQ(b.folderRows()[3].path, "C:\\data\\Old\\Alpha");

  FolderBrowser withHidden(files, "C:\\Data\\Old", {false, true});
  EXPECT_EQ(withHidden.folderRows().back().label, "Secret");
}

TEST_F(FolderBrowserTest, ChoosingRowsOpensParentsAndChildren) {
  FolderBrowser b(files, "C:\\Data\\Old");
  ASSERT_TRUE(b.openFolderRow(3));
  EXPECT_EQ(b.path(), "C:\\Data\\Old\\Alpha");
  ASSERT_TRUE(b.openFolderRow(0));
  EXPECT_EQ(b.path(), "C:\\");
  EXPECT_EQ(labels(b), (std::vector<std::string>{"C:\\", ">Data"}));
  EXPECT_EQ(b.fileNames(), (std::vector<std::string>{"root.ini"}));
  EXPECT_FALSE(b.openFolderRow(7));
  EXPECT_EQ(b.path(), "C:\\");
}

TEST_F(FolderBrowserTest, DriveChangesOpenTheRootAndMissingDrivesChangeNothing) {
  FolderBrowser b(files, "C:\\Data");
  EXPECT_TRUE(b.setDrive("e"));
  EXPECT_EQ(b.path(), "E:\\");
  EXPECT_EQ(b.drive(), "E:");
  EXPECT_FALSE(b.setDrive("Q:"));
  EXPECT_FALSE(b.setDrive(""));
  EXPECT_EQ(b.path(), "E:\\");
  EXPECT_TRUE(b.setDrive("c: [system]"));
  EXPECT_EQ(b.path(), "C:\\");
}

TEST_F(FolderBrowserTest, PathsOutsideADriveOrSteppingUpAreRefused) {
  FolderBrowser b(files, "C:\\Data");
  for (const char* bad :
       {"Data", "C:Data", "\\\\server\\share", "C:\\Data\\Old\\..", "C:\\Data\\.", "C:\\Missing", "C:/Data"})
    EXPECT_FALSE(b.setPath(bad)) << bad;
  EXPECT_EQ(b.path(), "C:\\Data");
  EXPECT_TRUE(b.setPath("C:\\Data\\\\Old\\"));
  EXPECT_EQ(b.path(), "C:\\Data\\Old");
}

TEST_F(FolderBrowserTest, FileListFollowsThePatternAndLeavesHiddenFilesOut) {
  FolderBrowser b(files, "C:\\Data\\Old");
  EXPECT_EQ(b.pattern(), "*.*");
  EXPECT_EQ(b.fileNames(), (std::vector<std::string>{"a.TXT", "B.log", "notes.txt"}));
  b.setPattern("*.txt; *.LOG");
  EXPECT_EQ(b.fileNames(), (std::vector<std::string>{"a.TXT", "B.log", "notes.txt"}));
  b.setPattern("n*");
  EXPECT_EQ(b.fileNames(), (std::vector<std::string>{"notes.txt"}));
  b.setPattern("..\\*.*");  // never a way into another folder
  EXPECT_TRUE(b.fileNames().empty());
  b.setPattern("");
  EXPECT_EQ(b.fileNames().size(), 3u);

  FolderBrowser withHidden(files, "C:\\Data\\Old", {true, false});
  EXPECT_EQ(withHidden.fileNames().size(), 4u);
}

TEST_F(FolderBrowserTest, SelectionSurvivesRefreshOnlyWhileTheFileIsListed) {
  FolderBrowser b(files, "C:\\Data\\Old");
  b.selectFile(2);
  ASSERT_EQ(b.selectedFileName(), "notes.txt");
  EXPECT_EQ(b.filePath("notes.txt"), "C:\\Data\\Old\\notes.txt");
  b.setPattern("*.*");
  EXPECT_EQ(b.selectedFileName(), "notes.txt");
  b.setPattern("*.log");
  EXPECT_EQ(b.selectedFile(), -1);
  b.selectFile(5);
  EXPECT_FALSE(b.selectedFileName());
  EXPECT_EQ(FolderBrowser::join("C:\\", "x"), "C:\\x");
}

TEST_F(FolderBrowserTest, AFolderThatWentLeavesItsNearestParentOpen) {
  FolderBrowser b(files, "C:\\Data\\Old");
  files.erase("C:\\Data\\Old\\Alpha");
  EXPECT_FALSE(b.openFolderRow(3));
  EXPECT_EQ(b.path(), "C:\\Data\\Old");
  EXPECT_EQ(b.folderRows().back().label, "beta");
  files.erase("C:\\Data\\Old");
  b.refresh();
  EXPECT_EQ(b.path(), "C:\\Data");
  EXPECT_EQ(b.fileNames(), (std::vector<std::string>{"top.txt"}));

  FolderBrowser fallback(files, "D:\\Nowhere");
  EXPECT_EQ(fallback.path(), "C:\\");
  MemoryFiles empty;
  FolderBrowser none(empty);
  EXPECT_TRUE(none.path().empty());
  EXPECT_TRUE(none.folderRows().empty());
  EXPECT_TRUE(none.fileNames().empty());
}

}  // namespace
}  // namespace trwk
