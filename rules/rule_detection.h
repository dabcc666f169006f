#pragma once
// Whether a rule entry concerns this system: any of its Detect keys, DetectFile paths or
// named detections found (an entry with none of them always is), and the system's
// version inside its DetectOS range.
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry.h"
#include "rules/rule_file.h"
#include "rules/rule_paths.h"

namespace trwk {

// A Windows version as DetectOS writes it ("6.1", "10.0").
struct OsVersion {
  long major = 0, minor = 0;
  friend auto operator<=>(const OsVersion&, const OsVersion&) = default;
};

// "6.1" -> {6, 1}; "10" -> {10, 0}; nothing for anything else.
std::optional<OsVersion> parseOsVersion(const std::string& text);
// Whether the version lies in "min|max" (either side may be empty; no "|" means that
// version only). Text that is no range throws nothing and answers false.
bool inOsRange(const std::string& range, const OsVersion& version);

struct Detection {
  bool detected = false;
  std::vector<std::string> notes;  // named detections this reader does not know, ...
};

class RuleDetector {
 public:
  RuleDetector(Registry& registry, RulePaths& paths) : registry_(registry), paths_(paths) {}

  Detection detect(const RuleEntry& entry);
  // The system's version, from the registry (asked once); nothing when it cannot be read.
  std::optional<OsVersion> osVersion();

  // The named detections this reader knows, upper case.
  static const std::vector<std::string>& specialDetections();

 private:
  bool keyExists(const std::string& path);
  bool fileExists(const std::string& path);
  std::optional<bool> special(const std::string& name);

  Registry& registry_;
  RulePaths& paths_;
  std::optional<std::optional<OsVersion>> os_;
  // Many entries of one application ask the same questions.
  std::unordered_map<std::string, bool> keys_, files_;
};

}  // namespace trwk
