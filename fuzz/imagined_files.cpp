#include "fuzz/imagined_files.h"

#include <algorithm>
#include <functional>

#include "platform/text_encoding.h"
#include "platform/wildcard.h"

namespace trwk::fuzz {
namespace {

bool isDriveRoot(const std::string& key) {
  return key.size() == 3 && key[0] >= 'A' && key[0] <= 'Z' && key[1] == ':' && key[2] == '\\';
}

std::string parentKey(const std::string& key) {
  std::size_t sep = key.find_last_of('\\');
  if (sep == std::string::npos || isDriveRoot(key)) return "";
  return sep == 2 ? key.substr(0, 3) : key.substr(0, sep);
}

std::string childKey(const std::string& folderKey, const std::string& name) {
  return objectKey(folderKey + "\\" + name);
}

std::uint64_t hashOf(const std::string& key) {
  return std::hash<std::string>{}(key);
}

// The name a listing shows for a name as written: Windows drops its trailing dots and blanks.
std::string shownName(std::string name) {
  std::size_t keep = name.find_last_not_of(". ");
  if (keep != std::string::npos) name.resize(keep + 1);
  return name;
}

std::string imaginedMatch(const std::string& mask) {
  std::string name;
  for (char c : mask) name += c == '*' ? std::string("x") : c == '?' ? std::string("y") : std::string(1, c);
  return name;
}

}  // namespace

std::string objectKey(const std::string& path) {
  std::string key;
  for (char c : path) {
    char u = c == '/' ? '\\' : upperCp1252(c);
    if (u == '\\' && !key.empty() && key.back() == '\\') continue;
    key += u;
  }
  if (key.size() > 3 && key.back() == '\\') key.pop_back();
  std::size_t sep = key.find_last_of('\\');
  std::string last = key.substr(sep == std::string::npos ? 0 : sep + 1);
  if (last.find_first_not_of(". ") != std::string::npos) {
    key.resize(key.size() - last.size());
    key += shownName(last);
  }
  return key;
}

ImaginedFiles::ImaginedFiles(std::string programFolder, std::vector<std::string> systemFolders)
    : programKey_(objectKey(programFolder)) {
  systemFolders.push_back(programFolder);
  for (const auto& folder : systemFolders)
    for (std::string key = objectKey(folder); !key.empty(); key = parentKey(key)) alwaysFolders_.insert(key);
}

void ImaginedFiles::store(const std::string& name, std::string bytes) {
  std::string key = childKey(programKey_, name);
  storedNames_[key] = name;
  storedBytes_[key] = std::move(bytes);
  gone_.erase(key);
}

const std::string* ImaginedFiles::stored(const std::string& name) const {
  auto it = storedBytes_.find(childKey(programKey_, name));
  return it == storedBytes_.end() ? nullptr : &it->second;
}

std::set<std::string> ImaginedFiles::storedKeys() const {
  std::set<std::string> keys;
  for (const auto& [key, bytes] : storedBytes_) keys.insert(key);
  return keys;
}

void ImaginedFiles::alsoIn(const std::string& folder, std::vector<std::string> names) {
  extraNames_[objectKey(folder)] = std::move(names);
}

std::string* ImaginedFiles::storedAt(const std::string& key) {
  auto it = storedBytes_.find(key);
  return it == storedBytes_.end() ? nullptr : &it->second;
}

ImaginedFiles::Kind ImaginedFiles::kindOf(const std::string& key) const {
  if (gone_.count(key)) return Kind::kAbsent;
  if (alwaysFolders_.count(key) || (isDriveRoot(key) && (key[0] == 'C' || key[0] == 'D')))
    return Kind::kFolder;
  std::string parent = parentKey(key);
  if (parent.empty() || kindOf(parent) != Kind::kFolder) return Kind::kAbsent;
  if (parent == programKey_) return storedBytes_.count(key) ? Kind::kFile : Kind::kAbsent;
  if (auto extra = extraNames_.find(parent); extra != extraNames_.end())
    for (const auto& name : extra->second)
      if (childKey(parent, name) == key) return Kind::kFile;
  switch (hashOf(key) % 8) {
    case 0:
    case 1: return Kind::kAbsent;
    case 2:
    case 3:
    case 4: return Kind::kFile;
    case 5:
    case 6: return Kind::kFolder;
    default: return Kind::kLink;
  }
}

std::optional<DirEntry> ImaginedFiles::entryOf(const std::string& key, const std::string& name) const {
  Kind kind = kindOf(key);
  if (kind == Kind::kAbsent) return std::nullopt;
  const std::uint64_t h = hashOf(key) >> 8;
  DirEntry entry;
  auto storedName = storedNames_.find(key);
  entry.name = storedName != storedNames_.end() ? storedName->second : shownName(name);
  entry.isFolder = kind == Kind::kFolder;
  entry.isLink = kind == Kind::kLink;
  if (!alwaysFolders_.count(key) && storedName == storedNames_.end()) {
    entry.hidden = h % 5 == 0;
    entry.readOnly = (h >> 4) % 4 == 0;
  }
  auto bytes = storedBytes_.find(key);
  entry.size = bytes != storedBytes_.end() ? bytes->second.size() : 100;
  entry.lastWrite = (h >> 8) % 2 ? FileTime{2001, 2, 3, 4, 5, 6} : FileTime{2026, 12, 8, 14, 0, 0};
  return entry;
}

bool ImaginedFiles::fileExists(const std::string& path) {
  Kind kind = kindOf(objectKey(path));
  return kind == Kind::kFile || kind == Kind::kLink;
}

bool ImaginedFiles::folderExists(const std::string& path) {
  return kindOf(objectKey(path)) == Kind::kFolder;
}

std::vector<DirEntry> ImaginedFiles::list(const std::string& pattern, const ListOptions& options) {
  std::size_t sep = pattern.find_last_of("\\/");
  if (sep == std::string::npos) return {};
  const std::string folderKey = objectKey(pattern.substr(0, sep == 2 ? 3 : sep));
  const std::string mask = pattern.substr(sep + 1);
  if (mask.empty() || kindOf(folderKey) != Kind::kFolder) return {};

  std::vector<std::string> names;
  if (mask.find_first_of("*?") == std::string::npos) {
    names.push_back(mask);
  } else {
    if (folderKey == programKey_)
      for (const auto& [key, name] : storedNames_)
        if (!gone_.count(key)) names.push_back(name);
    if (auto extra = extraNames_.find(folderKey); extra != extraNames_.end())
      names.insert(names.end(), extra->second.begin(), extra->second.end());
    names.push_back(imaginedMatch(mask));
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const std::string& n) { return !matchesMask(n, mask); }),
                names.end());
  }
  std::vector<DirEntry> out;
  std::set<std::string> seen;
  for (const auto& name : names) {
    std::string key = childKey(folderKey, name);
    if (!seen.insert(key).second) continue;
    auto entry = entryOf(key, name);
    if (!entry) continue;
    if (entry->isFolder ? !options.folders : !options.files) continue;
    if ((entry->hidden || entry->system) && !options.hiddenAndSystem) continue;
    out.push_back(std::move(*entry));
  }
  return out;
}

