#include "rules/rule_paths.h"

#include "platform/text_encoding.h"
#include "platform/wildcard.h"

namespace trwk {
namespace {

bool wild(const std::string& part) {
  return part.find_first_of("*?") != std::string::npos;
}

std::vector<std::string> partsOf(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    std::string part = path.substr(start, end == std::string::npos ? end : end - start);
    if (!part.empty()) parts.push_back(std::move(part));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string join(const std::string& folder, const std::string& name) {
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

ListOptions justFolders() {
  ListOptions options;
  options.files = false;
  options.folders = true;
  return options;
}

ListOptions everything() {
  ListOptions options;
  options.folders = true;
  return options;
}

// How each variable is found: a known folder, or a folder beside or below one.
struct Variable {
  const char* name;  // upper case
  KnownFolder folder;
  const char* then;  // "" for the folder itself; "..\X" for a sibling, "X" for a child
};

constexpr Variable kVariables[] = {
    {"APPDATA", KnownFolder::AppData, ""},
    {"LOCALAPPDATA", KnownFolder::LocalAppData, ""},
    {"LOCALLOWAPPDATA", KnownFolder::LocalAppData, "..\\LocalLow"},
    {"USERPROFILE", KnownFolder::Profile, ""},
    {"DOCUMENTS", KnownFolder::Documents, ""},
    {"DESKTOP", KnownFolder::Desktop, ""},
    {"TEMP", KnownFolder::Temp, ""},
    {"TMP", KnownFolder::Temp, ""},
    {"PROGRAMFILES", KnownFolder::ProgramFiles, ""},
    {"PROGRAMFILES(X86)", KnownFolder::ProgramFilesX86, ""},
    {"COMMONPROGRAMFILES", KnownFolder::ProgramFiles, "Common Files"},
    {"COMMONAPPDATA", KnownFolder::ProgramData, ""},
    {"PROGRAMDATA", KnownFolder::ProgramData, ""},
    {"ALLUSERSPROFILE", KnownFolder::ProgramData, ""},
    {"PUBLIC", KnownFolder::Profiles, "Public"},
    {"WINDIR", KnownFolder::Windows, ""},
    {"SYSTEMROOT", KnownFolder::Windows, ""},
    {"SYSTEMDRIVE", KnownFolder::Windows, ""},  // its drive only
};

}  // namespace

std::string tidyFolder(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '/') c = '\\';
    if (c == '\\' && !out.empty() && out.back() == '\\') continue;
    out += c;
  }
  while (out.size() > 3 && out.back() == '\\') out.pop_back();
  if (out.size() == 2 && out[1] == ':') out += '\\';
  return out;
}

bool isWithin(const std::string& path, const std::string& folder) {
  if (path.size() < folder.size()) return false;
  if (!equalsNoCase(path.substr(0, folder.size()), folder)) return false;
  return path.size() == folder.size() || folder.back() == '\\' || path[folder.size()] == '\\';
}

const std::vector<std::string>& RulePaths::variables() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    for (const Variable& v : kVariables) out.push_back(v.name);
    return out;
  }();
  return names;
}

std::optional<std::string> RulePaths::known(KnownFolder id) {
  auto it = known_.find(id);
  if (it != known_.end()) return it->second;
  std::optional<std::string> folder = desktop_.knownFolder(id);
  if (folder) *folder = tidyFolder(*folder);
  known_.emplace(id, folder);
  return folder;
}

std::optional<std::string> RulePaths::variable(const std::string& upperName) {
  for (const Variable& v : kVariables) {
    if (upperName != v.name) continue;
    std::optional<std::string> folder = known(v.folder);
    if (!folder || folder->size() < 3) return std::nullopt;
    if (upperName == "SYSTEMDRIVE") return folder->substr(0, 2);
    std::string then = v.then;
    if (then.rfind("..\\", 0) == 0) {
      std::size_t sep = folder->find_last_of('\\');
      if (sep == std::string::npos || sep < 3) return std::nullopt;
      return folder->substr(0, sep) + "\\" + then.substr(3);
    }
    return then.empty() ? *folder : join(*folder, then);
  }
  return std::nullopt;
}

std::optional<std::string> RulePaths::substitute(const std::string& text, std::string* why) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t open = text.find('%', pos);
    if (open == std::string::npos) {
      out.append(text, pos, std::string::npos);
      break;
    }
    out.append(text, pos, open - pos);
    std::size_t close = text.find('%', open + 1);
    if (close == std::string::npos) {
      if (why) *why = "a \"%\" without its pair in " + text;
      return std::nullopt;
    }
    std::string name = upperCp1252(text.substr(open + 1, close - open - 1));
    std::optional<std::string> value = variable(name);
    if (!value) {
      if (why) {
        why->assign(text, open, close - open + 1);  // the variable with its two "%"
        why->append(" is not known on this system");
      }
      return std::nullopt;
    }
    out += *value;
    pos = close + 1;
  }
  return tidyFolder(out);
}

