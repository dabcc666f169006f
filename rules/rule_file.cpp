#include "rules/rule_file.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "platform/text_encoding.h"

namespace trwk {
namespace {

// No path or key of Windows is longer; a longer line is no rule anyone meant.
constexpr std::size_t kLongestLine = 32767;
constexpr std::size_t kShownText = 60;

std::string_view trimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string upper(std::string_view text) {
  return upperCp1252(std::string(text));
}

bool hasControlBytes(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\t') || u == 0x7F;
  });
}

std::string shown(std::string_view text) {
  std::string out(text.substr(0, kShownText));
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  if (text.size() > kShownText) out += "...";
  return out;
}

std::vector<std::string> split(std::string_view text, char by) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t at = text.find(by, start);
    parts.emplace_back(trimmed(text.substr(start, at == std::string_view::npos ? at : at - start)));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

// "FileKey12" -> ("FILEKEY", true); "Detect" -> ("DETECT", true); "Key1x" -> no number.
struct KeyName {
  std::string base;  // upper case, without the number
  bool valid = true;
};

KeyName keyName(std::string_view key) {
  std::size_t digits = key.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(key[digits - 1]))) --digits;
  KeyName name{upper(key.substr(0, digits))};
  // A number must be the whole tail; "FileKey1a" is some other key.
  name.valid = !name.base.empty();
  return name;
}

// "..", and what Windows reads as it ("...", ". ."), anywhere in a path as written.
bool leadsUpward(std::string_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("\\/", start);
    std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
    if (part.find('.') != std::string_view::npos && part.find_first_not_of(". ") == std::string_view::npos)
      return true;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return false;
}

bool validMask(const std::string& mask) {
  return !mask.empty() && mask.find_first_of("\\/:|<>\"") == std::string::npos &&
         mask.find_first_not_of(". ") != std::string::npos;
}

class Reader {
 public:
  Reader(const std::string& file, RuleSet& into) : file_(file), into_(into) {
    for (const RuleEntry& e : into_.entries) names_.insert(upper(e.name));
  }