std::optional<std::uint64_t> ImaginedFiles::fileSize(const std::string& path) {
  std::string key = objectKey(path);
  auto entry = entryOf(key, path);
  if (!entry || entry->isFolder) return std::nullopt;
  return entry->size;
}

std::optional<FileTime> ImaginedFiles::lastWriteTime(const std::string& path) {
  auto entry = entryOf(objectKey(path), path);
  if (!entry) return std::nullopt;
  return entry->lastWrite;
}

std::string ImaginedFiles::readAll(const std::string& path) {
  std::string key = objectKey(path);
  switch (kindOf(key)) {
    case Kind::kAbsent: throw Failure(fail::kFileNotFound);
    case Kind::kFolder: throw Failure(fail::kPathFileAccess);
    default: break;
  }
  if (const std::string* bytes = storedAt(key)) return *bytes;
  return "imagined\r\n";
}

void ImaginedFiles::appendText(const std::string& path, const std::string& bytes) {
  std::string key = objectKey(path);
  changes.push_back({"appendText", path, {}});
  if (std::string* file = storedAt(key)) {
    *file += bytes;
  } else if (parentKey(key) == programKey_) {
    store(path.substr(path.find_last_of("\\/") + 1), bytes);
  }
}

void ImaginedFiles::replaceAtomically(const std::string& path, const std::string& bytes) {
  std::string key = objectKey(path);
  changes.push_back({"replaceAtomically", path, {}});
  if (kindOf(key) == Kind::kFolder) throw Failure(fail::kPathFileAccess);
  if (parentKey(key) == programKey_) store(path.substr(path.find_last_of("\\/") + 1), bytes);
}

void ImaginedFiles::createFolder(const std::string& path) {
  changes.push_back({"createFolder", path, {}});
}

void ImaginedFiles::deleteFile(const std::string& path) {
  std::string key = objectKey(path);
  changes.push_back({"deleteFile", path, {}});
  switch (kindOf(key)) {
    case Kind::kAbsent: throw Failure(fail::kFileNotFound);
    case Kind::kFolder: throw Failure(fail::kPathFileAccess);
    default: break;
  }
  storedBytes_.erase(key);
  storedNames_.erase(key);
  gone_.insert(key);
}

void ImaginedFiles::removeFolder(const std::string& path) {
  std::string key = objectKey(path);
  changes.push_back({"removeFolder", path, {}});
  if (kindOf(key) != Kind::kFolder) throw Failure(fail::kPathNotFound);
  gone_.insert(key);
}

