#include "cleaning/protection.h"

#include <algorithm>

#include "platform/text_encoding.h"
#include "platform/wildcard.h"

namespace trwk {
namespace {

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

bool isLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// ".." and what Windows reads as it ("...", ". .") lead out of the named folder; "."
// names the folder itself under another spelling.
bool dotsOnly(const std::string& part) {
  return !part.empty() && part.find('.') != std::string::npos &&
         part.find_first_not_of(". ") == std::string::npos;
}

std::vector<std::string> partsOf(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (std::size_t i = 3; i < path.size(); ++i) {
    if (isSeparator(path[i])) {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += path[i];
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

// "C:\a\b" -> "C:\a"; "C:\a" -> "C:\"; a drive root has no parent.
std::optional<std::string> parentOf(const std::string& normal) {
  if (normal.size() <= 3) return std::nullopt;
  std::size_t sep = normal.find_last_of('\\');
  if (sep == std::string::npos) return std::nullopt;
  return sep <= 2 ? normal.substr(0, 3) : normal.substr(0, sep);
}

// What the program keeps in its folder: the programs, settings, lists, templates,
// plugins, pictures and the run log. Other files there are no business of ours.
bool isOwnFileName(const std::string& name) {
  static const char* const kOwn[] = {"*.exe",        "*.dll",        "*.manifest",   "mainten.ini",
                                     "url.ini",      "trwk.log",     "*.chx",        "opera.win",
                                     "cookies*.lst", "cookies*.000", "userdef*.lst", "userdef*.000",
                                     "*.cp1",        "*.cp2",        "*.jpg",        "*.ico"};
  return std::any_of(std::begin(kOwn), std::end(kOwn),
                     [&](const char* mask) { return matchesMask(name, mask); });
}

std::string protectedText(const std::string& folder, const std::string& what) {
  return folder + " is a protected location (" + what + ")";
}

}  // namespace

std::optional<std::string> unsafePathText(const std::string& path, bool maskAllowed) {
  if (path.empty()) return "no path";
  if (std::any_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
    return "control characters in the path";
  if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]))
    return "network and device paths are not cleaned";
  if (path.size() < 3 || !isLetter(path[0]) || path[1] != ':' || !isSeparator(path[2]))
    return "not a full path with a drive letter";
  if (path.find(':', 2) != std::string::npos) return "a stream or device name in the path";
  if (path.find_first_of("<>\"|/", 3) != std::string::npos) return "invalid characters in the path";
  std::vector<std::string> parts = partsOf(path);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (dotsOnly(parts[i])) return "\".\" or \"..\" in the path";
    bool last = i + 1 == parts.size() && !isSeparator(path.back());
    const bool wild = parts[i].find_first_of("*?") != std::string::npos;
    if (wild && !(maskAllowed && last)) return "wildcards in a folder name";
    // Windows drops a name's trailing dots and spaces: "mainten.ini." is mainten.ini.
    if (!wild && (parts[i].back() == '.' || parts[i].back() == ' '))
      return "a name ending in a dot or a space";
  }
  return std::nullopt;
}

std::string normalFolderText(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return path;
  std::string out = path.substr(0, 2) + "\\";
  out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
  for (const auto& part : partsOf(path.size() >= 3 ? path : path + "\\")) {
    if (part == ".") continue;
    if (out.back() != '\\') out += '\\';
    out += part;
  }
  return out;
}

Protection::Protection(Files& files, std::vector<SystemFolder> systemFolders, std::string programFolder)
    : files_(files), folders_(std::move(systemFolders)), programFolder_(normalFolderText(programFolder)) {
  for (const auto& folder : folders_) {
    if (unsafePathText(folder.path, false)) continue;  // an odd answer protects nothing by text
    std::string upper = upperCp1252(normalFolderText(folder.path));
    exact_.push_back({upper, folder.what});
    if (folder.what == "the folder of the user profiles") profilesUpper_ = upper;
  }
}

Protection::Protection(Session& session)
    : Protection(session.platform.files, session.systemFolders(), session.programFolder) {}

std::optional<std::string> Protection::refusalByText(const std::string& upper) const {
  if (upper.size() <= 3) return "a drive root";
  for (const auto& guarded : exact_) {
    if (guarded.text == upper) return guarded.what;
    // A folder that holds a protected one would take it along.
    if (guarded.text.size() > upper.size() && guarded.text.compare(0, upper.size(), upper) == 0 &&
        guarded.text[upper.size()] == '\\')
      return "it holds " + guarded.what;
  }
  if (!profilesUpper_.empty()) {
    auto parent = parentOf(upper);
    if (parent && *parent == profilesUpper_) return "a user's profile folder";
  }
  return std::nullopt;
}

void Protection::learnIdentities() const {
  if (identitiesKnown_) return;
  identitiesKnown_ = true;
  for (const auto& folder : folders_) {
    if (unsafePathText(folder.path, false)) continue;
    std::optional<std::string> at = normalFolderText(folder.path);
    bool self = true;
    while (at) {
      if (auto id = files_.folderId(*at)) {
        std::string what = self ? folder.what : "it holds " + folder.what;
        if (at->size() <= 3) what = "a drive root";
        identities_.emplace_back(*id, *at + " is a protected location (" + what + ")");
      }
      self = false;
      at = parentOf(*at);
    }
  }
  if (!programFolder_.empty() && !unsafePathText(programFolder_, false))
    programFolderId_ = files_.folderId(programFolder_);
}

std::optional<std::string> Protection::folderRefusal(const std::string& folder) const {
  if (auto unsafe = unsafePathText(folder, false)) return folder + ": " + *unsafe;
  std::string normal = normalFolderText(folder);
  if (auto why = refusalByText(upperCp1252(normal))) return protectedText(normal, *why);
  // The same folder under another name: a short name, another drive, a link on the way.
  learnIdentities();
  if (auto id = files_.folderId(normal)) {
    for (const auto& [known, why] : identities_)
      if (known == *id) return normal + ": " + why;
  }
  return std::nullopt;
}

std::optional<std::string> Protection::maskRefusal(const std::string& folder, const std::string& mask,
                                                   bool withFolders) const {
  std::string normal = normalFolderText(folder);
  // ScanDisk and CHKDSK leave recovered fragments as FILE0000.CHK in a drive's root.
  if (!withFolders && normal.size() == 3 && equalsNoCase(mask, "*.chk") && !unsafePathText(normal, false))
    return std::nullopt;
  return folderRefusal(folder);
}

std::optional<std::string> Protection::fileRefusal(const std::string& path) const {
  if (auto unsafe = unsafePathText(path, false)) return path + ": " + *unsafe;
  std::string normal = normalFolderText(path);
  auto parent = parentOf(normal);
  if (!parent || programFolder_.empty()) return std::nullopt;
  bool own = equalsNoCase(*parent, programFolder_);
  if (!own) {
    learnIdentities();
    if (programFolderId_) {
      auto id = files_.folderId(*parent);
      own = id && *id == *programFolderId_;
    }
  }
  if (own && isOwnFileName(normal.substr(parent->size() + (parent->size() > 3 ? 1 : 0))))
    return normal + " is one of the program's own files";
  return std::nullopt;
}

bool Protection::mayEnter(const FolderId& id) const {
  learnIdentities();
  return std::none_of(identities_.begin(), identities_.end(),
                      [&](const auto& known) { return known.first == id; });
}

}  // namespace trwk