  void line(int number, std::string_view raw) {
    line_ = number;
    if (raw.size() > kLongestLine) return bad("a line of " + std::to_string(raw.size()) + " characters");
    std::string_view text = trimmed(raw);
    if (text.empty() || text.front() == ';') return;
    if (hasControlBytes(text)) return bad("control characters in \"" + shown(text) + "\"");
    if (text.front() == '[') return header(text);
    std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) return bad("not a key=value line: \"" + shown(text) + "\"");
    if (!current_) {
      if (!skipping_) problem("a key outside any entry: \"" + shown(text) + "\"");
      return;
    }
    key(trimmed(text.substr(0, eq)), trimmed(text.substr(eq + 1)));
  }

  void finish() { close(); }

 private:
  void problem(const std::string& what) { into_.problems.push_back({file_, line_, what}); }

  // A line inside an entry that cannot be read makes the entry unsafe: it might have been
  // one of its exclusions.
  void bad(const std::string& what) {
    problem(what);
    if (current_) current_->refuse("line " + std::to_string(line_) + " of it cannot be read (" + what + ")");
  }

  void close() {
    if (current_) {
      if (current_->fileKeys.empty() && current_->regKeys.empty() && !current_->refusal)
        current_->refuse("it names nothing to clean");
      into_.entries.push_back(std::move(*current_));
    }
    current_.reset();
  }

  void header(std::string_view text) {
    close();
    skipping_ = true;
    std::size_t end = text.rfind(']');
    if (end == std::string_view::npos || end == 0)
      return problem("a section header without its \"]\": \"" + shown(text) + "\"");
    if (trimmed(text.substr(end + 1)).size() > 0 && trimmed(text.substr(end + 1)).front() != ';')
      return problem("text after a section header: \"" + shown(text) + "\"");
    std::string name(text.substr(1, end - 1));
    if (trimmed(name).empty()) return problem("an entry without a name");
    if (!names_.insert(upper(name)).second)
      return problem("a second entry named \"" + shown(name) + "\"; the first one is kept");
    current_.emplace();
    current_->name = std::move(name);
    current_->file = file_;
    current_->line = line_;
    skipping_ = false;
  }

  void key(std::string_view key, std::string_view value) {
    KeyName name = keyName(key);
    if (!name.valid) return;
    RuleEntry& e = *current_;
    const std::string& k = name.base;
    std::string v(value);
    if (k == "SECTION") {
      e.section = v;
    } else if (k == "LANGSECREF") {
      long n = 0;
      auto digits = value.find_first_not_of("0123456789");
      if (value.empty() || digits != std::string_view::npos || value.size() > 9)
        return problem("LangSecRef is no number: \"" + shown(value) + "\"");
      for (char c : value) n = n * 10 + (c - '0');
      e.langSecRef = n;
    } else if (k == "DETECT") {
      e.detects.push_back(v);
    } else if (k == "DETECTFILE") {
      e.detectFiles.push_back(v);
    } else if (k == "DETECTOS") {
      e.detectOS = v;
    } else if (k == "SPECIALDETECT") {
      e.specialDetects.push_back(v);
    } else if (k == "WARNING") {
      e.warning = v;
    } else if (k == "FILEKEY") {
      fileKey(v);
    } else if (k == "REGKEY") {
      regKey(v);
    } else if (k == "EXCLUDEKEY") {
      excludeKey(v);
    }
    // Default and every key this reader does not know are passed over.
  }

  bool folderText(const std::string& folder, const char* key) {
    if (folder.empty()) {
      bad(std::string(key) + " without a folder");
      return false;
    }
    if (leadsUpward(folder)) {
      current_->refuse(std::string(key) + " at line " + std::to_string(line_) +
                       " leads out of its folder (\"..\")");
      return false;
    }
    return true;
  }

  void fileKey(const std::string& value) {
    std::vector<std::string> parts = split(value, '|');
    RuleFileKey key;
    key.line = line_;
    key.folder = parts[0];
    if (!folderText(key.folder, "FileKey")) return;
    if (parts.size() < 2) return bad("FileKey without masks: \"" + shown(value) + "\"");
    for (std::string& mask : split(parts[1], ';')) {
      if (mask.empty()) continue;
      if (!validMask(mask)) return bad("FileKey mask \"" + shown(mask) + "\" is not a file name mask");
      key.masks.push_back(std::move(mask));
    }
    if (key.masks.empty()) return bad("FileKey without masks: \"" + shown(value) + "\"");
    for (std::size_t i = 2; i < parts.size(); ++i) {
      std::string flag = upper(parts[i]);
      if (flag == "RECURSE")
        key.recurse = true;
      else if (flag == "REMOVESELF")
        key.removeSelf = key.recurse = true;
      else
        return bad("FileKey flag \"" + shown(parts[i]) + "\" is neither RECURSE nor REMOVESELF");
    }
    current_->fileKeys.push_back(std::move(key));
  }

  // The key below HKEY_CURRENT_USER, or nothing (the entry refused or the line reported).
  std::optional<std::string> currentUserKey(const std::string& path, const char* what) {
    std::optional<RulePathRoot> root = splitRegistryRoot(path);
    if (!root) {
      bad(std::string(what) + " \"" + shown(path) + "\" names no registry root");
      return std::nullopt;
    }
    if (root->root != "HKEY_CURRENT_USER") {
      current_->refuse(std::string(what) + " at line " + std::to_string(line_) + " names " + root->root +
                       "; only HKEY_CURRENT_USER is cleaned");
      return std::nullopt;
    }
    std::string key = root->subkey;
    while (!key.empty() && key.back() == '\\') key.pop_back();
    if (key.empty() || key.find("\\\\") != std::string::npos || key.front() == '\\') {
      bad(std::string(what) + " \"" + shown(path) + "\" names no key");
      return std::nullopt;
    }
    return key;
  }

  void regKey(const std::string& value) {
    std::size_t bar = value.find('|');
    RuleRegKey key;
    key.line = line_;
    auto path = currentUserKey(std::string(trimmed(value.substr(0, bar))), "RegKey");
    if (!path) return;
    key.key = *path;
    if (bar != std::string::npos) {
      key.value = std::string(trimmed(std::string_view(value).substr(bar + 1)));
    } else if (key.key.find('\\') == std::string::npos) {
      // "HKCU\Software" as a whole would take every program's settings along.
      current_->refuse("RegKey at line " + std::to_string(line_) + " names a whole top-level key");
      return;
    }
    current_->regKeys.push_back(std::move(key));
  }

  void excludeKey(const std::string& value) {
    std::vector<std::string> parts = split(value, '|');
    RuleExclude ex;
    ex.line = line_;
    std::string kind = upper(parts[0]);
    if (kind == "REG" && parts.size() >= 2 && parts.size() <= 3) {
      ex.kind = RuleExclude::Kind::Registry;
      auto path = splitRegistryRoot(parts[1]);
      if (!path) return bad("ExcludeKey \"" + shown(value) + "\" names no registry root");
      // Other roots are never cleaned, so there is nothing to keep there.
      if (path->root != "HKEY_CURRENT_USER") return;
      ex.path = path->subkey;
      while (!ex.path.empty() && ex.path.back() == '\\') ex.path.pop_back();
      if (parts.size() == 3) ex.value = parts[2];
      current_->excludes.push_back(std::move(ex));
      return;
    }
    if ((kind == "FILE" || kind == "PATH") && parts.size() >= 2 && parts.size() <= 3 && !parts[1].empty()) {
      ex.kind = kind == "FILE" ? RuleExclude::Kind::File : RuleExclude::Kind::Path;
      ex.path = parts[1];
      if (parts.size() == 3) {
        ex.mask = parts[2];
      } else if (ex.kind == RuleExclude::Kind::File) {
        // FILE|folder\name: the last part is the name kept.
        std::size_t sep = ex.path.find_last_of('\\');
        if (sep == std::string::npos || sep + 1 == ex.path.size())
          return bad("ExcludeKey \"" + shown(value) + "\" names no file");
        ex.mask = ex.path.substr(sep + 1);
        ex.path.resize(sep);
      }
      while (ex.path.size() > 1 && ex.path.back() == '\\') ex.path.pop_back();
      if (!ex.mask.empty() && !validMask(ex.mask)) return bad("ExcludeKey mask \"" + shown(ex.mask) + "\"");
      // An exclusion that leads elsewhere would keep nothing: the entry is not safe to run.
      if (!folderText(ex.path, "ExcludeKey")) return;
      current_->excludes.push_back(std::move(ex));
      return;
    }
    bad("ExcludeKey \"" + shown(value) +
        "\" is neither FILE|folder|mask, PATH|folder[|mask] nor REG|key[|value]");
  }

  const std::string& file_;
  RuleSet& into_;
  std::unordered_set<std::string> names_;  // upper case: one tick key per name
  std::optional<RuleEntry> current_;
  bool skipping_ = false;  // keys of a header that was not taken
  int line_ = 0;
};

}  // namespace