void ImaginedFiles::copyFile(const std::string& from, const std::string& to, bool) {
  changes.push_back({"copyFile", to, {}});
  std::string bytes = readAll(from);
  if (parentKey(objectKey(to)) == programKey_) store(to.substr(to.find_last_of("\\/") + 1), bytes);
}

void ImaginedFiles::clearAttributes(const std::string& path) {
  changes.push_back({"clearAttributes", path, {}});
  if (kindOf(objectKey(path)) == Kind::kAbsent) throw Failure(fail::kFileNotFound);
}

void ImaginedFiles::overwriteInPlace(const std::string& path, const std::string& filler) {
  changes.push_back({"overwriteInPlace", path, {}});
  if (filler.empty()) throw Failure(fail::kInvalidCall);
  if (kindOf(objectKey(path)) != Kind::kFile) throw Failure(fail::kPathFileAccess);
}

std::optional<std::uint64_t> ImaginedFiles::driveFreeBytes(const std::string&) {
  return std::uint64_t{1} << 30;
}

std::optional<FolderId> ImaginedFiles::folderId(const std::string& path) {
  std::string key = objectKey(path);
  if (kindOf(key) != Kind::kFolder) return std::nullopt;
  return FolderId{1, hashOf(key)};
}

void ImaginedFiles::removeWithin(const WalkRequest& request, WalkSink& sink) {
  std::string key = objectKey(request.folder);
  switch (kindOf(key)) {
    case Kind::kAbsent: throw Failure(fail::kPathNotFound);
    case Kind::kFolder: break;
    default: throw Failure(fail::kPathFileAccess);
  }
  if (!sink.mayEnter(request.folder, FolderId{1, hashOf(key)})) return;
  changes.push_back({"removeWithin", request.folder, request});
  if (request.removeFolder && !request.dryRun) gone_.insert(key);
}

std::optional<std::string> ImaginedDesktop::knownFolder(KnownFolder id) {
  switch (id) {
    case KnownFolder::History: return "C:\\users\\tester\\Local Settings\\History";
    case KnownFolder::InternetCache: return "C:\\users\\tester\\Local Settings\\Temporary Internet Files";
    case KnownFolder::Cookies: return "C:\\users\\tester\\Cookies";
    case KnownFolder::Recent: return "C:\\users\\tester\\Recent";
    case KnownFolder::Windows: return "C:\\windows";
    case KnownFolder::System: return "C:\\windows\\system32";
    case KnownFolder::ProgramFiles: return "C:\\Program Files";
    case KnownFolder::AppData: return "C:\\users\\tester\\Application Data";
    case KnownFolder::Temp: return "C:\\users\\tester\\Temp";
    case KnownFolder::ProgramFilesX86: return "C:\\Program Files (x86)";
    case KnownFolder::SystemX86: return "C:\\windows\\syswow64";
    case KnownFolder::ProgramData: return "C:\\ProgramData";
    case KnownFolder::Profiles: return "C:\\users";
    case KnownFolder::Profile: return "C:\\users\\tester";
    case KnownFolder::Desktop: return "C:\\users\\tester\\Desktop";
    case KnownFolder::Documents: return "C:\\users\\tester\\Documents";
    case KnownFolder::LocalAppData: return "C:\\users\\tester\\Local Settings\\Application Data";
    default: return std::nullopt;  // a folder this imagined system does not have
  }
}

std::vector<std::string> ImaginedDesktop::systemFolders() {
  static const KnownFolder kAll[] = {
      KnownFolder::History,         KnownFolder::InternetCache, KnownFolder::Cookies,
      KnownFolder::Recent,          KnownFolder::Windows,       KnownFolder::System,
      KnownFolder::ProgramFiles,    KnownFolder::AppData,       KnownFolder::Temp,
      KnownFolder::ProgramFilesX86, KnownFolder::SystemX86,     KnownFolder::ProgramData,
      KnownFolder::Profiles,        KnownFolder::Profile,       KnownFolder::Desktop,
      KnownFolder::Documents,       KnownFolder::LocalAppData};
  std::vector<std::string> out;
  ImaginedDesktop desktop;
  for (KnownFolder id : kAll)
    if (auto folder = desktop.knownFolder(id)) out.push_back(*folder);
  return out;
}

long RecordingRegistry::deleteValue(RootKey root, const std::string& subkey, const std::string& name) {
  deletions.push_back({root, subkey, name, false});
  return MemoryRegistry::deleteValue(root, subkey, name);
}

long RecordingRegistry::deleteKey(RootKey root, const std::string& subkey) {
  deletions.push_back({root, subkey, "", true});
  return MemoryRegistry::deleteKey(root, subkey);
}

}  // namespace trwk::fuzz
