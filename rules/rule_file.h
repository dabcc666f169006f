#pragma once
// Community cleaning rules: an ini-style file of entries, each a section whose header is
// the entry's name. What an entry names is untrusted: the reader keeps every key it knows,
// passes over keys it does not, reports each line it cannot read with its file and line
// number, and marks an entry it cannot make safe as refused, with the reason.
//
//   [Example Cache *]
//   LangSecRef=3021                         group by number (or Section=Name)
//   Detect=HKCU\Software\Example            any of the Detect keys or DetectFile paths
//   DetectFile=%AppData%\Example*           ... must exist (DetectN, DetectFileN)
//   DetectOS=6.1|                           from 6.1 on (min|max, either may be empty)
//   SpecialDetect=DET_CHROME                a named detection
//   Warning=Logs you out of every site.     shown before the entry is ticked
//   FileKey1=%LocalAppData%\Example|*.tmp;*.log|RECURSE
//   RegKey1=HKCU\Software\Example\Recent    a key, or key|value for one value
//   ExcludeKey1=FILE|%LocalAppData%\Example\|keep.log   (FILE|folder|mask, PATH|folder[|mask],
//                                                        REG|key[|value])
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trwk {

// FileKeyN=folder|masks[|RECURSE][|REMOVESELF]
struct RuleFileKey {
  int line = 0;
  std::string folder;              // as written, variables and "*" in folder names allowed
  std::vector<std::string> masks;  // long-name masks of the folder's entries
  bool recurse = false;            // the masks apply in every folder below too
  bool removeSelf = false;         // the folder goes too, with everything in it
};

// RegKeyN=HKCU\key[|value]
struct RuleRegKey {
  int line = 0;
  std::string key;                   // below HKEY_CURRENT_USER, without the root
  std::optional<std::string> value;  // one value of the key; the whole key when absent
};

struct RuleExclude {
  enum class Kind { File, Path, Registry };
  int line = 0;
  Kind kind = Kind::File;
  std::string path;                  // File, Path: the folder as written; Registry: the key below HKCU
  std::string mask;                  // File, Path: what is kept ("" for Path: the whole folder)
  std::optional<std::string> value;  // Registry: one value, or the whole key
};

struct RuleEntry {
  std::string name;  // exactly as its header gives it
  std::string file;  // the rule file it came from
  int line = 0;      // its header line
  std::string section;
  std::optional<long> langSecRef;
  std::vector<std::string> detects;      // registry keys with their root, as written
  std::vector<std::string> detectFiles;  // paths as written
  std::string detectOS;
  std::vector<std::string> specialDetects;
  std::string warning;
  std::vector<RuleFileKey> fileKeys;
  std::vector<RuleRegKey> regKeys;
  std::vector<RuleExclude> excludes;
  // Why the entry is never cleaned; nothing while it may be.
  std::optional<std::string> refusal;

  // The group it is shown in: Section, else the name of its LangSecRef, else "Other".
  std::string group() const;
  void refuse(const std::string& why) {
    if (!refusal) refusal = why;
  }
};

// A line that could not be read.
struct RuleProblem {
  std::string file;
  int line = 0;
  std::string what;
  std::string text() const;  // "<file>, line <n>: <what>"
};

struct RuleSet {
  std::vector<RuleEntry> entries;
  std::vector<RuleProblem> problems;
};

// Reads one rule file's bytes (Windows-1252 or UTF-8 with or without its byte-order mark;
// CR LF, LF or CR line ends) and appends its entries and problems to `into`. A second
// entry with a name already read is reported and left out: the ticks are kept by name.
void readRuleText(std::string_view text, const std::string& fileName, RuleSet& into);

// The group names of the common LangSecRef numbers; "Group <n>" for any other.
std::string langSecRefName(long number);

// The root of a registry path as written ("HKCU\...", "HKEY_LOCAL_MACHINE\..."): its long
// name and the path below it; nothing for a root this format does not know.
struct RulePathRoot {
  std::string root;  // "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", ...
  std::string subkey;
};
std::optional<RulePathRoot> splitRegistryRoot(const std::string& path);

}  // namespace trwk
