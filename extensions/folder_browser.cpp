#include "extensions/folder_browser.h"

#include <algorithm>
#include <cctype>

#include "platform/text_encoding.h"

namespace trwk {

namespace {

bool isDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string rootOf(char letter) {
  return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))) + ":\\";
}

bool isRoot(const std::string& path) {
  return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

// "c:", "C:\", "C:\Data\\Old\" -> "C:\", "C:\", "C:\Data\Old". Nothing for a path that
// is not an absolute path on a drive, or that steps through "." or "..".
std::optional<std::string> normalise(const std::string& text) {
  if (text.size() < 2 || !isDriveLetter(text[0]) || text[1] != ':') return std::nullopt;
  if (text.size() > 2 && text[2] != '\\') return std::nullopt;  // "C:Data" is relative
  std::string out = rootOf(text[0]);
  std::size_t start = 3;
  while (start <= text.size()) {
    std::size_t end = text.find('\\', start);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(start, end - start);
    if (part == "." || part == "..") return std::nullopt;
    if (part.find_first_of("/:*?\"<>|") != std::string::npos) return std::nullopt;
    if (!part.empty()) {
      if (!isRoot(out)) out += '\\';
      out += part;
    }
    start = end + 1;
  }
  return out;
}

std::string parentOf(const std::string& path) {
  if (isRoot(path)) return path;
  const std::size_t slash = path.rfind('\\');
  return slash <= 2 ? path.substr(0, 3) : path.substr(0, slash);
}

bool lessNoCase(const std::string& a, const std::string& b) {
  const std::string ua = upperCp1252(a), ub = upperCp1252(b);
  return ua != ub ? ua < ub : a < b;
}

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

FolderBrowser::FolderBrowser(Files& files, const std::string& startPath)
    : FolderBrowser(files, startPath, Options{}) {}

FolderBrowser::FolderBrowser(Files& files, const std::string& startPath, Options options)
    : files_(files), options_(options) {
  refreshDrives();
  const auto start = normalise(startPath);
  path_ = start ? *start : "";
  refresh();
}

std::string FolderBrowser::join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

void FolderBrowser::refreshDrives() {
  drives_.clear();
  for (char c = 'A'; c <= 'Z'; ++c) {
    bool there = false;
    try {
      there = files_.folderExists(rootOf(c));
    } catch (...) {
      there = false;
    }
    if (there) drives_.push_back(std::string(1, c) + ":");
  }
}

bool FolderBrowser::setDrive(const std::string& drive) {
  if (drive.empty() || !isDriveLetter(drive[0])) return false;
  if (drive.size() > 1 && drive[1] != ':') return false;
  return openExisting(rootOf(drive[0]));
}

bool FolderBrowser::setPath(const std::string& path) {
  const auto target = normalise(path);
  return target && openExisting(*target);
}

bool FolderBrowser::openExisting(const std::string& normalised) {
  bool there = false;
  try {
    there = files_.folderExists(normalised);
  } catch (...) {
    there = false;
  }
  if (!there) return false;
  path_ = normalised;
  selectedFile_ = -1;
  refresh();
  return true;
}

int FolderBrowser::currentFolderRow() const {
  for (std::size_t i = 0; i < folderRows_.size(); ++i)
    if (folderRows_[i].kind == FolderRow::Kind::Current) return static_cast<int>(i);
  return -1;
}

bool FolderBrowser::openFolderRow(int row) {
  if (row < 0 || row >= static_cast<int>(folderRows_.size())) return false;
  const std::string target = folderRows_[static_cast<std::size_t>(row)].path;
  if (openExisting(target)) return true;
  refresh();  // the folder went away: show what is there now
  return false;
}

void FolderBrowser::refresh() {
  refreshDrives();
  // A folder that has gone leaves its nearest existing parent open, then the first drive.
  while (!path_.empty()) {
    bool there = false;
    try {
      there = files_.folderExists(path_);
    } catch (...) {
      there = false;
    }
    if (there) break;
    if (isRoot(path_)) {
      path_.clear();
      break;
    }
    path_ = parentOf(path_);
  }
  if (path_.empty() && !drives_.empty()) path_ = drives_.front() + "\\";
  drive_ = path_.empty() ? "" : path_.substr(0, 2);
  refreshFolders();
  refreshFiles();
}

void FolderBrowser::refreshFolders() {
  folderRows_.clear();
  if (path_.empty()) return;
  // The chain from the root down to the open folder.
  std::string walked = path_.substr(0, 3);
  folderRows_.push_back({walked, walked, 0, FolderRow::Kind::Parent});
  std::size_t start = 3;
  int depth = 0;
  while (start < path_.size()) {
    std::size_t end = path_.find('\\', start);
    if (end == std::string::npos) end = path_.size();
    const std::string name = path_.substr(start, end - start);
    walked = join(walked, name);
    folderRows_.push_back({name, walked, ++depth, FolderRow::Kind::Parent});
    start = end + 1;
  }
  folderRows_.back().kind = FolderRow::Kind::Current;

  std::vector<DirEntry> entries;
  try {
    ListOptions options;
    options.files = false;
    options.folders = true;
    options.hiddenAndSystem = options_.hiddenFolders;
    entries = files_.list(join(path_, "*.*"), options);
  } catch (...) {
    entries.clear();  // an unreadable folder simply shows no subfolders
  }
  std::vector<std::string> names;
  for (const DirEntry& e : entries)
    if (e.isFolder) names.push_back(e.name);
  std::sort(names.begin(), names.end(), lessNoCase);
  for (const std::string& name : names)
    folderRows_.push_back({name, join(path_, name), depth + 1, FolderRow::Kind::Child});
}

void FolderBrowser::setPattern(const std::string& pattern) {
  pattern_ = pattern;
  refreshFiles();
}

void FolderBrowser::refreshFiles() {
  const std::optional<std::string> kept = selectedFileName();
  fileNames_.clear();
  selectedFile_ = -1;
  if (path_.empty()) return;

  std::vector<std::string> masks;
  std::size_t start = 0;
  while (start <= pattern_.size()) {
    std::size_t end = pattern_.find(';', start);
    if (end == std::string::npos) end = pattern_.size();
    const std::string mask = trimmed(pattern_.substr(start, end - start));
    if (!mask.empty()) masks.push_back(mask);
    start = end + 1;
  }
  if (masks.empty()) masks.push_back("*.*");

  ListOptions options;
  options.files = true;
  options.folders = false;
  options.hiddenAndSystem = options_.hiddenFiles;
  for (const std::string& mask : masks) {
    // A mask names files of the open folder only, never a way into another folder.
    if (mask.find_first_of("\\/:") != std::string::npos) continue;
    try {
      for (const DirEntry& e : files_.list(join(path_, mask), options))
        if (!e.isFolder) fileNames_.push_back(e.name);
    } catch (...) {
      // an unreadable folder lists no files
    }
  }
  std::sort(fileNames_.begin(), fileNames_.end(), lessNoCase);
  fileNames_.erase(std::unique(fileNames_.begin(), fileNames_.end()), fileNames_.end());

  if (kept) {
    const auto found = std::find(fileNames_.begin(), fileNames_.end(), *kept);
    if (found != fileNames_.end()) selectedFile_ = static_cast<int>(found - fileNames_.begin());
  }
}

void FolderBrowser::selectFile(int row) {
  selectedFile_ = row >= 0 && row < static_cast<int>(fileNames_.size()) ? row : -1;
}

std::optional<std::string> FolderBrowser::selectedFileName() const {
  if (selectedFile_ < 0 || selectedFile_ >= static_cast<int>(fileNames_.size())) return std::nullopt;
  return fileNames_[static_cast<std::size_t>(selectedFile_)];
}

std::string FolderBrowser::filePath(const std::string& name) const {
  return join(path_, name);
}

}  // namespace trwk
