#pragma once
// A window-free model of the drive list, folder list and file list a file dialog shows,
// over the Files service. Views draw its rows and pass the user's choices back; all the
// file-system probing happens here, so the pickers can be tested without a window.
//
// Paths are Windows paths: a drive root keeps its "\" ("C:\"), any other folder has no
// trailing "\" ("C:\Data\Old").
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace trwk {

class FolderBrowser {
 public:
  struct Options {
    bool hiddenFiles = false;    // hidden and system files in the file list
    bool hiddenFolders = false;  // hidden and system folders in the folder list
  };

  // One row of the folder list: the drive root, then every folder down to the open one
  // (each one step further indented), then the open folder's subfolders one step deeper.
  struct FolderRow {
    enum class Kind { Parent, Current, Child };
    std::string label;  // "C:\" for the root, otherwise the folder's own name
    std::string path;   // full path that choosing the row opens
    int depth = 0;      // indentation: 0 for the root
    Kind kind = Kind::Child;
  };

  // Starts at startPath when it exists; otherwise at the nearest existing parent, the
  // first available drive's root, or (no drive at all) with empty lists.
  explicit FolderBrowser(Files& files, const std::string& startPath = "C:\\");
  FolderBrowser(Files& files, const std::string& startPath, Options options);

  // Drives: "A:".."Z:" whose root "X:\" exists, in letter order.
  const std::vector<std::string>& drives() const { return drives_; }
  const std::string& drive() const { return drive_; }  // "C:", empty with no drive
  // Opens the root of the drive ("d", "D:", "D:\..." all name drive D). Returns false and
  // changes nothing when that root is not there.
  bool setDrive(const std::string& drive);

  // Folder list.
  const std::vector<FolderRow>& folderRows() const { return folderRows_; }
  int currentFolderRow() const;  // index of the open folder's row, -1 with no folder
  const std::string& path() const { return path_; }
  // Opens the folder of a row; false for a row out of range or a folder that has gone
  // (the lists are then refreshed from what is there).
  bool openFolderRow(int row);
  // Opens a folder by path (its drive becomes the current drive). False, nothing
  // changed, when it does not exist. Relative or UNC paths are not folders of a drive
  // and are refused.
  bool setPath(const std::string& path);

  // File list: files of the open folder matching the pattern, "*.*" at first. A pattern
  // may hold several masks separated by ";" ("*.txt;*.log"); an empty one lists "*.*".
  const std::string& pattern() const { return pattern_; }
  void setPattern(const std::string& pattern);
  const std::vector<std::string>& fileNames() const { return fileNames_; }
  int selectedFile() const { return selectedFile_; }  // -1: nothing selected
  void selectFile(int row);                           // out of range clears the selection
  std::optional<std::string> selectedFileName() const;
  // Full path of a listed file: path() + name, with a "\" between unless path() ends in one.
  std::string filePath(const std::string& name) const;

  // Reads drives, folders and files again (a folder that has gone is left for its
  // nearest existing parent). The file selection is kept when the name is still listed.
  void refresh();

  // Joins a folder and a name with exactly one "\" between.
  static std::string join(const std::string& folder, const std::string& name);

 private:
  void refreshDrives();
  void refreshFolders();
  void refreshFiles();
  bool openExisting(const std::string& normalised);

  Files& files_;
  Options options_;
  std::vector<std::string> drives_;
  std::string drive_;
  std::string path_;
  std::vector<FolderRow> folderRows_;
  std::string pattern_ = "*.*";
  std::vector<std::string> fileNames_;
  int selectedFile_ = -1;
};

}  // namespace trwk
