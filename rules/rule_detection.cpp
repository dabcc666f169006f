#include "rules/rule_detection.h"

#include <cctype>

#include "platform/text_encoding.h"

namespace trwk {
namespace {

constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// Named detections: the profile folders of the common browsers and mail programs.
struct Special {
  const char* name;
  const char* folder;
};

constexpr Special kSpecial[] = {
    {"DET_CHROME", "%LocalAppData%\\Google\\Chrome*\\User Data"},
    {"DET_EDGE", "%LocalAppData%\\Microsoft\\Edge*\\User Data"},
    {"DET_MOZILLA", "%AppData%\\Mozilla\\Firefox\\Profiles"},
    {"DET_THUNDERBIRD", "%AppData%\\Thunderbird\\Profiles"},
    {"DET_OPERA", "%AppData%\\Opera Software"},
};

std::optional<RootKey> rootOf(const std::string& name) {
  if (name == "HKEY_CURRENT_USER") return RootKey::CurrentUser;
  if (name == "HKEY_LOCAL_MACHINE") return RootKey::LocalMachine;
  if (name == "HKEY_CLASSES_ROOT") return RootKey::ClassesRoot;
  if (name == "HKEY_USERS") return RootKey::Users;
  if (name == "HKEY_CURRENT_CONFIG") return RootKey::CurrentConfig;
  return std::nullopt;
}

std::optional<long> dword(Registry& registry, const char* name) {
  RegValue value;
  if (registry.queryValue(RootKey::LocalMachine, kCurrentVersion, name, value) != regstatus::kSuccess ||
      value.type != ValueType::Dword || value.data.size() < 4)
    return std::nullopt;
  long n = 0;
  for (int i = 3; i >= 0; --i)
    n = (n << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
  return n;
}

}  // namespace

std::optional<OsVersion> parseOsVersion(const std::string& text) {
  OsVersion v;
  std::size_t i = 0;
  auto number = [&](long& out) {
    std::size_t start = i;
    out = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && i - start < 6)
      out = out * 10 + (text[i++] - '0');
    return i > start;
  };
  if (!number(v.major)) return std::nullopt;
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (!number(v.minor)) return std::nullopt;
    // A build number after the minor one does not change the range.
    while (i < text.size() && (text[i] == '.' || std::isdigit(static_cast<unsigned char>(text[i])))) ++i;
  }
  if (i != text.size()) return std::nullopt;
  return v;
}

bool inOsRange(const std::string& range, const OsVersion& version) {
  std::size_t bar = range.find('|');
  auto trim = [](std::string s) {
    std::size_t a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
  };
  if (bar == std::string::npos) {
    auto only = parseOsVersion(trim(range));
    return only && *only == version;
  }
  std::string low = trim(range.substr(0, bar)), high = trim(range.substr(bar + 1));
  if (!low.empty()) {
    auto min = parseOsVersion(low);
    if (!min || version < *min) return false;
  }
  if (!high.empty()) {
    auto max = parseOsVersion(high);
    if (!max || version > *max) return false;
  }
  return true;
}

const std::vector<std::string>& RuleDetector::specialDetections() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    for (const Special& s : kSpecial) out.push_back(s.name);
    return out;
  }();
  return names;
}

std::optional<OsVersion> RuleDetector::osVersion() {
  if (os_) return *os_;
  std::optional<OsVersion> version;
  // Windows 10 and later keep the old text at "6.3" and give the real numbers apart.
  if (auto major = dword(registry_, "CurrentMajorVersionNumber")) {
    version = OsVersion{*major, dword(registry_, "CurrentMinorVersionNumber").value_or(0)};
  } else {
    RegValue text;
    if (registry_.queryValue(RootKey::LocalMachine, kCurrentVersion, "CurrentVersion", text) ==
            regstatus::kSuccess &&
        text.type == ValueType::String)
      version = parseOsVersion(text.data);
  }
  os_ = version;
  return version;
}

bool RuleDetector::keyExists(const std::string& path) {
  auto [it, fresh] = keys_.try_emplace(upperCp1252(path), false);
  if (!fresh) return it->second;
  std::optional<RulePathRoot> split = splitRegistryRoot(path);
  if (!split) return false;
  std::optional<RootKey> root = rootOf(split->root);
  std::string subkey = split->subkey;
  while (!subkey.empty() && subkey.back() == '\\') subkey.pop_back();
  if (root && !subkey.empty()) it->second = registry_.keyExists(*root, subkey) == regstatus::kSuccess;
  return it->second;
}

bool RuleDetector::fileExists(const std::string& path) {
  auto [it, fresh] = files_.try_emplace(upperCp1252(path), false);
  if (!fresh) return it->second;
  try {
    it->second = paths_.exists(path);
  } catch (const Failure&) {
    it->second = false;  // a path the file service refuses to reach is not there
  }
  return it->second;
}

std::optional<bool> RuleDetector::special(const std::string& name) {
  std::string wanted = upperCp1252(name);
  for (const Special& s : kSpecial)
    if (wanted == s.name) return fileExists(s.folder);
  return std::nullopt;
}

Detection RuleDetector::detect(const RuleEntry& entry) {
  Detection result;
  bool asked = false, found = false;
  for (const std::string& key : entry.detects) {
    asked = true;
    if (!found && keyExists(key)) found = true;
  }
  for (const std::string& file : entry.detectFiles) {
    asked = true;
    if (!found && fileExists(file)) found = true;
  }
  for (const std::string& name : entry.specialDetects) {
    std::optional<bool> answer = special(name);
    if (!answer) {
      result.notes.push_back("SpecialDetect=" + name + " is not known here; the entry is left out");
      return result;
    }
    asked = true;
    if (*answer) found = true;
  }
  if (asked && !found) return result;
  if (!entry.detectOS.empty()) {
    std::optional<OsVersion> os = osVersion();
    if (!os || !inOsRange(entry.detectOS, *os)) return result;
  }
  result.detected = true;
  return result;
}

}  // namespace trwk