const std::vector<RulePaths::Listed>& RulePaths::listing(const std::string& folder) {
  auto [it, fresh] = listings_.try_emplace(upperCp1252(folder));
  if (fresh) {
    try {
      for (DirEntry& entry : files_.list(join(folder, "*"), everything()))
        it->second.push_back({upperCp1252(entry.name), std::move(entry)});
    } catch (const Failure&) {
      it->second.clear();  // a folder the file service will not reach has nothing in it
    }
  }
  return it->second;
}

std::vector<DirEntry> RulePaths::matching(const std::string& folder, const std::string& mask,
                                          bool foldersOnly) {
  if (!remember_) return files_.list(join(folder, mask), foldersOnly ? justFolders() : everything());
  // Every name a mask takes begins with the mask's text before its first wildcard (or dot,
  // which may stand for the end of a name): a cheap look first.
  const std::string upper = upperCp1252(mask);
  const std::string prefix = upper.substr(0, upper.find_first_of("*?."));
  std::vector<DirEntry> out;
  for (const Listed& listed : listing(folder)) {
    if (foldersOnly && !listed.entry.isFolder) continue;
    if (listed.upper.compare(0, prefix.size(), prefix) != 0) continue;
    if (matchesMask(listed.entry.name, mask)) out.push_back(listed.entry);
  }
  return out;
}

bool RulePaths::folderThere(const std::string& path) {
  std::size_t sep = path.find_last_of('\\');
  if (!remember_ || sep == std::string::npos || sep + 1 >= path.size()) return files_.folderExists(path);
  const std::string name = upperCp1252(path.substr(sep + 1));
  for (const Listed& listed : listing(path.substr(0, sep < 3 ? 3 : sep)))
    if (listed.upper == name)
      return listed.entry.isFolder || (listed.entry.isLink && files_.folderExists(path));
  return false;
}

bool RulePaths::anythingThere(const std::string& path) {
  std::size_t sep = path.find_last_of('\\');
  if (!remember_ || sep == std::string::npos || sep + 1 >= path.size())
    return files_.fileExists(path) || files_.folderExists(path);
  const std::string name = upperCp1252(path.substr(sep + 1));
  for (const Listed& listed : listing(path.substr(0, sep < 3 ? 3 : sep)))
    if (listed.upper == name) return true;
  return false;
}

std::optional<DirEntry> RulePaths::entryOf(const std::string& parent, const std::string& name) {
  std::optional<DirEntry> found;
  for (DirEntry& entry : files_.list(join(parent, name), everything())) {
    if (entry.name == name) return std::move(entry);
    if (!found && equalsNoCase(entry.name, name)) found = std::move(entry);
  }
  return found;
}

void RulePaths::walk(const std::string& base, const std::vector<std::string>& parts, std::size_t from,
                     bool noLinks, std::vector<std::string>& out) {
  std::string at = base;
  for (std::size_t i = from; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (wild(part)) {
      for (const DirEntry& entry : matching(at, part, true))
        if (entry.isFolder && !entry.isLink) walk(join(at, entry.name), parts, i + 1, noLinks, out);
      return;
    }
    if (noLinks) {
      std::optional<DirEntry> entry = entryOf(at, part);
      if (!entry || !entry->isFolder || entry->isLink) return;
      at = join(at, entry->name);
    } else {
      at = join(at, part);
    }
  }
  if (noLinks || folderThere(at)) out.push_back(at);
}

std::vector<std::string> RulePaths::folders(const std::string& text, bool noLinks, std::string* why) {
  std::vector<std::string> out;
  std::optional<std::string> path = substitute(text, why);
  if (!path) return out;
  if (path->size() < 3 || (*path)[1] != ':' || (*path)[2] != '\\') {
    if (why) *why = *path + " is not a full path with a drive letter";
    return out;
  }
  // The variable's own folder is the system's word; what the rule adds below it is not.
  std::string base = path->substr(0, 3);
  if (!text.empty() && text.front() == '%') {
    std::size_t close = text.find('%', 1);
    std::optional<std::string> first = variable(upperCp1252(text.substr(1, close - 1)));
    if (first && isWithin(*path, *first) && !wild(*first)) base = tidyFolder(*first);
  }
  std::vector<std::string> parts = partsOf(path->substr(base.size()));
  if (noLinks && base.size() > 3 && !folderThere(base)) return out;
  walk(base, parts, 0, noLinks, out);
  return out;
}

bool RulePaths::exists(const std::string& text) {
  std::optional<std::string> path = substitute(text);
  if (!path || path->size() < 4) return false;
  std::size_t sep = path->find_last_of('\\');
  std::string last = path->substr(sep + 1);
  std::string parent = path->substr(0, sep);
  std::vector<std::string> where;
  if (wild(parent)) {
    where = folders(parent, false);
  } else {
    where.push_back(parent);
  }
  for (const std::string& folder : where) {
    if (wild(last) ? !matching(folder, last, false).empty() : anythingThere(join(folder, last))) return true;
  }
  return false;
}

}  // namespace trwk