std::string RuleEntry::group() const {
  if (!section.empty()) return section;
  if (langSecRef) return langSecRefName(*langSecRef);
  return "Other";
}

std::string RuleProblem::text() const {
  return file + ", line " + std::to_string(line) + ": " + what;
}

std::string langSecRefName(long number) {
  struct Named {
    long number;
    const char* name;
  };
  static constexpr Named kNames[] = {
      {3001, "Internet Explorer"}, {3005, "Internet Explorer"}, {3006, "Windows"},    {3020, "Games"},
      {3021, "Applications"},      {3022, "Internet"},          {3023, "Multimedia"}, {3024, "Utilities"},
      {3025, "Windows"},           {3026, "Browsers"},          {3027, "Browsers"},   {3028, "Browsers"},
      {3029, "Browsers"},          {3030, "Browsers"},
  };
  for (const Named& n : kNames)
    if (n.number == number) return n.name;
  return "Group " + std::to_string(number);
}

std::optional<RulePathRoot> splitRegistryRoot(const std::string& path) {
  struct Root {
    const char* shortName;
    const char* longName;
  };
  static constexpr Root kRoots[] = {
      {"HKCU", "HKEY_CURRENT_USER"}, {"HKLM", "HKEY_LOCAL_MACHINE"},  {"HKCR", "HKEY_CLASSES_ROOT"},
      {"HKU", "HKEY_USERS"},         {"HKCC", "HKEY_CURRENT_CONFIG"},
  };
  std::size_t sep = path.find('\\');
  std::string first = upper(trimmed(std::string_view(path).substr(0, sep)));
  for (const Root& r : kRoots) {
    if (first != r.shortName && first != r.longName) continue;
    return RulePathRoot{r.longName, sep == std::string::npos ? "" : path.substr(sep + 1)};
  }
  return std::nullopt;
}

void readRuleText(std::string_view bytes, const std::string& fileName, RuleSet& into) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  // UTF-8 becomes the program's text; bytes that are no UTF-8 stay as they are.
  const std::string text = utf8ToCp1252(std::string(bytes));
  Reader reader(fileName, into);
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    reader.line(++number, std::string_view(text).substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  reader.finish();
}

}  // namespace trwk
